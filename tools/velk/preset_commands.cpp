// velk presets: the factory and user presets listed, and user presets moved
// in and out as registry files or as text (name = options, one a line).
#include <cstdio>
#include <fstream>
#include <sstream>

#include "tools/velk/quiet_stderr.h"
#include "deform/engine/factory_presets.h"
#include "tools/velk/commands.h"
#include "tools/velk/image_file.h"
#include "tools/velk/output_file.h"
#include "tools/velk/user_presets.h"
#include "twostage/engine/twostage_presets.h"

namespace {

bool EndsWith(const std::string& s, const std::string& end)
{
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error)
{
    if (!IsRegularFile(path, "presets file", error))
        return false;
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    bytes = text.str();
    return true;
}

// Words of an options text: blanks separate them, double quotes keep blanks
// within one ("--preset \"Lonely Hearts\"").
std::vector<std::string> SplitWords(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    bool quoted = false, any = false;
    for (char c : text) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && (c == ' ' || c == '\t')) {
            if (any)
                words.push_back(word);
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any)
        words.push_back(word);
    return words;
}

std::string Trim(const std::string& s)
{
    const size_t a = s.find_first_not_of(" \t\r");
    const size_t b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// One line of the text form: NAME = FILTER OPTIONS..., the options as
// `velk record` takes them (and as `velk show` prints them).
bool PresetFromLine(const std::string& line, UserPreset& preset, std::string& error)
{
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
        error = "expected NAME = velk3d|velk2000 OPTIONS...";
        return false;
    }
    preset.name = Trim(line.substr(0, equals));
    std::vector<std::string> words = SplitWords(line.substr(equals + 1));
    if (preset.name.empty() || words.empty() || (words[0] != "velk3d" && words[0] != "velk2000")) {
        error = "expected NAME = velk3d|velk2000 OPTIONS...";
        return false;
    }
    preset.filter = words[0] == "velk3d" ? PresetFilter::Velk3d : PresetFilter::Velk2000;
    CLI::App app;
    RecordCommands commands;
    AddRecordCommands(&app, commands, false);
    try {
        app.parse(std::vector<std::string>(words.rbegin(), words.rend()));
    } catch (const CLI::ParseError& e) {
        error = e.what();
        return false;
    }
    // A line is a preset to choose in the box: velk3d's carries its colour
    // and light correction unless its options say otherwise.
    commands.presetForm = true;
    return BuildRecord(commands, preset.filter, preset.record, error);
}

bool ParseTextPresets(const std::string& text, const std::string& path,
                      std::vector<UserPreset>& presets, std::string& error)
{
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        UserPreset preset;
        if (!PresetFromLine(trimmed, preset, error)) {
            std::string message = path;
            message += " line " + std::to_string(number) + ": ";
            message += error;
            error = message;
            return false;
        }
        MergePresets(presets, {preset});
    }
    return true;
}

// The text form: every preset as the options that remake its record.
void FormatTextPresets(const std::vector<UserPreset>& presets, std::string& text)
{
    text = "# velk user presets: NAME = FILTER OPTIONS (as `velk record` takes them)\n";
    for (const UserPreset& p : presets) {
        std::vector<std::string> warnings;
        text += p.name + " = " + ShowText(p.record, FilterName(p.filter), warnings) + "\n";
        for (const std::string& w : warnings)
            std::fprintf(UserErr(), "velk: warning: %s preset \"%s\": %s\n", FilterName(p.filter),
                         p.name.c_str(), w.c_str());
    }
}

} // namespace

int RunPresets()
{
    std::vector<UserPreset> users;
    std::string error;
    if (!LoadUserPresets(users, error))
        std::fprintf(UserErr(), "velk: warning: %s\n", error.c_str());
    const auto listUsers = [&](PresetFilter filter) {
        bool first = true;
        for (const UserPreset& u : users)
            if (u.filter == filter) {
                if (first)
                    std::printf("%s user presets (%s):\n", FilterName(filter), UserPresetsPath().c_str());
                first = false;
                std::printf("  >%s\n", u.name.c_str());
            }
    };
    std::printf("velk3d factory presets (default Velkstone):\n");
    for (int n = 0; n < kFactoryPresetCount; ++n) {
        char name[64];
        FactoryPresetName(n, name, sizeof name);
        std::printf("  %s\n", name);
    }
    listUsers(PresetFilter::Velk3d);
    std::printf("velk2000 factory presets (default e-Flowers):\n");
    for (int n = 0; n < kTwoStageFactoryCount; ++n)
        std::printf("  %s\n", TwoStageFactoryName(n));
    listUsers(PresetFilter::Velk2000);
    return 0;
}

int RunPresetsExport(const std::string& path)
{
    std::vector<UserPreset> presets;
    std::string error, text;
    if (!LoadUserPresets(presets, error))
        return Fail(error);
    if (EndsWith(path, ".txt")) {
        FormatTextPresets(presets, text);
    } else {
        text = FormatRegFile(RegistryFromPresets(presets));
    }
    OutputTarget target;
    if (!ResolveOutput(path, target, error) ||
        !ReplaceFile(target, path, std::vector<unsigned char>(text.begin(), text.end()), error))
        return Fail(error);
    std::fprintf(UserErr(), "velk: %zu presets written to %s\n", presets.size(), path.c_str());
    return 0;
}

int RunPresetsImport(const std::string& path)
{
    std::string bytes, error;
    if (!ReadWholeFile(path, bytes, error))
        return Fail(error);
    std::vector<UserPreset> added;
    std::vector<RegValue> values;
    std::string regError;
    if (ParseRegFile(bytes, values, regError)) {
        std::vector<std::string> warnings;
        added = PresetsFromRegistry(values, warnings);
        for (const std::string& w : warnings)
            std::fprintf(UserErr(), "velk: warning: %s: %s\n", path.c_str(), w.c_str());
    } else if (regError.rfind("not a registry file", 0) != 0) {
        return Fail(path + ": " + regError);
    } else if (!ParseTextPresets(bytes, path, added, error)) {
        return Fail(error);
    }
    std::vector<UserPreset> presets;
    if (!LoadUserPresets(presets, error))
        return Fail(error);
    MergePresets(presets, added);
    if (!SaveUserPresets(presets, error))
        return Fail(error);
    std::fprintf(UserErr(), "velk: %zu presets imported into %s\n", added.size(), UserPresetsPath().c_str());
    return 0;
}
