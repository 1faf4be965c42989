// The paint of velk2000's dialog: the first paint's set-up (surfaces,
// widgets, links, presets), the captions, and the pads with their frames.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "resources/resource_ids.h"
#include "toolkit/widgets/slider.h"
#include "twostage/engine/twostage_presets.h"
#include "twostage/shell/twostage_dialog.h"

namespace {

void MeasureAnchors(TwoStageDialog& d)
{
    const HWND w = d.frame.window;
    TwoStageAnchors& a = d.anchors;
    a.P = ControlRect(w, IDC_PREVIEW_FRAME);
    a.G = ControlRect(w, IDC_GSHADING_FRAME);
    a.G.left += 24, a.G.top += 20;
    a.S = ControlRect(w, IDC_STRETCH_FRAME);
    a.S.left += 34, a.S.top += 36;
    a.A = ControlRect(w, IDC_SIDE_ANCHOR);
    a.L = ControlRect(w, IDC_LIGHT_ANCHOR);
    a.orientationFrame[0] = ControlRect(w, IDC_SWATCH_SIDE1);
    a.orientationFrame[1] = ControlRect(w, IDC_SWATCH_SIDE2);
    a.curveFrame = ControlRect(w, IDC_CURVE_FRAME);
    const int frames[6] = {IDC_SWATCH_GRADIENT1, IDC_SWATCH_GRADIENT2, IDC_SWATCH_SIDE1,
                           IDC_SWATCH_SIDE2, IDC_BG_SWATCH, IDC_CURVE_FRAME};
    for (int i = 0; i < 6; ++i)
        d.zones.frame[i] = ControlRect(w, frames[i]);
    const int buttons[7] = {ButtonUndo, ButtonRedo, ButtonDice, ButtonColourDice, ButtonIncrease,
                            ButtonDecrease, ButtonFlip};
    for (int i = 0; i < 7; ++i)
        if (const ImageButton* b = d.button[buttons[i]].get())
            d.zones.button[i] = Pointer{b->logic.x, b->logic.y};
    d.lastStatusId = kStatusUnknown;
    d.toolArea = ControlRect(w, IDC_TOOLS_ANCHOR);
    d.presetBox = ControlRect(w, IDC_PRESET_BOX);
    d.status = ControlRect(w, IDC_STATUS_ANCHOR);
}

void CreateWidgets(TwoStageDialog& d)
{
    MakeTwoStageWidgets(d.panel, TwoStageKnobs{d.yellow.get(), d.violet.get(), d.diamond.get()},
                        d.anchors);
    const int frames[5] = {IDC_BG_SWATCH, IDC_SWATCH_GRADIENT1, IDC_SWATCH_GRADIENT2,
                           IDC_SWATCH_SIDE1, IDC_SWATCH_SIDE2};
    TwoStageParams& p = gTwoStage.params;
    const ColourSetting* settings[5] = {&p.backgroundColor, &p.gradientShadowColor[0],
                                        &p.gradientShadowColor[1], &p.sideShadowColor[0],
                                        &p.sideShadowColor[1]};
    for (int i = 0; i < 5; ++i)
        d.swatch[i] = ColourSwatch{ControlRect(d.frame.window, frames[i]),
                                   reinterpret_cast<const uint8_t*>(settings[i])};
    const Box& P = d.anchors.P;
    const Box& T = d.status;
    d.help.reset(CreateTextLink(4, 4, 30, 13, REQ_LAST_HELP_PAGE, "help"));
    // The web link is as wide as its text: all of it can be clicked.
    const int32_t webWidth = LinkWidth(d.frame.kit, kHomePage) + 1;
    d.web.reset(CreateTextLink(T.left + 40, T.top, webWidth > 130 ? webWidth : 130, T.bottom - T.top,
                               REQ_WEB_LINK, kHomePage));
    d.page[0].reset(CreateTextLink(P.left + 20, P.bottom - 42, 80, 13, REQ_HELP_BASICS, "Basic Operations"));
    d.page[1].reset(CreateTextLink(P.left + 165, P.bottom - 42, 36, 13, REQ_HELP_SLIDERS, "Sliders"));
    d.page[2].reset(CreateTextLink(P.left + 250, P.bottom - 42, 100, 13, REQ_HELP_PRESETS, "Preset Management"));
}

void SetUp(TwoStageDialog& d, HDC dc)
{
    WriteText(dc, 100, 100, "DATA TRANSFER ... PLEASE WAIT");
    CreatePreviewPicture(d.preview.picture, dc);
    CreateBackBuffer(d.frame.kit, dc, 650, 440);
    MeasureAnchors(d);
    CreateWidgets(d);
    StartPresetBox(d);
    d.frame.ready = true;
}

void Captions(const TwoStageDialog& d, HDC dc)
{
    const HWND w = d.frame.window;
    const auto at = [w](int id) { return ControlRect(w, id); };
    const Box x1 = at(IDC_DOUBLE_STRETCH1), x2 = at(IDC_DOUBLE_STRETCH2), def = at(IDC_DEFORMATION),
              white = at(IDC_WHITE_CANVAS), bypass = at(IDC_BYPASS_STAGE2), aa = at(IDC_ANTIALIAS),
              bg = at(IDC_BG_SWATCH);
    WriteText(dc, x1.left + 15, x1.top + 1, "x2");
    WriteText(dc, x2.left + 15, x2.top + 1, "x2");
    const int32_t frames = at(IDC_GSHADING_FRAME).left - 3;
    WriteTextWithin(dc, def.left + 16, def.top + 1, "Deformation", frames - (def.left + 16));
    WriteTextWithin(dc, white.left + 16, white.top + 1, "WhiteCanvas", frames - (white.left + 16));
    const ImageButton* cancel = d.button[ButtonCancel].get();
    const int32_t bypassEnd = cancel ? cancel->logic.x - 2 : bypass.right + 40;
    WriteTextWithin(dc, bypass.right + 2, bypass.top + 1, "Bypass", bypassEnd - (bypass.right + 2));
    WriteText(dc, aa.left - 4, aa.bottom + 2, "Anti-");
    WriteText(dc, aa.left - 12, aa.bottom + 14, "aliasing");
    WriteTextWithin(dc, bg.left - 20, bg.top + 4, "BG:", 18);
    const Slider& moire = d.panel.slider[MoireH];
    const Slider& blur = d.panel.slider[SideBlur1];
    WriteText(dc, moire.right + 12, moire.bottom - 8, "Offset");
    WriteText(dc, blur.right + 10, blur.bottom - 7, "S-Blur");
}

void ReadOut(HDC target, int32_t x, int32_t y, int32_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%.2i ", value - 25);
    WriteText(target, x, y, text);
}

// A G-Shading or curve pad: its frame, a cross through the knob, the two
// read-outs and the knob; lineTop is where the vertical line starts.
void CrossPad(const TwoStageDialog& d, HDC dc, Slider& pad, const Box& frame, int32_t lineTop, int32_t dxText)
{
    const Kit& kit = d.frame.kit;
    HDC back = kit.backDC;
    const int32_t X = d.anchors.G.left, x = pad.valueX, y = pad.valueY;
    FillTexture(kit, back, frame.left, frame.top, frame.right, frame.bottom);
    EngravedLine(back, X, lineTop + 4 + y, X + 58, lineTop + 4 + y);
    EngravedLine(back, X + x + 4, lineTop, X + x + 4, lineTop + 58);
    ReadOut(back, X + x + dxText, frame.top + y, x);
    ReadOut(back, X + x - 18, frame.top + 4 + y, y);
    PaintSlider(&pad, kit, back);
    CopyFromBack(kit, dc, frame.left, frame.top, frame.right, frame.bottom);
}

// A Stretch pad: the parallelogram of the shear from O, its read-outs on
// patches of paper, the knob; the frame's top-left 30 x 30 is not copied.
void StretchPad(const TwoStageDialog& d, HDC dc, Slider& pad, POINT O, const Box& frame)
{
    const Kit& kit = d.frame.kit;
    HDC back = kit.backDC;
    const int32_t x = pad.valueX, y = pad.valueY;
    const POINT q1 = {O.x + 50, O.y + y - 25}, q2 = {O.x + x + 25, O.y + y + 25}, q3 = {O.x + x - 25, O.y + 50};
    FillTexture(kit, back, frame.left, frame.top, frame.right, frame.bottom);
    EngravedLine(back, O.x, O.y, q3.x, q3.y);
    EngravedLine(back, O.x, O.y, q1.x, q1.y);
    EngravedLine(back, q1.x, q1.y, q2.x, q2.y);
    EngravedLine(back, q3.x, q3.y, q2.x, q2.y);
    FillTexture(kit, back, q1.x - 7, q1.y - 6, q1.x + 6, q1.y + 6);
    ReadOut(back, q1.x - 6, q1.y - 6, y);
    FillTexture(kit, back, q3.x - 6, q3.y - 6, q3.x + 10, q3.y + 6);
    ReadOut(back, q3.x - 6, q3.y - 6, x);
    PaintSlider(&pad, kit, back);
    CopyFromBack(kit, dc, frame.left + 30, frame.top, frame.right, frame.bottom);
    CopyFromBack(kit, dc, frame.left, frame.top + 30, frame.left + 30, frame.bottom);
}

} // namespace

