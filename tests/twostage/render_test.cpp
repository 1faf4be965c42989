// RenderTwoStage over preview and host buffers.
#include "tests/twostage/render_scene.h"

TEST(RenderTwoStage, NeutralRecordKeepsEverySelectedPixel)
{
    std::mt19937 random(11);
    for (int trial = 0; trial < 12; ++trial) {
        SCOPED_TRACE(trial);
        Scene s;
        for (int st = 0; st < 2; ++st) {
            s.params.spacing[st] = StageSpacing{static_cast<uint8_t>(2 + random() % 249),
                                                static_cast<uint8_t>(2 + random() % 249)};
            s.params.sideShadowBlur[st] = static_cast<uint8_t>(random() % 51);
            s.params.orientation[st] = static_cast<uint8_t>(random() % 3);
            s.params.gradientShadowColor[st] = ColourSetting{
                static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                static_cast<uint8_t>(random()), static_cast<uint8_t>(random() % 3)};
            s.params.sideShadowColor[st] = ColourSetting{
                static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
                static_cast<uint8_t>(random()), static_cast<uint8_t>(random() % 3)};
        }
        s.params.curveShape = static_cast<uint8_t>(random() % 3);
        s.params.deformation = trial & 1;
        s.params.antiAliasing = 0; // (with deformation it blends the first row and column)
        s.host.foreColor[0] = 200;
        s.host.backColor[2] = 100;
        const std::vector<uint8_t> src = RandomBytes(static_cast<size_t>(kStride) * kH, trial);
        std::vector<uint8_t> dst;
        const int32_t right = 100 + static_cast<int32_t>(random() % 265);
        const int32_t bottom = 100 + static_cast<int32_t>(random() % 261);
        ASSERT_EQ(RenderPreview(s, src, dst, right, bottom), 0);
        int differing = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const uint8_t* out = Px(dst, x, y);
                const uint8_t* in = Px(src, x, y);
                if (x < right && y < bottom)
                    differing += std::memcmp(out, in, 3) != 0;
                else
                    differing += !(out[0] == 30 && out[1] == 20 && out[2] == 10);
            }
        EXPECT_EQ(differing, 0);
    }
}

TEST(RenderTwoStage, NeutralRecordOnHostPixelsWithSelection)
{
    // Full-image mode, 4 bytes per pixel, a selection of 255, 0 and 128.
    Scene s;
    s.planes = 4;
    s.host.haveMask = 1;
    const int w = 50, h = 40, stride = w * 4 + 8;
    std::vector<uint8_t> src = RandomBytes(static_cast<size_t>(stride) * h, 5);
    std::vector<uint8_t> mask(static_cast<size_t>(w) * h);
    for (int i = 0; i < w * h; ++i)
        mask[i] = i % 3 == 0 ? 255 : (i % 3 == 1 ? 0 : 128);
    for (int aa = 0; aa < 2; ++aa) {
        s.params.antiAliasing = static_cast<uint8_t>(aa);
        std::vector<uint8_t> dst(src.size(), 0xEE);
        ASSERT_EQ(RenderTwoStage(s.Context(), 0, 0, w, h, src.data(), stride, dst.data(),
                                 stride, mask.data(), w, nullptr, 2.0f, 12, nullptr, nullptr),
                  0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* in = Px(src, x, y, stride, 4);
                const uint8_t* out = Px(dst, x, y, stride, 4);
                const uint8_t m = mask[y * w + x];
                if (m == 255 || (m == 128 && !aa)) {
                    ASSERT_EQ(std::memcmp(out, in, 4), 0) << x << "," << y;
                } else if (m == 0) { // background, red first, opaque
                    ASSERT_EQ(out[0], 10);
                    ASSERT_EQ(out[1], 20);
                    ASSERT_EQ(out[2], 30);
                    ASSERT_EQ(out[3], 255);
                } else { // outside = 1 - 128 / 255
                    const float o = 1.0f - 128.0f / 255.0f;
                    const uint8_t bg[4] = {10, 20, 30, 255};
                    for (int k = 0; k < 4; ++k) {
                        const float expected = k < 3 ? o * bg[k] + (1.0f - o) * in[k]
                                                     : in[k] * (1.0f - o) + o * bg[k];
                        ASSERT_EQ(out[k], static_cast<int>(expected)) << k;
                    }
                }
            }
    }
}

