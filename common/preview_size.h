// The fixed size of the preview buffers both dialogs render into.
#pragma once

constexpr int kPreviewWidth = 364;
constexpr int kPreviewHeight = 360;
constexpr int kPreviewRowBytes = kPreviewWidth * 3; // blue, green, red
