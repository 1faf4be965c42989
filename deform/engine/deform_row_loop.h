// The group row loop of RenderDeformation for either width (Lanes4 or
// Lanes8): the faces, source positions and footprints of a group in lanes,
// the colour of plain pixels in lanes, and the other pixels through the
// one-pixel steps (deform_group_steps.h). Every lane gives the one-pixel
// loop's bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "deform/engine/deform_corner_lanes.h"
#include "deform/engine/deform_face.h"
#include "deform/engine/deform_face_lanes.h"
#include "deform/engine/deform_group_steps.h"

namespace deform_lanes {

// What every group of row r shares: the face and row constants, the source
// rectangle in the forms the footprints compare against.
template <class L> struct RowLanes {
    typedef typename L::F F;
    typedef typename L::I I;
    FaceConstants<L> w;
    RowConstants<L> rc;
    F top, bottom, left, right;     // the rectangle
    F top1, left1, bottom1, right1; // edge flags: top + 1, left + 1, bottom - 1, right - 1
    F rowFine, columnFine;
    I leftI, lastX, topI, lastY; // the corners' range
    // The byte offset of the rectangle's last pixel, -1 when some corner's
    // offset would not fit in 32 bits.
    int32_t lastOffset;

    RowLanes(const DeformJob& job, int32_t r) : w(job.d)
    {
        const DeformSetup& d = job.d;
        const DeformInputs& in = *job.in;
        const DeformBuffers& b = *job.b;
        rc.v = static_cast<float>(static_cast<int64_t>(r) - in.rowOffset) + 0.5f;
        const int32_t tileRow = DeformTileRow(d, rc.v);
        rc.oddRow = (tileRow & 1) != 0;
        const float rowStart = rc.oddRow ? static_cast<float>(static_cast<int64_t>(tileRow) + 1)
                                         : static_cast<float>(tileRow);
        rc.rowShift = L::Splat(d.kx * (rc.v - d.A * rowStart));
        rc.kxv = L::Splat(d.kx * rc.v);
        top = L::Splat(static_cast<float>(b.top)), bottom = L::Splat(static_cast<float>(b.bottom));
        left = L::Splat(static_cast<float>(b.left)), right = L::Splat(static_cast<float>(b.right));
        top1 = L::Splat(static_cast<float>(b.top + 1));
        left1 = L::Splat(static_cast<float>(b.left + 1));
        bottom1 = L::Splat(static_cast<float>(b.bottom - 1));
        right1 = L::Splat(static_cast<float>(b.right - 1));
        rowFine = L::Splat(in.rowOffsetFine), columnFine = L::Splat(in.columnOffsetFine);
        leftI = L::SplatI(b.left), lastX = L::SplatI(b.right - 1);
        topI = L::SplatI(b.top), lastY = L::SplatI(b.bottom - 1);
        const int64_t last =
            (int64_t{b.bottom} - 1) * b.inRowBytes + (int64_t{b.right} - 1) * job.planes;
        lastOffset = b.inRowBytes > 0 && last <= INT32_MAX - 4 ? static_cast<int32_t>(last) : -1;
    }
};

// The footprints of source positions inside the rectangle: corners kept
// inside it and the bilinear weights, as Locate of the one-pixel loop.
template <class L>
GroupFootprints<L> Footprints(const RowLanes<L>& row, typename L::F sx, typename L::F sy)
{
    typedef typename L::F F;
    typedef typename L::I I;
    const I step = L::SplatI(1);
    const F one = L::Splat(1.0f);
    GroupFootprints<L> f;
    I cx = TruncToInts(sx), cy = TruncToInts(sy);
    cx = SelectI(LessI(cx, row.leftI), row.leftI, cx);
    f.cx = SelectI(GreaterI(cx, row.lastX), row.lastX, cx);
    cy = SelectI(LessI(cy, row.topI), row.topI, cy);
    f.cy = SelectI(GreaterI(cy, row.lastY), row.lastY, cy);
    const F fx = Sub(sx, ToFloat(f.cx)), fy = Sub(sy, ToFloat(f.cy));
    f.nx = SelectI(GreaterI(f.cx, SubI(row.lastX, step)), f.cx, AddI(f.cx, step));
    f.ny = SelectI(GreaterI(f.cy, SubI(row.lastY, step)), f.cy, AddI(f.cy, step));
    f.w00 = Mul(Sub(one, fy), Sub(one, fx));
    f.w10 = Mul(Sub(one, fy), fx);
    f.w01 = Mul(fy, Sub(one, fx));
    f.w11 = Mul(fx, fy);
    return f;
}

// The corner flags of antialiased positions near the rectangle's edges.
template <class L>
typename L::I EdgeFlags(const RowLanes<L>& row, typename L::F sx, typename L::F sy)
{
    typename L::I e = AndI(AsMaskI(Less(sy, row.top1)), L::SplatI(3));
    e = OrI(e, AndI(AsMaskI(Less(sx, row.left1)), L::SplatI(5)));
    e = OrI(e, AndI(AsMaskI(Greater(sy, row.bottom1)), L::SplatI(12)));
    return OrI(e, AndI(AsMaskI(Greater(sx, row.right1)), L::SplatI(10)));
}

template <class L> void RenderRowGroups(const DeformJob& job, int32_t r)
{
    typedef typename L::F F;
    typedef typename L::I I;
    constexpr int N = L::N;
    const DeformBuffers& b = *job.b;
    const RowLanes<L> row(job, r);
    const FaceConstants<L>& w = row.w;
    // Without a previewed transparency and with 3 colour channels, pixels
    // whose corners are not blended take the colour steps in lanes.
    const bool plain = !job.alphaPreview && job.d.channels == 3;
    uint8_t* rowOut = b.outData + static_cast<ptrdiff_t>(r) * b.outRowBytes;
    I columns = AddI(L::SplatI(job.cBegin - job.in->columnOffset), L::Index());
    for (int32_t c0 = job.cBegin; c0 < job.cEnd; c0 += N, columns = AddI(columns, L::SplatI(N))) {
        const F u = Add(ToFloat(columns), L::Splat(0.5f));
        FaceOut<L> face;
        F keep = Faces<L>(w, row.rc, u, &face);
        const F lambdaB = Add(face.lambda, w.base);
        const F light = Add(Add(face.lambda, w.base), w.boost);
        const F sy = Add(Mul(w.zoom, face.Y), row.rowFine);
        const F sx = Add(Mul(w.zoom, face.X), row.columnFine);
        keep = And(keep, And(And(LessEq(row.top, sy), Less(sy, row.bottom)),
                             And(LessEq(row.left, sx), Less(sx, row.right))));
        int lanes = Lanes(keep);
        if (c0 + N > job.cEnd) lanes &= (1 << (job.cEnd - c0)) - 1;
        if (!lanes) continue;

        const GroupFootprints<L> f = Footprints<L>(row, sx, sy);
        const I edges = job.d.antialias ? EdgeFlags<L>(row, sx, sy) : L::ZeroI();
        const int edged = LanesI(EqualI(edges, L::ZeroI())) ^ ((1 << N) - 1);
        uint8_t* out = rowOut + static_cast<ptrdiff_t>(c0) * job.planes;
        // Without a mask or edge flags and with 3 planes, no footprint
        // records are needed.
        if (plain && job.planes == 3 && !job.haveMask && !(edged & lanes)) {
            ColourLanes<L>(job, row.lastOffset, f, lanes, lambdaB, light, out);
            continue;
        }

        GroupRecords g;
        L::Store(g.ix, f.cx), L::Store(g.iy, f.cy), L::Store(g.x1, f.nx), L::Store(g.y1, f.ny);
        L::Store(g.w00, f.w00), L::Store(g.w10, f.w10);
        L::Store(g.w01, f.w01), L::Store(g.w11, f.w11);
        L::Store(g.edges, edges), L::Store(g.lambdaB, lambdaB), L::Store(g.light, light);
        Footprint p[kMaxGroupLanes];
        int blended;
        lanes = FootprintLanes(job, g, lanes, p, &blended);
        // Pixels with a corner blended toward the fill take the one-pixel
        // steps; the other plain pixels the colour steps in lanes.
        const int inLanes = plain ? lanes & ~blended : 0;
        if (inLanes) {
            ColourLanes<L>(job, row.lastOffset, f, inLanes, lambdaB, light, out);
            if (job.planes == 4) WriteAlphaLanes(job, p, inLanes, out);
        }
        if (lanes & ~inLanes) FinishLanes(job, g, p, lanes & ~inLanes, c0, r, out);
    }
}

} // namespace deform_lanes
