// Flips, rotations by any angle and scaling of Paths about a centre: the common centre of a group of
// Paths (the middle of the box spanning all their points' positions) or each Path's own centre. Every
// point's position and both control points move; the control points keep their roles.
#pragma once

#include <memory>
#include <optional>
#include <span>

#include "model/path.h"
#include "tools/selection_transform.h"

namespace zorva {

struct PathCentre {
    double x = 0.0;
    double y = 0.0;
};

// The middle of the box spanning the positions (not the control points) of the points of `paths`; none
// when they hold no point.
std::optional<PathCentre> paths_centre(std::span<const std::unique_ptr<PathPoint>> points,
                                       std::span<const PathRange> paths);
std::optional<PathCentre> paths_centre(std::span<const PathPoint> points, std::span<const PathRange> paths);

// Transforms the points of `paths`: group forms about their common centre, individual forms each Path
// about its own. `value` is the angle in degrees for rotations (positive turns clockwise on screen, the y
// axis pointing down) and the factor for scales; flips ignore it. False, with nothing changed, when no
// point would move or a result would not be a finite 32-bit float.
bool transform_paths(std::span<const std::unique_ptr<PathPoint>> points, std::span<const PathRange> paths,
                     Transform transform, double value = 0.0);
bool transform_paths(std::span<PathPoint> points, std::span<const PathRange> paths, Transform transform,
                     double value = 0.0);

}  // namespace zorva
