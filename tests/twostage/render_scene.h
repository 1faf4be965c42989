// The scene of the two-stage render tests: a neutral record over the
// preview buffers, and helpers to render and read pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "tests/support/twostage_records.h"
#include "twostage/engine/render_twostage.h"
#include "twostage/engine/twostage_presets.h"

constexpr int kW = 364, kH = 360, kStride = 364 * 3;

// Neutral stages over a known background and black shadow colours.
inline TwoStageParams Neutral()
{
    TwoStageParams p = NeutralTwoStage();
    p.backgroundColor = ColourSetting{10, 20, 30, SourcePicker};
    for (int s = 0; s < 2; ++s) {
        p.gradientShadowColor[s] = ColourSetting{0, 0, 0, SourcePicker};
        p.sideShadowColor[s] = ColourSetting{0, 0, 0, SourcePicker};
    }
    return p;
}

struct Scene {
    TwoStageParams params = Neutral();
    FilterRecord host{};
    int32_t planes = 3;
    EngineContext Context() { return EngineContext{&params, &host, planes}; }
};

inline std::vector<uint8_t> RandomBytes(size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v)
        b = static_cast<uint8_t>(random());
    return v;
}

inline int32_t RenderPreview(Scene& s, const std::vector<uint8_t>& src, std::vector<uint8_t>& dst,
                      int32_t right = kW, int32_t bottom = kH, const uint8_t* mask = nullptr,
                      const uint8_t* alpha = nullptr, TwoStageAbortCheck abort = nullptr,
                      void* user = nullptr)
{
    dst.assign(static_cast<size_t>(kStride) * kH, 0xEE);
    return RenderTwoStage(s.Context(), 0, 0, right, bottom, src.data(), kStride, dst.data(),
                          kStride, mask, kW, alpha, 1.0f, kTwoStagePreviewMode, abort, user);
}

inline const uint8_t* Px(const std::vector<uint8_t>& buffer, int x, int y, int stride = kStride,
                  int bpp = 3)
{
    return buffer.data() + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * bpp;
}

// Expects the preview pixel to hold (red, green, blue) in blue-green-red order.
inline void ExpectBgr(const std::vector<uint8_t>& buffer, int x, int y, int red, int green, int blue)
{
    const uint8_t* p = Px(buffer, x, y);
    EXPECT_EQ(p[2], red) << "at " << x << "," << y;
    EXPECT_EQ(p[1], green) << "at " << x << "," << y;
    EXPECT_EQ(p[0], blue) << "at " << x << "," << y;
}

struct AbortLog {
    std::vector<int32_t> rows;
    std::vector<int32_t> bottoms;
    int32_t stopAt = -1;
    int32_t answer = 0;
    int32_t defaultAnswer = 0;
};

inline int32_t LogAbort(int32_t row, int32_t bottom, void* user)
{
    AbortLog& log = *static_cast<AbortLog*>(user);
    log.rows.push_back(row);
    log.bottoms.push_back(bottom);
    return row == log.stopAt ? log.answer : log.defaultAnswer;
}

