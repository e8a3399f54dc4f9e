#include "app/message_box_platform.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace zorva {

namespace {

QString qs(std::string_view text) { return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())); }

QMessageBox::StandardButton to_button(Answer answer) {
    switch (answer) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QString filter_text(const std::vector<FileFilter>& filters) {
    QStringList parts;
    for (const FileFilter& f : filters) {
        QStringList patterns;
        for (const std::string& p : f.patterns) patterns << qs(p);
        QString name = qs(f.name);
        // A name that already shows its patterns is used as it is.
        if (!name.contains('(')) name += " (" + patterns.join(' ') + ")";
        parts << name;
    }
    return parts.join(";;");
}

}  // namespace

Answer MessageBoxPlatform::message_box(std::string_view text, std::string_view caption, MessageButtons buttons,
                                       MessageIcon icon, Answer default_answer) {
    QMessageBox box(parent_);
    box.setWindowTitle(qs(caption));
    box.setText(qs(text));
    switch (icon) {
    case MessageIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Stop: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case MessageButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MessageButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MessageButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MessageButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    box.setDefaultButton(to_button(default_answer));
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Ok: return Answer::Ok;
    default: break;
    }
    return buttons == MessageButtons::Ok ? Answer::Ok : Answer::Cancel;
}

std::optional<std::string> MessageBoxPlatform::choose_open_file(std::string_view title,
                                                               const std::vector<FileFilter>& filters,
                                                               std::string_view start_folder) {
    const QString file = QFileDialog::getOpenFileName(parent_, qs(title), qs(start_folder), filter_text(filters));
    if (file.isEmpty()) return std::nullopt;
    return file.toLocal8Bit().toStdString();
}

std::optional<std::string> MessageBoxPlatform::choose_save_file(std::string_view title,
                                                               const std::vector<FileFilter>& filters,
                                                               std::string_view start_folder,
                                                               std::string_view proposed_name) {
    QString start = qs(start_folder);
    if (!proposed_name.empty()) start += (start.endsWith('/') || start.isEmpty() ? "" : "/") + qs(proposed_name);
    const QString file = QFileDialog::getSaveFileName(parent_, qs(title), start, filter_text(filters));
    if (file.isEmpty()) return std::nullopt;
    return file.toLocal8Bit().toStdString();
}

std::optional<std::string> MessageBoxPlatform::choose_folder(std::string_view title, std::string_view start_folder) {
    const QString folder = QFileDialog::getExistingDirectory(parent_, qs(title), qs(start_folder));
    if (folder.isEmpty()) return std::nullopt;
    return folder.toLocal8Bit().toStdString();
}

void MessageBoxPlatform::set_busy(bool busy) {
    if (busy) {
        if (busy_depth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busy_depth_ > 0) {
        if (--busy_depth_ == 0) QApplication::restoreOverrideCursor();
    }
}

}  // namespace zorva
