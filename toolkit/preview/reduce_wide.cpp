#include "toolkit/preview/reduce_wide.h"

void MakeWideRowPlan(const ReducePlan& plan, int32_t stride, int32_t channels,
                     ptrdiff_t lastByte, WideRowPlan& wide)
{
    wide = WideRowPlan{};
    if (!HaveReduceRows8() || stride < 1 || stride > 16 || channels < 1 || channels > 4)
        return;
    const int32_t perLoad = 32 / stride;
    wide.step = perLoad * stride;
    for (int32_t c = 0; c < channels; ++c)
        for (int32_t j = c; j < wide.step; j += stride)
            wide.select[c][j] = 1;

    int32_t from = 0, k = 0;
    for (; k < plan.outputs; ++k) {
        const int32_t last = plan.last[k];
        const int32_t pixels = last - from;
        const int32_t loads = (pixels + perLoad - 1) / perLoad;
        const ptrdiff_t first = static_cast<ptrdiff_t>(from) * stride;
        const ptrdiff_t readEnd = loads > 0 ? first + (loads - 1) * wide.step + 32 : 0;
        const ptrdiff_t endByte = static_cast<ptrdiff_t>(last) * stride;
        if (readEnd > lastByte || endByte + 4 > lastByte)
            break;
        wide.start.push_back(static_cast<int32_t>(first));
        wide.end.push_back(static_cast<int32_t>(endByte));
        wide.loads.push_back(loads);
        wide.kept.push_back(loads > 0 ? (pixels - (loads - 1) * perLoad) * stride : 0);
        from = last + 1;
    }
    wide.outputs = k / 8 * 8;
}
