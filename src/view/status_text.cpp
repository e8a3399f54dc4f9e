#include "view/status_text.h"

#include <cstdio>

#include "model/project.h"
#include "view/view_navigation.h"

namespace zorva {

std::string view_pane_text(const Map* map) {
    if (!map) return "View: 0, 0";
    char text[64];
    std::snprintf(text, sizeof text, "View: %d, %d", map->camera_grid_position_x,
                  map->camera_grid_position_y);
    return text;
}

std::string cursor_pane_text(const CursorPaneInput& input) {
    char text[160];
    const bool pixels = input.mode == EditMode::Entities || input.mode == EditMode::Paths;
    if (input.tile_selection) {
        std::snprintf(text, sizeof text, "Sel: %lu x %lu",
                      static_cast<unsigned long>(input.tile_selection->first),
                      static_cast<unsigned long>(input.tile_selection->second));
    } else if (input.over_layer && pixels) {
        std::snprintf(text, sizeof text, "(%d, %d)  %.2f, %.2f", input.cell.column, input.cell.row,
                      static_cast<double>(input.pixel.x), static_cast<double>(input.pixel.y));
    } else if (input.over_layer) {
        std::snprintf(text, sizeof text, "(%d, %d) / (%d, %d)  T:%lu", input.cell.column, input.cell.row,
                      input.last_column, input.last_row, static_cast<unsigned long>(input.tile));
    } else if (pixels) {
        std::snprintf(text, sizeof text, "(0, 0)  %.2f, %.2f", static_cast<double>(input.last_pixel.x),
                      static_cast<double>(input.last_pixel.y));
    } else {
        return "(0, 0) / (0, 0)  T:0";
    }
    return text;
}

CursorPaneInput cursor_pane_input(const ViewNavigator& navigator, std::optional<ViewPoint> cursor,
                                  EditMode mode, LayerPixel& last_pixel) {
    CursorPaneInput input;
    input.mode = mode;
    const Project* project = navigator.project();
    const Layer* layer = project ? project->selected_layer() : nullptr;
    if (cursor && layer) {
        const auto cell = navigator.cell_under(*cursor);
        const auto pixel = navigator.layer_pixel_under(*cursor);
        if (cell && pixel) {
            input.over_layer = true;
            input.cell = *cell;
            input.pixel = *pixel;
            input.last_column = layer->grid_width - 1;
            input.last_row = layer->grid_height - 1;
            const GridCell* grid_cell = layer->cell(cell->column, cell->row);
            input.tile = grid_cell ? grid_cell->tile : 0;
            last_pixel = *pixel;
        }
    }
    input.last_pixel = last_pixel;
    return input;
}

}  // namespace zorva
