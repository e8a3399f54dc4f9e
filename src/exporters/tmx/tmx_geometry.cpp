#include "exporters/tmx/tmx_geometry.h"

#include <cmath>

namespace zvtmx {

namespace {

constexpr int kMaxDepth = 16;

// Distance from `p` to the segment a-b.
double distance_to_segment(Point p, Point a, Point b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = 0;
    if (length2 > 0) t = std::fmax(0.0, std::fmin(1.0, ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2));
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

Point middle(Point a, Point b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }

void subdivide(Point p0, Point c1, Point c2, Point p3, int depth, std::vector<Point>& out) {
    // The curve lies in the hull of its four points: when both control points are within the tolerance
    // of the chord, so is every point of the curve.
    if (depth >= kMaxDepth || (distance_to_segment(c1, p0, p3) <= kFlatteningTolerance &&
                               distance_to_segment(c2, p0, p3) <= kFlatteningTolerance)) {
        out.push_back(p3);
        return;
    }
    const Point a = middle(p0, c1), b = middle(c1, c2), c = middle(c2, p3);
    const Point d = middle(a, b), e = middle(b, c);
    const Point m = middle(d, e);
    subdivide(p0, a, d, m, depth + 1, out);
    subdivide(m, e, c, p3, depth + 1, out);
}

}  // namespace

std::uint32_t tmx_flip_bits(bool flip_horizontal, bool flip_vertical, bool rotate) {
    const bool h = rotate ? !flip_horizontal : flip_horizontal;
    return (h ? 0x80000000u : 0u) | (flip_vertical ? 0x40000000u : 0u) | (rotate ? 0x20000000u : 0u);
}

void flatten_cubic(Point p0, Point c1, Point c2, Point p3, std::vector<Point>& out) {
    subdivide(p0, c1, c2, p3, 0, out);
}

}  // namespace zvtmx
