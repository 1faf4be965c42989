// The preview on screen: a 364 x 360 top-down 24-bit DIB with its own memory
// surface, written from the engine's preview result (blue, green, red rows
// of 1092 bytes, the DIB's own layout) and copied to the dialog.
#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/layout/scale.h"

struct PreviewPicture {
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ old;
    uint8_t* bits;
};

bool CreatePreviewPicture(PreviewPicture& picture, HDC reference);
void ReleasePreviewPicture(PreviewPicture& picture);
// All 360 rows of a preview result into the picture.
void ShowPreviewResult(PreviewPicture& picture, const uint8_t* result);
// The picture at layout pixel (x, y) of target, a context in layout pixels
// at `scale`: each pixel enlarged to the device pixels of its layout pixel.
void BlitPreview(const PreviewPicture& picture, HDC target, int32_t x, int32_t y, Scale scale);
