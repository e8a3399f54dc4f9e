// The "Export" dialog: the output file, the exporter plug-in (one of the Exporters folder, or any file
// chosen by path), the "Show messages/errors when export is done" box, "Start Export" and "Cancel".
//
// The dialog edits an ExportChoice; "Start Export" checks that a plug-in and an output file in an
// existing folder are chosen and closes with Accepted; the caller stores the choice. The log box changes
// the preference at once, whichever way the dialog closes.
//
// The dialog is "export_dialog"; its children carry object names so tests can find them: "output_file",
// "browse_output", "use_folder", "exporter_list", "use_path", "exporter_path", "browse_exporter",
// "selected_exporter", "show_messages", "start_export", "cancel".
#pragma once

#include <QDialog>
#include <filesystem>
#include <vector>

#include "app/export_choice.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace zorva {

class Platform;
class Preferences;

class ExportDialog : public QDialog {
public:
    ExportDialog(QWidget* parent, const ExportChoice& choice,
                 const std::vector<std::filesystem::path>& exporter_folders, Preferences& preferences,
                 Platform& platform);

    const ExportChoice& choice() const { return choice_; }

    QLineEdit* output_edit() const { return output_; }
    QListWidget* exporter_list() const { return list_; }
    QRadioButton* folder_radio() const { return use_folder_; }
    QRadioButton* path_radio() const { return use_path_; }
    QLineEdit* path_edit() const { return path_; }
    QLabel* selected_label() const { return selected_; }
    QCheckBox* log_box() const { return log_box_; }
    QPushButton* start_button() const { return start_; }

    // "Start Export": the checks, then Accepted.
    void accept() override;

private:
    void browse_output();
    void browse_exporter();
    // The folder radio was chosen (by a click or by picking a list entry).
    void use_folder(bool on);
    void list_picked();
    void path_typed(const QString& text);
    // The list shows the selection of the folder radio; the plug-in line shows what will be used.
    void show_state();

    ExportChoice choice_;
    Preferences& preferences_;
    Platform& platform_;

    QLineEdit* output_ = nullptr;
    QRadioButton* use_folder_ = nullptr;
    QListWidget* list_ = nullptr;
    QRadioButton* use_path_ = nullptr;
    QLineEdit* path_ = nullptr;
    QPushButton* browse_path_ = nullptr;
    QLabel* selected_ = nullptr;
    QCheckBox* log_box_ = nullptr;
    QPushButton* start_ = nullptr;
    bool showing_ = false;  // list changes made by show_state() are not picks
};

}  // namespace zorva
