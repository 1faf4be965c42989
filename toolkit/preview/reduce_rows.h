// The two passes of the preview reduction over whole-number plans, with SSE2.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolkit/preview/reduce_plan.h"

// Working rows of pass 1, sized once per reduction.
struct RowSums {
    std::vector<uint32_t> sums; // per channel: plan.outputs + 4 interior sums
    std::vector<uint8_t> ends;  // per channel: a 0, then the outputs' last pixels, then room
    RowSums(const ReducePlan& plan, int32_t channels);
};

// Pass 1 of one row from output `first` on: `channels` bytes of each pixel
// (stride bytes apart, at most 16) reduced along the plan into
// out[c * plan.outputs + k]. Loads of 16 bytes start only below pixel
// loadLimit, so none reaches past the row's last channel byte.
void ReduceRow(const ReducePlan& plan, int32_t first, const uint8_t* row, int32_t stride,
               int32_t channels, int32_t loadLimit, RowSums& work, uint8_t* out);

// Where one channel's preview pixels go: byte (c, r) at
// base + c * pixelStride + r * rowBytes. A null base drops the channel.
struct ChannelTarget {
    uint8_t* base;
    int32_t pixelStride;
    ptrdiff_t rowBytes;
};

// Pass 2: the rows of scratch (span bytes each at rowPitch; channel c's
// columns from c * columns on) reduced along the plan into the targets.
void ReduceColumns(const ReducePlan& plan, const uint8_t* scratch, ptrdiff_t rowPitch,
                   int32_t span, int32_t columns, const ChannelTarget* targets);
