// The map dialog ("Map Properties", or "New Map" for a new one): name, user id, the export flag, the tile
// set chosen by name, the numbers of entities and paths on all its layers, and the custom variables. It
// edits a copy; OK hands the copy back.
//
// Children by object name: "name", "user_id", "export_this_map", "tile_set" (a combo box whose items carry
// the tile set ids), "entity_count", "path_count", "custom_variables", "ok", "cancel".
#pragma once

#include <QDialog>

#include "base/platform.h"
#include "model/map.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace zorva {

class Preferences;
class Project;

class MapDialog : public QDialog {
public:
    MapDialog(MapProperties& edited, bool is_new, Project& project, Preferences& preferences,
              Platform& platform, QWidget* parent = nullptr);
    MapDialog(const MapDialog&) = delete;
    MapDialog& operator=(const MapDialog&) = delete;

    void accept() override;

private:
    void store();

    MapProperties& edited_;
    MapProperties working_;
    Project& project_;
    Preferences& preferences_;
    Platform& platform_;
    QLineEdit* name_ = nullptr;
    QLineEdit* user_id_ = nullptr;
    QCheckBox* export_ = nullptr;
    QComboBox* tile_set_ = nullptr;
};

}  // namespace zorva
