// Values too large for the caller's areas: enumeration stops at them and a
// read by name refuses them, and neither writes past the areas.
#include <cstring>

#include "tests/windows/presetstore/store_fixture.h"
#include "toolkit/presetstore/preset_store.h"

namespace {

class PresetStoreAreas : public StoreFixture {};

constexpr unsigned char kFill = 0xCC;
constexpr unsigned char kGuard = 0xA5;

// The enumeration areas of a preset box, each followed by guard bytes.
struct EnumerationAreas {
    char name[kPresetNameArea];
    unsigned char nameGuard[16];
    unsigned char data[kPresetDataArea];
    unsigned char dataGuard[16];

    EnumerationAreas()
    {
        memset(name, kFill, sizeof name);
        memset(nameGuard, kGuard, sizeof nameGuard);
        memset(data, kFill, sizeof data);
        memset(dataGuard, kGuard, sizeof dataGuard);
    }
    bool GuardsIntact() const
    {
        for (unsigned char b : nameGuard)
            if (b != kGuard)
                return false;
        for (unsigned char b : dataGuard)
            if (b != kGuard)
                return false;
        return true;
    }
};

LONG EnumerateInto(EnumerationAreas& areas, int index)
{
    return AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK2000_PRESET_KEY, areas.name, areas.data,
                               sizeof areas.data, index);
}

// The position (from 1) of name in the raw listing, 0 when absent.
int PositionOf(const std::vector<std::string>& names, const std::string& name)
{
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return int(i) + 1;
    return 0;
}

} // namespace

TEST_F(PresetStoreAreas, DataAreaHoldsFiveHundredBytesAndNoMore)
{
    Put(machine, VELK2000_PRESET_KEY, "Fits", Pattern(500, 30));
    Put(machine, VELK2000_PRESET_KEY, "Small", Pattern(64, 32));
    const int fits = PositionOf(Names(machine, VELK2000_PRESET_KEY), "Fits");
    ASSERT_GT(fits, 0);

    EnumerationAreas areas;
    ASSERT_EQ(EnumerateInto(areas, fits), ERROR_SUCCESS);
    EXPECT_STREQ(areas.name, "Fits");
    EXPECT_EQ(Bytes(areas.data, areas.data + 500), Pattern(500, 30));
    EXPECT_TRUE(areas.GuardsIntact());
    EXPECT_EQ(ListThroughStore(VELK2000_PRESET_KEY).values.size(), 2u);
    EXPECT_EQ(ListThroughStore(VELK2000_PRESET_KEY).end, ERROR_NO_MORE_ITEMS);

    Put(machine, VELK2000_PRESET_KEY, "Big", Pattern(501, 31));
    const int big = PositionOf(Names(machine, VELK2000_PRESET_KEY), "Big");
    ASSERT_GT(big, 0);
    EnumerationAreas tooBig;
    const LONG r = EnumerateInto(tooBig, big);
    EXPECT_NE(r, ERROR_SUCCESS);
    EXPECT_NE(r, ERROR_NO_MORE_ITEMS) << "an oversized value must not look like the end of the key";
    EXPECT_TRUE(tooBig.GuardsIntact());

    // A preset box stops there: only the values before it are listed.
    const StoreListing listing = ListThroughStore(VELK2000_PRESET_KEY);
    EXPECT_EQ(listing.values.size(), size_t(big - 1));
    EXPECT_NE(listing.end, ERROR_SUCCESS);
    EXPECT_NE(listing.end, ERROR_NO_MORE_ITEMS);
}

