// Tool pictures of velk2000: spacing triangles, undo/redo arrows, the swap
// arrow, dice and the green swatch. Inked shapes have a dark outline and a
// warm gradient; pressed variants are darker and one pixel lower and right.
#include "resources/art/art.h"
#include "resources/art/mathx.h"
#include "resources/art/shapes.h"

#include <cmath>

namespace art {

namespace {

const Rgb kOutline = FromBytes(74, 30, 18);
const Rgb kInkTop = FromBytes(226, 132, 74);
const Rgb kInkBottom = FromBytes(150, 58, 32);

// Outline band of `outline` pixels, gradient fill from y0 to y1.
void Inked(Canvas& c, const SdfFn& f, float y0, float y1, bool pressed, float outline = 1.0f)
{
    float k = pressed ? 0.82f : 1.0f;
    SdfFn g = pressed ? Shifted(f, 1.0f, 1.0f) : f;
    float shift = pressed ? 1.0f : 0.0f;
    FillSdf(c, g, [&](float, float y, float d) {
        if (d > -outline)
            return Scale(kOutline, k);
        return Scale(Mix(kInkTop, kInkBottom, Clamp01((y - shift - y0) / (y1 - y0))), k);
    });
}

Pt Normalised(float x, float y)
{
    float len = std::sqrt(x * x + y * y);
    return {x / len, y / len};
}

// Triangle with its tip at `tip`, pointing along `dir`, `len` long and
// `half` wide on each side.
std::vector<Pt> Head(Pt tip, Pt dir, float len, float half)
{
    Pt b{tip.x - dir.x * len, tip.y - dir.y * len};
    return {tip, {b.x - dir.y * half, b.y + dir.x * half}, {b.x + dir.y * half, b.y - dir.x * half}};
}

float Min(float a, float b) { return a < b ? a : b; }

} // namespace

Picture SpacingTriangle(bool up, bool pressed)
{
    std::vector<Pt> tri = {{12.5f, 1.0f}, {22.5f, 13.0f}, {2.5f, 13.0f}};
    if (!up)
        for (Pt& p : tri)
            p.y = 14.0f - p.y;
    Canvas c(25, 14);
    Inked(c, [&](float x, float y) { return SdPolygon(x, y, tri); }, 1.0f, 13.0f, pressed);
    return Flatten(c, kPaper);
}

Picture CurvedArrow(bool left, bool pressed)
{
    // Drawn for undo (arc over the top, head at the left end pointing down),
    // mirrored for redo.
    const float cx = 14.0f, cy = 10.0f, r = 6.5f;
    std::vector<Pt> arc = Arc(cx, cy, r, 0.45, -kPi, 24);
    std::vector<Pt> head = Head({cx - r, cy + 6.5f}, {0.0f, 1.0f}, 6.0f, 4.5f);
    SdfFn f = [&](float x, float y) {
        float mx = left ? x : 25.0f - x;
        return Min(SdPolyline(mx, y, arc, 2.2f), SdPolygon(mx, y, head));
    };
    Canvas c(25, 18);
    Inked(c, f, 1.0f, 17.0f, pressed);
    return Flatten(c, kPaper);
}

Picture DiagonalArrow(bool pressed)
{
    Pt d = Normalised(1.0f, -1.0f);
    std::vector<Pt> shaft = {{6.0f, 13.0f}, {13.0f, 6.0f}};
    std::vector<Pt> headA = Head({17.0f, 2.0f}, d, 7.0f, 4.2f);
    std::vector<Pt> headB = Head({2.0f, 17.0f}, {-d.x, -d.y}, 7.0f, 4.2f);
    SdfFn f = [&](float x, float y) {
        return Min(SdPolyline(x, y, shaft, 1.9f), Min(SdPolygon(x, y, headA), SdPolygon(x, y, headB)));
    };
    Canvas c(19, 19);
    Inked(c, f, 2.0f, 17.0f, pressed);
    return Flatten(c, kPaper);
}

Picture Die(int size, bool pressed)
{
    const bool large = size >= 25;
    const float s = float(size);
    const float lo = 1.0f, hi = s - 2.0f; // body, leaving room for the press shift
    const float off = pressed ? 1.0f : 0.0f;
    const float k = pressed ? 0.86f : 1.0f;
    const Rgb edge = FromBytes(78, 66, 54), top = FromBytes(253, 250, 242), bottom = FromBytes(214, 204, 184);
    Canvas c(size, size);
    SdfFn body = [&](float x, float y) { return SdRoundRect(x - off, y - off, lo, lo, hi, hi, large ? 4.5f : 3.5f); };
    FillSdf(c, body, [&](float x, float y, float d) {
        if (d > -1.0f)
            return Scale(edge, k);
        // Face lit from the upper left: lighter towards that corner.
        float t = Clamp01(((x - off - lo) + (y - off - lo)) / (2.0f * (hi - lo)));
        Rgb face = Mix(top, bottom, t * t);
        return Scale(Mix(face, bottom, SmoothStep(-2.5f, -1.0f, d) * (t > 0.5f ? 0.8f : 0.0f)), k);
    });
    float mid = (lo + hi) * 0.5f;
    struct Pip {
        float x, y;
        Rgb colour;
    };
    std::vector<Pip> pips;
    if (large) {
        const Rgb ink = FromBytes(40, 30, 30);
        float q = 5.6f;
        for (Pip p : {Pip{mid - q, mid - q, ink}, Pip{mid + q, mid - q, ink}, Pip{mid, mid, ink},
                      Pip{mid - q, mid + q, ink}, Pip{mid + q, mid + q, ink}})
            pips.push_back(p);
    } else {
        // The colour die: red, green and blue pips on the diagonal.
        float q = 4.3f;
        for (Pip p : {Pip{mid - q, mid - q, FromBytes(214, 40, 36)}, Pip{mid, mid, FromBytes(40, 160, 60)},
                      Pip{mid + q, mid + q, FromBytes(40, 80, 210)}})
            pips.push_back(p);
    }
    const float pr = large ? 2.1f : 1.9f;
    for (const Pip& p : pips)
        FillSdf(c, [&](float x, float y) { return SdCircle(x - off, y - off, p.x, p.y, pr); },
                [&](float x, float y, float) {
                    // A pip is a small hollow: darker at its upper left.
                    float t = Clamp01(((x - off - p.x) + (y - off - p.y)) / (2.0f * pr) + 0.5f);
                    return Scale(Mix(Scale(p.colour, 0.7f), p.colour, t), k);
                },
                8);
    return Flatten(c, kPaper);
}

Picture GreenSwatch()
{
    // An etched frame with the colour inset by two pixels, as a swatch is
    // drawn in the dialog.
    const int w = 17, h = 16;
    Picture p(w, h, kWhite);
    const Pixel shadow{150, 142, 130}, light{254, 254, 254}, green{41, 177, 73};
    for (int x = 0; x < w; ++x) {
        p.At(x, 1) = light;
        p.At(x, h - 1) = light;
    }
    for (int y = 0; y < h; ++y) {
        p.At(1, y) = light;
        p.At(w - 1, y) = light;
    }
    for (int x = 0; x < w - 1; ++x) {
        p.At(x, 0) = shadow;
        p.At(x, h - 2) = shadow;
    }
    for (int y = 0; y < h - 1; ++y) {
        p.At(0, y) = shadow;
        p.At(w - 2, y) = shadow;
    }
    for (int y = 2; y < h - 2; ++y)
        for (int x = 2; x < w - 2; ++x)
            p.At(x, y) = green;
    return p;
}

} // namespace art
