// The group loops of the two-stage rows: whole groups of four pixels (SSE2,
// every target) or eight (AVX2, where the build and the processor have it)
// mapped and shaded at once, byte for byte as the one-pixel steps. A group
// that depends on the pixels before it goes through the one-pixel steps.
#pragma once

#include <cstdint>

#include "twostage/engine/strip_job.h"

// False when the periods of a stage are too large for the lane formulas;
// such a render takes the one-pixel path.
bool CanMapLanes(const TwoStageJob& job);

// True when this build has the eight-lane loop and the processor runs it.
bool HaveGroups8();

// Renders the whole groups of row y from x on, with the stages' factors and
// the curve coordinates (g, point) carried in and out as the one-pixel loop
// carries them. Returns the column after the last group rendered.
int32_t RenderGroups4(const TwoStageJob& job, int32_t y, int32_t x, StageGeometry g[2],
                      StripPoint& point);
int32_t RenderGroups8(const TwoStageJob& job, int32_t y, int32_t x, StageGeometry g[2],
                      StripPoint& point);