TEST_F(PresetStoreAreas, NameAreaHoldsFortyNineCharacters)
{
    const std::string longest(49, 'n');
    const std::string tooLong = std::string(49, 'm') + "X";
    Put(machine, VELK2000_PRESET_KEY, longest.c_str(), Pattern(64, 33));
    const int fits = PositionOf(Names(machine, VELK2000_PRESET_KEY), longest);
    ASSERT_GT(fits, 0);

    EnumerationAreas areas;
    ASSERT_EQ(EnumerateInto(areas, fits), ERROR_SUCCESS);
    EXPECT_EQ(std::string(areas.name), longest);
    EXPECT_EQ(Bytes(areas.data, areas.data + 64), Pattern(64, 33));
    EXPECT_TRUE(areas.GuardsIntact());

    Put(machine, VELK2000_PRESET_KEY, tooLong.c_str(), Pattern(64, 34));
    const int over = PositionOf(Names(machine, VELK2000_PRESET_KEY), tooLong);
    ASSERT_GT(over, 0);
    EnumerationAreas tooLongAreas;
    const LONG r = EnumerateInto(tooLongAreas, over);
    EXPECT_NE(r, ERROR_SUCCESS);
    EXPECT_NE(r, ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(tooLongAreas.GuardsIntact());
    const StoreListing listing = ListThroughStore(VELK2000_PRESET_KEY);
    EXPECT_EQ(listing.values.size(), size_t(over - 1));
    EXPECT_NE(listing.end, ERROR_NO_MORE_ITEMS);
}

TEST_F(PresetStoreAreas, OversizedUserValueStopsTheMergedEnumeration)
{
    Put(user, VELK2000_PRESET_KEY, "Huge", Pattern(700, 35));
    Put(machine, VELK2000_PRESET_KEY, "Old", Pattern(64, 36));

    EnumerationAreas areas;
    const LONG r = EnumerateInto(areas, 1);
    EXPECT_NE(r, ERROR_SUCCESS);
    EXPECT_NE(r, ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(areas.GuardsIntact());
}

TEST_F(PresetStoreAreas, ReadByNameRefusesAValueLargerThanTheArea)
{
    Put(machine, VELK3D_PRESET_KEY, "Last Used", Pattern(100, 37));

    struct {
        unsigned char area[64];
        unsigned char guard[16];
    } g;
    memset(g.area, kFill, sizeof g.area);
    memset(g.guard, kGuard, sizeof g.guard);
    char name[] = "Last Used";
    EXPECT_EQ(AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK3D_PRESET_KEY, name, g.area, sizeof g.area, 0),
              ERROR_MORE_DATA);
    for (unsigned char b : g.area)
        ASSERT_EQ(b, kFill) << "the area was written";
    for (unsigned char b : g.guard)
        ASSERT_EQ(b, kGuard) << "written past the area";

    // The same from the user key, and through a root given directly.
    Put(user, VELK3D_PRESET_KEY, "Mine", Pattern(65, 38));
    char mine[] = "Mine";
    EXPECT_EQ(AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK3D_PRESET_KEY, mine, g.area, sizeof g.area, 0),
              ERROR_MORE_DATA);
    EXPECT_EQ(AccessRegistryValue(machine, VELK3D_PRESET_KEY, name, g.area, sizeof g.area, 0),
              ERROR_MORE_DATA);
    for (unsigned char b : g.area)
        ASSERT_EQ(b, kFill) << "the area was written";
    for (unsigned char b : g.guard)
        ASSERT_EQ(b, kGuard) << "written past the area";
}

TEST_F(PresetStoreAreas, ReadByNameFillsOnlyTheValuesBytes)
{
    Put(machine, VELK3D_PRESET_KEY, "Last Used", Pattern(64, 39));

    Bytes large(1024, kFill);
    DWORD read = 0;
    char name[] = "Last Used";
    ASSERT_EQ(AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK3D_PRESET_KEY, name, large.data(), 1024, 0, &read),
              ERROR_SUCCESS);
    EXPECT_EQ(read, 64u);
    EXPECT_EQ(Bytes(large.begin(), large.begin() + 64), Pattern(64, 39));
    EXPECT_EQ(Bytes(large.begin() + 64, large.end()), Bytes(960, kFill));

    Bytes exact(64, kFill);
    read = 0;
    ASSERT_EQ(AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK3D_PRESET_KEY, name, exact.data(), 64, 0, &read),
              ERROR_SUCCESS);
    EXPECT_EQ(read, 64u);
    EXPECT_EQ(exact, Pattern(64, 39));

    // valueSize is optional.
    Bytes again(64, kFill);
    EXPECT_EQ(AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK3D_PRESET_KEY, name, again.data(), 64, 0),
              ERROR_SUCCESS);
    EXPECT_EQ(again, Pattern(64, 39));
}
