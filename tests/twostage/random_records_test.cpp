// velk2000 records with valid checksums and any values, loaded as the preset
// box loads a user preset and rendered in preview and full-image mode, under
// the sanitizers: an overflow anywhere on the way stops the test there.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/support/twostage_records.h"
#include "twostage/engine/preset_load.h"
#include "twostage/engine/render_twostage.h"

TEST(TwoStageRandomRecords, AnyValidRecordRenders)
{
    constexpr int kW = 24, kH = 16, kStride = 364 * 3; // a small picture; preview rows
    std::mt19937 random(9);
    std::vector<uint8_t> image(kW * kH * 4), out(image.size()), preview(kStride * 360),
        result(preview.size()), plane(364 * 360);
    for (auto* v : {&image, &preview, &plane})
        for (uint8_t& b : *v)
            b = static_cast<uint8_t>(random());
    const TwoStageParams before = DialogRecordForFactory(0);
    for (int n = 0; n < 3000; ++n) {
        TwoStageParams p = RandomLoadedTwoStage(random, before);
        FilterRecord host{};
        host.haveMask = n % 3 != 0;
        host.filterCase = static_cast<int16_t>(1 + n % 6);
        const int32_t planes = 3 + n % 2;
        const EngineContext context{&p, &host, planes};
        const int32_t code =
            n % 2 ? RenderTwoStage(context, 0, 0, kW, kH, preview.data(), kStride, result.data(),
                                   kStride, plane.data(), 364, plane.data(), 1.0f,
                                   kTwoStagePreviewMode, nullptr, nullptr)
                  : RenderTwoStage(context, 0, 0, kW, kH, image.data(), kW * planes, out.data(),
                                   kW * planes, plane.data(), kW, nullptr, n % 4 ? 0.05f : 90.0f,
                                   kTwoStageFullImageMode + planes, nullptr, nullptr);
        ASSERT_EQ(code, 0) << "record " << n;
    }
}
