// The output of velk3d pinned byte for byte: every factory preset rendered on
// RGB, RGBA and masked images, whole image and preview, and a run of random
// records, each compared by hash. The expected hashes were recorded from the
// engine as it was before its hot loops were rewritten for speed, so a
// rework that changes a single byte anywhere fails here.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "common/image_case.h"
#include "deform/engine/factory_presets.h"
#include "render_test_util.h"
#include "toolkit/preview/preview_reduce.h"
#include "toolkit/preview/preview_scale.h"

namespace {

uint64_t Fnv(const std::vector<uint8_t>& bytes, uint64_t h = 14695981039346656037ull)
{
    for (uint8_t b : bytes)
        h = (h ^ b) * 1099511628211ull;
    return h;
}

// Smooth colour gradients, grey and saturated patches, black and white spots
// and grain, so that every branch of the colour steps is reached; plane 3
// (when there is one) a ramp with clear and opaque areas.
Image Picture(int32_t w, int32_t h, int32_t planes, unsigned seed)
{
    Image im(w, h, planes);
    std::mt19937 random(seed);
    im.Paint(planes, [&](int x, int y, int k) {
        const int grain = static_cast<int>(random() % 23) - 11;
        if (k == 3)
            return x < w / 5 ? 0 : (y > h * 4 / 5 ? 255 : (x * 255 / w + grain + 256) % 256);
        if ((x / 9 + y / 7) % 11 == 0)
            return 128 + grain; // grey patch
        if ((x / 13 + y / 5) % 17 == 0)
            return k == 0 ? 255 : 0; // saturated patch
        if ((x + y) % 97 == 0)
            return (x % 2) * 255; // black and white spots
        const int v = (k == 0 ? x * 255 / w : k == 1 ? y * 255 / h : (x + y) * 127 / (w + h) + 60);
        return v + grain < 0 ? 0 : (v + grain > 255 ? 255 : v + grain);
    });
    return im;
}

// A selection: a soft-edged disc, nothing selected outside, a noisy band.
Image Selection(int32_t w, int32_t h, unsigned seed)
{
    Image m(w, h, 1);
    std::mt19937 random(seed);
    m.Paint(1, [&](int x, int y, int) {
        const int dx = x - w / 2, dy = y - h / 2, r = (w < h ? w : h) * 2 / 5;
        const int d2 = dx * dx + dy * dy;
        if (y % 31 < 3)
            return static_cast<int>(random() % 256);
        if (d2 < (r - 8) * (r - 8))
            return 255;
        if (d2 > r * r)
            return 0;
        return 255 * (r * r - d2) / (r * r - (r - 8) * (r - 8));
    });
    return m;
}

struct Light {
    int boost, brightness, saturation;
};

DeformSettings PresetRecord(int n, bool antialias, Light light)
{
    DeformSettings s{};
    DecodeFactoryPreset(DeformString(n + 2), s);
    s.valueX[SlotLightBoost] = static_cast<int16_t>(light.boost);
    s.valueX[SlotBrightness] = static_cast<int16_t>(light.brightness);
    s.saturation = static_cast<uint8_t>(light.saturation);
    s.antialias = antialias ? 1 : 0;
    s.magic = kDeformMagic;
    return s;
}

constexpr Light kFirstRun = {30, 20, 10};
constexpr Light kStrong = {75, 0, 60};

// One whole-image case: the hash of each preset's render.
struct WholeCase {
    int32_t width, height, planes;
    bool mask, antialias;
    uint32_t fill;
    Light light;
};

void ExpectWhole(const WholeCase& c, const uint64_t (&expected)[kFactoryPresetCount])
{
    const Image source = Picture(c.width, c.height, c.planes, 7);
    const Image mask = Selection(c.width, c.height, 8);
    const float scale = PreviewScale(c.width, c.height);
    for (int n = 0; n < kFactoryPresetCount; ++n) {
        Image dest(c.width, c.height, c.planes);
        RenderCall call;
        call.source = &source;
        call.dest = &dest;
        call.inputs = ApplyInputs(PresetRecord(n, c.antialias, c.light), scale);
        call.fill = c.fill;
        call.mask = c.mask ? &mask : nullptr;
        call.filterCase = ImageFilterCase(c.planes == 4, c.mask);
        ASSERT_EQ(call.Run(), 0);
        const uint64_t h = Fnv(dest.bytes);
        EXPECT_EQ(h, expected[n]) << "preset " << n << ": 0x" << std::hex << h << "ull";
    }
}

// One preview case: a 733 x 517 picture reduced into the preview buffers as a
// dialog does, then each preset rendered into the 364 x 360 result.
struct PreviewCase {
    int32_t planes; // of the picture; the preview is 3 planes (and alpha)
    bool mask, antialias;
    uint32_t fill;
    Light light;
};

void ExpectPreview(const PreviewCase& c, const uint64_t (&expected)[kFactoryPresetCount])
{
    const int32_t w = 733, h = 517;
    const Image picture = Picture(w, h, c.planes, 9);
    const Image mask = Selection(w, h, 10);
    Image colour(kPreviewWidth, kPreviewHeight, 3), alpha(kPreviewWidth, kPreviewHeight, 1),
        selection(kPreviewWidth, kPreviewHeight, 1);
    std::vector<uint8_t> scratch(picture.bytes.size());
    const float scale = PreviewScale(w, h);
    const PreviewSize size = FillPreviewBuffers(
        scale, picture.bytes.data(), picture.rowBytes, c.planes, c.mask ? mask.bytes.data() : nullptr,
        mask.rowBytes, w, h, scratch.data(),
        {colour.bytes.data(), alpha.bytes.data(), selection.bytes.data()});
    for (int n = 0; n < kFactoryPresetCount; ++n) {
        Image dest(kPreviewWidth, kPreviewHeight, 3);
        RenderCall call;
        call.source = &colour;
        call.dest = &dest;
        call.inputs = PreviewInputs(PresetRecord(n, c.antialias, c.light));
        call.fill = c.fill;
        call.mask = c.mask ? &selection : nullptr;
        call.alpha = &alpha;
        call.filterCase = ImageFilterCase(c.planes == 4, c.mask);
        call.right = size.width, call.bottom = size.height;
        ASSERT_EQ(call.Run(), 0);
        const uint64_t hash = Fnv(dest.bytes);
        EXPECT_EQ(hash, expected[n]) << "preset " << n << ": 0x" << std::hex << hash << "ull";
    }
}

} // namespace

