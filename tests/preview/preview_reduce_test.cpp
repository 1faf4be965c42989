// Reduction of host images into the 364 x 360 preview buffers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "toolkit/preview/preview_reduce.h"
#include "toolkit/preview/reduce_rows.h"
#include "toolkit/preview/reduce_wide.h"

namespace {

constexpr uint8_t kUnwritten = 0xEE; // sources stay below it

// An interleaved host image: planes bytes a pixel, rows padded by 4 bytes.
struct HostImage {
    int32_t width, height, planes, rowBytes;
    std::vector<uint8_t> pixels;
    uint8_t& At(int x, int y, int p)
    {
        return pixels[static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) * planes + p];
    }
};

HostImage RandomImage(int32_t width, int32_t height, int32_t planes, unsigned seed)
{
    HostImage image{width, height, planes, width * planes + 4, {}};
    image.pixels.resize(static_cast<size_t>(image.rowBytes) * height);
    std::mt19937 random(seed);
    for (uint8_t& b : image.pixels)
        b = static_cast<uint8_t>(random() % 230);
    return image;
}

struct Previews {
    std::vector<uint8_t> colour = std::vector<uint8_t>(kPreviewRowBytes * kPreviewHeight, kUnwritten);
    std::vector<uint8_t> transparency = std::vector<uint8_t>(kPreviewWidth * kPreviewHeight, kUnwritten);
    std::vector<uint8_t> selection = std::vector<uint8_t>(kPreviewWidth * kPreviewHeight, kUnwritten);
    PreviewBuffers Buffers() { return {colour.data(), transparency.data(), selection.data()}; }
};

// One pass of the box filter in exact integer arithmetic: s = S / 2^23, and
// output k is the floor of the sum of value times overlap of the source pixel
// with [k s, (k + 1) s), divided by s.
std::vector<int> ReferencePass(const std::vector<int>& in, int64_t S)
{
    const int64_t one = int64_t{1} << 23;
    const int64_t n = static_cast<int64_t>(in.size());
    std::vector<int> out(static_cast<size_t>(n * one / S));
    for (size_t k = 0; k < out.size(); ++k) {
        const int64_t lo = static_cast<int64_t>(k) * S, hi = lo + S;
        int64_t sum = 0;
        for (int64_t i = lo / one; i < n && i * one < hi; ++i) {
            const int64_t a = i * one > lo ? i * one : lo;
            const int64_t b = (i + 1) * one < hi ? (i + 1) * one : hi;
            if (b > a)
                sum += in[static_cast<size_t>(i)] * (b - a);
        }
        out[k] = static_cast<int>(sum / S);
    }
    return out;
}

// The reduced plane p as [row][column], rows and columns first by pass.
std::vector<std::vector<int>> ReferenceReduce(HostImage& image, int p, float s)
{
    const int64_t S = static_cast<int64_t>(static_cast<double>(s) * (1 << 23));
    EXPECT_EQ(static_cast<double>(S), static_cast<double>(s) * (1 << 23));
    std::vector<std::vector<int>> rows;
    for (int y = 0; y < image.height; ++y) {
        std::vector<int> row(image.width);
        for (int x = 0; x < image.width; ++x)
            row[x] = image.At(x, y, p);
        rows.push_back(ReferencePass(row, S));
    }
    const size_t columns = rows.empty() ? 0 : rows[0].size();
    std::vector<std::vector<int>> result;
    for (size_t c = 0; c < columns; ++c) {
        std::vector<int> column(image.height);
        for (int y = 0; y < image.height; ++y)
            column[y] = rows[y][c];
        const std::vector<int> reduced = ReferencePass(column, S);
        result.resize(reduced.size(), std::vector<int>(columns));
        for (size_t r = 0; r < reduced.size(); ++r)
            result[r][c] = reduced[r];
    }
    return result;
}

