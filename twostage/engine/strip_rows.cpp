// The one-pixel row of the two-stage render: each pixel mapped through the
// second stage, bent by the curve, mapped through the first stage, sampled
// and shaded. The stages' factors and the curve coordinates a pixel in no
// face keeps come from the pixel before it (CarriedState).
#include <cstddef>

#include "common/float_to_int.h"
#include "twostage/engine/strip_job.h"
#include "twostage/engine/strip_groups.h"

namespace {

float Coverage(const uint8_t* mask, int32_t maskStride, int32_t x, int32_t y)
{
    return static_cast<float>(mask[static_cast<ptrdiff_t>(y) * maskStride + x]) / 255.0f;
}

// Bilinear sample of the source at (X, Y), for a stage 1 that moves pixels.
// Returns false when the pixel is skipped.
bool SampleMoved(const TwoStageJob& r, float X, float Y, PixelSample& s)
{
    const int32_t left = r.left, top = r.top, right = r.right, bottom = r.bottom;
    if (!(Y >= static_cast<float>(top) && Y < static_cast<float>(bottom) &&
          X >= static_cast<float>(left) && X < static_cast<float>(right)))
        return false;
    const int32_t ix = TruncToInt(X), iy = TruncToInt(Y);
    const float fx = X - static_cast<float>(ix);
    const float fy = Y - static_cast<float>(iy);
    s.x0 = ix;
    s.y0 = iy;
    s.x1 = ix > right - 2 ? ix : ix + 1;
    s.y1 = iy > bottom - 2 ? iy : iy + 1;
    s.weight[0] = (1.0f - fx) * (1.0f - fy);
    s.weight[1] = fx * (1.0f - fy);
    s.weight[2] = (1.0f - fx) * fy;
    s.weight[3] = fx * fy;

    float cover[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    if (r.hasMask) {
        cover[0] = Coverage(r.mask, r.maskStride, s.x0, s.y0);
        cover[1] = Coverage(r.mask, r.maskStride, s.x1, s.y0);
        cover[2] = Coverage(r.mask, r.maskStride, s.x0, s.y1);
        cover[3] = Coverage(r.mask, r.maskStride, s.x1, s.y1);
    }
    if (r.antiAliasing) {
        if (Y < static_cast<float>(top) + 1.0f)
            cover[0] = cover[1] = 0.0f;
        if (X < static_cast<float>(left) + 1.0f)
            cover[0] = cover[2] = 0.0f;
        if (Y > static_cast<float>(bottom) - 1.0f)
            cover[2] = cover[3] = 0.0f;
        if (X > static_cast<float>(right) - 1.0f)
            cover[1] = cover[3] = 0.0f;
    }
    float outside = s.weight[0] * (1.0f - cover[0]) + s.weight[1] * (1.0f - cover[1]) +
                    s.weight[2] * (1.0f - cover[2]) + s.weight[3] * (1.0f - cover[3]);
    if (!r.antiAliasing)
        outside = outside >= 0.5f ? 1.0f : 0.0f;
    if (outside > 0.99f)
        return false;
    s.outside = outside;

    if (r.colours.whiteCanvas) {
        s.comp[0] = s.comp[1] = s.comp[2] = 255.0f;
        return true;
    }
    const int32_t bpp = r.bpp;
    const uint8_t* p00 = r.src + static_cast<ptrdiff_t>(s.y0) * r.srcStride + s.x0 * bpp;
    const uint8_t* p10 = r.src + static_cast<ptrdiff_t>(s.y0) * r.srcStride + s.x1 * bpp;
    const uint8_t* p01 = r.src + static_cast<ptrdiff_t>(s.y1) * r.srcStride + s.x0 * bpp;
    const uint8_t* p11 = r.src + static_cast<ptrdiff_t>(s.y1) * r.srcStride + s.x1 * bpp;
    for (int j = 0; j < 3; ++j) {
        const int b = 2 - j; // first component at +2
        s.comp[j] = r.tone[p00[b]] * s.weight[0] + r.tone[p10[b]] * s.weight[1] +
                    r.tone[p01[b]] * s.weight[2] + r.tone[p11[b]] * s.weight[3];
    }
    return true;
}

// The source pixel at (x, y) itself, for a stage 1 that does not move pixels.
bool SampleInPlace(const TwoStageJob& r, int32_t x, int32_t y, PixelSample& s)
{
    const float coverage = r.hasMask ? Coverage(r.mask, r.maskStride, x, y) : 1.0f;
    float outside = 1.0f - coverage;
    if (!r.antiAliasing)
        outside = outside >= 0.5f ? 1.0f : 0.0f;
    if (outside > 0.99f)
        return false;
    s.outside = outside;
    s.x0 = s.x1 = x;
    s.y0 = s.y1 = y;
    s.weight[0] = 1.0f;
    s.weight[1] = s.weight[2] = s.weight[3] = 0.0f;
    const uint8_t* px = r.src + static_cast<ptrdiff_t>(y) * r.srcStride + x * r.bpp;
    for (int j = 0; j < 3; ++j)
        s.comp[j] = r.colours.whiteCanvas ? 255.0f : static_cast<float>(r.tone[px[2 - j]]);
    return true;
}

void Load(const CarriedState& state, StageGeometry g[2], StripPoint& point)
{
    for (int s = 0; s < 2; ++s) {
        g[s].gradientFactor = state.gradientFactor[s];
        g[s].sideFactor = state.sideFactor[s];
    }
    point.curveU = state.curveU;
    point.curveV = state.curveV;
}

void Store(const StageGeometry g[2], const StripPoint& point, CarriedState& state)
{
    for (int s = 0; s < 2; ++s) {
        state.gradientFactor[s] = g[s].gradientFactor;
        state.sideFactor[s] = g[s].sideFactor;
    }
    state.curveU = point.curveU;
    state.curveV = point.curveV;
}

// True when pixel (x, y) sets the whole state itself: a face in both stages
// and curve coordinates that are numbers.
bool SetsWholeState(const TwoStageJob& job, int32_t x, int32_t y)
{
    StageGeometry g[2] = {job.geometry[0], job.geometry[1]};
    StripPoint point{};
    point.Y = static_cast<float>(y) * job.scaleY + job.startY;
    point.X = static_cast<float>(x) * job.scaleX + job.startX;
    point.shade = 1.0f;
    if (MapThroughStage(g[1], job.settings[1], point, true) == 0)
        return false;
    int32_t iu = 0, iv = 0;
    if (!CurveIndex(point.curveV, iv) || !CurveIndex(point.curveU, iu))
        return false;
    point.Y = job.settings[0].offsetY + point.Y - job.curve[iv] * job.curveAmpY;
    point.X = job.settings[0].offsetX + point.X - job.curve[iu] * job.curveAmpX;
    return MapThroughStage(g[0], job.settings[0], point, job.deformation) != 0;
}

} // namespace

CarriedState InitialState(const TwoStageJob& job)
{
    CarriedState state;
    for (int s = 0; s < 2; ++s) {
        state.gradientFactor[s] = job.geometry[s].gradientFactor;
        state.sideFactor[s] = job.geometry[s].sideFactor;
    }
    state.curveU = state.curveV = 0.0f;
    return state;
}

bool MapPixel(const TwoStageJob& job, StageGeometry g[2], StripPoint& point, int32_t x, int32_t y)
{
    point.Y = static_cast<float>(y) * job.scaleY + job.startY;
    point.X = static_cast<float>(x) * job.scaleX + job.startX;
    point.shade = 1.0f;
    MapThroughStage(g[1], job.settings[1], point, true);

    // Curved deformation: the vertical displacement follows the horizontal
    // position in the stage-2 cell and vice versa.
    int32_t iu = 0, iv = 0;
    if (!CurveIndex(point.curveV, iv) || !CurveIndex(point.curveU, iu))
        return false;
    point.Y = job.settings[0].offsetY + point.Y - job.curve[iv] * job.curveAmpY;
    point.X = job.settings[0].offsetX + point.X - job.curve[iu] * job.curveAmpX;
    MapThroughStage(g[0], job.settings[0], point, job.deformation);
    return true;
}

void ShadePixel(const TwoStageJob& job, const StageGeometry g[2], const StripPoint& point,
                int32_t x, int32_t y)
{
    PixelSample sample;
    const bool kept = job.deformation
                          ? SampleMoved(job, point.X - job.geometry[0].shiftX,
                                        point.Y - job.geometry[0].shiftY, sample)
                          : SampleInPlace(job, x, y, sample);
    if (!kept)
        return;
    uint8_t* out = job.dst + static_cast<ptrdiff_t>(y) * job.dstStride +
                   static_cast<ptrdiff_t>(x) * job.bpp;
    FinishPixel(job.colours, g, point.shade, sample, job.src, job.srcStride, job.alphaPlane,
                job.maskStride, x, y, out);
}

void RenderStripRowOnePixel(const TwoStageJob& job, int32_t y, CarriedState& state)
{
    StageGeometry g[2] = {job.geometry[0], job.geometry[1]};
    StripPoint point{};
    Load(state, g, point);
    for (int32_t x = job.left; x < job.right; ++x)
        if (MapPixel(job, g, point, x, y))
            ShadePixel(job, g, point, x, y);
    Store(g, point, state);
}

void RenderStripRowLanes(const TwoStageJob& job, int32_t y, CarriedState& state)
{
    StageGeometry g[2] = {job.geometry[0], job.geometry[1]};
    StripPoint point{};
    Load(state, g, point);
    int32_t x = job.left;
    if (job.lanes == 8)
        x = RenderGroups8(job, y, x, g, point);
    x = RenderGroups4(job, y, x, g, point);
    for (; x < job.right; ++x)
        if (MapPixel(job, g, point, x, y))
            ShadePixel(job, g, point, x, y);
    Store(g, point, state);
}

void RenderStripRow(const TwoStageJob& job, int32_t y, CarriedState& state)
{
    if (job.lanes != 0)
        RenderStripRowLanes(job, y, state);
    else
        RenderStripRowOnePixel(job, y, state);
}

bool ProbeRowEnd(const TwoStageJob& job, int32_t y, CarriedState& state)
{
    int32_t start = job.right - 1;
    while (start >= job.left && !SetsWholeState(job, start, y))
        --start;
    if (start < job.left)
        return false;
    StageGeometry g[2] = {job.geometry[0], job.geometry[1]};
    StripPoint point{};
    for (int32_t x = start; x < job.right; ++x)
        MapPixel(job, g, point, x, y);
    Store(g, point, state);
    return true;
}
