// Lane arithmetic of the engines' row loops: four lanes (SSE2, every
// target) and, in files built for AVX2, eight. Every helper is the scalar
// operation done lane by lane, so a formula written with them in the scalar
// order gives the scalar bits at either width; the row loops are written
// once as templates over Lanes4 or Lanes8.
//
// The eight-lane helpers exist only where __AVX2__ is defined. A file built
// for AVX2 must call no four-lane helper and no other inline function that
// code built without AVX2 also uses: the linker keeps one copy of an inline
// function, and an AVX2 copy would then run on processors without AVX2.
#pragma once

#include <climits>
#include <cstdint>

#include "common/simd4.h"

#if defined(__AVX2__)
#include <immintrin.h>
#endif

// ---- Four lanes -----------------------------------------------------------

struct Lanes4 {
    static constexpr int N = 4;
    typedef __m128 F;
    typedef __m128i I;
    static F Splat(float x) { return _mm_set1_ps(x); }
    static I SplatI(int32_t n) { return _mm_set1_epi32(n); }
    static F Zero() { return _mm_setzero_ps(); }
    static I ZeroI() { return _mm_setzero_si128(); }
    static I Index() { return _mm_setr_epi32(0, 1, 2, 3); }
    // The lanes from at(0) .. at(N - 1).
    template <class At> static I Ints(At at) { return _mm_setr_epi32(at(0), at(1), at(2), at(3)); }
    template <class At> static F Floats(At at) { return _mm_setr_ps(at(0), at(1), at(2), at(3)); }
    static I Load(const int32_t* p) { return _mm_load_si128(reinterpret_cast<const I*>(p)); }
    static void Store(int32_t* p, I v) { _mm_store_si128(reinterpret_cast<I*>(p), v); }
    static void Store(float* p, F v) { _mm_store_ps(p, v); }
    static void StoreBytes(uint8_t* p, I v) { _mm_store_si128(reinterpret_cast<I*>(p), v); }
    static void StoreBytesUnaligned(uint8_t* p, I v)
    {
        _mm_storeu_si128(reinterpret_cast<I*>(p), v);
    }
};

inline F4 Add(F4 a, F4 b) { return _mm_add_ps(a, b); }
inline F4 Sub(F4 a, F4 b) { return _mm_sub_ps(a, b); }
inline F4 Mul(F4 a, F4 b) { return _mm_mul_ps(a, b); }
inline F4 Div(F4 a, F4 b) { return _mm_div_ps(a, b); }
inline F4 And(F4 a, F4 b) { return _mm_and_ps(a, b); }
inline F4 Or(F4 a, F4 b) { return _mm_or_ps(a, b); }
inline F4 Xor(F4 a, F4 b) { return _mm_xor_ps(a, b); }
inline F4 AndNot(F4 a, F4 b) { return _mm_andnot_ps(a, b); } // b where a is clear
inline F4 Less(F4 a, F4 b) { return _mm_cmplt_ps(a, b); }
inline F4 LessEq(F4 a, F4 b) { return _mm_cmple_ps(a, b); }
inline F4 Greater(F4 a, F4 b) { return _mm_cmpgt_ps(a, b); }
inline F4 AtLeast(F4 a, F4 b) { return _mm_cmpge_ps(a, b); }
inline F4 NotLess(F4 a, F4 b) { return _mm_cmpnlt_ps(a, b); } // also where either is NaN
inline F4 Equal(F4 a, F4 b) { return _mm_cmpeq_ps(a, b); }
inline F4 IsNaN(F4 a) { return _mm_cmpunord_ps(a, a); }
inline F4 Max(F4 a, F4 b) { return _mm_max_ps(a, b); } // a > b ? a : b
inline F4 Min(F4 a, F4 b) { return _mm_min_ps(a, b); } // a < b ? a : b
inline F4 AsMask(I4 m) { return _mm_castsi128_ps(m); }
inline I4 AsMaskI(F4 m) { return _mm_castps_si128(m); }
inline F4 ToFloat(I4 n) { return _mm_cvtepi32_ps(n); }
inline I4 TruncToInts(F4 x) { return TruncToInt4(x); }
inline I4 TruncInRange(F4 x) { return _mm_cvttps_epi32(x); } // |x| < 2^31, not NaN

