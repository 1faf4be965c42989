// The row loops of RenderDeformation. The scalar loop takes one pixel at a
// time through DeformFace; the group loops (deform_row_loop.h) evaluate the
// same face formulas, in the same order and precision, for four or eight
// neighbouring pixels at once. Pixels the group loops leave to the one-pixel
// steps go through the functions of deform_group_steps.h, defined here.
#include <cstddef>
#include <cstdint>

#include "deform/engine/deform_face.h"
#include "deform/engine/deform_group_steps.h"
#include "deform/engine/deform_row_loop.h"

namespace {

// The footprint of a source position inside the rectangle, as the scalar
// loop forms it; false when the pixel is skipped.
bool Locate(const DeformJob& job, float sx, float sy, Footprint* f)
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
    if (job.haveMask && !ApplyMask(job, f)) return false;
    if (job.d.antialias) {
        if (sy < static_cast<float>(static_cast<int64_t>(b.top) + 1)) f->cornerFlags |= 3;
        if (sx < static_cast<float>(static_cast<int64_t>(b.left) + 1)) f->cornerFlags |= 5;
        if (sy > static_cast<float>(static_cast<int64_t>(b.bottom) - 1)) f->cornerFlags |= 12;
        if (sx > static_cast<float>(static_cast<int64_t>(b.right) - 1)) f->cornerFlags |= 10;
    }
    return true;
}

} // namespace

void RenderDeformRowScalar(const DeformJob& job, int32_t r)
{
    const DeformSetup& d = job.d;
    const DeformInputs& in = *job.in;
    const DeformBuffers& b = *job.b;
    const float v = static_cast<float>(static_cast<int64_t>(r) - in.rowOffset) + 0.5f;
    const int32_t tileRow = DeformTileRow(d, v);
    const float top = static_cast<float>(b.top), bottom = static_cast<float>(b.bottom);
    const float left = static_cast<float>(b.left), right = static_cast<float>(b.right);
    uint8_t* out = b.outData + At(r, b.outRowBytes, job.cBegin, job.planes);
    for (int32_t c = job.cBegin; c < job.cEnd; ++c, out += job.planes) {
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
        FinishPixel(job, f, c, r, lambdaB, L, out);
    }
}

int FootprintLanes(const DeformJob& job, const GroupRecords& g, int lanes,
                   Footprint f[kMaxGroupLanes], int* blended)
{
    *blended = 0;
    for (int k = 0; k < kMaxGroupLanes; ++k) {
        if (!(lanes >> k & 1)) continue;
        Footprint& p = f[k];
        p.ix = g.ix[k], p.iy = g.iy[k], p.x1 = g.x1[k], p.y1 = g.y1[k];
        p.w00 = g.w00[k], p.w10 = g.w10[k], p.w01 = g.w01[k], p.w11 = g.w11[k];
        p.cornerFlags = 0;
        p.sigma = 1;
        p.c00 = p.c10 = p.c01 = p.c11 = 0.0f;
        if (job.haveMask && !ApplyMask(job, &p)) {
            lanes &= ~(1 << k);
            continue;
        }
        p.cornerFlags |= g.edges[k];
        if (p.cornerFlags != 0 && p.sigma != kFullySelectedSum) *blended |= 1 << k;
    }
    return lanes;
}

void WriteAlphaLanes(const DeformJob& job, const Footprint f[kMaxGroupLanes], int lanes,
                     uint8_t* out)
{
    for (int k = 0; k < kMaxGroupLanes; ++k)
        if (lanes >> k & 1) WriteAlpha(job, f[k], out + static_cast<ptrdiff_t>(k) * job.planes);
}

void FinishLanes(const DeformJob& job, const GroupRecords& g, const Footprint f[kMaxGroupLanes],
                 int lanes, int32_t c0, int32_t r, uint8_t* out)
{
    for (int k = 0; k < kMaxGroupLanes; ++k)
        if (lanes >> k & 1)
            FinishPixel(job, f[k], c0 + k, r, g.lambdaB[k], g.light[k],
                        out + static_cast<ptrdiff_t>(k) * job.planes);
}

void RenderDeformRowLanes(const DeformJob& job, int32_t r)
{
    deform_lanes::RenderRowGroups<Lanes4>(job, r);
}

void RenderDeformRow(const DeformJob& job, int32_t r)
{
    if (job.lanes == 8)
        RenderDeformRow8(job, r);
    else if (job.lanes == 4)
        RenderDeformRowLanes(job, r);
    else
        RenderDeformRowScalar(job, r);
}
