// Preset names between the preset box and the registry: StripPresetName and
// AddUserPrefix on their own and in the save / list / delete round trip.
#include <cstring>

#include "tests/windows/presetstore/store_fixture.h"
#include "toolkit/presetstore/preset_store.h"

namespace {

class PresetStoreNames : public StoreFixture {};

// A name area followed by guard bytes that nothing may touch.
struct Guarded {
    char area[24];
    unsigned char guard[8];
};

std::string Strip(const char* text)
{
    Guarded g;
    memset(&g, 0x5A, sizeof g);
    strcpy(g.area, text);
    const char* result = StripPresetName(g.area);
    EXPECT_EQ(result, g.area);
    for (unsigned char guardByte : g.guard)
        EXPECT_EQ(guardByte, 0x5A) << "written past the area";
    return result;
}

} // namespace

TEST(PresetStoreNameText, StripRemovesOnePrefixAndTrailingBlanks)
{
    EXPECT_EQ(Strip(">  a b  "), "  a b");
    EXPECT_EQ(Strip("   "), "");
    EXPECT_EQ(Strip(">"), "");
    EXPECT_EQ(Strip(""), "");
    EXPECT_EQ(Strip("> "), "");
    EXPECT_EQ(Strip("Roof"), "Roof");
    EXPECT_EQ(Strip(">Roof"), "Roof");
    EXPECT_EQ(Strip(">>Roof"), ">Roof") << "only one prefix is removed";
    EXPECT_EQ(Strip(" >Roof"), " >Roof") << "a prefix after a blank is part of the name";
    EXPECT_EQ(Strip("Roof>"), "Roof>");
    EXPECT_EQ(Strip("a\t "), "a\t") << "only blanks are trailing blanks";
    EXPECT_EQ(Strip(">Jalousie 19 chars  "), "Jalousie 19 chars");
}

TEST(PresetStoreNameText, AddUserPrefixFitsAnAreaOneLargerThanTheName)
{
    struct {
        char area[6];
        unsigned char guard[8];
    } g;
    memset(&g, 0x5A, sizeof g);
    memcpy(g.area, "abcd", 5); // area[5] is one spare byte

    const char* result = AddUserPrefix(g.area, '>');
    EXPECT_EQ(result, g.area);
    EXPECT_EQ(memcmp(g.area, ">abcd", 5), 0);
    EXPECT_EQ(g.area[5], '\0') << "the terminator moved to the last byte of the area";
    for (unsigned char guardByte : g.guard)
        EXPECT_EQ(guardByte, 0x5A) << "written past the area";

    char empty[2] = {'\0', 'Q'};
    AddUserPrefix(empty, '*');
    EXPECT_EQ(empty[0], '*');
    EXPECT_EQ(empty[1], '\0');

    char blanks[8] = "  x";
    EXPECT_STREQ(AddUserPrefix(blanks, '>'), ">  x");
}

TEST(PresetStoreNameText, PrefixThenStripGivesTheNameBack)
{
    const char* names[] = {"Roof", "  lead", "a  b", "x", "Nineteen characters"};
    for (const char* original : names) {
        char area[24];
        strcpy(area, original);
        AddUserPrefix(area, '>');
        EXPECT_EQ(std::string(StripPresetName(area)), original);
    }
}

TEST_F(PresetStoreNames, SavedNameKeepsLeadingBlanksOnly)
{
    // Save: the typed name goes through StripPresetName before the write.
    char typed[20] = "  Brick  ";
    StripPresetName(typed);
    ASSERT_TRUE(WriteRegistryValue(typed, Pattern(64, 20).data(), 64));
    EXPECT_EQ(Names(machine, VELK3D_PRESET_KEY), std::vector<std::string>{"  Brick"});

    // List: the enumerated name with ">" in front.
    char name[kPresetNameArea + 1] = "";
    unsigned char data[kPresetDataArea];
    ASSERT_EQ(AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK3D_PRESET_KEY, name, data, sizeof data, 1),
              ERROR_SUCCESS);
    EXPECT_STREQ(AddUserPrefix(name, '>'), ">  Brick");
    EXPECT_EQ(Bytes(data, data + 64), Pattern(64, 20));

    // Delete: the box entry goes through StripPresetName again.
    char entry[20] = ">  Brick";
    StripPresetName(entry);
    EXPECT_EQ(AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK3D_PRESET_KEY, entry, nullptr, 0, kDeleteIndex),
              ERROR_SUCCESS);
    EXPECT_TRUE(Names(machine, VELK3D_PRESET_KEY).empty());
}

TEST_F(PresetStoreNames, NamesDifferingInBlanksAreDifferentPresets)
{
    ASSERT_TRUE(WriteRegistryValue("Roof", Pattern(64, 21).data(), 64));
    ASSERT_TRUE(WriteRegistryValue(" Roof", Pattern(64, 22).data(), 64));
    EXPECT_EQ(Names(machine, VELK3D_PRESET_KEY).size(), 2u);

    Bytes read;
    EXPECT_EQ(ReadThroughStore(VELK3D_PRESET_KEY, " Roof", read), ERROR_SUCCESS);
    EXPECT_EQ(read, Pattern(64, 22));
    EXPECT_EQ(ReadThroughStore(VELK3D_PRESET_KEY, "Roof", read), ERROR_SUCCESS);
    EXPECT_EQ(read, Pattern(64, 21));
}
