// Where pixels sample the source and which face they show. Expected values
// are worked out by hand from the tile formulas; the numbers are chosen so
// that every intermediate value is exact in single precision.
#include <gtest/gtest.h>

#include "deform/engine/deform_setup.h"
#include "render_test_util.h"

namespace {

// A grey image, so that the saturation step leaves every pixel as it is.
Image Grey(int32_t w, int32_t h, int (*value)(int, int))
{
    Image img(w, h, 3);
    img.Paint(3, [value](int x, int y, int) { return value(x, y); });
    return img;
}

TEST(DeformGeometry, NoStretchSamplesEachPixelCentre)
{
    // Each channel in turn carries an irregular pattern, the others zero:
    // the output is the mean of the pixel, its right and lower neighbours
    // (the pixel itself again at the last column and row).
    const int32_t w = 23, h = 17;
    auto pattern = [](int x, int y) { return (x * 37 + y * 91 + x * y) % 256; };
    for (int32_t channel = 0; channel < 3; ++channel) {
        SCOPED_TRACE(channel);
        Image src(w, h, 3), dst(w, h, 3);
        src.Paint(3, [&](int x, int y, int k) { return k == channel ? pattern(x, y) : 0; });
        RenderCall call;
        call.source = &src, call.dest = &dst;
        ASSERT_EQ(call.Run(), 0);
        for (int32_t y = 0; y < h; ++y) {
            for (int32_t x = 0; x < w; ++x) {
                const int x1 = x + 1 < w ? x + 1 : x, y1 = y + 1 < h ? y + 1 : y;
                const int mean =
                    (pattern(x, y) + pattern(x1, y) + pattern(x, y1) + pattern(x1, y1)) / 4;
                for (int32_t k = 0; k < 3; ++k)
                    ASSERT_EQ(dst.at(x, y)[k], k == channel ? mean : 0) << x << "," << y;
            }
        }
    }
}

TEST(DeformGeometry, OffsetsShiftTheSamplePosition)
{
    auto value = [](int x, int y) { return 3 * x + 5 * y; };
    const Image src = Grey(20, 12, value);
    Image dst(20, 12, 3);
    RenderCall call;
    call.source = &src, call.dest = &dst;
    call.inputs.columnOffset = 2;   // u = c - 2 + 0.5
    call.inputs.rowOffsetFine = 0.5f; // sy = r + 1
    ASSERT_EQ(call.Run(), 0);
    for (int32_t y = 0; y < 12; ++y) {
        for (int32_t x = 0; x < 20; ++x) {
            int expected = 200; // left of the source, or exactly on the bottom edge
            if (x >= 2 && y < 11) {
                const int ix = x - 2, x1 = ix + 1 < 20 ? ix + 1 : ix;
                expected = (value(ix, y + 1) + value(x1, y + 1)) / 2;
            }
            ASSERT_EQ(dst.at(x, y)[0], expected) << x << "," << y;
        }
    }
}

// With no stretch a 2B x 2A cell holds four A x B faces: 2 top left, 4 top
// right, 1 bottom left, 3 bottom right, lit by Fc, Fa, Fd and Fb.
TEST(DeformGeometry, FaceSchemesShadeTheirFaces)
{
    const Image src = Grey(48, 36, [](int, int) { return 200; });
    // Faces darkened (S = 0.5) by each scheme, as bits 1 << face.
    const int shaded[4] = {1 << 4 | 1 << 2, 1 << 4 | 1 << 3, 1 << 4 | 1 << 1, 0};
    for (int scheme = 0; scheme < 4; ++scheme) {
        SCOPED_TRACE(scheme);
        Image dst(48, 36, 3);
        RenderCall call;
        call.source = &src, call.dest = &dst;
        call.inputs = NeutralInputs(6, 8);
        call.inputs.sideShading = 50;
        call.inputs.faceScheme = scheme;
        ASSERT_EQ(call.Run(), 0);
        for (int32_t y = 0; y < 36; ++y) {
            for (int32_t x = 0; x < 48; ++x) {
                const int qx = x % 16, qy = y % 12;
                // Inside a face, clear of the two-pixel bevel.
                if (qx % 8 < 1 || qx % 8 > 6 || qy % 6 < 1 || qy % 6 > 4) continue;
                const int face = qy < 6 ? (qx < 8 ? 2 : 4) : (qx < 8 ? 1 : 3);
                const int expected = shaded[scheme] >> face & 1 ? 100 : 200;
                ASSERT_EQ(dst.at(x, y)[1], expected) << x << "," << y;
            }
        }
    }
}

TEST(DeformGeometry, BevelRampsTowardTheFaceEdges)
{
    // Scheme 0 lights faces 2 (column 3) and 4 (column 11) with 0.5 and
    // ramps toward the unshaded 1 over the bevel: light 0.5 r0 + (1 - r0).
    // Bevel 0: T = Q = 2, r0 = 0.75 on the first and last row. Bevel 25:
    // T = Q = 8 x 25 x 0.02 = 4, r0 = 0.625, 0.875, then 1.
    const Image src = Grey(16, 16, [](int, int) { return 200; });
    const struct {
        float bevel;
        int column[8];
    } cases[] = {{0.0f, {125, 100, 100, 100, 100, 100, 100, 125}},
                 {25.0f, {137, 112, 100, 100, 100, 100, 112, 137}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bevel);
        Image dst(16, 16, 3);
        RenderCall call;
        call.source = &src, call.dest = &dst;
        call.inputs = NeutralInputs(8, 8);
        call.inputs.sideShading = 50;
        call.inputs.faceScheme = 0;
        call.inputs.bevelWidth = c.bevel;
        ASSERT_EQ(call.Run(), 0);
        for (int32_t y = 0; y < 8; ++y) {
            EXPECT_EQ(dst.at(3, y)[2], c.column[y]) << y;
            EXPECT_EQ(dst.at(11, y)[2], c.column[y]) << y;
        }
    }
}

struct ShearCase {
    int32_t stretchX, stretchY, tileHeight, tileWidth, width, height;
    int32_t c, r;
    int schemes[4]; // the pixel under face schemes 0..3 with side shading 50
};

TEST(DeformGeometry, BevelOfTilesShearedOnBothAxes)
{
    // kx = ky = 0.5: P = 1.25, M = 0.75, R = P / M = 5/3. Tiles of 40 give
    // faces 1.25 x 40 = 50 long, and a bevel of 50 takes 50 x 50 x 0.02 = 50
    // pixels along them (T) and 50 / R = 30 across (Q).
    DeformInputs in = NeutralInputs(40, 40);
    in.stretchX = in.stretchY = 25;
    in.bevelWidth = 50.0f;
    Image img(100, 100, 3);
    DeformBuffers b{};
    b.right = b.bottom = 100;
    b.inData = img.bytes.data();
    b.outData = img.bytes.data();
    b.inRowBytes = b.outRowBytes = img.rowBytes;
    DeformSetup d;
    PrepareDeformation(in, b, kGreyFill, 3, &d);
    EXPECT_FLOAT_EQ(d.R, 5.0f / 3.0f);
    EXPECT_FLOAT_EQ(d.T, 50.0f);
    EXPECT_FLOAT_EQ(d.Q, 30.0f);
}

TEST(DeformGeometry, ShearedTilesSampleWhereWorkedOut)
{
    // Source value 4x + 2y is linear, so the bilinear sample is the value at
    // the source position itself (the last column repeats itself). A face
    // darkened by its scheme has light S = 0.5.
    const ShearCase cases[] = {
        // kx = 0.5: zoom = 40 / (40 - 0.5 x 16) = 1.25.
        {25, 0, 16, 8, 40, 32, 2, 2, {12, 25, 25, 25}},      // face 2 (Fc), X 3.75, Y 2.5
        {25, 0, 16, 8, 40, 32, 10, 5, {40, 40, 40, 80}},     // face 4 (Fa), X 13.25, Y 5.5
        {25, 0, 16, 8, 40, 32, 3, 20, {97, 48, 97, 97}},     // odd tile row, face 3 (Fb)
        {25, 0, 16, 8, 40, 32, 12, 20, {142, 142, 71, 142}}, // cell i = 1, face 1 (Fd)
        // Face 1 on its bevel (r1 = 5/8): X 7.75, Y 17.5, value 82.5.
        {25, 0, 16, 8, 40, 32, 0, 17, {82, 67, 56, 82}},
        // ky = 0.5: zoom = 40 / (40 - 0.5 x 16) = 1.25.
        {0, 25, 8, 16, 32, 40, 20, 12, {59, 59, 59, 119}},   // face 4, X 20.5, Y 6.75
        {0, 25, 8, 16, 32, 40, 5, 30, {96, 96, 48, 96}},     // cell j = 1, face 1
        // Odd tile column, face 3 on its bevel (r0 = 7/8): X 24.5, Y 8.75.
        {0, 25, 8, 16, 32, 40, 24, 12, {135, 72, 135, 144}},
        // ky = 0.5, zoom = 20 / (20 - 0.5 x 8): face 3 of cell i = 1,
        // X 25.5, Y 10.25, source x 31.875 on the last column.
        {0, 25, 8, 8, 32, 20, 25, 13, {149, 74, 149, 149}},
        // kx = ky = 0.5: K = 0.25, R = 5/3, zoom = 40/36 x (0.6 + 1) x 0.5 = 8/9.
        {25, 25, 8, 8, 40, 40, 5, 4, {15, 30, 30, 30}},      // face 2: X 7.75, Y 1.75
        {25, 25, 8, 8, 40, 40, 11, 4, {32, 32, 32, 64}},     // face 4: X 16.25, Y 3.75
        {25, 25, 8, 8, 40, 40, 11, 9, {86, 43, 86, 86}},     // face 3: X 18.75, Y 11.25
        {25, 25, 8, 8, 40, 40, 15, 11, {104, 104, 52, 104}}, // face 1: X 275/12, Y 155/12
        {25, 25, 8, 8, 40, 40, 16, 17, {56, 113, 113, 113}}, // face 2 of cell (1, 1): X = Y = 21.25
    };
    for (const ShearCase& s : cases) {
        const Image src = Grey(s.width, s.height, [](int x, int y) { return 4 * x + 2 * y; });
        for (int scheme = 0; scheme < 4; ++scheme) {
            SCOPED_TRACE(testing::Message() << s.c << "," << s.r << " scheme " << scheme);
            Image dst(s.width, s.height, 3);
            RenderCall call;
            call.source = &src, call.dest = &dst;
            call.inputs = NeutralInputs(s.tileHeight, s.tileWidth);
            call.inputs.stretchX = s.stretchX;
            call.inputs.stretchY = s.stretchY;
            call.inputs.sideShading = 50;
            call.inputs.faceScheme = scheme;
            ASSERT_EQ(call.Run(), 0);
            EXPECT_EQ(dst.at(s.c, s.r)[0], s.schemes[scheme]);
        }
    }
}

} // namespace
