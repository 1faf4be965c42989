#include "tools/velk/settings_options.h"

#include <cstring>

#include "deform/engine/deform_controls.h"
#include "deform/engine/factory_presets.h"
#include "tools/velk/cli_options.h"
#include "twostage/engine/twostage_controls.h"
#include "twostage/engine/twostage_presets.h"

namespace {

CLI::Option* AddSeedOption(CLI::App* app, const std::string& name, std::optional<uint32_t>& seed,
                           const std::string& help)
{
    return app
        ->add_option_function<std::string>(
            name,
            [&seed, name](const std::string& text) {
                int64_t value;
                if (!ParseDecimal(text, 0, UINT32_MAX, value))
                    throw CLI::ValidationError(name + ": expected a seed 0..4294967295, got \"" +
                                               text + "\"");
                seed = static_cast<uint32_t>(value);
            },
            help)
        ->type_name("SEED");
}

bool IsFactoryPreset(PresetFilter filter, const std::string& name)
{
    return filter == PresetFilter::Velk3d ? FindFactoryPreset(name.c_str()) >= 0
                                          : FindTwoStageFactory(name.c_str()) >= 0;
}

std::string PresetNames(PresetFilter filter, const std::vector<UserPreset>& users)
{
    std::string names = filter == PresetFilter::Velk3d ? Velk3dPresetNames() : Velk2000PresetNames();
    for (const UserPreset& u : users)
        if (u.filter == filter)
            names += ", >" + u.name;
    return names;
}

// --preset NAME: a factory preset (name kept in `preset`), or a user preset
// from the user presets file (its record in userRecord; an unknown name is
// refused with the list of presets); or --record FILE instead.
void AddStartOptions(CLI::App* app, PresetFilter filter, std::string& preset,
                     std::vector<uint8_t>& userRecord, std::string& recordPath,
                     const char* initial, const char* recordHelp)
{
    CLI::Option* presetOption =
        app->add_option_function<std::string>(
            "--preset",
            [filter, &preset, &userRecord](const std::string& text) {
                // A factory preset by its name; a user preset by its name, or
                // by ">" and its name as the preset box lists it.
                if (text.empty())
                    throw CLI::ValidationError("--preset", "empty value");
                const bool user = text[0] == '>';
                const std::string name = user ? text.substr(1) : text;
                if (!user && IsFactoryPreset(filter, name)) {
                    preset = name;
                    return;
                }
                std::vector<UserPreset> users;
                std::string error;
                if (!LoadUserPresets(users, error))
                    throw CLI::ValidationError(error);
                if (const UserPreset* found = FindUserPreset(users, filter, name)) {
                    userRecord = found->record;
                    preset = name;
                    return;
                }
                throw CLI::ValidationError("unknown " + std::string(FilterName(filter)) +
                                           " preset \"" + name + "\" (presets: " +
                                           PresetNames(filter, users) + ")");
            },
            "a factory preset, or a user preset (see `velk presets`)")
            ->type_name("NAME")
            ->default_str(initial);
    app->add_option("--record", recordPath, recordHelp)->excludes(presetOption)->check(NonEmpty);
}

} // namespace

// velk3d's starting point and its controls, for apply and record.
void AddVelk3dSettings(CLI::App* app, Velk3dOptions& options, const void* defaults)
{
    AddStartOptions(app, PresetFilter::Velk3d, options.preset, options.userPreset, options.recordPath,
                    "Velkstone", "a stored 64-byte settings record to start from instead of a preset");
    AddControlOptions(app, DeformControls(), defaults, options.controls);
}

// velk2000's starting point, its tools and its controls.
void AddVelk2000Settings(CLI::App* app, Velk2000Options& options, const void* defaults)
{
    AddStartOptions(app, PresetFilter::Velk2000, options.preset, options.userPreset,
                    options.recordPath, "e-Flowers",
                    "a stored 64-byte settings record, loaded as a user preset");
    const char* tools = "Tools (used on the starting record, in this order, before the controls)";
    AddSeedOption(app, "--dice", options.dice,
                  "random settings and colours, as the Dice makes them; the same seed gives the "
                  "same settings")
        ->group(tools);
    AddSeedOption(app, "--colour-variations", options.colourVariations,
                  "random shadow colours, as the small die makes them")
        ->group(tools);
    app->add_option_function<std::string>(
           "--bypass",
           [&options](const std::string& text) {
               if (text != "1" && text != "2")
                   throw CLI::ValidationError("--bypass: expected 1 or 2, got \"" + text + "\"");
               options.bypass[text == "2"] = true;
           },
           "switch a stage off: its G-Shading, S-Shading and Stretch go neutral (may be given twice)")
        ->type_name("1|2")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->group(tools);
    AddDecimalOption(app, "--spacing-steps", options.spacingSteps, -30, 30,
                     "press Increase spacing N times (each x1.414), or Decrease for a negative N")
        ->allow_extra_args(false)
        ->group(tools);
    app->add_flag("--flip", options.flip, "the Diagonal flip: rows become columns")->group(tools);
    AddControlOptions(app, TwoStageControls(), defaults, options.controls);
}

