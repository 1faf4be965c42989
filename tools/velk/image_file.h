// Image files for the command line tool: read any format OpenImageIO knows
// into 8-bit interleaved RGB or RGBA, and write results through a temporary
// file that is renamed into place, keeping the input's ICC profile and
// metadata.
#pragma once

#include <OpenImageIO/imageio.h>

#include <cstdint>
#include <string>
#include <vector>

struct Image {
    int32_t width = 0;
    int32_t height = 0;
    int32_t channels = 0;        // 3 (RGB) or 4 (RGBA)
    std::vector<uint8_t> pixels; // rows of width * channels bytes
    OIIO::ImageSpec spec;        // the file's metadata, carried to the output
};

// Reads an image as 8-bit RGB or RGBA (greyscale becomes RGB, grey with alpha
// RGBA; 16-bit and float data are converted). False with a message on error.
bool ReadImage(const std::string& path, Image& image, std::string& error);

// Reads a selection mask: one byte a pixel (the first channel), which must
// have the given size.
bool ReadMask(const std::string& path, int32_t width, int32_t height,
              std::vector<uint8_t>& mask, std::string& error);

// True when OpenImageIO can write the format the path's extension names.
bool CanWriteImage(const std::string& path, std::string& error);

// Writes 8-bit pixels (3 or 4 channels) to path, carrying the metadata of
// `like` (ICC profile, Exif and other attributes). The file appears only when
// complete: it is written under a temporary name in the same folder and then
// renamed. A format without alpha gets the colour channels only.
bool WriteImage(const std::string& path, int32_t width, int32_t height, int32_t channels,
                const uint8_t* pixels, const OIIO::ImageSpec& like, std::string& error);
