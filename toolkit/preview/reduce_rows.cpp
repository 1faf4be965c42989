#include "toolkit/preview/reduce_rows.h"

#include <emmintrin.h>

#include <cstring>

namespace {

// Adds 16 bytes, widened, to two accumulators of eight 16-bit lanes.
inline void AddBytes(__m128i v, __m128i& lo, __m128i& hi)
{
    const __m128i zero = _mm_setzero_si128();
    lo = _mm_add_epi16(lo, _mm_unpacklo_epi8(v, zero));
    hi = _mm_add_epi16(hi, _mm_unpackhi_epi8(v, zero));
}

inline void Accumulate16(const uint8_t* p, __m128i& lo, __m128i& hi)
{
    AddBytes(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), lo, hi);
}

// Adds the lanes of 16-byte loads of whole pixels (byte j of a load is
// channel j % stride) to the channels' sums. No lane passes 16 bits: a plan's
// interior holds fewer than 256 pixels.
void FoldLanes(__m128i lo, __m128i hi, int32_t stride, int32_t channels, uint32_t* sum)
{
    if (stride == 3) {
        // Bytes 0..14 are five pixels; byte 15 belongs to the next one.
        hi = _mm_and_si128(hi, _mm_setr_epi16(-1, -1, -1, -1, -1, -1, -1, 0));
        const __m128i t = _mm_add_epi16(_mm_add_epi16(lo, _mm_srli_si128(lo, 6)),
                                        _mm_srli_si128(lo, 12));
        __m128i v = _mm_add_epi16(_mm_add_epi16(hi, _mm_srli_si128(hi, 6)),
                                  _mm_srli_si128(hi, 12));
        v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(3, 0, 2, 1)); // byte 8 is channel 2
        const __m128i r = _mm_add_epi16(t, v);
        sum[0] += static_cast<uint32_t>(_mm_extract_epi16(r, 0));
        sum[1] += static_cast<uint32_t>(_mm_extract_epi16(r, 1));
        sum[2] += static_cast<uint32_t>(_mm_extract_epi16(r, 2));
        return;
    }
    if (stride == 4) {
        __m128i r = _mm_add_epi16(lo, hi);
        r = _mm_add_epi16(r, _mm_srli_si128(r, 8));
        sum[0] += static_cast<uint32_t>(_mm_extract_epi16(r, 0));
        sum[1] += static_cast<uint32_t>(_mm_extract_epi16(r, 1));
        sum[2] += static_cast<uint32_t>(_mm_extract_epi16(r, 2));
        sum[3] += static_cast<uint32_t>(_mm_extract_epi16(r, 3));
        return;
    }
    if (stride == 1) {
        __m128i r = _mm_add_epi16(lo, hi);
        r = _mm_add_epi16(r, _mm_srli_si128(r, 8));
        r = _mm_add_epi16(r, _mm_srli_si128(r, 4));
        r = _mm_add_epi16(r, _mm_srli_si128(r, 2));
        sum[0] += static_cast<uint32_t>(_mm_extract_epi16(r, 0));
        return;
    }
    alignas(16) uint16_t lanes[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), lo);
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes + 8), hi);
    const int32_t used = 16 / stride * stride;
    for (int32_t c = 0; c < channels; ++c)
        for (int32_t j = c; j < used; j += stride)
            sum[c] += lanes[j];
}

// PlanQuotient of four sums below 2^32, as four bytes.
inline int32_t Quotient4(__m128i a, double inverseOfScale)
{
    const __m128d offset = _mm_set1_pd(2147483648.0);
    const __m128d inverse = _mm_set1_pd(inverseOfScale);
    const __m128d lift = _mm_set1_pd(0x1p-32);
    const __m128i b = _mm_xor_si128(a, _mm_set1_epi32(INT32_MIN)); // a - 2^31, signed
    const __m128d d0 = _mm_add_pd(_mm_cvtepi32_pd(b), offset);
    const __m128d d1 =
        _mm_add_pd(_mm_cvtepi32_pd(_mm_shuffle_epi32(b, _MM_SHUFFLE(1, 0, 3, 2))), offset);
    const __m128i q0 = _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(d0, inverse), lift));
    const __m128i q1 = _mm_cvttpd_epi32(_mm_add_pd(_mm_mul_pd(d1, inverse), lift));
    __m128i q = _mm_unpacklo_epi64(q0, q1);
    q = _mm_packs_epi32(q, q);
    return _mm_cvtsi128_si32(_mm_packus_epi16(q, q));
}

