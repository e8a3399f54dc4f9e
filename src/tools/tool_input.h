// One mouse or key event of the viewport as the editing tools see it: where the cursor is (in the view, as
// a cell of the current layer, as a pixel of the current layer), which button changed, which buttons and
// keys are held. The viewport widget makes one ToolInput per Qt event; tests make them directly.
#pragma once

#include <cstdint>
#include <optional>

#include "view/view_geometry.h"

namespace zorva {

enum class InputKind : std::uint8_t {
    Press,        // a mouse button went down
    Move,         // the cursor moved (with or without buttons held)
    Release,      // a mouse button went up
    DoubleClick,  // the second press of a double click
    KeyDown,
    KeyUp,
    Leave,  // the cursor left the viewport
};

enum class MouseButton : std::uint8_t { None = 0, Left = 1, Right = 2, Middle = 4 };

// Held buttons and keys, as bits of ToolInput::buttons and ToolInput::modifiers.
inline constexpr std::uint8_t kButtonLeft = 1;
inline constexpr std::uint8_t kButtonRight = 2;
inline constexpr std::uint8_t kButtonMiddle = 4;
inline constexpr std::uint8_t kModifierShift = 1;
inline constexpr std::uint8_t kModifierCtrl = 2;
inline constexpr std::uint8_t kModifierAlt = 4;
inline constexpr std::uint8_t kModifierZ = 8;  // the Z key is held (moves then copy)

// The keys the tools react to; every other key is Key::Other.
enum class Key : std::uint8_t {
    None,
    Other,
    Escape,
    Enter,
    Delete,
    Keypad0,
    Keypad1,
    Keypad2,
    Keypad3,
    Keypad4,
    Keypad5,
    Keypad6,
    Keypad7,
    Keypad8,
    Keypad9,
    Left,
    Right,
    Up,
    Down,
    Z,
};

struct ToolInput {
    InputKind kind = InputKind::Move;
    ViewPoint view;                    // the cursor in viewport pixels
    std::optional<CellPosition> cell;  // the current layer's cell under the cursor (may lie off its grid)
    std::optional<LayerPixel> pixel;   // the same point in the current layer's pixels
    MouseButton button = MouseButton::None;  // the button that went down or up
    std::uint8_t buttons = 0;                // buttons held after the event
    std::uint8_t modifiers = 0;              // keys held
    Key key = Key::None;                     // the key of a key event
    bool auto_repeat = false;                // a key event repeated by holding the key

    bool shift() const { return (modifiers & kModifierShift) != 0; }
    bool ctrl() const { return (modifiers & kModifierCtrl) != 0; }
    bool z_held() const { return (modifiers & kModifierZ) != 0; }
};

}  // namespace zorva
