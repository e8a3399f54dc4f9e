#include "exporters/binmapfile/qt_dialog_platform.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace zorva::binmap {
namespace {

QString to_q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString filter_text(const std::vector<FileFilter>& filters) {
    QStringList parts;
    for (const FileFilter& filter : filters) {
        QStringList patterns;
        for (const std::string& pattern : filter.patterns) patterns << QString::fromStdString(pattern);
        parts << QString::fromStdString(filter.name) + " (" + patterns.join(' ') + ")";
    }
    return parts.join(";;");
}

QMessageBox::StandardButton button_of(Answer answer) {
    switch (answer) {
        case Answer::Ok:
            return QMessageBox::Ok;
        case Answer::Cancel:
            return QMessageBox::Cancel;
        case Answer::Yes:
            return QMessageBox::Yes;
        case Answer::No:
            return QMessageBox::No;
    }
    return QMessageBox::NoButton;
}

}  // namespace

Answer QtDialogPlatform::message_box(std::string_view text, std::string_view caption, MessageButtons buttons,
                                     MessageIcon icon, Answer default_answer) {
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    switch (buttons) {
        case MessageButtons::Ok:
            standard = QMessageBox::Ok;
            break;
        case MessageButtons::OkCancel:
            standard = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case MessageButtons::YesNo:
            standard = QMessageBox::Yes | QMessageBox::No;
            break;
        case MessageButtons::YesNoCancel:
            standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
    }
    QMessageBox::Icon shown = QMessageBox::NoIcon;
    switch (icon) {
        case MessageIcon::None:
            shown = QMessageBox::NoIcon;
            break;
        case MessageIcon::Information:
            shown = QMessageBox::Information;
            break;
        case MessageIcon::Warning:
            shown = QMessageBox::Warning;
            break;
        case MessageIcon::Stop:
            shown = QMessageBox::Critical;
            break;
        case MessageIcon::Question:
            shown = QMessageBox::Question;
            break;
    }
    QMessageBox box(shown, to_q(caption), to_q(text), standard, parent_);
    box.setDefaultButton(button_of(default_answer));
    switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        case QMessageBox::Cancel:
            return Answer::Cancel;
        default:
            break;
    }
    // Closed with Escape or the window's close button.
    return buttons == MessageButtons::YesNo ? Answer::No : Answer::Cancel;
}

std::optional<std::string> QtDialogPlatform::choose_open_file(std::string_view title,
                                                              const std::vector<FileFilter>& filters,
                                                              std::string_view start_folder) {
    const QString chosen =
        QFileDialog::getOpenFileName(parent_, to_q(title), to_q(start_folder), filter_text(filters));
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

std::optional<std::string> QtDialogPlatform::choose_save_file(std::string_view title,
                                                              const std::vector<FileFilter>& filters,
                                                              std::string_view start_folder,
                                                              std::string_view proposed_name) {
    QFileDialog dialog(parent_, to_q(title), to_q(start_folder), filter_text(filters));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!filters.empty() && !filters.front().patterns.empty()) {
        QString suffix = QString::fromStdString(filters.front().patterns.front());
        suffix.remove(0, suffix.indexOf('.') + 1);
        dialog.setDefaultSuffix(suffix);
    }
    if (!proposed_name.empty()) dialog.selectFile(to_q(proposed_name));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
}

}  // namespace zorva::binmap
