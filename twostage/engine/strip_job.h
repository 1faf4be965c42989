// What a two-stage render shares among its rows, and the rows themselves.
// A pixel in no face of a stage keeps the factors (and curve coordinates)
// of the pixel before it, so a row starts from the state the previous row
// ended with; CarriedState holds it.
#pragma once

#include <cstdint>

#include "twostage/engine/render_twostage.h"
#include "twostage/engine/strip_geometry.h"
#include "twostage/engine/strip_shading.h"

// Everything a render sets up before its first pixel.
struct TwoStageJob {
    StageSettings settings[2];
    StageGeometry geometry[2];
    PixelColours colours;
    uint8_t tone[256];
    int32_t toneBase; // the brightness ratio the tone table starts from
    float curve[kCurveTableSize];
    float curveAmpX, curveAmpY;
    float scaleX, scaleY, startX, startY;
    bool antiAliasing;
    bool hasMask;
    bool deformation;
    int32_t lanes; // 0: rows pixel by pixel; 4 or 8: in groups of as many (strip_groups.h)

    // The rectangle and buffers.
    int32_t left, top, right, bottom;
    const uint8_t* src;
    int32_t srcStride;
    uint8_t* dst;
    int32_t dstStride;
    const uint8_t* mask;
    int32_t maskStride;
    const uint8_t* alphaPlane;
    int32_t bpp;
};

// The factors of both stages and the curve coordinates left by the last
// pixel that set them.
struct CarriedState {
    float gradientFactor[2], sideFactor[2];
    float curveU, curveV;
};

// Sets up the job of a RenderTwoStage call with these arguments (a preview
// rectangle clipped to the preview buffers), the destination not yet
// filled. False when the call is refused.
bool PrepareTwoStageJob(const EngineContext& context, int32_t left, int32_t top, int32_t right,
                        int32_t bottom, const uint8_t* src, int32_t srcStride, uint8_t* dst,
                        int32_t dstStride, const uint8_t* mask, int32_t maskStride,
                        const uint8_t* alphaPlane, float scale, int32_t mode, TwoStageJob& job);

// The state before the first pixel of a render.
CarriedState InitialState(const TwoStageJob& job);

// Renders row y from state, leaving the state after its last pixel: in
// groups of job.lanes pixels where it is set, else one pixel at a time.
void RenderStripRow(const TwoStageJob& job, int32_t y, CarriedState& state);

// The two row loops, byte for byte the same: the one-pixel loop, and the
// group loop (groups of eight, then of four, then single pixels), which
// hands every group that depends on the pixels before it to the one-pixel
// steps.
void RenderStripRowOnePixel(const TwoStageJob& job, int32_t y, CarriedState& state);
void RenderStripRowLanes(const TwoStageJob& job, int32_t y, CarriedState& state);

// The state after row y, found without rendering: from the last pixel of
// the row (or before it) that sets every part of the state itself, mapped
// forward to the row's end. False when no pixel of the row does.
bool ProbeRowEnd(const TwoStageJob& job, int32_t y, CarriedState& state);

// One pixel mapped through both stages, as the row loops take it. Returns
// false when the pixel is skipped after the second stage (a curve
// coordinate that is not a number); geometry holds the carried factors.
bool MapPixel(const TwoStageJob& job, StageGeometry geometry[2], StripPoint& point, int32_t x,
              int32_t y);

// The sampling and colour steps of a mapped pixel (point, geometry as
// MapPixel left them).
void ShadePixel(const TwoStageJob& job, const StageGeometry geometry[2], const StripPoint& point,
                int32_t x, int32_t y);

