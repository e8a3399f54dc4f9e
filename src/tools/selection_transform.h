// The flips and rotations of the Transform menu as they act on cells and orientation flags: the
// quarter-turn table shared by cells and entities, the individual forms on every cell of a rectangle, the
// mirrored group flips and the clockwise quarter turn of a block of cells.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "tools/cell_rect.h"

namespace zorva {

struct Layer;

// The eight commands, each with a group form (the selection as one block) and an individual form (every
// selected object about itself).
enum class Transform {
    FlipHorizontal,            // F5
    FlipVertical,              // F6
    Rotate,                    // F7
    Scale,                     // F8
    IndividualFlipHorizontal,  // F9
    IndividualFlipVertical,    // F10
    IndividualRotate,          // F11
    IndividualScale,           // F12
};

inline bool is_individual(Transform t) {
    return t == Transform::IndividualFlipHorizontal || t == Transform::IndividualFlipVertical ||
           t == Transform::IndividualRotate || t == Transform::IndividualScale;
}
inline bool is_flip(Transform t) {
    return t == Transform::FlipHorizontal || t == Transform::FlipVertical ||
           t == Transform::IndividualFlipHorizontal || t == Transform::IndividualFlipVertical;
}
inline bool is_rotation(Transform t) { return t == Transform::Rotate || t == Transform::IndividualRotate; }
inline bool is_scale(Transform t) { return t == Transform::Scale || t == Transform::IndividualScale; }

// A clockwise quarter turn of an orientation (horizontal flip, vertical flip, rotate). The eight
// combinations form two cycles of four.
void quarter_turn(bool& flip_horizontal, bool& flip_vertical, bool& rotate);
// The same on a cell's flag word; the attribute is kept.
std::uint32_t quarter_turn_cell_flags(std::uint32_t flags);

// Every cell of `rect` (inside the layer's grid), empty cells included, toggles its horizontal flip
// (IndividualFlipHorizontal), its vertical flip (IndividualFlipVertical) or takes a quarter turn
// (IndividualRotate). Positions do not change.
void transform_cells_individually(Layer& layer, const CellRect& rect, Transform transform);
// The cells of `rect` mirrored about its vertical centre line (horizontal) or horizontal centre line
// (vertical), each cell's flip toggled exactly once.
void flip_cell_block(Layer& layer, const CellRect& rect, bool horizontal);

enum class BlockRotation { Done, OutOfMemory };
// A clockwise quarter turn of the block `rect` (inside the layer's grid, w x h cells): the rectangle is
// emptied, then the new block, h wide and w tall with the same top-left corner, gets at its column i, row
// j the old block's cell at column j, row h - 1 - i with its flags turned a quarter. Cells that land
// outside the layer are dropped. When memory for the copy cannot be had the layer is unchanged.
// `allocation_probe` (tests) is called with the number of cells before they are copied and may throw
// std::bad_alloc.
BlockRotation rotate_cell_block(Layer& layer, const CellRect& rect,
                                const std::function<void(std::size_t)>& allocation_probe = {});

}  // namespace zorva
