#include "tools/velk/velk3d_run.h"

#include <cstdio>
#include <cstring>

#include "common/row_workers.h"
#include "deform/engine/factory_presets.h"
#include "deform/engine/render_deformation.h"
#include "tools/velk/host_record.h"
#include "tools/velk/record_file.h"
#include "toolkit/preview/preview_scale.h"

std::string Velk3dPresetNames()
{
    std::string names;
    for (int n = 0; n < kFactoryPresetCount; ++n) {
        char name[64];
        FactoryPresetName(n, name, sizeof name);
        names += (n ? ", " : "") + std::string(name);
    }
    return names;
}

bool PrepareVelk3d(const Velk3dOptions& options, int32_t planes, Velk3dRun& run,
                   std::string& error)
{
    DeformSettings& record = run.record;
    std::memset(&record, 0, sizeof record);
    uint8_t source;
    if (!options.recordPath.empty()) {
        // As a repeated filter applies "Last Used": the record's own values.
        if (!ReadRecordFile(options.recordPath, &record, sizeof record, error))
            return false;
        if (!VerifyDeformSettings(record)) {
            error = "record " + options.recordPath + " fails its checksum";
            return false;
        }
        source = record.colourSource;
    } else {
        // As the dialog opens on a first run: the preset, the fallback light
        // correction, Antialiasing on, the default colour (transparent on a
        // layer with transparency).
        const int n = FindFactoryPreset(options.preset.c_str());
        if (n < 0) {
            error = "unknown velk3d preset \"" + options.preset + "\" (presets: " + Velk3dPresetNames() + ")";
            return false;
        }
        DecodeFactoryPreset(DeformString(n + 2), record);
        SetFallbackLightCorrection(record);
        record.antialias = 1;
        SetDefaultColour(record);
        source = planes == 4 ? Transparent : Picker;
    }

    if (options.lightBoost)
        record.valueX[SlotLightBoost] = static_cast<int16_t>(*options.lightBoost);
    if (options.brightness)
        record.valueX[SlotBrightness] = static_cast<int16_t>(*options.brightness);
    if (options.saturation)
        record.saturation = static_cast<uint8_t>(*options.saturation);
    if (options.antialias)
        record.antialias = *options.antialias ? 1 : 0;
    switch (options.fill) {
    case FillKind::Default: break;
    case FillKind::Foreground: source = Foreground; break;
    case FillKind::Background: source = Background; break;
    case FillKind::Transparent:
        if (planes < 4) {
            error = "a transparent fill needs an image with an alpha channel";
            return false;
        }
        source = Transparent;
        break;
    case FillKind::Colour:
        std::memcpy(record.colour, options.fillRgb, 3);
        record.colour[3] = 255;
        source = Picker;
        break;
    }

    // A source the image cannot show falls back (Transparent on 3 planes
    // becomes Picker).
    if (source > planes - 1)
        source = static_cast<uint8_t>(planes - 1);
    run.colourSource = source;
    SealLastUsed(record, source, record.colour);

    const uint8_t fore[4] = {options.foreground[0], options.foreground[1], options.foreground[2], 0};
    const uint8_t back[4] = {options.background[0], options.background[1], options.background[2], 0};
    run.fillColour = ResolveFillColour(planes, source, record.colour, fore, back);
    return true;
}

int32_t RenderVelk3dImage(const Velk3dRun& run, const Image& image,
                          const std::vector<uint8_t>& mask, const Velk3dOptions& options,
                          RowProgress progress, void* user, std::vector<uint8_t>& out)
{
    const int32_t planes = image.channels;
    const FilterRecord host =
        MakeHostRecord(planes, !mask.empty(), options.foreground, options.background);
    DeformSettings record = run.record;
    const DeformContext context{&record, &host};
    const DeformInputs inputs = ApplyInputs(record, PreviewScale(image.width, image.height));
    const int32_t rowBytes = image.width * planes;
    if (out.size() != size_t(rowBytes) * image.height)
        out.assign(size_t(rowBytes) * image.height, 0);
    DeformBuffers buffers{};
    buffers.left = 0;
    buffers.top = 0;
    buffers.right = image.width;
    buffers.bottom = image.height;
    buffers.inData = image.pixels.data();
    buffers.inRowBytes = rowBytes;
    buffers.outData = out.data();
    buffers.outRowBytes = rowBytes;
    buffers.maskData = mask.empty() ? nullptr : mask.data();
    buffers.maskRowBytes = image.width;
    buffers.alphaData = nullptr;
    const int32_t threads = options.threads > 0 ? options.threads : DefaultRenderThreads();
    return RenderDeformationThreads(context, inputs, buffers, run.fillColour, planes, threads,
                                    progress, user);
}

int32_t RenderVelk3dPreview(const Velk3dRun& run, int32_t planes, bool hasMask,
                            const Velk3dOptions& options, PreviewImage& preview)
{
    const FilterRecord host = MakeHostRecord(planes, hasMask, options.foreground, options.background);
    DeformSettings record = run.record;
    const DeformContext context{&record, &host};
    DeformBuffers buffers{};
    buffers.right = preview.size.width;
    buffers.bottom = preview.size.height;
    buffers.inData = preview.colour.data();
    buffers.inRowBytes = kPreviewRowBytes;
    buffers.outData = preview.result.data();
    buffers.outRowBytes = kPreviewRowBytes;
    buffers.maskData = preview.selection.data();
    buffers.maskRowBytes = kPreviewWidth;
    buffers.alphaData = preview.transparency.data();
    return RenderDeformation(context, PreviewInputs(record), buffers, run.fillColour, 3, nullptr,
                             nullptr);
}
