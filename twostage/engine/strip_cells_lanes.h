// The lattice cell of a group of pixels in one stage: the band indices,
// the distances U, P, Q, S of MapThroughStage and the face each lane is on,
// lane by lane in the scalar order (templates over Lanes4 or Lanes8).
#pragma once

#include <cstdint>

#include "twostage/engine/strip_geometry.h"
#include "twostage/engine/strip_lanes.h"

// Band quotients below this keep every band index, t + 1 and 2 t + 1 exact
// as reals and in 32 bits, so Real(int64) of the scalar code is the lane
// conversion and product; other groups are left to the one-pixel path.
constexpr float kLaneBandLimit = 16777000.0f;

// The constants of one stage, one in every lane.
template <class L> struct StageLanes {
    typedef typename L::F F;
    F originX, originY, sx, sy;
    F rowP, rowP2, colP, colP2;
    F cellH, cellHn, cellW, cellWn;
    F skewH, skewW, skew2H, skew2W;
    F faceScale, zoom, faceBlur, blur;
    F slopeY, slopeX, c0, c1, c2, c3;
    F gradientBase, lightBoost, sideBase;
    F corners[5][4]; // the corner factors of faces 2, 3 and 4 in their blend order
    bool equalCorners; // the side factor of every face is c0
    bool movesPixels;
};

// A row band's shear at a position dy, added to dx (negated on odd bands);
// wide where the band index is beyond the lanes.
template <class L> struct RowShear {
    typename L::F shear, wide;
};

// BandIndex of each lane; quotients beyond kLaneBandLimit (or not numbers)
// are marked in `wide`, and their index is not used.
template <class L>
typename L::I BandIndexLanes(typename L::F a, typename L::F period, typename L::F& wide)
{
    const typename L::F q = Div(a, period);
    wide = Or(wide, NotLess(Abs<L>(q), L::Splat(kLaneBandLimit)));
    return AddI(TruncInRange(q), AsMaskI(Less(a, L::Zero())));
}

// (d - Real(n P)) k on even bands n, (d - Real((n + 1) P)) k on odd ones
// with its sign flipped.
template <class L>
typename L::F BandShear(typename L::F d, typename L::I n, typename L::F period, typename L::F k)
{
    const typename L::F edge = Mul(ToFloat(AddI(n, AndI(n, L::SplatI(1)))), period);
    return Xor(Mul(Sub(d, edge), k), AsMask(ShiftLeftI(n, 31)));
}

template <class L> RowShear<L> MakeRowShear(const StageLanes<L>& s, typename L::F dy)
{
    RowShear<L> r;
    r.wide = L::Zero();
    r.shear = BandShear<L>(dy, BandIndexLanes<L>(dy, s.rowP, r.wide), s.rowP, s.sx);
    return r;
}

// The distances of MapThroughStage and the faces they select.
template <class L> struct Cells {
    typedef typename L::F F;
    F dx, dy, fv, fd, U, P, Q, S;
    typename L::I v, d;
    F f1, f2, f3, f4, outer, onFace;
};

template <class L>
LANES_INLINE Cells<L> Measure(const StageLanes<L>& s, typename L::F X, typename L::F Y,
                              const RowShear<L>* rowShear, typename L::F& wide)
{
    typedef typename L::F F;
    Cells<L> k;
    k.dy = Sub(Y, s.originY);
    k.dx = Sub(X, s.originX);
    const F dx = k.dx, dy = k.dy;

    // u = dx + the row band's shear; c = dy - the column band's shear.
    RowShear<L> own;
    if (!rowShear) {
        own = MakeRowShear<L>(s, dy);
        rowShear = &own;
    }
    wide = Or(wide, rowShear->wide);
    k.v = BandIndexLanes<L>(Add(dx, rowShear->shear), s.colP2, wide);
    const typename L::I b = BandIndexLanes<L>(dx, s.colP, wide);
    k.d = BandIndexLanes<L>(Sub(dy, BandShear<L>(dx, b, s.colP, s.sy)), s.rowP2, wide);

    const F fv = ToFloat(k.v), fd = ToFloat(k.d);
    k.fv = fv, k.fd = fd;
    k.U = Add(Sub(Sub(Sub(dy, Mul(dx, s.sy)), s.cellH), Mul(fd, s.rowP2)), Mul(s.skewW, fv));
    k.P = Add(Sub(Sub(Add(Sub(dx, Mul(dy, s.sx)), s.skewH), Mul(s.colP2, fv)), s.cellWn),
              Mul(s.skewH, fd));
    k.Q = Sub(Sub(Sub(Sub(Add(dy, Mul(dx, s.sy)), s.skewW), Mul(fd, s.rowP2)), Mul(s.skewW, fv)),
              s.cellHn);
    k.S = Sub(Sub(Sub(Add(dx, Mul(dy, s.sx)), Mul(s.colP2, fv)), Mul(s.skewH, fd)), s.cellW);

    // The first face whose conditions hold, in the scalar order (faces 1
    // and 2 exclude each other through the sign of U).
    const F zero = L::Zero();
    k.f1 = And(AtLeast(k.U, zero), Less(k.P, zero));
    k.f2 = And(Less(k.U, zero), Less(k.S, zero));
    const F taken = Or(k.f1, k.f2);
    k.f3 = AndNot(taken, AtLeast(k.Q, zero));
    k.f4 = AndNot(Or(taken, k.f3), AtLeast(k.S, zero));
    k.outer = Or(k.f1, k.f4);
    k.onFace = Or(taken, Or(k.f3, k.f4));
    return k;
}

template <class L>
StageLanes<L> MakeStageLanes(const StageGeometry& g, const StageSettings& s, bool movesPixels)
{
    StageLanes<L> l;
    l.originX = L::Splat(g.originXf), l.originY = L::Splat(g.originYf);
    l.sx = L::Splat(g.sx), l.sy = L::Splat(g.sy);
    l.rowP = L::Splat(g.rowP), l.rowP2 = L::Splat(g.rowP2);
    l.colP = L::Splat(g.colP), l.colP2 = L::Splat(g.colP2);
    l.cellH = L::Splat(g.cellH), l.cellHn = L::Splat(g.cellHn);
    l.cellW = L::Splat(g.cellW), l.cellWn = L::Splat(g.cellWn);
    l.skewH = L::Splat(g.skewH), l.skewW = L::Splat(g.skewW);
    l.skew2H = L::Splat(g.skew2H), l.skew2W = L::Splat(g.skew2W);
    l.faceScale = L::Splat(g.faceScale), l.zoom = L::Splat(g.zoom);
    l.faceBlur = L::Splat(g.faceBlur), l.blur = L::Splat(s.blur);
    l.slopeY = L::Splat(g.slopeY), l.slopeX = L::Splat(g.slopeX);
    l.c0 = L::Splat(g.c0), l.c1 = L::Splat(g.c1), l.c2 = L::Splat(g.c2), l.c3 = L::Splat(g.c3);
    l.gradientBase = L::Splat(g.gradientBase), l.lightBoost = L::Splat(g.lightBoost);
    l.sideBase = L::Splat(g.sideBase);
    const float corners[5][4] = {{}, {}, {g.c0, g.c3, g.c2, g.c1}, {g.c3, g.c0, g.c1, g.c2},
                                 {g.c1, g.c2, g.c3, g.c0}};
    for (int f = 0; f < 5; ++f)
        for (int j = 0; j < 4; ++j)
            l.corners[f][j] = L::Splat(corners[f][j]);
    l.equalCorners = g.c0 == g.c1 && g.c1 == g.c2 && g.c2 == g.c3;
    l.movesPixels = movesPixels;
    return l;
}

