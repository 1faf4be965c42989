// The per-pixel geometry of the woven tiles: which face of which cell a
// destination pixel shows, the face's light and where it samples the source.
#pragma once

#include <cstdint>

#include "deform/engine/deform_setup.h"

struct FaceSample {
    float X, Y;   // texture position before the zoom
    float lambda; // face light
};

// The tile row of a destination row at v = (r - rowOffset) + 0.5.
int32_t DeformTileRow(const DeformSetup& d, float v);

// Fills sample for the pixel at (u, v); false when the pixel lies on no face
// (only positions that are not numbers).
bool DeformFace(const DeformSetup& d, float u, float v, int32_t tileRow, FaceSample* sample);
