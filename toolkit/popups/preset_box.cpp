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

void SelectPreset(PresetList& list, int position)
{
    list.position = position;
    SendMessageA(list.box, CB_SETCURSEL, position, 0);
}

void TakePresetName(PresetList& list, int most)
{
    PresetNameAt(list.box, list.position, most, list.name, sizeof list.name);
}

bool ChooseSaveEntry(PresetList& list, int saveEntry)
{
    list.previous = list.position;
    list.position = static_cast<int>(SendMessageA(list.box, CB_GETCURSEL, 0, 0));
    if (list.position != saveEntry)
        return false;
    SelectPreset(list, list.previous);
    return true;
}

void SelectSavedPreset(PresetList& list, const char* name)
{
    const int at = UserPresetEntry(list.box, name);
    SelectPreset(list, at >= 0 ? at : list.previous);
}

bool SaveUserPreset(HWND owner, const char* keyPath, const char* name, const void* record, DWORD size)
{
    if (WriteRegistryValue(name, keyPath, record, size))
        return true;
    char text[kPresetNameArea + 80];
    std::snprintf(text, sizeof text, "Unable to save User Preset '%s': the registry refused it.", name);
    MessageBoxA(owner, text, "ERROR", MB_OK | MB_ICONERROR);
    return false;
}

bool DeleteUserPreset(const char* keyPath, const char* name)
{
    char key[kPresetNameArea + 1];
    std::snprintf(key, sizeof key, "%s", name);
    return AccessRegistryValue(HKEY_LOCAL_MACHINE, keyPath, key, nullptr, 0, kDeleteIndex) ==
           ERROR_SUCCESS;
}
