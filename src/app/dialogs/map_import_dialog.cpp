#include "app/dialogs/map_import_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <system_error>

#include "app/import_preferences.h"
#include "base/ascii_text.h"
#include "image/image_loader.h"
#include "qtplatform/qt_platform.h"

namespace zorva {

namespace {

// A push button painted in the chosen colour; a click opens the colour chooser.
class ColourSwatch : public QPushButton {
public:
    ColourSwatch(const std::uint32_t& colour, QWidget* parent) : QPushButton(parent), colour_(colour) {
        setFixedSize(44, 20);
        setAutoDefault(false);
        setToolTip("Click colour to edit");
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = rect().adjusted(0, 0, -1, -1);
        painter.fillRect(area, to_qcolor(colour_));
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(area);
        if (hasFocus()) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
            painter.drawRect(area.adjusted(2, 2, -2, -2));
        }
    }

private:
    const std::uint32_t& colour_;
};

const std::vector<FileFilter>& settings_filters() {
    static const std::vector<FileFilter> filters{
        {std::string("Zorva Importer Settings Files (*") + zis::kExtension + ")",
         {std::string("*") + zis::kExtension}}};
    return filters;
}

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::uint32_t unsigned_value(const QLineEdit* edit) {
    const unsigned long long value = std::strtoull(edit->text().toLatin1().constData(), nullptr, 10);
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

std::int32_t signed_value(const QLineEdit* edit) {
    const long long value = std::strtoll(edit->text().toLatin1().constData(), nullptr, 10);
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

// The lists offer 1 to 4 bytes; a settings file may hold another size, shown as the nearest one.
int size_index(std::uint32_t size) { return size < 1 ? 0 : (size > 4 ? 3 : static_cast<int>(size) - 1); }

QComboBox* size_list(const char* object_name, QWidget* parent) {
    auto* list = new QComboBox(parent);
    list->setObjectName(object_name);
    list->addItems({"1", "2", "3", "4"});
    return list;
}

QLabel* label_for(const char* text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(buddy->objectName() + "_label");
    label->setBuddy(buddy);
    return label;
}

}  // namespace

MapImportDialog::MapImportDialog(const ImportSettings& initial, Preferences& preferences, Platform& platform,
                                 QWidget* parent)
    : QDialog(parent), preferences_(preferences), platform_(platform) {
    setWindowTitle("Import Binary MAP File");
    build();
    show_settings(initial);
    changed_ = false;
}

MapImportDialog::~MapImportDialog() = default;

QLineEdit* MapImportDialog::add_number(const char* object_name, bool is_signed) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(object_name);
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(is_signed ? "-?[0-9]{0,10}" : "[0-9]{0,10}"), edit));
    edit->setMaximumWidth(90);
    connect(edit, &QLineEdit::textEdited, this, [this] { mark_changed(); });
    return edit;
}

