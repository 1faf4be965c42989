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

} // namespace

bool CanWriteImage(const std::string& path, std::string& error)
{
    return CreateWriter(path, error) != nullptr;
}

bool BeginImageWrite(ImageWrite& w, const std::string& path, int32_t width, int32_t height,
                     int32_t channels, const ImageSpec& like, int pngLevel, std::string& error)
{
    w.out = CreateWriter(path, error);
    if (!w.out || !ResolveOutput(path, w.target, error))
        return false;
    w.path = path;
    w.width = width;
    w.height = height;
    w.channels = channels;
    w.written = channels == 4 && !w.out->supports("alpha") ? 3 : channels;
    ImageSpec spec(width, height, w.written, TypeDesc::UINT8);
    for (const auto& attr : like.extra_attribs)
        if (!IsEncodingAttribute(attr.name().string()))
            spec.attribute(attr.name(), attr.type(), attr.data());
    if (w.out->format_name() == std::string("png")) {
        constexpr int kAverageFilter = 0x40; // PNG_FILTER_AVG
        spec.attribute("png:compressionLevel", pngLevel);
        if (pngLevel < 6)
            spec.attribute("png:filter", kAverageFilter);
    }
    if (w.written == 4) {
        spec.alpha_channel = 3;
        spec.attribute("oiio:UnassociatedAlpha", 1); // our bytes are not premultiplied
    }
    // Room for an uncompressed picture up front: the encoder then appends
    // without moving what it wrote (untouched room costs no memory).
    w.bytes.reserve(size_t(width) * height * w.written + (size_t(1) << 20));
    w.proxy = std::make_unique<OIIO::Filesystem::IOVecOutput>(w.bytes);
    void* pointer = w.proxy.get();
    spec.attribute("oiio:ioproxy", TypeDesc::PTR, &pointer);
    QuietStderr quiet;
    if (!w.out->open(path, spec)) {
        error = WithDetail(WithDetail("cannot write " + path, OneLine(w.out->geterror())),
                           quiet.Text());
        (void)OIIO::geterror();
        return false;
    }
    return true;
}

bool WriteImageRows(ImageWrite& w, const uint8_t* pixels, int32_t end, std::string& error)
{
    if (end > w.height)
        end = w.height;
    if (end <= w.rowsDone)
        return true;
    const size_t rowBytes = size_t(w.width) * w.channels;
    const uint8_t* data = pixels + rowBytes * w.rowsDone;
    if (w.written != w.channels) {
        const size_t count = size_t(w.width) * (end - w.rowsDone);
        w.packed.resize(count * w.written);
        for (size_t i = 0; i < count; ++i)
            for (int k = 0; k < w.written; ++k)
                w.packed[i * w.written + k] = data[i * w.channels + k];
        data = w.packed.data();
    }
    if (!w.out->write_scanlines(w.rowsDone, end, 0, TypeDesc::UINT8, data)) {
        error = WithDetail("cannot write " + w.path, OneLine(w.out->geterror()));
        return false;
    }
    w.rowsDone = end;
    return true;
}

bool FinishImageWrite(ImageWrite& w, std::string& error)
{
    bool ok = w.rowsDone == w.height;
    {
        QuietStderr quiet;
        ok = w.out->close() && ok;
        if (!ok)
            error = WithDetail(WithDetail("cannot write " + w.path, OneLine(w.out->geterror())),
                               quiet.Text());
        (void)OIIO::geterror();
    }
    return ok && ReplaceFile(w.target, w.path, w.bytes, error);
}

void AbandonImageWrite(ImageWrite& w)
{
    QuietStderr quiet; // the encoder may complain of missing rows
    w.out.reset();
    (void)OIIO::geterror();
}

bool WriteImage(const std::string& path, int32_t width, int32_t height, int32_t channels,
                const uint8_t* pixels, const ImageSpec& like, std::string& error, int pngLevel)
{
    ImageWrite w;
    if (!BeginImageWrite(w, path, width, height, channels, like, pngLevel, error))
        return false;
    bool ok;
    {
        QuietStderr quiet;
        ok = WriteImageRows(w, pixels, height, error);
        if (!ok)
            error = WithDetail(error, quiet.Text());
    }
    if (!ok)
        AbandonImageWrite(w);
    return ok && FinishImageWrite(w, error);
}
