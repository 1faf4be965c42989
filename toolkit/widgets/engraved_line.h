// The engraved line of the dialogs: a middle tone with a light pixel below
// (or right of) it and a dark one above (or left of) it, walked in the
// increasing direction only; the end point itself is not drawn.
#pragma once

#include <cstdint>

enum : uint32_t {
    kEngravedLight = 0xE3F4FF,  // (255, 244, 227) as 0x00BBGGRR
    kEngravedMiddle = 0xA0ABB3, // (179, 171, 160)
    kEngravedDark = 0x060652,   // (82, 6, 6)
};

// Calls set(x, y, colour) for every pixel of the line from (x0, y0) to (x1, y1).
template <class SetPixel>
void WalkEngravedLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, SetPixel set)
{
    const int32_t dx = x1 - x0, dy = y1 - y0;
    const int32_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    if (ady < adx) {
        for (int32_t x = x0; x < x1; ++x) {
            const int32_t y = y0 + (2 * dy * (x - x0)) / dx / 2;
            set(x, y + 1, kEngravedLight);
            set(x, y, kEngravedMiddle);
            set(x, y - 1, kEngravedDark);
        }
    } else {
        for (int32_t y = y0; y < y1; ++y) {
            const int32_t x = x0 + (2 * dx * (y - y0)) / dy / 2;
            set(x + 1, y, kEngravedLight);
            set(x, y, kEngravedMiddle);
            set(x - 1, y, kEngravedDark);
        }
    }
}
