// FaceFactors and the moved position of a group of pixels in one stage,
// lane by lane in the scalar order (templates over Lanes4 or Lanes8). A
// group whose lanes are all on one face takes that face's formulas alone;
// a mixed group takes each present face's and keeps them where they apply.
#pragma once

#include "twostage/engine/strip_cells_lanes.h"

// The ramp of FaceFactors: a / D + 0.5, or (C - a) / D + 0.5 where that is
// above 1, clamped. Every face's two formulas take this shape once its
// distance is signed as a (0.5 - x / D is -x / D + 0.5 exactly); a ramp
// is never -0 and, in a group that is kept, a number.
template <class L> typename L::F Ramp(typename L::F a, typename L::F C, typename L::F D)
{
    typedef typename L::F F;
    const F half = L::Splat(0.5f);
    const F first = Add(Div(a, D), half);
    const F second = Add(Div(Sub(C, a), D), half);
    return ClampNumber01<L>(Select(Greater(first, L::Splat(1.0f)), second, first));
}

// k0 q p + k1 (1 - q)(1 - p) + k2 q (1 - p) + k3 p (1 - q): the side factor
// of faces 2, 3 and 4, each with its own corner order (face 2's first two
// terms are swapped, which the sum does not see).
template <class F> F InnerSide(const F k[4], F p, F q, F np, F nq)
{
    return Add(Add(Add(Mul(Mul(k[0], q), p), Mul(Mul(k[1], nq), np)), Mul(Mul(k[2], q), np)),
               Mul(Mul(k[3], p), nq));
}

// The gradient factor of face Face (1 .. 4) before the stage's offsets.
template <class L, int Face>
typename L::F FaceGradient(const StageLanes<L>& s, const Cells<L>& k)
{
    const typename L::F one = L::Splat(1.0f), gs = s.faceScale;
    if (Face == 1)
        return Sub(one, Mul(Sub(Mul(s.slopeY, k.U), Mul(s.slopeX, k.P)), gs));
    if (Face == 2)
        return Add(Add(one, Mul(s.slopeX, k.S)), Mul(s.slopeY, k.U));
    if (Face == 3)
        return Sub(Sub(one, Mul(s.slopeY, k.Q)), Mul(s.slopeX, k.P));
    return Add(one, Mul(Sub(Mul(s.slopeY, k.Q), Mul(s.slopeX, k.S)), gs));
}

// The side factor of face Face from the ramps p and q (np = 1 - p, nq = 1 - q).
template <class L, int Face>
typename L::F FaceSide(const StageLanes<L>& s, typename L::F p, typename L::F q,
                       typename L::F np, typename L::F nq)
{
    if (Face != 1)
        return InnerSide(s.corners[Face], p, q, np, nq);
    const typename L::F top = Add(Mul(s.c0, np), Mul(s.c2, p));
    const typename L::F bottom = Add(Mul(s.c1, np), Mul(s.c3, p));
    return Add(Mul(top, q), Mul(bottom, nq));
}

// The position face Face maps a point to.
template <class L, int Face>
void FaceMove(const StageLanes<L>& s, const Cells<L>& k, typename L::F& X, typename L::F& Y)
{
    typedef typename L::F F;
    typedef typename L::I I;
    const I one = L::SplatI(1);
    const F gs = s.faceScale;
    F x, y;
    if (Face == 1) {
        y = Add(Mul(k.U, gs), Mul(ToFloat(AddI(AddI(k.d, k.d), one)), s.cellH));
        x = Add(Mul(Add(k.P, s.cellWn), gs), Mul(ToFloat(AddI(k.v, k.v)), s.cellW));
    } else if (Face == 2) {
        y = Sub(Add(Add(Mul(s.skew2H, k.fd), Mul(s.skewW, k.fv)), k.dy), Mul(k.dx, s.sy));
        x = Sub(Add(Add(Mul(s.skew2W, k.fv), k.dx), Mul(k.dy, s.sx)), Mul(s.skewH, k.fd));
    } else if (Face == 3) {
        const F d1 = ToFloat(AddI(k.d, one)), v1 = ToFloat(AddI(k.v, one));
        y = Sub(Add(Add(Sub(Mul(d1, s.skew2H), s.skewW), k.dy), Mul(k.dx, s.sy)),
                Mul(s.skewW, k.fv));
        x = Add(Sub(Add(Add(Mul(v1, s.skew2W), Mul(s.skewH, k.fd)), k.dx), Mul(k.dy, s.sx)),
                s.skewH);
    } else {
        y = Add(Mul(Add(k.Q, s.cellHn), gs), Mul(ToFloat(AddI(k.d, k.d)), s.cellH));
        x = Add(Mul(k.S, gs), Mul(ToFloat(AddI(AddI(k.v, k.v), one)), s.cellW));
    }
    Y = Mul(y, s.zoom);
    X = Mul(x, s.zoom);
}
// The factors one stage leaves for a group, and what its curve
// coordinates come from.
template <class L> struct StageResult {
    typedef typename L::F F;
    F gradient, side;
    F a, b;  // the signed distances of the ramps and curve coordinates
    F outer; // faces 1 and 4
    F onFace;
};

