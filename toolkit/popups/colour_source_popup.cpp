#include "toolkit/popups/colour_source_popup.h"

#include "resources/resource_ids.h"
#include "toolkit/popups/host_picker.h"
#include "toolkit/widgets/scaled_window.h"
#include "toolkit/widgets/widget_logic.h"

namespace {

// The pop-up while it is open: what it shows, its module and its layout.
struct ColourPopup {
    const ColourPopupView* view;
    HINSTANCE module;
    WindowLayout layout;
};

ColourPopup* Of(HWND popup)
{
    return reinterpret_cast<ColourPopup*>(GetWindowLongPtrA(popup, DWLP_USER));
}

uint32_t Solid(const uint8_t rgb[3])
{
    return 0xFF000000u | rgb[0] | static_cast<uint32_t>(rgb[1]) << 8 |
           static_cast<uint32_t>(rgb[2]) << 16;
}

void Paint(HWND popup, const ColourPopup& p)
{
    const ColourPopupView& view = *p.view;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(popup, &ps);
    SelectObject(dc, view.kit->textFont);
    SetBkMode(dc, TRANSPARENT);
    UseLayoutPixels(dc, p.layout.scale);
    FillInvalid(*view.kit, dc, ps.rcPaint, p.layout.scale);
    for (int i = 0; i < 4; ++i) {
        const Box row = ControlRect(popup, IDC_ROW_FRAME_FOREGROUND + i);
        DrawAnchorText(dc, popup, IDC_ROW_TEXT_FOREGROUND + i);
        if (i == PopupTransparent && view.planes != 4)
            WriteText(dc, row.left + 2, row.top + 4, "NA");
        else
            InsetFill(dc, row.left, row.top, row.right, row.bottom,
                      i == PopupForeground   ? Solid(view.fore)
                      : i == PopupBackground ? Solid(view.back)
                      : i == PopupPicker     ? Solid(view.remembered)
                                             : 0x00FFFFFFu);
    }
    EndPaint(popup, &ps);
}

// The first row whose bottom edge lies below the press; a press on or below
// the last row's bottom edge (still inside the pop-up) counts for that row.
int RowAt(HWND popup, int32_t y)
{
    for (int i = 0; i < 3; ++i)
        if (y < ControlRect(popup, IDC_ROW_FRAME_FOREGROUND + i).bottom)
            return i;
    return PopupTransparent;
}

INT_PTR CALLBACK PopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(popup, DWLP_USER, lParam);
        ColourPopup& p = *reinterpret_cast<ColourPopup*>(lParam);
        LayOutDialog(popup, p.module, DLG_COLOUR_SOURCE, p.layout);
        return TRUE;
    }
    ColourPopup* p = Of(popup);
    if (!p)
        return FALSE;
    if (message >= kFirstMouseMessage && message <= kLastMouseMessage)
        lParam = static_cast<LPARAM>(PointerToLayout(p->layout.scale, static_cast<uintptr_t>(lParam)));
    switch (message) {
    case WM_PAINT:
        Paint(popup, *p);
        return TRUE;
    case WM_DESTROY:
        ReleaseWindowLayout(popup, p->layout);
        return FALSE;
    case WM_RBUTTONDOWN:
        EndDialog(popup, PopupCancelled);
        return TRUE;
    case WM_LBUTTONDOWN:
        EndDialog(popup, RowAt(popup, UnpackPointer(static_cast<uintptr_t>(lParam)).y));
        return TRUE;
    case WM_COMMAND: // Escape closes it like a right click
        if (LOWORD(wParam) == IDCANCEL)
            EndDialog(popup, PopupCancelled);
        return TRUE;
    default:
        return FALSE;
    }
}

void RefuseTransparency(HWND dialog)
{
    MessageBoxA(dialog, "Transparency is Not Available.", nullptr, MB_OK | MB_ICONERROR);
}

} // namespace

int RunColourSourcePopup(HINSTANCE module, HWND owner, const ColourPopupView& view)
{
    ColourPopup popup{&view, module, {}};
    const INT_PTR result = DialogBoxParamA(module, DLG_COLOUR_SOURCE, owner, PopupProc,
                                           reinterpret_cast<LPARAM>(&popup));
    return result >= PopupForeground && result <= PopupTransparent ? static_cast<int>(result)
                                                                     : PopupCancelled;
}

bool ChooseColourSource(HINSTANCE module, HWND dialog, const Kit& kit, uint8_t setting[4],
                        int32_t planes, FilterRecord* host)
{
    if (planes <= 2 || !host)
        return false;
    ColourPopupView view{&kit, planes, {}, {}, {setting[0], setting[1], setting[2]}};
    for (int i = 0; i < 3; ++i) {
        view.fore[i] = host->foreColor[i];
        view.back[i] = host->backColor[i];
    }
    const int result = RunColourSourcePopup(module, dialog, view);
    if (result == PopupCancelled)
        return false;
    if (result == PopupTransparent && planes != 4) {
        RefuseTransparency(dialog);
        return false;
    }
    bool picked = false;
    if (result == PopupPicker) {
        uint8_t rgb[3] = {setting[0], setting[1], setting[2]};
        if (!PickHostColour(host, rgb))
            return false;
        setting[0] = rgb[0], setting[1] = rgb[1], setting[2] = rgb[2];
        picked = true;
    }
    if (!picked && result == setting[3])
        return false;
    setting[3] = static_cast<uint8_t>(result);
    PostMessageA(dialog, WM_USER, REQ_RENDER, 0);
    return true;
}

void ChooseFillColour(HINSTANCE module, HWND dialog, const Kit& kit, uint8_t& colourSource,
                      uint8_t pickedColour[4], uint32_t& fillColour, int32_t planes,
                      FilterRecord* host, FillColourResolver resolve)
{
    if (planes < 3 || !host)
        return;
    ColourPopupView view{&kit, planes, {}, {}, {pickedColour[0], pickedColour[1], pickedColour[2]}};
    for (int i = 0; i < 3; ++i) {
        view.fore[i] = host->foreColor[i];
        view.back[i] = host->backColor[i];
    }
    int result = RunColourSourcePopup(module, dialog, view);
    if (result == PopupCancelled)
        return;
    if (result == PopupTransparent && planes != 4) {
        RefuseTransparency(dialog);
        return;
    }
    if (result == PopupPicker) {
        uint8_t rgb[3] = {pickedColour[0], pickedColour[1], pickedColour[2]};
        if (PickHostColour(host, rgb)) {
            pickedColour[0] = rgb[0], pickedColour[1] = rgb[1], pickedColour[2] = rgb[2];
            colourSource = 0; // a new picked colour is always taken
        } else {
            result = colourSource;
        }
    }
    if (result == colourSource)
        return;
    fillColour = resolve(planes, static_cast<uint8_t>(result), pickedColour, host->foreColor,
                         host->backColor);
    colourSource = static_cast<uint8_t>(result);
    PostMessageA(dialog, WM_USER, REQ_RENDER, 0);
}
