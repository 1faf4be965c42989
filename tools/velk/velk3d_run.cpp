#include "tools/velk/velk3d_run.h"

#include <cstdio>
#include <cstring>

#include "common/row_workers.h"
#include "deform/engine/factory_presets.h"
#include "deform/engine/render_deformation.h"
#include "deform/shell/deform_panel.h"
#include "host/host_record.h"
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

namespace {

// A user preset chosen in the box of the dialog as it opened: its save flags
// decide whether its colour and light correction replace the dialog's.
bool ChooseUserPreset(const Velk3dOptions& options, int32_t planes, DeformSettings& record,
                      uint8_t& source, std::string& error)
{
    DeformSettings user;
    if (options.userPreset.size() != sizeof user) {
        error = "user preset \"" + options.preset + "\" is not a 64-byte record";
        return false;
    }
    std::memcpy(&user, options.userPreset.data(), sizeof user);
    if (!VerifyDeformSettings(user)) {
        error = "user preset \"" + options.preset + "\" fails its checksum";
        return false;
    }
    // The preset sets every slider and the style; the light sliders keep the
    // dialog's values unless it carries its own.
    DeformPanel panel{};
    panel.slot[SlotLightBoost].valueX = record.valueX[SlotLightBoost];
    panel.slot[SlotBrightness].valueX = record.valueX[SlotBrightness];
    panel.slot[kSlotSaturation].valueX = record.saturation;
    panel.antialias = record.antialias;
    const int32_t shown = planes > 0 ? planes : 3;
    const uint8_t fore[4] = {options.foreground[0], options.foreground[1], options.foreground[2], 0};
    const uint8_t back[4] = {options.background[0], options.background[1], options.background[2], 0};
    DeformColour colour{source, {record.colour[0], record.colour[1], record.colour[2], record.colour[3]}, 0};
    colour.fill = ResolveFillColour(shown, source, colour.picked, fore, back);
    ApplyUserRecord(panel, colour, user, shown, fore, back);
    CaptureSettings(panel, colour, true, record);
    source = colour.source;
    return true;
}

} // namespace

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
        // A user preset is chosen in the box of the dialog as it opened on
        // its first preset.
        const int n = options.userPreset.empty() ? FindFactoryPreset(options.preset.c_str())
                                                 : kFallbackPresetId - 2;
        if (n < 0) {
            error = "unknown velk3d preset \"" + options.preset + "\" (presets: " + Velk3dPresetNames() + ")";
            return false;
        }
        FirstRunSettings(n, planes, record);
        source = record.colourSource;
        if (!options.userPreset.empty() &&
            !ChooseUserPreset(options, planes, record, source, error))
            return false;
    }

    // The controls given are set as the dialog would be before Apply; the
    // fill control sets the source and, with a colour, the picked colour.
    record.colourSource = source;
    ApplyControlSettings(&record, options.controls);
    source = record.colourSource;
    for (const ControlSetting& c : options.controls)
        if (c.control->kind == ControlKind::Colour && c.hasRgb)
            record.colour[3] = 255;
    if (TransparentSetting(options.controls) && planes > 0 && planes < 4) {
        error = "a transparent fill needs an image with an alpha channel";
        return false;
    }

    // A source the image cannot show falls back (Transparent on 3 planes
    // becomes Picker).
    if (planes > 0 && source > planes - 1)
        source = static_cast<uint8_t>(planes - 1);
    run.colourSource = source;
    SealLastUsed(record, source, record.colour);

    const uint8_t fore[4] = {options.foreground[0], options.foreground[1], options.foreground[2], 0};
    const uint8_t back[4] = {options.background[0], options.background[1], options.background[2], 0};
    run.fillColour = ResolveFillColour(planes > 0 ? planes : 3, source, record.colour, fore, back);
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
    const size_t bytes = size_t(image.width) * planes * image.height;
    if (out.size() != bytes)
        out.assign(bytes, 0);
    const DeformBuffers buffers =
        ImageDeformBuffers(image.width, image.height, planes, image.pixels.data(), out.data(),
                           mask.empty() ? nullptr : mask.data());
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
    const DeformBuffers buffers =
        PreviewDeformBuffers(preview.size.width, preview.size.height, preview.colour.data(),
                             preview.result.data(), preview.selection.data(),
                             preview.transparency.data());
    return RenderDeformation(context, PreviewInputs(record), buffers, run.fillColour, 3, nullptr,
                             nullptr);
}
