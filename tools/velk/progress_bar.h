// A progress bar on stderr, drawn only when stderr is a terminal.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct ProgressBar {
    std::string label;
    bool enabled = false;
    int shown = -1; // percentage last drawn
};

ProgressBar StartProgress(const std::string& label);

// The engines' progress callback: (row, total, ProgressBar*). Never stops.
int32_t ReportProgress(int32_t row, int32_t total, void* user);

// Draws 100% and ends the line, when the bar was drawn at all.
void FinishProgress(ProgressBar& bar);

// One bar for a batch of images rendered at once: each job reports the
// fraction of its rows done, and the bar shows the batch's share.
struct BatchProgress {
    std::mutex mutex;
    ProgressBar bar;
    std::vector<double> done; // of each job, 0..1
};

void ReportBatchProgress(BatchProgress& batch, size_t job, double fraction);

// Where a render reports its progress: a bar of its own, or its job's share
// of a batch's bar (then its warnings name its input).
struct ProgressSink {
    ProgressBar* bar = nullptr;
    BatchProgress* batch = nullptr;
    size_t job = 0;
};

void ReportRows(const ProgressSink& sink, int32_t row, int32_t total);
