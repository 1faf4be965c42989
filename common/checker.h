// The grey and white checkerboard that stands for transparency wherever an
// image without its own transparency plane is shown: 4 x 4 pixel squares
// aligned to the origin, grey (192) where the square's column and row parity
// agree, white (255) elsewhere.
#pragma once

#include <cstdint>

inline uint8_t CheckerValue(int32_t x, int32_t y)
{
    return ((x & 7) < 4) == ((y & 7) < 4) ? 192 : 255;
}
