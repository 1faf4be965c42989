// PNG inputs, read by the tool itself: every kind of PNG renders as the same
// pixels read by OpenImageIO (the image library's reader) render, and the
// metadata a PNG carries reaches the output.
#include <gtest/gtest.h>

#include <OpenImageIO/imageio.h>
#include <zlib.h>

#include <cstring>
#include <functional>
#include <utility>

#include "tests/cli/cli_run.h"

namespace {

void PutBigEndian(std::string& out, uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        out.push_back(char(v >> s));
}

void Chunk(std::string& png, const char* type, const std::string& data)
{
    PutBigEndian(png, uint32_t(data.size()));
    const std::string body = type + data;
    png += body;
    PutBigEndian(png, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(body.data()), uInt(body.size()))));
}

// A PNG of any kind, written chunk by chunk: sample(x, y, c) gives each
// sample at the bit depth; extra chunks go before the image data. Adam7
// files hold their seven passes one after the other.
struct PngKind {
    PngKind(std::string n, int type, int bits, bool adam7 = false, std::string chunks = "")
        : name(std::move(n)), colourType(type), depth(bits), interlaced(adam7), extra(std::move(chunks))
    {
    }
    std::string name;
    int colourType, depth;
    bool interlaced;
    std::string extra; // complete chunks (PLTE, tRNS, ...)
};

std::string MakePng(const PngKind& k, int w, int h, const std::function<uint32_t(int, int, int)>& sample)
{
    const int samples = k.colourType == 2 ? 3 : k.colourType == 4 ? 2 : k.colourType == 6 ? 4 : 1;
    std::string raw;
    auto rows = [&](int x0, int y0, int dx, int dy) {
        for (int y = y0; y < h; y += dy) {
            std::string row(1, '\0');
            uint32_t bits = 0;
            int count = 0;
            for (int x = x0; x < w; x += dx)
                for (int c = 0; c < samples; ++c) {
                    const uint32_t v = sample(x, y, c);
                    if (k.depth == 16) {
                        row.push_back(char(v >> 8));
                        row.push_back(char(v));
                        continue;
                    }
                    bits = bits << k.depth | v;
                    count += k.depth;
                    if (count == 8) {
                        row.push_back(char(bits));
                        bits = 0;
                        count = 0;
                    }
                }
            if (count > 0)
                row.push_back(char(bits << (8 - count)));
            if (row.size() > 1)
                raw += row;
        }
    };
    if (k.interlaced) {
        const int pass[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
        for (const auto& p : pass)
            rows(p[0], p[1], p[2], p[3]);
    } else {
        rows(0, 0, 1, 1);
    }
    std::string png("\x89PNG\r\n\x1A\n", 8), ihdr;
    PutBigEndian(ihdr, uint32_t(w));
    PutBigEndian(ihdr, uint32_t(h));
    ihdr += {char(k.depth), char(k.colourType), 0, 0, char(k.interlaced ? 1 : 0)};
    Chunk(png, "IHDR", ihdr);
    png += k.extra;
    std::string z(compressBound(uLong(raw.size())), '\0');
    uLongf zSize = uLongf(z.size());
    compress(reinterpret_cast<Bytef*>(&z[0]), &zSize, reinterpret_cast<const Bytef*>(raw.data()), uLong(raw.size()));
    Chunk(png, "IDAT", z.substr(0, zSize));
    Chunk(png, "IEND", "");
    return png;
}

std::string Chunked(const char* type, const std::string& data)
{
    std::string c;
    Chunk(c, type, data);
    return c;
}

// What OpenImageIO reads, as the image library lays it out: RGB or RGBA.
Pixels ReadThroughOiio(const std::string& path)
{
    Pixels p;
    OIIO::ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1); // colours as stored, as the library reads them
    auto in = OIIO::ImageInput::open(path, &config);
    if (!in)
        return p;
    const OIIO::ImageSpec& s = in->spec();
    std::vector<uint8_t> data(size_t(s.width) * s.height * s.nchannels);
    in->read_image(0, 0, 0, s.nchannels, OIIO::TypeDesc::UINT8, data.data());
    const bool alpha = s.nchannels == 2 || s.nchannels == 4;
    p = {s.width, s.height, alpha ? 4 : 3, {}};
    for (size_t i = 0; i < size_t(s.width) * s.height; ++i) {
        const uint8_t* d = &data[i * s.nchannels];
        const bool grey = s.nchannels < 3;
        p.data.insert(p.data.end(), {d[0], d[grey ? 0 : 1], d[grey ? 0 : 2]});
        if (alpha)
            p.data.push_back(d[s.nchannels - 1]);
    }
    return p;
}

