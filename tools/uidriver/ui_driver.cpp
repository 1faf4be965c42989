#include "tools/uidriver/ui_driver.h"

#include <cstring>

#include "resources/resource_ids.h"

namespace {

// The idle test runs on the UI thread: a hook sees every message the thread
// takes from its queue. The driver posts a numbered ping to the thread; when
// the thread takes it out, every message posted before it has been handled
// (the thread handles one message at a time), and the hook notes whether
// anything else is pending: posted or sent messages, input, paint.
UINT g_ping = 0;
HHOOK g_hook = nullptr;
HANDLE g_answered = nullptr;
volatile LONG g_answerSeq = 0;
volatile LONG g_answerIdle = 0;
volatile LONG g_answerPending = 0; // GetQueueStatus's "pending" bits at the last answer
LONG g_seq = 0;

// A click armed to arrive while a render runs: the hook posts it when the UI
// thread takes the dialog's next render request from its queue, so the
// render's own queue peeking is what first sees it.
volatile LONG g_armed = 0;
HWND g_armedDialog = nullptr, g_armedTarget = nullptr;
LPARAM g_armedAt = 0;

// A held UI thread: the hook keeps the thread inside its message retrieval
// while the driver queues a burst of input, so the dialog takes all of the
// burst before anything it posts in answer (its render request lands behind
// the burst). How the two threads happen to be scheduled then cannot split
// one gesture into several renders.
UINT g_hold = 0;
HANDLE g_holding = nullptr, g_released = nullptr;
const DWORD kLongestHoldMs = 10000; // a driver that never releases does not hang the dialog

void FireArmedClick(const MSG& m)
{
    if (!g_armed || m.hwnd != g_armedDialog || m.message != WM_USER || m.wParam != REQ_RENDER)
        return;
    PostMessageA(g_armedTarget, WM_LBUTTONDOWN, MK_LBUTTON, g_armedAt);
    PostMessageA(g_armedTarget, WM_LBUTTONUP, 0, g_armedAt);
    InterlockedExchange(&g_armed, 0);
}

LRESULT CALLBACK WatchRetrieval(int code, WPARAM removed, LPARAM lParam)
{
    MSG* m = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && removed == PM_REMOVE)
        FireArmedClick(*m);
    if (code == HC_ACTION && removed == PM_REMOVE && m->hwnd == nullptr && m->message == g_ping) {
        const DWORD pending = HIWORD(GetQueueStatus(QS_ALLINPUT & ~QS_TIMER));
        InterlockedExchange(&g_answerPending, static_cast<LONG>(pending));
        InterlockedExchange(&g_answerIdle, pending == 0 ? 1 : 0);
        InterlockedExchange(&g_answerSeq, static_cast<LONG>(m->wParam));
        SetEvent(g_answered);
        m->message = WM_NULL;
    }
    if (code == HC_ACTION && removed == PM_REMOVE && m->hwnd == nullptr && m->message == g_hold) {
        SetEvent(g_holding);
        WaitForSingleObject(g_released, kLongestHoldMs);
        m->message = WM_NULL;
    }
    return CallNextHookEx(g_hook, code, removed, lParam);
}

bool Fail(UiDriver& d, const std::string& why)
{
    d.error = why;
    return false;
}

std::string Ms(DWORD ms)
{
    return std::to_string(ms) + " ms";
}

// The kinds of work GetQueueStatus found waiting, in words.
std::string PendingWork(DWORD pending)
{
    static const struct {
        DWORD bit;
        const char* name;
    } kinds[] = {{QS_POSTMESSAGE, "posted messages"}, {QS_SENDMESSAGE, "sent messages"},
                 {QS_PAINT, "a paint"},               {QS_MOUSEMOVE, "pointer moves"},
                 {QS_MOUSEBUTTON, "pointer buttons"}, {QS_KEY, "keys"},
                 {QS_HOTKEY, "a hot key"},            {QS_RAWINPUT, "raw input"}};
    std::string words;
    for (const auto& k : kinds)
        if (pending & k.bit)
            words += (words.empty() ? "" : ", ") + std::string(k.name);
    return words.empty() ? "nothing" : words;
}

