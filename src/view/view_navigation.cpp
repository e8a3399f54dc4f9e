#include "view/view_navigation.h"

#include <algorithm>
#include <cmath>

#include "model/project.h"
#include "prefs/preferences.h"
#include "view/redraw_pacer.h"

namespace zorva {

namespace {

std::int32_t to_int32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::int64_t truncate(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<std::int64_t>(std::clamp(value, -4.0e18, 4.0e18));
}

bool tile_set_image_loaded(const Project& project, const Map* map) {
    const TileSet* tile_set = view_tile_set(project, map);
    return tile_set && !tile_set->image.empty();
}

// What the cursor is measured against: the selected map and layer, their tile size and the zoom.
// None when there is no layer with cells or its tile set has no image.
struct CursorBasis {
    const Map* map;
    const Layer* layer;
    TileSizePx tile;
    double zoom;
};

std::optional<CursorBasis> cursor_basis(const Project* project, std::uint32_t zoom) {
    if (!project) return std::nullopt;
    const Map* map = project->selected_map();
    const Layer* layer = project->selected_layer();
    if (!map || !layer || layer->grid_width <= 0 || layer->grid_height <= 0) return std::nullopt;
    if (!tile_set_image_loaded(*project, map)) return std::nullopt;
    return CursorBasis{map, layer, view_tile_size(*project, map), zoom_factor(zoom)};
}

}  // namespace

ViewNavigator::ViewNavigator(Project* project, const Preferences* preferences, RedrawPacer* pacer)
    : project_(project), preferences_(preferences), pacer_(pacer) {}

void ViewNavigator::changed() {
    if (pacer_) pacer_->request(false);
}

std::uint32_t ViewNavigator::zoom() const { return project_ ? clamp_zoom(project_->zoom) : 100; }

void ViewNavigator::set_zoom(std::int64_t percent, bool anchor_at_cursor) {
    if (!project_) return;
    Map* map = project_->selected_map();
    std::optional<CellPosition> anchor;
    if (anchor_at_cursor && map && project_->selected_layer() && cursor_) anchor = cell_under(*cursor_);

    const std::uint32_t old_percent = clamp_zoom(project_->zoom);
    const auto new_percent =
        static_cast<std::uint32_t>(std::clamp<std::int64_t>(percent, kMinZoom, kMaxZoom));
    project_->zoom = new_percent;
    if (new_percent != old_percent && map) {
        const TileSizePx tile = view_tile_size(*project_, map);
        const double old_z = zoom_factor(old_percent);
        const double new_z = zoom_factor(new_percent);
        if (anchor && cursor_) {
            const Layer* layer = project_->selected_layer();
            map->camera_grid_position_x = to_int32(std::int64_t{anchor->column} + layer->grid_offset_x -
                                                   truncate(cursor_->x / (tile.width * new_z)));
            map->camera_grid_position_y = to_int32(std::int64_t{anchor->row} + layer->grid_offset_y -
                                                   truncate(cursor_->y / (tile.height * new_z)));
        } else {
            const double half_w = view_size_.width / 2;
            const double half_h = view_size_.height / 2;
            map->camera_grid_position_x =
                to_int32(truncate(half_w / (tile.width * old_z)) + map->camera_grid_position_x -
                         truncate(half_w / (tile.width * new_z)));
            map->camera_grid_position_y =
                to_int32(truncate(half_h / (tile.height * old_z)) + map->camera_grid_position_y -
                         truncate(half_h / (tile.height * new_z)));
        }
    }
    if (new_percent != old_percent && preferences_ && preferences_->flag(FlagC::ZoomChangePromptsSave))
        project_->modified = true;
    changed();
}

std::int32_t ViewNavigator::page_columns() const {
    const Map* map = project_ ? project_->selected_map() : nullptr;
    if (!map || !view_tile_set(*project_, map)) return 8;
    const TileSizePx tile = view_tile_size(*project_, map);
    const double z = zoom_factor(zoom());
    return to_int32(std::max<std::int64_t>(truncate(view_size_.width / 3.0 / (tile.width * z)), 2));
}

std::int32_t ViewNavigator::page_rows() const {
    const Map* map = project_ ? project_->selected_map() : nullptr;
    if (!map || !view_tile_set(*project_, map)) return 8;
    const TileSizePx tile = view_tile_size(*project_, map);
    const double z = zoom_factor(zoom());
    return to_int32(std::max<std::int64_t>(truncate(view_size_.height / 3.0 / (tile.height * z)), 2));
}

void ViewNavigator::step(ViewStep direction, bool page) {
    Map* map = project_ ? project_->selected_map() : nullptr;
    if (!map) return;
    const bool inverted = preferences_ && preferences_->flag(FlagA::InvertCursorKeys);
    const bool horizontal = direction == ViewStep::Left || direction == ViewStep::Right;
    std::int64_t amount = page ? (horizontal ? page_columns() : page_rows()) : 1;
    // Without inversion Left and Up raise the camera (the map moves left/up under a fixed view).
    if (direction == ViewStep::Right || direction == ViewStep::Down) amount = -amount;
    if (inverted) amount = -amount;
    if (horizontal)
        map->camera_grid_position_x = to_int32(map->camera_grid_position_x + amount);
    else
        map->camera_grid_position_y = to_int32(map->camera_grid_position_y + amount);
    changed();
}

void ViewNavigator::move_to_origin() {
    if (Map* map = project_ ? project_->selected_map() : nullptr) {
        map->camera_grid_position_x = 0;
        map->camera_grid_position_y = 0;
    }
    changed();
}

void ViewNavigator::move_to_current_layer() {
    Map* map = project_ ? project_->selected_map() : nullptr;
    const Layer* layer = project_ ? project_->selected_layer() : nullptr;
    if (map && layer) {
        map->camera_grid_position_x = layer->grid_offset_x;
        map->camera_grid_position_y = layer->grid_offset_y;
    }
    changed();
}

std::optional<CellPosition> ViewNavigator::cell_under(ViewPoint point) const {
    const std::optional<CursorBasis> basis = cursor_basis(project_, zoom());
    if (!basis) return std::nullopt;
    const auto& [map, layer, tile, z] = *basis;
    CellPosition cell;
    cell.column =
        to_int32(truncate(point.x / (z * tile.width)) + map->camera_grid_position_x - layer->grid_offset_x);
    cell.row =
        to_int32(truncate(point.y / (z * tile.height)) + map->camera_grid_position_y - layer->grid_offset_y);
    return cell;
}

std::optional<LayerPixel> ViewNavigator::layer_pixel_under(ViewPoint point) const {
    const std::optional<CursorBasis> basis = cursor_basis(project_, zoom());
    if (!basis) return std::nullopt;
    const auto& [map, layer, tile, z] = *basis;
    const double left =
        static_cast<double>(std::int64_t{layer->grid_offset_x} - map->camera_grid_position_x) * tile.width *
        z;
    const double top = static_cast<double>(std::int64_t{layer->grid_offset_y} - map->camera_grid_position_y) *
                       tile.height * z;
    return LayerPixel{static_cast<float>((point.x - left) / z), static_cast<float>((point.y - top) / z)};
}

int ViewNavigator::wheel(int delta, std::int64_t now_ms,
                         const std::function<bool(int direction)>& notch_handler) {
    if (!preferences_ || !preferences_->flag(FlagA::EnableMouseWheelZoom)) return 0;
    if (!has_wheeled_ || now_ms - last_wheel_ms_ > kWheelPauseMs) wheel_sum_ = 0;
    has_wheeled_ = true;
    last_wheel_ms_ = now_ms;
    wheel_sum_ = static_cast<std::int16_t>(std::clamp<int>(wheel_sum_ + delta, INT16_MIN, INT16_MAX));
    int direction = 0;
    if (wheel_sum_ >= kWheelNotch) {
        wheel_sum_ = static_cast<std::int16_t>(wheel_sum_ - kWheelNotch);
        direction = 1;
    } else if (wheel_sum_ <= -kWheelNotch) {
        wheel_sum_ = static_cast<std::int16_t>(wheel_sum_ + kWheelNotch);
        direction = -1;
    }
    if (direction != 0 && !(notch_handler && notch_handler(direction))) {
        if (direction > 0)
            zoom_in(true);
        else
            zoom_out(true);
    }
    return direction;
}

}  // namespace zorva
