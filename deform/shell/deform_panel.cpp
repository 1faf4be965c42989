#include "deform/shell/deform_panel.h"

#include <cstring>

#include "deform/engine/factory_presets.h"

namespace {

void SetSlot(Slider& s, int16_t x, int16_t y)
{
    s.valueX = x;
    s.valueY = y;
}

} // namespace

void MakeDeformSliders(DeformPanel& p, const BitmapImage* knob, int32_t knobSize,
                       const DeformAnchors& a)
{
    const KitVariant v = KitVariant::Deform;
    const Box &P = a.P, &G = a.G, &T = a.T;
    auto make = [&](int32_t left, int32_t top, int32_t w, int32_t h, int32_t style, const char* label) {
        return MakeSlider(v, knob, knobSize, knobSize, left, top, w, h, style, label);
    };
    const int32_t plain = SliderTrack | SliderShowValue;
    p.slot[SlotTileHeight] = make(P.left - 11, P.top + 2, 0, 360, 0, "0");
    p.slot[SlotTileWidth] = make(P.left + 2, P.top - 11, 364, 0, 0, "1");
    p.slot[SlotSideShading] = make(G.left + 4, G.bottom + 60, 100, 0, plain | SliderCentred, "S-Shading");
    p.toggle = ToggleLogic{G.left + 84, G.bottom + 34, 18, 18, p.toggle.state};
    p.slot[SlotBevelWidth] = make(G.left + 4, G.bottom + 26, 50, 0, plain, "S-Bevel width");
    p.slot[SlotLightBoost] = make(G.left + 4, G.bottom + 124, 100, 0, plain, "Light Boosting");
    p.slot[SlotBrightness] = make(G.left + 4, G.bottom + 94, 100, 0, plain, "Brightness Ratio");
    p.slot[kSlotSaturation] = make(G.left + 4, G.bottom + 154, 100, 0, plain, "Saturation");
    p.slot[SlotStretch] = make(T.left + 21, T.top + 21, 50, 50, SliderPad, "");
    p.slot[SlotGradient] = make(G.left, G.top, 50, 50, SliderPad, "");
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
        SetSlot(p.slot[i], r.valueX[i], r.valueY[i]);
    p.slot[kSlotSaturation].valueX = r.saturation;
    if (!(r.saveFlags & (SaveLightCorrection | LastUsedMark))) {
        p.slot[SlotLightBoost].valueX = light[0];
        p.slot[SlotBrightness].valueX = light[1];
        p.slot[kSlotSaturation].valueX = light[2];
    }
    p.toggle.state = r.styleBits & 3;
    p.doubleStretch = (r.styleBits >> 2) & 1;
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
        SetSlot(p.slot[i], controls.valueX[i], controls.valueY[i]);
    p.toggle.state = controls.styleBits & 3;
    p.doubleStretch = (controls.styleBits >> 2) & 1;
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
