// velk2000's tools on the dialog's widgets and record, without a dialog.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

#include "twostage/engine/preset_load.h"
#include "twostage/engine/twostage_presets.h"
#include "twostage/shell/twostage_tools.h"

namespace {

TwoStagePanel Loaded(int preset, TwoStageParams& record)
{
    TwoStagePanel panel{};
    MakeTwoStageWidgets(panel, TwoStageKnobs{nullptr, nullptr, nullptr},
                        TwoStageAnchors{{50, 50, 417, 414}, {480, 40, 560, 250}, {600, 60, 680, 300},
                                        {480, 260, 600, 300}, {600, 320, 700, 400},
                                        {{600, 260, 620, 280}, {600, 290, 620, 310}}, {560, 230, 580, 250}});
    record = *TwoStageFactoryRecord(preset);
    SetWidgets(panel, record);
    return panel;
}

int X(const TwoStagePanel& p, int i) { return p.slider[i].valueX; }
int Y(const TwoStagePanel& p, int i) { return p.slider[i].valueY; }

TEST(Tools, RandomDrawsStayInRangeWithHalfLikelyEnds)
{
    ToolRandom r;
    SeedToolRandom(r, 12345);
    int count[11] = {};
    for (int i = 0; i < 200000; ++i) {
        const int v = RandomIn(r, 0, 10);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 10);
        ++count[v];
    }
    for (int v = 1; v < 10; ++v)
        EXPECT_NEAR(count[v], 20000, 1200) << v;
    EXPECT_NEAR(count[0], 10000, 900);
    EXPECT_NEAR(count[10], 10000, 900);
}

TEST(Tools, DiceRangesAndWhatItLeavesAlone)
{
    for (uint32_t seed = 1; seed < 400; ++seed) {
        TwoStageParams record;
        TwoStagePanel p = Loaded(2, record);
        p.check[CheckAntiAliasing] = 0;
        ToolState t{};
        ToolRandom r;
        SeedToolRandom(r, seed);
        const TwoStageParams before = record;
        const int moire[2] = {X(p, MoireH), Y(p, MoireV)}, light = X(p, BrightnessRatio);
        RollDice(p, record, t, r);
        for (int i : {HSpacing1, HSpacing2})
            ASSERT_TRUE(X(p, i) >= 2 && X(p, i) <= 100) << seed;
        for (int i : {VSpacing1, VSpacing2})
            ASSERT_TRUE(Y(p, i) >= 2 && Y(p, i) <= 100) << seed;
        for (int i : {Gradient1, Gradient2})
            ASSERT_TRUE(X(p, i) >= 8 && X(p, i) <= 43 && Y(p, i) >= 8 && Y(p, i) <= 43) << seed;
        for (int s = 0; s < 2; ++s) {
            const int i = s == 0 ? Stretch1 : Stretch2;
            const bool doubled = p.check[s == 0 ? CheckDouble1 : CheckDouble2];
            const int lo = doubled ? 1 : 0, hi = doubled ? 48 : 50;
            ASSERT_TRUE(X(p, i) >= lo && X(p, i) <= hi && Y(p, i) >= lo && Y(p, i) <= hi) << seed;
        }
        EXPECT_EQ(X(p, MoireH), moire[0]);
        EXPECT_EQ(Y(p, MoireV), moire[1]);
        EXPECT_EQ(X(p, BrightnessRatio), light);
        EXPECT_EQ(p.check[CheckAntiAliasing], 0);
        // Colours change their red, green and blue only; the background not at all.
        EXPECT_EQ(std::memcmp(&record.backgroundColor, &before.backgroundColor, 4), 0);
        for (int s = 0; s < 2; ++s) {
            EXPECT_EQ(record.gradientShadowColor[s].source, before.gradientShadowColor[s].source);
            EXPECT_EQ(record.sideShadowColor[s].source, before.sideShadowColor[s].source);
            const ColourSetting& c = record.gradientShadowColor[s];
            EXPECT_TRUE(c.red == 0 || c.green == 0 || c.blue == 0); // less their smallest
        }
        EXPECT_LE(record.gradientShadowColor[0].red, 180);
    }
}

