#include "toolkit/widgets/tri_state_toggle.h"

void PaintTriStateToggle(const TriStateToggle* toggle, HDC target, HBITMAP strip)
{
    if (!toggle || !strip)
        return;
    HDC source = CreateCompatibleDC(target);
    if (!source)
        return;
    const HGDIOBJ old = SelectObject(source, strip);
    const ToggleLogic& t = toggle->logic;
    BitBlt(target, t.x, t.y, t.tileWidth, t.tileHeight, source, t.tileWidth * t.state, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

bool TriStateToggleMouse(TriStateToggle* toggle, UINT message, WPARAM, LPARAM lParam)
{
    return toggle && ToggleMouse(toggle->logic, message, static_cast<uintptr_t>(lParam));
}
