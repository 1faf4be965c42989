// PNG output of captures (stb_image_write, compiled privately here).
#include "tools/uidriver/ui_driver.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBIW_WINDOWS_UTF8
#include <stb_image_write.h>

bool SavePng(const std::string& path, const Capture& c)
{
    return c.width > 0 &&
           stbi_write_png(path.c_str(), c.width, c.height, 3, c.rgb.data(), c.width * 3) != 0;
}
