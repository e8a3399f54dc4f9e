// The tools of one edit mode as the dispatch sees them. The dispatch hands each viewport event to the
// floating selection's owner first and then to the tools of the current mode, and routes the Edit menu's
// commands the same way; the tile tools implement this now, the entity and path tools plug in the same
// way (ToolDispatch::set_mode_tools).
#pragma once

#include <optional>

#include "tools/drag_scroller.h"
#include "tools/selection_transform.h"
#include "tools/tool_input.h"
#include "tools/tool_overlay.h"

namespace zorva {

class SelectionPanel;
struct EditingContext;
struct FloatingSelection;

// Numeric keypad 4, 6, 8 and 2 as a step of one to the left, right, up or down.
bool is_keypad_step(Key key, int& dx, int& dy);

// A layer pixel position as a float, kept inside the range a float can hold.
float to_float(double value);

// Where a float of entities or paths is on screen when its box's top-left lands at `origin` (layer pixels).
std::optional<ViewBox> float_box_at(const EditingContext& context, const FloatingSelection& floating,
                                    std::optional<std::pair<double, double>> origin);

// Ending a tool's action. Light: on every tool change (unfinished strokes and bands end as on button up, a
// move's float is cancelled, every float discarded). Full: on a mode change, before Paste, Paste Mosaic and
// the commands that add or delete objects: the same, and every selection is cleared.
enum class EndStrength { Light, Full };

class ModeTools {
public:
    virtual ~ModeTools() = default;

    // A viewport event while no floating selection is active. True when the view must be redrawn.
    virtual bool handle(const ToolInput& input) = 0;
    // A viewport event while a floating selection of this mode's kind is active.
    virtual bool handle_floating(const ToolInput& input) = 0;
    virtual void end_action(EndStrength strength) = 0;
    // A stroke, band or drag is under way (undo and redo wait).
    virtual bool dragging() const = 0;
    // What the renderer shows for this mode.
    virtual void update_overlay(ToolOverlay& overlay) = 0;
    // The open project is being replaced (it may be gone already): forget everything that refers to it
    // without touching it.
    virtual void forget_project() { end_action(EndStrength::Full); }
    // Before a save or an export: work kept aside from the project (a Path being drawn or edited) goes in.
    virtual void commit_pending() {}

    // The Edit menu's commands: can_* says whether the command can act now, the command says whether it
    // did.
    virtual bool can_copy() const { return false; }
    virtual bool copy() { return false; }
    virtual bool can_cut() const { return can_copy(); }
    virtual bool cut() { return false; }
    virtual bool can_erase() const { return false; }
    virtual bool erase() { return false; }
    virtual bool can_paste() const { return false; }
    virtual bool paste() { return false; }
    virtual bool can_select_all() const { return false; }
    virtual bool select_all() { return false; }
    virtual bool can_select_none() const { return false; }
    virtual bool select_none() { return false; }
    // Numeric keypad 4, 6, 8, 2 (a keyboard move) and 0 (drop).
    virtual bool can_nudge() const { return false; }
    virtual bool nudge(int /*dx*/, int /*dy*/, bool /*z_held*/) { return false; }
    virtual bool can_drop() const { return false; }
    virtual bool drop() { return false; }
    // Esc.
    virtual bool can_cancel() const { return false; }
    virtual bool cancel() { return false; }
    // Shift+Home.
    virtual bool can_move_view_to_selection() const { return false; }
    virtual bool move_view_to_selection() { return false; }

    // The Transform menu's flips, rotations and scales of the selection (F5 to F12). The dispatch offers
    // them only while no floating selection is active and nothing is being dragged.
    virtual bool can_transform(Transform /*transform*/) const { return false; }
    virtual bool transform(Transform /*transform*/) { return false; }

    // A rubber band of this mode is being dragged: the view scrolls past its edges, and the view scrolling
    // under a still cursor moves its end corner (view_scrolled).
    virtual bool band_dragging() const { return false; }
    virtual void view_scrolled() {}
    // Where this mode's keyboard-driven float is on screen (the tested rectangle while it scrolls the view).
    virtual std::optional<ViewBox> float_box_on_screen() const { return std::nullopt; }
    // What the Selected Entities/Points window shows and edits in this mode (none: nothing to show).
    virtual SelectionPanel* selection_panel() { return nullptr; }

protected:
    // What a floating selection does with an event, the same in every mode: a left or right press (or a
    // double click) drops it at the cursor, as does the left button's release unless the paste that made it
    // said to let that one pass; the cursor moving redraws it; keypad 4, 6, 8 and 2 move it, keypad 0 drops
    // it where it is and Esc cancels it.
    bool route_floating_event(const ToolInput& input, FloatingSelection& floating);
    // Drops the floating selection at the cursor (or where it is without one).
    virtual bool drop_float(std::optional<ViewPoint> /*cursor*/) { return false; }
};

}  // namespace zorva
