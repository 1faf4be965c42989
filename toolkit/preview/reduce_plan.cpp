#include "toolkit/preview/reduce_plan.h"

#include <cmath>

alignas(32) const uint8_t kKeepFirst[64] = {
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

bool MakeReducePlan(double scale, int32_t n, int32_t maxOutputs, ReducePlan& plan)
{
    plan = ReducePlan{};
    if (!(scale >= 1.0 && scale < 256.0))
        return false;
    int shift = 23;
    while (shift > 0 && std::ldexp(scale, shift) >= 16777216.0)
        --shift;
    const double units = std::ldexp(scale, shift);
    if (units != std::floor(units))
        return false;
    plan.scaleUnits = static_cast<uint32_t>(units);
    plan.unit = uint32_t{1} << shift;
    plan.inverse = 1.0 / units;

    // The boundaries and weights as the row loop meets them.
    int32_t k = 0;
    for (int32_t i = 0; i < n && k < maxOutputs; ++i) {
        double w = (k + 1) * scale - i;
        if (w > 1.0)
            w = 1.0;
        if ((k + 1) * scale <= i + 1) {
            const double weight = std::ldexp(w, shift);
            if (!(weight > 0.0) || weight != std::floor(weight))
                return false;
            plan.last.push_back(i);
            plan.lastWeight.push_back(static_cast<uint32_t>(weight));
            ++k;
        }
    }
    plan.outputs = k;
    plan.shift = shift;
    // Room for a four-output group that starts at any output.
    plan.weightsLow.assign(2 * static_cast<size_t>(k) + 8, 0);
    plan.weightsHigh.assign(2 * static_cast<size_t>(k) + 8, 0);
    for (int32_t j = 0; j < k; ++j) {
        const uint32_t carry = j > 0 ? plan.unit - plan.lastWeight[j - 1] : 0;
        plan.weightsLow[2 * j] = static_cast<int16_t>(plan.lastWeight[j] & 0xFFF);
        plan.weightsLow[2 * j + 1] = static_cast<int16_t>(carry & 0xFFF);
        plan.weightsHigh[2 * j] = static_cast<int16_t>(plan.lastWeight[j] >> 12);
        plan.weightsHigh[2 * j + 1] = static_cast<int16_t>(carry >> 12);
    }
    return true;
}
