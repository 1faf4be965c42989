// TwoStageParams: the 64-byte settings record of velk2000. The in-memory form
// is the stored form (user presets, factory table): little-endian, copied and
// compared whole. Stage index 0 is the first ("Yellow") stage, 1 the second
// ("Violet") stage.
#pragma once

#include <cstddef>
#include <cstdint>

// Values of ColourSetting::source (only its low two bits count).
enum : uint8_t {
    SourceForeground = 0, // the host's foreground colour
    SourceBackground = 1, // the host's background colour
    SourcePicker = 2,     // the setting's own red, green, blue
    SourceTransparent = 3,
};

struct ColourSetting {
    uint8_t red;
    uint8_t green;
    uint8_t blue;
    uint8_t source;
};

// A two-axis pad value; 25 is the centre of the pad.
struct PadValue {
    uint8_t x;
    uint8_t y;
};

// hSpacing and vSpacing of one stage (interleaved per stage in the record).
struct StageSpacing {
    uint8_t hSpacing;
    uint8_t vSpacing;
};

// saveFlags bits
enum : uint8_t {
    SaveFlagNoColours = 0x80,        // load keeps bytes 0-19 as they were
    SaveFlagNoLightCorrection = 0x40, // load keeps bytes 40-42 as they were
};

constexpr uint8_t kTwoStageVersion = 14; // format 1.4

struct TwoStageParams {
    ColourSetting backgroundColor;        // 0
    ColourSetting gradientShadowColor[2]; // 4
    ColourSetting sideShadowColor[2];     // 12
    StageSpacing spacing[2];              // 20: hSpacing[0], vSpacing[0], hSpacing[1], vSpacing[1]
    uint8_t moireH;                       // 24, neutral 50
    uint8_t moireV;                       // 25, neutral 50
    PadValue gradientDepth[2];            // 26, neutral (25, 25)
    uint8_t sideShadowDepth[2];           // 30, neutral 50
    PadValue stretch[2];                  // 32, neutral (25, 25)
    uint8_t sideShadowBlur[2];            // 36
    uint8_t orientation[2];               // 38: 0 rows, 1 columns, 2 mixed, 3 none
    uint8_t brightnessRatio;              // 40
    uint8_t lightExiting;                 // 41
    uint8_t saturation;                   // 42
    uint8_t version;                      // 43
    uint8_t saveFlags;                    // 44
    uint8_t stretchDouble[2];             // 45
    uint8_t antiAliasing;                 // 47
    uint8_t deformation;                  // 48
    uint8_t whiteCanvas;                  // 49
    PadValue curve;                       // 50, neutral (25, 25)
    uint8_t curveShape;                   // 52: 0 parabola, 1 and 2 cosine shapes
    uint8_t reserved[7];                  // 53
    uint32_t checksum;                    // 60, over bytes 0-59
};

static_assert(sizeof(ColourSetting) == 4 && sizeof(PadValue) == 2, "small records");
static_assert(sizeof(TwoStageParams) == 64, "TwoStageParams is 64 bytes");
static_assert(offsetof(TwoStageParams, gradientShadowColor) == 4, "layout");
static_assert(offsetof(TwoStageParams, sideShadowColor) == 12, "layout");
static_assert(offsetof(TwoStageParams, spacing) == 20, "layout");
static_assert(offsetof(TwoStageParams, moireH) == 24, "layout");
static_assert(offsetof(TwoStageParams, gradientDepth) == 26, "layout");
static_assert(offsetof(TwoStageParams, sideShadowDepth) == 30, "layout");
static_assert(offsetof(TwoStageParams, stretch) == 32, "layout");
static_assert(offsetof(TwoStageParams, sideShadowBlur) == 36, "layout");
static_assert(offsetof(TwoStageParams, orientation) == 38, "layout");
static_assert(offsetof(TwoStageParams, brightnessRatio) == 40, "layout");
static_assert(offsetof(TwoStageParams, version) == 43, "layout");
static_assert(offsetof(TwoStageParams, saveFlags) == 44, "layout");
static_assert(offsetof(TwoStageParams, stretchDouble) == 45, "layout");
static_assert(offsetof(TwoStageParams, antiAliasing) == 47, "layout");
static_assert(offsetof(TwoStageParams, deformation) == 48, "layout");
static_assert(offsetof(TwoStageParams, whiteCanvas) == 49, "layout");
static_assert(offsetof(TwoStageParams, curve) == 50, "layout");
static_assert(offsetof(TwoStageParams, curveShape) == 52, "layout");
static_assert(offsetof(TwoStageParams, reserved) == 53, "layout");
static_assert(offsetof(TwoStageParams, checksum) == 60, "layout");

// The checksum of bytes 0-59: for every byte, eleven times s = (s << 1) |
// (bit 30 of s), then s += byte (modulo 2^32).
uint32_t TwoStageChecksum(const TwoStageParams& p);

// True when the stored checksum matches bytes 0-59.
bool TwoStageChecksumValid(const TwoStageParams& p);

// Whole-record comparison (all 64 bytes).
bool SameTwoStageParams(const TwoStageParams& a, const TwoStageParams& b);
