// velk: applies the Velk filters to image files.
//
//   velk apply velk3d [options] INPUT OUTPUT
//   velk presets
//   velk demo [--input FILE] [--out DIR]
//
// Bad input gives one error line on stderr and exit code 2.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>

#include "tools/velk/commands.h"

namespace {

// Adds "--NAME R,G,B" storing the text; it is checked when the command runs.
CLI::Option* AddColourOption(CLI::App* app, const std::string& name, std::string& text,
                             const std::string& help)
{
    return app->add_option(name, text, help)->type_name("R,G,B");
}

} // namespace

int main(int argc, char** argv)
{
    CLI::App app{"velk: the Velk image filters (velk3d: woven, bevelled 3D tiles) on image files"};
    app.require_subcommand(1);

    CLI::App* apply = app.add_subcommand("apply", "apply a filter to an image file");
    apply->require_subcommand(1);

    Velk3dCommand v3;
    CLI::App* velk3d = apply->add_subcommand(
        "velk3d", "woven, bevelled 3D tiles, as the plug-in renders on its first run");
    velk3d->add_option("INPUT", v3.input, "input image (PNG, JPEG, TIFF, ...)")->required();
    velk3d->add_option("OUTPUT", v3.output, "output image; its extension selects the format")
        ->required();
    auto* preset = velk3d->add_option("--preset", v3.options.preset,
                                      "factory preset (see `velk presets`)")
                       ->default_str("Velkstone");
    velk3d->add_option("--record", v3.options.recordPath,
                       "a stored 64-byte settings record to apply instead of a preset")
        ->excludes(preset);
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
    AddColourOption(velk3d, "--foreground", v3.foreground, "host foreground colour (default 0,0,0)");
    AddColourOption(velk3d, "--background", v3.background,
                    "host background colour (default 255,255,255)");
    velk3d->add_option("--mask", v3.mask, "greyscale selection of the image's size, 255 = selected");

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
    if (app.got_subcommand("presets"))
        return RunPresets();
    return RunDemo(demo);
}
