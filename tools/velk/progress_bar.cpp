#include "tools/velk/quiet_stderr.h"
#include "tools/velk/progress_bar.h"

#include <cstdio>
#include <unistd.h>

ProgressBar StartProgress(const std::string& label)
{
    ProgressBar bar;
    bar.label = label;
    bar.enabled = isatty(fileno(UserErr())) != 0;
    return bar;
}

static void Draw(ProgressBar& bar, int percent)
{
    if (!bar.enabled || percent == bar.shown)
        return;
    bar.shown = percent;
    const int width = 30, filled = percent * width / 100;
    std::fprintf(UserErr(), "\r%s [%.*s%*s] %3d%%", bar.label.c_str(), filled,
                 "##############################", width - filled, "", percent);
    std::fflush(UserErr());
}

int32_t ReportProgress(int32_t row, int32_t total, void* user)
{
    auto* bar = static_cast<ProgressBar*>(user);
    if (bar && total > 0)
        Draw(*bar, static_cast<int>(int64_t(row) * 100 / total));
    return 0;
}

void FinishProgress(ProgressBar& bar)
{
    if (!bar.enabled || bar.shown < 0) // never drawn: nothing was rendered
        return;
    Draw(bar, 100);
    std::fputc('\n', UserErr());
}

void ReportBatchProgress(BatchProgress& batch, size_t job, double fraction)
{
    std::lock_guard<std::mutex> lock(batch.mutex);
    batch.done[job] = fraction;
    double sum = 0;
    for (double d : batch.done)
        sum += d;
    Draw(batch.bar, static_cast<int>(sum * 100 / static_cast<double>(batch.done.size())));
}

void ReportRows(const ProgressSink& sink, int32_t row, int32_t total)
{
    if (sink.batch) {
        if (total > 0)
            ReportBatchProgress(*sink.batch, sink.job, static_cast<double>(row) / total);
    } else {
        ReportProgress(row, total, sink.bar);
    }
}
