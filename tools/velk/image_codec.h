// The image library's own side (velk_images.so, see image_library.h): the
// OpenImageIO code behind the table.
#pragma once

#include <OpenImageIO/imageio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/velk/image_library.h"

struct ImageMetadata::Data {
    OIIO::ImageSpec spec;
};

// Reading (image_read.cpp); the callers have checked that path is a regular file.
bool DecodeImage(const std::string& path, const ReadOptions& options, Image& image,
                 ImageMetadata::Data*& metadata, std::string& error);
bool DecodeMask(const std::string& path, int64_t maxPixels, int32_t width, int32_t height,
                std::vector<uint8_t>& mask, std::string& error);

// Writing (image_encode.cpp).
ImageEncoder* CreateEncoder(const std::string& path, std::string& error);
bool OpenEncoder(ImageEncoder& encoder, int32_t width, int32_t height, int32_t channels,
                 const ImageMetadata::Data* like, const EncodeSettings& encode, std::string& error);
bool EncodeRows(ImageEncoder& encoder, const uint8_t* pixels, int32_t first, int32_t end,
                std::string& error);
const std::vector<unsigned char>* FinishEncoder(ImageEncoder& encoder, bool complete,
                                                std::string& error);
void DestroyEncoder(ImageEncoder* encoder);
bool MetadataFromPngChunks(const PngChunks& chunks, ImageMetadata::Data*& metadata, std::string& error);
bool PngMetadataChunks(const ImageMetadata::Data* like, int32_t channels, std::vector<unsigned char>& before,
                       std::vector<unsigned char>& after, std::string& error);