// A window as a failure message names it: its class, title and id.
std::string Describe(HWND w)
{
    if (!w)
        return "no window";
    if (!IsWindow(w))
        return "a window that no longer exists";
    char cls[64] = "", title[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, title, sizeof title);
    std::string text = std::string("a ") + cls + " window";
    if (title[0])
        text += " \"" + std::string(title) + "\"";
    if (const int id = GetDlgCtrlID(w))
        text += " (id " + std::to_string(id) + ")";
    return text;
}

// Posts to a window of the UI thread; a refusal says which window and why.
bool Post(UiDriver& d, HWND target, UINT message, WPARAM wParam, LPARAM lParam, const char* what)
{
    if (PostMessageA(target, message, wParam, lParam))
        return true;
    const DWORD code = GetLastError();
    return Fail(d, std::string("cannot post ") + what + " to " + Describe(target) +
                       " (error " + std::to_string(code) + ")");
}

bool HasControl(HWND dialog, int id)
{
    return GetDlgItem(dialog, id) != nullptr;
}

bool IsKind(HWND w, DialogKind kind)
{
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0)
        return false;
    switch (kind) {
    case DialogKind::Main: return HasControl(w, 1017);
    case DialogKind::ColourSource: return HasControl(w, 1040);
    case DialogKind::SavePreset: return HasControl(w, 1037);
    default: return true;
    }
}

BOOL CALLBACK CollectDialog(HWND w, LPARAM list)
{
    if (IsWindowVisible(w) && IsKind(w, DialogKind::Any))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
    return TRUE;
}

bool IsStatic(HWND w)
{
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    return _stricmp(cls, "Static") == 0;
}

// The window a real pointer at client (x, y) of the dialog reaches: the first
// visible, enabled child under it that is not a static control (static frames
// and labels let the pointer through), else the dialog itself.
HWND TargetAt(const UiDriver& d, int x, int y, POINT& local)
{
    local = {x, y};
    for (HWND c = GetWindow(d.dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c) || !IsWindowEnabled(c) || IsStatic(c))
            continue;
        RECT r;
        GetWindowRect(c, &r);
        POINT screen = {x, y};
        ClientToScreen(d.dialog, &screen);
        if (PtInRect(&r, screen)) {
            local = screen;
            ScreenToClient(c, &local);
            return c;
        }
    }
    return d.dialog;
}

// A pointer outside the dialog's client area reaches it only while a window
// of the dialog's thread holds the capture, as real input does; otherwise it
// goes to another window and the dialog never sees it.
bool PostPointer(UiDriver& d, UINT message, WPARAM keys, int x, int y)
{
    if (!d.dialog || !IsWindow(d.dialog))
        return Fail(d, "no dialog to send input to");
    RECT client;
    GetClientRect(d.dialog, &client);
    const POINT at = {x, y};
    if (!PtInRect(&client, at)) {
        // Whether the capture is held depends on the input before this:
        // it is handled first, as the system handles input in order.
        if (!WaitIdle(d))
            return false;
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(d.uiThread, &info) || !info.hwndCapture)
            return true;
        POINT local = at;
        MapWindowPoints(d.dialog, info.hwndCapture, &local, 1);
        return Post(d, info.hwndCapture, message, keys, MAKELPARAM(local.x, local.y), "pointer input");
    }
    POINT local;
    HWND target = TargetAt(d, x, y, local);
    return Post(d, target, message, keys, MAKELPARAM(local.x, local.y), "pointer input");
}

HWND FocusWindow(const UiDriver& d)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(d.uiThread, &info) && info.hwndFocus)
        return info.hwndFocus;
    return d.dialog;
}

} // namespace

bool AttachUiDriver(UiDriver& d, DWORD uiThread)
{
    if (!g_ping)
        g_ping = RegisterWindowMessageA("VelkUiDriverPing");
    if (!g_answered)
        g_answered = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!g_hold)
        g_hold = RegisterWindowMessageA("VelkUiDriverHold");
    if (!g_holding)
        g_holding = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!g_released)
        g_released = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    d.uiThread = uiThread;
    if (!g_hook)
        g_hook = SetWindowsHookExA(WH_GETMESSAGE, WatchRetrieval, nullptr, uiThread);
    return g_hook ? true : Fail(d, "cannot watch the UI thread");
}

void DetachUiDriver(UiDriver& d)
{
    if (g_hook)
        UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    d.uiThread = 0;
}

