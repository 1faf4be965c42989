#include "tools/velk/commands.h"

#include <cstdio>

#include "tools/velk/output_file.h"

#include "deform/engine/factory_presets.h"
#include "common/rgb_text.h"
#include "twostage/engine/twostage_presets.h"

int Fail(const std::string& message)
{
    std::fprintf(stderr, "velk: %s\n", message.c_str());
    return 2;
}

namespace {

// An empty text is an option not given (the command line refuses empty values).
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

struct Input {
    Image image;
    std::vector<uint8_t> mask; // empty without a selection
};

// Checks the host colours and the output, then reads the image and the
// selection. One page of a file with several is never written over it.
bool ReadInput(const ApplyArgs& args, uint8_t foreground[3], uint8_t background[3], Input& in,
               std::string& error)
{
    OutputTarget target;
    if (!ParseColourOption("--foreground", args.foreground, foreground, error) ||
        !ParseColourOption("--background", args.background, background, error) ||
        !CanWriteImage(args.output, error) || !ResolveOutput(args.output, target, error) ||
        !ReadImage(args.input, args.read, in.image, error))
        return false;
    for (const std::string& warning : in.image.warnings)
        std::fprintf(stderr, "velk: warning: %s\n", warning.c_str());
    if (in.image.pages > 1 && target.exists && SameFile(args.input, target.path)) {
        error = "cannot write " + args.output + ": it is the input, whose other " +
                std::to_string(in.image.pages - 1) + " pages or frames would be lost";
        return false;
    }
    return args.mask.empty() || ReadMask(args.mask, args.read.maxPixels, in.image.width,
                                         in.image.height, in.mask, error);
}

int WriteResult(const ApplyArgs& args, const Image& image, const std::vector<uint8_t>& pixels)
{
    std::string error;
    const bool ok = args.preview ? WriteImage(args.output, kPreviewWidth, kPreviewHeight, 3,
                                              pixels.data(), image.spec, error, args.pngLevel)
                                 : WriteImage(args.output, image.width, image.height,
                                              image.channels, pixels.data(), image.spec, error,
                                              args.pngLevel);
    return ok ? 0 : Fail(error);
}

} // namespace

int RunVelk3d(Velk3dCommand& c)
{
    std::string error;
    Velk3dOptions& o = c.options;
    o.lightBoost = c.lightBoost;
    o.brightness = c.brightness;
    o.saturation = c.saturation;
    o.threads = c.args.threads;
    if (!c.antialias.empty())
        o.antialias = c.antialias == "on";
    Input in;
    Velk3dRun run;
    if (!ParseFill(c.fill, o, error) || !ReadInput(c.args, o.foreground, o.background, in, error) ||
        !PrepareVelk3d(o, in.image.channels, run, error))
        return Fail(error);

    std::vector<uint8_t> out;
    if (c.args.preview) {
        PreviewImage preview = ReducePreview(in.image, in.mask);
        RenderVelk3dPreview(run, in.image.channels, !in.mask.empty(), o, preview);
        out = PreviewResultRgb(preview);
    } else {
        ProgressBar bar = StartProgress("velk3d");
        RenderVelk3dImage(run, in.image, in.mask, o, &bar, out);
        FinishProgress(bar);
    }
    return WriteResult(c.args, in.image, out);
}

int RunVelk2000(Velk2000Command& c)
{
    std::string error, warning;
    Velk2000Options& o = c.options;
    o.threads = c.args.threads;
    Input in;
    TwoStageParams record;
    if (!ReadInput(c.args, o.foreground, o.background, in, error) ||
        !PrepareVelk2000(o, record, error, warning))
        return Fail(error);
    if (!warning.empty())
        std::fprintf(stderr, "velk: warning: %s\n", warning.c_str());

    std::vector<uint8_t> out;
    if (c.args.preview) {
        PreviewImage preview = ReducePreview(in.image, in.mask);
        RenderVelk2000Preview(record, in.image.channels, !in.mask.empty(), o, preview);
        out = PreviewResultRgb(preview);
    } else {
        ProgressBar bar = StartProgress("velk2000");
        RenderVelk2000Image(record, in.image, in.mask, o, &bar, out);
        FinishProgress(bar);
    }
    return WriteResult(c.args, in.image, out);
}

int RunPresets()
{
    std::printf("velk3d factory presets (default Velkstone):\n");
    for (int n = 0; n < kFactoryPresetCount; ++n) {
        char name[64];
        FactoryPresetName(n, name, sizeof name);
        std::printf("  %s\n", name);
    }
    std::printf("velk2000 factory presets (default e-Flowers):\n");
    for (int n = 0; n < kTwoStageFactoryCount; ++n)
        std::printf("  %s\n", TwoStageFactoryName(n));
    return 0;
}
