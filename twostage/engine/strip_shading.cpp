#include "twostage/engine/strip_shading.h"

#include <cstddef>
#include <cstdlib>

#include "common/checker.h"
#include "common/float_to_int.h"

namespace {

constexpr float kInv255 = 1.0f / 255.0f; // 0.003921568859...

float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

uint8_t OutputByte(float v)
{
    const int32_t i = TruncToInt(v);
    return static_cast<uint8_t>(i < 0 ? 0 : (i > 255 ? 255 : i));
}

void BlendColour(PixelSample& s, const ResolvedColour& c, float factor)
{
    if (c.alpha == 0)
        return;
    s.comp[0] = s.comp[0] * factor + (1.0f - factor) * c.col0;
    s.comp[1] = s.comp[1] * factor + (1.0f - factor) * c.col1;
    s.comp[2] = s.comp[2] * factor + (1.0f - factor) * c.col2;
}

// Multiplies v by the factor of every transparent shadow colour, in the
// order gradient 1, gradient 2, side 1, side 2.
float ApplyTransparentShadows(float v, const PixelColours& c, const StageGeometry stage[2])
{
    if (c.gradient[0].alpha == 0)
        v *= stage[0].gradientFactor;
    if (c.gradient[1].alpha == 0)
        v *= stage[1].gradientFactor;
    if (c.side[0].alpha == 0)
        v *= stage[0].sideFactor;
    if (c.side[1].alpha == 0)
        v *= stage[1].sideFactor;
    return v;
}

} // namespace

ResolvedColour ResolveColour(ColourSetting setting, bool exchange, const uint8_t foreColor[4],
                             const uint8_t backColor[4], bool hasTransparency)
{
    ResolvedColour r{setting.red, setting.green, setting.blue, 255};
    switch (setting.source & 3) {
    case SourceForeground:
        r = {foreColor[0], foreColor[1], foreColor[2], 255};
        break;
    case SourceBackground:
        r = {backColor[0], backColor[1], backColor[2], 255};
        break;
    case SourceTransparent:
        if (hasTransparency)
            r = {255, 255, 255, 0};
        break;
    default:
        break;
    }
    if (exchange) {
        const uint8_t t = r.col0;
        r.col0 = r.col2;
        r.col2 = t;
    }
    return r;
}

void BuildToneTable(uint8_t table[256], uint8_t brightnessRatio, uint8_t whiteCanvas)
{
    const int32_t b = brightnessRatio;
    for (int32_t i = 0; i < 256; ++i) {
        if (whiteCanvas & 1) {
            table[i] = 255;
            continue;
        }
        const int32_t v = TruncToInt(static_cast<float>(b) +
                                          static_cast<float>(i * (255 - b)) * kInv255);
        table[i] = static_cast<uint8_t>(v > 255 ? 255 : v);
    }
}

void BoostSaturation(float& x, float& y, float& z, float m)
{
    float max = x > y ? x : y;
    if (z > max)
        max = z;
    float min = x < y ? x : y;
    if (z < min)
        min = z;
    const float d = max - min;
    float hue = 0.0f, s = 0.0f;
    if (max != 0.0f && d != 0.0f) {
        s = d * 255.0f / max;
        if (x == max)
            hue = (max - z) * 255.0f / d - (max - y) * 255.0f / d;
        else if (y == max)
            hue = (max - x) * 255.0f / d + 512.0f - (max - z) * 255.0f / d;
        else
            hue = (max - y) * 255.0f / d + 1024.0f - (max - x) * 255.0f / d;
    }
    s = m * s;
    if (s > 255.0f)
        s = 255.0f;
    if (hue < 0.0f)
        hue += 1536.0f;
    if (hue >= 1536.0f)
        hue = 0.0f;

    const int32_t sector = TruncToInt(hue / 256.0f) & 255;
    const float f = hue - 256.0f * static_cast<float>(sector);
    const float sp = s > 0.0f ? s : 0.0f;
    const float v = max;
    const float low = v * (255.0f - sp) * kInv255;
    const float fall = v * (255.0f - f * sp * kInv255) * kInv255;
    const float rise = v * (255.0f - (255.0f - f) * sp * kInv255) * kInv255;
    switch (sector) {
    case 0: x = v; y = rise; z = low; break;
    case 1: y = v; x = fall; z = low; break;
    case 2: y = v; z = rise; x = low; break;
    case 3: z = v; y = fall; x = low; break;
    case 4: z = v; x = rise; y = low; break;
    case 5: x = v; z = fall; y = low; break;
    default: break;
    }
}

