// Path points and paths. A layer keeps all its path points in one ordered list; a Path is the run of
// consecutive points from a point that starts a path up to and including the next point that ends one
// (one point may do both). The Path's closed flag sits on its starting point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "base/platform.h"
#include "model/custom_variables.h"
#include "model/ids.h"
#include "model/object_list.h"

namespace zorva {

class Project;
struct Layer;

// Flag word of a path point, as stored in the binary project file; higher bits are editor state, copied
// on add and not written to the XML file.
inline constexpr std::uint32_t kPathPointStartsPath = 1u << 0;
inline constexpr std::uint32_t kPathPointEndsPath = 1u << 1;
inline constexpr std::uint32_t kPathPointUsesControlPoints = 1u << 2;  // `ucp`
inline constexpr std::uint32_t kPathPointIsClosed = 1u << 3;           // meaningful on the starting point
inline constexpr std::uint32_t kPathPointFileFlags = 0xFu;

struct PathPoint {
    ObjectId uid = kInvalidId;  // unique within the layer
    ObjectId map_id = kInvalidId;
    ObjectId layer_id = kInvalidId;
    float px = 0.0f;  // the point, in layer pixels
    float py = 0.0f;
    float cx1 = 0.0f;  // first (incoming) control point
    float cy1 = 0.0f;
    float cx2 = 0.0f;  // second (outgoing) control point
    float cy2 = 0.0f;
    std::uint32_t flags = 0;
    IntVariables custom_variables{};

    ObjectId id() const { return uid; }
    bool starts_path() const { return (flags & kPathPointStartsPath) != 0; }
    bool ends_path() const { return (flags & kPathPointEndsPath) != 0; }
    bool ucp() const { return (flags & kPathPointUsesControlPoints) != 0; }
    bool is_closed() const { return (flags & kPathPointIsClosed) != 0; }
    void set_flag(std::uint32_t flag, bool on) { flags = on ? flags | flag : flags & ~flag; }
    void set_starts_path(bool on) { set_flag(kPathPointStartsPath, on); }
    void set_ends_path(bool on) { set_flag(kPathPointEndsPath, on); }
    void set_ucp(bool on) { set_flag(kPathPointUsesControlPoints, on); }
    void set_is_closed(bool on) { set_flag(kPathPointIsClosed, on); }
};

// One Path: points [first, last] of the layer's list (inclusive).
struct PathRange {
    std::size_t first = 0;
    std::size_t last = 0;
    std::size_t size() const { return last - first + 1; }
};

// The Paths of a point list, in order. A run starts at a point that starts a path and ends at the next
// point that ends a path; a run whose end mark is missing ends before the next starting point or at the
// list's end. Points outside every run are not part of a Path.
std::vector<PathRange> path_ranges(std::span<const std::unique_ptr<PathPoint>> points);
std::vector<PathRange> path_ranges(const Layer& layer);
// Number of points that start a path.
std::size_t count_paths(std::span<const std::unique_ptr<PathPoint>> points);

// Adds a copy of `tmpl` (all flags included) to the layer named by its map and layer ids, directly after
// `after` when given (a point of that layer), else at the end. Null when map or layer are missing or
// memory ran out ("Not enough memory to add a new Path Point.").
PathPoint* add_path_point(Project& project, const PathPoint& tmpl, bool keep_id, Platform* platform,
                          const PathPoint* after = nullptr);
PathPoint* insert_path_point(Layer& layer, std::unique_ptr<PathPoint>&& point, int index);
Detached<PathPoint> remove_path_point(Layer& layer, const PathPoint* point, bool free_it);
PathPoint* find_path_point(const Layer& layer, ObjectId uid, int* index = nullptr);
PathPoint* path_point_at(const Layer& layer, long long position);

// Deep copy of a layer's point list and its restoration (false and no change when memory runs out).
std::vector<PathPoint> copy_path_points(const Layer& layer);
bool restore_path_points(Layer& layer, std::span<const PathPoint> points);

}  // namespace zorva
