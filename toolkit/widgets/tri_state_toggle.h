// TriStateToggle: one of three tiles of a strip bitmap (orientations 119,
// curve shapes 172); a press in its corner box advances 0 -> 1 -> 2 -> 0.
#pragma once

#include <windows.h>

#include "toolkit/widgets/widget_logic.h"

struct TriStateToggle {
    ToggleLogic logic;
};

// Copies tile `state` of the strip bitmap opaquely to (x, y).
void PaintTriStateToggle(const TriStateToggle* toggle, HDC target, HBITMAP strip);
bool TriStateToggleMouse(TriStateToggle* toggle, UINT message, WPARAM wParam, LPARAM lParam);