inline I4 AddI(I4 a, I4 b) { return _mm_add_epi32(a, b); }
inline I4 SubI(I4 a, I4 b) { return _mm_sub_epi32(a, b); }
inline I4 AndI(I4 a, I4 b) { return _mm_and_si128(a, b); }
inline I4 OrI(I4 a, I4 b) { return _mm_or_si128(a, b); }
inline I4 AndNotI(I4 a, I4 b) { return _mm_andnot_si128(a, b); }
inline I4 EqualI(I4 a, I4 b) { return _mm_cmpeq_epi32(a, b); }
inline I4 GreaterI(I4 a, I4 b) { return _mm_cmpgt_epi32(a, b); }
inline I4 LessI(I4 a, I4 b) { return _mm_cmplt_epi32(a, b); }
inline I4 ShiftLeftI(I4 a, int n) { return _mm_slli_epi32(a, n); }
inline I4 ShiftRightI(I4 a, int n) { return _mm_srli_epi32(a, n); }
inline I4 MulBytes(I4 a, I4 b) { return _mm_mullo_epi16(a, b); } // 0 <= a, b <= 255
inline I4 MaxBytes(I4 a, I4 b) { return _mm_max_epi16(a, b); }   // lanes 0..255
inline I4 MinBytes(I4 a, I4 b) { return _mm_min_epi16(a, b); }

inline float LastLane(F4 v)
{
    return _mm_cvtss_f32(_mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3)));
}

// Bytes (a, b, c, d) of every lane from the low bytes of the four inputs,
// saturated to 0 .. 255: the bytes of four pixels, lane by lane.
inline I4 InterleaveBytes(I4 a, I4 b, I4 c, I4 d)
{
    const I4 planes = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_packs_epi32(c, d));
    const I4 ab = _mm_unpacklo_epi8(planes, _mm_srli_si128(planes, 4));
    const I4 cd = _mm_unpacklo_epi8(_mm_srli_si128(planes, 8), _mm_srli_si128(planes, 12));
    return _mm_unpacklo_epi16(ab, cd);
}

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
    template <class At> static I Ints(At at)
    {
        return _mm256_setr_epi32(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
    }
    template <class At> static F Floats(At at)
    {
        return _mm256_setr_ps(at(0), at(1), at(2), at(3), at(4), at(5), at(6), at(7));
    }
    static I Load(const int32_t* p)
    {
        return _mm256_load_si256(reinterpret_cast<const I*>(p));
    }
    static void Store(int32_t* p, I v) { _mm256_store_si256(reinterpret_cast<I*>(p), v); }
    static void Store(float* p, F v) { _mm256_store_ps(p, v); }
    static void StoreBytes(uint8_t* p, I v) { _mm256_store_si256(reinterpret_cast<I*>(p), v); }
    static void StoreBytesUnaligned(uint8_t* p, I v)
    {
        _mm256_storeu_si256(reinterpret_cast<I*>(p), v);
    }
};

inline F8 Add(F8 a, F8 b) { return _mm256_add_ps(a, b); }
inline F8 Sub(F8 a, F8 b) { return _mm256_sub_ps(a, b); }
inline F8 Mul(F8 a, F8 b) { return _mm256_mul_ps(a, b); }
inline F8 Div(F8 a, F8 b) { return _mm256_div_ps(a, b); }
inline F8 And(F8 a, F8 b) { return _mm256_and_ps(a, b); }
inline F8 Or(F8 a, F8 b) { return _mm256_or_ps(a, b); }
inline F8 Xor(F8 a, F8 b) { return _mm256_xor_ps(a, b); }
inline F8 AndNot(F8 a, F8 b) { return _mm256_andnot_ps(a, b); }
inline F8 Less(F8 a, F8 b) { return _mm256_cmp_ps(a, b, _CMP_LT_OS); }
inline F8 LessEq(F8 a, F8 b) { return _mm256_cmp_ps(a, b, _CMP_LE_OS); }
inline F8 Greater(F8 a, F8 b) { return _mm256_cmp_ps(a, b, _CMP_GT_OS); }
inline F8 AtLeast(F8 a, F8 b) { return _mm256_cmp_ps(a, b, _CMP_GE_OS); }
inline F8 NotLess(F8 a, F8 b) { return _mm256_cmp_ps(a, b, _CMP_NLT_US); }
inline F8 Equal(F8 a, F8 b) { return _mm256_cmp_ps(a, b, _CMP_EQ_OQ); }
inline F8 IsNaN(F8 a) { return _mm256_cmp_ps(a, a, _CMP_UNORD_Q); }
inline F8 Max(F8 a, F8 b) { return _mm256_max_ps(a, b); }
inline F8 Min(F8 a, F8 b) { return _mm256_min_ps(a, b); }
inline F8 AsMask(I8 m) { return _mm256_castsi256_ps(m); }
inline I8 AsMaskI(F8 m) { return _mm256_castps_si256(m); }
inline F8 Select(F8 mask, F8 a, F8 b) { return _mm256_blendv_ps(b, a, mask); }
inline I8 SelectI(I8 mask, I8 a, I8 b) { return _mm256_blendv_epi8(b, a, mask); }
inline F8 ToFloat(I8 n) { return _mm256_cvtepi32_ps(n); }
inline I8 TruncInRange(F8 x) { return _mm256_cvttps_epi32(x); }
inline I8 TruncToInts(F8 x)
{
    I8 t = _mm256_cvttps_epi32(x); // 0x80000000 for NaN and out of range
    const I8 above = AsMaskI(AtLeast(x, _mm256_set1_ps(2147483648.0f)));
    t = SelectI(above, _mm256_set1_epi32(INT32_MAX), t);
    return _mm256_andnot_si256(AsMaskI(IsNaN(x)), t);
}
inline int Lanes(F8 mask) { return _mm256_movemask_ps(mask); }
inline int LanesI(I8 mask) { return _mm256_movemask_ps(_mm256_castsi256_ps(mask)); }

