// The colour of a group of plain pixels (3 colour channels, no corner
// blended, no previewed transparency), templates over Lanes4 or Lanes8: the
// four corners of each footprint through the level mapping, weighted in the
// scalar order, times the light, then the saturation step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "deform/engine/deform_colour_lanes.h"
#include "deform/engine/deform_pixel.h"

namespace deform_lanes {

// Corner order of the level arrays: (ix, iy), (x1, iy), (ix, y1), (x1, y1).
enum { C00, C10, C01, C11 };

// The level-mapped channels of the corners, read one lane at a time.
template <class L>
void CornerLevelsByLane(const DeformJob& job, typename L::I cx, typename L::I cy,
                        typename L::I nx, typename L::I ny, typename L::F t[4][3])
{
    constexpr int N = L::N;
    alignas(32) int32_t ix[N], iy[N], x1[N], y1[N];
    L::Store(ix, cx), L::Store(iy, cy), L::Store(x1, nx), L::Store(y1, ny);
    const DeformBuffers& b = *job.b;
    const ptrdiff_t planes = job.planes;
    const uint8_t* p[4][N];
    for (int k = 0; k < N; ++k) {
        const uint8_t* row0 = b.inData + static_cast<ptrdiff_t>(iy[k]) * b.inRowBytes;
        const uint8_t* row1 = b.inData + static_cast<ptrdiff_t>(y1[k]) * b.inRowBytes;
        p[C00][k] = row0 + ix[k] * planes;
        p[C10][k] = row0 + x1[k] * planes;
        p[C01][k] = row1 + ix[k] * planes;
        p[C11][k] = row1 + x1[k] * planes;
    }
    const float* level = job.levelReal;
    for (int c = 0; c < 4; ++c)
        for (int ch = 0; ch < 3; ++ch)
            t[c][ch] = L::Floats([&](int k) { return level[p[c][k][ch]]; });
}

// The level of each lane's byte i: levelTable[i] as DeformSetup defines it.
// floor + i x step is neither negative nor a NaN, so the truncation is the
// plain conversion and ClampByte only takes the top.
template <class L>
typename L::F Levels(typename L::I i, typename L::F floor, typename L::F step)
{
    return ToFloat(MinBytes(TruncInRange(Add(floor, Mul(ToFloat(i), step))), L::SplatI(255)));
}

// Four lanes read their corners lane by lane.
inline void CornerLevels(Lanes4, const DeformJob& job, int32_t, I4 cx, I4 cy, I4 nx, I4 ny,
                         F4 t[4][3])
{
    CornerLevelsByLane<Lanes4>(job, cx, cy, nx, ny, t);
}

#if defined(__AVX2__)
// Eight lanes read each corner as one 32-bit word at a byte offset from the
// source, when lastOffset (the offset of the rectangle's last pixel) is not
// negative, i.e. every corner's offset fits in 32 bits, and work out the
// levels from the bytes. With 3 planes the word of the last pixel would end
// past it; a group that reads that pixel reads lane by lane instead.
inline void CornerLevels(Lanes8, const DeformJob& job, int32_t lastOffset, I8 cx, I8 cy, I8 nx,
                         I8 ny, F8 t[4][3])
{
    if (lastOffset >= 0) {
        const I8 rowBytes = _mm256_set1_epi32(job.b->inRowBytes);
        const I8 planes = _mm256_set1_epi32(job.planes);
        const I8 row0 = _mm256_mullo_epi32(cy, rowBytes), row1 = _mm256_mullo_epi32(ny, rowBytes);
        const I8 left = _mm256_mullo_epi32(cx, planes), right = _mm256_mullo_epi32(nx, planes);
        alignas(32) int32_t o[4][8];
        _mm256_store_si256(reinterpret_cast<I8*>(o[C00]), AddI(row0, left));
        _mm256_store_si256(reinterpret_cast<I8*>(o[C10]), AddI(row0, right));
        _mm256_store_si256(reinterpret_cast<I8*>(o[C01]), AddI(row1, left));
        const I8 o11 = AddI(row1, right);
        _mm256_store_si256(reinterpret_cast<I8*>(o[C11]), o11);
        if (job.planes == 4 || !LanesI(EqualI(o11, _mm256_set1_epi32(lastOffset)))) {
            const uint8_t* source = job.b->inData;
            // The rows that follow read the source a few rows further down:
            // ask for those lines early (a hint, never a read). The address
            // is worked out as a number because it may lie past the buffer,
            // where pointer arithmetic may not go.
            const uintptr_t ahead = reinterpret_cast<uintptr_t>(source) + 4 * uintptr_t(job.b->inRowBytes);
            // NOLINTNEXTLINE(performance-no-int-to-ptr)
            __builtin_prefetch(reinterpret_cast<const void*>(ahead + uint32_t(o[C01][0])));
            // NOLINTNEXTLINE(performance-no-int-to-ptr)
            __builtin_prefetch(reinterpret_cast<const void*>(ahead + uint32_t(o[C01][7])));
            const F8 floor = _mm256_set1_ps(job.d.levelFloor);
            const F8 step = _mm256_set1_ps(job.d.levelStep);
            const I8 byte = _mm256_set1_epi32(255);
            for (int c = 0; c < 4; ++c) {
                int32_t w[8];
                for (int k = 0; k < 8; ++k) std::memcpy(&w[k], source + o[c][k], 4);
                const I8 word = _mm256_setr_epi32(w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]);
                t[c][0] = Levels<Lanes8>(AndI(word, byte), floor, step);
                t[c][1] = Levels<Lanes8>(AndI(ShiftRightI(word, 8), byte), floor, step);
                t[c][2] = Levels<Lanes8>(AndI(ShiftRightI(word, 16), byte), floor, step);
            }
            return;
        }
    }
    CornerLevelsByLane<Lanes8>(job, cx, cy, nx, ny, t);
}
#endif

