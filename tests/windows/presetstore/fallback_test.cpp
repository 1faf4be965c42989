// A machine key that refuses writes (a standard user): writes go to the user
// key, and reads, enumeration and deletes see both keys as one.
#include "tests/windows/presetstore/store_fixture.h"
#include "toolkit/presetstore/preset_store.h"

namespace {

// The machine key holds A and B from an earlier installation and refuses
// writes.
class PresetStoreFallback : public StoreFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(StoreFixture::SetUp());
        Put(machine, VELK3D_PRESET_KEY, "A", oldA);
        Put(machine, VELK3D_PRESET_KEY, "B", oldB);
        ASSERT_NO_FATAL_FAILURE(Refuse(machine, VELK3D_PRESET_KEY));
    }

    const Bytes oldA = Pattern(64, 50);
    const Bytes oldB = Pattern(64, 51);
};

// Both roots accept writes.
class PresetStoreWritableMachine : public StoreFixture {};

LONG Delete(const char* name)
{
    char copy[kPresetNameArea];
    lstrcpynA(copy, name, sizeof copy);
    return AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK3D_PRESET_KEY, copy, nullptr, 0, kDeleteIndex);
}

std::vector<std::string> ListedNames(const StoreListing& listing)
{
    std::vector<std::string> names;
    for (const ListedValue& value : listing.values)
        names.push_back(value.name);
    return names;
}

} // namespace

