// velk3d's main dialog "samples": its state while it is open and the pieces
// the dialog procedure, its paint and its preset box share. The state lives
// in RunDeformDialog for one run of the dialog and reaches the procedure
// through the creation parameter.
#pragma once

#include <windows.h>

#include "deform/shell/deform_shell.h"
#include "toolkit/dialog/dialog_frame.h"
#include "toolkit/dialog/owned.h"
#include "toolkit/popups/preset_box.h"
#include "toolkit/preview/preview_scale.h"

constexpr int kDeformUserPresets = 20; // the box lists at most this many
extern const char kHomePage[];

struct DeformDialog {
    DialogFrame frame;
    OwnedImage knob;
    OwnedGdi strip; // orientation tiles, bitmap 119
    OwnedButton cancel, apply;
    OwnedPicture preview;
    DeformAnchors anchors = {}; // P, G and T
    Box swatch = {}, link = {}; // S and W
    PreviewSize previewSize = {}; // the part of the preview buffers with image data
    bool fullRepaint = false, imageFetched = false;
    int32_t doubleStretchShown = -1;
    DWORD renderStart = 0, renderMs = 0;
    // What the preview shows: the inputs and fill colour it was rendered with.
    bool rendered = false;
    DeformInputs shownInputs = {}, wantedInputs = {};
    uint32_t shownFill = 0;
    // The preset box
    PresetList presets = {};
    int factoryCount = 0, presetLimit = 0;
};

// The mouse dispatcher of the dialog and of its preview callback: the nine
// slots and the toggle, then Cancel and Apply. True when a slot or the
// toggle claimed the message (a change).
bool DispatchMouse(DeformDialog& d, UINT message, WPARAM wParam, LPARAM lParam);

// WM_PAINT: the first paint's set-up and everything that does not change.
void PaintDialog(DeformDialog& d);
// REQ_RENDER: the widgets, the render cycle, the preview and its frame.
void RenderCycle(DeformDialog& d);

// The preset box: filled at the first paint, reloaded on every choice.
void StartPresetBox(DeformDialog& d);
void OnPresetChoice(DeformDialog& d);
