// Every dialog template holds its controls in the given order with their
// ids, classes, styles, texts and rectangles, and creates a dialog whose
// windows have them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/windows/resources/dialog_template.h"
#include "tests/windows/resources/raw_resource.h"

namespace {

enum Kind { Etched, GreyHidden, TextHidden, FlatCheck, OwnerFlat, PushHidden, DropList, DropEdit };

struct Control {
    int id;
    Kind kind;
    int x, y, w, h;
    const char* text;
};

// Styles of the dialogs themselves, as stored (the font statement adds
// DS_SETFONT).
const DWORD kMainStyle = DS_SETFONT | WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_CENTER | WS_VISIBLE;
const DWORD kBackStyle = DS_SETFONT | WS_POPUP | DS_MODALFRAME | DS_CENTERMOUSE | DS_CONTROL;
const DWORD kSaveStyle = DS_SETFONT | WS_POPUP | DS_MODALFRAME | DS_CENTER;

const std::vector<Control> kMain2000 = {
    {1031, Etched, 333, 137, 12, 11, ""},      {1025, Etched, 334, 46, 11, 10, ""},
    {1024, Etched, 334, 91, 11, 10, ""},       {1019, Etched, 271, 4, 74, 144, ""},
    {1018, Etched, 344, 4, 80, 144, ""},       {4002, GreyHidden, 290, 156, 50, 38, ""},
    {1004, FlatCheck, 9, 219, 9, 9, ""},       {1017, Etched, 27, 25, 245, 224, ""},
    {1014, DropList, 332, 235, 96, 340, ""},   {4000, GreyHidden, 14, 253, 131, 9, ""},
    {1021, Etched, 412, 151, 12, 11, ""},      {1026, PushHidden, 0, 0, 11, 9, ""},
    {1027, FlatCheck, 346, 7, 9, 9, ""},       {1035, OwnerFlat, 288, 0, 39, 9, " G-Shading"},
    {1036, OwnerFlat, 370, 0, 30, 9, " Stretch"}, {4001, GreyHidden, 355, 197, 67, 35, ""},
    {1028, FlatCheck, 346, 77, 9, 9, ""},      {1005, FlatCheck, 216, 2, 9, 9, ""},
    {1006, FlatCheck, 299, 253, 9, 9, ""},     {1007, FlatCheck, 287, 253, 9, 9, ""},
    {1008, FlatCheck, 216, 13, 9, 9, ""},      {4004, GreyHidden, 294, 199, 32, 47, ""},
    {1029, Etched, 380, 152, 11, 10, ""},      {1030, Etched, 380, 172, 11, 10, ""},
};

const std::vector<Control> kMain3d = {
    {1004, FlatCheck, 265, 222, 9, 9, ""},     {1017, Etched, 15, 15, 245, 224, ""},
    {1019, Etched, 259, 15, 73, 56, ""},       {1018, Etched, 331, 15, 80, 75, ""},
    {-1, Etched, 259, 15, 152, 224, ""},       {1014, DropList, 318, 198, 86, 168, ""},
    {4000, GreyHidden, 87, 242, 93, 9, ""},    {1021, Etched, 393, 93, 13, 12, ""},
    {1026, PushHidden, 402, 243, 11, 9, ""},   {1027, FlatCheck, 336, 20, 9, 9, ""},
    {1035, OwnerFlat, 276, 11, 39, 9, " G-Shading"}, {1036, OwnerFlat, 356, 11, 29, 9, " Stretch"},
};

const std::vector<Control> kBack = {
    {1025, Etched, 48, 1, 14, 13, ""},           {1026, Etched, 48, 15, 14, 13, ""},
    {1027, Etched, 48, 28, 14, 13, ""},          {1028, Etched, 48, 41, 14, 13, ""},
    {1040, TextHidden, 4, 3, 42, 8, "Foreground"}, {1041, TextHidden, 4, 16, 43, 8, "Background"},
    {1042, TextHidden, 4, 30, 42, 8, "Picker"},  {1043, TextHidden, 4, 43, 43, 8, "Transparent"},
};

std::vector<Control> SaveControls()
{
    const char* option1 = Module().deform ? "Save Background Color" : "Save Color Settings";
    return {
        {1014, DropEdit, 99, 16, 86, 168, ""},
        {1037, TextHidden, 112, 3, 62, 9, "Enter preset name:"},
        {1034, FlatCheck, 3, 3, 9, 9, ""},
        {1035, FlatCheck, 3, 18, 9, 9, ""},
        {1038, TextHidden, 15, 3, 80, 9, option1},
        {1039, TextHidden, 15, 18, 75, 9, "Save Light Correction"},
    };
}

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

bool Hidden(Kind k) { return k == GreyHidden || k == TextHidden || k == PushHidden; }

// The full style a control of each kind is stored with. Visible children
// unless hidden; tab stops on the check boxes and combo boxes.
DWORD StyleOf(Kind k)
{
    DWORD base = WS_CHILD | (Hidden(k) ? 0 : WS_VISIBLE);
    switch (k) {
    case Etched:
        return base | SS_ETCHEDFRAME;
    case GreyHidden:
        return base | SS_GRAYRECT;
    case TextHidden:
        return base | SS_LEFT;
    case FlatCheck:
        return base | BS_AUTOCHECKBOX | BS_FLAT | WS_TABSTOP;
    case OwnerFlat:
        return base | BS_OWNERDRAW | BS_FLAT;
    case PushHidden:
        return base | BS_PUSHBUTTON;
    case DropList:
        return base | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
    case DropEdit:
        return base | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
    }
    return 0;
}

const char* ClassOf(Kind k)
{
    switch (k) {
    case Etched:
    case GreyHidden:
    case TextHidden:
        return "Static";
    case DropList:
    case DropEdit:
        return "ComboBox";
    default:
        return "Button";
    }
}

std::string ClassOf(HWND h)
{
    char buf[64] = {};
    GetClassNameA(h, buf, sizeof buf);
    return buf;
}

std::string TextOf(HWND h)
{
    char buf[256] = {};
    GetWindowTextA(h, buf, sizeof buf);
    return buf;
}

// Dialog units to pixels, each value on its own (as the dialog manager does).
RECT Pixels(HWND dlg, int x, int y, int w, int h)
{
    RECT r{x, y, w, h};
    MapDialogRect(dlg, &r);
    return r; // left, top, width, height
}

void CheckTemplate(const char* name, DWORD style, const std::string& caption, int cx, int cy,
                   const std::vector<Control>& controls, bool extended)
{
    DialogTemplate t = ParseDialogTemplate(RawResource(MAKEINTRESOURCEA(5), name)); // RT_DIALOG
    ASSERT_TRUE(t.ok) << "no readable template";
    EXPECT_EQ(t.extended, extended);
    EXPECT_EQ(t.style, style);
    EXPECT_EQ(t.exStyle, 0u);
    EXPECT_EQ(t.cx, cx);
    EXPECT_EQ(t.cy, cy);
    EXPECT_EQ(t.caption, caption);
    EXPECT_EQ(t.pointSize, 8);
    EXPECT_EQ(t.typeface, "MS Sans Serif");
    ASSERT_EQ(t.items.size(), controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        const TemplateItem& item = t.items[i];
        SCOPED_TRACE("item " + std::to_string(i) + ", control " + std::to_string(c.id));
        EXPECT_EQ(item.id, c.id);
        // Class names are case-insensitive (stored as an ordinal or a name).
        EXPECT_EQ(lstrcmpiA(item.className.c_str(), ClassOf(c.kind)), 0) << item.className;
        EXPECT_EQ(item.style, StyleOf(c.kind));
        EXPECT_EQ(item.exStyle, 0u);
        EXPECT_EQ(item.x, c.x);
        EXPECT_EQ(item.y, c.y);
        EXPECT_EQ(item.cx, c.w);
        EXPECT_EQ(item.cy, c.h);
        EXPECT_EQ(item.text, c.text);
    }
}

void CheckCreated(const char* name, const std::string& caption, int cx, int cy, const std::vector<Control>& controls)
{
    HWND dlg = CreateDialogParamA(GetModuleHandleA(nullptr), name, nullptr, QuietProc, 0);
    ASSERT_NE(dlg, nullptr) << "error " << GetLastError();
    EXPECT_EQ(TextOf(dlg), caption);
    RECT client;
    GetClientRect(dlg, &client);
    RECT size = Pixels(dlg, 0, 0, cx, cy);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);

