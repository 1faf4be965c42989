// Saturation step: split into value V, saturation S and hue (six sectors of
// 256), scale S, and write the pixel back from V, S' and the hue. Every
// division is an integer division truncating toward zero.
#include "deform/engine/deform_colour.h"

#include "common/float_to_int.h"

// (V - b) x 255 / (V - n); the largest and smallest channel give 0 and 255
// without dividing.
static int32_t Distance(int32_t b, int32_t V, int32_t n)
{
    if (b == V) return 0;
    if (b == n) return 255;
    return (V - b) * 255 / (V - n);
}

void Resaturate(uint8_t* pixel, float lambdaB, float L, float satGain)
{
    const int32_t b0 = pixel[0], b1 = pixel[1], b2 = pixel[2];
    int32_t V = b0 > b1 ? b0 : b1;
    if (b2 > V) V = b2;
    int32_t n = b0 < b1 ? b0 : b1;
    if (b2 < n) n = b2;

    int32_t S = 0, hue = 0;
    if (V != 0 && V != n) {
        S = (V - n) * 255 / V;
        const int32_t e0 = Distance(b0, V, n);
        const int32_t e1 = Distance(b1, V, n);
        const int32_t e2 = Distance(b2, V, n);
        if (b0 == V)
            hue = e2 - e1;
        else if (b1 == V)
            hue = e0 - e2 + 512;
        else
            hue = e1 - e0 + 1024;
    }

    const float gain = lambdaB < 1.0f ? (1.0f - lambdaB) * satGain + 1.0f : L;
    const int32_t s = ClampByte(TruncToInt(static_cast<float>(S) * gain));
    if (hue < 0) hue += 1536;
    if (hue >= 1536) hue = 0;
    const int32_t f = hue & 255;

    const int32_t low = V * (255 - s) / 255;
    const int32_t falling = V * (255 - f * s / 255) / 255;
    const int32_t rising = V * (255 - (255 - f) * s / 255) / 255;
    int32_t c0, c1, c2;
    switch (hue >> 8) {
    case 0: c0 = V, c1 = rising, c2 = low; break;
    case 1: c0 = falling, c1 = V, c2 = low; break;
    case 2: c0 = low, c1 = V, c2 = rising; break;
    case 3: c0 = low, c1 = falling, c2 = V; break;
    case 4: c0 = rising, c1 = low, c2 = V; break;
    default: c0 = V, c1 = low, c2 = falling; break;
    }
    pixel[0] = static_cast<uint8_t>(c0);
    pixel[1] = static_cast<uint8_t>(c1);
    pixel[2] = static_cast<uint8_t>(c2);
}
