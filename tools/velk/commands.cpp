#include "tools/velk/quiet_stderr.h"
#include "tools/velk/commands.h"

#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>

#include "tools/velk/batch.h"
#include "tools/velk/image_write.h"
#include "tools/velk/output_file.h"

#include "deform/engine/factory_presets.h"
#include "common/rgb_text.h"
#include "twostage/engine/twostage_presets.h"

int Fail(const std::string& message)
{
    std::fprintf(UserErr(), "velk: %s\n", message.c_str());
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

struct Input {
    Image image;
    std::vector<uint8_t> mask; // empty without a selection
};

void Warn(const ProgressSink& sink, const ApplyArgs& args, const std::string& warning)
{
    if (sink.batch)
        std::fprintf(UserErr(), "velk: warning: %s: %s\n", args.input.c_str(), warning.c_str());
    else
        std::fprintf(UserErr(), "velk: warning: %s\n", warning.c_str());
}

// Checks the host colours and the output, then reads the image and the
// selection. One page of a file with several is never written over it.
bool ReadInput(const ApplyArgs& args, const ProgressSink& sink, uint8_t foreground[3],
               uint8_t background[3], Input& in, std::string& error)
{
    OutputTarget target;
    if (!ParseColourOption("--foreground", args.foreground, foreground, error) ||
        !ParseColourOption("--background", args.background, background, error) ||
        !CanWriteImage(args.output, error) || !ResolveOutput(args.output, target, error) ||
        !ReadImage(args.input, args.read, in.image, error))
        return false;
    for (const std::string& warning : in.image.warnings)
        Warn(sink, args, warning);
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
    const ProgressSink* sink = nullptr;
};

int32_t FeedRows(int32_t row, int32_t total, void* user)
{
    RowFeed& feed = *static_cast<RowFeed*>(user);
    {
        std::lock_guard<std::mutex> lock(feed.mutex);
        feed.done = row;
    }
    feed.ready.notify_one();
    ReportRows(*feed.sink, row, total);
    return 0;
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
bool RenderAndWrite(const ApplyArgs& args, const ProgressSink& sink, const Image& image,
                    const char* label, std::string& error, Render render)
{
    std::string encodeError;
    ImageWrite write;
    if (!BeginImageWrite(write, args.output, image.width, image.height, image.channels,
                         image.spec, args.encode, error))
        return false;
    std::vector<uint8_t> out(size_t(image.width) * image.height * image.channels);
    RowFeed feed;
    feed.sink = &sink;
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
    if (result != 0 || !encoded) {
        AbandonImageWrite(write);
        error = result != 0 ? std::string(label) + " could not render the image (result " +
                                  std::to_string(result) + ")"
                            : encodeError;
        return false;
    }
    return FinishImageWrite(write, error);
}

bool WriteResult(const ApplyArgs& args, const Image& image, const std::vector<uint8_t>& pixels,
                 std::string& error)
{
    return args.preview ? WriteImage(args.output, kPreviewWidth, kPreviewHeight, 3, pixels.data(),
                                     image.spec, error, args.encode)
                        : WriteImage(args.output, image.width, image.height, image.channels,
                                     pixels.data(), image.spec, error, args.encode);
}

bool ApplyVelk3d(const ApplyArgs& args, Velk3dOptions o, const ProgressSink& sink,
                 std::string& error)
{
    Input in;
    Velk3dRun run;
    if (!ReadInput(args, sink, o.foreground, o.background, in, error) ||
        !PrepareVelk3d(o, in.image.channels, run, error))
        return false;
    if (!args.preview)
        return RenderAndWrite(args, sink, in.image, "velk3d", error,
                              [&](RowProgress progress, void* user, std::vector<uint8_t>& out) {
                                  return RenderVelk3dImage(run, in.image, in.mask, o, progress,
                                                           user, out);
                              });
    PreviewImage preview = ReducePreview(in.image, in.mask);
    RenderVelk3dPreview(run, in.image.channels, !in.mask.empty(), o, preview);
    return WriteResult(args, in.image, PreviewResultRgb(preview), error);
}

bool ApplyVelk2000(const ApplyArgs& args, Velk2000Options o, const TwoStageParams& record,
                   const ProgressSink& sink, std::string& error)
{
    Input in;
    if (!ReadInput(args, sink, o.foreground, o.background, in, error))
        return false;
    if (!args.preview)
        return RenderAndWrite(args, sink, in.image, "velk2000", error,
                              [&](RowProgress progress, void* user, std::vector<uint8_t>& out) {
                                  return RenderVelk2000Image(record, in.image, in.mask, o,
                                                             progress, user, out);
                              });
    PreviewImage preview = ReducePreview(in.image, in.mask);
    RenderVelk2000Preview(record, in.image.channels, !in.mask.empty(), o, preview);
    return WriteResult(args, in.image, PreviewResultRgb(preview), error);
}

// One image, or a batch with --out-dir.
int ApplyFiles(ApplyArgs& args, const char* label, const ApplyOne& apply)
{
    args.encode.threads = args.threads; // a PNG's compression shares the cores as the render does
    if (!args.outDir.empty())
        return RunBatch(args, label, apply);
    if (!args.format.empty())
        return Fail("--format needs --out-dir");
    if (args.files.size() != 2)
        return Fail("expected INPUT OUTPUT, or several inputs with --out-dir DIR");
    args.input = args.files[0];
    args.output = args.files[1];
    ProgressBar bar = StartProgress(label);
    ProgressSink sink;
    sink.bar = &bar;
    std::string error;
    const bool ok = apply(args, sink, error);
    if (!args.preview)
        FinishProgress(bar);
    return ok ? 0 : Fail(error);
}

} // namespace

int RunVelk3d(Velk3dCommand& c)
{
    std::string error;
    Velk3dOptions& o = c.options;
    o.threads = c.args.threads;
    // The settings are checked before any image is read, so that a mistake
    // in them is told at once.
    Velk3dRun run;
    if (!PrepareVelk3d(o, 0, run, error))
        return Fail(error);
    return ApplyFiles(c.args, "velk3d",
                      [&](const ApplyArgs& args, const ProgressSink& sink, std::string& e) {
                          return ApplyVelk3d(args, o, sink, e);
                      });
}

int RunVelk2000(Velk2000Command& c)
{
    std::string error, warning;
    Velk2000Options& o = c.options;
    o.threads = c.args.threads;
    TwoStageParams record;
    if (!PrepareVelk2000(o, record, error, warning))
        return Fail(error);
    if (!warning.empty())
        std::fprintf(UserErr(), "velk: warning: %s\n", warning.c_str());
    return ApplyFiles(c.args, "velk2000",
                      [&](const ApplyArgs& args, const ProgressSink& sink, std::string& e) {
                          return ApplyVelk2000(args, o, record, sink, e);
                      });
}
