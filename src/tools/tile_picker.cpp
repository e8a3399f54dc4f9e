#include "tools/tile_picker.h"

#include <algorithm>
#include <cstdio>

#include "model/map.h"
#include "model/tile_set.h"

namespace zorva {

int tile_view_size(const Map& map) {
    return clamp_tile_display_size(map.pixel_size_of_tiles_in_tiles_dialog);
}

bool set_tile_view_size(Map& map, long long size) {
    const auto clamped =
        static_cast<std::int32_t>(std::clamp<long long>(size, kMinTileDisplaySize, kMaxTileDisplaySize));
    if (clamped == map.pixel_size_of_tiles_in_tiles_dialog) return false;
    map.pixel_size_of_tiles_in_tiles_dialog = clamped;
    return true;
}

GridSpot top_left_spot(const Map& map, const TileCount& tiles) {
    if (tiles.count == 0 || tiles.across == 0) return {};
    const std::int64_t index =
        std::clamp<std::int64_t>(map.top_left_tile_index_in_tiles_dialog, 1, std::int64_t{tiles.count});
    return {(index - 1) % tiles.across, (index - 1) / tiles.across};
}

void set_top_left(Map& map, const TileCount& tiles, std::int64_t column, std::int64_t row) {
    if (tiles.count == 0 || tiles.across == 0 || tiles.down == 0) return;
    column = std::clamp<std::int64_t>(column, 0, std::int64_t{tiles.across} - 1);
    row = std::clamp<std::int64_t>(row, 0, std::int64_t{tiles.down} - 1);
    map.top_left_tile_index_in_tiles_dialog = static_cast<std::uint32_t>(row * tiles.across + column + 1);
}

int shown_cells(int pixels, int view_size) {
    const int cell = view_size + kTileGap;
    return std::max(1, (std::max(pixels, 0) + cell - 1) / cell);
}

int whole_cells(int pixels, int view_size) {
    return std::max(1, std::max(pixels, 0) / (view_size + kTileGap));
}

std::uint32_t tile_at(const Map& map, const TileCount& tiles, int x, int y) {
    if (tiles.count == 0 || tiles.across == 0 || tiles.down == 0) return 0;
    const int cell = tile_view_size(map) + kTileGap;
    const std::int64_t across = tiles.across;
    const std::int64_t column = std::clamp<std::int64_t>(std::max(x, 0) / cell, 0, across - 1);
    const std::int64_t row = std::clamp<std::int64_t>(std::max(y, 0) / cell, 0, std::int64_t{tiles.down} - 1);
    const GridSpot top_left = top_left_spot(map, tiles);
    const std::int64_t clicked_row = top_left.row + row;
    std::int64_t index = top_left.row * across + top_left.column + 1 + column + row * across;
    const std::int64_t row_end = (clicked_row + 1) * across;
    if (index > row_end) index = row_end;
    if (index > std::int64_t{tiles.count}) index = tiles.count;
    return static_cast<std::uint32_t>(std::max<std::int64_t>(index, 1));
}

void choose_tile(Map& map, std::uint32_t tile) {
    map.selected_tile_index = tile;
    map.place_tile_horizontal_flip = false;
    map.place_tile_vertical_flip = false;
    map.place_tile_rotate = false;
    map.place_tile_attribute = 0;
}

bool step_brush(Map& map, const TileCount& tiles, BrushStep step, int visible_columns, int visible_rows) {
    if (tiles.count == 0 || tiles.across == 0) return false;
    const std::int64_t a = tiles.across;
    const std::int64_t n = tiles.count;
    std::int64_t t = map.selected_tile_index;
    if (t == 0 || t > n) {
        t = 1;
    } else {
        const std::int64_t row_first = ((t - 1) / a) * a + 1;
        const std::int64_t row_last = std::min(row_first + a - 1, n);
        switch (step) {
            case BrushStep::Right:
                t = t + 1 > row_last ? row_first : t + 1;
                break;
            case BrushStep::Left:
                t = t - 1 < row_first ? row_last : t - 1;
                break;
            case BrushStep::Down:
                t = t + a > n ? t + a - n : t + a;
                break;
            case BrushStep::Up:
                t = t - a <= 0 ? t + n - a : t - a;
                break;
        }
        t = std::clamp<std::int64_t>(t, 1, n);
    }
    map.selected_tile_index = static_cast<std::uint32_t>(t);
    scroll_brush_into_view(map, tiles, visible_columns, visible_rows);
    return true;
}

void scroll_brush_into_view(Map& map, const TileCount& tiles, int visible_columns, int visible_rows) {
    if (tiles.count == 0 || tiles.across == 0 || map.selected_tile_index == 0) return;
    const std::int64_t index = std::min<std::int64_t>(map.selected_tile_index, tiles.count) - 1;
    const std::int64_t column = index % tiles.across;
    const std::int64_t row = index / tiles.across;
    GridSpot first = top_left_spot(map, tiles);
    const std::int64_t columns = std::max(visible_columns, 1);
    const std::int64_t rows = std::max(visible_rows, 1);
    if (column < first.column)
        first.column = column;
    else if (column >= first.column + columns)
        first.column = column - columns + 1;
    if (row < first.row)
        first.row = row;
    else if (row >= first.row + rows)
        first.row = row - rows + 1;
    set_top_left(map, tiles, first.column, first.row);
}

std::string tiles_title(const Map* map, const TileCount& tiles) {
    char text[64];
    std::snprintf(text, sizeof text, "Tiles  (%lu / %lu)",
                  static_cast<unsigned long>(map ? map->selected_tile_index : 0),
                  static_cast<unsigned long>(tiles.count));
    return text;
}

}  // namespace zorva
