// The dialogs' controls as command-line options: one option per control of a
// filter's control table, checked as the widget limits it, written into a
// settings record; and a record printed back as the options that remake it.
#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "common/control_table.h"

// One control given on the command line, parsed.
struct ControlSetting {
    const ControlSpec* control = nullptr;
    int32_t value[2] = {0, 0}; // Value, Toggle, Check: the numbers; Colour: value[0] is the source
    bool hasRgb = false;       // Colour: red, green and blue were given
    uint8_t rgb[3] = {0, 0, 0};
};

// Adds an option for every control of the table. Each given option appends
// its parsed setting to `settings`, in command-line order; a value outside
// the control's range is refused with a message that names the range.
// `defaults` is the record the command starts from without options: its
// values are shown in --help.
void AddControlOptions(CLI::App* app, const ControlTable& table, const void* defaults,
                       std::vector<ControlSetting>& settings);

// Parses a control's value text: "N", "X,Y", "on"/"off", a toggle's state
// name or number, or a colour (see ColourHelp). False with a message.
bool ParseControlValue(const ControlSpec& control, const std::string& text,
                       ControlSetting& setting, std::string& error);

// Writes the settings into the record, in order.
void ApplyControlSettings(void* record, const std::vector<ControlSetting>& settings);

// The setting of a control in this record, as ParseControlValue reads it;
// a colour's red, green and blue are written as "SOURCE:R,G,B" unless the
// source is the picker (then "R,G,B") or they equal those of `defaults`.
std::string FormatControlValue(const ControlSpec& control, const void* record,
                               const void* defaults);

// "--name value" for every control of the table, separated by blanks.
std::string FormatControls(const ControlTable& table, const void* record, const void* defaults);

// The settings of a colour that the image cannot show: "transparent" on an
// image without alpha. Null when there is none.
const ControlSetting* TransparentSetting(const std::vector<ControlSetting>& settings);
