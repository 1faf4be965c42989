// The commands of the velk tool. Each returns the process exit code: 0, or 2
// after printing one error line.
#pragma once

#include <optional>
#include <string>

#include "tools/velk/image_write.h"
#include "tools/velk/velk2000_run.h"
#include "tools/velk/velk3d_run.h"

// What both filters' apply commands share.
struct ApplyArgs {
    std::string input, output, mask;
    std::string foreground, background; // option texts, checked when the command runs
    bool preview = false;                // write the dialog's 364 x 360 preview instead
    ReadOptions read;                    // --page and --max-pixels
    int threads = 0;                     // whole-image render threads; 0: one a core
    int pngLevel = kDefaultPngLevel;     // --compression
};

struct Velk3dCommand {
    ApplyArgs args;
    Velk3dOptions options;
    std::optional<int> lightBoost, brightness, saturation;
    std::string antialias, fill;
};

struct Velk2000Command {
    ApplyArgs args;
    Velk2000Options options;
};

struct DemoCommand {
    std::string input = "samples/coffee.png";
    std::string outDir = "out";
};

int RunVelk3d(Velk3dCommand& command);
int RunVelk2000(Velk2000Command& command);
int RunPresets();
int RunDemo(const DemoCommand& command);

// Prints "velk: MESSAGE" and returns 2.
int Fail(const std::string& message);
