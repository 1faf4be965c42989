// The look of the strips: colour resolution, the source tone table, the
// shading constants and factors of each stage, the saturation boost, and the
// colour steps that finish and write every sampled pixel.
#pragma once

#include <cstdint>

#include "twostage/engine/strip_stage.h"
#include "twostage/engine/twostage_params.h"

// col0..col2 in the order of a pixel's first, second and third component;
// alpha 255 for an opaque colour, 0 for a transparent one.
struct ResolvedColour {
    uint8_t col0, col1, col2, alpha;
};

// Foreground and Background take the host's colours (foreColor, backColor),
// Picker the setting's own; Transparent is white with alpha 0 on an image
// with transparency, else the setting's own colour. exchange swaps col0 and
// col2 (host pixels are red first, the components blue first).
ResolvedColour ResolveColour(ColourSetting setting, bool exchange, const uint8_t foreColor[4],
                             const uint8_t backColor[4], bool hasTransparency);

// Entry i: 255 with bit 0 of whiteCanvas set, else min(255, trunc(b + i (255 - b) / 255)).
void BuildToneTable(uint8_t table[256], uint8_t brightnessRatio, uint8_t whiteCanvas);

// Raises the saturation of the components (first, second, third) by gain m,
// keeping their value and hue.
void BoostSaturation(float& x, float& y, float& z, float m);

// The shading constants of a stage; needs cellH, cellW and faceScale, and
// rescales s.blur.
void SetUpStageShading(StageGeometry& g, StageSettings& s);

// The factors of face 1..4 (0: no face, the previous factors are kept) from
// the distances U, P, Q, S, then the shade product and the stage's offsets.
void FaceFactors(StageGeometry& g, const StageSettings& s, int face, float U, float P, float Q,
                 float S, float& shade);

// What FinishPixel needs besides the sample.
struct PixelColours {
    ResolvedColour background;
    ResolvedColour gradient[2]; // gradient shadow colour of stage 1 and 2
    ResolvedColour side[2];     // side shadow colour of stage 1 and 2
    float saturationGain;
    bool whiteCanvas;
    bool transparencyChecker; // preview of an image with editable transparency
    bool checkerBackground;   // ... whose background colour is transparent
    int32_t bytesPerPixel;
};

// A sampled pixel: its components, the share of the background, and the four
// samples (top-left, top-right, bottom-left, bottom-right) with their weights.
struct PixelSample {
    float comp[3]; // first, second, third
    float outside;
    float weight[4];
    int32_t x0, x1, y0, y1;
};

// The colour steps after sampling; writes the pixel at dst. alphaPlane (rows
// of alphaStride) is read only with the transparency checkerboard; null reads
// as opaque.
void FinishPixel(const PixelColours& c, const StageGeometry stage[2], float shade,
                 PixelSample& sample, const uint8_t* src, int32_t srcStride,
                 const uint8_t* alphaPlane, int32_t alphaStride, int32_t x, int32_t y,
                 uint8_t* dst);
