// Real to integer conversion of the engine: truncation toward zero that is
// never undefined behaviour (NaN gives 0, out-of-range values saturate).
#pragma once

#include <cstdint>

inline int32_t SaturatingTrunc(float v)
{
    if (!(v == v))
        return 0;
    if (v >= 2147483648.0f)
        return INT32_MAX;
    if (v < -2147483648.0f)
        return INT32_MIN;
    return static_cast<int32_t>(v);
}
