#include "deform/shell/deform_panel.h"

#include <algorithm>
#include <cstring>

#include "deform/engine/deform_controls.h"
#include "deform/engine/factory_presets.h"

namespace {

// The extent of a slot's track along one axis: its control's range (0 for
// an axis the widget does not move).
int32_t Extent(int slot, int axis)
{
    const ControlSpec* c = ControlOfWidget(DeformControls(), ControlKind::Value, slot, axis);
    return c ? c->max : 0;
}

int32_t Limit(int slot, int axis, int32_t value)
{
    // An axis the widget does not move keeps the stored value.
    const ControlSpec* c = ControlOfWidget(DeformControls(), ControlKind::Value, slot, axis);
    return c ? LimitControlValue(*c, value) : value;
}

// A stored value lands where a drag could put it, so a record made by hand
// or damaged cannot put a knob off its track.
void SetSlot(DeformPanel& p, int slot, int32_t x, int32_t y)
{
    p.slot[slot].valueX = Limit(slot, 0, x);
    p.slot[slot].valueY = Limit(slot, 1, y);
}

// The toggle shows one of three pictures; a larger state would be drawn from
// beyond its strip.
void SetStyle(DeformPanel& p, uint8_t styleBits)
{
    p.toggle.state = std::min(styleBits & 3, 2);
    p.doubleStretch = (styleBits >> 2) & 1;
}

} // namespace

void MakeDeformSliders(DeformPanel& p, const BitmapImage* knob, int32_t knobSize,
                       const DeformAnchors& a)
{
    const KitVariant v = KitVariant::Deform;
    const Box &P = a.P, &G = a.G, &T = a.T;
    auto make = [&](int slot, int32_t left, int32_t top, int32_t style, const char* label) {
        p.slot[slot] = MakeSlider(v, knob, knobSize, knobSize, left, top, Extent(slot, 0),
                                  Extent(slot, 1), style, label);
    };
    const int32_t plain = SliderTrack | SliderShowValue;
    make(SlotTileHeight, P.left - 11, P.top + 2, 0, "0");
    make(SlotTileWidth, P.left + 2, P.top - 11, 0, "1");
    make(SlotSideShading, G.left + 4, G.bottom + 60, plain | SliderCentred, "S-Shading");
    p.toggle = ToggleLogic{G.left + 84, G.bottom + 34, 18, 18, p.toggle.state};
    make(SlotBevelWidth, G.left + 4, G.bottom + 26, plain, "S-Bevel width");
    make(SlotLightBoost, G.left + 4, G.bottom + 124, plain, "Light Boosting");
    make(SlotBrightness, G.left + 4, G.bottom + 94, plain, "Brightness Ratio");
    make(kSlotSaturation, G.left + 4, G.bottom + 154, plain, "Saturation");
    make(SlotStretch, T.left + 21, T.top + 21, SliderPad, "");
    make(SlotGradient, G.left, G.top, SliderPad, "");
}

void CaptureSettings(const DeformPanel& p, const DeformColour& colour, bool storePicked,
                     DeformSettings& r)
{
    r.saveFlags = p.saveFlags;
    r.colourSource = colour.source;
    for (int i = 0; i < 8; ++i) {
        r.valueX[i] = static_cast<int16_t>(p.slot[i].valueX);
        r.valueY[i] = static_cast<int16_t>(p.slot[i].valueY);
    }
    r.antialias = static_cast<uint8_t>(p.antialias);
    r.styleBits = static_cast<uint8_t>((p.toggle.state & 3) | ((p.doubleStretch & 1) << 2));
    r.checksum = DeformChecksum(r);
    if (storePicked) {
        std::memcpy(r.colour, colour.picked, 4);
    } else {
        for (int k = 0; k < 4; ++k)
            r.colour[k] = static_cast<uint8_t>(colour.fill >> (8 * k));
    }
    r.saturation = static_cast<uint8_t>(p.slot[kSlotSaturation].valueX);
    r.magic = kDeformMagic;
}

void ApplyUserRecord(DeformPanel& p, DeformColour& colour, const DeformSettings& r,
                     int32_t planes, const uint8_t fore[4], const uint8_t back[4])
{
    p.saveFlags = r.saveFlags;
    if (!(r.saveFlags & LastUsedMark) && (r.saveFlags & SaveColour)) {
        if (r.colourSource != Transparent) {
            std::memcpy(colour.picked, r.colour, 4);
            colour.source = Picker;
        } else if (planes == 4) {
            colour.source = Transparent;
        } else if (colour.source == Transparent) {
            colour.source = Picker;
        }
        colour.fill = ResolveFillColour(planes, colour.source, colour.picked, fore, back);
    }
    const int32_t light[3] = {p.slot[SlotLightBoost].valueX, p.slot[SlotBrightness].valueX,
                              p.slot[kSlotSaturation].valueX};
    for (int i = 0; i < 8; ++i)
        SetSlot(p, i, r.valueX[i], r.valueY[i]);
    SetSlot(p, kSlotSaturation, r.saturation, 0);
    if (!(r.saveFlags & (SaveLightCorrection | LastUsedMark))) {
        p.slot[SlotLightBoost].valueX = light[0];
        p.slot[SlotBrightness].valueX = light[1];
        p.slot[kSlotSaturation].valueX = light[2];
    }
    SetStyle(p, r.styleBits);
    if (r.saveFlags & LastUsedMark)
        p.saveFlags = LastUsedMark;
}

bool ApplyFactoryCode(DeformPanel& p, DeformSettings& record, const char* code)
{
    DeformSettings controls = record;
    const DeformColour none{};
    CaptureSettings(p, none, false, controls);
    if (!DecodeFactoryPreset(code, controls))
        return false;
    for (int i = 0; i < 6; ++i)
        SetSlot(p, i, controls.valueX[i], controls.valueY[i]);
    SetStyle(p, controls.styleBits);
    record.saveFlags = 0;
    p.saveFlags = 0;
    return true;
}

void SetFallbackLight(DeformPanel& p)
{
    DeformSettings light{};
    SetFallbackLightCorrection(light);
    p.slot[SlotLightBoost].valueX = light.valueX[SlotLightBoost];
    p.slot[SlotBrightness].valueX = light.valueX[SlotBrightness];
    p.slot[kSlotSaturation].valueX = light.saturation;
}

void FollowStretchPad(DeformPanel& p, const Box& P)
{
    const Slider& pad = p.slot[SlotStretch];
    Slider& top = p.slot[SlotTileWidth];
    Slider& left = p.slot[SlotTileHeight];
    const int32_t dx = pad.valueX < 25 ? 25 - pad.valueX : 0;
    const int32_t dy = pad.valueY < 25 ? 25 - pad.valueY : 0;
    top.left = dx * (left.valueY + 1) / 50 + P.left + 2;
    if (top.left + top.valueX > P.left + 364)
        top.left = P.left + 364 - top.valueX;
    left.top = dy * (top.valueX + 1) / 50 + P.top + 2;
    if (left.top + left.valueY > P.top + 360)
        left.top = P.top + 360 - left.valueY;
}

DeformInputs PanelPreviewInputs(const DeformPanel& p, const DeformColour& colour)
{
    DeformSettings r{};
    CaptureSettings(p, colour, false, r);
    return PreviewInputs(r);
}
