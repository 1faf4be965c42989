#include "twostage/shell/status_zones.h"

namespace {

bool Strictly(Pointer p, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return left < p.x && p.x < right && top < p.y && p.y < bottom;
}

// A zone around a slider's knob: (track left + value x, track top + value y)
// plus the offsets on both axes.
bool OnKnob(Pointer p, const Slider& s, int32_t lo, int32_t hi)
{
    const int32_t x = s.left + s.valueX, y = s.top + s.valueY;
    return Strictly(p, x + lo, y + lo, x + hi, y + hi);
}

const char* const kTexts[34] = {
    nullptr,
    "Gradient Shadow Color  (First Stage)",
    "Gradient Shadow Color  (Second Stage)",
    "Side Shadow Color  (First Stage)",
    "Side Shadow Color  (Second Stage)",
    "Background Color",
    "Curve Shape Selector",
    "Undo Last Operation",
    " Redo Last Operation",
    "Random Settings Generator",
    "Random Color Variations",
    "Increase Spacing",
    " Decrease Spacing",
    "Diagonal Flip",
    "Vertical Spacing  (First Stage)",
    "Vertical Spacing  (Second Stage)",
    "Horizontal Spacing  (First Stage)",
    "Horizontal Spacing  (Second Stage)",
    "Moire Adjustment  (Horizontal)",
    "Moire Adjustment  (Vertical)",
    "Gradient Shadow Depth  (First Stage)",
    "Gradient Shadow Depth  (Second Stage)",
    "Stretch Deformation  (First Stage)",
    "Stretch Deformation  (Second Stage)",
    "Curved Deformation",
    "Side Shadow Depth  (First Stage)",
    "Side Shadow Blur  (First Stage)",
    "Side Shadow Depth  (Second Stage)",
    "Side Shadow Blur  (Second Stage)",
    "Background Image Gamma Correction",
    "Brightness Improvement",
    "Saturation of Background Image",
    "Strips Orientation Selector",
    "Strips Orientation Selector",
};

} // namespace

int StatusAt(const StatusGeometry& g, const TwoStagePanel& panel, Pointer p)
{
    for (int i = 0; i < 6; ++i)
        if (Strictly(p, g.frame[i].left, g.frame[i].top, g.frame[i].right, g.frame[i].bottom))
            return i + 1;
    // Tool buttons: (dx0, dy0, dx1, dy1) from each button's corner.
    static const int8_t buttons[7][4] = {{0, 0, 27, 20}, {0, 0, 25, 20}, {0, -3, 26, 27}, {-1, -5, 20, 27},
                                         {0, -3, 27, 16}, {0, -1, 27, 16}, {-2, -7, 19, 19}};
    for (int i = 0; i < 7; ++i) {
        const Pointer b = g.button[i];
        if (Strictly(p, b.x + buttons[i][0], b.y + buttons[i][1], b.x + buttons[i][2], b.y + buttons[i][3]))
            return 7 + i;
    }
    const Slider* s = panel.slider;
    // Sliders and pads: id, slider, the zone's offsets.
    static const struct {
        int id, slider, lo, hi;
    } knobs[] = {{14, VSpacing1, -7, 7},    {15, VSpacing2, -7, 7},    {16, HSpacing1, -7, 7},
                 {17, HSpacing2, -7, 7},    {18, MoireH, -7, 7},       {19, MoireV, -7, 7},
                 {20, Gradient1, -4, 10},   {21, Gradient2, -4, 10},   {22, Stretch1, -4, 10},
                 {23, Stretch2, -4, 10},    {24, CurvePad, -4, 14},    {25, SideDepth1, -7, 8},
                 {26, SideBlur1, -7, 8},    {27, SideDepth2, -7, 8},   {28, SideBlur2, -7, 8},
                 {29, BrightnessRatio, -7, 8}, {30, LightExiting, -7, 8}, {31, Saturation, -7, 8}};
    for (const auto& k : knobs)
        if (OnKnob(p, s[k.slider], k.lo, k.hi))
            return k.id;
    for (int i = 0; i < 2; ++i) {
        const ToggleLogic& t = panel.toggle[ToggleOrientation1 + i];
        if (Strictly(p, t.x, t.y, t.x + t.tileWidth, t.y + t.tileHeight))
            return 32 + i;
    }
    return 0;
}

const char* StatusText(int id)
{
    return id >= 1 && id <= 33 ? kTexts[id] : nullptr;
}
