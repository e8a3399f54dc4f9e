// What the "Export" dialog chooses: the output file and the exporter plug-in, kept twice, in the
// preferences (across sessions) and in the project (with its file). The dialog starts from the project's
// values where they are not empty; "Start Export" stores its values into both, and the run itself reads
// the preferences' values.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace zorva {

class Preferences;
class Project;

struct ExportChoice {
    std::string output_file;  // "Export to file:"
    // The plug-in that will be used: a file name of the Exporters folder while use_exporters_folder is
    // set, else a path; empty when none is selected.
    std::string exporter;
    std::string exporter_outside;  // the path of "Use the following DLL:"
    bool use_exporters_folder = true;

    friend bool operator==(const ExportChoice&, const ExportChoice&) = default;
};

// The plug-ins' file extension (the Exporters folder lists every file that ends with it).
inline constexpr const char* kExporterExtension = ".so";

// The dialog's starting values: each text from the project when it is not empty, else from the
// preferences; the folder flag from the project when the project names an exporter, else from the
// preferences.
ExportChoice export_choice_for_dialog(const Project& project, const Preferences& preferences);
// The values a run uses: those "Start Export" stored last in the preferences.
ExportChoice export_choice_from_preferences(const Preferences& preferences);
// Stores the values into the preferences and the project. True when the project's values changed.
bool store_export_choice(const ExportChoice& choice, Preferences& preferences, Project& project);

// File names of the plug-ins in `folder` (regular files ending in ".so", any letter case), sorted without
// letter case. Empty when the folder is missing.
std::vector<std::string> exporter_files(const std::filesystem::path& folder);
// The same for every plug-in folder (export/exporter_folders.h): a name once, from the first folder that
// holds it.
std::vector<std::string> exporter_files(const std::vector<std::filesystem::path>& folders);

// The plug-in a run loads: `folder` + the file name with the folder flag, else the chosen path. Empty
// when no plug-in is chosen.
std::string exporter_path(const ExportChoice& choice, const std::filesystem::path& folder);
// The same with the plug-in folders: the first that holds the file name (any letter case); the first
// folder when none does, so the failure names where it was looked for.
std::string exporter_path(const ExportChoice& choice, const std::vector<std::filesystem::path>& folders);

// Why an output file name cannot be exported to, as the message and its caption; both empty when it can:
// no name, a name longer than the 259 characters the plug-in can be handed, or a folder that does not
// exist.
struct ExportProblem {
    std::string text;
    std::string caption;
    explicit operator bool() const { return !text.empty(); }
};
ExportProblem check_output_file(std::string_view output_file);
// A plug-in must be chosen and its path must fit the 259 characters it is stored in.
ExportProblem check_exporter(const ExportChoice& choice);

// The folder that holds `output_file` ("" when it names none).
std::string output_folder(std::string_view output_file);

}  // namespace zorva
