// The output of velk2000 pinned byte for byte: every factory preset rendered
// on RGB, RGBA and masked images, whole image and preview, and a run of
// random records, each compared by hash. The expected hashes were recorded
// from the engine as it was before its hot loops were rewritten for speed,
// so a rework that changes a single byte anywhere fails here.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/support/twostage_records.h"
#include "common/image_case.h"
#include "toolkit/preview/preview_reduce.h"
#include "twostage/engine/preset_load.h"
#include "twostage/engine/render_twostage.h"
#include "twostage/engine/twostage_presets.h"

namespace {

uint64_t Fnv(const std::vector<uint8_t>& bytes, uint64_t h = 14695981039346656037ull)
{
    for (uint8_t b : bytes)
        h = (h ^ b) * 1099511628211ull;
    return h;
}

// Interleaved pixels: colour gradients, grey and saturated patches, black and
// white spots and grain; plane 3 (when there is one) a ramp with clear and
// opaque areas.
std::vector<uint8_t> Picture(int32_t w, int32_t h, int32_t planes, unsigned seed)
{
    std::vector<uint8_t> px(static_cast<size_t>(w) * h * planes);
    std::mt19937 random(seed);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            for (int32_t k = 0; k < planes; ++k) {
                const int grain = static_cast<int>(random() % 23) - 11;
                int v = k == 0 ? x * 255 / w : k == 1 ? y * 255 / h : (x + y) * 127 / (w + h) + 60;
                v += grain;
                if (k == 3)
                    v = x < w / 5 ? 0 : (y > h * 4 / 5 ? 255 : (x * 255 / w + grain + 256) % 256);
                else if ((x / 9 + y / 7) % 11 == 0)
                    v = 128 + grain;
                else if ((x / 13 + y / 5) % 17 == 0)
                    v = k == 0 ? 255 : 0;
                else if ((x + y) % 97 == 0)
                    v = (x % 2) * 255;
                px[(static_cast<size_t>(y) * w + x) * planes + k] =
                    static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
            }
    return px;
}

// A selection: a soft-edged disc, nothing selected outside, a noisy band.
std::vector<uint8_t> Selection(int32_t w, int32_t h, unsigned seed)
{
    std::vector<uint8_t> m(static_cast<size_t>(w) * h);
    std::mt19937 random(seed);
    const int r = (w < h ? w : h) * 2 / 5;
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const int dx = x - w / 2, dy = y - h / 2, d2 = dx * dx + dy * dy;
            int v = 255 * (r * r - d2) / (r * r - (r - 8) * (r - 8));
            if (y % 31 < 3)
                v = static_cast<int>(random() % 256);
            else if (d2 < (r - 8) * (r - 8))
                v = 255;
            else if (d2 > r * r)
                v = 0;
            m[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(v);
        }
    return m;
}

FilterRecord Host(int32_t planes, bool mask)
{
    FilterRecord host{};
    host.haveMask = mask ? 1 : 0;
    host.filterCase = ImageFilterCase(planes == 4, mask);
    const uint8_t fore[4] = {12, 34, 56, 0}, back[4] = {250, 240, 230, 0};
    for (int i = 0; i < 4; ++i)
        host.foreColor[i] = fore[i], host.backColor[i] = back[i];
    return host;
}

struct Case {
    int32_t width, height, planes; // of the picture
    bool mask, antiAliasing;
};

void ExpectWhole(const Case& c, const uint64_t (&expected)[kTwoStageFactoryCount])
{
    const std::vector<uint8_t> src = Picture(c.width, c.height, c.planes, 7);
    const std::vector<uint8_t> mask = Selection(c.width, c.height, 8);
    const int32_t stride = c.width * c.planes;
    for (int n = 0; n < kTwoStageFactoryCount; ++n) {
        TwoStageParams p = DialogRecordForFactory(n);
        p.antiAliasing = c.antiAliasing ? 1 : 0;
        FilterRecord host = Host(c.planes, c.mask);
        std::vector<uint8_t> dst(src.size());
        const int32_t result = RenderTwoStage(
            EngineContext{&p, &host, c.planes}, 0, 0, c.width, c.height, src.data(), stride,
            dst.data(), stride, c.mask ? mask.data() : nullptr, c.width, nullptr,
            PreviewScale(c.width, c.height), kTwoStageFullImageMode + c.planes, nullptr, nullptr);
        ASSERT_EQ(result, 0);
        const uint64_t h = Fnv(dst);
        EXPECT_EQ(h, expected[n]) << "preset " << n << ": 0x" << std::hex << h << "ull";
    }
}

// The picture reduced into the preview buffers as a dialog does, then each
// preset rendered into the 364 x 360 result.
void ExpectPreview(const Case& c, const uint64_t (&expected)[kTwoStageFactoryCount])
{
    const std::vector<uint8_t> picture = Picture(c.width, c.height, c.planes, 9);
    const std::vector<uint8_t> mask = Selection(c.width, c.height, 10);
    std::vector<uint8_t> colour(kPreviewRowBytes * kPreviewHeight),
        alpha(kPreviewWidth * kPreviewHeight), selection(alpha.size()), scratch(picture.size());
    const PreviewSize size = FillPreviewBuffers(
        PreviewScale(c.width, c.height), picture.data(), c.width * c.planes, c.planes,
        c.mask ? mask.data() : nullptr, c.width, c.width, c.height, scratch.data(),
        {colour.data(), alpha.data(), selection.data()});
    for (int n = 0; n < kTwoStageFactoryCount; ++n) {
        TwoStageParams p = DialogRecordForFactory(n);
        p.antiAliasing = c.antiAliasing ? 1 : 0;
        FilterRecord host = Host(c.planes, c.mask);
        std::vector<uint8_t> dst(colour.size(), 0xEE);
        const int32_t result = RenderTwoStage(
            EngineContext{&p, &host, c.planes}, 0, 0, size.width, size.height, colour.data(),
            kPreviewRowBytes, dst.data(), kPreviewRowBytes, selection.data(), kPreviewWidth,
            alpha.data(), 1.0f, kTwoStagePreviewMode, nullptr, nullptr);
        ASSERT_EQ(result, 0);
        const uint64_t h = Fnv(dst);
        EXPECT_EQ(h, expected[n]) << "preset " << n << ": 0x" << std::hex << h << "ull";
    }
}

} // namespace

