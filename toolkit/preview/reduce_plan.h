// One axis of the preview reduction worked out once, in whole numbers.
//
// The box filter's weights depend only on the position along the axis, and
// with s >= 1 a float scale has at most 24 significant bits, so every weight
// is a whole multiple of 2^-shift pixel for a shift that keeps s below 2^24
// units. The weighted sums are then exact 32-bit integers and trunc(sum / s)
// is a plain integer quotient: the same bytes the double-precision loop
// gives, whose sums are exact for the same reason.
#pragma once

#include <cstdint>
#include <vector>

// Output k takes, in units of 2^-shift pixel:
//   source pixel last[k - 1] with weight unit - lastWeight[k - 1] (none for k = 0),
//   every pixel strictly between last[k - 1] and last[k] with weight unit,
//   source pixel last[k] with weight lastWeight[k],
// and is that sum divided by scaleUnits, rounded down.
struct ReducePlan {
    int32_t outputs = 0;
    uint32_t scaleUnits = 0; // s in units
    uint32_t unit = 0;       // one pixel in units
    double inverse = 0.0;    // 1 / scaleUnits
    std::vector<int32_t> last;
    std::vector<uint32_t> lastWeight;
    // Per output, for 16-bit multiply-adds: the low and high 12 bits of
    // lastWeight[k] and of the carry weight, as pairs (last, carry).
    std::vector<int16_t> weightsLow, weightsHigh;
    int32_t shift = 0; // unit = 2^shift
};

// The plan of n source pixels reduced by scale (at least 1), at most
// maxOutputs outputs. False when the weights are not whole units or a sum of
// one output's interior could pass 16 bits (scales of 256 and more); the
// caller then reduces in doubles.
bool MakeReducePlan(double scale, int32_t n, int32_t maxOutputs, ReducePlan& plan);

// floor(sum / scaleUnits) for a sum of one output (at most 255 scaleUnits).
// The product is within 2^-44 of the exact quotient and a non-whole quotient
// is at least 2^-24 below the next whole number, so adding 2^-32 lifts a whole
// quotient that came out just below itself and moves no other.
inline uint8_t PlanQuotient(const ReducePlan& plan, uint32_t sum)
{
    return static_cast<uint8_t>(
        static_cast<uint32_t>(static_cast<double>(sum) * plan.inverse + 0x1p-32));
}

// 32 bytes of ones, then 32 zero bytes: the 16 or 32 bytes from 32 - n on
// keep the first n bytes of a load.
extern const uint8_t kKeepFirst[64];
