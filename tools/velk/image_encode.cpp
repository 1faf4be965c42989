// The image library's writing: OpenImageIO's encoders, writing into memory.
#include "tools/velk/image_codec.h"

#include <OpenImageIO/filesystem.h>

#include <memory>
#include <vector>

#include "tools/velk/png_chunks.h"
#include "tools/velk/quiet_stderr.h"

using OIIO::ImageOutput;
using OIIO::ImageSpec;
using OIIO::TypeDesc;

struct ImageEncoder {
    std::vector<unsigned char> bytes;
    std::unique_ptr<OIIO::Filesystem::IOVecOutput> proxy; // into bytes
    std::unique_ptr<ImageOutput> out; // goes first, while bytes and proxy last
    std::string path;
    int32_t width = 0;
    int32_t channels = 0, written = 0; // of the pixels given, of the file
    std::vector<uint8_t> packed; // a band without alpha, for formats without it
};

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

ImageEncoder* CreateEncoder(const std::string& path, std::string& error)
{
    std::unique_ptr<ImageOutput> out = CreateWriter(path, error);
    if (!out)
        return nullptr;
    auto encoder = std::make_unique<ImageEncoder>();
    encoder->out = std::move(out);
    encoder->path = path;
    return encoder.release();
}

namespace {

// The spec of an output: size, channels, the metadata of `like` but not that
// of its encoding, and the settings of the output's format.
ImageSpec OutputSpec(int32_t width, int32_t height, int32_t written, const ImageMetadata::Data* like,
                     const EncodeSettings& encode, const std::string& format)
{
    ImageSpec spec(width, height, written, TypeDesc::UINT8);
    if (like)
        for (const auto& attr : like->spec.extra_attribs)
            if (!IsEncodingAttribute(attr.name().string()))
                spec.attribute(attr.name(), attr.type(), attr.data());
    if (format == "png") {
        constexpr int kAverageFilter = 0x40; // PNG_FILTER_AVG
        spec.attribute("png:compressionLevel", encode.pngLevel);
        if (encode.pngLevel < 6)
            spec.attribute("png:filter", kAverageFilter);
    }
    if (format == "jpeg" || format == "webp")
        spec.attribute("compression", format + ":" + std::to_string(encode.quality));
    if (written == 4) {
        spec.alpha_channel = 3;
        spec.attribute("oiio:UnassociatedAlpha", 1); // our bytes are not premultiplied
    }
    return spec;
}

} // namespace

bool OpenEncoder(ImageEncoder& e, int32_t width, int32_t height, int32_t channels,
                 const ImageMetadata::Data* like, const EncodeSettings& encode, std::string& error)
{
    e.width = width;
    e.channels = channels;
    e.written = channels == 4 && !e.out->supports("alpha") ? 3 : channels;
    ImageSpec spec = OutputSpec(width, height, e.written, like, encode, e.out->format_name());
    // Room for an uncompressed picture up front: the encoder then appends
    // without moving what it wrote (untouched room costs no memory).
    e.bytes.reserve(size_t(width) * height * e.written + (size_t(1) << 20));
    e.proxy = std::make_unique<OIIO::Filesystem::IOVecOutput>(e.bytes);
    void* pointer = e.proxy.get();
    spec.attribute("oiio:ioproxy", TypeDesc::PTR, &pointer);
    QuietStderr quiet;
    if (!e.out->open(e.path, spec)) {
        error = WithDetail(WithDetail("cannot write " + e.path, OneLine(e.out->geterror())),
                           quiet.Text());
        (void)OIIO::geterror();
        return false;
    }
    return true;
}

bool EncodeRows(ImageEncoder& e, const uint8_t* pixels, int32_t first, int32_t end,
                std::string& error)
{
    const size_t rowBytes = size_t(e.width) * e.channels;
    const uint8_t* data = pixels + rowBytes * first;
    if (e.written != e.channels) {
        const size_t count = size_t(e.width) * (end - first);
        e.packed.resize(count * e.written);
        for (size_t i = 0; i < count; ++i)
            for (int k = 0; k < e.written; ++k)
                e.packed[i * e.written + k] = data[i * e.channels + k];
        data = e.packed.data();
    }
    if (!e.out->write_scanlines(first, end, 0, TypeDesc::UINT8, data)) {
        error = WithDetail("cannot write " + e.path, OneLine(e.out->geterror()));
        return false;
    }
    return true;
}

