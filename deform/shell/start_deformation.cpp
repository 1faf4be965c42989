// The start selector of velk3d: decides between the dialog and a direct
// "Last Used" run, fetches the image, renders it and answers the host.

#include <cstring>

#include "common/row_workers.h"
#include "deform/shell/deform_shell.h"
#include "toolkit/module/module.h"
#include "toolkit/presetstore/preset_store.h"
#include "toolkit/preview/fetch_whole_image.h"
#include "toolkit/preview/preview_scale.h"

DeformModuleState gDeform;

namespace {

const char kLastUsed[] = VELK3D_LAST_USED;

// Reads "Last Used" into the record; false when it is missing, of another
// size than a record, or fails its checksum.
bool ReadLastUsed(DeformSettings& record)
{
    char name[sizeof kLastUsed];
    std::memcpy(name, kLastUsed, sizeof kLastUsed);
    DWORD size = 0;
    if (AccessRegistryValue(HKEY_LOCAL_MACHINE, VELK3D_PRESET_KEY, name, &record, sizeof record, 0,
                            &size) != ERROR_SUCCESS ||
        size != sizeof record)
        return false;
    return VerifyDeformSettings(record);
}

// The confirmed settings as "Last Used", with the picked colour.
void WriteLastUsed(DeformSettings& record)
{
    SealLastUsed(record, gDeform.colour.source, gDeform.colour.picked);
    WriteRegistryValue(kLastUsed, &record, sizeof record);
}

} // namespace

int16_t StartDeformation(FilterRecord* record)
{
    gDeform.hostRecord = record;
    gDeform.planesInUse = EffectivePlanes(record);

    DeformSettings& settings = gDeform.settings;
    std::memset(&settings, 0, sizeof settings);
    gDeform.runContext = {&settings, record};
    if (!ReadLastUsed(settings)) {
        gDeform.useDefaults = true;
        gDeform.skipDialog = false;
    }
    if (gDeform.useDefaults)
        SetDefaultColour(settings);

    DeformColour& colour = gDeform.colour;
    colour.source = settings.colourSource;
    std::memcpy(colour.picked, settings.colour, 4);
    if (colour.source > gDeform.planesInUse - 1)
        colour.source = static_cast<uint8_t>(gDeform.planesInUse - 1);
    colour.fill = ResolveFillColour(gDeform.planesInUse, colour.source, colour.picked,
                                    record->foreColor, record->backColor);
    gDeform.previewScale = PreviewScale(record->imageSize.h, record->imageSize.v);
    gDeform.dialogResult = noErr;

    if (gDeform.skipDialog) {
        gDeform.dialogResult = FetchWholeImage(record, static_cast<int16_t>(gDeform.planesInUse));
    } else {
        if (gDeform.planesInUse == 4) {
            colour.fill = kTransparentFill;
            colour.source = Transparent;
        }
        if (RunDeformDialog(HostWindow(record->platformData)) != 0) {
            MessageBoxA(HostWindow(record->platformData), "Can't load dialog box!\n", nullptr, MB_OK);
            return userCanceledErr;
        }
        if (gDeform.dialogResult != noErr)
            return gDeform.dialogResult;
        WriteLastUsed(settings);
    }
    if (gDeform.dialogResult != noErr)
        return memFullErr;

    const DeformInputs inputs = ApplyInputs(settings, gDeform.previewScale);
    DeformBuffers buffers{};
    buffers.right = record->imageSize.h;
    buffers.bottom = record->imageSize.v;
    buffers.inData = static_cast<const uint8_t*>(record->inData);
    buffers.inRowBytes = record->inRowBytes;
    buffers.outData = static_cast<uint8_t*>(record->outData);
    buffers.outRowBytes = record->outRowBytes;
    buffers.maskData = static_cast<const uint8_t*>(record->maskData);
    buffers.maskRowBytes = record->maskRowBytes;
    // Rows on every core; the host's callbacks stay on this thread.
    const int32_t rendered =
        RenderDeformationThreads(gDeform.runContext, inputs, buffers, colour.fill,
                                 gDeform.planesInUse, DefaultRenderThreads(), ApplyProgress, record);

    EndWholeImageRequest(record);
    return static_cast<int16_t>(rendered & 0xFFFF);
}
