// The mapping of a group of neighbouring pixels of a row through both
// stages at once: stage 2, the curve, stage 1, lane by lane in the scalar
// order (templates over Lanes4 or Lanes8). A group whose lanes are all on a
// face of both stages, with curve coordinates that are numbers, depends on
// no pixel before it; any other group is left to the one-pixel path.
#pragma once

#include <cstdint>

#include "twostage/engine/strip_faces_lanes.h"
#include "twostage/engine/strip_job.h"

// The constants of the mapping of one row.
template <class L> struct RowLanes {
    typedef typename L::F F;
    StageLanes<L> stage[2];
    F Y;                 // the row's position before stage 2
    RowShear<L> shear;   // stage 2's, the same for the whole row
    F scaleX, startX;
    F curveAmpX, curveAmpY, offsetX, offsetY;
    const float* curve;
};

// A group mapped through both stages, as the shading needs it. Index 0 is
// stage 1, 1 stage 2, as in TwoStageJob::geometry.
template <class L> struct MappedLanes {
    typedef typename L::F F;
    F X, Y; // after stage 1 (moved only with deformation)
    F shade;
    F gradientFactor[2], sideFactor[2];
    // What stage 1's curve coordinates are formed from, kept for the pixel
    // after the group.
    F curveA, curveB, outerFace;
};

// The curve coordinates a / cellH and b / cellW, times the face scale on
// faces 1 and 4 (times 1, which changes nothing, on the others).
template <class L>
void CurveCoordinates(const StageLanes<L>& s, typename L::F a, typename L::F b,
                      typename L::F outer, typename L::F& curveU, typename L::F& curveV)
{
    const typename L::F scale = Select(outer, s.faceScale, L::Splat(1.0f));
    curveU = Mul(Div(a, s.cellH), scale);
    curveV = Mul(Div(b, s.cellW), scale);
}

// The curve table entries of a group's curve coordinates; lanes that are
// not numbers are marked in nan. trunc(1999 c) clamped to the table is the
// truncation of 1999 c clamped to 0 .. 1999.
template <class L>
LANES_INLINE typename L::F CurveAt(const float* curve, typename L::F c, typename L::F& nan)
{
    nan = Or(nan, IsNaN(c));
    const typename L::F v = Min(Max(Mul(L::Splat(1999.0f), c), L::Zero()),
                                L::Splat(static_cast<float>(kCurveTableSize - 1)));
    alignas(32) int32_t i[L::N];
    L::Store(i, TruncInRange(v));
    return L::Floats([&](int k) { return curve[i[k]]; });
}

template <class L> void SetUpRowLanes(const TwoStageJob& job, int32_t y, RowLanes<L>& row)
{
    row.stage[0] = MakeStageLanes<L>(job.geometry[0], job.settings[0], job.deformation);
    row.stage[1] = MakeStageLanes<L>(job.geometry[1], job.settings[1], true);
    row.Y = L::Splat(static_cast<float>(y) * job.scaleY + job.startY);
    row.shear = MakeRowShear<L>(row.stage[1], Sub(row.Y, row.stage[1].originY));
    row.scaleX = L::Splat(job.scaleX), row.startX = L::Splat(job.startX);
    row.curveAmpX = L::Splat(job.curveAmpX), row.curveAmpY = L::Splat(job.curveAmpY);
    row.offsetX = L::Splat(job.settings[0].offsetX);
    row.offsetY = L::Splat(job.settings[0].offsetY);
    row.curve = job.curve;
}

// Maps pixels x0 .. x0 + N - 1 of the row. False when the group depends on
// the pixels before it (a lane on no face, a curve coordinate that is not a
// number) or has a band index beyond the lane formulas.
template <class L> bool MapLanes(const RowLanes<L>& row, int32_t x0, MappedLanes<L>& out)
{
    typedef typename L::F F;
    constexpr int all = (1 << L::N) - 1;
    if (Lanes(row.shear.wide))
        return false;
    F X = Add(Mul(ToFloat(AddI(L::SplatI(x0), L::Index())), row.scaleX), row.startX);
    F Y = row.Y;
    F shade = L::Splat(1.0f), wide = L::Zero();

    // Stage 2, then the curved deformation from its curve coordinates.
    StageResult<L> r;
    MapStage<L>(row.stage[1], &row.shear, X, Y, shade, r, wide);
    if (Lanes(r.onFace) != all || Lanes(wide) != 0)
        return false;
    out.gradientFactor[1] = r.gradient, out.sideFactor[1] = r.side;
    F curveU, curveV, nan = L::Zero();
    CurveCoordinates<L>(row.stage[1], r.a, r.b, r.outer, curveU, curveV);
    const F bendY = CurveAt<L>(row.curve, curveV, nan), bendX = CurveAt<L>(row.curve, curveU, nan);
    if (Lanes(nan) != 0)
        return false;
    Y = Sub(Add(row.offsetY, Y), Mul(bendY, row.curveAmpY));
    X = Sub(Add(row.offsetX, X), Mul(bendX, row.curveAmpX));

    MapStage<L>(row.stage[0], nullptr, X, Y, shade, r, wide);
    if (Lanes(r.onFace) != all || Lanes(wide) != 0)
        return false;
    out.gradientFactor[0] = r.gradient, out.sideFactor[0] = r.side;
    out.curveA = r.a, out.curveB = r.b, out.outerFace = r.outer;
    out.X = X, out.Y = Y, out.shade = shade;
    return true;
}

// Stage 1's curve coordinates of the group's last pixel.
template <class L>
void LastCurveCoordinates(const RowLanes<L>& row, const MappedLanes<L>& group, float& curveU,
                          float& curveV)
{
    typename L::F u, v;
    CurveCoordinates<L>(row.stage[0], group.curveA, group.curveB, group.outerFace, u, v);
    curveU = LastLane(u);
    curveV = LastLane(v);
}