bool TargetClosed(const UiDriver& d)
{
    return d.dialog && !IsWindow(d.dialog);
}

bool WaitIdle(UiDriver& d)
{
    const DWORD start = GetTickCount();
    LONG seq = InterlockedIncrement(&g_seq);
    if (!PostThreadMessageA(d.uiThread, g_ping, static_cast<WPARAM>(seq), 0))
        return true; // the UI thread has no queue any more: nothing can be pending
    int answers = 0;
    for (;;) {
        if (TargetClosed(d) || (d.hostDone && WaitForSingleObject(d.hostDone, 0) == WAIT_OBJECT_0))
            return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed > static_cast<DWORD>(d.timeoutMs)) {
            // Either the thread never came back to its queue (a long render, a
            // modal loop of its own, a hang) or it did and always had work.
            if (answers == 0)
                return Fail(d, "waited " + Ms(elapsed) + " for the dialog to be idle: its thread did "
                                   "not take a message in that time (busy rendering or hung)");
            return Fail(d, "waited " + Ms(elapsed) + " for the dialog to be idle: its thread came back "
                               "to its queue " + std::to_string(answers) + " times and found " +
                               PendingWork(static_cast<DWORD>(g_answerPending)) + " waiting the last time");
        }
        if (WaitForSingleObject(g_answered, 20) != WAIT_OBJECT_0 || g_answerSeq != seq)
            continue;
        ++answers;
        if (g_answerIdle)
            return true;
        // Something was still pending: let it run, then ask again.
        Sleep(1);
        seq = InterlockedIncrement(&g_seq);
        if (!PostThreadMessageA(d.uiThread, g_ping, static_cast<WPARAM>(seq), 0))
            return true;
    }
}

std::string KindName(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Main: return "the main dialog";
    case DialogKind::ColourSource: return "the colour-source pop-up";
    case DialogKind::SavePreset: return "the save-preset pop-up";
    default: return "a dialog";
    }
}

bool ParseDialogKind(const std::string& name, DialogKind& kind)
{
    if (name == "samples" || name == "main")
        kind = DialogKind::Main;
    else if (name == "back" || name == "BACK" || name == "colour")
        kind = DialogKind::ColourSource;
    else if (name == "save" || name == "SAVE")
        kind = DialogKind::SavePreset;
    else if (name == "any")
        kind = DialogKind::Any;
    else
        return false;
    return true;
}

std::vector<HWND> OpenDialogs(const UiDriver& d)
{
    std::vector<HWND> list;
    EnumThreadWindows(d.uiThread, CollectDialog, reinterpret_cast<LPARAM>(&list));
    // EnumThreadWindows lists the newest first.
    return std::vector<HWND>(list.rbegin(), list.rend());
}

bool FindDialog(UiDriver& d, DialogKind kind)
{
    const DWORD start = GetTickCount();
    for (;;) {
        for (HWND w : OpenDialogs(d))
            if (IsKind(w, kind) && IsWindowEnabled(w)) {
                d.dialog = w;
                return WaitIdle(d);
            }
        if (d.hostDone && WaitForSingleObject(d.hostDone, 0) == WAIT_OBJECT_0)
            return Fail(d, "waited for " + KindName(kind) + ": the module returned without showing it");
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed > static_cast<DWORD>(d.timeoutMs)) {
            std::string open;
            for (HWND w : OpenDialogs(d))
                open += (open.empty() ? "" : "; ") + Describe(w) +
                        (IsWindowEnabled(w) ? "" : ", disabled");
            return Fail(d, "waited " + Ms(elapsed) + " for " + KindName(kind) + ", open instead: " +
                               (open.empty() ? "no dialog" : open));
        }
        Sleep(5);
    }
}

bool Move(UiDriver& d, int x, int y, WPARAM keys)
{
    return PostPointer(d, WM_MOUSEMOVE, keys, x, y) && WaitIdle(d);
}

bool Press(UiDriver& d, int x, int y, WPARAM keys)
{
    return PostPointer(d, WM_LBUTTONDOWN, MK_LBUTTON | keys, x, y) && WaitIdle(d);
}

