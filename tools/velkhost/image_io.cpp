// PNG input and output; the one place that compiles the stb implementations.
#include "tools/velkhost/image_io.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_WINDOWS_UTF8
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBIW_WINDOWS_UTF8
#include <stb_image.h>
#include <stb_image_write.h>

static bool Load(const std::string& path, int wanted, Image& image, std::string& error)
{
    int w = 0, h = 0, n = 0;
    if (!stbi_info(path.c_str(), &w, &h, &n)) {
        error = "cannot read image " + path + ": " +
                (stbi_failure_reason() ? stbi_failure_reason() : "?");
        return false;
    }
    if (wanted == 0)
        wanted = (n == 2 || n == 4) ? 4 : 3;
    if (w > 32767 || h > 32767) {
        error = "image " + path + " is larger than 32767 pixels a side";
        return false;
    }
    stbi_uc* p = stbi_load(path.c_str(), &w, &h, &n, wanted);
    if (!p) {
        error = "cannot decode image " + path;
        return false;
    }
    image.width = w;
    image.height = h;
    image.channels = wanted;
    image.pixels.assign(p, p + size_t(w) * h * wanted);
    stbi_image_free(p);
    return true;
}

bool ReadImage(const std::string& path, int channels, Image& image, std::string& error)
{
    return Load(path, channels, image, error);
}

bool ReadMask(const std::string& path, Image& mask, std::string& error)
{
    Image raw;
    int w = 0, h = 0, n = 0;
    if (!stbi_info(path.c_str(), &w, &h, &n)) {
        error = "cannot read mask " + path;
        return false;
    }
    if (!Load(path, n, raw, error))
        return false;
    mask.width = raw.width;
    mask.height = raw.height;
    mask.channels = 1;
    mask.pixels.resize(size_t(raw.width) * raw.height);
    for (size_t i = 0; i < mask.pixels.size(); ++i)
        mask.pixels[i] = raw.pixels[i * n];
    return true;
}

bool WritePng(const std::string& path, const Image& image)
{
    return stbi_write_png(path.c_str(), image.width, image.height, image.channels,
                          image.pixels.data(), image.width * image.channels) != 0;
}
