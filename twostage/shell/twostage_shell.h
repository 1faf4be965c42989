// velk2000's host entry: the module-wide state of a filter run.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/filter_record.h"
#include "twostage/engine/render_twostage.h"
#include "twostage/engine/twostage_params.h"

struct TwoStageModuleState {
    FilterRecord* hostRecord = nullptr;
    int32_t planes = 0;       // effective planes, 3 or 4
    float previewScale = 1.0f;
    TwoStageParams params = {}; // the settings the dialog edits and the engine reads
    EngineContext context = {};
    int16_t runResult = 0;    // left by the dialog: 0, -128 or -108
};

extern TwoStageModuleState gTwoStage;

// The start selector: a whole filter run. Returns the result code.
int16_t StartTwoStage(FilterRecord* record);

// Runs the modal main dialog "samples" over owner; returns 0 when the dialog
// ran (its outcome is in gTwoStage.runResult), non-zero when it could not be
// created.
INT_PTR RunTwoStageDialog(HWND owner);
