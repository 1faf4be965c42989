// The eight-output row reduction, built with AVX2 where the build allows it
// (see CMakeLists.txt) and run only on a processor that has it. Nothing here
// is used by the SSE2 code.
#include "toolkit/preview/reduce_wide.h"

#if defined(__AVX2__)
#include <immintrin.h>

#include <cstring>

namespace {

inline __m256i Load32(const void* p)
{
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}

// The interior sums of output k, channel by channel, as sixteen 16-bit
// partial sums each. A byte pair holds at most one byte of a channel, and an
// interior holds at most 255 pixels, so no lane passes 16 bits.
template <int Channels>
inline void SumInterior(const WideRows& w, const uint8_t* row, int32_t k, const __m256i* select,
                        __m256i* sums)
{
    const uint8_t* p = row + w.start[k];
    const int32_t loads = w.loads[k];
    const __m256i keep = Load32(kKeepFirst + 32 - w.kept[k]);
    if (loads == 2) { // the usual case of previews of large images
        const __m256i v0 = Load32(p), v1 = _mm256_and_si256(Load32(p + w.step), keep);
        for (int c = 0; c < Channels; ++c)
            sums[c] = _mm256_add_epi16(_mm256_maddubs_epi16(v0, select[c]),
                                       _mm256_maddubs_epi16(v1, select[c]));
        return;
    }
    for (int c = 0; c < Channels; ++c)
        sums[c] = _mm256_setzero_si256();
    if (loads == 0)
        return;
    for (int32_t j = 1; j < loads; ++j, p += w.step) {
        const __m256i v = Load32(p);
        for (int c = 0; c < Channels; ++c)
            sums[c] = _mm256_add_epi16(sums[c], _mm256_maddubs_epi16(v, select[c]));
    }
    const __m256i v = _mm256_and_si256(Load32(p), keep);
    for (int c = 0; c < Channels; ++c)
        sums[c] = _mm256_add_epi16(sums[c], _mm256_maddubs_epi16(v, select[c]));
}

// Outputs k and k + 1, their partial sums added in pairs (_mm256_hadd_epi16).
template <int Channels>
inline void SumPair(const WideRows& w, const uint8_t* row, int32_t k, const __m256i* select,
                    __m256i* pairs)
{
    __m256i a[Channels], b[Channels];
    SumInterior<Channels>(w, row, k, select, a);
    SumInterior<Channels>(w, row, k + 1, select, b);
    for (int c = 0; c < Channels; ++c)
        pairs[c] = _mm256_hadd_epi16(a[c], b[c]);
}

// The interior totals of outputs k .. k + 7, channel c's with output o in
// lane o of totals[c].
template <int Channels>
inline void SumGroup(const WideRows& w, const uint8_t* row, int32_t k, const __m256i* select,
                     __m128i* totals)
{
    __m256i p0[Channels], p1[Channels], q0[Channels], q1[Channels];
    SumPair<Channels>(w, row, k, select, p0);
    SumPair<Channels>(w, row, k + 2, select, p1);
    for (int c = 0; c < Channels; ++c)
        q0[c] = _mm256_hadd_epi16(p0[c], p1[c]);
    SumPair<Channels>(w, row, k + 4, select, p0);
    SumPair<Channels>(w, row, k + 6, select, p1);
    for (int c = 0; c < Channels; ++c) {
        q1[c] = _mm256_hadd_epi16(p0[c], p1[c]);
        // Lane o of each half: output o's sums of that half of its loads.
        const __m256i r = _mm256_hadd_epi16(q0[c], q1[c]);
        totals[c] = _mm_add_epi16(_mm256_castsi256_si128(r), _mm256_extracti128_si256(r, 1));
    }
}

// floor(sum / scaleUnits) of eight sums below 2^32, as eight bytes: the
// product and lift of PlanQuotient, lane by lane.
inline __m128i Quotient8(__m256i sums, double inverseOfScale)
{
    const __m256d offset = _mm256_set1_pd(2147483648.0);
    const __m256d inverse = _mm256_set1_pd(inverseOfScale);
    const __m256d lift = _mm256_set1_pd(0x1p-32);
    const __m256i b = _mm256_xor_si256(sums, _mm256_set1_epi32(INT32_MIN)); // sum - 2^31
    const __m256d d0 = _mm256_add_pd(_mm256_cvtepi32_pd(_mm256_castsi256_si128(b)), offset);
    const __m256d d1 = _mm256_add_pd(_mm256_cvtepi32_pd(_mm256_extracti128_si256(b, 1)), offset);
    const __m128i q0 = _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(d0, inverse), lift));
    const __m128i q1 = _mm256_cvttpd_epi32(_mm256_add_pd(_mm256_mul_pd(d1, inverse), lift));
    const __m128i q = _mm_packs_epi32(q0, q1);
    return _mm_packus_epi16(q, q);
}

