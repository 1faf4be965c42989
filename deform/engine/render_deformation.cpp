// RenderDeformation: fill the destination, then render every row of the
// rectangle top to bottom. A pixel finds its face and source position
// (deform_face.cpp), samples the source bilinearly through the level table,
// blends flagged corners toward the fill, applies the face light, and is
// re-saturated; the transparency is carried or previewed over a checkerboard
// (deform_pixel.h, deform_rows.cpp).
#include "deform/engine/render_deformation.h"

#include <cstring>

#include "common/row_workers.h"
#include "deform/engine/deform_pixel.h"

namespace {

// Positions below this magnitude keep every cell index and sum of the face
// formulas exact in 32-bit lanes.
constexpr int64_t kLaneRange = int64_t{1} << 22;

bool Small(int64_t n)
{
    return n > -kLaneRange && n < kLaneRange;
}

// Every byte of a fill pixel is written, and the fill repeats every pixel
// (every 8 pixels on the checkerboard): the first period is written pixel
// by pixel, the rest of the row copied from what is already written.
void FillRow(const DeformJob& job, int32_t y)
{
    const DeformSetup& d = job.d;
    const DeformBuffers& b = *job.b;
    const int32_t planes = job.planes;
    if (d.fillRight <= d.fillLeft) return;
    uint8_t* row = b.outData + At(y, b.outRowBytes, d.fillLeft, planes);
    const int32_t period = d.fillMode == FillChecker ? 8 : 1;
    const int32_t first = d.fillRight - d.fillLeft < period ? d.fillRight : d.fillLeft + period;
    uint8_t* p = row;
    for (int32_t x = d.fillLeft; x < first; ++x, p += planes) {
        if (d.fillMode == FillChecker) {
            p[0] = p[1] = p[2] = CheckerValue(x, y);
            continue;
        }
        for (int32_t k = 0; k < d.channels; ++k) p[k] = d.fillBytes[k];
        if (planes == 4) p[3] = d.fillAlpha;
    }
    const size_t total = static_cast<size_t>(d.fillRight - d.fillLeft) * planes;
    for (size_t done = static_cast<size_t>(first - d.fillLeft) * planes; done < total;) {
        const size_t n = done < total - done ? done : total - done;
        std::memcpy(row + done, row, n);
        done += n;
    }
}

// One row of a shared render: its fill, then its pixels.
void FillAndRenderRow(const void* job, int32_t r)
{
    const DeformJob& j = *static_cast<const DeformJob*>(job);
    if (r < j.d.fillTop || r >= j.d.fillBottom) return;
    FillRow(j, r);
    RenderDeformRow(j, r);
}

} // namespace

bool PrepareDeformJob(const DeformContext& context, const DeformInputs& inputs,
                      const DeformBuffers& buffers, uint32_t fillColour, int32_t planes,
                      DeformJob* job)
{
    // Without buffers or with a pixel layout the engine does not know there
    // is nothing it could write safely: the call is refused as the host's
    // "cannot run" (-128), like the two-stage engine refuses one.
    if (planes < 1 || planes > 4 || !buffers.inData || !buffers.outData) return false;
    PrepareDeformation(inputs, buffers, fillColour, planes, &job->d);
    const FilterRecord* filter = context.filter;
    const int16_t filterCase = filter ? filter->filterCase : 0;
    job->in = &inputs;
    job->b = &buffers;
    job->planes = planes;
    // A mask announced but not supplied counts as no mask.
    job->haveMask = filter && filter->haveMask && buffers.maskData;
    job->alphaPreview = planes == 3 && buffers.alphaData &&
                        (filterCase == filterCaseEditableTransparencyNoSelection ||
                         filterCase == filterCaseEditableTransparencyWithSelection);
    // Pixels are written only inside the fill rectangle.
    const DeformSetup& d = job->d;
    for (int32_t i = 0; i < 256; ++i) job->levelReal[i] = static_cast<float>(d.levelTable[i]);
    job->cBegin = buffers.left > d.fillLeft ? buffers.left : d.fillLeft;
    job->cEnd = buffers.right < d.fillRight ? buffers.right : d.fillRight;
    // The last group of a row reaches up to 7 columns past cEnd.
    const bool small = buffers.left >= 0 && buffers.top >= 0 && buffers.right < kLaneRange &&
                       buffers.bottom < kLaneRange &&
                       Small(int64_t{job->cBegin} - inputs.columnOffset) &&
                       Small(int64_t{job->cEnd} + 8 - inputs.columnOffset) &&
                       Small(int64_t{buffers.top} - inputs.rowOffset) &&
                       Small(int64_t{buffers.bottom} - inputs.rowOffset);
    job->lanes = !small ? 0 : (HaveDeformRows8() ? 8 : 4);
    return true;
}

int32_t RenderDeformation(const DeformContext& context, const DeformInputs& inputs,
                          const DeformBuffers& buffers, uint32_t fillColour, int32_t planes,
                          DeformProgress progress, void* progressUser)
{
    DeformJob job;
    if (!PrepareDeformJob(context, inputs, buffers, fillColour, planes, &job)) return userCanceledErr;
    for (int32_t y = job.d.fillTop; y < job.d.fillBottom; ++y) FillRow(job, y);
    for (int32_t r = buffers.top; r < buffers.bottom; ++r) {
        if ((r & 7) == 7 && progress) {
            const int32_t result = progress(r, buffers.bottom, progressUser);
            if (result & 0xFFFF) return result;
        }
        if (r < job.d.fillTop || r >= job.d.fillBottom) continue;
        RenderDeformRow(job, r);
    }
    return 0;
}

int32_t RenderDeformationThreads(const DeformContext& context, const DeformInputs& inputs,
                                 const DeformBuffers& buffers, uint32_t fillColour,
                                 int32_t planes, int32_t threads, DeformProgress progress,
                                 void* progressUser)
{
    DeformJob job;
    if (!PrepareDeformJob(context, inputs, buffers, fillColour, planes, &job)) return userCanceledErr;
    // Fill rows outside the rendered rows (a preview's) are filled first.
    for (int32_t y = job.d.fillTop; y < job.d.fillBottom; ++y)
        if (y < buffers.top || y >= buffers.bottom) FillRow(job, y);
    return RunRows(buffers.top, buffers.bottom, buffers.bottom, threads, FillAndRenderRow, &job,
                   progress, progressUser);
}
