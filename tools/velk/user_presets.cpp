#include "tools/velk/user_presets.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/preset_keys.h"
#include "tools/velk/output_file.h"

namespace {

namespace fs = std::filesystem;

const char kUserRoot[] = "HKEY_CURRENT_USER\\";

std::string Lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool StartsWith(const std::string& s, const std::string& prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

// The key path below its hive, as the modules name it, or empty for a key of
// another hive.
std::string BelowHive(const std::string& key)
{
    std::string k = Lower(key);
    std::string rest;
    for (const char* hive : {"hkey_local_machine\\", "hkey_current_user\\", "hklm\\", "hkcu\\"})
        if (StartsWith(k, hive))
            rest = k.substr(std::string(hive).size());
    if (StartsWith(k, "hkey_users\\")) {
        const size_t user = k.find('\\', 11);
        if (user != std::string::npos)
            rest = k.substr(user + 1);
    }
    // A 32-bit program's view of the machine's software key.
    if (StartsWith(rest, "software\\wow6432node\\"))
        rest = "software\\" + rest.substr(21);
    return rest;
}

} // namespace

const char* FilterName(PresetFilter filter)
{
    return filter == PresetFilter::Velk3d ? "velk3d" : "velk2000";
}

std::string UserPresetsPath()
{
    if (const char* path = std::getenv("VELK_PRESETS"); path && *path)
        return path;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/velk/presets.reg";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : ".") + "/.config/velk/presets.reg";
}

bool LoadUserPresets(std::vector<UserPreset>& presets, std::string& error)
{
    presets.clear();
    const std::string path = UserPresetsPath();
    std::error_code ec;
    if (!fs::exists(path, ec))
        return true;
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::vector<RegValue> values;
    if (!in || !ParseRegFile(bytes.str(), values, error)) {
        error = "cannot read the user presets " + path + (error.empty() ? "" : ": " + error);
        return false;
    }
    std::vector<std::string> warnings;
    presets = PresetsFromRegistry(values, warnings);
    return true;
}

bool SaveUserPresets(const std::vector<UserPreset>& presets, std::string& error)
{
    const std::string path = UserPresetsPath();
    std::error_code ec;
    const fs::path folder = fs::path(path).parent_path();
    if (!folder.empty() && !fs::is_directory(folder, ec) && !fs::create_directories(folder, ec)) {
        error = "cannot make the folder " + folder.string() + ": " + ec.message();
        return false;
    }
    const std::string text = FormatRegFile(RegistryFromPresets(presets));
    OutputTarget target;
    return ResolveOutput(path, target, error) &&
           ReplaceFile(target, path, std::vector<unsigned char>(text.begin(), text.end()), error);
}

std::vector<UserPreset> PresetsFromRegistry(const std::vector<RegValue>& values,
                                            std::vector<std::string>& warnings)
{
    const std::string keys[2] = {Lower(VELK3D_PRESET_KEY), Lower(VELK2000_PRESET_KEY)};
    std::vector<UserPreset> presets;
    for (const RegValue& v : values) {
        const std::string below = BelowHive(v.key);
        if (below != keys[0] && below != keys[1])
            continue;
        const PresetFilter filter = below == keys[0] ? PresetFilter::Velk3d : PresetFilter::Velk2000;
        const std::string what = std::string(FilterName(filter)) + " preset \"" + v.name + "\"";
        if (v.data.size() != 64) {
            warnings.push_back(what + " is " + std::to_string(v.data.size()) +
                               " bytes, not a 64-byte record: left out");
            continue;
        }
        if (v.name.empty() || v.name.size() > static_cast<size_t>(kMaxListedName)) {
            warnings.push_back(what + ": a name of 1 to " + std::to_string(kMaxListedName) +
                               " characters is needed: left out");
            continue;
        }
        MergePresets(presets, {UserPreset{filter, v.name, v.data}});
    }
    return presets;
}

std::vector<RegValue> RegistryFromPresets(const std::vector<UserPreset>& presets)
{
    std::vector<RegValue> values;
    for (PresetFilter filter : {PresetFilter::Velk3d, PresetFilter::Velk2000})
        for (const UserPreset& p : presets)
            if (p.filter == filter)
                values.push_back(RegValue{std::string(kUserRoot) +
                                              (filter == PresetFilter::Velk3d ? VELK3D_PRESET_KEY
                                                                              : VELK2000_PRESET_KEY),
                                          p.name, p.record});
    return values;
}

void MergePresets(std::vector<UserPreset>& presets, const std::vector<UserPreset>& added)
{
    for (const UserPreset& a : added) {
        bool replaced = false;
        for (UserPreset& p : presets)
            if (p.filter == a.filter && p.name == a.name) {
                p.record = a.record;
                replaced = true;
            }
        if (!replaced)
            presets.push_back(a);
    }
}

const UserPreset* FindUserPreset(const std::vector<UserPreset>& presets, PresetFilter filter,
                                 const std::string& name)
{
    for (const UserPreset& p : presets)
        if (p.filter == filter && p.name == name)
            return &p;
    return nullptr;
}
