// The viewport's edit mode and tool, and the rules that tie them to the view toggles: the Entities mode
// needs entities shown, the Paths mode needs paths shown, and neither keeps the Extra Placement tool.
#pragma once

namespace zorva {

class Preferences;

// The edit modes of the viewport.
enum class EditMode { Tiles = 0, Entities = 1, Paths = 2 };

enum class Tool { Placement = 0, Eraser = 1, Select = 2, ExtraPlacement = 3, Move = 4 };

class EditState {
public:
    EditMode mode() const { return mode_; }
    Tool tool() const { return tool_; }
    bool path_points() const { return path_points_; }

    // Refused (false) for Entities while entities are hidden and for Paths while paths are hidden.
    // Switching to Entities or Paths with the Extra Placement tool selects the Placement tool.
    bool set_mode(EditMode mode, const Preferences& preferences);
    void set_tool(Tool tool) { tool_ = tool; }
    void set_path_points(bool on) { path_points_ = on; }

    // After a view toggle changed the preferences: hiding entities in the Entities mode, or paths in the
    // Paths mode (ending the path edit), goes back to the Tiles mode. True when the mode changed.
    bool follow_view_toggles(const Preferences& preferences);

private:
    EditMode mode_ = EditMode::Tiles;
    Tool tool_ = Tool::Placement;
    bool path_points_ = false;
};

}  // namespace zorva
