#include "twostage/shell/twostage_tools.h"

#include "common/float_to_int.h"

namespace {

int32_t& X(TwoStagePanel& p, int i) { return p.slider[i].valueX; }
int32_t& Y(TwoStagePanel& p, int i) { return p.slider[i].valueY; }

const int kStretch[2] = {Stretch1, Stretch2};
const int kGradient[2] = {Gradient1, Gradient2};
const int kSideDepth[2] = {SideDepth1, SideDepth2};
const int kSideBlur[2] = {SideBlur1, SideBlur2};

// a and b of a stretch draw: above 97 counts as 50; a pair outside 25..75
// is halved with "x2" on, else taken less 25.
void DrawStretch(TwoStagePanel& p, int stage, ToolRandom& r)
{
    int a = RandomIn(r, 3, 130);
    if (a > 97) a = 50;
    int b = RandomIn(r, 3, 130);
    if (b > 97) b = 50;
    const bool doubled = a < 25 || a > 75 || b < 25 || b > 75;
    Y(p, kStretch[stage]) = doubled ? a / 2 : a - 25;
    X(p, kStretch[stage]) = doubled ? b / 2 : b - 25;
    p.check[stage == 0 ? CheckDouble1 : CheckDouble2] = doubled ? 1 : 0;
}

void DrawSide(TwoStagePanel& p, int stage, ToolRandom& r, int keepAbove, int depthLo, int depthHi,
              int blurLo)
{
    if (RandomIn(r, 0, 100) > keepAbove) {
        X(p, kSideDepth[stage]) = 50;
        X(p, kSideBlur[stage]) = 50;
        return;
    }
    X(p, kSideDepth[stage]) = RandomIn(r, depthLo, depthHi);
    X(p, kSideBlur[stage]) = RandomIn(r, blurLo, 50);
    p.toggle[ToggleOrientation1 + stage].state = RandomIn(r, 0, 2);
}

void DrawCurve(TwoStagePanel& p, ToolRandom& r)
{
    const int c = RandomIn(r, 0, 7);
    if (c == 0 || c > 5) {
        X(p, CurvePad) = Y(p, CurvePad) = 25;
        return;
    }
    static const int values[5][2] = {{45, 45}, {5, 5}, {45, 5}, {5, 45}, {-1, -1}};
    if (values[c - 1][0] >= 0) {
        X(p, CurvePad) = values[c - 1][0];
        Y(p, CurvePad) = values[c - 1][1];
    }
    const int s = RandomIn(r, 0, 17);
    p.toggle[ToggleCurveShape].state = s <= 5 ? 0 : (s <= 11 ? 1 : 2);
}

// Three draws of 0..limit less their smallest.
void DrawColour(ColourSetting& c, ToolRandom& r, int limit)
{
    int v[3];
    for (int& k : v)
        k = RandomIn(r, 0, limit);
    int least = v[0] < v[1] ? v[0] : v[1];
    least = least < v[2] ? least : v[2];
    c.red = static_cast<uint8_t>(v[0] - least);
    c.green = static_cast<uint8_t>(v[1] - least);
    c.blue = static_cast<uint8_t>(v[2] - least);
}

void CopyColour(ColourSetting& to, const ColourSetting& from)
{
    to.red = from.red, to.green = from.green, to.blue = from.blue;
}

int32_t Limit(int32_t v, int32_t lo, int32_t hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

void Swap(int32_t& a, int32_t& b)
{
    const int32_t t = a;
    a = b;
    b = t;
}

} // namespace

int ToolRandom::Next()
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFF);
}

void SeedToolRandom(ToolRandom& r, uint32_t seed)
{
    // The generator's first draw follows its seed almost linearly; the seed
    // is scrambled first so that nearby tick counts start far apart.
    seed ^= seed >> 16;
    seed *= 0x85EBCA6Bu;
    seed ^= seed >> 13;
    seed *= 0xC2B2AE35u;
    seed ^= seed >> 16;
    r.state = seed;
}

int RandomIn(ToolRandom& r, int a, int b)
{
    float t = static_cast<float>(r.Next()) * 0.000030518509f;
    if (t > 1.0f)
        t = 1.0f;
    return a + TruncToInt(t * static_cast<float>(b - a) + 0.4999f);
}

void RefreshSpacingShadows(ToolState& t, const TwoStagePanel& p)
{
    t.shadow[0] = static_cast<float>(p.slider[HSpacing1].valueX);
    t.shadow[1] = static_cast<float>(p.slider[VSpacing1].valueY);
    t.shadow[2] = static_cast<float>(p.slider[HSpacing2].valueX);
    t.shadow[3] = static_cast<float>(p.slider[VSpacing2].valueY);
}

void RollDice(TwoStagePanel& p, TwoStageParams& record, ToolState& t, ToolRandom& r)
{
    X(p, HSpacing1) = RandomIn(r, 2, 100);
    Y(p, VSpacing1) = RandomIn(r, 2, 100);
    X(p, HSpacing2) = RandomIn(r, 2, 100);
    Y(p, VSpacing2) = RandomIn(r, 2, 100);
    X(p, Gradient2) = RandomIn(r, 8, 43);
    Y(p, Gradient2) = RandomIn(r, 8, 43);
    X(p, Gradient1) = RandomIn(r, 8, 43);
    Y(p, Gradient1) = RandomIn(r, 8, 43);
    DrawStretch(p, 0, r);
    DrawStretch(p, 1, r);
    DrawSide(p, 0, r, 49, 0, 100, 0);
    DrawSide(p, 1, r, 19, 20, 80, 25);
    DrawCurve(p, r);
    VaryColours(p, record, t, r);
}

