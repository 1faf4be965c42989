#include "tests/windows/presetstore/store_fixture.h"

#include <sddl.h>

#include "toolkit/presetstore/preset_store.h"

namespace {

const char kTestRoot[] = "Software\\VelkStoreTest";

bool SetDacl(HKEY key, const char* sddl)
{
    PSECURITY_DESCRIPTOR sd = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr))
        return false;
    const LONG r = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
    LocalFree(sd);
    return r == ERROR_SUCCESS;
}

HKEY CreateKey(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

} // namespace

Bytes Pattern(size_t size, unsigned seed)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(seed * 31u + i * 7u + (i >> 8));
    return bytes;
}

StoreListing ListThroughStore(const char* keyPath, int limit)
{
    StoreListing listing;
    for (int index = 1; index <= limit; ++index) {
        char name[kPresetNameArea] = "";
        unsigned char data[kPresetDataArea] = {};
        const LONG r = AccessRegistryValue(HKEY_LOCAL_MACHINE, keyPath, name, data, sizeof data, index);
        if (r != ERROR_SUCCESS) {
            listing.end = r;
            return listing;
        }
        listing.values.push_back({name, Bytes(data, data + kListedBytes)});
    }
    listing.end = ERROR_SUCCESS; // the limit ended it
    return listing;
}

LONG ReadThroughStore(const char* keyPath, const char* name, Bytes& out, DWORD area)
{
    Bytes buffer(area);
    DWORD read = 0;
    char nameCopy[kPresetNameArea];
    lstrcpynA(nameCopy, name, sizeof nameCopy);
    const LONG r = AccessRegistryValue(HKEY_LOCAL_MACHINE, keyPath, nameCopy, buffer.data(), area, 0,
                                       &read);
    out.assign(buffer.begin(), buffer.begin() + (r == ERROR_SUCCESS ? read : 0));
    return r;
}

void StoreFixture::SetUp()
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    base_ = std::string(kTestRoot) + "\\" + info->test_suite_name() + "." + info->name() + "." +
            std::to_string(GetCurrentProcessId());
    machine = CreateKey(HKEY_CURRENT_USER, (base_ + "\\Machine").c_str());
    user = CreateKey(HKEY_CURRENT_USER, (base_ + "\\User").c_str());
    ASSERT_NE(machine, nullptr);
    ASSERT_NE(user, nullptr);
    SetPresetStoreRoots(machine, user);
}

void StoreFixture::TearDown()
{
    SetPresetStoreRoots(nullptr, nullptr);
    for (HKEY key : refused_) {
        EXPECT_TRUE(SetDacl(key, "D:P(A;;KA;;;WD)"));
        RegCloseKey(key);
    }
    refused_.clear();
    if (machine)
        RegCloseKey(machine);
    if (user)
        RegCloseKey(user);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str()), ERROR_SUCCESS);
    RegDeleteKeyA(HKEY_CURRENT_USER, base_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, kTestRoot); // fails while other tests use it
}

void StoreFixture::Put(HKEY root, const char* path, const char* name, const Bytes& data, DWORD type)
{
    HKEY key = CreateKey(root, path);
    ASSERT_NE(key, nullptr) << path;
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, data.data(), DWORD(data.size())), ERROR_SUCCESS)
        << name;
    RegCloseKey(key);
}

bool StoreFixture::Exists(HKEY root, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool StoreFixture::IsNonVolatile(HKEY root, const char* path)
{
    const std::string probePath = std::string(path) + "\\volatility probe";
    HKEY probe;
    if (RegCreateKeyExA(root, probePath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &probe, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(probe);
    RegDeleteKeyA(root, probePath.c_str());
    return true;
}

std::vector<RawValue> StoreFixture::List(HKEY root, const char* path)
{
    std::vector<RawValue> values;
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD nameLength = sizeof name;
        Bytes data(8192);
        DWORD size = DWORD(data.size());
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data.data(), &size) !=
            ERROR_SUCCESS)
            break;
        data.resize(size);
        values.push_back({std::string(name, nameLength), type, data});
    }
    RegCloseKey(key);
    return values;
}

std::vector<std::string> StoreFixture::Names(HKEY root, const char* path)
{
    std::vector<std::string> names;
    for (const RawValue& value : List(root, path))
        names.push_back(value.name);
    return names;
}

void StoreFixture::Refuse(HKEY root, const char* path)
{
    HKEY key = CreateKey(root, path);
    ASSERT_NE(key, nullptr) << path;
    refused_.push_back(key); // opened with full access, so it can undo the change
    ASSERT_TRUE(SetDacl(key, "D:P(A;;KR;;;WD)")) << path;

    HKEY probe;
    ASSERT_EQ(RegOpenKeyExA(root, path, 0, KEY_SET_VALUE, &probe), ERROR_ACCESS_DENIED)
        << "the key still accepts writes: " << path;
    ASSERT_EQ(RegOpenKeyExA(root, path, 0, KEY_READ, &probe), ERROR_SUCCESS)
        << "the key can no longer be read: " << path;
    RegCloseKey(probe);
}
