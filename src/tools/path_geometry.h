// The geometry of path segments on screen: the cubic curve of a segment, its 10-piece polyline, the hit
// tests of the eraser and of point insertion (nearest point within a tolerance), the rubber band's test, and
// the repair of a point list's first and last marks.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "model/path.h"
#include "view/view_geometry.h"

namespace zorva {

struct Vec2 {
    double x = 0.0;
    double y = 0.0;
};

// The four points of one segment: the start point, its outgoing control point, the end point's incoming
// control point, the end point. A point without control points lends its position.
struct Segment {
    Vec2 p0, p1, p2, p3;
    Vec2 at(double t) const;
};

Segment layer_segment(const PathPoint& from, const PathPoint& to);

// Layer pixels to screen pixels and back for one layer at one view transform.
struct ScreenMapping {
    ViewTransform transform;
    std::int32_t offset_x = 0;
    std::int32_t offset_y = 0;

    Vec2 to_screen(double px, double py) const;
    Vec2 to_layer(double sx, double sy) const;
    Segment to_screen(const Segment& s) const;
};

// A rectangle of screen pixels with ordered corners.
struct BandRect {
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
};

// The band test of a segment: its four points' bounding box first, then a polyline of 10 pieces, each
// piece clipped against the rectangle.
bool segment_meets_rect(const Segment& s, const BandRect& rect);

// The nearest point of a segment's 10-piece polyline to `cursor` within `tolerance`, tried only when the
// cursor lies inside the four points' bounding box grown by the tolerance.
struct SegmentHit {
    double distance = 0.0;
    Vec2 point;
};
std::optional<SegmentHit> segment_hit(const Segment& s, Vec2 cursor, double tolerance);

// The length of a segment measured by a polyline of 10 pieces.
double segment_length(const Segment& s);

// Each Path's last point carries the last mark and the point after a last point carries the first mark; the
// list's first point starts a Path and its last point ends one. True when anything changed.
bool repair_path_marks(std::span<const std::unique_ptr<PathPoint>> points);
bool repair_path_marks(std::vector<PathPoint>& points);
// Every point lies in a Path that starts with a first mark and ends with a last mark.
bool path_marks_consistent(std::span<const std::unique_ptr<PathPoint>> points);

}  // namespace zorva
