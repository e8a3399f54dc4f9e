#include "tools/drag_scroller.h"

namespace zorva {

void DragScroller::reset() {
    stepped_ = false;
    was_inside_ = false;
    scrolling_ = false;
}

std::optional<ScrollStep> DragScroller::step(std::int64_t now_ms, const ViewBox& tested, ViewSize view,
                                             bool keyboard) {
    if (view.width <= 0 || view.height <= 0) return std::nullopt;
    const std::int64_t period = keyboard ? kKeyboardPeriodMs : kMousePeriodMs;
    if (stepped_ && now_ms - last_step_ms_ < period) return std::nullopt;
    const bool left = tested.x < 0;
    const bool right = tested.x + tested.width > view.width;
    const bool up = tested.y < 0;
    const bool down = tested.y + tested.height > view.height;
    const bool inside = !(left || right || up || down);
    const bool was_inside = was_inside_;
    was_inside_ = inside;
    if (inside) {
        scrolling_ = false;
        return std::nullopt;
    }
    if (!was_inside && !scrolling_) return std::nullopt;
    scrolling_ = true;
    stepped_ = true;
    last_step_ms_ = now_ms;
    ScrollStep result;
    result.columns = left ? -1 : right ? 1 : 0;
    result.rows = up ? -1 : down ? 1 : 0;
    return result;
}

}  // namespace zorva
