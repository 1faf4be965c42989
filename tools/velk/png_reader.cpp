#include "tools/velk/png_reader.h"

#include <libdeflate.h>
#include <spng.h>

#include <cstring>
#include <memory>
#include <vector>

#include "tools/velk/orientation.h"
#include "tools/velk/png_chunks.h"

namespace {

// Where an Exif orientation is: the value's two bytes, and the byte order.
struct OrientationEntry {
    size_t at = 0;
    bool bigEndian = false;
    bool found = false;
};

// Finds the Orientation tag (0x0112, one SHORT) in IFD0 of an Exif blob: a
// TIFF header, optionally after "Exif\0\0".
OrientationEntry FindOrientation(const uint8_t* exif, size_t size)
{
    OrientationEntry e;
    size_t base = 0;
    if (size >= 6 && std::memcmp(exif, "Exif\0\0", 6) == 0)
        base = 6;
    if (size < base + 8)
        return e;
    const uint8_t* t = exif + base;
    const size_t n = size - base;
    if (std::memcmp(t, "MM\0*", 4) == 0)
        e.bigEndian = true;
    else if (std::memcmp(t, "II*\0", 4) != 0)
        return e;
    auto u16 = [&](size_t at) {
        return e.bigEndian ? uint32_t(t[at]) << 8 | t[at + 1] : uint32_t(t[at + 1]) << 8 | t[at];
    };
    auto u32 = [&](size_t at) {
        return e.bigEndian ? uint32_t(u16(at)) << 16 | u16(at + 2) : uint32_t(u16(at + 2)) << 16 | u16(at);
    };
    const size_t ifd = u32(4);
    if (ifd > n || n - ifd < 2)
        return e;
    const size_t entries = u16(ifd);
    for (size_t i = 0; i < entries; ++i) {
        const size_t at = ifd + 2 + 12 * i;
        if (at > n || n - at < 12)
            break;
        if (u16(at) == 0x0112 && u16(at + 2) == 3 && u32(at + 4) == 1) {
            e.at = base + at + 8;
            e.found = true;
            break;
        }
    }
    return e;
}

bool IsKept(const char type[4])
{
    // Chunks about the picture. The others describe the encoding (palette,
    // transparency, significant bits, background, histogram) or are unknown.
    static const char* const kKept[] = {"iCCP", "sRGB", "gAMA", "cHRM", "cICP", "pHYs",
                                        "eXIf", "tEXt", "zTXt", "iTXt", "tIME"};
    for (const char* k : kKept)
        if (std::memcmp(type, k, 4) == 0)
            return true;
    return false;
}

// The colour profile's colour space ("RGB ", "GRAY", ...), or "" when the
// profile cannot be read.
std::string ProfileSpace(spng_ctx* ctx)
{
    spng_iccp iccp{};
    if (spng_get_iccp(ctx, &iccp) != 0 || iccp.profile_len < 20)
        return "";
    return std::string(iccp.profile + 16, 4);
}

std::string Strip(std::string s)
{
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

// Collects the kept chunks from the file's bytes (the decoder has checked
// them). The orientation of an Exif chunk becomes upright, as the pixels
// are; a colour profile that does not describe RGB pixels is left out.
PngChunks KeptChunks(const std::string& path, const uint8_t* file, size_t size, spng_ctx* ctx, bool grey,
                     Image& image)
{
    PngChunks chunks;
    ForEachPngChunk(file, size, [&](const PngChunk& c) {
        // A damaged chunk (its CRC does not match) is not carried on.
        if (!IsKept(reinterpret_cast<const char*>(c.start + 4)) ||
            libdeflate_crc32(0, c.start + 4, 4 + c.length) != PngBigEndian(c.start + 8 + c.length))
            return;
        if (c.Is("iCCP")) {
            const std::string space = ProfileSpace(ctx);
            if (space != "RGB " || grey) {
                image.warnings.push_back(path + ": its colour profile (" +
                                         (space.empty() ? "unreadable" : Strip(space)) +
                                         ") does not describe RGB pixels and is left out");
                return;
            }
        }
        std::vector<uint8_t>& into = c.afterImage ? chunks.afterImage : chunks.beforeImage;
        const size_t start = into.size();
        into.insert(into.end(), c.start, c.start + 12 + c.length);
        if (c.Is("eXIf")) {
            ClearExifOrientation(&into[start + 8], c.length);
            const uint32_t crc = static_cast<uint32_t>(libdeflate_crc32(0, &into[start + 4], 4 + c.length));
            for (int i = 0; i < 4; ++i)
                into[start + 8 + c.length + static_cast<size_t>(i)] = static_cast<uint8_t>(crc >> (24 - 8 * i));
        }
    });
    return chunks;
}

// 16-bit samples to 8 bits, rounded as the image library rounds them.
uint8_t To8(uint16_t v)
{
    return static_cast<uint8_t>((uint32_t(v) * 255 + 32767) / 65535);
}

} // namespace

bool HasPngSignature(const uint8_t* bytes, size_t size)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return size >= 8 && std::memcmp(bytes, kSignature, 8) == 0;
}

