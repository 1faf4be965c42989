// RenderTwoStage: the velk2000 pixel engine. Maps every pixel of a rectangle
// through the two stages of the strip lattice, samples the source there and
// shades it. Preview mode renders the 364 x 360 blue-green-red preview
// buffers, full-image mode the host's red-green-blue buffers.
#pragma once

#include <cstdint>

#include "host/filter_record.h"
#include "twostage/engine/twostage_params.h"

// The settings record, the host record (of which the engine reads haveMask,
// filterCase, backColor and foreColor) and the plane count of the run (3, or
// 4 when the image has transparency).
struct EngineContext {
    TwoStageParams* params;
    FilterRecord* filter;
    int32_t planes;
};

// Called before every row y with y & 7 == 7 as abortCheck(y, bottom, user); a
// result whose low 16 bits are non-zero stops the render.
typedef int32_t (*TwoStageAbortCheck)(int32_t row, int32_t bottom, void* user);

constexpr int32_t kTwoStagePreviewMode = 3;   // mode of a preview render
constexpr int32_t kTwoStageFullImageMode = 8; // plus bytes per pixel: 11 or 12

// Renders (left, top, right, bottom), right and bottom exclusive, from src
// into dst (a different buffer). mode & 7 is the bytes per pixel (3 or 4); a
// mode below 5 is a preview render, whose destination is pre-filled over the
// whole 364 x 360 buffer. mask (rows of maskStride) is read only when the host
// reports a selection; alphaPlane (same stride) only in the preview of an
// image with editable transparency. In full-image mode the spacings are
// multiplied by scale. A null abortCheck never stops.
// Returns 0, or the 16-bit stop answer (sign-extended) after a stop; -128
// when the bytes per pixel are not 3 or 4 (nothing is written then).
int32_t RenderTwoStage(const EngineContext& context, int32_t left, int32_t top, int32_t right,
                       int32_t bottom, const uint8_t* src, int32_t srcStride, uint8_t* dst,
                       int32_t dstStride, const uint8_t* mask, int32_t maskStride,
                       const uint8_t* alphaPlane, float scale, int32_t mode,
                       TwoStageAbortCheck abortCheck, void* abortUser);

// The same full-image render (mode 11 or 12) with the rows shared among
// `threads` threads (the calling thread one of them), byte for byte the
// same output. abortCheck is called only on the calling thread, with the
// same rows in the same order, each once the rows above it are complete. A
// stop ends every thread within the row it holds; the rows not reached are
// then neither filled nor rendered. -128 for a preview mode.
int32_t RenderTwoStageThreads(const EngineContext& context, int32_t left, int32_t top,
                              int32_t right, int32_t bottom, const uint8_t* src,
                              int32_t srcStride, uint8_t* dst, int32_t dstStride,
                              const uint8_t* mask, int32_t maskStride, float scale,
                              int32_t mode, int32_t threads, TwoStageAbortCheck abortCheck,
                              void* abortUser);
