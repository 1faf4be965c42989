#include "toolkit/preview/preview_picture.h"

#include <cstring>

#include "common/preview_size.h"

bool CreatePreviewPicture(PreviewPicture& p, HDC reference)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = kPreviewWidth;
    info.bmiHeader.biHeight = -kPreviewHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    p.bitmap = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!p.bitmap)
        return false;
    p.dc = CreateCompatibleDC(reference);
    if (!p.dc) {
        DeleteObject(p.bitmap);
        p.bitmap = nullptr;
        return false;
    }
    p.old = SelectObject(p.dc, p.bitmap);
    p.bits = static_cast<uint8_t*>(bits);
    return true;
}

void ReleasePreviewPicture(PreviewPicture& p)
{
    if (p.dc) {
        SelectObject(p.dc, p.old);
        DeleteDC(p.dc);
    }
    if (p.bitmap)
        DeleteObject(p.bitmap);
    p = PreviewPicture{};
}

void ShowPreviewResult(PreviewPicture& p, const uint8_t* result)
{
    if (!p.bits)
        return;
    GdiFlush();
    std::memcpy(p.bits, result, size_t(kPreviewRowBytes) * kPreviewHeight);
}

void BlitPreview(const PreviewPicture& p, HDC target, int32_t x, int32_t y)
{
    if (p.dc)
        BitBlt(target, x, y, kPreviewWidth, kPreviewHeight, p.dc, 0, 0, SRCCOPY);
}
