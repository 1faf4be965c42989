// velk2000's main dialog "samples": its state while it is open and the pieces
// its procedure, paint, render cycle and preset box share.
#pragma once

#include <windows.h>

#include "toolkit/presetstore/preset_store.h"
#include "toolkit/preview/preview_picture.h"
#include "toolkit/preview/preview_scale.h"
#include "toolkit/widgets/bitmap_image.h"
#include "toolkit/widgets/colour_swatch.h"
#include "toolkit/widgets/image_button.h"
#include "toolkit/widgets/kit.h"
#include "toolkit/widgets/text_link.h"
#include "twostage/shell/twostage_panel.h"
#include "twostage/shell/status_zones.h"
#include "twostage/shell/twostage_shell.h"
#include "twostage/shell/twostage_tools.h"

enum : UINT {
    kRenderRequest = 2222, // WM_USER wParam: the render cycle
    kWebLink = 112,        // WM_USER wParam: the home page
    kHelpLink = 199,       // WM_USER wParam: the last help page; 200..202 a page
};

// The picture buttons, in the order the table and the dispatcher name them.
enum TwoStageButton { ButtonCancel, ButtonOk, ButtonUndo, ButtonRedo, ButtonDice, ButtonColourDice,
                      ButtonIncrease, ButtonDecrease, ButtonFlip, kTwoStageButtons };
// The page links: "Basic Operations", "Sliders", "Preset Management".
enum { kPageLinks = 3 };

constexpr int kTwoStageUserPresets = 100;
extern const char kHomePage[];

struct TwoStageDialog {
    HWND window;
    Kit kit;
    HBITMAP orientationStrip, curveStrip;
    HBRUSH helpBrush;
    BitmapImage *yellow, *violet, *diamond, *ticked, *empty, *columns, *green;
    BitmapImage *save[2], *remove[2]; // normal and pressed: Save and Delete
    ImageButton* button[kTwoStageButtons];
    TextLink *help, *web, *page[kPageLinks];
    TwoStagePanel panel;
    ColourSwatch swatch[5]; // slots: background, gradient 1, 2, side 1, 2
    PreviewPicture picture;
    TwoStageAnchors anchors;
    Box toolArea, presetBox, status; // B, K, T
    PreviewSize preview;
    TwoStageParams lastRendered;
    int pendingChanges;
    bool redrawAll, firstPaintDone, imageTransferred, closed;
    int colourSlot;
    POINT pointerOffset; // screen minus client, noted at every move
    // The tools, the status line and the help pages
    ToolState tools;
    History history;
    ToolRandom random;
    StatusGeometry zones;
    int lastStatusId;
    bool helpShown;
    int lastHelpPage; // 0, 1 or 2
    // The preset box
    UserPresetName users[kTwoStageUserPresets];
    int userCount, position, previous;
    char presetName[21];
};

extern TwoStageDialog gDialog;

// The mouse dispatcher of the dialog and of its preview callback; true when
// a value changed.
bool DispatchMouse(UINT message, WPARAM wParam, LPARAM lParam);
// Posts the render request unless one is pending, and counts the change.
void RequestRender();
void CloseDialog(int16_t result);

// WM_PAINT (dialog_paint.cpp), and the pads and captions it draws.
void PaintDialog();
void PaintPads(HDC dc);
// The render cycle (render_cycle.cpp).
void RenderCycle();

// The tools (tools_commands.cpp): WM_COMMAND 105-108 and 114, the Bypass
// boxes, and a fired Increase or Decrease in the render cycle.
void OnToolCommand(int id);
bool ApplySpacingStep();
void ReleaseBypass();
void SyncCheckBoxes();

// The status line and the help pages (help_pages.cpp).
void UpdateStatus(Pointer pointer);
void ShowHelpPage(int command);
void CloseHelpView(HDC dc);

// The preset box (preset_box.cpp).
void FillPresetBox();
void LoadPreset(int position, const TwoStageParams* source);
void OnPresetChoice();
