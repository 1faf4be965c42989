#include "twostage/shell/twostage_panel.h"

#include <algorithm>

#include "twostage/engine/preset_load.h"

void MakeTwoStageWidgets(TwoStagePanel& p, const TwoStageKnobs& k, const TwoStageAnchors& a)
{
    const KitVariant v = KitVariant::TwoStage;
    const Box &P = a.P, &G = a.G, &S = a.S, &A = a.A, &L = a.L;
    const int32_t centred = SliderTrack | SliderCentred | SliderShowValue;
    const int32_t plain = SliderTrack | SliderShowValue;
    const struct {
        int32_t left, top, width, height, style;
        const BitmapImage* knob;
        const char* label;
    } table[kTwoStageSliders] = {
        {P.left - 30, P.top + 2, 0, 250, 0, k.violet, "0"},
        {P.left + 2, P.top - 30, 250, 0, 0, k.violet, "1"},
        {P.right + 11, P.bottom - 84, 0, 100, centred, k.yellow, ""},
        {P.right - 166, P.bottom + 14, 100, 0, centred, k.yellow, ""},
        {P.left - 10, P.top + 2, 0, 250, 0, k.yellow, "0"},
        {P.left + 2, P.top - 11, 250, 0, 0, k.yellow, "1"},
        {A.left, A.top + 8, 100, 0, centred, k.yellow, "S-Shading"},
        {A.left, A.top + 22, 50, 0, plain, k.yellow, ""},
        {A.left, A.top + 40, 100, 0, centred, k.violet, ""},
        {A.left, A.top + 54, 50, 0, plain, k.violet, ""},
        {L.left, L.top, 100, 0, plain, k.yellow, "Brightness Ratio"},
        {L.left, L.top + 26, 100, 0, plain, k.yellow, "Light Exiting"},
        {L.left, L.top + 52, 100, 0, plain, k.yellow, "Saturation"},
        {S.left + 21, S.top + 21, 50, 50, SliderPad, k.yellow, ""},
        {S.left + 21, S.bottom - 64, 50, 50, SliderPad, k.violet, ""},
        {G.left, G.top, 50, 50, SliderPad, k.yellow, ""},
        {G.left, G.bottom - 139, 50, 50, SliderPad, k.violet, ""},
        {G.left - 2, G.bottom - 67, 50, 50, SliderPad, k.diamond, ""},
    };
    for (int i = 0; i < kTwoStageSliders; ++i) {
        const auto& t = table[i];
        const int32_t size = t.knob == k.diamond ? 17 : 13;
        p.slider[i] = MakeSlider(v, t.knob, size, size, t.left, t.top, t.width, t.height, t.style, t.label);
    }
    for (int s = 0; s < 2; ++s)
        p.orientation[s] = ToggleLogic{a.orientationFrame[s].left - 24, a.orientationFrame[s].top - 2, 18, 18, 0};
    p.curveShape = ToggleLogic{a.curveFrame.left + 2, a.curveFrame.top + 2, 14, 14, 0};
}

