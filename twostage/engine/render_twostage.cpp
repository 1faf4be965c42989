#include "twostage/engine/render_twostage.h"

#include <cstddef>

#include "common/checker.h"
#include "common/float_to_int.h"
#include "common/preview_size.h"
#include "common/row_workers.h"
#include "twostage/engine/strip_groups.h"
#include "twostage/engine/strip_job.h"

namespace {

void SetUpRender(TwoStageJob& r, const TwoStageParams& p, const FilterRecord& host,
                 int32_t planes, int32_t right, int32_t bottom, float scale, bool fullImage,
                 int32_t bytesPerPixel, bool hasMask)
{
    // 1. Stage settings (spacings scaled in full-image mode).
    r.settings[0] = MakeStageSettings(p, 0, fullImage, scale);
    r.settings[1] = MakeStageSettings(p, 1, fullImage, scale);

    // 2. Colours; host pixels are red first, so full-image mode swaps.
    const bool transparency = planes >= 4;
    PixelColours& c = r.colours;
    c.background = ResolveColour(p.backgroundColor, fullImage, host.foreColor, host.backColor,
                                 transparency);
    for (int s = 0; s < 2; ++s) {
        c.gradient[s] = ResolveColour(p.gradientShadowColor[s], fullImage, host.foreColor,
                                      host.backColor, transparency);
        c.side[s] = ResolveColour(p.sideShadowColor[s], fullImage, host.foreColor,
                                  host.backColor, transparency);
    }

    // 3. No light exiting under a transparent gradient shadow; saturation, tones.
    for (int s = 0; s < 2; ++s)
        if (c.gradient[s].alpha == 0)
            r.settings[s].lightExiting = 0;
    c.saturationGain = static_cast<float>(p.saturation) * 0.05f;
    BuildToneTable(r.tone, p.brightnessRatio, p.whiteCanvas);
    r.toneBase = p.brightnessRatio;
    c.whiteCanvas = p.whiteCanvas != 0;
    c.bytesPerPixel = bytesPerPixel;

    // 4. Curve amplitudes from the stage-2 periods before raising.
    r.curveAmpX = static_cast<float>(int64_t{p.curve.x - 25} * r.settings[1].rowPeriod) * 0.04f;
    r.curveAmpY = static_cast<float>(int64_t{p.curve.y - 25} * r.settings[1].columnPeriod) * 0.04f;

    // 5. Point transform.
    r.deformation = p.deformation != 0;
    r.hasMask = hasMask;
    if (r.deformation) {
        const float ax = right != 0 ? r.curveAmpX / static_cast<float>(right) : 0.0f;
        const float ay = bottom != 0 ? r.curveAmpY / static_cast<float>(bottom) : 0.0f;
        r.scaleX = (ax < 0.0f ? -ax : ax) + 1.0f;
        r.scaleY = (ay < 0.0f ? -ay : ay) + 1.0f;
        r.startX = r.curveAmpX < 0.0f ? 0.9f * r.curveAmpX : 0.0f;
        r.startY = r.curveAmpY < 0.0f ? 0.9f * r.curveAmpY : 0.0f;
        r.antiAliasing = p.antiAliasing != 0;
    } else {
        r.scaleX = r.scaleY = 1.0f;
        r.startX = r.startY = 0.0f;
        r.antiAliasing = hasMask && p.antiAliasing != 0;
    }

    // 6. Curve table.
    BuildCurveTable(r.curve, p.curveShape);

    // 7. Preview checkerboards.
    const bool preview3 = !fullImage && bytesPerPixel == 3;
    c.transparencyChecker =
        preview3 && (host.filterCase == filterCaseEditableTransparencyNoSelection ||
                     host.filterCase == filterCaseEditableTransparencyWithSelection);
    c.checkerBackground = preview3 && c.background.alpha == 0;

    // 8. Geometry of stage 1, then stage 2.
    SetUpStage(r.geometry[0], r.settings[0], right, bottom);
    SetUpStage(r.geometry[1], r.settings[1], right, bottom);
}

void PreFill(const PixelColours& c, uint8_t* dst, int32_t dstStride, int32_t bytesPerPixel,
             int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    for (int32_t y = top; y < bottom; ++y) {
        uint8_t* out = dst + static_cast<ptrdiff_t>(y) * dstStride +
                       static_cast<ptrdiff_t>(left) * bytesPerPixel;
        for (int32_t x = left; x < right; ++x, out += bytesPerPixel) {
            if (c.checkerBackground) {
                out[0] = out[1] = out[2] = CheckerValue(x, y);
                continue;
            }
            out[2] = c.background.col0;
            out[1] = c.background.col1;
            out[0] = c.background.col2;
            if (bytesPerPixel == 4)
                out[3] = c.background.alpha;
        }
    }
}

// A row of a shared render: its state found from the row above, its fill,
// its pixels.
struct SharedRows {
    const TwoStageJob* job;
    bool fill;
    CarriedState* sequential; // one thread, rows in order: the state carried
};

void RenderSharedRow(const void* shared, int32_t y)
{
    const SharedRows& rows = *static_cast<const SharedRows*>(shared);
    const TwoStageJob& job = *rows.job;
    if (rows.fill)
        PreFill(job.colours, job.dst, job.dstStride, job.bpp, job.left, y, job.right, y + 1);
    if (rows.sequential) {
        RenderStripRow(job, y, *rows.sequential);
        return;
    }
    CarriedState state = InitialState(job);
    if (y > job.top)
        ProbeRowEnd(job, y - 1, state); // checked for every row before the render
    RenderStripRow(job, y, state);
}

} // namespace

