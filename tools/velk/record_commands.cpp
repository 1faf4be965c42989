// velk record and velk show: settings records written from options, and
// records printed back as options.
#include <cstdio>
#include <cstring>

#include "tools/velk/quiet_stderr.h"
#include "deform/engine/deform_controls.h"
#include "tools/velk/cli_options.h"
#include "tools/velk/commands.h"
#include "tools/velk/output_file.h"
#include "tools/velk/record_file.h"
#include "tools/velk/settings_options.h"
#include "twostage/engine/preset_load.h"
#include "twostage/engine/twostage_controls.h"
#include "twostage/engine/twostage_presets.h"

namespace {

bool WriteRecord(const std::string& path, const void* record, size_t size, std::string& error)
{
    OutputTarget target;
    const auto* bytes = static_cast<const unsigned char*>(record);
    return ResolveOutput(path, target, error) &&
           ReplaceFile(target, path, std::vector<unsigned char>(bytes, bytes + size), error);
}

// The settings that show prints for a record: every control's value.
std::vector<ControlSetting> SettingsOf(const ControlTable& table, const void* record,
                                       const void* defaults)
{
    std::vector<ControlSetting> settings;
    for (int i = 0; i < table.count; ++i) {
        const ControlSpec& c = table.controls[i];
        ControlSetting s;
        std::string error;
        if (ParseControlValue(c, FormatControlValue(c, record, defaults), s, error))
            settings.push_back(s);
    }
    return settings;
}

// Byte ranges where two records differ, as "44" or "53-59, 62".
std::string DifferingBytes(const uint8_t* a, const uint8_t* b, size_t size)
{
    std::string text;
    for (size_t i = 0; i < size;) {
        if (a[i] == b[i]) {
            ++i;
            continue;
        }
        size_t end = i;
        while (end + 1 < size && a[end + 1] != b[end + 1])
            ++end;
        text += (text.empty() ? "" : ", ") + std::to_string(i) +
                (end > i ? "-" + std::to_string(end) : std::string());
        i = end + 1;
    }
    return text;
}

// The warning for bytes of a record that its options do not remake.
void CheckRemade(const void* record, const void* remade, std::vector<std::string>& warnings)
{
    const std::string bytes = DifferingBytes(static_cast<const uint8_t*>(record),
                                             static_cast<const uint8_t*>(remade), 64);
    if (!bytes.empty())
        warnings.push_back("the options do not remake bytes " + bytes +
                           " of the record (values no control sets, or outside the controls' ranges)");
}

std::string ShowVelk3d(DeformSettings record, std::vector<std::string>& warnings)
{
    DeformSettings checked = record;
    if (!VerifyDeformSettings(checked) || record.magic != kDeformMagic)
        warnings.push_back("it fails its checksum: a damaged record, shown as stored");
    const DeformSettings defaults = DefaultVelk3dRecord();
    std::string text = "velk3d " + FormatControls(DeformControls(), &record, &defaults);
    RecordCommands remake;
    remake.options3.controls = SettingsOf(DeformControls(), &record, &defaults);
    if (!(record.saveFlags & LastUsedMark)) {
        // A user preset, not "Last Used".
        remake.presetForm = true;
        remake.saveColours = record.saveFlags & SaveColour ? "on" : "off";
        remake.saveLight = record.saveFlags & SaveLightCorrection ? "on" : "off";
        text += " --save-background-color " + remake.saveColours + " --save-light-correction " +
                remake.saveLight;
    }
    std::vector<uint8_t> remade;
    std::string error;
    if (BuildRecord(remake, PresetFilter::Velk3d, remade, error))
        CheckRemade(&record, remade.data(), warnings);
    return text;
}

std::string ShowVelk2000(const TwoStageParams& record, std::vector<std::string>& warnings)
{
    if (!TwoStageChecksumValid(record))
        warnings.push_back("it fails its checksum: a damaged record, shown as stored");
    const TwoStageParams defaults = DefaultVelk2000Record();
    std::string text = "velk2000 " + FormatControls(TwoStageControls(), &record, &defaults);
    RecordCommands remake;
    remake.options2.controls = SettingsOf(TwoStageControls(), &record, &defaults);
    if (record.saveFlags & SaveFlagNoColours) {
        remake.saveColours = "off";
        text += " --save-colors off";
    }
    if (record.saveFlags & SaveFlagNoLightCorrection) {
        remake.saveLight = "off";
        text += " --save-light-correction off";
    }
    std::vector<uint8_t> remade;
    std::string error;
    if (BuildRecord(remake, PresetFilter::Velk2000, remade, error))
        CheckRemade(&record, remade.data(), warnings);
    return text;
}

} // namespace

DeformSettings DefaultVelk3dRecord()
{
    Velk3dRun run;
    std::string error;
    PrepareVelk3d(Velk3dOptions{}, 0, run, error);
    return run.record;
}

TwoStageParams DefaultVelk2000Record()
{
    return DialogRecordForFactory(kTwoStageInitialPreset);
}

