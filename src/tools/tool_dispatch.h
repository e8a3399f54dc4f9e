// The one entry for the viewport's mouse and key events. Each event is offered to the floating selection
// first and then to the tool of the current edit mode; what the tools show comes back as a ToolOverlay.
#pragma once

#include "tools/tool_input.h"
#include "tools/tool_overlay.h"
#include "view/edit_state.h"

namespace zorva {

class ToolDispatch {
public:
    explicit ToolDispatch(EditState& edit_state) : edit_state_(edit_state) {}

    // True when a tool took the event (the view then redraws).
    bool handle(const ToolInput& input);

    const ToolOverlay& overlay() const { return overlay_; }
    EditState& edit_state() { return edit_state_; }

private:
    EditState& edit_state_;
    ToolOverlay overlay_;
};

}  // namespace zorva
