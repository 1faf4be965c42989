#include "toolkit/widgets/widget_logic.h"

#include "common/checker.h"

namespace {

bool Inside(const ButtonLogic& b, uintptr_t lParam)
{
    return PointInRect(lParam, b.x, b.y, b.x + b.width, b.y + b.height);
}

// velk2000: a release outside abandons the press for good. The second press
// of two quick clicks arrives as a double-click: it is a press like any other.
ButtonReaction TwoStageButton(ButtonLogic& b, uint32_t message, uintptr_t lParam)
{
    switch (message) {
    case kLeftButtonDown:
    case kLeftButtonDoubleClick:
        if (!Inside(b, lParam))
            return {};
        b.state = 1;
        return {false, DrawPressed, false};
    case kMouseMove:
        if (b.state != 1 || Inside(b, lParam))
            return {};
        b.state = 0;
        return {false, DrawNormal, false};
    case kLeftButtonUp:
        if (b.state != 1) {
            b.state = 0;
            return {};
        }
        b.state = 3;
        return {true, DrawNormal, b.command != 0};
    default:
        return {};
    }
}

// velk3d: sliding out and back in keeps the press.
ButtonReaction DeformButton(ButtonLogic& b, uint32_t message, uintptr_t lParam)
{
    switch (message) {
    case kLeftButtonDown:
        if (!Inside(b, lParam))
            return {};
        b.state = 1;
        return {true, DrawPressed, false};
    case kMouseMove:
        if (b.state == 2 && Inside(b, lParam)) {
            b.state = 1;
            return {true, DrawPressed, false};
        }
        if (b.state == 1 && !Inside(b, lParam)) {
            b.state = 2;
            return {true, DrawNormal, false};
        }
        return {};
    case kLeftButtonUp: {
        const bool fire = b.state == 1;
        b.state = 0;
        return {false, fire ? DrawNormal : DrawNothing, fire && b.command != 0};
    }
    default:
        return {};
    }
}

} // namespace

ButtonReaction ButtonMouse(ButtonLogic& b, uint32_t message, uintptr_t lParam)
{
    return b.variant == KitVariant::TwoStage ? TwoStageButton(b, message, lParam)
                                             : DeformButton(b, message, lParam);
}

LinkReaction LinkMouse(LinkLogic& link, uint32_t message, uintptr_t lParam)
{
    if (!link.shown || !PointInRect(lParam, link.left, link.top, link.right, link.bottom))
        return {};
    if (message == kMouseMove)
        return {true, true, false};
    if (message == kLeftButtonDown) {
        link.visited = 1;
        return {true, false, link.command != 0};
    }
    return {};
}

uint32_t ResolveSwatchColour(const uint8_t setting[4], int32_t planes, const uint8_t fore[3],
                             const uint8_t back[3], bool swapRedBlue)
{
    const uint8_t* rgb = setting;
    switch (setting[3] & 3) {
    case FromForeground: rgb = fore; break;
    case FromBackground: rgb = back; break;
    case FromPicker: break;
    default:
        if (planes == 4)
            return 0x00FFFFFFu;
        break;
    }
    const uint32_t r = rgb[0], g = rgb[1], b = rgb[2];
    const uint32_t value = swapRedBlue ? (b | g << 8 | r << 16) : (r | g << 8 | b << 16);
    return value | 0xFF000000u;
}

uint32_t SwatchPixel(uint32_t paintValue, int32_t x, int32_t y)
{
    if ((paintValue >> 24) == 0) {
        const uint32_t v = CheckerValue(x, y);
        return v | v << 8 | v << 16;
    }
    return paintValue & 0x00FFFFFFu;
}

bool SwatchMouse(const Box& rect, uint32_t message, uintptr_t lParam)
{
    if (message != kLeftButtonDown)
        return false;
    const Pointer p = UnpackPointer(lParam);
    return rect.left <= p.x && p.x <= rect.right && rect.top <= p.y && p.y <= rect.bottom;
}

bool ToggleMouse(ToggleLogic& t, uint32_t message, uintptr_t lParam)
{
    if (message != kLeftButtonDown)
        return false;
    const Pointer p = UnpackPointer(lParam);
    if (p.x < t.x || p.x > t.x + 16 || p.y < t.y || p.y > t.y + 16)
        return false;
    t.state = (t.state + 1) % 3;
    return true;
}
