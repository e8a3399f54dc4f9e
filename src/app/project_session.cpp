#include "app/project_session.h"

#include <chrono>
#include <system_error>

#include "base/ascii_text.h"
#include "base/install_layout.h"
#include "prefs/data_folder.h"
#include "prefs/preferences.h"
#include "projectfile/project_io.h"

namespace zorva {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProjectExtension = ".zvp";
constexpr const char* kXmlExtension = ".xml";

std::string folder_of(const std::string& path) {
    std::string normal = path;
    for (char& c : normal)
        if (c == '\\') c = '/';
    const std::size_t slash = normal.rfind('/');
    return slash == std::string::npos ? std::string() : normal.substr(0, slash + 1);
}

// Sets the process's working folder for the life of the object.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& folder) {
        std::error_code ec;
        previous_ = fs::current_path(ec);
        if (ec || folder.empty()) return;
        fs::current_path(folder, ec);
        changed_ = !ec;
    }
    ~WorkingFolder() {
        std::error_code ec;
        if (changed_) fs::current_path(previous_, ec);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    fs::path previous_;
    bool changed_ = false;
};

std::tm local_now() {
    const std::time_t now = std::time(nullptr);
    std::tm out{};
    localtime_r(&now, &out);
    return out;
}

std::string with_trailing_separator(const fs::path& folder) {
    std::string text = folder.lexically_normal().string();
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

}  // namespace

std::string sample_projects_folder(const fs::path& data_folder, const fs::path& program_folder,
                                   const fs::path& source_examples) {
    std::vector<fs::path> candidates{data_folder / "Examples" / "SampleProjects"};
    if (!program_folder.empty())
        candidates.push_back(installed_share_folder(program_folder) / "Examples" / "SampleProjects");
    if (!source_examples.empty()) candidates.push_back(source_examples);
    for (const fs::path& folder : candidates) {
        std::error_code ec;
        if (fs::is_directory(folder.lexically_normal(), ec)) return with_trailing_separator(folder);
    }
    return with_trailing_separator(candidates.front());
}

ProjectSession::ProjectSession(Preferences& preferences, Platform& platform, fs::path data_folder,
                               Clock clock, LocalTime local_time)
    : preferences_(preferences),
      platform_(platform),
      data_folder_(std::move(data_folder)),
      clock_(std::move(clock)),
      local_time_(std::move(local_time)),
      project_(std::make_unique<Project>()),
      histories_(preferences.undo_count_clamped(), &platform),
      backup_(data_folder_) {
    backup_.restart(now_ms());
}

std::int64_t ProjectSession::now_ms() const {
    if (clock_) return clock_();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string ProjectSession::save_question_text(const std::string& project_path) {
    return "Do you want to save changes to the project?\n\n" + project_path + "\n\n";
}

std::string ProjectSession::open_start_folder() const {
    std::string remembered = preferences_.text(pref_offset::kLastProjectFolder);
    if (!remembered.empty()) return remembered;
    return sample_projects_folder(data_folder_, executable_folder(), ZORVA_EXAMPLES_DIR);
}

std::vector<FileFilter> ProjectSession::project_filters() const {
    FileFilter project{std::string("Zorva Project Files (*") + kProjectExtension + ")",
                       {std::string("*") + kProjectExtension}};
    FileFilter xml{std::string("Xml Files (*") + kXmlExtension + ")", {std::string("*") + kXmlExtension}};
    if (preferences_.flag(FlagA::ProjectDialogsOfferXmlFirst)) return {xml, project};
    return {project, xml};
}

void ProjectSession::install(std::unique_ptr<Project> project, bool modified) {
    histories_.clear_all();
    project_ = std::move(project);
    project_->modified = modified;
    saved_in_this_run_ = false;
    backup_.restart(now_ms());
    if (replaced_) replaced_();
}

void ProjectSession::reset_project() { install(std::make_unique<Project>(), false); }

bool ProjectSession::new_project() {
    if (platform_.message_box("Start new project?", "New Project", MessageButtons::YesNo,
                              MessageIcon::Question, Answer::Yes) != Answer::Yes)
        return false;
    if (!ask_save_changes()) return false;
    reset_project();
    return true;
}

bool ProjectSession::ask_save_changes() {
    if (!project_->modified) return true;
    const Answer answer =
        platform_.message_box(save_question_text(project_->path_and_file_name.str()), "Save changes?",
                              MessageButtons::YesNoCancel, MessageIcon::Question, Answer::Yes);
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::Yes) return save() == SaveResult::Saved;
    return true;
}

