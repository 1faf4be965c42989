// What velk2000's dialog decides without drawing: the render cycle's loop
// and the round trip between its widgets and the record.
#include <gtest/gtest.h>

#include <cstring>

#include "twostage/engine/preset_load.h"
#include "twostage/engine/twostage_presets.h"
#include "toolkit/dialog/render_cycle.h"
#include "twostage/shell/twostage_panel.h"

namespace {

// A dialog's steps over a record: unchanged while the record is the one last
// rendered, which a completed render notes.
struct Calls {
    int paints = 0, paintsAll = 0, reads = 0, fetches = 0, renders = 0, completed = 0;
    int abandonFirst = 0; // renders that are abandoned before one completes
    bool fetchFails = false;
    TwoStageParams record{}, last{};
};

RenderSteps Steps(Calls& calls)
{
    return RenderSteps{
        [](bool all, void* u) { auto& c = *static_cast<Calls*>(u); ++c.paints; c.paintsAll += all; },
        [](void* u) { ++static_cast<Calls*>(u)->reads; },
        [](void* u) { auto& c = *static_cast<Calls*>(u); ++c.fetches; return !c.fetchFails; },
        [](void* u) { auto& c = *static_cast<Calls*>(u); return SameTwoStageParams(c.record, c.last); },
        [](void* u) -> int32_t { auto& c = *static_cast<Calls*>(u); return ++c.renders <= c.abandonFirst ? 1 : 0; },
        [](void* u) { auto& c = *static_cast<Calls*>(u); ++c.completed; c.last = c.record; },
        &calls};
}

TEST(RenderCycle, AbandonedRendersStartAgainAndUnchangedRecordsAreNotRendered)
{
    bool fetched = false;
    Calls c;
    c.record = *TwoStageFactoryRecord(2);
    c.abandonFirst = 2;
    EXPECT_EQ(RunRenderCycle(fetched, Steps(c)), CycleEnd::Rendered);
    EXPECT_EQ(c.renders, 3);
    EXPECT_EQ(c.completed, 1);
    EXPECT_EQ(c.paints, 3);
    EXPECT_EQ(c.paintsAll, 1); // only the first pass repaints everything
    EXPECT_EQ(c.reads, 3);
    EXPECT_EQ(c.fetches, 1);
    EXPECT_TRUE(SameTwoStageParams(c.last, c.record));
    // The same record again: widgets repainted, nothing fetched or rendered.
    Calls again;
    again.record = again.last = c.record;
    EXPECT_EQ(RunRenderCycle(fetched, Steps(again)), CycleEnd::Unchanged);
    EXPECT_EQ(again.renders, 0);
    EXPECT_EQ(again.fetches, 0);
    EXPECT_EQ(again.paints, 1);
    // A host without buffers closes the dialog before anything renders.
    Calls closed;
    closed.record = c.record;
    closed.fetchFails = true;
    bool notFetched = false;
    EXPECT_EQ(RunRenderCycle(notFetched, Steps(closed)), CycleEnd::Closed);
    EXPECT_EQ(closed.renders, 0);
}

TEST(TwoStagePanel, WidgetsGiveBackWhatAPresetLoadSet)
{
    // Loading each factory preset into the widgets and reading them back
    // gives the record the command line renders for that preset.
    TwoStagePanel panel{};
    MakeTwoStageWidgets(panel, TwoStageKnobs{nullptr, nullptr, nullptr},
                        TwoStageAnchors{{50, 50, 417, 414}, {480, 40, 560, 250}, {600, 60, 680, 300},
                                        {480, 260, 600, 300}, {600, 320, 700, 400},
                                        {{600, 260, 620, 280}, {600, 290, 620, 310}}, {560, 230, 580, 250}});
    TwoStageParams current = *TwoStageFactoryRecord(kTwoStageInitialPreset);
    for (int n = 0; n < kTwoStageFactoryCount; ++n) {
        SCOPED_TRACE(TwoStageFactoryName(n));
        TwoStageParams before = current;
        LoadTwoStageRecord(panel, current, *TwoStageFactoryRecord(n));
        TwoStageParams read = before;
        std::memcpy(&read, &current, 20); // colours come with the load, not from widgets
        read.saveFlags = current.saveFlags;
        std::memcpy(read.reserved, current.reserved, sizeof read.reserved);
        read.checksum = current.checksum;
        ReadWidgets(panel, read);
        const TwoStageParams expected = DialogRecordForFactory(n);
        EXPECT_EQ(std::memcmp(&read, &expected, 60), 0);
        current = read;
    }
}

} // namespace
