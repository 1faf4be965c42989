// PNG input and output for velkhost (stb_image / stb_image_write).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Interleaved 8-bit pixels, rows of width * channels bytes.
struct Image {
    int width = 0, height = 0, channels = 0;
    std::vector<uint8_t> pixels;
};

// Reads an image file (UTF-8 path) with the given channel count: 1 grey,
// 3 RGB, 4 RGBA. channels 0 keeps RGB or RGBA as the file has it (grey files
// become RGB, grey with alpha RGBA). False with `error` set on failure.
bool ReadImage(const std::string& path, int channels, Image& image, std::string& error);

// Reads a mask: the first channel of the file, whatever its channel count.
bool ReadMask(const std::string& path, Image& mask, std::string& error);

bool WritePng(const std::string& path, const Image& image);
