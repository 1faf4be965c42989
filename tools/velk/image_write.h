// Writing images: the formats the tool writes, and a write that either
// completes or leaves the existing output as it was.
#pragma once

#include <OpenImageIO/filesystem.h>
#include <OpenImageIO/imageio.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tools/velk/output_file.h"

// The PNG zlib level unless the user asks for another: three to five times
// faster than zlib's default 6 on photographs and renders, for a file 3-10%
// larger (level 2 is faster still, but up to 25% larger on smooth renders).
constexpr int kDefaultPngLevel = 4;

// True when the path's extension names a format the tool writes: image
// formats whose encoder hands over the encoded bytes, so that every write
// error is seen, and that hold colour (no .pgm or .pbm).
bool CanWriteImage(const std::string& path, std::string& error);

// Writes 8-bit pixels (3 or 4 channels) to path, carrying the metadata of
// `like` (ICC profile, Exif and other attributes) but not that of the input's
// encoding. The image is encoded in memory and replaces the file only when
// complete (see output_file.h); a symbolic link is written through. A format
// without alpha gets the colour channels only. pngLevel is the zlib level of
// a PNG, 0..9: below 6 every row is filtered with the Average filter (fast,
// and on photographs nearly as small as choosing a filter row by row); from
// 6 on libpng chooses each row's filter.
bool WriteImage(const std::string& path, int32_t width, int32_t height, int32_t channels,
                const uint8_t* pixels, const OIIO::ImageSpec& like, std::string& error,
                int pngLevel = kDefaultPngLevel);

// The same write a band of rows at a time, so that rows are encoded while
// later ones are still being rendered: BeginImageWrite, WriteImageRows as
// rows become ready (in order, from any one thread), FinishImageWrite. The
// file is replaced only by FinishImageWrite, after every row. Only opening
// and closing the encoder capture what the libraries print on stderr, so a
// progress bar may be drawn meanwhile.
struct ImageWrite {
    std::vector<unsigned char> bytes;
    std::unique_ptr<OIIO::Filesystem::IOVecOutput> proxy; // into bytes
    std::unique_ptr<OIIO::ImageOutput> out; // goes first, while bytes and proxy last
    OutputTarget target;
    std::string path;
    int32_t width = 0, height = 0;
    int32_t channels = 0, written = 0; // of the pixels given, of the file
    int32_t rowsDone = 0;
    std::vector<uint8_t> packed; // a band without alpha, for formats without it
};

bool BeginImageWrite(ImageWrite& write, const std::string& path, int32_t width, int32_t height,
                     int32_t channels, const OIIO::ImageSpec& like, int pngLevel,
                     std::string& error);

// Encodes rows write.rowsDone..end - 1 of the image at pixels (all rows,
// width x channels bytes each).
bool WriteImageRows(ImageWrite& write, const uint8_t* pixels, int32_t end, std::string& error);

bool FinishImageWrite(ImageWrite& write, std::string& error);

// Drops an unfinished write quietly; the output stays as it was.
void AbandonImageWrite(ImageWrite& write);
