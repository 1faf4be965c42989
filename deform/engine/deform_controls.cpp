#include "deform/engine/deform_controls.h"

#include <cstddef>

#include "deform/engine/deform_settings.h"

namespace {

constexpr uint8_t X(int slot) { return static_cast<uint8_t>(offsetof(DeformSettings, valueX) + 2 * slot); }
constexpr uint8_t Y(int slot) { return static_cast<uint8_t>(offsetof(DeformSettings, valueY) + 2 * slot); }

constexpr ControlValue SlotX(int slot) { return {X(slot), 2, 0, 0, static_cast<int8_t>(slot), 0}; }
constexpr ControlValue SlotY(int slot) { return {Y(slot), 2, 0, 0, static_cast<int8_t>(slot), 1}; }
constexpr ControlValue Byte(size_t offset, int widget) { return {static_cast<uint8_t>(offset), 1, 0, 0, static_cast<int8_t>(widget), 0}; }

constexpr uint8_t kStyle = offsetof(DeformSettings, styleBits);

const ControlSpec kControls[] = {
    {"tile-width", nullptr, "tile width (top edge slider)", ControlKind::Value, 1, 0, 364, {SlotX(SlotTileWidth)}, nullptr},
    {"tile-height", nullptr, "tile height (left edge slider)", ControlKind::Value, 1, 0, 360, {SlotY(SlotTileHeight)}, nullptr},
    {"s-bevel-width", nullptr, "S-Bevel width", ControlKind::Value, 1, 0, 50, {SlotX(SlotBevelWidth)}, nullptr},
    {"s-shading", nullptr, "S-Shading", ControlKind::Value, 1, 0, 100, {SlotX(SlotSideShading)}, nullptr},
    {"orientation", nullptr, "which faces S-Shading darkens (the toggle's three pictures)", ControlKind::Toggle, 1, 0, 2,
     {{kStyle, 1, 0, 3, 0, 0}}, nullptr},
    {"g-shading", nullptr, "G-Shading", ControlKind::Value, 2, 0, 50, {SlotX(SlotGradient), SlotY(SlotGradient)}, nullptr},
    {"stretch", nullptr, "Stretch", ControlKind::Value, 2, 0, 50, {SlotX(SlotStretch), SlotY(SlotStretch)}, nullptr},
    {"x2", nullptr, "x2 (doubles the stretch)", ControlKind::Check, 1, 0, 1, {{kStyle, 1, 2, 1, DeformCheckDouble, 0}}, nullptr},
    {"brightness-ratio", "brightness", "Brightness Ratio", ControlKind::Value, 1, 0, 100, {SlotX(SlotBrightness)}, nullptr},
    {"light-boosting", "light-boost", "Light Boosting", ControlKind::Value, 1, 0, 100, {SlotX(SlotLightBoost)}, nullptr},
    {"saturation", nullptr, "Saturation", ControlKind::Value, 1, 0, 100, {Byte(offsetof(DeformSettings, saturation), 8)}, nullptr},
    {"antialiasing", "antialias", "Antialiasing", ControlKind::Check, 1, 0, 1,
     {Byte(offsetof(DeformSettings, antialias), DeformCheckAntialias)}, nullptr},
    {"fill", "bkgr-color", "BkgrColor: the colour behind the tiles (transparent by default on an image with alpha)", ControlKind::Colour, 1, 0, 3,
     {Byte(offsetof(DeformSettings, colourSource), 0), Byte(offsetof(DeformSettings, colour), 0)}, nullptr},
};

const ControlTable kTable{kControls, static_cast<int>(sizeof kControls / sizeof kControls[0])};

} // namespace

const ControlTable& DeformControls()
{
    return kTable;
}
