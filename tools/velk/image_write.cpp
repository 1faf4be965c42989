#include "tools/velk/image_write.h"

#include <cctype>
#include <memory>
#include <vector>

#include "tools/velk/image_library.h"
#include "tools/velk/output_file.h"
#include "tools/velk/quiet_stderr.h"

namespace {

bool IsPngPath(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return false;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "png";
}

// A PNG output: the metadata of `like` as PNG chunks (from the image library,
// which read it), then the writer.
bool BeginPngWrite(ImageWrite& w, int32_t width, int32_t height, int32_t channels, const ImageMetadata& like,
                   const EncodeSettings& encode, std::string& error)
{
    PngChunks chunks;
    if (like.png()) {
        chunks = *like.png();
    } else if (like.get()) {
        w.library = LoadImageLibrary(error);
        if (!w.library || !w.library->pngMetadataChunks(like.get(), channels, chunks.beforeImage,
                                                          chunks.afterImage, error))
            return false;
    }
    w.png = std::make_unique<PngWriter>(width, height, channels, chunks, encode.pngLevel, encode.threads);
    return true;
}

} // namespace

bool CanWriteImage(const std::string& path, std::string& error)
{
    if (IsPngPath(path))
        return true;
    const ImageLibrary* library = LoadImageLibrary(error);
    if (!library)
        return false;
    const std::unique_ptr<ImageEncoder, void (*)(ImageEncoder*)> encoder(
        library->createEncoder(path, error), library->destroyEncoder);
    return encoder != nullptr;
}

bool BeginImageWrite(ImageWrite& w, const std::string& path, int32_t width, int32_t height,
                     int32_t channels, const ImageMetadata& like, const EncodeSettings& encode, std::string& error)
{
    w.path = path;
    w.height = height;
    w.rowsDone = 0;
    if (IsPngPath(path))
        return ResolveOutput(path, w.target, error) &&
               BeginPngWrite(w, width, height, channels, like, encode, error);
    w.library = LoadImageLibrary(error);
    if (!w.library)
        return false;
    w.encoder = {w.library->createEncoder(path, error), w.library->destroyEncoder};
    if (!w.encoder || !ResolveOutput(path, w.target, error))
        return false;
    const ImageMetadata::Data* metadata = like.get();
    if (like.png()) {
        ImageMetadata::Data* converted = nullptr;
        if (!w.library->metadataFromPngChunks(*like.png(), converted, error))
            return false;
        w.converted = ImageMetadata(converted, w.library->destroyMetadata);
        metadata = converted;
    }
    return w.library->openEncoder(*w.encoder, width, height, channels, metadata, encode, error);
}

bool WriteImageRows(ImageWrite& w, const uint8_t* pixels, int32_t end, std::string& error)
{
    if (end > w.height)
        end = w.height;
    if (end <= w.rowsDone)
        return true;
    if (w.png) {
        w.png->AddRows(pixels, end);
        w.rowsDone = end;
        return true;
    }
    if (!w.library->encodeRows(*w.encoder, pixels, w.rowsDone, end, error))
        return false;
    w.rowsDone = end;
    return true;
}

bool FinishImageWrite(ImageWrite& w, std::string& error)
{
    if (w.png) {
        std::vector<FilePiece> pieces;
        if (!w.png->Finish(pieces, error)) {
            error = "cannot write " + w.path + ": " + error;
            return false;
        }
        return ReplaceFile(w.target, w.path, pieces, error);
    }
    const std::vector<unsigned char>* bytes =
        w.library->finishEncoder(*w.encoder, w.rowsDone == w.height, error);
    return bytes && ReplaceFile(w.target, w.path, *bytes, error);
}

void AbandonImageWrite(ImageWrite& w)
{
    w.png.reset();
    w.encoder.reset();
}

bool WriteImage(const std::string& path, int32_t width, int32_t height, int32_t channels,
                const uint8_t* pixels, const ImageMetadata& like, std::string& error, const EncodeSettings& encode)
{
    ImageWrite w;
    if (!BeginImageWrite(w, path, width, height, channels, like, encode, error))
        return false;
    const bool ok = WriteImageRows(w, pixels, height, error);
    if (!ok)
        AbandonImageWrite(w);
    return ok && FinishImageWrite(w, error);
}
