// The main dialog of velk3d: its procedure wires messages to the widgets, the
// paint with its render loop (dialog_paint.cpp), the preset box
// (preset_box.cpp) and the colour-source pop-up.
#include <cstring>

#include "deform/shell/deform_dialog.h"
#include "resources/resource_ids.h"
#include "toolkit/module/module.h"
#include "toolkit/module/web_link.h"
#include "toolkit/popups/colour_source_popup.h"

DeformDialog gDialog;
const char kHomePage[] = "http://velk.example.com/velk3d/";

namespace {

void Initialise(HWND dialog)
{
    const HINSTANCE module = ModuleInstance();
    std::memset(&gDialog, 0, sizeof gDialog);
    gDialog.window = dialog;
    StartKit(gDialog.kit, KitVariant::Deform, dialog, module);
    gDialog.strip = LoadBitmapA(module, MAKEINTRESOURCEA(IDB_ORIENTATION_STRIP));
    HDC dc = GetDC(dialog);
    gDialog.knob = CreateBitmapImage(dc, module, IDB_KNOB_ORANGE, 13, 13);
    const Box box = ControlRect(dialog, IDC_ANTIALIAS);
    gDialog.cancel = CreateImageButton(KitVariant::Deform, dc, module, IDB_CANCEL, IDB_CANCEL_PRESSED,
                                       70, 23, box.right + 60, box.top - 5, IDCANCEL);
    gDialog.apply = CreateImageButton(KitVariant::Deform, dc, module, IDB_APPLY, IDB_APPLY_PRESSED,
                                      60, 23, box.right + 134, box.top - 5, IDOK);
    ReleaseDC(dialog, dc);
    gDialog.doubleStretchShown = -1;
}

void ShowDoubleStretch()
{
    const int32_t value = gDeform.panel.doubleStretch;
    if (gDialog.initialised && value != gDialog.doubleStretchShown) {
        CheckDlgButton(gDialog.window, IDC_DOUBLE_STRETCH1, value ? BST_CHECKED : BST_UNCHECKED);
        gDialog.doubleStretchShown = value;
    }
}

// A check box that turns a value on or off asks for a new render.
void FollowCheckBox(int id, int32_t& value, int32_t& seen)
{
    value = IsDlgButtonChecked(gDialog.window, id) == BST_CHECKED ? 1 : 0;
    if (value != seen) {
        seen = value;
        RequestRepaint();
    }
}

void OnCommand(WORD id, WORD notification)
{
    DeformPanel& panel = gDeform.panel;
    switch (id) {
    case IDOK:
        // The record takes the confirmed settings before the widgets go.
        CaptureSettings(panel, gDeform.colour, false, gDeform.settings);
        CloseDialog(noErr);
        break;
    case IDCANCEL:
        CloseDialog(userCanceledErr);
        break;
    case IDC_ANTIALIAS:
        FollowCheckBox(IDC_ANTIALIAS, panel.antialias, gDeform.antialiasSeen);
        break;
    case IDC_DOUBLE_STRETCH1:
        FollowCheckBox(IDC_DOUBLE_STRETCH1, panel.doubleStretch, gDialog.doubleStretchShown);
        break;
    case IDC_PRESET_BOX:
        if (notification == CBN_SELCHANGE)
            OnPresetChoice();
        break;
    case IDC_COLOUR_REQUEST:
        ChooseFillColour(ModuleInstance(), gDialog.window, gDialog.kit, gDeform.colour.source,
                         gDeform.colour.picked, gDeform.colour.fill, gDeform.planesInUse,
                         gDeform.hostRecord, ResolveFillColour);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    gDialog.window = dialog;
    if (gDialog.closed && message != WM_INITDIALOG) {
        if (message == WM_PAINT)
            ValidateRect(dialog, nullptr);
        return message == WM_PAINT;
    }
    if (message >= WM_MOUSEFIRST && message <= 0x0209 && gDialog.initialised &&
        DispatchMouse(message, wParam, lParam)) {
        if (gDialog.pendingRepaint == 0)
            PostMessageA(dialog, WM_PAINT, 0, 10);
        ++gDialog.pendingRepaint;
    }
    ShowDoubleStretch();
    switch (message) {
    case WM_INITDIALOG:
        Initialise(dialog);
        return FALSE;
    case WM_PAINT:
        PaintDialog();
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_GSHADING_CAPTION || wParam == IDC_STRETCH_CAPTION)
            DrawOwnerCaption(gDialog.kit, dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_MOUSEMOVE:
        gDialog.overLink = PointInBox(static_cast<uintptr_t>(lParam), gDialog.link);
        SetCursor(gDialog.overLink ? gDialog.kit.hand : gDialog.kit.arrow);
        return TRUE;
    case WM_LBUTTONDOWN:
        if (PointInBox(static_cast<uintptr_t>(lParam), gDialog.swatch))
            PostMessageA(GetDlgItem(dialog, IDC_COLOUR_REQUEST), BM_CLICK, 0, 0);
        if (gDialog.overLink)
            OpenHomePage(kHomePage);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

bool DispatchMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    DeformPanel& panel = gDeform.panel;
    const uintptr_t where = static_cast<uintptr_t>(lParam);
    for (Slider& s : panel.slot)
        if (SliderMouse(s, message, wParam, where))
            return true;
    if (ToggleMouse(panel.toggle, message, where))
        return true;
    if (!ImageButtonMouse(gDialog.cancel, gDialog.window, message, wParam, lParam))
        ImageButtonMouse(gDialog.apply, gDialog.window, message, wParam, lParam);
    return false;
}

void RequestRepaint()
{
    PostMessageA(gDialog.window, WM_PAINT, 0, 10);
}

void CloseDialog(int16_t result)
{
    gDeform.dialogResult = result;
    DestroyBitmapImage(gDialog.knob);
    DestroyImageButton(gDialog.cancel);
    DestroyImageButton(gDialog.apply);
    ReleasePreviewPicture(gDialog.picture);
    if (gDialog.strip)
        DeleteObject(gDialog.strip);
    ReleaseKit(gDialog.kit);
    gDialog.knob = nullptr;
    gDialog.cancel = gDialog.apply = nullptr;
    gDialog.strip = nullptr;
    gDialog.initialised = false;
    gDialog.closed = true;
    EndDialog(gDialog.window, 0);
}

INT_PTR RunDeformDialog(HWND owner)
{
    const INT_PTR r = DialogBoxParamA(ModuleInstance(), DLG_MAIN, owner, DialogProc,
                                      reinterpret_cast<LPARAM>(&gDeform.runContext));
    return r == -1 ? -1 : 0;
}
