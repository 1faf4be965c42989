// Four single-precision lanes (SSE2, present on every target). Each lane's
// add, subtract, multiply, divide and conversion is the same correctly
// rounded operation the scalar code does, so a formula evaluated lane by
// lane in the scalar order gives the scalar bytes.
#pragma once

#include <emmintrin.h>

#include <cstdint>

typedef __m128 F4;
typedef __m128i I4;

inline F4 Splat(float x)
{
    return _mm_set1_ps(x);
}

// a where the lane's mask is set, else b.
inline F4 Select(F4 mask, F4 a, F4 b)
{
    return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
}

inline I4 SelectI(I4 mask, I4 a, I4 b)
{
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}

// TruncToInt of each lane: truncation toward zero, NaN 0, beyond the 32-bit
// range its nearest end.
inline I4 TruncToInt4(F4 x)
{
    I4 t = _mm_cvttps_epi32(x); // 0x80000000 for NaN and out of range
    const I4 above = _mm_castps_si128(_mm_cmpge_ps(x, Splat(2147483648.0f)));
    t = SelectI(above, _mm_set1_epi32(INT32_MAX), t);
    return _mm_andnot_si128(_mm_castps_si128(_mm_cmpunord_ps(x, x)), t);
}

// x < 0 ? -1 : TruncToInt(x / d): the cell index of a non-negative position.
inline I4 CellIndex4(F4 x, F4 d)
{
    const I4 negative = _mm_castps_si128(_mm_cmplt_ps(x, _mm_setzero_ps()));
    return SelectI(negative, _mm_set1_epi32(-1), TruncToInt4(_mm_div_ps(x, d)));
}

inline F4 ToFloat4(I4 n)
{
    return _mm_cvtepi32_ps(n);
}

inline int Lanes(F4 mask)
{
    return _mm_movemask_ps(mask);
}

inline int LanesI(I4 mask)
{
    return _mm_movemask_ps(_mm_castsi128_ps(mask));
}