// Compares the colour buffer with the reference of every colour plane and
// checks that nothing beyond the preview rectangle was written.
void ExpectColourMatches(HostImage& image, float s, const std::vector<uint8_t>& colour)
{
    const PreviewSize size = PreviewRectSize(image.width, image.height, s);
    for (int p = 0; p < 3; ++p) {
        const std::vector<std::vector<int>> ref = ReferenceReduce(image, p, s);
        ASSERT_EQ(static_cast<int>(ref.size()), size.height);
        ASSERT_EQ(static_cast<int>(ref[0].size()), size.width);
        int mismatches = 0;
        for (int r = 0; r < kPreviewHeight; ++r)
            for (int c = 0; c < kPreviewWidth; ++c) {
                const int got = colour[static_cast<size_t>(r) * kPreviewRowBytes + c * 3 + (2 - p)];
                const int expected = r < size.height && c < size.width ? ref[r][c] : kUnwritten;
                mismatches += got != expected;
            }
        EXPECT_EQ(mismatches, 0) << "plane " << p;
    }
}

// The scratch area: exactly height * rowBytes on the heap, so that a read
// past it is caught by the address sanitizer.
std::vector<uint8_t> Scratch(int32_t height, int32_t rowBytes)
{
    return std::vector<uint8_t>(static_cast<size_t>(height) * rowBytes);
}

} // namespace

TEST(PreviewReduce, SmallImagesAreCopied)
{
    EXPECT_EQ(PreviewScale(364, 360), 1.0f);
    EXPECT_EQ(PreviewScale(100, 20), 1.0f);
    HostImage image = RandomImage(364, 360, 4, 1);
    std::vector<uint8_t> mask(364 * 360);
    for (size_t i = 0; i < mask.size(); ++i)
        mask[i] = static_cast<uint8_t>(i * 7 % 230);
    image.At(5, 6, 0) = 229; // pure red
    image.At(5, 6, 1) = 0;
    image.At(5, 6, 2) = 0;
    Previews out;
    std::vector<uint8_t> scratch = Scratch(360, image.rowBytes);
    const PreviewSize size = FillPreviewBuffers(1.0f, image.pixels.data(), image.rowBytes, 4,
                                                mask.data(), 364, 364, 360, scratch.data(),
                                                out.Buffers());
    EXPECT_EQ(size.width, 364);
    EXPECT_EQ(size.height, 360);
    for (int y = 0; y < 360; ++y)
        for (int x = 0; x < 364; ++x) {
            const size_t i = static_cast<size_t>(y) * 364 + x;
            ASSERT_EQ(out.colour[i * 3 + 0], image.At(x, y, 2));
            ASSERT_EQ(out.colour[i * 3 + 1], image.At(x, y, 1));
            ASSERT_EQ(out.colour[i * 3 + 2], image.At(x, y, 0));
            ASSERT_EQ(out.transparency[i], image.At(x, y, 3));
            ASSERT_EQ(out.selection[i], mask[i]);
        }
    const size_t red = (6 * 364 + 5) * 3;
    EXPECT_EQ(out.colour[red + 0], 0);
    EXPECT_EQ(out.colour[red + 1], 0);
    EXPECT_EQ(out.colour[red + 2], 229);
}

TEST(PreviewReduce, ThreePlanesWithoutMaskLeaveTheOtherBuffers)
{
    HostImage image = RandomImage(120, 80, 3, 2);
    Previews out;
    std::vector<uint8_t> scratch = Scratch(80, image.rowBytes);
    const PreviewSize size = FillPreviewBuffers(1.0f, image.pixels.data(), image.rowBytes, 3,
                                                nullptr, 0, 120, 80, scratch.data(), out.Buffers());
    EXPECT_EQ(size.width, 120);
    EXPECT_EQ(size.height, 80);
    for (uint8_t b : out.transparency)
        ASSERT_EQ(b, kUnwritten);
    for (uint8_t b : out.selection)
        ASSERT_EQ(b, kUnwritten);
    EXPECT_EQ(out.colour[(79 * 364 + 119) * 3], image.At(119, 79, 2));
    EXPECT_EQ(out.colour[(79 * 364 + 120) * 3], kUnwritten);
    EXPECT_EQ(out.colour[(80 * 364 + 0) * 3], kUnwritten);
}