void ReadWidgets(const TwoStagePanel& p, TwoStageParams& r)
{
    const Slider* s = p.slider;
    const auto byte = [](int32_t v) { return static_cast<uint8_t>(v); };
    r.spacing[0] = StageSpacing{byte(s[HSpacing1].valueX), byte(s[VSpacing1].valueY)};
    r.spacing[1] = StageSpacing{byte(s[HSpacing2].valueX), byte(s[VSpacing2].valueY)};
    r.moireH = byte(s[MoireH].valueX);
    r.moireV = byte(s[MoireV].valueY);
    r.gradientDepth[0] = PadValue{byte(s[Gradient1].valueX), byte(s[Gradient1].valueY)};
    r.gradientDepth[1] = PadValue{byte(s[Gradient2].valueX), byte(s[Gradient2].valueY)};
    r.sideShadowDepth[0] = byte(s[SideDepth1].valueX);
    r.sideShadowDepth[1] = byte(s[SideDepth2].valueX);
    r.stretch[0] = PadValue{byte(s[Stretch1].valueX), byte(s[Stretch1].valueY)};
    r.stretch[1] = PadValue{byte(s[Stretch2].valueX), byte(s[Stretch2].valueY)};
    r.sideShadowBlur[0] = byte(s[SideBlur1].valueX);
    r.sideShadowBlur[1] = byte(s[SideBlur2].valueX);
    r.orientation[0] = byte(p.orientation[0].state);
    r.orientation[1] = byte(p.orientation[1].state);
    r.brightnessRatio = byte(s[BrightnessRatio].valueX);
    r.lightExiting = byte(s[LightExiting].valueX);
    r.saturation = byte(s[Saturation].valueX);
    r.version = kTwoStageVersion;
    r.stretchDouble[0] = p.check[CheckDouble1];
    r.stretchDouble[1] = p.check[CheckDouble2];
    r.antiAliasing = p.check[CheckAntiAliasing];
    r.deformation = p.check[CheckDeformation];
    r.whiteCanvas = p.check[CheckWhiteCanvas];
    r.curve = PadValue{byte(s[CurvePad].valueX), byte(s[CurvePad].valueY)};
    r.curveShape = byte(p.curveShape.state);
}

void SetWidgets(TwoStagePanel& p, const TwoStageParams& r)
{
    Slider* s = p.slider;
    // Each value lands where a drag could put it: a record made by hand or
    // damaged cannot put a knob off its track.
    const auto x = [&](int i, int32_t v) { SetSliderValue(s[i], v, s[i].valueY); };
    const auto y = [&](int i, int32_t v) { SetSliderValue(s[i], s[i].valueX, v); };
    x(HSpacing1, r.spacing[0].hSpacing);
    y(VSpacing1, r.spacing[0].vSpacing);
    x(HSpacing2, r.spacing[1].hSpacing);
    y(VSpacing2, r.spacing[1].vSpacing);
    x(MoireH, r.moireH);
    y(MoireV, r.moireV);
    SetSliderValue(s[Gradient1], r.gradientDepth[0].x, r.gradientDepth[0].y);
    SetSliderValue(s[Gradient2], r.gradientDepth[1].x, r.gradientDepth[1].y);
    x(SideDepth1, r.sideShadowDepth[0]);
    x(SideDepth2, r.sideShadowDepth[1]);
    SetSliderValue(s[Stretch1], r.stretch[0].x, r.stretch[0].y);
    SetSliderValue(s[Stretch2], r.stretch[1].x, r.stretch[1].y);
    x(SideBlur1, r.sideShadowBlur[0]);
    x(SideBlur2, r.sideShadowBlur[1]);
    x(BrightnessRatio, r.brightnessRatio);
    x(LightExiting, r.lightExiting);
    x(Saturation, r.saturation);
    SetSliderValue(s[CurvePad], r.curve.x, r.curve.y);
    // A toggle shows one of its three pictures; a larger state would be
    // drawn from beyond its strip.
    const auto state = [](uint8_t v) { return std::min<int32_t>(v, 2); };
    p.orientation[0].state = state(r.orientation[0]);
    p.orientation[1].state = state(r.orientation[1]);
    p.curveShape.state = state(r.curveShape);
    p.check[CheckDouble1] = r.stretchDouble[0] & 1;
    p.check[CheckDouble2] = r.stretchDouble[1] & 1;
    p.check[CheckAntiAliasing] = r.antiAliasing & 1;
    p.check[CheckDeformation] = r.deformation & 1;
    p.check[CheckWhiteCanvas] = r.whiteCanvas & 1;
}

bool LoadTwoStageRecord(TwoStagePanel& panel, TwoStageParams& current, const TwoStageParams& source)
{
    const TwoStageParams before = current;
    current = source;
    const bool later = FinishPresetLoad(current, before);
    SetWidgets(panel, current);
    // The record holds what the widgets show, as the next render reads it.
    ReadWidgets(panel, current);
    return later;
}
