// The four-lane group loop (SSE2).
#include "twostage/engine/strip_group_loop.h"

bool CanMapLanes(const TwoStageJob& job)
{
    // rowP and colP must be the periods exactly for the band edges t H.
    for (const StageSettings& s : job.settings)
        if (s.rowPeriod > (1 << 24) || s.columnPeriod > (1 << 24))
            return false;
    return true;
}

int32_t RenderGroups4(const TwoStageJob& job, int32_t y, int32_t x, StageGeometry g[2],
                      StripPoint& point)
{
    return RenderGroups<Lanes4>(job, y, x, g, point);
}
