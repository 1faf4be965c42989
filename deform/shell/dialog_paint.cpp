// The paint of velk3d's dialog: the first paint's set-up, the render cycle
// that re-renders the preview until a render completes, the pads' frames,
// the read-outs and captions around them, and the preview's callback.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "deform/shell/deform_dialog.h"
#include "resources/resource_ids.h"
#include "toolkit/dialog/render_cycle.h"
#include "toolkit/preview/preview_store.h"
#include "toolkit/widgets/slider.h"
#include "toolkit/widgets/tri_state_toggle.h"

namespace {

// The first paint: the surfaces, the anchors, the widgets and the presets.
void SetUp(DeformDialog& d, HDC dc)
{
    WriteText(dc, 50, 50, "DATA TRANSFER ... PLEASE WAIT", 29);
    CreatePreviewPicture(d.preview.picture, dc);
    CreateBackBuffer(d.frame.kit, dc, 632, 436);
    std::memcpy(gDeform.colour.picked, gDeform.settings.colour, 3);

    const HWND w = d.frame.window;
    DeformAnchors& a = d.anchors;
    a.P = ControlRect(w, IDC_PREVIEW_FRAME);
    a.G = ControlRect(w, IDC_GSHADING_FRAME);
    a.G.left += 24, a.G.top += 24;
    a.T = ControlRect(w, IDC_STRETCH_FRAME);
    a.T.left += 34, a.T.top += 36;
    d.swatch = ControlRect(w, IDC_BG_SWATCH);
    d.link = ControlRect(w, IDC_STATUS_ANCHOR);
    // The link is as wide as its text, which may reach beyond its anchor.
    const int32_t end = d.link.left + LinkWidth(d.frame.kit, kHomePage) + 1;
    d.link.right = end > d.link.right ? end : d.link.right;
    MakeDeformSliders(gDeform.panel, d.knob.get(), 13, a);
    // The box shows the choice that will be rendered, which the module keeps
    // from the dialog before while it stays loaded.
    CheckDlgButton(w, IDC_ANTIALIAS, gDeform.panel.antialias ? BST_CHECKED : BST_UNCHECKED);
    gDeform.antialiasSeen = gDeform.panel.antialias;
    StartPresetBox(d);
    d.frame.ready = true;
}

void PaintSlot(const DeformDialog& d, int slot, HDC dc)
{
    PaintSlider(&gDeform.panel.slot[slot], d.frame.kit, dc);
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
void PaintStretchPad(const DeformDialog& d, HDC dc)
{
    const Kit& kit = d.frame.kit;
    HDC back = kit.backDC;
    Slider& pad = gDeform.panel.slot[SlotStretch];
    const int32_t X = d.anchors.T.left, Y = d.anchors.T.top;
    const int32_t px = pad.valueX, py = pad.valueY;
    const POINT a1 = {X, Y}, a2 = {X + 50, Y + py - 25}, a3 = {X + px + 25, Y + py + 25},
                a4 = {X + px - 25, Y + 50};
    const Box frame = ControlRect(d.frame.window, IDC_STRETCH_FRAME);
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
    CopyFromBack(kit, dc, r.left + 30, r.top, r.right, r.bottom);
    CopyFromBack(kit, dc, r.left, r.top + 30, r.right, r.bottom);
}

// The G-Shading pad: a cross through the knob and its read-outs.
void PaintGradientPad(const DeformDialog& d, HDC dc)
{
    const Kit& kit = d.frame.kit;
    HDC back = kit.backDC;
    Slider& pad = gDeform.panel.slot[SlotGradient];
    const int32_t X = d.anchors.G.left, Y = d.anchors.G.top;
    const int32_t gx = pad.valueX, gy = pad.valueY;
    FillTexture(kit, back, X - 18, Y - 14, X + 70, Y + 62);
    EngravedLine(back, X, Y + gy + 4, X + 58, Y + gy + 4);
    EngravedLine(back, X + gx + 4, Y, X + gx + 4, Y + 58);
    ReadOut(back, X + gx + 8, Y + gy - 14, gx - 25);
    ReadOut(back, X + gx - 18, Y + gy - 10, gy - 25);
    PaintSlider(&pad, kit, back);
    CopyFromBack(kit, dc, X - 18, Y - 14, X + 70, Y + 62);
}

// The widgets that changed (all on a full repaint).
void PaintWidgets(const DeformDialog& d, HDC dc)
{
    DeformPanel& panel = gDeform.panel;
    const auto repaints = [&](int slot) { return d.fullRepaint || panel.slot[slot].active; };
    if (repaints(SlotTileWidth) || repaints(SlotTileHeight) || repaints(SlotStretch)) {
        FollowStretchPad(panel, d.anchors.P);
        PaintSlot(d, SlotTileWidth, dc);
        PaintSlot(d, SlotTileHeight, dc);
    }
    const TriStateToggle toggle{panel.toggle};
    PaintTriStateToggle(&toggle, dc, d.strip.bitmap());
    for (int slot : {SlotBevelWidth, SlotSideShading})
        if (repaints(slot))
            PaintSlot(d, slot, dc);
    if (repaints(SlotStretch))
        PaintStretchPad(d, dc);
    if (repaints(SlotGradient))
        PaintGradientPad(d, dc);
    for (int slot : {int(SlotLightBoost), int(SlotBrightness), int(kSlotSaturation)})
        if (repaints(slot))
            PaintSlot(d, slot, dc);
}

bool Dispatch(void* dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DispatchMouse(*static_cast<DeformDialog*>(dialog), message, wParam, lParam);
}

// The preview's callback: progress to the host, then the widgets kept live.
int32_t PreviewProgress(int32_t row, int32_t total, void* user)
{
    FilterRecord* host = gDeform.hostRecord;
    if (host && host->progressProc)
        host->progressProc(row, total);
    DeformDialog& d = *static_cast<DeformDialog*>(user);
    return PreviewMouse(d.frame, Dispatch, &d);
}

int32_t RenderPreview(DeformDialog& d)
{
    const DeformBuffers b = PreviewDeformBuffers(d.previewSize.width, d.previewSize.height,
                                                 gPreview.colour, gPreview.result,
                                                 gPreview.selection, gPreview.transparency);
    d.renderStart = GetTickCount();
    return RenderDeformation(gDeform.runContext, d.wantedInputs, b, gDeform.colour.fill, 3,
                             PreviewProgress, &d);
}

// After the cycle: the time the render took, the web link, the captions and
// the swatch.
void PaintFrame(const DeformDialog& d, HDC dc)
{
    const Kit& kit = d.frame.kit;
    char text[16];
    std::snprintf(text, sizeof text, "%.3i ", static_cast<int>(d.renderMs));
    TextOverTexture(kit, 490, 6, text, 40, 13);
    const Box& w = d.link;
    SelectObject(kit.backDC, kit.linkFont);
    SetTextColor(kit.backDC, RGB(0, 0, 255));
    TextOverTexture(kit, w.left, w.top, kHomePage, w.right - w.left, w.bottom - w.top);
    SelectObject(kit.backDC, kit.textFont);
    SetTextColor(kit.backDC, RGB(0, 0, 0));
    const Box x2 = ControlRect(d.frame.window, IDC_DOUBLE_STRETCH1);
    const Box aa = ControlRect(d.frame.window, IDC_ANTIALIAS);
    WriteText(dc, x2.left + 15, x2.top, "x2");
    const int32_t cancel = d.cancel ? d.cancel->logic.x : aa.left + 78;
    WriteTextWithin(dc, aa.left + 16, aa.top, "Antialiasing", cancel - 2 - (aa.left + 16));
    // Set against the swatch, whatever width the font gives it.
    const Box& s = d.swatch;
    const int32_t label = TextWidth(kit, "BkgrColor:");
    const int32_t width = label < 50 ? label : 50;
    WriteTextWithin(dc, s.left - 2 - width, s.top + 4, "BkgrColor:", width);
    InsetFill(dc, s.left, s.top, s.right, s.bottom, gDeform.colour.fill);
}

DeformDialog& Of(void* user)
{
    return *static_cast<DeformDialog*>(user);
}

const RenderSteps kSteps = {
    [](bool all, void* u) {
        DeformDialog& d = Of(u);
        d.fullRepaint = all;
        HDC dc = KitWindowDC(d.frame.kit);
        PaintWidgets(d, dc);
        ReleaseDC(d.frame.window, dc);
        d.fullRepaint = false;
    },
    [](void* u) { Of(u).wantedInputs = PanelPreviewInputs(gDeform.panel, gDeform.colour); },
    [](void* u) {
        DeformDialog& d = Of(u);
        return FetchPreviewImage(d.frame, gDeform.hostRecord, gDeform.planesInUse, gDeform.previewScale,
                                 d.previewSize);
    },
    [](void* u) {
        const DeformDialog& d = Of(u);
        return d.rendered && d.shownFill == gDeform.colour.fill &&
               std::memcmp(&d.shownInputs, &d.wantedInputs, sizeof d.wantedInputs) == 0;
    },
    [](void* u) { return RenderPreview(Of(u)) & 0xFFFF; },
    [](void* u) {
        DeformDialog& d = Of(u);
        d.renderMs = GetTickCount() - d.renderStart;
        ShowPreviewResult(d.preview.picture, gPreview.result);
        d.rendered = true;
        d.shownInputs = d.wantedInputs;
        d.shownFill = gDeform.colour.fill;
    },
    nullptr,
};

} // namespace

void PaintDialog(DeformDialog& d)
{
    // Everything is drawn through a window context of its own: a render
    // request has no invalid region, which would clip a painting context.
    const HWND window = d.frame.window;
    HDC dc = KitWindowDC(d.frame.kit);
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    FillInvalid(d.frame.kit, dc, ps.rcPaint, d.frame.layout.scale);
    PaintImageButton(d.cancel.get(), dc);
    PaintImageButton(d.apply.get(), dc);
    if (!d.frame.ready)
        SetUp(d, dc);
    EndPaint(window, &ps);
    ReleaseDC(window, dc);
    PostRender(d.frame);
}

void RenderCycle(DeformDialog& d)
{
    if (!d.frame.ready || d.frame.closed)
        return;
    RenderSteps steps = kSteps;
    steps.user = &d;
    if (RunRenderCycle(d.imageFetched, steps) == CycleEnd::Closed)
        return;
    HDC dc = KitWindowDC(d.frame.kit);
    BlitPreview(d.preview.picture, dc, d.anchors.P.left + 2, d.anchors.P.top + 2, d.frame.layout.scale);
    PaintFrame(d, dc);
    ReleaseDC(d.frame.window, dc);
    d.frame.pendingChanges = 0;
}
