// Signed distances of the shapes the art is made of (negative inside), and a
// fill that shades each sample by its position and its distance to the edge.
#pragma once

#include <functional>
#include <vector>

#include "resources/art/canvas.h"

namespace art {

struct Pt {
    float x, y;
};

float SdCircle(float px, float py, float cx, float cy, float r);
float SdRoundRect(float px, float py, float x0, float y0, float x1, float y1, float r);
float SdPolygon(float px, float py, const std::vector<Pt>& pts);
float SdPolyline(float px, float py, const std::vector<Pt>& pts, float halfWidth);

using SdfFn = std::function<float(float x, float y)>;
using SdfShadeFn = std::function<Rgb(float x, float y, float d)>;

// Covers the samples where sdf < 0 (n x n per pixel); the shade sees the
// sample position and its distance (negative, inside).
void FillSdf(Canvas& c, const SdfFn& sdf, const SdfShadeFn& shade, int n = 6);

// Points of an arc around (cx, cy), from angle a0 to a1 (radians, y down).
std::vector<Pt> Arc(float cx, float cy, float r, double a0, double a1, int steps);

// Shifts every sample of a shape by (dx, dy).
SdfFn Shifted(const SdfFn& f, float dx, float dy);

} // namespace art
