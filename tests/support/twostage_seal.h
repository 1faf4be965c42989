// The two-stage record checksum, computed independently of the engine, for
// tests that write records as bytes: over bytes 0-59, per byte eleven left
// rotations of bits 0-30 through bit 31 (bit 0 receives the bit that just
// became bit 31), then the byte is added; stored little-endian at 60-63.
#pragma once

#include <cstdint>
#include <vector>

inline void SealTwoStage(std::vector<uint8_t>& r)
{
    uint32_t s = 0;
    for (int i = 0; i < 60; ++i) {
        for (int k = 0; k < 11; ++k)
            s = (s << 1) | ((s >> 30) & 1);
        s += r[i];
    }
    for (int i = 0; i < 4; ++i)
        r[60 + i] = uint8_t(s >> (8 * i));
}