TEST(TwoStagePinned, WholeImage)
{
    {
        SCOPED_TRACE("RGB 611 x 397");
        const uint64_t expected[] = {
            0x15d94775f7a0fb80ull, 0x5dcac6a2c76cbb34ull, 0x2e7d184fe602add0ull,
            0x819ce2268bf49f5dull, 0xf3bd582378c8603bull, 0x598a11c7d5b8ca97ull,
            0xe30792c06a8cec94ull, 0xaa9c62b24e46f9f7ull, 0x252dc88a61060464ull,
            0xe5e28da7985e6a93ull};
        ExpectWhole({611, 397, 3, false, true}, expected);
    }
    {
        SCOPED_TRACE("RGBA 300 x 200");
        const uint64_t expected[] = {
            0xb6e36350ef92e4a9ull, 0x52bf3882c1b471e2ull, 0xc80e02f1159ef9a5ull,
            0x812cd6b90da528d5ull, 0xc5342d39d30c320eull, 0x5b02c0115f5d090aull,
            0x8a68c97b301d27efull, 0x9aaa80aa25fc6003ull, 0xde974985f57e876cull,
            0x1c9702c6e5a2c0abull};
        ExpectWhole({300, 200, 4, false, true}, expected);
    }
}

TEST(TwoStagePinned, WholeImageMasked)
{
    {
        SCOPED_TRACE("RGB 301 x 199 with a selection");
        const uint64_t expected[] = {
            0x85e46e859146390ull, 0xc1cdd099f048c65ull, 0x35a7da3c8f47a835ull,
            0x48c2b71e5b8c8366ull, 0xd85d2cf6684b0220ull, 0xbe8ddb45c4d14fafull,
            0x457f2792c7294ed4ull, 0xe91efd8b7ec86c94ull, 0x4d596536dc149f15ull,
            0xe24148db7ad51f11ull};
        ExpectWhole({301, 199, 3, true, true}, expected);
    }
    {
        SCOPED_TRACE("RGBA 300 x 200 with a selection, no anti-aliasing");
        const uint64_t expected[] = {
            0x159350a7f6de6f9aull, 0x593871775e792fccull, 0x40830d7e680b7b6bull,
            0x846968b85e9891b3ull, 0x35afdc4706f3ca85ull, 0xbefef23e1f23f1c4ull,
            0x8a22ce80839a498bull, 0x3308a5bc371d88a3ull, 0xb7b02363894188a8ull,
            0x38865b3377dffc5cull};
        ExpectWhole({300, 200, 4, true, false}, expected);
    }
}

