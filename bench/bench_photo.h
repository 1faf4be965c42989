// The benchmarks' photograph: a 6000 x 4000 (or any size) RGB image.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

// A photo-like RGB image: broad gradients, a few soft shapes and grain.
inline std::vector<uint8_t> MakePhoto(int32_t w, int32_t h, int32_t rowBytes)
{
    std::vector<uint8_t> px(static_cast<size_t>(rowBytes) * h);
    uint32_t seed = 12345;
    for (int32_t y = 0; y < h; ++y) {
        const float fy = static_cast<float>(y) / h;
        uint8_t* row = &px[static_cast<size_t>(y) * rowBytes];
        for (int32_t x = 0; x < w; ++x) {
            const float fx = static_cast<float>(x) / w;
            const float shape = std::sin(fx * 9.0f + fy * 4.0f) * std::cos(fy * 7.0f - fx * 3.0f);
            seed = seed * 1664525u + 1013904223u;
            const float grain = static_cast<float>(seed >> 24) / 32.0f - 4.0f;
            const float base[3] = {150.0f + 60.0f * shape - 50.0f * fy,
                                   110.0f + 40.0f * fx + 30.0f * shape,
                                   80.0f + 70.0f * fy - 20.0f * shape};
            for (int k = 0; k < 3; ++k) {
                const float v = base[k] + grain;
                row[x * 3 + k] = static_cast<uint8_t>(v < 0.0f ? 0.0f : (v > 255.0f ? 255.0f : v));
            }
        }
    }
    return px;
}
