#include "tools/velk/image_file.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "tools/velk/image_library.h"

bool IsRegularFile(const std::string& path, const std::string& what, std::string& error)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        error = "cannot open " + what + path + ": " +
                (errno == ENOENT ? std::string("no such file") : std::strerror(errno));
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "cannot read " + what + path + ": not a regular file";
        return false;
    }
    return true;
}

bool ReadImage(const std::string& path, const ReadOptions& options, Image& image,
               std::string& error)
{
    // A missing input is told without loading the image library.
    if (!IsRegularFile(path, "", error))
        return false;
    const ImageLibrary* library = LoadImageLibrary(error);
    ImageMetadata::Data* metadata = nullptr;
    if (!library || !library->readImage(path, options, image, metadata, error))
        return false;
    image.spec = ImageMetadata(metadata, library->destroyMetadata);
    return true;
}

bool ReadMask(const std::string& path, int64_t maxPixels, int32_t width, int32_t height,
              std::vector<uint8_t>& mask, std::string& error)
{
    if (!IsRegularFile(path, "mask ", error))
        return false;
    const ImageLibrary* library = LoadImageLibrary(error);
    return library && library->readMask(path, maxPixels, width, height, mask, error);
}
