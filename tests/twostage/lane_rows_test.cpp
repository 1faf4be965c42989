// The group rows of velk2000 (four and, where the processor has AVX2, eight
// pixels at a time) against the one-pixel rows: the same records rendered
// row by row through each loop must give the same bytes. Factory presets
// and records with any values, on pictures of widths that leave partial
// groups, with and without a selection, in preview and full-image mode.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/support/twostage_records.h"
#include "twostage/engine/preset_load.h"
#include "twostage/engine/strip_groups.h"
#include "twostage/engine/strip_job.h"
#include "twostage/engine/twostage_presets.h"

namespace {

struct Scene {
    std::vector<uint8_t> src, mask, alpha;
    int32_t width, height, planes;
};

Scene MakeScene(int32_t width, int32_t height, int32_t planes, std::mt19937& random)
{
    Scene s{{}, {}, {}, width, height, planes};
    s.src.resize(static_cast<size_t>(width) * height * planes);
    s.mask.resize(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < s.src.size(); ++i)
        s.src[i] = static_cast<uint8_t>(i % 7 == 0 ? random() : i * 37 / 11);
    for (size_t i = 0; i < s.mask.size(); ++i)
        s.mask[i] = static_cast<uint8_t>(i % 5 == 0 ? random() : (i / 13 % 3) * 127);
    s.alpha = s.mask;
    return s;
}

// The render of every row with job.lanes set to `lanes` (0: one pixel at a
// time), into a buffer that starts as a pattern.
std::vector<uint8_t> Rows(TwoStageJob job, int32_t lanes, size_t size)
{
    std::vector<uint8_t> out(size);
    for (size_t i = 0; i < size; ++i)
        out[i] = static_cast<uint8_t>(i * 131 >> 3);
    job.dst = out.data();
    job.lanes = lanes;
    CarriedState state = InitialState(job);
    for (int32_t y = job.top; y < job.bottom; ++y)
        RenderStripRow(job, y, state);
    return out;
}

// Renders the record through every loop; returns false when the record
// leaves no group loop to compare (periods beyond the lanes).
bool ExpectSameRows(TwoStageParams p, const Scene& s, bool masked, bool preview, float scale,
                    int16_t filterCase, const char* what, int n)
{
    FilterRecord host{};
    host.haveMask = masked ? 1 : 0;
    host.filterCase = filterCase;
    for (int i = 0; i < 3; ++i) {
        host.foreColor[i] = static_cast<uint8_t>(40 * i + n);
        host.backColor[i] = static_cast<uint8_t>(250 - 30 * i);
    }
    const int32_t stride = s.width * s.planes;
    const size_t size = s.src.size();
    std::vector<uint8_t> placeholder(size);
    TwoStageJob job;
    const bool prepared = PrepareTwoStageJob(
        EngineContext{&p, &host, s.planes}, 0, 0, s.width, s.height, s.src.data(), stride,
        placeholder.data(), stride, s.mask.data(), s.width, preview ? s.alpha.data() : nullptr,
        scale, preview ? kTwoStagePreviewMode : kTwoStageFullImageMode + s.planes, job);
    EXPECT_TRUE(prepared) << what << " " << n;
    if (!prepared || job.lanes == 0)
        return false;
    const std::vector<uint8_t> reference = Rows(job, 0, size);
    EXPECT_EQ(Rows(job, 4, size), reference) << what << " " << n << ": four lanes";
    if (HaveGroups8()) {
        EXPECT_EQ(Rows(job, 8, size), reference) << what << " " << n << ": eight lanes";
    }
    return true;
}

} // namespace

TEST(TwoStageLaneRows, FactoryPresetsMatchTheOnePixelRows)
{
    std::mt19937 random(5);
    for (int32_t planes : {3, 4}) {
        const Scene s = MakeScene(150 + planes, 61, planes, random);
        for (int n = 0; n < kTwoStageFactoryCount; ++n)
            for (int variant = 0; variant < 4; ++variant) {
                TwoStageParams p = DialogRecordForFactory(n);
                p.antiAliasing = static_cast<uint8_t>(variant & 1);
                const bool masked = variant >= 2;
                const bool preview = planes == 3 && variant == 3;
                EXPECT_TRUE(ExpectSameRows(p, s, masked, preview, preview ? 1.0f : 0.6f,
                                           static_cast<int16_t>(preview ? 5 : 1), "preset", n));
            }
    }
}

TEST(TwoStageLaneRows, AnyRecordMatchesTheOnePixelRows)
{
    std::mt19937 random(17);
    const TwoStageParams before = DialogRecordForFactory(0);
    const float scales[] = {0.05f, 0.5f, 1.0f, 3.7f, 90.0f};
    int compared = 0;
    for (int n = 0; n < 400; ++n) {
        TwoStageParams p = RandomLoadedTwoStage(random, before);
        p.antiAliasing = static_cast<uint8_t>(random() % 2);
        const int32_t planes = 3 + static_cast<int32_t>(random() % 2);
        const Scene s = MakeScene(9 + static_cast<int32_t>(random() % 60),
                                  1 + static_cast<int32_t>(random() % 30), planes, random);
        const bool preview = planes == 3 && random() % 2 == 0;
        compared += ExpectSameRows(p, s, random() % 3 != 0, preview,
                                   preview ? 1.0f : scales[random() % 5],
                                   static_cast<int16_t>(1 + random() % 6), "record", n);
    }
    EXPECT_GT(compared, 300); // most records go through the group loops
}
