#include "toolkit/popups/preset_box.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "toolkit/presetstore/preset_store.h"

void PresetNameAt(HWND box, int index, int most, char* out, size_t capacity)
{
    char text[64] = "";
    const LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, index, 0);
    if (length >= 0 && length < LRESULT(sizeof text))
        SendMessageA(box, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    if (most >= 0 && most < int(sizeof text))
        text[most] = '\0';
    std::snprintf(out, capacity, "%s", StripPresetName(text));
}

int UserPresetEntry(HWND box, const char* name)
{
    char entry[kPresetNameArea + 2];
    std::snprintf(entry, sizeof entry, ">%s", name);
    const LRESULT at = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(entry));
    return at >= 0 ? static_cast<int>(at) : -1;
}

bool ReadUserRecord(const char* keyPath, const char* name, void* record, DWORD size)
{
    char key[kPresetNameArea];
    std::snprintf(key, sizeof key, "%s", name);
    std::vector<unsigned char> read(size);
    DWORD got = 0;
    if (AccessRegistryValue(HKEY_LOCAL_MACHINE, keyPath, key, read.data(), size, 0, &got) !=
            ERROR_SUCCESS ||
        got != size)
        return false;
    std::memcpy(record, read.data(), size);
    return true;
}
