#include "app/dialogs/layer_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QVBoxLayout>
#include <cstdio>
#include <limits>

#include "app/dialogs/custom_variables_dialog.h"
#include "app/dialogs/dialog_parts.h"
#include "model/project.h"
#include "qtplatform/qt_platform.h"

namespace zorva {

namespace {

QLineEdit* speed_edit(QWidget* parent, const char* name, float value) {
    auto* edit = new QLineEdit(to_qstring(format_float(value)), parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression("-?[0-9]{0,9}([.,][0-9]{0,9})?"), edit));
    edit->setMaximumWidth(90);
    return edit;
}

}  // namespace

LayerDialog::LayerDialog(LayerProperties& edited, bool is_new, Project& project, Preferences& preferences,
                         Platform& platform, QWidget* parent)
    : QDialog(parent),
      edited_(edited),
      working_(edited),
      project_(project),
      preferences_(preferences),
      platform_(platform),
      folder_(project.last_used_image_layer_background_path),
      warned_cells_(static_cast<long long>(edited.grid_width) * edited.grid_height) {
    setWindowTitle(is_new ? "New Layer" : "Layer Properties");
    auto* outer = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    outer->addLayout(grid);
    int row = 0;
    auto add_pair = [&](const char* caption, QWidget* first, QWidget* second = nullptr) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(first);
        grid->addWidget(label, row, 0);
        grid->addWidget(first, row, 1);
        if (second) grid->addWidget(second, row, 2);
        ++row;
    };

    name_ = make_text_edit(this, "name", working_.name.view(), static_cast<int>(kNameLength));
    add_pair("Name:", name_);
    user_id_ = make_number_edit(this, "user_id", working_.user_supplied_id, false);
    add_pair("User ID:", user_id_);
    main_layer_ = new QCheckBox("Main layer", this);
    main_layer_->setObjectName("is_main_layer");
    main_layer_->setChecked(working_.is_main_layer);
    grid->addWidget(main_layer_, row++, 1);
    width_ = make_number_edit(this, "grid_width", working_.grid_width, true);
    height_ = make_number_edit(this, "grid_height", working_.grid_height, true);
    add_pair("Size in tiles (width, height):", width_, height_);
    offset_x_ = make_number_edit(this, "offset_x", working_.grid_offset_x, true);
    offset_y_ = make_number_edit(this, "offset_y", working_.grid_offset_y, true);
    add_pair("Offset in tiles (x, y):", offset_x_, offset_y_);
    speed_x_ = speed_edit(this, "scroll_speed_x", working_.scroll_speed_x);
    speed_y_ = speed_edit(this, "scroll_speed_y", working_.scroll_speed_y);
    add_pair("Scroll speed (e.g: 1.5).\nHas no effect in editor:", speed_x_, speed_y_);
    wrap_x_ = new QCheckBox("Wrap X", this);
    wrap_x_->setObjectName("wrap_x");
    wrap_x_->setChecked(working_.wrap_x);
    wrap_y_ = new QCheckBox("Wrap Y", this);
    wrap_y_->setObjectName("wrap_y");
    wrap_y_->setChecked(working_.wrap_y);
    grid->addWidget(wrap_x_, row, 1);
    grid->addWidget(wrap_y_, row++, 2);

    opacity_ = new QSlider(Qt::Horizontal, this);
    opacity_->setObjectName("opacity");
    opacity_->setRange(0, 255);
    opacity_->setValue(working_.opacity);
    opacity_value_ = new QLabel(QString::number(working_.opacity), this);
    opacity_value_->setObjectName("opacity_value");
    add_pair("Opacity:", opacity_, opacity_value_);

    auto* background = new QGroupBox("Background", this);
    auto* background_layout = new QGridLayout(background);
    use_colour_ = new QCheckBox("Use background colour", background);
    use_colour_->setObjectName("use_background_colour");
    use_colour_->setChecked(working_.use_background_colour);
    colour_box_ = new ColourBox([this] { return working_.background_colour; }, background);
    colour_box_->setObjectName("background_colour");
    background_layout->addWidget(use_colour_, 0, 0);
    background_layout->addWidget(colour_box_, 0, 1, Qt::AlignLeft);
    use_image_ = new QCheckBox("Use background image", background);
    use_image_->setObjectName("use_background_image");
    use_image_->setChecked(working_.use_background_image);
    background_layout->addWidget(use_image_, 1, 0);
    image_path_ = new ImagePathField("background_image", working_.background_image_path_and_file_name.view(),
                                     background_, preferences_, platform_, &folder_, background);
    image_path_->setMinimumWidth(280);
    background_layout->addWidget(image_path_, 1, 1);
    grid->addWidget(background, row++, 0, 1, 4);

    const Layer* layer = find_layer(project_, working_.map_id, working_.unique_id);
    char text[64];
    std::snprintf(text, sizeof text, "Number of Entities:  %ld",
                  static_cast<long>(layer ? layer->instance_entity_count() : 0));
    auto* entities = new QLabel(text, this);
    entities->setObjectName("entity_count");
    grid->addWidget(entities, row++, 0, 1, 3);
    std::snprintf(text, sizeof text, "Number of Paths:  %ld",
                  static_cast<long>(layer ? layer->path_count() : 0));
    auto* paths = new QLabel(text, this);
    paths->setObjectName("path_count");
    grid->addWidget(paths, row++, 0, 1, 3);

    // The pairs of fields stay side by side; what is left over goes to an empty last column.
    grid->setColumnStretch(3, 1);

    QPushButton* custom = nullptr;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    add_dialog_buttons(this, outer, &custom, &ok, &cancel);

    connect(opacity_, &QSlider::valueChanged, this,
            [this](int value) { opacity_value_->setText(QString::number(value)); });
    connect(colour_box_, &QPushButton::clicked, this, [this] {
        if (const std::optional<std::uint32_t> chosen = platform_.choose_colour(working_.background_colour)) {
            working_.background_colour = *chosen & 0x00FFFFFFu;
            colour_box_->update();
        }
    });
    for (QLineEdit* edit : {width_, height_})
        connect(edit, &QLineEdit::editingFinished, this, [this] { size_left(); });
    connect(custom, &QPushButton::clicked, this, [this] {
        edit_object_custom_variables(this, project_, ObjectKind::Layer, field_text(name_),
                                     working_.custom_variables, preferences_, platform_);
    });
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
}

