// The row loops of RenderDeformation. The scalar loop takes one pixel at a
// time through DeformFace; the four-lane loop evaluates the same face
// formulas, in the same order and precision, for four neighbouring pixels at
// once, with the row's constants formed once. Both then finish each pixel
// with the same steps (deform_pixel.h).
#include <cstdint>

#include "common/simd4.h"
#include "deform/engine/deform_colour4.h"
#include "deform/engine/deform_face.h"
#include "deform/engine/deform_pixel.h"

namespace {

// The footprint of a source position inside the rectangle, as the scalar
// loop forms it; false when the pixel is skipped.
bool Locate(const DeformJob& job, float sx, float sy, Footprint* f)
{
    const DeformBuffers& b = *job.b;
    int32_t ix = TruncToInt(sx), iy = TruncToInt(sy);
    // sx < right and sy < bottom already hold; keep the corners inside even
    // for rectangles where truncation toward zero could leave it.
    if (ix < b.left) ix = b.left;
    if (ix > b.right - 1) ix = b.right - 1;
    if (iy < b.top) iy = b.top;
    if (iy > b.bottom - 1) iy = b.bottom - 1;
    const float fx = sx - static_cast<float>(ix);
    const float fy = sy - static_cast<float>(iy);
    f->ix = ix, f->iy = iy;
    f->x1 = static_cast<int64_t>(ix) > static_cast<int64_t>(b.right) - 2 ? ix : ix + 1;
    f->y1 = static_cast<int64_t>(iy) > static_cast<int64_t>(b.bottom) - 2 ? iy : iy + 1;
    f->w00 = (1.0f - fy) * (1.0f - fx);
    f->w10 = (1.0f - fy) * fx;
    f->w01 = fy * (1.0f - fx);
    f->w11 = fx * fy;

    f->cornerFlags = 0;
    f->sigma = 1;
    f->c00 = f->c10 = f->c01 = f->c11 = 0.0f;
    if (job.haveMask && !ApplyMask(job, f)) return false;
    if (job.d.antialias) {
        if (sy < static_cast<float>(static_cast<int64_t>(b.top) + 1)) f->cornerFlags |= 3;
        if (sx < static_cast<float>(static_cast<int64_t>(b.left) + 1)) f->cornerFlags |= 5;
        if (sy > static_cast<float>(static_cast<int64_t>(b.bottom) - 1)) f->cornerFlags |= 12;
        if (sx > static_cast<float>(static_cast<int64_t>(b.right) - 1)) f->cornerFlags |= 10;
    }
    return true;
}

// Ramp of deform_face.cpp, lane by lane: the first formula, the second
// where the first is above 1, clamped to 0..1 (NaN stays NaN).
inline F4 Ramp4(F4 first, F4 second)
{
    const F4 one = Splat(1.0f), zero = _mm_setzero_ps();
    F4 r = Select(_mm_cmpgt_ps(first, one), second, first);
    r = Select(_mm_cmpgt_ps(r, one), one, r);
    return Select(_mm_cmplt_ps(r, zero), zero, r);
}

inline F4 Add(F4 a, F4 b) { return _mm_add_ps(a, b); }
inline F4 Sub(F4 a, F4 b) { return _mm_sub_ps(a, b); }
inline F4 Mul(F4 a, F4 b) { return _mm_mul_ps(a, b); }
inline F4 Div(F4 a, F4 b) { return _mm_div_ps(a, b); }

// The distances and cell of four pixels of one row.
struct Cells {
    F4 u, fi, fj, uPlus, uMinus, vMinus, vPlus;
    F4 d1, d2, d3, d4;
    I4 i, j;
};

// The face constants, one in every lane.
struct Lanes4 {
    F4 A2, B, B2, Fa, Fb, Fc, Fd, G1, G2, KA2, MA, MB, Q, R, T, WA, WB, base, boost, kxA2, kxkyB2, ky, kyB2, zoom;
};

Lanes4 MakeLanes4(const DeformSetup& d)
{
    Lanes4 w;
    w.A2 = Splat(d.A2);
    w.B = Splat(d.B);
    w.B2 = Splat(d.B2);
    w.Fa = Splat(d.Fa);
    w.Fb = Splat(d.Fb);
    w.Fc = Splat(d.Fc);
    w.Fd = Splat(d.Fd);
    w.G1 = Splat(d.G1);
    w.G2 = Splat(d.G2);
    w.KA2 = Splat(d.KA2);
    w.MA = Splat(d.MA);
    w.MB = Splat(d.MB);
    w.Q = Splat(d.Q);
    w.R = Splat(d.R);
    w.T = Splat(d.T);
    w.WA = Splat(d.WA);
    w.WB = Splat(d.WB);
    w.base = Splat(d.base);
    w.boost = Splat(d.boost);
    w.kxA2 = Splat(d.kxA2);
    w.kxkyB2 = Splat(d.kxkyB2);
    w.ky = Splat(d.ky);
    w.kyB2 = Splat(d.kyB2);
    w.zoom = Splat(d.zoom);
    return w;
}

// What a face leaves: light and texture position.
struct FaceOut {
    F4 lambda, X, Y;
};

FaceOut Face1(const Lanes4& d, const Cells& k)
{
    const F4 Q = d.Q, half = Splat(0.5f), one = Splat(1.0f), R = d.R;
    const F4 r0 = Ramp4(Add(Div(k.d1, Q), half), Sub(half, Div(Sub(k.d1, d.MA), Q)));
    const F4 r1 = Ramp4(Sub(half, Div(k.d4, Q)), Add(Div(Add(k.d4, d.MB), Q), half));
    const F4 a = Mul(Sub(one, r1), Add(Mul(r0, d.Fb), Mul(Sub(one, r0), d.Fa)));
    const F4 b = Mul(r1, Add(Mul(r0, d.Fd), Mul(Sub(one, r0), d.Fc)));
    const F4 g = Mul(Sub(Mul(d.G1, k.d1), Mul(d.G2, k.d4)), R);
    FaceOut o;
    o.lambda = Sub(Add(a, b), g);
    o.X = Add(Mul(R, Sub(Add(Mul(d.kxA2, k.fj), k.uMinus), Mul(d.B2, k.fi))),
              Mul(ToFloat4(_mm_add_epi32(k.i, k.i)), d.WB));
    const F4 inner = Sub(Sub(Add(Mul(d.kyB2, k.fi), k.vMinus), Mul(d.A2, k.fj)),
                         d.WA);
    o.Y = Add(Mul(R, inner),
              Mul(d.WA, ToFloat4(_mm_add_epi32(_mm_set1_epi32(1), _mm_add_epi32(k.j, k.j)))));
    return o;
}

FaceOut Face2(const Lanes4& d, const Cells& k)
{
    const F4 T = d.T, half = Splat(0.5f), one = Splat(1.0f);
    const F4 r0 = Ramp4(Sub(half, Div(k.d1, T)), Add(Div(Add(d.WA, k.d1), T), half));
    const F4 r1 = Ramp4(Sub(half, Div(k.d3, T)), Add(Div(Add(k.d3, d.WB), T), half));
    F4 l = Add(Mul(d.G1, k.d1), Mul(d.G2, k.d3));
    l = Add(l, Mul(Mul(Sub(one, r1), r0), d.Fa));
    l = Add(l, Mul(Mul(r0, r1), d.Fc));
    l = Add(l, Mul(Mul(Sub(one, r1), Sub(one, r0)), d.Fb));
    l = Add(l, Mul(Mul(Sub(one, r0), r1), d.Fd));
    FaceOut o;
    o.lambda = l;
    o.X = Sub(Add(k.uPlus, Mul(d.kxkyB2, k.fi)), Mul(d.kxA2, k.fj));
    o.Y = Add(Add(k.vMinus, Mul(d.kyB2, k.fi)), Mul(d.KA2, k.fj));
    return o;
}

FaceOut Face3(const Lanes4& d, const Cells& k)
{
    const F4 T = d.T, half = Splat(0.5f), one = Splat(1.0f);
    const F4 r0 = Ramp4(Add(Div(k.d2, T), half), Sub(half, Div(Sub(k.d2, d.WA), T)));
    const F4 r1 = Ramp4(Add(Div(k.d4, T), half), Sub(half, Div(Sub(k.d4, d.WB), T)));
    const F4 a = Mul(Sub(one, r1), Add(Mul(r0, d.Fd), Mul(Sub(one, r0), d.Fc)));
    const F4 b = Mul(r1, Add(Mul(r0, d.Fb), Mul(Sub(one, r0), d.Fa)));
    FaceOut o;
    o.lambda = Sub(Sub(Add(a, b), Mul(d.G1, k.d2)), Mul(d.G2, k.d4));
    const I4 one4 = _mm_set1_epi32(1);
    o.X = Add(Add(k.uMinus, Mul(d.kxA2, k.fj)),
              Mul(d.kxkyB2, ToFloat4(_mm_add_epi32(k.i, one4))));
    o.Y = Sub(Add(k.vPlus, Mul(d.KA2, ToFloat4(_mm_add_epi32(k.j, one4)))),
              Mul(d.kyB2, k.fi));
    return o;
}

FaceOut Face4(const Lanes4& d, const Cells& k)
{
    const F4 Q = d.Q, half = Splat(0.5f), one = Splat(1.0f), R = d.R;
    const F4 r0 = Ramp4(Sub(half, Div(k.d2, Q)), Add(Div(Add(d.MA, k.d2), Q), half));
    const F4 r1 = Ramp4(Add(Div(k.d3, Q), half), Sub(half, Div(Sub(k.d3, d.MB), Q)));
    F4 l = Mul(Mul(r1, Sub(one, r0)), d.Fb);
    l = Add(l, Mul(Mul(r0, r1), d.Fa));
    l = Add(l, Mul(Mul(Sub(one, r1), Sub(one, r0)), d.Fd));
    l = Add(l, Mul(Mul(Sub(one, r1), r0), d.Fc));
    l = Add(l, Mul(Sub(Mul(d.G1, k.d2), Mul(d.G2, k.d3)), R));
    FaceOut o;
    o.lambda = l;
    const F4 inner = Sub(Sub(Sub(k.uPlus, Mul(d.B2, k.fi)), Mul(d.kxA2, k.fj)),
                         d.WB);
    const I4 one4 = _mm_set1_epi32(1);
    o.X = Add(Mul(R, inner), Mul(d.WB, ToFloat4(_mm_add_epi32(one4, _mm_add_epi32(k.i, k.i)))));
    o.Y = Add(Mul(R, Sub(Sub(k.vPlus, Mul(d.A2, k.fj)), Mul(d.kyB2, k.fi))),
              Mul(ToFloat4(_mm_add_epi32(k.j, k.j)), d.WA));
    return o;
}

void Merge(FaceOut& into, F4 mask, const FaceOut& face)
{
    into.lambda = Select(mask, face.lambda, into.lambda);
    into.X = Select(mask, face.X, into.X);
    into.Y = Select(mask, face.Y, into.Y);
}

// The footprint of lane k from the stored lanes, before any mask.
inline Footprint MakeFootprint(const int32_t* ix, const int32_t* iy, const int32_t* x1,
                               const int32_t* y1, const float* w00, const float* w10,
                               const float* w01, const float* w11, int k)
{
    Footprint p;
    p.ix = ix[k], p.iy = iy[k], p.x1 = x1[k], p.y1 = y1[k];
    p.w00 = w00[k], p.w10 = w10[k], p.w01 = w01[k], p.w11 = w11[k];
    p.cornerFlags = 0;
    p.sigma = 1;
    p.c00 = p.c10 = p.c01 = p.c11 = 0.0f;
    return p;
}

// Per-row constants of the four-lane loop.
struct RowConstants {
    float v;
    F4 rowShift; // kx (v - A t'), added on even tile rows, subtracted on odd
    bool oddRow;
    F4 kxv;
};

// The face of four pixels at columns u: mask of the lanes on a face, and
// their light and texture position.
F4 Faces4(const Lanes4& d, const RowConstants& rc, F4 u, FaceOut* out)
{
    Cells k;
    const F4 v = Splat(rc.v);
    const F4 sx = rc.oddRow ? Sub(u, rc.rowShift) : Add(u, rc.rowShift);
    k.i = CellIndex4(sx, d.B2);
    const I4 tileColumn = CellIndex4(u, d.B);
    const I4 oddColumn = _mm_cmpeq_epi32(_mm_and_si128(tileColumn, _mm_set1_epi32(1)),
                                         _mm_set1_epi32(1));
    const F4 odd = _mm_castsi128_ps(oddColumn);
    const F4 column = ToFloat4(SelectI(oddColumn, _mm_add_epi32(tileColumn, _mm_set1_epi32(1)),
                                       tileColumn));
    const F4 t = Mul(d.ky, Sub(u, Mul(d.B, column)));
    const F4 sy = Select(odd, Add(v, t), Sub(v, t));
    k.j = CellIndex4(sy, d.A2);
    k.fi = ToFloat4(k.i);
    k.fj = ToFloat4(k.j);

    const F4 kyu = Mul(d.ky, u);
    k.vMinus = Sub(v, kyu);
    k.vPlus = Sub(Add(v, kyu), d.kyB2);
    k.uPlus = Add(u, rc.kxv);
    k.uMinus = Add(Sub(u, rc.kxv), d.kxA2);
    k.d1 = Sub(k.vMinus, Sub(Add(Mul(d.A2, k.fj), d.WA), Mul(d.kyB2, k.fi)));
    k.d2 = Sub(k.vPlus, Add(Add(Mul(d.kyB2, k.fi), Mul(d.A2, k.fj)), d.MA));
    k.d3 = Sub(k.uPlus, Add(Add(Mul(d.B2, k.fi), Mul(d.kxA2, k.fj)), d.WB));
    k.d4 = Sub(k.uMinus, Sub(Add(Mul(d.B2, k.fi), d.MB), Mul(d.kxA2, k.fj)));

    // The first face whose two conditions hold, in the scalar order.
    const F4 zero = _mm_setzero_ps();
    const F4 f1 = _mm_and_ps(_mm_cmpge_ps(k.d1, zero), _mm_cmplt_ps(k.d4, zero));
    F4 taken = f1;
    const F4 f2 = _mm_andnot_ps(taken, _mm_and_ps(_mm_cmplt_ps(k.d1, zero), _mm_cmplt_ps(k.d3, zero)));
    taken = _mm_or_ps(taken, f2);
    const F4 f3 = _mm_andnot_ps(taken, _mm_and_ps(_mm_cmpge_ps(k.d2, zero), _mm_cmpge_ps(k.d4, zero)));
    taken = _mm_or_ps(taken, f3);
    const F4 f4 = _mm_andnot_ps(taken, _mm_and_ps(_mm_cmplt_ps(k.d2, zero), _mm_cmpge_ps(k.d3, zero)));
    taken = _mm_or_ps(taken, f4);

    out->lambda = out->X = out->Y = zero;
    if (Lanes(f1)) Merge(*out, f1, Face1(d, k));
    if (Lanes(f2)) Merge(*out, f2, Face2(d, k));
    if (Lanes(f3)) Merge(*out, f3, Face3(d, k));
    if (Lanes(f4)) Merge(*out, f4, Face4(d, k));
    return taken;
}

// Corner addresses of four footprints; lanes not in `lanes` take a used
// lane's, so every gather reads inside the image.
struct Corners4 {
    const uint8_t* p00[4];
    const uint8_t* p10[4];
    const uint8_t* p01[4];
    const uint8_t* p11[4];
};

void MakeCorners4(const DeformJob& job, const int32_t* ix, const int32_t* iy, const int32_t* x1,
                  const int32_t* y1, int lanes, Corners4* c)
{
    const DeformBuffers& b = *job.b;
    const ptrdiff_t planes = job.planes;
    int any = 0;
    while (!(lanes >> any & 1)) ++any;
    for (int k = 0; k < 4; ++k) {
        const int j = lanes >> k & 1 ? k : any;
        const uint8_t* row0 = b.inData + static_cast<ptrdiff_t>(iy[j]) * b.inRowBytes;
        const uint8_t* row1 = b.inData + static_cast<ptrdiff_t>(y1[j]) * b.inRowBytes;
        const ptrdiff_t left = ix[j] * planes, right = x1[j] * planes;
        c->p00[k] = row0 + left;
        c->p10[k] = row0 + right;
        c->p01[k] = row1 + left;
        c->p11[k] = row1 + right;
    }
}

// Channel ch of four corners through the level table, as reals.
inline F4 Gather4(const float* level, const uint8_t* const* p, int ch)
{
    return _mm_setr_ps(level[p[0][ch]], level[p[1][ch]], level[p[2][ch]], level[p[3][ch]]);
}

// The colour of the lanes set in `lanes` (3 colour channels, no corner
// blended): the level-mapped corners weighted, times the light, then the
// saturation step, written to out + lane x planes.
void ColourLanes(const DeformJob& job, const Corners4& c, int lanes, F4 w00, F4 w10, F4 w01,
                 F4 w11, F4 lambdaB, F4 L, uint8_t* out)
{
    const float* level = job.levelReal;
    const int32_t planes = job.planes;
    I4 channel[3];
    for (int ch = 0; ch < 3; ++ch) {
        const F4 sum = Add(Add(Add(Mul(Gather4(level, c.p11, ch), w11),
                                   Mul(Gather4(level, c.p01, ch), w01)),
                               Mul(Gather4(level, c.p10, ch), w10)),
                           Mul(Gather4(level, c.p00, ch), w00));
        channel[ch] = ClampByte4(TruncToInt4(Mul(sum, L)));
    }
    Resaturate4(channel[0], channel[1], channel[2], lambdaB, L, job.d.satGain);
    alignas(16) int32_t c0[4], c1[4], c2[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(c0), channel[0]);
    _mm_store_si128(reinterpret_cast<__m128i*>(c1), channel[1]);
    _mm_store_si128(reinterpret_cast<__m128i*>(c2), channel[2]);
    for (int k = 0; k < 4; ++k) {
        if (!(lanes >> k & 1)) continue;
        uint8_t* o = out + static_cast<ptrdiff_t>(k) * planes;
        o[0] = static_cast<uint8_t>(c0[k]);
        o[1] = static_cast<uint8_t>(c1[k]);
        o[2] = static_cast<uint8_t>(c2[k]);
    }
}

} // namespace

