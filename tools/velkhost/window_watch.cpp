// Message box capture by import address table patching, and a window watch.
#include "tools/velkhost/box_capture.h"

#include <string>

#include "tools/velkhost/summary.h"
#include "tools/velkhost/text.h"

namespace {

HWND g_hostWindow = nullptr;
HHOOK g_hook = nullptr;

const char* IconName(UINT type) {
    switch (type & MB_ICONMASK) {
    case 0: return "none";
    case MB_ICONERROR: return "error";
    case MB_ICONQUESTION: return "question";
    case MB_ICONWARNING: return "warning";
    case MB_ICONINFORMATION: return "information";
    default: return "other";
    }
}

// The button set and the answer a cautious user gives without reading.
void Buttons(UINT type, std::string& name, int& answer) {
    switch (type & MB_TYPEMASK) {
    case MB_OK: name = "ok", answer = IDOK; break;
    case MB_OKCANCEL: name = "okcancel", answer = IDOK; break;
    case MB_ABORTRETRYIGNORE: name = "abortretryignore", answer = IDABORT; break;
    case MB_YESNOCANCEL: name = "yesnocancel", answer = IDCANCEL; break;
    case MB_YESNO: name = "yesno", answer = IDNO; break;
    case MB_RETRYCANCEL: name = "retrycancel", answer = IDCANCEL; break;
    case MB_CANCELTRYCONTINUE: name = "canceltrycontinue", answer = IDCANCEL; break;
    default: name = "other", answer = IDOK; break;
    }
}

int Record(HWND owner, bool hasText, const std::string& text, bool hasCaption, const std::string& caption,
           UINT type) {
    BoxRecord b;
    b.hasText = hasText, b.text = text;
    b.hasCaption = hasCaption, b.caption = caption;
    b.icon = IconName(type);
    Buttons(type, b.buttons, b.answer);
    b.owner = !owner ? "none" : owner == g_hostWindow ? "host" : "other";
    LockLog();
    g_log.boxes.push_back(b);
    UnlockLog();
    return b.answer;
}

std::string W(const wchar_t* s) { return s ? Narrow(s) : std::string(); }

int WINAPI BoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return Record(owner, text, AnsiToUtf8(text), caption, AnsiToUtf8(caption), type);
}

int WINAPI BoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    return Record(owner, text, W(text), caption, W(caption), type);
}

int WINAPI BoxExA(HWND owner, LPCSTR text, LPCSTR caption, UINT type, WORD) {
    return BoxA(owner, text, caption, type);
}

int WINAPI BoxExW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type, WORD) {
    return BoxW(owner, text, caption, type);
}

// Indirect boxes may name their text and caption by string resource id.
std::string ResourceOrText(HINSTANCE instance, LPCSTR s) {
    if (!IS_INTRESOURCE(s)) return AnsiToUtf8(s);
    wchar_t buf[1024];
    int n = LoadStringW(instance, UINT(reinterpret_cast<uintptr_t>(s)), buf, 1024);
    return Narrow(std::wstring(buf, size_t(n > 0 ? n : 0)));
}

std::string ResourceOrText(HINSTANCE instance, LPCWSTR s) {
    if (!IS_INTRESOURCE(s)) return Narrow(s);
    return ResourceOrText(instance, reinterpret_cast<LPCSTR>(s));
}

int WINAPI BoxIndirectA(const MSGBOXPARAMSA* p) {
    return Record(p->hwndOwner, p->lpszText, ResourceOrText(p->hInstance, p->lpszText), p->lpszCaption,
                  p->lpszCaption ? ResourceOrText(p->hInstance, p->lpszCaption) : std::string(), p->dwStyle);
}

int WINAPI BoxIndirectW(const MSGBOXPARAMSW* p) {
    return Record(p->hwndOwner, p->lpszText, ResourceOrText(p->hInstance, p->lpszText), p->lpszCaption,
                  p->lpszCaption ? ResourceOrText(p->hInstance, p->lpszCaption) : std::string(), p->dwStyle);
}

struct Redirect {
    const char* name;
    void* replacement;
};

const Redirect kRedirects[] = {
    {"MessageBoxA", reinterpret_cast<void*>(BoxA)},
    {"MessageBoxW", reinterpret_cast<void*>(BoxW)},
    {"MessageBoxExA", reinterpret_cast<void*>(BoxExA)},
    {"MessageBoxExW", reinterpret_cast<void*>(BoxExW)},
    {"MessageBoxIndirectA", reinterpret_cast<void*>(BoxIndirectA)},
    {"MessageBoxIndirectW", reinterpret_cast<void*>(BoxIndirectW)},
};

LRESULT CALLBACK WatchWindows(int code, WPARAM wParam, LPARAM lParam) {
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
                if (cs->lpszName && !IS_INTRESOURCE(cs->lpszName)) w.title = Narrow(cs->lpszName);
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

// Walks the module's import directory and replaces every slot that holds one
// of the message box functions (compared by address, so the name table is
// not needed) with velkhost's own.
int CaptureMessageBoxes(HMODULE module) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return 0;
    void* real[6];
    for (int i = 0; i < 6; ++i) real[i] = reinterpret_cast<void*>(GetProcAddress(user32, kRedirects[i].name));

    auto* base = reinterpret_cast<uint8_t*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return 0;
    int patched = 0;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk); slot->u1.Function; ++slot) {
            for (int i = 0; i < 6; ++i) {
                if (!real[i] || reinterpret_cast<void*>(slot->u1.Function) != real[i]) continue;
                DWORD old = 0;
                VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &old);
                slot->u1.Function = reinterpret_cast<ULONG_PTR>(kRedirects[i].replacement);
                VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, old, &old);
                ++patched;
            }
        }
    }
    return patched;
}

void StartWindowWatch() {
    if (!g_hook) g_hook = SetWindowsHookExW(WH_CBT, WatchWindows, nullptr, GetCurrentThreadId());
}

void StopWindowWatch() {
    if (g_hook) UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
}
