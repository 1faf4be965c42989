// velk2000's main dialog "samples": its state while it is open and the pieces
// its procedure, paint, render cycle and preset box share. The state lives in
// RunTwoStageDialog for one run of the dialog and reaches the procedure
// through the creation parameter.
#pragma once

#include <windows.h>

#include "toolkit/dialog/dialog_frame.h"
#include "toolkit/dialog/owned.h"
#include "toolkit/popups/preset_box.h"
#include "toolkit/preview/preview_scale.h"
#include "toolkit/widgets/colour_swatch.h"
#include "twostage/shell/twostage_panel.h"
#include "twostage/shell/status_zones.h"
#include "twostage/shell/twostage_shell.h"
#include "twostage/shell/twostage_tools.h"

// The picture buttons, in the order the table and the dispatcher name them.
enum TwoStageButton { ButtonCancel, ButtonOk, ButtonUndo, ButtonRedo, ButtonDice, ButtonColourDice,
                      ButtonIncrease, ButtonDecrease, ButtonFlip, kTwoStageButtons };
// The page links: "Basic Operations", "Sliders", "Preset Management".
enum { kPageLinks = 3 };

constexpr int kTwoStageUserPresets = 100;
// How far right of the status line's left end a render's travelling mark
// goes; the line is cleared at least that far.
constexpr int kStatusMarkEnd = 340 / 2 + 20;
extern const char kHomePage[];

struct TwoStageDialog {
    DialogFrame frame;
    OwnedGdi orientationStrip, curveStrip, helpBrush;
    OwnedImage yellow, violet, diamond, ticked, empty, columns, green;
    OwnedImage save[2], remove[2]; // normal and pressed: Save and Delete
    OwnedButton button[kTwoStageButtons];
    OwnedLink help, web, page[kPageLinks];
    OwnedPicture preview;
    TwoStagePanel panel = {};
    ColourSwatch swatch[5] = {}; // slots: background, gradient 1, 2, side 1, 2
    TwoStageAnchors anchors = {};
    Box toolArea = {}, presetBox = {}, status = {}; // B, K, T
    PreviewSize previewSize = {};
    TwoStageParams lastRendered = {};
    bool redrawAll = false, imageTransferred = false;
    int colourSlot = 0;
    // The pointer of the last mouse move, and where the cursor was then.
    Pointer pointer = {};
    POINT pointerScreen = {};
    // The tools, the status line and the help pages
    ToolState tools = {};
    History history = {};
    ToolRandom random = {};
    StatusGeometry zones = {};
    int lastStatusId = 0;
    bool helpShown = false;
    int lastHelpPage = 0; // 0, 1 or 2
    PresetList presets = {};
};


// The mouse dispatcher of the dialog and of its preview callback; true when
// a value changed.
bool DispatchMouse(TwoStageDialog& d, UINT message, WPARAM wParam, LPARAM lParam);

// WM_PAINT (dialog_paint.cpp), and the pads and captions it draws.
void PaintDialog(TwoStageDialog& d);
void PaintPads(TwoStageDialog& d, HDC dc);
// The render cycle (render_cycle.cpp).
void RenderCycle(TwoStageDialog& d);

// The tools (tools_commands.cpp): the tool buttons' commands, the Bypass
// boxes, and a fired Increase or Decrease in the render cycle.
void OnToolCommand(TwoStageDialog& d, int id);
bool ApplySpacingStep(TwoStageDialog& d);
void ReleaseBypass(TwoStageDialog& d);
// The record's check boxes into the panel, and back.
void ReadCheckBoxes(TwoStageDialog& d);
void SyncCheckBoxes(TwoStageDialog& d);

// The status line and the help pages (help_pages.cpp).
void UpdateStatus(TwoStageDialog& d, Pointer pointer);
void ShowHelpPage(TwoStageDialog& d, int command);
void CloseHelpView(TwoStageDialog& d, HDC dc);

// The preset box (preset_box.cpp).
void FillPresetBox(TwoStageDialog& d);
void StartPresetBox(TwoStageDialog& d);
void LoadPreset(TwoStageDialog& d, int position);
void OnPresetChoice(TwoStageDialog& d);
