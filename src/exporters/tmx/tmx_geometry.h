// The pieces of the TMX exporter that are plain arithmetic: cell flips as TMX flip bits, and Bézier path
// segments flattened into straight lines.
#pragma once

#include <cstdint>
#include <vector>

namespace zvtmx {

// TMX flip bits of a cell drawn with Zorva's H, V and R (a quarter turn): without R they are h = H,
// v = V; with R the anti-diagonal bit is set, h = not H and v = V.
std::uint32_t tmx_flip_bits(bool flip_horizontal, bool flip_vertical, bool rotate);

struct Point {
    double x = 0;
    double y = 0;
};

// The flattening tolerance in pixels: no point of a curve lies farther than this from the lines that
// replace it.
inline constexpr double kFlatteningTolerance = 0.5;

// Appends the points after `p0` of straight lines that follow the cubic Bézier segment p0, c1, c2, p3 to
// within kFlatteningTolerance (a segment whose control points lie on it gives just p3).
void flatten_cubic(Point p0, Point c1, Point c2, Point p3, std::vector<Point>& out);

}  // namespace zvtmx
