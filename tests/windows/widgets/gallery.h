// The widget gallery: a dialog (template "GALLERY") that shows every widget
// of both variants over the paper and records what they post, and opens the
// pop-ups on request. Tests run it on a UI thread of its own and work it
// with the UI driver; velk_gallery renders it for the screenshots.
#pragma once

#include <windows.h>

#include <vector>

#include "host/filter_record.h"
#include "toolkit/popups/save_preset_popup.h"
#include "toolkit/widgets/colour_swatch.h"
#include "toolkit/widgets/image_button.h"
#include "toolkit/widgets/kit.h"
#include "toolkit/widgets/slider.h"
#include "toolkit/widgets/text_link.h"
#include "toolkit/widgets/tri_state_toggle.h"

// Requests the tests post to the gallery.
enum : UINT {
    kGalleryColourSource = WM_APP + 10, // velk2000 call on the Transparent setting
    kGalleryFillColour = WM_APP + 11,   // velk3d call on the fill colour
    kGallerySavePreset = WM_APP + 12,   // the save-preset pop-up
    kGalleryBusy = WM_APP + 20,         // keeps posting itself until busyStop is set
};

struct Gallery {
    Kit kit{};
    int32_t planes = 4; // the image's planes as the swatches and pop-ups see it
    BitmapImage *yellow = nullptr, *violet = nullptr, *diamond = nullptr;
    HBITMAP orientationStrip = nullptr, curveStrip = nullptr;

    // velk3d's variant
    Slider edgeX{}, edgeY{}, boost{}, shading{}, pad3d{};
    ImageButton* apply3d = nullptr;
    TriStateToggle orientation3d{};

    // velk2000's variant
    Slider spacingX{}, spacingY{}, centred{}, plain{}, centredV{}, pad{}, curvePad{};
    ImageButton *dice = nullptr, *silent = nullptr; // silent: command 0
    TextLink* link = nullptr;
    ColourSwatch transparentSwatch{}, pickerSwatch{};
    uint8_t transparentSetting[4] = {10, 20, 30, 3};
    uint8_t pickerSetting[4] = {200, 30, 40, 2};
    TriStateToggle orientation{}, curveShape{};

    // The host of the pop-ups: colours and a scripted colour picker.
    FilterRecord host{};
    bool pickGiven = false;
    uint8_t pick[3] = {0, 0, 0};
    int pickCalls = 0;

    // velk3d's fill colour state
    uint8_t fillSource = 2;
    uint8_t picked[4] = {227, 217, 203, 255};
    uint32_t fillColour = 0xFFCBD9E3;

    SavePopupSetup saveSetup{};
    SavePopupResult saveResult{};

    // What the widgets posted
    std::vector<int> commands; // WM_COMMAND ids
    std::vector<int> links;    // WM_USER ids
    int redrawRequests = 0;    // posted render requests (WM_USER, REQ_RENDER)
    int swatchPresses = 0;
    volatile bool busyStop = false;
};

// Runs the gallery modally (on the calling thread) until it is cancelled.
INT_PTR RunGallery(Gallery& gallery);
