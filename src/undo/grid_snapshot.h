// Compact grid snapshots for the undo records. A GridSnapshot describes one grid (the target) by the
// cells in which it differs from another grid (the base): runs of consecutive cells, counted in the
// target's row-by-row order, that differ from the base's cell at the same column and row or lie outside
// the base. Applying it to the base yields the target exactly and leaves the snapshot describing the
// base, so one snapshot serves undo and redo alternately. A one-cell stroke on a 2000 x 2000 layer keeps
// one run of one cell instead of a 32 MB copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model/grid_cell.h"

namespace zorva {

// A grid as a row-by-row span of width x height cells.
struct GridView {
    std::span<const GridCell> cells;
    std::int32_t width = 0;
    std::int32_t height = 0;

    bool valid() const;  // width, height >= 0 and cells.size() == width * height
};

class GridSnapshot {
public:
    GridSnapshot() = default;

    // `target` described against `base`. Throws std::bad_alloc.
    static GridSnapshot between(GridView target, GridView base);
    // `target` as a whole, valid against any base (used until the base is known). Throws std::bad_alloc.
    static GridSnapshot whole(GridView target);

    // Turns `grid` (width x height, which must be the base this snapshot was made against) into the
    // target; the snapshot then describes the old grid against the new one. A grid of the target's size
    // is changed in place without allocating. False, with nothing changed, when the grid is not the
    // base's size. Throws std::bad_alloc (nothing changed) when a resized grid cannot be allocated.
    bool apply(std::vector<GridCell>& grid, std::int32_t& width, std::int32_t& height);

    // Re-describes a whole snapshot against `base` so that it keeps only the differing cells.
    // Throws std::bad_alloc (the snapshot stays whole).
    void rebase(GridView base);

    bool is_whole() const { return whole_; }
    std::int32_t target_width() const { return target_width_; }
    std::int32_t target_height() const { return target_height_; }
    std::size_t run_count() const { return runs_.size(); }
    std::size_t stored_cells() const { return cells_.size(); }
    // Heap memory held (capacity of both buffers).
    std::size_t memory_bytes() const;

private:
    struct Run {
        std::uint64_t offset = 0;  // first cell, in the target's row-by-row order
        std::uint64_t count = 0;
    };

    // The target grid built from `base` (which must match the base size unless whole).
    std::vector<GridCell> materialise(GridView base) const;
    void append(std::span<const GridCell> target, std::size_t first, std::size_t count);

    std::vector<Run> runs_;
    std::vector<GridCell> cells_;  // the runs' cells, one after another
    std::int32_t target_width_ = 0;
    std::int32_t target_height_ = 0;
    std::int32_t base_width_ = 0;
    std::int32_t base_height_ = 0;
    bool whole_ = false;
};

}  // namespace zorva
