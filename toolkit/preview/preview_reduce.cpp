#include "toolkit/preview/preview_reduce.h"

#include <cstddef>

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

} // namespace

void PreviewReduce(float s, const uint8_t* source, uint8_t* scratch, int32_t sourceRowBytes,
                   int32_t sourcePixelStride, uint8_t* destination, int32_t destinationPixelStride,
                   int32_t width, int32_t height, int32_t destinationColumns, int32_t sourceOffset,
                   int32_t destinationOffset)
{
    if (width <= 0 || height <= 0)
        return;
    // Below 1 a source pixel could straddle several output pixels.
    const double scale = s >= 1.0f ? static_cast<double>(s) : 1.0;

    // Pass 1, rows: source row y into scratch row y.
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = source + sourceOffset + static_cast<ptrdiff_t>(y) * sourceRowBytes;
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

    // Pass 2, columns: scratch column c into preview column c.
    int32_t columns = OutputCount(width, scale);
    if (columns > destinationColumns)
        columns = destinationColumns;
    int32_t rows = OutputCount(height, scale);
    if (rows > kPreviewHeight)
        rows = kPreviewHeight;
    const ptrdiff_t destinationRow = static_cast<ptrdiff_t>(destinationColumns) * destinationPixelStride;
    for (int32_t c = 0; c < columns; ++c) {
        uint8_t* out = destination + destinationOffset + static_cast<ptrdiff_t>(c) * destinationPixelStride;
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
                out[k * destinationRow] = ByteOf(acc / scale);
                acc = (1.0 - w) * v;
                ++k;
            }
        }
    }
}

PreviewSize FillPreviewBuffers(float s, const uint8_t* inData, int32_t inRowBytes, int32_t planes,
                               const uint8_t* maskData, int32_t maskRowBytes, int32_t width,
                               int32_t height, uint8_t* scratch, const PreviewBuffers& buffers)
{
    for (int32_t p = 0; p < planes && p < 4; ++p) {
        if (p < 3) {
            if (buffers.colour)
                PreviewReduce(s, inData, scratch, inRowBytes, planes, buffers.colour, 3, width,
                              height, kPreviewWidth, 2 - p, p);
        } else if (buffers.transparency) {
            PreviewReduce(s, inData, scratch, inRowBytes, planes, buffers.transparency, 1, width,
                          height, kPreviewWidth, 3, 0);
        }
    }
    if (maskData && buffers.selection)
        PreviewReduce(s, maskData, scratch, maskRowBytes, 1, buffers.selection, 1, width, height,
                      kPreviewWidth, 0, 0);
    return PreviewRectSize(width, height, s);
}
