#include "toolkit/presetstore/preset_store.h"

#include <cstring>

namespace {

HKEY gMachineRoot = HKEY_LOCAL_MACHINE;
HKEY gUserRoot = HKEY_CURRENT_USER;

// An open key that closes itself.
struct Key {
    HKEY handle = nullptr;
    LONG result = ERROR_INVALID_HANDLE;
    Key() = default;
    Key(HKEY root, const char* path, REGSAM access)
    {
        result = RegOpenKeyExA(root, path, 0, access, &handle);
        if (result != ERROR_SUCCESS)
            handle = nullptr;
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key()
    {
        if (handle)
            RegCloseKey(handle);
    }
};

bool Contains(HKEY key, const char* name)
{
    if (!key)
        return false;
    const LONG r = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr);
    return r == ERROR_SUCCESS || r == ERROR_MORE_DATA;
}

bool SetValue(HKEY root, const char* keyPath, const char* name, const void* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(root, keyPath, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG r = RegSetValueExA(key, name, 0, REG_BINARY, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

// Reads the value called name: first its size, then at most dataSize bytes.
LONG ReadByName(HKEY key, const char* name, void* data, DWORD dataSize, DWORD* valueSize)
{
    DWORD size = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
    if (r != ERROR_SUCCESS)
        return r;
    if (size > dataSize)
        return ERROR_MORE_DATA;
    r = RegQueryValueExA(key, name, nullptr, nullptr, static_cast<BYTE*>(data), &size);
    if (r == ERROR_SUCCESS && valueSize)
        *valueSize = size;
    return r;
}

LONG EnumerateAt(HKEY key, DWORD position, char* name, void* data, DWORD dataSize,
                 DWORD* valueSize = nullptr)
{
    DWORD nameLength = kPresetNameArea;
    DWORD size = dataSize;
    const LONG r = RegEnumValueA(key, position, name, &nameLength, nullptr, nullptr,
                                 static_cast<BYTE*>(data), &size);
    if (r == ERROR_SUCCESS && valueSize)
        *valueSize = size;
    return r;
}

DWORD ValueCount(HKEY key)
{
    DWORD count = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return 0;
    return count;
}

// Position p of the user key's values followed by the machine key's values
// that the user key does not shadow.
LONG EnumerateUnion(HKEY user, HKEY machine, DWORD position, char* name, void* data,
                    DWORD dataSize, DWORD* valueSize)
{
    if (user) {
        const LONG r = EnumerateAt(user, position, name, data, dataSize, valueSize);
        if (r != ERROR_NO_MORE_ITEMS)
            return r;
        const DWORD count = ValueCount(user);
        if (position < count)
            return ERROR_NO_MORE_ITEMS;
        position -= count;
    }
    if (!machine)
        return ERROR_NO_MORE_ITEMS;
    for (DWORD i = 0;; ++i) {
        const LONG r = EnumerateAt(machine, i, name, data, dataSize, valueSize);
        if (r != ERROR_SUCCESS)
            return r;
        if (Contains(user, name))
            continue;
        if (position == 0)
            return ERROR_SUCCESS;
        --position;
    }
}

LONG AccessOne(HKEY root, const char* keyPath, char* name, void* data, DWORD dataSize, int index,
               DWORD* valueSize)
{
    const REGSAM access = index == kDeleteIndex ? KEY_READ | KEY_SET_VALUE : KEY_READ;
    Key key(root, keyPath, access);
    if (!key.handle)
        return key.result;
    if (index == kDeleteIndex)
        return RegDeleteValueA(key.handle, name);
    if (index >= 1)
        return EnumerateAt(key.handle, DWORD(index - 1), name, data, dataSize, valueSize);
    return ReadByName(key.handle, name, data, dataSize, valueSize);
}

} // namespace

bool WriteRegistryValue(const char* name, const char* keyPath, const void* data, DWORD size)
{
    if (SetValue(gMachineRoot, keyPath, name, data, size)) {
        // A value of the same name saved earlier for this user only would
        // otherwise hide the one just written.
        Key user(gUserRoot, keyPath, KEY_READ | KEY_SET_VALUE);
        if (user.handle)
            RegDeleteValueA(user.handle, name);
        return true;
    }
    return SetValue(gUserRoot, keyPath, name, data, size);
}

bool WriteRegistryValue(const char* name, const void* data, DWORD size)
{
    return WriteRegistryValue(name, VELK3D_PRESET_KEY, data, size);
}

LONG AccessRegistryValue(HKEY root, const char* keyPath, char* name, void* data, DWORD dataSize,
                         int index, DWORD* valueSize)
{
    if (root != HKEY_LOCAL_MACHINE)
        return AccessOne(root, keyPath, name, data, dataSize, index, valueSize);

    if (index == kDeleteIndex) {
        const LONG fromUser = AccessOne(gUserRoot, keyPath, name, data, dataSize, index, nullptr);
        const LONG fromMachine = AccessOne(gMachineRoot, keyPath, name, data, dataSize, index, nullptr);
        return fromUser == ERROR_SUCCESS ? ERROR_SUCCESS : fromMachine;
    }

    Key user(gUserRoot, keyPath, KEY_READ);
    Key machine(gMachineRoot, keyPath, KEY_READ);
    if (!user.handle && !machine.handle)
        return machine.result;
    if (index >= 1)
        return EnumerateUnion(user.handle, machine.handle, DWORD(index - 1), name, data, dataSize,
                              valueSize);
    if (user.handle) {
        const LONG r = ReadByName(user.handle, name, data, dataSize, valueSize);
        if (r != ERROR_FILE_NOT_FOUND || !machine.handle)
            return r;
    }
    return ReadByName(machine.handle, name, data, dataSize, valueSize);
}

char* AddUserPrefix(char* name, char prefix)
{
    std::memmove(name + 1, name, std::strlen(name) + 1);
    name[0] = prefix;
    return name;
}

char* StripPresetName(char* name)
{
    if (name[0] == '>')
        std::memmove(name, name + 1, std::strlen(name)); // moves the terminator too
    size_t length = std::strlen(name);
    while (length > 0 && name[length - 1] == ' ')
        name[--length] = '\0';
    return name;
}

int ListUserPresets(const char* keyPath, int most, UserPresetName* names)
{
    int count = 0;
    // Values that are not records are passed over, not taken as the end.
    for (int index = 1; count < most && index <= kMaxRegistryValues; ++index) {
        char name[kPresetNameArea] = "";
        static unsigned char data[kPresetDataArea];
        DWORD size = 0;
        const LONG r = AccessRegistryValue(HKEY_LOCAL_MACHINE, keyPath, name, data, sizeof data,
                                           index, &size);
        if (r == ERROR_NO_MORE_ITEMS || r == ERROR_FILE_NOT_FOUND || r == ERROR_INVALID_HANDLE)
            break;
        if (r != ERROR_SUCCESS)
            continue;
        std::memcpy(names[count].name, name, sizeof name);
        std::memcpy(names[count].record, data, kPresetRecordSize);
        names[count].size = size;
        ++count;
    }
    return count;
}

void ReportError(HINSTANCE module, UINT id, HWND owner, UINT type)
{
    char text[60] = "";
    LoadStringA(module, id, text, sizeof text);
    MessageBoxA(owner, text, "ERROR", type);
}

void SetPresetStoreRoots(HKEY machine, HKEY user)
{
    gMachineRoot = machine ? machine : HKEY_LOCAL_MACHINE;
    gUserRoot = user ? user : HKEY_CURRENT_USER;
}
