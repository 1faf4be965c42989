// Where the modules keep their user presets: registry keys under
// HKEY_LOCAL_MACHINE (or HKEY_CURRENT_USER where the machine refuses a
// write), one binary value of one settings record per preset. velk3d's key
// also holds "Last Used", the settings of its last confirmed run. The
// command line reads and writes the same keys in registry files.
#pragma once

#define VELK2000_PRESET_KEY "Software\\Orchwell\\Velk2000"
#define VELK3D_PRESET_KEY "Software\\Velk 3D\\User Defined"
#define VELK3D_LAST_USED "Last Used"

// The longest preset name a module lists (its enumeration area less the
// terminator).
constexpr int kMaxListedName = 49;
