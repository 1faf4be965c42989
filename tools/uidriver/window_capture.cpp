// Reading back what the dialogs show: the client area of the target dialog,
// or of every open dialog at once, as 24-bit RGB.
#include <cstring>

#include "tools/uidriver/ui_driver.h"

namespace {

bool Fail(UiDriver& d, const std::string& why)
{
    d.error = why;
    return false;
}

} // namespace

bool CaptureClient(UiDriver& d, Capture& out)
{
    if (!d.dialog || !IsWindow(d.dialog))
        return Fail(d, "no dialog to capture");
    RECT r;
    GetClientRect(d.dialog, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    HDC window = GetDC(d.dialog);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(window);
    const HGDIOBJ old = SelectObject(memory, dib);
    const bool copied = BitBlt(memory, 0, 0, w, h, window, 0, 0, SRCCOPY) != 0;
    GdiFlush();
    out.width = w;
    out.height = h;
    out.rgb.assign(size_t(w) * h * 3, 0);
    const int stride = (w * 3 + 3) & ~3;
    for (int y = 0; copied && y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = static_cast<const uint8_t*>(bits) + size_t(y) * stride + x * 3;
            uint8_t* q = &out.rgb[(size_t(y) * w + x) * 3];
            q[0] = p[2], q[1] = p[1], q[2] = p[0];
        }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(dib);
    ReleaseDC(d.dialog, window);
    return copied ? true : Fail(d, "the window could not be read back");
}

bool CaptureAll(UiDriver& d, Capture& out)
{
    const std::vector<HWND> open = OpenDialogs(d);
    if (open.empty())
        return Fail(d, "no dialog to capture");
    // The picture spans every dialog's client area, on a grey ground.
    std::vector<Capture> parts(open.size());
    std::vector<POINT> at(open.size());
    RECT all = {0, 0, 0, 0};
    const HWND target = d.dialog;
    bool ok = true;
    for (size_t i = 0; ok && i < open.size(); ++i) {
        d.dialog = open[i];
        ok = CaptureClient(d, parts[i]);
        at[i] = {0, 0};
        ClientToScreen(open[i], &at[i]);
        const RECT r = {at[i].x, at[i].y, at[i].x + parts[i].width, at[i].y + parts[i].height};
        if (i == 0)
            all = r;
        else
            UnionRect(&all, &all, &r);
    }
    d.dialog = target;
    if (!ok)
        return false;
    out.width = all.right - all.left;
    out.height = all.bottom - all.top;
    out.rgb.assign(size_t(out.width) * out.height * 3, 128);
    for (size_t i = 0; i < open.size(); ++i)
        for (int y = 0; y < parts[i].height; ++y)
            std::memcpy(&out.rgb[(size_t(at[i].y - all.top + y) * out.width + (at[i].x - all.left)) * 3],
                        parts[i].At(0, y), size_t(parts[i].width) * 3);
    return true;
}
