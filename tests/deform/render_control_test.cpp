// Progress and cancellation, preview versus whole-image mode, the rectangle
// the engine may touch, and inputs no dialog would produce.
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "render_test_util.h"

namespace {

struct ProgressLog {
    std::vector<std::pair<int32_t, int32_t>> calls;
    int32_t answerAtRow7 = 0;
};

int32_t LogProgress(int32_t row, int32_t total, void* user)
{
    auto* log = static_cast<ProgressLog*>(user);
    log->calls.emplace_back(row, total);
    return row == 7 ? log->answerAtRow7 : 0;
}

Image Grey(int32_t w, int32_t h, int value)
{
    Image img(w, h, 3);
    img.Paint(3, [=](int, int, int) { return value; });
    return img;
}

TEST(DeformControl, ProgressBeforeEveryEighthRow)
{
    const Image src = Grey(24, 30, 60);
    Image dst(24, 30, 3);
    ProgressLog log;
    RenderCall call;
    call.source = &src, call.dest = &dst, call.progress = LogProgress, call.user = &log;
    ASSERT_EQ(call.Run(), 0);
    using Calls = std::vector<std::pair<int32_t, int32_t>>;
    EXPECT_EQ(log.calls, (Calls{{7, 30}, {15, 30}, {23, 30}}));

    log.calls.clear();
    call.top = 3, call.bottom = 20;
    ASSERT_EQ(call.Run(), 0);
    EXPECT_EQ(log.calls, (Calls{{7, 20}, {15, 20}}));
}

TEST(DeformControl, NonZeroLowHalfStopsTheRender)
{
    const Image src = Grey(16, 20, 60);
    struct {
        int32_t answer;
        int32_t result;
        int32_t renderedRows;
        size_t calls;
    } cases[] = {{0xFF80, 0xFF80, 7, 1}, {0x10000, 0, 20, 2}, {0x30001, 0x30001, 7, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        Image dst(16, 20, 3);
        ProgressLog log;
        log.answerAtRow7 = c.answer;
        RenderCall call;
        call.source = &src, call.dest = &dst, call.progress = LogProgress, call.user = &log;
        EXPECT_EQ(call.Run(), c.result);
        EXPECT_EQ(log.calls.size(), c.calls);
        // Rows already rendered stay; the rest keep the fill.
        for (int32_t y = 0; y < 20; ++y)
            for (int32_t x = 0; x < 16; ++x)
                ASSERT_EQ(dst.at(x, y)[0], y < c.renderedRows ? 60 : 200) << x << "," << y;
    }
}

TEST(DeformControl, PreviewModeWritesBgrOverTheWholePreview)
{
    // A preview source holding red 90 only (blue, green, red order).
    Image src(364, 360, 3);
    src.Paint(3, [](int, int, int k) { return k == 2 ? 90 : 0; });
    Image dst(364, 360, 3);
    RenderCall call;
    call.source = &src, call.dest = &dst, call.fill = 0xFF1E140A; // red 10, green 20, blue 30
    call.inputs.edgeFlags = 0;
    call.right = 100, call.bottom = 80;
    ASSERT_EQ(call.Run(), 0);
    for (int32_t y = 0; y < 360; ++y)
        for (int32_t x = 0; x < 364; ++x) {
            const uint8_t* p = dst.at(x, y);
            if (x < 100 && y < 80)
                ASSERT_TRUE(p[0] == 0 && p[1] == 0 && p[2] == 90) << x << "," << y;
            else
                ASSERT_TRUE(p[0] == 30 && p[1] == 20 && p[2] == 10) << x << "," << y;
        }
}

TEST(DeformControl, WholeImageModeStaysInsideItsRectangle)
{
    // The rectangle (3, 2)-(20, 15) of a 24 x 18 image: the source outside it
    // is bright, the destination outside it must stay as it was.
    Image src(24, 18, 3);
    src.Paint(3, [](int x, int y, int) { return x >= 3 && x < 20 && y >= 2 && y < 15 ? 50 : 250; });
    Image dst(24, 18, 3);
    dst.Paint(3, [](int, int, int) { return 7; });
    RenderCall call;
    call.source = &src, call.dest = &dst;
    call.left = 3, call.top = 2, call.right = 20, call.bottom = 15;
    ASSERT_EQ(call.Run(), 0);
    for (int32_t y = 0; y < 18; ++y)
        for (int32_t x = 0; x < 24; ++x) {
            const bool inside = x >= 3 && x < 20 && y >= 2 && y < 15;
            ASSERT_EQ(dst.at(x, y)[0], inside ? 50 : 7) << x << "," << y;
        }
}

TEST(DeformControl, PreviewNeverWritesBeyondThePreview)
{
    // A rectangle larger than the preview: only the 364 x 360 buffer is
    // written (the buffer is exactly that size, so a stray write is caught).
    const Image src = Grey(400, 380, 90);
    Image dst(364, 360, 3);
    RenderCall call;
    call.source = &src, call.dest = &dst;
    call.inputs.edgeFlags = 0;
    ASSERT_EQ(call.Run(), 0);
    EXPECT_EQ(dst.at(363, 359)[0], 90);
    EXPECT_EQ(dst.at(0, 0)[2], 90);
}

TEST(DeformControl, InvalidCallsAreRefusedWithoutWriting)
{
    const Image src = Grey(8, 8, 60);
    Image dst(8, 8, 3);
    dst.Paint(3, [](int, int, int) { return 0xEE; });
    FilterRecord filter{};
    DeformSettings settings{};
    const DeformContext context{&settings, &filter};
    DeformBuffers b{};
    b.right = b.bottom = 8;
    b.inRowBytes = b.outRowBytes = 24;
    b.outData = dst.bytes.data();
    const DeformInputs in = NeutralInputs();
    EXPECT_EQ(RenderDeformation(context, in, b, kGreyFill, 3, nullptr, nullptr), -128);
    b.inData = src.bytes.data();
    for (int32_t planes : {0, 5})
        EXPECT_EQ(RenderDeformation(context, in, b, kGreyFill, planes, nullptr, nullptr), -128);
    EXPECT_EQ(dst.at(3, 3)[0], 0xEE);
    EXPECT_EQ(dst.at(7, 7)[2], 0xEE);
}

TEST(DeformControl, DegenerateInputsStayInBounds)
{
    // Buffers exactly the image's size; the sanitizers catch any stray access
    // or undefined conversion. Without antialiasing and with a light of 1, a
    // pixel is either the image's grey (60, or 59 by rounding) or the fill.
    const int32_t big = std::numeric_limits<int32_t>::max();
    const int32_t low = std::numeric_limits<int32_t>::min();
    const Image src = Grey(37, 29, 60);
    auto check = [&](const char* what, void (*change)(DeformInputs&), bool allFill) {
        SCOPED_TRACE(what);
        Image dst(37, 29, 3);
        RenderCall call;
        call.source = &src, call.dest = &dst;
        change(call.inputs);
        ASSERT_EQ(call.Run(), 0);
        for (int32_t y = 0; y < 29; ++y)
            for (int32_t x = 0; x < 37; ++x) {
                const int v = dst.at(x, y)[0];
                if (allFill)
                    ASSERT_EQ(v, 200) << x << "," << y;
                else
                    ASSERT_TRUE(v == 59 || v == 60 || v == 200) << v << " at " << x << "," << y;
            }
    };
    check("zero tiles", [](DeformInputs& in) { in.tileHeight = 0, in.tileWidth = -5; }, false);
    check("huge tiles, full stretch", [](DeformInputs& in) {
        in.tileHeight = std::numeric_limits<int32_t>::max(), in.tileWidth = 1 << 30;
        in.stretchX = 50, in.stretchY = -50;
    }, false);
    check("stretch beyond range", [](DeformInputs& in) {
        in.stretchX = std::numeric_limits<int32_t>::min(), in.stretchY = 1000;
    }, false);
    check("bevel not a number", [](DeformInputs& in) {
        in.bevelWidth = std::numeric_limits<float>::quiet_NaN();
    }, false);
    check("infinite bevel", [](DeformInputs& in) {
        in.bevelWidth = std::numeric_limits<float>::infinity(), in.stretchX = 20;
    }, false);
    check("offsets at the ends", [](DeformInputs& in) {
        in.rowOffset = std::numeric_limits<int32_t>::min();
        in.columnOffset = std::numeric_limits<int32_t>::max();
    }, true);
    check("fine offset not a number", [](DeformInputs& in) {
        in.rowOffsetFine = std::numeric_limits<float>::quiet_NaN();
    }, true);
    check("fine offset infinite", [](DeformInputs& in) {
        in.columnOffsetFine = -std::numeric_limits<float>::infinity();
    }, true);

    // Shading at the ends of the integer range, every path switched on.
    Image soft(37, 29, 1);
    soft.Paint(1, [](int x, int, int) { return x * 7; });
    for (int32_t planes : {3, 4}) {
        for (uint32_t fill : {kGreyFill, 0x00123456u}) {
            Image pattern(37, 29, planes), out(37, 29, planes);
            pattern.Paint(planes, [](int x, int y, int k) { return (x * 11 + y * 7 + k * 50) % 256; });
            RenderCall call;
            call.source = &pattern, call.dest = &out, call.fill = fill;
            call.inputs = NeutralInputs(3, 4);
            DeformInputs& in = call.inputs;
            in.stretchX = 50, in.stretchY = 50;
            in.gradientX = big, in.gradientY = low, in.sideShading = low;
            in.lightBoost = low, in.saturation = big, in.brightnessFloor = big;
            in.bevelWidth = 1e30f;
            in.edgeFlags = EdgeWholeImage | EdgeAntialias;
            EXPECT_EQ(call.Run(), 0);
            call.mask = &soft;
            EXPECT_EQ(call.Run(), 0);
            in.gradientX = low, in.gradientY = big, in.sideShading = big, in.lightBoost = big;
            EXPECT_EQ(call.Run(), 0);
        }
    }
}

} // namespace
