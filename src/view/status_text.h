// The two status panes under the viewport.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "view/edit_state.h"
#include "view/view_geometry.h"

namespace zorva {

struct Map;
struct Layer;
class ViewNavigator;

// "View: %d, %d" with the camera column and row; "View: 0, 0" without a current map.
std::string view_pane_text(const Map* map);

// What the second pane shows, gathered by the editor (or by cursor_pane_input below).
struct CursorPaneInput {
    EditMode mode = EditMode::Tiles;
    // Width and height in cells of the tile selection, when one exists.
    std::optional<std::pair<std::uint32_t, std::uint32_t>> tile_selection;
    // The cursor over the current layer: its cell and layer pixel position.
    bool over_layer = false;
    CellPosition cell;
    LayerPixel pixel;
    std::int32_t last_column = 0;  // grid_width - 1
    std::int32_t last_row = 0;     // grid_height - 1
    std::uint32_t tile = 0;        // tile index of the cell, 0 outside the grid
    LayerPixel last_pixel;         // the last layer pixel position shown (Entities and Paths)
};

// "Sel: %lu x %lu", "(%d, %d)  %.2f, %.2f", "(%d, %d) / (%d, %d)  T:%lu", "(0, 0)  %.2f, %.2f" or
// "(0, 0) / (0, 0)  T:0", the first case that applies.
std::string cursor_pane_text(const CursorPaneInput& input);

// Fills the cursor part of the input from the navigator's current layer and a cursor in the view
// (nullopt outside it). `last_pixel` is updated while the cursor is over the layer.
CursorPaneInput cursor_pane_input(const ViewNavigator& navigator, std::optional<ViewPoint> cursor,
                                  EditMode mode, LayerPixel& last_pixel);

}  // namespace zorva
