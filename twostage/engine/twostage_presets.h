// The ten factory presets of velk2000, built into the module.
#pragma once

#include "twostage/engine/twostage_params.h"

constexpr int kTwoStageFactoryCount = 10;
constexpr int kTwoStageInitialPreset = 2; // "e-Flowers", loaded when the dialog opens

// Factory preset n (0..9), as stored (a valid checksum; "Drapery" is of
// version 13, "Embossed Wrapper" of version 0). Null for another n.
const TwoStageParams* TwoStageFactoryRecord(int n);

// The display name of factory preset n (0..9), or null.
const char* TwoStageFactoryName(int n);

// Finds a factory preset by name, case-insensitively with leading and
// trailing blanks ignored. Returns its index 0..9, or -1.
int FindTwoStageFactory(const char* name);
