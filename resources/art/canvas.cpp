#include "resources/art/canvas.h"

namespace art {

Rgb Mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(Rgb c, float k) { return {c.r * k, c.g * k, c.b * k}; }

Rgb FromBytes(int r, int g, int b) { return {float(r), float(g), float(b)}; }

Canvas::Canvas(int w, int h)
    : width(w), height(h), colour(size_t(w) * size_t(h), Rgb{0.0f, 0.0f, 0.0f}),
      alpha(size_t(w) * size_t(h), 0.0f)
{
}

void Canvas::Blend(int x, int y, Rgb c, float a)
{
    if (x < 0 || y < 0 || x >= width || y >= height || a <= 0.0f)
        return;
    if (a > 1.0f)
        a = 1.0f;
    size_t i = size_t(y) * size_t(width) + size_t(x);
    float under = alpha[i] * (1.0f - a);
    float out = a + under;
    Rgb& d = colour[i];
    d.r = (c.r * a + d.r * under) / out;
    d.g = (c.g * a + d.g * under) / out;
    d.b = (c.b * a + d.b * under) / out;
    alpha[i] = out;
}

void Canvas::Set(int x, int y, Rgb c)
{
    if (x < 0 || y < 0 || x >= width || y >= height)
        return;
    size_t i = size_t(y) * size_t(width) + size_t(x);
    colour[i] = c;
    alpha[i] = 1.0f;
}

void FillShape(Canvas& c, const InsideFn& inside, const ShadeFn& shade, int n)
{
    float step = 1.0f / float(n);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            int hits = 0;
            Rgb sum{0.0f, 0.0f, 0.0f};
            for (int j = 0; j < n; ++j) {
                for (int i = 0; i < n; ++i) {
                    float sx = float(x) + (float(i) + 0.5f) * step;
                    float sy = float(y) + (float(j) + 0.5f) * step;
                    if (!inside(sx, sy))
                        continue;
                    Rgb s = shade(sx, sy);
                    sum.r += s.r;
                    sum.g += s.g;
                    sum.b += s.b;
                    ++hits;
                }
            }
            if (hits > 0)
                c.Blend(x, y, Scale(sum, 1.0f / float(hits)), float(hits) / float(n * n));
        }
    }
}

void FillShape(Canvas& c, const InsideFn& inside, Rgb colour, int n)
{
    FillShape(c, inside, [colour](float, float) { return colour; }, n);
}

Picture::Picture(int w, int h, Pixel fill) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}

uint8_t ToByte(float v)
{
    if (!(v > 0.0f)) // also NaN
        return 0;
    if (v >= 255.0f)
        return 255;
    return uint8_t(v);
}

static Pixel Opaque(Rgb c)
{
    Pixel p{ToByte(c.r + 0.5f), ToByte(c.g + 0.5f), ToByte(c.b + 0.5f)};
    if (p == kWhite)
        p = Pixel{254, 254, 254};
    return p;
}

Picture Flatten(const Canvas& c, Rgb backdrop, float threshold)
{
    Picture p(c.width, c.height, kWhite);
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            size_t i = size_t(y) * size_t(c.width) + size_t(x);
            if (c.alpha[i] < threshold)
                continue;
            p.At(x, y) = Opaque(Mix(backdrop, c.colour[i], c.alpha[i]));
        }
    }
    return p;
}

Picture FlattenOpaque(const Canvas& c)
{
    Picture p(c.width, c.height, kWhite);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            p.At(x, y) = Opaque(c.colour[size_t(y) * size_t(c.width) + size_t(x)]);
    return p;
}

void Paste(Picture& dst, const Picture& src, int x, int y)
{
    for (int j = 0; j < src.height; ++j)
        for (int i = 0; i < src.width; ++i)
            if (x + i >= 0 && y + j >= 0 && x + i < dst.width && y + j < dst.height)
                dst.At(x + i, y + j) = src.At(i, j);
}

} // namespace art
