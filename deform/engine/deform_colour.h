// Colour steps of the velk3d engine that work on a written pixel.
#pragma once

#include <cstdint>

#include "common/checker.h"

// Re-saturates the three colour bytes of a pixel (buffer order) through an
// integer hue / saturation / value split. lambdaB is the face light with the
// base shading, L the light with the boost, satGain the saturation gain.
void Resaturate(uint8_t* pixel, float lambdaB, float L, float satGain);
