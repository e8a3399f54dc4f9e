#include "app/dialogs/preferences_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStyleOptionButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "app/dialogs/dialog_parts.h"
#include "qtplatform/qt_platform.h"

namespace zorva {

namespace {

QString range_label(const char* format, long long min, long long max) {
    return QString::asprintf(format, min, max);
}

}  // namespace

PreferencesDialog::PreferencesDialog(Preferences& record, std::filesystem::path data_folder,
                                     Platform& platform, std::function<void()> default_dialog_positions,
                                     QWidget* parent)
    : QDialog(parent),
      record_(record),
      copy_(record),
      data_folder_(std::move(data_folder)),
      platform_(platform),
      default_dialog_positions_(std::move(default_dialog_positions)) {
    setWindowTitle("Preferences");
    build();
    load_controls();
}

PreferencesDialog::~PreferencesDialog() {
    // A field losing the focus while the children are destroyed must not reach this object.
    for (const NumberField& field : fields_)
        if (field.edit) field.edit->disconnect(this);
}

QWidget* PreferencesDialog::make_number_field(Field field, const char* object_name, const QString& label,
                                              long long min, long long max) {
    auto* box = new QWidget(this);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* caption = new QLabel(label, box);
    caption->setObjectName(QString::fromLatin1(object_name) + "_label");
    auto* edit = new QLineEdit(box);
    edit->setObjectName(QString::fromLatin1(object_name));
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,10}"), edit));
    edit->setMaximumWidth(80);
    caption->setBuddy(edit);
    layout->addWidget(caption);
    layout->addStretch(1);
    layout->addWidget(edit);
    fields_[field] = {edit, min, max};
    connect(edit, &QLineEdit::editingFinished, this, [this, field] { clamp_field(field); });
    return box;
}

