// Write, read, enumerate, overwrite and delete through the store, with a
// machine key that accepts writes (the plain case).
#include "tests/windows/presetstore/store_fixture.h"
#include "toolkit/presetstore/preset_store.h"

namespace {

class PresetStoreRoundTrip : public StoreFixture {};

LONG DeleteThroughStore(const char* keyPath, const char* name)
{
    char copy[kPresetNameArea];
    lstrcpynA(copy, name, sizeof copy);
    return AccessRegistryValue(HKEY_LOCAL_MACHINE, keyPath, copy, nullptr, 0, kDeleteIndex);
}

} // namespace

TEST_F(PresetStoreRoundTrip, FirstWriteCreatesKeyAndReadsBack)
{
    ASSERT_FALSE(Exists(machine, "Software"));
    const Bytes record = Pattern(64, 1);

    EXPECT_TRUE(WriteRegistryValue("Last Used", record.data(), DWORD(record.size())));

    const auto stored = List(machine, VELK3D_PRESET_KEY);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].name, "Last Used");
    EXPECT_EQ(stored[0].type, DWORD(REG_BINARY));
    EXPECT_EQ(stored[0].data, record);
    EXPECT_FALSE(Exists(user, "Software")) << "a write the machine key accepts touched the user key";
    EXPECT_TRUE(IsNonVolatile(machine, VELK3D_PRESET_KEY));

    Bytes area(64, 0xCC);
    DWORD read = 12345;
    char name[] = "Last Used";
    EXPECT_EQ(AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK3D_PRESET_KEY, name, area.data(), 64, 0, &read),
              ERROR_SUCCESS);
    EXPECT_EQ(read, 64u);
    EXPECT_EQ(area, record);
}

TEST_F(PresetStoreRoundTrip, TwoStageKeyIsSeparate)
{
    const Bytes twoStage = Pattern(64, 2);
    const Bytes deform = Pattern(64, 3);
    EXPECT_TRUE(WriteRegistryValue("Same", VELK2000_PRESET_KEY, twoStage.data(), 64));
    EXPECT_TRUE(WriteRegistryValue("Same", deform.data(), 64));

    const auto stored = List(machine, VELK2000_PRESET_KEY);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].data, twoStage);
    Bytes read;
    EXPECT_EQ(ReadThroughStore(VELK2000_PRESET_KEY, "Same", read), ERROR_SUCCESS);
    EXPECT_EQ(read, twoStage);
    EXPECT_EQ(ReadThroughStore(VELK3D_PRESET_KEY, "Same", read), ERROR_SUCCESS);
    EXPECT_EQ(read, deform);
}

TEST_F(PresetStoreRoundTrip, EnumerationFollowsRegistryOrderAndEnds)
{
    const char* names[] = {"Zeta", "alpha", "Mid 3", "B"};
    for (unsigned i = 0; i < 4; ++i)
        ASSERT_TRUE(WriteRegistryValue(names[i], VELK2000_PRESET_KEY, Pattern(64, 10 + i).data(), 64));

    const auto stored = List(machine, VELK2000_PRESET_KEY);
    ASSERT_EQ(stored.size(), 4u);
    const StoreListing listing = ListThroughStore(VELK2000_PRESET_KEY);
    EXPECT_EQ(listing.end, ERROR_NO_MORE_ITEMS);
    ASSERT_EQ(listing.values.size(), stored.size());
    for (size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(listing.values[i].name, stored[i].name) << "position " << i;
        EXPECT_EQ(listing.values[i].data, stored[i].data) << "position " << i;
    }
    // Every value written is listed once, with its own data.
    for (unsigned i = 0; i < 4; ++i) {
        int seen = 0;
        for (const ListedValue& value : listing.values)
            if (value.name == names[i]) {
                ++seen;
                EXPECT_EQ(value.data, Pattern(64, 10 + i)) << names[i];
            }
        EXPECT_EQ(seen, 1) << names[i];
    }

    char name[kPresetNameArea] = "";
    unsigned char data[kPresetDataArea];
    EXPECT_EQ(AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK2000_PRESET_KEY, name, data, sizeof data, 5),
              ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK2000_PRESET_KEY, name, data, sizeof data, 50),
              ERROR_NO_MORE_ITEMS);
}