TEST(PreviewReduce, DoubleSizeGivesMeansOfTwoByTwoBlocks)
{
    const float s = PreviewScale(728, 360);
    ASSERT_EQ(s, 2.0f);
    HostImage image = RandomImage(728, 360, 3, 3);
    Previews out;
    std::vector<uint8_t> scratch = Scratch(360, image.rowBytes);
    const PreviewSize size = FillPreviewBuffers(s, image.pixels.data(), image.rowBytes, 3, nullptr,
                                                0, 728, 360, scratch.data(), out.Buffers());
    EXPECT_EQ(size.width, 364);
    EXPECT_EQ(size.height, 180);
    for (int r = 0; r < 360; ++r)
        for (int c = 0; c < 364; ++c)
            for (int p = 0; p < 3; ++p) {
                const int got = out.colour[static_cast<size_t>(r) * kPreviewRowBytes + c * 3 + 2 - p];
                if (r >= 180) {
                    ASSERT_EQ(got, kUnwritten);
                    continue;
                }
                // Each row pair is truncated first, then their mean.
                const int top = (image.At(2 * c, 2 * r, p) + image.At(2 * c + 1, 2 * r, p)) / 2;
                const int bottom =
                    (image.At(2 * c, 2 * r + 1, p) + image.At(2 * c + 1, 2 * r + 1, p)) / 2;
                ASSERT_EQ(got, (top + bottom) / 2) << c << "," << r;
            }
}

TEST(PreviewReduce, FractionalScaleMatchesExactAreaWeights)
{
    const float s = PreviewScale(1000, 2000);
    ASSERT_EQ(s, 5.5555558f);
    const PreviewSize size = PreviewRectSize(1000, 2000, s);
    EXPECT_EQ(size.width, 179);
    EXPECT_EQ(size.height, 359);
    EXPECT_EQ(PreviewRectSize(1000, 1000, PreviewScale(1000, 1000)).width, 359);

    HostImage image = RandomImage(1000, 2000, 3, 4);
    Previews out;
    std::vector<uint8_t> scratch = Scratch(2000, image.rowBytes);
    FillPreviewBuffers(s, image.pixels.data(), image.rowBytes, 3, nullptr, 0, 1000, 2000,
                       scratch.data(), out.Buffers());
    ExpectColourMatches(image, s, out.colour);
}

TEST(PreviewReduce, ConstantPlanesStayConstant)
{
    // The weights of one output pixel add up to s.
    for (const auto& wh : {std::pair<int, int>{1000, 777}, {367, 50}, {5000, 13}, {999, 1001}}) {
        HostImage image{wh.first, wh.second, 3, wh.first * 3, {}};
        image.pixels.assign(static_cast<size_t>(image.rowBytes) * image.height, 0);
        for (size_t i = 0; i < image.pixels.size(); i += 3) {
            image.pixels[i] = 17;
            image.pixels[i + 1] = 128;
            image.pixels[i + 2] = 229;
        }
        const float s = PreviewScale(image.width, image.height);
        Previews out;
        std::vector<uint8_t> scratch = Scratch(image.height, image.rowBytes);
        const PreviewSize size = FillPreviewBuffers(s, image.pixels.data(), image.rowBytes, 3,
                                                    nullptr, 0, image.width, image.height,
                                                    scratch.data(), out.Buffers());
        for (int r = 0; r < size.height; ++r)
            for (int c = 0; c < size.width; ++c) {
                const uint8_t* px = &out.colour[static_cast<size_t>(r) * kPreviewRowBytes + c * 3];
                ASSERT_EQ(px[0], 229);
                ASSERT_EQ(px[1], 128);
                ASSERT_EQ(px[2], 17);
            }
    }
}

TEST(PreviewReduce, WrittenAreaIsThePreviewRectangle)
{
    // Over many sizes the reduction writes exactly the preview rectangle: its
    // last column and row carry data and nothing beyond them is touched.
    auto check = [](int32_t width, int32_t height) {
        const float s = PreviewScale(width, height);
        const PreviewSize size = PreviewRectSize(width, height, s);
        std::vector<uint8_t> plane(static_cast<size_t>(width) * height, 100);
        std::vector<uint8_t> scratch = Scratch(height, width);
        std::vector<uint8_t> preview(kPreviewWidth * kPreviewHeight, kUnwritten);
        PreviewReduce(s, plane.data(), scratch.data(), width, 1, preview.data(), 1, width, height,
                      kPreviewWidth, 0, 0);
        int columns = 0, rows = 0;
        while (columns < kPreviewWidth && preview[columns] != kUnwritten)
            ++columns;
        while (rows < kPreviewHeight && preview[static_cast<size_t>(rows) * kPreviewWidth] != kUnwritten)
            ++rows;
        EXPECT_EQ(columns, size.width) << width << " x " << height;
        EXPECT_EQ(rows, size.height) << width << " x " << height;
        EXPECT_LE(size.width, kPreviewWidth);
        EXPECT_LE(size.height, kPreviewHeight);
        if (size.width > 0 && size.height > 0) {
            EXPECT_EQ(preview[static_cast<size_t>(size.height - 1) * kPreviewWidth + size.width - 1], 100);
            if (size.width < kPreviewWidth) {
                EXPECT_EQ(preview[static_cast<size_t>(size.height - 1) * kPreviewWidth + size.width],
                          kUnwritten);
            }
        }
    };
    // Width decides the scale (height kept small), then height decides.
    for (int32_t width = 300; width <= 4000; width += 3)
        check(width, 12 + width % 7 + width / 364);
    for (int32_t height = 300; height <= 4000; height += 3)
        check(12 + height % 5 + height / 360, height);
    check(367, 10); // a size where the single-precision quotient gives one more column
}

