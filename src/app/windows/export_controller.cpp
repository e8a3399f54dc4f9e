#include "app/windows/export_controller.h"

#include <QDialog>
#include <QEventLoop>
#include <QWidget>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>

#include "app/dialogs/export_dialog.h"
#include "app/dialogs/export_message_log_dialog.h"
#include "app/export_choice.h"
#include "app/project_session.h"
#include "app/windows/export_progress_window.h"
#include "base/platform.h"
#include "export/export_host.h"
#include "export/export_message_log.h"
#include "export/export_progress.h"
#include "export/export_run.h"
#include "export/exporter_folders.h"
#include "prefs/data_folder.h"
#include "prefs/preferences.h"

namespace zorva {

namespace fs = std::filesystem;

namespace {

// Sets a flag for the life of the object.
class Raised {
public:
    explicit Raised(bool& flag) : flag_(flag) { flag_ = true; }
    ~Raised() { flag_ = false; }
    Raised(const Raised&) = delete;
    Raised& operator=(const Raised&) = delete;

private:
    bool& flag_;
};

// The same plug-in however it was named.
std::string plugin_key(const std::string& path) {
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(fs::path(path), error);
    return error ? fs::absolute(fs::path(path), error).lexically_normal().string() : canonical.string();
}

}  // namespace

ExportController::ExportController(QWidget* main_window, ProjectSession& session, Preferences& preferences,
                                   Platform& platform, fs::path data_folder, Hooks hooks)
    : main_window_(main_window),
      session_(session),
      preferences_(preferences),
      platform_(platform),
      data_folder_(std::move(data_folder)),
      data_folder_text_(data_folder_.string()),
      hooks_(std::move(hooks)),
      exporter_folders_(zorva::exporter_folders(executable_folder(), data_folder_)) {
    // The plug-in's dialogs are parented to the main window; its settings live in the data folder.
    application_.StructSize = sizeof application_;
    application_.InterfaceVersion = kExporterInterfaceVersion;
    application_.MainWindow = main_window_;
    application_.DataFolder = data_folder_text_.c_str();
}

void ExportController::run(bool quick) {
    if (running_) return;
    Raised running(running_);
    if (commit_before_export_) commit_before_export_();
    Project& project = session_.project();

    const bool quick_run = quick && quick_allowed_;
    if (!quick_run) {
        ExportDialog dialog(main_window_, export_choice_for_dialog(project, preferences_), exporter_folders_,
                            preferences_, platform_);
        if (dialog.exec() != QDialog::Accepted) return;
        if (store_export_choice(dialog.choice(), preferences_, project)) project.modified = true;
    }

    // The run takes the values "Start Export" stored last.
    const ExportChoice choice = export_choice_from_preferences(preferences_);
    const std::string exporter = exporter_path(choice, exporter_folders_);
    // The output folder may have gone since the dialog checked it.
    if (const ExportProblem problem = check_output_file(choice.output_file)) {
        quick_allowed_ = false;
        platform_.message_box(problem.text, problem.caption, MessageButtons::Ok, MessageIcon::Warning,
                              Answer::Ok);
        return;
    }
    if (!back_up_before(exporter)) return;

    const bool log_on = preferences_.flag(FlagA::ShowExportMessagesWhenDone);
    ExportMessageLog log;
    ExportRequest request;
    request.exporter_path = exporter;
    request.output_file_name = choice.output_file;
    request.quick = quick_run;
    request.log = log_on ? &log : nullptr;
    request.application = &application_;
    const ExporterResult result = run_with_progress(request);

    if (result.ok) {
        quick_allowed_ = true;
        proven_.insert(plugin_key(exporter));
    } else if (result.message.empty()) {
        quick_allowed_ = true;
    } else {
        quick_allowed_ = false;
        platform_.message_box(result.message, "Export Error", MessageButtons::Ok, MessageIcon::Stop,
                              Answer::Ok);
    }

    if (preferences_.flag(FlagA::ShowExportMessagesWhenDone) && !log.empty()) {
        ExportMessageLogDialog window(main_window_, log.lines(), output_folder(choice.output_file),
                                      preferences_, platform_, folder_opener_);
        window.exec();
    }
    if (hooks_.redraw) hooks_.redraw();
}

bool ExportController::back_up_before(const std::string& exporter) {
    if (!session_.project().modified || proven_.count(plugin_key(exporter)) != 0) return true;
    if (session_.backup_now() == AutoBackup::Result::Written) return true;
    return platform_.message_box("The project could not be backed up before running the exporter:\n\n" +
                                     exporter + "\n\nExport anyway?",
                                 "Export", MessageButtons::YesNo, MessageIcon::Warning,
                                 Answer::No) == Answer::Yes;
}

ExporterResult ExportController::run_with_progress(const ExportRequest& plugin_request) {
    ExportProgress progress;
    ExportRequest request = plugin_request;
    request.feedback = &progress;

    ExportProgressWindow window(progress);
    window.setWindowModality(Qt::ApplicationModal);
    if (hooks_.progress_position) window.move(hooks_.progress_position());
    window.show();
    if (hooks_.hold_redraws) hooks_.hold_redraws(true);

    const Project& project = session_.project();
    ExportHost host;
    ExporterResult result;
    std::atomic<bool> finished{false};
    QEventLoop loop;
    std::thread worker;
    try {
        worker = std::thread([&] {
            try {
                result = run_export(host, project, request);
            } catch (const std::exception&) {
                // Out of memory in the host: the run failed, and the editor goes on.
                result = ExporterResult{};
                result.message = "An error occured in the export DLL.";
            }
            finished = true;
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        // Without a thread the plug-in runs here, and nothing paints the window meanwhile.
        window.hide();
        platform_.message_box("Failed to create the thread!", " Error", MessageButtons::Ok, MessageIcon::Stop,
                              Answer::Ok);
        result = run_export(host, project, request);
        finished = true;
    }
    // The window paints, CANCEL is taken and the plug-in's dialogs run here until the worker is done.
    while (!finished) loop.exec();
    if (worker.joinable()) worker.join();

    if (hooks_.hold_redraws) hooks_.hold_redraws(false);
    window.finish();
    return result;
}

}  // namespace zorva
