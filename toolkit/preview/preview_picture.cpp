#include "toolkit/preview/preview_picture.h"

#include <cstring>

#include "common/preview_size.h"

namespace {

// A top-down 24-bit DIB section of width x height.
HBITMAP TopDownBitmap(HDC reference, int32_t width, int32_t height, void** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(reference, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

} // namespace

bool CreatePreviewPicture(PreviewPicture& p, HDC reference)
{
    void* bits = nullptr;
    p.bitmap = TopDownBitmap(reference, kPreviewWidth, kPreviewHeight, &bits);
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

void BlitPreview(const PreviewPicture& p, HDC target, int32_t x, int32_t y, Scale scale)
{
    if (!p.dc)
        return;
    if (scale.dpi == 96) {
        BitBlt(target, x, y, kPreviewWidth, kPreviewHeight, p.dc, 0, 0, SRCCOPY);
        return;
    }
    // Every preview pixel becomes exactly the device pixels of its layout
    // pixel at this scale, the same cells everything else is drawn in, and
    // keeps its bytes.
    const int32_t left = ToDevice(scale, x), top = ToDevice(scale, y);
    const int32_t width = ToDevice(scale, x + kPreviewWidth) - left;
    const int32_t height = ToDevice(scale, y + kPreviewHeight) - top;
    void* bits = nullptr;
    HBITMAP enlarged = TopDownBitmap(p.dc, width, height, &bits);
    HDC dc = enlarged ? CreateCompatibleDC(p.dc) : nullptr;
    if (!dc) {
        if (enlarged)
            DeleteObject(enlarged);
        return;
    }
    const HGDIOBJ old = SelectObject(dc, enlarged);
    GdiFlush();
    const size_t rowBytes = (size_t(width) * 3 + 3) & ~size_t(3);
    for (int32_t j = 0; j < height; ++j) {
        const uint8_t* from = p.bits + size_t(ToLayout(scale, top + j) - y) * kPreviewRowBytes;
        uint8_t* to = static_cast<uint8_t*>(bits) + size_t(j) * rowBytes;
        for (int32_t i = 0; i < width; ++i) {
            const uint8_t* q = from + size_t(ToLayout(scale, left + i) - x) * 3;
            to[3 * i] = q[0], to[3 * i + 1] = q[1], to[3 * i + 2] = q[2];
        }
    }
    XFORM layout;
    GetWorldTransform(target, &layout);
    ModifyWorldTransform(target, nullptr, MWT_IDENTITY);
    BitBlt(target, left, top, width, height, dc, 0, 0, SRCCOPY);
    SetWorldTransform(target, &layout);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(enlarged);
}
