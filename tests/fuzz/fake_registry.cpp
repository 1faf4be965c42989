#include "tests/fuzz/fake_registry.h"

#include <strings.h>

#include <cstring>

#include "tests/fuzz/fake_windows/windows.h"

FakeRegistryKey gFakeMachine, gFakeUser;

namespace {

FakeRegistryKey* Of(HKEY key)
{
    if (key == HKEY_LOCAL_MACHINE)
        return &gFakeMachine;
    if (key == HKEY_CURRENT_USER)
        return &gFakeUser;
    return nullptr;
}

FakeValue* Find(FakeRegistryKey& key, LPCSTR name)
{
    const char* n = name ? name : "";
    for (FakeValue& v : key.values)
        if (strcasecmp(v.name.c_str(), n) == 0)
            return &v;
    return nullptr;
}

// Copies data as the registry does: the size is always reported; a buffer
// too small gets nothing and ERROR_MORE_DATA.
LONG CopyData(const FakeValue& v, BYTE* data, LPDWORD size)
{
    const DWORD need = DWORD(v.data.size());
    if (!size)
        return data ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
    if (data && *size < need) {
        *size = need;
        return ERROR_MORE_DATA;
    }
    if (data && need)
        std::memcpy(data, v.data.data(), need);
    *size = need;
    return ERROR_SUCCESS;
}

} // namespace

void AddFakeValue(FakeRegistryKey& key, const std::string& name, const std::vector<unsigned char>& data)
{
    if (!Find(key, name.c_str()))
        key.values.push_back(FakeValue{name, data});
}

// An open key is the root's handle itself: the store opens one path only.
LONG RegOpenKeyExA(HKEY root, LPCSTR, DWORD, REGSAM, PHKEY key)
{
    FakeRegistryKey* k = Of(root);
    if (!k || !k->exists)
        return ERROR_FILE_NOT_FOUND;
    *key = root;
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExA(HKEY root, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, const SECURITY_ATTRIBUTES*, PHKEY key,
                     LPDWORD)
{
    FakeRegistryKey* k = Of(root);
    if (!k)
        return ERROR_INVALID_HANDLE;
    k->exists = true;
    *key = root;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY)
{
    return ERROR_SUCCESS;
}

LONG RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, BYTE* data, LPDWORD size)
{
    FakeRegistryKey* k = Of(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    const FakeValue* v = Find(*k, name);
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = REG_BINARY;
    return CopyData(*v, data, size);
}

LONG RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD, const BYTE* data, DWORD size)
{
    FakeRegistryKey* k = Of(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    std::vector<unsigned char> bytes(data, data + size);
    if (FakeValue* v = Find(*k, name))
        v->data = bytes;
    else
        k->values.push_back(FakeValue{name ? name : "", bytes});
    return ERROR_SUCCESS;
}

LONG RegDeleteValueA(HKEY key, LPCSTR name)
{
    FakeRegistryKey* k = Of(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    for (size_t i = 0; i < k->values.size(); ++i)
        if (strcasecmp(k->values[i].name.c_str(), name ? name : "") == 0) {
            k->values.erase(k->values.begin() + long(i));
            return ERROR_SUCCESS;
        }
    return ERROR_FILE_NOT_FOUND;
}

// The name area counts its terminator going in and not coming out; a name
// or data that does not fit gives ERROR_MORE_DATA.
LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameLength, LPDWORD, LPDWORD type, BYTE* data,
                   LPDWORD size)
{
    FakeRegistryKey* k = Of(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    if (index >= k->values.size())
        return ERROR_NO_MORE_ITEMS;
    const FakeValue& v = k->values[index];
    if (v.name.size() + 1 > *nameLength)
        return ERROR_MORE_DATA;
    std::memcpy(name, v.name.c_str(), v.name.size() + 1);
    *nameLength = DWORD(v.name.size());
    if (type)
        *type = REG_BINARY;
    return CopyData(v, data, size);
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD, LPDWORD values, LPDWORD,
                      LPDWORD, LPDWORD, void*)
{
    FakeRegistryKey* k = Of(key);
    if (!k)
        return ERROR_INVALID_HANDLE;
    if (values)
        *values = DWORD(k->values.size());
    return ERROR_SUCCESS;
}

int LoadStringA(HINSTANCE, UINT, LPSTR text, int size)
{
    if (size > 0)
        text[0] = '\0';
    return 0;
}

int MessageBoxA(HWND, LPCSTR, LPCSTR, UINT)
{
    return 1;
}
