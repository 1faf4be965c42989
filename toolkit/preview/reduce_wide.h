// Pass 1 of the preview reduction, eight outputs at once: where the build
// and the processor have AVX2, whole groups of eight outputs of a row are
// reduced with 32-byte loads, and the outputs after them by ReduceRow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/preview/reduce_plan.h"

// Where each output of the groups reads, in bytes from the row's start.
struct WideRowPlan {
    int32_t outputs = 0; // a multiple of 8: the outputs the groups take
    int32_t step = 0;    // bytes of the whole pixels in one 32-byte load
    std::vector<int32_t> start; // the output's first interior pixel
    std::vector<int32_t> end;   // its last pixel
    std::vector<int32_t> loads; // 32-byte loads of its interior, the last one cut
    std::vector<int32_t> kept;  // bytes kept of that last load
    uint8_t select[4][32] = {}; // 1 at the bytes of channel c in a load
};

// The plan of the outputs whose loads (and 4-byte read of the last pixel)
// stay below byte lastByte of the row. Empty where AVX2 is not available.
void MakeWideRowPlan(const ReducePlan& plan, int32_t stride, int32_t channels,
                     ptrdiff_t lastByte, WideRowPlan& wide);

// Both plans as the AVX2 code reads them.
struct WideRows {
    int32_t groups, channels, outputs, shift, step;
    double inverse;
    const int32_t *start, *end, *loads, *kept;
    const int16_t *weightsLow, *weightsHigh;
    const uint8_t* select;
};

inline WideRows WideRowsOf(const WideRowPlan& wide, const ReducePlan& plan, int32_t channels)
{
    return {wide.outputs / 8,  channels,          plan.outputs,
            plan.shift,        wide.step,         plan.inverse,
            wide.start.data(), wide.end.data(),   wide.loads.data(), wide.kept.data(),
            plan.weightsLow.data(), plan.weightsHigh.data(), &wide.select[0][0]};
}

// True when this build has the eight-output path and the processor runs it.
bool HaveReduceRows8();

// Outputs 0 .. 8 * groups - 1 of every channel of a row into
// out[c * outputs + k].
void ReduceRow8(const WideRows& w, const uint8_t* row, uint8_t* out);