TEST(RenderTwoStage, MaskBlendsByHand)
{
    // A grey source of 200 over the background (227, 217, 203); half-selected
    // pixels with anti-aliasing: 0.498 * background + 0.502 * 200.
    Scene s;
    s.params.backgroundColor = ColourSetting{227, 217, 203, SourcePicker};
    s.host.haveMask = 1;
    std::vector<uint8_t> src(static_cast<size_t>(kStride) * kH, 200);
    std::vector<uint8_t> mask(static_cast<size_t>(kW) * kH, 255);
    mask[5 * kW + 5] = 128;
    mask[5 * kW + 6] = 0;
    mask[5 * kW + 7] = 1;
    std::vector<uint8_t> dst;
    s.params.antiAliasing = 1;
    ASSERT_EQ(RenderPreview(s, src, dst, kW, kH, mask.data()), 0);
    ExpectBgr(dst, 5, 5, 213, 208, 201);
    ExpectBgr(dst, 6, 5, 227, 217, 203);
    ExpectBgr(dst, 7, 5, 227, 217, 203); // outside 0.996 > 0.99: skipped
    ExpectBgr(dst, 4, 5, 200, 200, 200);
    s.params.antiAliasing = 0;
    ASSERT_EQ(RenderPreview(s, src, dst, kW, kH, mask.data()), 0);
    ExpectBgr(dst, 5, 5, 200, 200, 200);
    ExpectBgr(dst, 6, 5, 227, 217, 203);
    // No mask reported by the host: the mask buffer is not read.
    s.host.haveMask = 0;
    s.params.antiAliasing = 1;
    ASSERT_EQ(RenderPreview(s, src, dst, kW, kH, mask.data()), 0);
    ExpectBgr(dst, 6, 5, 200, 200, 200);
}

TEST(RenderTwoStage, AbortCheckRowsAndAnswers)
{
    Scene s;
    const std::vector<uint8_t> src(static_cast<size_t>(kStride) * kH, 90);
    std::vector<uint8_t> dst;

    AbortLog log;
    ASSERT_EQ(RenderPreview(s, src, dst, kW, kH, nullptr, nullptr, LogAbort, &log), 0);
    ASSERT_EQ(log.rows.size(), 45u);
    for (size_t i = 0; i < log.rows.size(); ++i) {
        EXPECT_EQ(log.rows[i], static_cast<int32_t>(8 * i + 7));
        EXPECT_EQ(log.bottoms[i], kH);
    }

    log = AbortLog{};
    ASSERT_EQ(RenderPreview(s, src, dst, kW, 7, nullptr, nullptr, LogAbort, &log), 0);
    EXPECT_TRUE(log.rows.empty());

    // Only the low 16 bits count.
    log = AbortLog{};
    log.defaultAnswer = 0x10000;
    ASSERT_EQ(RenderPreview(s, src, dst, kW, kH, nullptr, nullptr, LogAbort, &log), 0);
    EXPECT_EQ(log.rows.size(), 45u);
    ExpectBgr(dst, 0, kH - 1, 90, 90, 90);

    // Answer 1 at row 15: rows 0..14 drawn, the rest keeps the pre-fill.
    log = AbortLog{};
    log.stopAt = 15;
    log.answer = 1;
    ASSERT_EQ(RenderPreview(s, src, dst, kW, kH, nullptr, nullptr, LogAbort, &log), 1);
    EXPECT_EQ(log.rows.size(), 2u);
    ExpectBgr(dst, 100, 14, 90, 90, 90);
    ExpectBgr(dst, 100, 15, 10, 20, 30);

    log = AbortLog{};
    log.stopAt = 7;
    log.answer = 0x2FF80; // -128 in the low 16 bits
    EXPECT_EQ(RenderPreview(s, src, dst, kW, kH, nullptr, nullptr, LogAbort, &log), -128);

    // Rows are counted from 0, not from top.
    log = AbortLog{};
    std::vector<uint8_t> out(src.size());
    ASSERT_EQ(RenderTwoStage(s.Context(), 0, 3, 50, 20, src.data(), kStride, out.data(),
                             kStride, nullptr, kW, nullptr, 1.0f, 3, LogAbort, &log),
              0);
    ASSERT_EQ(log.rows.size(), 2u);
    EXPECT_EQ(log.rows[0], 7);
    EXPECT_EQ(log.rows[1], 15);
    EXPECT_EQ(log.bottoms[0], 20);
}

