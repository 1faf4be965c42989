// Deflate streams compressed apart and joined into one: zlib's inflate must
// give back every part in order, whatever the level, the data and where the
// final block of each part ends within its byte.
#include <gtest/gtest.h>

#include <libdeflate.h>
#include <zlib.h>

#include <memory>
#include <string>
#include <vector>

#include "tools/velk/deflate_join.h"

namespace {

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data, int level)
{
    const std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)> c(
        libdeflate_alloc_compressor(level), libdeflate_free_compressor);
    std::vector<uint8_t> out(libdeflate_deflate_compress_bound(c.get(), data.size()));
    out.resize(libdeflate_deflate_compress(c.get(), data.data(), data.size(), out.data(), out.size()));
    return out;
}

// zlib's view of a raw stream: the bytes it inflates to, and where the last
// block's header is (from inflate's Z_BLOCK stops); empty on an error.
struct Inflated {
    std::vector<uint8_t> data;
    int64_t finalHeaderBit = 0; // a stream of one block
    bool complete = false;
};

Inflated Inflate(const std::vector<uint8_t>& stream, size_t expected)
{
    Inflated r;
    z_stream z{};
    inflateInit2(&z, -15);
    r.data.resize(expected + 1);
    z.next_in = const_cast<Bytef*>(stream.data());
    z.avail_in = static_cast<uInt>(stream.size());
    z.next_out = r.data.data();
    z.avail_out = static_cast<uInt>(r.data.size());
    for (;;) {
        const int status = inflate(&z, Z_BLOCK);
        if (status == Z_STREAM_END) {
            r.complete = true;
            break;
        }
        if (status != Z_OK)
            break;
        // Stopped at a block boundary, the next header not read yet (and
        // not after the final block).
        if ((z.data_type & 128) != 0 && (z.data_type & 64) == 0)
            r.finalHeaderBit = int64_t(z.total_in) * 8 - (z.data_type & 7);
    }
    r.data.resize(z.total_out);
    inflateEnd(&z);
    return r;
}

// Kinds of data a PNG band holds: noise (stored blocks), a smooth filtered
// picture, long repeats (matches at every distance), and runs.
std::vector<std::vector<uint8_t>> Samples()
{
    std::vector<uint8_t> noise(300000), smooth(400000), repeats(350000), runs(200000);
    uint32_t state = 7;
    for (uint8_t& b : noise)
        b = static_cast<uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    for (size_t i = 0; i < smooth.size(); ++i)
        smooth[i] = static_cast<uint8_t>((i % 3) + ((i / 3000) % 5) + ((state = state * 69069u + 1u) >> 30));
    for (size_t i = 0; i < repeats.size(); ++i)
        repeats[i] = noise[(i * 7) % 9973];
    for (size_t i = 0; i < runs.size(); ++i)
        runs[i] = static_cast<uint8_t>(i / 5000);
    return {noise, smooth, repeats, runs};
}

TEST(DeflateJoin, PartsJoinedInflateToTheWholeAtEveryLevel)
{
    const std::vector<std::vector<uint8_t>> samples = Samples();
    int paddings[8] = {};
    for (int level : {0, 1, 4, 6, 9, 12}) {
        for (size_t s = 0; s < samples.size(); ++s) {
            const std::vector<uint8_t>& data = samples[s];
            SCOPED_TRACE("level " + std::to_string(level) + ", sample " + std::to_string(s));
            // A single stream: the final block where zlib finds it.
            const std::vector<uint8_t> whole = Deflate(data, level);
            FinalBlock last;
            ASSERT_TRUE(FindFinalBlock(whole.data(), whole.size(), last));
            EXPECT_EQ(int64_t(last.headerBit), Inflate(whole, data.size()).finalHeaderBit);
            ++paddings[(8 - last.endBit % 8) % 8];

            // Three parts of uneven sizes, joined.
            const size_t cuts[4] = {0, data.size() / 7, data.size() / 2 + 13, data.size()};
            std::vector<uint8_t> joined;
            for (int p = 0; p < 3; ++p) {
                std::vector<uint8_t> part(data.begin() + std::ptrdiff_t(cuts[p]),
                                          data.begin() + std::ptrdiff_t(cuts[p + 1]));
                std::vector<uint8_t> stream = Deflate(part, level);
                size_t size = stream.size();
                stream.resize(size + kSyncMarkerBytes);
                if (p < 2) {
                    size = UnfinishDeflate(stream.data(), size);
                    ASSERT_NE(size, 0u);
                }
                joined.insert(joined.end(), stream.begin(), stream.begin() + std::ptrdiff_t(size));
            }
            const Inflated back = Inflate(joined, data.size());
            EXPECT_TRUE(back.complete);
            EXPECT_TRUE(back.data == data);
        }
    }
    // The sync marker's two forms were both needed: a final block that ends
    // with fewer than three bits left in its byte, and one with more.
    EXPECT_GT(paddings[0] + paddings[1] + paddings[2], 0);
    EXPECT_GT(paddings[3] + paddings[4] + paddings[5] + paddings[6] + paddings[7], 0);
}

TEST(DeflateJoin, DamagedOrTruncatedStreamsAreRefusedAndLeftAlone)
{
    const std::vector<uint8_t> data = Samples()[1];
    std::vector<uint8_t> stream = Deflate(std::vector<uint8_t>(data.begin(), data.begin() + 50000), 6);
    const size_t size = stream.size();
    stream.resize(size + kSyncMarkerBytes);
    FinalBlock last;
    for (size_t cut : {size_t(0), size_t(1), size / 3, size - 1}) {
        EXPECT_FALSE(FindFinalBlock(stream.data(), cut, last)) << cut;
    }
    // Bytes after the final block are not padding: refused.
    EXPECT_FALSE(FindFinalBlock(stream.data(), size + 1, last));
    // A reserved block type (11) in the first header.
    std::vector<uint8_t> reserved = stream;
    reserved[0] |= 0x06;
    const std::vector<uint8_t> before = reserved;
    EXPECT_EQ(UnfinishDeflate(reserved.data(), size), 0u);
    EXPECT_TRUE(reserved == before);
}

} // namespace
