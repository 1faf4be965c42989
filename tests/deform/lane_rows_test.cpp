// The group rows of velk3d (four and, where the processor has AVX2, eight
// pixels at a time) against the one-pixel rows: the same call rendered row
// by row through each loop must give the same bytes. Factory presets and
// records with any values, on pictures whose widths leave partial groups,
// with and without a selection, in preview and whole-image mode.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "common/image_case.h"
#include "common/preview_size.h"
#include "deform/engine/deform_pixel.h"
#include "deform/engine/factory_presets.h"
#include "render_test_util.h"

namespace {

// Every row of the prepared call rendered with job.lanes = lanes into a
// buffer that starts as a pattern.
std::vector<uint8_t> Rows(const DeformJob& prepared, int32_t lanes, size_t size)
{
    std::vector<uint8_t> out(size);
    for (size_t i = 0; i < size; ++i)
        out[i] = static_cast<uint8_t>(i * 131 >> 3);
    DeformBuffers b = *prepared.b;
    b.outData = out.data();
    DeformJob job = prepared;
    job.b = &b;
    job.lanes = lanes;
    for (int32_t r = b.top; r < b.bottom; ++r)
        if (r >= job.d.fillTop && r < job.d.fillBottom)
            RenderDeformRow(job, r);
    return out;
}

// Renders the call through every loop; returns false when its positions
// leave no group loop to compare.
bool ExpectSameRows(const RenderCall& call, const char* what, int n)
{
    FilterRecord filter{};
    filter.haveMask = call.mask != nullptr;
    filter.filterCase = call.filterCase;
    DeformSettings settings{};
    const DeformContext context{&settings, &filter};
    const Image* plane = call.mask ? call.mask : call.alpha;
    DeformBuffers b{};
    b.right = call.right < 0 ? call.source->width : call.right;
    b.bottom = call.bottom < 0 ? call.source->height : call.bottom;
    b.inData = call.source->bytes.data();
    b.inRowBytes = b.outRowBytes = call.source->rowBytes;
    std::vector<uint8_t> placeholder(call.source->bytes.size()); // each loop writes its own
    b.outData = placeholder.data();
    b.maskData = call.mask ? call.mask->bytes.data() : nullptr;
    b.maskRowBytes = plane ? plane->rowBytes : 0;
    b.alphaData = call.alpha ? call.alpha->bytes.data() : nullptr;
    DeformJob job;
    const bool prepared =
        PrepareDeformJob(context, call.inputs, b, call.fill, call.source->planes, &job);
    EXPECT_TRUE(prepared) << what << " " << n;
    if (!prepared || job.lanes == 0)
        return false;
    const size_t size = placeholder.size();
    const std::vector<uint8_t> reference = Rows(job, 0, size);
    EXPECT_EQ(Rows(job, 4, size), reference) << what << " " << n << ": four lanes";
    if (HaveDeformRows8()) {
        EXPECT_EQ(Rows(job, 8, size), reference) << what << " " << n << ": eight lanes";
    }
    return true;
}

} // namespace

TEST(DeformLaneRows, FactoryPresetsMatchTheOnePixelRows)
{
    std::mt19937 random(3);
    auto noise = [&random](int x, int y, int k) {
        return (x + y) % 5 == 0 ? static_cast<int>(random()) : x * 7 + y * 3 + k * 60;
    };
    // Widths that leave partial groups; the RGB rows end in 5 padding bytes.
    Image rgb(131, 53, 3, 131 * 3 + 5), rgba(77, 41, 4), mask(131, 53, 1);
    Image preview(kPreviewWidth, kPreviewHeight, 3), plane(kPreviewWidth, kPreviewHeight, 1);
    for (Image* image : {&rgb, &rgba, &mask, &preview, &plane})
        image->Paint(image->planes, noise);
    for (int n = 0; n < kFactoryPresetCount; ++n)
        for (int variant = 0; variant < 8; ++variant) {
            DeformSettings s{};
            DecodeFactoryPreset(DeformString(n + 2), s);
            SetFallbackLightCorrection(s);
            s.valueX[SlotBrightness] = static_cast<int16_t>(variant * 9);
            s.antialias = static_cast<uint8_t>(variant & 1);
            s.magic = kDeformMagic;
            const bool masked = variant & 2, inPreview = variant & 4;
            RenderCall call;
            call.mask = masked ? (inPreview ? &plane : &mask) : nullptr;
            if (inPreview) {
                call.source = &preview;
                call.inputs = PreviewInputs(s);
                call.right = 101 + n, call.bottom = 67;
                call.alpha = &plane;
                call.filterCase = ImageFilterCase(variant & 1, masked);
            } else {
                const bool transparent = n % 2 == 1;
                call.source = transparent ? &rgba : &rgb;
                call.inputs = ApplyInputs(s, 0.4f + 0.3f * static_cast<float>(n));
                call.fill = transparent ? kTransparentFill : kDefaultFillColour;
                call.filterCase = ImageFilterCase(transparent, masked);
            }
            EXPECT_TRUE(ExpectSameRows(call, "preset", n));
        }
}

TEST(DeformLaneRows, AnyRecordMatchesTheOnePixelRows)
{
    std::mt19937 random(11);
    auto noise = [&random](int, int, int) { return random(); };
    Image source(43, 29, 4), rgb(45, 27, 3), mask(45, 29, 1);
    Image preview(kPreviewWidth, kPreviewHeight, 3), plane(kPreviewWidth, kPreviewHeight, 1);
    for (Image* image : {&source, &rgb, &mask, &preview, &plane})
        image->Paint(image->planes, noise);
    const float scales[] = {0.01f, 1.0f, 3.7f, 16.48f, 90.0f};
    int compared = 0;
    for (int n = 0; n < 400; ++n) {
        DeformSettings s = RandomDeformRecord(random, n % 2 != 0); // half near the sliders
        RenderCall call;
        call.fill = static_cast<uint32_t>(random());
        if (n % 4 < 2) {
            call.source = &preview;
            call.inputs = PreviewInputs(s);
            call.right = 37 + n % 50, call.bottom = 23 + n % 40;
            call.alpha = &plane;
            call.mask = n % 4 == 1 ? &plane : nullptr;
            call.filterCase = static_cast<int16_t>(1 + n % 6);
        } else {
            call.source = n % 8 < 4 ? &source : &rgb;
            call.inputs = ApplyInputs(s, scales[random() % 5]);
            call.mask = n % 4 == 3 ? &mask : nullptr;
        }
        compared += ExpectSameRows(call, "record", n);
    }
    EXPECT_GT(compared, 250); // most records go through the group loops
}
