#include "twostage/engine/render_twostage.h"

#include <cstddef>

#include "common/checker.h"
#include "common/float_to_int.h"
#include "common/preview_size.h"
#include "twostage/engine/strip_geometry.h"
#include "twostage/engine/strip_shading.h"

namespace {

// Everything a render sets up before its first pixel.
struct RenderSetup {
    StageSettings settings[2];
    StageGeometry geometry[2];
    PixelColours colours;
    uint8_t tone[256];
    float curve[kCurveTableSize];
    float curveAmpX, curveAmpY;
    float scaleX, scaleY, startX, startY;
    bool antiAliasing;
    bool hasMask;
    bool deformation;
};

void SetUpRender(RenderSetup& r, const TwoStageParams& p, const FilterRecord& host,
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

float Coverage(const uint8_t* mask, int32_t maskStride, int32_t x, int32_t y)
{
    return static_cast<float>(mask[static_cast<ptrdiff_t>(y) * maskStride + x]) / 255.0f;
}

// Bilinear sample of the source at (X, Y), for a stage 1 that moves pixels.
// Returns false when the pixel is skipped.
bool SampleMoved(const RenderSetup& r, float X, float Y, int32_t left, int32_t top,
                 int32_t right, int32_t bottom, const uint8_t* src, int32_t srcStride,
                 int32_t bpp, const uint8_t* mask, int32_t maskStride, PixelSample& s)
{
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
        cover[0] = Coverage(mask, maskStride, s.x0, s.y0);
        cover[1] = Coverage(mask, maskStride, s.x1, s.y0);
        cover[2] = Coverage(mask, maskStride, s.x0, s.y1);
        cover[3] = Coverage(mask, maskStride, s.x1, s.y1);
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
    const uint8_t* p00 = src + static_cast<ptrdiff_t>(s.y0) * srcStride + s.x0 * bpp;
    const uint8_t* p10 = src + static_cast<ptrdiff_t>(s.y0) * srcStride + s.x1 * bpp;
    const uint8_t* p01 = src + static_cast<ptrdiff_t>(s.y1) * srcStride + s.x0 * bpp;
    const uint8_t* p11 = src + static_cast<ptrdiff_t>(s.y1) * srcStride + s.x1 * bpp;
    for (int j = 0; j < 3; ++j) {
        const int b = 2 - j; // first component at +2
        s.comp[j] = r.tone[p00[b]] * s.weight[0] + r.tone[p10[b]] * s.weight[1] +
                    r.tone[p01[b]] * s.weight[2] + r.tone[p11[b]] * s.weight[3];
    }
    return true;
}

// The source pixel at (x, y) itself, for a stage 1 that does not move pixels.
bool SampleInPlace(const RenderSetup& r, int32_t x, int32_t y, const uint8_t* src,
                   int32_t srcStride, int32_t bpp, const uint8_t* mask, int32_t maskStride,
                   PixelSample& s)
{
    const float coverage = r.hasMask ? Coverage(mask, maskStride, x, y) : 1.0f;
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
    const uint8_t* px = src + static_cast<ptrdiff_t>(y) * srcStride + x * bpp;
    for (int j = 0; j < 3; ++j)
        s.comp[j] = r.colours.whiteCanvas ? 255.0f : static_cast<float>(r.tone[px[2 - j]]);
    return true;
}

} // namespace

int32_t RenderTwoStage(const EngineContext& context, int32_t left, int32_t top, int32_t right,
                       int32_t bottom, const uint8_t* src, int32_t srcStride, uint8_t* dst,
                       int32_t dstStride, const uint8_t* mask, int32_t maskStride,
                       const uint8_t* alphaPlane, float scale, int32_t mode,
                       TwoStageAbortCheck abortCheck, void* abortUser)
{
    const int32_t bpp = mode & 7;
    if ((bpp != 3 && bpp != 4) || !context.params || !src || !dst)
        return userCanceledErr;
    static const FilterRecord kNoHost{};
    const FilterRecord& host = context.filter ? *context.filter : kNoHost;
    const TwoStageParams& p = *context.params;
    const bool fullImage = mode >= 5;
    if (!fullImage) {
        // The preview buffers are 364 x 360; nothing outside them is touched.
        if (left < 0) left = 0;
        if (top < 0) top = 0;
        if (right > kPreviewWidth) right = kPreviewWidth;
        if (bottom > kPreviewHeight) bottom = kPreviewHeight;
    }
    const bool hasMask = host.haveMask != 0 && mask != nullptr;

    RenderSetup r;
    SetUpRender(r, p, host, context.planes, right, bottom, scale, fullImage, bpp, hasMask);

    // 9. Pre-fill: the whole preview buffer, or the rectangle.
    if (fullImage)
        PreFill(r.colours, dst, dstStride, bpp, left, top, right, bottom);
    else
        PreFill(r.colours, dst, dstStride, bpp, 0, 0, kPreviewWidth, kPreviewHeight);

    StripPoint point{};
    for (int32_t y = top; y < bottom; ++y) {
        if ((y & 7) == 7 && abortCheck) {
            const int32_t answer = abortCheck(y, bottom, abortUser);
            if ((answer & 0xFFFF) != 0)
                return static_cast<int16_t>(answer & 0xFFFF);
        }
        uint8_t* out = dst + static_cast<ptrdiff_t>(y) * dstStride;
        for (int32_t x = left; x < right; ++x) {
            point.Y = static_cast<float>(y) * r.scaleY + r.startY;
            point.X = static_cast<float>(x) * r.scaleX + r.startX;
            point.shade = 1.0f;
            MapThroughStage(r.geometry[1], r.settings[1], point, true);

            // Curved deformation: the vertical displacement follows the
            // horizontal position in the stage-2 cell and vice versa.
            int32_t iu = 0, iv = 0;
            if (!CurveIndex(point.curveV, iv) || !CurveIndex(point.curveU, iu))
                continue;
            point.Y = r.settings[0].offsetY + point.Y - r.curve[iv] * r.curveAmpY;
            point.X = r.settings[0].offsetX + point.X - r.curve[iu] * r.curveAmpX;
            MapThroughStage(r.geometry[0], r.settings[0], point, r.deformation);

            PixelSample sample;
            const bool kept =
                r.deformation
                    ? SampleMoved(r, point.X - r.geometry[0].shiftX,
                                  point.Y - r.geometry[0].shiftY, left, top, right, bottom, src,
                                  srcStride, bpp, mask, maskStride, sample)
                    : SampleInPlace(r, x, y, src, srcStride, bpp, mask, maskStride, sample);
            if (!kept)
                continue;
            FinishPixel(r.colours, r.geometry, point.shade, sample, src, srcStride, alphaPlane,
                        maskStride, x, y, out + static_cast<ptrdiff_t>(x) * bpp);
        }
    }
    return 0;
}
