// The fuzz targets link the image library's code into themselves, where the
// sanitizers and the coverage see all of it: no module to open.
#include "tools/velk/image_library.h"

const ImageLibrary* LoadImageLibrary(std::string& /*error*/)
{
    return VelkImageLibrary();
}
