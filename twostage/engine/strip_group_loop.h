// RenderGroups of strip_groups.h for either width: each group mapped and
// shaded in lanes when it depends on no pixel before it, else pixel by
// pixel with the state the group before it left.
#pragma once

#include "twostage/engine/strip_finish_lanes.h"
#include "twostage/engine/strip_groups.h"

template <class L>
int32_t RenderGroups(const TwoStageJob& job, int32_t y, int32_t x, StageGeometry g[2],
                     StripPoint& point)
{
    RowLanes<L> row;
    SetUpRowLanes<L>(job, y, row);
    const ShadeSetup<L> shading = MakeShadeSetup<L>(job);
    // The last group mapped in lanes stays in groups[next ^ 1] until a pixel
    // mapped on its own, or the caller, needs the state it leaves.
    MappedLanes<L> groups[2];
    int next = 0;
    bool pending = false;
    auto takeState = [&] {
        if (!pending)
            return;
        const MappedLanes<L>& last = groups[next ^ 1];
        for (int s = 0; s < 2; ++s) {
            g[s].gradientFactor = LastLane(last.gradientFactor[s]);
            g[s].sideFactor = LastLane(last.sideFactor[s]);
        }
        LastCurveCoordinates<L>(row, last, point.curveU, point.curveV);
        pending = false;
    };
    for (; x + L::N <= job.right; x += L::N) {
        if (MapLanes<L>(row, x, groups[next])) {
            ShadeLanes<L>(job, shading, groups[next], x, y);
            next ^= 1;
            pending = true;
            continue;
        }
        takeState();
        for (int32_t k = x; k < x + L::N; ++k)
            if (MapPixel(job, g, point, k, y))
                ShadePixel(job, g, point, k, y);
    }
    takeState();
    return x;
}
