// The selected rectangle of cells of the current layer (EditMode Tiles), and the rubber band that draws
// it. Not saved.
#pragma once

#include <cstdint>

#include "tools/cell_rect.h"

namespace zorva {

struct TileSelection {
    // The corners: the band's start and end while it is dragged, in any order; ordered (start <= end) once
    // it ends. Both corners are inside the rectangle.
    CellPosition start;
    CellPosition end;
    bool active = false;    // a selection exists
    bool dragging = false;  // a rubber band is being drawn (Select or Extra Placement)

    CellRect rect() const { return CellRect::spanning(start, end); }
    void set(const CellRect& r) {
        start = r.top_left();
        end = {r.right, r.bottom};
    }
    // Puts the corners in order.
    void order() { set(rect()); }
    // "Sel: w x h": the absolute difference of the corners plus one.
    std::uint32_t width() const { return static_cast<std::uint32_t>(rect().width()); }
    std::uint32_t height() const { return static_cast<std::uint32_t>(rect().height()); }
};

}  // namespace zorva
