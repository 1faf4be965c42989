// Two-stage records for the engine tests.
#pragma once

#include <random>

#include "twostage/engine/preset_load.h"
#include "twostage/engine/twostage_presets.h"

// A record whose every stage value is neutral (no shading, no stretch, no
// curve, moire offsets centred, spacing 20), on the colours of the first
// factory preset.
inline TwoStageParams NeutralTwoStage()
{
    TwoStageParams p = *TwoStageFactoryRecord(0);
    for (int s = 0; s < 2; ++s) {
        p.spacing[s] = StageSpacing{20, 20};
        p.gradientDepth[s] = PadValue{25, 25};
        p.sideShadowDepth[s] = 50;
        p.stretch[s] = PadValue{25, 25};
        p.stretchDouble[s] = 0;
        p.sideShadowBlur[s] = 0;
        p.orientation[s] = 0;
    }
    p.moireH = p.moireV = 50;
    p.curve = PadValue{25, 25};
    p.curveShape = 0;
    p.brightnessRatio = p.lightExiting = p.saturation = 0;
    p.deformation = p.whiteCanvas = 0;
    p.antiAliasing = 1;
    return p;
}

// A record of random bytes, sealed and loaded as the preset box loads a user
// preset after `before`.
inline TwoStageParams RandomLoadedTwoStage(std::mt19937& random, const TwoStageParams& before)
{
    TwoStageParams p;
    for (size_t i = 0; i < sizeof p; ++i)
        reinterpret_cast<uint8_t*>(&p)[i] = static_cast<uint8_t>(random());
    p.checksum = TwoStageChecksum(p);
    FinishPresetLoad(p, before);
    ReadBackCheckBoxes(p);
    return p;
}
