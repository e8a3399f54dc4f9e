#include "tools/path_transform.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <new>
#include <vector>

namespace zorva {

namespace {

constexpr double kDegreesToRadians = 0.017453292;

PathPoint& at(std::span<const std::unique_ptr<PathPoint>> points, std::size_t i) { return *points[i]; }
PathPoint& at(std::span<PathPoint> points, std::size_t i) { return points[i]; }
const PathPoint& at(std::span<const PathPoint> points, std::size_t i) { return points[i]; }

template <class Points>
std::optional<PathCentre> centre_of(Points points, std::span<const PathRange> paths) {
    bool any = false;
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
    for (const PathRange& range : paths) {
        for (std::size_t i = range.first; i <= range.last && i < points.size(); ++i) {
            const PathPoint& p = at(points, i);
            const double x = p.px, y = p.py;
            if (!any) {
                left = right = x;
                top = bottom = y;
                any = true;
            } else {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (!any) return std::nullopt;
    return PathCentre{(left + right) / 2.0, (top + bottom) / 2.0};
}

bool fits_float(double v) { return std::isfinite(v) && std::fabs(v) <= static_cast<double>(FLT_MAX); }

struct Mover {
    Transform transform;
    double cos_r = 1.0;
    double sin_r = 0.0;
    double factor = 1.0;

    // Moves (x, y) about `c`; false when the result does not fit a float.
    bool move(float& x, float& y, PathCentre c, std::vector<float>& out) const {
        double nx = x, ny = y;
        const double dx = nx - c.x, dy = ny - c.y;
        if (is_flip(transform)) {
            const bool horizontal =
                transform == Transform::FlipHorizontal || transform == Transform::IndividualFlipHorizontal;
            if (horizontal)
                nx = c.x - dx;
            else
                ny = c.y - dy;
        } else if (is_rotation(transform)) {
            nx = c.x + dx * cos_r - dy * sin_r;
            ny = c.y + dx * sin_r + dy * cos_r;
        } else {
            nx = c.x + dx * factor;
            ny = c.y + dy * factor;
        }
        if (!fits_float(nx) || !fits_float(ny)) return false;
        out.push_back(static_cast<float>(nx));
        out.push_back(static_cast<float>(ny));
        return true;
    }
};

template <class Points>
bool transform_points(Points points, std::span<const PathRange> paths, Transform transform, double value) {
    Mover mover{transform};
    if (is_rotation(transform)) {
        if (!std::isfinite(value)) return false;
        const double r = value * kDegreesToRadians;
        mover.cos_r = std::cos(r);
        mover.sin_r = std::sin(r);
    } else if (is_scale(transform)) {
        if (!std::isfinite(value) || value <= 0.0) return false;
        mover.factor = value;
    }
    const std::optional<PathCentre> common = centre_of(points, paths);
    if (!common) return false;

    // Every new value is worked out first, so a result out of range leaves all points as they were.
    std::vector<float> moved;
    try {
        std::size_t count = 0;
        for (const PathRange& range : paths) count += range.size();
        moved.reserve(count * 6);
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (const PathRange& range : paths) {
        PathCentre centre = *common;
        if (is_individual(transform)) {
            const PathRange one[] = {range};
            const std::optional<PathCentre> own = centre_of(points, one);
            if (!own) continue;
            centre = *own;
        }
        for (std::size_t i = range.first; i <= range.last && i < points.size(); ++i) {
            PathPoint& p = at(points, i);
            if (!mover.move(p.px, p.py, centre, moved) || !mover.move(p.cx1, p.cy1, centre, moved) ||
                !mover.move(p.cx2, p.cy2, centre, moved))
                return false;
        }
    }
    std::size_t k = 0;
    bool changed = false;
    const auto take = [&](float& target) {
        changed = changed || target != moved[k];
        target = moved[k++];
    };
    for (const PathRange& range : paths) {
        if (is_individual(transform)) {
            const PathRange one[] = {range};
            if (!centre_of(points, one)) continue;
        }
        for (std::size_t i = range.first; i <= range.last && i < points.size(); ++i) {
            PathPoint& p = at(points, i);
            for (float* f : {&p.px, &p.py, &p.cx1, &p.cy1, &p.cx2, &p.cy2}) take(*f);
        }
    }
    return changed;
}

}  // namespace

std::optional<PathCentre> paths_centre(std::span<const std::unique_ptr<PathPoint>> points,
                                       std::span<const PathRange> paths) {
    return centre_of(points, paths);
}

std::optional<PathCentre> paths_centre(std::span<const PathPoint> points, std::span<const PathRange> paths) {
    return centre_of(points, paths);
}

bool transform_paths(std::span<const std::unique_ptr<PathPoint>> points, std::span<const PathRange> paths,
                     Transform transform, double value) {
    return transform_points(points, paths, transform, value);
}

bool transform_paths(std::span<PathPoint> points, std::span<const PathRange> paths, Transform transform,
                     double value) {
    return transform_points(points, paths, transform, value);
}

}  // namespace zorva
