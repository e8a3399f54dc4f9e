// A rectangle of cells of a layer, both corners inclusive, and the few sums the tools do with it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

#include "view/view_geometry.h"

namespace zorva {

struct CellRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const CellRect&, const CellRect&) = default;

    // The rectangle spanned by two corners given in any order.
    static CellRect spanning(CellPosition a, CellPosition b) {
        return {std::min(a.column, b.column), std::min(a.row, b.row), std::max(a.column, b.column),
                std::max(a.row, b.row)};
    }
    // The rectangle of `width` × `height` cells (both at least 1) with its top-left cell at `at`.
    static CellRect sized(CellPosition at, std::int32_t width, std::int32_t height) {
        return {at.column, at.row, static_cast<std::int32_t>(std::int64_t{at.column} + width - 1),
                static_cast<std::int32_t>(std::int64_t{at.row} + height - 1)};
    }

    std::int64_t width() const { return std::int64_t{right} - left + 1; }
    std::int64_t height() const { return std::int64_t{bottom} - top + 1; }
    CellPosition top_left() const { return {left, top}; }
    bool contains(CellPosition cell) const {
        return cell.column >= left && cell.column <= right && cell.row >= top && cell.row <= bottom;
    }
};

// The part of `rect` on a grid of `grid_width` × `grid_height` cells; nothing when it lies wholly outside.
inline std::optional<CellRect> clip_to_grid(const CellRect& rect, std::int32_t grid_width,
                                            std::int32_t grid_height) {
    if (grid_width <= 0 || grid_height <= 0) return std::nullopt;
    const CellRect clipped{std::max(rect.left, 0), std::max(rect.top, 0),
                           std::min(rect.right, grid_width - 1), std::min(rect.bottom, grid_height - 1)};
    if (clipped.left > clipped.right || clipped.top > clipped.bottom) return std::nullopt;
    return clipped;
}

}  // namespace zorva
