// The decisions of velk2000's render cycle, without drawing: paint, read the
// record from the widgets, fetch the image the first time, then render
// unless the record is the one last rendered, and start again as long as
// the render is abandoned. The dialog supplies the steps.
#pragma once

#include <cstdint>

#include "twostage/engine/twostage_params.h"

struct RenderSteps {
    void (*paintWidgets)(bool all, void* user); // the changed widgets, or all
    void (*readRecord)(void* user);             // widgets into the record
    bool (*fetchImage)(void* user);             // false: the dialog closed
    int32_t (*render)(void* user);              // 0: completed
    void (*completed)(void* user);              // show it (and note it in the history)
    void* user;
};

enum class CycleEnd { Rendered, Unchanged, Closed };

// One cycle over `record` (read by readRecord); lastRendered becomes the
// record after a completed render. imageFetched is set once the image came.
CycleEnd RunRenderCycle(const TwoStageParams& record, TwoStageParams& lastRendered,
                        bool& imageFetched, const RenderSteps& steps);