void RenderDeformRowScalar(const DeformJob& job, int32_t r)
{
    const DeformSetup& d = job.d;
    const DeformInputs& in = *job.in;
    const DeformBuffers& b = *job.b;
    const float v = static_cast<float>(static_cast<int64_t>(r) - in.rowOffset) + 0.5f;
    const int32_t tileRow = DeformTileRow(d, v);
    const float top = static_cast<float>(b.top), bottom = static_cast<float>(b.bottom);
    const float left = static_cast<float>(b.left), right = static_cast<float>(b.right);
    uint8_t* out = b.outData + At(r, b.outRowBytes, job.cBegin, job.planes);
    for (int32_t c = job.cBegin; c < job.cEnd; ++c, out += job.planes) {
        const float u = static_cast<float>(static_cast<int64_t>(c) - in.columnOffset) + 0.5f;
        FaceSample face;
        if (!DeformFace(d, u, v, tileRow, &face)) continue;
        const float lambdaB = face.lambda + d.base;
        const float L = face.lambda + d.base + d.boost;
        const float sy = d.zoom * face.Y + in.rowOffsetFine;
        const float sx = d.zoom * face.X + in.columnOffsetFine;
        if (!(top <= sy && sy < bottom && left <= sx && sx < right)) continue;
        Footprint f;
        if (!Locate(job, sx, sy, &f)) continue;
        FinishPixel(job, f, c, r, lambdaB, L, out);
    }
}

