#include "resources/art/shapes.h"
#include "resources/art/mathx.h"

#include <cmath>

namespace art {

float SdCircle(float px, float py, float cx, float cy, float r)
{
    float dx = px - cx, dy = py - cy;
    return std::sqrt(dx * dx + dy * dy) - r;
}

float SdRoundRect(float px, float py, float x0, float y0, float x1, float y1, float r)
{
    float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
    float hx = (x1 - x0) * 0.5f - r, hy = (y1 - y0) * 0.5f - r;
    float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    float ox = qx > 0.0f ? qx : 0.0f, oy = qy > 0.0f ? qy : 0.0f;
    float in = qx > qy ? qx : qy;
    return std::sqrt(ox * ox + oy * oy) + (in < 0.0f ? in : 0.0f) - r;
}

float SdPolygon(float px, float py, const std::vector<Pt>& pts)
{
    float best = 1e9f;
    bool inside = false;
    size_t n = pts.size();
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
        const Pt& a = pts[i];
        const Pt& b = pts[j];
        float d = SegmentDistance(px, py, a.x, a.y, b.x, b.y);
        if (d < best)
            best = d;
        if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside ? -best : best;
}

float SdPolyline(float px, float py, const std::vector<Pt>& pts, float halfWidth)
{
    float best = 1e9f;
    for (size_t i = 1; i < pts.size(); ++i) {
        float d = SegmentDistance(px, py, pts[i - 1].x, pts[i - 1].y, pts[i].x, pts[i].y);
        if (d < best)
            best = d;
    }
    return best - halfWidth;
}

void FillSdf(Canvas& c, const SdfFn& sdf, const SdfShadeFn& shade, int n)
{
    FillShape(
        c, [&](float x, float y) { return sdf(x, y) < 0.0f; },
        [&](float x, float y) { return shade(x, y, sdf(x, y)); }, n);
}

std::vector<Pt> Arc(float cx, float cy, float r, double a0, double a1, int steps)
{
    std::vector<Pt> pts;
    for (int i = 0; i <= steps; ++i) {
        double a = a0 + (a1 - a0) * double(i) / double(steps);
        pts.push_back({cx + r * float(Cos(a)), cy + r * float(Sin(a))});
    }
    return pts;
}

SdfFn Shifted(const SdfFn& f, float dx, float dy)
{
    return [f, dx, dy](float x, float y) { return f(x - dx, y - dy); };
}

} // namespace art
