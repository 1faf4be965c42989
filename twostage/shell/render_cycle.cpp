// The render cycle of velk2000's dialog: widgets repainted, the record read
// from them, the whole image fetched once, and the preview rendered until a
// render completes (a change during a render abandons it); then the preview
// is shown. And the preview callback that keeps the widgets live meanwhile.
#include <initializer_list>

#include "resources/resource_ids.h"
#include "toolkit/dialog/render_cycle.h"
#include "toolkit/preview/preview_store.h"
#include "toolkit/widgets/slider.h"
#include "toolkit/widgets/tri_state_toggle.h"
#include "twostage/shell/twostage_dialog.h"

namespace {

void PaintToggles(const TwoStageDialog& d, HDC dc)
{
    const TwoStagePanel& p = d.panel;
    const TriStateToggle first{p.toggle[ToggleOrientation1]}, second{p.toggle[ToggleOrientation2]},
        shape{p.toggle[ToggleCurveShape]};
    PaintTriStateToggle(&first, dc, d.orientationStrip.bitmap());
    PaintTriStateToggle(&second, dc, d.orientationStrip.bitmap());
    PaintTriStateToggle(&shape, dc, d.curveStrip.bitmap());
}

void PaintSliders(TwoStageDialog& d, HDC dc)
{
    Slider* s = d.panel.slider;
    const bool all = d.redrawAll;
    for (int i : {VSpacing2, HSpacing2, HSpacing1, VSpacing1, SideBlur1, SideDepth1, MoireH, MoireV,
                  SideBlur2, SideDepth2})
        if (all || s[i].active)
            PaintSlider(&s[i], d.frame.kit, dc);
    PaintPads(d, dc);
    for (int i : {LightExiting, BrightnessRatio, Saturation})
        if (all || s[i].active)
            PaintSlider(&s[i], d.frame.kit, dc);
}

bool Dispatch(void* dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMouse(*static_cast<TwoStageDialog*>(dialog), message, wParam, lParam);
}

// Every eighth row: a mark that travels along the status line, then the
// widgets kept live.
int32_t PreviewCallback(int32_t row, int32_t, void* user)
{
    TwoStageDialog& d = *static_cast<TwoStageDialog*>(user);
    const Box& T = d.status;
    HDC dc = KitWindowDC(d.frame.kit);
    if (row < 10)
        FillTexture(d.frame.kit, dc, T.left, T.top, T.right, T.bottom);
    if (row < 340) {
        const int32_t k = row / 2;
        static const int8_t mark[10][2] = {{17, 5}, {18, 6}, {17, 7}, {18, 8}, {17, 9},
                                           {18, 5}, {19, 6}, {18, 7}, {19, 8}, {18, 9}};
        for (const auto& m : mark)
            PutPixel(dc, T.left + k + m[0], T.top + m[1], RGB(64, 0, 0));
        d.lastStatusId = kStatusUnknown;
    }
    ReleaseDC(d.frame.window, dc);
    return PreviewMouse(d.frame, Dispatch, &d);
}

TwoStageDialog& Of(void* user)
{
    return *static_cast<TwoStageDialog*>(user);
}

const RenderSteps kSteps = {
    [](bool all, void* u) {
        TwoStageDialog& d = Of(u);
        d.redrawAll = ApplySpacingStep(d) || all;
        HDC dc = KitWindowDC(d.frame.kit);
        PaintToggles(d, dc);
        PaintSliders(d, dc);
        ReleaseDC(d.frame.window, dc);
    },
    [](void* u) {
        TwoStageDialog& d = Of(u);
        ReadCheckBoxes(d);
        ReadWidgets(d.panel, gTwoStage.params);
        ReleaseBypass(d);
    },
    [](void* u) {
        TwoStageDialog& d = Of(u);
        return FetchPreviewImage(d.frame, gTwoStage.hostRecord, gTwoStage.planes, gTwoStage.previewScale,
                                 d.previewSize);
    },
    [](void* u) { return SameTwoStageParams(gTwoStage.params, Of(u).lastRendered); },
    [](void* u) {
        TwoStageDialog& d = Of(u);
        return RenderTwoStage(gTwoStage.context, 0, 0, d.previewSize.width, d.previewSize.height,
                              gPreview.colour, kPreviewRowBytes, gPreview.result, kPreviewRowBytes,
                              gPreview.selection, kPreviewWidth, gPreview.transparency, 1.0f,
                              kTwoStagePreviewMode, PreviewCallback, &d);
    },
    [](void* u) {
        TwoStageDialog& d = Of(u);
        ShowPreviewResult(d.preview.picture, gPreview.result);
        PushHistory(d.history, d.lastRendered, gTwoStage.params);
        d.lastRendered = gTwoStage.params;
    },
    nullptr,
};

} // namespace

void RenderCycle(TwoStageDialog& d)
{
    if (!d.frame.ready || d.frame.closed)
        return;
    HDC dc = KitWindowDC(d.frame.kit);
    CloseHelpView(d, dc);
    for (ColourSwatch& swatch : d.swatch)
        PaintColourSwatch(&swatch, dc, gTwoStage.planes, gTwoStage.hostRecord->foreColor,
                          gTwoStage.hostRecord->backColor);
    ReleaseDC(d.frame.window, dc);
    RenderSteps steps = kSteps;
    steps.user = &d;
    if (RunRenderCycle(d.imageTransferred, steps) == CycleEnd::Closed)
        return;
    d.redrawAll = false;
    dc = KitWindowDC(d.frame.kit);
    BlitPreview(d.preview.picture, dc, d.anchors.P.left + 2, d.anchors.P.top + 2, d.frame.layout.scale);
    ReleaseDC(d.frame.window, dc);
    // The status line under the pointer again (the travelling mark cleared
    // it): where the last move put it unless the cursor has moved since.
    POINT at;
    GetCursorPos(&at);
    Pointer p = d.pointer;
    if (at.x != d.pointerScreen.x || at.y != d.pointerScreen.y) {
        ScreenToClient(d.frame.window, &at);
        const Scale scale = d.frame.layout.scale;
        p = Pointer{ToLayout(scale, at.x), ToLayout(scale, at.y)};
    }
    UpdateStatus(d, p);
    d.frame.pendingChanges = 0;
}
