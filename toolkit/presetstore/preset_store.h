// The registry preset store: user presets and "Last Used" as binary values
// under HKEY_LOCAL_MACHINE. Where the machine key refuses a write (a standard
// user on current Windows), the value goes to the same key under
// HKEY_CURRENT_USER; reads, enumeration and deletes see the two keys as one:
// the user's values first, then the machine's values whose names are not
// already listed.
#pragma once

#include <windows.h>

#include "common/preset_keys.h"

constexpr int kPresetNameArea = 50;  // enumeration name area, terminator included
constexpr int kPresetDataArea = 500; // enumeration data area
constexpr int kDeleteIndex = 9999;

// Writes data as a REG_BINARY value, creating the key when missing. Returns
// true when the value was stored under either root.
bool WriteRegistryValue(const char* name, const char* keyPath, const void* data, DWORD size);

// velk3d's form: the key is fixed to "Software\Velk 3D\User Defined".
bool WriteRegistryValue(const char* name, const void* data, DWORD size);

// One registry access, returning the system's result code (0 = success):
// - index 0: reads the value called name into data. A value larger than
//   dataSize is not read and gives ERROR_MORE_DATA; *valueSize (optional)
//   receives the number of bytes read.
// - index >= 1: enumerates the value at position index - 1; its name goes to
//   name (kPresetNameArea characters), up to dataSize bytes of its data to
//   data, and its size to *valueSize. A name or data too long for the areas
//   fails the call; after the last value the result is ERROR_NO_MORE_ITEMS.
// - index 9999: deletes the value called name.
// A key that cannot be opened gives the open's result. HKEY_LOCAL_MACHINE
// stands for the machine and user keys seen as one.
LONG AccessRegistryValue(HKEY root, const char* keyPath, char* name, void* data, DWORD dataSize,
                         int index, DWORD* valueSize = nullptr);

// Rewrites name in place as `prefix` followed by the old name; the area must
// hold one more character.
char* AddUserPrefix(char* name, char prefix);

// Removes a leading ">" and then trailing blanks, in place.
char* StripPresetName(char* name);

// The user presets of a key as a preset box lists them: the values whose
// names and data fit the areas, in the registry's order, at most `most`,
// each with its size (a value of another size than a record is listed, and
// the dialogs refuse to load it). Values that do not fit are passed over
// without ending the list, so that a box position always names the preset
// it shows. Returns the count.
constexpr int kPresetRecordSize = 64;
constexpr int kMaxRegistryValues = 4096; // how far a list looks
constexpr int kMaxListedPresets = 100;   // the longest list a module shows
struct UserPresetName {
    char name[kPresetNameArea];
    unsigned char record[kPresetRecordSize]; // the first bytes of the value
    unsigned long size;                      // the value's size
};
int ListUserPresets(const char* keyPath, int most, UserPresetName* names);

// Shows string `id` of the module (at most 59 characters) in a message box
// captioned "ERROR" with the given type.
void ReportError(HINSTANCE module, UINT id, HWND owner, UINT type);

// For tests: the two roots that HKEY_LOCAL_MACHINE stands for. Null restores
// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER.
void SetPresetStoreRoots(HKEY machine, HKEY user);
