// What both dialogs' preset boxes do alike: where the box stands, the name
// shown at an entry, the entry of a user preset, the choice of an entry, and
// a user preset read afresh by its name or deleted.
#pragma once

#include <windows.h>

#include <cstddef>

#include "toolkit/presetstore/preset_store.h"

// A dialog's preset box: the user presets it lists (first, with a prefix),
// the entry chosen and the one before it, and the name of the preset in use.
struct PresetList {
    HWND box;
    UserPresetName users[kMaxListedPresets];
    int userCount, position, previous;
    char name[21];
};

// Selects the entry at position.
void SelectPreset(PresetList& list, int position);
// The chosen entry's text, at most `most` characters, as the preset's name.
void TakePresetName(PresetList& list, int most);
// CBN_SELCHANGE: the entry chosen becomes the position. True when it is the
// save entry at saveEntry: the box shows the entry before it again.
bool ChooseSaveEntry(PresetList& list, int saveEntry);
// After a save, with the box filled again: the saved preset's entry is
// selected, or the one chosen before the save entry when it is not listed.
void SelectSavedPreset(PresetList& list, const char* name);
// Stores record as the user preset `name` under keyPath. When the registry
// refuses it, a message box over owner says so and the result is false.
bool SaveUserPreset(HWND owner, const char* keyPath, const char* name, const void* record, DWORD size);
// Deletes the user preset `name` under keyPath; false when it cannot.
bool DeleteUserPreset(const char* keyPath, const char* name);

// The text of entry `index`, at most `most` characters, without the ">"
// prefix and trailing blanks, into out (capacity bytes).
void PresetNameAt(HWND box, int index, int most, char* out, size_t capacity);

// The entry ">" + name, or -1.
int UserPresetEntry(HWND box, const char* name);

// Reads the user preset `name` under keyPath into record; false when it is
// gone or is not exactly `size` bytes long.
bool ReadUserRecord(const char* keyPath, const char* name, void* record, DWORD size);