bool PrepareTwoStageJob(const EngineContext& context, int32_t left, int32_t top, int32_t right,
                        int32_t bottom, const uint8_t* src, int32_t srcStride, uint8_t* dst,
                        int32_t dstStride, const uint8_t* mask, int32_t maskStride,
                        const uint8_t* alphaPlane, float scale, int32_t mode, TwoStageJob& job)
{
    const int32_t bpp = mode & 7;
    if ((bpp != 3 && bpp != 4) || !context.params || !src || !dst)
        return false;
    static const FilterRecord kNoHost{};
    const FilterRecord& host = context.filter ? *context.filter : kNoHost;
    const bool fullImage = mode >= 5;
    if (!fullImage) {
        // The preview buffers are 364 x 360; nothing outside them is touched.
        if (left < 0) left = 0;
        if (top < 0) top = 0;
        if (right > kPreviewWidth) right = kPreviewWidth;
        if (bottom > kPreviewHeight) bottom = kPreviewHeight;
    }
    const bool hasMask = host.haveMask != 0 && mask != nullptr;
    SetUpRender(job, *context.params, host, context.planes, right, bottom, scale, fullImage, bpp,
                hasMask);
    job.left = left, job.top = top, job.right = right, job.bottom = bottom;
    job.src = src, job.srcStride = srcStride;
    job.dst = dst, job.dstStride = dstStride;
    job.mask = mask, job.maskStride = maskStride;
    job.alphaPlane = alphaPlane;
    job.bpp = bpp;
    job.lanes = !CanMapLanes(job) ? 0 : (HaveGroups8() ? 8 : 4);
    return true;
}

int32_t RenderTwoStage(const EngineContext& context, int32_t left, int32_t top, int32_t right,
                       int32_t bottom, const uint8_t* src, int32_t srcStride, uint8_t* dst,
                       int32_t dstStride, const uint8_t* mask, int32_t maskStride,
                       const uint8_t* alphaPlane, float scale, int32_t mode,
                       TwoStageAbortCheck abortCheck, void* abortUser)
{
    TwoStageJob job;
    if (!PrepareTwoStageJob(context, left, top, right, bottom, src, srcStride, dst, dstStride,
                            mask, maskStride, alphaPlane, scale, mode, job))
        return userCanceledErr;

    // 9. Pre-fill: the whole preview buffer, or the rectangle.
    if (mode >= 5)
        PreFill(job.colours, dst, dstStride, job.bpp, job.left, job.top, job.right, job.bottom);
    else
        PreFill(job.colours, dst, dstStride, job.bpp, 0, 0, kPreviewWidth, kPreviewHeight);

    CarriedState state = InitialState(job);
    for (int32_t y = job.top; y < job.bottom; ++y) {
        if ((y & 7) == 7 && abortCheck) {
            const int32_t answer = abortCheck(y, job.bottom, abortUser);
            if ((answer & 0xFFFF) != 0)
                return static_cast<int16_t>(answer & 0xFFFF);
        }
        RenderStripRow(job, y, state);
    }
    return 0;
}

int32_t RenderTwoStageThreads(const EngineContext& context, int32_t left, int32_t top,
                              int32_t right, int32_t bottom, const uint8_t* src,
                              int32_t srcStride, uint8_t* dst, int32_t dstStride,
                              const uint8_t* mask, int32_t maskStride, float scale,
                              int32_t mode, int32_t threads, TwoStageAbortCheck abortCheck,
                              void* abortUser)
{
    TwoStageJob job;
    if (mode < 5 || !PrepareTwoStageJob(context, left, top, right, bottom, src, srcStride, dst,
                                        dstStride, mask, maskStride, nullptr, scale, mode, job))
        return userCanceledErr;
    // Rows share the work only when every row's start state can be found
    // from the row above it; otherwise (records that put whole rows on no
    // face) the rows are rendered in order on the calling thread.
    CarriedState state = InitialState(job);
    bool independent = threads > 1;
    for (int32_t y = job.top; independent && y + 1 < job.bottom; ++y) {
        CarriedState probe;
        independent = ProbeRowEnd(job, y, probe);
    }
    const SharedRows rows{&job, true, independent ? nullptr : &state};
    const int32_t answer = RunRows(job.top, job.bottom, job.bottom, independent ? threads : 1,
                                   RenderSharedRow, &rows, abortCheck, abortUser);
    return (answer & 0xFFFF) != 0 ? static_cast<int16_t>(answer & 0xFFFF) : 0;
}
