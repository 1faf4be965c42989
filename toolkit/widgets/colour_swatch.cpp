#include "toolkit/widgets/colour_swatch.h"

#include "toolkit/widgets/kit.h"

void PaintColourSwatch(const ColourSwatch* swatch, HDC target, int32_t planes,
                       const uint8_t fore[3], const uint8_t back[3])
{
    if (!swatch || !swatch->setting)
        return;
    const uint32_t value = ResolveSwatchColour(swatch->setting, planes, fore, back, false);
    InsetFill(target, swatch->rect.left, swatch->rect.top, swatch->rect.right,
              swatch->rect.bottom, value);
}

bool ColourSwatchMouse(const ColourSwatch* swatch, UINT message, WPARAM, LPARAM lParam)
{
    return swatch && SwatchMouse(swatch->rect, message, static_cast<uintptr_t>(lParam));
}