void PreferencesDialog::build() {
    auto* outer = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    outer->addLayout(columns);
    auto* left = new QVBoxLayout;
    auto* right = new QVBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right);

    auto check_box = [this](std::size_t index, QWidget* parent_widget) {
        const PreferenceCheckBox& info = kPreferenceCheckBoxes[index];
        auto* box = new QCheckBox(QString::fromLatin1(info.text), parent_widget);
        box->setObjectName(QString::fromLatin1(info.object_name));
        check_boxes_[index] = box;
        return box;
    };

    // General behaviour.
    auto* general = new QGroupBox("General", this);
    auto* general_layout = new QVBoxLayout(general);
    for (std::size_t index : {0u, 1u, 2u, 3u, 4u, 10u, 8u, 9u})
        general_layout->addWidget(check_box(index, general));
    left->addWidget(general);

    auto* questions = new QGroupBox("Questions", this);
    auto* questions_layout = new QVBoxLayout(questions);
    for (std::size_t index : {5u, 6u, 7u}) questions_layout->addWidget(check_box(index, questions));
    left->addWidget(questions);

    auto* undo = new QGroupBox("Undo", this);
    auto* undo_layout = new QVBoxLayout(undo);
    undo_layout->addWidget(
        make_number_field(kUndo, "undo_count",
                          range_label("Number of Undos (%lld to %lld):", Preferences::kUndoCountMin,
                                      Preferences::kUndoCountMax),
                          Preferences::kUndoCountMin, Preferences::kUndoCountMax));
    auto* note = new QLabel(
        "Changes to Undo take effect when the program is closed\nand re-opened. It is also limited by "
        "available "
        "memory.",
        undo);
    note->setObjectName("undo_note");
    undo_layout->addWidget(note);
    left->addWidget(undo);

    left->addWidget(make_number_field(kRecent, "recent_count",
                                      range_label("Number of recent projects (%lld to %lld):",
                                                  Preferences::kRecentCountMin, Preferences::kRecentCountMax),
                                      Preferences::kRecentCountMin, Preferences::kRecentCountMax));
    left->addStretch(1);

    // Grid type and colours.
    auto* grid = new QGroupBox("Grid", this);
    auto* grid_layout = new QHBoxLayout(grid);
    const std::array<std::pair<const char*, const char*>, 3> grid_texts{{
        {"grid_dots", "Dots (faster)"},
        {"grid_dotted_lines", "Doted Lines (slower)"},
        {"grid_solid_lines", "Solid Lines"},
    }};
    for (std::size_t i = 0; i < grid_texts.size(); ++i) {
        grid_types_[i] = new QRadioButton(QString::fromLatin1(grid_texts[i].second), grid);
        grid_types_[i]->setObjectName(QString::fromLatin1(grid_texts[i].first));
        grid_layout->addWidget(grid_types_[i]);
    }
    right->addWidget(grid);

    auto* colours = new QGroupBox("Colours", this);
    auto* colours_layout = new QGridLayout(colours);
    // Viewport colours on the left, path colours on the right.
    const std::array<PrefColour, kPrefColourCount> order{
        PrefColour::Background,
        PrefColour::Grid,
        PrefColour::Selection,
        PrefColour::TilesDialogSelection,
        PrefColour::TilesDialogBackground,
        PrefColour::Triggers,
        PrefColour::EntitiesCustomVariables,
        PrefColour::Paths,
        PrefColour::SelectedPaths,
        PrefColour::PathControlLines,
        PrefColour::PathPoints,
        PrefColour::SelectedPathPoints,
        PrefColour::PathNormals,
    };
    for (std::size_t i = 0; i < order.size(); ++i) {
        const PrefColour which = order[i];
        const auto index = static_cast<std::size_t>(which);
        auto* box = new ColourBox([this, which] { return copy_.colour(which); }, colours);
        box->setObjectName(QString("colour_%1").arg(index));
        box->setToolTip(QString::fromLatin1(kPreferenceColourNames[index]));
        auto* caption = new QLabel(QString::fromLatin1(kPreferenceColourNames[index]), colours);
        caption->setBuddy(box);
        const int column = i < 7 ? 0 : 2;
        const int row = static_cast<int>(i < 7 ? i : i - 7);
        colours_layout->addWidget(box, row, column);
        colours_layout->addWidget(caption, row, column + 1);
        colour_boxes_[index] = box;
        connect(box, &QPushButton::clicked, this, [this, which] { choose_colour(which); });
    }
    colours_layout->setColumnMinimumWidth(1, 10);
    right->addWidget(colours);

    auto* paths = new QGroupBox("Paths", this);
    auto* paths_layout = new QVBoxLayout(paths);
    paths_layout->addWidget(make_number_field(
        kPathNormals, "path_normals_length",
        range_label("Path Normals' length (%lld to %lld pixels):", Preferences::kPathNormalsLengthMin,
                    Preferences::kPathNormalsLengthMax),
        Preferences::kPathNormalsLengthMin, Preferences::kPathNormalsLengthMax));
    // The curve smoothness is kept in the record but not editable.
    auto* bezier_label = new QLabel("Bezier curve smoothness (3 to 100):", paths);
    bezier_label->setObjectName("bezier_label");
    auto* bezier_edit = new QLineEdit(paths);
    bezier_edit->setObjectName("bezier_smoothness");
    auto* bezier_note = new QLabel("Smoother curves are slower.", paths);
    bezier_note->setObjectName("bezier_note");
    for (QWidget* hidden : {static_cast<QWidget*>(bezier_label), static_cast<QWidget*>(bezier_edit),
                            static_cast<QWidget*>(bezier_note)}) {
        hidden->setEnabled(false);
        hidden->setVisible(false);
        paths_layout->addWidget(hidden);
    }
    right->addWidget(paths);

    auto* backup = new QGroupBox("Auto backup", this);
    auto* backup_layout = new QVBoxLayout(backup);
    backup_layout->addWidget(check_box(11, backup));
    backup_layout->addWidget(make_number_field(
        kBackupInterval, "backup_interval",
        range_label("Backup interval time (%lld to %lld minutes):", Preferences::kBackupIntervalMin,
                    Preferences::kBackupIntervalMax),
        Preferences::kBackupIntervalMin, Preferences::kBackupIntervalMax));
    backup_layout->addWidget(make_number_field(
        kMaxBackups, "max_backup_files",
        range_label("Max number of backup files (%lld to %lld):", Preferences::kMaxBackupFilesMin,
                    Preferences::kMaxBackupFilesMax),
        Preferences::kMaxBackupFilesMin, Preferences::kMaxBackupFilesMax));
    std::string folder = data_folder_.string();
    if (!folder.empty() && folder.back() != '/') folder += '/';
    auto* location = new QLabel(to_qstring(folder + "Autoback/"), backup);
    location->setObjectName("backup_location");
    location->setTextInteractionFlags(Qt::TextSelectableByMouse);
    location->setWordWrap(true);
    backup_layout->addWidget(location);
    right->addWidget(backup);
    right->addStretch(1);

    // Buttons.
    auto* buttons = new QHBoxLayout;
    auto* restore = new QPushButton("Restore Default Settings", this);
    restore->setObjectName("restore_defaults");
    auto* positions = new QPushButton("Default Dialog Positions", this);
    positions->setObjectName("default_positions");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("ok");
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancel");
    for (QPushButton* button : {restore, positions, cancel}) button->setAutoDefault(false);
    ok->setDefault(true);
    buttons->addWidget(restore);
    buttons->addWidget(positions);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    outer->addLayout(buttons);
    connect(restore, &QPushButton::clicked, this, [this] { restore_defaults(); });
    connect(positions, &QPushButton::clicked, this, [this] { default_positions(); });
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
}

