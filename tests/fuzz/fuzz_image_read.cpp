// The command line's image reading on any file: the input is the file, read
// as an image and as a selection mask, with a small pixel limit so that a
// header that declares a huge picture is refused rather than allocated.
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_files.h"
#include "tools/velk/image_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = FuzzFile("image", data, size);
    ReadOptions options;
    options.maxPixels = 4000000;
    Image image;
    std::string error;
    if (ReadImage(path, options, image, error)) {
        std::vector<uint8_t> mask;
        ReadMask(path, options.maxPixels, image.width, image.height, mask, error);
    }
    return 0;
}
