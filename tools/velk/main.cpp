// velk: applies the Velk filters to image files.
//
//   velk apply velk3d [options] INPUT OUTPUT
//   velk apply velk2000 [options] INPUT OUTPUT
//   velk record velk3d|velk2000 [options] OUT
//   velk show RECORD
//   velk presets
//   velk demo [--input FILE] [--out DIR]
//
// Bad input gives one error line on stderr and exit code 2.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <new>
#include <string>

#include "tools/velk/quiet_stderr.h"
#include "deform/engine/deform_controls.h"
#include "tools/velk/cli_options.h"
#include "tools/velk/commands.h"
#include "tools/velk/output_file.h"
#include "tools/velk/settings_options.h"
#include "twostage/engine/twostage_controls.h"

namespace {

// The arguments and options both filters take.
void AddApplyArgs(CLI::App* app, ApplyArgs& args)
{
    app->add_option("FILES", args.files,
                    "INPUT OUTPUT: the image (PNG, JPEG, TIFF, ...) and the output, whose "
                    "extension selects the format; or INPUT... with --out-dir")
        ->required()
        ->check(NonEmpty);
    app->add_option("--out-dir", args.outDir,
                    "a batch: write every INPUT into this folder under its own name")
        ->type_name("DIR")
        ->check(NonEmpty);
    app->add_option("--format", args.format, "a batch's output kind, e.g. jpg (default: the input's)")
        ->type_name("EXT")
        ->check(NonEmpty);
    AddDecimalOption(app, "--jobs", args.jobs, 1, 64,
                     "images of a batch rendered at once (default: half the cores, at least 2)");
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
                     "threads that share the render and a PNG's compression (default: one a "
                     "core); the output is the same for any number");
    AddDecimalOption(app, "--quality", args.encode.quality, 1, 100,
                     "quality of a JPEG or WebP output, 1..100 (default " +
                         std::to_string(kDefaultQuality) + ")");
    AddDecimalOption(app, "--compression", args.encode.pngLevel, 0, 9,
                     "deflate level of a PNG output, 0..9 (default " +
                         std::to_string(kDefaultPngLevel) + ": fast; 9: smallest file, slowest)");
}

// The command chosen on the command line.
int Run(Commands& c, CLI::App& app)
{
    if (c.velk3d->parsed())
        return RunVelk3d(c.v3);
    if (c.velk2000->parsed())
        return RunVelk2000(c.v2);
    if (app.got_subcommand("record"))
        return RunRecord(c.records);
    if (app.got_subcommand("show"))
        return RunShow(c.show);
    if (app.got_subcommand("presets")) {
        CLI::App* presets = app.get_subcommand("presets");
        if (presets->got_subcommand("export"))
            return RunPresetsExport(c.presetFile);
        if (presets->got_subcommand("import"))
            return RunPresetsImport(c.presetFile);
        return RunPresets();
    }
    return RunDemo(c.demo);
}

// The command line read and carried out; its exit code.
int Main(int argc, char** argv)
{
    UserErr(); // the user's stderr, taken before any image library can capture it
    CLI::App app{"velk: the Velk image filters on image files\n"
                 "  velk3d    woven, bevelled 3D tiles\n"
                 "  velk2000  two stages of folded, shaded strips"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "velk " VELK_VERSION);
    Commands c;
    const DeformSettings defaults3 = DefaultVelk3dRecord();
    const TwoStageParams defaults2 = DefaultVelk2000Record();

    CLI::App* apply = app.add_subcommand("apply", "apply a filter to an image file");
    apply->require_subcommand(1);
    c.velk3d = apply->add_subcommand(
        "velk3d", "woven, bevelled 3D tiles, as the plug-in renders on its first run, with the "
                  "controls given set as in its dialog");
    AddApplyArgs(c.velk3d, c.v3.args);
    AddVelk3dSettings(c.velk3d, c.v3.options, &defaults3);
    c.velk2000 = apply->add_subcommand(
        "velk2000", "two stages of folded strips, as the plug-in renders when OK is pressed, with "
                    "the tools and controls given used as in its dialog");
    AddApplyArgs(c.velk2000, c.v2.args);
    AddVelk2000Settings(c.velk2000, c.v2.options, &defaults2);

    CLI::App* record = app.add_subcommand(
        "record", "write the 64-byte settings record that the plug-in stores for these settings");
    AddRecordCommands(record, c.records, true);

    CLI::App* show = app.add_subcommand(
        "show", "print a settings record as the options that remake it with `velk record`");
    show->add_option("RECORD", c.show.path, "a 64-byte settings record")->required()->check(NonEmpty);
    show->add_option("--filter", c.show.filter, "read it as this filter's record (default: recognised)")
        ->check(CLI::IsMember({"velk3d", "velk2000"}));

    CLI::App* presets = app.add_subcommand(
        "presets", "list the factory and user presets, or move user presets in and out");
    CLI::App* exportApp = presets->add_subcommand(
        "export", "write the user presets to a registry file (FILE.reg) that regedit or "
                  "`reg import` takes on Windows, or as text (FILE.txt: name = options)");
    exportApp->add_option("FILE", c.presetFile, "the file to write")->required()->check(NonEmpty);
    CLI::App* importApp = presets->add_subcommand(
        "import", "add the presets of a registry file (as regedit exports the modules' keys) "
                  "or of a text file (name = options, one a line) to the user presets");
    importApp->add_option("FILE", c.presetFile, "the file to read")->required()->check(NonEmpty);

    CLI::App* demoApp = app.add_subcommand(
        "demo", "render a photograph with every factory preset, plus a contact sheet");
    demoApp->add_option("--input", c.demo.input, "photograph")->default_str(c.demo.input)->check(NonEmpty);
    demoApp->add_option("--out", c.demo.outDir, "output folder")->default_str(c.demo.outDir)->check(NonEmpty);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == 0)
            return app.exit(e); // --help
        std::fprintf(UserErr(), "velk: %s\n", e.what());
        return 2;
    }

    // Errors are one line: no exception reaches the user.
    InstallSignalCleanup();
    try {
        return Run(c, app);
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
        std::fputs("velk: out of memory\n", UserErr());
    } catch (const std::exception& e) {
        std::fprintf(UserErr(), "velk: %s\n", e.what());
    } catch (...) {
        std::fputs("velk: unexpected error\n", UserErr());
    }
    return 2;
}
