#include "twostage/engine/twostage_controls.h"

#include <cstddef>

#include "twostage/engine/twostage_params.h"

namespace {

constexpr ControlValue At(size_t offset, int widget, int axis = 0)
{
    return {static_cast<uint8_t>(offset), 1, 0, 0, static_cast<int8_t>(widget), static_cast<uint8_t>(axis)};
}

#define FIELD(f) offsetof(TwoStageParams, f)

const char* const kOrientations[] = {"rows", "columns", "mixed"};
const char* const kCurveShapes[] = {"parabola", "cosine1", "cosine2"};

constexpr ControlKind V = ControlKind::Value;
constexpr ControlKind C = ControlKind::Check;

const ControlSpec kControls[] = {
    {"stage1-spacing", nullptr, "Horizontal and Vertical Spacing (First Stage)", V, 2, 2, 250,
     {At(FIELD(spacing[0].hSpacing), HSpacing1, 0), At(FIELD(spacing[0].vSpacing), VSpacing1, 1)}, nullptr},
    {"stage2-spacing", nullptr, "Horizontal and Vertical Spacing (Second Stage)", V, 2, 2, 250,
     {At(FIELD(spacing[1].hSpacing), HSpacing2, 0), At(FIELD(spacing[1].vSpacing), VSpacing2, 1)}, nullptr},
    {"offset", "moire", "Offset: Moire Adjustment (Horizontal, Vertical)", V, 2, 0, 100,
     {At(FIELD(moireH), MoireH, 0), At(FIELD(moireV), MoireV, 1)}, nullptr},
    {"stage1-g-shading", nullptr, "G-Shading: Gradient Shadow Depth (First Stage)", V, 2, 0, 50,
     {At(FIELD(gradientDepth[0].x), Gradient1, 0), At(FIELD(gradientDepth[0].y), Gradient1, 1)}, nullptr},
    {"stage2-g-shading", nullptr, "G-Shading: Gradient Shadow Depth (Second Stage)", V, 2, 0, 50,
     {At(FIELD(gradientDepth[1].x), Gradient2, 0), At(FIELD(gradientDepth[1].y), Gradient2, 1)}, nullptr},
    {"stage1-s-shading", nullptr, "S-Shading: Side Shadow Depth (First Stage)", V, 1, 0, 100,
     {At(FIELD(sideShadowDepth[0]), SideDepth1)}, nullptr},
    {"stage2-s-shading", nullptr, "S-Shading: Side Shadow Depth (Second Stage)", V, 1, 0, 100,
     {At(FIELD(sideShadowDepth[1]), SideDepth2)}, nullptr},
    {"stage1-s-blur", nullptr, "S-Blur: Side Shadow Blur (First Stage)", V, 1, 0, 50,
     {At(FIELD(sideShadowBlur[0]), SideBlur1)}, nullptr},
    {"stage2-s-blur", nullptr, "S-Blur: Side Shadow Blur (Second Stage)", V, 1, 0, 50,
     {At(FIELD(sideShadowBlur[1]), SideBlur2)}, nullptr},
    {"stage1-orientation", nullptr, "Strips Orientation (First Stage)", ControlKind::Toggle, 1, 0, 2,
     {At(FIELD(orientation[0]), ToggleOrientation1)}, kOrientations},
    {"stage2-orientation", nullptr, "Strips Orientation (Second Stage)", ControlKind::Toggle, 1, 0, 2,
     {At(FIELD(orientation[1]), ToggleOrientation2)}, kOrientations},
    {"stage1-stretch", nullptr, "Stretch Deformation (First Stage)", V, 2, 0, 50,
     {At(FIELD(stretch[0].x), Stretch1, 0), At(FIELD(stretch[0].y), Stretch1, 1)}, nullptr},
    {"stage2-stretch", nullptr, "Stretch Deformation (Second Stage)", V, 2, 0, 50,
     {At(FIELD(stretch[1].x), Stretch2, 0), At(FIELD(stretch[1].y), Stretch2, 1)}, nullptr},
    {"stage1-x2", nullptr, "x2: doubles the First Stage's stretch", C, 1, 0, 1, {At(FIELD(stretchDouble[0]), CheckDouble1)}, nullptr},
    {"stage2-x2", nullptr, "x2: doubles the Second Stage's stretch", C, 1, 0, 1, {At(FIELD(stretchDouble[1]), CheckDouble2)}, nullptr},
    {"curve", nullptr, "Curved Deformation", V, 2, 0, 50, {At(FIELD(curve.x), CurvePad, 0), At(FIELD(curve.y), CurvePad, 1)}, nullptr},
    {"curve-shape", nullptr, "Curve Shape", ControlKind::Toggle, 1, 0, 2, {At(FIELD(curveShape), ToggleCurveShape)}, kCurveShapes},
    {"brightness-ratio", nullptr, "Brightness Ratio", V, 1, 0, 100, {At(FIELD(brightnessRatio), BrightnessRatio)}, nullptr},
    {"light-exiting", nullptr, "Light Exiting", V, 1, 0, 100, {At(FIELD(lightExiting), LightExiting)}, nullptr},
    {"saturation", nullptr, "Saturation", V, 1, 0, 100, {At(FIELD(saturation), Saturation)}, nullptr},
    {"antialiasing", "antialias", "Anti-aliasing", C, 1, 0, 1, {At(FIELD(antiAliasing), CheckAntiAliasing)}, nullptr},
    {"deformation", nullptr, "Deformation", C, 1, 0, 1, {At(FIELD(deformation), CheckDeformation)}, nullptr},
    {"white-canvas", nullptr, "WhiteCanvas", C, 1, 0, 1, {At(FIELD(whiteCanvas), CheckWhiteCanvas)}, nullptr},
    {"bg-color", nullptr, "BG: Background Color", ControlKind::Colour, 1, 0, 3,
     {{FIELD(backgroundColor.source), 1, 0, 3, 0, 0}, At(FIELD(backgroundColor), 0)}, nullptr},
    {"stage1-gradient-color", nullptr, "Gradient Shadow Color (First Stage)", ControlKind::Colour, 1, 0, 3,
     {{FIELD(gradientShadowColor[0].source), 1, 0, 3, 1, 0}, At(FIELD(gradientShadowColor[0]), 1)}, nullptr},
    {"stage2-gradient-color", nullptr, "Gradient Shadow Color (Second Stage)", ControlKind::Colour, 1, 0, 3,
     {{FIELD(gradientShadowColor[1].source), 1, 0, 3, 2, 0}, At(FIELD(gradientShadowColor[1]), 2)}, nullptr},
    {"stage1-side-color", nullptr, "Side Shadow Color (First Stage)", ControlKind::Colour, 1, 0, 3,
     {{FIELD(sideShadowColor[0].source), 1, 0, 3, 3, 0}, At(FIELD(sideShadowColor[0]), 3)}, nullptr},
    {"stage2-side-color", nullptr, "Side Shadow Color (Second Stage)", ControlKind::Colour, 1, 0, 3,
     {{FIELD(sideShadowColor[1].source), 1, 0, 3, 4, 0}, At(FIELD(sideShadowColor[1]), 4)}, nullptr},
};

#undef FIELD

const ControlTable kTable{kControls, static_cast<int>(sizeof kControls / sizeof kControls[0])};

} // namespace

const ControlTable& TwoStageControls()
{
    return kTable;
}
