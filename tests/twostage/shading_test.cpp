// Colour resolution, tone table, saturation boost and the shading constants
// and factors of a stage.
#include <gtest/gtest.h>

#include <cmath>

#include "common/float_to_int.h"
#include "twostage/engine/strip_geometry.h"
#include "twostage/engine/strip_shading.h"
#include "tests/support/twostage_records.h"
#include "twostage/engine/twostage_presets.h"

namespace {


struct Stage {
    StageSettings settings;
    StageGeometry geometry;
};

Stage MakeStage(const TwoStageParams& p, int stage = 0)
{
    Stage s{};
    s.settings = MakeStageSettings(p, stage, false, 1.0f);
    SetUpStage(s.geometry, s.settings, 364, 360);
    return s;
}

// Maps (x, y) and returns the stage's side factor.
float SideFactorAt(Stage& s, float x, float y)
{
    StripPoint point{x, y, 0.0f, 0.0f, 1.0f};
    MapThroughStage(s.geometry, s.settings, point, true);
    return s.geometry.sideFactor;
}

uint8_t Written(float v)
{
    const int32_t i = TruncToInt(v);
    return static_cast<uint8_t>(i < 0 ? 0 : (i > 255 ? 255 : i));
}

} // namespace

TEST(ResolveColour, SourcesAndExchange)
{
    const uint8_t fore[4] = {1, 2, 3, 0};
    const uint8_t back[4] = {4, 5, 6, 0};
    auto check = [](ResolvedColour c, int c0, int c1, int c2, int alpha) {
        EXPECT_EQ(c.col0, c0);
        EXPECT_EQ(c.col1, c1);
        EXPECT_EQ(c.col2, c2);
        EXPECT_EQ(c.alpha, alpha);
    };
    check(ResolveColour({7, 8, 9, SourceForeground}, false, fore, back, false), 1, 2, 3, 255);
    check(ResolveColour({7, 8, 9, SourceBackground}, false, fore, back, false), 4, 5, 6, 255);
    check(ResolveColour({7, 8, 9, SourcePicker}, false, fore, back, false), 7, 8, 9, 255);
    check(ResolveColour({7, 8, 9, SourceTransparent}, false, fore, back, false), 7, 8, 9, 255);
    check(ResolveColour({7, 8, 9, SourceTransparent}, false, fore, back, true), 255, 255, 255, 0);
    check(ResolveColour({7, 8, 9, SourcePicker}, true, fore, back, false), 9, 8, 7, 255);
    check(ResolveColour({7, 8, 9, SourceForeground}, true, fore, back, false), 3, 2, 1, 255);
    // Only the low two bits of the source byte count.
    check(ResolveColour({7, 8, 9, 0xFE}, false, fore, back, false), 7, 8, 9, 255);
    check(ResolveColour({7, 8, 9, 0x05}, false, fore, back, false), 4, 5, 6, 255);
}

TEST(ToneTable, BrightnessRatioAndWhiteCanvas)
{
    uint8_t t[256];
    BuildToneTable(t, 10, 0);
    EXPECT_EQ(t[0], 10);
    EXPECT_EQ(t[1], 10);
    EXPECT_EQ(t[2], 11);
    EXPECT_EQ(t[3], 12);
    EXPECT_EQ(t[252], 252);
    EXPECT_EQ(t[253], 253);
    EXPECT_EQ(t[254], 254);
    EXPECT_EQ(t[255], 255);

    BuildToneTable(t, 0, 0);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(t[i], i);

    BuildToneTable(t, 100, 0);
    EXPECT_EQ(t[0], 100);
    EXPECT_EQ(t[255], 255);
    EXPECT_EQ(t[51], 131); // 100 + 51 * 155 / 255 = 131.0000...1

    BuildToneTable(t, 255, 0);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(t[i], 255);

    BuildToneTable(t, 0, 1);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(t[i], 255);
    BuildToneTable(t, 0, 2); // bit 0 only
    EXPECT_EQ(t[17], 17);
}

