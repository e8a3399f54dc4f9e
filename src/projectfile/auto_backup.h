// The automatic backup: while the project has been saved in this run, a binary copy of it is written
// every few minutes into "Autoback/" in the data folder under a name made of the local time, and the
// oldest backup is deleted once there are more than the allowed number.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

namespace zorva {

class Project;

inline constexpr const char* kBackupFolderName = "Autoback";
inline constexpr std::size_t kBackupListLimit = 100;  // entries looked at when finding the oldest

// "<data folder>/Autoback/".
std::filesystem::path backup_folder(const std::filesystem::path& data_folder);

// "<folder>YYYY-MM-DD_hh-mm-ss.zvp" (folder with its trailing separator).
std::string backup_file_name(const std::filesystem::path& folder, const std::tm& local_time);

// Looks at up to 100 ".zvp" files of `folder`; when more than `max_files` were seen, deletes the oldest
// (on equal times the first listed). Returns true when a file was deleted.
bool delete_oldest_backup(const std::filesystem::path& folder, std::size_t max_files);

// True when `project_path` lies directly in `folder` (compared without letter case).
bool is_in_folder(const std::string& project_path, const std::filesystem::path& folder);

struct BackupSettings {
    bool enabled = false;  // "Enable auto backup"
    std::uint32_t interval_minutes = 5;
    std::uint32_t max_files = 20;
};

class AutoBackup {
public:
    explicit AutoBackup(std::filesystem::path data_folder) : data_folder_(std::move(data_folder)) {}

    // A load (or a new project) restarts the interval.
    void restart(std::int64_t now_ms) { last_ms_ = now_ms; }
    std::int64_t last_ms() const { return last_ms_; }
    bool running() const { return running_; }

    enum class Result { NotDue, Skipped, Failed, Written };
    // Tried at each redraw tick. Writes the backup when it is enabled and due and the project was saved
    // in this run. `local_time` names the file. The project's path, title, modified flag are untouched.
    Result tick(const BackupSettings& settings, Project& project, bool saved_in_this_run, std::int64_t now_ms,
                const std::tm& local_time);
    // Writes a backup at once, whatever the settings and the interval say (before something that might
    // take the program down), keeping at most `max_files` backups. Written or Failed; the interval is
    // not restarted.
    Result write_now(Project& project, const std::tm& local_time, std::uint32_t max_files);

    // The file written by the last successful backup.
    const std::string& last_file() const { return last_file_; }
    std::filesystem::path folder() const { return backup_folder(data_folder_); }

private:
    std::filesystem::path data_folder_;
    std::int64_t last_ms_ = 0;
    bool running_ = false;
    std::string last_file_;
};

}  // namespace zorva