void MapImportDialog::build() {
    auto* outer = new QVBoxLayout(this);

    // The files.
    auto* files = new QGroupBox(this);
    auto* files_layout = new QGridLayout(files);
    // Created in the order the Tab key visits them.
    map_file_ = new QLineEdit(files);
    map_file_->setObjectName("map_file");
    map_file_->setMaxLength(static_cast<int>(kPathLength));
    map_file_->setMinimumWidth(360);
    auto* map_browse = new QPushButton("Browse...", files);
    map_browse->setObjectName("map_file_browse");
    map_browse->setAutoDefault(false);
    tile_set_image_ = new QLineEdit(files);
    tile_set_image_->setObjectName("tile_set_image");
    tile_set_image_->setMaxLength(static_cast<int>(kPathLength));
    auto* image_browse = new QPushButton("Browse...", files);
    image_browse->setObjectName("tile_set_image_browse");
    image_browse->setAutoDefault(false);
    files_layout->addWidget(label_for("MAP file to import:", map_file_, files), 0, 0);
    files_layout->addWidget(map_file_, 0, 1);
    files_layout->addWidget(map_browse, 0, 2);
    files_layout->addWidget(label_for("Tile Set image file:", tile_set_image_, files), 1, 0);
    files_layout->addWidget(tile_set_image_, 1, 1);
    files_layout->addWidget(image_browse, 1, 2);
    outer->addWidget(files);
    for (QLineEdit* edit : {map_file_, tile_set_image_})
        connect(edit, &QLineEdit::textEdited, this, [this] { mark_changed(); });
    connect(map_browse, &QPushButton::clicked, this, [this] { browse_map_file(); });
    connect(image_browse, &QPushButton::clicked, this, [this] { browse_tile_set_image(); });

    // The tile set.
    auto* tiles = new QGroupBox(this);
    auto* tiles_layout = new QGridLayout(tiles);
    tile_width_ = add_number("tile_width", false);
    tile_height_ = add_number("tile_height", false);
    use_transparent_colour_ = new QCheckBox("Use transparent colour", tiles);
    use_transparent_colour_->setObjectName("use_transparent_colour");
    colour_box_ = new ColourSwatch(colour_, tiles);
    colour_box_->setObjectName("transparent_colour");
    tiles_layout->addWidget(label_for("Tile Width (in pixels):", tile_width_, tiles), 0, 0);
    tiles_layout->addWidget(tile_width_, 0, 1);
    tiles_layout->addWidget(use_transparent_colour_, 0, 3);
    tiles_layout->addWidget(label_for("Tile Height (in pixels):", tile_height_, tiles), 1, 0);
    tiles_layout->addWidget(tile_height_, 1, 1);
    auto* swatch_row = new QHBoxLayout;
    swatch_row->addWidget(colour_box_);
    auto* swatch_label = new QLabel("Click colour to edit", tiles);
    swatch_label->setObjectName("transparent_colour_label");
    swatch_row->addWidget(swatch_label);
    swatch_row->addStretch(1);
    tiles_layout->addLayout(swatch_row, 1, 3);
    tiles_layout->setColumnMinimumWidth(2, 24);
    tiles_layout->setColumnStretch(3, 1);
    outer->addWidget(tiles);
    connect(colour_box_, &QPushButton::clicked, this, [this] { choose_colour(); });

    // Width and height side by side.
    auto* sizes = new QHBoxLayout;
    auto side = [this](const char* from_file_text, const char* from_file_name, const char* fixed_text,
                       const char* fixed_name, const char* field_text, const char* field_name,
                       const char* position_text, const char* use_position_name, const char* position_name,
                       QCheckBox*& from_file, QLineEdit*& fixed, QComboBox*& field, QCheckBox*& use_position,
                       QLineEdit*& position) {
        auto* box = new QGroupBox(this);
        auto* layout = new QGridLayout(box);
        fixed = add_number(fixed_name, false);
        from_file = new QCheckBox(from_file_text, box);
        from_file->setObjectName(from_file_name);
        field = size_list(field_name, box);
        use_position = new QCheckBox(position_text, box);
        use_position->setObjectName(use_position_name);
        position = add_number(position_name, true);
        layout->addWidget(label_for(fixed_text, fixed, box), 0, 0);
        layout->addWidget(fixed, 0, 1);
        layout->addWidget(from_file, 1, 0, 1, 2);
        layout->addWidget(label_for(field_text, field, box), 2, 0);
        layout->addWidget(field, 2, 1);
        layout->addWidget(use_position, 3, 0);
        layout->addWidget(position, 3, 1);
        layout->setColumnStretch(0, 1);
        return box;
    };
    sizes->addWidget(
        side("Get the Map Width from the MAP file.", "width_from_file", "Map Width (in tiles):", "map_width",
             "Size of Width field in the file (bytes):", "width_field_size",
             "Start position of Width field in MAP file (bytes):", "use_width_position", "width_position",
             width_from_file_, map_width_, width_field_size_, use_width_position_, width_position_));
    sizes->addWidget(side(
        "Get the Map Height from the MAP file.", "height_from_file", "Map Height (in tiles):", "map_height",
        "Size of Heigth field in the file (bytes):", "height_field_size",
        "Start position of Height field in MAP file (bytes):", "use_height_position", "height_position",
        height_from_file_, map_height_, height_field_size_, use_height_position_, height_position_));
    outer->addLayout(sizes);

    // The cells.
    auto* cells = new QGroupBox(this);
    auto* cells_layout = new QGridLayout(cells);
    use_map_array_position_ = new QCheckBox("Start position of Map Array in MAP file (bytes):", cells);
    use_map_array_position_->setObjectName("use_map_array_position");
    map_array_position_ = add_number("map_array_position", true);
    cell_size_ = size_list("cell_size", cells);
    tile_index_adjuster_ = add_number("tile_index_adjuster", true);
    skip_after_cell_ = add_number("skip_after_cell", false);
    skip_after_layer_ = add_number("skip_after_layer", false);
    invert_layer_order_ = new QCheckBox("Invert Layer order", cells);
    invert_layer_order_->setObjectName("invert_layer_order");
    cells_layout->addWidget(use_map_array_position_, 0, 0);
    cells_layout->addWidget(map_array_position_, 0, 1);
    cells_layout->addWidget(label_for("Size of each cell (bytes):", cell_size_, cells), 1, 0);
    cells_layout->addWidget(cell_size_, 1, 1);
    cells_layout->addWidget(label_for("Tile index adjuster:", tile_index_adjuster_, cells), 2, 0);
    cells_layout->addWidget(tile_index_adjuster_, 2, 1);
    cells_layout->addWidget(
        label_for("Number of bytes to skip after reading each cell:", skip_after_cell_, cells), 3, 0);
    cells_layout->addWidget(skip_after_cell_, 3, 1);
    cells_layout->addWidget(
        label_for("Number of bytes to skip after reading each Layer:", skip_after_layer_, cells), 4, 0);
    cells_layout->addWidget(skip_after_layer_, 4, 1);
    cells_layout->addWidget(invert_layer_order_, 5, 0, 1, 2);
    cells_layout->setColumnStretch(0, 1);
    outer->addWidget(cells);

    merge_ = new QCheckBox("Merge Map into current project (this can not be undone)", this);
    merge_->setObjectName("merge");
    outer->addWidget(merge_);

    auto* buttons = new QHBoxLayout;
    auto button = [this, buttons](const char* text, const char* name) {
        auto* made = new QPushButton(text, this);
        made->setObjectName(name);
        made->setAutoDefault(false);
        buttons->addWidget(made);
        return made;
    };
    QPushButton* save = button("Save Settings", "save_settings");
    QPushButton* load = button("Load Settings", "load_settings");
    buttons->addStretch(1);
    QPushButton* import = button("Import", "import");
    QPushButton* cancel = button("Cancel", "cancel");
    import->setDefault(true);
    outer->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, [this] { save_settings_file(); });
    connect(load, &QPushButton::clicked, this, [this] { load_settings_file(); });
    connect(import, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });

    // Switches change the enabling and mark a change; lists mark a change when the user picks an item.
    for (QCheckBox* box : {width_from_file_, height_from_file_, use_width_position_, use_height_position_,
                           use_map_array_position_, use_transparent_colour_, invert_layer_order_, merge_}) {
        connect(box, &QCheckBox::toggled, this, [this] {
            update_enabling();
            mark_changed();
        });
    }
    for (QComboBox* list : {width_field_size_, height_field_size_, cell_size_})
        connect(list, &QComboBox::currentIndexChanged, this, [this] { mark_changed(); });
}

