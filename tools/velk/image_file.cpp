#include "tools/velk/image_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tools/velk/image_library.h"
#include "tools/velk/png_reader.h"

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

namespace {

// A file's bytes, mapped (the page cache's pages, no copy).
class MappedFile {
public:
    explicit MappedFile(const std::string& path)
    {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        struct stat st;
        if (fstat(fd, &st) == 0 && st.st_size > 0) {
            void* at = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (at != MAP_FAILED) {
                data_ = static_cast<const uint8_t*>(at);
                size_ = static_cast<size_t>(st.st_size);
            }
        }
        close(fd);
    }
    ~MappedFile()
    {
        if (data_)
            munmap(const_cast<uint8_t*>(data_), size_);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    const uint8_t* data() const { return data_; }
    size_t size() const { return size_; }

private:
    const uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

} // namespace

bool ReadImage(const std::string& path, const ReadOptions& options, Image& image,
               std::string& error)
{
    // A missing input is told without loading the image library.
    if (!IsRegularFile(path, "", error))
        return false;
    {
        // A PNG is read here, without the image library.
        const MappedFile file(path);
        if (file.data() && HasPngSignature(file.data(), file.size()))
            return DecodePng(path, file.data(), file.size(), options, image, error);
    }
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
