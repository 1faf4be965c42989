// Small images and one configurable RenderDeformation call for the engine
// tests.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "deform/engine/render_deformation.h"

struct Image {
    int32_t width, height, planes, rowBytes;
    std::vector<uint8_t> bytes;

    Image(int32_t w, int32_t h, int32_t p, int32_t rowBytesOrZero = 0)
        : width(w), height(h), planes(p), rowBytes(rowBytesOrZero ? rowBytesOrZero : w * p),
          bytes(static_cast<size_t>(rowBytes) * h, 0)
    {
    }
    uint8_t* at(int32_t x, int32_t y) { return &bytes[static_cast<size_t>(y) * rowBytes + x * planes]; }
    const uint8_t* at(int32_t x, int32_t y) const
    {
        return &bytes[static_cast<size_t>(y) * rowBytes + x * planes];
    }
    // Sets every pixel's first `count` bytes from f(x, y, channel).
    template <class F> void Paint(int32_t count, F f)
    {
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                for (int32_t k = 0; k < count; ++k) at(x, y)[k] = static_cast<uint8_t>(f(x, y, k));
    }
};

constexpr uint32_t kGreyFill = 0xFFC8C8C8; // 200, 200, 200, opaque

// Stretch 0, no shading, no bevel, no brightness floor, face scheme 3 (no
// face darkened), whole-image mode: the face light is exactly 1 and every
// pixel samples the source at its own centre.
inline DeformInputs NeutralInputs(int32_t tileHeight = 7, int32_t tileWidth = 5)
{
    DeformInputs in{};
    in.tileHeight = tileHeight;
    in.tileWidth = tileWidth;
    in.faceScheme = 3;
    in.edgeFlags = EdgeWholeImage;
    return in;
}

struct RenderCall {
    const Image* source = nullptr;
    Image* dest = nullptr;
    DeformInputs inputs = NeutralInputs();
    uint32_t fill = kGreyFill;
    const Image* mask = nullptr;  // sets haveMask
    const Image* alpha = nullptr; // preview transparency plane
    int16_t filterCase = filterCaseFlatImageNoSelection;
    int32_t left = 0, top = 0, right = -1, bottom = -1; // -1: the source's size
    DeformProgress progress = nullptr;
    void* user = nullptr;

    int32_t Run() const
    {
        FilterRecord filter{};
        filter.haveMask = mask != nullptr;
        filter.filterCase = filterCase;
        DeformSettings settings{};
        DeformContext context{&settings, &filter};
        DeformBuffers b{};
        b.left = left;
        b.top = top;
        b.right = right < 0 ? source->width : right;
        b.bottom = bottom < 0 ? source->height : bottom;
        b.inData = source->bytes.data();
        b.inRowBytes = source->rowBytes;
        b.outData = dest->bytes.data();
        b.outRowBytes = dest->rowBytes;
        const Image* plane = mask ? mask : alpha;
        b.maskData = mask ? mask->bytes.data() : nullptr;
        b.maskRowBytes = plane ? plane->rowBytes : 0;
        b.alphaData = alpha ? alpha->bytes.data() : nullptr;
        return RenderDeformation(context, inputs, b, fill, source->planes, progress, user);
    }
};

// A record of random bytes; nearSliders puts the tile values near the
// sliders' ranges.
inline DeformSettings RandomDeformRecord(std::mt19937& random, bool nearSliders)
{
    DeformSettings s;
    for (size_t i = 0; i < sizeof s; ++i)
        reinterpret_cast<uint8_t*>(&s)[i] = static_cast<uint8_t>(random());
    for (int i = 0; nearSliders && i < 8; ++i) {
        s.valueX[i] = static_cast<int16_t>(random() % 130 - 15);
        s.valueY[i] = static_cast<int16_t>(random() % 130 - 15);
    }
    return s;
}
