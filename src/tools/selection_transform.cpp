#include "tools/selection_transform.h"

#include <new>
#include <utility>
#include <vector>

#include "model/grid_cell.h"
#include "model/layer.h"

namespace zorva {

void quarter_turn(bool& flip_horizontal, bool& flip_vertical, bool& rotate) {
    // (H, V, R): 000 -> 001 -> 110 -> 111 -> 000 and 100 -> 011 -> 010 -> 101 -> 100.
    const bool h = flip_horizontal, v = flip_vertical, r = rotate;
    if (h == v) {
        rotate = !r;
        if (r) flip_horizontal = flip_vertical = !h;
    } else {
        rotate = !r;
        if (!r) {
            flip_horizontal = !h;
            flip_vertical = !v;
        }
    }
}

std::uint32_t quarter_turn_cell_flags(std::uint32_t flags) {
    GridCell cell{0, flags};
    bool h = cell.flip_horizontal(), v = cell.flip_vertical(), r = cell.rotate();
    quarter_turn(h, v, r);
    cell.set_flip_horizontal(h);
    cell.set_flip_vertical(v);
    cell.set_rotate(r);
    return cell.flags;
}

void transform_cells_individually(Layer& layer, const CellRect& rect, Transform transform) {
    for (std::int32_t row = rect.top; row <= rect.bottom; ++row) {
        for (std::int32_t column = rect.left; column <= rect.right; ++column) {
            GridCell* cell = layer.cell(column, row);
            if (!cell) continue;
            switch (transform) {
                case Transform::IndividualFlipHorizontal:
                    cell->flags ^= kCellFlipHorizontal;
                    break;
                case Transform::IndividualFlipVertical:
                    cell->flags ^= kCellFlipVertical;
                    break;
                case Transform::IndividualRotate:
                    cell->flags = quarter_turn_cell_flags(cell->flags);
                    break;
                default:
                    break;
            }
        }
    }
}

void flip_cell_block(Layer& layer, const CellRect& rect, bool horizontal) {
    const std::uint32_t flag = horizontal ? kCellFlipHorizontal : kCellFlipVertical;
    if (horizontal) {
        for (std::int32_t row = rect.top; row <= rect.bottom; ++row) {
            for (std::int32_t a = rect.left, b = rect.right; a <= b; ++a, --b) {
                GridCell* first = layer.cell(a, row);
                GridCell* second = layer.cell(b, row);
                if (!first || !second) continue;
                if (a != b) std::swap(*first, *second);
                first->flags ^= flag;
                if (a != b) second->flags ^= flag;
            }
        }
    } else {
        for (std::int32_t column = rect.left; column <= rect.right; ++column) {
            for (std::int32_t a = rect.top, b = rect.bottom; a <= b; ++a, --b) {
                GridCell* first = layer.cell(column, a);
                GridCell* second = layer.cell(column, b);
                if (!first || !second) continue;
                if (a != b) std::swap(*first, *second);
                first->flags ^= flag;
                if (a != b) second->flags ^= flag;
            }
        }
    }
}

BlockRotation rotate_cell_block(Layer& layer, const CellRect& rect,
                                const std::function<void(std::size_t)>& allocation_probe) {
    const std::int64_t w = rect.width();
    const std::int64_t h = rect.height();
    std::vector<GridCell> block;
    try {
        if (allocation_probe) allocation_probe(static_cast<std::size_t>(w * h));
        block.resize(static_cast<std::size_t>(w * h));
    } catch (const std::bad_alloc&) {
        return BlockRotation::OutOfMemory;
    } catch (const std::length_error&) {
        return BlockRotation::OutOfMemory;
    }
    for (std::int64_t j = 0; j < h; ++j) {
        for (std::int64_t i = 0; i < w; ++i) {
            GridCell* cell =
                layer.cell(static_cast<std::int32_t>(rect.left + i), static_cast<std::int32_t>(rect.top + j));
            if (cell) {
                block[static_cast<std::size_t>(j * w + i)] = *cell;
                *cell = GridCell{};
            }
        }
    }
    // The new block is h wide and w tall.
    for (std::int64_t j = 0; j < w; ++j) {
        for (std::int64_t i = 0; i < h; ++i) {
            const std::int64_t column = std::int64_t{rect.left} + i;
            const std::int64_t row = std::int64_t{rect.top} + j;
            if (column >= layer.grid_width || row >= layer.grid_height) continue;
            GridCell* target = layer.cell(static_cast<std::int32_t>(column), static_cast<std::int32_t>(row));
            if (!target) continue;
            GridCell source = block[static_cast<std::size_t>((h - 1 - i) * w + j)];
            source.flags = quarter_turn_cell_flags(source.flags);
            *target = source;
        }
    }
    return BlockRotation::Done;
}

}  // namespace zorva
