// The in-memory registry behind fake_windows/windows.h: a key of values
// under each of the two roots, or none.
#pragma once

#include <string>
#include <vector>

struct FakeValue {
    std::string name;
    std::vector<unsigned char> data;
};

struct FakeRegistryKey {
    bool exists = false;
    std::vector<FakeValue> values; // in enumeration order, names unique ignoring case
};

// The keys of HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER (any path).
extern FakeRegistryKey gFakeMachine, gFakeUser;

// Adds a value unless one of that name (ignoring case) is there.
void AddFakeValue(FakeRegistryKey& key, const std::string& name, const std::vector<unsigned char>& data);
