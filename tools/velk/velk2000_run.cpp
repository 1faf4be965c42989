#include "tools/velk/velk2000_run.h"

#include <cstdio>
#include <cstring>

#include "common/row_workers.h"
#include "host/host_record.h"
#include "tools/velk/record_file.h"
#include "toolkit/preview/preview_scale.h"
#include "twostage/engine/preset_load.h"
#include "twostage/engine/render_twostage.h"
#include "twostage/engine/twostage_presets.h"
#include "twostage/shell/twostage_panel.h"
#include "twostage/shell/twostage_tools.h"

std::string Velk2000PresetNames()
{
    std::string names;
    for (int n = 0; n < kTwoStageFactoryCount; ++n)
        names += (n ? ", " : "") + std::string(TwoStageFactoryName(n));
    return names;
}

namespace {

// Loaded as the preset box loads a user preset into the dialog as it opens.
bool LoadUserRecord(const std::vector<uint8_t>& bytes, const std::string& what,
                    TwoStageParams& record, std::string& error, std::string& warning)
{
    TwoStageParams loaded;
    if (bytes.size() != sizeof loaded) {
        error = what + " is not a 64-byte record";
        return false;
    }
    std::memcpy(&loaded, bytes.data(), sizeof loaded);
    if (!TwoStageChecksumValid(loaded)) {
        error = what + " fails its checksum (corrupted preset or incompatible version)";
        return false;
    }
    const TwoStageParams before = DialogRecordForFactory(kTwoStageInitialPreset);
    if (FinishPresetLoad(loaded, before))
        warning = what + " is of a version greater than 1.4: some settings will be ignored";
    ReadBackCheckBoxes(loaded);
    record = loaded;
    return true;
}

bool LoadStartRecord(const Velk2000Options& options, TwoStageParams& record, std::string& error,
                     std::string& warning)
{
    if (!options.userPreset.empty())
        return LoadUserRecord(options.userPreset, "user preset \"" + options.preset + "\"", record,
                              error, warning);
    if (options.recordPath.empty()) {
        const int n = FindTwoStageFactory(options.preset.c_str());
        if (n < 0) {
            error = "unknown velk2000 preset \"" + options.preset + "\" (presets: " +
                    Velk2000PresetNames() + ")";
            return false;
        }
        record = DialogRecordForFactory(n);
        return true;
    }

    std::vector<uint8_t> bytes(sizeof record);
    return ReadRecordFile(options.recordPath, bytes.data(), bytes.size(), error) &&
           LoadUserRecord(bytes, "record " + options.recordPath, record, error, warning);
}

bool UsesTools(const Velk2000Options& o)
{
    return o.dice || o.colourVariations || o.bypass[0] || o.bypass[1] || o.spacingSteps != 0 || o.flip;
}

// The tools work on the dialog's widgets, as the buttons do: the record goes
// into a panel and is read back from it.
void UseTools(const Velk2000Options& o, TwoStageParams& record)
{
    TwoStagePanel panel{};
    MakeTwoStageWidgets(panel, TwoStageKnobs{}, TwoStageAnchors{});
    SetWidgets(panel, record);
    ToolState tools{};
    RefreshSpacingShadows(tools, panel);
    ToolRandom random;
    if (o.dice) {
        SeedToolRandom(random, *o.dice);
        RollDice(panel, record, tools, random);
    }
    if (o.colourVariations) {
        SeedToolRandom(random, *o.colourVariations);
        VaryColours(panel, record, tools, random);
    }
    for (int stage = 0; stage < 2; ++stage)
        if (o.bypass[stage])
            SetBypass(panel, tools, stage, true);
    for (int32_t k = 0; k < (o.spacingSteps < 0 ? -o.spacingSteps : o.spacingSteps); ++k)
        StepSpacing(panel, tools, o.spacingSteps > 0);
    if (o.flip)
        FlipDiagonally(panel, tools);
    ReadWidgets(panel, record);
}

} // namespace

bool PrepareVelk2000(const Velk2000Options& options, TwoStageParams& record, std::string& error,
                     std::string& warning)
{
    if (!LoadStartRecord(options, record, error, warning))
        return false;
    if (UsesTools(options))
        UseTools(options, record);
    ApplyControlSettings(&record, options.controls);
    return true;
}

int32_t RenderVelk2000Image(const TwoStageParams& record, const Image& image,
                            const std::vector<uint8_t>& mask, const Velk2000Options& options,
                            RowProgress progress, void* user, std::vector<uint8_t>& out)
{
    const int32_t planes = image.channels;
    FilterRecord host = MakeHostRecord(planes, !mask.empty(), options.foreground, options.background);
    TwoStageParams params = record;
    const EngineContext context{&params, &host, planes};
    const int32_t rowBytes = image.width * planes;
    if (out.size() != size_t(rowBytes) * image.height)
        out.assign(size_t(rowBytes) * image.height, 0);
    const int32_t threads = options.threads > 0 ? options.threads : DefaultRenderThreads();
    return RenderTwoStageThreads(context, 0, 0, image.width, image.height, image.pixels.data(),
                                 rowBytes, out.data(), rowBytes,
                                 mask.empty() ? nullptr : mask.data(), image.width,
                                 PreviewScale(image.width, image.height),
                                 kTwoStageFullImageMode + planes, threads, progress, user);
}

int32_t RenderVelk2000Preview(const TwoStageParams& record, int32_t planes, bool hasMask,
                              const Velk2000Options& options, PreviewImage& preview)
{
    FilterRecord host = MakeHostRecord(planes, hasMask, options.foreground, options.background);
    TwoStageParams params = record;
    const EngineContext context{&params, &host, planes};
    return RenderTwoStage(context, 0, 0, preview.size.width, preview.size.height,
                          preview.colour.data(), kPreviewRowBytes, preview.result.data(),
                          kPreviewRowBytes, preview.selection.data(), kPreviewWidth,
                          preview.transparency.data(), 1.0f, kTwoStagePreviewMode, nullptr, nullptr);
}
