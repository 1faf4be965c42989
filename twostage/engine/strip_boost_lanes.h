// BoostSaturation of a group of pixels at once, lane by lane in the scalar
// order (a template over Lanes4 or Lanes8).
#pragma once

#include "twostage/engine/strip_lanes.h"

// Raises the saturation of (x, y, z) by gain m in the lanes set in `apply`;
// the other lanes keep their components.
template <class L>
LANES_INLINE void BoostSaturationLanes(typename L::F& x, typename L::F& y, typename L::F& z,
                                       typename L::F m, typename L::F apply)
{
    typedef typename L::F F;
    const F zero = L::Zero(), one = L::Splat(1.0f), c255 = L::Splat(255.0f);
    const F max = Max(z, Max(x, y)); // x > y ? x : y, then z where larger
    const F min = Min(z, Min(x, y));
    const F d = Sub(max, min);
    const F coloured = AndNot(Or(Equal(max, zero), Equal(d, zero)), apply);

    // The hue of each case is (e(A) + K) - e(B), e(c) = (max - c) 255 / d
    // (the first case adds K = 0, which leaves e(A), never -0, as it is).
    // Grey and black lanes divide by 1 instead of 0; their quotients are
    // not used.
    const F xMax = Equal(x, max), yMax = AndNot(xMax, Equal(y, max));
    const F A = Select(xMax, z, Select(yMax, x, y));
    const F B = Select(xMax, y, Select(yMax, z, x));
    const F K = Select(xMax, zero, Select(yMax, L::Splat(512.0f), L::Splat(1024.0f)));
    const F dd = Select(coloured, d, one), mm = Select(coloured, max, one);
    const F eA = Div(Mul(Sub(max, A), c255), dd), eB = Div(Mul(Sub(max, B), c255), dd);
    F hue = And(coloured, Sub(Add(eA, K), eB));
    F s = And(coloured, Div(Mul(d, c255), mm));

    s = Mul(m, s);
    s = Select(Greater(s, c255), c255, s);
    const F turn = L::Splat(1536.0f);
    hue = Select(Less(hue, zero), Add(hue, turn), hue);
    hue = AndNot(AtLeast(hue, turn), hue);

    // hue / 256 is hue times 2^-8 exactly.
    const typename L::I sector =
        AndI(TruncToInts(Mul(hue, L::Splat(0.00390625f))), L::SplatI(255));
    const F f = Sub(hue, Mul(L::Splat(256.0f), ToFloat(sector)));
    const F sp = Select(Greater(s, zero), s, zero);
    const F v = max, k = L::Splat(1.0f / 255.0f);
    const F low = Mul(Mul(v, Sub(c255, sp)), k);
    const F fall = Mul(Mul(v, Sub(c255, Mul(Mul(f, sp), k))), k);
    const F rise = Mul(Mul(v, Sub(c255, Mul(Mul(Sub(c255, f), sp), k))), k);

    // Sector: 0 (v, rise, low), 1 (fall, v, low), 2 (low, v, rise),
    // 3 (low, fall, v), 4 (rise, low, v), 5 (v, low, fall); each component
    // is v in two sectors, low in two, and rise or fall in the other two.
    F is[6];
    for (int n = 0; n < 6; ++n)
        is[n] = And(apply, AsMask(EqualI(sector, L::SplatI(n))));
    const F mid = Select(AsMask(EqualI(AndI(sector, L::SplatI(1)), L::SplatI(1))), fall, rise);
    x = Select(Or(is[0], is[5]), v,
               Select(Or(is[2], is[3]), low, Select(Or(is[1], is[4]), mid, x)));
    y = Select(Or(is[1], is[2]), v,
               Select(Or(is[4], is[5]), low, Select(Or(is[0], is[3]), mid, y)));
    z = Select(Or(is[3], is[4]), v,
               Select(Or(is[0], is[1]), low, Select(Or(is[2], is[5]), mid, z)));
}
