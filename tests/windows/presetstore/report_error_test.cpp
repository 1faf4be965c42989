// ReportError: the message box is caught by a CBT hook on the test thread,
// which records its caption, text, owner and icon and closes it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "toolkit/presetstore/preset_store.h"

namespace {

struct SeenBox {
    int count = 0;
    std::string caption;
    std::string text;
    HWND owner = nullptr;
    bool hasIcon = false;
};

SeenBox gSeen;

BOOL CALLBACK FindIcon(HWND child, LPARAM)
{
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON && SendMessageA(child, STM_GETICON, 0, 0) != 0)
        gSeen.hasIcon = true;
    return TRUE;
}

LRESULT CALLBACK CloseBoxes(int code, WPARAM wParam, LPARAM lParam)
{
    char className[32] = "";
    if (code == HCBT_ACTIVATE &&
        GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className) &&
        strcmp(className, "#32770") == 0) {
        HWND box = reinterpret_cast<HWND>(wParam);
        char buf[256] = "";
        GetWindowTextA(box, buf, sizeof buf);
        gSeen.caption = buf;
        buf[0] = '\0';
        GetDlgItemTextA(box, 0xFFFF, buf, sizeof buf); // the message text control
        gSeen.text = buf;
        gSeen.owner = GetWindow(box, GW_OWNER);
        gSeen.hasIcon = false;
        EnumChildWindows(box, FindIcon, 0);
        ++gSeen.count;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK PostOk(HWND window, LPARAM)
{
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

// Last resort so that a box the hook misses cannot hang the test.
void CALLBACK CloseStrayBoxes(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), PostOk, 0);
}

SeenBox ShowAndCatch(UINT id, HWND owner, UINT type)
{
    gSeen = SeenBox();
    HHOOK hook = SetWindowsHookExA(WH_CBT, CloseBoxes, nullptr, GetCurrentThreadId());
    EXPECT_NE(hook, nullptr);
    const UINT_PTR timer = SetTimer(nullptr, 0, 10000, CloseStrayBoxes);
    ReportError(GetModuleHandleA(nullptr), id, owner, type);
    KillTimer(nullptr, timer);
    if (hook)
        UnhookWindowsHookEx(hook);
    return gSeen;
}

} // namespace

TEST(PresetStoreReportError, ShowsTheStringWithCaptionError)
{
    const SeenBox seen = ShowAndCatch(40, nullptr, MB_OK | MB_ICONERROR);
    ASSERT_EQ(seen.count, 1);
    EXPECT_EQ(seen.caption, "ERROR");
    EXPECT_EQ(seen.text, "Unable to locate User Preset      ");
    EXPECT_TRUE(seen.hasIcon);
}

TEST(PresetStoreReportError, LongStringIsCutToFiftyNineCharacters)
{
    const SeenBox seen = ShowAndCatch(41, nullptr, MB_OK);
    ASSERT_EQ(seen.count, 1);
    const std::string stored = "This text is seventy characters long, more than the box may show...XYZ";
    EXPECT_EQ(seen.text, stored.substr(0, 59));
    EXPECT_FALSE(seen.hasIcon);
}

TEST(PresetStoreReportError, BoxBelongsToTheOwnerWindow)
{
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    const SeenBox seen = ShowAndCatch(40, owner, MB_OK | MB_ICONERROR);
    EXPECT_EQ(seen.count, 1);
    EXPECT_EQ(seen.owner, owner);
    DestroyWindow(owner);
}
