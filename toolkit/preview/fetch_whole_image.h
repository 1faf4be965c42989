// The whole-image request: asks the host for the in, out and (with a
// selection) mask buffers of the whole image, planes 0 .. planes - 1, in one
// advanceState call. Used by both modules' dialogs and by velk3d's repeat path.
#pragma once

#include "host/filter_record.h"

// Returns 0, or memFullErr (-108) when the host supplied no input, output or
// (with a selection) mask buffer. advanceState's own result is not used.
inline OSErr FetchWholeImage(FilterRecord* record, int16_t planes)
{
    const Rect16 whole = {0, 0, record->imageSize.v, record->imageSize.h};
    record->inRect = whole;
    record->outRect = whole;
    record->maskRect = record->haveMask ? whole : Rect16{0, 0, 0, 0};
    record->inLoPlane = record->outLoPlane = 0;
    record->inHiPlane = record->outHiPlane = static_cast<int16_t>(planes - 1);
    if (record->advanceState)
        record->advanceState();
    if (!record->inData || !record->outData || (record->haveMask && !record->maskData))
        return memFullErr;
    return noErr;
}
