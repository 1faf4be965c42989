// The start selector of velk2000: checks the planes, fixes the preview scale,
// runs the dialog and, after OK, renders the whole image.

#include "common/row_workers.h"
#include "toolkit/module/module.h"
#include "toolkit/preview/fetch_whole_image.h"
#include "toolkit/preview/preview_scale.h"
#include "twostage/shell/twostage_shell.h"

TwoStageModuleState gTwoStage;

int16_t StartTwoStage(FilterRecord* record)
{
    const HWND owner = HostWindow(record->platformData);
    if (record->planes < 3) {
        MessageBoxA(owner, "Channels are not Supported", nullptr, MB_OK);
        return userCanceledErr;
    }
    gTwoStage.hostRecord = record;
    gTwoStage.planes = EffectivePlanes(record);
    gTwoStage.context = {&gTwoStage.params, record, gTwoStage.planes};
    gTwoStage.previewScale = PreviewScale(record->imageSize.h, record->imageSize.v);

    gTwoStage.runResult = noErr;
    if (RunTwoStageDialog(owner) != 0) {
        MessageBoxA(owner, "Can't load dialog box!\n", nullptr, MB_OK);
        return userCanceledErr;
    }
    if (gTwoStage.runResult != noErr)
        return gTwoStage.runResult;

    // OK: the dialog's first render fetched the whole image.
    // Rows on every core; the host's callbacks stay on this thread.
    const int32_t result = RenderTwoStageThreads(
        gTwoStage.context, 0, 0, record->imageSize.h, record->imageSize.v,
        static_cast<const uint8_t*>(record->inData), record->inRowBytes,
        static_cast<uint8_t*>(record->outData), record->outRowBytes,
        record->haveMask ? static_cast<const uint8_t*>(record->maskData) : nullptr,
        record->maskRowBytes, gTwoStage.previewScale, gTwoStage.planes + 8,
        DefaultRenderThreads(), ApplyProgress, record);
    EndWholeImageRequest(record);
    return static_cast<int16_t>(result & 0xFFFF);
}
