// RenderDeformation on the 364 x 360 preview and on a 6000 x 4000 image with
// the "Velkstone" preset, each beside a plain bilinear resample of the same
// buffers at the same size: the floor for a per-pixel warp.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bench_photo.h"
#include "bench/bilinear_baseline.h"
#include "common/row_workers.h"
#include "deform/engine/factory_presets.h"
#include "deform/engine/render_deformation.h"
#include "toolkit/preview/preview_scale.h"

namespace {

constexpr int32_t kImageW = 6000;
constexpr int32_t kImageH = 4000;

DeformSettings Velkstone()
{
    DeformSettings s{};
    SetFallbackLightCorrection(s);
    s.antialias = 1;
    s.magic = kDeformMagic;
    DecodeFactoryPreset(DeformString(kFallbackPresetId), s);
    return s;
}

struct Scene {
    std::vector<uint8_t> in, out;
    int32_t width, height, rowBytes;
};

const Scene& Whole()
{
    static Scene scene{MakePhoto(kImageW, kImageH, kImageW * 3),
                       std::vector<uint8_t>(static_cast<size_t>(kImageW) * 3 * kImageH), kImageW,
                       kImageH, kImageW * 3};
    return scene;
}

const Scene& Preview()
{
    const float s = PreviewScale(kImageW, kImageH);
    const PreviewSize size = PreviewRectSize(kImageW, kImageH, s);
    static Scene scene{MakePhoto(kPreviewWidth, kPreviewHeight, kPreviewRowBytes),
                       std::vector<uint8_t>(static_cast<size_t>(kPreviewRowBytes) * kPreviewHeight),
                       size.width, size.height, kPreviewRowBytes};
    return scene;
}

// threads 0: the one-thread RenderDeformation; else rows shared among threads.
void Render(benchmark::State& state, Scene& scene, const DeformInputs& inputs, int32_t threads = 0)
{
    FilterRecord filter{};
    filter.filterCase = filterCaseFlatImageNoSelection;
    DeformSettings settings = Velkstone();
    const DeformContext context{&settings, &filter};
    DeformBuffers b{};
    b.right = scene.width, b.bottom = scene.height;
    b.inData = scene.in.data(), b.inRowBytes = scene.rowBytes;
    b.outData = scene.out.data(), b.outRowBytes = scene.rowBytes;
    for (auto _ : state) {
        const int32_t result =
            threads == 0
                ? RenderDeformation(context, inputs, b, kDefaultFillColour, 3, nullptr, nullptr)
                : RenderDeformationThreads(context, inputs, b, kDefaultFillColour, 3, threads,
                                           nullptr, nullptr);
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * scene.width * scene.height);
}

void Resample(benchmark::State& state, Scene& scene)
{
    for (auto _ : state) {
        BilinearResample(scene.in.data(), scene.rowBytes, scene.out.data(), scene.rowBytes,
                         scene.width, scene.height, 3);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * scene.width * scene.height);
}

void BM_DeformPreview(benchmark::State& state)
{
    Render(state, const_cast<Scene&>(Preview()), PreviewInputs(Velkstone()));
}

void BM_DeformBaselinePreview(benchmark::State& state)
{
    Resample(state, const_cast<Scene&>(Preview()));
}

void BM_Deform6000x4000(benchmark::State& state)
{
    const float s = PreviewScale(kImageW, kImageH);
    Render(state, const_cast<Scene&>(Whole()), ApplyInputs(Velkstone(), s));
}

// The same render with its rows on every core.
void BM_Deform6000x4000AllCores(benchmark::State& state)
{
    const float s = PreviewScale(kImageW, kImageH);
    Render(state, const_cast<Scene&>(Whole()), ApplyInputs(Velkstone(), s), DefaultRenderThreads());
    state.SetLabel(std::to_string(DefaultRenderThreads()) + " threads");
}

void BM_DeformBaseline6000x4000(benchmark::State& state)
{
    Resample(state, const_cast<Scene&>(Whole()));
}

BENCHMARK(BM_DeformPreview)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeformBaselinePreview)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Deform6000x4000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Deform6000x4000AllCores)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeformBaseline6000x4000)->Unit(benchmark::kMillisecond);

} // namespace
