#include "app/dialogs/entity_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <limits>

#include "app/dialogs/custom_variables_dialog.h"
#include "app/dialogs/dialog_parts.h"
#include "model/project.h"
#include "qtplatform/qt_platform.h"

namespace zorva {

EntityDialog::EntityDialog(ParentEntityProperties& edited, bool is_new, Project& project,
                           Preferences& preferences, Platform& platform, QWidget* parent)
    : QDialog(parent),
      edited_(edited),
      working_(edited),
      project_(project),
      preferences_(preferences),
      platform_(platform),
      folder_(project.last_used_image_parent_entity_path) {
    load_preview_image(image_, working_.image_path_and_file_name.view());
    if (!image_.empty()) {
        working_.pixel_width = static_cast<std::uint32_t>(image_.width);
        working_.pixel_height = static_cast<std::uint32_t>(image_.height);
    }
    build(is_new);
    update_counts();
}

EntityDialog::~EntityDialog() {
    for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->disconnect();
}

void EntityDialog::build(bool is_new) {
    setWindowTitle(is_new ? "New Entity" : "Entity Properties");
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
    frame_width_ = make_number_edit(this, "frame_width", working_.single_frame_pixel_width, true);
    add_row("Frame width:", frame_width_);
    frame_height_ = make_number_edit(this, "frame_height", working_.single_frame_pixel_height, true);
    add_row("Frame height:", frame_height_);
    offset_x_ = make_number_edit(this, "offset_x", working_.first_frame_offset_pixel_x, true);
    add_row("First frame offset X:", offset_x_);
    offset_y_ = make_number_edit(this, "offset_y", working_.first_frame_offset_pixel_y, true);
    add_row("First frame offset Y:", offset_y_);
    space_x_ = make_number_edit(this, "space_x", working_.space_between_frames_pixel_x, true);
    add_row("Space between frames X:", space_x_);
    space_y_ = make_number_edit(this, "space_y", working_.space_between_frames_pixel_y, true);
    add_row("Space between frames Y:", space_y_);
    preview_frame_ = make_number_edit(this, "preview_frame", working_.preview_anima_frame, false);
    add_row("Preview frame:", preview_frame_);
    const char* fact_names[5] = {"image_size", "colour_depth", "frame_count", "frames_across", "frames_down"};
    for (int i = 0; i < 5; ++i) {
        facts_[i] = fact_label(this, fact_names[i]);
        fields->addWidget(facts_[i], row++, 0, 1, 2);
    }

    auto* trigger = new QGroupBox("Trigger", this);
    auto* trigger_layout = new QGridLayout(trigger);
    is_trigger_ = new QCheckBox("Is a trigger", trigger);
    is_trigger_->setObjectName("is_trigger");
    is_trigger_->setChecked(working_.is_trigger);
    circle_ = new QRadioButton("Circle", trigger);
    circle_->setObjectName("circle");
    rectangle_ = new QRadioButton("Rectangle", trigger);
    rectangle_->setObjectName("rectangle");
    (working_.trigger_is_a_circle ? circle_ : rectangle_)->setChecked(true);
    radius_ = make_number_edit(trigger, "trigger_radius", working_.default_circle_trigger_radius, false);
    trigger_width_ =
        make_number_edit(trigger, "trigger_width", working_.default_rectangle_trigger_width, false);
    trigger_height_ =
        make_number_edit(trigger, "trigger_height", working_.default_rectangle_trigger_height, false);
    trigger_layout->addWidget(is_trigger_, 0, 0, 1, 2);
    trigger_layout->addWidget(circle_, 1, 0);
    trigger_layout->addWidget(new QLabel("Default radius:", trigger), 1, 1);
    trigger_layout->addWidget(radius_, 1, 2);
    trigger_layout->addWidget(rectangle_, 2, 0);
    trigger_layout->addWidget(new QLabel("Default width, height:", trigger), 2, 1);
    trigger_layout->addWidget(trigger_width_, 2, 2);
    trigger_layout->addWidget(trigger_height_, 2, 3);
    fields->addWidget(trigger, row++, 0, 1, 2);
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
        // A loaded picture gives the entity its size.
        working_.pixel_width = static_cast<std::uint32_t>(image_.width);
        working_.pixel_height = static_cast<std::uint32_t>(image_.height);
        update_counts();
        preview_->update();
    });
    for (QLineEdit* edit : {frame_width_, frame_height_, offset_x_, offset_y_, space_x_, space_y_})
        connect(edit, &QLineEdit::textChanged, this, [this] { update_counts(); });
    connect(custom, &QPushButton::clicked, this, [this] {
        edit_object_custom_variables(this, project_, ObjectKind::ParentEntity, field_text(name_),
                                     working_.custom_variables, preferences_, platform_);
    });
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
}

