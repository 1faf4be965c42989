#include "toolkit/preview/preview_reduce.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "toolkit/preview/reduce_rows.h"
#include "toolkit/preview/reduce_wide.h"

namespace {

// trunc(v) of a non-negative average, saturated to a byte (never undefined).
uint8_t ByteOf(double v)
{
    if (!(v >= 0.0))
        return 0;
    if (v >= 255.0)
        return 255;
    return static_cast<uint8_t>(v);
}

// trunc(n / s) in double precision, the number of whole output pixels.
int32_t OutputCount(int32_t n, double s)
{
    const double q = static_cast<double>(n) / s;
    return q >= 2147483647.0 ? 2147483647 : static_cast<int32_t>(q);
}

// The box filter in doubles, one plane: for scales the whole-number plans do
// not cover.
void ReducePlaneInDoubles(double scale, const uint8_t* source, uint8_t* scratch,
                          int32_t sourceRowBytes, int32_t sourcePixelStride,
                          const ChannelTarget& target, int32_t width, int32_t height,
                          int32_t columns, int32_t rows)
{
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = source + static_cast<ptrdiff_t>(y) * sourceRowBytes;
        uint8_t* out = scratch + static_cast<ptrdiff_t>(y) * sourceRowBytes;
        double acc = 0.0;
        int32_t k = 0;
        for (int32_t i = 0; i < width; ++i) {
            const double v = in[static_cast<ptrdiff_t>(i) * sourcePixelStride];
            double w = (k + 1) * scale - i;
            if (w > 1.0)
                w = 1.0;
            acc += v * w;
            if ((k + 1) * scale <= i + 1) {
                out[k] = ByteOf(acc / scale);
                acc = (1.0 - w) * v;
                ++k;
            }
        }
    }
    for (int32_t c = 0; c < columns; ++c) {
        uint8_t* out = target.base + static_cast<ptrdiff_t>(c) * target.pixelStride;
        double acc = 0.0;
        int32_t k = 0;
        int32_t i = 0;
        while (k < rows && i < height) { // never past the scratch area
            const double v = scratch[static_cast<ptrdiff_t>(i) * sourceRowBytes + c];
            double w = (k + 1) * scale - i;
            if (w > 1.0)
                w = 1.0;
            acc += v * w;
            ++i;
            if ((k + 1) * scale <= i) {
                out[k * target.rowBytes] = ByteOf(acc / scale);
                acc = (1.0 - w) * v;
                ++k;
            }
        }
    }
}

// Reduces `channels` interleaved byte planes at once: channel c of pixel
// (x, y) at source + y * rowBytes + x * stride + c, into targets[c]. Each
// scratch row receives the row's reduced channels one after the other, so one
// plane alone lands where a one-plane reduction puts it.
void ReduceChannels(float s, const uint8_t* source, uint8_t* scratch, int32_t rowBytes,
                    int32_t stride, int32_t channels, const ChannelTarget* targets, int32_t width,
                    int32_t height, int32_t destinationColumns)
{
    if (width <= 0 || height <= 0 || channels <= 0)
        return;
    // Below 1 a source pixel could straddle several output pixels.
    const double scale = s >= 1.0f ? static_cast<double>(s) : 1.0;
    int32_t columns = OutputCount(width, scale);
    if (columns > destinationColumns)
        columns = destinationColumns;
    int32_t rows = OutputCount(height, scale);
    if (rows > kPreviewHeight)
        rows = kPreviewHeight;

    ReducePlan across, down;
    if (channels > stride || stride > 16 || columns < 1 ||
        static_cast<int64_t>(channels) * columns > rowBytes ||
        !MakeReducePlan(scale, width, columns, across) ||
        !MakeReducePlan(scale, height, rows, down)) {
        for (int32_t c = 0; c < channels; ++c)
            if (targets[c].base)
                ReducePlaneInDoubles(scale, source + c, scratch, rowBytes, stride, targets[c],
                                     width, height, columns < 0 ? 0 : columns, rows);
        return;
    }

    // Pass 1. A row is reduced into a buffer first, so a scratch area that is
    // the source itself still gives every row its own pixels.
    const ptrdiff_t lastByte = static_cast<ptrdiff_t>(width - 1) * stride + channels;
    const int32_t loadLimit =
        lastByte < 16 ? 0 : static_cast<int32_t>((lastByte - 16) / stride + 1);
    const int32_t span = channels * columns;
    std::vector<uint8_t> reduced(static_cast<size_t>(span));
    RowSums work(across, channels);
    WideRowPlan wide;
    MakeWideRowPlan(across, stride, channels, lastByte, wide);
    const WideRows wideRows = WideRowsOf(wide, across, channels);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = source + static_cast<ptrdiff_t>(y) * rowBytes;
        if (wide.outputs > 0)
            ReduceRow8(wideRows, row, reduced.data());
        ReduceRow(across, wide.outputs, row, stride, channels, loadLimit, work, reduced.data());
        std::memcpy(scratch + static_cast<ptrdiff_t>(y) * rowBytes, reduced.data(),
                    reduced.size());
    }
    // Pass 2.
    ReduceColumns(down, scratch, rowBytes, span, columns, targets);
}

} // namespace

void PreviewReduce(float s, const uint8_t* source, uint8_t* scratch, int32_t sourceRowBytes,
                   int32_t sourcePixelStride, uint8_t* destination, int32_t destinationPixelStride,
                   int32_t width, int32_t height, int32_t destinationColumns, int32_t sourceOffset,
                   int32_t destinationOffset)
{
    const ChannelTarget target{destination + destinationOffset, destinationPixelStride,
                               static_cast<ptrdiff_t>(destinationColumns) * destinationPixelStride};
    ReduceChannels(s, source + sourceOffset, scratch, sourceRowBytes, sourcePixelStride, 1,
                   &target, width, height, destinationColumns);
}

PreviewSize FillPreviewBuffers(float s, const uint8_t* inData, int32_t inRowBytes, int32_t planes,
                               const uint8_t* maskData, int32_t maskRowBytes, int32_t width,
                               int32_t height, uint8_t* scratch, const PreviewBuffers& buffers)
{
    // Image plane p goes to colour byte 2 - p (blue first), plane 3 to the
    // transparency buffer.
    ChannelTarget targets[4] = {};
    const int32_t channels = planes < 4 ? planes : 4;
    for (int32_t p = 0; p < channels; ++p) {
        if (p < 3 && buffers.colour)
            targets[p] = {buffers.colour + (2 - p), 3, kPreviewRowBytes};
        else if (p == 3 && buffers.transparency)
            targets[p] = {buffers.transparency, 1, kPreviewWidth};
    }
    ReduceChannels(s, inData, scratch, inRowBytes, planes, channels, targets, width, height,
                   kPreviewWidth);
    if (maskData && buffers.selection) {
        const ChannelTarget selection{buffers.selection, 1, kPreviewWidth};
        ReduceChannels(s, maskData, scratch, maskRowBytes, 1, 1, &selection, width, height,
                       kPreviewWidth);
    }
    return PreviewRectSize(width, height, s);
}
