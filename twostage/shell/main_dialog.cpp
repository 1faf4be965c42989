// The main dialog of velk2000: its procedure wires messages to the widgets,
// the paint (dialog_paint.cpp), the render cycle (render_cycle.cpp), the
// preset box (preset_box.cpp) and the colour-source pop-up.
#include <cstring>
#include <initializer_list>

#include "resources/resource_ids.h"
#include "toolkit/module/module.h"
#include "toolkit/module/web_link.h"
#include "toolkit/popups/colour_source_popup.h"
#include "twostage/shell/twostage_dialog.h"

TwoStageDialog gDialog;
const char kHomePage[] = "http://velk.example.com/velk2000/";

namespace {

void Initialise(HWND dialog)
{
    const HINSTANCE module = ModuleInstance();
    std::memset(&gDialog, 0, sizeof gDialog);
    gDialog.window = dialog;
    StartKit(gDialog.kit, KitVariant::TwoStage, dialog, module);
    gDialog.orientationStrip = LoadBitmapA(module, MAKEINTRESOURCEA(IDB_ORIENTATION_STRIP));
    gDialog.curveStrip = LoadBitmapA(module, MAKEINTRESOURCEA(IDB_CURVE_STRIP));
    HDC dc = GetDC(dialog);
    gDialog.helpBrush = CreateSolidBrush(RGB(235, 225, 210));
    auto picture = [&](int id, int w, int h) { return CreateBitmapImage(dc, module, id, w, h); };
    gDialog.yellow = picture(IDB_KNOB_ORANGE, 13, 13);
    gDialog.violet = picture(IDB_KNOB_VIOLET, 13, 13);
    gDialog.diamond = picture(IDB_DIAMOND, 17, 17);
    gDialog.ticked = picture(IDB_CHECK_TICKED, 13, 13);
    gDialog.empty = picture(IDB_CHECK_EMPTY, 13, 13);
    gDialog.columns = picture(IDB_COLUMNS_TILE, 18, 18);
    gDialog.green = picture(IDB_GREEN_SWATCH, 17, 16);
    gDialog.save[0] = picture(IDB_SAVE, 60, 23);
    gDialog.save[1] = picture(IDB_SAVE_PRESSED, 60, 23);
    gDialog.remove[0] = picture(IDB_DELETE, 70, 23);
    gDialog.remove[1] = picture(IDB_DELETE_PRESSED, 70, 23);

    const Box K = ControlRect(dialog, IDC_PRESET_BOX), B = ControlRect(dialog, IDC_TOOLS_ANCHOR);
    const struct {
        int normal, pressed, width, height, x, y, command;
    } buttons[kTwoStageButtons] = {
        {IDB_CANCEL, IDB_CANCEL_PRESSED, 70, 23, K.left + 6, K.top + 24, IDCANCEL},
        {IDB_APPLY, IDB_APPLY_PRESSED, 60, 23, K.left + 80, K.top + 24, IDOK},
        {IDB_UNDO, IDB_UNDO_PRESSED, 25, 18, B.left, B.top, 107},
        {IDB_REDO, IDB_REDO_PRESSED, 25, 18, B.left + 26, B.top, 108},
        {IDB_DICE, IDB_DICE_PRESSED, 25, 25, B.left + 2, B.top + 22, 106},
        {IDB_COLOUR_DICE, IDB_COLOUR_DICE_PRESSED, 20, 20, B.left + 28, B.top + 24, 114},
        {IDB_SPACING_UP, IDB_SPACING_UP_PRESSED, 25, 14, B.left + 2, B.top + 51, 0},
        {IDB_SPACING_DOWN, IDB_SPACING_DOWN_PRESSED, 25, 14, B.left + 2, B.top + 66, 0},
        {IDB_SWAP, IDB_SWAP_PRESSED, 19, 19, B.left + 30, B.top + 57, 105},
    };
    for (int i = 0; i < kTwoStageButtons; ++i) {
        const auto& b = buttons[i];
        gDialog.button[i] = CreateImageButton(KitVariant::TwoStage, dc, module, b.normal, b.pressed,
                                              b.width, b.height, b.x, b.y, b.command);
    }
    ReleaseDC(dialog, dc);
}

// The swatch of a colour slot: the record's setting it shows.
uint8_t* SlotSetting(int slot)
{
    TwoStageParams& p = gTwoStage.params;
    ColourSetting* settings[5] = {&p.backgroundColor, &p.gradientShadowColor[0],
                                  &p.gradientShadowColor[1], &p.sideShadowColor[0],
                                  &p.sideShadowColor[1]};
    return reinterpret_cast<uint8_t*>(settings[slot < 0 || slot > 4 ? 0 : slot]);
}

void OnCommand(WORD id, WORD notification)
{
    switch (id) {
    case IDOK:
        CloseDialog(noErr);
        break;
    case IDCANCEL:
        CloseDialog(userCanceledErr);
        break;
    case IDC_ANTIALIAS:
    case IDC_DEFORMATION:
    case IDC_WHITE_CANVAS:
    case IDC_DOUBLE_STRETCH1:
    case IDC_DOUBLE_STRETCH2:
        PostMessageA(gDialog.window, WM_USER, kRenderRequest, 0);
        break;
    case IDC_PRESET_BOX:
        if (notification == CBN_SELCHANGE)
            OnPresetChoice();
        break;
    case 105:
    case 106:
    case 107:
    case 108:
    case 114:
    case IDC_BYPASS_STAGE1:
    case IDC_BYPASS_STAGE2:
        OnToolCommand(id);
        break;
    case IDC_COLOUR_REQUEST:
        ChooseColourSource(ModuleInstance(), gDialog.window, gDialog.kit,
                           SlotSetting(gDialog.colourSlot), gTwoStage.planes, gTwoStage.hostRecord);
        break;
    default:
        break;
    }
}

void OnUser(WPARAM what)
{
    if (what == kRenderRequest)
        RenderCycle();
    else if (what == kWebLink)
        OpenHomePage(kHomePage);
    else if (what == kHelpLink)
        ShowHelpPage(200 + gDialog.lastHelpPage);
    else if (what >= 200 && what <= 202)
        ShowHelpPage(static_cast<int>(what));
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    gDialog.window = dialog;
    if (gDialog.closed && message != WM_INITDIALOG) {
        if (message == WM_PAINT)
            ValidateRect(dialog, nullptr);
        return message == WM_PAINT;
    }
    if (message >= WM_MOUSEFIRST && message <= 0x0209 && gDialog.firstPaintDone &&
        DispatchMouse(message, wParam, lParam))
        RequestRender();
    switch (message) {
    case WM_INITDIALOG:
        Initialise(dialog);
        return FALSE;
    case WM_PAINT:
        PaintDialog();
        if (!gDialog.closed)
            PostMessageA(dialog, WM_USER, kRenderRequest, 0);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_GSHADING_CAPTION || wParam == IDC_STRETCH_CAPTION)
            DrawOwnerCaption(gDialog.kit, dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_MOUSEMOVE: {
        POINT screen;
        GetCursorPos(&screen);
        const Pointer p = UnpackPointer(static_cast<uintptr_t>(lParam));
        gDialog.pointerOffset = {screen.x - p.x, screen.y - p.y};
        UpdateStatus(p);
        return TRUE;
    }
    case WM_HELP:
        PostMessageA(dialog, WM_USER, kHelpLink, 0);
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (gDialog.helpShown && !PointInBox(static_cast<uintptr_t>(lParam), gDialog.anchors.P))
            PostMessageA(dialog, WM_USER, kRenderRequest, 0);
        return TRUE;
    case WM_USER:
        OnUser(wParam);
        return TRUE;
    default:
        return FALSE;
    }
}

bool Change(Slider& s, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SliderMouse(s, message, wParam, static_cast<uintptr_t>(lParam));
}

} // namespace

