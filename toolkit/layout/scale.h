// A dialog drawn at a screen's scaling: layout pixels (the dialog at 96 dpi)
// and the device pixels of a window at `dpi`. Layout pixel v covers the
// device pixels from ToDevice(v) up to ToDevice(v + 1), rounded as GDI
// rounds a world transform, so boxes that touch in the layout touch on the
// screen and every device pixel maps back to the one layout pixel that
// covers it.
#pragma once

#include <cstdint>

#include "toolkit/widgets/pointer.h"

struct Scale {
    int32_t dpi; // 96 for 100%, 120, 144, 192, ...
};

constexpr Scale kUnscaled = {96};

inline int32_t FloorDivide(int64_t a, int64_t b)
{
    const int64_t q = a / b;
    return static_cast<int32_t>(q * b > a ? q - 1 : q);
}

// round(v * dpi / 96), halves up.
inline int32_t ToDevice(Scale s, int32_t v)
{
    return FloorDivide(2 * int64_t(v) * s.dpi + 96, 192);
}

// The layout pixel whose device pixels include d.
inline int32_t ToLayout(Scale s, int32_t d)
{
    // The largest v with ToDevice(v) <= d: v * dpi / 96 < d + 1/2.
    return -FloorDivide(-(2 * int64_t(d) + 1) * 96, 2 * int64_t(s.dpi)) - 1;
}

inline Box ToDevice(Scale s, const Box& b)
{
    return {ToDevice(s, b.left), ToDevice(s, b.top), ToDevice(s, b.right), ToDevice(s, b.bottom)};
}

// The layout box whose device pixels cover the device box.
inline Box CoveringLayout(Scale s, const Box& device)
{
    return {ToLayout(s, device.left), ToLayout(s, device.top), ToLayout(s, device.right - 1) + 1,
            ToLayout(s, device.bottom - 1) + 1};
}

// A mouse message's lParam (signed 16-bit x and y) in layout pixels.
inline uintptr_t PointerToLayout(Scale s, uintptr_t lParam)
{
    const int32_t x = static_cast<int16_t>(lParam & 0xFFFF);
    const int32_t y = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
    return PackPointer(ToLayout(s, x), ToLayout(s, y));
}