void SetUpStageShading(StageGeometry& g, StageSettings& s)
{
    const float f = 1.0f - static_cast<float>(s.sideDepth) * 0.01f;
    g.c0 = g.c1 = g.c2 = g.c3 = 1.0f;
    switch (s.orientation) {
    case 0: g.c0 = g.c1 = f; break; // rows: the upper faces
    case 1: g.c1 = g.c3 = f; break; // columns: the right faces
    case 2: g.c1 = g.c2 = f; break; // mixed: upper right and lower left
    default: break;
    }

    g.gradientBase = s.gradientY < 0 ? 0.03f * static_cast<float>(s.gradientY) : 0.0f;
    if (s.gradientX < 0)
        g.gradientBase = g.gradientBase + 0.03f * static_cast<float>(s.gradientX);
    g.sideBase = s.sideDepth < 0 ? static_cast<float>(s.sideDepth) * 0.01f : 0.0f;
    g.lightBoost = (static_cast<float>(std::abs(s.sideDepth)) * 0.01f +
                    static_cast<float>(std::abs(s.gradientY) + std::abs(s.gradientX)) * 0.03f) *
                   static_cast<float>(s.lightExiting) * 0.005f;
    g.slopeY = static_cast<float>(s.gradientY) * 1.5f / (g.cellH * 50.0f);
    g.slopeX = static_cast<float>(s.gradientX) * 1.5f / (g.cellW * 50.0f);

    const float cell = g.cellW < g.cellH ? g.cellW : g.cellH;
    s.blur = s.blur * cell * 0.02f;
    g.faceBlur = s.blur / g.faceScale;
    if (s.blur < 2.0f)
        s.blur = 2.0f;
    if (g.faceBlur < 2.0f)
        g.faceBlur = 2.0f;
}

void FaceFactors(StageGeometry& g, const StageSettings& s, int face, float U, float P, float Q,
                 float S, float& shade)
{
    const float gs = g.faceScale;
    const float fb = g.faceBlur;
    const float blur = s.blur;
    float p = 1.0f, q = 1.0f;
    switch (face) {
    case 1:
        p = U / fb + 0.5f;
        if (p > 1.0f)
            p = 0.5f - (U - g.cellHn) / fb;
        q = 0.5f - P / fb;
        if (q > 1.0f)
            q = (P + g.cellWn) / fb + 0.5f;
        p = Clamp01(p);
        q = Clamp01(q);
        g.gradientFactor = 1.0f - (g.slopeY * U - g.slopeX * P) * gs;
        g.sideFactor = (g.c0 * (1.0f - p) + g.c2 * p) * q + (g.c1 * (1.0f - p) + g.c3 * p) * (1.0f - q);
        break;
    case 2:
        p = 0.5f - U / blur;
        if (p > 1.0f)
            p = (g.cellH + U) / blur + 0.5f;
        q = 0.5f - S / blur;
        if (q > 1.0f)
            q = (S + g.cellW) / blur + 0.5f;
        p = Clamp01(p);
        q = Clamp01(q);
        g.gradientFactor = 1.0f + g.slopeX * S + g.slopeY * U;
        g.sideFactor = g.c3 * (1.0f - q) * (1.0f - p) + g.c0 * q * p + g.c2 * q * (1.0f - p) +
                       g.c1 * p * (1.0f - q);
        break;
    case 3:
        p = Q / blur + 0.5f;
        if (p > 1.0f)
            p = 0.5f - (Q - g.cellH) / blur;
        q = P / blur + 0.5f;
        if (q > 1.0f)
            q = 0.5f - (P - g.cellW) / blur;
        p = Clamp01(p);
        q = Clamp01(q);
        g.gradientFactor = 1.0f - g.slopeY * Q - g.slopeX * P;
        g.sideFactor = g.c3 * q * p + g.c0 * (1.0f - q) * (1.0f - p) + g.c1 * q * (1.0f - p) +
                       g.c2 * p * (1.0f - q);
        break;
    case 4:
        p = 0.5f - Q / fb;
        if (p > 1.0f)
            p = (Q + g.cellHn) / fb + 0.5f;
        q = S / fb + 0.5f;
        if (q > 1.0f)
            q = 0.5f - (S - g.cellWn) / fb;
        p = Clamp01(p);
        q = Clamp01(q);
        g.gradientFactor = 1.0f + (g.slopeY * Q - g.slopeX * S) * gs;
        g.sideFactor = g.c1 * q * p + g.c2 * (1.0f - q) * (1.0f - p) + g.c3 * q * (1.0f - p) +
                       g.c0 * p * (1.0f - q);
        break;
    default:
        break; // no face: the previous factors stay
    }
    // Equal corner factors blend to that factor exactly (the sums above can
    // come out one unit of the last place off, and a side depth of 50 would
    // then change pixels by one level).
    if (face != 0 && g.c0 == g.c1 && g.c1 == g.c2 && g.c2 == g.c3)
        g.sideFactor = g.c0;
    shade = shade * (g.gradientFactor + g.gradientBase + g.sideBase);
    g.sideFactor = g.sideFactor + g.sideBase;
    g.gradientFactor = g.gradientFactor + g.gradientBase + g.lightBoost;
}

