#include "tests/windows/widgets/gallery.h"

#include <cstdio>

#include "resources/resource_ids.h"
#include "toolkit/popups/colour_source_popup.h"
#include "toolkit/widgets/bitmap_image.h"

namespace {

Gallery* g_gallery = nullptr; // one gallery at a time, as one dialog at a time in a module
int g_pendingRedraw = 0;

OSErr VELK_CDECL GalleryColourServices(ColorServicesInfo* info)
{
    Gallery& g = *g_gallery;
    ++g.pickCalls;
    if (!g.pickGiven || info->infoSize < int32_t(sizeof *info))
        return userCanceledErr;
    for (int i = 0; i < 3; ++i)
        info->colorComponents[i] = g.pick[i];
    return noErr;
}

uint32_t ResolveFill(int32_t planes, uint8_t source, const uint8_t picked[4], const uint8_t fore[4],
                     const uint8_t back[4])
{
    const uint8_t* rgb = source == 0 ? fore : source == 1 ? back : picked;
    if (source == 3)
        return planes == 4 ? 0x00FFFFFFu : 0xFF000000u | picked[0] | picked[1] << 8 | picked[2] << 16;
    return 0xFF000000u | rgb[0] | rgb[1] << 8 | rgb[2] << 16;
}

void Create(HWND dialog, Gallery& g)
{
    const HINSTANCE module = GetModuleHandleA(nullptr);
    StartKit(g.kit, KitVariant::TwoStage, dialog, module);
    HDC dc = GetDC(dialog);
    CreateBackBuffer(g.kit, dc, 780, 520);
    g.yellow = CreateBitmapImage(dc, module, IDB_KNOB_ORANGE, 13, 13);
    g.violet = CreateBitmapImage(dc, module, IDB_KNOB_VIOLET, 13, 13);
    g.diamond = CreateBitmapImage(dc, module, IDB_DIAMOND, 17, 17);
    g.orientationStrip = LoadBitmapA(module, MAKEINTRESOURCEA(IDB_ORIENTATION_STRIP));
    g.curveStrip = LoadBitmapA(module, MAKEINTRESOURCEA(IDB_CURVE_STRIP));
    const KitVariant d = KitVariant::Deform, t = KitVariant::TwoStage;
    g.apply3d = CreateImageButton(d, dc, module, IDB_APPLY, IDB_APPLY_PRESSED, 60, 23, 80, 300, 1001);
    g.dice = CreateImageButton(t, dc, module, IDB_DICE, IDB_DICE_PRESSED, 25, 25, 480, 270, 106);
    g.silent = CreateImageButton(t, dc, module, IDB_UNDO, IDB_UNDO_PRESSED, 25, 18, 520, 272, 0);
    ReleaseDC(dialog, dc);

    // velk3d: the edge sliders as they frame its preview, two labelled
    // sliders, a pad and the orientation toggle.
    g.edgeX = MakeSlider(d, g.yellow, 13, 13, 27, 14, 364, 0, 0, "1");
    g.edgeY = MakeSlider(d, g.yellow, 13, 13, 14, 27, 0, 360, 0, "0");
    g.edgeX.valueX = 40, g.edgeY.valueY = 60;
    g.boost = MakeSlider(d, g.yellow, 13, 13, 80, 80, 100, 0, SliderTrack | SliderShowValue, "Light Boosting");
    g.shading = MakeSlider(d, g.yellow, 13, 13, 80, 140, 100, 0,
                           SliderTrack | SliderCentred | SliderShowValue, "S-Shading");
    g.pad3d = MakeSlider(d, g.yellow, 13, 13, 90, 200, 50, 50, SliderPad, "");
    g.pad3d.valueX = g.pad3d.valueY = 25;
    g.orientation3d.logic = ToggleLogic{250, 80, 18, 18, 0};

    // velk2000: spacing sliders, centred and plain sliders, pads, buttons,
    // a link, swatches and both toggles.
    g.spacingX = MakeSlider(t, g.violet, 13, 13, 460, 30, 250, 0, 0, "1");
    g.spacingY = MakeSlider(t, g.violet, 13, 13, 450, 60, 0, 250, 0, "0");
    g.centred = MakeSlider(t, g.yellow, 13, 13, 480, 100, 100, 0,
                           SliderTrack | SliderCentred | SliderShowValue, "S-Shading");
    g.plain = MakeSlider(t, g.yellow, 13, 13, 480, 140, 50, 0, SliderTrack | SliderShowValue, "");
    g.centredV = MakeSlider(t, g.yellow, 13, 13, 690, 90, 0, 100,
                            SliderTrack | SliderCentred | SliderShowValue, "");
    g.pad = MakeSlider(t, g.yellow, 13, 13, 500, 190, 50, 50, SliderPad, "");
    g.curvePad = MakeSlider(t, g.diamond, 17, 17, 600, 190, 50, 50, SliderPad, "");
    g.link = CreateTextLink(560, 275, 30, 13, 199, "help");
    g.transparentSwatch = ColourSwatch{{600, 270, 620, 290}, g.transparentSetting};
    g.pickerSwatch = ColourSwatch{{630, 270, 650, 290}, g.pickerSetting};
    g.orientation.logic = ToggleLogic{670, 270, 18, 18, 0};
    g.curveShape.logic = ToggleLogic{700, 272, 14, 14, 0};

    g.host.colorServices = GalleryColourServices;
    const uint8_t fore[3] = {200, 30, 40}, back[3] = {30, 60, 90};
    for (int i = 0; i < 3; ++i)
        g.host.foreColor[i] = fore[i], g.host.backColor[i] = back[i];
}

void Destroy(Gallery& g)
{
    DestroyImageButton(g.apply3d);
    DestroyImageButton(g.dice);
    DestroyImageButton(g.silent);
    DestroyTextLink(g.link);
    DestroyBitmapImage(g.yellow);
    DestroyBitmapImage(g.violet);
    DestroyBitmapImage(g.diamond);
    DeleteObject(g.orientationStrip);
    DeleteObject(g.curveStrip);
    ReleaseKit(g.kit);
    g.apply3d = g.dice = g.silent = nullptr;
    g.link = nullptr;
    g.yellow = g.violet = g.diamond = nullptr;
}

// A pad with the cross and read-outs of velk3d's G-Shading pad.
void PaintPad(Gallery& g, HDC target, Slider& pad)
{
    const int32_t X = pad.left, Y = pad.top, gx = pad.valueX, gy = pad.valueY;
    HDC back = g.kit.backDC;
    FillTexture(g.kit, back, X - 18, Y - 14, X + 70, Y + 62);
    EngravedLine(back, X, Y + gy + 4, X + 58, Y + gy + 4);
    EngravedLine(back, X + gx + 4, Y, X + gx + 4, Y + 58);
    char text[8];
    std::snprintf(text, sizeof text, "%.2i ", gx - 25);
    WriteText(back, X + gx + 8, Y + gy - 14, text);
    std::snprintf(text, sizeof text, "%.2i ", gy - 25);
    WriteText(back, X + gx - 18, Y + gy - 10, text);
    PaintSlider(&pad, g.kit, back);
    BitBlt(target, X - 18, Y - 14, 88, 76, back, X - 18, Y - 14, SRCCOPY);
}

Slider* Sliders(Gallery& g, int i)
{
    Slider* all[] = {&g.edgeY, &g.edgeX, &g.boost, &g.shading, &g.spacingX,
                     &g.spacingY, &g.centred, &g.plain, &g.centredV};
    return i < int(sizeof all / sizeof all[0]) ? all[i] : nullptr;
}

void PaintWidgets(Gallery& g, HDC dc, bool all)
{
    for (int i = 0; Slider* s = Sliders(g, i); ++i)
        if (all || s->active)
            PaintSlider(s, g.kit, dc);
    for (Slider* p : {&g.pad3d, &g.pad, &g.curvePad})
        if (all || p->active)
            PaintPad(g, dc, *p);
    PaintTriStateToggle(&g.orientation3d, dc, g.orientationStrip);
    PaintTriStateToggle(&g.orientation, dc, g.orientationStrip);
    PaintTriStateToggle(&g.curveShape, dc, g.curveStrip);
    PaintColourSwatch(&g.transparentSwatch, dc, g.planes, g.host.foreColor, g.host.backColor);
    PaintColourSwatch(&g.pickerSwatch, dc, g.planes, g.host.foreColor, g.host.backColor);
    const uint32_t fill = g.fillColour;
    InsetFill(dc, 250, 140, 270, 160, fill);
}

void Paint(HWND dialog, Gallery& g)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    SelectObject(dc, g.kit.textFont);
    SetBkMode(dc, TRANSPARENT);
    FillTexture(g.kit, dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
    PaintImageButton(g.apply3d, dc);
    PaintImageButton(g.dice, dc);
    PaintImageButton(g.silent, dc);
    PaintTextLink(g.link, g.kit, dc);
    PaintWidgets(g, dc, true);
    EndPaint(dialog, &ps);
}

// The redraw request: every widget again (a burst of posted moves ends with
// the release, so the moved slider is no longer active by then).
void Redraw(Gallery& g)
{
    HDC dc = KitWindowDC(g.kit);
    PaintWidgets(g, dc, true);
    ReleaseDC(g.kit.dialog, dc);
    g_pendingRedraw = 0;
}

// The widgets in a fixed order; the first that claims the message ends the
// walk. A claimed change of a slider, pad or toggle asks for one redraw.
bool Dispatch(HWND dialog, Gallery& g, UINT message, WPARAM wParam, LPARAM lParam)
{
    for (int i = 0; Slider* s = Sliders(g, i); ++i)
        if (SliderMouse(*s, message, wParam, static_cast<uintptr_t>(lParam)))
            return true;
    for (Slider* p : {&g.pad3d, &g.pad, &g.curvePad})
        if (SliderMouse(*p, message, wParam, static_cast<uintptr_t>(lParam)))
            return true;
    for (TriStateToggle* t : {&g.orientation3d, &g.orientation, &g.curveShape})
        if (TriStateToggleMouse(t, message, wParam, lParam))
            return true;
    for (const ColourSwatch* s : {&g.transparentSwatch, &g.pickerSwatch})
        if (ColourSwatchMouse(s, message, wParam, lParam)) {
            ++g.swatchPresses;
            return false; // a press on a swatch changes nothing drawn
        }
    for (ImageButton* b : {g.apply3d, g.dice, g.silent})
        if (ImageButtonMouse(b, dialog, message, wParam, lParam))
            return false;
    if (!TextLinkMouse(g.link, g.kit, message, wParam, lParam) && g.kit.arrow)
        SetCursor(g.kit.arrow);
    return false;
}

INT_PTR CALLBACK GalleryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    Gallery& g = *g_gallery;
    if (message >= WM_MOUSEFIRST && message <= kLastMouseMessage && g.kit.dialog) {
        // Like the modules' dialogs, the gallery holds the mouse from a
        // press to its release.
        if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK)
            SetCapture(dialog);
        else if (message == WM_LBUTTONUP && GetCapture() == dialog)
            ReleaseCapture();
        if (Dispatch(dialog, g, message, wParam, lParam) && g_pendingRedraw++ == 0)
            PostMessageA(dialog, WM_USER, REQ_RENDER, 0);
        return TRUE;
    }
    const HINSTANCE module = GetModuleHandleA(nullptr);
    switch (message) {
    case WM_INITDIALOG:
        Create(dialog, g);
        return TRUE;
    case WM_PAINT:
        Paint(dialog, g);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            Destroy(g);
            EndDialog(dialog, 0);
        } else {
            g.commands.push_back(LOWORD(wParam));
        }
        return TRUE;
    case WM_USER:
        if (wParam == REQ_RENDER) {
            ++g.redrawRequests;
            Redraw(g);
        } else {
            g.links.push_back(static_cast<int>(wParam));
        }
        return TRUE;
    case kGalleryColourSource:
        ChooseColourSource(module, dialog, g.kit, g.transparentSetting, g.planes, &g.host);
        return TRUE;
    case kGalleryFillColour:
        ChooseFillColour(module, dialog, g.kit, g.fillSource, g.picked, g.fillColour, g.planes,
                         &g.host, ResolveFill);
        return TRUE;
    case kGallerySavePreset:
        g.saveSetup.kit = &g.kit;
        g.saveResult = RunSavePresetPopup(module, dialog, g.saveSetup);
        return TRUE;
    case kGalleryBusy:
        if (!g.busyStop)
            PostMessageA(dialog, kGalleryBusy, 0, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

INT_PTR RunGallery(Gallery& gallery)
{
    g_gallery = &gallery;
    g_pendingRedraw = 0;
    return DialogBoxParamA(GetModuleHandleA(nullptr), "GALLERY", nullptr, GalleryProc, 0);
}
