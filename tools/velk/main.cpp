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
#include <new>
#include <string>

#include "tools/velk/cli_options.h"
#include "tools/velk/commands.h"
#include "tools/velk/output_file.h"

namespace {

// The arguments and options both filters take.
void AddApplyArgs(CLI::App* app, ApplyArgs& args)
{
    app->add_option("INPUT", args.input, "input image (PNG, JPEG, TIFF, ...)")
        ->required()
        ->check(NonEmpty);
    app->add_option("OUTPUT", args.output, "output image; its extension selects the format")
        ->required()
        ->check(NonEmpty);
    app->add_option("--foreground", args.foreground, "host foreground colour (default 0,0,0)")
        ->type_name("R,G,B")
        ->check(NonEmpty);
    app->add_option("--background", args.background,
                    "host background colour (default 255,255,255)")
        ->type_name("R,G,B")
        ->check(NonEmpty);
    app->add_option("--mask", args.mask,
                    "selection of the image's size, 255 = selected: its alpha channel when it "
                    "has one, else its luminance")
        ->check(NonEmpty);
    app->add_flag("--preview", args.preview,
                  "write the 364 x 360 preview the filter's dialog shows, instead of the image");
    AddDecimalOption(app, "--page", args.read.page, 1, 1000000,
                     "the page or frame of a multi-page input to render (1 = the first)");
    AddDecimalOption(app, "--max-pixels", args.read.maxPixels, 1, int64_t(32767) * 32767,
                     "refuse images larger than this many pixels (default " +
                         std::to_string(kDefaultMaxPixels) + ")");
    AddDecimalOption(app, "--threads", args.threads, 1, 256,
                     "threads that share the render (default: one a core); the output is the "
                     "same for any number");
    AddDecimalOption(app, "--compression", args.pngLevel, 0, 9,
                     "zlib level of a PNG output, 0..9 (default " +
                         std::to_string(kDefaultPngLevel) + ": fast; 9: smallest file, slowest)");
}

// The command chosen on the command line.
int Run(CLI::App* velk3d, Velk3dCommand& v3, CLI::App* velk2000, Velk2000Command& v2,
        CLI::App& app, const DemoCommand& demo)
{
    if (velk3d->parsed())
        return RunVelk3d(v3);
    if (velk2000->parsed())
        return RunVelk2000(v2);
    if (app.got_subcommand("presets"))
        return RunPresets();
    return RunDemo(demo);
}

// The command line read and carried out; its exit code.
int Main(int argc, char** argv)
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
                        ->default_str("Velkstone")
                        ->check(NonEmpty);
    velk3d->add_option("--record", v3.options.recordPath,
                       "a stored 64-byte settings record to apply instead of a preset")
        ->excludes(preset3)
        ->check(NonEmpty);
    AddDecimalOption(velk3d, "--light-boost", v3.lightBoost, 0, 100,
                     "Light Boosting 0..100 (default 30)");
    AddDecimalOption(velk3d, "--brightness", v3.brightness, 0, 100,
                     "Brightness Ratio 0..100 (default 20)");
    AddDecimalOption(velk3d, "--saturation", v3.saturation, 0, 100,
                     "Saturation 0..100 (default 10)");
    velk3d->add_option("--antialias", v3.antialias, "smooth tile and selection edges (default on)")
        ->check(CLI::IsMember({"on", "off"}));
    velk3d->add_option("--fill", v3.fill,
                       "colour behind the tiles: foreground, background, transparent or R,G,B "
                       "(default 227,217,203; transparent on images with alpha)")
        ->check(NonEmpty);

    Velk2000Command v2;
    CLI::App* velk2000 = apply->add_subcommand(
        "velk2000", "two stages of folded strips, as the plug-in renders when OK is pressed at once");
    AddApplyArgs(velk2000, v2.args);
    auto* preset2 = velk2000->add_option("--preset", v2.options.preset,
                                         "factory preset (see `velk presets`)")
                        ->default_str("e-Flowers")
                        ->check(NonEmpty);
    velk2000->add_option("--record", v2.options.recordPath,
                         "a stored 64-byte settings record, loaded as a user preset")
        ->excludes(preset2)
        ->check(NonEmpty);

    app.add_subcommand("presets", "list the factory presets");

    DemoCommand demo;
    CLI::App* demoApp = app.add_subcommand(
        "demo", "render a photograph with every factory preset, plus a contact sheet");
    demoApp->add_option("--input", demo.input, "photograph")->default_str(demo.input)->check(NonEmpty);
    demoApp->add_option("--out", demo.outDir, "output folder")->default_str(demo.outDir)->check(NonEmpty);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0)
            return app.exit(e); // --help
        std::fprintf(stderr, "velk: %s\n", e.what());
        return 2;
    }

    // Errors are one line: the libraries' pending messages are never printed
    // at exit, and no exception reaches the user.
    OIIO::attribute("oiio:print_uncaught_errors", 0);
    InstallSignalCleanup();
    try {
        return Run(velk3d, v3, velk2000, v2, app, demo);
    } catch (const std::bad_alloc&) {
        return Fail("out of memory");
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}

} // namespace

int main(int argc, char** argv)
{
    // No exception leaves the program: setting up the options, or reporting
    // an error, can itself fail (out of memory), and an escaped exception
    // would end it with an abort instead of one error line.
    try {
        return Main(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("velk: out of memory\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velk: %s\n", e.what());
    } catch (...) {
        std::fputs("velk: unexpected error\n", stderr);
    }
    return 2;
}
