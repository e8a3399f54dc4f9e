// The TileBrush kept on the map (selected tile, flips, rotation, attribute): what Placement, Extra
// Placement and Fill Tiles write, what a right click picks up, what F2, F3 and F4 toggle. None of it is
// recorded in the undo history.
#pragma once

#include <cstdint>

#include "model/grid_cell.h"

namespace zorva {

struct Map;
struct TileCount;

// The cell Placement writes: the brush tile, the brush flags when the tile is not 0 (else no flags), and
// the brush attribute in every case.
GridCell brush_cell(const Map& map);

// The cell Extra Placement writes `dx`, `dy` cells away from where the band was pressed: the tile that far
// from the brush tile in the tile set's grid of tiles (wrapping around its tiles across and down), with the
// brush's flags and attribute. Tile 0 with brush tile 0. `tiles.across` and `tiles.down` must be above 0.
std::uint32_t extra_placement_tile(std::uint32_t brush_tile, const TileCount& tiles, std::int64_t dx,
                                   std::int64_t dy);
GridCell extra_placement_cell(const Map& map, const TileCount& tiles, std::int64_t dx, std::int64_t dy);

// A right click: the brush takes the cell's tile, its three flags and its attribute.
void pick_into_brush(Map& map, const GridCell& cell);

enum class BrushFlag { FlipHorizontal, FlipVertical, Rotate };
void toggle_brush_flag(Map& map, BrushFlag flag);

}  // namespace zorva
