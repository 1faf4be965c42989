// The lattice geometry of a stage: shears, zoom, mapping and the curve table.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "twostage/engine/strip_geometry.h"
#include "tests/support/twostage_records.h"
#include "twostage/engine/twostage_presets.h"

namespace {


struct Stage {
    StageSettings settings;
    StageGeometry geometry;
};

Stage MakeStage(const TwoStageParams& p, int32_t right, int32_t bottom)
{
    Stage s{};
    s.settings = MakeStageSettings(p, 0, false, 1.0f);
    SetUpStage(s.geometry, s.settings, right, bottom);
    return s;
}

} // namespace

TEST(StageGeometry, ShearIsClampedBelowOne)
{
    TwoStageParams p = NeutralTwoStage();
    p.stretch[0] = PadValue{0, 50};
    p.stretchDouble[0] = 1; // shearX 50, shearY 50: 1.0 before clamping
    Stage s = MakeStage(p, 364, 360);
    EXPECT_EQ(s.geometry.sx, 0.9999f);
    EXPECT_EQ(s.geometry.sy, 0.9999f);
    p.stretch[0] = PadValue{50, 0};
    s = MakeStage(p, 364, 360);
    EXPECT_EQ(s.geometry.sx, -0.9999f);
    EXPECT_EQ(s.geometry.sy, -0.9999f);
    p.stretchDouble[0] = 0; // 0.5
    s = MakeStage(p, 364, 360);
    EXPECT_EQ(s.geometry.sx, -0.5f);
}

TEST(StageGeometry, ZoomWithoutShearIsOne)
{
    Stage s = MakeStage(NeutralTwoStage(), 364, 360);
    EXPECT_EQ(s.geometry.zoom, 1.0f);
    EXPECT_EQ(s.geometry.faceScale, 1.0f);
}

TEST(StageGeometry, ZoomTakesTheLargerQuotient)
{
    // sx = 0.5, H = 20, R = 100: qx = 100 / 90; sy = 0: qy = 1.
    TwoStageParams p = NeutralTwoStage();
    p.stretch[0] = PadValue{0, 25};
    Stage s = MakeStage(p, 100, 100);
    EXPECT_NEAR(s.geometry.zoom, 100.0f / 90.0f, 1e-6f);
    // sy = 0.5 with W = 40 and B = 100: qy = 100 / 80 is larger.
    p.spacing[0] = StageSpacing{40, 20};
    p.stretch[0] = PadValue{0, 50};
    s = MakeStage(p, 100, 100);
    const float n = 1.0f - 0.25f, a = 1.0f + 0.25f;
    EXPECT_NEAR(s.geometry.zoom, 1.25f * (n / a + 1.0f) * 0.5f, 1e-6f);
}

TEST(StageGeometry, DegenerateZoomStaysFinite)
{
    // R - |sx| H = 0 exactly (R 10, H 20, sx 0.5): that quotient is left out.
    TwoStageParams p = NeutralTwoStage();
    p.stretch[0] = PadValue{0, 25};
    Stage s = MakeStage(p, 10, 360);
    EXPECT_EQ(s.geometry.zoom, 1.0f);

    // Both quotients degenerate on a tiny rectangle with strong shears.
    p.spacing[0] = StageSpacing{250, 250};
    p.stretch[0] = PadValue{0, 50};
    p.stretchDouble[0] = 1;
    s = MakeStage(p, 8, 8);
    const float sxy = 0.9999f * 0.9999f;
    EXPECT_TRUE(std::isfinite(s.geometry.zoom));
    EXPECT_NEAR(s.geometry.zoom, ((1.0f - sxy) / (1.0f + sxy) + 1.0f) * 0.5f, 1e-6f);
}

TEST(StageGeometry, MappingWithoutShearIsTheIdentity)
{
    Stage s = MakeStage(NeutralTwoStage(), 364, 360);
    std::mt19937 random(3);
    for (int i = 0; i < 2000; ++i) {
        const float x = static_cast<float>(random() % 364);
        const float y = static_cast<float>(random() % 360);
        StripPoint point{x, y, 0, 0, 1};
        MapThroughStage(s.geometry, s.settings, point, true);
        ASSERT_EQ(point.X, x);
        ASSERT_EQ(point.Y, y);
        EXPECT_GE(point.curveU, 0.0f);
        EXPECT_LE(point.curveU, 1.0f);
        EXPECT_GE(point.curveV, 0.0f);
        EXPECT_LE(point.curveV, 1.0f);
    }
}

TEST(StageGeometry, CurveCoordinatesMeasureFromTheCellCentreLine)
{
    // 20 x 20 cells: the distance from the tile's centre lines (20, 20) as a
    // fraction of the cell.
    Stage s = MakeStage(NeutralTwoStage(), 364, 360);
    const struct {
        float x, y, u, v;
    } cases[] = {
        {5, 25, 5 / 20.0f, 15 / 20.0f},  // face 1: U = 5, P = -15
        {5, 10, 10 / 20.0f, 15 / 20.0f}, // face 2: U = -10, S = -15
        {35, 22, 2 / 20.0f, 15 / 20.0f}, // face 3: Q = 2, P = 15
        {26, 1, 19 / 20.0f, 6 / 20.0f},  // face 4: Q = -19, S = 6
    };
    for (const auto& c : cases) {
        StripPoint point{c.x, c.y, -1, -1, 1};
        MapThroughStage(s.geometry, s.settings, point, false);
        EXPECT_EQ(point.X, c.x); // not moved
        EXPECT_NEAR(point.curveU, c.u, 1e-6f);
        EXPECT_NEAR(point.curveV, c.v, 1e-6f);
    }
}

