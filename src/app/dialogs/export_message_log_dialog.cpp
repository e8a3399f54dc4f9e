#include "app/dialogs/export_message_log_dialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "base/platform.h"
#include "prefs/preferences.h"
#include "qtplatform/qt_platform.h"

namespace zorva {

ExportMessageLogDialog::ExportMessageLogDialog(QWidget* parent, const std::vector<std::string>& lines,
                                               std::string export_folder, Preferences& preferences,
                                               Platform& platform, FolderOpener opener)
    : QDialog(parent),
      texts_(lines),
      folder_(std::move(export_folder)),
      preferences_(preferences),
      platform_(platform),
      opener_(std::move(opener)) {
    setObjectName("export_message_log");
    setWindowTitle("Export Messages/Errors");
    auto* layout = new QVBoxLayout(this);
    lines_ = new QListWidget(this);
    lines_->setObjectName("lines");
    lines_->setUniformItemSizes(true);
    lines_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    QStringList items;
    items.reserve(static_cast<qsizetype>(texts_.size()));
    for (const std::string& line : texts_) items << to_qstring(line);
    lines_->addItems(items);
    lines_->setMinimumSize(560, 300);
    layout->addWidget(lines_, 1);

    dont_show_ = new QCheckBox("Do not show this again", this);
    dont_show_->setObjectName("dont_show_again");
    dont_show_->setChecked(!preferences_.flag(FlagA::ShowExportMessagesWhenDone));
    layout->addWidget(dont_show_);

    auto* buttons = new QHBoxLayout;
    auto* copy = new QPushButton("Copy to clipboard", this);
    copy->setObjectName("copy");
    copy->setAutoDefault(false);
    auto* open_folder = new QPushButton("Open export folder", this);
    open_folder->setObjectName("open_folder");
    open_folder->setAutoDefault(false);
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("ok");
    ok->setDefault(true);
    buttons->addWidget(copy);
    buttons->addWidget(open_folder);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    layout->addLayout(buttons);

    connect(dont_show_, &QCheckBox::toggled, this,
            [this](bool on) { preferences_.set_flag(FlagA::ShowExportMessagesWhenDone, !on); });
    connect(copy, &QPushButton::clicked, this, [this] { copy_to_clipboard(); });
    connect(open_folder, &QPushButton::clicked, this, [this] { open_export_folder(); });
    connect(ok, &QPushButton::clicked, this, [this] { accept(); });

    // Centred on the screen.
    resize(640, 420);
    if (QScreen* screen = parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void ExportMessageLogDialog::copy_to_clipboard() {
    if (texts_.empty()) {
        platform_.message_box("There is nothing to copy to the clipboard.", "Nothing to copy",
                              MessageButtons::Ok, MessageIcon::Information, Answer::Ok);
        return;
    }
    std::string text;
    for (const std::string& line : texts_) {
        text += line;
        text += "\r\n";
    }
    QGuiApplication::clipboard()->setText(to_qstring(text));
}

void ExportMessageLogDialog::open_export_folder() {
    std::error_code error;
    if (folder_.empty() || !std::filesystem::is_directory(folder_, error)) return;
    const QString folder = to_qstring(folder_);
    const bool opened = opener_ ? opener_(folder) : QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
    if (!opened) {
        platform_.message_box(
            "No file manager could be started to show the folder. Open it yourself:\n\n" + folder_ + "\n\n",
            "Open export folder", MessageButtons::Ok, MessageIcon::Information, Answer::Ok);
    }
}

}  // namespace zorva
