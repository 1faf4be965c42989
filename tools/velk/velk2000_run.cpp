#include "tools/velk/velk2000_run.h"

#include <cstdio>
#include <cstring>

#include "common/row_workers.h"
#include "tools/velk/host_record.h"
#include "tools/velk/record_file.h"
#include "toolkit/preview/preview_scale.h"
#include "twostage/engine/preset_load.h"
#include "twostage/engine/render_twostage.h"
#include "twostage/engine/twostage_presets.h"

std::string Velk2000PresetNames()
{
    std::string names;
    for (int n = 0; n < kTwoStageFactoryCount; ++n)
        names += (n ? ", " : "") + std::string(TwoStageFactoryName(n));
    return names;
}

bool PrepareVelk2000(const Velk2000Options& options, TwoStageParams& record, std::string& error,
                     std::string& warning)
{
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

    // Loaded as the preset box loads a user preset into the dialog as it opens.
    TwoStageParams loaded;
    if (!ReadRecordFile(options.recordPath, &loaded, sizeof loaded, error))
        return false;
    if (!TwoStageChecksumValid(loaded)) {
        error = "record " + options.recordPath + " fails its checksum (corrupted preset or incompatible version)";
        return false;
    }
    const TwoStageParams before = DialogRecordForFactory(kTwoStageInitialPreset);
    if (FinishPresetLoad(loaded, before))
        warning = "record " + options.recordPath +
                  " is of a version greater than 1.4: some settings will be ignored";
    ReadBackCheckBoxes(loaded);
    record = loaded;
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
