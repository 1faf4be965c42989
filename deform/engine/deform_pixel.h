// The per-pixel steps of RenderDeformation after the face geometry: the
// bilinear footprint of a source position, the colour channels through the
// level table with flagged corners blended toward the fill, the previewed
// transparency and the alpha channel. Shared by the row loops.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/checker.h"
#include "common/float_to_int.h"
#include "deform/engine/deform_colour.h"
#include "deform/engine/deform_setup.h"

// The mask sum of a footprint whose four corners are all fully selected: such
// a pixel needs no blending toward the fill.
constexpr int32_t kFullySelectedSum = 4 * 255;

// What every pixel of one render shares.
struct DeformJob {
    DeformSetup d;
    const DeformInputs* in;
    const DeformBuffers* b;
    int32_t planes;
    bool haveMask;
    bool alphaPreview; // 3 planes with editable transparency: alphaData shown
    int32_t cBegin, cEnd; // the columns written: the rectangle inside the fill
    int32_t lanes;        // pixels a group of the row loop: 4 or 8, 0 one at a time
    float levelReal[256]; // d.levelTable as reals, for the group rows
};

// The bilinear footprint of a source position and its corner weights.
struct Footprint {
    int32_t ix, iy, x1, y1;
    float w00, w10, w01, w11;
    int32_t cornerFlags; // 1 (ix, iy), 2 (x1, iy), 4 (ix, y1), 8 (x1, y1)
    int32_t sigma;       // mask sum, 1 without a mask
    float c00, c10, c01, c11; // corner weights toward the source
};

inline ptrdiff_t At(int32_t y, int32_t rowBytes, int32_t x, int32_t planes)
{
    return static_cast<ptrdiff_t>(y) * rowBytes + static_cast<ptrdiff_t>(x) * planes;
}

// The selection of a footprint whose corners and weights are set: the mask
// sum, the corner weights and all four corner flags with antialiasing.
// False when the pixel is skipped.
inline bool ApplyMask(const DeformJob& job, Footprint* f)
{
    const DeformBuffers& b = *job.b;
    const uint8_t m00 = b.maskData[At(f->iy, b.maskRowBytes, f->ix, 1)];
    const uint8_t m10 = b.maskData[At(f->iy, b.maskRowBytes, f->x1, 1)];
    const uint8_t m01 = b.maskData[At(f->y1, b.maskRowBytes, f->ix, 1)];
    const uint8_t m11 = b.maskData[At(f->y1, b.maskRowBytes, f->x1, 1)];
    f->sigma = m00 + m10 + m01 + m11;
    if (f->sigma == 0) return false;
    if (job.d.antialias) {
        f->cornerFlags = 15;
        if (f->sigma != kFullySelectedSum) {
            f->c00 = static_cast<float>(m00) * 0.003921569f;
            f->c10 = static_cast<float>(m10) * 0.003921569f;
            f->c01 = static_cast<float>(m01) * 0.003921569f;
            f->c11 = static_cast<float>(m11) * 0.003921569f;
        }
    } else if (m00 < 128) {
        return false;
    }
    return true;
}

// Blends a flagged corner toward the fill: trunc(s c + (1 - c) fill / L).
// With L = 0 the fill share counts as 0 (the output is multiplied by L).
inline int32_t BlendCorner(int32_t s, float c, int32_t fill, float L)
{
    const float share = L == 0.0f ? 0.0f : (1.0f - c) * static_cast<float>(fill) / L;
    return TruncToInt(static_cast<float>(s) * c + share);
}

// The colour channels of one pixel, then its saturation.
inline void WriteColour(const DeformJob& job, const Footprint& f, int32_t c, int32_t r,
                        float lambdaB, float L, uint8_t* out)
{
    const DeformSetup& d = job.d;
    const DeformBuffers& b = *job.b;
    const int32_t planes = job.planes;
    const uint8_t* in00 = b.inData + At(f.iy, b.inRowBytes, f.ix, planes);
    const uint8_t* in10 = b.inData + At(f.iy, b.inRowBytes, f.x1, planes);
    const uint8_t* in01 = b.inData + At(f.y1, b.inRowBytes, f.ix, planes);
    const uint8_t* in11 = b.inData + At(f.y1, b.inRowBytes, f.x1, planes);
    const bool blend = f.cornerFlags != 0 && d.fillMode != FillClearAlpha && f.sigma != kFullySelectedSum;
    for (int32_t k = 0; k < d.channels; ++k) {
        int32_t s00 = d.levelTable[in00[k]], s10 = d.levelTable[in10[k]];
        int32_t s01 = d.levelTable[in01[k]], s11 = d.levelTable[in11[k]];
        if (blend) {
            const int32_t fill = d.fillMode == FillChecker ? CheckerValue(c, r) : d.fillBytes[k];
            if (f.cornerFlags & 1) s00 = BlendCorner(s00, f.c00, fill, L);
            if (f.cornerFlags & 2) s10 = BlendCorner(s10, f.c10, fill, L);
            if (f.cornerFlags & 4) s01 = BlendCorner(s01, f.c01, fill, L);
            if (f.cornerFlags & 8) s11 = BlendCorner(s11, f.c11, fill, L);
        }
        const float sum = static_cast<float>(s11) * f.w11 + static_cast<float>(s01) * f.w01 +
                          static_cast<float>(s10) * f.w10 + static_cast<float>(s00) * f.w00;
        out[k] = ClampByte(TruncToInt(sum * L));
    }
    if (planes >= 3) Resaturate(out, lambdaB, L, d.satGain);
}

