// Reading a module's PiPL resource the way a strict host does: properties are
// walked by their length field without rounding, and only what a filter menu
// needs is kept.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Image modes velkhost can offer a module: the PiPL `mode` flag, the name the
// `enbl` expression uses and the FilterRecord imageMode value.
struct HostMode {
    const char* option;   // "rgb", "grey"
    uint16_t modeFlag;    // 0x1000 RGB, 0x4000 greyscale
    const char* enblName; // "RGBMode", "GrayScaleMode"
    int16_t imageMode;    // 3 RGB, 1 greyscale
    int planes;           // planes of an image without transparency
};

const HostMode* FindHostMode(const std::string& option);
const HostMode& RgbMode();

struct PiplProperty {
    std::string vendor; // four-character codes as read (e.g. "8BIM")
    std::string key;
    uint32_t offset = 0; // of the property header within the resource
    std::vector<uint8_t> data;
};

struct PiplInfo {
    std::vector<uint8_t> bytes; // the raw resource
    std::vector<PiplProperty> properties;
    std::string error; // set when the resource is missing or malformed
    std::string kind, name, category, entry, enbl;
    bool hasName = false, hasCategory = false, hasEntry = false, hasMode = false, hasEnbl = false;
    uint16_t modeFlags = 0;
};

// The code property key of velkhost's own architecture: "8664" or "wx86".
const char* OwnCodeKey();

// Parses resource bytes into `info` (error set when malformed).
void ParsePipl(const std::vector<uint8_t>& bytes, PiplInfo& info);

// Loads the module as a data file (no code runs) and parses its PiPL.
PiplInfo ReadModulePipl(const std::wstring& path);

// Why a host would not list the module as a filter ("" when it is a filter).
std::string FilterRefusal(const PiplInfo& info);

// Why the filter is disabled for the image mode ("" when it is enabled).
std::string ModeRefusal(const PiplInfo& info, const HostMode& mode);

// True when an `enbl` expression enables the mode. Understands terms of the
// form "in (PSHOP_ImageMode, A, B, ...)" joined by "||"; anything else is
// reported through `error` and counts as not enabled.
bool EnblAllows(const std::string& expr, const HostMode& mode, std::string& error);
