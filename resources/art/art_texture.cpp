// The paper texture: 57 x 82, tiled behind every dialog. Every term is
// periodic with the tile (lattice noise that wraps, fibres drawn with their
// wrapped copies), so the tile repeats without seams.
#include "resources/art/art.h"
#include "resources/art/mathx.h"

#include <cmath>

namespace art {

namespace {

const int kW = 57, kH = 82;

struct Fibre {
    float x, y, dx, dy, len, strength;
};

std::vector<Fibre> Fibres()
{
    std::vector<Fibre> f;
    for (uint32_t i = 0; i < 22; ++i) {
        float angle = float(Random01(i, 1, 77) * 2.0 * kPi);
        Fibre fb;
        fb.x = Random01(i, 2, 77) * kW;
        fb.y = Random01(i, 3, 77) * kH;
        fb.dx = float(Cos(angle));
        fb.dy = float(Sin(angle));
        fb.len = 2.5f + Random01(i, 4, 77) * 5.0f;
        // Mostly light fibres, a few darker ones.
        fb.strength = (i % 4 == 0) ? -0.06f : 0.09f;
        f.push_back(fb);
    }
    return f;
}

// Signed fibre contribution at a pixel centre, checking wrapped copies.
float FibreField(const std::vector<Fibre>& fibres, float px, float py)
{
    float v = 0.0f;
    for (const Fibre& f : fibres) {
        float best = 1e9f;
        for (int oy = -1; oy <= 1; ++oy)
            for (int ox = -1; ox <= 1; ++ox) {
                float ax = f.x + float(ox * kW), ay = f.y + float(oy * kH);
                float d = SegmentDistance(px, py, ax, ay, ax + f.dx * f.len, ay + f.dy * f.len);
                if (d < best)
                    best = d;
            }
        v += f.strength * (1.0f - SmoothStep(0.2f, 1.1f, best));
    }
    return v;
}

} // namespace

const Rgb kPaper{231.0f, 223.0f, 209.0f};

Picture PaperTexture()
{
    const Rgb dark{205.0f, 194.0f, 174.0f};
    const Rgb light{246.0f, 241.0f, 230.0f};
    std::vector<Fibre> fibres = Fibres();
    Canvas c(kW, kH);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            float u = (float(x) + 0.5f) / float(kW), v = (float(y) + 0.5f) / float(kH);
            float t = 0.62f;
            t += 0.07f * (PeriodicNoise(u * 3.0f, v * 4.0f, 3, 4, 11) - 0.5f);
            t += 0.12f * (PeriodicNoise(u * 19.0f, v * 41.0f, 19, 41, 12) - 0.5f);
            t += 0.08f * (PeriodicNoise(u * 57.0f, v * 82.0f, 57, 82, 13) - 0.5f);
            t += 0.10f * (Random01(uint32_t(x), uint32_t(y), 14) - 0.5f);
            t += FibreField(fibres, float(x) + 0.5f, float(y) + 0.5f);
            c.Set(x, y, Mix(dark, light, Clamp01(t)));
        }
    }
    return FlattenOpaque(c);
}

} // namespace art
