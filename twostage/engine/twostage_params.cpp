#include "twostage/engine/twostage_params.h"

#include <cstring>

uint32_t TwoStageChecksum(const TwoStageParams& p)
{
    uint8_t bytes[sizeof p];
    std::memcpy(bytes, &p, sizeof p);
    uint32_t s = 0;
    for (int i = 0; i < 60; ++i) {
        for (int r = 0; r < 11; ++r)
            s = (s << 1) | ((s >> 30) & 1u);
        s += bytes[i];
    }
    return s;
}

bool TwoStageChecksumValid(const TwoStageParams& p)
{
    return p.checksum == TwoStageChecksum(p);
}

bool SameTwoStageParams(const TwoStageParams& a, const TwoStageParams& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}
