#include "tools/mode_tools.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/layer.h"
#include "tools/editing_context.h"
#include "tools/floating_selection.h"

namespace zorva {

bool is_keypad_step(Key key, int& dx, int& dy) {
    dx = dy = 0;
    switch (key) {
        case Key::Keypad4:
            dx = -1;
            return true;
        case Key::Keypad6:
            dx = 1;
            return true;
        case Key::Keypad8:
            dy = -1;
            return true;
        case Key::Keypad2:
            dy = 1;
            return true;
        default:
            return false;
    }
}

float to_float(double value) {
    constexpr double kLargest = std::numeric_limits<float>::max();
    if (!std::isfinite(value)) return static_cast<float>(value);
    return static_cast<float>(std::clamp(value, -kLargest, kLargest));
}

std::optional<ViewBox> float_box_at(const EditingContext& context, const FloatingSelection& floating,
                                    std::optional<std::pair<double, double>> origin) {
    const std::optional<ViewTransform> t = context.view_transform();
    const Layer* layer = context.layer();
    if (!origin || !t || !layer) return std::nullopt;
    ViewBox box;
    box.x = t->point_x(to_float(origin->first), layer->grid_offset_x);
    box.y = t->point_y(to_float(origin->second), layer->grid_offset_y);
    box.width = std::max<std::int64_t>(1, t->length(floating.box_width));
    box.height = std::max<std::int64_t>(1, t->length(floating.box_height));
    return box;
}

bool ModeTools::route_floating_event(const ToolInput& input, FloatingSelection& floating) {
    switch (input.kind) {
        case InputKind::Press:
        case InputKind::DoubleClick:
            if (input.button == MouseButton::Left || input.button == MouseButton::Right)
                return drop_float(input.view);
            return false;
        case InputKind::Move:
            return true;  // the floating content follows the cursor
        case InputKind::Release:
            if (input.button != MouseButton::Left) return false;
            if (floating.ignore_release_once) {
                floating.ignore_release_once = false;
                return false;
            }
            return drop_float(input.view);
        case InputKind::KeyDown: {
            int dx = 0, dy = 0;
            if (is_keypad_step(input.key, dx, dy)) return nudge(dx, dy, input.z_held());
            if (input.key == Key::Keypad0) return drop();
            if (input.key == Key::Escape) return cancel();
            return false;
        }
        case InputKind::KeyUp:
        case InputKind::Leave:
            return false;
    }
    return false;
}

}  // namespace zorva
