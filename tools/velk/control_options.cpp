#include "tools/velk/control_options.h"

#include <cstring>

#include "common/rgb_text.h"
#include "tools/velk/cli_options.h"

namespace {

const char* const kSources[] = {"foreground", "background", "picker", "transparent"};

std::string Range(const ControlSpec& c)
{
    return std::to_string(c.min) + ".." + std::to_string(c.max);
}

std::string ExpectedText(const ControlSpec& c)
{
    switch (c.kind) {
    case ControlKind::Value:
        return c.count == 2 ? "X,Y, each a decimal number " + Range(c) : "a decimal number " + Range(c);
    case ControlKind::Toggle: {
        std::string text;
        for (int k = 0; k <= c.max; ++k)
            text += (k ? ", " : "") + (c.names ? std::string(c.names[k]) + " or " : "") + std::to_string(k);
        return text;
    }
    case ControlKind::Check: return "on or off";
    case ControlKind::Colour: return "foreground, background, transparent or R,G,B";
    }
    return "";
}

std::string TypeName(const ControlSpec& c)
{
    switch (c.kind) {
    case ControlKind::Value: return c.count == 2 ? "X,Y" : "N";
    case ControlKind::Toggle: {
        std::string text;
        for (int k = 0; k <= c.max; ++k)
            text += (k ? "|" : "") + (c.names ? std::string(c.names[k]) : std::to_string(k));
        return text;
    }
    case ControlKind::Check: return "on|off";
    case ControlKind::Colour: return "COLOUR";
    }
    return "";
}

bool ParseNumbers(const ControlSpec& c, const std::string& text, ControlSetting& s)
{
    const size_t comma = text.find(',');
    if ((c.count == 2) != (comma != std::string::npos))
        return false;
    int64_t value;
    if (c.count == 1)
        return ParseDecimal(text, c.min, c.max, value) && ((s.value[0] = int32_t(value)), true);
    if (!ParseDecimal(text.substr(0, comma), c.min, c.max, value))
        return false;
    s.value[0] = int32_t(value);
    if (!ParseDecimal(text.substr(comma + 1), c.min, c.max, value))
        return false;
    s.value[1] = int32_t(value);
    return true;
}

bool ParseColour(const std::string& text, ControlSetting& s)
{
    // "R,G,B" is a colour of the picker; "SOURCE" keeps the record's red,
    // green and blue; "SOURCE:R,G,B" sets them too (they are what the picker
    // shows, and the colour a source falls back to).
    if (ParseRgb(text, s.rgb)) {
        s.value[0] = 2;
        s.hasRgb = true;
        return true;
    }
    const size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    for (int k = 0; k < 4; ++k)
        if (name == kSources[k]) {
            s.value[0] = k;
            s.hasRgb = colon != std::string::npos;
            return !s.hasRgb || ParseRgb(text.substr(colon + 1), s.rgb);
        }
    return false;
}

std::string DefaultText(const ControlSpec& c, const void* defaults)
{
    return defaults ? FormatControlValue(c, defaults, defaults) : std::string();
}

} // namespace

bool ParseControlValue(const ControlSpec& c, const std::string& text, ControlSetting& s,
                       std::string& error)
{
    s = ControlSetting{};
    s.control = &c;
    bool ok = false;
    switch (c.kind) {
    case ControlKind::Value: ok = ParseNumbers(c, text, s); break;
    case ControlKind::Toggle:
        for (int k = 0; k <= c.max && !ok; ++k)
            if (text == std::to_string(k) || (c.names && text == c.names[k])) {
                s.value[0] = k;
                ok = true;
            }
        break;
    case ControlKind::Check:
        ok = text == "on" || text == "off";
        s.value[0] = text == "on";
        break;
    case ControlKind::Colour: ok = ParseColour(text, s); break;
    }
    if (!ok)
        error = "--" + std::string(c.option) + ": expected " + ExpectedText(c) + ", got \"" + text + "\"";
    return ok;
}

void AddControlOptions(CLI::App* app, const ControlTable& table, const void* defaults,
                       std::vector<ControlSetting>& settings)
{
    for (int i = 0; i < table.count; ++i) {
        const ControlSpec& c = table.controls[i];
        std::string names = "--" + std::string(c.option);
        if (c.alias)
            names += ",--" + std::string(c.alias);
        std::string help = std::string(c.caption) + ": " + ExpectedText(c);
        app->add_option_function<std::string>(
                names,
                [&c, &settings](const std::string& text) {
                    ControlSetting s;
                    std::string error;
                    if (!ParseControlValue(c, text, s, error))
                        throw CLI::ValidationError(error);
                    settings.push_back(s);
                },
                help)
            ->type_name(TypeName(c))
            ->default_str(DefaultText(c, defaults))
            ->group("Controls");
    }
}

void ApplyControlSettings(void* record, const std::vector<ControlSetting>& settings)
{
    for (const ControlSetting& s : settings) {
        const ControlSpec& c = *s.control;
        if (c.kind != ControlKind::Colour) {
            for (int k = 0; k < c.count; ++k)
                WriteControlValue(record, c.value[k], s.value[k]);
            continue;
        }
        WriteControlValue(record, c.value[0], s.value[0]);
        if (s.hasRgb)
            std::memcpy(static_cast<uint8_t*>(record) + c.value[1].offset, s.rgb, 3);
    }
}

std::string FormatControlValue(const ControlSpec& c, const void* record, const void* defaults)
{
    const int32_t first = ReadControlValue(record, c.value[0]);
    switch (c.kind) {
    case ControlKind::Value:
        return c.count == 2 ? std::to_string(first) + "," +
                                  std::to_string(ReadControlValue(record, c.value[1]))
                            : std::to_string(first);
    case ControlKind::Toggle:
        return c.names && first >= c.min && first <= c.max ? c.names[first] : std::to_string(first);
    case ControlKind::Check: return first ? "on" : "off";
    case ControlKind::Colour: {
        const uint8_t* rgb = static_cast<const uint8_t*>(record) + c.value[1].offset;
        const uint8_t* base = static_cast<const uint8_t*>(defaults) + c.value[1].offset;
        std::string text = std::to_string(rgb[0]) + ",";
        text += std::to_string(rgb[1]) + "," + std::to_string(rgb[2]);
        if (first == 2)
            return text;
        const std::string source = kSources[first & 3];
        return std::memcmp(rgb, base, 3) == 0 ? source : source + ":" + text;
    }
    }
    return "";
}

std::string FormatControls(const ControlTable& table, const void* record, const void* defaults)
{
    std::string text;
    for (int i = 0; i < table.count; ++i) {
        const ControlSpec& c = table.controls[i];
        text += (i ? " --" : "--") + std::string(c.option) + " " +
                FormatControlValue(c, record, defaults);
    }
    return text;
}

const ControlSetting* TransparentSetting(const std::vector<ControlSetting>& settings)
{
    for (const ControlSetting& s : settings)
        if (s.control->kind == ControlKind::Colour && s.value[0] == 3)
            return &s;
    return nullptr;
}
