// The "Missing resources" dialog shown after a project was read when some of its images did not load.
//
// The main window hands its read project to run_missing_resources() before the project replaces the open
// one, and acts on the outcome: Cancelled destroys the read project (the open one stays, no message);
// Accepted installs it marked modified; NoneMissing installs it unmodified. The codes equal those of
// MissingResourcesOutcome in project_session.h, so
//     static_cast<MissingResourcesOutcome>(static_cast<int>(run_missing_resources(...)))
// converts.
//
// Children by object name: "list", "folder", "browse", "refresh", "ok", "cancel".
#pragma once

#include <QDialog>
#include <functional>
#include <string_view>

#include "projectfile/missing_resources.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace zorva {

class MissingResourcesDialog : public QDialog {
public:
    // `search` has been scanned already; the dialog shows its lines and drives it. `help` runs on F1.
    explicit MissingResourcesDialog(MissingResourcesSearch& search, QWidget* parent = nullptr,
                                    std::function<void()> help = {});
    ~MissingResourcesDialog() override;
    MissingResourcesDialog(const MissingResourcesDialog&) = delete;
    MissingResourcesDialog& operator=(const MissingResourcesDialog&) = delete;

    QListWidget* list() const { return list_; }
    QLineEdit* folder_field() const { return folder_; }
    QPushButton* refresh_button() const { return refresh_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill_list();
    void read_folder_field();
    void adopt_folder_field();

    MissingResourcesSearch& search_;
    std::function<void()> help_;
    QListWidget* list_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QPushButton* refresh_ = nullptr;
};

// The check and, when something is missing, the modal dialog. `project_file` is where the project was
// read from; the folder chooser starts in its folder.
ResourceCheckOutcome run_missing_resources(QWidget* parent, Project& project, Platform& platform,
                                           std::string_view project_file, std::function<void()> help = {});

}  // namespace zorva
