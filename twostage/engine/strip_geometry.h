// The strip lattice of one stage: its set-up from the record, the mapping of
// a point through it, and the curve table of the curved deformation.
#pragma once

#include <cstdint>

#include "twostage/engine/strip_stage.h"
#include "twostage/engine/twostage_params.h"

constexpr int kCurveTableSize = 2000;

// The settings of stage 0 or 1 before SetUpStage; periods are multiplied by
// scale (truncated) in full-image mode.
StageSettings MakeStageSettings(const TwoStageParams& p, int stage, bool fullImage, float scale);

// Fills the geometry and shading constants of a stage; raises the periods to
// 2 and rescales blur. right and bottom are the rectangle's edges.
void SetUpStage(StageGeometry& g, StageSettings& s, int32_t right, int32_t bottom);

// Maps point.X, point.Y through the stage: sets the stage's shading factors,
// the curve coordinates and the shade product, and moves the point when
// movesPixels is set. A point in no face keeps the previous factors and
// curve coordinates and is not moved. Returns the face, 1..4, or 0.
int MapThroughStage(StageGeometry& g, const StageSettings& s, StripPoint& point,
                    bool movesPixels);

// The curve table of a curve shape (0 parabola, 1 and 2 cosine shapes; any
// other shape gives a zero table, which disables the curve).
void BuildCurveTable(float table[kCurveTableSize], int shape);

// trunc(1999 c) clamped to the table; false for a NaN coordinate.
bool CurveIndex(float c, int32_t& index);
