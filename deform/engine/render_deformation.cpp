// RenderDeformation: fill the destination, then render every row of the
// rectangle top to bottom. A pixel finds its face and source position
// (deform_face.cpp), samples the source bilinearly through the level table,
// blends flagged corners toward the fill, applies the face light, and is
// re-saturated; the transparency is carried or previewed over a checkerboard.
#include "deform/engine/render_deformation.h"

#include <cstddef>

#include "deform/engine/deform_colour.h"
#include "deform/engine/deform_face.h"
#include "deform/engine/deform_setup.h"
#include "common/float_to_int.h"

namespace {

// The mask sum of a footprint whose four corners are all fully selected: such
// a pixel needs no blending toward the fill.
constexpr int32_t kFullySelectedSum = 4 * 255;

// What every pixel of one call shares.
struct RenderJob {
    const DeformSetup* d;
    const DeformInputs* in;
    const DeformBuffers* b;
    int32_t planes;
    bool haveMask;
    bool alphaPreview; // 3 planes with editable transparency: alphaData shown
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

void Fill(const DeformSetup& d, const DeformBuffers& b, int32_t planes)
{
    for (int32_t y = d.fillTop; y < d.fillBottom; ++y) {
        uint8_t* p = b.outData + At(y, b.outRowBytes, d.fillLeft, planes);
        for (int32_t x = d.fillLeft; x < d.fillRight; ++x, p += planes) {
            if (d.fillMode == FillChecker) {
                p[0] = p[1] = p[2] = CheckerValue(x, y);
                continue;
            }
            for (int32_t k = 0; k < d.channels; ++k) p[k] = d.fillBytes[k];
            if (planes == 4) p[3] = d.fillAlpha;
        }
    }
}

// Sampling grid, selection and border flags. False when the pixel is skipped.
bool Locate(const RenderJob& job, float sx, float sy, Footprint* f)
{
    const DeformBuffers& b = *job.b;
    int32_t ix = TruncToInt(sx), iy = TruncToInt(sy);
    // sx < right and sy < bottom already hold; keep the corners inside even
    // for rectangles where truncation toward zero could leave it.
    if (ix < b.left) ix = b.left;
    if (ix > b.right - 1) ix = b.right - 1;
    if (iy < b.top) iy = b.top;
    if (iy > b.bottom - 1) iy = b.bottom - 1;
    const float fx = sx - static_cast<float>(ix);
    const float fy = sy - static_cast<float>(iy);
    f->ix = ix, f->iy = iy;
    f->x1 = static_cast<int64_t>(ix) > static_cast<int64_t>(b.right) - 2 ? ix : ix + 1;
    f->y1 = static_cast<int64_t>(iy) > static_cast<int64_t>(b.bottom) - 2 ? iy : iy + 1;
    f->w00 = (1.0f - fy) * (1.0f - fx);
    f->w10 = (1.0f - fy) * fx;
    f->w01 = fy * (1.0f - fx);
    f->w11 = fx * fy;

    f->cornerFlags = 0;
    f->sigma = 1;
    f->c00 = f->c10 = f->c01 = f->c11 = 0.0f;
    const bool antialias = job.d->antialias;
    if (job.haveMask) {
        const uint8_t m00 = b.maskData[At(f->iy, b.maskRowBytes, f->ix, 1)];
        const uint8_t m10 = b.maskData[At(f->iy, b.maskRowBytes, f->x1, 1)];
        const uint8_t m01 = b.maskData[At(f->y1, b.maskRowBytes, f->ix, 1)];
        const uint8_t m11 = b.maskData[At(f->y1, b.maskRowBytes, f->x1, 1)];
        f->sigma = m00 + m10 + m01 + m11;
        if (f->sigma == 0) return false;
        if (antialias) {
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
    }
    if (antialias) {
        if (sy < static_cast<float>(static_cast<int64_t>(b.top) + 1)) f->cornerFlags |= 3;
        if (sx < static_cast<float>(static_cast<int64_t>(b.left) + 1)) f->cornerFlags |= 5;
        if (sy > static_cast<float>(static_cast<int64_t>(b.bottom) - 1)) f->cornerFlags |= 12;
        if (sx > static_cast<float>(static_cast<int64_t>(b.right) - 1)) f->cornerFlags |= 10;
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
void WriteColour(const RenderJob& job, const Footprint& f, int32_t c, int32_t r, float lambdaB,
                 float L, uint8_t* out)
{
    const DeformSetup& d = *job.d;
    const DeformBuffers& b = *job.b;
    const int32_t planes = job.planes;
    const uint8_t* in00 = b.inData + At(f.iy, b.inRowBytes, f.ix, planes);
    const uint8_t* in10 = b.inData + At(f.iy, b.inRowBytes, f.x1, planes);
    const uint8_t* in01 = b.inData + At(f.y1, b.inRowBytes, f.ix, planes);
    const uint8_t* in11 = b.inData + At(f.y1, b.inRowBytes, f.x1, planes);
    const bool blend = f.cornerFlags != 0 && d.fillMode != FillClearAlpha && f.sigma != kFullySelectedSum;
    const uint8_t checker = CheckerValue(c, r);
    for (int32_t k = 0; k < d.channels; ++k) {
        int32_t s00 = d.levelTable[in00[k]], s10 = d.levelTable[in10[k]];
        int32_t s01 = d.levelTable[in01[k]], s11 = d.levelTable[in11[k]];
        if (blend) {
            const int32_t fill = d.fillMode == FillChecker ? checker : d.fillBytes[k];
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
void PreviewAlpha(const RenderJob& job, const Footprint& f, int32_t c, int32_t r, uint8_t* out)
{
    const DeformBuffers& b = *job.b;
    const float alpha = static_cast<float>(job.d->fillAlpha);
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
void WriteAlpha(const RenderJob& job, const Footprint& f, uint8_t* out)
{
    const DeformBuffers& b = *job.b;
    const int32_t planes = job.planes;
    const uint8_t* in = b.inData + 3;
    if (!job.d->antialias) {
        out[3] = in[At(f.iy, b.inRowBytes, f.ix, planes)];
        return;
    }
    int32_t a00 = in[At(f.iy, b.inRowBytes, f.ix, planes)];
    int32_t a10 = in[At(f.iy, b.inRowBytes, f.x1, planes)];
    int32_t a01 = in[At(f.y1, b.inRowBytes, f.ix, planes)];
    int32_t a11 = in[At(f.y1, b.inRowBytes, f.x1, planes)];
    if (f.cornerFlags != 0 && f.sigma != kFullySelectedSum) {
        const float alpha = static_cast<float>(job.d->fillAlpha);
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

void RenderRow(const RenderJob& job, int32_t r, int32_t cBegin, int32_t cEnd)
{
    const DeformSetup& d = *job.d;
    const DeformInputs& in = *job.in;
    const DeformBuffers& b = *job.b;
    const float v = static_cast<float>(static_cast<int64_t>(r) - in.rowOffset) + 0.5f;
    const int32_t tileRow = DeformTileRow(d, v);
    const float top = static_cast<float>(b.top), bottom = static_cast<float>(b.bottom);
    const float left = static_cast<float>(b.left), right = static_cast<float>(b.right);
    uint8_t* out = b.outData + At(r, b.outRowBytes, cBegin, job.planes);
    for (int32_t c = cBegin; c < cEnd; ++c, out += job.planes) {
        const float u = static_cast<float>(static_cast<int64_t>(c) - in.columnOffset) + 0.5f;
        FaceSample face;
        if (!DeformFace(d, u, v, tileRow, &face)) continue;
        const float lambdaB = face.lambda + d.base;
        const float L = face.lambda + d.base + d.boost;
        const float sy = d.zoom * face.Y + in.rowOffsetFine;
        const float sx = d.zoom * face.X + in.columnOffsetFine;
        if (!(top <= sy && sy < bottom && left <= sx && sx < right)) continue;
        Footprint f;
        if (!Locate(job, sx, sy, &f)) continue;
        WriteColour(job, f, c, r, lambdaB, L, out);
        if (job.alphaPreview) PreviewAlpha(job, f, c, r, out);
        if (job.planes == 4) WriteAlpha(job, f, out);
    }
}

} // namespace

int32_t RenderDeformation(const DeformContext& context, const DeformInputs& inputs,
                          const DeformBuffers& buffers, float /*reserved*/,
                          uint32_t fillColour, int32_t planes,
                          DeformProgress progress, void* progressUser)
{
    // Without buffers or with a pixel layout the engine does not know there
    // is nothing it could write safely: the call is refused as the host's
    // "cannot run" (-128), like the two-stage engine refuses one.
    if (planes < 1 || planes > 4 || !buffers.inData || !buffers.outData) return userCanceledErr;
    DeformSetup d;
    PrepareDeformation(inputs, buffers, fillColour, planes, &d);
    Fill(d, buffers, planes);

    const FilterRecord* filter = context.filter;
    const int16_t filterCase = filter ? filter->filterCase : 0;
    RenderJob job;
    job.d = &d;
    job.in = &inputs;
    job.b = &buffers;
    job.planes = planes;
    // A mask announced but not supplied counts as no mask.
    job.haveMask = filter && filter->haveMask && buffers.maskData;
    job.alphaPreview = planes == 3 && buffers.alphaData &&
                       (filterCase == filterCaseEditableTransparencyNoSelection ||
                        filterCase == filterCaseEditableTransparencyWithSelection);

    // Pixels are written only inside the fill rectangle.
    const int32_t cBegin = buffers.left > d.fillLeft ? buffers.left : d.fillLeft;
    const int32_t cEnd = buffers.right < d.fillRight ? buffers.right : d.fillRight;
    for (int32_t r = buffers.top; r < buffers.bottom; ++r) {
        if ((r & 7) == 7 && progress) {
            const int32_t result = progress(r, buffers.bottom, progressUser);
            if (result & 0xFFFF) return result;
        }
        if (r < d.fillTop || r >= d.fillBottom) continue;
        RenderRow(job, r, cBegin, cEnd);
    }
    return 0;
}
