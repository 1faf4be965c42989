// Helpers of the module tests: the built modules, the "Last Used" registry
// value, settings records and the native velk tool (Wine starts Linux
// programs too, so the tests can compare the modules with it directly).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/windows/harness/host_harness.h"
#include "toolkit/layout/scale.h"

// Windows paths of the built modules: this build's, and the other Windows
// architecture's (from its build tree, read as files only).
std::string Velk3dModule();
std::string Velk2000Module();
std::string Velk3dOtherModule();
std::string Velk2000OtherModule();

// A Windows path of the source tree (for example "samples\\coffee.png").
std::string SourceFile(const std::string& relative);

// A Windows path as the Linux side sees it (Z:\a\b -> /a/b).
std::string UnixPath(const std::string& windowsPath);

// "Last Used" under HKEY_LOCAL_MACHINE\Software\Velk 3D\User Defined.
void SetLastUsed(const std::vector<uint8_t>& bytes);
void DeleteLastUsed();

// A velk3d settings record with the given slider values; the checksum is
// filled in (the sum of the 16 values) and the magic is 0x1234.
struct RecordValues {
    int16_t valueX[8];
    int16_t valueY[8];
    uint8_t styleBits, antialias, colourSource;
    uint8_t colour[3];
    uint8_t saveFlags, saturation;
};
std::vector<uint8_t> MakeRecord(const RecordValues& v);

// Runs the native velk tool with Linux-path arguments; returns its exit code
// and fills output with what it printed. environment ("NAME=value ", shell
// quoted) comes before the command.
unsigned long RunNativeVelk(const std::vector<std::string>& args, std::string& output,
                            const std::string& environment = "");

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Runs velkhost with a UI script (written to the folder as ui.txt).
HostRun RunScripted(const std::string& args, const std::string& folder, const std::string& script);

// "Last Used" as stored, or empty when there is none.
std::vector<uint8_t> ReadLastUsed();

// User presets of velk2000, by name (the record as stored, or empty).
void SetUserPreset2000(const std::string& name, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadUserPreset2000(const std::string& name);
void DeleteUserPresets2000();

// User presets of velk3d, by name.
void SetUserPreset3d(const std::string& name, const std::vector<uint8_t>& bytes);
void DeleteUserPresets3d();

// The command line's picture of input with the test colours 200,30,40 and
// 30,60,90 and the given options, written to output (a Windows path).
Pixels CliPicture(const std::string& filter, const std::vector<std::string>& options,
                  const std::string& input, const std::string& output,
                  const std::string& environment = "");

// Control id -> rectangle, from a UI script's "rects" file.
struct ControlBox {
    long left = 0, top = 0, right = 0, bottom = 0;
};
// The screen's scaling of this run: VELK_DPI, 96 when unset.
Scale TestScale();
// A capture's control rectangles, in layout pixels.
std::map<int, ControlBox> ReadRects(const std::string& path);

// How many bytes of two images differ (all of them when the sizes differ).
size_t DifferingBytes(const Pixels& a, const Pixels& b);
// The part of a capture at (x, y), width x height, as an RGB picture: a box
// of layout pixels from a capture in device pixels.
Pixels Crop(const Pixels& p, int x, int y, int width, int height);
std::vector<uint8_t> ReadBytes(const std::string& path);