const std::vector<unsigned char>* FinishEncoder(ImageEncoder& e, bool complete,
                                                std::string& error)
{
    QuietStderr quiet;
    const bool ok = e.out->close() && complete;
    if (!ok)
        error = WithDetail(WithDetail("cannot write " + e.path, OneLine(e.out->geterror())),
                           quiet.Text());
    (void)OIIO::geterror();
    return ok ? &e.bytes : nullptr;
}

void DestroyEncoder(ImageEncoder* encoder)
{
    QuietStderr quiet; // the encoder may complain of missing rows
    delete encoder;
    (void)OIIO::geterror();
}

bool PngMetadataChunks(const ImageMetadata::Data* like, int32_t channels, std::vector<unsigned char>& before,
                       std::vector<unsigned char>& after, std::string& error)
{
    // The chunks OpenImageIO writes for this metadata, taken from a one-pixel
    // PNG of it: the files keep what they carried when OpenImageIO wrote the
    // whole picture. Chunks of the pixel encoding are left out.
    std::vector<unsigned char> file;
    {
        std::unique_ptr<ImageOutput> out = ImageOutput::create("png");
        OIIO::Filesystem::IOVecOutput proxy(file);
        ImageSpec spec = OutputSpec(1, 1, channels, like, EncodeSettings(), "png");
        void* pointer = &proxy;
        spec.attribute("oiio:ioproxy", TypeDesc::PTR, &pointer);
        const unsigned char pixel[4] = {};
        QuietStderr quiet;
        if (!out || !out->open("metadata.png", spec) || !out->write_image(TypeDesc::UINT8, pixel) ||
            !out->close()) {
            error = WithDetail(WithDetail("cannot write the metadata", out ? OneLine(out->geterror()) : ""),
                               quiet.Text());
            (void)OIIO::geterror();
            return false;
        }
    }
    static const char* const kPixelChunks[] = {"IHDR", "IDAT", "IEND", "PLTE", "tRNS", "bKGD", "sBIT", "hIST"};
    ForEachPngChunk(file.data(), file.size(), [&](const PngChunk& c) {
        for (const char* p : kPixelChunks)
            if (c.Is(p))
                return;
        std::vector<unsigned char>& into = c.afterImage ? after : before;
        into.insert(into.end(), c.start, c.start + 12 + c.length);
    });
    return true;
}

bool MetadataFromPngChunks(const PngChunks& chunks, ImageMetadata::Data*& metadata, std::string& error)
{
    // OpenImageIO reads the chunks from a one-pixel PNG that holds them.
    static const unsigned char kHead[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                          0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0, 0x90, 0x77, 0x53, 0xDE};
    // One black RGB pixel, and the end.
    static const unsigned char kImage[] = {0, 0, 0, 12, 'I', 'D', 'A', 'T', 0x78, 0x9C, 0x63, 0x60, 0x60,
                                           0x60, 0, 0, 0, 4, 0, 1, 0xF6, 0x17, 0x38, 0x55};
    static const unsigned char kEnd[] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    std::vector<unsigned char> file(kHead, kHead + sizeof kHead);
    file.insert(file.end(), chunks.beforeImage.begin(), chunks.beforeImage.end());
    file.insert(file.end(), kImage, kImage + sizeof kImage);
    file.insert(file.end(), chunks.afterImage.begin(), chunks.afterImage.end());
    file.insert(file.end(), kEnd, kEnd + sizeof kEnd);
    OIIO::Filesystem::IOMemReader reader(file.data(), file.size());
    void* pointer = &reader;
    ImageSpec config;
    config.attribute("oiio:ioproxy", TypeDesc::PTR, &pointer);
    QuietStderr quiet;
    auto in = OIIO::ImageInput::open("metadata.png", &config);
    if (!in) {
        error = WithDetail(WithDetail("cannot read the metadata", OneLine(OIIO::geterror())), quiet.Text());
        return false;
    }
    auto data = std::make_unique<ImageMetadata::Data>();
    data->spec = in->spec();
    metadata = data.release();
    return true;
}
