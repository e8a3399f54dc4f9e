#include "view/edit_state.h"

#include "prefs/preferences.h"

namespace zorva {

bool EditState::set_mode(EditMode mode, const Preferences& preferences) {
    if (mode == EditMode::Entities && !preferences.flag(FlagA::ViewEntities)) return false;
    if (mode == EditMode::Paths && !preferences.flag(FlagA::ViewPaths)) return false;
    if (mode != EditMode::Tiles && tool_ == Tool::ExtraPlacement) tool_ = Tool::Placement;
    mode_ = mode;
    if (mode != EditMode::Paths) path_points_ = false;
    return true;
}

bool EditState::follow_view_toggles(const Preferences& preferences) {
    if ((mode_ == EditMode::Entities && !preferences.flag(FlagA::ViewEntities)) ||
        (mode_ == EditMode::Paths && !preferences.flag(FlagA::ViewPaths))) {
        mode_ = EditMode::Tiles;
        path_points_ = false;
        return true;
    }
    return false;
}

}  // namespace zorva