// A group on face Face alone: a = U, -U, Q, -Q and b = -P, -S, P, S on
// faces 1 to 4, then that face's formulas.
template <class L, int Face>
void OneFace(const StageLanes<L>& s, const Cells<L>& k, typename L::F& X, typename L::F& Y,
             StageResult<L>& r)
{
    typedef typename L::F F;
    constexpr bool outer = Face == 1 || Face == 4;
    r.a = Face == 1 ? k.U : Face == 2 ? Negate<L>(k.U) : Face == 3 ? k.Q : Negate<L>(k.Q);
    r.b = Face == 1 ? Negate<L>(k.P) : Face == 2 ? Negate<L>(k.S) : Face == 3 ? k.P : k.S;
    r.gradient = FaceGradient<L, Face>(s, k);
    if (s.equalCorners) {
        r.side = s.c0;
    } else {
        const F D = outer ? s.faceBlur : s.blur;
        const F p = Ramp<L>(r.a, outer ? s.cellHn : s.cellH, D);
        const F q = Ramp<L>(r.b, outer ? s.cellWn : s.cellW, D);
        const F one = L::Splat(1.0f);
        r.side = FaceSide<L, Face>(s, p, q, Sub(one, p), Sub(one, q));
    }
    if (s.movesPixels)
        FaceMove<L, Face>(s, k, X, Y);
}

// Face Face in a mixed group: its factors and position where mask
// (its lanes) is set.
template <class L, int Face>
void MergeFace(const StageLanes<L>& s, const Cells<L>& k, typename L::F mask, typename L::F p,
               typename L::F q, typename L::F& X, typename L::F& Y, StageResult<L>& r)
{
    typedef typename L::F F;
    if (!Lanes(mask))
        return;
    r.gradient = Select(mask, FaceGradient<L, Face>(s, k), r.gradient);
    if (!s.equalCorners) {
        const F one = L::Splat(1.0f);
        r.side = Select(mask, FaceSide<L, Face>(s, p, q, Sub(one, p), Sub(one, q)), r.side);
    }
    if (s.movesPixels) {
        F x, y;
        FaceMove<L, Face>(s, k, x, y);
        X = Select(mask, x, X);
        Y = Select(mask, y, Y);
    }
}

// A group on several faces: a and b chosen lane by lane, one pair of ramps,
// then each present face's formulas where they apply.
template <class L>
void MixedFaces(const StageLanes<L>& s, const Cells<L>& k, typename L::F& X, typename L::F& Y,
                StageResult<L>& r)
{
    typedef typename L::F F;
    const F first2 = Or(k.f1, k.f2);
    r.a = NegWhere<L>(Or(k.f2, k.f4), Select(first2, k.U, k.Q));
    r.b = NegWhere<L>(first2, Select(Or(k.f1, k.f3), k.P, k.S));
    r.gradient = r.side = s.c0;
    F p = r.side, q = r.side;
    if (!s.equalCorners) {
        const F D = Select(k.outer, s.faceBlur, s.blur);
        p = Ramp<L>(r.a, Select(k.outer, s.cellHn, s.cellH), D);
        q = Ramp<L>(r.b, Select(k.outer, s.cellWn, s.cellW), D);
    }
    MergeFace<L, 1>(s, k, k.f1, p, q, X, Y, r);
    MergeFace<L, 2>(s, k, k.f2, p, q, X, Y, r);
    MergeFace<L, 3>(s, k, k.f3, p, q, X, Y, r);
    MergeFace<L, 4>(s, k, k.f4, p, q, X, Y, r);
}

// One stage for a group: the factors (after the stage's offsets), the shade
// product and the moved position.
template <class L>
LANES_INLINE void MapStage(const StageLanes<L>& s, const RowShear<L>* rowShear,
                           typename L::F& X, typename L::F& Y, typename L::F& shade,
                           StageResult<L>& r, typename L::F& wide)
{
    const Cells<L> k = Measure<L>(s, X, Y, rowShear, wide);
    r.outer = k.outer;
    r.onFace = k.onFace;
    constexpr int all = (1 << L::N) - 1;
    if (Lanes(k.f1) == all)
        OneFace<L, 1>(s, k, X, Y, r);
    else if (Lanes(k.f2) == all)
        OneFace<L, 2>(s, k, X, Y, r);
    else if (Lanes(k.f3) == all)
        OneFace<L, 3>(s, k, X, Y, r);
    else if (Lanes(k.f4) == all)
        OneFace<L, 4>(s, k, X, Y, r);
    else
        MixedFaces<L>(s, k, X, Y, r);
    shade = Mul(shade, Add(Add(r.gradient, s.gradientBase), s.sideBase));
    r.side = Add(r.side, s.sideBase);
    r.gradient = Add(Add(r.gradient, s.gradientBase), s.lightBoost);
}
