// What a redraw leaves behind for the editing tools: counters, the cursor in layer pixels and the screen
// rectangles of the current layer's entities, as plain data with object ids.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "model/ids.h"
#include "view/view_geometry.h"

namespace zorva {

// A rectangle on screen: x, y and its size.
struct ScreenRect {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    // Inclusive of the far edge (x + width, y + height), as the hit test of entities wants it.
    bool contains(ViewPoint p) const { return p.x >= x && p.x <= x + width && p.y >= y && p.y <= y + height; }
};

// One instance entity of the current layer as the last redraw saw it.
struct EntityHit {
    ObjectId entity_id = kInvalidId;
    ScreenRect rect;
    bool under_cursor = false;
    bool selected = false;
};

// Plain results of one redraw, reset at its start.
struct FrameResults {
    int entities_under_cursor = 0;
    int selected_entities_under_cursor = 0;
    int paths_under_cursor = 0;
    int path_points_under_cursor = 0;
    int selected_path_points_under_cursor = 0;
    bool cursor_in_view = false;
    std::optional<LayerPixel> cursor_layer_pixel;       // the cursor in the current layer's pixels
    bool current_locked = false;                        // the current layer or its map is locked
    bool current_hidden = false;                        // the current layer is hidden (or has no grid)
    bool layer_content_drawn = false;                   // the map's tile set image was there to draw with
    ObjectId topmost_entity_under_cursor = kInvalidId;  // the last drawn one
    std::vector<EntityHit> entities;  // the current layer's entities that were drawn, in drawing order
    std::uint64_t tiles_drawn = 0;
    std::uint64_t entities_drawn = 0;

    void reset();
};

}  // namespace zorva
