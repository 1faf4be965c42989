#include "tools/velk/progress_bar.h"

#include <cstdio>
#include <unistd.h>

ProgressBar StartProgress(const std::string& label)
{
    ProgressBar bar;
    bar.label = label;
    bar.enabled = isatty(STDERR_FILENO) != 0;
    return bar;
}

static void Draw(ProgressBar& bar, int percent)
{
    if (!bar.enabled || percent == bar.shown)
        return;
    bar.shown = percent;
    const int width = 30, filled = percent * width / 100;
    std::fprintf(stderr, "\r%s [%.*s%*s] %3d%%", bar.label.c_str(), filled,
                 "##############################", width - filled, "", percent);
    std::fflush(stderr);
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
    if (!bar.enabled)
        return;
    Draw(bar, 100);
    std::fputc('\n', stderr);
}
