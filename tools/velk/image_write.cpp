#include "tools/velk/image_write.h"

#include <memory>
#include <vector>

#include "tools/velk/image_library.h"
#include "tools/velk/output_file.h"
#include "tools/velk/quiet_stderr.h"

bool CanWriteImage(const std::string& path, std::string& error)
{
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
    w.library = LoadImageLibrary(error);
    if (!w.library)
        return false;
    w.encoder = {w.library->createEncoder(path, error), w.library->destroyEncoder};
    if (!w.encoder || !ResolveOutput(path, w.target, error))
        return false;
    w.path = path;
    w.height = height;
    w.rowsDone = 0;
    return w.library->openEncoder(*w.encoder, width, height, channels, like.get(), encode,
                                  error);
}

bool WriteImageRows(ImageWrite& w, const uint8_t* pixels, int32_t end, std::string& error)
{
    if (end > w.height)
        end = w.height;
    if (end <= w.rowsDone)
        return true;
    if (!w.library->encodeRows(*w.encoder, pixels, w.rowsDone, end, error))
        return false;
    w.rowsDone = end;
    return true;
}

bool FinishImageWrite(ImageWrite& w, std::string& error)
{
    const std::vector<unsigned char>* bytes =
        w.library->finishEncoder(*w.encoder, w.rowsDone == w.height, error);
    return bytes && ReplaceFile(w.target, w.path, *bytes, error);
}

void AbandonImageWrite(ImageWrite& w)
{
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
