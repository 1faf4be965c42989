// The render cycle of velk2000's dialog: widgets repainted, the record read
// from them, the whole image fetched once, and the preview rendered until a
// render completes (a change during a render abandons it); then the preview
// is shown. And the preview callback that keeps the widgets live meanwhile.
#include <cstring>
#include <initializer_list>

#include "resources/resource_ids.h"
#include "toolkit/preview/fetch_whole_image.h"
#include "toolkit/preview/preview_store.h"
#include "toolkit/widgets/slider.h"
#include "toolkit/widgets/tri_state_toggle.h"
#include "twostage/shell/render_loop.h"
#include "twostage/shell/twostage_dialog.h"

namespace {

const int kChecks[kTwoStageChecks] = {IDC_DOUBLE_STRETCH1, IDC_DOUBLE_STRETCH2, IDC_ANTIALIAS,
                                      IDC_DEFORMATION, IDC_WHITE_CANVAS};

void PaintToggles(HDC dc)
{
    TwoStagePanel& p = gDialog.panel;
    const TriStateToggle first{p.orientation[0]}, second{p.orientation[1]}, shape{p.curveShape};
    PaintTriStateToggle(&first, dc, gDialog.orientationStrip);
    PaintTriStateToggle(&second, dc, gDialog.orientationStrip);
    PaintTriStateToggle(&shape, dc, gDialog.curveStrip);
}

void PaintSliders(HDC dc)
{
    Slider* s = gDialog.panel.slider;
    const bool all = gDialog.redrawAll;
    for (int i : {VSpacing2, HSpacing2, HSpacing1, VSpacing1, SideBlur1, SideDepth1, MoireH, MoireV,
                  SideBlur2, SideDepth2})
        if (all || s[i].active)
            PaintSlider(&s[i], gDialog.kit, dc);
    PaintPads(dc);
    for (int i : {LightExiting, BrightnessRatio, Saturation})
        if (all || s[i].active)
            PaintSlider(&s[i], gDialog.kit, dc);
}

void ReadRecord()
{
    TwoStagePanel& p = gDialog.panel;
    for (int i = 0; i < kTwoStageChecks; ++i)
        p.check[i] = IsDlgButtonChecked(gDialog.window, kChecks[i]) == BST_CHECKED ? 1 : 0;
    ReadWidgets(p, gTwoStage.params);
}

// The first cycle asks the host for the whole image and reduces it.
bool TransferImage()
{
    FilterRecord* host = gTwoStage.hostRecord;
    const OSErr fetched = FetchWholeImage(host, static_cast<int16_t>(gTwoStage.planes));
    if (fetched != noErr) {
        CloseDialog(fetched);
        return false;
    }
    gDialog.preview = FillPreviewBuffers(
        gTwoStage.previewScale, static_cast<const uint8_t*>(host->inData), host->inRowBytes,
        gTwoStage.planes, host->haveMask ? static_cast<const uint8_t*>(host->maskData) : nullptr,
        host->maskRowBytes, host->imageSize.h, host->imageSize.v,
        static_cast<uint8_t*>(host->outData), PreviewStoreBuffers());
    return true;
}

bool IsChildOfDialog(HWND w)
{
    return w != gDialog.window && IsChild(gDialog.window, w);
}

// Every eighth row: a mark that travels along the status line, and at most
// one pending mouse message for the widgets; a change, or a change waiting
// beyond the first, abandons the render.
int32_t PreviewCallback(int32_t row, int32_t, void*)
{
    const Box& T = gDialog.status;
    HDC dc = GetDC(gDialog.window);
    if (row < 10)
        FillTexture(gDialog.kit, dc, T.left, T.top, T.right, T.bottom);
    if (row < 340) {
        const int32_t k = row / 2;
        static const int8_t mark[10][2] = {{17, 5}, {18, 6}, {17, 7}, {18, 8}, {17, 9},
                                           {18, 5}, {19, 6}, {18, 7}, {19, 8}, {18, 9}};
        for (const auto& m : mark)
            SetPixelV(dc, T.left + k + m[0], T.top + m[1], RGB(64, 0, 0));
        gDialog.lastStatusId = kStatusUnknown;
    }
    ReleaseDC(gDialog.window, dc);
    MSG msg;
    if (PeekMessageA(&msg, gDialog.window, WM_MOUSEFIRST, 0x0209, PM_REMOVE)) {
        if (IsChildOfDialog(msg.hwnd))
            return 0; // a check box's or the preset box's input is lost
        if (DispatchMouse(msg.message, msg.wParam, msg.lParam))
            return 1;
    }
    if (gDialog.pendingChanges > 1) {
        --gDialog.pendingChanges;
        return 1;
    }
    return 0;
}

int32_t RenderPreview()
{
    return RenderTwoStage(gTwoStage.context, 0, 0, gDialog.preview.width, gDialog.preview.height,
                          gPreview.colour, kPreviewRowBytes, gPreview.result, kPreviewRowBytes,
                          gPreview.selection, kPreviewWidth, gPreview.transparency, 1.0f,
                          kTwoStagePreviewMode, PreviewCallback, nullptr);
}


void PaintStep(bool all, void*)
{
    gDialog.redrawAll = ApplySpacingStep() || all;
    HDC dc = KitWindowDC(gDialog.kit);
    PaintToggles(dc);
    PaintSliders(dc);
    ReleaseDC(gDialog.window, dc);
}

void ReadStep(void*)
{
    ReadRecord();
    ReleaseBypass();
}

bool FetchStep(void*)
{
    return TransferImage();
}

int32_t RenderStep(void*)
{
    return RenderPreview();
}

void CompletedStep(void*)
{
    ShowPreviewResult(gDialog.picture, gPreview.result);
    PushHistory(gDialog.history, gDialog.lastRendered, gTwoStage.params);
}

} // namespace

void RenderCycle()
{
    TwoStageDialog& g = gDialog;
    if (!g.firstPaintDone || g.closed)
        return;
    HDC dc = KitWindowDC(g.kit);
    CloseHelpView(dc);
    for (int i = 0; i < 5; ++i)
        PaintColourSwatch(&g.swatch[i], dc, gTwoStage.planes, gTwoStage.hostRecord->foreColor,
                          gTwoStage.hostRecord->backColor);
    ReleaseDC(g.window, dc);
    const RenderSteps steps{PaintStep, ReadStep, FetchStep, RenderStep, CompletedStep, nullptr};
    if (RunRenderCycle(gTwoStage.params, g.lastRendered, g.imageTransferred, steps) == CycleEnd::Closed)
        return;
    g.redrawAll = false;
    dc = KitWindowDC(g.kit);
    BlitPreview(g.picture, dc, g.anchors.P.left + 2, g.anchors.P.top + 2);
    ReleaseDC(g.window, dc);
    // The status line under the pointer again (the travelling mark cleared it).
    POINT screen;
    GetCursorPos(&screen);
    UpdateStatus(Pointer{screen.x - g.pointerOffset.x, screen.y - g.pointerOffset.y});
    g.pendingChanges = 0;
}
