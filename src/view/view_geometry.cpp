#include "view/view_geometry.h"

#include <algorithm>
#include <cmath>

#include "model/project.h"

namespace zorva {

float zoom_factor(std::uint32_t percent) { return static_cast<float>(clamp_zoom(percent)) * 0.01f; }

TileSet* view_tile_set(const Project& project, const Map* map) {
    return map ? find_tile_set(project, map->use_tile_set_id) : nullptr;
}

TileSizePx view_tile_size(const Project& project, const Map* map) {
    TileSizePx size;
    if (const TileSet* tile_set = view_tile_set(project, map)) {
        if (tile_set->single_tile_pixel_width > 0 && tile_set->single_tile_pixel_height > 0) {
            size.width = tile_set->single_tile_pixel_width;
            size.height = tile_set->single_tile_pixel_height;
        }
    }
    return size;
}

std::int64_t round_half_away(double value) {
    if (!std::isfinite(value)) return 0;
    constexpr double kLimit = 4.0e18;
    value = std::clamp(value, -kLimit, kLimit);
    return static_cast<std::int64_t>(std::round(value));
}

namespace {

std::int64_t truncate(double value) {
    if (!std::isfinite(value)) return 0;
    constexpr double kLimit = 4.0e18;
    return static_cast<std::int64_t>(std::clamp(value, -kLimit, kLimit));
}

}  // namespace

std::int64_t ViewTransform::cell_x(std::int64_t column, std::int32_t grid_offset_x) const {
    const std::int64_t cells = column + grid_offset_x - camera_column;
    return truncate(static_cast<double>(cells * tile_width) * static_cast<double>(z)) - origin_x;
}

std::int64_t ViewTransform::cell_y(std::int64_t row, std::int32_t grid_offset_y) const {
    const std::int64_t cells = row + grid_offset_y - camera_row;
    return truncate(static_cast<double>(cells * tile_height) * static_cast<double>(z)) - origin_y;
}

std::int64_t ViewTransform::point_x(float px, std::int32_t grid_offset_x) const {
    const double zd = z;
    const double layer_left = static_cast<double>((std::int64_t{grid_offset_x} - camera_column) * tile_width);
    return round_half_away(zd * px + zd * layer_left) - origin_x;
}

std::int64_t ViewTransform::point_y(float py, std::int32_t grid_offset_y) const {
    const double zd = z;
    const double layer_top = static_cast<double>((std::int64_t{grid_offset_y} - camera_row) * tile_height);
    return round_half_away(zd * py + zd * layer_top) - origin_y;
}

CameraLimits camera_limits(const Map& map) {
    std::int64_t max_right = 0, max_bottom = 0, min_x = 0, min_y = 0;
    for (const auto& layer : map.layers) {
        max_right = std::max<std::int64_t>(max_right, std::int64_t{layer->grid_width} + layer->grid_offset_x);
        max_bottom =
            std::max<std::int64_t>(max_bottom, std::int64_t{layer->grid_height} + layer->grid_offset_y);
        min_x = std::min<std::int64_t>(min_x, layer->grid_offset_x);
        min_y = std::min<std::int64_t>(min_y, layer->grid_offset_y);
    }
    CameraLimits limits;
    limits.min_column = min_x - 10000;
    limits.max_column = std::max<std::int64_t>(max_right + 9999, 0);
    limits.min_row = min_y - 10000;
    limits.max_row = std::max<std::int64_t>(max_bottom + 9999, 0);
    return limits;
}

bool clamp_camera(Map& map) {
    const CameraLimits limits = camera_limits(map);
    auto clamp32 = [](std::int64_t value, std::int64_t low, std::int64_t high) {
        value = std::clamp(value, low, high);
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
    };
    const std::int32_t column = clamp32(map.camera_grid_position_x, limits.min_column, limits.max_column);
    const std::int32_t row = clamp32(map.camera_grid_position_y, limits.min_row, limits.max_row);
    const bool changed = column != map.camera_grid_position_x || row != map.camera_grid_position_y;
    map.camera_grid_position_x = column;
    map.camera_grid_position_y = row;
    return changed;
}

MapExtent map_extent(const Map& map) {
    MapExtent extent;
    bool first = true;
    for (const auto& layer : map.layers) {
        if (layer->grid_width <= 0 || layer->grid_height <= 0) continue;
        const std::int64_t left = layer->grid_offset_x;
        const std::int64_t top = layer->grid_offset_y;
        const std::int64_t right = left + layer->grid_width;
        const std::int64_t bottom = top + layer->grid_height;
        if (first) {
            extent = {left, top, right, bottom};
            first = false;
        } else {
            extent.left = std::min(extent.left, left);
            extent.top = std::min(extent.top, top);
            extent.right = std::max(extent.right, right);
            extent.bottom = std::max(extent.bottom, bottom);
        }
    }
    return extent;
}

}  // namespace zorva
