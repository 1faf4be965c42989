// velk3d's host entry: the module-wide state of a run and the start sequence.
#pragma once

#include <windows.h>

#include <cstdint>

#include "deform/engine/render_deformation.h"
#include "deform/shell/deform_panel.h"
#include "host/filter_record.h"

struct DeformModuleState {
    bool skipDialog = true;      // start applies "Last Used" without the dialog
    bool useDefaults = false;    // "Last Used" was missing or failed its checksum
    FilterRecord* hostRecord = nullptr;
    int32_t planesInUse = 0;     // 3 or 4
    DeformColour colour = {};    // source, picked colour and resolved fill colour
    float previewScale = 1.0f;
    int16_t dialogResult = 0;    // left by the main dialog: 0, -128 or -108
    DeformSettings settings = {}; // the run's record: the dialog edits it, the engine reads it
    DeformContext runContext = {}; // (&settings, hostRecord)
    // The dialog's controls. "Antialiasing" keeps the last choice while the
    // module stays loaded; it starts on.
    DeformPanel panel = {};
    int32_t antialiasSeen = 1;
    DeformModuleState() { panel.antialias = 1; }
};

// The one instance; skipDialog starts set when the module is loaded.
extern DeformModuleState gDeform;

// The start selector: a whole filter run. Returns the result code.
int16_t StartDeformation(FilterRecord* record);

// Runs the modal main dialog "samples" over owner; returns 0 when the dialog
// ran (its outcome is in gDeform.dialogResult), non-zero when it could not be
// created.
INT_PTR RunDeformDialog(HWND owner);
