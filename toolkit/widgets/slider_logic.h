// Slider: a knob on a horizontal or vertical track, or on a square pad. This
// is its state, its answer to mouse messages and the plan of its paint, all
// portable; slider.cpp carries the plan out with GDI.
#pragma once

#include <cstdint>

#include "toolkit/widgets/pointer.h"

struct BitmapImage;

enum SliderStyle : int32_t {
    SliderTrack = 1,
    SliderCentred = 2,
    SliderShowValue = 4,
    SliderPad = 16,
};

struct Slider {
    int32_t valueX, valueY;            // knob offset from the track's left and top
    int32_t left, top, right, bottom;  // track (height 0, width 0, or a pad)
    int32_t style;                     // SliderStyle bits
    char label[32];                    // "0" and "1" are codes: spacing sliders
    const BitmapImage* knob;           // shared picture, owned by the dialog
    int32_t active;                    // being dragged, or just reset
    Box repaint;                       // recomputed at every paint
    int32_t knobLeft, knobUp, knobRight, knobDown; // extents around the knob centre
    int32_t anchorValueX, anchorValueY, anchorX, anchorY; // at the press
    char readout[9];
    int32_t readoutX, readoutY;        // coded labels: where the read-out travels
    KitVariant variant;
};

// A slider on the track (left, top, width, height) with a knob of the given
// size. velk2000's starts at the middle of its track, velk3d's at (0, 0).
Slider MakeSlider(KitVariant variant, const BitmapImage* knob, int32_t knobWidth,
                  int32_t knobHeight, int32_t left, int32_t top, int32_t width, int32_t height,
                  int32_t style, const char* label);

// Presses on the knob start a drag (not claimed, so other widgets still see
// the press); moves with exactly the left button held drag it; a double-click
// on the knob resets it. Returns true when the message was claimed.
bool SliderMouse(Slider& s, uint32_t message, uintptr_t wParam, uintptr_t lParam);

// Sets the value, clamped to the track (and for velk2000's spacing sliders
// to 2..250), as a drag would.
void SetSliderValue(Slider& s, int32_t x, int32_t y);

bool SliderIsHorizontal(const Slider& s);
bool SliderIsCoded(const Slider& s, char code); // label "0" or "1"

// What one paint draws, in order; positions are client pixels.
struct SliderPaintPlan {
    bool padOnly;                 // a pad: only the knob, on the target
    int32_t knobX, knobY;         // knob's top-left (back buffer, or target for pads)
    Box repaint;                  // filled with texture, then copied to the target
    bool valueInBuffer;           // read-out (3 characters) in the back buffer
    int32_t valueX, valueY;
    char valueText[9];
    bool valueOverTexture;        // velk2000 vertical read-out, 15 x 13 on the target
    int32_t boxX, boxY;
    char boxText[9];
    bool line;                    // engraved track line (x0, y0) -> (x1, y1)
    int32_t lineX0, lineY0, lineX1, lineY1;
    bool labelOnTarget;           // an ordinary label, written on the target
    int32_t labelX, labelY;
    bool centreMarks;             // two dark pixels at the middle
    int32_t markX, markY, markDx, markDy;
};

// Recomputes the repaint rectangle and the read-out into s and plans the paint.
SliderPaintPlan PlanSliderPaint(Slider& s);
