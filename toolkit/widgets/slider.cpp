#include "toolkit/widgets/slider.h"

#include "toolkit/widgets/bitmap_image.h"

void PaintSlider(Slider* slider, const Kit& kit, HDC target)
{
    if (!slider)
        return;
    const SliderPaintPlan plan = PlanSliderPaint(*slider);
    if (plan.padOnly) {
        TransparentBlit(target, slider->knob, plan.knobX, plan.knobY);
        return;
    }
    if (!kit.backDC)
        return;
    HDC back = kit.backDC;
    const Box& r = plan.repaint;
    FillTexture(kit, back, r.left, r.top, r.right, r.bottom);
    if (plan.valueOverTexture)
        TextOverTexture(kit, plan.boxX, plan.boxY, plan.boxText, 15, 13);
    if (plan.line)
        EngravedLine(back, plan.lineX0, plan.lineY0, plan.lineX1, plan.lineY1);
    if (plan.valueInBuffer)
        WriteText(back, plan.valueX, plan.valueY, plan.valueText);
    if (plan.labelOnTarget)
        WriteText(target, plan.labelX, plan.labelY, slider->label);
    if (plan.centreMarks) {
        PutPixel(back, plan.markX, plan.markY, RGB(82, 6, 6));
        PutPixel(back, plan.markX + plan.markDx, plan.markY + plan.markDy, RGB(82, 6, 6));
    }
    TransparentBlit(back, slider->knob, plan.knobX, plan.knobY);
    CopyFromBack(kit, target, r.left, r.top, r.right, r.bottom);
}
