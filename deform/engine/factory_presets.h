// The factory presets of velk3d, kept as text codes in the module's string
// table: a display name, "#", then nine decimal numbers.
#pragma once

#include <cstdint>

#include "deform/engine/deform_settings.h"

// The string table rows (ids 1..11 and 40), shared with the resource script.
#include "deform/engine/string_table.h"

constexpr int kFactoryPresetCount = 9;
constexpr int kFallbackPresetId = 4; // "Velkstone"

// The text of string id (1..11, 40), or null for another id.
const char* DeformString(int id);

// Reads the next number of a text code into target and advances position.
// Returns 0 on success (a number 9999 leaves target unchanged), 1 when no
// digit stands within 20 characters or the number has more than 4 digits.
int parsePresetNumber(int16_t* target, const char* text, int* position);

// Decodes a factory preset code into a record as the preset box loads it:
// the nine numbers after the "#" set valueX[1], valueY[0], valueX[2],
// valueX[3], valueX[5], valueY[5], valueX[4], valueY[4] and the style code
// (faceScheme = code & 3, doubleStretch = (code >> 2) & 1); saveFlags = 0.
// Returns false (record untouched) when no "#" stands within 60 characters.
bool DecodeFactoryPreset(const char* code, DeformSettings& record);

// The display name of factory preset n (0..8): the code's text before "#"
// with trailing blanks removed, written into name (capacity bytes).
void FactoryPresetName(int n, char* name, int capacity);

// Finds a factory preset by name, case-insensitively with blanks trimmed.
// Returns its index 0..8, or -1.
int FindFactoryPreset(const char* name);

// The record the dialog opens with on a first run, on factory preset n
// (0..8): the preset's code, the fallback light correction, Antialiasing on
// and the default colour, whose source is Transparent on an image with
// alpha (planes 4) and the picker otherwise.
void FirstRunSettings(int n, int32_t planes, DeformSettings& record);
