#include "tools/mode_tools.h"

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
