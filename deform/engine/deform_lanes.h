// Lane arithmetic of the velk3d row loops: four lanes (SSE2, every target)
// and, in a file built for AVX2, eight. Each helper is the scalar operation
// done lane by lane, so a formula written with them in the scalar order
// gives the scalar bytes at either width. The row loop is written once as
// templates over Lanes4 or Lanes8.
//
// The eight-lane helpers exist only where __AVX2__ is defined. The
// eight-lane file calls no four-lane helper and no inline function of the
// shared headers (deform_pixel.h, common/), only functions compiled
// elsewhere, so nothing compiled for AVX2 can stand in for a function of
// the four-lane code at link time.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace deform_lanes {

// ---- Four lanes -----------------------------------------------------------

typedef __m128 F4;
typedef __m128i I4;

struct Lanes4 {
    static constexpr int N = 4;
    typedef __m128 F;
    typedef __m128i I;
    static F Splat(float x) { return _mm_set1_ps(x); }
    static I SplatI(int32_t n) { return _mm_set1_epi32(n); }
    static F Zero() { return _mm_setzero_ps(); }
    static I ZeroI() { return _mm_setzero_si128(); }
    static I Index() { return _mm_setr_epi32(0, 1, 2, 3); }
    template <class At> static F Floats(At at) { return _mm_setr_ps(at(0), at(1), at(2), at(3)); }
    static void Store(int32_t* p, I v) { _mm_store_si128(reinterpret_cast<I*>(p), v); }
    static void Store(float* p, F v) { _mm_store_ps(p, v); }
};

inline F4 Add(F4 a, F4 b) { return _mm_add_ps(a, b); }
inline F4 Sub(F4 a, F4 b) { return _mm_sub_ps(a, b); }
inline F4 Mul(F4 a, F4 b) { return _mm_mul_ps(a, b); }
inline F4 Div(F4 a, F4 b) { return _mm_div_ps(a, b); }
inline F4 And(F4 a, F4 b) { return _mm_and_ps(a, b); }
inline F4 Or(F4 a, F4 b) { return _mm_or_ps(a, b); }
inline F4 AndNot(F4 a, F4 b) { return _mm_andnot_ps(a, b); } // b where a is clear
inline F4 Less(F4 a, F4 b) { return _mm_cmplt_ps(a, b); }
inline F4 LessEq(F4 a, F4 b) { return _mm_cmple_ps(a, b); }
inline F4 Greater(F4 a, F4 b) { return _mm_cmpgt_ps(a, b); }
inline F4 AtLeast(F4 a, F4 b) { return _mm_cmpge_ps(a, b); }
inline F4 IsNaN(F4 a) { return _mm_cmpunord_ps(a, a); }
inline F4 AsMask(I4 m) { return _mm_castsi128_ps(m); }
inline I4 AsMaskI(F4 m) { return _mm_castps_si128(m); }
inline F4 Select(F4 mask, F4 a, F4 b) { return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b)); }
inline F4 ToFloat(I4 n) { return _mm_cvtepi32_ps(n); }
inline I4 TruncInRange(F4 x) { return _mm_cvttps_epi32(x); } // |x| < 2^31, not NaN
inline int Lanes(F4 mask) { return _mm_movemask_ps(mask); }

inline I4 AddI(I4 a, I4 b) { return _mm_add_epi32(a, b); }
inline I4 SubI(I4 a, I4 b) { return _mm_sub_epi32(a, b); }
inline I4 AndI(I4 a, I4 b) { return _mm_and_si128(a, b); }
inline I4 OrI(I4 a, I4 b) { return _mm_or_si128(a, b); }
inline I4 AndNotI(I4 a, I4 b) { return _mm_andnot_si128(a, b); }
inline I4 EqualI(I4 a, I4 b) { return _mm_cmpeq_epi32(a, b); }
inline I4 GreaterI(I4 a, I4 b) { return _mm_cmpgt_epi32(a, b); }
inline I4 LessI(I4 a, I4 b) { return _mm_cmplt_epi32(a, b); }
inline I4 SelectI(I4 mask, I4 a, I4 b)
{
    return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}
inline I4 ShiftRightI(I4 a, int n) { return _mm_srli_epi32(a, n); }
inline I4 MulBytes(I4 a, I4 b) { return _mm_mullo_epi16(a, b); } // 0 <= a, b <= 255
inline I4 MaxBytes(I4 a, I4 b) { return _mm_max_epi16(a, b); }   // lanes 0..255
inline I4 MinBytes(I4 a, I4 b) { return _mm_min_epi16(a, b); }
inline int LanesI(I4 mask) { return _mm_movemask_ps(_mm_castsi128_ps(mask)); }

// ---- Eight lanes ----------------------------------------------------------

#if defined(__AVX2__)
typedef __m256 F8;
typedef __m256i I8;

