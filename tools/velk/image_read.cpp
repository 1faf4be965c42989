// The image library's reading: OpenImageIO's decoders, their output turned
// into upright 8-bit RGB or RGBA.
#include "tools/velk/image_codec.h"

#include <OpenImageIO/strutil.h>

#include <memory>

#include "tools/velk/orientation.h"
#include "tools/velk/quiet_stderr.h"

using OIIO::ImageInput;
using OIIO::ImageSpec;
using OIIO::TypeDesc;

namespace {

// Where the colour and the alpha are among a file's channels.
struct Layout {
    int colour = 0; // 1 grey, 3 red, green, blue
    int alpha = -1; // channel index, or -1
};

bool FindLayout(const std::string& path, const ImageSpec& spec, Layout& layout,
                std::string& error)
{
    const int n = spec.nchannels;
    auto name = [&](int i) {
        return i < int(spec.channelnames.size()) ? OIIO::Strutil::lower(spec.channelnames[i])
                                                 : std::string();
    };
    auto isAlpha = [&](int i) {
        return spec.alpha_channel == i || name(i) == "a" || name(i) == "alpha";
    };
    const bool rgb = n >= 3 && name(0) == "r" && name(1) == "g" && name(2) == "b";
    if (n == 1)
        layout = {1, -1};
    else if (n == 2 && isAlpha(1))
        layout = {1, 1};
    else if (n == 3 && rgb)
        layout = {3, -1};
    else if (n == 4 && rgb && isAlpha(3))
        layout = {3, 3};
    else {
        std::string names;
        for (int i = 0; i < n; ++i)
            names += (i ? ", " : "") + (name(i).empty() ? "?" : spec.channelnames[i]);
        error = path + " has the channels " + names +
                ": only grey or RGB, each with an alpha channel or without, and CMYK "
                "without extra channels can be read";
        return false;
    }
    return true;
}

// Opens the file at the page asked for and checks its size; image.pages is set.
std::unique_ptr<ImageInput> Open(const std::string& path, const ReadOptions& options,
                                 Image& image, std::string& error)
{
    QuietStderr quiet;
    // Colour values as stored: no premultiplication by alpha, which would
    // lose the colour of transparent pixels.
    ImageSpec config;
    config.attribute("oiio:UnassociatedAlpha", 1);
    auto in = ImageInput::open(path, &config);
    if (!in) {
        error = WithDetail(WithDetail("cannot read " + path, OneLine(OIIO::geterror())),
                           quiet.Text());
        return nullptr;
    }
    image.pages = 1;
    while (in->seek_subimage(image.pages, 0))
        ++image.pages;
    (void)in->geterror();
    const int page = options.page > 0 ? options.page : 1;
    if (image.pages > 1 && options.page == 0) {
        error = path + " has " + std::to_string(image.pages) +
                " pages or frames: choose one with --page N";
        return nullptr;
    }
    if (page > image.pages || !in->seek_subimage(page - 1, 0)) {
        error = path + " has no page " + std::to_string(page) + " (it has " +
                std::to_string(image.pages) + ")";
        return nullptr;
    }
    const ImageSpec& spec = in->spec();
    if (spec.width <= 0 || spec.height <= 0 || spec.nchannels <= 0) {
        error = "cannot read " + path + ": empty image";
        return nullptr;
    }
    if (spec.width > 32767 || spec.height > 32767) {
        error = path + ": images up to 32767 x 32767 pixels are supported";
        return nullptr;
    }
    if (int64_t(spec.width) * spec.height > options.maxPixels) {
        error = path + " declares " + std::to_string(spec.width) + " x " +
                std::to_string(spec.height) + " pixels, more than the " +
                std::to_string(options.maxPixels) + " allowed (see --max-pixels)";
        return nullptr;
    }
    return in;
}

// Reads the picture as RGB or RGBA, upright; spec gets the file's metadata.
bool ReadPicture(const std::string& path, const ReadOptions& options, Image& image,
                 ImageSpec& spec, std::string& error)
{
    auto in = Open(path, options, image, error);
    if (!in)
        return false;
    spec = in->spec();
    Layout layout;
    if (!FindLayout(path, spec, layout, error))
        return false;
    const int n = spec.nchannels;
    const size_t count = size_t(spec.width) * spec.height;
    const int channels = layout.alpha >= 0 ? 4 : 3;
    // RGB and RGBA are read in place; other layouts through a copy.
    const bool inPlace = n == channels && layout.colour == 3 && (n == 3 || layout.alpha == 3);
    std::vector<uint8_t> data;
    (inPlace ? image.pixels : data).resize(count * n);
    {
        QuietStderr quiet;
        uint8_t* target = inPlace ? image.pixels.data() : data.data();
        if (!in->read_image(in->current_subimage(), 0, 0, n, TypeDesc::UINT8, target)) {
            error = WithDetail(WithDetail("cannot read " + path, OneLine(in->geterror())),
                               quiet.Text());
            return false;
        }
    }
    image.width = spec.width;
    image.height = spec.height;
    image.channels = channels;
    if (!inPlace)
        image.pixels.resize(count * image.channels);
    for (size_t i = 0; i < count && !inPlace; ++i) {
        const uint8_t* s = &data[i * n];
        uint8_t* d = &image.pixels[i * image.channels];
        d[0] = s[0];
        d[1] = s[layout.colour == 3 ? 1 : 0];
        d[2] = s[layout.colour == 3 ? 2 : 0];
        if (layout.alpha >= 0)
            d[3] = s[layout.alpha];
    }
    data = std::vector<uint8_t>();
    const int orientation = spec.get_int_attribute("Orientation", 1);
    Reorient(orientation, image.width, image.height, image.channels, image.pixels);
    if (spec.find_attribute("Orientation"))
        spec.attribute("Orientation", 1); // written upright
    return true;
}

// The colour space an ICC profile describes ("RGB ", "GRAY", "CMYK", ...).
std::string ProfileSpace(const OIIO::ParamValue& profile)
{
    const size_t size = profile.type().size();
    if (profile.type().basetype != TypeDesc::UINT8 || size < 20)
        return "";
    return std::string(static_cast<const char*>(profile.data()) + 16, 4);
}

} // namespace

