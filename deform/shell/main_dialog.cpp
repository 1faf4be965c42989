// The main dialog of velk3d: its procedure wires messages to the widgets, the
// paint and render cycle (dialog_paint.cpp), the preset box (preset_box.cpp)
// and the colour-source pop-up.
#include "deform/shell/deform_dialog.h"
#include "resources/resource_ids.h"
#include "toolkit/module/module.h"
#include "toolkit/module/web_link.h"
#include "toolkit/popups/colour_source_popup.h"

const char kHomePage[] = "http://velk.example.com/velk3d/";

namespace {

void Initialise(DeformDialog& d, HWND window)
{
    const HINSTANCE module = ModuleInstance();
    StartFrame(d.frame, window, DLG_MAIN, KitVariant::Deform);
    d.strip.reset(LoadBitmapA(module, MAKEINTRESOURCEA(IDB_ORIENTATION_STRIP)));
    HDC dc = GetDC(window);
    d.knob.reset(CreateBitmapImage(dc, module, IDB_KNOB_ORANGE, 13, 13));
    const Box box = ControlRect(window, IDC_ANTIALIAS);
    d.cancel.reset(CreateImageButton(KitVariant::Deform, dc, module, IDB_CANCEL, IDB_CANCEL_PRESSED,
                                     70, 23, box.right + 60, box.top - 5, IDCANCEL));
    d.apply.reset(CreateImageButton(KitVariant::Deform, dc, module, IDB_APPLY, IDB_APPLY_PRESSED, 60,
                                    23, box.right + 134, box.top - 5, IDOK));
    ReleaseDC(window, dc);
}

void ShowDoubleStretch(DeformDialog& d)
{
    const int32_t value = gDeform.panel.doubleStretch;
    if (d.frame.ready && value != d.doubleStretchShown) {
        CheckDlgButton(d.frame.window, IDC_DOUBLE_STRETCH1, value ? BST_CHECKED : BST_UNCHECKED);
        d.doubleStretchShown = value;
    }
}

// A check box that turns a value on or off asks for a new render.
void FollowCheckBox(DeformDialog& d, int id, int32_t& value, int32_t& seen)
{
    value = IsDlgButtonChecked(d.frame.window, id) == BST_CHECKED ? 1 : 0;
    if (value != seen) {
        seen = value;
        PostRender(d.frame);
    }
}

void OnCommand(DeformDialog& d, WORD id, WORD notification)
{
    DeformPanel& panel = gDeform.panel;
    switch (id) {
    case IDOK:
        // The record takes the confirmed settings before the widgets go.
        CaptureSettings(panel, gDeform.colour, false, gDeform.settings);
        EndFrame(d.frame, noErr);
        break;
    case IDCANCEL:
        EndFrame(d.frame, userCanceledErr);
        break;
    case IDC_ANTIALIAS:
        FollowCheckBox(d, IDC_ANTIALIAS, panel.antialias, gDeform.antialiasSeen);
        break;
    case IDC_DOUBLE_STRETCH1:
        FollowCheckBox(d, IDC_DOUBLE_STRETCH1, panel.doubleStretch, d.doubleStretchShown);
        break;
    case IDC_PRESET_BOX:
        if (notification == CBN_SELCHANGE)
            OnPresetChoice(d);
        break;
    case IDC_COLOUR_REQUEST:
        ChooseFillColour(ModuleInstance(), d.frame.window, d.frame.kit, gDeform.colour.source,
                         gDeform.colour.picked, gDeform.colour.fill, gDeform.planesInUse,
                         gDeform.hostRecord, ResolveFillColour);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DeformDialog* state = EnterMessage<DeformDialog>(window, message, wParam, lParam);
    if (!state)
        return message == WM_PAINT;
    DeformDialog& d = *state;
    ShowDoubleStretch(d);
    switch (message) {
    case WM_INITDIALOG:
        Initialise(d, window);
        return FALSE;
    case WM_PAINT:
        PaintDialog(d);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_GSHADING_CAPTION || wParam == IDC_STRETCH_CAPTION)
            DrawOwnerCaption(d.frame.kit, window, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        OnCommand(d, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_USER:
        if (wParam == REQ_RENDER)
            RenderCycle(d);
        else if (wParam == REQ_WEB_LINK)
            OpenHomePage(kHomePage);
        return TRUE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
        return TRUE; // the widgets, the swatch and the link had them
    default:
        return FALSE;
    }
}

} // namespace

bool DispatchMouse(DeformDialog& d, UINT message, WPARAM wParam, LPARAM lParam)
{
    DeformPanel& panel = gDeform.panel;
    const uintptr_t where = static_cast<uintptr_t>(lParam);
    for (Slider& s : panel.slot)
        if (SliderMouse(s, message, wParam, where))
            return true;
    if (ToggleMouse(panel.toggle, message, where))
        return true;
    if (!ImageButtonMouse(d.cancel.get(), d.frame.window, message, wParam, lParam))
        ImageButtonMouse(d.apply.get(), d.frame.window, message, wParam, lParam);
    // The swatch and the link act through posted requests, so a click that
    // arrives during a render acts once the render is over.
    const HWND window = d.frame.window;
    if (message == WM_MOUSEMOVE) {
        SetCursor(PointInBox(where, d.link) ? d.frame.kit.hand : d.frame.kit.arrow);
    } else if (message == WM_LBUTTONDOWN) {
        if (PointInBox(where, d.swatch))
            PostMessageA(GetDlgItem(window, IDC_COLOUR_REQUEST), BM_CLICK, 0, 0);
        if (PointInBox(where, d.link))
            PostMessageA(window, WM_USER, REQ_WEB_LINK, 0);
    }
    return false;
}

INT_PTR RunDeformDialog(HWND owner)
{
    DeformDialog dialog;
    if (!RunFrameDialog(DLG_MAIN, owner, DialogProc, &dialog))
        return -1;
    gDeform.dialogResult = dialog.frame.result;
    return 0;
}