// Four (last, carry) byte pairs as 16-bit lanes for _mm_madd_epi16.
inline __m128i Pairs4(const uint8_t* last, const uint8_t* carry)
{
    int32_t l, c;
    std::memcpy(&l, last, 4);
    std::memcpy(&c, carry, 4);
    const __m128i zero = _mm_setzero_si128();
    return _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(l), zero),
                              _mm_unpacklo_epi8(_mm_cvtsi32_si128(c), zero));
}

// Sum of one output: interior * unit + last * its weight + carry * its weight.
inline uint32_t OutputSum(const ReducePlan& plan, uint32_t interior, uint32_t last,
                          uint32_t carry, int32_t k)
{
    const uint32_t carryWeight = k > 0 ? plan.unit - plan.lastWeight[k - 1] : 0;
    return (interior << plan.shift) + last * plan.lastWeight[k] + carry * carryWeight;
}

// Outputs first .. of one channel of a row: interior sums, and the last
// pixels (ends[-1] reads 0: output 0 has no carry pixel).
void CombineRow(const ReducePlan& plan, int32_t first, const uint32_t* sums, const uint8_t* ends,
                uint8_t* out)
{
    const __m128i shift = _mm_cvtsi32_si128(plan.shift);
    int32_t k = first;
    for (; k + 4 <= plan.outputs; k += 4) {
        const __m128i pairs = Pairs4(ends + k, ends + k - 1);
        const __m128i low = _mm_madd_epi16(
            pairs, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&plan.weightsLow[2 * k])));
        const __m128i high = _mm_madd_epi16(
            pairs, _mm_loadu_si128(reinterpret_cast<const __m128i*>(&plan.weightsHigh[2 * k])));
        const __m128i s =
            _mm_sll_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + k)), shift);
        const int32_t bytes =
            Quotient4(_mm_add_epi32(_mm_add_epi32(s, _mm_slli_epi32(high, 12)), low),
                      plan.inverse);
        std::memcpy(out + k, &bytes, 4);
    }
    for (; k < plan.outputs; ++k)
        out[k] = PlanQuotient(plan, OutputSum(plan, sums[k], ends[k], ends[k - 1], k));
}

} // namespace

RowSums::RowSums(const ReducePlan& plan, int32_t channels)
    : sums(static_cast<size_t>(channels) * (plan.outputs + 4)),
      ends(static_cast<size_t>(channels) * (plan.outputs + 8))
{
}

void ReduceRow(const ReducePlan& plan, int32_t first, const uint8_t* row, int32_t stride,
               int32_t channels, int32_t loadLimit, RowSums& work, uint8_t* out)
{
    const int32_t perLoad = 16 / stride; // whole pixels in a 16-byte load
    const size_t sumPitch = static_cast<size_t>(plan.outputs) + 4;
    const size_t endPitch = static_cast<size_t>(plan.outputs) + 8;
    int32_t from = 0; // first interior pixel of output k
    if (first > 0) { // output first's carry pixel
        const uint8_t* carry = row + static_cast<ptrdiff_t>(plan.last[first - 1]) * stride;
        for (int32_t c = 0; c < channels; ++c)
            work.ends[c * endPitch + first] = carry[c];
        from = plan.last[first - 1] + 1;
    }
    for (int32_t k = first; k < plan.outputs; ++k) {
        const int32_t last = plan.last[k];
        uint32_t sum[16] = {};
        int32_t i = from;
        if (i < last && i < loadLimit) {
            __m128i lo = _mm_setzero_si128(), hi = _mm_setzero_si128();
            for (; i + perLoad <= last && i < loadLimit; i += perLoad)
                Accumulate16(row + static_cast<ptrdiff_t>(i) * stride, lo, hi);
            if (i < last && i < loadLimit) { // the rest, fewer than perLoad pixels
                const int32_t bytes = (last - i) * stride;
                const __m128i keep = _mm_loadu_si128(
                    reinterpret_cast<const __m128i*>(kKeepFirst + 32 - bytes));
                const __m128i* p =
                    reinterpret_cast<const __m128i*>(row + static_cast<ptrdiff_t>(i) * stride);
                AddBytes(_mm_and_si128(keep, _mm_loadu_si128(p)), lo, hi);
                i = last;
            }
            FoldLanes(lo, hi, stride, channels, sum);
        }
        for (; i < last; ++i)
            for (int32_t c = 0; c < channels; ++c)
                sum[c] += row[static_cast<ptrdiff_t>(i) * stride + c];
        const uint8_t* end = row + static_cast<ptrdiff_t>(last) * stride;
        for (int32_t c = 0; c < channels; ++c) {
            work.sums[c * sumPitch + k] = sum[c];
            work.ends[c * endPitch + 1 + k] = end[c];
        }
        from = last + 1;
    }
    for (int32_t c = 0; c < channels; ++c)
        CombineRow(plan, first, &work.sums[c * sumPitch], &work.ends[c * endPitch + 1],
                   out + static_cast<ptrdiff_t>(c) * plan.outputs);
}

