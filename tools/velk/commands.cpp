#include "tools/velk/commands.h"

#include <cstdio>

#include "deform/engine/factory_presets.h"
#include "tools/velk/colour_arg.h"

int Fail(const std::string& message)
{
    std::fprintf(stderr, "velk: %s\n", message.c_str());
    return 2;
}

namespace {

bool ParseColourOption(const char* name, const std::string& text, uint8_t rgb[3],
                       std::string& error)
{
    if (text.empty() || ParseRgb(text, rgb))
        return true;
    error = std::string(name) + ": expected R,G,B with components 0..255, got \"" + text + "\"";
    return false;
}

bool ParseFill(const std::string& text, Velk3dOptions& options, std::string& error)
{
    if (text.empty())
        options.fill = FillKind::Default;
    else if (text == "foreground")
        options.fill = FillKind::Foreground;
    else if (text == "background")
        options.fill = FillKind::Background;
    else if (text == "transparent")
        options.fill = FillKind::Transparent;
    else if (ParseRgb(text, options.fillRgb))
        options.fill = FillKind::Colour;
    else {
        error = "--fill: expected foreground, background, transparent or R,G,B, got \"" + text + "\"";
        return false;
    }
    return true;
}

} // namespace

int RunVelk3d(Velk3dCommand& c)
{
    std::string error;
    Velk3dOptions& o = c.options;
    o.lightBoost = c.lightBoost;
    o.brightness = c.brightness;
    o.saturation = c.saturation;
    if (!c.antialias.empty())
        o.antialias = c.antialias == "on";
    if (!ParseColourOption("--foreground", c.foreground, o.foreground, error) ||
        !ParseColourOption("--background", c.background, o.background, error) ||
        !ParseFill(c.fill, o, error) || !CanWriteImage(c.output, error))
        return Fail(error);

    Image image;
    if (!ReadImage(c.input, image, error))
        return Fail(error);
    std::vector<uint8_t> mask;
    if (!c.mask.empty() && !ReadMask(c.mask, image.width, image.height, mask, error))
        return Fail(error);

    Velk3dRun run;
    if (!PrepareVelk3d(o, image.channels, run, error))
        return Fail(error);

    ProgressBar bar = StartProgress("velk3d");
    std::vector<uint8_t> out;
    RenderVelk3dImage(run, image, mask, o, &bar, out);
    FinishProgress(bar);

    if (!WriteImage(c.output, image.width, image.height, image.channels, out.data(), image.spec,
                    error))
        return Fail(error);
    return 0;
}

int RunPresets()
{
    std::printf("velk3d factory presets (default Velkstone):\n");
    for (int n = 0; n < kFactoryPresetCount; ++n) {
        char name[64];
        FactoryPresetName(n, name, sizeof name);
        std::printf("  %s\n", name);
    }
    return 0;
}
