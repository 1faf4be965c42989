// The command line's floors: reading and writing the 6000 x 4000 photograph
// as PNG, in memory: through OpenImageIO (libpng and zlib) at zlib's usual
// level 6 and at the command line's default 4, and with the command line's
// own writer at 4 on every core and on one, and reading it back with each.
#include <benchmark/benchmark.h>

#include <OpenImageIO/filesystem.h>
#include <OpenImageIO/imageio.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/bench_photo.h"
#include "tools/velk/png_reader.h"
#include "tools/velk/png_writer.h"

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

// The command line's own writer: bands deflated by libdeflate on every core
// (or on the number of threads given), joined into one stream.
void BM_PngWriteBands6000x4000(benchmark::State& state)
{
    const int level = static_cast<int>(state.range(0)), threads = static_cast<int>(state.range(1));
    size_t size = 0;
    for (auto _ : state) {
        PngWriter writer(kW, kH, 3, PngChunks(), level, threads);
        writer.AddRows(Photo().data(), kH);
        std::vector<FilePiece> pieces;
        std::string error;
        if (!writer.Finish(pieces, error))
            state.SkipWithError(error.c_str());
        size = 0;
        for (const FilePiece& p : pieces)
            size += p.size;
        benchmark::DoNotOptimize(size);
    }
    state.SetLabel("level " + std::to_string(level) + ", " +
                   (threads == 0 ? std::string("every core") : std::to_string(threads) + " thread") + ", " +
                   std::to_string(size / 1000) + " kB");
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

// The same file read by the command line's own reader (libspng).
void BM_PngReadOwn6000x4000(benchmark::State& state)
{
    const std::vector<unsigned char> file = Encode(4);
    for (auto _ : state) {
        Image image;
        std::string error;
        if (!DecodePng("photo.png", file.data(), file.size(), ReadOptions(), image, error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

} // namespace

BENCHMARK(BM_PngWrite6000x4000)->Arg(6)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_PngWriteBands6000x4000)->Args({4, 0})->Args({4, 1})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PngRead6000x4000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PngReadOwn6000x4000)->Unit(benchmark::kMillisecond)->Iterations(2);
