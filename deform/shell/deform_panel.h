// The controls of velk3d's main dialog as values: the nine sliders and pads,
// the orientation toggle, "x2", "Antialiasing" and the save flags, with the
// rules that move settings between them and the DeformSettings record. No
// drawing here: the dialog (main_dialog.cpp) paints these widgets.
#pragma once

#include <cstdint>

#include "deform/engine/deform_settings.h"
#include "toolkit/widgets/slider_logic.h"
#include "toolkit/widgets/widget_logic.h"

enum : int {
    kSlotCount = 9,     // slots 0..7 of the record, slot 8 "Saturation"
    kSlotSaturation = 8,
};

// The fill colour of a run: its source, the picked colour and the colour
// resolved from them.
struct DeformColour {
    uint8_t source;    // ColourSource
    uint8_t picked[4]; // red, green, blue, alpha flag
    uint32_t fill;     // red bits 0-7 ... alpha flag 24-31
};

struct DeformPanel {
    Slider slot[kSlotCount];
    ToggleLogic toggle;    // the face scheme
    int32_t doubleStretch; // "x2"
    int32_t antialias;     // "Antialiasing"
    uint8_t saveFlags;     // SaveColour, SaveLightCorrection, LastUsedMark
};

// The anchors the widgets are placed by, in client pixels: the preview frame
// P, the G-Shading frame G and the Stretch frame T (both already moved to
// their pads' corners).
struct DeformAnchors {
    Box P, G, T;
};

// Creates the sliders and pads at their anchors, all with the same knob.
void MakeDeformSliders(DeformPanel& panel, const BitmapImage* knob, int32_t knobSize,
                       const DeformAnchors& a);

// Fills the record from the controls (saveFlags, source, slots, antialias,
// styleBits, checksum, colour, saturation, magic; reserved bytes untouched).
// The colour is the picked one with storePicked, else the resolved fill.
void CaptureSettings(const DeformPanel& panel, const DeformColour& colour, bool storePicked,
                     DeformSettings& record);

// Loads a verified user record into the controls and the colour state; fore
// and back are the host's colours, planes those of the run.
void ApplyUserRecord(DeformPanel& panel, DeformColour& colour, const DeformSettings& record,
                     int32_t planes, const uint8_t fore[4], const uint8_t back[4]);

// Loads a factory preset code into the controls; the record's and the
// dialog's save flags become 0. False (nothing changed) without a "#".
bool ApplyFactoryCode(DeformPanel& panel, DeformSettings& record, const char* code);

// "Light Boosting" 30, "Brightness Ratio" 20, "Saturation" 10.
void SetFallbackLight(DeformPanel& panel);

// The edge sliders' tracks start where the stretched tiles start: the top
// slider moves right and the left slider down as the Stretch pad goes toward
// its top-left corner (the far ends of the tracks stay).
void FollowStretchPad(DeformPanel& panel, const Box& preview);

// The engine inputs of a preview render of the controls as they stand.
DeformInputs PanelPreviewInputs(const DeformPanel& panel, const DeformColour& colour);
