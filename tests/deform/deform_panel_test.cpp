// The rules between velk3d's dialog controls and its record that the Wine
// tests see only through whole renders.
#include <gtest/gtest.h>

#include <cstring>

#include "deform/engine/factory_presets.h"
#include "deform/shell/deform_panel.h"

namespace {

DeformPanel Panel()
{
    DeformPanel p{};
    const Box P = {20, 20, 389, 385}, G = {300, 40, 400, 120}, T = {420, 60, 520, 150};
    MakeDeformSliders(p, nullptr, 13, DeformAnchors{P, G, T});
    return p;
}

TEST(DeformPanel, UserRecordColourAndLightRules)
{
    const uint8_t fore[4] = {1, 2, 3, 0}, back[4] = {4, 5, 6, 0};
    DeformSettings r{};
    r.valueX[SlotLightBoost] = 70;
    r.saturation = 55;
    r.colourSource = Transparent;
    r.saveFlags = SaveColour;
    // A Transparent preset on 3 planes leaves a Background source alone and
    // keeps the current light values (not saved with the preset).
    DeformPanel p = Panel();
    SetFallbackLight(p);
    DeformColour c{Background, {9, 9, 9, 255}, 0};
    ApplyUserRecord(p, c, r, 3, fore, back);
    EXPECT_EQ(c.source, Background);
    EXPECT_EQ(c.fill, 0xFF060504u);
    EXPECT_EQ(p.slot[SlotLightBoost].valueX, 30);
    EXPECT_EQ(p.slot[kSlotSaturation].valueX, 10);
    // ... a current Transparent source becomes Picker; on 4 planes it stays.
    c.source = Transparent;
    ApplyUserRecord(p, c, r, 3, fore, back);
    EXPECT_EQ(c.source, Picker);
    ApplyUserRecord(p, c, r, 4, fore, back);
    EXPECT_EQ(c.source, Transparent);
    // "Last Used" brings the light back but never the colour.
    r.saveFlags = LastUsedMark | SaveColour;
    r.colourSource = Foreground;
    c.source = Background;
    ApplyUserRecord(p, c, r, 3, fore, back);
    EXPECT_EQ(c.source, Background);
    EXPECT_EQ(p.slot[SlotLightBoost].valueX, 70);
    EXPECT_EQ(p.slot[kSlotSaturation].valueX, 55);
    EXPECT_EQ(p.saveFlags, LastUsedMark);
    // Captured again, the record carries the controls and seals itself.
    DeformSettings out{};
    CaptureSettings(p, c, true, out);
    EXPECT_EQ(out.checksum, DeformChecksum(out));
    EXPECT_EQ(out.colour[0], 9);
    EXPECT_EQ(out.magic, kDeformMagic);
}

TEST(DeformPanel, FactoryCodesAndTheEdgeTracks)
{
    DeformPanel p = Panel();
    p.slot[SlotTileWidth].valueX = 77;
    p.toggle.state = 1;
    DeformSettings r{};
    r.saveFlags = 10;
    // 9999 keeps the tile width; "Herring-Bone"'s style code 6: toggle 2, x2.
    ASSERT_TRUE(ApplyFactoryCode(p, r, "Test #9999 030 10 99 25 25 00 50 6"));
    EXPECT_EQ(p.slot[SlotTileWidth].valueX, 77);
    EXPECT_EQ(p.slot[SlotTileHeight].valueY, 30);
    EXPECT_EQ(p.toggle.state, 2);
    EXPECT_EQ(p.doubleStretch, 1);
    EXPECT_EQ(r.saveFlags, 0);
    EXPECT_FALSE(ApplyFactoryCode(p, r, "no code here"));
    // Neutral pad: the tracks start at the preview's corner + 2; toward the
    // top-left they move in by (25 - v) x (tile + 1) / 50, never past the end.
    const Box P = {20, 20, 389, 385};
    p.slot[SlotStretch].valueX = p.slot[SlotStretch].valueY = 25;
    FollowStretchPad(p, P);
    EXPECT_EQ(p.slot[SlotTileWidth].left, 22);
    EXPECT_EQ(p.slot[SlotTileHeight].top, 22);
    p.slot[SlotStretch].valueX = 0, p.slot[SlotStretch].valueY = 5;
    FollowStretchPad(p, P);
    EXPECT_EQ(p.slot[SlotTileWidth].left, 22 + 25 * 31 / 50);
    EXPECT_EQ(p.slot[SlotTileHeight].top, 22 + 20 * 78 / 50);
    p.slot[SlotTileWidth].valueX = 364;
    FollowStretchPad(p, P);
    EXPECT_EQ(p.slot[SlotTileWidth].left, 20);
}

// Every factory preset fits its widgets unchanged (the widgets limit what a
// record can set; the dialog tests load records beyond those limits).
TEST(DeformPanel, FactoryPresetsFitTheWidgets)
{
    const DeformColour none{};
    for (int n = 0; n < kFactoryPresetCount; ++n) {
        const char* code = DeformString(n + 2);
        SCOPED_TRACE(code);
        DeformPanel p = Panel();
        DeformSettings expected{};
        CaptureSettings(p, none, false, expected);
        ASSERT_TRUE(DecodeFactoryPreset(code, expected));
        DeformSettings r{};
        ASSERT_TRUE(ApplyFactoryCode(p, r, code));
        DeformSettings loaded{};
        CaptureSettings(p, none, false, loaded);
        EXPECT_EQ(std::memcmp(loaded.valueX, expected.valueX, 32), 0);
        EXPECT_EQ(loaded.styleBits, expected.styleBits);
    }
}

} // namespace