TEST(StageGeometry, ShearedMappingByHand)
{
    // shearX 25: sx = 0.5, originX = 25 * 20 / 50 = 10; R = B = 1000 gives
    // zoom = 1000 / (1000 - 0.5 * 20).
    TwoStageParams p = NeutralTwoStage();
    p.stretch[0] = PadValue{0, 25};
    Stage s = MakeStage(p, 1000, 1000);
    const float zoom = 1000.0f / 990.0f;
    ASSERT_NEAR(s.geometry.zoom, zoom, 1e-6f);

    // (15, 5): dx = 5, dy = 5, U = -15, S = -12.5: face 2, only sheared:
    // Y' = dy, X' = dx + dy * sx.
    StripPoint point{15, 5, 0, 0, 1};
    MapThroughStage(s.geometry, s.settings, point, true);
    EXPECT_NEAR(point.Y, 5.0f * zoom, 1e-4f);
    EXPECT_NEAR(point.X, 7.5f * zoom, 1e-4f);

    // (10, 25): dx = 0, dy = 25, U = 5, P = -12.5: face 1 (g = 1):
    // Y' = U + cellH, X' = P + cellWn.
    point = StripPoint{10, 25, 0, 0, 1};
    MapThroughStage(s.geometry, s.settings, point, true);
    EXPECT_NEAR(point.Y, 25.0f * zoom, 1e-4f);
    EXPECT_NEAR(point.X, 7.5f * zoom, 1e-4f);
    EXPECT_NEAR(point.curveU, 5.0f / 20.0f, 1e-6f);
    EXPECT_NEAR(point.curveV, 12.5f / 20.0f, 1e-6f);

    // (5, 5): dx = -5 lies in column band -1 and tile column -1 (bands count
    // down from -1 left of the origin): S = 17.5, Q = -15, face 4 of that tile.
    point = StripPoint{5, 5, 0, 0, 1};
    MapThroughStage(s.geometry, s.settings, point, true);
    EXPECT_NEAR(point.Y, 5.0f * zoom, 1e-4f);
    EXPECT_NEAR(point.X, -2.5f * zoom, 1e-4f);
    EXPECT_NEAR(point.curveU, 15.0f / 20.0f, 1e-6f);
    EXPECT_NEAR(point.curveV, 17.5f / 20.0f, 1e-6f);
}

TEST(CurveTable, Shapes)
{
    float t[kCurveTableSize];
    BuildCurveTable(t, 0);
    EXPECT_EQ(t[0], 0.0f);
    EXPECT_EQ(t[1000], 0.25f);
    EXPECT_NEAR(t[1999], 0.9995f * 0.9995f, 1e-6f);

    BuildCurveTable(t, 1); // (cos((s + 1) * 1.5 pi) + 1) * 0.4
    EXPECT_NEAR(t[0], 0.4f, 1e-6f);
    EXPECT_NEAR(t[1000], (std::cos(1.5 * 1.5 * 3.14159265358979) + 1) * 0.4, 1e-6);
    EXPECT_NEAR(t[1999], 0.0f, 1e-5f);

    BuildCurveTable(t, 2); // (cos(2 pi s) + 1) * 0.4
    EXPECT_NEAR(t[0], 0.8f, 1e-7f);
    EXPECT_NEAR(t[500], 0.4f, 1e-7f);
    EXPECT_NEAR(t[1000], 0.0f, 1e-7f);
    EXPECT_NEAR(t[1500], 0.4f, 1e-6f);

    BuildCurveTable(t, 3); // no such shape: no curve
    for (float v : t)
        ASSERT_EQ(v, 0.0f);
}

TEST(CurveTable, IndexIsClampedAndNaNIsRefused)
{
    int32_t i = -5;
    EXPECT_TRUE(CurveIndex(0.5f, i));
    EXPECT_EQ(i, 999);
    EXPECT_TRUE(CurveIndex(1.0f, i));
    EXPECT_EQ(i, 1999);
    EXPECT_TRUE(CurveIndex(-0.01f, i));
    EXPECT_EQ(i, 0);
    EXPECT_TRUE(CurveIndex(3.5f, i));
    EXPECT_EQ(i, 1999);
    EXPECT_TRUE(CurveIndex(std::numeric_limits<float>::infinity(), i));
    EXPECT_EQ(i, 1999);
    EXPECT_TRUE(CurveIndex(-std::numeric_limits<float>::infinity(), i));
    EXPECT_EQ(i, 0);
    i = 77;
    EXPECT_FALSE(CurveIndex(std::numeric_limits<float>::quiet_NaN(), i));
    EXPECT_EQ(i, 77);
}
