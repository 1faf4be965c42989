// The state of a filter's dialog in the browser module: one image, its
// reduced preview, and the settings of the open filter with what its dialog
// keeps besides (velk2000's tools and undo history). The page's controls act
// on the settings through the filter's control table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/control_table.h"
#include "deform/engine/deform_settings.h"
#include "twostage/engine/twostage_params.h"
#include "twostage/shell/twostage_panel.h"
#include "twostage/shell/twostage_tools.h"
#include "toolkit/preview/preview_scale.h"
#include "web/png_codec.h"

enum class WebFilter : int32_t { Velk3d = 0, Velk2000 = 1 };

struct WebPreview {
    float scale = 1.0f;
    PreviewSize size = {0, 0};
    std::vector<uint8_t> colour, transparency, selection, result; // the dialogs' buffers
    std::vector<uint8_t> rgba;                                    // result for a canvas
};

struct WebSession {
    Pixels image;
    WebPreview preview;
    std::vector<uint8_t> result; // the whole image rendered
    uint8_t foreground[3] = {0, 0, 0};
    uint8_t background[3] = {255, 255, 255};
    WebFilter filter = WebFilter::Velk3d;

    // velk3d: the record as the dialog captures it, with the colour source
    // and the picked colour.
    DeformSettings deform{};

    // velk2000: the record, the widgets it is read from, the tools' state
    // and the undo history of completed renders.
    TwoStageParams twostage{};
    TwoStagePanel panel{};
    ToolState tools{};
    ToolRandom random{};
    History history{};
    TwoStageParams lastRendered{};
    bool rendered = false; // a preview was rendered since the filter opened
};

// Takes a new image and reduces it into the preview buffers.
void SetImage(WebSession& s, Pixels image);

// Opens a filter as its dialog opens on a first run on the current image.
void OpenFilter(WebSession& s, WebFilter filter);

// The open filter's record and control table.
void* Record(WebSession& s);
const ControlTable& Controls(const WebSession& s);

// A control's number (a colour: 0 the source, 1..3 red, green, blue), and
// setting it as the widget would; returns the value stored.
int32_t GetControl(WebSession& s, int control, int number);
int32_t SetControl(WebSession& s, int control, int number, int32_t value);

// Factory preset n chosen in the preset box; false when there is none.
bool LoadFactory(WebSession& s, int n);
// A 64-byte user preset chosen in the preset box. False with a message when
// it fails its checksum; warning receives a note for a later version.
bool LoadUserPreset(WebSession& s, const uint8_t* bytes, std::string& error, std::string& warning);

// The record the plug-in applies (velk3d's "Last Used", velk2000's stored
// preset), or a user preset as the save pop-up stores it.
std::vector<uint8_t> ExportRecord(const WebSession& s, bool presetForm, bool saveColours,
                                  bool saveLight);

// velk2000's tools, on the dialog's widgets; each returns false when it did
// nothing (another filter is open, or nothing to step to).
bool Dice(WebSession& s);
bool VaryShadowColours(WebSession& s);
bool StepSpacings(WebSession& s, bool increase);
bool Flip(WebSession& s);
bool SetStageBypass(WebSession& s, int stage, bool on);
bool StepHistory(WebSession& s, bool undo);
bool CanStepHistory(const WebSession& s, bool undo);

// Renders the preview into s.preview.rgba; velk2000 records a completed
// render in its history.
void RenderPreview(WebSession& s);
// Renders the whole image into s.result. progress(row, total, user) as the
// engines call it. Returns the engine's result (0 when done).
int32_t RenderImage(WebSession& s, int32_t (*progress)(int32_t, int32_t, void*), void* user);
