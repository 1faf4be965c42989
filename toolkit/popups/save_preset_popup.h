// The save-preset pop-up "SAVE": a preset name (typed, or chosen among the
// user presets) and two options, ended with Save, Delete or Cancel.
#pragma once

#include <windows.h>

#include "toolkit/presetstore/preset_store.h"
#include "toolkit/widgets/bitmap_image.h"
#include "toolkit/widgets/kit.h"

struct SavePopupSetup {
    const Kit* kit;          // the main dialog's texture and fonts
    const char* keyPath;     // registry key of the module's user presets
    int maxNames;            // how many user presets the list shows at most
    const char* currentName; // shown in the name field, prefix and trailing blanks removed
    bool option1, option2;   // initial check states of 1034 and 1035
    // velk2000 lends its main dialog's pictures: Delete, Cancel and Save,
    // each normal then pressed. Null: velk3d's pop-up loads its own.
    BitmapImage* lent[6];
};

// The longest name a preset is saved under; longer names (hand-made ones
// listed) can still be deleted.
constexpr int kMaxSavedName = 19;

// The pop-up closes on Save only with a name of 1 to kMaxSavedName characters
// once a leading ">" and trailing blanks are gone, and on Delete with any
// name that is not empty that way; otherwise a message box says why and the
// pop-up stays open.
struct SavePopupResult {
    char name[kPresetNameArea]; // as typed; empty when cancelled
    bool remove;                // Delete closed it
    bool option1, option2;      // the check states at Save or Delete
};

SavePopupResult RunSavePresetPopup(HINSTANCE module, HWND owner, const SavePopupSetup& setup);

// Adds the names of the user presets under keyPath (registry order, at most
// maxNames) to a combo box, each after `prefix` when it is not 0. Returns how
// many were added.
int AddUserPresetNames(HWND combo, const char* keyPath, int maxNames, char prefix);
