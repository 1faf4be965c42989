// ColourSwatch: the inset fill of a colour setting on its frame. The setting
// belongs to the settings record; the swatch only shows it and reports
// presses (the dialog opens the colour-source pop-up).
#pragma once

#include <windows.h>

#include <cstdint>

#include "toolkit/widgets/widget_logic.h"

struct ColourSwatch {
    Box rect;                  // the frame control's rectangle
    const uint8_t* setting;    // red, green, blue, source (4 bytes of the record)
};

// Fills the rectangle inset by 2 with the resolved colour, or the grey and
// white checkerboard for Transparent on an image with 4 planes.
void PaintColourSwatch(const ColourSwatch* swatch, HDC target, int32_t planes,
                       const uint8_t fore[3], const uint8_t back[3]);
// A left press inside the rectangle (edges included) is claimed.
bool ColourSwatchMouse(const ColourSwatch* swatch, UINT message, WPARAM wParam, LPARAM lParam);
