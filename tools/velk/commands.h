// The commands of the velk tool. Each returns the process exit code: 0, or 2
// after printing one error line.
#pragma once

#include <optional>
#include <string>

#include "tools/velk/velk3d_run.h"

struct Velk3dCommand {
    std::string input, output, mask;
    Velk3dOptions options;
    // Option texts, checked when the command runs.
    std::optional<int> lightBoost, brightness, saturation;
    std::string antialias, fill, foreground, background;
};

struct DemoCommand {
    std::string input = "samples/coffee.png";
    std::string outDir = "out";
};

int RunVelk3d(Velk3dCommand& command);
int RunPresets();
int RunDemo(const DemoCommand& command);

// Prints "velk: MESSAGE" and returns 2.
int Fail(const std::string& message);
