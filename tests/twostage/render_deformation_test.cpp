// RenderTwoStage with the strips moving the image: the deformation, the
// curve and the shear, with positions worked out by hand.
#include "tests/twostage/render_scene.h"

TEST(RenderTwoStage, DeformationIdentityWithAntiAliasingSoftensTheTopAndLeftEdge)
{
    Scene s;
    s.params.deformation = 1;
    s.params.antiAliasing = 1;
    const std::vector<uint8_t> src = RandomBytes(static_cast<size_t>(kStride) * kH, 9);
    std::vector<uint8_t> dst;
    ASSERT_EQ(RenderPreview(s, src, dst, 200, 150), 0);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            if (x == 0 || y == 0) // the samples beyond the edge cover it whole
                ASSERT_EQ(std::memcmp(Px(dst, x, y), "\x1e\x14\x0a", 3), 0);
            else
                ASSERT_EQ(std::memcmp(Px(dst, x, y), Px(src, x, y), 3), 0) << x << "," << y;
        }

    // Without shear the moire offsets are taken back by the stage's shift:
    // still the identity (and without anti-aliasing the edges stay too).
    s.params.antiAliasing = 0;
    s.params.moireH = 0;
    s.params.moireV = 100;
    ASSERT_EQ(RenderPreview(s, src, dst, 200, 150), 0);
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x)
            ASSERT_EQ(std::memcmp(Px(dst, x, y), Px(src, x, y), 3), 0) << x << "," << y;
}


TEST(RenderTwoStage, PointsMappedAboveTheTopKeepThePreFill)
{
    // curve.y 0 on 20-pixel stage-2 columns: curveAmpY = -25 * 20 * 0.04 = -20,
    // so rows start at startY = -18. At (10, 0) the stage-2 curve coordinate is
    // 0.5, T = 0.25 and Y = -18 + 0.25 * 20 = -13: above the top, skipped.
    Scene s;
    s.params.deformation = 1;
    s.params.antiAliasing = 0;
    s.params.curve = PadValue{25, 0};
    const std::vector<uint8_t> src(static_cast<size_t>(kStride) * kH, 100);
    std::vector<uint8_t> dst;
    ASSERT_EQ(RenderPreview(s, src, dst), 0);
    ExpectBgr(dst, 10, 0, 10, 20, 30);
    EXPECT_NE(Px(dst, 10, 200)[0], 30); // well inside: sampled
    // At (1, 0) the horizontal position in the cell is 0.95 (T = 0.9015): the
    // vertical displacement of 18.03 brings the point just inside.
    EXPECT_NE(Px(dst, 1, 0)[0], 30);
}


TEST(RenderTwoStage, CurveAmplitudesFollowTheCrossingPeriod)
{
    // Stage-2 cells 20 wide and 40 high. The vertical displacement follows
    // the horizontal position in a cell and scales with the column period
    // (curve.y 0: curveAmpY = -25 x 20 x 0.04 = -20); the horizontal one
    // follows the vertical position and scales with the row period (curve.x
    // 0: curveAmpX = -25 x 40 x 0.04 = -40). Midway across a cell the
    // parabola is 0.25. With a source whose value is its row (or column):
    // Y = y (1 + 20/360) + 0.9 (-20) + 0.25 x 20 = 1.0556 y - 13, so row 200
    //   shows 198;
    // X = x (1 + 40/364) + 0.9 (-40) + 0.25 x 40 = 1.1099 x - 26, so column
    //   200 shows 195.
    Scene s;
    s.params.deformation = 1;
    s.params.antiAliasing = 0;
    s.params.spacing[1] = StageSpacing{20, 40};
    std::vector<uint8_t> rows(static_cast<size_t>(kStride) * kH), columns(rows.size());
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            for (int k = 0; k < 3; ++k) {
                rows[static_cast<size_t>(y) * kStride + x * 3 + k] = static_cast<uint8_t>(y < 255 ? y : 255);
                columns[static_cast<size_t>(y) * kStride + x * 3 + k] = static_cast<uint8_t>(x < 255 ? x : 255);
            }
    std::vector<uint8_t> dst;
    s.params.curve = PadValue{25, 0};
    ASSERT_EQ(RenderPreview(s, rows, dst), 0);
    EXPECT_NEAR(Px(dst, 10, 200)[0], 198, 1);
    s.params.curve = PadValue{0, 25};
    ASSERT_EQ(RenderPreview(s, columns, dst), 0);
    EXPECT_NEAR(Px(dst, 200, 20)[0], 195, 1);
}


TEST(RenderTwoStage, ShearThatFillsTheImageHeightIsNotBlank)
{
    // sy = 0.5 on 20-pixel columns of a 10-row image: B - |sy| W = 0. That
    // quotient is left out of the zoom (it would be infinite), so the image
    // still shows.
    Scene s;
    s.params.deformation = 1;
    s.params.antiAliasing = 0;
    s.params.stretch[0] = PadValue{25, 50};
    const std::vector<uint8_t> src(static_cast<size_t>(kStride) * kH, 100);
    std::vector<uint8_t> dst;
    ASSERT_EQ(RenderPreview(s, src, dst, 10, 10), 0);
    int image = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            image += Px(dst, x, y)[0] == 100;
    EXPECT_GT(image, 50);
}


