#include "projectfile/auto_backup.h"

#include <array>
#include <cstdio>
#include <system_error>
#include <vector>

#include "model/project.h"
#include "projectfile/zvp_writer.h"

namespace zorva {

namespace fs = std::filesystem;

namespace {

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool has_zvp_extension(const fs::path& path) { return lower(path.extension().string()) == ".zvp"; }

}  // namespace

fs::path backup_folder(const fs::path& data_folder) { return data_folder / kBackupFolderName / ""; }

std::string backup_file_name(const fs::path& folder, const std::tm& t) {
    std::array<char, 64> stamp{};
    std::snprintf(stamp.data(), stamp.size(), "%04d-%02d-%02d_%02d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    std::string name = folder.string();
    if (!name.empty() && name.back() != '/') name += '/';
    return name + stamp.data() + ".zvp";
}

bool delete_oldest_backup(const fs::path& folder, std::size_t max_files) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return false;
    std::size_t seen = 0;
    fs::path oldest;
    fs::file_time_type oldest_time{};
    for (; it != fs::directory_iterator() && seen < kBackupListLimit; it.increment(ec)) {
        if (ec) break;
        const fs::directory_entry& entry = *it;
        if (!entry.is_regular_file(ec) || !has_zvp_extension(entry.path())) continue;
        ++seen;
        const fs::file_time_type time = entry.last_write_time(ec);
        if (ec) continue;
        if (oldest.empty() || time < oldest_time) {
            oldest = entry.path();
            oldest_time = time;
        }
    }
    if (seen <= max_files || oldest.empty()) return false;
    return fs::remove(oldest, ec);
}

bool is_in_folder(const std::string& project_path, const fs::path& folder) {
    std::string normal = project_path;
    for (char& c : normal)
        if (c == '\\') c = '/';
    const fs::path parent = fs::path(normal).parent_path().lexically_normal();
    const fs::path wanted = folder.lexically_normal();
    std::string a = lower(parent.string());
    std::string b = lower(wanted.string());
    while (a.size() > 1 && a.back() == '/') a.pop_back();
    while (b.size() > 1 && b.back() == '/') b.pop_back();
    return a == b;
}

AutoBackup::Result AutoBackup::tick(const BackupSettings& settings, Project& project, bool saved_in_this_run,
                                    std::int64_t now_ms, const std::tm& local_time) {
    if (!settings.enabled || running_ || !saved_in_this_run) return Result::NotDue;
    const std::int64_t interval_ms = static_cast<std::int64_t>(settings.interval_minutes) * 60000;
    if (now_ms - last_ms_ < interval_ms) return Result::NotDue;
    if (is_in_folder(project.path_and_file_name.str(), backup_folder(data_folder_))) return Result::Skipped;
    const Result result = write_now(project, local_time, settings.max_files);
    if (result != Result::Written) return result;  // tried again at the next tick
    last_ms_ = now_ms;
    return Result::Written;
}

AutoBackup::Result AutoBackup::write_now(Project& project, const std::tm& local_time,
                                         std::uint32_t max_files) {
    if (running_) return Result::Failed;
    const fs::path folder = backup_folder(data_folder_);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) return Result::Failed;

    running_ = true;
    const std::string name = backup_file_name(folder, local_time);
    const bool modified = project.modified;
    const bool written = write_zvp_project(name, project, true, nullptr);
    project.modified = modified;
    running_ = false;
    if (!written) return Result::Failed;
    delete_oldest_backup(folder, max_files);
    last_file_ = name;
    return Result::Written;
}

}  // namespace zorva