    LOGFONTA lf{};
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dlg, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    GetObjectA(font, sizeof lf, &lf);
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    HDC dc = GetDC(dlg);
    EXPECT_EQ(lf.lfHeight, -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72));
    ReleaseDC(dlg, dc);

    std::vector<HWND> children;
    for (HWND h = GetWindow(dlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        children.push_back(h);
    ASSERT_EQ(children.size(), controls.size());
    for (size_t i = 0; i < controls.size(); ++i) {
        const Control& c = controls[i];
        HWND h = children[i];
        SCOPED_TRACE("window of control " + std::to_string(c.id));
        EXPECT_EQ(int(GetDlgCtrlID(h)), c.id);
        EXPECT_EQ(ClassOf(h), ClassOf(c.kind));
        EXPECT_EQ(TextOf(h), c.text);
        EXPECT_EQ((GetWindowLongPtrA(h, GWL_STYLE) & WS_VISIBLE) != 0, !Hidden(c.kind));
        RECT expected = Pixels(dlg, c.x, c.y, c.w, c.h);
        RECT r;
        GetWindowRect(h, &r);
        MapWindowPoints(HWND_DESKTOP, dlg, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, expected.left);
        EXPECT_EQ(r.top, expected.top);
        EXPECT_EQ(r.right - r.left, expected.right);
        // A combo box shows its closed height; the template's is the open one.
        if (c.kind != DropList && c.kind != DropEdit) {
            EXPECT_EQ(r.bottom - r.top, expected.bottom);
        }
    }
    DestroyWindow(dlg);
}

void CheckDialog(const char* name, DWORD style, const std::string& caption, int cx, int cy,
                 const std::vector<Control>& controls, bool extended)
{
    SCOPED_TRACE(name);
    CheckTemplate(name, style, caption, cx, cy, controls, extended);
    CheckCreated(name, caption, cx, cy, controls);
}

} // namespace

TEST(MODULE_SUITE(Dialogs), MainDialog)
{
    const ModuleFacts& m = Module();
    if (m.deform)
        CheckDialog("samples", kMainStyle, m.caption, 416, 253, kMain3d, true);
    else
        CheckDialog("samples", kMainStyle, m.caption, 429, 266, kMain2000, true);
}

TEST(MODULE_SUITE(Dialogs), ColourSourcePopup) { CheckDialog("BACK", kBackStyle, "", 63, 54, kBack, false); }

TEST(MODULE_SUITE(Dialogs), SavePresetPopup) { CheckDialog("SAVE", kSaveStyle, "", 188, 49, SaveControls(), false); }
