// The load steps of a preset that need no dialog.
#include <gtest/gtest.h>

#include <cstring>

#include "twostage/engine/preset_load.h"
#include "twostage/engine/twostage_presets.h"

namespace {

ColourSetting Colour(uint8_t r, uint8_t g, uint8_t b, uint8_t source)
{
    return ColourSetting{r, g, b, source};
}

bool SameColour(const ColourSetting& a, const ColourSetting& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TwoStageParams Record()
{
    TwoStageParams p = *TwoStageFactoryRecord(0);
    p.sideShadowColor[0] = Colour(1, 2, 3, SourcePicker);
    p.sideShadowColor[1] = Colour(4, 5, 6, SourcePicker);
    return p;
}

} // namespace

TEST(PresetLoad, SaveFlagsKeepColoursOrLightValues)
{
    TwoStageParams before = Record();
    before.backgroundColor = Colour(9, 9, 9, SourcePicker);
    before.gradientShadowColor[1] = Colour(8, 8, 8, SourceBackground);
    before.sideShadowColor[0] = Colour(7, 7, 7, SourceForeground);
    before.brightnessRatio = 11;
    before.lightExiting = 22;
    before.saturation = 33;

    const TwoStageParams stored = *TwoStageFactoryRecord(3);

    TwoStageParams loaded = stored;
    loaded.saveFlags = 0x80;
    RestoreUnsavedSettings(loaded, before);
    EXPECT_EQ(std::memcmp(&loaded, &before, 20), 0); // bytes 0-19
    EXPECT_EQ(loaded.brightnessRatio, stored.brightnessRatio);
    EXPECT_EQ(loaded.lightExiting, stored.lightExiting);
    EXPECT_EQ(loaded.saturation, stored.saturation);
    EXPECT_EQ(loaded.spacing[0].hSpacing, stored.spacing[0].hSpacing);

    loaded = stored;
    loaded.saveFlags = 0x40;
    RestoreUnsavedSettings(loaded, before);
    EXPECT_EQ(std::memcmp(&loaded, &stored, 20), 0);
    EXPECT_EQ(loaded.brightnessRatio, 11);
    EXPECT_EQ(loaded.lightExiting, 22);
    EXPECT_EQ(loaded.saturation, 33);

    loaded = stored;
    loaded.saveFlags = 0xC0;
    RestoreUnsavedSettings(loaded, before);
    EXPECT_EQ(std::memcmp(&loaded, &before, 20), 0);
    EXPECT_EQ(loaded.saturation, 33);

    loaded = stored;
    loaded.saveFlags = 0x3F; // the other bits mean nothing
    RestoreUnsavedSettings(loaded, before);
    loaded.saveFlags = stored.saveFlags;
    EXPECT_TRUE(SameTwoStageParams(loaded, stored));
}

TEST(PresetLoad, SideColourRule)
{
    TwoStageParams p = Record();
    p.gradientShadowColor[0] = Colour(10, 20, 30, SourcePicker);
    p.gradientShadowColor[1] = Colour(40, 50, 60, SourceForeground);

    TwoStageParams q = p;
    q.sideShadowColor[0] = Colour(41, 177, 73, SourcePicker);
    q.sideShadowColor[1] = Colour(177, 172, 36, SourceBackground);
    ApplySideColourRule(q);
    EXPECT_TRUE(SameColour(q.sideShadowColor[0], p.gradientShadowColor[0]));
    EXPECT_TRUE(SameColour(q.sideShadowColor[1], p.gradientShadowColor[1]));

    q = p; // both side colours zero
    std::memset(q.sideShadowColor, 0, sizeof q.sideShadowColor);
    ApplySideColourRule(q);
    EXPECT_TRUE(SameColour(q.sideShadowColor[0], p.gradientShadowColor[0]));
    EXPECT_TRUE(SameColour(q.sideShadowColor[1], p.gradientShadowColor[1]));

    // Only one of the pair, another source, or one zero colour: unchanged.
    const ColourSetting kept[][2] = {
        {Colour(41, 177, 73, SourcePicker), Colour(177, 172, 36, SourcePicker)},
        {Colour(41, 177, 73, SourceBackground), Colour(177, 172, 36, SourceBackground)},
        {Colour(0, 0, 0, 0), Colour(1, 0, 0, 0)},
        {Colour(0, 0, 0, 1), Colour(0, 0, 0, 0)},
    };
    for (const auto& pair : kept) {
        q = p;
        q.sideShadowColor[0] = pair[0];
        q.sideShadowColor[1] = pair[1];
        ApplySideColourRule(q);
        EXPECT_TRUE(SameColour(q.sideShadowColor[0], pair[0]));
        EXPECT_TRUE(SameColour(q.sideShadowColor[1], pair[1]));
    }
}

TEST(PresetLoad, VersionFixUps)
{
    TwoStageParams p = Record();
    p.curve = PadValue{3, 47};
    p.curveShape = 2;

    TwoStageParams q = p;
    q.version = 0;
    EXPECT_FALSE(FixUpVersion(q));
    EXPECT_EQ(q.curve.x, 25);
    EXPECT_EQ(q.curve.y, 25);
    EXPECT_EQ(q.curveShape, 0);

    q = p;
    q.version = 13;
    EXPECT_FALSE(FixUpVersion(q));
    EXPECT_EQ(q.curve.x, 3);
    EXPECT_EQ(q.curve.y, 47);
    EXPECT_EQ(q.curveShape, 0);

    q = p;
    q.version = 14;
    EXPECT_FALSE(FixUpVersion(q));
    EXPECT_TRUE(SameTwoStageParams(q, p));

    q = p;
    q.version = 15; // newer: warned about, used unchanged
    TwoStageParams expected = q;
    EXPECT_TRUE(FixUpVersion(q));
    EXPECT_TRUE(SameTwoStageParams(q, expected));
}

TEST(PresetLoad, EveryLoadSwitchesAntiAliasingOn)
{
    TwoStageParams p = Record();
    p.antiAliasing = 0;
    p.version = 14;
    EXPECT_FALSE(FinishPresetLoad(p, Record()));
    EXPECT_EQ(p.antiAliasing, 1);
}

TEST(PresetLoad, CheckBoxesReadBackBitZero)
{
    TwoStageParams p = Record();
    p.stretchDouble[0] = 2;
    p.stretchDouble[1] = 3;
    p.antiAliasing = 0xFE;
    p.deformation = 0x81;
    p.whiteCanvas = 4;
    p.version = 0;
    ReadBackCheckBoxes(p);
    EXPECT_EQ(p.stretchDouble[0], 0);
    EXPECT_EQ(p.stretchDouble[1], 1);
    EXPECT_EQ(p.antiAliasing, 0);
    EXPECT_EQ(p.deformation, 1);
    EXPECT_EQ(p.whiteCanvas, 0);
    EXPECT_EQ(p.version, 14);
}

TEST(PresetLoad, DialogRecordsOfTheFactoryPresets)
{
    // "Embossed Wrapper" (version 0, side colours zero).
    const TwoStageParams& wrapper = *TwoStageFactoryRecord(7);
    TwoStageParams p = DialogRecordForFactory(7);
    EXPECT_EQ(p.curve.x, 25);
    EXPECT_EQ(p.curve.y, 25);
    EXPECT_EQ(p.curveShape, 0);
    EXPECT_TRUE(SameColour(p.sideShadowColor[0], wrapper.gradientShadowColor[0]));
    EXPECT_TRUE(SameColour(p.sideShadowColor[1], wrapper.gradientShadowColor[1]));
    EXPECT_EQ(p.version, 14);
    EXPECT_EQ(p.antiAliasing, 1);
    EXPECT_EQ(p.checksum, wrapper.checksum); // not recomputed by a load
    EXPECT_EQ(std::memcmp(&p.spacing, &wrapper.spacing, 23), 0); // bytes 20-42 as stored

    // "Drapery" (version 13): curve shape 0, curve kept at (25, 0).
    p = DialogRecordForFactory(1);
    EXPECT_EQ(p.curve.x, 25);
    EXPECT_EQ(p.curve.y, 0);
    EXPECT_EQ(p.curveShape, 0);
    EXPECT_EQ(p.version, 14);
    EXPECT_EQ(p.antiAliasing, 1);
    EXPECT_EQ(p.deformation, 1);

    // Records of version 14 with check boxes at 0/1 come through unchanged.
    for (int n : {0, 2, 3, 4, 5, 6, 8, 9}) {
        SCOPED_TRACE(n);
        EXPECT_TRUE(SameTwoStageParams(DialogRecordForFactory(n), *TwoStageFactoryRecord(n)));
    }
    EXPECT_TRUE(SameTwoStageParams(DialogRecordForFactory(99), *TwoStageFactoryRecord(2)));
}
