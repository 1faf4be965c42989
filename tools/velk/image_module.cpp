// The entry of the image library module (velk_images.so): its table.
#include "tools/velk/image_codec.h"

namespace {

void DestroyMetadata(ImageMetadata::Data* metadata)
{
    delete metadata;
}

} // namespace

extern "C" __attribute__((visibility("default"))) const ImageLibrary* VelkImageLibrary()
{
    static const ImageLibrary library = [] {
        // Errors are one line: the library's pending messages are never
        // printed at exit.
        OIIO::attribute("oiio:print_uncaught_errors", 0);
        return ImageLibrary{kImageLibraryVersion,
                            sizeof(ImageLibrary),
                            DecodeImage,
                            DecodeMask,
                            DestroyMetadata,
                            CreateEncoder,
                            OpenEncoder,
                            EncodeRows,
                            FinishEncoder,
                            DestroyEncoder,
                            PngMetadataChunks,
                            MetadataFromPngChunks};
    }();
    return &library;
}
