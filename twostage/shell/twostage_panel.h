// The controls of velk2000's main dialog as values: eighteen sliders and
// pads, three toggles and the five check boxes that belong to the record,
// with the rules that move settings between them and the TwoStageParams
// record. No drawing here: the dialog (main_dialog.cpp) paints the widgets.
#pragma once

#include <cstdint>

#include "toolkit/widgets/slider_logic.h"
#include "toolkit/widgets/widget_logic.h"
#include "twostage/engine/twostage_controls.h"
#include "twostage/engine/twostage_params.h"

struct TwoStagePanel {
    Slider slider[kTwoStageSliders];
    ToggleLogic toggle[kTwoStageToggles];
    uint8_t check[kTwoStageChecks]; // 0 or 1, as the boxes show
};

// The anchors, in client pixels: the preview frame P, the G-Shading frame G
// and the Stretch frame S (their corners already moved), the hidden anchors
// of the side sliders A and the light sliders L, and the toggles' frames.
struct TwoStageAnchors {
    Box P, G, S, A, L;
    Box orientationFrame[2]; // 1029, 1030
    Box curveFrame;          // 1031
};

struct TwoStageKnobs {
    const BitmapImage *yellow, *violet, *diamond; // 13, 13 and 17 pixels
};

void MakeTwoStageWidgets(TwoStagePanel& panel, const TwoStageKnobs& knobs, const TwoStageAnchors& a);

// Reads every byte of the record that belongs to a widget or a check box
// from it (the controls' table names them), and version 14; colours,
// saveFlags, reserved bytes and checksum keep their values.
void ReadWidgets(const TwoStagePanel& panel, TwoStageParams& record);

// Sets every widget from the record, each value limited as a drag limits it
// (a toggle to its three states), and the check boxes from bit 0 of their
// fields.
void SetWidgets(TwoStagePanel& panel, const TwoStageParams& record);

// Loads `source` (a factory record or a user record) over the current record
// as the preset box does: the saveFlags rules against the record as it was,
// the side colours, the version fix-ups and anti-aliasing; then the widgets
// follow and the record is read back from them. Returns true when the record
// is of a later version than this one (the dialog warns; the record is used).
bool LoadTwoStageRecord(TwoStagePanel& panel, TwoStageParams& current, const TwoStageParams& source);
