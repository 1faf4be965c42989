// velk3d records with valid checksums and any values, through the preview and
// the whole-image inputs into the engine, under the sanitizers: an overflow
// anywhere on the way stops the test where it happens.
#include <gtest/gtest.h>

#include <random>

#include "deform/engine/deform_settings.h"
#include "tests/deform/render_test_util.h"

// The largest tiles and shears a record holds: 32767 x 65586 / 50 and
// -32768 x 65586 / 50 (truncated), beyond 32 bits before the division.
TEST(DeformRandomRecords, ExtremeOffsetsAreExact)
{
    DeformSettings s{};
    s.valueX[SlotTileWidth] = 32767;
    s.valueY[SlotTileHeight] = -32768;
    s.valueX[SlotStretch] = s.valueY[SlotStretch] = -32768; // shears (32768 + 25) x 2
    s.styleBits = 4;
    EXPECT_EQ(PreviewInputs(s).rowOffset, 42981129);
    EXPECT_EQ(PreviewInputs(s).columnOffset, -42982440);
    EXPECT_EQ(ApplyInputs(s, 90.0f).rowOffset, INT32_MAX); // 3.87e9 saturates
    EXPECT_EQ(ApplyInputs(s, 90.0f).columnOffset, INT32_MIN);
}

TEST(DeformRandomRecords, AnyValidRecordRenders)
{
    std::mt19937 random(9);
    auto noise = [&random](int, int, int) { return random(); };
    // A 24 x 16 image; the 364 x 360 preview buffers (all filled) with a 24 x 16 picture.
    Image source(24, 16, 4), dest(24, 16, 4), mask(24, 16, 1);
    Image preview(364, 360, 3), previewOut(364, 360, 3), plane(364, 360, 1);
    for (Image* image : {&source, &mask, &preview, &plane})
        image->Paint(image->planes, noise);
    const float scales[] = {0.01f, 1.0f, 16.48f, 90.0f};
    for (int n = 0; n < 3000; ++n) {
        DeformSettings s = RandomDeformRecord(random, n % 2 != 0); // half near the sliders
        s.checksum = DeformChecksum(s);
        RenderCall call;
        call.fill = static_cast<uint32_t>(random());
        const bool inPreview = n % 4 < 2;
        call.source = inPreview ? &preview : &source;
        call.dest = inPreview ? &previewOut : &dest;
        call.inputs = inPreview ? PreviewInputs(s) : ApplyInputs(s, scales[random() % 4]);
        call.mask = n % 4 == 1 ? &plane : (n % 4 == 3 ? &mask : nullptr);
        if (inPreview) {
            call.right = 24, call.bottom = 16, call.alpha = &plane;
            call.filterCase = filterCaseEditableTransparencyWithSelection;
        }
        ASSERT_EQ(call.Run(), 0) << "record " << n;
    }
}
