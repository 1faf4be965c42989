// The preview scale: image pixels per preview pixel, chosen so that the whole
// image fits the 364 x 360 preview and is never enlarged.
#pragma once

#include <cstdint>

#include "common/preview_size.h"

// max(width / 364, height / 360, 1) in single precision; the two factors are
// the floats nearest 1/364 and 1/360.
inline float PreviewScale(int32_t width, int32_t height)
{
    const float sx = static_cast<float>(width) * 0.0027472528f;
    const float sy = static_cast<float>(height) * 0.0027777778f;
    float s = sx > sy ? sx : sy;
    return s < 1.0f ? 1.0f : s;
}

// The part of the preview buffers that carries image data: trunc(width / s)
// by trunc(height / s). The quotients are taken in double precision, which
// gives exactly the number of pixels the reduction produces (in single
// precision about half of all sizes come out one pixel larger).
struct PreviewSize {
    int32_t width;
    int32_t height;
};

inline PreviewSize PreviewRectSize(int32_t width, int32_t height, float s)
{
    int32_t w = static_cast<int32_t>(static_cast<double>(width) / s);
    int32_t h = static_cast<int32_t>(static_cast<double>(height) / s);
    if (w > kPreviewWidth) w = kPreviewWidth;
    if (h > kPreviewHeight) h = kPreviewHeight;
    return {w, h};
}
