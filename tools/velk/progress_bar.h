// A progress bar on stderr, drawn only when stderr is a terminal.
#pragma once

#include <cstdint>
#include <string>

struct ProgressBar {
    std::string label;
    bool enabled = false;
    int shown = -1; // percentage last drawn
};

ProgressBar StartProgress(const std::string& label);

// The engines' progress callback: (row, total, ProgressBar*). Never stops.
int32_t ReportProgress(int32_t row, int32_t total, void* user);

void FinishProgress(ProgressBar& bar);
