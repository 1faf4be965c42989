// Test fixture of the preset store: the machine and user roots are injected
// as two fresh keys under HKEY_CURRENT_USER\Software\VelkStoreTest, one set
// per test, and deleted afterwards. Helpers read and write those keys
// directly, without the store, so expected values never come from the code
// under test.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// A value as the registry holds it.
struct RawValue {
    std::string name;
    DWORD type = 0;
    Bytes data;
};

// A value as the store's enumeration gives it: the name and the first
// `kListedBytes` bytes of the data area.
struct ListedValue {
    std::string name;
    Bytes data;
};

struct StoreListing {
    std::vector<ListedValue> values;
    LONG end = 0; // the non-zero result that ended the enumeration
};

constexpr size_t kListedBytes = 64;

// `size` bytes that differ from position to position and from seed to seed.
Bytes Pattern(size_t size, unsigned seed);

// Enumerates keyPath through the store (HKEY_LOCAL_MACHINE, index 1, 2, ...)
// the way the preset boxes do, with the store's name and data areas.
StoreListing ListThroughStore(const char* keyPath, int limit = 100);

// Reads name through the store into an area of `area` bytes; returns the
// result code, and the bytes read in `out`.
LONG ReadThroughStore(const char* keyPath, const char* name, Bytes& out, DWORD area = 64);

class StoreFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a value directly, creating root\path when missing.
    static void Put(HKEY root, const char* path, const char* name, const Bytes& data,
                    DWORD type = REG_BINARY);
    static bool Exists(HKEY root, const char* path);
    // A volatile key refuses non-volatile subkeys; this tries one.
    static bool IsNonVolatile(HKEY root, const char* path);
    // Every value of root\path in the registry's order (empty when missing).
    static std::vector<RawValue> List(HKEY root, const char* path);
    static std::vector<std::string> Names(HKEY root, const char* path);

    // Makes root\path (created when missing) readable but not writable for
    // everyone, as HKEY_LOCAL_MACHINE is for a standard user. The fixture
    // keeps a handle to undo it before deleting the keys.
    void Refuse(HKEY root, const char* path);

    HKEY machine = nullptr; // stands for HKEY_LOCAL_MACHINE
    HKEY user = nullptr;    // stands for HKEY_CURRENT_USER

private:
    std::string base_;
    std::vector<HKEY> refused_;
};
