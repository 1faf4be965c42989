// Selection masks, anti-aliased borders, the three fill modes and the
// transparency channels.
#include <gtest/gtest.h>

#include "deform/engine/deform_colour.h"
#include "render_test_util.h"

namespace {

constexpr uint32_t kRgbFill = 0xFF1E140A; // red 10, green 20, blue 30
constexpr uint32_t kClearFill = 0x00FFFFFF;

Image Grey(int32_t w, int32_t h, int32_t planes, int value, int alpha = 0)
{
    Image img(w, h, planes);
    img.Paint(planes, [=](int, int, int k) { return k < 3 ? value : alpha; });
    return img;
}

Image Mask(int32_t w, int32_t h, int (*value)(int, int))
{
    Image m(w, h, 1);
    m.Paint(1, [value](int x, int y, int) { return value(x, y); });
    return m;
}

TEST(DeformEdges, EmptySelectionLeavesTheFill)
{
    const Image src = Grey(10, 9, 3, 60);
    const Image mask = Mask(10, 9, [](int, int) { return 0; });
    for (int32_t flags : {int32_t{EdgeWholeImage}, EdgeWholeImage | EdgeAntialias}) {
        Image dst(10, 9, 3);
        RenderCall call;
        call.source = &src, call.dest = &dst, call.mask = &mask;
        call.inputs.edgeFlags = flags;
        call.fill = kRgbFill;
        ASSERT_EQ(call.Run(), 0);
        for (int32_t y = 0; y < 9; ++y)
            for (int32_t x = 0; x < 10; ++x) {
                ASSERT_EQ(dst.at(x, y)[0], 10);
                ASSERT_EQ(dst.at(x, y)[1], 20);
                ASSERT_EQ(dst.at(x, y)[2], 30);
            }
    }
}

TEST(DeformEdges, HardSelectionTestsTheTopLeftCorner)
{
    auto value = [](int x, int y) { return (x + 2 * y) % 3 == 0 ? 128 : 127; };
    const Image src = Grey(11, 7, 3, 60);
    const Image mask = Mask(11, 7, value);
    Image dst(11, 7, 3);
    RenderCall call;
    call.source = &src, call.dest = &dst, call.mask = &mask;
    ASSERT_EQ(call.Run(), 0);
    for (int32_t y = 0; y < 7; ++y)
        for (int32_t x = 0; x < 11; ++x) ASSERT_EQ(dst.at(x, y)[0], value(x, y) >= 128 ? 60 : 200);
}

TEST(DeformEdges, SoftSelectionBlendsCornersTowardTheFill)
{
    // Column 5 unselected. With antialiasing the pixels on either side of it
    // take two image corners and two fill corners; without, column 5 keeps
    // the fill and column 4 is drawn whole.
    const Image src = Grey(10, 6, 3, 60);
    const Image mask = Mask(10, 6, [](int x, int) { return x == 5 ? 0 : 255; });
    const int soft[10] = {60, 60, 60, 60, 130, 130, 60, 60, 60, 60};
    const int hard[10] = {60, 60, 60, 60, 60, 200, 60, 60, 60, 60};
    for (bool antialias : {true, false}) {
        SCOPED_TRACE(antialias);
        Image dst(10, 6, 3);
        RenderCall call;
        call.source = &src, call.dest = &dst, call.mask = &mask;
        call.inputs.edgeFlags = EdgeWholeImage | (antialias ? EdgeAntialias : 0);
        ASSERT_EQ(call.Run(), 0);
        for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < 10; ++x)
                ASSERT_EQ(dst.at(x, y)[1], antialias ? soft[x] : hard[x]) << x << "," << y;
    }
}

// The image's outer pixels blend the corners beyond the edge toward the
// fill: top and bottom rows, left and right columns each flag two corners.
int BorderMean(int x, int y, int w, int h, int image, int fill)
{
    const bool flagged[4] = {y == 0 || x == 0, y == 0 || x == w - 1, y == h - 1 || x == 0,
                             y == h - 1 || x == w - 1};
    int sum = 0;
    for (bool f : flagged) sum += f ? fill : image;
    return sum / 4;
}

TEST(DeformEdges, AntialiasedBordersBlendTowardTheFill)
{
    const int32_t w = 13, h = 11;
    const Image src = Grey(w, h, 3, 60);
    for (uint32_t fill : {kGreyFill, kClearFill}) {
        SCOPED_TRACE(fill);
        Image dst(w, h, 3);
        RenderCall call;
        call.source = &src, call.dest = &dst, call.fill = fill;
        call.inputs.edgeFlags = EdgeWholeImage | EdgeAntialias;
        ASSERT_EQ(call.Run(), 0);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                // A transparent fill on 3 planes is the checkerboard.
                const int f = fill == kGreyFill ? 200 : CheckerValue(x, y);
                ASSERT_EQ(dst.at(x, y)[2], BorderMean(x, y, w, h, 60, f)) << x << "," << y;
            }
    }
    EXPECT_EQ(BorderMean(0, 0, w, h, 60, 200), 165); // three fill corners

    // Under a light of 0.5 (side shading -50, base -0.5) the fill corners
    // are divided by the light first, so the fill itself is not darkened.
    Image dst(w, h, 3);
    RenderCall call;
    call.source = &src, call.dest = &dst;
    call.inputs.edgeFlags = EdgeWholeImage | EdgeAntialias;
    call.inputs.sideShading = -50;
    ASSERT_EQ(call.Run(), 0);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            ASSERT_EQ(dst.at(x, y)[0], BorderMean(x, y, w, h, 60, 400) / 2) << x << "," << y;
}