TEST(RenderTwoStage, PreviewPreFillsTheWholeBuffer)
{
    Scene s;
    const std::vector<uint8_t> src(static_cast<size_t>(kStride) * kH, 90);
    std::vector<uint8_t> dst;
    ASSERT_EQ(RenderPreview(s, src, dst, 100, 50), 0);
    int background = 0, image = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const uint8_t* p = Px(dst, x, y);
            if (x < 100 && y < 50)
                image += p[0] == 90 && p[1] == 90 && p[2] == 90;
            else
                background += p[0] == 30 && p[1] == 20 && p[2] == 10;
        }
    EXPECT_EQ(image, 100 * 50);
    EXPECT_EQ(background, kW * kH - 100 * 50);

    // Full-image mode fills only the rectangle.
    const int w = 30, h = 20, stride = w * 3;
    std::vector<uint8_t> host(static_cast<size_t>(stride) * h, 0xEE);
    std::vector<uint8_t> in(host.size(), 90);
    std::vector<uint8_t> mask(static_cast<size_t>(w) * h, 0);
    s.host.haveMask = 1;
    ASSERT_EQ(RenderTwoStage(s.Context(), 5, 4, 25, 16, in.data(), stride, host.data(), stride,
                             mask.data(), w, nullptr, 1.0f, 11, nullptr, nullptr),
              0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = Px(host, x, y, stride);
            if (x >= 5 && x < 25 && y >= 4 && y < 16) {
                ASSERT_EQ(p[0], 10); // red first in host pixels
                ASSERT_EQ(p[2], 30);
            } else {
                ASSERT_EQ(p[0], 0xEE);
                ASSERT_EQ(p[2], 0xEE);
            }
        }
}

TEST(RenderTwoStage, BadBytesPerPixelIsRefused)
{
    Scene s;
    const std::vector<uint8_t> src(static_cast<size_t>(kStride) * kH, 90);
    std::vector<uint8_t> dst(src.size(), 0xEE);
    for (int32_t mode : {0, 1, 2, 5, 13, 15}) {
        EXPECT_EQ(RenderTwoStage(s.Context(), 0, 0, kW, kH, src.data(), kStride, dst.data(),
                                 kStride, nullptr, kW, nullptr, 1.0f, mode, nullptr, nullptr),
                  -128);
    }
    EXPECT_EQ(dst[0], 0xEE);
}

TEST(RenderTwoStage, ToneTableAndWhiteCanvas)
{
    Scene s;
    std::vector<uint8_t> src(static_cast<size_t>(kStride) * kH, 0);
    src[3 * kStride + 3 * 3 + 2] = 255; // red of (3, 3)
    std::vector<uint8_t> dst;
    s.params.brightnessRatio = 100;
    ASSERT_EQ(RenderPreview(s, src, dst), 0);
    ExpectBgr(dst, 0, 0, 100, 100, 100);
    ExpectBgr(dst, 3, 3, 255, 100, 100);
    s.params.brightnessRatio = 0;
    s.params.whiteCanvas = 1;
    ASSERT_EQ(RenderPreview(s, src, dst), 0);
    ExpectBgr(dst, 0, 0, 255, 255, 255);
    ExpectBgr(dst, 363, 359, 255, 255, 255);
}

