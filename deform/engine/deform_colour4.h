// The colour steps of four pixels at once, for the four-lane rows: the
// bilinear sum of the level-mapped corners times the light, and the
// saturation step of deform_colour.h. Every lane gives the bytes of the
// scalar steps: integer quotients are taken as float quotients of exact
// integers (below 2^16 over at most 255, so the truncated float quotient is
// the integer one) or as (x + 1 + (x >> 8)) >> 8, which equals x / 255 for
// every x up to 255 x 255.
#pragma once

#include "common/simd4.h"

// x / 255 for 0 <= x <= 65025, in each lane.
inline I4 Divide255(I4 x)
{
    return _mm_srli_epi32(_mm_add_epi32(_mm_add_epi32(x, _mm_set1_epi32(1)), _mm_srli_epi32(x, 8)), 8);
}

// trunc(a / b) for integers 0 <= a <= 65025 and 1 <= b <= 255.
inline I4 DivideExact(I4 a, I4 b)
{
    return _mm_cvttps_epi32(_mm_div_ps(ToFloat4(a), ToFloat4(b)));
}

// a * b for 0 <= a, b <= 255.
inline I4 MulBytes(I4 a, I4 b)
{
    return _mm_mullo_epi16(a, b);
}

// ClampByte of each lane.
inline I4 ClampByte4(I4 n)
{
    const I4 zero = _mm_setzero_si128(), top = _mm_set1_epi32(255);
    n = SelectI(_mm_cmplt_epi32(n, zero), zero, n);
    return SelectI(_mm_cmpgt_epi32(n, top), top, n);
}

inline I4 Max4(I4 a, I4 b) { return _mm_max_epi16(a, b); } // lanes 0..255
inline I4 Min4(I4 a, I4 b) { return _mm_min_epi16(a, b); }

// Resaturate (deform_colour.h) of four pixels with channels b0, b1, b2
// (0..255 each).
inline void Resaturate4(I4& b0, I4& b1, I4& b2, F4 lambdaB, F4 L, float satGain)
{
    const I4 V = Max4(Max4(b0, b1), b2);
    const I4 n = Min4(Min4(b0, b1), b2);
    const I4 grey = _mm_cmpeq_epi32(V, n);
    if (LanesI(grey) == 15) return;
    // Grey lanes divide by 1 instead of 0; their result is not used.
    const I4 one = _mm_set1_epi32(1), c255 = _mm_set1_epi32(255);
    const I4 range = SelectI(grey, one, _mm_sub_epi32(V, n));
    const I4 S = DivideExact(MulBytes(_mm_sub_epi32(V, n), c255), SelectI(grey, one, V));
    const I4 e0 = DivideExact(MulBytes(_mm_sub_epi32(V, b0), c255), range);
    const I4 e1 = DivideExact(MulBytes(_mm_sub_epi32(V, b1), c255), range);
    const I4 e2 = DivideExact(MulBytes(_mm_sub_epi32(V, b2), c255), range);
    const I4 first = _mm_cmpeq_epi32(b0, V), second = _mm_cmpeq_epi32(b1, V);
    I4 hue = SelectI(first, _mm_sub_epi32(e2, e1),
                     SelectI(second, _mm_add_epi32(_mm_sub_epi32(e0, e2), _mm_set1_epi32(512)),
                             _mm_add_epi32(_mm_sub_epi32(e1, e0), _mm_set1_epi32(1024))));

    const F4 f1 = Splat(1.0f);
    const F4 gain = Select(_mm_cmplt_ps(lambdaB, f1),
                           _mm_add_ps(_mm_mul_ps(_mm_sub_ps(f1, lambdaB), Splat(satGain)), f1), L);
    const I4 s = ClampByte4(TruncToInt4(_mm_mul_ps(ToFloat4(S), gain)));
    hue = _mm_add_epi32(hue, _mm_and_si128(_mm_cmplt_epi32(hue, _mm_setzero_si128()),
                                           _mm_set1_epi32(1536)));
    hue = _mm_andnot_si128(_mm_cmpgt_epi32(hue, _mm_set1_epi32(1535)), hue);
    const I4 f = _mm_and_si128(hue, c255);
    const I4 sector = _mm_srli_epi32(hue, 8);

    const I4 low = Divide255(MulBytes(V, _mm_sub_epi32(c255, s)));
    const I4 falling = Divide255(MulBytes(V, _mm_sub_epi32(c255, Divide255(MulBytes(f, s)))));
    const I4 rising =
        Divide255(MulBytes(V, _mm_sub_epi32(c255, Divide255(MulBytes(_mm_sub_epi32(c255, f), s)))));
    I4 is[6];
    for (int k = 0; k < 6; ++k)
        is[k] = _mm_cmpeq_epi32(sector, _mm_set1_epi32(k));
    // Sector: 0 (V, rising, low), 1 (falling, V, low), 2 (low, V, rising),
    // 3 (low, falling, V), 4 (rising, low, V), 5 (V, low, falling).
    const I4 c0 = SelectI(is[1], falling, SelectI(_mm_or_si128(is[2], is[3]), low,
                                                  SelectI(is[4], rising, V)));
    const I4 c1 = SelectI(is[0], rising, SelectI(_mm_or_si128(is[1], is[2]), V,
                                                 SelectI(is[3], falling, low)));
    const I4 c2 = SelectI(_mm_or_si128(is[0], is[1]), low, SelectI(is[2], rising,
                                                                   SelectI(is[5], falling, V)));
    b0 = SelectI(grey, b0, c0);
    b1 = SelectI(grey, b1, c1);
    b2 = SelectI(grey, b2, c2);
}