LayerDialog::~LayerDialog() {
    for (QLineEdit* edit : findChildren<QLineEdit*>()) edit->disconnect();
}

void LayerDialog::size_left() {
    const std::int32_t width = layer_dimension(number_value(width_, kIntMin, kIntMax, working_.grid_width));
    const std::int32_t height =
        layer_dimension(number_value(height_, kIntMin, kIntMax, working_.grid_height));
    if (width_->text() != QString::number(width)) width_->setText(QString::number(width));
    if (height_->text() != QString::number(height)) height_->setText(QString::number(height));
    const long long cells = static_cast<long long>(width) * height;
    if (layer_size_is_big(width, height) && cells != warned_cells_) {
        warned_cells_ = cells;
        platform_.message_box(kLayerSizeWarning, "Warning", MessageButtons::Ok, MessageIcon::Warning,
                              Answer::Ok);
    }
}

void LayerDialog::store() {
    working_.name = field_text(name_);
    working_.user_supplied_id =
        static_cast<std::uint32_t>(number_value(user_id_, 0, std::numeric_limits<std::uint32_t>::max(), 0));
    working_.is_main_layer = main_layer_->isChecked();
    working_.grid_width = layer_dimension(number_value(width_, kIntMin, kIntMax, working_.grid_width));
    working_.grid_height = layer_dimension(number_value(height_, kIntMin, kIntMax, working_.grid_height));
    working_.grid_offset_x = static_cast<std::int32_t>(number_value(offset_x_, kIntMin, kIntMax, 0));
    working_.grid_offset_y = static_cast<std::int32_t>(number_value(offset_y_, kIntMin, kIntMax, 0));
    working_.scroll_speed_x = parse_float(field_text(speed_x_), working_.scroll_speed_x);
    working_.scroll_speed_y = parse_float(field_text(speed_y_), working_.scroll_speed_y);
    working_.wrap_x = wrap_x_->isChecked();
    working_.wrap_y = wrap_y_->isChecked();
    working_.opacity = static_cast<std::uint8_t>(opacity_->value());
    working_.use_background_colour = use_colour_->isChecked();
    working_.use_background_image = use_image_->isChecked();
    working_.background_image_path_and_file_name = image_path_->path();
}

void LayerDialog::accept() {
    if (!image_path_->leave()) return;
    size_left();
    store();
    edited_ = working_;
    project_.last_used_image_layer_background_path = folder_;
    QDialog::accept();
}

}  // namespace zorva
