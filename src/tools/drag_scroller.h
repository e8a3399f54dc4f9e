// Scrolling the view by itself while something is dragged past its edge (a rubber band, a floating
// selection, path points): after each redraw one step may move the camera one cell toward the side that
// was crossed. Steps are at least 50 ms apart, 10 ms during keyboard moves. Scrolling starts when the
// tested rectangle (the cursor, or the moved content on screen) leaves the view after it was inside at the
// previous step, goes on while it stays outside, and stops when it is wholly inside again.
#pragma once

#include <cstdint>
#include <optional>

#include "view/view_geometry.h"

namespace zorva {

// A rectangle on screen, in view pixels (width and height at least 1).
struct ViewBox {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t width = 1;
    std::int64_t height = 1;
};

struct ScrollStep {
    int columns = 0;  // -1 toward the left, +1 toward the right
    int rows = 0;     // -1 up, +1 down
};

class DragScroller {
public:
    static constexpr std::int64_t kMousePeriodMs = 50;
    static constexpr std::int64_t kKeyboardPeriodMs = 10;

    // One step's decision at `now_ms`; nothing when no step is due or the box is inside the view.
    std::optional<ScrollStep> step(std::int64_t now_ms, const ViewBox& tested, ViewSize view, bool keyboard);
    // Nothing is dragged: the next drag starts afresh (a drag that begins outside the view does not scroll
    // until it has been inside).
    void reset();
    bool scrolling() const { return scrolling_; }

private:
    std::int64_t last_step_ms_ = 0;
    bool stepped_ = false;
    bool was_inside_ = false;
    bool scrolling_ = false;
};

}  // namespace zorva
