#include "tools/tile_block.h"

#include <algorithm>

#include "model/layer.h"

namespace zorva {

namespace {

// Calls `f(cell, column, row)` for every cell of the block at `at` that lies on the grid, row by row.
template <class F>
void each_cell_on_grid(Layer& layer, const TileBlock& block, CellPosition at, F&& f) {
    if (block.empty()) return;
    const std::int64_t gw = layer.grid_width;
    const std::int64_t gh = layer.grid_height;
    if (layer.grid.size() != layer.cell_count()) return;
    const std::int64_t first_i = std::max<std::int64_t>(0, -std::int64_t{at.column});
    const std::int64_t last_i = std::min<std::int64_t>(block.width, gw - at.column);
    const std::int64_t first_j = std::max<std::int64_t>(0, -std::int64_t{at.row});
    const std::int64_t last_j = std::min<std::int64_t>(block.height, gh - at.row);
    for (std::int64_t j = first_j; j < last_j; ++j) {
        GridCell* row = layer.grid.data() + (at.row + j) * gw + at.column;
        const GridCell* from = block.cells.data() + j * block.width;
        for (std::int64_t i = first_i; i < last_i; ++i) f(row[i], from[i]);
    }
}

}  // namespace

TileBlock copy_cells(const Layer& layer, const CellRect& rect, ObjectId tile_set_id) {
    TileBlock block;
    block.tile_set_id = tile_set_id;
    block.width = static_cast<std::int32_t>(rect.width());
    block.height = static_cast<std::int32_t>(rect.height());
    if (block.width <= 0 || block.height <= 0) return TileBlock{};
    block.cells.assign(static_cast<std::size_t>(block.width) * static_cast<std::size_t>(block.height),
                       GridCell{});
    if (layer.grid.size() != layer.cell_count()) return block;
    const std::optional<CellRect> on_grid = clip_to_grid(rect, layer.grid_width, layer.grid_height);
    if (!on_grid) return block;
    for (std::int32_t row = on_grid->top; row <= on_grid->bottom; ++row) {
        const GridCell* source = layer.cell(on_grid->left, row);
        GridCell* target = block.cells.data() +
                           static_cast<std::size_t>(row - rect.top) * static_cast<std::size_t>(block.width) +
                           static_cast<std::size_t>(on_grid->left - rect.left);
        std::copy_n(source, on_grid->width(), target);
    }
    return block;
}

void put_cells(Layer& layer, const TileBlock& block, CellPosition at) {
    each_cell_on_grid(layer, block, at, [](GridCell& cell, const GridCell& from) { cell = from; });
}

void drop_cells(Layer& layer, const TileBlock& block, CellPosition at) {
    each_cell_on_grid(layer, block, at, [](GridCell& cell, const GridCell& from) {
        if (from.tile != 0) {
            cell = from;
        } else if (from.attribute() != 0) {
            cell.set_attribute(from.attribute());
        }
    });
}

void fill_cells(Layer& layer, const CellRect& rect, GridCell value) {
    if (layer.grid.size() != layer.cell_count()) return;
    const std::optional<CellRect> on_grid = clip_to_grid(rect, layer.grid_width, layer.grid_height);
    if (!on_grid) return;
    for (std::int32_t row = on_grid->top; row <= on_grid->bottom; ++row)
        std::fill_n(layer.cell(on_grid->left, row), on_grid->width(), value);
}

void fill_attributes(Layer& layer, const CellRect& rect, std::uint8_t attribute) {
    if (layer.grid.size() != layer.cell_count()) return;
    const std::optional<CellRect> on_grid = clip_to_grid(rect, layer.grid_width, layer.grid_height);
    if (!on_grid) return;
    for (std::int32_t row = on_grid->top; row <= on_grid->bottom; ++row) {
        GridCell* cells = layer.cell(on_grid->left, row);
        for (std::int64_t i = 0; i < on_grid->width(); ++i) cells[i].set_attribute(attribute);
    }
}

}  // namespace zorva
