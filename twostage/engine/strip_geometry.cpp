#include "twostage/engine/strip_geometry.h"

#include <cmath>

#include "common/float_to_int.h"
#include "common/larger_quotient.h"
#include "common/shear.h"
#include "twostage/engine/strip_shading.h"

namespace {

// trunc(a / period), minus 1 when a is negative.
int32_t BandIndex(float a, float period)
{
    int32_t t = TruncToInt(a / period);
    if (a < 0.0f && t > INT32_MIN)
        --t;
    return t;
}

// An integer as a real; int64 keeps sums like 2d + 1 free of overflow.
float Real(int64_t v)
{
    return static_cast<float>(v);
}

} // namespace

StageSettings MakeStageSettings(const TwoStageParams& p, int stage, bool fullImage, float scale)
{
    StageSettings s{};
    int32_t rows = p.spacing[stage].vSpacing;
    int32_t columns = p.spacing[stage].hSpacing;
    if (fullImage) {
        rows = TruncToInt(static_cast<float>(rows) * scale);
        columns = TruncToInt(static_cast<float>(columns) * scale);
    }
    s.rowPeriod = rows;
    s.columnPeriod = columns;
    const int32_t multiplier = 1 + p.stretchDouble[stage];
    s.shearX = -multiplier * (p.stretch[stage].x - 25);
    s.shearY = multiplier * (p.stretch[stage].y - 25);
    s.gradientY = p.gradientDepth[stage].y - 25;
    s.gradientX = p.gradientDepth[stage].x - 25;
    s.sideDepth = (p.sideShadowDepth[stage] - 50) * 3 / 2;
    s.lightExiting = p.lightExiting;
    s.blur = static_cast<float>(p.sideShadowBlur[stage]);
    s.orientation = p.orientation[stage] & 3;
    // Origins and moire offsets use the periods before they are raised to 2.
    s.originY = static_cast<int32_t>(int64_t{s.shearY < 0 ? -s.shearY : 0} * columns / 50);
    s.originX = static_cast<int32_t>(int64_t{s.shearX > 0 ? s.shearX : 0} * rows / 50);
    if (stage == 0) {
        s.offsetX = Real(int64_t{columns} * (50 - p.moireH)) * 0.02f;
        s.offsetY = Real(int64_t{50 - p.moireV} * rows) * 0.02f;
    }
    return s;
}

void SetUpStage(StageGeometry& g, StageSettings& s, int32_t right, int32_t bottom)
{
    if (s.rowPeriod < 2)
        s.rowPeriod = 2;
    if (s.columnPeriod < 2)
        s.columnPeriod = 2;
    const float H = static_cast<float>(s.rowPeriod);
    const float W = static_cast<float>(s.columnPeriod);
    g.sx = ClampShear(static_cast<float>(s.shearX) * 0.02f);
    g.sy = ClampShear(static_cast<float>(s.shearY) * 0.02f);
    const float a = 1.0f + g.sx * g.sy;
    const float n = 1.0f - g.sx * g.sy;
    g.cellH = H * a;
    g.cellHn = H * n;
    g.cellW = W * a;
    g.cellWn = W * n;
    g.skewH = 2.0f * g.sx * H;
    g.skewW = 2.0f * g.sy * W;
    g.skew2H = 2.0f * H * g.sx * g.sy;
    g.skew2W = 2.0f * W * g.sx * g.sy;
    g.rowP = H;
    g.rowP2 = 2.0f * H;
    g.colP = W;
    g.colP2 = 2.0f * W;
    g.faceScale = a / n;

    // zoom: a non-positive denominator is left out of the maximum, so a
    // strong shear on a small rectangle never gives infinities.
    const float R = static_cast<float>(right);
    const float B = static_cast<float>(bottom);
    const float dx = R - std::fabs(g.sx) * H;
    const float dy = B - std::fabs(g.sy) * W;
    const float q = LargerQuotient(R, dx, B, dy);
    g.zoom = q * (n / a + 1.0f) * 0.5f;

    g.originXf = static_cast<float>(s.originX);
    g.originYf = static_cast<float>(s.originY);
    g.shiftX = s.offsetX * g.zoom * a;
    g.shiftY = s.offsetY * g.zoom * a;
    g.gradientFactor = 1.0f;
    g.sideFactor = 1.0f;
    SetUpStageShading(g, s);
}

