// velk2000 on image files: the record the dialog holds when the user presses
// OK at once (a factory preset as the preset box loads it, or a stored
// record loaded as a user preset), and the whole-image and preview renders.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/velk/control_options.h"
#include "tools/velk/image_file.h"
#include "tools/velk/preview_run.h"
#include "common/row_workers.h"
#include "tools/velk/progress_bar.h"
#include "twostage/engine/twostage_params.h"

struct Velk2000Options {
    std::string preset = "e-Flowers";
    std::string recordPath; // a stored 64-byte record instead of a preset
    std::vector<uint8_t> userPreset; // a user preset's record, loaded as the preset box loads it
    // The tools, used on the starting record in this order before the
    // controls are set: the Dice, the colour variations (each with its
    // seed), Bypass of either stage, spacing steps (up if positive, down if
    // negative) and the diagonal flip.
    std::optional<uint32_t> dice, colourVariations;
    bool bypass[2] = {false, false};
    int32_t spacingSteps = 0;
    bool flip = false;
    std::vector<ControlSetting> controls; // the dialog's controls given, in order
    uint8_t foreground[3] = {0, 0, 0};
    uint8_t background[3] = {255, 255, 255};
    int32_t threads = 0; // whole-image render threads; 0: one a core
};

// Builds the record: the preset or record file, the tools, then the
// controls. False with a message when the preset is unknown or the record
// file is unreadable or fails its checksum; warning receives a note for a
// record of a later format (used anyway). A transparent colour is taken on
// any image, as from a preset: without alpha it is the setting's own colour.
bool PrepareVelk2000(const Velk2000Options& options, TwoStageParams& record, std::string& error,
                     std::string& warning);

// The whole image, as the filter renders it after OK; out and progress as
// for RenderVelk3dImage.
int32_t RenderVelk2000Image(const TwoStageParams& record, const Image& image,
                            const std::vector<uint8_t>& mask, const Velk2000Options& options,
                            RowProgress progress, void* user, std::vector<uint8_t>& out);

// The dialog's preview of the reduced image, into preview.result.
int32_t RenderVelk2000Preview(const TwoStageParams& record, int32_t planes, bool hasMask,
                              const Velk2000Options& options, PreviewImage& preview);

// "name, name, ..." of the factory presets.
std::string Velk2000PresetNames();