// A press may close the dialog (the colour-source pop-up closes on it); the
// release then has no window of the dialog to go to and is left out.
bool Release(UiDriver& d, int x, int y, WPARAM keys)
{
    if (TargetClosed(d))
        return true;
    return PostPointer(d, WM_LBUTTONUP, keys, x, y) && WaitIdle(d);
}

bool Click(UiDriver& d, int x, int y)
{
    return Press(d, x, y) && Release(d, x, y);
}

bool ClickDuringNextRender(UiDriver& d, int x, int y)
{
    if (!d.dialog || !IsWindow(d.dialog))
        return Fail(d, "no dialog to send input to");
    POINT local;
    const HWND target = TargetAt(d, x, y, local);
    g_armedDialog = d.dialog;
    g_armedTarget = target;
    g_armedAt = MAKELPARAM(local.x, local.y);
    InterlockedExchange(&g_armed, 1);
    return true;
}

bool ArmedClickPending()
{
    return g_armed != 0;
}

bool DoubleClick(UiDriver& d, int x, int y)
{
    // What Windows delivers for a double-click: down, up, double-click, up.
    return Click(d, x, y) && PostPointer(d, WM_LBUTTONDBLCLK, MK_LBUTTON, x, y) && WaitIdle(d) &&
           Release(d, x, y);
}

bool RightClick(UiDriver& d, int x, int y)
{
    if (!PostPointer(d, WM_RBUTTONDOWN, MK_RBUTTON, x, y) || !WaitIdle(d))
        return false;
    return TargetClosed(d) || (PostPointer(d, WM_RBUTTONUP, 0, x, y) && WaitIdle(d));
}

namespace {

bool HoldUiThread(UiDriver& d)
{
    ResetEvent(g_released);
    if (!PostThreadMessageA(d.uiThread, g_hold, 0, 0))
        return Fail(d, "cannot hold the UI thread: it has no queue");
    if (WaitForSingleObject(g_holding, static_cast<DWORD>(d.timeoutMs)) != WAIT_OBJECT_0) {
        SetEvent(g_released); // should the thread still come to the hold, it passes
        return Fail(d, "waited " + Ms(static_cast<DWORD>(d.timeoutMs)) +
                           " to hold the UI thread: it did not take a message in that time");
    }
    return true;
}

} // namespace

bool Drag(UiDriver& d, const std::vector<POINT>& path, int steps, WPARAM keys, DragPace pace)
{
    if (path.empty())
        return Fail(d, "a drag needs at least one point");
    if (steps < 1)
        steps = 1;
    if (pace == DragPace::Burst) {
        // Pointer input outside the client area waits for the dialog to take
        // what came before (see PostPointer), which a held thread cannot.
        RECT client;
        GetClientRect(d.dialog, &client);
        for (const POINT& p : path)
            if (!PtInRect(&client, p))
                return Fail(d, "a whole drag stays inside the dialog");
        if (!HoldUiThread(d))
            return false;
    }
    bool posted = PostPointer(d, WM_LBUTTONDOWN, MK_LBUTTON | keys, path[0].x, path[0].y);
    for (size_t i = 1; posted && i < path.size(); ++i)
        for (int k = 1; posted && k <= steps; ++k) {
            const int x = path[i - 1].x + (path[i].x - path[i - 1].x) * k / steps;
            const int y = path[i - 1].y + (path[i].y - path[i - 1].y) * k / steps;
            posted = PostPointer(d, WM_MOUSEMOVE, MK_LBUTTON | keys, x, y) &&
                     (pace != DragPace::Settle || WaitIdle(d));
        }
    posted = posted && PostPointer(d, WM_LBUTTONUP, keys, path.back().x, path.back().y);
    if (pace == DragPace::Burst)
        SetEvent(g_released);
    return posted && WaitIdle(d);
}

