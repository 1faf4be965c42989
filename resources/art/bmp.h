// File formats written by the art generator: Windows bitmaps (24-bit, or
// 4/8-bit with a palette), monochrome cursors, and plain file output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "resources/art/canvas.h"

namespace art {

using Bytes = std::vector<uint8_t>;

// 24-bit bottom-up bitmap with a 40-byte info header.
Bytes EncodeBmp24(const Picture& p);

// 4- or 8-bit bitmap. Every pixel must be a palette colour; otherwise the
// result is empty.
Bytes EncodeBmpIndexed(const Picture& p, const std::vector<Pixel>& palette, int bits);

// The distinct colours of a picture, sorted by (r, g, b).
std::vector<Pixel> ColoursOf(const Picture& p);

// Rounds every channel to coarser steps (1, 2, 4, ...) until the picture has
// at most `maxColours` colours; white stays white.
Picture ReduceColours(const Picture& p, size_t maxColours);

// Maps every pixel to the nearest colour of `palette` (first on ties).
Picture MapToPalette(const Picture& p, const std::vector<Pixel>& palette);

// Cursor file with one 32 x 32 monochrome image. Rows of 32 characters, top
// first: '#' black, 'o' white, anything else transparent.
Bytes EncodeCursor(const std::vector<std::string>& rows, int hotX, int hotY);

bool WriteFile(const std::string& path, const Bytes& data);

} // namespace art
