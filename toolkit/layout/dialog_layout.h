// A dialog's layout read from its template: every control's box in layout
// pixels, the dialog as it is at 96 dpi with the font the templates were
// drawn for ("MS Sans Serif" 8, dialog base units 6 x 13). Whatever font the
// system substitutes and whatever the screen's scaling, the dialog and its
// controls are placed from these boxes, so the frames and everything drawn
// by hand agree.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/widgets/pointer.h"

constexpr int kMaxLayoutControls = 48;

struct LayoutControl {
    int32_t id; // -1 stays -1
    Box box;
};

struct DialogLayout {
    int32_t width, height; // the client area
    int32_t count;         // controls, in the template's order
    LayoutControl control[kMaxLayoutControls];
};

// Dialog units to layout pixels, rounded as Windows maps dialog units.
int32_t LayoutX(int32_t dialogUnits);
int32_t LayoutY(int32_t dialogUnits);

// Reads a dialog template (classic or extended). False, and an empty
// layout, when the data ends early or holds more controls than fit.
bool ReadDialogLayout(const uint8_t* data, size_t size, DialogLayout& layout);

// The box of the first control with this id; an empty box when there is none.
Box LayoutBox(const DialogLayout& layout, int32_t id);
