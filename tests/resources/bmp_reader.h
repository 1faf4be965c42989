// A small reader of the committed art, written apart from the generator's
// writer: uncompressed 4-, 8- and 24-bit bitmaps and one-image cursor files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb8 {
    int r, g, b;
    bool operator==(const Rgb8& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb8& o) const { return !(*this == o); }
    bool White() const { return r == 255 && g == 255 && b == 255; }
    int Luma() const { return (299 * r + 587 * g + 114 * b) / 1000; }
};

struct Bitmap {
    bool ok = false;
    int width = 0, height = 0, bits = 0;
    int paletteSize = 0;
    std::vector<Rgb8> pixels; // top row first
    const Rgb8& At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

struct CursorFile {
    bool ok = false;
    int type = 0, count = 0, width = 0, height = 0, hotX = 0, hotY = 0;
    int dibHeight = 0, dibBits = 0;
    // 32 x 32, top row first: 'T' transparent, 'B' black, 'W' white, 'I' inverted.
    std::vector<std::string> rows;
};

std::vector<uint8_t> ReadAll(const std::string& path);
Bitmap ReadBitmap(const std::string& path);
CursorFile ReadCursor(const std::string& path);