inline int32_t Read4(const uint8_t* p)
{
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

template <int Channels>
void ReduceGroups(const WideRows& w, const uint8_t* row, uint8_t* out)
{
    __m256i select[Channels], lastBytes[Channels], carryBytes[Channels];
    for (int c = 0; c < Channels; ++c) {
        select[c] = Load32(w.select + 32 * c);
        // Byte c of each 32-bit lane to bits 0-7 (last pixel) or 16-23 (carry).
        const int8_t b = static_cast<int8_t>(c), z = -128;
        const int8_t b4 = b + 4, b8 = b + 8, b12 = b + 12;
        lastBytes[c] = _mm256_setr_epi8(b, z, z, z, b4, z, z, z, b8, z, z, z, b12, z, z, z,
                                        b, z, z, z, b4, z, z, z, b8, z, z, z, b12, z, z, z);
        carryBytes[c] = _mm256_setr_epi8(z, z, b, z, z, z, b4, z, z, z, b8, z, z, z, b12, z,
                                         z, z, b, z, z, z, b4, z, z, z, b8, z, z, z, b12, z);
    }
    const __m256i toNext = _mm256_setr_epi32(7, 0, 1, 2, 3, 4, 5, 6);
    const __m128i shift = _mm_cvtsi32_si128(w.shift);
    __m256i previous = _mm256_setzero_si256(); // last pixels of the group before, moved up one
    for (int32_t g = 0; g < w.groups; ++g) {
        const int32_t k0 = 8 * g;
        __m128i totals[Channels];
        SumGroup<Channels>(w, row, k0, select, totals);
        const __m256i last = _mm256_setr_epi32(
            Read4(row + w.end[k0]), Read4(row + w.end[k0 + 1]), Read4(row + w.end[k0 + 2]),
            Read4(row + w.end[k0 + 3]), Read4(row + w.end[k0 + 4]), Read4(row + w.end[k0 + 5]),
            Read4(row + w.end[k0 + 6]), Read4(row + w.end[k0 + 7]));
        const __m256i moved = _mm256_permutevar8x32_epi32(last, toNext);
        // Lane 0 takes the group before's last pixel (zero before the first
        // group: output 0 has no carry pixel).
        const __m256i carry = _mm256_blend_epi32(moved, previous, 1);
        previous = moved;
        const __m256i low = Load32(w.weightsLow + 2 * k0);
        const __m256i high = Load32(w.weightsHigh + 2 * k0);
        for (int c = 0; c < Channels; ++c) {
            const __m256i pairs = _mm256_or_si256(_mm256_shuffle_epi8(last, lastBytes[c]),
                                                  _mm256_shuffle_epi8(carry, carryBytes[c]));
            const __m256i interior = _mm256_sll_epi32(_mm256_cvtepu16_epi32(totals[c]), shift);
            const __m256i sum = _mm256_add_epi32(
                _mm256_add_epi32(interior, _mm256_slli_epi32(_mm256_madd_epi16(pairs, high), 12)),
                _mm256_madd_epi16(pairs, low));
            uint8_t* bytes = out + static_cast<ptrdiff_t>(c) * w.outputs + k0;
            _mm_storel_epi64(reinterpret_cast<__m128i*>(bytes), Quotient8(sum, w.inverse));
        }
    }
}

} // namespace

bool HaveReduceRows8()
{
    return __builtin_cpu_supports("avx2");
}

void ReduceRow8(const WideRows& w, const uint8_t* row, uint8_t* out)
{
    switch (w.channels) {
    case 1: ReduceGroups<1>(w, row, out); break;
    case 2: ReduceGroups<2>(w, row, out); break;
    case 3: ReduceGroups<3>(w, row, out); break;
    default: ReduceGroups<4>(w, row, out); break;
    }
}
#else
bool HaveReduceRows8()
{
    return false;
}

// Not reached: the plan has no groups where HaveReduceRows8() is false.
void ReduceRow8(const WideRows&, const uint8_t*, uint8_t*) {}
#endif
