// The Tiles window's logic without the window: the grid of the map's tile set shown from the map's
// top-left tile at the map's tile display size with a 2-pixel gap, the tile under a click, the brush moved
// with Ctrl and the arrows, scrolling, the display size and the title. The state lives on the map.
#pragma once

#include <cstdint>
#include <string>

namespace zorva {

struct Map;
struct TileCount;

inline constexpr int kTileGap = 2;  // pixels between two tiles of the grid

// The display size (8 ... 128) of the map's tiles.
int tile_view_size(const Map& map);
// Sets it clamped into 8 ... 128; true when it changed.
bool set_tile_view_size(Map& map, long long size);

// The 0-based column and row of the grid's top-left tile (index clamped into the tile set).
struct GridSpot {
    std::int64_t column = 0;
    std::int64_t row = 0;
};
GridSpot top_left_spot(const Map& map, const TileCount& tiles);
// Makes the tile at 0-based (column, row), each clamped into the tile set, the top-left one.
void set_top_left(Map& map, const TileCount& tiles, std::int64_t column, std::int64_t row);

// Columns and rows the grid shows (partly) and those it shows wholly in `pixels` (at least 1).
int shown_cells(int pixels, int view_size);
int whole_cells(int pixels, int view_size);

// The tile a click at (x, y) from the grid's top-left corner selects: the column and row are limited to
// the tile set; beyond the number of tiles it is the last tile, beyond its row's end the row's last tile,
// and never 0. 0 when the tile set has no tiles.
std::uint32_t tile_at(const Map& map, const TileCount& tiles, int x, int y);
// A click: the brush takes the tile; its flips, rotation and attribute go back to 0.
void choose_tile(Map& map, std::uint32_t tile);

enum class BrushStep { Left, Right, Up, Down };
// Ctrl+arrows: the neighbouring tile (wrapping within the row for Left and Right, around the tile set for
// Up and Down; no brush tile gives tile 1), then the grid scrolls it into view in a grid of the given
// whole columns and rows. False when the tile set has no tiles.
bool step_brush(Map& map, const TileCount& tiles, BrushStep step, int visible_columns, int visible_rows);
// Scrolls the grid so the brush tile is visible: a column or row left of or above the shown part becomes
// the first, one right of or below it the last wholly shown.
void scroll_brush_into_view(Map& map, const TileCount& tiles, int visible_columns, int visible_rows);

// "Tiles  (%lu / %lu)": the brush tile (0 for none) and the number of tiles.
std::string tiles_title(const Map* map, const TileCount& tiles);

}  // namespace zorva
