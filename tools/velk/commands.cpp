#include "tools/velk/commands.h"

#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>

#include "tools/velk/image_write.h"
#include "tools/velk/output_file.h"

#include "deform/engine/factory_presets.h"
#include "common/rgb_text.h"
#include "twostage/engine/twostage_presets.h"

int Fail(const std::string& message)
{
    std::fprintf(stderr, "velk: %s\n", message.c_str());
    return 2;
}

namespace {

// An empty text is an option not given (the command line refuses empty values).
bool ParseColourOption(const char* name, const std::string& text, uint8_t rgb[3],
                       std::string& error)
{
    if (text.empty() || ParseRgb(text, rgb))
        return true;
    error = std::string(name) + ": expected R,G,B with components 0..255, got \"" + text + "\"";
    return false;
}

bool ParseFill(const std::string& text, Velk3dOptions& options, std::string& error)
{
    if (text.empty())
        options.fill = FillKind::Default;
    else if (text == "foreground")
        options.fill = FillKind::Foreground;
    else if (text == "background")
        options.fill = FillKind::Background;
    else if (text == "transparent")
        options.fill = FillKind::Transparent;
    else if (ParseRgb(text, options.fillRgb))
        options.fill = FillKind::Colour;
    else {
        error = "--fill: expected foreground, background, transparent or R,G,B, got \"" + text + "\"";
        return false;
    }
    return true;
}

struct Input {
    Image image;
    std::vector<uint8_t> mask; // empty without a selection
};

// Checks the host colours and the output, then reads the image and the
// selection. One page of a file with several is never written over it.
bool ReadInput(const ApplyArgs& args, uint8_t foreground[3], uint8_t background[3], Input& in,
               std::string& error)
{
    OutputTarget target;
    if (!ParseColourOption("--foreground", args.foreground, foreground, error) ||
        !ParseColourOption("--background", args.background, background, error) ||
        !CanWriteImage(args.output, error) || !ResolveOutput(args.output, target, error) ||
        !ReadImage(args.input, args.read, in.image, error))
        return false;
    for (const std::string& warning : in.image.warnings)
        std::fprintf(stderr, "velk: warning: %s\n", warning.c_str());
    if (in.image.pages > 1 && target.exists && SameFile(args.input, target.path)) {
        error = "cannot write " + args.output + ": it is the input, whose other " +
                std::to_string(in.image.pages - 1) + " pages or frames would be lost";
        return false;
    }
    return args.mask.empty() || ReadMask(args.mask, args.read.maxPixels, in.image.width,
                                         in.image.height, in.mask, error);
}

// Rows handed from the render to the encoder thread as they are done. The
// render reports them on this thread, in row order, every eighth row.
struct RowFeed {
    std::mutex mutex;
    std::condition_variable ready;
    int32_t done = 0;      // rows above this one are rendered
    bool finished = false; // done is final
    ProgressBar* bar = nullptr;
};

int32_t FeedRows(int32_t row, int32_t total, void* user)
{
    RowFeed& feed = *static_cast<RowFeed*>(user);
    {
        std::lock_guard<std::mutex> lock(feed.mutex);
        feed.done = row;
    }
    feed.ready.notify_one();
    return ReportProgress(row, total, feed.bar);
}

// The encoder thread's loop: every row as soon as it is done.
void EncodeFedRows(RowFeed& feed, ImageWrite& write, const uint8_t* pixels, bool& ok,
                   std::string& error)
{
    for (;;) {
        int32_t done;
        bool finished;
        {
            std::unique_lock<std::mutex> lock(feed.mutex);
            feed.ready.wait(lock, [&] { return feed.finished || feed.done > write.rowsDone; });
            done = feed.done;
            finished = feed.finished;
        }
        if (!WriteImageRows(write, pixels, done, error)) {
            ok = false;
            return;
        }
        if (finished)
            return;
    }
}

// Renders the whole image with `render` (called with the progress callback
// and its user) while a second thread encodes the rows already done, then
// replaces the output. Nothing is written when anything fails.
template <typename Render>
int RenderAndWrite(const ApplyArgs& args, const Image& image, const char* label, Render render)
{
    std::string error, encodeError;
    ImageWrite write;
    if (!BeginImageWrite(write, args.output, image.width, image.height, image.channels,
                         image.spec, args.pngLevel, error))
        return Fail(error);
    std::vector<uint8_t> out(size_t(image.width) * image.height * image.channels);
    ProgressBar bar = StartProgress(label);
    RowFeed feed;
    feed.bar = &bar;
    bool encoded = true;
    std::thread encoder(EncodeFedRows, std::ref(feed), std::ref(write), out.data(),
                        std::ref(encoded), std::ref(encodeError));
    const int32_t result = render(FeedRows, &feed, out);
    {
        std::lock_guard<std::mutex> lock(feed.mutex);
        feed.done = result == 0 ? image.height : feed.done;
        feed.finished = true;
    }
    feed.ready.notify_one();
    encoder.join();
    FinishProgress(bar);
    if (result != 0 || !encoded) {
        AbandonImageWrite(write);
        return Fail(result != 0 ? std::string(label) + " could not render the image (result " +
                                      std::to_string(result) + ")"
                                : encodeError);
    }
    return FinishImageWrite(write, error) ? 0 : Fail(error);
}

int WriteResult(const ApplyArgs& args, const Image& image, const std::vector<uint8_t>& pixels)
{
    std::string error;
    const bool ok = args.preview ? WriteImage(args.output, kPreviewWidth, kPreviewHeight, 3,
                                              pixels.data(), image.spec, error, args.pngLevel)
                                 : WriteImage(args.output, image.width, image.height,
                                              image.channels, pixels.data(), image.spec, error,
                                              args.pngLevel);
    return ok ? 0 : Fail(error);
}

} // namespace

