#include "model/path.h"

#include <new>

#include "model/layer.h"
#include "model/project.h"

namespace zorva {

std::vector<PathRange> path_ranges(std::span<const std::unique_ptr<PathPoint>> points) {
    std::vector<PathRange> ranges;
    const std::size_t n = points.size();
    std::size_t i = 0;
    while (i < n) {
        if (!points[i]->starts_path()) {
            ++i;
            continue;
        }
        PathRange range{i, i};
        std::size_t j = i;
        for (;;) {
            if (points[j]->ends_path()) break;
            if (j + 1 >= n || points[j + 1]->starts_path()) break;
            ++j;
        }
        range.last = j;
        ranges.push_back(range);
        i = j + 1;
    }
    return ranges;
}

std::vector<PathRange> path_ranges(const Layer& layer) { return path_ranges(layer.path_points); }

std::size_t count_paths(std::span<const std::unique_ptr<PathPoint>> points) {
    std::size_t count = 0;
    for (const auto& point : points)
        if (point->starts_path()) ++count;
    return count;
}

PathPoint* add_path_point(Project& project, const PathPoint& tmpl, bool keep_id, Platform* platform,
                          const PathPoint* after) {
    Layer* layer = find_layer(project, tmpl.map_id, tmpl.layer_id);
    if (!layer) return nullptr;
    int position = static_cast<int>(layer->path_points.size());
    if (after) {
        const int index = index_of(layer->path_points, after);
        if (index >= 0) position = index + 1;
    }
    std::unique_ptr<PathPoint> point;
    ObjectId id = kInvalidId;
    bool overflow = project.did_path_point_id_overflow;
    try {
        point = std::make_unique<PathPoint>(tmpl);
        reserve_one_more(layer->path_points);
        id = allocate_id(keep_id, tmpl.uid, project.next_path_point_id, overflow, layer->path_points);
    } catch (const std::bad_alloc&) {
        report_out_of_memory(platform, "Not enough memory to add a new Path Point.");
        return nullptr;
    }
    project.did_path_point_id_overflow = overflow;
    advance_id_counter(id, project.next_path_point_id, project.did_path_point_id_overflow);
    point->uid = id;
    PathPoint* raw = point.get();
    layer->path_points.insert(layer->path_points.begin() + position, std::move(point));
    return raw;
}

PathPoint* insert_path_point(Layer& layer, std::unique_ptr<PathPoint>&& point, int index) {
    return insert_at(layer.path_points, std::move(point), index);
}

Detached<PathPoint> remove_path_point(Layer& layer, const PathPoint* point, bool free_it) {
    return detach(layer.path_points, point, free_it);
}

PathPoint* find_path_point(const Layer& layer, ObjectId uid, int* index) {
    return find_by_id(layer.path_points, uid, index);
}

PathPoint* path_point_at(const Layer& layer, long long position) {
    return find_at(layer.path_points, position);
}

std::vector<PathPoint> copy_path_points(const Layer& layer) { return copy_values(layer.path_points); }

bool restore_path_points(Layer& layer, std::span<const PathPoint> points) {
    return replace_with_values(layer.path_points, points);
}

}  // namespace zorva
