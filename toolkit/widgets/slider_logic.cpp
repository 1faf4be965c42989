#include "toolkit/widgets/slider_logic.h"

#include <cstdio>
#include <cstring>

namespace {

int32_t Clamp(int32_t v, int32_t lo, int32_t hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

bool OnKnob(const Slider& s, Pointer p)
{
    const int32_t cx = s.left + s.valueX, cy = s.top + s.valueY;
    return cx - s.knobLeft <= p.x && p.x <= cx + s.knobRight && cy - s.knobUp <= p.y &&
           p.y <= cy + s.knobDown;
}

// The first three characters of a read-out.
void FirstThree(char* to, const char* readout)
{
    std::memcpy(to, readout, 3);
    to[3] = '\0';
}

void CopyText(char* to, const char* from, size_t capacity)
{
    std::snprintf(to, capacity, "%s", from ? from : "");
}

} // namespace

Slider MakeSlider(KitVariant variant, const BitmapImage* knob, int32_t knobWidth,
                  int32_t knobHeight, int32_t left, int32_t top, int32_t width, int32_t height,
                  int32_t style, const char* label)
{
    Slider s{};
    s.variant = variant;
    s.knob = knob;
    s.left = left;
    s.top = top;
    s.right = left + width;
    s.bottom = top + height;
    s.style = style;
    CopyText(s.label, label, sizeof s.label);
    s.knobLeft = knobWidth / 2;
    s.knobUp = knobHeight / 2;
    s.knobRight = knobWidth / 2 + 2;
    s.knobDown = knobHeight / 2 + 1;
    if (variant == KitVariant::TwoStage) {
        s.valueX = width / 2;
        s.valueY = height / 2;
    }
    return s;
}

bool SliderIsHorizontal(const Slider& s)
{
    return s.top == s.bottom;
}

bool SliderIsCoded(const Slider& s, char code)
{
    return s.label[0] == code && s.label[1] == '\0';
}

void SetSliderValue(Slider& s, int32_t x, int32_t y)
{
    s.valueX = Clamp(x, 0, s.right - s.left);
    s.valueY = Clamp(y, 0, s.bottom - s.top);
    if (s.variant == KitVariant::TwoStage) {
        if (SliderIsCoded(s, '1'))
            s.valueX = Clamp(s.valueX, 2, 250);
        if (SliderIsCoded(s, '0'))
            s.valueY = Clamp(s.valueY, 2, 250);
    }
}

bool SliderMouse(Slider& s, uint32_t message, uintptr_t wParam, uintptr_t lParam)
{
    const Pointer p = UnpackPointer(lParam);
    switch (message) {
    case kLeftButtonDown:
        if (OnKnob(s, p)) {
            s.active = 1;
            s.anchorValueX = s.valueX;
            s.anchorValueY = s.valueY;
            s.anchorX = p.x;
            s.anchorY = p.y;
        }
        return false;
    case kLeftButtonUp:
        s.active = 0;
        return false;
    case kLeftButtonDoubleClick:
        if (s.style == 0 || !OnKnob(s, p))
            return false;
        if (s.style & (SliderCentred | SliderPad)) {
            s.valueX = (s.right - s.left) / 2;
            s.valueY = (s.bottom - s.top) / 2;
        } else {
            s.valueX = s.valueY = 0;
        }
        s.active = 1;
        return true;
    case kMouseMove:
        if (!s.active || wParam != kLeftButtonOnly)
            return false;
        SetSliderValue(s, s.anchorValueX + (p.x - s.anchorX), s.anchorValueY + (p.y - s.anchorY));
        return true;
    default:
        return false;
    }
}

SliderPaintPlan PlanSliderPaint(Slider& s)
{
    SliderPaintPlan plan{};
    const int32_t L = s.left, T = s.top, R = s.right, B = s.bottom;
    const int32_t vx = s.valueX, vy = s.valueY;
    const bool deform = s.variant == KitVariant::Deform;
    if (s.style & SliderPad) {
        plan.padOnly = true;
        plan.knobX = L + vx - 3;
        plan.knobY = T + vy - 3;
        return plan;
    }

    // Repaint rectangle and read-out.
    s.repaint = {L - s.knobLeft, T - s.knobUp, R + s.knobRight, B + s.knobDown};
    const bool horizontal = deform || SliderIsHorizontal(s);
    if (s.style & SliderShowValue) {
        if (horizontal)
            s.repaint.left = L - 23;
        else
            s.repaint.right += 2;
    }
    const int32_t shown = (s.style & SliderCentred) ? vx - (R - L) / 2 : vx;
    std::snprintf(s.readout, sizeof s.readout, "%.2i  ", shown);
    const bool codedX = SliderIsCoded(s, '1'), codedY = SliderIsCoded(s, '0');
    if (codedX) {
        std::snprintf(s.readout, sizeof s.readout, "%.3i", vx);
        s.repaint = deform ? Box{19, 0, 430, 20} : Box{L - 3, T - 10, R + 28, B + 7};
        s.readoutX = vx + L + 9;
        s.readoutY = vy + T - 12;
    } else if (codedY) {
        std::snprintf(s.readout, sizeof s.readout, "%.3i", vy);
        // From the read-out's first column: a scaled font may ink it.
        s.repaint = deform ? Box{0, 0, 20, 400} : Box{L - 11, T - 18, R + 8, B + 8};
        s.readoutX = vx + L - 11;
        s.readoutY = vy + T - 22;
    }
    plan.repaint = s.repaint;

    if (s.style & SliderShowValue) {
        if (horizontal) {
            plan.valueInBuffer = true;
            plan.valueX = L - 23;
            plan.valueY = T - 7;
            FirstThree(plan.valueText, s.readout);
        } else {
            plan.valueOverTexture = true;
            plan.boxX = s.repaint.left - 20;
            plan.boxY = s.repaint.bottom - 17;
            std::snprintf(plan.boxText, sizeof plan.boxText, "%.2i  ", (B - T) / 2 - vy);
        }
    }
    if (s.style != 0) {
        plan.line = true;
        if (horizontal) {
            plan.lineX0 = L, plan.lineY0 = T, plan.lineX1 = R + 1, plan.lineY1 = T;
        } else {
            plan.lineX0 = L + 2, plan.lineY0 = T, plan.lineX1 = L + 2, plan.lineY1 = B + 1;
        }
    }
    if (codedX || codedY) {
        plan.valueInBuffer = true;
        plan.valueX = s.readoutX;
        plan.valueY = s.readoutY;
        FirstThree(plan.valueText, s.readout);
    } else if (s.label[0]) {
        plan.labelOnTarget = true;
        plan.labelX = L + 6;
        plan.labelY = T - (deform ? 21 : 20);
    }
    if (s.style & SliderCentred) {
        plan.centreMarks = true;
        if (horizontal) {
            plan.markX = L + (R - L) / 2, plan.markY = T - 2, plan.markDx = 1, plan.markDy = 0;
        } else {
            plan.markX = L, plan.markY = T + (B - T) / 2, plan.markDx = 0, plan.markDy = 1;
        }
    }
    plan.knobX = vx + L - s.knobLeft + 1;
    plan.knobY = vy + T - s.knobUp;
    return plan;
}
