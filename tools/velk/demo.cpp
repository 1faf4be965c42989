// The demo: one photograph rendered with every factory preset, and a contact
// sheet of the results with their names.

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "deform/engine/factory_presets.h"
#include "twostage/engine/twostage_presets.h"
#include "tools/velk/commands.h"
#include "tools/velk/contact_sheet.h"

namespace {

// "Front Bricks" -> "front-bricks"
std::string Slug(const std::string& name)
{
    std::string slug;
    for (char ch : name) {
        if (std::isalnum(static_cast<unsigned char>(ch)))
            slug += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
    }
    while (!slug.empty() && slug.back() == '-')
        slug.pop_back();
    return slug;
}

struct Rendered {
    std::string label;
    std::vector<uint8_t> pixels;
};

} // namespace

namespace {

bool Save(const DemoCommand& command, const std::string& filter, const std::string& name,
          const Image& image, const std::vector<uint8_t>& pixels, std::string& error)
{
    const std::string path = command.outDir + "/" + filter + "-" + Slug(name) + ".png";
    if (!WriteImage(path, image.width, image.height, image.channels, pixels.data(), image.spec,
                    error))
        return false;
    std::printf("wrote %s\n", path.c_str());
    return true;
}

} // namespace

int RunDemo(const DemoCommand& command)
{
    std::string error;
    Image image;
    if (!ReadImage(command.input, ReadOptions{}, image, error))
        return Fail(error);
    std::error_code failed;
    if (!std::filesystem::create_directory(command.outDir, failed) && failed &&
        !std::filesystem::is_directory(command.outDir))
        return Fail("cannot create " + command.outDir + ": " + failed.message());

    std::vector<Rendered> results;
    for (int n = 0; n < kFactoryPresetCount; ++n) {
        char name[64];
        FactoryPresetName(n, name, sizeof name);
        Velk3dOptions options;
        options.preset = name;
        Velk3dRun run;
        if (!PrepareVelk3d(options, image.channels, run, error))
            return Fail(error);
        ProgressBar bar = StartProgress("velk3d " + std::string(name));
        Rendered r{std::string("velk3d: ") + name, {}};
        RenderVelk3dImage(run, image, {}, options, ReportProgress, &bar, r.pixels);
        FinishProgress(bar);
        if (!Save(command, "velk3d", name, image, r.pixels, error))
            return Fail(error);
        results.push_back(std::move(r));
    }
    const size_t columns = 5;
    while (results.size() % columns != 0)
        results.push_back({"", {}}); // velk2000 starts a new row
    for (int n = 0; n < kTwoStageFactoryCount; ++n) {
        const std::string name = TwoStageFactoryName(n);
        Velk2000Options options;
        options.preset = name;
        TwoStageParams record;
        std::string warning;
        if (!PrepareVelk2000(options, record, error, warning))
            return Fail(error);
        ProgressBar bar = StartProgress("velk2000 " + name);
        Rendered r{"velk2000: " + name, {}};
        RenderVelk2000Image(record, image, {}, options, ReportProgress, &bar, r.pixels);
        FinishProgress(bar);
        if (!Save(command, "velk2000", name, image, r.pixels, error))
            return Fail(error);
        results.push_back(std::move(r));
    }

    std::vector<SheetEntry> entries;
    entries.reserve(results.size());
    for (const Rendered& r : results)
        entries.push_back({r.label, image.width, image.height, image.channels,
                           r.pixels.empty() ? nullptr : r.pixels.data()});
    const Sheet sheet = MakeContactSheet("Velk factory presets", entries, int32_t(columns), 320);
    const std::string sheetPath = command.outDir + "/contact-sheet.png";
    if (!WriteImage(sheetPath, sheet.width, sheet.height, 3, sheet.pixels.data(), ImageMetadata(),
                    error))
        return Fail(error);
    std::printf("wrote %s\n", sheetPath.c_str());
    return 0;
}
