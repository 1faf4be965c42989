// The whole command beside its floor, in one run: `velk apply velk3d` from a
// 6000 x 4000 PNG to a PNG (a process of its own, as a user runs it, on every
// core and held to one), and the floor: reading that PNG and writing a PNG of
// it with the command's own reading and writing, in this process. The
// render alone is BM_Deform6000x4000*. G'MIC's weave filter on the same
// files, where G'MIC is installed, is the nearest free peer.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_photo.h"
#include "tools/velk/image_file.h"
#include "tools/velk/image_write.h"
#include "tools/velk/png_writer.h"

extern char** environ;

namespace {

constexpr int32_t kW = 6000, kH = 4000;

// A file removed when the benchmarks end.
struct TemporaryFile {
    std::string path;
    ~TemporaryFile() { std::remove(path.c_str()); }
};

// The photograph as a PNG file in the temporary folder, written once.
const std::string& PhotoFile()
{
    static const TemporaryFile file{[] {
        std::string p = "/tmp/velk-bench-" + std::to_string(getpid()) + ".png";
        const std::vector<uint8_t> photo = MakePhoto(kW, kH, kW * 3);
        PngWriter writer(kW, kH, 3, PngChunks(), 4, 0);
        writer.AddRows(photo.data(), kH);
        std::vector<FilePiece> pieces;
        std::string error;
        FILE* f = std::fopen(p.c_str(), "wb");
        if (f && writer.Finish(pieces, error))
            for (const FilePiece& piece : pieces)
                std::fwrite(piece.data, 1, piece.size, f);
        if (f)
            std::fclose(f);
        return p;
    }()};
    return file.path;
}

std::string OutputFile()
{
    return "/tmp/velk-bench-" + std::to_string(getpid()) + "-out.png";
}

// Runs a program to its end; false when it could not run or failed.
bool Run(std::vector<std::string> args)
{
    std::vector<char*> argv;
    argv.reserve(args.size() + 1);
    for (std::string& a : args)
        argv.push_back(&a[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid;
    const bool started = posix_spawnp(&pid, argv[0], &quiet, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&quiet);
    int status = 0;
    return started && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void BM_CommandVelk3dPngToPng(benchmark::State& state)
{
    const std::string& in = PhotoFile();
    const std::string out = OutputFile();
    // One core: the process held to the first core, its render on one thread.
    std::vector<std::string> args;
    if (state.range(0) > 0)
        args = {"taskset", "-c", "0"};
    args.insert(args.end(), {VELK_BINARY, "apply", "velk3d"});
    if (state.range(0) > 0)
        args.insert(args.end(), {"--threads", "1"});
    args.insert(args.end(), {in, out});
    for (auto _ : state)
        if (!Run(args))
            state.SkipWithError("velk apply failed");
    state.SetLabel(state.range(0) > 0 ? "one core" : "every core");
    std::remove(out.c_str());
}

// The floor: the same file read and the photograph written to a file, with
// the command's own reading and writing (a PNG to PNG run loads no image
// library), all but the render.
void BM_FloorReadAndWritePng(benchmark::State& state)
{
    const std::string& in = PhotoFile();
    const std::string out = OutputFile();
    const int threads = static_cast<int>(state.range(0));
    // One core: this thread, and the writer's threads it starts, on the first.
    cpu_set_t all, first;
    sched_getaffinity(0, sizeof all, &all);
    CPU_ZERO(&first);
    CPU_SET(0, &first);
    if (threads > 0)
        sched_setaffinity(0, sizeof first, &first);
    EncodeSettings encode;
    encode.threads = threads;
    for (auto _ : state) {
        Image image;
        ImageWrite write;
        std::string error;
        if (!ReadImage(in, ReadOptions(), image, error) ||
            !BeginImageWrite(write, out, image.width, image.height, image.channels, image.spec, encode, error) ||
            !WriteImageRows(write, image.pixels.data(), image.height, error) || !FinishImageWrite(write, error))
            state.SkipWithError(error.c_str());
    }
    sched_setaffinity(0, sizeof all, &all);
    state.SetLabel(threads > 0 ? "one core" : "every core");
    std::remove(out.c_str());
}

void BM_PeerGmicWeavePngToPng(benchmark::State& state)
{
    const std::string& in = PhotoFile();
    const std::string out = OutputFile();
    if (!Run({"gmic", "-h"})) {
        state.SkipWithError("G'MIC (gmic) is not installed");
        return;
    }
    for (auto _ : state)
        if (!Run({"gmic", in, "weave", ",", "o", out}))
            state.SkipWithError("gmic failed");
    std::remove(out.c_str());
}

} // namespace

BENCHMARK(BM_CommandVelk3dPngToPng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_FloorReadAndWritePng)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_PeerGmicWeavePngToPng)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
