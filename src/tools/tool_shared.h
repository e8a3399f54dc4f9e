// The editing state all tools share: the tile selection, the clipboard, the floating selection, the move
// source, the cursor as the last event saw it and the automatic switch to the Move tool.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "tools/clipboard.h"
#include "tools/editing_context.h"
#include "tools/floating_selection.h"
#include "tools/mode_tools.h"
#include "tools/move_source.h"
#include "tools/tile_selection.h"

namespace zorva {

struct ToolShared {
    explicit ToolShared(EditingContext& editing) : context(editing) {}

    EditingContext& context;
    TileSelection tile_selection;
    Clipboard clipboard;
    FloatingSelection floating;
    MoveSource move_source;
    // Counts the floating selections made, so the overlay copies a float's cells once.
    std::uint64_t float_serial = 0;

    // The cursor in the view and the cell under it, as the last event saw them.
    std::optional<ViewPoint> cursor;
    std::optional<CellPosition> cursor_cell;

    // The Move tool was selected by hovering the selection with the Select tool.
    bool auto_switched = false;
    // An action ended while it was: back to Select at the next redraw.
    bool switch_back_pending = false;

    // Set by the dispatch: ends every tool's action, and leaves the automatically chosen Move tool.
    std::function<void(EndStrength)> end_all;
    std::function<void()> leave_auto_move;
};

}  // namespace zorva
