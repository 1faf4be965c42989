// Arithmetic of the art generator that gives the same bytes on every machine:
// only IEEE basic operations and sqrt, no library trigonometry.
#pragma once

#include <cstdint>

namespace art {

constexpr double kPi = 3.14159265358979323846;

double Sin(double x); // series after reduction to [-pi, pi]
double Cos(double x);

uint32_t Hash(uint32_t a, uint32_t b, uint32_t seed); // integer mixing
float Random01(uint32_t a, uint32_t b, uint32_t seed); // [0, 1) from Hash

float Clamp01(float v);
float SmoothStep(float e0, float e1, float v);

// Value noise that repeats every `cellsX` x `cellsY` lattice cells: (u, v)
// are in cell units, the lattice wraps, so the field is periodic by
// construction.
float PeriodicNoise(float u, float v, int cellsX, int cellsY, uint32_t seed);

// Distance from (px, py) to the segment (ax, ay)-(bx, by).
float SegmentDistance(float px, float py, float ax, float ay, float bx, float by);

} // namespace art