void AddRecordCommands(CLI::App* parent, RecordCommands& c, bool withOutput)
{
    parent->require_subcommand(1);
    const DeformSettings defaults3 = DefaultVelk3dRecord();
    const TwoStageParams defaults2 = DefaultVelk2000Record();
    c.velk3d = parent->add_subcommand("velk3d", "velk3d's record, as Apply stores it (\"Last Used\")");
    c.velk2000 = parent->add_subcommand("velk2000", "velk2000's record, as the dialog saves a user preset");
    if (withOutput)
        for (CLI::App* app : {c.velk3d, c.velk2000})
            app->add_option("OUT", c.output, "the record file to write")->required()->check(NonEmpty);
    AddVelk3dSettings(c.velk3d, c.options3, &defaults3);
    AddVelk2000Settings(c.velk2000, c.options2, &defaults2);
    // One of the save pop-up's boxes: "on" or "off" into target.
    const auto saveBox = [&c](std::string& target) {
        return [&c, &target](const std::string& text) {
            if (text != "on" && text != "off")
                throw CLI::ValidationError("expected on or off, got \"" + text + "\"");
            c.presetForm = true;
            target = text;
        };
    };
    c.velk3d
        ->add_option_function<std::string>(
            "--save-background-color", saveBox(c.saveColours),
            "write a user preset that carries its colour (on) or not (off), as the save pop-up's "
            "\"Save Background Color\" (without this or the next: \"Last Used\")")
        ->type_name("on|off");
    c.velk2000
        ->add_option_function<std::string>("--save-colors", saveBox(c.saveColours),
                                           "on: the preset carries its colours (\"Save Color Settings\")")
        ->type_name("on|off")
        ->default_str("on");
    for (CLI::App* app : {c.velk3d, c.velk2000})
        app->add_option_function<std::string>(
               "--save-light-correction", saveBox(c.saveLight),
               "on: the preset carries its light correction (\"Save Light Correction\")")
            ->type_name("on|off")
            ->default_str("on");
}

bool BuildRecord(const RecordCommands& c, PresetFilter filter, std::vector<uint8_t>& bytes,
                 std::string& error)
{
    if (filter == PresetFilter::Velk3d) {
        Velk3dRun run;
        if (!PrepareVelk3d(c.options3, 0, run, error))
            return false;
        DeformSettings record = run.record;
        if (c.presetForm) {
            // As the dialog saves a user preset: the resolved colour and the
            // pop-up's boxes as save flags.
            for (int k = 0; k < 4; ++k)
                record.colour[k] = static_cast<uint8_t>(run.fillColour >> (8 * k));
            record.saveFlags = static_cast<uint8_t>((c.saveColours == "on" ? SaveColour : 0) |
                                                    (c.saveLight == "on" ? SaveLightCorrection : 0));
        }
        const auto* p = reinterpret_cast<const uint8_t*>(&record);
        bytes.assign(p, p + sizeof record);
        return true;
    }
    TwoStageParams record;
    std::string warning;
    if (!PrepareVelk2000(c.options2, record, error, warning))
        return false;
    if (!warning.empty())
        std::fprintf(UserErr(), "velk: warning: %s\n", warning.c_str());
    const TwoStageParams stored = StoredPreset(record, c.saveColours == "on", c.saveLight == "on");
    const auto* p = reinterpret_cast<const uint8_t*>(&stored);
    bytes.assign(p, p + sizeof stored);
    return true;
}

int RunRecord(const RecordCommands& c)
{
    std::vector<uint8_t> bytes;
    std::string error;
    const PresetFilter filter = c.velk3d->parsed() ? PresetFilter::Velk3d : PresetFilter::Velk2000;
    if (!BuildRecord(c, filter, bytes, error) || !WriteRecord(c.output, bytes.data(), bytes.size(), error))
        return Fail(error);
    return 0;
}

std::string ShowText(const std::vector<uint8_t>& bytes, const std::string& filter,
                     std::vector<std::string>& warnings)
{
    DeformSettings deform;
    TwoStageParams twoStage;
    std::memcpy(&deform, bytes.data(), sizeof deform);
    std::memcpy(&twoStage, bytes.data(), sizeof twoStage);
    return filter == "velk3d" ? ShowVelk3d(deform, warnings) : ShowVelk2000(twoStage, warnings);
}

int RunShow(const ShowCommand& c)
{
    std::vector<uint8_t> bytes(64);
    std::string error;
    if (!ReadRecordFile(c.path, bytes.data(), bytes.size(), error))
        return Fail(error);
    std::string filter = c.filter;
    if (filter.empty()) {
        // velk3d's records end with a marker; velk2000's end with a checksum
        // of the other 60 bytes. A record with neither is taken by its
        // version byte, which velk2000 always writes as 14.
        TwoStageParams twoStage;
        std::memcpy(&twoStage, bytes.data(), sizeof twoStage);
        const bool deformMarked = bytes[62] == (kDeformMagic & 0xFF) && bytes[63] == (kDeformMagic >> 8);
        const bool twoStageSums = TwoStageChecksumValid(twoStage);
        if (deformMarked != twoStageSums)
            filter = deformMarked ? "velk3d" : "velk2000";
        else
            filter = twoStage.version == kTwoStageVersion ? "velk2000" : "velk3d";
    }
    std::vector<std::string> warnings;
    std::printf("%s\n", ShowText(bytes, filter, warnings).c_str());
    for (const std::string& w : warnings)
        std::fprintf(UserErr(), "velk: warning: %s: %s\n", c.path.c_str(), w.c_str());
    return 0;
}