void PreferencesDialog::load_controls() {
    const auto set_number = [this](Field field, long long value) {
        fields_[field].edit->setText(
            QString::number(std::clamp(value, fields_[field].min, fields_[field].max)));
    };
    set_number(kUndo, copy_.undo_count());
    set_number(kPathNormals, copy_.path_normals_length());
    set_number(kBackupInterval, copy_.backup_interval_minutes());
    set_number(kMaxBackups, copy_.max_backup_files());
    set_number(kRecent, copy_.recent_count());

    const auto type = static_cast<std::size_t>(copy_.grid_type());
    grid_types_[type < grid_types_.size() ? type : 0]->setChecked(true);

    for (std::size_t i = 0; i < kPreferenceCheckBoxes.size(); ++i) {
        const PreferenceCheckBox& info = kPreferenceCheckBoxes[i];
        check_boxes_[i]->setChecked(info.in_flags_c ? copy_.flag(static_cast<FlagC>(info.bit))
                                                    : copy_.flag(static_cast<FlagA>(info.bit)));
    }
    for (QPushButton* box : colour_boxes_) box->update();
}

long long PreferencesDialog::field_value(Field field) const {
    bool ok = false;
    const long long value = fields_[field].edit->text().toLongLong(&ok);
    return std::clamp(ok ? value : fields_[field].min, fields_[field].min, fields_[field].max);
}

void PreferencesDialog::clamp_field(Field field) {
    const QString text = QString::number(field_value(field));
    if (fields_[field].edit->text() != text) fields_[field].edit->setText(text);
}

void PreferencesDialog::store_controls() {
    copy_.set_undo_count(static_cast<std::int32_t>(field_value(kUndo)));
    copy_.set_path_normals_length(static_cast<std::uint32_t>(field_value(kPathNormals)));
    copy_.set_backup_interval_minutes(static_cast<std::uint32_t>(field_value(kBackupInterval)));
    copy_.set_max_backup_files(static_cast<std::uint32_t>(field_value(kMaxBackups)));
    copy_.set_recent_count(static_cast<std::uint32_t>(field_value(kRecent)));

    for (std::size_t i = 0; i < grid_types_.size(); ++i)
        if (grid_types_[i]->isChecked()) copy_.set_grid_type(static_cast<GridType>(i));

    for (std::size_t i = 0; i < kPreferenceCheckBoxes.size(); ++i) {
        const PreferenceCheckBox& info = kPreferenceCheckBoxes[i];
        if (info.in_flags_c)
            copy_.set_flag(static_cast<FlagC>(info.bit), check_boxes_[i]->isChecked());
        else
            copy_.set_flag(static_cast<FlagA>(info.bit), check_boxes_[i]->isChecked());
    }
}

void PreferencesDialog::choose_colour(PrefColour which) {
    if (const std::optional<std::uint32_t> chosen = platform_.choose_colour(copy_.colour(which))) {
        copy_.set_colour(which, *chosen & 0x00FFFFFFu);
        colour_boxes_[static_cast<std::size_t>(which)]->update();
    }
}

void PreferencesDialog::restore_defaults() {
    if (platform_.message_box("Restore default settings?", "Restore defaults", MessageButtons::YesNo,
                              MessageIcon::Question, Answer::Yes) != Answer::Yes)
        return;
    store_controls();
    copy_.reset(false);
    load_controls();
}

void PreferencesDialog::default_positions() {
    if (platform_.message_box("Restore default dialog positions?", "Restore positions?",
                              MessageButtons::YesNo, MessageIcon::Question, Answer::Yes) != Answer::Yes)
        return;
    if (default_dialog_positions_) default_dialog_positions_();
}

void PreferencesDialog::accept() {
    store_controls();
    record_ = copy_;
    settings_saved_ = record_.save(Preferences::settings_file(data_folder_));
    QDialog::accept();
}

bool run_preferences_dialog(QWidget* parent, Preferences& record, const std::filesystem::path& data_folder,
                            Platform& platform, std::function<void()> default_dialog_positions) {
    PreferencesDialog dialog(record, data_folder, platform, std::move(default_dialog_positions), parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace zorva
