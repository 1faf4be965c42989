// The paint of velk3d's dialog: the first paint's set-up, the render loop
// that re-renders the preview until a render completes, the pads' frames,
// the read-outs and captions around them, and the preview's callback.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "deform/shell/deform_dialog.h"
#include "resources/resource_ids.h"
#include "toolkit/preview/fetch_whole_image.h"
#include "toolkit/preview/preview_reduce.h"
#include "toolkit/preview/preview_store.h"
#include "toolkit/widgets/slider.h"
#include "toolkit/widgets/tri_state_toggle.h"

namespace {

// The first paint: the notice, the image reduced into the preview buffers,
// the surfaces, the widgets and the presets. Returns the image request's
// result: without buffers from the host the dialog closes with it.
OSErr SetUp(HDC dc)
{
    WriteText(dc, 50, 50, "DATA TRANSFER ... PLEASE WAIT", 29);
    FilterRecord* host = gDeform.hostRecord;
    const OSErr fetched = FetchWholeImage(host, static_cast<int16_t>(gDeform.planesInUse));
    if (fetched != noErr)
        return fetched;
    gDialog.preview = FillPreviewBuffers(
        gDeform.previewScale, static_cast<const uint8_t*>(host->inData), host->inRowBytes,
        gDeform.planesInUse, host->haveMask ? static_cast<const uint8_t*>(host->maskData) : nullptr,
        host->maskRowBytes, host->imageSize.h, host->imageSize.v,
        static_cast<uint8_t*>(host->outData), PreviewStoreBuffers());
    CreatePreviewPicture(gDialog.picture, dc);
    CreateBackBuffer(gDialog.kit, dc, 632, 436);
    std::memcpy(gDeform.colour.picked, gDeform.settings.colour, 3);

    const HWND w = gDialog.window;
    DeformAnchors& a = gDialog.anchors;
    a.P = ControlRect(w, IDC_PREVIEW_FRAME);
    a.G = ControlRect(w, IDC_GSHADING_FRAME);
    a.G.left += 24, a.G.top += 24;
    a.T = ControlRect(w, IDC_STRETCH_FRAME);
    a.T.left += 34, a.T.top += 36;
    gDialog.swatch = ControlRect(w, IDC_BG_SWATCH);
    gDialog.link = ControlRect(w, IDC_STATUS_ANCHOR);
    MakeDeformSliders(gDeform.panel, gDialog.knob, 13, a);
    CheckDlgButton(w, IDC_ANTIALIAS, BST_CHECKED);
    StartPresetBox();
    gDialog.initialised = true;
    return noErr;
}

void PaintSlot(int slot, HDC dc)
{
    PaintSlider(&gDeform.panel.slot[slot], gDialog.kit, dc);
}

void ReadOut(HDC target, int32_t x, int32_t y, int32_t value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%.2i ", value);
    WriteText(target, x, y, text);
}

// The Stretch pad: a parallelogram that shows the shear, its read-outs and
// the knob on its moving corner. Its frame's top-left corner belongs to the
// edge sliders and is not copied.
void PaintStretchPad(HDC dc)
{
    const Kit& kit = gDialog.kit;
    HDC back = kit.backDC;
    Slider& pad = gDeform.panel.slot[SlotStretch];
    const int32_t X = gDialog.anchors.T.left, Y = gDialog.anchors.T.top;
    const int32_t px = pad.valueX, py = pad.valueY;
    const POINT a1 = {X, Y}, a2 = {X + 50, Y + py - 25}, a3 = {X + px + 25, Y + py + 25},
                a4 = {X + px - 25, Y + 50};
    const Box frame = ControlRect(gDialog.window, IDC_STRETCH_FRAME);
    const Box r = {X - 31, Y - 31, frame.right - 2, frame.bottom - 2};
    FillTexture(kit, back, r.left, r.top, r.right, r.bottom);
    EngravedLine(back, a1.x, a1.y, a4.x, a4.y);
    EngravedLine(back, a1.x, a1.y, a2.x, a2.y);
    EngravedLine(back, a2.x, a2.y, a3.x, a3.y);
    EngravedLine(back, a4.x, a4.y, a3.x, a3.y);
    FillTexture(kit, back, a2.x - 7, a2.y - 6, a2.x + 6, a2.y + 6);
    FillTexture(kit, back, a4.x - 6, a4.y - 6, a4.x + 10, a4.y + 6);
    ReadOut(back, X + px - 31, Y + 44, px - 25);
    ReadOut(back, X + 44, Y + py - 31, py - 25);
    PaintSlider(&pad, kit, back);
    BitBlt(dc, r.left + 30, r.top, r.right - r.left - 30, r.bottom - r.top, back, r.left + 30, r.top,
           SRCCOPY);
    BitBlt(dc, r.left, r.top + 30, r.right - r.left, r.bottom - r.top - 30, back, r.left, r.top + 30,
           SRCCOPY);
}

// The G-Shading pad: a cross through the knob and its read-outs.
void PaintGradientPad(HDC dc)
{
    const Kit& kit = gDialog.kit;
    HDC back = kit.backDC;
    Slider& pad = gDeform.panel.slot[SlotGradient];
    const int32_t X = gDialog.anchors.G.left, Y = gDialog.anchors.G.top;
    const int32_t gx = pad.valueX, gy = pad.valueY;
    FillTexture(kit, back, X - 18, Y - 14, X + 70, Y + 62);
    EngravedLine(back, X, Y + gy + 4, X + 58, Y + gy + 4);
    EngravedLine(back, X + gx + 4, Y, X + gx + 4, Y + 58);
    ReadOut(back, X + gx + 8, Y + gy - 14, gx - 25);
    ReadOut(back, X + gx - 18, Y + gy - 10, gy - 25);
    PaintSlider(&pad, kit, back);
    BitBlt(dc, X - 18, Y - 14, 88, 76, back, X - 18, Y - 14, SRCCOPY);
}

bool Repaints(int slot)
{
    return gDialog.fullRepaint || gDeform.panel.slot[slot].active;
}

// Steps a to f of the loop: the widgets that changed (all on a full repaint).
void PaintWidgets(HDC dc)
{
    DeformPanel& panel = gDeform.panel;
    if (Repaints(SlotTileWidth) || Repaints(SlotTileHeight) || Repaints(SlotStretch)) {
        FollowStretchPad(panel, gDialog.anchors.P);
        PaintSlot(SlotTileWidth, dc);
        PaintSlot(SlotTileHeight, dc);
    }
    const TriStateToggle toggle{panel.toggle};
    PaintTriStateToggle(&toggle, dc, gDialog.strip);
    for (int slot : {SlotBevelWidth, SlotSideShading})
        if (Repaints(slot))
            PaintSlot(slot, dc);
    if (Repaints(SlotStretch))
        PaintStretchPad(dc);
    if (Repaints(SlotGradient))
        PaintGradientPad(dc);
    for (int slot : {int(SlotLightBoost), int(SlotBrightness), int(kSlotSaturation)})
        if (Repaints(slot))
            PaintSlot(slot, dc);
}

// The preview's callback: progress to the host, then at most one pending
// mouse message of the dialog for the widgets; a change, or a second repaint
// request waiting, abandons the render.
int32_t PreviewProgress(int32_t row, int32_t total, void*)
{
    FilterRecord* host = gDeform.hostRecord;
    if (host && host->progressProc)
        host->progressProc(row, total);
    MSG msg;
    if (PeekMessageA(&msg, gDialog.window, WM_MOUSEFIRST, 0x0209, PM_REMOVE) &&
        msg.hwnd == gDialog.window && DispatchMouse(msg.message, msg.wParam, msg.lParam))
        return 1;
    if (gDialog.pendingRepaint > 1) {
        --gDialog.pendingRepaint;
        return 1;
    }
    return 0;
}

int32_t RenderPreview()
{
    const DeformInputs inputs = PanelPreviewInputs(gDeform.panel, gDeform.colour);
    DeformBuffers b{};
    b.right = gDialog.preview.width;
    b.bottom = gDialog.preview.height;
    b.inData = gPreview.colour;
    b.inRowBytes = kPreviewRowBytes;
    b.outData = gPreview.result;
    b.outRowBytes = kPreviewRowBytes;
    b.maskData = gPreview.selection;
    b.maskRowBytes = kPreviewWidth;
    b.alphaData = gPreview.transparency;
    return RenderDeformation(gDeform.runContext, inputs, b, gDeform.colour.fill, 3,
                             PreviewProgress, nullptr);
}

// After the loop: the time it took, the web link, the captions and the swatch.
void PaintFrame(HDC dc)
{
    const Kit& kit = gDialog.kit;
    char text[16];
    std::snprintf(text, sizeof text, "%.3i ", static_cast<int>(gDialog.renderMs));
    TextOverTexture(kit, 490, 6, text, 40, 13);
    const Box& w = gDialog.link;
    SelectObject(kit.backDC, kit.linkFont);
    SetTextColor(kit.backDC, RGB(0, 0, 255));
    TextOverTexture(kit, w.left, w.top, kHomePage, w.right - w.left, w.bottom - w.top);
    SelectObject(kit.backDC, kit.textFont);
    SetTextColor(kit.backDC, RGB(0, 0, 0));
    const Box x2 = ControlRect(gDialog.window, IDC_DOUBLE_STRETCH1);
    const Box aa = ControlRect(gDialog.window, IDC_ANTIALIAS);
    WriteText(dc, x2.left + 15, x2.top, "x2");
    WriteText(dc, aa.left + 16, aa.top, "Antialiasing", 12);
    const Box& s = gDialog.swatch;
    WriteText(dc, s.left - 52, s.top + 4, "BkgrColor:", 10);
    InsetFill(dc, s.left, s.top, s.right, s.bottom, gDeform.colour.fill);
}

} // namespace