void FinishPixel(const PixelColours& c, const StageGeometry stage[2], float shade,
                 PixelSample& sample, const uint8_t* src, int32_t srcStride,
                 const uint8_t* alphaPlane, int32_t alphaStride, int32_t x, int32_t y,
                 uint8_t* dst)
{
    if (shade < 1.0f && !c.whiteCanvas && c.bytesPerPixel >= 3)
        BoostSaturation(sample.comp[0], sample.comp[1], sample.comp[2],
                        (1.0f - shade) * c.saturationGain + 1.0f);

    BlendColour(sample, c.gradient[0], stage[0].gradientFactor);
    BlendColour(sample, c.side[0], stage[0].sideFactor);
    BlendColour(sample, c.gradient[1], stage[1].gradientFactor);
    BlendColour(sample, c.side[1], stage[1].sideFactor);

    float bg0 = c.background.col0, bg1 = c.background.col1, bg2 = c.background.col2;
    if (c.transparencyChecker) {
        const float w = static_cast<float>(CheckerValue(x, y));
        float B = 255.0f;
        if (alphaPlane) {
            const uint8_t* row0 = alphaPlane + static_cast<ptrdiff_t>(sample.y0) * alphaStride;
            const uint8_t* row1 = alphaPlane + static_cast<ptrdiff_t>(sample.y1) * alphaStride;
            B = row0[sample.x0] * sample.weight[0] + row0[sample.x1] * sample.weight[1] +
                row1[sample.x0] * sample.weight[2] + row1[sample.x1] * sample.weight[3];
        }
        B = Clamp01(ApplyTransparentShadows(B / 255.0f, c, stage));
        for (float& v : sample.comp)
            v = B * v + (1.0f - B) * w;
        if (c.checkerBackground)
            bg0 = bg1 = bg2 = w;
    }

    const float outside = sample.outside;
    if (outside > 0.01f) {
        sample.comp[0] = outside * bg0 + (1.0f - outside) * sample.comp[0];
        sample.comp[1] = outside * bg1 + (1.0f - outside) * sample.comp[1];
        sample.comp[2] = outside * bg2 + (1.0f - outside) * sample.comp[2];
    }
    dst[2] = OutputByte(sample.comp[0]);
    dst[1] = OutputByte(sample.comp[1]);
    dst[0] = OutputByte(sample.comp[2]);

    if (c.bytesPerPixel == 4) {
        float a = src[static_cast<ptrdiff_t>(sample.y0) * srcStride + sample.x0 * 4 + 3];
        if (outside > 0.01f)
            a = a * (1.0f - outside) + outside * static_cast<float>(c.background.alpha);
        a = ApplyTransparentShadows(a, c, stage);
        a = a < 0.0f ? 0.0f : (a > 255.0f ? 255.0f : a);
        dst[3] = OutputByte(a);
    }
}
