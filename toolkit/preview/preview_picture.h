// The preview on screen: a 364 x 360 top-down 24-bit DIB with its own memory
// surface, written from the engine's preview result (blue, green, red rows
// of 1092 bytes, the DIB's own layout) and copied to the dialog.
#pragma once

#include <windows.h>

#include <cstdint>

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
// The picture at (x, y) of target.
void BlitPreview(const PreviewPicture& picture, HDC target, int32_t x, int32_t y);
