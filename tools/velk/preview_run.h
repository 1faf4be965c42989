// What the dialogs show: the image reduced into the 364 x 360 preview
// buffers, and the engines' preview result turned back into an RGB picture.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/velk/image_file.h"
#include "toolkit/preview/preview_scale.h"

struct PreviewImage {
    float scale = 1.0f;
    PreviewSize size = {0, 0};                 // the part carrying image data
    std::vector<uint8_t> colour;               // blue, green, red, 1092 bytes a row
    std::vector<uint8_t> transparency;         // 364 bytes a row
    std::vector<uint8_t> selection;            // 364 bytes a row
    std::vector<uint8_t> result;               // the engine's output, like colour
};

// Reduces the image (and the selection, when mask is not empty) as a dialog
// does on its first paint.
PreviewImage ReducePreview(const Image& image, const std::vector<uint8_t>& mask);

// The whole 364 x 360 result buffer as RGB rows.
std::vector<uint8_t> PreviewResultRgb(const PreviewImage& preview);