void MapImportDialog::show_settings(const ImportSettings& s) {
    showing_ = true;
    map_file_->setText(to_qstring(s.map_file.view()));
    tile_set_image_->setText(to_qstring(s.tile_set_image.view()));
    tile_width_->setText(QString::number(s.tile_width));
    tile_height_->setText(QString::number(s.tile_height));
    map_width_->setText(QString::number(s.map_width));
    map_height_->setText(QString::number(s.map_height));
    width_from_file_->setChecked(s.width_from_file);
    height_from_file_->setChecked(s.height_from_file);
    width_field_size_->setCurrentIndex(size_index(s.width_field_size));
    height_field_size_->setCurrentIndex(size_index(s.height_field_size));
    use_width_position_->setChecked(s.use_width_position);
    width_position_->setText(QString::number(s.width_position));
    use_height_position_->setChecked(s.use_height_position);
    height_position_->setText(QString::number(s.height_position));
    use_map_array_position_->setChecked(s.use_map_array_position);
    map_array_position_->setText(QString::number(s.map_array_position));
    cell_size_->setCurrentIndex(size_index(s.cell_size));
    tile_index_adjuster_->setText(QString::number(s.tile_index_adjuster));
    skip_after_cell_->setText(QString::number(s.skip_after_cell));
    skip_after_layer_->setText(QString::number(s.skip_after_layer));
    use_transparent_colour_->setChecked(s.use_transparent_colour);
    colour_ = s.transparent_colour & 0x00FFFFFFu;
    colour_box_->update();
    invert_layer_order_->setChecked(s.invert_layer_order);
    merge_->setChecked(s.merge);
    update_enabling();
    showing_ = false;
}

