// Helpers for the command line tests: run velk, make and read image files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RunResult {
    int exitCode;
    std::string out; // stdout
    std::string err; // stderr
};

// Runs the velk binary with the arguments (each one quoted for the shell);
// shell is put before the command (for example "ulimit -v 100000;").
RunResult RunVelk(const std::vector<std::string>& args, const std::string& shell = "",
                  const std::string& binary = VELK_BINARY);

// Runs velk and checks the failure contract: exit 2, a single "velk: " line
// on stderr that mentions `what`.
void ExpectFailure(const std::vector<std::string>& args, const std::string& what);

// A fresh empty folder for one test.
std::string TestFolder(const std::string& name);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
std::vector<std::string> FolderEntries(const std::string& folder);

struct Pixels {
    int width = 0, height = 0, channels = 0;
    std::vector<uint8_t> data;
};

// Writes an 8-bit image (PNG, TIFF, ... by extension).
void WritePixels(const std::string& path, const Pixels& image);
Pixels ReadPixels(const std::string& path);

// A smooth, colourful test picture.
Pixels TestPicture(int width, int height, int channels);
