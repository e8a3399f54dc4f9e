#include "app/dialogs/export_dialog.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <optional>

#include "base/ascii_text.h"
#include "base/platform.h"
#include "prefs/preferences.h"
#include "qtplatform/qt_platform.h"

namespace zorva {

ExportDialog::ExportDialog(QWidget* parent, const ExportChoice& choice,
                           const std::vector<std::filesystem::path>& exporter_folders,
                           Preferences& preferences, Platform& platform)
    : QDialog(parent), choice_(choice), preferences_(preferences), platform_(platform) {
    setObjectName("export_dialog");
    setWindowTitle("Export");
    auto* layout = new QVBoxLayout(this);

    layout->addWidget(new QLabel("Export to file:", this));
    auto* output_row = new QHBoxLayout;
    output_ = new QLineEdit(to_qstring(choice_.output_file), this);
    output_->setObjectName("output_file");
    output_->setMinimumWidth(380);
    auto* browse_button = new QPushButton("Browse...", this);
    browse_button->setObjectName("browse_output");
    browse_button->setAutoDefault(false);
    output_row->addWidget(output_, 1);
    output_row->addWidget(browse_button);
    layout->addLayout(output_row);

    use_folder_ = new QRadioButton("Use a DLL in the \"Exporters\" folder:", this);
    use_folder_->setObjectName("use_folder");
    layout->addWidget(use_folder_);
    list_ = new QListWidget(this);
    list_->setObjectName("exporter_list");
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const std::string& name : exporter_files(exporter_folders)) list_->addItem(to_qstring(name));
    layout->addWidget(list_);

    use_path_ = new QRadioButton("Use the following DLL:", this);
    use_path_->setObjectName("use_path");
    layout->addWidget(use_path_);
    auto* path_row = new QHBoxLayout;
    path_ = new QLineEdit(to_qstring(choice_.exporter_outside), this);
    path_->setObjectName("exporter_path");
    browse_path_ = new QPushButton("Browse...", this);
    browse_path_->setObjectName("browse_exporter");
    browse_path_->setAutoDefault(false);
    path_row->addWidget(path_, 1);
    path_row->addWidget(browse_path_);
    layout->addLayout(path_row);

    layout->addWidget(new QLabel("Selected exporter DLL:", this));
    selected_ = new QLabel(this);
    selected_->setObjectName("selected_exporter");
    selected_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(selected_);

    log_box_ = new QCheckBox("Show messages/errors when export is done", this);
    log_box_->setObjectName("show_messages");
    log_box_->setChecked(preferences_.flag(FlagA::ShowExportMessagesWhenDone));
    layout->addWidget(log_box_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    start_ = new QPushButton("Start Export", this);
    start_->setObjectName("start_export");
    start_->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cancel");
    cancel->setAutoDefault(false);
    buttons->addWidget(start_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);

    // The starting state: with the folder radio the entry of the chosen name (none when it is not there),
    // with the other radio the path.
    if (choice_.use_exporters_folder) {
        const std::string wanted = choice_.exporter;
        choice_.exporter.clear();
        for (int row = 0; row < list_->count(); ++row) {
            const std::string name = from_qstring(list_->item(row)->text());
            if (equal_ignoring_case(name, wanted)) {
                choice_.exporter = name;
                break;
            }
        }
    } else {
        choice_.exporter = choice_.exporter_outside;
    }
    show_state();

    connect(browse_button, &QPushButton::clicked, this, [this] { browse_output(); });
    connect(output_, &QLineEdit::textEdited, this,
            [this](const QString& text) { choice_.output_file = from_qstring(text); });
    connect(use_folder_, &QRadioButton::clicked, this, [this] { use_folder(true); });
    connect(use_path_, &QRadioButton::clicked, this, [this] { use_folder(false); });
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] { list_picked(); });
    connect(path_, &QLineEdit::textEdited, this, [this](const QString& text) { path_typed(text); });
    connect(browse_path_, &QPushButton::clicked, this, [this] { browse_exporter(); });
    connect(log_box_, &QCheckBox::toggled, this,
            [this](bool on) { preferences_.set_flag(FlagA::ShowExportMessagesWhenDone, on); });
    connect(start_, &QPushButton::clicked, this, [this] { accept(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });

    // Centred on the screen.
    adjustSize();
    if (QScreen* screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void ExportDialog::show_state() {
    showing_ = true;
    use_folder_->setChecked(choice_.use_exporters_folder);
    use_path_->setChecked(!choice_.use_exporters_folder);
    list_->setEnabled(choice_.use_exporters_folder);
    path_->setEnabled(!choice_.use_exporters_folder);
    if (choice_.use_exporters_folder) {
        list_->clearSelection();
        for (int row = 0; row < list_->count(); ++row) {
            QListWidgetItem* item = list_->item(row);
            if (!choice_.exporter.empty() && from_qstring(item->text()) == choice_.exporter) {
                item->setSelected(true);
                list_->scrollToItem(item);
            }
        }
    }
    selected_->setText(to_qstring(choice_.exporter));
    showing_ = false;
}

void ExportDialog::use_folder(bool on) {
    choice_.use_exporters_folder = on;
    if (on) {
        const QList<QListWidgetItem*> picked = list_->selectedItems();
        choice_.exporter = picked.isEmpty() ? std::string() : from_qstring(picked.front()->text());
    } else {
        choice_.exporter = choice_.exporter_outside;
    }
    show_state();
}

void ExportDialog::list_picked() {
    if (showing_) return;
    const QList<QListWidgetItem*> picked = list_->selectedItems();
    if (picked.isEmpty()) return;
    choice_.exporter = from_qstring(picked.front()->text());
    choice_.use_exporters_folder = true;
    show_state();
}

void ExportDialog::path_typed(const QString& text) {
    choice_.exporter_outside = from_qstring(text);
    choice_.exporter = choice_.exporter_outside;
    choice_.use_exporters_folder = false;
    show_state();
}

void ExportDialog::browse_output() {
    const std::string folder = output_folder(choice_.output_file);
    const std::size_t slash = choice_.output_file.find_last_of('/');
    const std::string name =
        slash == std::string::npos ? choice_.output_file : choice_.output_file.substr(slash + 1);
    // The chooser asks before an existing file is replaced.
    const std::optional<SaveChoice> chosen =
        platform_.choose_save_file("Export To File", {{"All Files (*)", {"*"}}}, folder, name);
    if (!chosen || chosen->path.empty()) return;
    choice_.output_file = chosen->path;
    output_->setText(to_qstring(choice_.output_file));
}

void ExportDialog::browse_exporter() {
    std::string start = output_folder(choice_.exporter_outside);
    const std::optional<std::string> chosen = platform_.choose_open_file(
        "Select DLL",
        {{std::string("DLL Files (*") + kExporterExtension + ")", {std::string("*") + kExporterExtension}}},
        start);
    if (!chosen || chosen->empty()) return;
    path_->setText(to_qstring(*chosen));
    path_typed(path_->text());
}

void ExportDialog::accept() {
    ExportProblem problem = check_exporter(choice_);
    if (!problem) problem = check_output_file(choice_.output_file);
    if (problem) {
        platform_.message_box(problem.text, problem.caption, MessageButtons::Ok, MessageIcon::Warning,
                              Answer::Ok);
        return;
    }
    QDialog::accept();
}

}  // namespace zorva
