// The preview buffers of a module: fixed areas of static storage that the
// whole image is reduced into once per dialog and every preview renders
// from (colour blue, green, red, 1092 bytes a row; transparency and
// selection 364 bytes a row; the engine's result like the colour).
#pragma once

#include <cstdint>

#include "toolkit/preview/preview_reduce.h"

struct PreviewStore {
    uint8_t colour[kPreviewHeight * kPreviewRowBytes];
    uint8_t transparency[kPreviewHeight * kPreviewWidth];
    uint8_t selection[kPreviewHeight * kPreviewWidth];
    uint8_t result[kPreviewHeight * kPreviewRowBytes];
};

extern PreviewStore gPreview;

// The reduction buffers of gPreview.
inline PreviewBuffers PreviewStoreBuffers()
{
    return {gPreview.colour, gPreview.transparency, gPreview.selection};
}
