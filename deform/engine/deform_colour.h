// Colour steps of the velk3d engine that work on a written pixel.
#pragma once

#include <cstdint>

#include "common/checker.h"
#include "common/float_to_int.h"

// x / d for 0 <= x <= 65025 and 1 <= d <= 255, truncated: x times
// ceil(2^32 / d), shifted down by 32. The product overshoots x / d by less
// than x d / 2^32 / d < 1 / d, the smallest distance of a fraction with
// divisor d to the next integer, so the quotient is exact.
struct SmallReciprocals {
    uint64_t r[256];
};

constexpr SmallReciprocals MakeSmallReciprocals()
{
    SmallReciprocals t{};
    for (uint64_t d = 1; d < 256; ++d)
        t.r[d] = ((uint64_t{1} << 32) + d - 1) / d;
    return t;
}

inline constexpr SmallReciprocals kSmallReciprocals = MakeSmallReciprocals();

inline int32_t DivideSmall(int32_t x, int32_t d)
{
    return static_cast<int32_t>((static_cast<uint64_t>(x) * kSmallReciprocals.r[d]) >> 32);
}

// Re-saturates the three colour bytes of a pixel (buffer order) through an
// integer hue / saturation / value split. lambdaB is the face light with the
// base shading, L the light with the boost, satGain the saturation gain.
// Every division truncates toward zero.
inline void Resaturate(uint8_t* pixel, float lambdaB, float L, float satGain)
{
    const int32_t b0 = pixel[0], b1 = pixel[1], b2 = pixel[2];
    int32_t V = b0 > b1 ? b0 : b1;
    if (b2 > V) V = b2;
    int32_t n = b0 < b1 ? b0 : b1;
    if (b2 < n) n = b2;
    // Grey (black included) has no saturation and comes back as it was.
    if (V == n) return;

    // Value V, saturation S, and the hue from the distances of the channels
    // to V, (V - b) x 255 / (V - n): 0 for the largest, 255 for the smallest.
    const int32_t S = DivideSmall((V - n) * 255, V);
    const int32_t range = V - n;
    const int32_t e0 = DivideSmall((V - b0) * 255, range);
    const int32_t e1 = DivideSmall((V - b1) * 255, range);
    const int32_t e2 = DivideSmall((V - b2) * 255, range);
    int32_t hue;
    if (b0 == V)
        hue = e2 - e1;
    else if (b1 == V)
        hue = e0 - e2 + 512;
    else
        hue = e1 - e0 + 1024;

    const float gain = lambdaB < 1.0f ? (1.0f - lambdaB) * satGain + 1.0f : L;
    const int32_t s = ClampByte(TruncToInt(static_cast<float>(S) * gain));
    if (hue < 0) hue += 1536;
    if (hue >= 1536) hue = 0;
    const int32_t f = hue & 255;

    // The three levels a sector takes, chosen per channel by the sector.
    int32_t level[4];
    level[0] = V;
    level[1] = V * (255 - (255 - f) * s / 255) / 255; // rising
    level[2] = V * (255 - f * s / 255) / 255;         // falling
    level[3] = V * (255 - s) / 255;                   // low
    static const uint8_t kSectors[6][3] = {{0, 1, 3}, {2, 0, 3}, {3, 0, 1},
                                           {3, 2, 0}, {1, 3, 0}, {0, 3, 2}};
    const uint8_t* pick = kSectors[hue >> 8];
    pixel[0] = static_cast<uint8_t>(level[pick[0]]);
    pixel[1] = static_cast<uint8_t>(level[pick[1]]);
    pixel[2] = static_cast<uint8_t>(level[pick[2]]);
}