TEST(RenderTwoStage, SideShadowBandsAndChannelOrder)
{
    // White canvas, stage 1 rows of 20 with side depth 75 and a red side
    // colour: the upper face of every double row band is 0.25 white + 0.75 red.
    Scene s;
    s.params.whiteCanvas = 1;
    s.params.sideShadowDepth[0] = 100;
    s.params.sideShadowColor[0] = ColourSetting{255, 0, 0, SourcePicker};
    const std::vector<uint8_t> src(static_cast<size_t>(kStride) * kH, 0);
    std::vector<uint8_t> dst;
    ASSERT_EQ(RenderPreview(s, src, dst), 0);
    ExpectBgr(dst, 10, 10, 255, 63, 63);
    ExpectBgr(dst, 30, 10, 255, 63, 63);
    ExpectBgr(dst, 10, 30, 255, 255, 255);
    ExpectBgr(dst, 10, 50, 255, 63, 63);

    // Full-image mode: host pixels red first, spacings times the scale.
    const int w = 80, h = 100, stride = w * 3;
    std::vector<uint8_t> in(static_cast<size_t>(stride) * h, 0), out(in.size());
    s.params.spacing[0] = StageSpacing{10, 10};
    ASSERT_EQ(RenderTwoStage(s.Context(), 0, 0, w, h, in.data(), stride, out.data(), stride,
                             nullptr, w, nullptr, 2.0f, 11, nullptr, nullptr),
              0);
    const uint8_t* upper = Px(out, 10, 10, stride);
    EXPECT_EQ(upper[0], 255);
    EXPECT_EQ(upper[1], 63);
    EXPECT_EQ(upper[2], 63);
    const uint8_t* lower = Px(out, 10, 30, stride);
    EXPECT_EQ(lower[0], 255);
    EXPECT_EQ(lower[1], 255);
    EXPECT_EQ(lower[2], 255);
    EXPECT_EQ(Px(out, 10, 50, stride)[1], 63);
}

TEST(RenderTwoStage, GradientShadowAndSaturation)
{
    // gradientDepth y = 50 on 20-pixel rows: at (10, 10) the factor is 0.625.
    Scene s;
    s.params.whiteCanvas = 1;
    s.params.gradientDepth[0] = PadValue{25, 50};
    const std::vector<uint8_t> src(static_cast<size_t>(kStride) * kH, 0);
    std::vector<uint8_t> dst;
    ASSERT_EQ(RenderPreview(s, src, dst), 0);
    ExpectBgr(dst, 10, 10, 159, 159, 159);

    // The same shade boosts the saturation with gain (1 - 0.625) * 1 + 1 when
    // the gradient colour is transparent (no colour blend): (200, 100, 100)
    // keeps value 200 and hue 0, saturation 127.5 * 1.375: 62.5 for the others.
    s.params.whiteCanvas = 0;
    s.params.saturation = 20;
    s.params.gradientShadowColor[0].source = SourceTransparent;
    s.planes = 4;
    std::vector<uint8_t> grey(static_cast<size_t>(kStride) * kH);
    for (size_t i = 0; i < grey.size(); i += 3) {
        grey[i] = 100;     // blue
        grey[i + 1] = 100; // green
        grey[i + 2] = 200; // red
    }
    ASSERT_EQ(RenderPreview(s, grey, dst), 0);
    ExpectBgr(dst, 10, 10, 200, 62, 62);
}

