#include <cstring>

#include <gtest/gtest.h>

#include "deform/engine/deform_settings.h"

namespace {

DeformSettings SampleRecord()
{
    DeformSettings s{};
    const int16_t xs[8] = {0, 30, 12, 70, 0, 40, 55, 20};
    const int16_t ys[8] = {10, 0, 0, 0, 0, 32, 0, 0};
    std::memcpy(s.valueX, xs, sizeof xs);
    std::memcpy(s.valueY, ys, sizeof ys);
    s.styleBits = 2;
    s.antialias = 1;
    s.saturation = 60;
    s.magic = kDeformMagic;
    return s;
}

TEST(DeformSettingsRecord, ChecksumSumsTheSixteenSignedValues)
{
    DeformSettings s{};
    s.valueX[0] = -300, s.valueX[7] = 25, s.valueY[3] = -32768, s.valueY[6] = 32767;
    EXPECT_EQ(DeformChecksum(s), -276);

    s.checksum = -276;
    s.magic = kDeformMagic;
    s.saturation = 70;
    EXPECT_TRUE(VerifyDeformSettings(s));
    EXPECT_EQ(s.saturation, 70);
    s.checksum = -275;
    EXPECT_FALSE(VerifyDeformSettings(s));
}

TEST(DeformSettingsRecord, WrongMagicResetsOnlySaturation)
{
    DeformSettings s = SampleRecord();
    s.checksum = 269; // 0+30+12+70+0+40+55+20 + 10+32
    s.magic = 0x4321;
    s.reserved46[3] = 9;
    DeformSettings before = s;
    EXPECT_TRUE(VerifyDeformSettings(s));
    EXPECT_EQ(s.saturation, 10);
    before.saturation = 10;
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);

    // Tested independently of the checksum.
    s.checksum = 0;
    s.saturation = 90;
    EXPECT_FALSE(VerifyDeformSettings(s));
    EXPECT_EQ(s.saturation, 10);
}

TEST(DeformSettingsRecord, DefaultColourIsOpaquePickerBeige)
{
    DeformSettings s = SampleRecord();
    s.colourSource = Background;
    DeformSettings before = s;
    SetDefaultColour(s);
    EXPECT_EQ(s.colour[0], 227);
    EXPECT_EQ(s.colour[1], 217);
    EXPECT_EQ(s.colour[2], 203);
    EXPECT_EQ(s.colour[3], 255);
    EXPECT_EQ(s.colourSource, Picker);
    std::memcpy(before.colour, s.colour, 4);
    before.colourSource = Picker;
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
}

TEST(DeformSettingsRecord, FillColourFromEachSource)
{
    const uint8_t picked[4] = {1, 2, 3, 0};
    const uint8_t fore[4] = {0x10, 0x20, 0x30, 0x40};
    const uint8_t back[4] = {0xA0, 0xB0, 0xC0, 0};
    EXPECT_EQ(ResolveFillColour(3, Foreground, picked, fore, back), 0xFF302010u);
    EXPECT_EQ(ResolveFillColour(4, Background, picked, fore, back), 0xFFC0B0A0u);
    EXPECT_EQ(ResolveFillColour(3, Picker, picked, fore, back), 0xFF030201u);
    EXPECT_EQ(ResolveFillColour(4, Transparent, picked, fore, back), 0x00FFFFFFu);
    EXPECT_EQ(ResolveFillColour(2, Picker, picked, fore, back), 0xFFCBD9E3u);
    // Only the low two bits of the source count.
    EXPECT_EQ(ResolveFillColour(3, 0x06, picked, fore, back), 0xFF030201u);
    EXPECT_EQ(ResolveFillColour(3, 0xFD, picked, fore, back), 0xFFC0B0A0u);
}

TEST(DeformSettingsInputs, ApplyColumnScalesTilesAndOffsets)
{
    DeformSettings s = SampleRecord();
    s.valueX[SlotStretch] = 0;  // stretch x = 25
    s.valueY[SlotStretch] = 0;  // stretch y = -25
    const float scale = 6000 * 0.0027472528f; // 6000 x 1000 image, about 16.48
    const DeformInputs in = ApplyInputs(s, scale);
    EXPECT_EQ(in.tileWidth, 494);  // trunc(16.48 x 30)
    EXPECT_EQ(in.tileHeight, 164); // trunc(10 x 16.48)
    EXPECT_EQ(in.stretchX, 25);
    EXPECT_EQ(in.stretchY, -25);
    EXPECT_EQ(in.rowOffset, 247);   // 25 x 16.48 x 30 x 0.02 = 247.25
    EXPECT_EQ(in.columnOffset, 82); // 25 x 10 x 16.48 x 0.02 = 82.4
    EXPECT_EQ(in.gradientX, 15);
    EXPECT_EQ(in.gradientY, 7);
    EXPECT_EQ(in.sideShading, 20);
    EXPECT_EQ(in.brightnessFloor, 20);
    EXPECT_EQ(in.lightBoost, 55);
    EXPECT_EQ(in.saturation, 60);
    EXPECT_EQ(in.bevelWidth, 12.0f);
    EXPECT_EQ(in.faceScheme, 2);
    EXPECT_EQ(in.rowOffsetFine, 0.0f);
    EXPECT_EQ(in.columnOffsetFine, 0.0f);
    EXPECT_EQ(in.edgeFlags, EdgeAntialias | EdgeWholeImage);
}

TEST(DeformSettingsInputs, DoubleStretchAndHostileBytes)
{
    DeformSettings s = SampleRecord();
    s.valueX[SlotStretch] = 0;
    s.valueY[SlotStretch] = 50;
    s.styleBits = 4 | 3;
    s.antialias = 6; // only bit 0 counts: never clears the whole-image bit
    s.valueX[SlotBrightness] = -40;
    DeformInputs in = ApplyInputs(s, 1.0f);
    EXPECT_EQ(in.stretchX, 50);
    EXPECT_EQ(in.stretchY, 50);
    EXPECT_EQ(in.faceScheme, 3);
    EXPECT_EQ(in.edgeFlags, EdgeWholeImage);
    EXPECT_EQ(in.brightnessFloor, 0);
    EXPECT_EQ(in.rowOffset, 0);       // stretch y is not negative
    EXPECT_EQ(in.columnOffset, 10);   // 50 x 10 x 1 x 0.02
    EXPECT_EQ(PreviewInputs(s).edgeFlags, 0);
}

TEST(DeformSettingsInputs, PreviewColumnUsesIntegerOffsets)
{
    DeformSettings s = SampleRecord();
    s.valueY[SlotTileHeight] = 11;
    s.valueX[SlotStretch] = 18; // stretch x = 7
    s.valueY[SlotStretch] = 0;  // stretch y = -25
    const DeformInputs in = PreviewInputs(s);
    EXPECT_EQ(in.tileHeight, 11);
    EXPECT_EQ(in.tileWidth, 30);
    EXPECT_EQ(in.rowOffset, 15);   // 30 x 25 / 50
    EXPECT_EQ(in.columnOffset, 1); // 7 x 11 / 50
    EXPECT_EQ(in.edgeFlags, EdgeAntialias);
    EXPECT_EQ(in.sideShading, 20);
}

} // namespace
