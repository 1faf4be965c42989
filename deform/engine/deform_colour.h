// Colour steps of the velk3d engine that work on a written pixel.
#pragma once

#include <cstdint>

// Re-saturates the three colour bytes of a pixel (buffer order) through an
// integer hue / saturation / value split. lambdaB is the face light with the
// base shading, L the light with the boost, satGain the saturation gain.
void Resaturate(uint8_t* pixel, float lambdaB, float L, float satGain);

// The checker value of pixel (column, row): 192 or 255, 4-pixel squares.
inline uint8_t CheckerValue(int32_t column, int32_t row)
{
    return ((column & 7) < 4) == ((row & 7) < 4) ? 192 : 255;
}
