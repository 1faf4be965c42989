// The command line's floors: reading and writing the 6000 x 4000 photograph
// as PNG, in memory, at zlib's usual level 6 (every row's filter chosen by
// libpng) and at the level and filter the command line writes by default.
#include <benchmark/benchmark.h>

#include <OpenImageIO/filesystem.h>
#include <OpenImageIO/imageio.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/bench_photo.h"

namespace {

constexpr int32_t kW = 6000, kH = 4000;

const std::vector<uint8_t>& Photo()
{
    static const std::vector<uint8_t> photo = MakePhoto(kW, kH, kW * 3);
    return photo;
}

std::vector<unsigned char> Encode(int level)
{
    std::vector<unsigned char> bytes;
    OIIO::Filesystem::IOVecOutput proxy(bytes);
    void* pointer = &proxy;
    OIIO::ImageSpec spec(kW, kH, 3, OIIO::TypeDesc::UINT8);
    spec.attribute("oiio:ioproxy", OIIO::TypeDesc::PTR, &pointer);
    spec.attribute("png:compressionLevel", level);
    if (level < 6)
        spec.attribute("png:filter", 0x40); // Average, as the command line writes
    auto out = OIIO::ImageOutput::create("photo.png");
    if (!out || !out->open("photo.png", spec) ||
        !out->write_image(OIIO::TypeDesc::UINT8, Photo().data()) || !out->close())
        bytes.clear();
    return bytes;
}

void BM_PngWrite6000x4000(benchmark::State& state)
{
    const int level = static_cast<int>(state.range(0));
    size_t size = 0;
    for (auto _ : state) {
        size = Encode(level).size();
        benchmark::DoNotOptimize(size);
    }
    state.SetLabel("zlib " + std::to_string(level) + ", " + std::to_string(size / 1000) + " kB");
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

void BM_PngRead6000x4000(benchmark::State& state)
{
    std::vector<unsigned char> file = Encode(4);
    std::vector<uint8_t> pixels(Photo().size());
    for (auto _ : state) {
        OIIO::Filesystem::IOMemReader reader(file.data(), file.size());
        void* pointer = &reader;
        OIIO::ImageSpec config;
        config.attribute("oiio:ioproxy", OIIO::TypeDesc::PTR, &pointer);
        auto in = OIIO::ImageInput::open("photo.png", &config);
        const bool ok = in && in->read_image(0, 0, 0, 3, OIIO::TypeDesc::UINT8, pixels.data());
        if (!ok)
            state.SkipWithError("the PNG did not decode");
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

} // namespace

BENCHMARK(BM_PngWrite6000x4000)->Arg(6)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PngRead6000x4000)->Unit(benchmark::kMillisecond)->Iterations(2);
