// Writing images: the formats the tool writes, and a write that either
// completes or leaves the existing output as it was.
#pragma once

#include <OpenImageIO/imageio.h>

#include <cstdint>
#include <string>

// The PNG zlib level unless the user asks for another: about ten times
// faster than zlib's default on a photograph, for a file some 8% larger.
constexpr int kDefaultPngLevel = 1;

// True when the path's extension names a format the tool writes: image
// formats whose encoder hands over the encoded bytes, so that every write
// error is seen, and that hold colour (no .pgm or .pbm).
bool CanWriteImage(const std::string& path, std::string& error);

// Writes 8-bit pixels (3 or 4 channels) to path, carrying the metadata of
// `like` (ICC profile, Exif and other attributes) but not that of the input's
// encoding. The image is encoded in memory and replaces the file only when
// complete (see output_file.h); a symbolic link is written through. A format
// without alpha gets the colour channels only. pngLevel is the zlib level of
// a PNG, 0..9: below 6 every row is filtered with the Average filter (fast,
// and on photographs nearly as small as choosing a filter row by row); from
// 6 on libpng chooses each row's filter.
bool WriteImage(const std::string& path, int32_t width, int32_t height, int32_t channels,
                const uint8_t* pixels, const OIIO::ImageSpec& like, std::string& error,
                int pngLevel = kDefaultPngLevel);
