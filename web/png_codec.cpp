#include "web/png_codec.h"

#include <cstring>

// Only the PNG decoder is compiled in; the module reads no files.
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace {

uint32_t BigEndian(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

struct PngHeader {
    uint32_t width, height;
    uint8_t depth, colourType;
    bool transparentColour; // a tRNS chunk before the image data
};

// Reads the header and looks for a tRNS chunk before the first IDAT: with
// one, the file's reader in the command line gives an alpha channel, whatever
// the colour type.
bool ReadHeader(const uint8_t* data, size_t size, PngHeader& h, std::string& error)
{
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (size < 33 || std::memcmp(data, kSignature, 8) != 0 || std::memcmp(data + 12, "IHDR", 4) != 0) {
        error = "not a PNG file";
        return false;
    }
    h.width = BigEndian(data + 16);
    h.height = BigEndian(data + 20);
    h.depth = data[24];
    h.colourType = data[25];
    h.transparentColour = false;
    for (size_t at = 8; at + 8 <= size;) {
        const uint32_t length = BigEndian(data + at);
        const uint8_t* type = data + at + 4;
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0)
            break;
        if (std::memcmp(type, "tRNS", 4) == 0)
            h.transparentColour = true;
        if (length > size - at - 8)
            break; // truncated: the decoder reports it
        at += size_t(length) + 12;
    }
    return true;
}

} // namespace

bool DecodePng(const uint8_t* data, size_t size, Pixels& image, std::string& error)
{
    PngHeader h;
    if (!ReadHeader(data, size, h, error))
        return false;
    if (h.width == 0 || h.height == 0) {
        error = "empty image";
        return false;
    }
    if (h.width > 32767 || h.height > 32767) {
        error = "images up to 32767 x 32767 pixels are supported";
        return false;
    }
    if (int64_t(h.width) * h.height > kMaxPngPixels) {
        error = "the image has " + std::to_string(h.width) + " x " + std::to_string(h.height) +
                " pixels, more than the " + std::to_string(kMaxPngPixels) + " allowed";
        return false;
    }
    const bool alpha = (h.colourType & 4) != 0 || h.transparentColour;
    const int channels = alpha ? 4 : 3;
    const int length = size > size_t(INT32_MAX) ? INT32_MAX : static_cast<int>(size);
    int width = 0, height = 0, inFile = 0;
    const size_t count = size_t(h.width) * h.height * channels;
    if (h.depth == 16) {
        stbi_us* wide = stbi_load_16_from_memory(data, length, &width, &height, &inFile, channels);
        if (!wide) {
            error = std::string("cannot decode the PNG: ") + stbi_failure_reason();
            return false;
        }
        // Rounded to the nearest 8-bit value, as the command line's reader does.
        image.bytes.resize(count);
        for (size_t i = 0; i < count; ++i)
            image.bytes[i] = static_cast<uint8_t>((uint32_t(wide[i]) * 255 + 32767) / 65535);
        stbi_image_free(wide);
    } else {
        stbi_uc* narrow = stbi_load_from_memory(data, length, &width, &height, &inFile, channels);
        if (!narrow) {
            error = std::string("cannot decode the PNG: ") + stbi_failure_reason();
            return false;
        }
        image.bytes.assign(narrow, narrow + count);
        stbi_image_free(narrow);
    }
    image.width = width;
    image.height = height;
    image.channels = channels;
    return true;
}

void FilterPngRows(const uint8_t* pixels, int32_t width, int32_t channels, int32_t first,
                   int32_t count, uint8_t* out)
{
    const size_t rowBytes = size_t(width) * channels;
    for (int32_t y = first; y < first + count; ++y) {
        const uint8_t* row = pixels + size_t(y) * rowBytes;
        const uint8_t* above = y > 0 ? row - rowBytes : nullptr;
        *out++ = 3; // Average: each byte less the mean of its left and upper neighbours
        for (size_t i = 0; i < rowBytes; ++i) {
            const unsigned left = i >= size_t(channels) ? row[i - channels] : 0;
            const unsigned up = above ? above[i] : 0;
            *out++ = static_cast<uint8_t>(row[i] - ((left + up) >> 1));
        }
    }
}
