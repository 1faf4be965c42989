// Whole-image renders of both engines with their rows shared among threads:
// the same bytes as the one-thread render for any thread count and image
// shape, the progress calls of the one-thread render on the calling thread
// only, and a stop that ends every thread and leaves the rows below it
// alone. Also built with ThreadSanitizer (render_threads_tsan).
#include <gtest/gtest.h>

#include <random>
#include <thread>
#include <vector>

#include "common/image_case.h"
#include "deform/engine/factory_presets.h"
#include "deform/engine/render_deformation.h"
#include "toolkit/preview/preview_scale.h"
#include "twostage/engine/preset_load.h"
#include "twostage/engine/render_twostage.h"
#include "twostage/engine/twostage_presets.h"

namespace {

struct Shape {
    int32_t width, height;
};

// 1 x N and N x 1, heights that no thread count divides, a tall narrow one.
constexpr Shape kShapes[] = {{1, 53}, {53, 1}, {97, 61}, {211, 37}, {13, 131}};
constexpr int32_t kThreadCounts[] = {1, 2, 3, 7};

std::vector<uint8_t> Noise(size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<uint8_t> v(n);
    for (uint8_t& b : v)
        b = static_cast<uint8_t>(random() % 256);
    return v;
}

// A soft disc over a noisy band: selected, unselected and partial pixels.
std::vector<uint8_t> Selection(int32_t w, int32_t h)
{
    std::vector<uint8_t> m(static_cast<size_t>(w) * h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            const int32_t dx = 2 * x - w, dy = 2 * y - h;
            const int32_t d = (dx * dx + dy * dy) * 255 / (w * w + h * h + 1);
            m[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(y % 9 == 0 ? x * 37 % 256 : 255 - d);
        }
    return m;
}

// What a render call needs besides its thread count.
struct Picture {
    Shape shape;
    int32_t planes;
    bool masked;
    std::vector<uint8_t> src, mask;
    FilterRecord host{};

    Picture(Shape s, int32_t p, bool m, unsigned seed)
        : shape(s), planes(p), masked(m),
          src(Noise(static_cast<size_t>(s.width) * s.height * p, seed)),
          mask(Selection(s.width, s.height))
    {
        host.haveMask = m ? 1 : 0;
        host.filterCase = ImageFilterCase(p == 4, m);
        host.foreColor[0] = 12, host.foreColor[1] = 34, host.foreColor[2] = 56;
        host.backColor[0] = 250, host.backColor[1] = 240, host.backColor[2] = 230;
    }
    int32_t RowBytes() const { return shape.width * planes; }
};

// Renders with velk3d; threads 0 is the one-thread RenderDeformation.
int32_t Deform(const Picture& pic, DeformSettings record, int32_t threads, std::vector<uint8_t>& out,
               DeformProgress progress = nullptr, void* user = nullptr)
{
    const DeformContext context{&record, &pic.host};
    const DeformInputs inputs =
        ApplyInputs(record, PreviewScale(pic.shape.width, pic.shape.height));
    DeformBuffers b{};
    b.right = pic.shape.width;
    b.bottom = pic.shape.height;
    b.inData = pic.src.data();
    b.inRowBytes = pic.RowBytes();
    b.outData = out.data();
    b.outRowBytes = pic.RowBytes();
    b.maskData = pic.masked ? pic.mask.data() : nullptr;
    b.maskRowBytes = pic.shape.width;
    const uint32_t fill = pic.planes == 4 ? kTransparentFill : kDefaultFillColour;
    return threads == 0 ? RenderDeformation(context, inputs, b, fill, pic.planes, progress, user)
                        : RenderDeformationThreads(context, inputs, b, fill, pic.planes, threads,
                                                   progress, user);
}

// Renders with velk2000; threads 0 is the one-thread RenderTwoStage.
int32_t TwoStage(const Picture& pic, TwoStageParams record, float scale, int32_t threads,
                 std::vector<uint8_t>& out, TwoStageAbortCheck progress = nullptr,
                 void* user = nullptr)
{
    FilterRecord host = pic.host;
    const EngineContext context{&record, &host, pic.planes};
    const uint8_t* mask = pic.masked ? pic.mask.data() : nullptr;
    const int32_t mode = kTwoStageFullImageMode + pic.planes;
    const int32_t w = pic.shape.width, h = pic.shape.height;
    return threads == 0
               ? RenderTwoStage(context, 0, 0, w, h, pic.src.data(), pic.RowBytes(), out.data(),
                                pic.RowBytes(), mask, w, nullptr, scale, mode, progress, user)
               : RenderTwoStageThreads(context, 0, 0, w, h, pic.src.data(), pic.RowBytes(),
                                       out.data(), pic.RowBytes(), mask, w, scale, mode, threads,
                                       progress, user);
}

DeformSettings DeformPreset(int n)
{
    DeformSettings s{};
    SetFallbackLightCorrection(s);
    DecodeFactoryPreset(DeformString(n + 2), s);
    s.antialias = static_cast<uint8_t>(n % 2 == 0);
    s.magic = kDeformMagic;
    return s;
}

// A record with any values, loaded as the dialog loads a user preset.
TwoStageParams RandomTwoStage(std::mt19937& random)
{
    TwoStageParams p;
    for (size_t i = 0; i < sizeof p; ++i)
        reinterpret_cast<uint8_t*>(&p)[i] = static_cast<uint8_t>(random());
    p.checksum = TwoStageChecksum(p);
    FinishPresetLoad(p, DialogRecordForFactory(0));
    ReadBackCheckBoxes(p);
    return p;
}

// Every progress call: its arguments and whether it ran on the caller's thread.
struct ProgressLog {
    std::thread::id caller = std::this_thread::get_id();
    std::vector<int32_t> rows, totals;
    int offThread = 0;
    int stopAfter = -1; // answer -128 on this call (0 = the first)
};

int32_t LogProgress(int32_t row, int32_t total, void* user)
{
    ProgressLog& log = *static_cast<ProgressLog*>(user);
    if (std::this_thread::get_id() != log.caller)
        ++log.offThread;
    log.rows.push_back(row);
    log.totals.push_back(total);
    return static_cast<int>(log.rows.size()) == log.stopAfter + 1 ? -128 : 0;
}

} // namespace

TEST(RenderThreads, Velk3dSameBytesForAnyThreadCount)
{
    unsigned seed = 1;
    for (const Shape& shape : kShapes)
        for (int32_t planes : {3, 4})
            for (bool masked : {false, true}) {
                const Picture pic(shape, planes, masked, seed++);
                for (int n = 0; n < kFactoryPresetCount; ++n) {
                    std::vector<uint8_t> one(pic.src.size(), 0xEE);
                    ASSERT_EQ(Deform(pic, DeformPreset(n), 0, one), 0);
                    for (int32_t threads : kThreadCounts) {
                        std::vector<uint8_t> shared(pic.src.size(), 0xEE);
                        ASSERT_EQ(Deform(pic, DeformPreset(n), threads, shared), 0);
                        ASSERT_EQ(shared, one) << shape.width << " x " << shape.height << ", "
                                               << planes << " planes, mask " << masked
                                               << ", preset " << n << ", " << threads << " threads";
                    }
                }
            }
}

// Factory presets and records with any values, whose rows may start on no
// face (rendered in order then).
TEST(RenderThreads, Velk2000SameBytesForAnyThreadCount)
{
    std::mt19937 random(5);
    unsigned seed = 100;
    const float scales[] = {0.05f, 1.0f, 3.7f};
    for (const Shape& shape : kShapes)
        for (int32_t planes : {3, 4})
            for (bool masked : {false, true}) {
                const Picture pic(shape, planes, masked, seed++);
                for (int n = 0; n < kTwoStageFactoryCount + 6; ++n) {
                    const TwoStageParams record =
                        n < kTwoStageFactoryCount ? DialogRecordForFactory(n) : RandomTwoStage(random);
                    const float scale = n < kTwoStageFactoryCount
                                            ? PreviewScale(shape.width, shape.height)
                                            : scales[n % 3];
                    std::vector<uint8_t> one(pic.src.size(), 0xEE);
                    ASSERT_EQ(TwoStage(pic, record, scale, 0, one), 0);
                    for (int32_t threads : kThreadCounts) {
                        std::vector<uint8_t> shared(pic.src.size(), 0xEE);
                        ASSERT_EQ(TwoStage(pic, record, scale, threads, shared), 0);
                        ASSERT_EQ(shared, one) << shape.width << " x " << shape.height << ", "
                                               << planes << " planes, mask " << masked
                                               << ", record " << n << ", " << threads << " threads";
                    }
                }
            }
}

// The host sees the one-thread render's calls, in the same order, on its
// own thread; a stop answer ends the render with that answer, no call comes
// after it, the rows above the stop are rendered and the last rows are not.
TEST(RenderThreads, ProgressOnTheCallingThreadAndStop)
{
    const Picture pic({301, 1203}, 3, true, 9);
    for (bool velk3d : {true, false}) {
        SCOPED_TRACE(velk3d ? "velk3d" : "velk2000");
        auto render = [&](int32_t threads, std::vector<uint8_t>& out, ProgressLog& log) {
            return velk3d ? Deform(pic, DeformPreset(0), threads, out, LogProgress, &log)
                          : TwoStage(pic, DialogRecordForFactory(1), 1.0f, threads, out,
                                     LogProgress, &log);
        };
        std::vector<uint8_t> whole(pic.src.size(), 0xEE);
        ProgressLog sequential;
        ASSERT_EQ(render(0, whole, sequential), 0);
        ASSERT_EQ(sequential.rows.size(), 150u); // rows 7, 15, ..., 1199

        for (int32_t threads : {2, 7}) {
            std::vector<uint8_t> out(pic.src.size(), 0xEE);
            ProgressLog log;
            ASSERT_EQ(render(threads, out, log), 0);
            EXPECT_EQ(log.rows, sequential.rows);
            EXPECT_EQ(log.totals, sequential.totals);
            EXPECT_EQ(log.offThread, 0);

            std::vector<uint8_t> stopped(pic.src.size(), 0xEE);
            ProgressLog stop;
            stop.stopAfter = 3; // the call for row 31
            EXPECT_EQ(static_cast<int16_t>(render(threads, stopped, stop)), -128);
            ASSERT_EQ(stop.rows.size(), 4u);
            EXPECT_EQ(stop.offThread, 0);
            const size_t rowBytes = static_cast<size_t>(pic.RowBytes());
            const auto rows = [&](const std::vector<uint8_t>& v, size_t first, size_t count) {
                return std::vector<uint8_t>(v.begin() + first * rowBytes,
                                            v.begin() + (first + count) * rowBytes);
            };
            EXPECT_EQ(rows(stopped, 0, 31), rows(whole, 0, 31)) << threads << " threads";
            // Threads keep within 8 rows a thread, plus 8, of the next report
            // (row 31), each overshooting by at most the row it took.
            const size_t untouched = 32 + 8 + 9 * threads;
            EXPECT_EQ(rows(stopped, untouched, 1203 - untouched),
                      std::vector<uint8_t>((1203 - untouched) * rowBytes, 0xEE))
                << threads << " threads went on after the stop";
        }
    }
}
