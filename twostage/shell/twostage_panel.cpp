#include "twostage/shell/twostage_panel.h"

#include "twostage/engine/preset_load.h"

void MakeTwoStageWidgets(TwoStagePanel& p, const TwoStageKnobs& k, const TwoStageAnchors& a)
{
    const KitVariant v = KitVariant::TwoStage;
    const Box &P = a.P, &G = a.G, &S = a.S, &A = a.A, &L = a.L;
    const int32_t centred = SliderTrack | SliderCentred | SliderShowValue;
    const int32_t plain = SliderTrack | SliderShowValue;
    const struct {
        int32_t left, top, style;
        const BitmapImage* knob;
        const char* label;
    } table[kTwoStageSliders] = {
        {P.left - 30, P.top + 2, 0, k.violet, "0"},
        {P.left + 2, P.top - 30, 0, k.violet, "1"},
        {P.right + 11, P.bottom - 84, centred, k.yellow, ""},
        {P.right - 166, P.bottom + 14, centred, k.yellow, ""},
        {P.left - 10, P.top + 2, 0, k.yellow, "0"},
        {P.left + 2, P.top - 11, 0, k.yellow, "1"},
        {A.left, A.top + 8, centred, k.yellow, "S-Shading"},
        {A.left, A.top + 22, plain, k.yellow, ""},
        {A.left, A.top + 40, centred, k.violet, ""},
        {A.left, A.top + 54, plain, k.violet, ""},
        {L.left, L.top, plain, k.yellow, "Brightness Ratio"},
        {L.left, L.top + 26, plain, k.yellow, "Light Exiting"},
        {L.left, L.top + 52, plain, k.yellow, "Saturation"},
        {S.left + 21, S.top + 21, SliderPad, k.yellow, ""},
        {S.left + 21, S.bottom - 64, SliderPad, k.violet, ""},
        {G.left, G.top, SliderPad, k.yellow, ""},
        {G.left, G.bottom - 139, SliderPad, k.violet, ""},
        {G.left - 2, G.bottom - 67, SliderPad, k.diamond, ""},
    };
    for (int i = 0; i < kTwoStageSliders; ++i) {
        const auto& t = table[i];
        const int32_t size = t.knob == k.diamond ? 17 : 13;
        // A track is as long as its control's range: the value is the knob's
        // offset along it.
        const ControlSpec* x = ControlOfWidget(TwoStageControls(), ControlKind::Value, i, 0);
        const ControlSpec* y = ControlOfWidget(TwoStageControls(), ControlKind::Value, i, 1);
        p.slider[i] = MakeSlider(v, t.knob, size, size, t.left, t.top, x ? x->max : 0, y ? y->max : 0,
                                 t.style, t.label);
    }
    for (int s = 0; s < 2; ++s)
        p.toggle[ToggleOrientation1 + s] =
            ToggleLogic{a.orientationFrame[s].left - 24, a.orientationFrame[s].top - 2, 18, 18, 0};
    p.toggle[ToggleCurveShape] = ToggleLogic{a.curveFrame.left + 2, a.curveFrame.top + 2, 14, 14, 0};
}

void ReadWidgets(const TwoStagePanel& p, TwoStageParams& r)
{
    const ControlTable& table = TwoStageControls();
    for (int i = 0; i < table.count; ++i) {
        const ControlSpec& c = table.controls[i];
        for (int k = 0; k < c.count; ++k) {
            const ControlValue& v = c.value[k];
            switch (c.kind) {
            case ControlKind::Value: {
                const Slider& s = p.slider[v.widget];
                WriteControlValue(&r, v, v.axis ? s.valueY : s.valueX);
                break;
            }
            case ControlKind::Toggle: WriteControlValue(&r, v, p.toggle[v.widget].state); break;
            case ControlKind::Check: WriteControlValue(&r, v, p.check[v.widget]); break;
            case ControlKind::Colour: break; // the swatches edit the record directly
            }
        }
    }
    r.version = kTwoStageVersion;
}

void SetWidgets(TwoStagePanel& p, const TwoStageParams& r)
{
    const ControlTable& table = TwoStageControls();
    for (int i = 0; i < table.count; ++i) {
        const ControlSpec& c = table.controls[i];
        for (int k = 0; k < c.count; ++k) {
            const ControlValue& v = c.value[k];
            const int32_t value = ReadControlValue(&r, v);
            switch (c.kind) {
            case ControlKind::Value: {
                // Each value lands where a drag could put it: a record made
                // by hand or damaged cannot put a knob off its track.
                Slider& s = p.slider[v.widget];
                SetSliderValue(s, v.axis ? s.valueX : value, v.axis ? value : s.valueY);
                break;
            }
            case ControlKind::Toggle:
                // A toggle shows one of its pictures; a larger state would be
                // drawn from beyond its strip.
                p.toggle[v.widget].state = LimitControlValue(c, value);
                break;
            case ControlKind::Check: p.check[v.widget] = static_cast<uint8_t>(value & 1); break;
            case ControlKind::Colour: break;
            }
        }
    }
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