TEST(DeformPinned, WholeImage)
{
    {
        SCOPED_TRACE("RGB 611 x 397");
        const uint64_t expected[] = {
            0xa42bbd6c28db72cull, 0xe5f2a32efa3bf342ull, 0x484b175ebf734cecull,
            0x666a0d3e57da543ull, 0x8f1071118ac3f362ull, 0x4330c4be7c45d12bull,
            0x7e259af6ecbabb79ull, 0xa125dbebd4771904ull, 0xc28279c84fc2342dull};
        ExpectWhole({611, 397, 3, false, true, kDefaultFillColour, kFirstRun}, expected);
    }
    {
        SCOPED_TRACE("RGBA 300 x 200, transparent fill");
        const uint64_t expected[] = {
            0x5c332e8a547f9a0eull, 0x80ddbb7a62c438faull, 0x2ab219085bb63c51ull,
            0x281371e6d0855b40ull, 0x186d8db76ffd48a2ull, 0xe63d399c39cb31b6ull,
            0xa34b8c2e4ffe0226ull, 0x9194602686414e69ull, 0x8e218ac301d108d6ull};
        ExpectWhole({300, 200, 4, false, true, kTransparentFill, kFirstRun}, expected);
    }
}

TEST(DeformPinned, WholeImageMasked)
{
    {
        SCOPED_TRACE("RGB 301 x 199 with a selection");
        const uint64_t expected[] = {
            0x44102d326932dad4ull, 0x3638a84fd2026babull, 0x6b2f484e1b4899ccull,
            0xa844a9e8b7e8aff4ull, 0x50ce1f97918122f1ull, 0xf7a62d07712e2fdaull,
            0x5cc400e46fafdaf9ull, 0xff0954c69aa17bd8ull, 0x7bf5d3001c403366ull};
        ExpectWhole({301, 199, 3, true, true, kDefaultFillColour, kStrong}, expected);
    }
    {
        SCOPED_TRACE("RGBA 300 x 200 with a selection, no antialiasing");
        const uint64_t expected[] = {
            0x5610b4809b84ceffull, 0x37475b90eee56c23ull, 0xe3507702edbc3d3bull,
            0x9b6a699bb55ce690ull, 0xb118d14bc4f9f761ull, 0x95ff29f55d1eab2bull,
            0xb4ab3e573c24ce27ull, 0x905a579a2658bdd7ull, 0xf41c96e69a31e873ull};
        ExpectWhole({300, 200, 4, true, false, 0xFF203040, kStrong}, expected);
    }
}

