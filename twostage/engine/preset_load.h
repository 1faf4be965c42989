// The steps of loading a preset that need no dialog: what happens to a record
// after it was filled from a factory preset, a user preset or the undo history
// and before the widgets are set from it.
#pragma once

#include "twostage/engine/twostage_params.h"

// saveFlags rules: bit 7 puts back the five colours (bytes 0-19) of `before`,
// bit 6 puts back brightnessRatio, lightExiting and saturation.
void RestoreUnsavedSettings(TwoStageParams& loaded, const TwoStageParams& before);

// Side colours: the old default pair (41, 177, 73, Picker) / (177, 172, 36,
// Background), or two all-zero side colours, become copies of the gradient
// shadow colours of the same stage.
void ApplySideColourRule(TwoStageParams& p);

// Version fix-ups: below 13 the curve pad is set to (25, 25), below 14 the
// curve shape to 0. Returns true when the version is above 14 (the record is
// used unchanged; the caller warns that some settings will be ignored).
bool FixUpVersion(TwoStageParams& p);

// Loading always switches anti-aliasing on.
void ForceAntiAliasing(TwoStageParams& p);

// Everything a load does after the record was filled, in order: the
// saveFlags rules, the side colours, the version fix-ups and anti-aliasing;
// `before` is the record as it was before the load. Returns FixUpVersion's
// answer.
bool FinishPresetLoad(TwoStageParams& loaded, const TwoStageParams& before);

// The check boxes hold bit 0 of stretchDouble[0], stretchDouble[1],
// antiAliasing, deformation and whiteCanvas; reading the widgets back writes
// those bits and version 14 into the record.
void ReadBackCheckBoxes(TwoStageParams& p);

// The record the dialog holds after loading factory preset n (0..9) just
// after it opened: the record starts as "e-Flowers", factory preset n is
// copied in, the load steps run, then the check boxes are read back and the
// version becomes 14. n out of range gives "e-Flowers".
TwoStageParams DialogRecordForFactory(int n);

// The copy of a record that a save stores as a user preset: the save
// pop-up's options "Save Color Settings" and "Save Light Correction" set its
// save flags, and the checksum is filled in.
TwoStageParams StoredPreset(const TwoStageParams& record, bool saveColours, bool saveLight);
