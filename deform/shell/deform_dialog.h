// velk3d's main dialog "samples": its state while it is open and the pieces
// the dialog procedure, its paint and its preset box share.
#pragma once

#include <windows.h>

#include "deform/shell/deform_shell.h"
#include "toolkit/presetstore/preset_store.h"
#include "toolkit/preview/preview_picture.h"
#include "toolkit/preview/preview_scale.h"
#include "toolkit/widgets/bitmap_image.h"
#include "toolkit/widgets/image_button.h"
#include "toolkit/widgets/kit.h"

constexpr int kDeformUserPresets = 20; // the box lists at most this many
extern const char kHomePage[];

struct DeformDialog {
    HWND window;
    Kit kit;
    BitmapImage* knob;
    HBITMAP strip; // orientation tiles, bitmap 119
    ImageButton* cancel;
    ImageButton* apply;
    PreviewPicture picture;
    DeformAnchors anchors; // P, G and T
    Box swatch, link;      // S and W
    PreviewSize preview;   // the part of the preview buffers with image data
    bool initialised, fullRepaint, overLink;
    bool closed; // ended: what is still queued for it is not handled
    int pendingRepaint;
    int32_t doubleStretchShown;
    DWORD renderStart, renderMs;
    // The preset box
    UserPresetName users[kDeformUserPresets];
    int userCount, factoryCount, presetLimit, current, previous;
    char presetName[20];
};

extern DeformDialog gDialog;

// The mouse dispatcher of the dialog and of its preview callback: the nine
// slots and the toggle, then Cancel and Apply. True when a slot or the
// toggle claimed the message (a change).
bool DispatchMouse(UINT message, WPARAM wParam, LPARAM lParam);

// WM_PAINT: the first paint's set-up, the render loop and the frame around it.
void PaintDialog();
// Ends the dialog with the result, releasing everything it created.
void CloseDialog(int16_t result);
// Posts the redraw-and-render request (WM_PAINT with lParam 10).
void RequestRepaint();

// The preset box: filled at the first paint, reloaded on every choice.
void StartPresetBox();
void OnPresetChoice();
