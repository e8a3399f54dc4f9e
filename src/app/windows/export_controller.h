// "&Export..." and "&Quick Export\tCtrl+Q": the Export dialog, one run of the chosen plug-in with the
// progress window, the "Export Error" box and the message log.
//
// Threads: the plug-in (StartExport and every table call) runs on a worker thread with the same Qt-free
// run as zorva-cli's (run_export). The user-interface thread shows the application-modal progress window
// and keeps handling events until the worker has ended: the window paints, CANCEL works, and the plug-in's
// own dialogs (which it shows on this thread, parented to the main window) work, while nothing can change
// the project the plug-in reads: the main window and its tool windows are blocked by the modal window,
// commands refuse to run (running()), and the redraw ticks that back up the project are held.
//
// A plug-in that crashes takes the editor with it, so before a plug-in that has not run successfully in
// this session is started, a modified project is first backed up into "Autoback/".
#pragma once

#include <QPoint>
#include <QString>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "export/export_api.h"
#include "export/exporter_loader.h"

class QWidget;

namespace zorva {

class Platform;
class Preferences;
class ProjectSession;
struct ExportRequest;

class ExportController {
public:
    struct Hooks {
        std::function<QPoint()> progress_position;  // where the progress window's top-left corner goes
        std::function<void(bool)> hold_redraws;     // true while the plug-in runs
        std::function<void()> redraw;               // after the run
    };

    ExportController(QWidget* main_window, ProjectSession& session, Preferences& preferences,
                     Platform& platform, std::filesystem::path data_folder, Hooks hooks);

    // The command. `quick` for Quick Export, which skips the dialog after an export that succeeded (or
    // failed without a message) in this project.
    void run(bool quick);
    // True while a run is under way (the dialog, the plug-in or the log): commands must wait.
    bool running() const { return running_; }

    bool quick_export_allowed() const { return quick_allowed_; }
    // A project was created or opened.
    void project_replaced() { quick_allowed_ = false; }

    // Called before an export starts, before the dialog: tools with an edit in progress put it into the
    // project here, so the plug-in reads it.
    void set_commit_before_export(std::function<void()> hook) { commit_before_export_ = std::move(hook); }

    // Where the plug-ins are looked for, in this order: unless set, "Exporters/" beside the program, the
    // installed plug-in folder and "Exporters/" in the data folder (export/exporter_folders.h).
    void set_exporter_folders(std::vector<std::filesystem::path> folders) {
        exporter_folders_ = std::move(folders);
    }
    void set_exporters_folder(std::filesystem::path folder) { exporter_folders_ = {std::move(folder)}; }
    const std::vector<std::filesystem::path>& exporter_folders() const { return exporter_folders_; }

    // How the message log's "Open export folder" opens a folder (tests); the desktop's file manager
    // when not set.
    void set_folder_opener(std::function<bool(const QString&)> opener) { folder_opener_ = std::move(opener); }

private:
    // Backs the project up before a plug-in that has not proven itself runs. False when the user chose
    // not to export after the backup failed.
    bool back_up_before(const std::string& exporter);
    // Runs the plug-in on the worker thread while this thread shows the progress window.
    ExporterResult run_with_progress(const ExportRequest& request);

    QWidget* main_window_;
    ProjectSession& session_;
    Preferences& preferences_;
    Platform& platform_;
    std::filesystem::path data_folder_;
    std::string data_folder_text_;
    Hooks hooks_;
    std::vector<std::filesystem::path> exporter_folders_;
    ExporterHostApplication application_{};
    std::function<void()> commit_before_export_;
    std::function<bool(const QString&)> folder_opener_;
    std::set<std::string> proven_;  // plug-ins that have run successfully in this session
    bool quick_allowed_ = false;
    bool running_ = false;
};

}  // namespace zorva
