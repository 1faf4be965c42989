// The status line of velk2000's dialog: which control lies under the
// pointer (the first zone of the table that holds it, all tests strict) and
// the text naming it. Id 0 means nothing: the web link is shown instead.
#pragma once

#include <cstdint>

#include "toolkit/widgets/pointer.h"
#include "twostage/shell/twostage_panel.h"

constexpr int kStatusUnknown = 2000; // forces the next redraw

// Where the zones are: the six frames (1025, 1024, 1029, 1030, 1021, 1031)
// and the top-left corners of the tool buttons (Undo, Redo, Dice, small
// die, Increase, Decrease, Flip); the sliders and toggles come from the panel.
struct StatusGeometry {
    Box frame[6];
    Pointer button[7];
};

int StatusAt(const StatusGeometry& g, const TwoStagePanel& panel, Pointer p);
// The text of ids 1 to 33; null for 0 and unknown ids.
const char* StatusText(int id);
