#include "undo/grid_snapshot.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace zorva {

namespace {

// Two differing cells this close together share one run: a run header costs two cells.
constexpr std::size_t kMergeGap = 2;
// Equal stretches are skipped a block at a time.
constexpr std::size_t kCompareBlock = 512;

std::size_t cell_count(std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0) return 0;
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

bool same_cells(const GridCell* a, const GridCell* b, std::size_t count) {
    return std::memcmp(a, b, count * sizeof(GridCell)) == 0;
}

}  // namespace

bool GridView::valid() const {
    return width >= 0 && height >= 0 && cells.size() == cell_count(width, height);
}

void GridSnapshot::append(std::span<const GridCell> target, std::size_t first, std::size_t count) {
    if (!runs_.empty()) {
        Run& last = runs_.back();
        const std::size_t end = static_cast<std::size_t>(last.offset + last.count);
        if (first >= end && first - end <= kMergeGap) {
            cells_.insert(cells_.end(), target.begin() + static_cast<std::ptrdiff_t>(end),
                          target.begin() + static_cast<std::ptrdiff_t>(first + count));
            last.count = first + count - last.offset;
            return;
        }
    }
    runs_.push_back({first, count});
    cells_.insert(cells_.end(), target.begin() + static_cast<std::ptrdiff_t>(first),
                  target.begin() + static_cast<std::ptrdiff_t>(first + count));
}

GridSnapshot GridSnapshot::between(GridView target, GridView base) {
    GridSnapshot snapshot;
    snapshot.target_width_ = target.width;
    snapshot.target_height_ = target.height;
    snapshot.base_width_ = base.width;
    snapshot.base_height_ = base.height;
    const GridCell* t = target.cells.data();
    const GridCell* b = base.cells.data();

    if (target.width == base.width && target.height == base.height) {
        const std::size_t total = target.cells.size();
        std::size_t i = 0;
        while (i < total) {
            const std::size_t block = std::min(kCompareBlock, total - i);
            if (same_cells(t + i, b + i, block)) {
                i += block;
                continue;
            }
            const std::size_t block_end = i + block;
            while (i < block_end) {
                if (t[i] == b[i]) {
                    ++i;
                    continue;
                }
                std::size_t end = i + 1;
                while (end < total && !(t[end] == b[end])) ++end;
                snapshot.append(target.cells, i, end - i);
                i = end;
            }
        }
    } else {
        // Row by row: the part of the row inside the base is compared, the rest is kept as it is.
        const std::size_t tw = static_cast<std::size_t>(std::max(target.width, 0));
        const std::size_t bw = static_cast<std::size_t>(std::max(base.width, 0));
        const std::size_t overlap_width = std::min(tw, bw);
        for (std::int32_t y = 0; y < target.height; ++y) {
            const std::size_t row = static_cast<std::size_t>(y) * tw;
            std::size_t inside = y < base.height ? overlap_width : 0;
            const GridCell* base_row = b + static_cast<std::size_t>(y) * bw;
            std::size_t x = 0;
            while (x < inside) {
                if (t[row + x] == base_row[x]) {
                    ++x;
                    continue;
                }
                std::size_t end = x + 1;
                while (end < inside && !(t[row + end] == base_row[end])) ++end;
                if (end == inside) end = tw;  // joins the part outside the base
                snapshot.append(target.cells, row + x, end - x);
                x = end;
            }
            if (x < tw) snapshot.append(target.cells, row + x, tw - x);
        }
    }
    snapshot.runs_.shrink_to_fit();
    snapshot.cells_.shrink_to_fit();
    return snapshot;
}

GridSnapshot GridSnapshot::whole(GridView target) {
    GridSnapshot snapshot;
    snapshot.whole_ = true;
    snapshot.target_width_ = target.width;
    snapshot.target_height_ = target.height;
    snapshot.cells_.assign(target.cells.begin(), target.cells.end());
    if (!target.cells.empty()) snapshot.runs_.push_back({0, target.cells.size()});
    return snapshot;
}

std::vector<GridCell> GridSnapshot::materialise(GridView base) const {
    std::vector<GridCell> grid(cell_count(target_width_, target_height_));
    if (!whole_) {
        const std::size_t tw = static_cast<std::size_t>(target_width_);
        const std::size_t bw = static_cast<std::size_t>(std::max(base.width, 0));
        const std::size_t columns = std::min(tw, bw);
        const std::int32_t rows = std::min(target_height_, base.height);
        for (std::int32_t y = 0; y < rows; ++y)
            std::copy_n(base.cells.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * bw),
                        columns,
                        grid.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * tw));
    }
    std::size_t from = 0;
    for (const Run& run : runs_) {
        std::copy_n(cells_.begin() + static_cast<std::ptrdiff_t>(from), run.count,
                    grid.begin() + static_cast<std::ptrdiff_t>(run.offset));
        from += run.count;
    }
    return grid;
}

bool GridSnapshot::apply(std::vector<GridCell>& grid, std::int32_t& width, std::int32_t& height) {
    const GridView current{grid, width, height};
    if (!current.valid()) return false;
    if (!whole_ && (width != base_width_ || height != base_height_)) return false;

    if (!whole_ && width == target_width_ && height == target_height_) {
        // Same size: the runs trade places with the grid's cells, which makes the reverse snapshot.
        std::size_t from = 0;
        for (const Run& run : runs_) {
            std::swap_ranges(cells_.begin() + static_cast<std::ptrdiff_t>(from),
                             cells_.begin() + static_cast<std::ptrdiff_t>(from + run.count),
                             grid.begin() + static_cast<std::ptrdiff_t>(run.offset));
            from += run.count;
        }
        return true;
    }

    std::vector<GridCell> target = materialise(current);
    GridSnapshot reverse = between(current, GridView{target, target_width_, target_height_});
    grid.swap(target);
    width = target_width_;
    height = target_height_;
    *this = std::move(reverse);
    return true;
}

void GridSnapshot::rebase(GridView base) {
    if (!whole_ || !base.valid()) return;
    const std::vector<GridCell> target = materialise(base);
    *this = between(GridView{target, target_width_, target_height_}, base);
}

std::size_t GridSnapshot::memory_bytes() const {
    return runs_.capacity() * sizeof(Run) + cells_.capacity() * sizeof(GridCell);
}

}  // namespace zorva
