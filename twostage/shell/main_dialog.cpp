// The main dialog of velk2000: its procedure wires messages to the widgets,
// the paint (dialog_paint.cpp), the render cycle (render_cycle.cpp), the
// preset box (preset_box.cpp) and the colour-source pop-up.
#include <initializer_list>

#include "resources/resource_ids.h"
#include "toolkit/module/module.h"
#include "toolkit/module/web_link.h"
#include "toolkit/popups/colour_source_popup.h"
#include "twostage/shell/twostage_dialog.h"

const char kHomePage[] = "http://velk.example.com/velk2000/";

namespace {

void Initialise(TwoStageDialog& d, HWND window)
{
    const HINSTANCE module = ModuleInstance();
    StartFrame(d.frame, window, DLG_MAIN, KitVariant::TwoStage);
    SeedToolRandom(d.random, GetTickCount());
    d.orientationStrip.reset(LoadBitmapA(module, MAKEINTRESOURCEA(IDB_ORIENTATION_STRIP)));
    d.curveStrip.reset(LoadBitmapA(module, MAKEINTRESOURCEA(IDB_CURVE_STRIP)));
    d.helpBrush.reset(CreateSolidBrush(RGB(235, 225, 210)));
    HDC dc = GetDC(window);
    const auto picture = [&](OwnedImage& image, int id, int w, int h) {
        image.reset(CreateBitmapImage(dc, module, id, w, h));
    };
    picture(d.yellow, IDB_KNOB_ORANGE, 13, 13);
    picture(d.violet, IDB_KNOB_VIOLET, 13, 13);
    picture(d.diamond, IDB_DIAMOND, 17, 17);
    picture(d.ticked, IDB_CHECK_TICKED, 13, 13);
    picture(d.empty, IDB_CHECK_EMPTY, 13, 13);
    picture(d.columns, IDB_COLUMNS_TILE, 18, 18);
    picture(d.green, IDB_GREEN_SWATCH, 17, 16);
    picture(d.save[0], IDB_SAVE, 60, 23);
    picture(d.save[1], IDB_SAVE_PRESSED, 60, 23);
    picture(d.remove[0], IDB_DELETE, 70, 23);
    picture(d.remove[1], IDB_DELETE_PRESSED, 70, 23);

    const Box K = ControlRect(window, IDC_PRESET_BOX), B = ControlRect(window, IDC_TOOLS_ANCHOR);
    const struct {
        int normal, pressed, width, height, x, y, command;
    } buttons[kTwoStageButtons] = {
        {IDB_CANCEL, IDB_CANCEL_PRESSED, 70, 23, K.left + 6, K.top + 24, IDCANCEL},
        {IDB_APPLY, IDB_APPLY_PRESSED, 60, 23, K.left + 80, K.top + 24, IDOK},
        {IDB_UNDO, IDB_UNDO_PRESSED, 25, 18, B.left, B.top, IDC_UNDO},
        {IDB_REDO, IDB_REDO_PRESSED, 25, 18, B.left + 26, B.top, IDC_REDO},
        {IDB_DICE, IDB_DICE_PRESSED, 25, 25, B.left + 2, B.top + 22, IDC_DICE},
        {IDB_COLOUR_DICE, IDB_COLOUR_DICE_PRESSED, 20, 20, B.left + 28, B.top + 24, IDC_COLOUR_DICE},
        {IDB_SPACING_UP, IDB_SPACING_UP_PRESSED, 25, 14, B.left + 2, B.top + 51, 0},
        {IDB_SPACING_DOWN, IDB_SPACING_DOWN_PRESSED, 25, 14, B.left + 2, B.top + 66, 0},
        {IDB_SWAP, IDB_SWAP_PRESSED, 19, 19, B.left + 30, B.top + 57, IDC_FLIP},
    };
    for (int i = 0; i < kTwoStageButtons; ++i) {
        const auto& b = buttons[i];
        d.button[i].reset(CreateImageButton(KitVariant::TwoStage, dc, module, b.normal, b.pressed,
                                            b.width, b.height, b.x, b.y, b.command));
    }
    ReleaseDC(window, dc);
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

void OnCommand(TwoStageDialog& d, WORD id, WORD notification)
{
    switch (id) {
    case IDOK:
        EndFrame(d.frame, noErr);
        break;
    case IDCANCEL:
        EndFrame(d.frame, userCanceledErr);
        break;
    case IDC_ANTIALIAS:
    case IDC_DEFORMATION:
    case IDC_WHITE_CANVAS:
    case IDC_DOUBLE_STRETCH1:
    case IDC_DOUBLE_STRETCH2:
        PostRender(d.frame);
        break;
    case IDC_PRESET_BOX:
        if (notification == CBN_SELCHANGE)
            OnPresetChoice(d);
        break;
    case IDC_FLIP:
    case IDC_DICE:
    case IDC_UNDO:
    case IDC_REDO:
    case IDC_COLOUR_DICE:
    case IDC_BYPASS_STAGE1:
    case IDC_BYPASS_STAGE2:
        OnToolCommand(d, id);
        break;
    case IDC_COLOUR_REQUEST:
        ChooseColourSource(ModuleInstance(), d.frame.window, d.frame.kit, SlotSetting(d.colourSlot),
                           gTwoStage.planes, gTwoStage.hostRecord);
        break;
    default:
        break;
    }
}

void OnRequest(TwoStageDialog& d, WPARAM what)
{
    if (what == REQ_RENDER)
        RenderCycle(d);
    else if (what == REQ_WEB_LINK)
        OpenHomePage(kHomePage);
    else if (what == REQ_LAST_HELP_PAGE)
        ShowHelpPage(d, REQ_HELP_BASICS + d.lastHelpPage);
    else if (what >= REQ_HELP_BASICS && what <= REQ_HELP_PRESETS)
        ShowHelpPage(d, static_cast<int>(what));
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TwoStageDialog* state = EnterMessage<TwoStageDialog>(window, message, wParam, lParam);
    if (!state)
        return message == WM_PAINT;
    TwoStageDialog& d = *state;
    switch (message) {
    case WM_INITDIALOG:
        Initialise(d, window);
        return FALSE;
    case WM_PAINT:
        PaintDialog(d);
        if (!d.frame.closed)
            PostRender(d.frame);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == IDC_GSHADING_CAPTION || wParam == IDC_STRETCH_CAPTION)
            DrawOwnerCaption(d.frame.kit, window, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        OnCommand(d, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_MOUSEMOVE:
        d.pointer = UnpackPointer(static_cast<uintptr_t>(lParam));
        GetCursorPos(&d.pointerScreen);
        UpdateStatus(d, d.pointer);
        return TRUE;
    case WM_HELP:
        PostMessageA(window, WM_USER, REQ_LAST_HELP_PAGE, 0);
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (d.helpShown && !PointInBox(static_cast<uintptr_t>(lParam), d.anchors.P))
            PostRender(d.frame);
        return TRUE;
    case WM_USER:
        OnRequest(d, wParam);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

bool DispatchMouse(TwoStageDialog& d, UINT message, WPARAM wParam, LPARAM lParam)
{
    TwoStagePanel& p = d.panel;
    Slider* s = p.slider;
    const uintptr_t where = static_cast<uintptr_t>(lParam);
    for (int i : {VSpacing1, HSpacing1, SideBlur1, SideDepth1, Stretch1, Gradient1, LightExiting,
                  BrightnessRatio, Saturation, Gradient2, SideBlur2, SideDepth2, Stretch2, CurvePad,
                  VSpacing2, HSpacing2, MoireH, MoireV})
        if (SliderMouse(s[i], message, wParam, where)) {
            if (i == VSpacing1 || i == HSpacing1 || i == VSpacing2 || i == HSpacing2)
                RefreshSpacingShadows(d.tools, p);
            return true;
        }
    for (ToggleLogic& t : p.toggle)
        if (ToggleMouse(t, message, where))
            return true;
    const HWND window = d.frame.window;
    for (int slot = 0; slot < 5; ++slot)
        if (ColourSwatchMouse(&d.swatch[slot], message, wParam, lParam)) {
            d.colourSlot = slot;
            PostMessageA(GetDlgItem(window, IDC_COLOUR_REQUEST), BM_CLICK, 0, 0);
            return false;
        }
    for (int b : {ButtonIncrease, ButtonDecrease})
        if (ImageButtonMouse(d.button[b].get(), window, message, wParam, lParam))
            return true;
    for (int b : {ButtonCancel, ButtonOk, ButtonFlip, ButtonDice, ButtonColourDice, ButtonUndo, ButtonRedo})
        if (ImageButtonMouse(d.button[b].get(), window, message, wParam, lParam))
            return false;
    const Kit& kit = d.frame.kit;
    for (const OwnedLink* link : {&d.page[0], &d.page[1], &d.page[2], &d.help})
        if (TextLinkMouse(link->get(), kit, message, wParam, lParam))
            return false;
    if (!TextLinkMouse(d.web.get(), kit, message, wParam, lParam) && kit.arrow)
        SetCursor(kit.arrow);
    return false;
}

INT_PTR RunTwoStageDialog(HWND owner)
{
    TwoStageDialog dialog;
    if (!RunFrameDialog(DLG_MAIN, owner, DialogProc, &dialog))
        return -1;
    gTwoStage.runResult = dialog.frame.result;
    return 0;
}
