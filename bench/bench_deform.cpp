// RenderDeformation on the 364 x 360 preview and on a 6000 x 4000 image with
// the "Velkstone" preset, each beside a plain bilinear resample of the same
// buffers at the same size: the floor for a per-pixel warp.
#include <cmath>
#include <cstdint>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bilinear_baseline.h"
#include "deform/engine/factory_presets.h"
#include "deform/engine/render_deformation.h"
#include "toolkit/preview/preview_scale.h"

namespace {

constexpr int32_t kImageW = 6000;
constexpr int32_t kImageH = 4000;

// A photo-like RGB image: broad gradients, a few soft shapes and grain.
std::vector<uint8_t> MakePhoto(int32_t w, int32_t h, int32_t rowBytes)
{
    std::vector<uint8_t> px(static_cast<size_t>(rowBytes) * h);
    uint32_t seed = 12345;
    for (int32_t y = 0; y < h; ++y) {
        const float fy = static_cast<float>(y) / h;
        uint8_t* row = &px[static_cast<size_t>(y) * rowBytes];
        for (int32_t x = 0; x < w; ++x) {
            const float fx = static_cast<float>(x) / w;
            const float shape = std::sin(fx * 9.0f + fy * 4.0f) * std::cos(fy * 7.0f - fx * 3.0f);
            seed = seed * 1664525u + 1013904223u;
            const float grain = static_cast<float>(seed >> 24) / 32.0f - 4.0f;
            const float base[3] = {150.0f + 60.0f * shape - 50.0f * fy,
                                   110.0f + 40.0f * fx + 30.0f * shape,
                                   80.0f + 70.0f * fy - 20.0f * shape};
            for (int k = 0; k < 3; ++k) {
                const float v = base[k] + grain;
                row[x * 3 + k] = static_cast<uint8_t>(v < 0.0f ? 0.0f : (v > 255.0f ? 255.0f : v));
            }
        }
    }
    return px;
}

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

void Render(benchmark::State& state, Scene& scene, const DeformInputs& inputs)
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
            RenderDeformation(context, inputs, b, 1.0f, kDefaultFillColour, 3, nullptr, nullptr);
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

void BM_DeformBaseline6000x4000(benchmark::State& state)
{
    Resample(state, const_cast<Scene&>(Whole()));
}

BENCHMARK(BM_DeformPreview)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeformBaselinePreview)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Deform6000x4000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DeformBaseline6000x4000)->Unit(benchmark::kMillisecond);

} // namespace
