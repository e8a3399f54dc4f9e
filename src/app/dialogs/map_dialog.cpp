#include "app/dialogs/map_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <cstdio>
#include <limits>

#include "app/dialogs/custom_variables_dialog.h"
#include "app/dialogs/dialog_parts.h"
#include "model/project.h"
#include "qtplatform/qt_platform.h"

namespace zorva {

MapDialog::MapDialog(MapProperties& edited, bool is_new, Project& project, Preferences& preferences,
                     Platform& platform, QWidget* parent)
    : QDialog(parent),
      edited_(edited),
      working_(edited),
      project_(project),
      preferences_(preferences),
      platform_(platform) {
    setWindowTitle(is_new ? "New Map" : "Map Properties");
    auto* outer = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    outer->addLayout(form);
    name_ = make_text_edit(this, "name", working_.name.view(), static_cast<int>(kNameLength));
    form->addRow("Name:", name_);
    user_id_ = make_number_edit(this, "user_id", working_.user_supplied_id, false);
    form->addRow("User ID:", user_id_);
    export_ = new QCheckBox("Export this map", this);
    export_->setObjectName("export_this_map");
    export_->setChecked(working_.export_this_map);
    form->addRow(export_);

    // The tile sets by name, in list order; a map whose tile set is gone shows none chosen.
    tile_set_ = new QComboBox(this);
    tile_set_->setObjectName("tile_set");
    for (const auto& tile_set : project_.tile_sets)
        tile_set_->addItem(to_qstring(tile_set->name.view()), static_cast<uint>(tile_set->unique_id));
    tile_set_->setCurrentIndex(tile_set_->findData(static_cast<uint>(working_.use_tile_set_id)));
    form->addRow("Tile Set:", tile_set_);

    const Map* map = find_map(project_, working_.unique_id);
    char text[96];
    std::snprintf(text, sizeof text, "Number of Entities on all the layers:  %lu",
                  static_cast<unsigned long>(map ? map->instance_entity_count() : 0));
    auto* entities = new QLabel(text, this);
    entities->setObjectName("entity_count");
    form->addRow(entities);
    std::snprintf(text, sizeof text, "Number of Paths on all the layers:  %lu",
                  static_cast<unsigned long>(map ? map->path_count() : 0));
    auto* paths = new QLabel(text, this);
    paths->setObjectName("path_count");
    form->addRow(paths);

    QPushButton* custom = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    add_dialog_buttons(this, outer, &custom, &ok, &cancel);
    connect(custom, &QPushButton::clicked, this, [this] {
        edit_object_custom_variables(this, project_, ObjectKind::Map, field_text(name_),
                                     working_.custom_variables, preferences_, platform_);
    });
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
}

void MapDialog::store() {
    working_.name = field_text(name_);
    working_.user_supplied_id =
        static_cast<std::uint32_t>(number_value(user_id_, 0, std::numeric_limits<std::uint32_t>::max(), 0));
    working_.export_this_map = export_->isChecked();
    // Without a choice the map keeps the tile set id it has.
    if (tile_set_->currentIndex() >= 0) working_.use_tile_set_id = tile_set_->currentData().toUInt();
}

void MapDialog::accept() {
    store();
    edited_ = working_;
    QDialog::accept();
}

}  // namespace zorva
