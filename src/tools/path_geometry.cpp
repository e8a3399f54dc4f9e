#include "tools/path_geometry.h"

#include <algorithm>
#include <cmath>

namespace zorva {

namespace {

constexpr int kPieces = 10;

Vec2 lerp(Vec2 a, Vec2 b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

BandRect bounds(const Segment& s) {
    return {std::min({s.p0.x, s.p1.x, s.p2.x, s.p3.x}), std::min({s.p0.y, s.p1.y, s.p2.y, s.p3.y}),
            std::max({s.p0.x, s.p1.x, s.p2.x, s.p3.x}), std::max({s.p0.y, s.p1.y, s.p2.y, s.p3.y})};
}

bool inside(Vec2 p, const BandRect& r) {
    return p.x >= r.left && p.x <= r.right && p.y >= r.top && p.y <= r.bottom;
}

// Liang-Barsky: does the piece from a to b cross the rectangle?
bool piece_meets_rect(Vec2 a, Vec2 b, const BandRect& r) {
    if (inside(a, r) || inside(b, r)) return true;
    double t0 = 0.0, t1 = 1.0;
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - r.left, r.right - a.x, a.y - r.top, r.bottom - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

}  // namespace

Vec2 Segment::at(double t) const {
    const double u = 1.0 - t;
    const double a = u * u * u, b = 3.0 * u * u * t, c = 3.0 * u * t * t, d = t * t * t;
    return {a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y};
}

Segment layer_segment(const PathPoint& from, const PathPoint& to) {
    Segment s;
    s.p0 = {from.px, from.py};
    s.p1 = from.ucp() ? Vec2{from.cx2, from.cy2} : s.p0;
    s.p3 = {to.px, to.py};
    s.p2 = to.ucp() ? Vec2{to.cx1, to.cy1} : s.p3;
    return s;
}

Vec2 ScreenMapping::to_screen(double px, double py) const {
    const double z = transform.z;
    const double left =
        static_cast<double>((std::int64_t{offset_x} - transform.camera_column) * transform.tile_width);
    const double top =
        static_cast<double>((std::int64_t{offset_y} - transform.camera_row) * transform.tile_height);
    return {z * px + z * left - static_cast<double>(transform.origin_x),
            z * py + z * top - static_cast<double>(transform.origin_y)};
}

Vec2 ScreenMapping::to_layer(double sx, double sy) const {
    const double z = transform.z > 0.0f ? transform.z : 1.0;
    const double left =
        static_cast<double>((std::int64_t{offset_x} - transform.camera_column) * transform.tile_width);
    const double top =
        static_cast<double>((std::int64_t{offset_y} - transform.camera_row) * transform.tile_height);
    return {(sx + static_cast<double>(transform.origin_x)) / z - left,
            (sy + static_cast<double>(transform.origin_y)) / z - top};
}

Segment ScreenMapping::to_screen(const Segment& s) const {
    return {to_screen(s.p0.x, s.p0.y), to_screen(s.p1.x, s.p1.y), to_screen(s.p2.x, s.p2.y),
            to_screen(s.p3.x, s.p3.y)};
}

bool segment_meets_rect(const Segment& s, const BandRect& rect) {
    const BandRect box = bounds(s);
    if (box.right < rect.left || box.left > rect.right || box.bottom < rect.top || box.top > rect.bottom)
        return false;
    Vec2 previous = s.p0;
    for (int i = 1; i <= kPieces; ++i) {
        const Vec2 next = s.at(static_cast<double>(i) / kPieces);
        if (piece_meets_rect(previous, next, rect)) return true;
        previous = next;
    }
    return false;
}

std::optional<SegmentHit> segment_hit(const Segment& s, Vec2 cursor, double tolerance) {
    const BandRect box = bounds(s);
    if (cursor.x < box.left - tolerance || cursor.x > box.right + tolerance ||
        cursor.y < box.top - tolerance || cursor.y > box.bottom + tolerance)
        return std::nullopt;
    std::optional<SegmentHit> best;
    Vec2 previous = s.p0;
    for (int i = 1; i <= kPieces; ++i) {
        const Vec2 next = s.at(static_cast<double>(i) / kPieces);
        const double dx = next.x - previous.x, dy = next.y - previous.y;
        const double length2 = dx * dx + dy * dy;
        double t = 0.0;
        if (length2 > 0.0)
            t = std::clamp(((cursor.x - previous.x) * dx + (cursor.y - previous.y) * dy) / length2, 0.0, 1.0);
        const Vec2 near = lerp(previous, next, t);
        const double distance = std::hypot(cursor.x - near.x, cursor.y - near.y);
        if (distance <= tolerance && (!best || distance < best->distance)) best = SegmentHit{distance, near};
        previous = next;
    }
    return best;
}

double segment_length(const Segment& s) {
    double length = 0.0;
    Vec2 previous = s.p0;
    for (int i = 1; i <= kPieces; ++i) {
        const Vec2 next = s.at(static_cast<double>(i) / kPieces);
        length += std::hypot(next.x - previous.x, next.y - previous.y);
        previous = next;
    }
    return length;
}

namespace {

template <class Get>
bool repair_marks(std::size_t n, Get get) {
    bool changed = false;
    auto set = [&](PathPoint& p, std::uint32_t flag) {
        if ((p.flags & flag) == 0) {
            p.flags |= flag;
            changed = true;
        }
    };
    if (n == 0) return false;
    set(get(0), kPathPointStartsPath);
    set(get(n - 1), kPathPointEndsPath);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (get(i).ends_path()) set(get(i + 1), kPathPointStartsPath);
        if (get(i + 1).starts_path()) set(get(i), kPathPointEndsPath);
    }
    return changed;
}

}  // namespace

bool repair_path_marks(std::span<const std::unique_ptr<PathPoint>> points) {
    return repair_marks(points.size(), [&](std::size_t i) -> PathPoint& { return *points[i]; });
}

bool repair_path_marks(std::vector<PathPoint>& points) {
    return repair_marks(points.size(), [&](std::size_t i) -> PathPoint& { return points[i]; });
}

bool path_marks_consistent(std::span<const std::unique_ptr<PathPoint>> points) {
    const std::size_t n = points.size();
    if (n == 0) return true;
    if (!points[0]->starts_path() || !points[n - 1]->ends_path()) return false;
    for (std::size_t i = 0; i + 1 < n; ++i)
        if (points[i]->ends_path() != points[i + 1]->starts_path()) return false;
    return true;
}

}  // namespace zorva
