// The controls of velk3d's dialog as a table (see common/control_table.h):
// the nine sliders and pads by slot, the orientation toggle, "x2",
// "Antialiasing" and the background colour swatch.
#pragma once

#include "common/control_table.h"

// Check box indices of the table's Check controls.
enum DeformCheck { DeformCheckDouble = 0, DeformCheckAntialias = 1 };

const ControlTable& DeformControls();
