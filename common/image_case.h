// How a host describes an image to a filter: the filterCase of a flat image
// or a layer with transparency, with or without a selection.
#pragma once

#include <cstdint>

#include "host/filter_record.h"

inline int16_t ImageFilterCase(bool transparency, bool selection)
{
    if (transparency)
        return selection ? filterCaseEditableTransparencyWithSelection
                         : filterCaseEditableTransparencyNoSelection;
    return selection ? filterCaseFlatImageWithSelection : filterCaseFlatImageNoSelection;
}
