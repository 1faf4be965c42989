// Face light, brightness floor and saturation, with expected values worked
// out by hand.
#include <gtest/gtest.h>

#include "render_test_util.h"

namespace {

Image Solid(int32_t w, int32_t h, int r, int g, int b)
{
    Image img(w, h, 3);
    img.Paint(3, [=](int, int, int k) { return k == 0 ? r : (k == 1 ? g : b); });
    return img;
}

struct GradientCase {
    int32_t gradientY, gradientX, lightBoost;
    int pixels[5]; // at (2, 1) and (2, 4) face 2, (13, 1) face 4, (2, 10) face 1, (13, 10) face 3
};

TEST(DeformShading, GradientBaseAndBoost)
{
    // One 16 x 12 cell of tiles 6 x 8, no stretch. G1 = gradientY x 1.5 /
    // (6 x 50) = 0.125 and G2 = gradientX x 1.5 / (8 x 50) = 0.09375 for 25.
    // d1 = d2 = -4.5, -1.5, -4.5, 4.5, 4.5 and d3 = d4 = -5.5, -5.5, 5.5,
    // -5.5, 5.5 at the five pixels. Lights: face 2 1 + G1 d1 + G2 d3, face 4
    // 1 + G1 d2 - G2 d3, face 1 1 - G1 d1 + G2 d4, face 3 1 - G1 d2 - G2 d4.
    // A negative gradient of -25 adds base -0.75; light boost 100 with
    // gradient 25 adds 100 x 0.03 x 25 x 0.005 = 0.375.
    const GradientCase cases[] = {
        {25, 0, 0, {87, 162, 87, 87, 87}},       // 0.4375, 0.8125
        {-25, 0, 0, {162, 87, 162, 162, 162}},   // 1.5625 - 0.75, 1.1875 - 0.75
        {25, 0, 100, {162, 237, 162, 162, 162}}, // 0.8125, 1.1875
        {0, 25, 0, {96, 96, 96, 96, 96}},        // 0.484375
        {25, -25, 0, {40, 115, 40, 40, 40}},     // 0.953125 - 0.75, 1.328125 - 0.75
    };
    const Image src = Solid(16, 12, 200, 200, 200);
    const int at[5][2] = {{2, 1}, {2, 4}, {13, 1}, {2, 10}, {13, 10}};
    for (const GradientCase& g : cases) {
        SCOPED_TRACE(testing::Message() << g.gradientY << ", " << g.gradientX << " boost "
                                        << g.lightBoost);
        Image dst(16, 12, 3);
        RenderCall call;
        call.source = &src, call.dest = &dst;
        call.inputs = NeutralInputs(6, 8);
        call.inputs.gradientY = g.gradientY;
        call.inputs.gradientX = g.gradientX;
        call.inputs.lightBoost = g.lightBoost;
        ASSERT_EQ(call.Run(), 0);
        for (int n = 0; n < 5; ++n)
            EXPECT_EQ(dst.at(at[n][0], at[n][1])[0], g.pixels[n]) << at[n][0] << "," << at[n][1];
    }
}

TEST(DeformShading, BrightnessFloorLiftsTheLevels)
{
    Image src(12, 4, 3);
    src.Paint(3, [](int x, int, int) { return x < 4 ? 0 : (x < 8 ? 128 : 255); });
    // Floor 100: 100 + i x 155 / 255; a floor outside 0..255 is clamped.
    const struct {
        int32_t floor;
        int dark, mid, light;
    } cases[] = {{100, 100, 177, 255}, {0, 0, 128, 255}, {-7, 0, 128, 255}, {1000, 255, 255, 255}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.floor);
        Image dst(12, 4, 3);
        RenderCall call;
        call.source = &src, call.dest = &dst;
        call.inputs = NeutralInputs(50, 50);
        call.inputs.brightnessFloor = c.floor;
        ASSERT_EQ(call.Run(), 0);
        EXPECT_EQ(dst.at(1, 1)[0], c.dark);
        EXPECT_EQ(dst.at(5, 1)[1], c.mid);
        EXPECT_EQ(dst.at(10, 1)[2], c.light);
    }
}

struct SaturationCase {
    int in[3];
    int32_t sideShading, lightBoost, saturation;
    int out[3];
};

TEST(DeformShading, SaturationOfKnownColours)
{
    // Side shading -50 with no face darkened: base -0.5, light 0.5, gain
    // (1 - 0.5) x 20 x 0.05 + 1 = 1.5 (S' saturates at 255 in these cases). Side shading 50 with light boost 100:
    // light 1, L = 1.25, gain = L.
    const SaturationCase cases[] = {
        {{200, 100, 50}, -50, 0, 20, {100, 33, 0}},   // hue 85, sector 0
        {{60, 200, 120}, -50, 0, 20, {0, 100, 43}},   // hue 622, sector 2
        {{100, 40, 220}, -50, 0, 20, {36, 0, 110}},   // hue 1109, sector 4
        {{200, 60, 120}, -50, 0, 20, {100, 0, 42}},   // hue -110 + 1536, sector 5
        {{160, 200, 40}, -50, 0, 20, {74, 100, 0}},   // hue 320, sector 1
        {{40, 120, 200}, -50, 0, 20, {0, 49, 100}},   // hue 896, sector 3
        {{200, 100, 50}, -50, 0, 4, {100, 45, 17}},   // gain 1.1: S' = 210
        {{200, 100, 50}, -50, 0, 0, {100, 50, 25}},   // gain 1
        {{60, 200, 120}, -50, 0, 0, {30, 100, 60}},
        {{160, 80, 40}, 50, 100, 0, {200, 76, 13}},   // S 191 x 1.25
        // The boost takes the side shading's size, not its sign: base -0.5,
        // boost 100 x 0.01 x 50 x 0.005 = 0.25, L = 0.75 on a grey.
        {{200, 200, 200}, -50, 100, 0, {150, 150, 150}},
    };
    for (const SaturationCase& s : cases) {
        SCOPED_TRACE(testing::Message() << s.in[0] << "," << s.in[1] << "," << s.in[2]);
        const Image src = Solid(6, 6, s.in[0], s.in[1], s.in[2]);
        Image dst(6, 6, 3);
        RenderCall call;
        call.source = &src, call.dest = &dst;
        call.inputs = NeutralInputs(50, 50);
        call.inputs.sideShading = s.sideShading;
        call.inputs.lightBoost = s.lightBoost;
        call.inputs.saturation = s.saturation;
        ASSERT_EQ(call.Run(), 0);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(dst.at(2, 3)[k], s.out[k]) << k;
    }
}

} // namespace