struct Lanes8 {
    static constexpr int N = 8;
    typedef __m256 F;
    typedef __m256i I;
    static F Splat(float x) { return _mm256_set1_ps(x); }
    static I SplatI(int32_t n) { return _mm256_set1_epi32(n); }
    static F Zero() { return _mm256_setzero_ps(); }
    static I ZeroI() { return _mm256_setzero_si256(); }
    static I Index() { return _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7); }
    template <class At> static F Floats(At at)
    {
        return _mm256_setr_ps(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
    }
    static void Store(int32_t* p, I v) { _mm256_store_si256(reinterpret_cast<I*>(p), v); }
    static void Store(float* p, F v) { _mm256_store_ps(p, v); }
};

inline F8 Add(F8 a, F8 b) { return _mm256_add_ps(a, b); }
inline F8 Sub(F8 a, F8 b) { return _mm256_sub_ps(a, b); }
inline F8 Mul(F8 a, F8 b) { return _mm256_mul_ps(a, b); }
inline F8 Div(F8 a, F8 b) { return _mm256_div_ps(a, b); }
inline F8 And(F8 a, F8 b) { return _mm256_and_ps(a, b); }
inline F8 Or(F8 a, F8 b) { return _mm256_or_ps(a, b); }
inline F8 AndNot(F8 a, F8 b) { return _mm256_andnot_ps(a, b); }
inline F8 Less(F8 a, F8 b) { return _mm256_cmp_ps(a, b, _CMP_LT_OS); }
inline F8 LessEq(F8 a, F8 b) { return _mm256_cmp_ps(a, b, _CMP_LE_OS); }
inline F8 Greater(F8 a, F8 b) { return _mm256_cmp_ps(a, b, _CMP_GT_OS); }
inline F8 AtLeast(F8 a, F8 b) { return _mm256_cmp_ps(a, b, _CMP_GE_OS); }
inline F8 IsNaN(F8 a) { return _mm256_cmp_ps(a, a, _CMP_UNORD_Q); }
inline F8 AsMask(I8 m) { return _mm256_castsi256_ps(m); }
inline I8 AsMaskI(F8 m) { return _mm256_castps_si256(m); }
inline F8 Select(F8 mask, F8 a, F8 b) { return _mm256_blendv_ps(b, a, mask); }
inline F8 ToFloat(I8 n) { return _mm256_cvtepi32_ps(n); }
inline I8 TruncInRange(F8 x) { return _mm256_cvttps_epi32(x); }
inline int Lanes(F8 mask) { return _mm256_movemask_ps(mask); }

inline I8 AddI(I8 a, I8 b) { return _mm256_add_epi32(a, b); }
inline I8 SubI(I8 a, I8 b) { return _mm256_sub_epi32(a, b); }
inline I8 AndI(I8 a, I8 b) { return _mm256_and_si256(a, b); }
inline I8 OrI(I8 a, I8 b) { return _mm256_or_si256(a, b); }
inline I8 AndNotI(I8 a, I8 b) { return _mm256_andnot_si256(a, b); }
inline I8 EqualI(I8 a, I8 b) { return _mm256_cmpeq_epi32(a, b); }
inline I8 GreaterI(I8 a, I8 b) { return _mm256_cmpgt_epi32(a, b); }
inline I8 LessI(I8 a, I8 b) { return _mm256_cmpgt_epi32(b, a); }
inline I8 SelectI(I8 mask, I8 a, I8 b) { return _mm256_blendv_epi8(b, a, mask); }
inline I8 ShiftRightI(I8 a, int n) { return _mm256_srli_epi32(a, n); }
inline I8 MulBytes(I8 a, I8 b) { return _mm256_mullo_epi16(a, b); }
inline I8 MaxBytes(I8 a, I8 b) { return _mm256_max_epi32(a, b); }
inline I8 MinBytes(I8 a, I8 b) { return _mm256_min_epi32(a, b); }
inline int LanesI(I8 mask) { return _mm256_movemask_ps(_mm256_castsi256_ps(mask)); }
#endif

// ---- Either width ---------------------------------------------------------

// TruncToInt of each lane: truncation toward zero, NaN 0, beyond the 32-bit
// range its nearest end.
template <class L> typename L::I TruncToInts(typename L::F x)
{
    typename L::I t = TruncInRange(x); // 0x80000000 for NaN and out of range
    t = SelectI(AsMaskI(AtLeast(x, L::Splat(2147483648.0f))), L::SplatI(INT32_MAX), t);
    return AndNotI(AsMaskI(IsNaN(x)), t);
}

// x < 0 ? -1 : TruncToInt(x / d): the cell index of a non-negative position.
template <class L> typename L::I CellIndex(typename L::F x, typename L::F d)
{
    return SelectI(AsMaskI(Less(x, L::Zero())), L::SplatI(-1), TruncToInts<L>(Div(x, d)));
}

// ClampByte of each lane.
template <class L> typename L::I ClampBytes(typename L::I n)
{
    const typename L::I zero = L::ZeroI(), top = L::SplatI(255);
    n = SelectI(LessI(n, zero), zero, n);
    return SelectI(GreaterI(n, top), top, n);
}

} // namespace deform_lanes
