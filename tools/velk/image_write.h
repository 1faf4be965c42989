// Writing images: the formats the tool writes, and a write that either
// completes or leaves the existing output as it was. The encoders live in
// the image library (image_library.h), loaded by the first call that needs
// one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tools/velk/output_file.h"
#include "tools/velk/png_writer.h"

struct ImageLibrary;
struct ImageEncoder; // the image library's encoder state

// The metadata of an image file (ICC profile, Exif and other attributes),
// to be carried to an output: held by the image library for the files it
// read, or as PNG chunks for a PNG the tool read itself (png_reader.h).
// Copies share it; nothing changes it once read. Default-constructed: no
// metadata.
class ImageMetadata {
public:
    struct Data; // the image library's

    ImageMetadata() = default;
    // Takes data, which destroy (the library's) frees once the last copy goes.
    ImageMetadata(Data* data, void (*destroy)(Data*)) : data_(data, destroy) {}
    explicit ImageMetadata(PngChunks chunks) : png_(std::make_shared<const PngChunks>(std::move(chunks))) {}

    const Data* get() const { return data_.get(); }
    const PngChunks* png() const { return png_.get(); }

private:
    std::shared_ptr<Data> data_;
    std::shared_ptr<const PngChunks> png_;
};

// The PNG deflate level unless the user asks for another: on renders about
// twice as fast as the usual 6, for a file 1-6% larger.
constexpr int kDefaultPngLevel = 4;

// The JPEG and WebP quality unless the user asks for another: the photo
// editors' usual 90, visually lossless on photographs at about half the
// size of 98.
constexpr int kDefaultQuality = 90;

// How outputs are encoded: pngLevel is the deflate level of a PNG, 0..9
// (below 6 every row is filtered with the Average filter: fast, and on
// photographs nearly as small as choosing a filter row by row; from 6 on each
// row's filter is chosen); quality is that of the lossy formats, 1..100;
// threads share the PNG compression (0: one a core).
struct EncodeSettings {
    int pngLevel = kDefaultPngLevel;
    int quality = kDefaultQuality;
    int threads = 0;
};

// True when the path's extension names a format the tool writes: image
// formats whose encoder hands over the encoded bytes, so that every write
// error is seen, and that hold colour (no .pgm or .pbm).
bool CanWriteImage(const std::string& path, std::string& error);

// Writes 8-bit pixels (3 or 4 channels) to path, carrying the metadata of
// `like` (ICC profile, Exif and other attributes) but not that of the input's
// encoding. The image is encoded in memory and replaces the file only when
// complete (see output_file.h); a symbolic link is written through. A format
// without alpha gets the colour channels only.
bool WriteImage(const std::string& path, int32_t width, int32_t height, int32_t channels,
                const uint8_t* pixels, const ImageMetadata& like, std::string& error,
                const EncodeSettings& encode = EncodeSettings());

// The same write a band of rows at a time, so that rows are encoded while
// later ones are still being rendered: BeginImageWrite, WriteImageRows as
// rows become ready (in order, from any one thread), FinishImageWrite. The
// file is replaced only by FinishImageWrite, after every row. Only opening
// and closing the encoder capture what the libraries print on stderr, so a
// progress bar may be drawn meanwhile.
struct ImageWrite {
    const ImageLibrary* library = nullptr;
    std::unique_ptr<PngWriter> png; // a PNG output: written here, not by the library
    ImageMetadata converted;        // a PNG input's metadata as the library holds it
    // Encodes into memory; destroying it mid-image drops the image quietly.
    std::unique_ptr<ImageEncoder, void (*)(ImageEncoder*)> encoder{nullptr, nullptr};
    OutputTarget target;
    std::string path;
    int32_t height = 0;
    int32_t rowsDone = 0; // rows encoded so far
};

bool BeginImageWrite(ImageWrite& write, const std::string& path, int32_t width, int32_t height,
                     int32_t channels, const ImageMetadata& like, const EncodeSettings& encode,
                     std::string& error);

// Encodes rows write.rowsDone..end - 1 of the image at pixels (all rows,
// width x channels bytes each).
bool WriteImageRows(ImageWrite& write, const uint8_t* pixels, int32_t end, std::string& error);

bool FinishImageWrite(ImageWrite& write, std::string& error);

// Drops an unfinished write quietly; the output stays as it was.
void AbandonImageWrite(ImageWrite& write);
