#include "tools/velk/orientation.h"

#include <cstring>

void Reorient(int32_t orientation, int32_t& width, int32_t& height, int32_t channels,
              std::vector<uint8_t>& pixels)
{
    if (orientation < 2 || orientation > 8)
        return;
    const int64_t w = width, h = height; // stored size
    const bool swap = orientation >= 5;
    const int64_t uw = swap ? h : w, uh = swap ? w : h; // upright size
    std::vector<uint8_t> upright(pixels.size());
    for (int64_t y = 0; y < uh; ++y)
        for (int64_t x = 0; x < uw; ++x) {
            // The stored pixel shown at (x, y).
            int64_t sx = x, sy = y;
            switch (orientation) {
            case 2: sx = w - 1 - x; break;                 // mirrored left to right
            case 3: sx = w - 1 - x, sy = h - 1 - y; break; // half turn
            case 4: sy = h - 1 - y; break;                 // mirrored top to bottom
            case 5: sx = y, sy = x; break;                 // mirrored on the diagonal
            case 6: sx = y, sy = h - 1 - x; break;         // shown turned clockwise
            case 7: sx = w - 1 - y, sy = h - 1 - x; break; // mirrored on the other diagonal
            case 8: sx = w - 1 - y, sy = x; break;         // shown turned anticlockwise
            }
            std::memcpy(&upright[size_t((y * uw + x) * channels)],
                        &pixels[size_t((sy * w + sx) * channels)], size_t(channels));
        }
    pixels.swap(upright);
    width = int32_t(uw);
    height = int32_t(uh);
}