inline I8 AddI(I8 a, I8 b) { return _mm256_add_epi32(a, b); }
inline I8 SubI(I8 a, I8 b) { return _mm256_sub_epi32(a, b); }
inline I8 AndI(I8 a, I8 b) { return _mm256_and_si256(a, b); }
inline I8 OrI(I8 a, I8 b) { return _mm256_or_si256(a, b); }
inline I8 AndNotI(I8 a, I8 b) { return _mm256_andnot_si256(a, b); }
inline I8 EqualI(I8 a, I8 b) { return _mm256_cmpeq_epi32(a, b); }
inline I8 GreaterI(I8 a, I8 b) { return _mm256_cmpgt_epi32(a, b); }
inline I8 LessI(I8 a, I8 b) { return _mm256_cmpgt_epi32(b, a); }
inline I8 ShiftLeftI(I8 a, int n) { return _mm256_slli_epi32(a, n); }
inline I8 ShiftRightI(I8 a, int n) { return _mm256_srli_epi32(a, n); }
inline I8 MulBytes(I8 a, I8 b) { return _mm256_mullo_epi16(a, b); }
inline I8 MaxBytes(I8 a, I8 b) { return _mm256_max_epi32(a, b); }
inline I8 MinBytes(I8 a, I8 b) { return _mm256_min_epi32(a, b); }

inline float LastLane(F8 v)
{
    const __m128 high = _mm256_extractf128_ps(v, 1);
    return _mm_cvtss_f32(_mm_shuffle_ps(high, high, _MM_SHUFFLE(3, 3, 3, 3)));
}

// InterleaveBytes of eight lanes: each 128-bit half as the four-lane steps.
inline I8 InterleaveBytes(I8 a, I8 b, I8 c, I8 d)
{
    const I8 planes = _mm256_packus_epi16(_mm256_packs_epi32(a, b), _mm256_packs_epi32(c, d));
    const I8 ab = _mm256_unpacklo_epi8(planes, _mm256_srli_si256(planes, 4));
    const I8 cd =
        _mm256_unpacklo_epi8(_mm256_srli_si256(planes, 8), _mm256_srli_si256(planes, 12));
    return _mm256_unpacklo_epi16(ab, cd);
}
#endif

// ---- Either width ---------------------------------------------------------

// -a, exactly (the sign bit flipped); -a where mask is set.
template <class L> typename L::F Negate(typename L::F a)
{
    return Xor(a, L::Splat(-0.0f));
}

template <class L> typename L::F NegWhere(typename L::F mask, typename L::F a)
{
    return Xor(a, And(mask, L::Splat(-0.0f)));
}

template <class L> typename L::F Abs(typename L::F a)
{
    return AndNot(L::Splat(-0.0f), a);
}

// v < 0 ? 0 : (v > 1 ? 1 : v), NaN kept.
template <class L> typename L::F Clamp01(typename L::F v)
{
    const typename L::F zero = L::Zero(), one = L::Splat(1.0f);
    return Select(Less(v, zero), zero, Select(Greater(v, one), one, v));
}

// The same for a v that is a number and not -0: Max(v, 0) is v > 0 ? v : 0
// and Min(v, 1) is v < 1 ? v : 1.
template <class L> typename L::F ClampNumber01(typename L::F v)
{
    return Min(Max(v, L::Zero()), L::Splat(1.0f));
}

// x < 0 ? -1 : TruncToInt(x / d): the cell index of a non-negative position.
template <class L> typename L::I CellIndex(typename L::F x, typename L::F d)
{
    return SelectI(AsMaskI(Less(x, L::Zero())), L::SplatI(-1), TruncToInts(Div(x, d)));
}

// ClampByte of each lane.
template <class L> typename L::I ClampBytes(typename L::I n)
{
    const typename L::I zero = L::ZeroI(), top = L::SplatI(255);
    n = SelectI(LessI(n, zero), zero, n);
    return SelectI(GreaterI(n, top), top, n);
}
