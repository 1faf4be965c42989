#include "toolkit/widgets/scaled_window.h"

#include <cstdlib>

namespace {

const char kLayoutProperty[] = "Velk.Layout";
const char kDpiProperty[] = "Velk.Dpi"; // read by the UI driver as well

// The dpi Windows 10 and later give the window (96 where the system scales
// an unaware window itself); 0 on older systems.
int WindowDpi(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto get = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    return get ? static_cast<int>(get(window)) : 0;
}

// The dpi the system laid the template out for. Where the window reports
// 96, Wine may still have laid the template out at the screen's dpi: the
// screen's dpi is taken when the template's vertical dialog base unit (the
// font's height, which follows the dpi even where a substitute font's width
// does not) agrees with it.
int LaidOutDpi(HWND window)
{
    const int reported = WindowDpi(window);
    if (reported > 0 && reported != 96)
        return reported;
    HDC screen = GetDC(nullptr);
    const int screenDpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    if (screenDpi <= 96)
        return 96;
    RECT unit = {0, 0, 4, 8};
    MapDialogRect(window, &unit);
    const int expected = 13 * screenDpi / 96;
    return std::abs(unit.bottom - expected) * 6 <= expected ? screenDpi : 96;
}

HFONT ControlFont(int dpi)
{
    return CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, 0, 0, DEFAULT_QUALITY, 0, "MS Sans Serif");
}

// Sizes the client area and places every control: the dialog manager made
// them in the template's order, which is the order of the child windows.
void Place(HWND window, WindowLayout& out, const RECT* suggested)
{
    const Scale s = out.scale;
    RECT frame = {0, 0, ToDevice(s, out.layout.width), ToDevice(s, out.layout.height)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE)));
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    RECT now = {};
    GetWindowRect(window, &now);
    int x = (now.left + now.right - w) / 2, y = (now.top + now.bottom - h) / 2;
    if (suggested)
        x = suggested->left, y = suggested->top;
    SetWindowPos(window, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);

    HFONT font = ControlFont(s.dpi);
    HWND child = GetWindow(window, GW_CHILD);
    for (int i = 0; i < out.layout.count && child; ++i, child = GetWindow(child, GW_HWNDNEXT)) {
        const Box b = ToDevice(s, out.layout.control[i].box);
        SetWindowPos(child, nullptr, b.left, b.top, b.right - b.left, b.bottom - b.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    if (out.controlFont)
        DeleteObject(out.controlFont);
    out.controlFont = font;
    SetPropA(window, kDpiProperty, reinterpret_cast<HANDLE>(static_cast<intptr_t>(s.dpi)));
    InvalidateRect(window, nullptr, TRUE);
}

} // namespace

bool LayOutDialog(HWND window, HINSTANCE module, const char* name, WindowLayout& out)
{
    out = WindowLayout{};
    out.scale = kUnscaled;
    HRSRC found = FindResourceA(module, name, MAKEINTRESOURCEA(5)); // RT_DIALOG
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || !ReadDialogLayout(static_cast<const uint8_t*>(data), SizeofResource(module, found),
                                   out.layout))
        return false;
    out.scale = Scale{LaidOutDpi(window)};
    SetPropA(window, kLayoutProperty, &out);
    Place(window, out, nullptr);
    return true;
}

void RescaleDialog(HWND window, WindowLayout& out, int dpi, const RECT* suggested)
{
    if (out.layout.count == 0 || dpi <= 0)
        return;
    out.scale = Scale{dpi};
    Place(window, out, suggested);
}

void ReleaseWindowLayout(HWND window, WindowLayout& out)
{
    if (window) {
        RemovePropA(window, kLayoutProperty);
        RemovePropA(window, kDpiProperty);
    }
    if (out.controlFont)
        DeleteObject(out.controlFont);
    out.controlFont = nullptr;
}

const WindowLayout* LayoutOf(HWND window)
{
    for (HWND w = window; w; w = (GetWindowLongPtrA(w, GWL_STYLE) & WS_CHILD) ? GetParent(w) : nullptr)
        if (HANDLE p = GetPropA(w, kLayoutProperty))
            return static_cast<const WindowLayout*>(p);
    return nullptr;
}

Scale ScaleOf(HWND window)
{
    const WindowLayout* layout = LayoutOf(window);
    return layout ? layout->scale : kUnscaled;
}

void UseLayoutPixels(HDC dc, Scale scale)
{
    if (!dc || scale.dpi == 96)
        return;
    SetGraphicsMode(dc, GM_ADVANCED);
    const float f = static_cast<float>(scale.dpi) / 96.0f;
    const XFORM enlarge = {f, 0.0f, 0.0f, f, 0.0f, 0.0f};
    SetWorldTransform(dc, &enlarge);
    SetStretchBltMode(dc, COLORONCOLOR);
}

void UseDevicePixels(HDC dc)
{
    if (dc && GetGraphicsMode(dc) == GM_ADVANCED)
        ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
}