TEST(BoostSaturation, KeepsValueAndHue)
{
    float x = 255, y = 0, z = 0; // pure red with gain 2
    BoostSaturation(x, y, z, 2.0f);
    EXPECT_EQ(Written(x), 255);
    EXPECT_EQ(Written(y), 0);
    EXPECT_EQ(Written(z), 0);

    x = 200, y = 100, z = 100; // saturation 127.5 doubled to 255
    BoostSaturation(x, y, z, 2.0f);
    EXPECT_EQ(Written(x), 200);
    EXPECT_EQ(Written(y), 0);
    EXPECT_EQ(Written(z), 0);

    x = 100, y = 200, z = 100;
    BoostSaturation(x, y, z, 2.0f);
    EXPECT_EQ(Written(x), 0);
    EXPECT_EQ(Written(y), 200);
    EXPECT_EQ(Written(z), 0);

    // Gain 1 gives the pixel back.
    x = 200, y = 100, z = 100;
    BoostSaturation(x, y, z, 1.0f);
    EXPECT_NEAR(x, 200.0f, 1e-3f);
    EXPECT_NEAR(y, 100.0f, 1e-3f);
    EXPECT_NEAR(z, 100.0f, 1e-3f);

    // (50, 100, 200): saturation 191.25, hue 170 + 1024 - 255 = 939 (sector 3,
    // fraction 171); gain 1.5 saturates to 255: x = 0, y = 200 * 84 / 255, z = 200.
    x = 50, y = 100, z = 200;
    BoostSaturation(x, y, z, 1.5f);
    EXPECT_NEAR(x, 0.0f, 1e-3f);
    EXPECT_NEAR(y, 200.0f * 84.0f / 255.0f, 1e-3f);
    EXPECT_NEAR(z, 200.0f, 1e-3f);

    // Gain 2 saturates fully in every sector; hue 342 (sector 1, fraction 86),
    // 682 (2, 170), 1194 (4, 170) and -170 + 1536 = 1366 (5, 86).
    const struct {
        float in[3], out[3];
    } sectors[] = {
        {{150, 200, 50}, {200.0f * 169 / 255, 200, 0}},
        {{50, 200, 150}, {0, 200, 200.0f * 170 / 255}},
        {{150, 50, 200}, {200.0f * 170 / 255, 0, 200}},
        {{200, 50, 150}, {200, 0, 200.0f * 169 / 255}},
    };
    for (const auto& c : sectors) {
        x = c.in[0], y = c.in[1], z = c.in[2];
        BoostSaturation(x, y, z, 2.0f);
        EXPECT_NEAR(x, c.out[0], 1e-3f);
        EXPECT_NEAR(y, c.out[1], 1e-3f);
        EXPECT_NEAR(z, c.out[2], 1e-3f);
    }

    // Grey and black have no hue: unchanged.
    x = y = z = 128;
    BoostSaturation(x, y, z, 5.0f);
    EXPECT_EQ(x, 128.0f);
    EXPECT_EQ(y, 128.0f);
    EXPECT_EQ(z, 128.0f);
    x = y = z = 0;
    BoostSaturation(x, y, z, 5.0f);
    EXPECT_EQ(x + y + z, 0.0f);
}

TEST(StageSettings, DerivedFromTheRecord)
{
    TwoStageParams p = NeutralTwoStage();
    const int depths[][2] = {{49, -1}, {51, 1}, {0, -75}, {100, 75}, {50, 0}};
    for (const auto& d : depths) {
        p.sideShadowDepth[1] = static_cast<uint8_t>(d[0]);
        EXPECT_EQ(MakeStageSettings(p, 1, false, 1.0f).sideDepth, d[1]);
    }
    p.stretch[0] = PadValue{0, 0};
    p.stretchDouble[0] = 1;
    StageSettings s = MakeStageSettings(p, 0, false, 1.0f);
    EXPECT_EQ(s.shearX, 50);
    EXPECT_EQ(s.shearY, -50);
    p.stretch[0] = PadValue{50, 50};
    s = MakeStageSettings(p, 0, false, 1.0f);
    EXPECT_EQ(s.shearX, -50);
    EXPECT_EQ(s.shearY, 50);

    // Spacings scale (truncated) in full-image mode only; moire offsets and
    // origins use the periods before they are raised to 2.
    p = NeutralTwoStage();
    p.spacing[0] = StageSpacing{7, 3};
    p.moireH = 0;
    p.moireV = 100;
    p.stretch[0] = PadValue{0, 25}; // shearX 25
    s = MakeStageSettings(p, 0, true, 0.5f);
    EXPECT_EQ(s.columnPeriod, 3);
    EXPECT_EQ(s.rowPeriod, 1);
    EXPECT_FLOAT_EQ(s.offsetX, 3 * 50 * 0.02f);
    EXPECT_FLOAT_EQ(s.offsetY, -50 * 1 * 0.02f);
    EXPECT_EQ(s.originX, 0); // 25 * 1 / 50
    Stage st{};
    st.settings = s;
    SetUpStage(st.geometry, st.settings, 100, 100);
    EXPECT_EQ(st.settings.rowPeriod, 2);
    EXPECT_EQ(MakeStageSettings(p, 0, false, 0.5f).columnPeriod, 7);
    EXPECT_EQ(MakeStageSettings(p, 1, false, 1.0f).offsetX, 0.0f);

    p.spacing[0] = StageSpacing{7, 20};
    p.stretch[0] = PadValue{0, 0}; // shearX 25, shearY -25
    s = MakeStageSettings(p, 0, false, 1.0f);
    EXPECT_EQ(s.originX, 10); // 25 * 20 / 50
    EXPECT_EQ(s.originY, 3);  // 25 * 7 / 50, truncated
}