TEST(CliPngRead, EveryKindRendersAsTheImageLibraryReadsIt)
{
    const std::string folder = TestFolder("png-kinds");
    const int w = 37, h = 23; // rows that end mid-byte, passes of every size
    std::string palette, alphas;
    for (int i = 0; i < 256; ++i) {
        palette += {char(i), char(255 - i), char(i * 7)};
        alphas.push_back(char(i * 3));
    }
    const std::vector<PngKind> kinds = {
        {"grey1", 0, 1}, {"grey2", 0, 2}, {"grey4", 0, 4}, {"grey8", 0, 8}, {"grey16", 0, 16},
        {"grey8-trns", 0, 8, false, Chunked("tRNS", std::string("\0\x05", 2))},
        {"grey16-trns", 0, 16, false, Chunked("tRNS", std::string("\x01\x05", 2))},
        {"greyalpha8", 4, 8}, {"greyalpha16", 4, 16}, {"rgb8", 2, 8}, {"rgb16", 2, 16},
        {"rgb8-trns", 2, 8, false, Chunked("tRNS", std::string("\0\x05\0\x0a\0\x0f", 6))},
        {"rgba8", 6, 8}, {"rgba16", 6, 16},
        {"palette1", 3, 1, false, Chunked("PLTE", palette.substr(0, 6))},
        {"palette4", 3, 4, false, Chunked("PLTE", palette.substr(0, 48))},
        {"palette8-trns", 3, 8, false, Chunked("PLTE", palette) + Chunked("tRNS", alphas.substr(0, 100))},
        {"rgb8-adam7", 2, 8, true}, {"rgba16-adam7", 6, 16, true}, {"grey2-adam7", 0, 2, true}};
    for (const PngKind& k : kinds) {
        SCOPED_TRACE(k.name);
        const uint32_t top = k.depth == 16 ? 65535 : (1u << k.depth) - 1;
        const std::string png = MakePng(k, w, h, [&](int x, int y, int c) {
            if (k.colourType == 3)
                return uint32_t(x * 5 + y * 3) % (top + 1);
            // Some samples hit the transparent colours (5, 10, 15).
            if ((x + y) % 7 == 0)
                return k.depth == 16 ? 0x0105u : uint32_t(5 * (c + 1)) % (top + 1);
            return uint32_t(x * 977 + y * 631 + c * 4099) * 2654435761u % (top + 1);
        });
        const std::string path = folder + "/" + k.name + ".png";
        WriteFile(path, png);
        const Pixels expected = ReadThroughOiio(path);
        ASSERT_EQ(expected.width, w);
        WritePixels(folder + "/reference.tif", expected);
        const RunResult mine = RunVelk({"apply", "velk3d", path, folder + "/mine.png"});
        ASSERT_EQ(mine.exitCode, 0) << mine.err;
        const RunResult theirs = RunVelk({"apply", "velk3d", folder + "/reference.tif", folder + "/theirs.png"});
        ASSERT_EQ(theirs.exitCode, 0) << theirs.err;
        const Pixels a = ReadPixels(folder + "/mine.png"), b = ReadPixels(folder + "/theirs.png");
        EXPECT_EQ(a.channels, expected.channels);
        EXPECT_TRUE(a.data == b.data);
    }
}

TEST(CliPngRead, OrientationProfileAndTextReachTheOutput)
{
    const std::string folder = TestFolder("png-metadata");
    // Exif (big-endian TIFF) with Orientation 6: turned a quarter clockwise.
    const std::string exif("MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0", 26);
    const std::string text = Chunked("tEXt", std::string("Description\0harbour at dawn", 27));
    std::string damaged = Chunked("tEXt", std::string("Author\0nobody", 13));
    damaged.back() ^= 1; // its CRC no longer matches: not carried
    const PngKind k{"turned", 2, 8, false, Chunked("eXIf", exif) + text + damaged};
    const std::string png = MakePng(k, 30, 20, [](int x, int y, int c) { return uint32_t(x * 8 + y * 3 + c * 40) & 255; });
    WriteFile(folder + "/in.png", png);
    const RunResult r = RunVelk({"apply", "velk3d", folder + "/in.png", folder + "/out.png"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto in = OIIO::ImageInput::open(folder + "/out.png");
    ASSERT_TRUE(in);
    EXPECT_EQ(in->spec().width, 20); // upright
    EXPECT_EQ(in->spec().height, 30);
    EXPECT_EQ(in->spec().get_int_attribute("Orientation", 1), 1); // and said so
    EXPECT_EQ(in->spec().get_string_attribute("ImageDescription"), "harbour at dawn");
    EXPECT_EQ(ReadFile(folder + "/out.png").find("nobody"), std::string::npos);
    // A JPEG output takes the same metadata through the image library.
    ASSERT_EQ(RunVelk({"apply", "velk3d", folder + "/in.png", folder + "/out.jpg"}).exitCode, 0);
    auto jpeg = OIIO::ImageInput::open(folder + "/out.jpg");
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->spec().width, 20);
    EXPECT_EQ(jpeg->spec().get_int_attribute("Orientation", 1), 1);
    EXPECT_EQ(jpeg->spec().get_string_attribute("ImageDescription"), "harbour at dawn");
}

} // namespace
