// The portable half of the widget kit: paint plans of both variants, the
// engraved line's walk and the swatch colours, which the Wine tests see
// only as pixels.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "toolkit/widgets/engraved_line.h"
#include "toolkit/widgets/slider_logic.h"
#include "toolkit/widgets/widget_logic.h"

namespace {

TEST(SliderPlan, RepaintAreasAndReadOutsOfBothVariants)
{
    // velk2000's spacing sliders: the read-out travels with the knob.
    Slider h = MakeSlider(KitVariant::TwoStage, nullptr, 13, 13, 100, 50, 250, 0, 0, "1");
    SliderPaintPlan p = PlanSliderPaint(h);
    EXPECT_EQ(h.valueX, 125);
    EXPECT_EQ(std::string(p.valueText), "125");
    EXPECT_EQ(p.valueX, 125 + 100 + 9);
    EXPECT_EQ(p.valueY, 50 - 12);
    EXPECT_EQ(p.repaint.left, 97);
    EXPECT_EQ(p.repaint.right, 378);
    EXPECT_FALSE(p.line);
    // velk3d's: fixed areas along its preview.
    Slider e = MakeSlider(KitVariant::Deform, nullptr, 13, 13, 27, 14, 364, 0, 0, "1");
    p = PlanSliderPaint(e);
    EXPECT_EQ(std::string(p.valueText), "000");
    EXPECT_EQ(p.repaint.left, 19);
    EXPECT_EQ(p.repaint.right, 430);
    // A vertical centred slider of velk2000 shows its value beside the track,
    // counted upwards from the middle; velk3d's sliders are all horizontal.
    Slider v = MakeSlider(KitVariant::TwoStage, nullptr, 13, 13, 300, 100, 0, 100,
                          SliderTrack | SliderCentred | SliderShowValue, "");
    SetSliderValue(v, 0, 80);
    p = PlanSliderPaint(v);
    EXPECT_TRUE(p.valueOverTexture);
    EXPECT_EQ(std::string(p.boxText), "-30  ");
    EXPECT_EQ(p.lineX0, 302);
    EXPECT_EQ(p.lineY1, 201);
    EXPECT_EQ(p.markX, 300);
    EXPECT_EQ(p.markY, 150);
    Slider l = MakeSlider(KitVariant::Deform, nullptr, 13, 13, 40, 60, 100, 0,
                          SliderTrack | SliderShowValue, "Saturation");
    p = PlanSliderPaint(l);
    EXPECT_EQ(p.repaint.left, 17);
    EXPECT_EQ(p.labelY, 39);
    EXPECT_EQ(std::string(p.valueText), "00 ");
    // A pad draws only its knob, 3 pixels up and left of its value.
    Slider pad = MakeSlider(KitVariant::TwoStage, nullptr, 17, 17, 10, 20, 50, 50, SliderPad, "");
    p = PlanSliderPaint(pad);
    EXPECT_TRUE(p.padOnly);
    EXPECT_EQ(p.knobX, 10 + 25 - 3);
    EXPECT_EQ(p.knobY, 20 + 25 - 3);
}

TEST(EngravedLine, WalksOnlyForwardAndLeavesOutTheEnd)
{
    std::map<std::pair<int, int>, uint32_t> pixels;
    auto set = [&](int32_t x, int32_t y, uint32_t c) { pixels[{x, y}] = c; };
    WalkEngravedLine(0, 0, 4, 2, set); // along x: y = (2 x 2 x dx) / 4 / 2
    EXPECT_EQ(pixels.size(), 12u);
    EXPECT_EQ(pixels[(std::pair<int, int>{3, 1})], kEngravedMiddle);
    EXPECT_EQ(pixels[(std::pair<int, int>{3, 2})], kEngravedLight);
    EXPECT_EQ(pixels[(std::pair<int, int>{3, 0})], kEngravedDark);
    EXPECT_EQ(pixels.count({4, 2}), 0u);
    pixels.clear();
    WalkEngravedLine(5, 9, 5, 3, set); // backwards: nothing
    WalkEngravedLine(2, 0, -6, 1, set);
    EXPECT_TRUE(pixels.empty());
}

TEST(Swatch, ResolvesSourcesAndSwapsOnRequest)
{
    const uint8_t fore[3] = {1, 2, 3}, back[3] = {4, 5, 6};
    const uint8_t transparent[4] = {7, 8, 9, 3}, foreground[4] = {0, 0, 0, 0x80};
    EXPECT_EQ(ResolveSwatchColour(transparent, 4, fore, back, false), 0x00FFFFFFu);
    EXPECT_EQ(ResolveSwatchColour(transparent, 3, fore, back, false), 0xFF090807u);
    EXPECT_EQ(ResolveSwatchColour(transparent, 3, fore, back, true), 0xFF070809u);
    // Only the low two bits of the source count.
    EXPECT_EQ(ResolveSwatchColour(foreground, 4, fore, back, false), 0xFF030201u);
    EXPECT_EQ(SwatchPixel(0x00FFFFFF, 3, 3), 0xC0C0C0u);
    EXPECT_EQ(SwatchPixel(0x00FFFFFF, 4, 3), 0xFFFFFFu);
    EXPECT_EQ(SwatchPixel(0xFF102030, 4, 3), 0x102030u);
}

} // namespace
