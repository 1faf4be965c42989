// Reading images for the command line tool: any format OpenImageIO knows,
// into 8-bit interleaved RGB or RGBA as the picture is meant to be seen.
// What cannot be represented that way is refused rather than guessed. The
// decoders live in the image library (image_library.h), loaded by the first
// read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/velk/image_write.h"

struct Image {
    int32_t width = 0;
    int32_t height = 0;
    int32_t channels = 0;        // 3 (RGB) or 4 (RGBA)
    std::vector<uint8_t> pixels; // rows of width * channels bytes
    ImageMetadata spec;          // the file's metadata, to carry to the output
    int32_t pages = 1;           // pages or frames in the file
    std::vector<std::string> warnings;
};

// Images of up to this many pixels are read unless the user allows more.
constexpr int64_t kDefaultMaxPixels = 100000000;

struct ReadOptions {
    int32_t page = 0; // the page or frame to read, from 1; 0: the file must have only one
    int64_t maxPixels = kDefaultMaxPixels;
};

// Reads an image: a regular file of grey, grey and alpha, RGB, RGBA or CMYK
// (converted to RGB) pixels; 16-bit and float data are converted to 8 bits.
// Alpha is only a channel the file names as alpha. The Orientation tag is
// applied, and set to 1 in image.spec; an ICC profile stays in image.spec
// only when it describes RGB pixels (else a warning says it is left out).
// The declared size is checked against maxPixels before anything is
// allocated. False with a one-line message on error.
bool ReadImage(const std::string& path, const ReadOptions& options, Image& image,
               std::string& error);

// Reads a selection mask of the given size: its alpha channel when it has
// one, else its luminance (grey as it is).
bool ReadMask(const std::string& path, int64_t maxPixels, int32_t width, int32_t height,
              std::vector<uint8_t>& mask, std::string& error);

// True when path is an existing regular file (not a device, pipe or folder).
bool IsRegularFile(const std::string& path, const std::string& what, std::string& error);
