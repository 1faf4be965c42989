// Writes the seed corpora of the fuzz targets into FOLDER/NAME: the factory
// presets of both filters as the record harnesses take them, velk3d's preset
// codes, and crops of the sample photographs as image files and as preview
// inputs. Run by hand when a harness's input layout changes:
//   build/fuzz/tests/fuzz/make_seeds samples tests/fuzz/corpus
#include <OpenImageIO/imageio.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "deform/engine/factory_presets.h"
#include "twostage/engine/twostage_presets.h"

namespace {

void Write(const std::string& path, const std::vector<uint8_t>& bytes)
{
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

// The header of the record harnesses: flags, width and height (FuzzInput's
// In(1, 40) of two bytes each), a record length byte (not 0: 64 bytes).
std::vector<uint8_t> RecordHeader(uint8_t flags, int w, int h)
{
    return {flags, 0, uint8_t(w - 1), 0, uint8_t(h - 1), 1};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_seeds SAMPLES CORPUS\n");
        return 2;
    }
    const std::string samples = argv[1], corpus = argv[2];
    auto in = OIIO::ImageInput::open(samples + "/coffee.png");
    if (!in) {
        std::fprintf(stderr, "cannot read %s/coffee.png\n", samples.c_str());
        return 1;
    }
    const OIIO::ImageSpec spec = in->spec();
    std::vector<uint8_t> photo(size_t(spec.width) * spec.height * spec.nchannels);
    in->read_image(0, 0, 0, spec.nchannels, OIIO::TypeDesc::UINT8, photo.data());
    // An RGB crop of w x h at (x, y).
    auto crop = [&](int x, int y, int w, int h, int channels) {
        std::vector<uint8_t> out;
        for (int r = 0; r < h; ++r)
            for (int c = 0; c < w; ++c)
                for (int k = 0; k < channels; ++k)
                    out.push_back(k < 3 ? photo[(size_t(y + r) * spec.width + x + c) * spec.nchannels + k]
                                        : uint8_t(255 - r * 8));
        return out;
    };

    // A record harness's seed: every other one with a mask and four planes.
    auto recordSeed = [&](const char* target, int n, const void* record, size_t size, int y) {
        const uint8_t flags = n % 2 ? 1 : 1 | 2 | 4;
        std::vector<uint8_t> bytes = RecordHeader(flags, 24, 20);
        const uint8_t* r = static_cast<const uint8_t*>(record);
        bytes.insert(bytes.end(), r, r + size);
        const std::vector<uint8_t> pixels = crop(100 + 20 * n, y, 24, 20, flags & 4 ? 4 : 3);
        bytes.insert(bytes.end(), pixels.begin(), pixels.end());
        if (flags & 2)
            bytes.insert(bytes.end(), pixels.begin(), pixels.begin() + 24 * 20);
        Write(corpus + "/" + target + "/factory-" + std::to_string(n), bytes);
    };
    for (int n = 0; n < kFactoryPresetCount; ++n) {
        DeformSettings r{};
        DecodeFactoryPreset(DeformString(n + 2), r);
        SetFallbackLightCorrection(r);
        r.antialias = 1;
        SetDefaultColour(r);
        SealLastUsed(r, Picker, r.colour);
        recordSeed("velk3d_record", n, &r, sizeof r, 120);
    }
    for (int n = 0; n < kTwoStageFactoryCount; ++n)
        recordSeed("velk2000_record", n, TwoStageFactoryRecord(n), sizeof(TwoStageParams), 200);
    for (int id : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 40}) {
        const char* text = DeformString(id);
        Write(corpus + "/preset_code/string-" + std::to_string(id),
              std::vector<uint8_t>(text, text + std::strlen(text)));
    }
    // Preview inputs: width and height (In(1, 2400), two bytes each), flags,
    // two paddings, then the pixels that repeat.
    const struct {
        int w, h;
        uint8_t flags, pad;
    } sizes[] = {{600, 400, 0, 0}, {364, 360, 1, 3}, {1200, 900, 2, 1}, {1, 1, 3, 0}, {2000, 37, 1, 5}};
    for (const auto& s : sizes) {
        std::vector<uint8_t> bytes = {uint8_t((s.w - 1) >> 8), uint8_t(s.w - 1), uint8_t((s.h - 1) >> 8),
                                      uint8_t(s.h - 1), s.flags, 0, s.pad, 0, s.pad};
        const std::vector<uint8_t> pixels = crop(200, 100, 40, 30, 3);
        bytes.insert(bytes.end(), pixels.begin(), pixels.end());
        Write(corpus + "/preview_reduce/" + std::to_string(s.w) + "x" + std::to_string(s.h), bytes);
    }
    // Registry keys: the machine's and the user's with presets of the usual
    // size, names at the edges of the name area, an unnamed value and a
    // value too large for the data area.
    {
        std::vector<uint8_t> bytes = {3};
        auto value = [&](uint8_t userKey, const std::string& name, size_t size, uint8_t fill) {
            bytes.push_back(userKey);
            bytes.push_back(uint8_t(name.size()));
            bytes.insert(bytes.end(), name.begin(), name.end());
            bytes.push_back(uint8_t(size >> 8));
            bytes.push_back(uint8_t(size));
            bytes.insert(bytes.end(), size, fill);
        };
        value(0, "Last Used", 64, 7);
        value(0, "Roof copy", 64, 9);
        value(1, "Roof copy", 64, 11);
        value(1, std::string(49, 'n'), 64, 1);
        value(0, std::string(50, 'm'), 64, 2);
        value(0, "", 64, 3);
        value(1, "Large", 600, 4);
        Write(corpus + "/preset_store/both-keys", bytes);
    }

    // Image files: a crop of the photograph in the formats people bring.
    for (const char* name : {"crop.png", "crop-alpha.png", "crop.jpg", "crop.tif", "crop.bmp"}) {
        const int channels = std::strstr(name, "alpha") ? 4 : 3;
        const std::vector<uint8_t> pixels = crop(300, 150, 32, 24, channels);
        const std::string path = corpus + "/image_read/" + name;
        auto out = OIIO::ImageOutput::create(path);
        OIIO::ImageSpec s(32, 24, channels, OIIO::TypeDesc::UINT8);
        if (!out || !out->open(path, s) || !out->write_image(OIIO::TypeDesc::UINT8, pixels.data())) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        out->close();
    }
    return 0;
}
