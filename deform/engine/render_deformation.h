// RenderDeformation: the velk3d pixel engine. Turns an RGB(A) image into a
// relief of woven, bevelled tiles textured with the image. A pure function of
// its arguments and buffers.
#pragma once

#include <cstdint>

#include "common/preview_size.h"
#include "deform/engine/deform_settings.h"
#include "host/filter_record.h"

// runContext: the settings record of the run and the host's FilterRecord; the
// engine reads only haveMask and filterCase of the FilterRecord.
struct DeformContext {
    DeformSettings* settings;
    const FilterRecord* filter;
};

// Called before every row r with r & 7 == 7 as progress(r, bottom, user); a
// result whose low 16 bits are non-zero stops the render and is returned.
typedef int32_t (*DeformProgress)(int32_t row, int32_t total, void* user);

struct DeformBuffers {
    int32_t left, top, right, bottom; // destination and source rectangle
    const uint8_t* inData;
    int32_t inRowBytes;
    uint8_t* outData;
    int32_t outRowBytes;
    const uint8_t* maskData; // read only when the FilterRecord's haveMask is set
    int32_t maskRowBytes;
    const uint8_t* alphaData; // preview transparency plane (rows of maskRowBytes), or null
};

// The buffers of a dialog's preview render: the image's part (width x
// height) of the 364 x 360 preview planes, colour and result in
// blue-green-red rows, selection and transparency one byte a pixel.
inline DeformBuffers PreviewDeformBuffers(int32_t width, int32_t height, const uint8_t* colour,
                                          uint8_t* result, const uint8_t* selection,
                                          const uint8_t* transparency)
{
    return {0, 0, width, height, colour, kPreviewRowBytes, result, kPreviewRowBytes,
            selection, kPreviewWidth, transparency};
}

// The buffers of a whole-image render of `planes` interleaved channels; mask
// (one byte a pixel) may be null.
inline DeformBuffers ImageDeformBuffers(int32_t width, int32_t height, int32_t planes,
                                        const uint8_t* in, uint8_t* out, const uint8_t* mask)
{
    return {0, 0, width, height, in, width * planes, out, width * planes, mask, width, nullptr};
}

// Returns 0 when the whole rectangle was rendered, else the progress result;
// -128 (nothing written) when planes is outside 1..4 or a buffer is missing.
int32_t RenderDeformation(const DeformContext& context, const DeformInputs& inputs,
                          const DeformBuffers& buffers, uint32_t fillColour, int32_t planes,
                          DeformProgress progress, void* progressUser);

// The same render with the rows shared among `threads` threads (the calling
// thread one of them), byte for byte the same output. progress is called
// only on the calling thread, with the same rows in the same order, each
// once the rows above it are complete. A stop ends every thread within the
// row it holds; the rows not reached are then neither filled nor rendered.
int32_t RenderDeformationThreads(const DeformContext& context, const DeformInputs& inputs,
                                 const DeformBuffers& buffers, uint32_t fillColour,
                                 int32_t planes, int32_t threads, DeformProgress progress,
                                 void* progressUser);
