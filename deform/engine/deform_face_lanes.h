// DeformFace (deform_face.cpp) for a group of neighbouring pixels of one row
// (templates over Lanes4 or Lanes8): the same formulas in the same order and
// precision, each face evaluated only when some lane lies on it.
#pragma once

#include "common/lanes.h"
#include "deform/engine/deform_setup.h"

namespace deform_lanes {

// The face constants, one in every lane.
template <class L> struct FaceConstants {
    typename L::F A2, B, B2, Fa, Fb, Fc, Fd, G1, G2, KA2, MA, MB, Q, R, T, WA, WB, base, boost,
        kxA2, kxkyB2, ky, kyB2, zoom;

    explicit FaceConstants(const DeformSetup& d)
        : A2(L::Splat(d.A2)), B(L::Splat(d.B)), B2(L::Splat(d.B2)), Fa(L::Splat(d.Fa)),
          Fb(L::Splat(d.Fb)), Fc(L::Splat(d.Fc)), Fd(L::Splat(d.Fd)), G1(L::Splat(d.G1)),
          G2(L::Splat(d.G2)), KA2(L::Splat(d.KA2)), MA(L::Splat(d.MA)), MB(L::Splat(d.MB)),
          Q(L::Splat(d.Q)), R(L::Splat(d.R)), T(L::Splat(d.T)), WA(L::Splat(d.WA)),
          WB(L::Splat(d.WB)), base(L::Splat(d.base)), boost(L::Splat(d.boost)),
          kxA2(L::Splat(d.kxA2)), kxkyB2(L::Splat(d.kxkyB2)), ky(L::Splat(d.ky)),
          kyB2(L::Splat(d.kyB2)), zoom(L::Splat(d.zoom))
    {
    }
};

// Per-row constants.
template <class L> struct RowConstants {
    float v;
    typename L::F rowShift; // kx (v - A t'), added on even tile rows, subtracted on odd
    bool oddRow;
    typename L::F kxv;
};

// The distances and cell of a group.
template <class L> struct Cells {
    typename L::F u, fi, fj, uPlus, uMinus, vMinus, vPlus;
    typename L::F d1, d2, d3, d4;
    typename L::I i, j;
};

// What a face leaves: light and texture position.
template <class L> struct FaceOut {
    typename L::F lambda, X, Y;
};

// Ramp of deform_face.cpp, lane by lane: the first formula, the second
// where the first is above 1, clamped to 0..1 (NaN stays NaN).
template <class L> typename L::F Ramp(typename L::F first, typename L::F second)
{
    const typename L::F one = L::Splat(1.0f), zero = L::Zero();
    typename L::F r = Select(Greater(first, one), second, first);
    r = Select(Greater(r, one), one, r);
    return Select(Less(r, zero), zero, r);
}

template <class L> FaceOut<L> Face1(const FaceConstants<L>& d, const Cells<L>& k)
{
    typedef typename L::F F;
    const F Q = d.Q, half = L::Splat(0.5f), one = L::Splat(1.0f), R = d.R;
    const F r0 = Ramp<L>(Add(Div(k.d1, Q), half), Sub(half, Div(Sub(k.d1, d.MA), Q)));
    const F r1 = Ramp<L>(Sub(half, Div(k.d4, Q)), Add(Div(Add(k.d4, d.MB), Q), half));
    const F a = Mul(Sub(one, r1), Add(Mul(r0, d.Fb), Mul(Sub(one, r0), d.Fa)));
    const F b = Mul(r1, Add(Mul(r0, d.Fd), Mul(Sub(one, r0), d.Fc)));
    const F g = Mul(Sub(Mul(d.G1, k.d1), Mul(d.G2, k.d4)), R);
    FaceOut<L> o;
    o.lambda = Sub(Add(a, b), g);
    o.X = Add(Mul(R, Sub(Add(Mul(d.kxA2, k.fj), k.uMinus), Mul(d.B2, k.fi))),
              Mul(ToFloat(AddI(k.i, k.i)), d.WB));
    const F inner = Sub(Sub(Add(Mul(d.kyB2, k.fi), k.vMinus), Mul(d.A2, k.fj)), d.WA);
    o.Y = Add(Mul(R, inner), Mul(d.WA, ToFloat(AddI(L::SplatI(1), AddI(k.j, k.j)))));
    return o;
}

template <class L> FaceOut<L> Face2(const FaceConstants<L>& d, const Cells<L>& k)
{
    typedef typename L::F F;
    const F T = d.T, half = L::Splat(0.5f), one = L::Splat(1.0f);
    const F r0 = Ramp<L>(Sub(half, Div(k.d1, T)), Add(Div(Add(d.WA, k.d1), T), half));
    const F r1 = Ramp<L>(Sub(half, Div(k.d3, T)), Add(Div(Add(k.d3, d.WB), T), half));
    F l = Add(Mul(d.G1, k.d1), Mul(d.G2, k.d3));
    l = Add(l, Mul(Mul(Sub(one, r1), r0), d.Fa));
    l = Add(l, Mul(Mul(r0, r1), d.Fc));
    l = Add(l, Mul(Mul(Sub(one, r1), Sub(one, r0)), d.Fb));
    l = Add(l, Mul(Mul(Sub(one, r0), r1), d.Fd));
    FaceOut<L> o;
    o.lambda = l;
    o.X = Sub(Add(k.uPlus, Mul(d.kxkyB2, k.fi)), Mul(d.kxA2, k.fj));
    o.Y = Add(Add(k.vMinus, Mul(d.kyB2, k.fi)), Mul(d.KA2, k.fj));
    return o;
}

template <class L> FaceOut<L> Face3(const FaceConstants<L>& d, const Cells<L>& k)
{
    typedef typename L::F F;
    const F T = d.T, half = L::Splat(0.5f), one = L::Splat(1.0f);
    const F r0 = Ramp<L>(Add(Div(k.d2, T), half), Sub(half, Div(Sub(k.d2, d.WA), T)));
    const F r1 = Ramp<L>(Add(Div(k.d4, T), half), Sub(half, Div(Sub(k.d4, d.WB), T)));
    const F a = Mul(Sub(one, r1), Add(Mul(r0, d.Fd), Mul(Sub(one, r0), d.Fc)));
    const F b = Mul(r1, Add(Mul(r0, d.Fb), Mul(Sub(one, r0), d.Fa)));
    FaceOut<L> o;
    o.lambda = Sub(Sub(Add(a, b), Mul(d.G1, k.d2)), Mul(d.G2, k.d4));
    const typename L::I step = L::SplatI(1);
    o.X = Add(Add(k.uMinus, Mul(d.kxA2, k.fj)), Mul(d.kxkyB2, ToFloat(AddI(k.i, step))));
    o.Y = Sub(Add(k.vPlus, Mul(d.KA2, ToFloat(AddI(k.j, step)))), Mul(d.kyB2, k.fi));
    return o;
}

template <class L> FaceOut<L> Face4(const FaceConstants<L>& d, const Cells<L>& k)
{
    typedef typename L::F F;
    const F Q = d.Q, half = L::Splat(0.5f), one = L::Splat(1.0f), R = d.R;
    const F r0 = Ramp<L>(Sub(half, Div(k.d2, Q)), Add(Div(Add(d.MA, k.d2), Q), half));
    const F r1 = Ramp<L>(Add(Div(k.d3, Q), half), Sub(half, Div(Sub(k.d3, d.MB), Q)));
    F l = Mul(Mul(r1, Sub(one, r0)), d.Fb);
    l = Add(l, Mul(Mul(r0, r1), d.Fa));
    l = Add(l, Mul(Mul(Sub(one, r1), Sub(one, r0)), d.Fd));
    l = Add(l, Mul(Mul(Sub(one, r1), r0), d.Fc));
    l = Add(l, Mul(Sub(Mul(d.G1, k.d2), Mul(d.G2, k.d3)), R));
    FaceOut<L> o;
    o.lambda = l;
    const F inner = Sub(Sub(Sub(k.uPlus, Mul(d.B2, k.fi)), Mul(d.kxA2, k.fj)), d.WB);
    const typename L::I step = L::SplatI(1);
    o.X = Add(Mul(R, inner), Mul(d.WB, ToFloat(AddI(step, AddI(k.i, k.i)))));
    o.Y = Add(Mul(R, Sub(Sub(k.vPlus, Mul(d.A2, k.fj)), Mul(d.kyB2, k.fi))),
              Mul(ToFloat(AddI(k.j, k.j)), d.WA));
    return o;
}

template <class L> void Merge(FaceOut<L>& into, typename L::F mask, const FaceOut<L>& face)
{
    into.lambda = Select(mask, face.lambda, into.lambda);
    into.X = Select(mask, face.X, into.X);
    into.Y = Select(mask, face.Y, into.Y);
}

// The face of the pixels at columns u: mask of the lanes on a face, and
// their light and texture position.
template <class L>
typename L::F Faces(const FaceConstants<L>& d, const RowConstants<L>& rc, typename L::F u,
                    FaceOut<L>* out)
{
    typedef typename L::F F;
    typedef typename L::I I;
    Cells<L> k;
    const F v = L::Splat(rc.v);
    const F sx = rc.oddRow ? Sub(u, rc.rowShift) : Add(u, rc.rowShift);
    k.i = CellIndex<L>(sx, d.B2);
    const I tileColumn = CellIndex<L>(u, d.B);
    const I step = L::SplatI(1);
    const I oddColumn = EqualI(AndI(tileColumn, step), step);
    const F column = ToFloat(SelectI(oddColumn, AddI(tileColumn, step), tileColumn));
    const F t = Mul(d.ky, Sub(u, Mul(d.B, column)));
    const F sy = Select(AsMask(oddColumn), Add(v, t), Sub(v, t));
    k.j = CellIndex<L>(sy, d.A2);
    k.fi = ToFloat(k.i);
    k.fj = ToFloat(k.j);

    const F kyu = Mul(d.ky, u);
    k.vMinus = Sub(v, kyu);
    k.vPlus = Sub(Add(v, kyu), d.kyB2);
    k.uPlus = Add(u, rc.kxv);
    k.uMinus = Add(Sub(u, rc.kxv), d.kxA2);
    k.d1 = Sub(k.vMinus, Sub(Add(Mul(d.A2, k.fj), d.WA), Mul(d.kyB2, k.fi)));
    k.d2 = Sub(k.vPlus, Add(Add(Mul(d.kyB2, k.fi), Mul(d.A2, k.fj)), d.MA));
    k.d3 = Sub(k.uPlus, Add(Add(Mul(d.B2, k.fi), Mul(d.kxA2, k.fj)), d.WB));
    k.d4 = Sub(k.uMinus, Sub(Add(Mul(d.B2, k.fi), d.MB), Mul(d.kxA2, k.fj)));

    // The first face whose two conditions hold, in the scalar order.
    const F zero = L::Zero();
    const F f1 = And(AtLeast(k.d1, zero), Less(k.d4, zero));
    F taken = f1;
    const F f2 = AndNot(taken, And(Less(k.d1, zero), Less(k.d3, zero)));
    taken = Or(taken, f2);
    const F f3 = AndNot(taken, And(AtLeast(k.d2, zero), AtLeast(k.d4, zero)));
    taken = Or(taken, f3);
    const F f4 = AndNot(taken, And(Less(k.d2, zero), AtLeast(k.d3, zero)));
    taken = Or(taken, f4);

    out->lambda = out->X = out->Y = zero;
    if (Lanes(f1)) Merge<L>(*out, f1, Face1<L>(d, k));
    if (Lanes(f2)) Merge<L>(*out, f2, Face2<L>(d, k));
    if (Lanes(f3)) Merge<L>(*out, f3, Face3<L>(d, k));
    if (Lanes(f4)) Merge<L>(*out, f4, Face4<L>(d, k));
    return taken;
}

} // namespace deform_lanes
