// PreviewReduce of a 6000 x 4000 RGB image into the preview buffers.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "toolkit/preview/preview_reduce.h"

namespace {

void BM_PreviewReduce6000x4000(benchmark::State& state)
{
    const int32_t width = 6000, height = 4000, rowBytes = width * 3;
    std::vector<uint8_t> image(static_cast<size_t>(rowBytes) * height);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 2654435761u >> 24);
    std::vector<uint8_t> scratch(image.size());
    std::vector<uint8_t> colour(kPreviewRowBytes * kPreviewHeight);
    const float s = PreviewScale(width, height);
    const PreviewBuffers buffers{colour.data(), nullptr, nullptr};
    for (auto _ : state) {
        const PreviewSize size = FillPreviewBuffers(s, image.data(), rowBytes, 3, nullptr, 0,
                                                    width, height, scratch.data(), buffers);
        benchmark::DoNotOptimize(size);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

// The floor of the reduction: one plain read of the same 72 MB.
void BM_PlainRead6000x4000(benchmark::State& state)
{
    const size_t bytes = size_t{6000} * 3 * 4000;
    std::vector<uint64_t> image(bytes / 8);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = i * 0x9E3779B97F4A7C15ull;
    for (auto _ : state) {
        uint64_t sum = 0;
        for (uint64_t v : image)
            sum += v;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 6000 * 4000);
}

} // namespace

BENCHMARK(BM_PreviewReduce6000x4000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainRead6000x4000)->Unit(benchmark::kMillisecond);
