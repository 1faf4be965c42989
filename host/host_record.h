// The parts of a host's FilterRecord that the engines read, filled as a host
// fills them for an image with `planes` and an optional selection.
#pragma once

#include <cstdint>
#include <cstring>

#include "common/image_case.h"
#include "host/filter_record.h"

inline FilterRecord MakeHostRecord(int32_t planes, bool hasMask, const uint8_t fore[3],
                                   const uint8_t back[3])
{
    FilterRecord record;
    std::memset(&record, 0, sizeof record);
    record.planes = static_cast<int16_t>(planes);
    record.haveMask = hasMask ? 1 : 0;
    record.filterCase = ImageFilterCase(planes == 4, hasMask);
    record.imageMode = plugInModeRGBColor;
    std::memcpy(record.foreColor, fore, 3);
    std::memcpy(record.backColor, back, 3);
    return record;
}
