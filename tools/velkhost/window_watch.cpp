// Message boxes into the run log, and a window watch.
#include "tools/velkhost/window_watch.h"

#include <string>

#include "tools/uidriver/box_capture.h"
#include "tools/uidriver/text.h"
#include "tools/velkhost/summary.h"

namespace {

HWND g_hostWindow = nullptr;
HHOOK g_hook = nullptr;

void LogBox(const CapturedBox& box)
{
    BoxRecord b;
    b.hasText = box.hasText, b.text = box.text;
    b.hasCaption = box.hasCaption, b.caption = box.caption;
    b.icon = box.icon;
    b.buttons = box.buttons;
    b.answer = box.answer;
    b.owner = !box.owner ? "none" : box.owner == g_hostWindow ? "host" : "other";
    LockLog();
    g_log.boxes.push_back(b);
    UnlockLog();
}

LRESULT CALLBACK WatchWindows(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (!(cs->style & WS_CHILD)) {
            wchar_t cls[256] = L"";
            GetClassNameW(reinterpret_cast<HWND>(wParam), cls, 256);
            std::wstring name = cls;
            // Input method windows come from the system, not from the module.
            if (name != L"IME" && name != L"MSCTFIME UI") {
                WindowRecord w;
                w.className = Narrow(name);
                if (cs->lpszName && !IS_INTRESOURCE(cs->lpszName))
                    w.title = Narrow(cs->lpszName);
                LockLog();
                g_log.windows.push_back(w);
                UnlockLog();
            }
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

} // namespace

void SetHostWindow(HWND window) { g_hostWindow = window; }

void CaptureModuleBoxes(HMODULE module)
{
    SetBoxObserver(LogBox);
    CaptureMessageBoxes(module);
}

void StartWindowWatch()
{
    if (!g_hook)
        g_hook = SetWindowsHookExW(WH_CBT, WatchWindows, nullptr, GetCurrentThreadId());
}

void StopWindowWatch()
{
    if (g_hook)
        UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
}
