// The one entry for the viewport's mouse and key events and for the editing commands. Each event is
// offered to the floating selection's owner first and then to the tools of the current edit mode; what the
// tools show comes back as a ToolOverlay. The dispatch also owns the state every mode shares (tile
// selection, clipboard, floating selection, move source), ends tools' actions on tool and mode changes,
// switches to the Move tool and back, and scrolls the view during drags.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>

#include "tools/drag_scroller.h"
#include "tools/editing_context.h"
#include "tools/mode_tools.h"
#include "tools/tile_tool.h"
#include "tools/tool_input.h"
#include "tools/tool_overlay.h"
#include "tools/tool_shared.h"
#include "view/edit_state.h"

namespace zorva {

struct Mosaic;

// The editing commands of the menus and keys that the tools carry out.
enum class ToolCommand {
    Copy,
    Cut,
    Delete,
    Paste,
    Float,
    PasteMosaic,
    SelectAll,
    SelectNone,
    FillTiles,
    FillTileAttributes,
    ClearTileAttributes,
    BrushFlipHorizontal,       // F2
    BrushFlipVertical,         // F3
    BrushRotate,               // F4
    NudgeLeft,                 // numeric keypad 4
    NudgeRight,                // 6
    NudgeUp,                   // 8
    NudgeDown,                 // 2
    Drop,                      // 0
    Cancel,                    // Esc
    MoveViewToSelection,       // Shift+Home
    FlipHorizontal,            // F5
    FlipVertical,              // F6
    Rotate,                    // F7
    Scale,                     // F8
    IndividualFlipHorizontal,  // F9
    IndividualFlipVertical,    // F10
    IndividualRotate,          // F11
    IndividualScale,           // F12
};

// The Transform menu's command behind a tool command (none for the others).
std::optional<Transform> transform_of(ToolCommand command);

class ToolDispatch {
public:
    explicit ToolDispatch(EditingContext context);
    ToolDispatch(const ToolDispatch&) = delete;
    ToolDispatch& operator=(const ToolDispatch&) = delete;

    // True when a tool took the event (the view then redraws).
    bool handle(const ToolInput& input);

    const ToolOverlay& overlay() const { return overlay_; }
    EditState& edit_state() { return context_.edit_state; }
    EditingContext& context() { return context_; }
    TileTool& tiles() { return tiles_; }
    const TileSelection& tile_selection() const { return shared_.tile_selection; }
    const Clipboard& clipboard() const { return shared_.clipboard; }
    const FloatingSelection& floating() const { return shared_.floating; }
    const MoveSource& move_source() const { return shared_.move_source; }
    bool auto_switched() const { return shared_.auto_switched; }

    // The open project was replaced (New, Open, import): strokes, selection, float and clipboard are
    // forgotten.
    void set_project(Project* project);
    void set_navigator(const ViewNavigator* navigator) { context_.navigator = navigator; }
    // The entity and path tools plug in here (the tile tools are built in); they work on the state every
    // mode shares.
    void set_mode_tools(EditMode mode, ModeTools* tools);
    ToolShared& shared() { return shared_; }
    // What the Selected Entities/Points window shows: the current mode's selection, or the entities' in a
    // mode without one. Null while no such tools are plugged in.
    SelectionPanel* selection_panel() const;

    // A tool button, key or menu item: ends the current action (light) first and clears the automatic
    // switch. Extra Placement exists only in EditMode Tiles.
    void set_tool(Tool tool);
    // A mode button, key or menu item: refused (false) for Entities or Paths while they are hidden; a real
    // switch ends the current action (full) first.
    bool set_mode(EditMode mode);
    // After a view toggle: hiding the current mode's objects goes back to Tiles (ending the action fully).
    bool follow_view_toggles();
    void end_action(EndStrength strength);

    bool can(ToolCommand command) const;
    // Carries out a command when it can act; `z_held` says whether the Z key is down (keyboard moves).
    bool run(ToolCommand command, bool z_held = false);
    // A click on a mosaic in the Mosaics window (made current there): EditMode Tiles (or the current action
    // ended when already there), then Paste Mosaic, whose button release is ignored once.
    bool paste_mosaic_from_window();
    // Ctrl+K and the Mosaics window's A button.
    bool can_new_mosaic() const;
    Mosaic* new_mosaic(std::size_t strip_slots);

    // What holds undo and redo back.
    bool dragging() const;
    bool floating_active() const { return shared_.floating.active(); }
    // The selection's size for the status pane (width, height in cells), while one exists in Tiles.
    std::optional<std::pair<std::uint32_t, std::uint32_t>> tile_selection_size() const;

    // After each redraw: the automatic Move tool goes back to Select when an action ended, and the view
    // scrolls while a band or a float is dragged past its edge. `pointer` is where the cursor is now (it
    // may be outside the view, where no event reports it). True when the view must be redrawn.
    bool after_redraw(std::int64_t now_ms, std::optional<ViewPoint> pointer = std::nullopt);

    // A move's lifted cells are in the layer only while a save or backup writes it.
    void before_save() { tiles_.put_lifted_cells_back(); }
    // Takes what the tools show again (after an undo, or a command run outside the dispatch).
    void refresh_overlay();
    // Before a save or an export: a Path being drawn or edited is committed.
    void commit_pending();
    void after_save() { tiles_.lift_cells_again(); }
    bool cells_lifted() const { return shared_.move_source.lifted; }

private:
    ModeTools* tools_for(EditMode mode) const;
    ModeTools* current() const { return tools_for(context_.edit_state.mode()); }
    ModeTools* float_owner() const;
    void leave_auto_move();
    std::optional<ViewBox> floating_box_on_screen() const;
    // A rubber band of any mode is being dragged.
    bool band_dragging() const;

    EditingContext context_;
    ToolShared shared_;
    TileTool tiles_;
    std::array<ModeTools*, 3> modes_{};
    ToolOverlay overlay_;
    DragScroller scroller_;
};

}  // namespace zorva