TEST(PreviewReduce, MaskWithItsOwnRowPitch)
{
    // The mask plane uses its own row bytes; the scratch holds the larger of
    // the two pitches.
    HostImage image = RandomImage(900, 500, 4, 6);
    HostImage mask = RandomImage(900, 500, 1, 7);
    const float s = PreviewScale(900, 500);
    Previews out;
    std::vector<uint8_t> scratch = Scratch(500, image.rowBytes);
    const PreviewSize size = FillPreviewBuffers(s, image.pixels.data(), image.rowBytes, 4,
                                                mask.pixels.data(), mask.rowBytes, 900, 500,
                                                scratch.data(), out.Buffers());
    ExpectColourMatches(image, s, out.colour);
    const std::vector<std::vector<int>> alpha = ReferenceReduce(image, 3, s);
    const std::vector<std::vector<int>> selection = ReferenceReduce(mask, 0, s);
    for (int r = 0; r < size.height; ++r)
        for (int c = 0; c < size.width; ++c) {
            ASSERT_EQ(out.transparency[static_cast<size_t>(r) * kPreviewWidth + c], alpha[r][c]);
            ASSERT_EQ(out.selection[static_cast<size_t>(r) * kPreviewWidth + c], selection[r][c]);
        }
}

TEST(PreviewReduce, EmptyOrDegenerateInputWritesNothing)
{
    std::vector<uint8_t> plane(16, 50), scratch(16);
    std::vector<uint8_t> preview(kPreviewWidth * kPreviewHeight, kUnwritten);
    PreviewReduce(1.0f, plane.data(), scratch.data(), 4, 1, preview.data(), 1, 0, 4, kPreviewWidth, 0, 0);
    PreviewReduce(1.0f, plane.data(), scratch.data(), 4, 1, preview.data(), 1, 4, 0, kPreviewWidth, 0, 0);
    for (uint8_t b : preview)
        ASSERT_EQ(b, kUnwritten);
    // A scale below 1 (never produced by PreviewScale) copies.
    PreviewReduce(0.25f, plane.data(), scratch.data(), 4, 1, preview.data(), 1, 4, 4, kPreviewWidth, 0, 0);
    EXPECT_EQ(preview[3 * kPreviewWidth + 3], 50);
    EXPECT_EQ(preview[3 * kPreviewWidth + 4], kUnwritten);
}

TEST(PreviewReduce, AnyPlaneOfAnyPixelStrideMatchesTheReference)
{
    // One plane of pixels 1..6 bytes wide, at every offset, on sizes whose
    // rows end at odd places and scales from just above 1 to past 256 (where
    // the reduction takes doubles); nothing outside the rectangle is written.
    struct Case {
        int32_t width, height, stride;
    };
    const Case cases[] = {{365, 700, 1}, {1000, 361, 2}, {2333, 1711, 3}, {737, 1201, 4},
                          {400, 5000, 5},  {1093, 777, 6}, {95000, 300, 1}};
    unsigned seed = 20;
    for (const Case& k : cases)
        for (int32_t offset = 0; offset < k.stride; offset += k.stride > 3 ? 2 : 1) {
            HostImage image = RandomImage(k.width, k.height, k.stride, ++seed);
            const float s = PreviewScale(k.width, k.height);
            const PreviewSize size = PreviewRectSize(k.width, k.height, s);
            std::vector<uint8_t> scratch = Scratch(k.height, image.rowBytes);
            std::vector<uint8_t> preview(kPreviewWidth * kPreviewHeight, kUnwritten);
            PreviewReduce(s, image.pixels.data(), scratch.data(), image.rowBytes, k.stride,
                          preview.data(), 1, k.width, k.height, kPreviewWidth, offset, 0);
            const std::vector<std::vector<int>> ref = ReferenceReduce(image, offset, s);
            int mismatches = 0;
            for (int r = 0; r < kPreviewHeight; ++r)
                for (int c = 0; c < kPreviewWidth; ++c) {
                    const int expected = r < size.height && c < size.width ? ref[r][c] : kUnwritten;
                    mismatches += preview[static_cast<size_t>(r) * kPreviewWidth + c] != expected;
                }
            EXPECT_EQ(mismatches, 0) << k.width << " x " << k.height << ", stride " << k.stride
                                     << ", offset " << offset;
        }
}