TEST(TwoStagePinned, Preview)
{
    {
        SCOPED_TRACE("RGB 733 x 517");
        const uint64_t expected[] = {
            0x4653d5b869984f44ull, 0x2f1a33cc0e5c667bull, 0x269b715ecbb38b64ull,
            0x27892cf04dea0dbaull, 0xbb5c26f7598535b2ull, 0xb4871ace1b87a1f1ull,
            0xc51648a7b926a8a1ull, 0x529734f31fd38fceull, 0xc4c7f808b14dbff8ull,
            0x87504d7957cd258eull};
        ExpectPreview({733, 517, 3, false, true}, expected);
    }
    {
        SCOPED_TRACE("RGBA 733 x 517 over the checkerboard");
        const uint64_t expected[] = {
            0x696a9ca12a472bcfull, 0x8e224640bb1d3947ull, 0x1068709239a53466ull,
            0x5c7dd1709748218full, 0xb24f80d106ea5dcfull, 0x5074ec763ed6c2e3ull,
            0xe31867145fef91baull, 0x8cfa414c66a4fb1full, 0x965d82277c25036ull,
            0xd6f55e8496b5c6b5ull};
        ExpectPreview({733, 517, 4, false, true}, expected);
    }
}

TEST(TwoStagePinned, PreviewMasked)
{
    {
        SCOPED_TRACE("RGBA 733 x 517 with a selection");
        const uint64_t expected[] = {
            0xa8e949cf87d9d17bull, 0x9f2982d8dd3aa088ull, 0xa30f288705f2f61aull,
            0xcecc6f47f4a0dbfeull, 0x8d21a87f70b1b3b5ull, 0xdb4d49b3de91ab16ull,
            0xaa002e646a5d6424ull, 0xd6cfa9570cc1b715ull, 0xbad0d5780194fd80ull,
            0x1b9fc87e03b4f951ull};
        ExpectPreview({733, 517, 4, true, true}, expected);
    }
    {
        SCOPED_TRACE("RGB 733 x 517 with a selection, no anti-aliasing");
        const uint64_t expected[] = {
            0xe6bdc7ed55487b7eull, 0xb4276594d0b8e914ull, 0x97a11beccfecbfa6ull,
            0x1c5f4edb237f81e7ull, 0x7e72b233b96e8f9aull, 0xe1416670ccde8644ull,
            0xde378a35bd25ee62ull, 0x47bca016d58bd6a6ull, 0x98df55d5b2e7d7d1ull,
            0x3cdb52d034dec8full};
        ExpectPreview({733, 517, 3, true, false}, expected);
    }
}

// Records with any values loaded as user presets and rendered in both
// modes, all outputs in one hash.
TEST(TwoStagePinned, RandomRecords)
{
    constexpr int kW = 37, kH = 23, kStride = 364 * 3;
    std::mt19937 random(21);
    std::vector<uint8_t> image(kW * kH * 4), out(image.size()), preview(kStride * 360),
        result(preview.size()), plane(364 * 360);
    for (auto* v : {&image, &preview, &plane})
        for (uint8_t& b : *v)
            b = static_cast<uint8_t>(random());
    const TwoStageParams before = DialogRecordForFactory(0);
    uint64_t h = Fnv({});
    for (int n = 0; n < 600; ++n) {
        TwoStageParams p = RandomLoadedTwoStage(random, before);
        p.antiAliasing = static_cast<uint8_t>(n / 2 % 2);
        FilterRecord host{};
        host.haveMask = n % 3 != 0;
        host.filterCase = static_cast<int16_t>(1 + n % 6);
        for (int i = 0; i < 3; ++i)
            host.foreColor[i] = static_cast<uint8_t>(random()), host.backColor[i] = static_cast<uint8_t>(random());
        const int32_t planes = 3 + n % 2;
        const EngineContext context{&p, &host, planes};
        const float scales[] = {0.05f, 1.0f, 3.7f, 90.0f};
        const int32_t code =
            n % 2 ? RenderTwoStage(context, 0, 0, kW + n % 50, kH + n % 40, preview.data(), kStride,
                                   result.data(), kStride, plane.data(), 364, plane.data(), 1.0f,
                                   kTwoStagePreviewMode, nullptr, nullptr)
                  : RenderTwoStage(context, 0, 0, kW, kH, image.data(), kW * planes, out.data(),
                                   kW * planes, plane.data(), kW, nullptr, scales[random() % 4],
                                   kTwoStageFullImageMode + planes, nullptr, nullptr);
        ASSERT_EQ(code, 0) << "record " << n;
        h = Fnv(n % 2 ? result : out, h);
    }
    EXPECT_EQ(h, 0xe015348f631d57c8ull) << "0x" << std::hex << h << "ull";
}