TEST(RenderTwoStage, EditableTransparencyShowsTheCheckerboard)
{
    Scene s;
    s.planes = 4;
    s.host.filterCase = filterCaseEditableTransparencyNoSelection;
    const std::vector<uint8_t> src(static_cast<size_t>(kStride) * kH, 100);
    std::vector<uint8_t> alpha(static_cast<size_t>(kW) * kH, 0);
    for (int x = 0; x < kW; ++x) {
        alpha[40 * kW + x] = 255;
        alpha[41 * kW + x] = 102; // B = 0.4
    }
    std::vector<uint8_t> dst;
    ASSERT_EQ(RenderPreview(s, src, dst, kW, kH, nullptr, alpha.data()), 0);
    // 4 x 4 squares: 192 where (x & 4) and (y & 4) agree, else 255.
    ExpectBgr(dst, 0, 0, 192, 192, 192);
    ExpectBgr(dst, 4, 0, 255, 255, 255);
    ExpectBgr(dst, 3, 4, 255, 255, 255);
    ExpectBgr(dst, 5, 6, 192, 192, 192);
    ExpectBgr(dst, 9, 2, 192, 192, 192);
    ExpectBgr(dst, 0, 40, 100, 100, 100);
    // 0.4 * 100 + 0.6 * 255 at x = 4 (y = 41 has bit 2 clear... 41 & 4 = 0).
    ExpectBgr(dst, 4, 41, 193, 193, 193);
    ExpectBgr(dst, 0, 41, 155, 155, 155); // 0.4 * 100 + 0.6 * 192

    // A half-selected pixel blends with the checker grey when the background
    // colour is transparent.
    s.host.haveMask = 1;
    s.params.backgroundColor.source = SourceTransparent;
    std::vector<uint8_t> mask(static_cast<size_t>(kW) * kH, 255);
    mask[40 * kW + 0] = 128;
    ASSERT_EQ(RenderPreview(s, src, dst, kW, kH, mask.data(), alpha.data()), 0);
    const float o = 1.0f - 128.0f / 255.0f;
    const int blended = static_cast<int>(o * 192.0f + (1.0f - o) * 100.0f);
    ExpectBgr(dst, 0, 40, blended, blended, blended);
    s.host.haveMask = 0;

    // Not in full-image mode, and not without editable transparency.
    s.host.filterCase = filterCaseFlatImageNoSelection;
    ASSERT_EQ(RenderPreview(s, src, dst, kW, kH, nullptr, alpha.data()), 0);
    ExpectBgr(dst, 0, 0, 100, 100, 100);
}

TEST(RenderTwoStage, TransparentBackground)
{
    // Preview: a transparent background pre-fills the checkerboard.
    Scene s;
    s.planes = 4;
    s.params.backgroundColor.source = SourceTransparent;
    const std::vector<uint8_t> src(static_cast<size_t>(kStride) * kH, 100);
    std::vector<uint8_t> dst;
    ASSERT_EQ(RenderPreview(s, src, dst, 10, 10), 0);
    ExpectBgr(dst, 20, 20, 192, 192, 192);
    ExpectBgr(dst, 20, 24, 255, 255, 255);
    ExpectBgr(dst, 5, 5, 100, 100, 100);

    // Without transparency it is the setting's own colour.
    s.planes = 3;
    ASSERT_EQ(RenderPreview(s, src, dst, 10, 10), 0);
    ExpectBgr(dst, 20, 20, 10, 20, 30);

    // Full image, 4 planes: pixels left outside get alpha 0.
    s.planes = 4;
    s.host.haveMask = 1;
    const int w = 16, h = 8, stride = w * 4;
    std::vector<uint8_t> in(static_cast<size_t>(stride) * h, 77), out(in.size(), 0xEE);
    std::vector<uint8_t> mask(static_cast<size_t>(w) * h, 255);
    mask[3 * w + 3] = 0;
    mask[3 * w + 4] = 128;
    ASSERT_EQ(RenderTwoStage(s.Context(), 0, 0, w, h, in.data(), stride, out.data(), stride,
                             mask.data(), w, nullptr, 1.0f, 12, nullptr, nullptr),
              0);
    const uint8_t* skipped = Px(out, 3, 3, stride, 4);
    EXPECT_EQ(skipped[0], 255);
    EXPECT_EQ(skipped[3], 0);
    const uint8_t* half = Px(out, 4, 3, stride, 4);
    const float o = 1.0f - 128.0f / 255.0f;
    EXPECT_EQ(half[3], static_cast<int>(77 * (1.0f - o)));
    EXPECT_EQ(half[0], static_cast<int>(o * 255 + (1.0f - o) * 77));
    EXPECT_EQ(Px(out, 5, 3, stride, 4)[3], 77);
}

