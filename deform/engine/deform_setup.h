// The per-call values of RenderDeformation, derived once from its arguments
// before any pixel is touched.
#pragma once

#include <cstdint>

#include "deform/engine/render_deformation.h"

enum DeformFillMode : int32_t {
    FillOpaque = 0,
    FillChecker = 1,    // 3 planes, transparent fill colour
    FillClearAlpha = 2, // 4 planes, transparent fill colour
};

struct DeformSetup {
    uint8_t levelTable[256]; // brightness floor mapping
    // levelTable[i] is ClampByte(TruncToInt(levelFloor + i x levelStep)), a
    // formula the group rows evaluate in lanes.
    float levelFloor, levelStep;
    float satGain;
    int32_t fillMode;
    uint8_t fillBytes[3]; // in the destination's byte order
    uint8_t fillAlpha;    // alpha flag byte of the fill colour
    int32_t fillLeft, fillTop, fillRight, fillBottom;
    int32_t channels;  // colour channels a pixel: min(planes, 3)
    bool wholeImage;   // EdgeWholeImage: host buffer, RGB order
    bool antialias;    // EdgeAntialias

    // Tile geometry.
    float kx, ky, K, A, B, P, M, R, WA, WB, G1, G2;
    float base, boost;
    float Fa, Fb, Fc, Fd;
    float zoom, T, Q;
    // Products the distances and positions use, each formed in the order
    // the formulas write them: 2A, 2B, (2kx)A, (2ky)B, ((2kx)ky)B, (2K)A, MA, MB.
    float A2, B2, kxA2, kyB2, kxkyB2, KA2, MA, MB;
};

void PrepareDeformation(const DeformInputs& in, const DeformBuffers& buffers,
                        uint32_t fillColour, int32_t planes, DeformSetup* d);
