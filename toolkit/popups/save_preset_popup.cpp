#include "toolkit/popups/save_preset_popup.h"

#include <cstdio>
#include <cstring>

#include "resources/resource_ids.h"
#include "toolkit/presetstore/preset_store.h"
#include "toolkit/widgets/image_button.h"
#include "toolkit/widgets/scaled_window.h"

namespace {

enum { kSave = 1, kCancel = 2, kDelete = 3 };

struct SavePopup {
    const SavePopupSetup* setup;
    HINSTANCE module;
    SavePopupResult result;
    ImageButton* buttons[3]; // Delete, Cancel, Save: the order they are asked in
    WindowLayout layout;
};

SavePopup* Of(HWND popup)
{
    return reinterpret_cast<SavePopup*>(GetWindowLongPtrA(popup, DWLP_USER));
}

void CreateButtons(HWND popup, SavePopup& p)
{
    const SavePopupSetup& s = *p.setup;
    const KitVariant variant = s.kit->variant;
    const Box r = ControlRect(popup, IDC_PRESET_NAME);
    const int32_t y = r.bottom + 6;
    const struct {
        int normal, pressed, width, x, command;
    } kinds[3] = {{IDB_DELETE, IDB_DELETE_PRESSED, 70, 4, kDelete},
                  {IDB_CANCEL, IDB_CANCEL_PRESSED, 70, r.right - 134, kCancel},
                  {IDB_SAVE, IDB_SAVE_PRESSED, 60, r.right - 60, kSave}};
    HDC dc = GetDC(popup);
    for (int i = 0; i < 3; ++i) {
        const auto& k = kinds[i];
        p.buttons[i] = s.lent[2 * i]
                           ? CreateImageButton(variant, s.lent[2 * i], s.lent[2 * i + 1], k.x, y,
                                               k.command)
                           : CreateImageButton(variant, dc, p.module, k.normal, k.pressed, k.width,
                                               23, k.x, y, k.command);
    }
    ReleaseDC(popup, dc);
}

void Initialise(HWND popup, SavePopup& p)
{
    const SavePopupSetup& s = *p.setup;
    LayOutDialog(popup, p.module, DLG_SAVE_PRESET, p.layout);
    HWND combo = GetDlgItem(popup, IDC_PRESET_NAME);
    AddUserPresetNames(combo, s.keyPath, s.maxNames, 0);
    char name[64] = "";
    std::snprintf(name, sizeof name, "%s", s.currentName ? s.currentName : "");
    SetWindowTextA(combo, StripPresetName(name));
    // Typing stops at the longest name a preset is saved under.
    SendMessageA(combo, CB_LIMITTEXT, kMaxSavedName, 0);
    CheckDlgButton(popup, IDC_SAVE_OPTION1, s.option1 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(popup, IDC_SAVE_OPTION2, s.option2 ? BST_CHECKED : BST_UNCHECKED);
    p.result = SavePopupResult{};
    CreateButtons(popup, p);
}

void Paint(HWND popup, SavePopup& p)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(popup, &ps);
    SelectObject(dc, p.setup->kit->textFont);
    SetBkMode(dc, TRANSPARENT);
    UseLayoutPixels(dc, p.layout.scale);
    FillInvalid(*p.setup->kit, dc, ps.rcPaint, p.layout.scale);
    for (ImageButton* b : p.buttons)
        PaintImageButton(b, dc);
    DrawAnchorText(dc, popup, IDC_SAVE_PROMPT);
    DrawAnchorText(dc, popup, IDC_SAVE_OPTION1_TEXT);
    DrawAnchorText(dc, popup, IDC_SAVE_OPTION2_TEXT);
    EndPaint(popup, &ps);
}

void Close(HWND popup, SavePopup& p)
{
    for (ImageButton*& b : p.buttons) {
        DestroyImageButton(b);
        b = nullptr;
    }
    EndDialog(popup, 0);
}

// Why the typed name cannot be used, or null. A name that strips to nothing
// would be stored as the key's unnamed value; a longer one would be cut.
const char* NameRefusal(const char* typed, bool remove)
{
    char text[kPresetNameArea + 2] = "";
    std::snprintf(text, sizeof text, "%s", typed);
    const char* name = StripPresetName(text);
    if (name[0] == '\0')
        return "Type a name for the preset.";
    if (std::strlen(name) > static_cast<size_t>(remove ? kPresetNameArea - 1 : kMaxSavedName))
        return "A preset name has at most 19 characters.";
    return nullptr;
}

void Finish(HWND popup, SavePopup& p, bool remove)
{
    // One character more than a listed name can have, so that a longer one
    // is seen as too long rather than cut.
    char typed[kPresetNameArea + 1] = "";
    GetDlgItemTextA(popup, IDC_PRESET_NAME, typed, sizeof typed);
    if (const char* refusal = NameRefusal(typed, remove)) {
        MessageBoxA(popup, refusal, "ERROR", MB_OK | MB_ICONERROR);
        SetFocus(GetDlgItem(popup, IDC_PRESET_NAME));
        return;
    }
    std::snprintf(p.result.name, sizeof p.result.name, "%s", typed);
    p.result.remove = remove;
    p.result.option1 = IsDlgButtonChecked(popup, IDC_SAVE_OPTION1) == BST_CHECKED;
    p.result.option2 = IsDlgButtonChecked(popup, IDC_SAVE_OPTION2) == BST_CHECKED;
    Close(popup, p);
}

INT_PTR CALLBACK PopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(popup, DWLP_USER, lParam);
        Initialise(popup, *reinterpret_cast<SavePopup*>(lParam));
        return TRUE;
    }
    SavePopup* p = Of(popup);
    if (!p)
        return FALSE;
    if (message == WM_DESTROY)
        ReleaseWindowLayout(popup, p->layout);
    if (message >= kFirstMouseMessage && message <= kLastMouseMessage) {
        lParam = static_cast<LPARAM>(PointerToLayout(p->layout.scale, static_cast<uintptr_t>(lParam)));
        for (ImageButton* b : p->buttons)
            if (ImageButtonMouse(b, popup, message, wParam, lParam))
                return TRUE;
        return FALSE;
    }
    switch (message) {
    case WM_PAINT:
        Paint(popup, *p);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kSave: Finish(popup, *p, false); return TRUE;
        case kDelete: Finish(popup, *p, true); return TRUE;
        case kCancel:
            p->result = SavePopupResult{};
            Close(popup, *p);
            return TRUE;
        default: return FALSE; // the check boxes work by themselves
        }
    default:
        return FALSE;
    }
}

} // namespace

int AddUserPresetNames(HWND combo, const char* keyPath, int maxNames, char prefix)
{
    static UserPresetName names[kMaxListedPresets];
    const int count = ListUserPresets(keyPath, maxNames < kMaxListedPresets ? maxNames : kMaxListedPresets, names);
    for (int i = 0; i < count; ++i) {
        char text[kPresetNameArea + 1] = "";
        std::memcpy(text, names[i].name, kPresetNameArea);
        if (prefix)
            AddUserPrefix(text, prefix);
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    return count;
}

SavePopupResult RunSavePresetPopup(HINSTANCE module, HWND owner, const SavePopupSetup& setup)
{
    SavePopup p{};
    p.setup = &setup;
    p.module = module;
    if (DialogBoxParamA(module, DLG_SAVE_PRESET, owner, PopupProc, reinterpret_cast<LPARAM>(&p)) ==
        -1)
        return SavePopupResult{};
    return p.result;
}