void EntityDialog::store() {
    working_.name = field_text(name_);
    working_.user_supplied_id = static_cast<std::uint32_t>(number_value(user_id_, 0, kUnsignedMax, 0));
    working_.image_path_and_file_name = image_path_->path();
    working_.use_transparent_colour = use_colour_->isChecked();
    working_.single_frame_pixel_width = static_cast<std::int32_t>(
        number_value(frame_width_, kIntMin, kIntMax, working_.single_frame_pixel_width));
    working_.single_frame_pixel_height = static_cast<std::int32_t>(
        number_value(frame_height_, kIntMin, kIntMax, working_.single_frame_pixel_height));
    working_.first_frame_offset_pixel_x =
        static_cast<std::int32_t>(number_value(offset_x_, kIntMin, kIntMax, 0));
    working_.first_frame_offset_pixel_y =
        static_cast<std::int32_t>(number_value(offset_y_, kIntMin, kIntMax, 0));
    working_.space_between_frames_pixel_x =
        static_cast<std::int32_t>(number_value(space_x_, kIntMin, kIntMax, 0));
    working_.space_between_frames_pixel_y =
        static_cast<std::int32_t>(number_value(space_y_, kIntMin, kIntMax, 0));
    working_.preview_anima_frame = static_cast<std::int32_t>(number_value(preview_frame_, 0, kIntMax, 0));
    working_.is_trigger = is_trigger_->isChecked();
    working_.trigger_is_a_circle = circle_->isChecked();
    working_.default_circle_trigger_radius = static_cast<std::uint32_t>(
        number_value(radius_, kMinimumTriggerSize, kUnsignedMax, kMinimumTriggerSize));
    working_.default_rectangle_trigger_width = static_cast<std::uint32_t>(
        number_value(trigger_width_, kMinimumTriggerSize, kUnsignedMax, kMinimumTriggerSize));
    working_.default_rectangle_trigger_height = static_cast<std::uint32_t>(
        number_value(trigger_height_, kMinimumTriggerSize, kUnsignedMax, kMinimumTriggerSize));
}

void EntityDialog::update_counts() {
    store();
    const ImageFacts facts = image_facts(image_, count_frames(working_), "frames");
    const std::string* lines[5] = {&facts.size, &facts.depth, &facts.count, &facts.across, &facts.down};
    for (int i = 0; i < 5; ++i) facts_[i]->setText(to_qstring(*lines[i]));
}

void EntityDialog::accept() {
    if (!image_path_->leave()) return;
    store();
    const std::string warning = frame_size_warning(working_, image_);
    if (!warning.empty() && platform_.message_box(warning, "Warning", MessageButtons::OkCancel,
                                                  MessageIcon::Warning, Answer::Cancel) != Answer::Ok)
        return;
    // The trigger sizes are at least 4 and the preview frame one of the frames.
    sanitise_parent_entity(working_);
    edited_ = working_;
    project_.last_used_image_parent_entity_path = folder_;
    QDialog::accept();
}

}  // namespace zorva