int ExifOrientation(const uint8_t* exif, size_t size)
{
    const OrientationEntry e = FindOrientation(exif, size);
    if (!e.found)
        return 1;
    const uint32_t v = e.bigEndian ? uint32_t(exif[e.at]) << 8 | exif[e.at + 1]
                                   : uint32_t(exif[e.at + 1]) << 8 | exif[e.at];
    return v >= 1 && v <= 8 ? static_cast<int>(v) : 1;
}

void ClearExifOrientation(uint8_t* exif, size_t size)
{
    const OrientationEntry e = FindOrientation(exif, size);
    if (!e.found)
        return;
    exif[e.at] = e.bigEndian ? 0 : 1;
    exif[e.at + 1] = e.bigEndian ? 1 : 0;
}

bool DecodePng(const std::string& path, const uint8_t* file, size_t size, const ReadOptions& options,
               Image& image, std::string& error)
{
    const std::unique_ptr<spng_ctx, void (*)(spng_ctx*)> owner(spng_ctx_new(0), spng_ctx_free);
    spng_ctx* ctx = owner.get();
    auto failed = [&](int code) {
        error = "cannot read " + path + ": not a readable PNG file (" + spng_strerror(code) + ")";
        return false;
    };
    if (!ctx) {
        error = "cannot read " + path + ": out of memory";
        return false;
    }
    // Ancillary chunks of any size are refused past these: a text chunk
    // cannot ask for gigabytes.
    spng_set_chunk_limits(ctx, size_t(64) << 20, size_t(256) << 20);
    spng_set_png_buffer(ctx, file, size);
    spng_ihdr ihdr{};
    if (const int code = spng_get_ihdr(ctx, &ihdr))
        return failed(code);
    image.pages = 1;
    if (options.page > 1) {
        error = path + " has no page " + std::to_string(options.page) + " (it has 1)";
        return false;
    }
    if (ihdr.width > 32767 || ihdr.height > 32767) {
        error = path + ": images up to 32767 x 32767 pixels are supported";
        return false;
    }
    if (int64_t(ihdr.width) * ihdr.height > options.maxPixels) {
        error = path + " declares " + std::to_string(ihdr.width) + " x " + std::to_string(ihdr.height) +
                " pixels, more than the " + std::to_string(options.maxPixels) + " allowed (see --max-pixels)";
        return false;
    }
    spng_trns trns{};
    const bool alpha = ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA ||
                       ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA || spng_get_trns(ctx, &trns) == 0;
    image.width = static_cast<int32_t>(ihdr.width);
    image.height = static_cast<int32_t>(ihdr.height);
    image.channels = alpha ? 4 : 3;
    const size_t count = size_t(ihdr.width) * ihdr.height;
    image.pixels.assign(count * static_cast<size_t>(image.channels), 0);
    if (ihdr.bit_depth <= 8) {
        const int format = alpha ? SPNG_FMT_RGBA8 : SPNG_FMT_RGB8;
        if (const int code = spng_decode_image(ctx, image.pixels.data(), image.pixels.size(), format, SPNG_DECODE_TRNS))
            return failed(code);
    } else {
        // 16 bits: rounded to 8, a row at a time so that no 16-bit copy of
        // the image is held (interlaced files, rare, come whole).
        const size_t channels = static_cast<size_t>(image.channels);
        auto round = [&](const uint16_t* wide, size_t pixels, uint8_t* out) {
            for (size_t x = 0; x < pixels; ++x)
                for (size_t k = 0; k < channels; ++k)
                    out[x * channels + k] = To8(wide[x * 4 + k]);
        };
        std::vector<uint16_t> wide;
        if (ihdr.interlace_method != 0) {
            size_t length = 0;
            if (const int code = spng_decoded_image_size(ctx, SPNG_FMT_RGBA16, &length))
                return failed(code);
            wide.resize(length / 2);
            if (const int code = spng_decode_image(ctx, wide.data(), length, SPNG_FMT_RGBA16, SPNG_DECODE_TRNS))
                return failed(code);
            round(wide.data(), count, image.pixels.data());
        } else {
            if (const int code = spng_decode_image(ctx, nullptr, 0, SPNG_FMT_RGBA16,
                                                   SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE))
                return failed(code);
            wide.resize(size_t(ihdr.width) * 4);
            for (uint32_t y = 0; y < ihdr.height; ++y) {
                const int code = spng_decode_row(ctx, wide.data(), wide.size() * 2);
                if (code != 0 && !(code == SPNG_EOI && y + 1 == ihdr.height))
                    return failed(code);
                round(wide.data(), ihdr.width, &image.pixels[size_t(y) * ihdr.width * channels]);
            }
        }
    }
    const bool grey = ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE || ihdr.color_type == SPNG_COLOR_TYPE_GRAYSCALE_ALPHA;
    PngChunks chunks = KeptChunks(path, file, size, ctx, grey, image);
    spng_exif exif{};
    if (spng_get_exif(ctx, &exif) == 0)
        Reorient(ExifOrientation(reinterpret_cast<const uint8_t*>(exif.data), exif.length), image.width,
                 image.height, image.channels, image.pixels);
    image.spec = ImageMetadata(std::move(chunks));
    return true;
}
