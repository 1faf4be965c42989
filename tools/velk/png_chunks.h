// The chunks of a PNG file's bytes, walked in order (shared by the tool's PNG
// reader and the image library's metadata chunks).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

inline uint32_t PngBigEndian(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

struct PngChunk {
    const uint8_t* start; // the length field; the whole chunk is 12 + length bytes
    uint32_t length;      // of its data
    bool afterImage;      // an image data chunk came before it (or it is one)
    bool Is(const char type[4]) const { return std::memcmp(start + 4, type, 4) == 0; }
};

// Calls visit(chunk) for every complete chunk after the signature, up to
// the first that runs past the end.
template <typename Visit>
void ForEachPngChunk(const uint8_t* file, size_t size, Visit visit)
{
    bool imageSeen = false;
    for (size_t at = 8; at + 12 <= size;) {
        const PngChunk chunk{file + at, PngBigEndian(file + at), false};
        if (chunk.length > size - at - 12)
            return;
        imageSeen = imageSeen || chunk.Is("IDAT");
        visit(PngChunk{chunk.start, chunk.length, imageSeen});
        at += 12 + size_t(chunk.length);
    }
}
