// The tools of velk2000's dialog as free functions over its widgets and
// record: the random settings and colour variations, the spacing steps with
// their fractional shadows, the diagonal flip, the undo history and the
// Bypass boxes. The dialog wires them to its buttons and check boxes.
#pragma once

#include <cstdint>

#include "twostage/shell/twostage_panel.h"

// The random numbers of the tools: values 0 to 32767. The dialog seeds once,
// by the tick count, and every roll draws on, so successive rolls are
// independent; tests give a seed.
struct ToolRandom {
    uint32_t state;
    int Next(); // 0..32767
};
void SeedToolRandom(ToolRandom& r, uint32_t seed);
// R(a, b): a draw in a..b whose end values are about half as likely.
int RandomIn(ToolRandom& r, int a, int b);

// What the tools keep while the dialog lives.
struct ToolState {
    float shadow[4];          // hSpacing[0], vSpacing[0], hSpacing[1], vSpacing[1]
    bool bypass[2];           // the Bypass boxes: stage 1 (1007), stage 2 (1006)
    int32_t remembered[2][5]; // gradient x, y, side depth, stretch x, y when bypassed
};

// The shadows take the spacing sliders' values.
void RefreshSpacingShadows(ToolState& t, const TwoStagePanel& panel);

// The Dice: new spacings, shading pads, stretches, side shading and curve,
// then the colour variations with the same numbers.
void RollDice(TwoStagePanel& panel, TwoStageParams& record, ToolState& t, ToolRandom& r);
// New red, green and blue for the shadow colours; their sources stay.
void VaryColours(const TwoStagePanel& panel, TwoStageParams& record, ToolState& t, ToolRandom& r);

// One step of Increase (by the square root of 2) or Decrease spacing on the
// stages that are not bypassed. False when the sum of the four spacings
// already is at its end.
bool StepSpacing(TwoStagePanel& panel, ToolState& t, bool increase);

// Exchanges rows and columns (of the stages not bypassed) and the curve axes.
void FlipDiagonally(TwoStagePanel& panel, ToolState& t);

// A Bypass box was clicked into `on`: the stage's five values are remembered
// and set neutral, or put back.
void SetBypass(TwoStagePanel& panel, ToolState& t, int stage, bool on);
// A bypassed stage whose values are no longer neutral releases its box.
bool BypassReleased(const TwoStageParams& record, int stage);

// The undo history: the records of completed renders.
constexpr int kHistorySize = 202;
struct History {
    TwoStageParams entry[kHistorySize];
    int position, highMark;
};

// After every completed render; lastRendered becomes current.
void PushHistory(History& h, TwoStageParams& lastRendered, const TwoStageParams& current);
// The record to load for undo or redo, with lastRendered set as the render
// that follows expects; null when there is nothing to step to.
const TwoStageParams* Undo(History& h, TwoStageParams& lastRendered);
const TwoStageParams* Redo(History& h, TwoStageParams& lastRendered);