void RenderDeformRowLanes(const DeformJob& job, int32_t r)
{
    const DeformSetup& d = job.d;
    const DeformInputs& in = *job.in;
    const DeformBuffers& b = *job.b;
    RowConstants rc;
    rc.v = static_cast<float>(static_cast<int64_t>(r) - in.rowOffset) + 0.5f;
    const int32_t tileRow = DeformTileRow(d, rc.v);
    rc.oddRow = (tileRow & 1) != 0;
    rc.rowShift = Splat(rc.oddRow ? d.kx * (rc.v - d.A * static_cast<float>(static_cast<int64_t>(tileRow) + 1))
                                  : d.kx * (rc.v - d.A * static_cast<float>(tileRow)));
    rc.kxv = Splat(d.kx * rc.v);

    const F4 top = Splat(static_cast<float>(b.top)), bottom = Splat(static_cast<float>(b.bottom));
    const F4 left = Splat(static_cast<float>(b.left)), right = Splat(static_cast<float>(b.right));
    const Lanes4 w = MakeLanes4(d);
    const F4 zoom = w.zoom, half = Splat(0.5f), one = Splat(1.0f);
    const F4 rowFine = Splat(in.rowOffsetFine), columnFine = Splat(in.columnOffsetFine);
    const I4 leftI = _mm_set1_epi32(b.left), lastX = _mm_set1_epi32(b.right - 1);
    const I4 topI = _mm_set1_epi32(b.top), lastY = _mm_set1_epi32(b.bottom - 1);
    const I4 step = _mm_set1_epi32(1);
    // Edge flags: sy < top + 1, sx < left + 1, sy > bottom - 1, sx > right - 1.
    const F4 top1 = Splat(static_cast<float>(b.top + 1)), left1 = Splat(static_cast<float>(b.left + 1));
    const F4 bottom1 = Splat(static_cast<float>(b.bottom - 1)), right1 = Splat(static_cast<float>(b.right - 1));

    alignas(16) int32_t ix[4], iy[4], x1[4], y1[4], edges[4];
    alignas(16) float w00[4], w10[4], w01[4], w11[4], lb[4], ll[4];
    uint8_t* rowOut = b.outData + At(r, b.outRowBytes, 0, job.planes);
    I4 columns = _mm_setr_epi32(job.cBegin - in.columnOffset, job.cBegin - in.columnOffset + 1,
                                job.cBegin - in.columnOffset + 2, job.cBegin - in.columnOffset + 3);
    for (int32_t c0 = job.cBegin; c0 < job.cEnd; c0 += 4, columns = _mm_add_epi32(columns, _mm_set1_epi32(4))) {
        const F4 u = Add(ToFloat4(columns), half);
        FaceOut face;
        F4 keep = Faces4(w, rc, u, &face);
        const F4 base = w.base;
        const F4 lambdaB = Add(face.lambda, base);
        const F4 L = Add(Add(face.lambda, base), w.boost);
        const F4 sy = Add(Mul(zoom, face.Y), rowFine);
        const F4 sx = Add(Mul(zoom, face.X), columnFine);
        keep = _mm_and_ps(keep, _mm_and_ps(_mm_and_ps(_mm_cmple_ps(top, sy), _mm_cmplt_ps(sy, bottom)),
                                           _mm_and_ps(_mm_cmple_ps(left, sx), _mm_cmplt_ps(sx, right))));
        int lanes = Lanes(keep);
        if (c0 + 4 > job.cEnd) lanes &= (1 << (job.cEnd - c0)) - 1;
        if (!lanes) continue;

        // Footprints: corners kept inside the rectangle, weights, edge flags.
        I4 cx = TruncToInt4(sx), cy = TruncToInt4(sy);
        cx = SelectI(_mm_cmplt_epi32(cx, leftI), leftI, cx);
        cx = SelectI(_mm_cmpgt_epi32(cx, lastX), lastX, cx);
        cy = SelectI(_mm_cmplt_epi32(cy, topI), topI, cy);
        cy = SelectI(_mm_cmpgt_epi32(cy, lastY), lastY, cy);
        const F4 fx = Sub(sx, ToFloat4(cx)), fy = Sub(sy, ToFloat4(cy));
        const I4 nx = SelectI(_mm_cmpgt_epi32(cx, _mm_sub_epi32(lastX, step)), cx, _mm_add_epi32(cx, step));
        const I4 ny = SelectI(_mm_cmpgt_epi32(cy, _mm_sub_epi32(lastY, step)), cy, _mm_add_epi32(cy, step));
        _mm_store_si128(reinterpret_cast<__m128i*>(ix), cx);
        _mm_store_si128(reinterpret_cast<__m128i*>(iy), cy);
        _mm_store_si128(reinterpret_cast<__m128i*>(x1), nx);
        _mm_store_si128(reinterpret_cast<__m128i*>(y1), ny);
        _mm_store_ps(w00, Mul(Sub(one, fy), Sub(one, fx)));
        _mm_store_ps(w10, Mul(Sub(one, fy), fx));
        _mm_store_ps(w01, Mul(fy, Sub(one, fx)));
        _mm_store_ps(w11, Mul(fx, fy));
        _mm_store_ps(lb, lambdaB);
        _mm_store_ps(ll, L);
        I4 e = _mm_setzero_si128();
        if (d.antialias) {
            e = _mm_or_si128(e, _mm_and_si128(_mm_castps_si128(_mm_cmplt_ps(sy, top1)), _mm_set1_epi32(3)));
            e = _mm_or_si128(e, _mm_and_si128(_mm_castps_si128(_mm_cmplt_ps(sx, left1)), _mm_set1_epi32(5)));
            e = _mm_or_si128(e, _mm_and_si128(_mm_castps_si128(_mm_cmpgt_ps(sy, bottom1)), _mm_set1_epi32(12)));
            e = _mm_or_si128(e, _mm_and_si128(_mm_castps_si128(_mm_cmpgt_ps(sx, right1)), _mm_set1_epi32(10)));
        }
        _mm_store_si128(reinterpret_cast<__m128i*>(edges), e);

        // Without a mask, blending or a previewed transparency the lanes
        // need no footprint records: the plain colour steps of all four.
        const bool plain = !job.alphaPreview && d.channels == 3;
        const int edged = LanesI(_mm_cmpeq_epi32(e, _mm_setzero_si128())) ^ 15;
        if (plain && !job.haveMask && !(edged & lanes)) {
            Corners4 corners;
            MakeCorners4(job, ix, iy, x1, y1, lanes, &corners);
            ColourLanes(job, corners, lanes, _mm_load_ps(w00), _mm_load_ps(w10),
                        _mm_load_ps(w01), _mm_load_ps(w11), lambdaB, L,
                        rowOut + static_cast<ptrdiff_t>(c0) * job.planes);
            if (job.planes == 4)
                for (int k = 0; k < 4; ++k)
                    if (lanes >> k & 1)
                        WriteAlpha(job, MakeFootprint(ix, iy, x1, y1, w00, w10, w01, w11, k),
                                   rowOut + static_cast<ptrdiff_t>(c0 + k) * job.planes);
            continue;
        }

        Footprint f[4];
        bool blended = false;
        for (int k = 0; k < 4; ++k) {
            if (!(lanes >> k & 1)) continue;
            Footprint& p = f[k];
            p = MakeFootprint(ix, iy, x1, y1, w00, w10, w01, w11, k);
            if (job.haveMask && !ApplyMask(job, &p)) {
                lanes &= ~(1 << k);
                continue;
            }
            p.cornerFlags |= edges[k];
            // A blended corner is left to the one-pixel steps.
            if (p.cornerFlags != 0 && p.sigma != kFullySelectedSum) blended = true;
        }
        if (!lanes) continue;
        if (plain && !blended) {
            Corners4 corners;
            MakeCorners4(job, ix, iy, x1, y1, lanes, &corners);
            ColourLanes(job, corners, lanes, _mm_load_ps(w00), _mm_load_ps(w10),
                        _mm_load_ps(w01), _mm_load_ps(w11), lambdaB, L,
                        rowOut + static_cast<ptrdiff_t>(c0) * job.planes);
            if (job.planes == 4)
                for (int k = 0; k < 4; ++k)
                    if (lanes >> k & 1)
                        WriteAlpha(job, f[k], rowOut + static_cast<ptrdiff_t>(c0 + k) * job.planes);
            continue;
        }
        for (int k = 0; k < 4; ++k)
            if (lanes >> k & 1)
                FinishPixel(job, f[k], c0 + k, r, lb[k], ll[k],
                            rowOut + static_cast<ptrdiff_t>(c0 + k) * job.planes);
    }
}

void RenderDeformRow(const DeformJob& job, int32_t r)
{
    if (job.lanes)
        RenderDeformRowLanes(job, r);
    else
        RenderDeformRowScalar(job, r);
}
