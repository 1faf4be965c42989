#include "resources/art/mathx.h"

#include <cmath>

namespace art {

double Sin(double x)
{
    double r = std::fmod(x, 2.0 * kPi); // fmod is exact
    if (r > kPi)
        r -= 2.0 * kPi;
    if (r < -kPi)
        r += 2.0 * kPi;
    double term = r, sum = r, r2 = r * r;
    for (int k = 1; k < 14; ++k) {
        term = -term * r2 / double((2 * k) * (2 * k + 1));
        sum += term;
    }
    return sum;
}

double Cos(double x) { return Sin(x + kPi / 2.0); }

uint32_t Hash(uint32_t a, uint32_t b, uint32_t seed)
{
    uint32_t h = seed * 0x9E3779B1u ^ a * 0x85EBCA77u ^ b * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float Random01(uint32_t a, uint32_t b, uint32_t seed)
{
    return float(Hash(a, b, seed) >> 8) * (1.0f / 16777216.0f);
}

float Clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

float SmoothStep(float e0, float e1, float v)
{
    float t = Clamp01((v - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}

static int Wrap(int i, int n) { return ((i % n) + n) % n; }

float PeriodicNoise(float u, float v, int cellsX, int cellsY, uint32_t seed)
{
    float fu = std::floor(u), fv = std::floor(v);
    int iu = int(fu), iv = int(fv);
    float tu = u - fu, tv = v - fv;
    tu = tu * tu * (3.0f - 2.0f * tu);
    tv = tv * tv * (3.0f - 2.0f * tv);
    auto at = [&](int i, int j) {
        return Random01(uint32_t(Wrap(i, cellsX)), uint32_t(Wrap(j, cellsY)), seed);
    };
    float top = at(iu, iv) + (at(iu + 1, iv) - at(iu, iv)) * tu;
    float bottom = at(iu, iv + 1) + (at(iu + 1, iv + 1) - at(iu, iv + 1)) * tu;
    return top + (bottom - top) * tv;
}

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by)
{
    float dx = bx - ax, dy = by - ay;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0.0f ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0f;
    t = Clamp01(t);
    float ex = ax + dx * t - px, ey = ay + dy * t - py;
    return std::sqrt(ex * ex + ey * ey);
}

} // namespace art
