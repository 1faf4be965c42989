// FinishPixel of a group of sampled pixels, lane by lane in the scalar
// order, and the write of the pixels kept (templates over Lanes4 or Lanes8).
#pragma once

#include "twostage/engine/strip_shade_lanes.h"

template <class L>
void BlendColourLanes(typename L::F comp[3], const ResolvedColour& c,
                      const typename L::F colour[3], typename L::F factor)
{
    if (c.alpha == 0)
        return;
    const typename L::F rest = Sub(L::Splat(1.0f), factor);
    for (int j = 0; j < 3; ++j)
        comp[j] = Add(Mul(comp[j], factor), Mul(rest, colour[j]));
}

template <class L>
typename L::F TransparentShadows(typename L::F v, const PixelColours& c, const MappedLanes<L>& m)
{
    if (c.gradient[0].alpha == 0)
        v = Mul(v, m.gradientFactor[0]);
    if (c.gradient[1].alpha == 0)
        v = Mul(v, m.gradientFactor[1]);
    if (c.side[0].alpha == 0)
        v = Mul(v, m.sideFactor[0]);
    if (c.side[1].alpha == 0)
        v = Mul(v, m.sideFactor[1]);
    return v;
}

// The checkerboard behind a preview with editable transparency; sets bg to
// the checker where the background colour is transparent.
template <class L>
void OverChecker(const TwoStageJob& r, const MappedLanes<L>& m, int32_t x0, int32_t y,
                 const SampleLanes<L>& s, typename L::F comp[3], typename L::F bg[3])
{
    typedef typename L::F F;
    const PixelColours& c = r.colours;
    const F w = ToFloat(L::Ints([&](int k) { return CheckerValue(x0 + k, y); }));
    F B = L::Splat(255.0f);
    if (r.alphaPlane) {
        const uint8_t* a = r.alphaPlane;
        const int32_t stride = r.maskStride;
        B = Add(Add(Add(Mul(PlaneBytes<L>(a, stride, s.x0, s.y0), s.weight[0]),
                        Mul(PlaneBytes<L>(a, stride, s.x1, s.y0), s.weight[1])),
                    Mul(PlaneBytes<L>(a, stride, s.x0, s.y1), s.weight[2])),
                Mul(PlaneBytes<L>(a, stride, s.x1, s.y1), s.weight[3]));
    }
    B = Clamp01<L>(TransparentShadows<L>(Div(B, L::Splat(255.0f)), c, m));
    const F rest = Sub(L::Splat(1.0f), B);
    for (int j = 0; j < 3; ++j)
        comp[j] = Add(Mul(B, comp[j]), Mul(rest, w));
    if (c.checkerBackground)
        bg[0] = bg[1] = bg[2] = w;
}

// Writes the kept pixels; pixels holds each lane's bytes in buffer order
// (third, second, first component, alpha).
template <class L>
void WritePixels(const TwoStageJob& r, int keep, typename L::I pixels, int32_t x0, int32_t y)
{
    uint8_t* out = r.dst + static_cast<ptrdiff_t>(y) * r.dstStride +
                   static_cast<ptrdiff_t>(x0) * r.bpp;
    const bool all = keep == (1 << L::N) - 1;
    if (all && r.bpp == 4) {
        L::StoreBytesUnaligned(out, pixels);
        return;
    }
    alignas(32) uint8_t bytes[4 * L::N];
    L::StoreBytes(bytes, pixels);
    if (all) {
        // Each pixel's fourth byte is written over by the next pixel.
        for (int k = 0; k < L::N - 1; ++k)
            std::memcpy(out + 3 * k, bytes + 4 * k, 4);
        std::memcpy(out + 3 * (L::N - 1), bytes + 4 * (L::N - 1), 2);
        out[3 * L::N - 1] = bytes[4 * L::N - 2];
        return;
    }
    for (int k = 0; k < L::N; ++k, out += r.bpp) {
        if (!(keep >> k & 1))
            continue;
        if (r.bpp == 4) {
            std::memcpy(out, bytes + 4 * k, 4);
        } else {
            std::memcpy(out, bytes + 4 * k, 2);
            out[2] = bytes[4 * k + 2];
        }
    }
}

// FinishPixel of a group.
template <class L>
void FinishLanes(const TwoStageJob& r, const ShadeSetup<L>& e, const MappedLanes<L>& m,
                 int32_t x0, int32_t y, const SampleLanes<L>& s)
{
    typedef typename L::F F;
    const PixelColours& c = r.colours;
    const F one = L::Splat(1.0f);
    F comp[3] = {s.comp[0], s.comp[1], s.comp[2]};
    if (!c.whiteCanvas && c.bytesPerPixel >= 3) {
        const F boost = Less(m.shade, one);
        if (Lanes(boost) & s.keep)
            BoostSaturationLanes<L>(comp[0], comp[1], comp[2],
                                    Add(Mul(Sub(one, m.shade), e.saturationGain), one), boost);
    }
    BlendColourLanes<L>(comp, c.gradient[0], e.blend[0], m.gradientFactor[0]);
    BlendColourLanes<L>(comp, c.side[0], e.blend[1], m.sideFactor[0]);
    BlendColourLanes<L>(comp, c.gradient[1], e.blend[2], m.gradientFactor[1]);
    BlendColourLanes<L>(comp, c.side[1], e.blend[3], m.sideFactor[1]);

    F bg[3] = {e.background[0], e.background[1], e.background[2]};
    if (c.transparencyChecker)
        OverChecker<L>(r, m, x0, y, s, comp, bg);

    const F outside = s.outside, far = Greater(outside, L::Splat(0.01f));
    const bool anyFar = Lanes(far) != 0;
    if (anyFar) {
        const F rest = Sub(one, outside);
        for (int j = 0; j < 3; ++j)
            comp[j] = Select(far, Add(Mul(outside, bg[j]), Mul(rest, comp[j])), comp[j]);
    }
    F a = L::Zero();
    if (c.bytesPerPixel == 4) {
        a = ToFloat(L::Ints([&](int k) { return s.corner[k][0][3]; }));
        if (anyFar)
            a = Select(far, Add(Mul(a, Sub(one, outside)), Mul(outside, e.backgroundAlpha)), a);
        a = TransparentShadows<L>(a, c, m);
        const F zero = L::Zero(), c255 = L::Splat(255.0f);
        a = Select(Less(a, zero), zero, Select(Greater(a, c255), c255, a));
    }
    // OutputByte is the truncation saturated to 0 .. 255.
    const typename L::I pixels = InterleaveBytes(TruncToInts(comp[2]), TruncToInts(comp[1]),
                                                 TruncToInts(comp[0]), TruncToInts(a));
    WritePixels<L>(r, s.keep, pixels, x0, y);
}

// Samples, shades and writes the group at x0 of row y, mapped as in
// `mapped`; a pixel whose sample is skipped keeps what the buffer holds.
template <class L>
void ShadeLanes(const TwoStageJob& job, const ShadeSetup<L>& setup, const MappedLanes<L>& mapped,
                int32_t x0, int32_t y)
{
    SampleLanes<L> s;
    if (job.deformation)
        SampleMovedLanes<L>(job, setup, Sub(mapped.X, setup.shiftX), Sub(mapped.Y, setup.shiftY),
                            s);
    else
        SampleInPlaceLanes<L>(job, x0, y, s);
    if (s.keep)
        FinishLanes<L>(job, setup, mapped, x0, y, s);
}
