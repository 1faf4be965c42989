#include "tools/velk/contact_sheet.h"

#include <algorithm>
#include <cmath>
#include <vector>

#define STB_EASY_FONT_IMPLEMENTATION
#include <stb/stb_easy_font.h>

namespace {

const int32_t kMargin = 16;
const int32_t kLabelHeight = 30;
const int32_t kTitleHeight = 40;

// Area-average reduction of one thumbnail pixel, composited over a
// checkerboard where the source is transparent.
void ScaleInto(Sheet& sheet, int32_t left, int32_t top, int32_t tw, int32_t th,
               const SheetEntry& e)
{
    for (int32_t y = 0; y < th; ++y) {
        const int32_t y0 = int32_t(int64_t(y) * e.height / th);
        const int32_t y1 = std::max(y0 + 1, int32_t(int64_t(y + 1) * e.height / th));
        for (int32_t x = 0; x < tw; ++x) {
            const int32_t x0 = int32_t(int64_t(x) * e.width / tw);
            const int32_t x1 = std::max(x0 + 1, int32_t(int64_t(x + 1) * e.width / tw));
            double sum[4] = {0, 0, 0, 0};
            for (int32_t sy = y0; sy < y1; ++sy)
                for (int32_t sx = x0; sx < x1; ++sx) {
                    const uint8_t* p = e.pixels + (size_t(sy) * e.width + sx) * e.channels;
                    const double a = e.channels == 4 ? p[3] / 255.0 : 1.0;
                    for (int k = 0; k < 3; ++k)
                        sum[k] += p[k] * a;
                    sum[3] += a;
                }
            const double n = double(y1 - y0) * (x1 - x0);
            const double alpha = sum[3] / n;
            const uint8_t checker = ((x / 8 + y / 8) & 1) ? 204 : 255;
            uint8_t* d = &sheet.pixels[(size_t(top + y) * sheet.width + left + x) * 3];
            for (int k = 0; k < 3; ++k)
                d[k] = uint8_t(std::lround(sum[k] / n + (1.0 - alpha) * checker));
        }
    }
}

} // namespace

void DrawText(Sheet& sheet, int32_t x, int32_t y, const std::string& text, int32_t scale,
              const uint8_t rgb[3])
{
    std::vector<char> chars(text.begin(), text.end());
    chars.push_back('\0');
    std::vector<float> vertices(chars.size() * 270 + 64); // about 270 bytes a character
    const int quads = stb_easy_font_print(0, 0, chars.data(), nullptr, vertices.data(),
                                          int(vertices.size() * sizeof(float)));
    for (int q = 0; q < quads; ++q) {
        const float* v = &vertices[size_t(q) * 16]; // four vertices of x, y, z, colour
        const int32_t qx0 = x + int32_t(v[0] * scale), qy0 = y + int32_t(v[1] * scale);
        const int32_t qx1 = x + int32_t(v[8] * scale), qy1 = y + int32_t(v[9] * scale);
        for (int32_t py = std::max(qy0, 0); py < std::min(qy1, sheet.height); ++py)
            for (int32_t px = std::max(qx0, 0); px < std::min(qx1, sheet.width); ++px) {
                uint8_t* d = &sheet.pixels[(size_t(py) * sheet.width + px) * 3];
                d[0] = rgb[0];
                d[1] = rgb[1];
                d[2] = rgb[2];
            }
    }
}

Sheet MakeContactSheet(const std::string& title, const std::vector<SheetEntry>& entries,
                       int32_t columns, int32_t thumbWidth)
{
    int32_t thumbHeight = 0;
    for (const SheetEntry& e : entries)
        if (e.pixels)
            thumbHeight = std::max(thumbHeight, int32_t(int64_t(e.height) * thumbWidth / e.width));
    const int32_t rows = (int32_t(entries.size()) + columns - 1) / columns;
    const int32_t cellW = thumbWidth + kMargin, cellH = thumbHeight + kLabelHeight + kMargin;

    Sheet sheet;
    sheet.width = kMargin + columns * cellW;
    sheet.height = kTitleHeight + kMargin + rows * cellH;
    sheet.pixels.assign(size_t(sheet.width) * sheet.height * 3, 242);
    const uint8_t ink[3] = {40, 40, 40};
    DrawText(sheet, kMargin, kMargin, title, 3, ink);

    for (size_t i = 0; i < entries.size(); ++i) {
        const SheetEntry& e = entries[i];
        if (!e.pixels)
            continue; // an empty cell
        const int32_t left = kMargin + int32_t(i % columns) * cellW;
        const int32_t top = kTitleHeight + kMargin + int32_t(i / columns) * cellH;
        const int32_t th = std::max<int32_t>(1, int32_t(int64_t(e.height) * thumbWidth / e.width));
        ScaleInto(sheet, left, top, thumbWidth, th, e);
        DrawText(sheet, left, top + th + 6, e.label, 2, ink);
    }
    return sheet;
}
