#include "twostage/engine/preset_load.h"

#include "twostage/engine/twostage_presets.h"

namespace {

bool SameColour(const ColourSetting& c, uint8_t r, uint8_t g, uint8_t b, uint8_t source)
{
    return c.red == r && c.green == g && c.blue == b && c.source == source;
}

bool IsZero(const ColourSetting& c)
{
    return c.red == 0 && c.green == 0 && c.blue == 0 && c.source == 0;
}

void CopySideFromGradient(TwoStageParams& p)
{
    p.sideShadowColor[0] = p.gradientShadowColor[0];
    p.sideShadowColor[1] = p.gradientShadowColor[1];
}

} // namespace

void RestoreUnsavedSettings(TwoStageParams& loaded, const TwoStageParams& before)
{
    if (loaded.saveFlags & SaveFlagNoColours) {
        loaded.backgroundColor = before.backgroundColor;
        for (int s = 0; s < 2; ++s) {
            loaded.gradientShadowColor[s] = before.gradientShadowColor[s];
            loaded.sideShadowColor[s] = before.sideShadowColor[s];
        }
    }
    if (loaded.saveFlags & SaveFlagNoLightCorrection) {
        loaded.brightnessRatio = before.brightnessRatio;
        loaded.lightExiting = before.lightExiting;
        loaded.saturation = before.saturation;
    }
}

void ApplySideColourRule(TwoStageParams& p)
{
    if (SameColour(p.sideShadowColor[0], 41, 177, 73, SourcePicker) &&
        SameColour(p.sideShadowColor[1], 177, 172, 36, SourceBackground))
        CopySideFromGradient(p);
    if (IsZero(p.sideShadowColor[0]) && IsZero(p.sideShadowColor[1]))
        CopySideFromGradient(p);
}

bool FixUpVersion(TwoStageParams& p)
{
    if (p.version < 13) {
        p.curve.x = 25;
        p.curve.y = 25;
    }
    if (p.version < 14)
        p.curveShape = 0;
    return p.version > kTwoStageVersion;
}

void ForceAntiAliasing(TwoStageParams& p)
{
    p.antiAliasing = 1;
}

bool FinishPresetLoad(TwoStageParams& loaded, const TwoStageParams& before)
{
    RestoreUnsavedSettings(loaded, before);
    ApplySideColourRule(loaded);
    const bool newer = FixUpVersion(loaded);
    ForceAntiAliasing(loaded);
    return newer;
}

void ReadBackCheckBoxes(TwoStageParams& p)
{
    p.stretchDouble[0] &= 1;
    p.stretchDouble[1] &= 1;
    p.antiAliasing &= 1;
    p.deformation &= 1;
    p.whiteCanvas &= 1;
    p.version = kTwoStageVersion;
}

TwoStageParams DialogRecordForFactory(int n)
{
    const TwoStageParams before = *TwoStageFactoryRecord(kTwoStageInitialPreset);
    const TwoStageParams* source = TwoStageFactoryRecord(n);
    TwoStageParams p = source ? *source : before;
    FinishPresetLoad(p, before);
    ReadBackCheckBoxes(p);
    return p;
}

TwoStageParams StoredPreset(const TwoStageParams& record, bool saveColours, bool saveLight)
{
    TwoStageParams stored = record;
    if (saveColours)
        stored.saveFlags &= static_cast<uint8_t>(~SaveFlagNoColours);
    else
        stored.saveFlags |= SaveFlagNoColours;
    if (saveLight)
        stored.saveFlags &= 0xB0; // bits 0-3 go too
    else
        stored.saveFlags |= SaveFlagNoLightCorrection;
    stored.checksum = TwoStageChecksum(stored);
    return stored;
}
