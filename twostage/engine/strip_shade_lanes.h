// The sampling and colour steps of a group of mapped pixels at once
// (SampleMoved or SampleInPlace, then FinishPixel), lane by lane in the
// scalar order (templates over Lanes4 or Lanes8).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "common/checker.h"
#include "twostage/engine/strip_boost_lanes.h"
#include "twostage/engine/strip_map_lanes.h"

// The constants of the shading of a render, one in every lane.
template <class L> struct ShadeSetup {
    typedef typename L::F F;
    F top, bottom, left, right;         // the rectangle's edges as reals
    F topIn, bottomIn, leftIn, rightIn; // one pixel inside them
    F shiftX, shiftY;                   // stage 1's shift of sampled points
    F blend[4][3];                      // gradient 1, side 1, gradient 2, side 2
    F background[3], backgroundAlpha;
    F saturationGain;
};

// PixelSample of a group; keep has bit k set for a lane that is sampled.
// corner[k] holds lane k's four source pixels (top-left, top-right,
// bottom-left, bottom-right).
template <class L> struct SampleLanes {
    typedef typename L::F F;
    F comp[3];
    F outside;
    F weight[4];
    alignas(32) int32_t x0[L::N], x1[L::N], y0[L::N], y1[L::N];
    const uint8_t* corner[L::N][4];
    int keep;
};

template <class L> ShadeSetup<L> MakeShadeSetup(const TwoStageJob& job)
{
    ShadeSetup<L> e;
    const float top = static_cast<float>(job.top), bottom = static_cast<float>(job.bottom);
    const float left = static_cast<float>(job.left), right = static_cast<float>(job.right);
    e.top = L::Splat(top), e.bottom = L::Splat(bottom);
    e.left = L::Splat(left), e.right = L::Splat(right);
    e.topIn = L::Splat(top + 1.0f), e.bottomIn = L::Splat(bottom - 1.0f);
    e.leftIn = L::Splat(left + 1.0f), e.rightIn = L::Splat(right - 1.0f);
    e.shiftX = L::Splat(job.geometry[0].shiftX), e.shiftY = L::Splat(job.geometry[0].shiftY);
    const PixelColours& c = job.colours;
    const ResolvedColour* blend[4] = {&c.gradient[0], &c.side[0], &c.gradient[1], &c.side[1]};
    for (int i = 0; i < 4; ++i) {
        e.blend[i][0] = L::Splat(blend[i]->col0);
        e.blend[i][1] = L::Splat(blend[i]->col1);
        e.blend[i][2] = L::Splat(blend[i]->col2);
    }
    e.background[0] = L::Splat(c.background.col0);
    e.background[1] = L::Splat(c.background.col1);
    e.background[2] = L::Splat(c.background.col2);
    e.backgroundAlpha = L::Splat(c.background.alpha);
    e.saturationGain = L::Splat(c.saturationGain);
    return e;
}

// The bytes at (x[k], y[k]) of a plane with one byte a pixel, as reals.
template <class L>
typename L::F PlaneBytes(const uint8_t* plane, int32_t stride, const int32_t* x, const int32_t* y)
{
    return ToFloat(
        L::Ints([&](int k) { return plane[static_cast<ptrdiff_t>(y[k]) * stride + x[k]]; }));
}

template <class L>
typename L::F CoverageLanes(const TwoStageJob& r, const int32_t* x, const int32_t* y)
{
    return Div(PlaneBytes<L>(r.mask, r.maskStride, x, y), L::Splat(255.0f));
}

// outside >= 0.5 ? 1 : 0 without anti-aliasing, and the lanes left out.
template <class L> void SettleOutside(const TwoStageJob& r, SampleLanes<L>& s)
{
    if (!r.antiAliasing)
        s.outside = And(AtLeast(s.outside, L::Splat(0.5f)), L::Splat(1.0f));
    s.keep &= ~Lanes(Greater(s.outside, L::Splat(0.99f)));
}

template <class L> void FindCorners(const TwoStageJob& r, SampleLanes<L>& s)
{
    for (int k = 0; k < L::N; ++k) {
        const uint8_t* p = r.src + static_cast<ptrdiff_t>(s.y0[k]) * r.srcStride +
                           static_cast<ptrdiff_t>(s.x0[k]) * r.bpp;
        const ptrdiff_t right = static_cast<ptrdiff_t>(s.x1[k] - s.x0[k]) * r.bpp;
        const ptrdiff_t down = static_cast<ptrdiff_t>(s.y1[k] - s.y0[k]) * r.srcStride;
        s.corner[k][0] = p;
        s.corner[k][1] = p + right;
        s.corner[k][2] = p + down;
        s.corner[k][3] = p + down + right;
    }
}

// The tone table's entries of bytes v (0 .. 255): its formula, lane by lane.
template <class L> typename L::I ToneLanes(const TwoStageJob& r, typename L::I v)
{
    const int32_t b = r.toneBase;
    const typename L::F x =
        Add(L::Splat(static_cast<float>(b)),
            Mul(ToFloat(MulBytes(v, L::SplatI(255 - b))), L::Splat(1.0f / 255.0f)));
    const typename L::I t = TruncInRange(x), top = L::SplatI(255);
    return SelectI(GreaterI(t, top), top, t);
}

