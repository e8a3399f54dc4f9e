// A block of grid cells lifted from a layer or taken from a mosaic: what the clipboard, the floating
// selection and the move source hold for tiles, and the ways of writing it back onto a layer.
#pragma once

#include <cstdint>
#include <vector>

#include "model/grid_cell.h"
#include "model/ids.h"
#include "tools/cell_rect.h"

namespace zorva {

struct Layer;

struct TileBlock {
    ObjectId tile_set_id = kInvalidId;  // the tile set the tile indexes count in
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<GridCell> cells;  // width × height, row by row

    bool empty() const { return width <= 0 || height <= 0 || cells.empty(); }
    const GridCell& at(std::int32_t column, std::int32_t row) const {
        return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(column)];
    }
    // Heap memory held.
    std::size_t memory_bytes() const { return cells.capacity() * sizeof(GridCell); }
    void clear() { *this = TileBlock{}; }
};

// The cells of `rect` of `layer`; cells of the rectangle that lie off the grid are empty. Throws
// std::bad_alloc.
TileBlock copy_cells(const Layer& layer, const CellRect& rect, ObjectId tile_set_id);

// Writes every cell of `block` as it is with its top-left cell at `at`; cells off the grid are skipped.
void put_cells(Layer& layer, const TileBlock& block, CellPosition at);

// The drop rule: a cell with a tile is written whole; an empty cell with an attribute writes only the
// attribute, keeping the tile and flags below; an empty cell without attribute leaves the cell below as it
// is. Cells off the grid are skipped.
void drop_cells(Layer& layer, const TileBlock& block, CellPosition at);

// Sets every cell of `rect` that lies on the grid to `cell`.
void fill_cells(Layer& layer, const CellRect& rect, GridCell cell);

// Sets the attribute of every cell of `rect` that lies on the grid, tiles and flags untouched.
void fill_attributes(Layer& layer, const CellRect& rect, std::uint8_t attribute);

}  // namespace zorva
