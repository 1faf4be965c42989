// Reading a fuzzer's bytes as the values a harness needs: each take uses up
// the bytes it reads, and past the end every value is 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

struct FuzzInput {
    const uint8_t* data;
    size_t size;

    uint8_t Byte()
    {
        if (size == 0)
            return 0;
        --size;
        return *data++;
    }
    // A value in lo..hi from two bytes.
    int32_t In(int32_t lo, int32_t hi)
    {
        const uint32_t v = uint32_t(Byte()) << 8 | Byte();
        return lo + int32_t(v % uint32_t(hi - lo + 1));
    }
    // Fills n bytes, zeros past the end.
    void Fill(void* out, size_t n)
    {
        if (n == 0)
            return;
        const size_t k = n < size ? n : size;
        std::memcpy(out, data, k);
        std::memset(static_cast<uint8_t*>(out) + k, 0, n - k);
        data += k;
        size -= k;
    }
};