TEST_F(PresetStoreFallback, RefusedWriteLandsUnderTheUserKey)
{
    const Bytes c = Pattern(64, 52);
    EXPECT_TRUE(WriteRegistryValue("C", c.data(), 64));

    const auto userValues = List(user, VELK3D_PRESET_KEY);
    ASSERT_EQ(userValues.size(), 1u);
    EXPECT_EQ(userValues[0].name, "C");
    EXPECT_EQ(userValues[0].type, DWORD(REG_BINARY));
    EXPECT_EQ(userValues[0].data, c);
    EXPECT_EQ(Names(machine, VELK3D_PRESET_KEY), (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(IsNonVolatile(user, VELK3D_PRESET_KEY));

    Bytes read;
    EXPECT_EQ(ReadThroughStore(VELK3D_PRESET_KEY, "C", read), ERROR_SUCCESS);
    EXPECT_EQ(read, c);
    EXPECT_EQ(ReadThroughStore(VELK3D_PRESET_KEY, "A", read), ERROR_SUCCESS);
    EXPECT_EQ(read, oldA);
    EXPECT_EQ(ReadThroughStore(VELK3D_PRESET_KEY, "B", read), ERROR_SUCCESS);
    EXPECT_EQ(read, oldB);
    EXPECT_EQ(ReadThroughStore(VELK3D_PRESET_KEY, "D", read), ERROR_FILE_NOT_FOUND);
}

TEST_F(PresetStoreFallback, EnumerationListsUserValuesThenEarlierOnes)
{
    ASSERT_TRUE(WriteRegistryValue("C", Pattern(64, 53).data(), 64));
    ASSERT_TRUE(WriteRegistryValue("E", Pattern(64, 54).data(), 64));
    const auto userNames = Names(user, VELK3D_PRESET_KEY);
    ASSERT_EQ(userNames.size(), 2u);

    const StoreListing listing = ListThroughStore(VELK3D_PRESET_KEY);
    EXPECT_EQ(listing.end, ERROR_NO_MORE_ITEMS);
    ASSERT_EQ(listing.values.size(), 4u);
    EXPECT_EQ(listing.values[0].name, userNames[0]);
    EXPECT_EQ(listing.values[1].name, userNames[1]);
    EXPECT_EQ(listing.values[2].name, "A");
    EXPECT_EQ(listing.values[2].data, oldA);
    EXPECT_EQ(listing.values[3].name, "B");
    EXPECT_EQ(listing.values[3].data, oldB);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(listing.values[i].data, Pattern(64, listing.values[i].name == "C" ? 53 : 54));
}

TEST_F(PresetStoreFallback, RewritingAnEarlierPresetShadowsIt)
{
    const Bytes newA = Pattern(64, 55);
    EXPECT_TRUE(WriteRegistryValue("A", newA.data(), 64));

    EXPECT_EQ(Names(user, VELK3D_PRESET_KEY), std::vector<std::string>{"A"});
    const auto machineValues = List(machine, VELK3D_PRESET_KEY);
    ASSERT_EQ(machineValues.size(), 2u);
    EXPECT_EQ(machineValues[0].data, oldA) << "the refused machine value changed";

    const StoreListing listing = ListThroughStore(VELK3D_PRESET_KEY);
    EXPECT_EQ(listing.end, ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(ListedNames(listing), (std::vector<std::string>{"A", "B"})) << "A must be listed once";
    ASSERT_EQ(listing.values.size(), 2u);
    EXPECT_EQ(listing.values[0].data, newA);
    EXPECT_EQ(listing.values[1].data, oldB);

    Bytes read;
    EXPECT_EQ(ReadThroughStore(VELK3D_PRESET_KEY, "A", read), ERROR_SUCCESS);
    EXPECT_EQ(read, newA);

    // Shadowed names sit between listed ones: positions stay consistent.
    ASSERT_TRUE(WriteRegistryValue("C", Pattern(64, 56).data(), 64));
    const StoreListing three = ListThroughStore(VELK3D_PRESET_KEY);
    EXPECT_EQ(three.end, ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(ListedNames(three), (std::vector<std::string>{"A", "C", "B"}));
}

TEST_F(PresetStoreFallback, DeleteThatRemovesNothingReportsFailure)
{
    // Only under the refusing machine key: it cannot be removed.
    EXPECT_NE(Delete("A"), ERROR_SUCCESS);
    EXPECT_EQ(Names(machine, VELK3D_PRESET_KEY), (std::vector<std::string>{"A", "B"}));
    // Nowhere at all.
    EXPECT_NE(Delete("Z"), ERROR_SUCCESS);

    ASSERT_TRUE(WriteRegistryValue("C", Pattern(64, 57).data(), 64));
    EXPECT_NE(Delete("A"), ERROR_SUCCESS);
    EXPECT_NE(Delete("Z"), ERROR_SUCCESS);

    EXPECT_EQ(Delete("C"), ERROR_SUCCESS);
    EXPECT_TRUE(Names(user, VELK3D_PRESET_KEY).empty());
    EXPECT_NE(Delete("C"), ERROR_SUCCESS) << "deleted meanwhile";
    EXPECT_EQ(ListedNames(ListThroughStore(VELK3D_PRESET_KEY)), (std::vector<std::string>{"A", "B"}));
}

TEST_F(PresetStoreFallback, DeletingAShadowingValueUncoversTheEarlierOne)
{
    ASSERT_TRUE(WriteRegistryValue("A", Pattern(64, 58).data(), 64));
    Delete("A");

    // Whatever the result, the preset is listed once, with data that is
    // really stored for it.
    const StoreListing listing = ListThroughStore(VELK3D_PRESET_KEY);
    EXPECT_EQ(ListedNames(listing), (std::vector<std::string>{"A", "B"}));
    ASSERT_EQ(listing.values.size(), 2u);
    EXPECT_EQ(listing.values[0].data, oldA);
    Bytes read;
    EXPECT_EQ(ReadThroughStore(VELK3D_PRESET_KEY, "A", read), ERROR_SUCCESS);
    EXPECT_EQ(read, oldA);
}

TEST_F(PresetStoreFallback, WriteRefusedByBothRootsChangesNothing)
{
    Put(user, VELK3D_PRESET_KEY, "U", Pattern(64, 59));
    ASSERT_NO_FATAL_FAILURE(Refuse(user, VELK3D_PRESET_KEY));

    EXPECT_FALSE(WriteRegistryValue("A", Pattern(64, 60).data(), 64));
    EXPECT_FALSE(WriteRegistryValue("C", Pattern(64, 61).data(), 64));

    const auto machineValues = List(machine, VELK3D_PRESET_KEY);
    ASSERT_EQ(machineValues.size(), 2u);
    EXPECT_EQ(machineValues[0].data, oldA);
    EXPECT_EQ(machineValues[1].data, oldB);
    const auto userValues = List(user, VELK3D_PRESET_KEY);
    ASSERT_EQ(userValues.size(), 1u);
    EXPECT_EQ(userValues[0].name, "U");
    EXPECT_EQ(userValues[0].data, Pattern(64, 59));
}

TEST_F(PresetStoreFallback, WriteRefusedWhereTheUserKeyCannotBeCreated)
{
    // The user key does not exist and its parent refuses new keys.
    ASSERT_NO_FATAL_FAILURE(Refuse(user, "Software"));

    EXPECT_FALSE(WriteRegistryValue("C", Pattern(64, 62).data(), 64));
    EXPECT_FALSE(Exists(user, "Software\\Velk 3D"));
    EXPECT_EQ(Names(machine, VELK3D_PRESET_KEY), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(ListedNames(ListThroughStore(VELK3D_PRESET_KEY)), (std::vector<std::string>{"A", "B"}));
}

TEST_F(PresetStoreWritableMachine, WriteReplacesAStaleUserValue)
{
    Put(user, VELK3D_PRESET_KEY, "A", Pattern(64, 63));
    Put(user, VELK3D_PRESET_KEY, "Keep", Pattern(64, 64));
    const Bytes newA = Pattern(64, 65);

    EXPECT_TRUE(WriteRegistryValue("A", newA.data(), 64));

    const auto machineValues = List(machine, VELK3D_PRESET_KEY);
    ASSERT_EQ(machineValues.size(), 1u);
    EXPECT_EQ(machineValues[0].name, "A");
    EXPECT_EQ(machineValues[0].data, newA);
    EXPECT_EQ(Names(user, VELK3D_PRESET_KEY), std::vector<std::string>{"Keep"});

    Bytes read;
    EXPECT_EQ(ReadThroughStore(VELK3D_PRESET_KEY, "A", read), ERROR_SUCCESS);
    EXPECT_EQ(read, newA);
    const StoreListing listing = ListThroughStore(VELK3D_PRESET_KEY);
    EXPECT_EQ(ListedNames(listing), (std::vector<std::string>{"Keep", "A"}));
}

TEST_F(PresetStoreWritableMachine, DeleteRemovesTheNameFromBothKeys)
{
    Put(user, VELK3D_PRESET_KEY, "A", Pattern(64, 66));
    Put(machine, VELK3D_PRESET_KEY, "A", Pattern(64, 67));
    Put(machine, VELK3D_PRESET_KEY, "B", Pattern(64, 68));

    EXPECT_EQ(Delete("A"), ERROR_SUCCESS);
    EXPECT_TRUE(Names(user, VELK3D_PRESET_KEY).empty());
    EXPECT_EQ(Names(machine, VELK3D_PRESET_KEY), std::vector<std::string>{"B"});
    EXPECT_EQ(Delete("B"), ERROR_SUCCESS);
    EXPECT_EQ(ListThroughStore(VELK3D_PRESET_KEY).end, ERROR_NO_MORE_ITEMS);
    EXPECT_TRUE(ListThroughStore(VELK3D_PRESET_KEY).values.empty());
}
