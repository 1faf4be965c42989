// A contact sheet: pictures side by side in a grid, each with its name
// beneath, on a light background.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SheetEntry {
    std::string label;
    int32_t width, height, channels;
    const uint8_t* pixels; // null: an empty cell
};

struct Sheet {
    int32_t width = 0, height = 0; // RGB, rows of width * 3 bytes
    std::vector<uint8_t> pixels;
};

// Thumbnails are scaled to thumbWidth (keeping the aspect ratio) with an
// area filter; transparent pixels show over a grey checkerboard.
Sheet MakeContactSheet(const std::string& title, const std::vector<SheetEntry>& entries,
                       int32_t columns, int32_t thumbWidth);

// Draws text with a small built-in pixel font, `scale` pixels per font dot.
void DrawText(Sheet& sheet, int32_t x, int32_t y, const std::string& text, int32_t scale,
              const uint8_t rgb[3]);