TEST(StageShading, Constants)
{
    TwoStageParams p = NeutralTwoStage();
    Stage s = MakeStage(p);
    EXPECT_EQ(s.geometry.c0, 1.0f);
    EXPECT_EQ(s.geometry.c1, 1.0f);
    EXPECT_EQ(s.geometry.sideBase, 0.0f);
    EXPECT_EQ(s.geometry.gradientBase, 0.0f);
    EXPECT_EQ(s.geometry.lightBoost, 0.0f);
    EXPECT_EQ(s.geometry.slopeX, 0.0f);
    EXPECT_EQ(s.geometry.faceBlur, 2.0f);

    // Light exiting 100 with side depth -75 and gradient (-25, -25).
    p.lightExiting = 100;
    p.sideShadowDepth[0] = 0;
    p.gradientDepth[0] = PadValue{0, 0};
    s = MakeStage(p);
    EXPECT_NEAR(s.geometry.lightBoost, 1.125f, 1e-6f);
    EXPECT_NEAR(s.geometry.sideBase, -0.75f, 1e-6f);
    EXPECT_NEAR(s.geometry.gradientBase, -1.5f, 1e-6f);
    EXPECT_NEAR(s.geometry.slopeY, -25 * 1.5f / (20 * 50), 1e-7f);
    EXPECT_NEAR(s.geometry.c0, 1.75f, 1e-6f);

    // Blur: value * min(cellH, cellW) * 0.02, at least 2.
    p = NeutralTwoStage();
    p.spacing[0] = StageSpacing{100, 200};
    p.sideShadowBlur[0] = 40;
    s = MakeStage(p);
    EXPECT_NEAR(s.settings.blur, 80.0f, 1e-4f);
    EXPECT_NEAR(s.geometry.faceBlur, 80.0f, 1e-4f);
}

TEST(StageShading, CornerFactorsFollowTheOrientation)
{
    // Without shear faces 1..4 are the lower-left, upper-left, lower-right
    // and upper-right cells of a 40 x 40 tile.
    const float lowerLeft[2] = {10, 30}, upperLeft[2] = {10, 10};
    const float lowerRight[2] = {30, 30}, upperRight[2] = {30, 10};
    const float shaded = 0.25f; // side depth 75
    const struct {
        int orientation;
        float ll, ul, lr, ur;
    } cases[] = {
        {0, 1, shaded, 1, shaded},      // rows: upper faces
        {1, 1, 1, shaded, shaded},      // columns: right faces
        {2, shaded, 1, 1, shaded},      // mixed: upper right and lower left
        {3, 1, 1, 1, 1},                // none
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.orientation);
        TwoStageParams p = NeutralTwoStage();
        p.sideShadowDepth[0] = 100;
        p.orientation[0] = static_cast<uint8_t>(c.orientation);
        Stage s = MakeStage(p);
        EXPECT_NEAR(SideFactorAt(s, lowerLeft[0], lowerLeft[1]), c.ll, 1e-6f);
        EXPECT_NEAR(SideFactorAt(s, upperLeft[0], upperLeft[1]), c.ul, 1e-6f);
        EXPECT_NEAR(SideFactorAt(s, lowerRight[0], lowerRight[1]), c.lr, 1e-6f);
        EXPECT_NEAR(SideFactorAt(s, upperRight[0], upperRight[1]), c.ur, 1e-6f);
        // One tile further on the same face kind.
        EXPECT_NEAR(SideFactorAt(s, upperLeft[0] + 40, upperLeft[1] + 80), c.ul, 1e-6f);
    }

    // Negative depth: the shaded set changes sides.
    TwoStageParams p = NeutralTwoStage();
    p.sideShadowDepth[0] = 0;
    Stage s = MakeStage(p);
    EXPECT_NEAR(SideFactorAt(s, upperLeft[0], upperLeft[1]), 1.0f, 1e-6f);
    EXPECT_NEAR(SideFactorAt(s, lowerLeft[0], lowerLeft[1]), 0.25f, 1e-6f);
}

