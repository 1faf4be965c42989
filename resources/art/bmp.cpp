#include "resources/art/bmp.h"

#include <algorithm>
#include <cstdio>

namespace art {

static void Put16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

static void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v & 0xFFFFu);
    Put16(b, v >> 16);
}

// BITMAPFILEHEADER + BITMAPINFOHEADER; bottom-up, uncompressed, 72 dpi.
static Bytes Headers(int w, int h, int bits, uint32_t paletteSize, uint32_t imageSize)
{
    uint32_t offset = 14 + 40 + paletteSize * 4;
    Bytes b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, offset + imageSize);
    Put32(b, 0);
    Put32(b, offset);
    Put32(b, 40);
    Put32(b, uint32_t(w));
    Put32(b, uint32_t(h));
    Put16(b, 1);
    Put16(b, uint32_t(bits));
    Put32(b, 0); // BI_RGB
    Put32(b, imageSize);
    Put32(b, 2835);
    Put32(b, 2835);
    Put32(b, paletteSize);
    Put32(b, 0);
    return b;
}

static uint32_t RowBytes(int w, int bits) { return uint32_t((w * bits + 31) / 32 * 4); }

Bytes EncodeBmp24(const Picture& p)
{
    uint32_t stride = RowBytes(p.width, 24);
    Bytes b = Headers(p.width, p.height, 24, 0, stride * uint32_t(p.height));
    for (int y = p.height - 1; y >= 0; --y) {
        size_t start = b.size();
        for (int x = 0; x < p.width; ++x) {
            const Pixel& q = p.At(x, y);
            b.push_back(q.b);
            b.push_back(q.g);
            b.push_back(q.r);
        }
        b.resize(start + stride, 0);
    }
    return b;
}

Bytes EncodeBmpIndexed(const Picture& p, const std::vector<Pixel>& palette, int bits)
{
    if ((bits != 4 && bits != 8) || palette.size() > (size_t(1) << bits))
        return {};
    uint32_t stride = RowBytes(p.width, bits);
    Bytes b = Headers(p.width, p.height, bits, uint32_t(palette.size()), stride * uint32_t(p.height));
    for (const Pixel& c : palette) {
        b.push_back(c.b);
        b.push_back(c.g);
        b.push_back(c.r);
        b.push_back(0);
    }
    for (int y = p.height - 1; y >= 0; --y) {
        Bytes row(stride, 0);
        for (int x = 0; x < p.width; ++x) {
            auto it = std::find(palette.begin(), palette.end(), p.At(x, y));
            if (it == palette.end())
                return {};
            uint8_t index = uint8_t(it - palette.begin());
            if (bits == 8)
                row[size_t(x)] = index;
            else
                row[size_t(x / 2)] |= uint8_t(x % 2 == 0 ? index << 4 : index);
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

static bool Less(const Pixel& a, const Pixel& b)
{
    if (a.r != b.r)
        return a.r < b.r;
    if (a.g != b.g)
        return a.g < b.g;
    return a.b < b.b;
}

std::vector<Pixel> ColoursOf(const Picture& p)
{
    std::vector<Pixel> c = p.pixels;
    std::sort(c.begin(), c.end(), Less);
    c.erase(std::unique(c.begin(), c.end()), c.end());
    return c;
}

Picture ReduceColours(const Picture& p, size_t maxColours)
{
    for (int step = 1; step <= 128; step *= 2) {
        Picture q = p;
        for (Pixel& c : q.pixels) {
            if (c == kWhite)
                continue;
            auto round = [step](uint8_t v) {
                int r = (v + step / 2) / step * step;
                return uint8_t(r > 254 ? 254 : r);
            };
            c = Pixel{round(c.r), round(c.g), round(c.b)};
        }
        if (ColoursOf(q).size() <= maxColours)
            return q;
    }
    return p;
}

Picture MapToPalette(const Picture& p, const std::vector<Pixel>& palette)
{
    Picture q = p;
    for (Pixel& c : q.pixels) {
        int best = -1;
        size_t bestIndex = 0;
        for (size_t i = 0; i < palette.size(); ++i) {
            int dr = c.r - palette[i].r, dg = c.g - palette[i].g, db = c.b - palette[i].b;
            int d = dr * dr + dg * dg + db * db;
            if (best < 0 || d < best) {
                best = d;
                bestIndex = i;
            }
        }
        if (!palette.empty())
            c = palette[bestIndex];
    }
    return q;
}

Bytes EncodeCursor(const std::vector<std::string>& rows, int hotX, int hotY)
{
    const int size = 32;
    const uint32_t maskBytes = size * size / 8; // 128 each: XOR, then AND
    const uint32_t imageBytes = 40 + 2 * 4 + 2 * maskBytes;
    Bytes b;
    Put16(b, 0); // reserved
    Put16(b, 2); // cursor
    Put16(b, 1); // one image
    b.push_back(size);
    b.push_back(size);
    b.push_back(2); // colours
    b.push_back(0);
    Put16(b, uint32_t(hotX));
    Put16(b, uint32_t(hotY));
    Put32(b, imageBytes);
    Put32(b, 6 + 16);
    // BITMAPINFOHEADER: height counts both masks.
    Put32(b, 40);
    Put32(b, size);
    Put32(b, size * 2);
    Put16(b, 1);
    Put16(b, 1);
    Put32(b, 0);
    Put32(b, 2 * maskBytes);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 2);
    Put32(b, 0);
    Put32(b, 0x00000000); // palette: black
    Put32(b, 0x00FFFFFF); // white
    auto cell = [&](int x, int y) {
        return y < int(rows.size()) && x < int(rows[size_t(y)].size()) ? rows[size_t(y)][size_t(x)] : '.';
    };
    // XOR mask (1 = white), then AND mask (1 = transparent); bottom-up rows.
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = size - 1; y >= 0; --y) {
            for (int byte = 0; byte < size / 8; ++byte) {
                uint8_t v = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    char c = cell(byte * 8 + bit, y);
                    bool set = pass == 0 ? c == 'o' : (c != '#' && c != 'o');
                    if (set)
                        v |= uint8_t(0x80 >> bit);
                }
                b.push_back(v);
            }
        }
    }
    return b;
}

bool WriteFile(const std::string& path, const Bytes& data)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace art