int RunVelk3d(Velk3dCommand& c)
{
    std::string error;
    Velk3dOptions& o = c.options;
    o.lightBoost = c.lightBoost;
    o.brightness = c.brightness;
    o.saturation = c.saturation;
    o.threads = c.args.threads;
    if (!c.antialias.empty())
        o.antialias = c.antialias == "on";
    Input in;
    Velk3dRun run;
    if (!ParseFill(c.fill, o, error) || !ReadInput(c.args, o.foreground, o.background, in, error) ||
        !PrepareVelk3d(o, in.image.channels, run, error))
        return Fail(error);

    if (!c.args.preview)
        return RenderAndWrite(c.args, in.image, "velk3d",
                              [&](RowProgress progress, void* user, std::vector<uint8_t>& out) {
                                  return RenderVelk3dImage(run, in.image, in.mask, o, progress,
                                                           user, out);
                              });
    PreviewImage preview = ReducePreview(in.image, in.mask);
    RenderVelk3dPreview(run, in.image.channels, !in.mask.empty(), o, preview);
    return WriteResult(c.args, in.image, PreviewResultRgb(preview));
}

int RunVelk2000(Velk2000Command& c)
{
    std::string error, warning;
    Velk2000Options& o = c.options;
    o.threads = c.args.threads;
    Input in;
    TwoStageParams record;
    if (!ReadInput(c.args, o.foreground, o.background, in, error) ||
        !PrepareVelk2000(o, record, error, warning))
        return Fail(error);
    if (!warning.empty())
        std::fprintf(stderr, "velk: warning: %s\n", warning.c_str());

    if (!c.args.preview)
        return RenderAndWrite(c.args, in.image, "velk2000",
                              [&](RowProgress progress, void* user, std::vector<uint8_t>& out) {
                                  return RenderVelk2000Image(record, in.image, in.mask, o,
                                                             progress, user, out);
                              });
    PreviewImage preview = ReducePreview(in.image, in.mask);
    RenderVelk2000Preview(record, in.image.channels, !in.mask.empty(), o, preview);
    return WriteResult(c.args, in.image, PreviewResultRgb(preview));
}

int RunPresets()
{
    std::printf("velk3d factory presets (default Velkstone):\n");
    for (int n = 0; n < kFactoryPresetCount; ++n) {
        char name[64];
        FactoryPresetName(n, name, sizeof name);
        std::printf("  %s\n", name);
    }
    std::printf("velk2000 factory presets (default e-Flowers):\n");
    for (int n = 0; n < kTwoStageFactoryCount; ++n)
        std::printf("  %s\n", TwoStageFactoryName(n));
    return 0;
}
