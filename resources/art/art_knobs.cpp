// Slider knobs: shaded balls (13 x 13) and a cut gem (17 x 17), lit from the
// upper left like the rest of the art.
#include "resources/art/art.h"
#include "resources/art/mathx.h"
#include "resources/art/shapes.h"

#include <cmath>

namespace art {

Picture Ball(Rgb base, Rgb shadow)
{
    const float cx = 6.5f, cy = 6.5f, r = 6.3f;
    // Light direction (normalised by hand): up, left and towards the viewer.
    const float lx = -0.48f, ly = -0.56f, lz = 0.675f;
    Canvas c(13, 13);
    FillSdf(c, [&](float x, float y) { return SdCircle(x, y, cx, cy, r); },
            [&](float x, float y, float d) {
                float nx = (x - cx) / r, ny = (y - cy) / r;
                float nz2 = 1.0f - nx * nx - ny * ny;
                float nz = nz2 > 0.0f ? std::sqrt(nz2) : 0.0f;
                float diffuse = Clamp01(nx * lx + ny * ly + nz * lz);
                Rgb col = Mix(shadow, base, Clamp01(0.15f + diffuse * 1.05f));
                // Highlight: (n . h)^32 by repeated squaring.
                float hx = lx, hy = ly, hz = lz + 1.0f;
                float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
                float s = Clamp01((nx * hx + ny * hy + nz * hz) / hl);
                for (int i = 0; i < 5; ++i)
                    s *= s;
                col = Mix(col, FromBytes(255, 250, 240), s * 0.9f);
                // Dark rim so the ball stays round against the paper.
                return Mix(col, Scale(shadow, 0.7f), SmoothStep(-1.2f, 0.0f, d) * 0.8f);
            },
            8);
    return Flatten(c, kPaper);
}

Picture Diamond()
{
    const float cx = 8.5f, cy = 8.5f, r = 8.2f;
    const Rgb deep = FromBytes(18, 72, 92), mid = FromBytes(40, 150, 168), pale = FromBytes(168, 232, 236);
    std::vector<Pt> outer = {{cx, cy - r}, {cx + r, cy}, {cx, cy + r}, {cx - r, cy}};
    Canvas c(17, 17);
    FillSdf(c, [&](float x, float y) { return SdPolygon(x, y, outer); },
            [&](float x, float y, float d) {
                float dx = x - cx, dy = y - cy;
                Rgb col;
                if (std::fabs(dx) + std::fabs(dy) < 3.6f)
                    col = Mix(mid, pale, 0.75f); // table facet
                else if (dy < 0.0f && dx < 0.0f)
                    col = Mix(mid, pale, 0.5f);
                else if (dy < 0.0f)
                    col = mid;
                else if (dx < 0.0f)
                    col = Mix(deep, mid, 0.6f);
                else
                    col = Mix(deep, mid, 0.2f);
                return Mix(col, Scale(deep, 0.8f), SmoothStep(-1.1f, 0.0f, d) * 0.9f);
            },
            8);
    return Flatten(c, kPaper);
}

} // namespace art