TEST_F(PresetStoreRoundTrip, OverwriteReplacesDataWithoutAddingAValue)
{
    const Bytes first = Pattern(64, 4);
    const Bytes second = Pattern(64, 5);
    ASSERT_NE(first, second);
    ASSERT_TRUE(WriteRegistryValue("Roof", first.data(), 64));
    ASSERT_TRUE(WriteRegistryValue("Other", Pattern(64, 6).data(), 64));
    EXPECT_TRUE(WriteRegistryValue("Roof", second.data(), 64));

    EXPECT_EQ(Names(machine, VELK3D_PRESET_KEY).size(), 2u);
    Bytes read;
    EXPECT_EQ(ReadThroughStore(VELK3D_PRESET_KEY, "Roof", read), ERROR_SUCCESS);
    EXPECT_EQ(read, second);
    const StoreListing listing = ListThroughStore(VELK3D_PRESET_KEY);
    ASSERT_EQ(listing.values.size(), 2u);
    EXPECT_EQ(listing.end, ERROR_NO_MORE_ITEMS);
}

TEST_F(PresetStoreRoundTrip, DeleteRemovesOnlyThatValue)
{
    ASSERT_TRUE(WriteRegistryValue("Keep", Pattern(64, 7).data(), 64));
    ASSERT_TRUE(WriteRegistryValue("Drop", Pattern(64, 8).data(), 64));

    EXPECT_EQ(DeleteThroughStore(VELK3D_PRESET_KEY, "Drop"), ERROR_SUCCESS);
    EXPECT_EQ(Names(machine, VELK3D_PRESET_KEY), std::vector<std::string>{"Keep"});
    Bytes read;
    EXPECT_EQ(ReadThroughStore(VELK3D_PRESET_KEY, "Drop", read), ERROR_FILE_NOT_FOUND);

    // Deleted meanwhile (or never there): reported, nothing else changes.
    EXPECT_EQ(DeleteThroughStore(VELK3D_PRESET_KEY, "Drop"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(DeleteThroughStore(VELK3D_PRESET_KEY, "keep "), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Names(machine, VELK3D_PRESET_KEY), std::vector<std::string>{"Keep"});

    EXPECT_EQ(DeleteThroughStore(VELK3D_PRESET_KEY, "Keep"), ERROR_SUCCESS);
    EXPECT_EQ(ListThroughStore(VELK3D_PRESET_KEY).end, ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(ListThroughStore(VELK3D_PRESET_KEY).values.empty());
}

TEST_F(PresetStoreRoundTrip, MissingKeyFailsWithTheOpenCodeAndCreatesNothing)
{
    Bytes read;
    EXPECT_EQ(ReadThroughStore(VELK3D_PRESET_KEY, "Last Used", read), ERROR_FILE_NOT_FOUND);
    const StoreListing listing = ListThroughStore(VELK3D_PRESET_KEY);
    EXPECT_TRUE(listing.values.empty());
    EXPECT_EQ(listing.end, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(DeleteThroughStore(VELK3D_PRESET_KEY, "Last Used"), ERROR_FILE_NOT_FOUND);

    // The same through a root given directly.
    char name[kPresetNameArea] = "x";
    unsigned char data[kPresetDataArea];
    for (int index : {0, 1, kDeleteIndex})
        EXPECT_EQ(AccessRegistryValue(machine, VELK2000_PRESET_KEY, name, data, sizeof data, index),
                  ERROR_FILE_NOT_FOUND)
            << "index " << index;

    EXPECT_FALSE(Exists(machine, "Software"));
    EXPECT_FALSE(Exists(user, "Software"));
}

TEST_F(PresetStoreRoundTrip, EmptyKeyEndsEnumerationAtOnce)
{
    Put(machine, VELK2000_PRESET_KEY, "Gone", Pattern(64, 9));
    ASSERT_EQ(DeleteThroughStore(VELK2000_PRESET_KEY, "Gone"), ERROR_SUCCESS);
    ASSERT_TRUE(Exists(machine, VELK2000_PRESET_KEY));

    const StoreListing listing = ListThroughStore(VELK2000_PRESET_KEY);
    EXPECT_TRUE(listing.values.empty());
    EXPECT_EQ(listing.end, ERROR_NO_MORE_ITEMS);
}

TEST_F(PresetStoreRoundTrip, WebHandlerCommandReadsAsTextWhateverItsType)
{
    const char command[] = "\"C:\\Program Files\\Browser\\browser.exe\" -url \"%1\"";
    const char* path = "Software\\CLASSES\\http\\shell\\open\\command";
    Put(machine, path, "", Bytes(command, command + sizeof command), REG_SZ);

    char area[1024];
    memset(area, 0x7F, sizeof area);
    char name[] = "";
    DWORD read = 0;
    EXPECT_EQ(AccessRegistryValue(HKEY_LOCAL_MACHINE, path, name, area, sizeof area, 0, &read),
              ERROR_SUCCESS);
    EXPECT_EQ(read, DWORD(sizeof command));
    EXPECT_STREQ(area, command);
    EXPECT_EQ(area[sizeof command], 0x7F) << "written past the value";
}
