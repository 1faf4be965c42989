#include "toolkit/dialog/render_cycle.h"

CycleEnd RunRenderCycle(bool& imageFetched, const RenderSteps& steps)
{
    bool all = true;
    for (;;) {
        steps.paintWidgets(all, steps.user);
        steps.readSettings(steps.user);
        if (!imageFetched) {
            if (!steps.fetchImage(steps.user))
                return CycleEnd::Closed;
            imageFetched = true;
        }
        all = false;
        if (steps.unchanged(steps.user))
            return CycleEnd::Unchanged;
        if (steps.render(steps.user) == 0) {
            steps.completed(steps.user);
            return CycleEnd::Rendered;
        }
    }
}
