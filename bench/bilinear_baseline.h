// The floor for a per-pixel warp: a plain bilinear resample of an interleaved
// 8-bit image to the same size through a fixed sub-pixel offset, one read of
// four neighbours and one write per pixel. Benchmarks run it beside the
// engines on the same buffers.
#pragma once

#include <cstdint>

inline void BilinearResample(const uint8_t* src, int32_t srcRowBytes, uint8_t* dst,
                             int32_t dstRowBytes, int32_t width, int32_t height,
                             int32_t planes)
{
    const float scaleX = (width - 1.0f) / width;
    const float scaleY = (height - 1.0f) / height;
    for (int32_t y = 0; y < height; ++y) {
        const float sy = (y + 0.5f) * scaleY;
        const int32_t iy = static_cast<int32_t>(sy);
        const int32_t y1 = iy + 1 < height ? iy + 1 : iy;
        const float fy = sy - iy;
        const uint8_t* row0 = src + iy * srcRowBytes;
        const uint8_t* row1 = src + y1 * srcRowBytes;
        uint8_t* out = dst + y * dstRowBytes;
        for (int32_t x = 0; x < width; ++x) {
            const float sx = (x + 0.5f) * scaleX;
            const int32_t ix = static_cast<int32_t>(sx);
            const int32_t x1 = ix + 1 < width ? ix + 1 : ix;
            const float fx = sx - ix;
            const float w00 = (1 - fx) * (1 - fy), w10 = fx * (1 - fy);
            const float w01 = (1 - fx) * fy, w11 = fx * fy;
            for (int32_t k = 0; k < planes; ++k) {
                const float v = row0[ix * planes + k] * w00 + row0[x1 * planes + k] * w10 +
                                row1[ix * planes + k] * w01 + row1[x1 * planes + k] * w11;
                out[x * planes + k] = static_cast<uint8_t>(v);
            }
        }
    }
}