TEST(StageShading, SoftEdgeAcrossTheFaceBorder)
{
    // Upper-left face, blur 2: p = 0.5 - U / 2 with U = y - 20, so one pixel
    // above the border p = 1 and on the border p = 0.5.
    TwoStageParams p = NeutralTwoStage();
    p.sideShadowDepth[0] = 100;
    Stage s = MakeStage(p);
    EXPECT_NEAR(SideFactorAt(s, 10, 19), 0.25f, 1e-6f);
    EXPECT_NEAR(SideFactorAt(s, 10, 19.5f), 0.25f * 0.75f + 1.0f * 0.25f, 1e-6f);
    // Lower-left face: p = U / 2 + 0.5 with U = y - 20.
    EXPECT_NEAR(SideFactorAt(s, 10, 20.0f), 0.25f * 0.5f + 1.0f * 0.5f, 1e-6f);
    EXPECT_NEAR(SideFactorAt(s, 10, 21.0f), 1.0f, 1e-6f);
}

TEST(StageShading, GradientFactorAndShade)
{
    // gradientDepth y = 50: slopeY = 25 * 1.5 / (20 * 50) = 0.0375.
    TwoStageParams p = NeutralTwoStage();
    p.gradientDepth[0] = PadValue{25, 50};
    Stage s = MakeStage(p);
    StripPoint point{10, 10, 0, 0, 1};
    MapThroughStage(s.geometry, s.settings, point, true);
    // Upper-left face: 1 + slopeY * U with U = 10 - 20.
    EXPECT_NEAR(s.geometry.gradientFactor, 1.0f - 0.375f, 1e-6f);
    EXPECT_NEAR(point.shade, 0.625f, 1e-6f);
    // Lower-right face: 1 - slopeY * Q with Q = 30 - 20.
    point = StripPoint{30, 30, 0, 0, 0.5f};
    MapThroughStage(s.geometry, s.settings, point, true);
    EXPECT_NEAR(s.geometry.gradientFactor, 0.625f, 1e-6f);
    EXPECT_NEAR(point.shade, 0.5f * 0.625f, 1e-6f);

    // gradientDepth y = 0: slope -0.0375 and gradientBase -0.75; upper-left
    // face at (10, 10): 1 + 0.375, shade and factor 1.375 - 0.75.
    p.gradientDepth[0] = PadValue{25, 0};
    s = MakeStage(p);
    point = StripPoint{10, 10, 0, 0, 1};
    MapThroughStage(s.geometry, s.settings, point, true);
    EXPECT_NEAR(s.geometry.gradientFactor, 0.625f, 1e-6f);
    EXPECT_NEAR(point.shade, 0.625f, 1e-6f);

    // Neutral pads: 1 plus the light boost.
    p = NeutralTwoStage();
    p.lightExiting = 100;
    p.sideShadowDepth[0] = 60; // sideDepth 15: boost 0.15 * 100 * 0.005
    s = MakeStage(p);
    point = StripPoint{10, 30, 0, 0, 1};
    MapThroughStage(s.geometry, s.settings, point, true);
    EXPECT_NEAR(s.geometry.gradientFactor, 1.075f, 1e-6f);
    EXPECT_NEAR(point.shade, 1.0f, 1e-6f);
}