ImportSettings MapImportDialog::settings() const {
    ImportSettings s;
    s.map_file = from_qstring(map_file_->text());
    s.tile_set_image = from_qstring(tile_set_image_->text());
    s.tile_width = unsigned_value(tile_width_);
    s.tile_height = unsigned_value(tile_height_);
    s.map_width = unsigned_value(map_width_);
    s.map_height = unsigned_value(map_height_);
    s.width_from_file = width_from_file_->isChecked();
    s.height_from_file = height_from_file_->isChecked();
    s.width_field_size = static_cast<std::uint32_t>(width_field_size_->currentIndex() + 1);
    s.height_field_size = static_cast<std::uint32_t>(height_field_size_->currentIndex() + 1);
    s.use_width_position = use_width_position_->isChecked();
    s.width_position = signed_value(width_position_);
    s.use_height_position = use_height_position_->isChecked();
    s.height_position = signed_value(height_position_);
    s.use_map_array_position = use_map_array_position_->isChecked();
    s.map_array_position = signed_value(map_array_position_);
    s.cell_size = static_cast<std::uint32_t>(cell_size_->currentIndex() + 1);
    s.tile_index_adjuster = signed_value(tile_index_adjuster_);
    s.skip_after_cell = unsigned_value(skip_after_cell_);
    s.skip_after_layer = unsigned_value(skip_after_layer_);
    s.use_transparent_colour = use_transparent_colour_->isChecked();
    s.transparent_colour = colour_;
    s.invert_layer_order = invert_layer_order_->isChecked();
    s.merge = merge_->isChecked();
    return s;
}

void MapImportDialog::update_enabling() {
    const bool width = width_from_file_->isChecked();
    map_width_->setEnabled(!width);
    width_field_size_->setEnabled(width);
    use_width_position_->setEnabled(width);
    width_position_->setEnabled(width && use_width_position_->isChecked());
    const bool height = height_from_file_->isChecked();
    map_height_->setEnabled(!height);
    height_field_size_->setEnabled(height);
    use_height_position_->setEnabled(height);
    height_position_->setEnabled(height && use_height_position_->isChecked());
    map_array_position_->setEnabled(use_map_array_position_->isChecked());
}

void MapImportDialog::mark_changed() {
    if (!showing_) changed_ = true;
}

void MapImportDialog::browse_map_file() {
    std::string start = folder_of(from_qstring(map_file_->text()));
    if (start.empty()) start = folder_of(preferences_.text(pref_offset::kImportMapFolder));
    const std::optional<std::string> chosen =
        platform_.choose_open_file("Select MAP File", {{"All Files", {"*"}}}, start);
    if (!chosen || chosen->empty()) return;
    map_file_->setText(to_qstring(*chosen));
    mark_changed();
}