TEST(PreviewReduce, ScratchThatIsTheSourceGivesTheSamePreview)
{
    // A host may hand out one buffer as both input and output; the output is
    // the scratch area, so every plane must be read before its row is reused.
    HostImage image = RandomImage(1500, 900, 4, 30);
    const float s = PreviewScale(1500, 900);
    Previews apart, inPlace;
    std::vector<uint8_t> scratch = Scratch(900, image.rowBytes);
    FillPreviewBuffers(s, image.pixels.data(), image.rowBytes, 4, nullptr, 0, 1500, 900,
                       scratch.data(), apart.Buffers());
    ExpectColourMatches(image, s, apart.colour);
    std::vector<uint8_t> shared = image.pixels;
    FillPreviewBuffers(s, shared.data(), image.rowBytes, 4, nullptr, 0, 1500, 900, shared.data(),
                       inPlace.Buffers());
    EXPECT_EQ(inPlace.colour, apart.colour);
    EXPECT_EQ(inPlace.transparency, apart.transparency);
}

TEST(PreviewReduce, EightOutputRowsGiveTheBytesOfTheSse2Rows)
{
    // Where the processor has AVX2, whole groups of eight outputs take their
    // own path: it must give the SSE2 path's bytes for every pixel stride,
    // channel count and scale (interiors of no load up to 51), on rows that
    // start at odd addresses and end a few outputs past the last group.
    if (!HaveReduceRows8())
        GTEST_SKIP() << "the processor has no AVX2";
    std::mt19937 random(40);
    const float scales[] = {1.0f, 1.37f, 2.0f, 6.4f, 16.483517f, 31.9f, 77.7f, 255.5f};
    int groups = 0;
    for (int32_t stride = 1; stride <= 6; ++stride)
        for (int32_t channels = 1; channels <= stride && channels <= 4; ++channels)
            for (const double s : scales) {
                const int32_t width = static_cast<int32_t>(s * 27) + static_cast<int32_t>(random() % 7);
                std::vector<uint8_t> bytes(static_cast<size_t>(width) * stride + 1);
                for (uint8_t& b : bytes)
                    b = static_cast<uint8_t>(random());
                const uint8_t* row = bytes.data() + 1;
                ReducePlan plan;
                ASSERT_TRUE(MakeReducePlan(s, width, width, plan));
                const ptrdiff_t lastByte = static_cast<ptrdiff_t>(width - 1) * stride + channels;
                const int32_t loadLimit =
                    lastByte < 16 ? 0 : static_cast<int32_t>((lastByte - 16) / stride + 1);
                RowSums work(plan, channels);
                std::vector<uint8_t> sse(static_cast<size_t>(channels) * plan.outputs);
                std::vector<uint8_t> wide(sse.size());
                ReduceRow(plan, 0, row, stride, channels, loadLimit, work, sse.data());
                WideRowPlan wideRows;
                MakeWideRowPlan(plan, stride, channels, lastByte, wideRows);
                ReduceRow8(WideRowsOf(wideRows, plan, channels), row, wide.data());
                ReduceRow(plan, wideRows.outputs, row, stride, channels, loadLimit, work, wide.data());
                EXPECT_EQ(wide, sse) << "stride " << stride << ", channels " << channels
                                     << ", scale " << s;
                groups += wideRows.outputs / 8;
            }
    EXPECT_GT(groups, 400); // the eight-output path took most rows
}