TEST(Tools, SpacingStepsKeepTheirFractionsAndLimits)
{
    TwoStageParams record;
    TwoStagePanel p = Loaded(2, record);
    ToolState t{};
    p.slider[HSpacing1].valueX = 3;
    RefreshSpacingShadows(t, p);
    const TwoStagePanel start = p;
    ASSERT_TRUE(StepSpacing(p, t, true));
    EXPECT_EQ(X(p, HSpacing1), 4); // 3 x 1.4142 = 4.24
    ASSERT_TRUE(StepSpacing(p, t, false));
    for (int i : {HSpacing1, HSpacing2})
        EXPECT_EQ(X(p, i), X(start, i));
    for (int i : {VSpacing1, VSpacing2})
        EXPECT_EQ(Y(p, i), Y(start, i));
    // 200 and three at 250: one step gives 250 everywhere; then nothing.
    p.slider[HSpacing1].valueX = 200;
    p.slider[VSpacing1].valueY = p.slider[HSpacing2].valueX = p.slider[VSpacing2].valueY = 250;
    RefreshSpacingShadows(t, p);
    ASSERT_TRUE(StepSpacing(p, t, true));
    EXPECT_EQ(X(p, HSpacing1), 250);
    EXPECT_FALSE(StepSpacing(p, t, true));
    // All four at 2: no decrease; a bypassed stage stays as it is.
    p.slider[HSpacing1].valueX = p.slider[VSpacing1].valueY = 2;
    p.slider[HSpacing2].valueX = p.slider[VSpacing2].valueY = 2;
    RefreshSpacingShadows(t, p);
    EXPECT_FALSE(StepSpacing(p, t, false));
    t.bypass[1] = true;
    ASSERT_TRUE(StepSpacing(p, t, true));
    EXPECT_EQ(X(p, HSpacing1), 3);
    EXPECT_EQ(X(p, HSpacing2), 2);
}

// Every factory preset fits its widgets unchanged (the widgets limit what a
// record can set; the dialog tests load records beyond those limits).
TEST(Tools, FactoryPresetsFitTheWidgets)
{
    for (int n = 0; n < kTwoStageFactoryCount; ++n) {
        SCOPED_TRACE(n);
        TwoStageParams record;
        TwoStagePanel p = Loaded(0, record);
        const TwoStageParams dialog = DialogRecordForFactory(n);
        SetWidgets(p, dialog);
        TwoStageParams back = dialog;
        ReadWidgets(p, back);
        EXPECT_EQ(std::memcmp(&back, &dialog, sizeof back), 0);
    }
}

TEST(Tools, FlipTwiceAndBypassRoundTrips)
{
    TwoStageParams record;
    TwoStagePanel p = Loaded(1, record);
    ToolState t{};
    RefreshSpacingShadows(t, p);
    TwoStageParams a = record, b = record;
    ReadWidgets(p, a);
    FlipDiagonally(p, t);
    ReadWidgets(p, b);
    EXPECT_NE(std::memcmp(&a, &b, 60), 0);
    FlipDiagonally(p, t);
    ReadWidgets(p, b);
    EXPECT_EQ(std::memcmp(&a, &b, 60), 0);
    // Bypass: the stage goes neutral and comes back; a change releases it.
    SetBypass(p, t, 1, true);
    ReadWidgets(p, b);
    EXPECT_FALSE(BypassReleased(b, 1));
    EXPECT_EQ(b.sideShadowDepth[1], 50);
    SetBypass(p, t, 1, false);
    ReadWidgets(p, b);
    EXPECT_EQ(std::memcmp(&a, &b, 60), 0);
    b.sideShadowDepth[1] = 51;
    EXPECT_TRUE(BypassReleased(b, 1));
}

TEST(Tools, UndoAndRedoStepThroughRenderedRecordsOnly)
{
    static History h;
    std::memset(&h, 0, sizeof h);
    TwoStageParams last{}, r[4];
    for (int i = 0; i < 4; ++i) {
        r[i] = *TwoStageFactoryRecord(i);
        r[i].checksum = 0;
    }
    EXPECT_EQ(Redo(h, last), nullptr); // nothing rendered yet
    for (int i = 0; i < 3; ++i)
        PushHistory(h, last, r[i]);
    EXPECT_EQ(Redo(h, last), nullptr);
    const TwoStageParams* u = Undo(h, last);
    ASSERT_NE(u, nullptr);
    EXPECT_TRUE(SameTwoStageParams(*u, r[1]));
    PushHistory(h, last, *u); // the render that follows
    const TwoStageParams* f = Redo(h, last);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(SameTwoStageParams(*f, r[2]));
    PushHistory(h, last, *f);
    EXPECT_EQ(Redo(h, last), nullptr);
    // Far more renders than the history holds: positions wrap to 100 and
    // every step stays inside the array and on rendered records.
    for (int i = 0; i < 500; ++i)
        PushHistory(h, last, r[i % 4]);
    for (int i = 0; i < 300; ++i) {
        const TwoStageParams* s = (i % 3) ? Undo(h, last) : Redo(h, last);
        ASSERT_GE(h.position, 0);
        ASSERT_LE(h.position, 200);
        if (s) {
            bool known = false;
            for (const TwoStageParams& k : r)
                known = known || SameTwoStageParams(*s, k);
            ASSERT_TRUE(known) << i;
            PushHistory(h, last, *s);
        }
    }
}

} // namespace
