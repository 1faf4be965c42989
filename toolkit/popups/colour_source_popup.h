// The colour-source pop-up "BACK": four rows (Foreground, Background, Picker,
// Transparent), each with a swatch; a left press anywhere chooses the row at
// its height, a right press cancels. And the two modules' calls that turn
// its answer into a changed colour.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/filter_record.h"
#include "toolkit/widgets/kit.h"

enum : int {
    PopupForeground = 0,
    PopupBackground = 1,
    PopupPicker = 2,
    PopupTransparent = 3,
    PopupCancelled = 10,
};

struct ColourPopupView {
    const Kit* kit;            // the main dialog's texture and fonts
    int32_t planes;            // 4: the image has transparency
    uint8_t fore[3], back[3];  // the host's colours
    uint8_t remembered[3];     // shown in the Picker row
};

// Runs the pop-up modally over owner; returns its result (PopupCancelled
// also when the pop-up cannot be created).
int RunColourSourcePopup(HINSTANCE module, HWND owner, const ColourPopupView& view);

// velk2000: edits one colour setting (red, green, blue, source). Returns true
// and posts the redraw-and-render request (WM_PAINT, lParam 10) to dialog
// when the setting changed.
bool ChooseColourSource(HINSTANCE module, HWND dialog, const Kit& kit, uint8_t setting[4],
                        int32_t planes, FilterRecord* host);

// velk3d: edits the fill colour's source, the picked colour and the resolved
// fill colour; posts the redraw-and-render request when the source changed.
typedef uint32_t (*FillColourResolver)(int32_t planes, uint8_t source, const uint8_t picked[4],
                                       const uint8_t fore[4], const uint8_t back[4]);
void ChooseFillColour(HINSTANCE module, HWND dialog, const Kit& kit, uint8_t& colourSource,
                      uint8_t pickedColour[4], uint32_t& fillColour, int32_t planes,
                      FilterRecord* host, FillColourResolver resolve);
