#include "tests/resources/bmp_reader.h"

#include <fstream>
#include <iterator>

std::vector<uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

static uint32_t U16(const std::vector<uint8_t>& d, size_t at) { return uint32_t(d[at] | d[at + 1] << 8); }
static uint32_t U32(const std::vector<uint8_t>& d, size_t at) { return U16(d, at) | U16(d, at + 2) << 16; }

Bitmap ReadBitmap(const std::string& path)
{
    Bitmap bm;
    std::vector<uint8_t> d = ReadAll(path);
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M' || U32(d, 14) != 40 || U32(d, 30) != 0)
        return bm;
    uint32_t offset = U32(d, 10);
    bm.width = int(U32(d, 18));
    bm.height = int(U32(d, 22));
    bm.bits = int(U16(d, 28));
    if (bm.width <= 0 || bm.height <= 0 || (bm.bits != 4 && bm.bits != 8 && bm.bits != 24))
        return bm;
    std::vector<Rgb8> palette;
    if (bm.bits != 24) {
        bm.paletteSize = int(U32(d, 46));
        if (bm.paletteSize == 0)
            bm.paletteSize = 1 << bm.bits;
        for (int i = 0; i < bm.paletteSize; ++i) {
            size_t at = 54 + size_t(i) * 4;
            if (at + 3 > d.size())
                return bm;
            palette.push_back({d[at + 2], d[at + 1], d[at]});
        }
    }
    size_t stride = size_t((bm.width * bm.bits + 31) / 32 * 4);
    if (offset + stride * size_t(bm.height) > d.size())
        return bm;
    bm.pixels.resize(size_t(bm.width) * size_t(bm.height));
    for (int y = 0; y < bm.height; ++y) {
        const uint8_t* row = d.data() + offset + stride * size_t(bm.height - 1 - y); // bottom-up
        for (int x = 0; x < bm.width; ++x) {
            Rgb8 c;
            if (bm.bits == 24) {
                c = {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
            } else {
                int index = bm.bits == 8 ? row[x] : (x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 15);
                if (index >= bm.paletteSize)
                    return bm;
                c = palette[size_t(index)];
            }
            bm.pixels[size_t(y) * size_t(bm.width) + size_t(x)] = c;
        }
    }
    bm.ok = true;
    return bm;
}

CursorFile ReadCursor(const std::string& path)
{
    CursorFile cf;
    std::vector<uint8_t> d = ReadAll(path);
    if (d.size() < 22)
        return cf;
    cf.type = int(U16(d, 2));
    cf.count = int(U16(d, 4));
    cf.width = d[6];
    cf.height = d[7];
    cf.hotX = int(U16(d, 10));
    cf.hotY = int(U16(d, 12));
    uint32_t at = U32(d, 18);
    if (at + 40 + 8 + 256 > d.size() || U32(d, at) != 40)
        return cf;
    cf.dibHeight = int(U32(d, at + 8));
    cf.dibBits = int(U16(d, at + 14));
    // Colour table: black, then white (an XOR bit of 1 draws white).
    if (U32(d, at + 40) != 0 || U32(d, at + 44) != 0x00FFFFFFu)
        return cf;
    const uint8_t* xorMask = d.data() + at + 40 + 8;
    const uint8_t* andMask = xorMask + 128;
    for (int y = 0; y < 32; ++y) {
        std::string row;
        int src = 31 - y; // bottom-up
        for (int x = 0; x < 32; ++x) {
            int bit = 0x80 >> (x % 8);
            bool a = andMask[src * 4 + x / 8] & bit, xr = xorMask[src * 4 + x / 8] & bit;
            row += a ? (xr ? 'I' : 'T') : (xr ? 'W' : 'B');
        }
        cf.rows.push_back(row);
    }
    cf.ok = true;
    return cf;
}
