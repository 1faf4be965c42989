// The whole-image request of both modules: the planes a run works on, the
// request for the in, out and (with a selection) mask buffers of the whole
// image in one advanceState call, and its end.
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

// The planes a run works on: the host's count, 4 when it reports 3 planes
// with editable transparency (the transparency comes as a fourth plane), and
// at most 4.
inline int32_t EffectivePlanes(const FilterRecord* record)
{
    int32_t planes = record->planes;
    if (planes == 3 && (record->filterCase == filterCaseEditableTransparencyNoSelection ||
                        record->filterCase == filterCaseEditableTransparencyWithSelection))
        planes = 4;
    return planes > 4 ? 4 : planes;
}

// Clears the in, out and mask rectangles: the filter wants no more data.
inline void EndWholeImageRequest(FilterRecord* record)
{
    const Rect16 none = {0, 0, 0, 0};
    record->inRect = none;
    record->outRect = none;
    record->maskRect = none;
}
