#include "tools/editing_context.h"

#include "model/project.h"
#include "view/view_navigation.h"

namespace zorva {

Map* EditingContext::map() const { return project ? project->selected_map() : nullptr; }

Layer* EditingContext::layer() const { return project ? project->selected_layer() : nullptr; }

TileSet* EditingContext::tile_set() const { return project ? view_tile_set(*project, map()) : nullptr; }

Layer* EditingContext::tile_layer() const {
    Layer* current = layer();
    if (!current || !tile_set()) return nullptr;
    if (current->grid_width <= 0 || current->grid_height <= 0 ||
        current->grid.size() != current->cell_count())
        return nullptr;
    return current;
}

ViewSize EditingContext::view_size() const { return navigator ? navigator->view_size() : ViewSize{}; }

bool EditingContext::in_view(ViewPoint point) const {
    if (!navigator) return true;
    const ViewSize size = navigator->view_size();
    return point.x >= 0 && point.y >= 0 && point.x < size.width && point.y < size.height;
}

std::optional<CellPosition> EditingContext::cell_at(ViewPoint point) const {
    return navigator ? navigator->cell_under(point) : std::nullopt;
}

std::optional<LayerPixel> EditingContext::pixel_at(ViewPoint point) const {
    return navigator ? navigator->layer_pixel_under(point) : std::nullopt;
}

std::optional<ViewTransform> EditingContext::view_transform() const {
    const Map* current = map();
    if (!project || !current) return std::nullopt;
    ViewTransform t;
    t.z = zoom_factor(project->zoom);
    const TileSizePx tile = view_tile_size(*project, current);
    t.tile_width = tile.width;
    t.tile_height = tile.height;
    t.camera_column = current->camera_grid_position_x;
    t.camera_row = current->camera_grid_position_y;
    return t;
}

}  // namespace zorva
