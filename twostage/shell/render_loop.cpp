#include "twostage/shell/render_loop.h"

CycleEnd RunRenderCycle(const TwoStageParams& record, TwoStageParams& lastRendered,
                        bool& imageFetched, const RenderSteps& steps)
{
    bool all = true;
    for (;;) {
        steps.paintWidgets(all, steps.user);
        steps.readRecord(steps.user);
        if (!imageFetched) {
            if (!steps.fetchImage(steps.user))
                return CycleEnd::Closed;
            imageFetched = true;
        }
        all = false;
        if (SameTwoStageParams(record, lastRendered))
            return CycleEnd::Unchanged;
        if (steps.render(steps.user) == 0) {
            steps.completed(steps.user);
            lastRendered = record;
            return CycleEnd::Rendered;
        }
    }
}