// The footprint of each lane: corners kept inside the rectangle and the
// bilinear weights, as Locate of the one-pixel loop forms them.
template <class L> struct GroupFootprints {
    typename L::I cx, cy, nx, ny;
    typename L::F w00, w10, w01, w11;
};

// The channel bytes of the lanes set in `lanes`, lane k at out + k x planes.
template <class L>
void WriteColours(const DeformJob& job, int lanes, const typename L::I channel[3], uint8_t* out)
{
    constexpr int N = L::N;
    alignas(32) int32_t c0[N], c1[N], c2[N];
    L::Store(c0, channel[0]), L::Store(c1, channel[1]), L::Store(c2, channel[2]);
    const ptrdiff_t planes = job.planes;
    for (int k = 0; k < N; ++k) {
        if (!(lanes >> k & 1)) continue;
        uint8_t* o = out + k * planes;
        o[0] = static_cast<uint8_t>(c0[k]);
        o[1] = static_cast<uint8_t>(c1[k]);
        o[2] = static_cast<uint8_t>(c2[k]);
    }
}

// The colour of the lanes set in `lanes`, written to out + lane x planes.
template <class L>
void ColourLanes(const DeformJob& job, int32_t lastOffset, const GroupFootprints<L>& f, int lanes,
                 typename L::F lambdaB, typename L::F light, uint8_t* out)
{
    typedef typename L::F F;
    typedef typename L::I I;
    F t[4][3];
    CornerLevels(L(), job, lastOffset, f.cx, f.cy, f.nx, f.ny, t);
    I channel[3];
    for (int ch = 0; ch < 3; ++ch) {
        const F sum = Add(Add(Add(Mul(t[C11][ch], f.w11), Mul(t[C01][ch], f.w01)),
                              Mul(t[C10][ch], f.w10)),
                          Mul(t[C00][ch], f.w00));
        channel[ch] = ClampBytes<L>(TruncToInts(Mul(sum, light)));
    }
    Resaturate<L>(channel[0], channel[1], channel[2], lambdaB, light, job.d.satGain);
    WriteColours<L>(job, lanes, channel, out);
}

} // namespace deform_lanes
