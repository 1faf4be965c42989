// The controls of velk2000's dialog as a table (see common/control_table.h):
// the spacing and moire pairs, the pads, the sliders, the three toggles, the
// five check boxes of the record and the five colour swatches.
#pragma once

#include "common/control_table.h"

// The dialog's sliders and pads, in the order of its table.
enum TwoStageSlider {
    VSpacing2, HSpacing2, MoireV, MoireH, VSpacing1, HSpacing1,
    SideDepth1, SideBlur1, SideDepth2, SideBlur2,
    BrightnessRatio, LightExiting, Saturation,
    Stretch1, Stretch2, Gradient1, Gradient2, CurvePad,
    kTwoStageSliders
};

// The check boxes of the record: "x2" of each stage, "Anti-" "aliasing",
// "Deformation", "WhiteCanvas".
enum TwoStageCheck { CheckDouble1, CheckDouble2, CheckAntiAliasing, CheckDeformation, CheckWhiteCanvas, kTwoStageChecks };

// The toggles: the strip orientation of each stage and the curve shape.
enum TwoStageToggle { ToggleOrientation1, ToggleOrientation2, ToggleCurveShape, kTwoStageToggles };

const ControlTable& TwoStageControls();