bool DispatchMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    TwoStagePanel& p = gDialog.panel;
    Slider* s = p.slider;
    const uintptr_t where = static_cast<uintptr_t>(lParam);
    for (int i : {VSpacing1, HSpacing1, SideBlur1, SideDepth1, Stretch1, Gradient1, LightExiting,
                  BrightnessRatio, Saturation, Gradient2, SideBlur2, SideDepth2, Stretch2, CurvePad,
                  VSpacing2, HSpacing2, MoireH, MoireV})
        if (Change(s[i], message, wParam, lParam)) {
            if (i == VSpacing1 || i == HSpacing1 || i == VSpacing2 || i == HSpacing2)
                RefreshSpacingShadows(gDialog.tools, p);
            return true;
        }
    for (ToggleLogic* t : {&p.orientation[0], &p.orientation[1], &p.curveShape})
        if (ToggleMouse(*t, message, where))
            return true;
    for (int slot = 0; slot < 5; ++slot)
        if (ColourSwatchMouse(&gDialog.swatch[slot], message, wParam, lParam)) {
            gDialog.colourSlot = slot;
            PostMessageA(GetDlgItem(gDialog.window, IDC_COLOUR_REQUEST), BM_CLICK, 0, 0);
            return false;
        }
    for (int b : {ButtonIncrease, ButtonDecrease})
        if (ImageButtonMouse(gDialog.button[b], gDialog.window, message, wParam, lParam))
            return true;
    for (int b : {ButtonCancel, ButtonOk, ButtonFlip, ButtonDice, ButtonColourDice, ButtonUndo, ButtonRedo})
        if (ImageButtonMouse(gDialog.button[b], gDialog.window, message, wParam, lParam))
            return false;
    for (TextLink* link : {gDialog.page[0], gDialog.page[1], gDialog.page[2], gDialog.help})
        if (TextLinkMouse(link, gDialog.kit, message, wParam, lParam))
            return false;
    if (!TextLinkMouse(gDialog.web, gDialog.kit, message, wParam, lParam) && gDialog.kit.arrow)
        SetCursor(gDialog.kit.arrow);
    return false;
}

