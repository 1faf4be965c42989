// The derived values of a render, in the order they are defined.
#include "deform/engine/deform_setup.h"

#include <cmath>

#include "common/float_to_int.h"
#include "common/larger_quotient.h"
#include "common/preview_size.h"
#include "common/shear.h"


static int64_t Abs64(int32_t n)
{
    return n < 0 ? -static_cast<int64_t>(n) : n;
}

static void PrepareLevels(const DeformInputs& in, DeformSetup* d)
{
    // A floor outside 0..255 (a hostile record) is clamped so the table
    // stays a byte mapping.
    const int32_t floor =
        in.brightnessFloor < 0 ? 0 : (in.brightnessFloor > 255 ? 255 : in.brightnessFloor);
    d->levelFloor = static_cast<float>(floor);
    d->levelStep = static_cast<float>(255 - floor) * 0.003921569f;
    for (int32_t i = 0; i < 256; ++i) {
        const int32_t level = TruncToInt(d->levelFloor + static_cast<float>(i) * d->levelStep);
        d->levelTable[i] = ClampByte(level);
    }
}

static void PrepareFill(const DeformInputs& in, const DeformBuffers& b, uint32_t fillColour,
                        int32_t planes, DeformSetup* d)
{
    d->wholeImage = (in.edgeFlags & EdgeWholeImage) != 0;
    d->antialias = (in.edgeFlags & EdgeAntialias) != 0;
    d->channels = planes < 3 ? planes : 3;
    d->fillAlpha = static_cast<uint8_t>(fillColour >> 24);
    d->fillMode = FillOpaque;
    if (d->fillAlpha == 0 && planes == 3) d->fillMode = FillChecker;
    if (d->fillAlpha == 0 && planes == 4) d->fillMode = FillClearAlpha;
    const uint8_t red = fillColour & 0xFF;
    const uint8_t green = (fillColour >> 8) & 0xFF;
    const uint8_t blue = (fillColour >> 16) & 0xFF;
    if (d->fillMode != FillOpaque) {
        d->fillBytes[0] = d->fillBytes[1] = d->fillBytes[2] = 224;
    } else if (d->wholeImage) {
        d->fillBytes[0] = red, d->fillBytes[1] = green, d->fillBytes[2] = blue;
    } else {
        d->fillBytes[0] = blue, d->fillBytes[1] = green, d->fillBytes[2] = red;
    }
    if (d->wholeImage) {
        d->fillLeft = b.left, d->fillTop = b.top, d->fillRight = b.right, d->fillBottom = b.bottom;
    } else {
        d->fillLeft = 0, d->fillTop = 0, d->fillRight = kPreviewWidth, d->fillBottom = kPreviewHeight;
    }
}

// max(bottom / (bottom - |ky| B), right / (right - |kx| A)) x (M / P + 1) x 0.5.
// A term whose divisor is not positive (a tile larger than the image) is left
// out; with both out the maximum counts as 1.
static float Zoom(const DeformBuffers& b, const DeformSetup& d)
{
    const float bottom = static_cast<float>(b.bottom);
    const float right = static_cast<float>(b.right);
    const float below = bottom - std::fabs(d.ky) * d.B;
    const float across = right - std::fabs(d.kx) * d.A;
    const float most = LargerQuotient(right, across, bottom, below);
    return most * (d.M / d.P + 1.0f) * 0.5f;
}

static void PrepareGeometry(const DeformInputs& in, const DeformBuffers& b, DeformSetup* d)
{
    d->kx = ClampShear(static_cast<float>(in.stretchX) * 0.02f);
    d->ky = ClampShear(static_cast<float>(in.stretchY) * 0.02f);
    d->K = d->kx * d->ky;
    d->A = static_cast<float>(in.tileHeight > 2 ? in.tileHeight : 2);
    d->B = static_cast<float>(in.tileWidth > 2 ? in.tileWidth : 2);
    d->P = 1.0f + d->K;
    d->M = 1.0f - d->K;
    d->R = d->P / d->M;
    d->WA = d->P * d->A;
    d->WB = d->P * d->B;
    d->G1 = static_cast<float>(in.gradientY) * 1.5f / (d->P * d->A * 50.0f);
    d->G2 = static_cast<float>(in.gradientX) * 1.5f / (d->P * d->B * 50.0f);
    const int32_t minY = in.gradientY < 0 ? in.gradientY : 0;
    const int32_t minX = in.gradientX < 0 ? in.gradientX : 0;
    const int32_t minSide = in.sideShading < 0 ? in.sideShading : 0;
    d->base = 0.03f * static_cast<float>(minY) + 0.03f * static_cast<float>(minX) +
              0.01f * static_cast<float>(minSide);
    const float slopes = static_cast<float>(Abs64(in.gradientY) + Abs64(in.gradientX));
    d->boost = static_cast<float>(in.lightBoost) *
               (0.01f * static_cast<float>(Abs64(in.sideShading)) + 0.03f * slopes) * 0.005f;

    d->Fa = d->Fb = d->Fc = d->Fd = 1.0f;
    const float S = 1.0f - static_cast<float>(in.sideShading) * 0.01f;
    switch (in.faceScheme) {
    case 0: d->Fa = d->Fc = S; break;
    case 1: d->Fa = d->Fb = S; break;
    case 2: d->Fa = d->Fd = S; break;
    default: break; // 3 darkens no face
    }

    d->zoom = Zoom(b, *d);
    const float shorter = d->WA < d->WB ? d->WA : d->WB;
    const float bevel = shorter * in.bevelWidth * 0.02f;
    const float bevelQ = bevel / d->R;
    // Written so that NaN also becomes the two-pixel minimum.
    d->T = bevel >= 2.0f ? bevel : 2.0f;
    d->Q = bevelQ >= 2.0f ? bevelQ : 2.0f;

    d->A2 = 2.0f * d->A;
    d->B2 = 2.0f * d->B;
    d->kxA2 = 2.0f * d->kx * d->A;
    d->kyB2 = 2.0f * d->ky * d->B;
    d->kxkyB2 = 2.0f * d->kx * d->ky * d->B;
    d->KA2 = 2.0f * d->K * d->A;
    d->MA = d->M * d->A;
    d->MB = d->M * d->B;
}

void PrepareDeformation(const DeformInputs& in, const DeformBuffers& buffers,
                        uint32_t fillColour, int32_t planes, DeformSetup* d)
{
    PrepareLevels(in, d);
    d->satGain = static_cast<float>(in.saturation) * 0.05f;
    PrepareFill(in, buffers, fillColour, planes, d);
    PrepareGeometry(in, buffers, d);
}
