// What both dialogs' preset boxes do alike: the name shown at an entry, the
// entry of a user preset, and a user preset read afresh by its name.
#pragma once

#include <windows.h>

#include <cstddef>

// The text of entry `index`, at most `most` characters, without the ">"
// prefix and trailing blanks, into out (capacity bytes).
void PresetNameAt(HWND box, int index, int most, char* out, size_t capacity);

// The entry ">" + name, or -1.
int UserPresetEntry(HWND box, const char* name);

// Reads the user preset `name` under keyPath into record; false when it is
// gone or is not exactly `size` bytes long.
bool ReadUserRecord(const char* keyPath, const char* name, void* record, DWORD size);