void ReduceColumns(const ReducePlan& plan, const uint8_t* scratch, ptrdiff_t rowPitch,
                   int32_t span, int32_t columns, const ChannelTarget* targets)
{
    const int32_t vectorSpan = span & ~15;
    std::vector<uint16_t> sums(static_cast<size_t>(span) + 16);
    std::vector<uint8_t> reduced(static_cast<size_t>(span) + 4);
    const __m128i shift = _mm_cvtsi32_si128(plan.shift);
    const __m128i zero = _mm_setzero_si128();
    int32_t from = 0;
    for (int32_t k = 0; k < plan.outputs; ++k) {
        const int32_t last = plan.last[k];
        std::memset(sums.data(), 0, sums.size() * sizeof(uint16_t));
        for (int32_t i = from; i < last; ++i) {
            const uint8_t* row = scratch + i * rowPitch;
            for (int32_t j = 0; j < vectorSpan; j += 16) {
                __m128i* s = reinterpret_cast<__m128i*>(sums.data() + j);
                __m128i lo = _mm_loadu_si128(s), hi = _mm_loadu_si128(s + 1);
                Accumulate16(row + j, lo, hi);
                _mm_storeu_si128(s, lo);
                _mm_storeu_si128(s + 1, hi);
            }
            for (int32_t j = vectorSpan; j < span; ++j)
                sums[j] = static_cast<uint16_t>(sums[j] + row[j]);
        }

        // Every column of this output row has the same weights.
        const uint8_t* end = scratch + last * rowPitch;
        const uint8_t* carry = k > 0 ? scratch + (from - 1) * rowPitch : end;
        const __m128i low = _mm_set1_epi32(static_cast<uint16_t>(plan.weightsLow[2 * k]) |
                                           plan.weightsLow[2 * k + 1] << 16);
        const __m128i high = _mm_set1_epi32(static_cast<uint16_t>(plan.weightsHigh[2 * k]) |
                                            plan.weightsHigh[2 * k + 1] << 16);
        int32_t j = 0;
        for (; j + 4 <= span; j += 4) {
            const __m128i pairs = Pairs4(end + j, carry + j);
            const __m128i four = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&sums[j]));
            const __m128i s = _mm_sll_epi32(_mm_unpacklo_epi16(four, zero), shift);
            const __m128i a = _mm_add_epi32(
                _mm_add_epi32(s, _mm_slli_epi32(_mm_madd_epi16(pairs, high), 12)),
                _mm_madd_epi16(pairs, low));
            const int32_t bytes = Quotient4(a, plan.inverse);
            std::memcpy(&reduced[j], &bytes, 4);
        }
        for (; j < span; ++j)
            reduced[j] = PlanQuotient(plan, OutputSum(plan, sums[j], end[j], carry[j], k));

        for (int32_t c = 0; c * columns < span; ++c) {
            const ChannelTarget& t = targets[c];
            if (!t.base)
                continue;
            uint8_t* out = t.base + k * t.rowBytes;
            const uint8_t* in = reduced.data() + c * columns;
            for (int32_t x = 0; x < columns; ++x)
                out[static_cast<ptrdiff_t>(x) * t.pixelStride] = in[x];
        }
        from = last + 1;
    }
}
