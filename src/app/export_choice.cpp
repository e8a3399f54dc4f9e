#include "app/export_choice.h"

#include <algorithm>
#include <system_error>

#include "base/ascii_text.h"
#include "export/exporter_folders.h"
#include "model/fixed_text.h"
#include "model/project.h"
#include "prefs/preferences.h"

namespace zorva {

namespace fs = std::filesystem;

namespace {

bool less_ignoring_case(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return ascii_lower(x) < ascii_lower(y); });
}

}  // namespace

ExportChoice export_choice_for_dialog(const Project& project, const Preferences& preferences) {
    ExportChoice choice = export_choice_from_preferences(preferences);
    if (!project.last_used_export_output_path_and_file_name.empty())
        choice.output_file = project.last_used_export_output_path_and_file_name.str();
    if (!project.last_used_exporter_dll_file_name.empty()) {
        choice.exporter = project.last_used_exporter_dll_file_name.str();
        choice.use_exporters_folder = project.use_export_dll_in_exporters_folder;
    }
    if (!project.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder.empty())
        choice.exporter_outside =
            project.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder.str();
    return choice;
}

ExportChoice export_choice_from_preferences(const Preferences& preferences) {
    ExportChoice choice;
    choice.output_file = preferences.text(pref_offset::kExportOutputFile);
    choice.exporter = preferences.text(pref_offset::kExporterInFolder);
    choice.exporter_outside = preferences.text(pref_offset::kExporterOutsideFolder);
    choice.use_exporters_folder = preferences.flag(FlagA::UseExporterFromExportersFolder);
    return choice;
}

bool store_export_choice(const ExportChoice& choice, Preferences& preferences, Project& project) {
    preferences.set_text(pref_offset::kExportOutputFile, choice.output_file);
    preferences.set_text(pref_offset::kExporterInFolder, choice.exporter);
    preferences.set_text(pref_offset::kExporterOutsideFolder, choice.exporter_outside);
    preferences.set_flag(FlagA::UseExporterFromExportersFolder, choice.use_exporters_folder);

    const PathText output(choice.output_file);
    const PathText exporter(choice.exporter);
    const PathText outside(choice.exporter_outside);
    const bool changed =
        !(project.last_used_export_output_path_and_file_name == output) ||
        !(project.last_used_exporter_dll_file_name == exporter) ||
        !(project.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder == outside) ||
        project.use_export_dll_in_exporters_folder != choice.use_exporters_folder;
    project.last_used_export_output_path_and_file_name = output;
    project.last_used_exporter_dll_file_name = exporter;
    project.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder = outside;
    project.use_export_dll_in_exporters_folder = choice.use_exporters_folder;
    return changed;
}

std::vector<std::string> exporter_files(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (ends_with_ignoring_case(name, kExporterExtension) && it->is_regular_file(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), less_ignoring_case);
    return names;
}

std::vector<std::string> exporter_files(const std::vector<fs::path>& folders) {
    std::vector<std::string> names;
    for (const ExporterFile& plugin : list_exporters(folders)) names.push_back(plugin.name);
    return names;
}

std::string exporter_path(const ExportChoice& choice, const fs::path& folder) {
    if (choice.exporter.empty()) return {};
    if (!choice.use_exporters_folder) return choice.exporter;
    return (folder / choice.exporter).string();
}

std::string exporter_path(const ExportChoice& choice, const std::vector<fs::path>& folders) {
    if (choice.exporter.empty() || !choice.use_exporters_folder || folders.empty())
        return exporter_path(choice, folders.empty() ? fs::path() : folders.front());
    const fs::path found = find_exporter_file(folders, choice.exporter);
    return found.empty() ? (folders.front() / choice.exporter).string() : found.string();
}

std::string output_folder(std::string_view output_file) {
    const std::size_t slash = output_file.find_last_of('/');
    if (slash == std::string_view::npos) return {};
    if (slash == 0) return "/";
    return std::string(output_file.substr(0, slash));
}

ExportProblem check_exporter(const ExportChoice& choice) {
    if (choice.exporter.empty()) return {"\nPlease select an exporter DLL.\n", "No DLL selected"};
    if (choice.exporter.size() > kPathLength) {
        return {"The path and file name of the exporter DLL is longer than " + std::to_string(kPathLength) +
                    " characters:\n\n" + choice.exporter + "\n",
                "Exporter DLL name too long"};
    }
    return {};
}

ExportProblem check_output_file(std::string_view output_file) {
    if (output_file.empty()) return {"\nPlease select an output file.\n", "No Output file"};
    const std::string file(output_file);
    // The plug-in reads the name from a 260-character field: a longer one would name another file.
    if (file.size() > kPathLength) {
        return {"The output path and file name is longer than " + std::to_string(kPathLength) +
                    " characters:\n\n" + file + "\n",
                "Output file name too long"};
    }
    const std::string folder = output_folder(file);
    std::error_code error;
    if (!folder.empty() && !fs::is_directory(folder, error)) {
        return {"The folder of the output file does not exist:\n\n" + folder +
                    "\n\nPlease select an output file in an existing folder.\n",
                "No Output folder"};
    }
    return {};
}

}  // namespace zorva
