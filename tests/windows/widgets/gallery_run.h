// The gallery on a UI thread of its own, worked by the UI driver from the
// calling thread.
#pragma once

#include <windows.h>

#include "tests/windows/widgets/gallery.h"
#include "tools/uidriver/ui_driver.h"

struct GalleryRun {
    Gallery gallery;
    UiDriver driver;
    HANDLE thread = nullptr;
};

// Starts the gallery and waits until it is shown and idle.
bool StartGallery(GalleryRun& run, int planes);
// Cancels the gallery and waits for its thread.
void StopGallery(GalleryRun& run);
// Posts a request to the gallery and waits for the pop-up it opens.
bool OpenPopup(GalleryRun& run, UINT request, DialogKind kind);
// Client rectangle of a control of the driver's target dialog.
RECT ClientRectOf(const UiDriver& d, int id);