// The tone-mapped components at the four corners, weighted in the scalar
// order (top-left, top-right, bottom-left, bottom-right).
template <class L> LANES_INLINE void SampleComponents(const TwoStageJob& r, SampleLanes<L>& s)
{
    typedef typename L::F F;
    typedef typename L::I I;
    if (r.colours.whiteCanvas) {
        s.comp[0] = s.comp[1] = s.comp[2] = L::Splat(255.0f);
        return;
    }
    // Each corner pixel's first three bytes as one word. Four bytes read at
    // a pixel above the last row stay inside the buffer.
    alignas(32) int32_t pixel[4][L::N];
    const I lastRow = L::SplatI(r.bottom - 1);
    if (LanesI(LessI(L::Load(s.y1), lastRow)) == (1 << L::N) - 1) {
        for (int k = 0; k < L::N; ++k)
            for (int c = 0; c < 4; ++c)
                std::memcpy(&pixel[c][k], s.corner[k][c], 4);
    } else {
        for (int k = 0; k < L::N; ++k)
            for (int c = 0; c < 4; ++c) {
                const uint8_t* p = s.corner[k][c];
                pixel[c][k] = p[0] | p[1] << 8 | p[2] << 16;
            }
    }
    I words[4];
    for (int c = 0; c < 4; ++c)
        words[c] = L::Load(pixel[c]);
    const I byte = L::SplatI(255);
    for (int j = 0; j < 3; ++j) {
        const int b = 2 - j; // first component at +2
        F sum = L::Zero();
        for (int c = 0; c < 4; ++c) {
            const F t = ToFloat(ToneLanes<L>(r, AndI(ShiftRightI(words[c], 8 * b), byte)));
            sum = c == 0 ? Mul(t, s.weight[0]) : Add(sum, Mul(t, s.weight[c]));
        }
        s.comp[j] = sum;
    }
}

// SampleMoved of a group at (X, Y).
template <class L>
void SampleMovedLanes(const TwoStageJob& r, const ShadeSetup<L>& e, typename L::F X,
                      typename L::F Y, SampleLanes<L>& s)
{
    typedef typename L::F F;
    typedef typename L::I I;
    const F inside = And(And(AtLeast(Y, e.top), Less(Y, e.bottom)),
                         And(AtLeast(X, e.left), Less(X, e.right)));
    s.keep = Lanes(inside);
    if (!s.keep)
        return;
    // Lanes outside read the rectangle's corner instead.
    const I ix = TruncToInts(Select(inside, X, e.left));
    const I iy = TruncToInts(Select(inside, Y, e.top));
    const F fx = Sub(X, ToFloat(ix)), fy = Sub(Y, ToFloat(iy));
    const I one = L::SplatI(1);
    L::Store(s.x0, ix);
    L::Store(s.y0, iy);
    L::Store(s.x1, SelectI(GreaterI(ix, L::SplatI(r.right - 2)), ix, AddI(ix, one)));
    L::Store(s.y1, SelectI(GreaterI(iy, L::SplatI(r.bottom - 2)), iy, AddI(iy, one)));
    const F onef = L::Splat(1.0f);
    s.weight[0] = Mul(Sub(onef, fx), Sub(onef, fy));
    s.weight[1] = Mul(fx, Sub(onef, fy));
    s.weight[2] = Mul(Sub(onef, fx), fy);
    s.weight[3] = Mul(fx, fy);

    if (r.hasMask || r.antiAliasing) {
        F cover[4] = {onef, onef, onef, onef};
        if (r.hasMask) {
            cover[0] = CoverageLanes<L>(r, s.x0, s.y0);
            cover[1] = CoverageLanes<L>(r, s.x1, s.y0);
            cover[2] = CoverageLanes<L>(r, s.x0, s.y1);
            cover[3] = CoverageLanes<L>(r, s.x1, s.y1);
        }
        if (r.antiAliasing) {
            const F nearTop = Less(Y, e.topIn), nearLeft = Less(X, e.leftIn);
            const F nearBottom = Greater(Y, e.bottomIn), nearRight = Greater(X, e.rightIn);
            cover[0] = AndNot(Or(nearTop, nearLeft), cover[0]);
            cover[1] = AndNot(Or(nearTop, nearRight), cover[1]);
            cover[2] = AndNot(Or(nearBottom, nearLeft), cover[2]);
            cover[3] = AndNot(Or(nearBottom, nearRight), cover[3]);
        }
        s.outside = Add(Add(Add(Mul(s.weight[0], Sub(onef, cover[0])),
                                Mul(s.weight[1], Sub(onef, cover[1]))),
                            Mul(s.weight[2], Sub(onef, cover[2]))),
                        Mul(s.weight[3], Sub(onef, cover[3])));
    } else {
        s.outside = L::Zero(); // every weight times 1 - 1
    }
    SettleOutside<L>(r, s);
    if (!s.keep)
        return;
    FindCorners<L>(r, s);
    SampleComponents<L>(r, s);
}

// SampleInPlace of pixels x0 .. x0 + N - 1 of row y.
template <class L>
void SampleInPlaceLanes(const TwoStageJob& r, int32_t x0, int32_t y, SampleLanes<L>& s)
{
    for (int k = 0; k < L::N; ++k) {
        s.x0[k] = s.x1[k] = x0 + k;
        s.y0[k] = s.y1[k] = y;
    }
    s.keep = (1 << L::N) - 1;
    const typename L::F one = L::Splat(1.0f), zero = L::Zero();
    s.outside = r.hasMask ? Sub(one, CoverageLanes<L>(r, s.x0, s.y0)) : zero;
    SettleOutside<L>(r, s);
    s.weight[0] = one;
    s.weight[1] = s.weight[2] = s.weight[3] = zero;
    if (!s.keep)
        return;
    FindCorners<L>(r, s);
    for (int j = 0; j < 3; ++j)
        s.comp[j] = r.colours.whiteCanvas
                        ? L::Splat(255.0f)
                        : ToFloat(L::Ints([&](int k) { return r.tone[s.corner[k][0][2 - j]]; }));
}
