// DeformSettings: checksum, verification, colour defaults and the engine
// inputs derived from a record.
#include "deform/engine/deform_settings.h"

#include <cstdint>
#include <cstring>

#include "common/float_to_int.h"

int32_t DeformChecksum(const DeformSettings& s)
{
    int32_t sum = 0;
    for (int i = 0; i < 8; ++i) sum += static_cast<int32_t>(s.valueX[i]) + s.valueY[i];
    return sum;
}

bool VerifyDeformSettings(DeformSettings& s)
{
    if (s.magic != kDeformMagic) s.saturation = 10;
    return s.checksum == DeformChecksum(s);
}

void SetDefaultColour(DeformSettings& s)
{
    s.colour[0] = kDefaultFillColour & 0xFF;
    s.colour[1] = (kDefaultFillColour >> 8) & 0xFF;
    s.colour[2] = (kDefaultFillColour >> 16) & 0xFF;
    s.colour[3] = 255;
    s.colourSource = Picker;
}

void SetFallbackLightCorrection(DeformSettings& s)
{
    s.valueX[SlotLightBoost] = 30;
    s.valueX[SlotBrightness] = 20;
    s.saturation = 10;
}

void SealLastUsed(DeformSettings& s, uint8_t colourSource, const uint8_t pickedColour[4])
{
    uint8_t colour[4];
    std::memcpy(colour, pickedColour, 4); // may be s.colour itself
    s.saveFlags = colourSource == Picker ? (LastUsedMark | SaveColour) : LastUsedMark;
    s.colourSource = colourSource;
    s.checksum = DeformChecksum(s);
    std::memcpy(s.colour, colour, 4);
    s.magic = kDeformMagic;
}

static uint32_t OpaqueColour(const uint8_t rgb[4])
{
    return static_cast<uint32_t>(rgb[0]) | static_cast<uint32_t>(rgb[1]) << 8 |
           static_cast<uint32_t>(rgb[2]) << 16 | 0xFF000000u;
}

uint32_t ResolveFillColour(int32_t planes, uint8_t source, const uint8_t picked[4],
                           const uint8_t foreColor[4], const uint8_t backColor[4])
{
    if (planes < 3) return kDefaultFillColour;
    switch (source & 3) {
    case Foreground: return OpaqueColour(foreColor);
    case Background: return OpaqueColour(backColor);
    case Picker: return OpaqueColour(picked);
    default: return kTransparentFill;
    }
}

// The inputs both columns share: everything but the tile sizes, the offsets
// and the edge flags.
static DeformInputs CommonInputs(const DeformSettings& s)
{
    const int32_t d = ((s.styleBits >> 2) & 1) + 1;
    DeformInputs in{};
    in.stretchX = (25 - s.valueX[SlotStretch]) * d;
    in.stretchY = (s.valueY[SlotStretch] - 25) * d;
    in.gradientY = s.valueY[SlotGradient] - 25;
    in.gradientX = s.valueX[SlotGradient] - 25;
    in.sideShading = s.valueX[SlotSideShading] - 50;
    // A record from outside can hold anything; a negative floor means none.
    in.brightnessFloor = s.valueX[SlotBrightness] < 0 ? 0 : s.valueX[SlotBrightness];
    in.lightBoost = s.valueX[SlotLightBoost];
    in.saturation = s.saturation;
    in.bevelWidth = static_cast<float>(s.valueX[SlotBevelWidth]);
    in.faceScheme = s.styleBits & 3;
    in.rowOffsetFine = 0.0f;
    in.columnOffsetFine = 0.0f;
    return in;
}

DeformInputs ApplyInputs(const DeformSettings& s, float previewScale)
{
    DeformInputs in = CommonInputs(s);
    const int16_t height = s.valueY[SlotTileHeight];
    const int16_t width = s.valueX[SlotTileWidth];
    in.tileHeight = TruncToInt(static_cast<float>(height) * previewScale);
    in.tileWidth = TruncToInt(previewScale * static_cast<float>(width));
    const int32_t shearY = -in.stretchY > 0 ? -in.stretchY : 0;
    const int32_t shearX = in.stretchX > 0 ? in.stretchX : 0;
    // Computed in float and converted with saturation: any record and scale
    // give an offset inside the 32-bit range.
    in.rowOffset = TruncToInt(static_cast<float>(shearY) * previewScale *
                              static_cast<float>(width) * 0.02f);
    in.columnOffset = TruncToInt(static_cast<float>(shearX) * static_cast<float>(height) *
                                 previewScale * 0.02f);
    // Bit 0 only from the stored byte, so that no value can clear bit 1.
    in.edgeFlags = (s.antialias & 1) + EdgeWholeImage;
    return in;
}

// tile x shear / 50 of the preview. Tiles of a record reach the int16 range
// and shears twice a pad value, so the product is formed in 64 bits; the
// quotient is limited to the 32-bit range the inputs hold.
static int32_t PreviewOffset(int32_t tile, int32_t shear)
{
    const int64_t offset = static_cast<int64_t>(tile) * shear / 50;
    if (offset > INT32_MAX) return INT32_MAX;
    if (offset < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(offset);
}

DeformInputs PreviewInputs(const DeformSettings& s)
{
    DeformInputs in = CommonInputs(s);
    in.tileHeight = s.valueY[SlotTileHeight];
    in.tileWidth = s.valueX[SlotTileWidth];
    const int32_t shearY = -in.stretchY > 0 ? -in.stretchY : 0;
    const int32_t shearX = in.stretchX > 0 ? in.stretchX : 0;
    in.rowOffset = PreviewOffset(in.tileWidth, shearY);
    in.columnOffset = PreviewOffset(in.tileHeight, shearX);
    in.edgeFlags = s.antialias & 1;
    return in;
}