bool ProjectSession::open(std::optional<std::string> path) {
    if (!ask_save_changes()) return false;
    if (!path) {
        path = platform_.choose_open_file("Load Project", project_filters(), open_start_folder());
        if (!path || path->empty()) return false;
        preferences_.set_last_project_folder(folder_of(*path));
    }
    // The load runs in the file's folder, so a relative name is made absolute first.
    std::string file = *path;
    {
        std::error_code ec;
        const fs::path absolute = fs::absolute(fs::path(file), ec);
        if (!ec) file = absolute.lexically_normal().string();
    }
    const ProjectFormat format = project_format_from_path(file);

    LoadResult result;
    {
        BusyCursor busy(platform_);
        WorkingFolder working(folder_of(file));
        result = read_project(file, &platform_);
    }
    if (format != ProjectFormat::Unknown && result.version_differs) {
        if (result.newer_version) {
            platform_.message_box("The file was created with a newer version of Zorva.\n\n" + file + "\n\n",
                                  "Error: Newer Version", MessageButtons::Ok, MessageIcon::Stop, Answer::Ok);
        } else {
            platform_.message_box(
                "The file is an older version. It will be saved to the new version.\n\n" + file +
                    "\n\nIt is recommended that you make a backup of the file before saving it.\n\n",
                "Warning: Old Version", MessageButtons::Ok, MessageIcon::Warning, Answer::Ok);
        }
    }
    if (!result.project) {
        std::string message = result.message;
        if (message.empty()) message = "Failed to load the project:\n\n" + file + "\n\n";
        platform_.message_box(message, "Load Error", MessageButtons::Ok, MessageIcon::Stop, Answer::Ok);
        return false;
    }
    if (format == ProjectFormat::Xml) preferences_.set_flag(FlagA::ProjectDialogsOfferXmlFirst, true);
    if (format == ProjectFormat::Zvp) preferences_.set_flag(FlagA::ProjectDialogsOfferXmlFirst, false);

    MissingResourcesOutcome outcome = MissingResourcesOutcome::NoneMissing;
    if (missing_check_) outcome = missing_check_(*result.project, file);
    if (outcome == MissingResourcesOutcome::Cancelled) return false;

    preferences_.add_recent(file);
    install(std::move(result.project), outcome == MissingResourcesOutcome::Accepted);
    return true;
}

SaveResult ProjectSession::save() {
    if (equal_ignoring_case(project_->path_and_file_name.view(), "Noname")) return save_with_dialog();
    return write_to(project_->path_and_file_name.str());
}

SaveResult ProjectSession::save_as() { return save_with_dialog(); }

SaveResult ProjectSession::save_with_dialog() {
    const std::vector<FileFilter> filters = project_filters();
    const std::string start = preferences_.last_project_folder(data_folder_);
    std::string proposed;
    if (!equal_ignoring_case(project_->path_and_file_name.view(), "Noname"))
        proposed = fs::path(project_->path_and_file_name.str()).filename().string();
    const std::optional<SaveChoice> chosen =
        platform_.choose_save_file("Save Project", filters, start, proposed);
    if (!chosen || chosen->path.empty()) return SaveResult::Cancelled;
    std::string path = chosen->path;
    // A name without one of the two extensions gets the one of the filter the user picked. A name typed
    // complete with either extension is kept: the chooser has already asked before overwriting it.
    if (!ends_with_ignoring_case(path, kXmlExtension) && !ends_with_ignoring_case(path, kProjectExtension)) {
        const FileFilter& filter = filters[chosen->filter < filters.size() ? chosen->filter : 0];
        const bool xml_filter =
            !filter.patterns.empty() && filter.patterns.front() == std::string("*") + kXmlExtension;
        path += xml_filter ? kXmlExtension : kProjectExtension;
        std::error_code ec;
        if (fs::exists(path, ec) &&
            platform_.message_box("Do you want to over write the file? \n\n" + path + "\n\n",
                                  "Overwrite file?", MessageButtons::YesNo, MessageIcon::Question,
                                  Answer::No) != Answer::Yes)
            return SaveResult::Cancelled;
    }
    preferences_.set_last_project_folder(folder_of(path));
    return write_to(path);
}

SaveResult ProjectSession::write_to(const std::string& path) {
    saving_ = true;
    if (before_save_) before_save_();
    std::string error;
    bool written = false;
    {
        BusyCursor busy(platform_);
        written = write_project(path, *project_, false, &error);
    }
    if (after_save_) after_save_();
    saving_ = false;
    if (!written) {
        std::string text = "Failed to save the project:\n\n" + path + "\n\n";
        if (!error.empty()) text += error + "\n\n";
        platform_.message_box(text, "Save Error", MessageButtons::Ok, MessageIcon::Stop, Answer::Ok);
        return SaveResult::Failed;
    }
    preferences_.set_flag(FlagA::ProjectDialogsOfferXmlFirst,
                          project_format_from_path(path) != ProjectFormat::Zvp);
    preferences_.add_recent(path);
    project_->path_and_file_name = path;
    project_->modified = false;
    saved_in_this_run_ = true;
    return SaveResult::Saved;
}

AutoBackup::Result ProjectSession::try_auto_backup() {
    if (saving_) return AutoBackup::Result::NotDue;
    BackupSettings settings;
    settings.enabled = preferences_.flag(FlagA::EnableAutoBackup);
    settings.interval_minutes = preferences_.backup_interval_minutes();
    settings.max_files = preferences_.max_backup_files();
    if (!settings.enabled) return AutoBackup::Result::NotDue;
    return backup_.tick(settings, *project_, saved_in_this_run_, now_ms(),
                        local_time_ ? local_time_() : local_now());
}

AutoBackup::Result ProjectSession::backup_now() {
    if (saving_) return AutoBackup::Result::Failed;
    return backup_.write_now(*project_, local_time_ ? local_time_() : local_now(),
                             preferences_.max_backup_files());
}

void ProjectSession::adopt_import(std::unique_ptr<Project> imported, ObjectId map_id) {
    if (imported) {
        imported->select_map(map_id);
        install(std::move(imported), true);
        return;
    }
    histories_.clear_all();
    project_->modified = true;
    project_->select_map(map_id);
    backup_.restart(now_ms());
    if (replaced_) replaced_();
}

void ProjectSession::keep_partial_merge() {
    project_->modified = true;
    if (replaced_) replaced_();
}

}  // namespace zorva
