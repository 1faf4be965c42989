// Drawing surface of the art generator: straight RGBA in floats (colour
// 0..255, alpha 0..1), shapes filled by supersampled coverage, and the final
// conversion to 8-bit pixels with white as the transparent key.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace art {

struct Rgb {
    float r, g, b;
};

Rgb Mix(Rgb a, Rgb b, float t);     // a + (b - a) * t
Rgb Scale(Rgb c, float k);          // c * k, per channel
Rgb FromBytes(int r, int g, int b); // plain constructor for literals

struct Canvas {
    int width = 0, height = 0;
    std::vector<Rgb> colour;
    std::vector<float> alpha;

    Canvas(int w, int h);
    // Composites `c` with opacity `a` over the pixel (outside pixels ignored).
    void Blend(int x, int y, Rgb c, float a);
    void Set(int x, int y, Rgb c); // opaque
};

using InsideFn = std::function<bool(float x, float y)>;
using ShadeFn = std::function<Rgb(float x, float y)>;

// Fills the shape given by `inside` (pixel centres at x + 0.5) with
// n x n samples per pixel; the colour is the mean shade of the samples
// inside, the opacity their share.
void FillShape(Canvas& c, const InsideFn& inside, const ShadeFn& shade, int n = 6);
void FillShape(Canvas& c, const InsideFn& inside, Rgb colour, int n = 6);

// 8-bit picture, rows top to bottom.
struct Pixel {
    uint8_t r, g, b;
    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Pixel& o) const { return !(*this == o); }
};

struct Picture {
    int width = 0, height = 0;
    std::vector<Pixel> pixels;
    Picture() = default;
    Picture(int w, int h, Pixel fill);
    Pixel& At(int x, int y) { return pixels[y * width + x]; }
    const Pixel& At(int x, int y) const { return pixels[y * width + x]; }
};

constexpr Pixel kWhite{255, 255, 255};

// Byte value of a channel: truncates toward zero and saturates to 0..255.
uint8_t ToByte(float v);

// Picture for art drawn with white as the transparent key: pixels below
// `threshold` coverage become white, the rest are blended over `backdrop`
// (the mean paper colour) and never come out pure white.
Picture Flatten(const Canvas& c, Rgb backdrop, float threshold = 0.3f);

// Picture of an opaque drawing (alpha is ignored); pure white is avoided too.
Picture FlattenOpaque(const Canvas& c);

// Copies `src` into `dst` at (x, y).
void Paste(Picture& dst, const Picture& src, int x, int y);

} // namespace art
