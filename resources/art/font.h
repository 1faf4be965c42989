// Hand-made pixel fonts: a bold face for the picture buttons (cap height 9,
// descenders 2) and a small face for the labels of the contact sheet.
#pragma once

#include <functional>
#include <string>

#include "resources/art/canvas.h"

namespace art {

struct Glyph {
    char ch;
    const char* rows[11]; // '#' ink; all rows of a glyph have its width
};

struct PixelFont {
    const Glyph* glyphs;
    int count;
    int height;  // rows per glyph
    int spacing; // blank columns between glyphs
};

const PixelFont& ButtonFont(); // "Cancel", "Apply", "Delete", "Save"
const PixelFont& LabelFont();  // digits, capitals, '/', '-' and blank

int TextWidth(const PixelFont& f, const std::string& text);

// Calls `ink(x, y)` for every inked pixel of `text`, glyph tops at row 0.
void ForEachInk(const PixelFont& f, const std::string& text, const std::function<void(int x, int y)>& ink);

// Writes `text` with its glyph tops at row y; unknown characters are skipped.
void DrawText(Canvas& c, const PixelFont& f, const std::string& text, int x, int y, Rgb ink);

} // namespace art
