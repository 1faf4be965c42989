#include "tools/velk/quiet_stderr.h"
#include "tools/velk/batch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <new>
#include <thread>
#include <vector>

#include "common/row_workers.h"

namespace {

namespace fs = std::filesystem;

struct Job {
    std::string input, output, error;
    bool ok = false;
};

// DIR/NAME for each input; false with a message when two inputs would be
// written to one file, or the folder or the format cannot be used.
bool PlanOutputs(const ApplyArgs& args, std::vector<Job>& jobs, std::string& error)
{
    std::error_code ec;
    if (!fs::is_directory(args.outDir, ec)) {
        error = "--out-dir " + args.outDir + " is not a folder";
        return false;
    }
    std::string extension = args.format;
    if (!extension.empty() && extension[0] != '.')
        extension = "." + extension;
    std::map<std::string, std::string> taken; // output -> input
    for (const std::string& input : args.files) {
        fs::path name = fs::path(input).filename();
        if (name.empty()) {
            error = input + " names no file";
            return false;
        }
        if (!extension.empty())
            name.replace_extension(extension);
        const std::string output = (fs::path(args.outDir) / name).string();
        const auto [at, fresh] = taken.emplace(output, input);
        if (!fresh) {
            error = at->second;
            error += " and ";
            error += input;
            error += " would both be written to ";
            error += output;
            return false;
        }
        jobs.push_back(Job{input, output, "", false});
    }
    return true;
}

// Images at once: enough that one image's decoding or encoding never leaves
// a core idle, few enough that their pictures fit in memory.
int ChooseJobs(const ApplyArgs& args, size_t images)
{
    const int cores = DefaultRenderThreads();
    const int wanted = args.jobs > 0 ? args.jobs : std::max(2, cores / 2);
    return static_cast<int>(std::min<size_t>(images, static_cast<size_t>(wanted)));
}

} // namespace

int RunBatch(const ApplyArgs& args, const std::string& label, const ApplyOne& apply)
{
    std::vector<Job> jobs;
    std::string error;
    if (args.files.empty())
        return Fail("no input images");
    if (!PlanOutputs(args, jobs, error))
        return Fail(error);

    const auto start = std::chrono::steady_clock::now();
    BatchProgress progress;
    progress.bar = StartProgress(label + " " + std::to_string(jobs.size()) + " images");
    progress.done.assign(jobs.size(), 0.0);
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i; (i = next++) < jobs.size();) {
            Job& job = jobs[i];
            ApplyArgs one = args;
            one.input = job.input;
            one.output = job.output;
            ProgressSink sink;
            sink.batch = &progress;
            sink.job = i;
            // One image failing, out of memory included, leaves the others
            // to finish.
            try {
                job.ok = apply(one, sink, job.error);
            } catch (const std::bad_alloc&) {
                job.error = "out of memory";
            } catch (const std::exception& e) {
                job.error = e.what();
            }
            ReportBatchProgress(progress, i, 1.0);
        }
    };
    std::vector<std::thread> threads;
    const int count = ChooseJobs(args, jobs.size());
    for (int k = 1; k < count; ++k)
        threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads)
        t.join();
    FinishProgress(progress.bar);

    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    size_t failed = 0;
    for (const Job& job : jobs)
        failed += job.ok ? 0 : 1;
    std::fprintf(UserErr(), "velk: %zu of %zu images written to %s in %.1f s (%.2f images/s)%s\n",
                 jobs.size() - failed, jobs.size(), args.outDir.c_str(), seconds,
                 static_cast<double>(jobs.size() - failed) / std::max(seconds, 1e-3),
                 failed ? "; failed:" : "");
    for (const Job& job : jobs)
        if (!job.ok)
            std::fprintf(UserErr(), "velk: %s: %s\n", job.input.c_str(), job.error.c_str());
    return failed ? 1 : 0;
}