TEST(RenderTwoStage, WithoutDeformationPixelsStayInPlace)
{
    // Any settings: a change of one source pixel changes only that output pixel.
    std::mt19937 random(21);
    for (int trial = 0; trial < 6; ++trial) {
        Scene s;
        uint8_t* bytes = reinterpret_cast<uint8_t*>(&s.params);
        for (int i = 0; i < 60; ++i)
            bytes[i] = static_cast<uint8_t>(random());
        s.params.deformation = 0;
        s.params.whiteCanvas = 0;
        s.params.brightnessRatio = 0;
        std::vector<uint8_t> a = RandomBytes(static_cast<size_t>(kStride) * kH, trial);
        std::vector<uint8_t> b = a;
        const int px = 1 + static_cast<int>(random() % 300), py = 1 + static_cast<int>(random() % 300);
        for (int k = 0; k < 3; ++k)
            b[static_cast<size_t>(py) * kStride + px * 3 + k] ^= 0x80;
        std::vector<uint8_t> outA, outB;
        ASSERT_EQ(RenderPreview(s, a, outA), 0);
        ASSERT_EQ(RenderPreview(s, b, outB), 0);
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                if (x != px || y != py) {
                    ASSERT_EQ(std::memcmp(Px(outA, x, y), Px(outB, x, y), 3), 0) << x << "," << y;
                }
            }
        }
    }
}

TEST(RenderTwoStage, AnyRecordStaysInsideItsBuffers)
{
    // Random records over the whole byte range, on exactly sized buffers (the
    // sanitizers watch every access); the pre-fill outside stays.
    std::mt19937 random(33);
    const int w = 37, h = 29;
    for (int trial = 0; trial < 300; ++trial) {
        Scene s;
        uint8_t* bytes = reinterpret_cast<uint8_t*>(&s.params);
        for (int i = 0; i < 64; ++i)
            bytes[i] = static_cast<uint8_t>(random());
        s.planes = 3 + trial % 2;
        s.host.haveMask = trial % 3 == 0;
        s.host.filterCase = static_cast<int16_t>(trial % 8);
        const int bpp = 3 + trial % 2;
        const bool full = trial % 5 != 0;
        const int stride = full ? w * bpp : kStride;
        const int rows = full ? h : kH;
        std::vector<uint8_t> src = RandomBytes(static_cast<size_t>(stride) * rows, trial);
        std::vector<uint8_t> dst(src.size(), 0xEE);
        std::vector<uint8_t> mask = RandomBytes(static_cast<size_t>(full ? w : kW) * rows, trial + 1);
        const int32_t mode = full ? 8 + bpp : 3;
        const float scale = 1.0f + static_cast<float>(random() % 100) * 0.1f;
        ASSERT_EQ(RenderTwoStage(s.Context(), 0, 0, w, h, src.data(), stride, dst.data(), stride,
                                 mask.data(), full ? w : kW, mask.data(), scale, mode, nullptr,
                                 nullptr),
                  0);
        if (!full) {
            ASSERT_NE(Px(dst, 300, 300)[0], 0xEE);
        }
    }
}