void MapImportDialog::browse_tile_set_image() {
    std::string start = folder_of(from_qstring(tile_set_image_->text()));
    if (start.empty()) start = preferences_.last_image_folder();
    std::vector<FileFilter> filters;
    FileFilter images{"Image Files", {}};
    for (const ImageKindRow& row : kImageKinds) images.patterns.push_back("*" + std::string(row.extension));
    filters.push_back(images);
    filters.push_back({"All Files", {"*"}});
    const std::optional<std::string> chosen = platform_.choose_open_file("Select MAP File", filters, start);
    if (!chosen || chosen->empty()) return;
    tile_set_image_->setText(to_qstring(*chosen));
    preferences_.set_last_image_folder(folder_of(*chosen));
    mark_changed();
}

void MapImportDialog::choose_colour() {
    if (const std::optional<std::uint32_t> chosen = platform_.choose_colour(colour_)) {
        colour_ = *chosen & 0x00FFFFFFu;
        colour_box_->update();
        mark_changed();
    }
}

bool MapImportDialog::save_settings_file() {
    const std::string remembered = remembered_import_settings_file(preferences_);
    const std::string proposed = remembered.substr(folder_of(remembered).size());
    // Without a settings file remembered, the choosers open beside the MAP file.
    std::string start = import_settings_save_folder(preferences_);
    if (start.empty()) start = folder_of(from_qstring(map_file_->text()));
    const std::optional<SaveChoice> chosen =
        platform_.choose_save_file("Save Settings", settings_filters(), start, proposed);
    if (!chosen || chosen->path.empty()) return false;
    std::string path = chosen->path;
    // The chooser has asked before replacing a name typed complete; one the extension was added to is
    // asked about here.
    if (!ends_with_ignoring_case(path, zis::kExtension)) {
        path += zis::kExtension;
        std::error_code error;
        if (std::filesystem::exists(path, error) &&
            platform_.message_box("Do you want to over write the file? \n\n" + path + "\n\n",
                                  "Overwrite file?", MessageButtons::YesNo, MessageIcon::Question,
                                  Answer::No) != Answer::Yes)
            return false;
    }
    if (!write_import_settings_file(path, settings())) {
        platform_.message_box("Failed to create the file:\n\n" + path + "\n\n", "Save Error",
                              MessageButtons::Ok, MessageIcon::Stop, Answer::Ok);
        return false;
    }
    remember_import_settings_file(preferences_, path, true);
    changed_ = false;
    return true;
}

bool MapImportDialog::load_settings_file() {
    std::string start = folder_of(remembered_import_settings_file(preferences_));
    if (start.empty()) start = folder_of(from_qstring(map_file_->text()));
    const std::optional<std::string> chosen =
        platform_.choose_open_file("Load Settings", settings_filters(), start);
    if (!chosen || chosen->empty()) return false;
    const ImportSettingsRead read = read_import_settings_file(*chosen);
    if (!read.ok) {
        std::string text = "Failed to open the file:\n\n" + *chosen + "\n\n";
        if (!read.error.empty()) text += read.error + "\n\n";
        platform_.message_box(text, "Load Error", MessageButtons::Ok, MessageIcon::Stop, Answer::Ok);
        return false;
    }
    show_settings(read.settings);
    remember_import_settings_file(preferences_, *chosen, false);
    changed_ = false;
    return true;
}

bool MapImportDialog::may_leave() {
    if (!changed_) return true;
    const Answer answer =
        platform_.message_box("Do you want to save the changes?", "Save Changes", MessageButtons::YesNoCancel,
                              MessageIcon::Question, Answer::Yes);
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::Yes) return save_settings_file();
    return true;
}

void MapImportDialog::accept() {
    if (may_leave()) QDialog::accept();
}

void MapImportDialog::reject() {
    if (may_leave()) QDialog::reject();
}

std::optional<ImportSettings> run_map_import_dialog(QWidget* parent, const ImportSettings& initial,
                                                    Preferences& preferences, Platform& platform) {
    MapImportDialog dialog(initial, preferences, platform, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.settings();
}

}  // namespace zorva