// The preview's transparency plane shown over the checkerboard.
inline void PreviewAlpha(const DeformJob& job, const Footprint& f, int32_t c, int32_t r,
                         uint8_t* out)
{
    const DeformBuffers& b = *job.b;
    const float alpha = static_cast<float>(job.d.fillAlpha);
    float a00 = b.alphaData[At(f.iy, b.maskRowBytes, f.ix, 1)];
    float a10 = b.alphaData[At(f.iy, b.maskRowBytes, f.x1, 1)];
    float a01 = b.alphaData[At(f.y1, b.maskRowBytes, f.ix, 1)];
    float a11 = b.alphaData[At(f.y1, b.maskRowBytes, f.x1, 1)];
    if (f.cornerFlags != 0 && f.sigma != kFullySelectedSum) {
        if (f.cornerFlags & 1) a00 = f.c00 * a00 + (1.0f - f.c00) * alpha;
        if (f.cornerFlags & 2) a10 = f.c10 * a10 + (1.0f - f.c10) * alpha;
        if (f.cornerFlags & 4) a01 = f.c01 * a01 + (1.0f - f.c01) * alpha;
        if (f.cornerFlags & 8) a11 = f.c11 * a11 + (1.0f - f.c11) * alpha;
    }
    const int32_t ap = ClampByte(TruncToInt(a11 * f.w11 + a00 * f.w00 + a01 * f.w01 + a10 * f.w10));
    const float ch = static_cast<float>(CheckerValue(c, r));
    const float t = static_cast<float>(ap) * 0.003921569f;
    for (int32_t k = 0; k < 3; ++k)
        out[k] = ClampByte(TruncToInt((1.0f - t) * ch + t * static_cast<float>(out[k])));
}

// The transparency channel of a 4-plane pixel.
inline void WriteAlpha(const DeformJob& job, const Footprint& f, uint8_t* out)
{
    const DeformBuffers& b = *job.b;
    const int32_t planes = job.planes;
    const uint8_t* in = b.inData + 3;
    if (!job.d.antialias) {
        out[3] = in[At(f.iy, b.inRowBytes, f.ix, planes)];
        return;
    }
    int32_t a00 = in[At(f.iy, b.inRowBytes, f.ix, planes)];
    int32_t a10 = in[At(f.iy, b.inRowBytes, f.x1, planes)];
    int32_t a01 = in[At(f.y1, b.inRowBytes, f.ix, planes)];
    int32_t a11 = in[At(f.y1, b.inRowBytes, f.x1, planes)];
    if (f.cornerFlags != 0 && f.sigma != kFullySelectedSum) {
        const float alpha = static_cast<float>(job.d.fillAlpha);
        auto blend = [alpha](int32_t a, float c) {
            return TruncToInt((1.0f - c) * alpha + c * static_cast<float>(a));
        };
        if (f.cornerFlags & 1) a00 = blend(a00, f.c00);
        if (f.cornerFlags & 2) a10 = blend(a10, f.c10);
        if (f.cornerFlags & 4) a01 = blend(a01, f.c01);
        if (f.cornerFlags & 8) a11 = blend(a11, f.c11);
    }
    const float sum = static_cast<float>(a11) * f.w11 + static_cast<float>(a00) * f.w00 +
                      static_cast<float>(a01) * f.w01 + static_cast<float>(a10) * f.w10;
    out[3] = ClampByte(TruncToInt(sum));
}

// Everything after the footprint: the colour, the previewed transparency and
// the alpha channel of the pixel at out.
inline void FinishPixel(const DeformJob& job, const Footprint& f, int32_t c, int32_t r,
                        float lambdaB, float L, uint8_t* out)
{
    WriteColour(job, f, c, r, lambdaB, L, out);
    if (job.alphaPreview) PreviewAlpha(job, f, c, r, out);
    if (job.planes == 4) WriteAlpha(job, f, out);
}

// Fills job for a RenderDeformation call; false when the call is refused.
// job.lanes is 8 where the processor runs the eight-lane rows, 4 where it
// does not, 0 when the positions are too large for lanes.
bool PrepareDeformJob(const DeformContext& context, const DeformInputs& inputs,
                      const DeformBuffers& buffers, uint32_t fillColour, int32_t planes,
                      DeformJob* job);

// Renders row r, columns job.cBegin..cEnd, job.lanes pixels at a time or,
// with 0, one at a time. Every loop gives the same bytes.
void RenderDeformRow(const DeformJob& job, int32_t r);
void RenderDeformRowScalar(const DeformJob& job, int32_t r);
void RenderDeformRowLanes(const DeformJob& job, int32_t r); // four lanes, SSE2
void RenderDeformRow8(const DeformJob& job, int32_t r);     // eight lanes, AVX2

// True when this build has the eight-lane rows and the processor runs them.
bool HaveDeformRows8();
