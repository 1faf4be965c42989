// The settings record: layout, checksum and the factory table.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "twostage/engine/twostage_params.h"
#include "twostage/engine/twostage_presets.h"

namespace {

// The factory records typed in again from their hexadecimal listing: name,
// bytes 0-31, bytes 32-63.
struct TableRow {
    const char* name;
    const char* low;
    const char* high;
};

const TableRow kTable[] = {
    {"Lonely Hearts",
     "E3 D9 CB 03 C6 00 66 02 1B 1A 00 02 D5 14 00 02 CB CB 00 02 24 14 24 12 32 2E 19 00 19 32 00 32",
     "19 19 19 32 05 00 00 02 00 14 00 0E 00 01 01 01 00 01 32 32 00 00 00 00 00 00 00 00 02 A0 AD 5D"},
    {"Drapery",
     "E3 D9 CB 03 00 00 00 02 00 00 00 02 00 00 00 02 00 75 BA 02 02 11 2C 08 32 32 19 32 28 19 28 32",
     "23 19 19 19 32 32 02 02 50 32 1E 0D 00 01 00 01 01 00 19 00 00 00 00 00 00 00 00 00 57 44 12 CB"},
    {"e-Flowers",
     "E3 D9 CB 03 3C 6C 00 02 A6 00 A0 02 00 7F C0 02 FF 00 00 02 3C 28 19 5A 41 23 2D 32 19 25 43 28",
     "0A 03 20 2C 19 32 01 00 00 0A 00 0E 00 01 01 01 00 01 00 00 01 00 00 00 00 00 00 00 31 92 8B F9"},
    {"SurreaFaceable",
     "E3 D9 CB 03 22 14 00 02 FF FF 00 02 99 33 00 02 FF 00 00 02 22 5D 44 2D 32 23 2D 05 19 1F 46 28",
     "27 05 1D 1F 32 32 01 02 00 00 00 0E 00 01 00 01 00 01 05 05 02 00 00 00 00 00 00 00 B9 7F 1C F3"},
    {"Rabbit Factory",
     "E3 D9 CB 03 14 00 2D 02 00 32 5D 02 00 00 7B 02 A9 C2 00 02 28 30 28 30 32 31 19 2D 19 19 14 32",
     "19 01 19 19 0A 00 00 02 00 00 00 0E 00 01 00 01 00 01 32 32 01 00 00 00 00 00 00 00 52 C2 BE 38"},
    {"Cyber Birds",
     "E3 D9 CB 03 28 00 00 02 00 00 00 02 FF F6 00 02 E4 93 00 02 1E 5A 50 3C 32 1E 05 23 19 29 28 32",
     "28 19 32 32 32 32 00 02 00 0F 00 0E 00 01 00 01 00 01 05 32 02 00 00 00 00 00 00 00 04 55 1C 42"},
    {"Triple Leaves",
     "E3 D9 CB 03 37 14 00 02 28 00 4E 02 09 88 00 02 72 00 23 02 32 1C 55 0E 19 44 19 00 19 19 55 46",
     "2A 2F 08 23 0F 32 02 02 00 0A 00 0E 00 01 01 01 00 01 32 32 00 00 00 00 00 00 00 00 7C 73 91 49"},
    {"Embossed Wrapper",
     "E3 D9 CB 03 B4 02 02 02 64 64 00 02 00 00 00 00 00 00 00 00 0C 0F 0C 0F 64 32 2D 2D 19 23 64 64",
     "19 19 19 19 00 00 02 02 00 1E 00 00 00 00 00 01 00 01 01 00 00 00 00 00 00 00 00 00 A9 88 20 C7"},
    {"Lizard Skin",
     "E3 D9 CB 03 53 3D 00 02 FF FC 00 02 00 5A 0E 02 C7 54 00 02 14 28 32 0A 32 32 32 32 19 21 64 32",
     "19 19 19 01 0A 00 02 00 00 0F 00 0E 00 01 01 01 00 01 32 19 02 00 00 00 00 00 00 00 38 4C A8 50"},
    {"Dragon Waves",
     "E3 D9 CB 03 5D 00 0C 02 0F 00 71 02 00 84 8F 02 00 6C 57 02 22 5C 08 4E 32 32 2F 19 28 19 50 32",
     "04 02 19 2D 0A 00 02 01 00 0A 00 0E 00 01 01 01 00 01 2D 2D 01 00 00 00 00 00 00 00 13 5F 17 F6"},
};

std::vector<uint8_t> ParseHex(const std::string& text)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 2 <= text.size(); i += 3)
        bytes.push_back(static_cast<uint8_t>(std::stoul(text.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::vector<uint8_t> TableBytes(int n)
{
    std::vector<uint8_t> bytes = ParseHex(kTable[n].low);
    const std::vector<uint8_t> high = ParseHex(kTable[n].high);
    bytes.insert(bytes.end(), high.begin(), high.end());
    return bytes;
}

TwoStageParams FromBytes(const uint8_t* bytes)
{
    TwoStageParams p;
    std::memcpy(&p, bytes, sizeof p);
    return p;
}

// The checksum computed a second way, on an explicit array of 32 bits:
// every step moves each bit up by one, bit 31 falls off and bit 0 takes the
// old bit 30; then the byte is added.
uint32_t ReferenceChecksum(const uint8_t* bytes)
{
    int bit[32] = {};
    for (int n = 0; n < 60; ++n) {
        for (int step = 0; step < 11; ++step) {
            const int oldBit30 = bit[30];
            for (int i = 31; i > 0; --i)
                bit[i] = bit[i - 1];
            bit[0] = oldBit30;
        }
        uint64_t value = 0;
        for (int i = 0; i < 32; ++i)
            value |= static_cast<uint64_t>(bit[i]) << i;
        value = (value + bytes[n]) & 0xFFFFFFFFu;
        for (int i = 0; i < 32; ++i)
            bit[i] = static_cast<int>((value >> i) & 1);
    }
    uint32_t s = 0;
    for (int i = 0; i < 32; ++i)
        s |= static_cast<uint32_t>(bit[i]) << i;
    return s;
}

} // namespace

TEST(TwoStageChecksum, HandWorkedRecords)
{
    uint8_t bytes[64] = {};
    bytes[59] = 0xAB; // the last byte is only added
    EXPECT_EQ(TwoStageChecksum(FromBytes(bytes)), 0xABu);

    std::memset(bytes, 0, sizeof bytes);
    bytes[58] = 1; // eleven shifts
    EXPECT_EQ(TwoStageChecksum(FromBytes(bytes)), 0x800u);

    std::memset(bytes, 0, sizeof bytes);
    bytes[57] = 1; // 22 shifts
    EXPECT_EQ(TwoStageChecksum(FromBytes(bytes)), 0x400000u);

    // 33 shifts of 1: after 30 the bit is at 30, the 31st copies it into bit
    // 0 as well (0x80000001), the 32nd loses bit 31 (2), the 33rd gives 4.
    std::memset(bytes, 0, sizeof bytes);
    bytes[56] = 1;
    EXPECT_EQ(TwoStageChecksum(FromBytes(bytes)), 4u);
}

TEST(TwoStageChecksum, MatchesBitModelAndIgnoresTheStoredChecksum)
{
    std::mt19937 random(7);
    for (int trial = 0; trial < 200; ++trial) {
        uint8_t bytes[64];
        for (uint8_t& b : bytes)
            b = static_cast<uint8_t>(random());
        const TwoStageParams p = FromBytes(bytes);
        const uint32_t sum = TwoStageChecksum(p);
        EXPECT_EQ(sum, ReferenceChecksum(bytes));

        bytes[60] ^= 0x5A;
        bytes[63] ^= 0xFF;
        EXPECT_EQ(TwoStageChecksum(FromBytes(bytes)), sum);

        bytes[trial % 60] ^= 0x01;
        EXPECT_NE(TwoStageChecksum(FromBytes(bytes)), sum);
    }
}

TEST(TwoStageChecksum, ValidityAndWholeRecordComparison)
{
    TwoStageParams p = *TwoStageFactoryRecord(0);
    EXPECT_TRUE(TwoStageChecksumValid(p));
    TwoStageParams q = p;
    EXPECT_TRUE(SameTwoStageParams(p, q));
    q.reserved[6] = 1; // any byte counts
    EXPECT_FALSE(SameTwoStageParams(p, q));
    EXPECT_FALSE(TwoStageChecksumValid(q));
    q.checksum = TwoStageChecksum(q);
    EXPECT_TRUE(TwoStageChecksumValid(q));
}

TEST(TwoStageFactory, RecordsAreTheTableAndCarryValidChecksums)
{
    for (int n = 0; n < kTwoStageFactoryCount; ++n) {
        SCOPED_TRACE(kTable[n].name);
        const std::vector<uint8_t> bytes = TableBytes(n);
        ASSERT_EQ(bytes.size(), 64u);
        ASSERT_NE(TwoStageFactoryRecord(n), nullptr);
        EXPECT_EQ(std::memcmp(TwoStageFactoryRecord(n), bytes.data(), 64), 0);
        EXPECT_STREQ(TwoStageFactoryName(n), kTable[n].name);
        const uint32_t stored = bytes[60] | bytes[61] << 8 | bytes[62] << 16 |
                                static_cast<uint32_t>(bytes[63]) << 24;
        EXPECT_EQ(ReferenceChecksum(bytes.data()), stored);
        EXPECT_EQ(TwoStageChecksum(*TwoStageFactoryRecord(n)), stored);
        EXPECT_EQ(TwoStageFactoryRecord(n)->checksum, stored);
    }
    EXPECT_EQ(TwoStageFactoryRecord(-1), nullptr);
    EXPECT_EQ(TwoStageFactoryRecord(10), nullptr);
    EXPECT_EQ(TwoStageFactoryName(10), nullptr);
}

TEST(TwoStageFactory, FieldsSitAtTheirBytes)
{
    const TwoStageParams& drapery = *TwoStageFactoryRecord(1);
    EXPECT_EQ(drapery.version, 13);
    EXPECT_EQ(drapery.curve.x, 25);
    EXPECT_EQ(drapery.curve.y, 0);
    EXPECT_EQ(drapery.deformation, 1);
    EXPECT_EQ(drapery.sideShadowColor[1].green, 0x75);
    EXPECT_EQ(drapery.sideShadowColor[1].blue, 0xBA);
    EXPECT_EQ(drapery.spacing[0].hSpacing, 2);
    EXPECT_EQ(drapery.spacing[0].vSpacing, 0x11);
    EXPECT_EQ(drapery.spacing[1].hSpacing, 0x2C);
    EXPECT_EQ(drapery.spacing[1].vSpacing, 8);
    EXPECT_EQ(drapery.brightnessRatio, 0x50);
    EXPECT_EQ(drapery.lightExiting, 0x32);
    EXPECT_EQ(drapery.saturation, 0x1E);

    const TwoStageParams& flowers = *TwoStageFactoryRecord(2);
    EXPECT_EQ(flowers.backgroundColor.red, 0xE3);
    EXPECT_EQ(flowers.backgroundColor.source, SourceTransparent);
    EXPECT_EQ(flowers.gradientShadowColor[0].red, 0x3C);
    EXPECT_EQ(flowers.gradientShadowColor[1].blue, 0xA0);
    EXPECT_EQ(flowers.moireH, 0x41);
    EXPECT_EQ(flowers.moireV, 0x23);
    EXPECT_EQ(flowers.gradientDepth[1].y, 0x25);
    EXPECT_EQ(flowers.sideShadowDepth[0], 0x43);
    EXPECT_EQ(flowers.stretch[1].x, 0x20);
    EXPECT_EQ(flowers.sideShadowBlur[1], 0x32);
    EXPECT_EQ(flowers.orientation[0], 1);
    EXPECT_EQ(flowers.curveShape, 1);
    EXPECT_EQ(TwoStageFactoryRecord(7)->version, 0);
}

TEST(TwoStageFactory, FindByNameIgnoresCaseAndBlanks)
{
    EXPECT_EQ(FindTwoStageFactory("Lonely Hearts"), 0);
    EXPECT_EQ(FindTwoStageFactory("  e-flowers  "), 2);
    EXPECT_EQ(FindTwoStageFactory("DRAGON WAVES"), 9);
    EXPECT_EQ(FindTwoStageFactory("\tembossed wrapper "), 7);
    EXPECT_EQ(FindTwoStageFactory("Dragon"), -1);
    EXPECT_EQ(FindTwoStageFactory("Dragon  Waves"), -1);
    EXPECT_EQ(FindTwoStageFactory(""), -1);
    EXPECT_EQ(FindTwoStageFactory(nullptr), -1);
}
