#include "tools/uidriver/gdi_count.h"

#include <set>

#include "tools/uidriver/import_patch.h"

namespace {

CRITICAL_SECTION* Lock()
{
    static struct Section {
        CRITICAL_SECTION cs;
        Section() { InitializeCriticalSection(&cs); }
    } section;
    return &section.cs;
}

std::set<void*> g_live;

template <class H>
H Created(H handle)
{
    if (handle) {
        EnterCriticalSection(Lock());
        g_live.insert(reinterpret_cast<void*>(handle));
        LeaveCriticalSection(Lock());
    }
    return handle;
}

void Released(void* handle)
{
    EnterCriticalSection(Lock());
    g_live.erase(handle);
    LeaveCriticalSection(Lock());
}

// The real functions, taken before any patching: a module that counts its
// own objects (a test program) must not call back into the counters.
enum { kCompatibleDC, kCompatibleBitmap, kDIBSection, kLoadBitmap, kFont, kBrush, kGetDC,
       kReleaseDC, kDeleteDC, kDeleteObject, kFunctions };
void* g_real[kFunctions];

template <class F>
F RealFn(int i)
{
    return reinterpret_cast<F>(g_real[i]);
}

HDC WINAPI CountCreateCompatibleDC(HDC dc)
{
    return Created(RealFn<decltype(&CreateCompatibleDC)>(kCompatibleDC)(dc));
}
HBITMAP WINAPI CountCreateCompatibleBitmap(HDC dc, int w, int h)
{
    return Created(RealFn<decltype(&CreateCompatibleBitmap)>(kCompatibleBitmap)(dc, w, h));
}
HBITMAP WINAPI CountCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                     HANDLE section, DWORD offset)
{
    return Created(RealFn<decltype(&CreateDIBSection)>(kDIBSection)(dc, info, usage, bits, section, offset));
}
HBITMAP WINAPI CountLoadBitmapA(HINSTANCE module, LPCSTR name)
{
    return Created(RealFn<decltype(&LoadBitmapA)>(kLoadBitmap)(module, name));
}
HFONT WINAPI CountCreateFontA(int h, int w, int e, int o, int weight, DWORD i, DWORD u, DWORD s,
                              DWORD c, DWORD op, DWORD cp, DWORD q, DWORD pf, LPCSTR face)
{
    return Created(RealFn<decltype(&CreateFontA)>(kFont)(h, w, e, o, weight, i, u, s, c, op, cp, q, pf, face));
}
HBRUSH WINAPI CountCreateSolidBrush(COLORREF colour)
{
    return Created(RealFn<decltype(&CreateSolidBrush)>(kBrush)(colour));
}
HDC WINAPI CountGetDC(HWND window)
{
    return Created(RealFn<decltype(&GetDC)>(kGetDC)(window));
}
int WINAPI CountReleaseDC(HWND window, HDC dc)
{
    Released(dc);
    return RealFn<decltype(&ReleaseDC)>(kReleaseDC)(window, dc);
}
BOOL WINAPI CountDeleteDC(HDC dc)
{
    Released(dc);
    return RealFn<decltype(&DeleteDC)>(kDeleteDC)(dc);
}
BOOL WINAPI CountDeleteObject(HGDIOBJ object)
{
    Released(object);
    return RealFn<decltype(&DeleteObject)>(kDeleteObject)(object);
}

void* Real(const wchar_t* dll, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(dll), name));
}

} // namespace

int CountGdiObjects(HMODULE module)
{
    static const struct {
        const wchar_t* dll;
        const char* name;
    } names[kFunctions] = {{L"gdi32.dll", "CreateCompatibleDC"}, {L"gdi32.dll", "CreateCompatibleBitmap"},
                           {L"gdi32.dll", "CreateDIBSection"},   {L"user32.dll", "LoadBitmapA"},
                           {L"gdi32.dll", "CreateFontA"},        {L"gdi32.dll", "CreateSolidBrush"},
                           {L"user32.dll", "GetDC"},             {L"user32.dll", "ReleaseDC"},
                           {L"gdi32.dll", "DeleteDC"},           {L"gdi32.dll", "DeleteObject"}};
    for (int i = 0; i < kFunctions; ++i)
        if (!g_real[i])
            g_real[i] = Real(names[i].dll, names[i].name);
    void* const* real = g_real;
    void* replacement[] = {reinterpret_cast<void*>(CountCreateCompatibleDC),
                           reinterpret_cast<void*>(CountCreateCompatibleBitmap),
                           reinterpret_cast<void*>(CountCreateDIBSection),
                           reinterpret_cast<void*>(CountLoadBitmapA),
                           reinterpret_cast<void*>(CountCreateFontA),
                           reinterpret_cast<void*>(CountCreateSolidBrush),
                           reinterpret_cast<void*>(CountGetDC),
                           reinterpret_cast<void*>(CountReleaseDC),
                           reinterpret_cast<void*>(CountDeleteDC),
                           reinterpret_cast<void*>(CountDeleteObject)};
    return PatchImports(module, real, replacement, kFunctions);
}

long LiveGdiObjects()
{
    EnterCriticalSection(Lock());
    const long n = static_cast<long>(g_live.size());
    LeaveCriticalSection(Lock());
    return n;
}
