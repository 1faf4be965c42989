// Face geometry of the woven tiles. Every expression is evaluated in single
// precision in the order written: the cell indexes, the four signed distances
// to the cell's boundaries, the face they select, its bevel ramps, light and
// texture position.
#include "deform/engine/deform_face.h"

#include "common/float_to_int.h"

// An integer index expression such as j + 1 or 1 + 2i, formed without
// overflow and then converted.
static float IndexF(int64_t n)
{
    return static_cast<float>(n);
}

// A bevel ramp: the first formula, replaced by the second when above 1,
// clamped to 0..1.
static float Ramp(float first, float second)
{
    float r = first > 1.0f ? second : first;
    if (r > 1.0f) r = 1.0f;
    if (r < 0.0f) r = 0.0f;
    return r;
}

int32_t DeformTileRow(const DeformSetup& d, float v)
{
    return v < 0.0f ? -1 : TruncToInt(v / d.A);
}

bool DeformFace(const DeformSetup& d, float u, float v, int32_t tileRow, FaceSample* sample)
{
    const float kx = d.kx, ky = d.ky, A = d.A, B = d.B, Q = d.Q, T = d.T, R = d.R;

    // Sheared column and row, and the woven cell (i, j).
    float sx;
    if (tileRow & 1)
        sx = u - kx * (v - A * IndexF(static_cast<int64_t>(tileRow) + 1));
    else
        sx = u + kx * (v - A * static_cast<float>(tileRow));
    const int32_t i = sx < 0.0f ? -1 : TruncToInt(sx / d.B2);
    const int32_t tileColumn = u < 0.0f ? -1 : TruncToInt(u / B);
    float sy;
    if (tileColumn & 1)
        sy = v + ky * (u - B * IndexF(static_cast<int64_t>(tileColumn) + 1));
    else
        sy = v - ky * (u - B * static_cast<float>(tileColumn));
    const int32_t j = sy < 0.0f ? -1 : TruncToInt(sy / d.A2);
    const float fi = static_cast<float>(i), fj = static_cast<float>(j);

    // Signed distances to the cell's four boundaries.
    const float vMinus = v - ky * u;               // v - ky u
    const float vPlus = v + ky * u - d.kyB2;       // v + ky u - 2ky B
    const float uPlus = u + kx * v;                // u + kx v
    const float uMinus = u - kx * v + d.kxA2;      // u - kx v + 2kx A
    const float d1 = vMinus - (d.A2 * fj + d.WA - d.kyB2 * fi);
    const float d2 = vPlus - (d.kyB2 * fi + d.A2 * fj + d.MA);
    const float d3 = uPlus - (d.B2 * fi + d.kxA2 * fj + d.WB);
    const float d4 = uMinus - (d.B2 * fi + d.MB - d.kxA2 * fj);

    if (d1 >= 0.0f && d4 < 0.0f) {
        const float r0 = Ramp(d1 / Q + 0.5f, 0.5f - (d1 - d.MA) / Q);
        const float r1 = Ramp(0.5f - d4 / Q, (d4 + d.MB) / Q + 0.5f);
        sample->lambda = (1.0f - r1) * (r0 * d.Fb + (1.0f - r0) * d.Fa) +
                         r1 * (r0 * d.Fd + (1.0f - r0) * d.Fc) - (d.G1 * d1 - d.G2 * d4) * R;
        sample->X = R * (d.kxA2 * fj + uMinus - d.B2 * fi) +
                    IndexF(2 * static_cast<int64_t>(i)) * d.WB;
        sample->Y = R * (d.kyB2 * fi + vMinus - d.A2 * fj - d.WA) +
                    d.WA * IndexF(1 + 2 * static_cast<int64_t>(j));
        return true;
    }
    if (d1 < 0.0f && d3 < 0.0f) {
        const float r0 = Ramp(0.5f - d1 / T, (d.WA + d1) / T + 0.5f);
        const float r1 = Ramp(0.5f - d3 / T, (d3 + d.WB) / T + 0.5f);
        sample->lambda = d.G1 * d1 + d.G2 * d3 + (1.0f - r1) * r0 * d.Fa + r0 * r1 * d.Fc +
                         (1.0f - r1) * (1.0f - r0) * d.Fb + (1.0f - r0) * r1 * d.Fd;
        sample->X = uPlus + d.kxkyB2 * fi - d.kxA2 * fj;
        sample->Y = vMinus + d.kyB2 * fi + d.KA2 * fj;
        return true;
    }
    if (d2 >= 0.0f && d4 >= 0.0f) {
        const float r0 = Ramp(d2 / T + 0.5f, 0.5f - (d2 - d.WA) / T);
        const float r1 = Ramp(d4 / T + 0.5f, 0.5f - (d4 - d.WB) / T);
        sample->lambda = (1.0f - r1) * (r0 * d.Fd + (1.0f - r0) * d.Fc) +
                         r1 * (r0 * d.Fb + (1.0f - r0) * d.Fa) - d.G1 * d2 - d.G2 * d4;
        sample->X = uMinus + d.kxA2 * fj + d.kxkyB2 * IndexF(static_cast<int64_t>(i) + 1);
        sample->Y = vPlus + d.KA2 * IndexF(static_cast<int64_t>(j) + 1) - d.kyB2 * fi;
        return true;
    }
    if (d2 < 0.0f && d3 >= 0.0f) {
        const float r0 = Ramp(0.5f - d2 / Q, (d.MA + d2) / Q + 0.5f);
        const float r1 = Ramp(d3 / Q + 0.5f, 0.5f - (d3 - d.MB) / Q);
        sample->lambda = r1 * (1.0f - r0) * d.Fb + r0 * r1 * d.Fa +
                         (1.0f - r1) * (1.0f - r0) * d.Fd + (1.0f - r1) * r0 * d.Fc +
                         (d.G1 * d2 - d.G2 * d3) * R;
        sample->X = R * (uPlus - d.B2 * fi - d.kxA2 * fj - d.WB) +
                    d.WB * IndexF(1 + 2 * static_cast<int64_t>(i));
        sample->Y = R * (vPlus - d.A2 * fj - d.kyB2 * fi) +
                    IndexF(2 * static_cast<int64_t>(j)) * d.WA;
        return true;
    }
    return false;
}
