// The open project and the commands that move it between memory and disk: New, Open, Save, Save As, the
// save question and the automatic backup. Qt-free: every question, message and file chooser goes through
// the platform seam, so tests drive it with a scripted platform.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"
#include "model/project.h"
#include "projectfile/auto_backup.h"
#include "undo/undo_histories.h"

namespace zorva {

class Preferences;

// What the missing-resources check of a freshly read project decided (the codes of the message boxes).
enum class MissingResourcesOutcome { NoneMissing = 7, Cancelled = 2, Accepted = 6 };
// Runs on a read project before it replaces the open one; `path` is the file it came from.
using MissingResourcesCheck =
    std::function<MissingResourcesOutcome(Project& project, const std::string& path)>;

enum class SaveResult { Saved, Cancelled, Failed };

// The bundled sample projects: the first of "<data folder>/Examples/SampleProjects/",
// "<prefix>/share/zorva/Examples/SampleProjects/" of an installation (install_layout.h) and `source_examples`
// (the source tree's "examples/SampleProjects/") that exists, with a trailing separator; the first of
// them when none exists.
std::string sample_projects_folder(const std::filesystem::path& data_folder,
                                   const std::filesystem::path& program_folder,
                                   const std::filesystem::path& source_examples);

class ProjectSession {
public:
    using Clock = std::function<std::int64_t()>;  // milliseconds, monotonic
    using LocalTime = std::function<std::tm()>;   // names the backups

    ProjectSession(Preferences& preferences, Platform& platform, std::filesystem::path data_folder,
                   Clock clock = {}, LocalTime local_time = {});
    ProjectSession(const ProjectSession&) = delete;
    ProjectSession& operator=(const ProjectSession&) = delete;

    Project& project() { return *project_; }
    const Project& project() const { return *project_; }
    UndoHistories& histories() { return histories_; }
    const UndoHistories& histories() const { return histories_; }
    Preferences& preferences() { return preferences_; }
    Platform& platform() { return platform_; }
    const std::filesystem::path& data_folder() const { return data_folder_; }

    bool saved_in_this_run() const { return saved_in_this_run_; }
    bool saving() const { return saving_; }
    AutoBackup& auto_backup() { return backup_; }

    void set_missing_resources_check(MissingResourcesCheck check) { missing_check_ = std::move(check); }
    // Called after the open project was replaced (load or New): refresh every view.
    void set_project_replaced(std::function<void()> callback) { replaced_ = std::move(callback); }
    // Around a write: the selection tool applies its tile selection before and sets it up again after.
    void set_save_hooks(std::function<void()> before, std::function<void()> after) {
        before_save_ = std::move(before);
        after_save_ = std::move(after);
    }

    // "&New": asks "Start new project?", then the save question; true when a new project replaced the
    // open one.
    bool new_project();
    // Replaces the open project with an empty one without asking (start-up).
    void reset_project();

    // "&Open", a recent project, a dropped file or the command line. Without a path the open-file
    // dialog asks for one. True when the read project replaced the open one.
    bool open(std::optional<std::string> path = std::nullopt);

    // "&Save" asks for a name only while the project is "Noname"; "Save &As" always asks.
    SaveResult save();
    SaveResult save_as();

    // The save question for unsaved changes. True when the caller may go on (No, or Yes and saved).
    bool ask_save_changes();

    // The automatic backup check of each redraw tick.
    AutoBackup::Result try_auto_backup();
    // A backup into "Autoback/" at once, whatever the backup preferences say (before running code that
    // might take the program down). The file is auto_backup().last_file().
    AutoBackup::Result backup_now();

    // After a binary MAP import: `imported` (a new project) replaces the open one, or, when null, the map
    // was merged into the open one. Either way the histories are cleared, the project is marked modified,
    // the backup timer restarts and the map `map_id` is selected before the views are refreshed.
    void adopt_import(std::unique_ptr<Project> imported, ObjectId map_id);
    // A merge that failed or was abandoned after it had changed the open project: it stays as it now is,
    // marked modified, and the views are refreshed.
    void keep_partial_merge();

    // The file chooser filters, the one proposed first by the last-format flag.
    std::vector<FileFilter> project_filters() const;
    // Where the open dialog starts: the last project folder, or the sample projects when none is
    // remembered yet.
    std::string open_start_folder() const;

    // The texts of the messages, for the callers and tests.
    static std::string save_question_text(const std::string& project_path);

private:
    SaveResult save_with_dialog();
    SaveResult write_to(const std::string& path);
    void install(std::unique_ptr<Project> project, bool modified);
    std::int64_t now_ms() const;

    Preferences& preferences_;
    Platform& platform_;
    std::filesystem::path data_folder_;
    Clock clock_;
    LocalTime local_time_;
    std::unique_ptr<Project> project_;
    UndoHistories histories_;
    AutoBackup backup_;
    MissingResourcesCheck missing_check_;
    std::function<void()> replaced_;
    std::function<void()> before_save_;
    std::function<void()> after_save_;
    bool saved_in_this_run_ = false;
    bool saving_ = false;
};

}  // namespace zorva
