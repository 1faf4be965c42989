// The registry preset store's read paths on whatever the registry holds: the
// user presets of both keys (the user's and the machine's) listed as the
// preset boxes list them, each read back by name, names prefixed and
// stripped as the dialogs do. Values may have any name (empty, long, with
// any characters) and any data; either key may be missing.
//
// Input: a flag byte (bit 0 the machine key, bit 1 the user key), then
// values: a byte choosing the key, a name length and name bytes, a data
// length (two bytes) and data bytes.
#include <cstring>
#include <string>
#include <vector>

#include "tests/fuzz/fake_registry.h"
#include "tests/fuzz/fuzz_input.h"
#include "toolkit/presetstore/preset_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in{data, size};
    gFakeMachine = FakeRegistryKey{};
    gFakeUser = FakeRegistryKey{};
    const uint8_t flags = in.Byte();
    gFakeMachine.exists = flags & 1;
    gFakeUser.exists = flags & 2;
    for (int i = 0; i < 300 && in.size > 0; ++i) {
        FakeRegistryKey& key = in.Byte() & 1 ? gFakeUser : gFakeMachine;
        std::string name(in.Byte() % 80, 'x');
        for (char& c : name) {
            const uint8_t b = in.Byte();
            c = b ? char(b) : 'x'; // names carry no terminator inside
        }
        std::vector<unsigned char> bytes(size_t(in.In(0, 700)));
        in.Fill(bytes.data(), bytes.size());
        AddFakeValue(key, name, bytes);
    }

    static UserPresetName names[kMaxListedPresets];
    const int count = ListUserPresets(VELK3D_PRESET_KEY, kMaxListedPresets, names);
    for (int i = 0; i < count; ++i) {
        char name[kPresetNameArea + 1];
        std::memcpy(name, names[i].name, kPresetNameArea);
        name[kPresetNameArea] = '\0';
        unsigned char record[kPresetRecordSize];
        DWORD got = 0;
        AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK3D_PRESET_KEY, name, record, sizeof record, 0, &got);
        AddUserPrefix(name, '>');
        StripPresetName(name);
    }
    return 0;
}
