// Mouse messages as the widgets see them, without Windows headers: the
// message numbers the dialogs pass on, the pointer packed into lParam (x in
// the low 16 bits, y in the high 16 bits, both unsigned, so a pointer left of
// or above the client area lies outside every widget), and rectangle tests.
#pragma once

#include <cstdint>

enum : uint32_t {
    kMouseMove = 0x0200,
    kLeftButtonDown = 0x0201,
    kLeftButtonUp = 0x0202,
    kLeftButtonDoubleClick = 0x0203,
    kFirstMouseMessage = 0x0200,
    kLastMouseMessage = 0x0209,
};

// wParam of a mouse message with only the left button held.
constexpr uintptr_t kLeftButtonOnly = 1;

struct Pointer {
    int32_t x, y;
};

inline Pointer UnpackPointer(uintptr_t lParam)
{
    return {static_cast<int32_t>(lParam & 0xFFFF), static_cast<int32_t>((lParam >> 16) & 0xFFFF)};
}

inline uintptr_t PackPointer(int32_t x, int32_t y)
{
    return (static_cast<uintptr_t>(y & 0xFFFF) << 16) | static_cast<uintptr_t>(x & 0xFFFF);
}

struct Box {
    int32_t left, top, right, bottom;
};

// Strictly inside on all four sides.
inline bool PointInRect(uintptr_t lParam, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    const Pointer p = UnpackPointer(lParam);
    return left < p.x && p.x < right && top < p.y && p.y < bottom;
}

inline bool PointInBox(uintptr_t lParam, const Box& b)
{
    return PointInRect(lParam, b.left, b.top, b.right, b.bottom);
}

// Which module's copy of the kit a widget behaves as.
enum class KitVariant : uint8_t {
    TwoStage, // velk2000
    Deform,   // velk3d
};
