#include "app/dialogs/properties_dialogs.h"

#include "app/dialogs/entity_dialog.h"
#include "app/dialogs/layer_dialog.h"
#include "app/dialogs/map_dialog.h"
#include "app/dialogs/tile_set_dialog.h"

namespace zorva {

QtPropertiesDialogs::QtPropertiesDialogs(QWidget* parent, std::function<Project&()> project,
                                         Preferences& preferences, Platform& platform)
    : parent_(parent), project_(std::move(project)), preferences_(preferences), platform_(platform) {}

bool QtPropertiesDialogs::tile_set(TileSetProperties& edited, bool is_new) {
    TileSetDialog dialog(edited, is_new, project_(), preferences_, platform_, parent_);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPropertiesDialogs::map(MapProperties& edited, bool is_new) {
    MapDialog dialog(edited, is_new, project_(), preferences_, platform_, parent_);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPropertiesDialogs::layer(LayerProperties& edited, bool is_new) {
    LayerDialog dialog(edited, is_new, project_(), preferences_, platform_, parent_);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPropertiesDialogs::parent_entity(ParentEntityProperties& edited, bool is_new) {
    EntityDialog dialog(edited, is_new, project_(), preferences_, platform_, parent_);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace zorva
