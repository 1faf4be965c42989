// RenderTwoStage on the preview and on a 6000 x 4000 image, beside the
// bilinear baseline on the same buffers.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "bench/bilinear_baseline.h"
#include "common/row_workers.h"
#include "toolkit/preview/preview_scale.h"
#include "twostage/engine/preset_load.h"
#include "twostage/engine/render_twostage.h"
#include "twostage/engine/twostage_presets.h"

namespace {

struct Image {
    int32_t width, height, rowBytes;
    std::vector<uint8_t> src, dst;
    Image(int32_t w, int32_t h) : width(w), height(h), rowBytes(w * 3)
    {
        src.resize(static_cast<size_t>(rowBytes) * h);
        dst.resize(src.size());
        uint32_t state = 12345;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x) {
                state = state * 1664525u + 1013904223u;
                uint8_t* p = &src[static_cast<size_t>(y) * rowBytes + static_cast<size_t>(x) * 3];
                p[0] = static_cast<uint8_t>(x * 255 / w);
                p[1] = static_cast<uint8_t>(y * 255 / h);
                p[2] = static_cast<uint8_t>(state >> 24);
            }
    }
};

Image& Preview()
{
    static Image image(kPreviewWidth, kPreviewHeight);
    return image;
}

Image& Large()
{
    static Image image(6000, 4000);
    return image;
}

// threads 0: the one-thread RenderTwoStage; else (whole image) rows shared.
void RenderPreset(benchmark::State& state, Image& image, int preset, bool preview,
                  int32_t threads = 0)
{
    TwoStageParams params = DialogRecordForFactory(preset);
    FilterRecord host{};
    const EngineContext context{&params, &host, 3};
    const float scale = preview ? 1.0f : PreviewScale(image.width, image.height);
    const int32_t mode = preview ? kTwoStagePreviewMode : kTwoStageFullImageMode + 3;
    for (auto _ : state) {
        const int32_t result =
            threads == 0
                ? RenderTwoStage(context, 0, 0, image.width, image.height, image.src.data(),
                                 image.rowBytes, image.dst.data(), image.rowBytes, nullptr, 0,
                                 nullptr, scale, mode, nullptr, nullptr)
                : RenderTwoStageThreads(context, 0, 0, image.width, image.height,
                                        image.src.data(), image.rowBytes, image.dst.data(),
                                        image.rowBytes, nullptr, 0, scale, mode, threads, nullptr,
                                        nullptr);
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * image.width * image.height);
    state.SetLabel(TwoStageFactoryName(preset));
}

void Bilinear(benchmark::State& state, Image& image)
{
    for (auto _ : state) {
        BilinearResample(image.src.data(), image.rowBytes, image.dst.data(), image.rowBytes,
                         image.width, image.height, 3);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * image.width * image.height);
}

void BM_TwoStagePreview(benchmark::State& state)
{
    RenderPreset(state, Preview(), static_cast<int>(state.range(0)), true);
}

void BM_TwoStage6000x4000(benchmark::State& state)
{
    RenderPreset(state, Large(), static_cast<int>(state.range(0)), false);
}

void BM_TwoStage6000x4000AllCores(benchmark::State& state)
{
    RenderPreset(state, Large(), static_cast<int>(state.range(0)), false, DefaultRenderThreads());
}

void BM_BilinearPreview(benchmark::State& state)
{
    Bilinear(state, Preview());
}

void BM_Bilinear6000x4000(benchmark::State& state)
{
    Bilinear(state, Large());
}

} // namespace

// 2: "e-Flowers" (no deformation, white canvas); 1: "Drapery" (deformation:
// every pixel is mapped and sampled bilinearly).
BENCHMARK(BM_TwoStagePreview)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BilinearPreview)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TwoStage6000x4000)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_TwoStage6000x4000AllCores)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Bilinear6000x4000)->Unit(benchmark::kMillisecond)->Iterations(2);