void RequestRender()
{
    if (gDialog.pendingChanges == 0)
        PostMessageA(gDialog.window, WM_USER, kRenderRequest, 0);
    ++gDialog.pendingChanges;
}

void CloseDialog(int16_t result)
{
    gTwoStage.runResult = result;
    TwoStageDialog& g = gDialog;
    for (ImageButton*& b : g.button) {
        DestroyImageButton(b);
        b = nullptr;
    }
    for (TextLink* link : {g.help, g.web, g.page[0], g.page[1], g.page[2]})
        DestroyTextLink(link);
    for (BitmapImage* p : {g.yellow, g.violet, g.diamond, g.ticked, g.empty, g.columns, g.green,
                           g.save[0], g.save[1], g.remove[0], g.remove[1]})
        DestroyBitmapImage(p);
    ReleasePreviewPicture(g.picture);
    for (HGDIOBJ o : {static_cast<HGDIOBJ>(g.orientationStrip), static_cast<HGDIOBJ>(g.curveStrip),
                      static_cast<HGDIOBJ>(g.helpBrush)})
        if (o)
            DeleteObject(o);
    ReleaseKit(g.kit);
    g.firstPaintDone = false;
    g.closed = true;
    EndDialog(g.window, 0);
}

INT_PTR RunTwoStageDialog(HWND owner)
{
    const INT_PTR r = DialogBoxParamA(ModuleInstance(), DLG_MAIN, owner, DialogProc,
                                      reinterpret_cast<LPARAM>(&gTwoStage.context));
    return r == -1 ? -1 : 0;
}
