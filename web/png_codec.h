// PNG files in the browser module: decoded to the 8-bit RGB or RGBA pixels
// the command line reads from the same file, and encoded from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Pixels {
    int32_t width = 0;
    int32_t height = 0;
    int32_t channels = 0;        // 3 (RGB) or 4 (RGBA)
    std::vector<uint8_t> bytes; // rows of width * channels bytes
};

// Images of up to this many pixels, and sides of up to 32767, are read, as
// the command line reads them by default.
constexpr int64_t kMaxPngPixels = 100000000;

// Decodes a PNG of any bit depth and colour type. Grey becomes RGB; an alpha
// channel or a transparent colour (tRNS) becomes alpha; 16-bit samples are
// rounded to 8 bits. False with a one-line message.
bool DecodePng(const uint8_t* data, size_t size, Pixels& image, std::string& error);

// The image data of a PNG, before compression: rows first..first+count-1
// of 8-bit RGB or RGBA pixels, each behind its filter byte. Every row uses
// the Average filter, as the command line's fast levels do: cheap, and on
// photographs nearly as small as choosing a filter row by row. The page
// compresses these bytes with the browser's own zlib, many times faster than
// a deflate compiled into the module.
void FilterPngRows(const uint8_t* pixels, int32_t width, int32_t channels, int32_t first,
                   int32_t count, uint8_t* out);