TEST(DeformEdges, FillModes)
{
    // Nothing selected: each pixel keeps the fill, soft edges or not.
    const Image mask = Mask(9, 9, [](int, int) { return 0; });
    struct {
        int32_t planes;
        uint32_t fill;
        int32_t edges;
    } cases[] = {{3, kClearFill, 0}, {4, kClearFill, 0}, {4, kRgbFill, 0},
                 {3, kClearFill, 1}, {4, kClearFill, 1}, {4, kRgbFill, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.planes << " planes, fill " << c.fill << ", " << c.edges);
        const Image src = Grey(9, 9, c.planes, 60, 99);
        Image dst(9, 9, c.planes);
        RenderCall call;
        call.source = &src, call.dest = &dst, call.mask = &mask, call.fill = c.fill;
        call.inputs.edgeFlags = EdgeWholeImage | c.edges;
        ASSERT_EQ(call.Run(), 0);
        for (int32_t y = 0; y < 9; ++y)
            for (int32_t x = 0; x < 9; ++x) {
                const uint8_t* p = dst.at(x, y);
                if (c.planes == 3) { // checkerboard of 4-pixel squares
                    const int v = ((x & 7) < 4) == ((y & 7) < 4) ? 192 : 255;
                    ASSERT_TRUE(p[0] == v && p[1] == v && p[2] == v) << x << "," << y;
                } else if (c.fill == kClearFill) {
                    ASSERT_TRUE(p[0] == 224 && p[1] == 224 && p[2] == 224 && p[3] == 0);
                } else {
                    ASSERT_TRUE(p[0] == 10 && p[1] == 20 && p[2] == 30 && p[3] == 255);
                }
            }
    }
}

TEST(DeformEdges, FourPlanesCarryTheTransparency)
{
    // Without antialiasing: the top-left corner's alpha, unshaded.
    Image src(12, 8, 4);
    src.Paint(4, [](int x, int y, int k) { return k < 3 ? 60 : (7 * x + 13 * y) % 256; });
    Image dst(12, 8, 4);
    RenderCall call;
    call.source = &src, call.dest = &dst, call.fill = kClearFill;
    ASSERT_EQ(call.Run(), 0);
    for (int32_t y = 0; y < 8; ++y)
        for (int32_t x = 0; x < 12; ++x) {
            ASSERT_EQ(dst.at(x, y)[3], (7 * x + 13 * y) % 256) << x << "," << y;
            ASSERT_EQ(dst.at(x, y)[0], 60);
        }

    // With antialiasing the border corners take the fill's alpha; a
    // transparent fill leaves the colour alone, an opaque one blends it.
    const Image solid = Grey(12, 8, 4, 60, 200);
    for (uint32_t fill : {kClearFill, kGreyFill}) {
        SCOPED_TRACE(fill);
        Image out(12, 8, 4);
        RenderCall aa;
        aa.source = &solid, aa.dest = &out, aa.fill = fill;
        aa.inputs.edgeFlags = EdgeWholeImage | EdgeAntialias;
        ASSERT_EQ(aa.Run(), 0);
        const int alpha = fill == kClearFill ? 0 : 255;
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 12; ++x) {
                ASSERT_EQ(out.at(x, y)[3], BorderMean(x, y, 12, 8, 200, alpha)) << x << "," << y;
                const int colour = fill == kClearFill ? 60 : BorderMean(x, y, 12, 8, 60, 200);
                ASSERT_EQ(out.at(x, y)[1], colour) << x << "," << y;
            }
    }
}

TEST(DeformEdges, PreviewShowsTransparencyOverTheCheckerboard)
{
    // Preview buffers: 364 x 360, the image in the top-left 40 x 30.
    Image src(364, 360, 3);
    src.Paint(3, [](int, int, int) { return 60; });
    Image alpha(364, 360, 1);
    alpha.Paint(1, [](int x, int, int) { return x < 10 ? 0 : 255; });
    Image selected(364, 360, 1);
    selected.Paint(1, [](int, int, int) { return 255; });
    const struct {
        int16_t filterCase;
        bool shown;
        const Image* mask; // fully selected, antialiased: nothing is blended
    } cases[] = {{filterCaseEditableTransparencyNoSelection, true, nullptr},
                 {filterCaseEditableTransparencyWithSelection, true, &selected},
                 {filterCaseFlatImageNoSelection, false, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.filterCase);
        Image dst(364, 360, 3);
        RenderCall call;
        call.source = &src, call.dest = &dst, call.alpha = &alpha, call.mask = c.mask;
        call.filterCase = c.filterCase;
        call.inputs.edgeFlags = c.mask ? EdgeAntialias : 0;
        call.right = 40, call.bottom = 30;
        ASSERT_EQ(call.Run(), 0);
        for (int32_t y = 0; y < 30; ++y) {
            for (int32_t x = 0; x < 9; ++x)
                ASSERT_EQ(dst.at(x, y)[0], c.shown ? CheckerValue(x, y) : 60) << x << "," << y;
            for (int32_t x = 10; x < 40; ++x) ASSERT_EQ(dst.at(x, y)[0], 60) << x << "," << y;
        }
    }
}

} // namespace
