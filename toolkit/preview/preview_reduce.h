// Reduction of the host's whole image into the fixed 364 x 360 preview
// buffers: a separable box filter with fractional coverage, one byte plane at
// a time, through a scratch area with the source's row pitch.
#pragma once

#include <cstdint>

#include "toolkit/preview/preview_scale.h"

// Reduces one byte plane by s (at least 1):
// - source byte of pixel (x, y): source + sourceOffset + y * sourceRowBytes + x * sourcePixelStride;
// - scratch byte of intermediate pixel (k, y): scratch + y * sourceRowBytes + k; the
//   scratch area must hold height * sourceRowBytes bytes and is never read beyond them;
// - destination byte of preview pixel (c, r): destination + destinationOffset +
//   c * destinationPixelStride + r * destinationColumns * destinationPixelStride.
// Writes trunc(width / s) columns (at most destinationColumns) and trunc(height / s)
// rows (at most 360); the rest of the destination is left as it was.
void PreviewReduce(float s, const uint8_t* source, uint8_t* scratch, int32_t sourceRowBytes,
                   int32_t sourcePixelStride, uint8_t* destination, int32_t destinationPixelStride,
                   int32_t width, int32_t height, int32_t destinationColumns, int32_t sourceOffset,
                   int32_t destinationOffset);

// The preview buffers of a dialog: colour (blue, green, red, 1092 bytes a
// row), transparency and selection (364 bytes a row). A buffer that is not
// needed may be null.
struct PreviewBuffers {
    uint8_t* colour;
    uint8_t* transparency;
    uint8_t* selection;
};

// Fills the preview buffers from the host's whole-image buffers: planes 0, 1, 2
// (red, green, blue) of inData into bytes 2, 1, 0 of the colour buffer, plane 3
// (when planes is 4) into the transparency buffer, and the selection mask
// (when maskData is not null) into the selection buffer. The scratch area must
// hold height * max(inRowBytes, maskRowBytes) bytes; its contents are
// overwritten. Returns the preview rectangle's size.
PreviewSize FillPreviewBuffers(float s, const uint8_t* inData, int32_t inRowBytes, int32_t planes,
                               const uint8_t* maskData, int32_t maskRowBytes, int32_t width,
                               int32_t height, uint8_t* scratch, const PreviewBuffers& buffers);