TEST(DeformPinned, Preview)
{
    {
        SCOPED_TRACE("RGB");
        const uint64_t expected[] = {
            0xc229d6bc1716c567ull, 0xdf612b81c0616da5ull, 0x456759992c099c7dull,
            0xe3ab30dda046f38full, 0xe4c6712ee5b4448ull, 0xc82d10dd07400cbeull,
            0x64ed6b93cf7b1c70ull, 0xccb0e65b7e206a24ull, 0xd506d868316140beull};
        ExpectPreview({3, false, true, kDefaultFillColour, kFirstRun}, expected);
    }
    {
        SCOPED_TRACE("RGBA over the checkerboard");
        const uint64_t expected[] = {
            0xc777ab21b2e1d85bull, 0x9c1bac114257766full, 0x3e4c973e3e66bcdaull,
            0x44e10c13102c2cebull, 0xf07e7cc51662e17ull, 0x25e5c80084ed2c7eull,
            0x5df17d92a94ca2a0ull, 0xef48777ed0f9cd2aull, 0x5eca1fa661dfdd48ull};
        ExpectPreview({4, false, true, kTransparentFill, kFirstRun}, expected);
    }
}

TEST(DeformPinned, PreviewMasked)
{
    {
        SCOPED_TRACE("RGBA with a selection");
        const uint64_t expected[] = {
            0x8faa5f71762562cull, 0x5c93ae4d2dafe20eull, 0x9038855d19a2ca52ull,
            0x9e468ce819066e1eull, 0x2d20dd632261d4faull, 0x5e7490203fbe081full,
            0xb39822337b56addeull, 0x6f05406952f970f2ull, 0xb9173186a60dd136ull};
        ExpectPreview({4, true, true, kTransparentFill, kStrong}, expected);
    }
    {
        SCOPED_TRACE("RGB with a selection, no antialiasing");
        const uint64_t expected[] = {
            0x95c04cb02225761cull, 0xe8584091f0bd7159ull, 0x5465bbced0a6c214ull,
            0x76cf77ad5cd06ec7ull, 0xa33382e43bad4334ull, 0x478858d6578df211ull,
            0x8972294825d97907ull, 0x1da2581ea65270f9ull, 0x1a2ef1864d126bf3ull};
        ExpectPreview({3, true, false, 0xFF605040, kStrong}, expected);
    }
}

// Records with any values (NaN and infinite geometry, huge tiles and
// offsets, any fill) rendered in both modes, all outputs in one hash.
TEST(DeformPinned, RandomRecords)
{
    std::mt19937 random(21);
    auto noise = [&random](int, int, int) { return random(); };
    Image source(37, 23, 4), dest(37, 23, 4), mask(37, 23, 1);
    Image preview(364, 360, 3), previewOut(364, 360, 3), plane(364, 360, 1);
    for (Image* image : {&source, &mask, &preview, &plane})
        image->Paint(image->planes, noise);
    const float scales[] = {0.01f, 1.0f, 3.7f, 16.48f, 90.0f};
    uint64_t h = Fnv({});
    for (int n = 0; n < 600; ++n) {
        DeformSettings s = RandomDeformRecord(random, n % 2 != 0); // half near the sliders
        RenderCall call;
        call.fill = static_cast<uint32_t>(random());
        const bool inPreview = n % 4 < 2;
        call.source = inPreview ? &preview : &source;
        call.dest = inPreview ? &previewOut : &dest;
        call.inputs = inPreview ? PreviewInputs(s) : ApplyInputs(s, scales[random() % 5]);
        call.mask = n % 4 == 1 ? &plane : (n % 4 == 3 ? &mask : nullptr);
        if (inPreview) {
            call.right = 37 + n % 50, call.bottom = 23 + n % 40, call.alpha = &plane;
            call.filterCase = static_cast<int16_t>(1 + n % 6);
        }
        ASSERT_EQ(call.Run(), 0) << "record " << n;
        h = Fnv(call.dest->bytes, h);
    }
    EXPECT_EQ(h, 0xa674f8669517c5aeull) << "0x" << std::hex << h << "ull";
}