void PaintPads(TwoStageDialog& d, HDC dc)
{
    TwoStagePanel& p = d.panel;
    const Box& G = d.anchors.G;
    const Box& S = d.anchors.S;
    const bool all = d.redrawAll;
    if (all || p.slider[Stretch2].active)
        StretchPad(d, dc, p.slider[Stretch2], {S.left, S.bottom - 85},
                   {S.left - 31, S.bottom - 116, S.right - 2, S.bottom - 2});
    if (all || p.slider[Stretch1].active)
        StretchPad(d, dc, p.slider[Stretch1], {S.left, S.top},
                   {S.left - 31, S.top - 31, S.right - 2, S.bottom - 115});
    if (all || p.slider[CurvePad].active)
        CrossPad(d, dc, p.slider[CurvePad], {G.left - 18, G.bottom - 79, G.left + 69, G.bottom - 3},
                 G.bottom - 65, 7);
    if (all || p.slider[Gradient2].active)
        CrossPad(d, dc, p.slider[Gradient2], {G.left - 18, G.bottom - 153, G.left + 70, G.bottom - 77},
                 G.bottom - 139, 8);
    if (all || p.slider[Gradient1].active)
        CrossPad(d, dc, p.slider[Gradient1], {G.left - 18, G.top - 14, G.left + 70, G.top + 62}, G.top, 8);
}

void PaintDialog(TwoStageDialog& d)
{
    // A window context of its own: a posted repaint has no invalid region.
    const HWND window = d.frame.window;
    HDC dc = KitWindowDC(d.frame.kit);
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    FillInvalid(d.frame.kit, dc, ps.rcPaint, d.frame.layout.scale);
    for (const OwnedButton& b : d.button)
        PaintImageButton(b.get(), dc);
    if (!d.frame.ready)
        SetUp(d, dc);
    Captions(d, dc);
    EndPaint(window, &ps);
    ReleaseDC(window, dc);
}
