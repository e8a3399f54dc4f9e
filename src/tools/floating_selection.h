// The floating selection, one for the whole application: content that follows the cursor until it is
// dropped or cancelled. It comes from a paste, a mosaic, a float (Cut+Paste) or the start of a move.
#pragma once

#include <cstdint>
#include <vector>

#include "model/entity.h"
#include "model/path.h"
#include "tools/tile_block.h"
#include "view/view_geometry.h"

namespace zorva {

enum class FloatKind { None, Tiles, Entities, Paths };

// An offset in cells (tiles) or pixels (entities and paths).
struct FloatOffset {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const FloatOffset&, const FloatOffset&) = default;
};

struct FloatingSelection {
    FloatKind kind = FloatKind::None;
    // Tiles: the cells with their tile set's id.
    TileBlock tiles;
    // Entities and paths: the floating objects and the bounding box of the selected ones in layer pixels
    // (width and height in whole pixels, right - left + 1).
    std::vector<InstanceEntity> entities;
    std::vector<PathPoint> path_points;
    float box_left = 0.0f;
    float box_top = 0.0f;
    std::int32_t box_width = 0;
    std::int32_t box_height = 0;

    FloatOffset grab_offset;  // added to the cursor's cell to give the drop position (tiles)
    // Entities and paths: the box's top-left minus the cursor's layer pixel when the move began.
    double pixel_grab_x = 0.0;
    double pixel_grab_y = 0.0;
    CellPosition origin;          // where floating tiles came from
    FloatOffset keyboard_offset;  // the nudges of a keyboard move
    bool from_layer = false;      // lifted by the Move tool (a move, not a paste)
    bool keep_source = false;     // the move copies (Z was held when it started)
    bool keyboard = false;        // driven by the numeric keypad
    bool from_mosaic = false;
    bool from_paste = false;  // from the clipboard or a mosaic
    ViewPoint start_cursor;   // the cursor when the float began
    // The press that showed it came from the Mosaics window: the release that follows is ignored once.
    bool ignore_release_once = false;

    bool active() const { return kind != FloatKind::None; }
    void clear() { *this = FloatingSelection{}; }
};

}  // namespace zorva
