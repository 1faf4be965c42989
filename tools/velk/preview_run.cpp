#include "tools/velk/preview_run.h"

#include "toolkit/preview/preview_reduce.h"

PreviewImage ReducePreview(const Image& image, const std::vector<uint8_t>& mask)
{
    PreviewImage p;
    p.scale = PreviewScale(image.width, image.height);
    const size_t plane = size_t(kPreviewWidth) * kPreviewHeight;
    p.colour.assign(plane * 3, 0);
    p.transparency.assign(plane, 0);
    p.selection.assign(plane, 0);
    p.result.assign(plane * 3, 0);
    // The scratch area stands in for the host's output buffer.
    std::vector<uint8_t> scratch(size_t(image.height) * image.width * image.channels);
    const PreviewBuffers buffers = {p.colour.data(), p.transparency.data(), p.selection.data()};
    p.size = FillPreviewBuffers(p.scale, image.pixels.data(), image.width * image.channels,
                                image.channels, mask.empty() ? nullptr : mask.data(), image.width,
                                image.width, image.height, scratch.data(), buffers);
    return p;
}

std::vector<uint8_t> PreviewResultRgb(const PreviewImage& preview)
{
    std::vector<uint8_t> rgb(preview.result.size());
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        rgb[i] = preview.result[i + 2];
        rgb[i + 1] = preview.result[i + 1];
        rgb[i + 2] = preview.result[i];
    }
    return rgb;
}
