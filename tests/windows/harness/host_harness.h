// Helpers of velkhost's tests: running velkhost.exe as a child process,
// reading its summary line, the probe's log, and small PNG files.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A parsed JSON value (just enough for the summary line).
struct JsonValue {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> fields;

    const JsonValue& operator[](const std::string& key) const; // Null when absent
    const JsonValue& operator[](size_t i) const;
    int Int() const { return int(number); }
    std::vector<int> Ints() const;
};

bool ParseJson(const std::string& text, JsonValue& out);

struct HostRun {
    unsigned long exitCode = 0;
    std::string output;   // stdout and stderr
    std::string summary;  // the JSON after "VELKHOST "
    JsonValue json;
    double seconds = 0;
};

// Runs velkhost with the arguments (already quoted where needed).
HostRun RunHost(const std::string& args);

// A Linux path of the build tree as Wine sees it (Z:\...).
std::string WinPath(const std::string& unixPath);
std::string Quote(const std::string& s);

// A fresh folder for the current test; returns its Windows path with a
// trailing backslash.
std::string TestFolder();

struct Pixels {
    int width = 0, height = 0, channels = 0;
    std::vector<uint8_t> bytes;
    uint8_t* At(int x, int y) { return bytes.data() + (size_t(y) * width + x) * channels; }
    const uint8_t* At(int x, int y) const { return bytes.data() + (size_t(y) * width + x) * channels; }
};

bool SavePixels(const std::string& path, const Pixels& p);
Pixels LoadPixels(const std::string& path); // channels as stored; width 0 on failure

// The probe's log: lines of "word key=value ...". Find returns the words of
// the first line starting with `head` (empty when there is none).
struct ProbeLog {
    std::vector<std::string> lines;
    std::map<std::string, std::string> Find(const std::string& head) const;
    int Count(const std::string& head) const;
};
ProbeLog ReadProbeLog(const std::string& path);

// Sets the probe's environment for the following runs.
void SetProbe(const std::string& action, const std::string& logPath);
