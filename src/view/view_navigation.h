// Moving the camera over the current map and setting the zoom, without any window: the editor feeds
// in the view size and the cursor, the commands call these functions, and each change asks the
// RedrawPacer for a redraw.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "view/view_geometry.h"

namespace zorva {

class Project;
class Preferences;
class RedrawPacer;

enum class ViewStep { Left, Right, Up, Down };

class ViewNavigator {
public:
    static constexpr std::int64_t kZoomStep = 10;
    static constexpr int kWheelNotch = 120;
    static constexpr std::int64_t kWheelPauseMs = 50;  // a longer pause starts a new accumulation

    ViewNavigator(Project* project, const Preferences* preferences, RedrawPacer* pacer = nullptr);

    void set_project(Project* project) { project_ = project; }
    Project* project() const { return project_; }
    void set_view_size(ViewSize size) { view_size_ = size; }
    ViewSize view_size() const { return view_size_; }
    // The cursor in view coordinates; nullopt while it is outside the view.
    void set_cursor(std::optional<ViewPoint> cursor) { cursor_ = cursor; }
    std::optional<ViewPoint> cursor() const { return cursor_; }

    // Stores `percent` clamped into 1..800. When it changed and a map is current, the camera moves so
    // that, with `anchor_at_cursor` and the cursor over the current layer, the cell under the cursor stays
    // under it, else so that the view keeps its centre. "Changing view zoom prompts project to save" marks
    // the project modified. Requests a redraw.
    void set_zoom(std::int64_t percent, bool anchor_at_cursor);
    void zoom_in(bool anchor_at_cursor) { set_zoom(zoom() + kZoomStep, anchor_at_cursor); }
    void zoom_out(bool anchor_at_cursor) { set_zoom(zoom() - kZoomStep, anchor_at_cursor); }
    std::uint32_t zoom() const;

    // Arrow keys (page: with Shift, a third of the view). By default ("Invert cursor keys for view
    // movement" on) Left lowers the camera column and Up lowers the row.
    void step(ViewStep direction, bool page);
    // Cells moved by a page step: a third of the view in whole scaled tiles, at least 2 (8 without a
    // tile set).
    std::int32_t page_columns() const;
    std::int32_t page_rows() const;

    void move_to_origin();         // camera (0, 0)
    void move_to_current_layer();  // camera at the current layer's grid offset

    // The cell of the current layer under a view point: trunc(x / (z × tile width)) + camera - offset.
    // Nullopt without a current layer with a grid, or when the map's tile set image is missing.
    std::optional<CellPosition> cell_under(ViewPoint point) const;
    // The same point in the current layer's pixels (not snapped to cells).
    std::optional<LayerPixel> layer_pixel_under(ViewPoint point) const;

    // A wheel message over the view: deltas add up (cleared after a pause of more than 50 ms); each
    // full notch of 120 goes to `notch_handler` first (the tiles or mosaics dialog, which returns true
    // when it took it), else zooms in (positive) or out (negative) anchored at the cursor. Does nothing
    // unless "Enable mouse wheel zoom" is on. Returns the notches handled (+1, -1 or 0).
    int wheel(int delta, std::int64_t now_ms, const std::function<bool(int direction)>& notch_handler = {});
    std::int16_t wheel_accumulator() const { return wheel_sum_; }

private:
    void changed();

    Project* project_;
    const Preferences* preferences_;
    RedrawPacer* pacer_;
    ViewSize view_size_;
    std::optional<ViewPoint> cursor_;
    std::int16_t wheel_sum_ = 0;
    std::int64_t last_wheel_ms_ = 0;
    bool has_wheeled_ = false;
};

}  // namespace zorva