void PaintDialog()
{
    // Everything is drawn through a window context of its own: a posted
    // request has no invalid region, which would clip a painting context.
    const HWND window = gDialog.window;
    HDC dc = KitWindowDC(gDialog.kit);
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    FillTexture(gDialog.kit, dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right,
                ps.rcPaint.bottom);
    PaintImageButton(gDialog.cancel, dc);
    PaintImageButton(gDialog.apply, dc);
    if (!gDialog.initialised) {
        const OSErr fetched = SetUp(dc);
        if (fetched != noErr) {
            EndPaint(window, &ps);
            ReleaseDC(window, dc);
            CloseDialog(fetched);
            return;
        }
    }
    gDialog.fullRepaint = true;
    for (;;) {
        PaintWidgets(dc);
        gDialog.fullRepaint = false;
        gDialog.renderStart = GetTickCount();
        if ((RenderPreview() & 0xFFFF) == 0)
            break;
    }
    gDialog.renderMs = GetTickCount() - gDialog.renderStart;
    ShowPreviewResult(gDialog.picture, gPreview.result);
    BlitPreview(gDialog.picture, dc, gDialog.anchors.P.left + 2, gDialog.anchors.P.top + 2);
    PaintFrame(dc);
    gDialog.pendingRepaint = 0;
    EndPaint(window, &ps);
    ReleaseDC(window, dc);
}
