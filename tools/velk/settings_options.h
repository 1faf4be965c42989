// The settings options of both filters, shared by apply, record and the
// text form of presets: the starting preset or record, velk2000's tools, and
// every control of the dialog.
#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "tools/velk/user_presets.h"
#include "tools/velk/velk2000_run.h"
#include "tools/velk/velk3d_run.h"

// --preset, --record and the controls; defaults (a record, or null) is shown
// in --help.
void AddVelk3dSettings(CLI::App* app, Velk3dOptions& options, const void* defaults);

// --preset, --record, the tools and the controls.
void AddVelk2000Settings(CLI::App* app, Velk2000Options& options, const void* defaults);
