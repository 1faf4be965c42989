// Float-to-integer conversion of the engines: truncation toward zero that
// saturates instead of being undefined. NaN gives 0, values beyond the 32-bit
// range give its nearest end.
#pragma once

#include <cstdint>

inline int32_t TruncToInt(float x)
{
    if (!(x == x)) return 0;
    if (x >= 2147483648.0f) return INT32_MAX;
    if (x < -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(x);
}

inline uint8_t ClampByte(int32_t n)
{
    return static_cast<uint8_t>(n < 0 ? 0 : (n > 255 ? 255 : n));
}
