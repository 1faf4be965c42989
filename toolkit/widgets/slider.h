// Painting a Slider (state and mouse in slider_logic.h): composed in the back
// buffer and copied to the target in one piece; a pad draws only its knob
// (its frame, grid and read-outs are the dialog's).
#pragma once

#include <windows.h>

#include "toolkit/widgets/kit.h"
#include "toolkit/widgets/slider_logic.h"

void PaintSlider(Slider* slider, const Kit& kit, HDC target);
