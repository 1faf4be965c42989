// Message box capture by import address table patching.
#include "tools/uidriver/box_capture.h"

#include <cstdint>

#include "tools/uidriver/import_patch.h"
#include "tools/uidriver/text.h"

namespace {

CRITICAL_SECTION* Lock()
{
    static struct Section {
        CRITICAL_SECTION cs;
        Section() { InitializeCriticalSection(&cs); }
    } section;
    return &section.cs;
}

std::vector<CapturedBox> g_boxes;
int g_nextAnswer = 0;
BoxObserver g_observer = nullptr;

const char* IconName(UINT type)
{
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
void Buttons(UINT type, std::string& name, int& answer)
{
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

int Record(HWND owner, bool hasText, const std::string& text, bool hasCaption,
           const std::string& caption, UINT type)
{
    CapturedBox b;
    b.hasText = hasText, b.text = text;
    b.hasCaption = hasCaption, b.caption = caption;
    b.icon = IconName(type);
    Buttons(type, b.buttons, b.answer);
    b.owner = owner;
    BoxObserver observer;
    EnterCriticalSection(Lock());
    if (g_nextAnswer)
        b.answer = g_nextAnswer;
    g_nextAnswer = 0;
    g_boxes.push_back(b);
    observer = g_observer;
    LeaveCriticalSection(Lock());
    if (observer)
        observer(b);
    return b.answer;
}

std::string W(const wchar_t* s) { return s ? Narrow(s) : std::string(); }

int WINAPI BoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    return Record(owner, text, AnsiToUtf8(text), caption, AnsiToUtf8(caption), type);
}

int WINAPI BoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)
{
    return Record(owner, text, W(text), caption, W(caption), type);
}

int WINAPI BoxExA(HWND owner, LPCSTR text, LPCSTR caption, UINT type, WORD)
{
    return BoxA(owner, text, caption, type);
}

int WINAPI BoxExW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type, WORD)
{
    return BoxW(owner, text, caption, type);
}

// Indirect boxes may name their text and caption by string resource id.
std::string ResourceOrText(HINSTANCE instance, LPCSTR s)
{
    if (!IS_INTRESOURCE(s)) return AnsiToUtf8(s);
    wchar_t buf[1024];
    int n = LoadStringW(instance, UINT(reinterpret_cast<uintptr_t>(s)), buf, 1024);
    return Narrow(std::wstring(buf, size_t(n > 0 ? n : 0)));
}

std::string ResourceOrText(HINSTANCE instance, LPCWSTR s)
{
    if (!IS_INTRESOURCE(s)) return Narrow(s);
    return ResourceOrText(instance, reinterpret_cast<LPCSTR>(s));
}

int WINAPI BoxIndirectA(const MSGBOXPARAMSA* p)
{
    return Record(p->hwndOwner, p->lpszText, ResourceOrText(p->hInstance, p->lpszText),
                  p->lpszCaption,
                  p->lpszCaption ? ResourceOrText(p->hInstance, p->lpszCaption) : std::string(),
                  p->dwStyle);
}

int WINAPI BoxIndirectW(const MSGBOXPARAMSW* p)
{
    return Record(p->hwndOwner, p->lpszText, ResourceOrText(p->hInstance, p->lpszText),
                  p->lpszCaption,
                  p->lpszCaption ? ResourceOrText(p->hInstance, p->lpszCaption) : std::string(),
                  p->dwStyle);
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

} // namespace

int CaptureMessageBoxes(HMODULE module)
{
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return 0;
    void* real[6];
    void* replacement[6];
    for (int i = 0; i < 6; ++i) {
        real[i] = reinterpret_cast<void*>(GetProcAddress(user32, kRedirects[i].name));
        replacement[i] = kRedirects[i].replacement;
    }
    return PatchImports(module, real, replacement, 6);
}

void SetNextBoxAnswer(int answer)
{
    EnterCriticalSection(Lock());
    g_nextAnswer = answer;
    LeaveCriticalSection(Lock());
}

void SetBoxObserver(BoxObserver observer)
{
    EnterCriticalSection(Lock());
    g_observer = observer;
    LeaveCriticalSection(Lock());
}

std::vector<CapturedBox> CapturedBoxes()
{
    EnterCriticalSection(Lock());
    std::vector<CapturedBox> copy = g_boxes;
    LeaveCriticalSection(Lock());
    return copy;
}
