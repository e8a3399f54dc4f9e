#include "tools/tile_brush.h"

#include "model/map.h"
#include "model/tile_set.h"

namespace zorva {

namespace {

std::int64_t wrap(std::int64_t value, std::int64_t size) {
    const std::int64_t r = value % size;
    return r < 0 ? r + size : r;
}

}  // namespace

GridCell brush_cell(const Map& map) {
    GridCell cell;
    cell.tile = map.selected_tile_index;
    if (cell.tile != 0)
        cell.flags = make_cell_flags(map.place_tile_horizontal_flip, map.place_tile_vertical_flip,
                                     map.place_tile_rotate, map.place_tile_attribute);
    else
        cell.flags = make_cell_flags(false, false, false, map.place_tile_attribute);
    return cell;
}

std::uint32_t extra_placement_tile(std::uint32_t brush_tile, const TileCount& tiles, std::int64_t dx,
                                   std::int64_t dy) {
    if (brush_tile == 0 || tiles.across == 0 || tiles.down == 0) return 0;
    const std::int64_t across = tiles.across;
    const std::int64_t down = tiles.down;
    const std::int64_t bx = (std::int64_t{brush_tile} - 1) % across;
    const std::int64_t by = (std::int64_t{brush_tile} - 1) / across;
    const std::int64_t tx = wrap(bx + dx, across);
    const std::int64_t ty = wrap(by + dy, down);
    return static_cast<std::uint32_t>(tx + ty * across + 1);
}

GridCell extra_placement_cell(const Map& map, const TileCount& tiles, std::int64_t dx, std::int64_t dy) {
    GridCell cell;
    cell.tile = extra_placement_tile(map.selected_tile_index, tiles, dx, dy);
    cell.flags = make_cell_flags(map.place_tile_horizontal_flip, map.place_tile_vertical_flip,
                                 map.place_tile_rotate, map.place_tile_attribute);
    return cell;
}

void pick_into_brush(Map& map, const GridCell& cell) {
    map.selected_tile_index = cell.tile;
    map.place_tile_horizontal_flip = cell.flip_horizontal();
    map.place_tile_vertical_flip = cell.flip_vertical();
    map.place_tile_rotate = cell.rotate();
    map.place_tile_attribute = cell.attribute();
}

void toggle_brush_flag(Map& map, BrushFlag flag) {
    switch (flag) {
        case BrushFlag::FlipHorizontal:
            map.place_tile_horizontal_flip = !map.place_tile_horizontal_flip;
            break;
        case BrushFlag::FlipVertical:
            map.place_tile_vertical_flip = !map.place_tile_vertical_flip;
            break;
        case BrushFlag::Rotate:
            map.place_tile_rotate = !map.place_tile_rotate;
            break;
    }
}

}  // namespace zorva