bool Key(UiDriver& d, const std::string& name)
{
    if (!d.dialog || !IsWindow(d.dialog))
        return Fail(d, "no dialog to send keys to");
    if (name == "f1") {
        static HELPINFO help;
        help = HELPINFO{};
        help.cbSize = sizeof help;
        help.iContextType = HELPINFO_WINDOW;
        help.hItemHandle = FocusWindow(d);
        // Messages that carry a pointer cannot be posted; the dialog is idle,
        // so a sent one is handled as the next message would be.
        DWORD_PTR answer;
        if (!SendMessageTimeoutA(d.dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&help), SMTO_NORMAL,
                                 static_cast<UINT>(d.timeoutMs), &answer))
            return Fail(d, "the dialog did not take F1");
        return WaitIdle(d);
    }
    WPARAM vk;
    if (name == "escape")
        vk = VK_ESCAPE;
    else if (name == "enter")
        vk = VK_RETURN;
    else
        return Fail(d, "unknown key " + name + " (escape, enter, f1)");
    // The press is handled before the release is sent, as with a real key:
    // a press that closes the dialog (Escape, Enter) leaves no window for the
    // release, which is then left out. Posting both at once raced the dialog:
    // when the press was handled first, the release had nowhere to go.
    if (!Post(d, FocusWindow(d), WM_KEYDOWN, vk, 1, "a key press") || !WaitIdle(d))
        return false;
    if (TargetClosed(d))
        return true;
    return Post(d, FocusWindow(d), WM_KEYUP, vk, 0xC0000001, "a key release") && WaitIdle(d);
}

bool ClickControl(UiDriver& d, int id)
{
    HWND control = d.dialog ? GetDlgItem(d.dialog, id) : nullptr;
    if (!control)
        return Fail(d, "the dialog has no control " + std::to_string(id));
    RECT r;
    GetClientRect(control, &r);
    const LPARAM centre = MAKELPARAM((r.right - r.left) / 2, (r.bottom - r.top) / 2);
    // Press and release each handled in turn, like Press and Release: the
    // release is left out when the press closed the dialog.
    if (!Post(d, control, WM_LBUTTONDOWN, MK_LBUTTON, centre, "a button press") || !WaitIdle(d))
        return false;
    if (TargetClosed(d) || !IsWindow(control))
        return true;
    return Post(d, control, WM_LBUTTONUP, 0, centre, "a button release") && WaitIdle(d);
}

bool SelectComboText(UiDriver& d, int id, const std::string& text)
{
    HWND combo = d.dialog ? GetDlgItem(d.dialog, id) : nullptr;
    if (!combo)
        return Fail(d, "the dialog has no control " + std::to_string(id));
    const std::vector<std::string> items = ComboItems(d, id);
    auto trimmed = [](std::string s) {
        while (!s.empty() && s.back() == ' ')
            s.pop_back();
        return s;
    };
    size_t match = items.size();
    for (size_t i = 0; i < items.size() && match == items.size(); ++i)
        if (items[i] == text)
            match = i;
    for (size_t i = 0; i < items.size() && match == items.size(); ++i)
        if (trimmed(items[i]) == trimmed(text))
            match = i;
    if (match == items.size())
        return Fail(d, "control " + std::to_string(id) + " has no entry \"" + text + "\"");
    SendMessageA(combo, CB_SETCURSEL, match, 0);
    return Post(d, d.dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo),
                "the choice") &&
           WaitIdle(d);
}

bool SetControlText(UiDriver& d, int id, const std::string& text)
{
    HWND control = d.dialog ? GetDlgItem(d.dialog, id) : nullptr;
    if (!control)
        return Fail(d, "the dialog has no control " + std::to_string(id));
    SetWindowTextA(control, text.c_str());
    return WaitIdle(d);
}

int CheckState(const UiDriver& d, int id)
{
    return static_cast<int>(SendDlgItemMessageA(d.dialog, id, BM_GETCHECK, 0, 0));
}

std::string ControlText(const UiDriver& d, int id)
{
    char text[512] = "";
    GetDlgItemTextA(d.dialog, id, text, sizeof text);
    return text;
}

std::string WindowTitle(const UiDriver& d)
{
    char text[512] = "";
    GetWindowTextA(d.dialog, text, sizeof text);
    return text;
}

std::vector<std::string> ComboItems(const UiDriver& d, int id)
{
    std::vector<std::string> items;
    HWND combo = GetDlgItem(d.dialog, id);
    const LRESULT count = combo ? SendMessageA(combo, CB_GETCOUNT, 0, 0) : 0;
    for (LRESULT i = 0; i < count; ++i) {
        char text[256] = "";
        if (SendMessageA(combo, CB_GETLBTEXTLEN, i, 0) < LRESULT(sizeof text))
            SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}
