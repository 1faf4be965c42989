#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "deform/engine/factory_presets.h"

namespace {

// The nine factory presets decoded, written out independently of the codes.
struct Decoded {
    const char* name;
    int tileWidth, tileHeight, bevel, side, gradientX, gradientY, stretchX, stretchY;
    int toggle, doubleStretch;
};
const Decoded kPresets[9] = {
    {"Jalousie", 150, 10, 5, -15, 0, 20, -25, 0, 0, 0},
    {"Herring-Bone", 12, 30, 10, 49, 0, 0, 50, 50, 2, 1},
    {"Velkstone", 35, 55, 0, 0, 20, 7, -25, -25, 0, 0},
    {"Front Bricks", 15, 15, 40, -20, 15, 15, -50, 50, 2, 1},
    {"Roof", 10, 130, 40, -10, 20, 5, -15, -25, 2, 0},
    {"Embossed Wrapper", 30, 10, 50, 50, 0, 0, 0, 0, 2, 0},
    {"Jabot", 35, 39, 0, 0, -10, 20, 25, 25, 0, 0},
    {"Gutters", 30, 60, 50, 49, 0, 15, -40, 40, 1, 1},
    {"Cellulary", 10, 10, 10, 5, -10, 10, 20, -20, 1, 0},
};

DeformSettings Untouched()
{
    DeformSettings s{};
    for (int i = 0; i < 8; ++i) s.valueX[i] = static_cast<int16_t>(900 + i), s.valueY[i] = -7;
    s.styleBits = 0x1B;
    s.antialias = 1;
    s.colourSource = Background;
    s.colour[0] = 11, s.colour[3] = 255;
    s.saveFlags = LastUsedMark | SaveColour;
    s.saturation = 44;
    s.magic = kDeformMagic;
    return s;
}

TEST(FactoryPresets, EveryCodeDecodesToItsTable)
{
    int16_t count = 0;
    int pos = 1;
    ASSERT_EQ(parsePresetNumber(&count, DeformString(1), &pos), 0);
    EXPECT_EQ(count, kFactoryPresetCount);
    for (int n = 0; n < 9; ++n) {
        SCOPED_TRACE(kPresets[n].name);
        DeformSettings s = Untouched();
        ASSERT_TRUE(DecodeFactoryPreset(DeformString(n + 2), s));
        const DeformInputs in = PreviewInputs(s);
        const Decoded& e = kPresets[n];
        EXPECT_EQ(in.tileWidth, e.tileWidth);
        EXPECT_EQ(in.tileHeight, e.tileHeight);
        EXPECT_EQ(in.bevelWidth, static_cast<float>(e.bevel));
        EXPECT_EQ(in.sideShading, e.side);
        EXPECT_EQ(in.gradientX, e.gradientX);
        EXPECT_EQ(in.gradientY, e.gradientY);
        EXPECT_EQ(in.stretchX, e.stretchX);
        EXPECT_EQ(in.stretchY, e.stretchY);
        EXPECT_EQ(in.faceScheme, e.toggle);
        EXPECT_EQ(s.styleBits, e.toggle | e.doubleStretch << 2);
        // Light correction, colour and antialiasing are not the preset's.
        EXPECT_EQ(s.valueX[SlotLightBoost], 906);
        EXPECT_EQ(s.valueX[SlotBrightness], 907);
        EXPECT_EQ(s.valueY[SlotLightBoost], -7);
        EXPECT_EQ(s.saturation, 44);
        EXPECT_EQ(s.colour[0], 11);
        EXPECT_EQ(s.colourSource, Background);
        EXPECT_EQ(s.antialias, 1);
        EXPECT_EQ(s.saveFlags, 0);
        EXPECT_EQ(s.checksum, DeformChecksum(s));

        char name[32];
        FactoryPresetName(n, name, sizeof name);
        EXPECT_STREQ(name, e.name);
        EXPECT_EQ(FindFactoryPreset(e.name), n);
    }
}

TEST(FactoryPresets, NamesMatchTrimmedAndCaseBlind)
{
    EXPECT_EQ(FindFactoryPreset("  velkSTONE  "), 2);
    EXPECT_EQ(FindFactoryPreset("embossed wrapper"), 5);
    EXPECT_EQ(FindFactoryPreset("Velk"), -1);
    EXPECT_EQ(FindFactoryPreset(""), -1);
    EXPECT_EQ(FindFactoryPreset("SAVE USER  PRESET"), -1);
    char name[5];
    FactoryPresetName(0, name, sizeof name);
    EXPECT_STREQ(name, "Jalo");
    FactoryPresetName(9, name, sizeof name);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(DeformString(12), nullptr);
    EXPECT_STREQ(DeformString(40), "Unable to locate User Preset      ");
}

TEST(FactoryPresets, KeepCodesAndMalformedNumbersLeaveTheirField)
{
    DeformSettings s = Untouched();
    ASSERT_TRUE(DecodeFactoryPreset("Odd #9999 020 123456 35 25 45 50 9999", s));
    EXPECT_EQ(s.valueX[SlotTileWidth], 901);   // 9999: kept
    EXPECT_EQ(s.valueY[SlotTileHeight], 20);   // still read
    EXPECT_EQ(s.valueX[SlotBevelWidth], 902);  // five digits: kept
    // The parser resumes after the fifth digit, so the sixth is the next number.
    EXPECT_EQ(s.valueX[SlotSideShading], 6);
    EXPECT_EQ(s.valueX[SlotGradient], 35);
    EXPECT_EQ(s.valueY[SlotGradient], 25);
    EXPECT_EQ(s.valueX[SlotStretch], 45);
    EXPECT_EQ(s.valueY[SlotStretch], 50);
    EXPECT_EQ(s.styleBits, 3); // 9999 keeps the style code 0x1B: faceScheme 3, no doubling

    // No "#" within the first 60 characters: nothing changes.
    const std::string late = std::string(60, 'x') + "#1 2 3 4 5 6 7 8 1";
    DeformSettings t = Untouched();
    EXPECT_FALSE(DecodeFactoryPreset(late.c_str(), t));
    const DeformSettings u = Untouched();
    EXPECT_EQ(std::memcmp(&t, &u, sizeof t), 0);
    const std::string edge = std::string(59, 'x') + "#1 2 3 4 5 6 7 8 1";
    EXPECT_TRUE(DecodeFactoryPreset(edge.c_str(), t));
    EXPECT_EQ(t.valueX[SlotTileWidth], 901); // the numbers lie beyond the 60 read
}

struct ParseCase {
    std::string text;
    int start;
    int result;
    int16_t target; // 33 when unchanged
    int position;
};

TEST(FactoryPresets, ParserSkipsReadsAndStopsAtTheEnd)
{
    const ParseCase cases[] = {
        {"150 010", 0, 0, 150, 4},
        {"#035 055", 0, 0, 35, 5},
        {" 9999 7", 0, 0, 33, 6},
        {"1234 7", 0, 0, 1234, 5},
        {"12345 7", 0, 1, 33, 5},
        {std::string(19, ' ') + "5", 0, 0, 5, 20},
        {std::string(20, ' ') + "5", 0, 1, 33, 20},
        {"abc", 0, 1, 33, 3},
        {"", 0, 1, 33, 0},
        {"7", 0, 0, 7, 1},
        {"7", 1, 1, 33, 1},
        {"x0 ", 0, 0, 0, 3},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE("\"" + c.text + "\"");
        // Exactly sized, so that reading past the end is caught.
        std::vector<char> text(c.text.begin(), c.text.end());
        text.push_back('\0');
        text.shrink_to_fit();
        int16_t target = 33;
        int pos = c.start;
        EXPECT_EQ(parsePresetNumber(&target, text.data(), &pos), c.result);
        EXPECT_EQ(target, c.target);
        EXPECT_EQ(pos, c.position);
    }
}

} // namespace
