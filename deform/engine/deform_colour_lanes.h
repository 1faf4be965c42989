// The saturation step of deform_colour.h for a group of pixels (templates
// over Lanes4 or Lanes8). Every lane gives the bytes of the scalar step:
// integer quotients are taken as float quotients of exact integers (below
// 2^16 over at most 255, so the truncated float quotient is the integer one)
// or as (x + 1 + (x >> 8)) >> 8, which equals x / 255 for every x up to
// 255 x 255.
#pragma once

#include "common/lanes.h"

namespace deform_lanes {

// x / 255 for 0 <= x <= 65025, in each lane.
template <class L> typename L::I Divide255(typename L::I x)
{
    return ShiftRightI(AddI(AddI(x, L::SplatI(1)), ShiftRightI(x, 8)), 8);
}

// trunc(a / b) for integers 0 <= a <= 65025 and 1 <= b <= 255.
template <class L> typename L::I DivideExact(typename L::I a, typename L::I b)
{
    return TruncInRange(Div(ToFloat(a), ToFloat(b)));
}

// Resaturate (deform_colour.h) of a group with channels b0, b1, b2 (0..255
// each).
template <class L>
void Resaturate(typename L::I& b0, typename L::I& b1, typename L::I& b2, typename L::F lambdaB,
                typename L::F light, float satGain)
{
    typedef typename L::F F;
    typedef typename L::I I;
    const I V = MaxBytes(MaxBytes(b0, b1), b2);
    const I n = MinBytes(MinBytes(b0, b1), b2);
    const I grey = EqualI(V, n);
    if (LanesI(grey) == (1 << L::N) - 1) return;
    // Grey lanes divide by 1 instead of 0; their result is not used.
    const I one = L::SplatI(1), c255 = L::SplatI(255);
    const I range = SelectI(grey, one, SubI(V, n));
    const I S = DivideExact<L>(MulBytes(SubI(V, n), c255), SelectI(grey, one, V));
    const I e0 = DivideExact<L>(MulBytes(SubI(V, b0), c255), range);
    const I e1 = DivideExact<L>(MulBytes(SubI(V, b1), c255), range);
    const I e2 = DivideExact<L>(MulBytes(SubI(V, b2), c255), range);
    const I first = EqualI(b0, V), second = EqualI(b1, V);
    I hue = SelectI(first, SubI(e2, e1),
                    SelectI(second, AddI(SubI(e0, e2), L::SplatI(512)),
                            AddI(SubI(e1, e0), L::SplatI(1024))));

    const F f1 = L::Splat(1.0f);
    const F gain = Select(Less(lambdaB, f1), Add(Mul(Sub(f1, lambdaB), L::Splat(satGain)), f1), light);
    const I s = ClampBytes<L>(TruncToInts(Mul(ToFloat(S), gain)));
    hue = AddI(hue, AndI(LessI(hue, L::ZeroI()), L::SplatI(1536)));
    hue = AndNotI(GreaterI(hue, L::SplatI(1535)), hue);
    const I f = AndI(hue, c255);
    const I sector = ShiftRightI(hue, 8);

    const I low = Divide255<L>(MulBytes(V, SubI(c255, s)));
    const I falling = Divide255<L>(MulBytes(V, SubI(c255, Divide255<L>(MulBytes(f, s)))));
    const I rising =
        Divide255<L>(MulBytes(V, SubI(c255, Divide255<L>(MulBytes(SubI(c255, f), s)))));
    I is[6];
    for (int k = 0; k < 6; ++k)
        is[k] = EqualI(sector, L::SplatI(k));
    // Sector: 0 (V, rising, low), 1 (falling, V, low), 2 (low, V, rising),
    // 3 (low, falling, V), 4 (rising, low, V), 5 (V, low, falling).
    const I c0 = SelectI(is[1], falling, SelectI(OrI(is[2], is[3]), low, SelectI(is[4], rising, V)));
    const I c1 = SelectI(is[0], rising, SelectI(OrI(is[1], is[2]), V, SelectI(is[3], falling, low)));
    const I c2 = SelectI(OrI(is[0], is[1]), low, SelectI(is[2], rising, SelectI(is[5], falling, V)));
    b0 = SelectI(grey, b0, c0);
    b1 = SelectI(grey, b1, c1);
    b2 = SelectI(grey, b2, c2);
}

} // namespace deform_lanes
