#include "tools/velk/image_file.h"

#include <OpenImageIO/filesystem.h>

#include <cstdio>
#include <unistd.h>

using OIIO::ImageInput;
using OIIO::ImageOutput;
using OIIO::ImageSpec;
using OIIO::TypeDesc;

namespace {

bool ReadChannels(const std::string& path, ImageSpec& spec, std::vector<uint8_t>& data,
                  std::string& error)
{
    // Colour values as stored: no premultiplication by alpha, which would
    // lose the colour of transparent pixels.
    ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    auto in = ImageInput::open(path, &config);
    if (!in) {
        std::string why = OIIO::geterror();
        if (!OIIO::Filesystem::exists(path))
            error = "cannot open " + path + ": no such file";
        else
            error = "cannot read " + path + (why.empty() ? "" : ": " + why);
        return false;
    }
    spec = in->spec();
    if (spec.width <= 0 || spec.height <= 0 || spec.nchannels <= 0) {
        error = "cannot read " + path + ": empty image";
        return false;
    }
    if (spec.width > 32767 || spec.height > 32767) {
        error = path + ": images up to 32767 x 32767 pixels are supported";
        return false;
    }
    data.resize(size_t(spec.width) * spec.height * spec.nchannels);
    if (!in->read_image(0, 0, 0, spec.nchannels, TypeDesc::UINT8, data.data())) {
        error = "cannot read " + path + ": " + in->geterror();
        return false;
    }
    return true;
}

} // namespace

bool ReadImage(const std::string& path, Image& image, std::string& error)
{
    std::vector<uint8_t> data;
    ImageSpec spec;
    if (!ReadChannels(path, spec, data, error))
        return false;
    const int n = spec.nchannels;
    const bool hasAlpha = n == 2 || (n >= 4 && (spec.alpha_channel == 3 || spec.alpha_channel < 0));
    image.width = spec.width;
    image.height = spec.height;
    image.channels = hasAlpha ? 4 : 3;
    image.pixels.resize(size_t(image.width) * image.height * image.channels);
    const size_t count = size_t(image.width) * image.height;
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* s = &data[i * n];
        uint8_t* d = &image.pixels[i * image.channels];
        if (n <= 2) {
            d[0] = d[1] = d[2] = s[0];
        } else {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
        if (hasAlpha)
            d[3] = n == 2 ? s[1] : s[3];
    }
    image.spec = spec;
    return true;
}

bool ReadMask(const std::string& path, int32_t width, int32_t height, std::vector<uint8_t>& mask,
              std::string& error)
{
    std::vector<uint8_t> data;
    ImageSpec spec;
    if (!ReadChannels(path, spec, data, error))
        return false;
    if (spec.width != width || spec.height != height) {
        error = "mask " + path + " is " + std::to_string(spec.width) + " x " +
                std::to_string(spec.height) + ", the image is " + std::to_string(width) + " x " +
                std::to_string(height);
        return false;
    }
    const size_t count = size_t(width) * height;
    mask.resize(count);
    for (size_t i = 0; i < count; ++i)
        mask[i] = data[i * spec.nchannels];
    return true;
}

bool CanWriteImage(const std::string& path, std::string& error)
{
    auto out = ImageOutput::create(path);
    if (!out) {
        error = "cannot write " + path + ": unsupported output format";
        (void)OIIO::geterror();
        return false;
    }
    return true;
}

namespace {

// Metadata that describes the input file's encoding rather than the picture.
bool IsEncodingAttribute(const std::string& name)
{
    static const char* const prefixes[] = {"oiio:", "png:", "jpeg:", "tiff:Compression",
                                           "compression", "tiff:PhotometricInterpretation",
                                           "tiff:PlanarConfiguration", "tiff:RowsPerStrip",
                                           "planarconfig"};
    for (const char* p : prefixes)
        if (name.compare(0, std::char_traits<char>::length(p), p) == 0)
            return true;
    return false;
}

std::string TemporaryName(const std::string& path)
{
    const std::string folder = OIIO::Filesystem::parent_path(path);
    const std::string name = OIIO::Filesystem::filename(path);
    const std::string ext = OIIO::Filesystem::extension(path);
    const std::string temp = "." + name + ".velk-" + std::to_string(getpid()) + ext;
    return folder.empty() ? temp : folder + "/" + temp;
}

} // namespace

bool WriteImage(const std::string& path, int32_t width, int32_t height, int32_t channels,
                const uint8_t* pixels, const ImageSpec& like, std::string& error)
{
    const std::string temp = TemporaryName(path);
    auto out = ImageOutput::create(temp);
    if (!out) {
        error = "cannot write " + path + ": unsupported output format";
        (void)OIIO::geterror();
        return false;
    }
    const int written = channels == 4 && !out->supports("alpha") ? 3 : channels;
    ImageSpec spec(width, height, written, TypeDesc::UINT8);
    for (const auto& attr : like.extra_attribs)
        if (!IsEncodingAttribute(attr.name().string()))
            spec.attribute(attr.name(), attr.type(), attr.data());
    if (written == 4) {
        spec.alpha_channel = 3;
        spec.attribute("oiio:UnassociatedAlpha", 1); // our bytes are not premultiplied
    }

    std::vector<uint8_t> packed;
    const uint8_t* data = pixels;
    if (written != channels) {
        packed.resize(size_t(width) * height * written);
        for (size_t i = 0, n = size_t(width) * height; i < n; ++i)
            for (int k = 0; k < written; ++k)
                packed[i * written + k] = pixels[i * channels + k];
        data = packed.data();
    }
    bool ok = out->open(temp, spec) && out->write_image(TypeDesc::UINT8, data);
    ok = out->close() && ok;
    if (!ok) {
        error = "cannot write " + path + ": " + out->geterror();
        std::remove(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": rename failed";
        std::remove(temp.c_str());
        return false;
    }
    return true;
}
