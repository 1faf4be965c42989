// Per-render working values of one stage of the strip lattice: the settings
// taken from the record and the geometry derived from them.
#pragma once

#include <cstdint>

struct StageSettings {
    int32_t rowPeriod;    // H, raised to 2 by SetUpStage
    int32_t columnPeriod; // W, raised to 2 by SetUpStage
    int32_t shearX;
    int32_t shearY;
    int32_t gradientY;
    int32_t gradientX;
    int32_t sideDepth; // -75..75 from the dialog
    int32_t lightExiting;
    float blur; // rescaled by SetUpStage
    int32_t orientation;
    int32_t originY;
    int32_t originX;
    float offsetX; // stage 1 only
    float offsetY;
};

struct StageGeometry {
    float sx, sy; // clamped shears
    float cellH, cellHn, cellW, cellWn;
    float skewH, skewW, skew2H, skew2W;
    float rowP, rowP2, colP, colP2;
    float faceScale; // g = (1 + sx sy) / (1 - sx sy)
    float zoom;
    float originXf, originYf;
    float shiftX, shiftY;

    // Shading constants
    float slopeY, slopeX;
    float faceBlur; // blur of faces 1 and 4
    float gradientBase, lightBoost, sideBase;
    float c0, c1, c2, c3; // side factor inside faces 2, 4, 1, 3

    // Per-pixel outputs of the last mapping
    float gradientFactor, sideFactor;
};

// The point being mapped and what the mappings leave for the later steps.
struct StripPoint {
    float X, Y;
    float curveU, curveV;
    float shade;
};
