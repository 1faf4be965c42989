// Picture buttons: a rounded plate with a bevel and a word in the bold pixel
// font. Primary actions (Apply, Save) are amber, the others ivory. Pressed
// plates are darker, lit from below, and the word moves one pixel down and
// right.
#include "resources/art/art.h"
#include "resources/art/font.h"
#include "resources/art/shapes.h"

namespace art {

namespace {

struct ButtonColours {
    Rgb border, top, bottom, light, ink;
};

ButtonColours ColoursFor(bool primary)
{
    if (primary)
        return {FromBytes(142, 84, 26), FromBytes(255, 231, 172), FromBytes(236, 166, 66),
                FromBytes(255, 246, 222), FromBytes(66, 32, 6)};
    return {FromBytes(112, 98, 84), FromBytes(252, 249, 242), FromBytes(214, 204, 186),
            FromBytes(254, 253, 250), FromBytes(44, 34, 28)};
}

} // namespace

Picture PictureButton(const std::string& word, int width, bool pressed, bool primary)
{
    const int height = 23;
    const float w = float(width), h = float(height);
    ButtonColours k = ColoursFor(primary);
    Canvas c(width, height);

    // Border plate.
    FillSdf(c, [&](float x, float y) { return SdRoundRect(x, y, 0.0f, 0.0f, w, h, 4.5f); },
            [&](float, float, float) { return k.border; });

    // Face with a vertical gradient; the pressed face is darker and reversed.
    Rgb top = pressed ? Scale(k.bottom, 0.88f) : k.top;
    Rgb bottom = pressed ? Scale(k.top, 0.9f) : k.bottom;
    FillSdf(c, [&](float x, float y) { return SdRoundRect(x, y, 1.0f, 1.0f, w - 1.0f, h - 1.0f, 3.5f); },
            [&](float, float y, float) { return Mix(top, bottom, (y - 1.0f) / (h - 2.0f)); });

    // Bevel: a light line under the top edge (normal) or a shadow along the
    // top and left edges (pressed).
    if (!pressed) {
        for (int x = 3; x < width - 3; ++x)
            c.Blend(x, 1, k.light, 0.9f);
        for (int x = 3; x < width - 3; ++x)
            c.Blend(x, height - 2, Scale(k.bottom, 0.9f), 0.6f);
    } else {
        Rgb shade = Scale(k.border, 0.9f);
        for (int x = 3; x < width - 2; ++x)
            c.Blend(x, 1, shade, 0.55f);
        for (int y = 3; y < height - 2; ++y)
            c.Blend(1, y, shade, 0.35f);
    }

    const PixelFont& font = ButtonFont();
    int tx = (width - TextWidth(font, word)) / 2 + (pressed ? 1 : 0);
    int ty = 7 + (pressed ? 1 : 0);
    DrawText(c, font, word, tx, ty, k.ink);
    return Flatten(c, kPaper);
}

} // namespace art
