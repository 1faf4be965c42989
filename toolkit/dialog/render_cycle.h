// The decisions of a dialog's render cycle, without drawing: paint the
// widgets, read the settings from them, fetch the image the first time, then
// render unless the settings are the ones last rendered, and start again as
// long as the render is abandoned. Each dialog supplies the steps.
#pragma once

#include <cstdint>

struct RenderSteps {
    void (*paintWidgets)(bool all, void* user); // the changed widgets, or all
    void (*readSettings)(void* user);           // widgets into the settings
    bool (*fetchImage)(void* user);             // false: the dialog closed
    bool (*unchanged)(void* user);              // the settings were the last rendered
    int32_t (*render)(void* user);              // 0: completed
    void (*completed)(void* user);              // show it; note the settings as rendered
    void* user;
};

enum class CycleEnd { Rendered, Unchanged, Closed };

// One cycle; imageFetched is set once the image came.
CycleEnd RunRenderCycle(bool& imageFetched, const RenderSteps& steps);