bool DecodeImage(const std::string& path, const ReadOptions& options, Image& image,
                 ImageMetadata::Data*& metadata, std::string& error)
{
    auto data = std::make_unique<ImageMetadata::Data>();
    ImageSpec& spec = data->spec;
    if (!ReadPicture(path, options, image, spec, error))
        return false;
    // The pixels are RGB now: only a profile of RGB describes them. A grey
    // picture, or CMYK that the reader converted, is written untagged.
    const OIIO::ParamValue* profile = spec.find_attribute("ICCProfile");
    const std::string space = profile ? ProfileSpace(*profile) : "RGB ";
    if (space != "RGB " || (profile && spec.nchannels < 3)) {
        const std::string kind = space.empty() ? "unreadable" : std::string(OIIO::Strutil::strip(space));
        image.warnings.push_back(path + ": its colour profile (" + kind +
                                 ") does not describe RGB pixels and is left out");
        spec.erase_attribute("ICCProfile");
    }
    metadata = data.release();
    return true;
}

bool DecodeMask(const std::string& path, int64_t maxPixels, int32_t width, int32_t height,
                std::vector<uint8_t>& mask, std::string& error)
{
    Image image;
    ImageSpec spec;
    if (!ReadPicture(path, ReadOptions{0, maxPixels}, image, spec, error))
        return false;
    if (image.width != width || image.height != height) {
        error = "mask " + path + " is " + std::to_string(image.width) + " x " +
                std::to_string(image.height) + ", the image is " + std::to_string(width) +
                " x " + std::to_string(height);
        return false;
    }
    const size_t count = size_t(width) * height;
    mask.resize(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = &image.pixels[i * image.channels];
        mask[i] = image.channels == 4 ? p[3]
                                      : uint8_t((299 * p[0] + 587 * p[1] + 114 * p[2] + 500) / 1000);
    }
    return true;
}
