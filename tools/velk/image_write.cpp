#include "tools/velk/image_write.h"

#include <OpenImageIO/filesystem.h>

#include <memory>
#include <vector>

#include "tools/velk/output_file.h"
#include "tools/velk/quiet_stderr.h"

using OIIO::ImageOutput;
using OIIO::ImageSpec;
using OIIO::TypeDesc;

namespace {

// Formats for pictures; never the terminal or null writers.
const char* const kFormats[] = {"png",     "jpeg",     "tiff", "bmp", "targa", "gif",
                                "webp",    "openexr",  "jpeg2000", "pnm", "dpx"};

std::unique_ptr<ImageOutput> CreateWriter(const std::string& path, std::string& error)
{
    const std::string ext = OIIO::Strutil::lower(OIIO::Filesystem::extension(path));
    std::unique_ptr<ImageOutput> out;
    if (ext != ".pgm" && ext != ".pbm") { // greyscale-only variants of PNM
        QuietStderr quiet;
        out = ImageOutput::create(path);
        (void)OIIO::geterror();
    }
    if (out && out->supports("ioproxy"))
        for (const char* format : kFormats)
            if (format == std::string(out->format_name()))
                return out;
    error = "cannot write " + path + ": unsupported output format" +
            (ext.empty() ? "" : " " + ext) +
            " (PNG, JPEG, TIFF, BMP, TGA, GIF, WebP, EXR, JPEG 2000, PPM or DPX)";
    return nullptr;
}

// Metadata that describes the input file's encoding, or the file rather
// than the picture.
bool IsEncodingAttribute(const std::string& name)
{
    static const char* const prefixes[] = {
        "oiio:", "png:", "jpeg:", "tiff:", "gif:", "compression", "planarconfig",
        "FramesPerSecond", "Exif:PixelXDimension", "Exif:PixelYDimension"};
    for (const char* p : prefixes)
        if (name.compare(0, std::char_traits<char>::length(p), p) == 0)
            return true;
    return false;
}

bool Encode(ImageOutput& out, const std::string& path, ImageSpec spec, const uint8_t* data,
            std::vector<unsigned char>& bytes, std::string& error)
{
    OIIO::Filesystem::IOVecOutput proxy(bytes);
    void* pointer = &proxy;
    spec.attribute("oiio:ioproxy", TypeDesc::PTR, &pointer);
    QuietStderr quiet;
    bool ok = out.open(path, spec) && out.write_image(TypeDesc::UINT8, data);
    ok = out.close() && ok;
    if (!ok)
        error = WithDetail("cannot write " + path, OneLine(out.geterror()));
    if (!ok)
        error = WithDetail(error, quiet.Text());
    (void)OIIO::geterror();
    return ok;
}

} // namespace

bool CanWriteImage(const std::string& path, std::string& error)
{
    return CreateWriter(path, error) != nullptr;
}

bool WriteImage(const std::string& path, int32_t width, int32_t height, int32_t channels,
                const uint8_t* pixels, const ImageSpec& like, std::string& error, int pngLevel)
{
    OutputTarget target;
    std::unique_ptr<ImageOutput> out = CreateWriter(path, error);
    if (!out || !ResolveOutput(path, target, error))
        return false;
    const int written = channels == 4 && !out->supports("alpha") ? 3 : channels;
    ImageSpec spec(width, height, written, TypeDesc::UINT8);
    for (const auto& attr : like.extra_attribs)
        if (!IsEncodingAttribute(attr.name().string()))
            spec.attribute(attr.name(), attr.type(), attr.data());
    if (out->format_name() == std::string("png")) {
        constexpr int kAverageFilter = 0x40; // PNG_FILTER_AVG
        spec.attribute("png:compressionLevel", pngLevel);
        if (pngLevel < 6)
            spec.attribute("png:filter", kAverageFilter);
    }
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
    std::vector<unsigned char> bytes;
    return Encode(*out, path, spec, data, bytes, error) && ReplaceFile(target, path, bytes, error);
}
