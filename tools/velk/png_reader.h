// PNG files read by the tool itself (libspng), without the image library:
// a PNG to PNG run never loads OpenImageIO's 260 shared objects. The pixels
// are those the image library gives for the same file: grey becomes RGB,
// low bit depths are scaled, 16-bit samples are rounded to 8 bits, a
// transparent colour (tRNS) becomes an alpha channel, an Exif orientation is
// applied. The chunks that describe the picture rather than its encoding
// (colour profile, colour space, resolution, Exif, text, time) are kept to be
// written with the output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/velk/image_file.h"

// True when the file's first bytes are the PNG signature.
bool HasPngSignature(const uint8_t* bytes, size_t size);

// Decodes the PNG file of `size` bytes at `file` (named path in messages)
// into image (pixels, size, channels, warnings; image.spec gets the kept
// chunks). False with a one-line message.
bool DecodePng(const std::string& path, const uint8_t* file, size_t size, const ReadOptions& options,
               Image& image, std::string& error);

// The Exif orientation (1..8) in an eXIf chunk's data, 1 when it has none.
int ExifOrientation(const uint8_t* exif, size_t size);
// Sets the orientation in an eXIf chunk's data to 1 (upright), where it has one.
void ClearExifOrientation(uint8_t* exif, size_t size);
