// The "Export Messages/Errors" window shown after an export: the plug-in's messages, "Do not show this
// again" (turns the "Show messages/errors when export is done" preference off at once), "Copy to
// clipboard", "Open export folder" (the output file's folder in the desktop's file manager) and "OK".
//
// Object names for tests: the dialog "export_message_log", its children "lines", "dont_show_again", "copy",
// "open_folder", "ok".
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QListWidget;
class QPushButton;

namespace zorva {

class Platform;
class Preferences;

class ExportMessageLogDialog : public QDialog {
public:
    // Opens a folder in the file manager; false when none could be started.
    using FolderOpener = std::function<bool(const QString& folder)>;

    ExportMessageLogDialog(QWidget* parent, const std::vector<std::string>& lines, std::string export_folder,
                           Preferences& preferences, Platform& platform, FolderOpener opener = {});

    QListWidget* lines_list() const { return lines_; }
    QCheckBox* dont_show_box() const { return dont_show_; }

private:
    void copy_to_clipboard();
    void open_export_folder();

    std::vector<std::string> texts_;
    std::string folder_;
    Preferences& preferences_;
    Platform& platform_;
    FolderOpener opener_;
    QListWidget* lines_ = nullptr;
    QCheckBox* dont_show_ = nullptr;
};

}  // namespace zorva
