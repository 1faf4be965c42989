// The user presets of the command line: the registry values of both
// modules' keys, kept in one registry file, so that presets move between a
// Windows machine and Linux by export and import. The file is
// $VELK_PRESETS, else $XDG_CONFIG_HOME/velk/presets.reg, else
// ~/.config/velk/presets.reg.
#pragma once

#include <string>
#include <vector>

#include "tools/velk/reg_file.h"

enum class PresetFilter { Velk3d, Velk2000 };

const char* FilterName(PresetFilter filter);

struct UserPreset {
    PresetFilter filter;
    std::string name;
    std::vector<uint8_t> record; // 64 bytes
};

std::string UserPresetsPath();

// The stored presets; none when the file does not exist. False with a
// message when it exists and cannot be read.
bool LoadUserPresets(std::vector<UserPreset>& presets, std::string& error);

// Replaces the file (and makes its folder) with these presets, completely
// or not at all.
bool SaveUserPresets(const std::vector<UserPreset>& presets, std::string& error);

// The presets among registry values: those under either module's key, from
// the machine's or the user's hive (a 32-bit module's values under
// WOW6432Node included). Values that a module would not load (not one
// record long, or a name longer than a module lists) are left out with a
// warning each.
std::vector<UserPreset> PresetsFromRegistry(const std::vector<RegValue>& values,
                                            std::vector<std::string>& warnings);

// Registry values of the presets, under HKEY_CURRENT_USER: the modules read
// the user's values first, and importing them needs no administrator.
std::vector<RegValue> RegistryFromPresets(const std::vector<UserPreset>& presets);

// Adds or replaces (same filter and name) each preset of `added`.
void MergePresets(std::vector<UserPreset>& presets, const std::vector<UserPreset>& added);

const UserPreset* FindUserPreset(const std::vector<UserPreset>& presets, PresetFilter filter,
                                 const std::string& name);
