// velk: applies the Velk filters to image files.
//
//   velk apply velk3d [options] INPUT OUTPUT
//   velk apply velk2000 [options] INPUT OUTPUT
//   velk presets
//   velk demo [--input FILE] [--out DIR]
//
// Bad input gives one error line on stderr and exit code 2.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>

#include "tools/velk/commands.h"

namespace {

// The arguments and options both filters take.
void AddApplyArgs(CLI::App* app, ApplyArgs& args)
{
    app->add_option("INPUT", args.input, "input image (PNG, JPEG, TIFF, ...)")->required();
    app->add_option("OUTPUT", args.output, "output image; its extension selects the format")
        ->required();
    app->add_option("--foreground", args.foreground, "host foreground colour (default 0,0,0)")
        ->type_name("R,G,B");
    app->add_option("--background", args.background,
                    "host background colour (default 255,255,255)")
        ->type_name("R,G,B");
    app->add_option("--mask", args.mask,
                    "greyscale selection of the image's size, 255 = selected");
    app->add_flag("--preview", args.preview,
                  "write the 364 x 360 preview the filter's dialog shows, instead of the image");
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"velk: the Velk image filters on image files\n"
                 "  velk3d    woven, bevelled 3D tiles\n"
                 "  velk2000  two stages of folded, shaded strips"};
    app.require_subcommand(1);

    CLI::App* apply = app.add_subcommand("apply", "apply a filter to an image file");
    apply->require_subcommand(1);

    Velk3dCommand v3;
    CLI::App* velk3d = apply->add_subcommand(
        "velk3d", "woven, bevelled 3D tiles, as the plug-in renders on its first run");
    AddApplyArgs(velk3d, v3.args);
    auto* preset3 = velk3d->add_option("--preset", v3.options.preset,
                                       "factory preset (see `velk presets`)")
                        ->default_str("Velkstone");
    velk3d->add_option("--record", v3.options.recordPath,
                       "a stored 64-byte settings record to apply instead of a preset")
        ->excludes(preset3);
    velk3d->add_option("--light-boost", v3.lightBoost, "Light Boosting 0..100 (default 30)")
        ->check(CLI::Range(0, 100));
    velk3d->add_option("--brightness", v3.brightness, "Brightness Ratio 0..100 (default 20)")
        ->check(CLI::Range(0, 100));
    velk3d->add_option("--saturation", v3.saturation, "Saturation 0..100 (default 10)")
        ->check(CLI::Range(0, 100));
    velk3d->add_option("--antialias", v3.antialias, "smooth tile and selection edges (default on)")
        ->check(CLI::IsMember({"on", "off"}));
    velk3d->add_option("--fill", v3.fill,
                       "colour behind the tiles: foreground, background, transparent or R,G,B "
                       "(default 227,217,203; transparent on images with alpha)");

    Velk2000Command v2;
    CLI::App* velk2000 = apply->add_subcommand(
        "velk2000", "two stages of folded strips, as the plug-in renders when OK is pressed at once");
    AddApplyArgs(velk2000, v2.args);
    auto* preset2 = velk2000->add_option("--preset", v2.options.preset,
                                         "factory preset (see `velk presets`)")
                        ->default_str("e-Flowers");
    velk2000->add_option("--record", v2.options.recordPath,
                         "a stored 64-byte settings record, loaded as a user preset")
        ->excludes(preset2);

    app.add_subcommand("presets", "list the factory presets");

    DemoCommand demo;
    CLI::App* demoApp = app.add_subcommand(
        "demo", "render a photograph with every factory preset, plus a contact sheet");
    demoApp->add_option("--input", demo.input, "photograph")->default_str(demo.input);
    demoApp->add_option("--out", demo.outDir, "output folder")->default_str(demo.outDir);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0)
            return app.exit(e); // --help
        std::fprintf(stderr, "velk: %s\n", e.what());
        return 2;
    }

    if (velk3d->parsed())
        return RunVelk3d(v3);
    if (velk2000->parsed())
        return RunVelk2000(v2);
    if (app.got_subcommand("presets"))
        return RunPresets();
    return RunDemo(demo);
}
