// The preview reduction of a host's image: any size (up to 2400 pixels a
// side and 300000 in all), row strides with padding, three or four planes,
// with or without a selection mask of its own stride.
#include <vector>

#include "tests/fuzz/fuzz_input.h"
#include "toolkit/preview/preview_reduce.h"
#include "toolkit/preview/preview_scale.h"
#include "toolkit/preview/preview_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in{data, size};
    const int32_t width = in.In(1, 2400), height = in.In(1, 2400);
    if (int64_t(width) * height > 300000)
        return 0;
    const uint8_t flags = in.Byte();
    const int32_t planes = flags & 1 ? 4 : 3;
    const int32_t inRowBytes = width * planes + in.In(0, 9);
    const bool hasMask = flags & 2;
    const int32_t maskRowBytes = width + in.In(0, 9);
    std::vector<uint8_t> image(size_t(inRowBytes) * height);
    // The pixels repeat the rest of the input.
    std::vector<uint8_t> pattern(in.size ? in.size : 1);
    in.Fill(pattern.data(), pattern.size());
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = pattern[i % pattern.size()];
    std::vector<uint8_t> mask(hasMask ? size_t(maskRowBytes) * height : 0);
    for (size_t i = 0; i < mask.size(); ++i)
        mask[i] = pattern[(i * 7) % pattern.size()];
    const size_t scratchRow = size_t(inRowBytes > maskRowBytes ? inRowBytes : maskRowBytes);
    std::vector<uint8_t> scratch(scratchRow * height);
    const size_t plane = size_t(kPreviewWidth) * kPreviewHeight;
    std::vector<uint8_t> colour(plane * 3), transparency(plane), selection(plane);
    const PreviewBuffers buffers = {colour.data(), transparency.data(), selection.data()};
    FillPreviewBuffers(PreviewScale(width, height), image.data(), inRowBytes, planes,
                       hasMask ? mask.data() : nullptr, maskRowBytes, width, height, scratch.data(),
                       buffers);
    return 0;
}
