// DeformSettings: the 64-byte settings record of velk3d. The in-memory form
// is the stored form (registry value "Last Used", user presets, --record
// files): little-endian, copied and compared whole.
#pragma once

#include <cstddef>
#include <cstdint>

enum ColourSource : uint8_t {
    Foreground = 0,
    Background = 1,
    Picker = 2,
    Transparent = 3,
};

// saveFlags bits
enum : uint8_t {
    SaveColour = 2,
    SaveLightCorrection = 4,
    LastUsedMark = 8,
};

constexpr uint16_t kDeformMagic = 0x1234;
constexpr uint32_t kDefaultFillColour = 0xFFCBD9E3; // 227, 217, 203, opaque
constexpr uint32_t kTransparentFill = 0x00FFFFFF;

// Slider slots of valueX / valueY.
enum DeformSlot {
    SlotTileHeight = 0,  // y
    SlotTileWidth = 1,   // x
    SlotBevelWidth = 2,  // x
    SlotSideShading = 3, // x, neutral 50
    SlotStretch = 4,     // x and y, neutral 25
    SlotGradient = 5,    // x and y, neutral 25
    SlotLightBoost = 6,  // x
    SlotBrightness = 7,  // x
};

struct DeformSettings {
    int16_t valueX[8];
    int16_t valueY[8];
    uint8_t styleBits;    // bits 0-1 faceScheme, bit 2 doubleStretch
    uint8_t antialias;    // 1 when "Antialiasing" is on
    uint8_t colourSource; // ColourSource of the fill colour
    uint8_t reserved35;
    int32_t checksum;     // sum of the 16 values, each sign-extended
    uint8_t colour[4];    // red, green, blue, alpha flag
    uint8_t saveFlags;
    uint8_t saturation;   // 0..100
    uint8_t reserved46[16];
    uint16_t magic;       // kDeformMagic
};

static_assert(sizeof(DeformSettings) == 64, "DeformSettings is 64 bytes");
static_assert(offsetof(DeformSettings, valueY) == 16, "layout");
static_assert(offsetof(DeformSettings, styleBits) == 32, "layout");
static_assert(offsetof(DeformSettings, antialias) == 33, "layout");
static_assert(offsetof(DeformSettings, colourSource) == 34, "layout");
static_assert(offsetof(DeformSettings, checksum) == 36, "layout");
static_assert(offsetof(DeformSettings, colour) == 40, "layout");
static_assert(offsetof(DeformSettings, saveFlags) == 44, "layout");
static_assert(offsetof(DeformSettings, saturation) == 45, "layout");
static_assert(offsetof(DeformSettings, magic) == 62, "layout");

// Sum of valueX[i] and valueY[i], i = 0..7, as a 32-bit integer.
int32_t DeformChecksum(const DeformSettings& s);

// Verifies a record read from outside: a wrong magic sets saturation to 10
// (independently of the checksum). Returns true when the checksum matches.
bool VerifyDeformSettings(DeformSettings& s);

// The colour defaults of a record that could not be read or failed its
// checksum: colour 227, 217, 203 opaque, source Picker.
void SetDefaultColour(DeformSettings& s);

// The light correction of a first run, and of the fallback preset loaded for
// a corrupt user preset: "Light Boosting" 30, "Brightness Ratio" 20,
// "Saturation" 10.
void SetFallbackLightCorrection(DeformSettings& s);

// Finishes a confirmed record for storing as "Last Used": saveFlags is
// LastUsedMark, plus SaveColour when the source is Picker; the colour source
// and the picked colour are stored; checksum and magic are set.
void SealLastUsed(DeformSettings& s, uint8_t colourSource, const uint8_t pickedColour[4]);

// The fill colour handed to the engine (red bits 0-7, green 8-15, blue 16-23,
// alpha flag 24-31), resolved from a colour source. fore and back are the
// host's foreColor / backColor bytes, picked the Picker colour (4 bytes).
uint32_t ResolveFillColour(int32_t planes, uint8_t source, const uint8_t picked[4],
                           const uint8_t foreColor[4], const uint8_t backColor[4]);

// Engine inputs derived from a record: the tile, shading and offset values
// RenderDeformation takes besides its buffers, fill colour and callbacks.
struct DeformInputs {
    int32_t tileHeight;
    int32_t tileWidth;
    int32_t stretchX;
    int32_t stretchY;
    int32_t gradientY;
    int32_t gradientX;
    int32_t sideShading;
    int32_t brightnessFloor;
    int32_t lightBoost;
    int32_t saturation;
    float bevelWidth;
    int32_t faceScheme;
    int32_t rowOffset;
    float rowOffsetFine;
    int32_t columnOffset;
    float columnOffsetFine;
    int32_t edgeFlags; // EdgeAntialias | EdgeWholeImage
};

enum : int32_t {
    EdgeAntialias = 1,
    EdgeWholeImage = 2,
};

// The whole-image (apply) inputs, with s the preview scale of the image.
DeformInputs ApplyInputs(const DeformSettings& s, float previewScale);

// The preview inputs: the same formulas in preview pixels, integer arithmetic.
// In both paths the offsets of any record stay in the 32-bit range.
DeformInputs PreviewInputs(const DeformSettings& s);
