// velk3d on image files: the record a first run applies (a factory preset
// with the light values, or a stored record), and the renders of the
// whole-image path and of the dialog's preview.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "deform/engine/deform_settings.h"
#include "tools/velk/control_options.h"
#include "tools/velk/image_file.h"
#include "tools/velk/preview_run.h"
#include "common/row_workers.h"
#include "tools/velk/progress_bar.h"

struct Velk3dOptions {
    std::string preset = "Velkstone";
    std::string recordPath; // a stored 64-byte record instead of a preset
    std::vector<uint8_t> userPreset; // a user preset's record, chosen as the preset box chooses it
    std::vector<ControlSetting> controls; // the dialog's controls given, in order
    uint8_t foreground[3] = {0, 0, 0};
    uint8_t background[3] = {255, 255, 255};
    int32_t threads = 0; // whole-image render threads; 0: one a core
};

// What the filter runs with: the record and the current colour source.
struct Velk3dRun {
    DeformSettings record;
    uint8_t colourSource; // after the fallback of Transparent on 3 planes
    uint32_t fillColour;  // resolved
};

// Builds the run for an image with `planes` (3 or 4), or for a record alone
// (planes 0: the fill defaults to the picker's colour and may be
// transparent). False with a message when the preset is unknown, the record
// file is unreadable or corrupt, or the fill is transparent on an image
// without alpha.
bool PrepareVelk3d(const Velk3dOptions& options, int32_t planes, Velk3dRun& run,
                   std::string& error);

// Renders the whole image as the filter's apply step does, into out (sized
// here unless it already has the image's size). mask may be empty. progress
// is called on this thread, in row order, with every row above `row` done.
// Returns the engine's result (0, or progress's stop code).
int32_t RenderVelk3dImage(const Velk3dRun& run, const Image& image,
                          const std::vector<uint8_t>& mask, const Velk3dOptions& options,
                          RowProgress progress, void* user, std::vector<uint8_t>& out);

// The dialog's preview of the reduced image (preview inputs, blue-green-red
// buffers), into preview.result.
int32_t RenderVelk3dPreview(const Velk3dRun& run, int32_t planes, bool hasMask,
                            const Velk3dOptions& options, PreviewImage& preview);

// "name, name, ..." of the factory presets.
std::string Velk3dPresetNames();
