#include "app/dialogs/tile_set_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <limits>

#include "app/dialogs/custom_variables_dialog.h"
#include "app/dialogs/dialog_parts.h"
#include "model/project.h"
#include "qtplatform/qt_platform.h"

namespace zorva {

TileSetDialog::TileSetDialog(TileSetProperties& edited, bool is_new, Project& project,
                             Preferences& preferences, Platform& platform, QWidget* parent)
    : QDialog(parent),
      edited_(edited),
      working_(edited),
      project_(project),
      preferences_(preferences),
      platform_(platform),
      folder_(project.last_used_image_tile_set_path) {
    load_preview_image(image_, working_.image_path_and_file_name.view());
    build(is_new);
    update_counts();
}

TileSetDialog::~TileSetDialog() {
    // Fields losing the focus while the children are destroyed must not reach this object.
    for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->disconnect();
}

void TileSetDialog::build(bool is_new) {
    setWindowTitle(is_new ? "New Tile Set" : "Tile Set Properties");
    auto* outer = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    outer->addLayout(columns, 1);

    auto* fields = new QGridLayout;
    columns->addLayout(fields);
    int row = 0;
    auto add_row = [&](const char* caption, QWidget* field) {
        add_form_row(this, fields, row, caption, field);
    };
    name_ = make_text_edit(this, "name", working_.name.view(), static_cast<int>(kNameLength));
    add_row("Name:", name_);
    user_id_ = make_number_edit(this, "user_id", working_.user_supplied_id, false);
    add_row("User ID:", user_id_);
    tile_width_ = make_number_edit(this, "tile_width", working_.single_tile_pixel_width, true);
    add_row("Tile width:", tile_width_);
    tile_height_ = make_number_edit(this, "tile_height", working_.single_tile_pixel_height, true);
    add_row("Tile height:", tile_height_);
    offset_x_ = make_number_edit(this, "offset_x", working_.first_tile_offset_pixel_x, true);
    add_row("First tile offset X:", offset_x_);
    offset_y_ = make_number_edit(this, "offset_y", working_.first_tile_offset_pixel_y, true);
    add_row("First tile offset Y:", offset_y_);
    space_x_ = make_number_edit(this, "space_x", working_.space_between_tiles_pixel_x, false);
    add_row("Space between tiles X:", space_x_);
    space_y_ = make_number_edit(this, "space_y", working_.space_between_tiles_pixel_y, false);
    add_row("Space between tiles Y:", space_y_);
    const char* fact_names[5] = {"image_size", "colour_depth", "tile_count", "tiles_across", "tiles_down"};
    for (int i = 0; i < 5; ++i) {
        facts_[i] = fact_label(this, fact_names[i]);
        fields->addWidget(facts_[i], row++, 0, 1, 2);
    }
    fields->setRowStretch(row, 1);

    auto* right = new QVBoxLayout;
    columns->addLayout(right, 1);
    const ImageColumn image_column =
        add_image_column(this, right, working_.image_path_and_file_name.view(), image_, preferences_,
                         platform_, &folder_, working_.use_transparent_colour, working_.transparent_colour);
    image_path_ = image_column.path;
    use_colour_ = image_column.use_colour;
    preview_ = image_column.preview;

    QPushButton* custom = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    add_dialog_buttons(this, outer, &custom, &ok, &cancel);

    image_path_->set_loaded([this] {
        update_counts();
        preview_->update();
    });
    for (QLineEdit* edit : {tile_width_, tile_height_, offset_x_, offset_y_, space_x_, space_y_})
        connect(edit, &QLineEdit::textChanged, this, [this] { update_counts(); });
    connect(custom, &QPushButton::clicked, this, [this] {
        edit_object_custom_variables(this, project_, ObjectKind::TileSet, field_text(name_),
                                     working_.custom_variables, preferences_, platform_);
    });
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
}

void TileSetDialog::store() {
    working_.name = field_text(name_);
    working_.user_supplied_id = static_cast<std::uint32_t>(number_value(user_id_, 0, kUnsignedMax, 0));
    working_.single_tile_pixel_width = static_cast<std::int32_t>(
        number_value(tile_width_, kIntMin, kIntMax, working_.single_tile_pixel_width));
    working_.single_tile_pixel_height = static_cast<std::int32_t>(
        number_value(tile_height_, kIntMin, kIntMax, working_.single_tile_pixel_height));
    working_.first_tile_offset_pixel_x =
        static_cast<std::int32_t>(number_value(offset_x_, kIntMin, kIntMax, 0));
    working_.first_tile_offset_pixel_y =
        static_cast<std::int32_t>(number_value(offset_y_, kIntMin, kIntMax, 0));
    working_.space_between_tiles_pixel_x =
        static_cast<std::uint32_t>(number_value(space_x_, 0, kUnsignedMax, 0));
    working_.space_between_tiles_pixel_y =
        static_cast<std::uint32_t>(number_value(space_y_, 0, kUnsignedMax, 0));
    working_.image_path_and_file_name = image_path_->path();
    working_.use_transparent_colour = use_colour_->isChecked();
}

void TileSetDialog::update_counts() {
    store();
    TileCount count;
    if (!image_.empty())
        count = count_tiles_in_area(
            static_cast<std::uint32_t>(image_.width), static_cast<std::uint32_t>(image_.height),
            working_.single_tile_pixel_width, working_.single_tile_pixel_height,
            working_.first_tile_offset_pixel_x, working_.first_tile_offset_pixel_y,
            working_.space_between_tiles_pixel_x, working_.space_between_tiles_pixel_y);
    const ImageFacts facts = image_facts(image_, count, "tiles");
    const std::string* lines[5] = {&facts.size, &facts.depth, &facts.count, &facts.across, &facts.down};
    for (int i = 0; i < 5; ++i) facts_[i]->setText(to_qstring(*lines[i]));
}

void TileSetDialog::accept() {
    // A path typed but not yet left is loaded first; one that fails keeps the dialog open.
    if (!image_path_->leave()) return;
    store();
    edited_ = working_;
    project_.last_used_image_tile_set_path = folder_;
    QDialog::accept();
}

}  // namespace zorva