int MapThroughStage(StageGeometry& g, const StageSettings& s, StripPoint& point,
                    bool movesPixels)
{
    const float dy = point.Y - g.originYf;
    const float dx = point.X - g.originXf;
    const float sx = g.sx, sy = g.sy;

    const int32_t t = BandIndex(dy, g.rowP);
    const float u = (t & 1) == 0 ? dx + (dy - Real(int64_t{t} * s.rowPeriod)) * sx
                                 : dx - (dy - Real((int64_t{t} + 1) * s.rowPeriod)) * sx;
    const int32_t v = BandIndex(u, g.colP2);

    const int32_t b = BandIndex(dx, g.colP);
    const float c = (b & 1) == 0 ? dy - (dx - Real(int64_t{b} * s.columnPeriod)) * sy
                                 : dy + (dx - Real((int64_t{b} + 1) * s.columnPeriod)) * sy;
    const int32_t d = BandIndex(c, g.rowP2);

    const float fv = Real(v), fd = Real(d);
    const float U = dy - dx * sy - g.cellH - fd * g.rowP2 + g.skewW * fv;
    const float P = dx - dy * sx + g.skewH - g.colP2 * fv - g.cellWn + g.skewH * fd;
    const float Q = dy + dx * sy - g.skewW - fd * g.rowP2 - g.skewW * fv - g.cellHn;
    const float S = dx + dy * sx - g.colP2 * fv - g.skewH * fd - g.cellW;

    int face = 0;
    if (U >= 0.0f && P < 0.0f)
        face = 1;
    else if (U < 0.0f && S < 0.0f)
        face = 2;
    else if (Q >= 0.0f)
        face = 3;
    else if (S >= 0.0f)
        face = 4;

    const float gs = g.faceScale;
    float mappedY = point.Y, mappedX = point.X;
    switch (face) {
    case 1:
        mappedY = (U * gs + Real(2 * int64_t{d} + 1) * g.cellH) * g.zoom;
        mappedX = ((P + g.cellWn) * gs + Real(2 * int64_t{v}) * g.cellW) * g.zoom;
        point.curveU = U / g.cellH * gs;
        point.curveV = -P / g.cellW * gs;
        break;
    case 2:
        mappedY = (g.skew2H * fd + g.skewW * fv + dy - dx * sy) * g.zoom;
        mappedX = (g.skew2W * fv + dx + dy * sx - g.skewH * fd) * g.zoom;
        point.curveU = -U / g.cellH;
        point.curveV = -S / g.cellW;
        break;
    case 3:
        mappedY = (Real(int64_t{d} + 1) * g.skew2H - g.skewW + dy + dx * sy - g.skewW * fv) *
                  g.zoom;
        mappedX = (Real(int64_t{v} + 1) * g.skew2W + g.skewH * fd + dx - dy * sx + g.skewH) *
                  g.zoom;
        point.curveU = Q / g.cellH;
        point.curveV = P / g.cellW;
        break;
    case 4:
        mappedY = ((Q + g.cellHn) * gs + Real(2 * int64_t{d}) * g.cellH) * g.zoom;
        mappedX = (S * gs + Real(2 * int64_t{v} + 1) * g.cellW) * g.zoom;
        point.curveU = -Q / g.cellH * gs;
        point.curveV = S / g.cellW * gs;
        break;
    default:
        break;
    }
    FaceFactors(g, s, face, U, P, Q, S, point.shade);
    if (movesPixels && face != 0) {
        point.X = mappedX;
        point.Y = mappedY;
    }
    return face;
}

void BuildCurveTable(float table[kCurveTableSize], int shape)
{
    for (int j = 0; j < kCurveTableSize; ++j) {
        const float s = static_cast<float>(j) * 0.0005f;
        double value = 0.0;
        if (shape == 0)
            value = static_cast<double>(s) * static_cast<double>(s);
        else if (shape == 1)
            value = (std::cos(static_cast<double>(s + 1.0f) * 3.1415926535 * 1.5) + 1.0) * 0.4;
        else if (shape == 2)
            value = (std::cos(static_cast<double>(s) * 3.1415926535 * 2.0) + 1.0) * 0.4;
        table[j] = static_cast<float>(value);
    }
}

bool CurveIndex(float c, int32_t& index)
{
    if (c != c)
        return false;
    int32_t i = TruncToInt(1999.0f * c);
    if (i < 0)
        i = 0;
    if (i > kCurveTableSize - 1)
        i = kCurveTableSize - 1;
    index = i;
    return true;
}