void VaryColours(const TwoStagePanel& p, TwoStageParams& record, ToolState& t, ToolRandom& r)
{
    DrawColour(record.gradientShadowColor[0], r, 180);
    DrawColour(record.gradientShadowColor[1], r, 255);
    const bool keep[2] = {p.slider[SideDepth1].valueX == 50, p.slider[SideDepth2].valueX == 50};
    if (RandomIn(r, 0, 4) > 2) {
        for (int s = 0; s < 2; ++s)
            if (!keep[s])
                CopyColour(record.sideShadowColor[s], record.gradientShadowColor[s]);
    } else {
        for (int s = 0; s < 2; ++s)
            if (!keep[s])
                DrawColour(record.sideShadowColor[s], r, 255);
    }
    RefreshSpacingShadows(t, p);
}

bool StepSpacing(TwoStagePanel& p, ToolState& t, bool increase)
{
    const int32_t sum = X(p, HSpacing1) + Y(p, VSpacing1) + X(p, HSpacing2) + Y(p, VSpacing2);
    if (increase ? sum >= 1000 : sum <= 8)
        return false;
    const double factor = increase ? 1.4142135f : 0.70710677f;
    int32_t* fields[4] = {&X(p, HSpacing1), &Y(p, VSpacing1), &X(p, HSpacing2), &Y(p, VSpacing2)};
    for (int stage = 0; stage < 2; ++stage) {
        if (t.bypass[stage])
            continue;
        for (int k = 2 * stage; k < 2 * stage + 2; ++k) {
            const double product = static_cast<double>(t.shadow[k]) * factor;
            t.shadow[k] = static_cast<float>(product);
            const double rounded = product + 0.5;
            const int32_t v = rounded >= 2147483647.0 ? 2147483647 : static_cast<int32_t>(rounded);
            *fields[k] = Limit(v, 2, 250);
        }
    }
    return true;
}

void FlipDiagonally(TwoStagePanel& p, ToolState& t)
{
    for (int stage = 0; stage < 2; ++stage) {
        if (t.bypass[stage])
            continue;
        const float shadow = t.shadow[2 * stage];
        t.shadow[2 * stage] = t.shadow[2 * stage + 1];
        t.shadow[2 * stage + 1] = shadow;
        Swap(X(p, stage == 0 ? HSpacing1 : HSpacing2), Y(p, stage == 0 ? VSpacing1 : VSpacing2));
        Swap(X(p, kStretch[stage]), Y(p, kStretch[stage]));
        Swap(X(p, kGradient[stage]), Y(p, kGradient[stage]));
        if (stage == 0)
            Swap(X(p, MoireH), Y(p, MoireV));
        int32_t& orientation = p.toggle[ToggleOrientation1 + stage].state;
        if (orientation == 0 || orientation == 1) {
            orientation = 1 - orientation;
            X(p, kSideDepth[stage]) = 100 - X(p, kSideDepth[stage]);
        }
    }
    Swap(X(p, CurvePad), Y(p, CurvePad));
}

void SetBypass(TwoStagePanel& p, ToolState& t, int stage, bool on)
{
    int32_t* values[5] = {&X(p, kGradient[stage]), &Y(p, kGradient[stage]), &X(p, kSideDepth[stage]),
                          &X(p, kStretch[stage]), &Y(p, kStretch[stage])};
    static const int32_t neutral[5] = {25, 25, 50, 25, 25};
    for (int i = 0; i < 5; ++i) {
        if (on) {
            t.remembered[stage][i] = *values[i];
            *values[i] = neutral[i];
        } else {
            *values[i] = t.remembered[stage][i];
        }
    }
    t.bypass[stage] = on;
}

bool BypassReleased(const TwoStageParams& r, int stage)
{
    return r.gradientDepth[stage].x != 25 || r.gradientDepth[stage].y != 25 ||
           r.sideShadowDepth[stage] != 50 || r.stretch[stage].x != 25 || r.stretch[stage].y != 25;
}

void PushHistory(History& h, TwoStageParams& lastRendered, const TwoStageParams& current)
{
    h.entry[h.position] = lastRendered;
    lastRendered = current;
    h.entry[h.position + 1] = current;
    if (h.highMark < h.position)
        h.highMark = h.position;
    if (++h.position > 200)
        h.position = 100;
}

const TwoStageParams* Undo(History& h, TwoStageParams& lastRendered)
{
    if (h.position < 2)
        return nullptr;
    const TwoStageParams* back = &h.entry[h.position - 1];
    lastRendered = h.entry[h.position - 2];
    h.position -= 2;
    return back;
}

const TwoStageParams* Redo(History& h, TwoStageParams& lastRendered)
{
    // Before the first render entry 1 holds nothing that was rendered.
    if (h.position > h.highMark || h.position < 1)
        return nullptr;
    const TwoStageParams* forward = &h.entry[h.position + 1];
    lastRendered = h.entry[h.position];
    return forward;
}
