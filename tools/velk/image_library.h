// The image library: the decoders and encoders of image files (OpenImageIO
// and the code that calls it) in a module of their own, velk_images.so,
// which the tool opens on the first image it reads or writes. OpenImageIO
// brings some 260 shared objects: commands that touch no image (listing the
// presets, --help, a bad option) start without them.
//
// The module exports one C function, VelkImageLibrary, that returns the
// table below. The tool and the module are built together; the version and
// the size of the table keep a module of another build from being used.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/velk/image_file.h"
#include "tools/velk/image_write.h"

// Raised whenever the table, or a type that crosses it, changes.
constexpr uint32_t kImageLibraryVersion = 4;

struct ImageLibrary {
    uint32_t version; // kImageLibraryVersion
    uint32_t size;    // sizeof(ImageLibrary)

    // ReadImage from a regular file: image.spec is left alone and the
    // file's metadata is returned in metadata (to be freed with
    // destroyMetadata).
    bool (*readImage)(const std::string& path, const ReadOptions& options, Image& image,
                      ImageMetadata::Data*& metadata, std::string& error);
    // ReadMask from a regular file.
    bool (*readMask)(const std::string& path, int64_t maxPixels, int32_t width, int32_t height,
                     std::vector<uint8_t>& mask, std::string& error);
    void (*destroyMetadata)(ImageMetadata::Data* metadata);

    // An encoder for path's format (null with a message when the tool does
    // not write it); open it, hand it rows, finish it: the encoded file, or
    // null with a message. An encoder destroyed before it is finished drops
    // its image quietly.
    ImageEncoder* (*createEncoder)(const std::string& path, std::string& error);
    bool (*openEncoder)(ImageEncoder& encoder, int32_t width, int32_t height, int32_t channels,
                        const ImageMetadata::Data* like, const EncodeSettings& encode, std::string& error);
    // Rows first..end - 1 of pixels (all rows, width x channels bytes each).
    bool (*encodeRows)(ImageEncoder& encoder, const uint8_t* pixels, int32_t first, int32_t end,
                       std::string& error);
    const std::vector<unsigned char>* (*finishEncoder)(ImageEncoder& encoder, bool complete,
                                                       std::string& error);
    void (*destroyEncoder)(ImageEncoder* encoder);

    // The PNG chunks that carry the metadata of `like` for an image of
    // `channels` (3 or 4), complete with length and CRC: those that go
    // before the image data and those after it. The tool writes PNG files
    // itself (png_writer.h).
    bool (*pngMetadataChunks)(const ImageMetadata::Data* like, int32_t channels,
                              std::vector<unsigned char>& before, std::vector<unsigned char>& after,
                              std::string& error);
    // The other way: metadata for an encoder from such chunks (a PNG input
    // the tool read itself), to be freed with destroyMetadata.
    bool (*metadataFromPngChunks)(const PngChunks& chunks, ImageMetadata::Data*& metadata,
                                  std::string& error);
};

// The module's one export.
extern "C" const ImageLibrary* VelkImageLibrary();

// The image library, loaded by the first call (from any thread). Null, with
// "cannot load the image library ...: why" in error, when it cannot be.
const ImageLibrary* LoadImageLibrary(std::string& error);
