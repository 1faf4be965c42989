// The commands of the velk tool. Each returns the process exit code: 0, or 2
// after printing one error line.
#pragma once

#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "tools/velk/image_write.h"
#include "tools/velk/user_presets.h"
#include "tools/velk/velk2000_run.h"
#include "tools/velk/velk3d_run.h"

// What both filters' apply commands share.
struct ApplyArgs {
    std::vector<std::string> files;      // INPUT OUTPUT, or the inputs of a batch
    std::string outDir, format;          // a batch's folder, and the kind it writes
    int jobs = 0;                        // images of a batch rendered at once; 0: chosen
    std::string input, output, mask;     // one image's
    std::string foreground, background; // option texts, checked when the command runs
    bool preview = false;                // write the dialog's 364 x 360 preview instead
    ReadOptions read;                    // --page and --max-pixels
    int threads = 0;                     // whole-image render threads; 0: one a core
    EncodeSettings encode;               // --compression, --quality
};

struct Velk3dCommand {
    ApplyArgs args;
    Velk3dOptions options;
};

struct Velk2000Command {
    ApplyArgs args;
    Velk2000Options options;
};

struct DemoCommand {
    std::string input = "samples/coffee.png";
    std::string outDir = "out";
};

// velk record: both filters' subcommands and what they were given.
struct RecordCommands {
    CLI::App *velk3d = nullptr, *velk2000 = nullptr;
    Velk3dOptions options3;
    Velk2000Options options2;
    std::string output;
    // The save pop-up's two boxes: "Save Color Settings" (velk2000) or "Save
    // Background Color" (velk3d), and "Save Light Correction". velk3d writes
    // a user preset instead of "Last Used" when one of them is given, or
    // when presetForm is set.
    std::string saveColours = "on", saveLight = "on";
    bool presetForm = false;
};

struct ShowCommand {
    std::string path;
    std::string filter; // empty: recognised from the record
};


// Every command's arguments, and the parsers that fill them.
struct Commands {
    CLI::App *velk3d = nullptr, *velk2000 = nullptr;
    Velk3dCommand v3;
    Velk2000Command v2;
    RecordCommands records;
    ShowCommand show;
    std::string presetFile; // presets export and import
    DemoCommand demo;
};

// The records the commands start from without options: velk3d's first run
// on an image without alpha, and velk2000's dialog as it opens.
DeformSettings DefaultVelk3dRecord();
TwoStageParams DefaultVelk2000Record();

int RunVelk3d(Velk3dCommand& command);
int RunVelk2000(Velk2000Command& command);
int RunPresets();
// Adds velk3d and velk2000 below `parent` with their settings options (and
// the OUT argument when withOutput).
void AddRecordCommands(CLI::App* parent, RecordCommands& commands, bool withOutput);
// The record of a filter's subcommand as parsed; false with a message.
bool BuildRecord(const RecordCommands& c, PresetFilter filter, std::vector<uint8_t>& bytes,
                 std::string& error);
int RunRecord(const RecordCommands& commands);
int RunPresetsExport(const std::string& path);
int RunPresetsImport(const std::string& path);
int RunShow(const ShowCommand& command);
// A record (64 bytes) of filter ("velk3d" or "velk2000") as the options that
// remake it, starting with the filter's name; warnings for a damaged record
// and for bytes the options do not remake.
std::string ShowText(const std::vector<uint8_t>& bytes, const std::string& filter,
                     std::vector<std::string>& warnings);
int RunDemo(const DemoCommand& command);

// Prints "velk: MESSAGE" and returns 2.
int Fail(const std::string& message);
