// The join of deflate streams walks bytes that libdeflate made, but a walker
// of compressed data must stand any bytes: it never reads outside them, and
// whenever zlib inflates the bytes as one complete raw stream, it finds the
// same end.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tools/velk/deflate_join.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Exactly the input's bytes, so that a read past them is seen.
    std::vector<uint8_t> bytes(data, data + size);
    FinalBlock last;
    const bool found = FindFinalBlock(bytes.data(), bytes.size(), last);

    z_stream z{};
    inflateInit2(&z, -15);
    std::vector<uint8_t> out(1 << 16);
    z.next_in = bytes.data();
    z.avail_in = static_cast<uInt>(bytes.size());
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        status = inflate(&z, Z_NO_FLUSH);
        if (status == Z_BUF_ERROR && z.avail_in == 0)
            break;
        if (status == Z_BUF_ERROR)
            status = Z_OK;
        if (z.total_out > (64u << 20))
            break; // a bomb: not worth following
    }
    const bool zlibComplete = status == Z_STREAM_END && z.total_in == size;
    inflateEnd(&z);
    if (zlibComplete && (!found || (last.endBit + 7) / 8 != size))
        std::abort();
    if (found) {
        bytes.resize(size + kSyncMarkerBytes);
        if (UnfinishDeflate(bytes.data(), size) == 0)
            std::abort();
    }
    return 0;
}
