// zorva-cli export PROJECT --exporter NAME|PATH --output FILE [--settings LAYOUT.zbe]: runs an exporter
// plug-in on a project file without the editor, as a quick export. With --settings the binary exporter
// uses that layout through a temporary data folder, so the user's remembered settings are never touched.
// Messages go to standard output as they arrive, the progress to standard error when it is a terminal.
// Ctrl+C asks the plug-in to cancel.
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/ascii_text.h"
#include "cli/batch.h"
#include "cli/commands.h"
#include "export/export_feedback.h"
#include "export/export_host.h"
#include "export/export_run.h"
#include "export/exporter_folders.h"
#include "model/fixed_text.h"
#include "prefs/data_folder.h"
#include "projectfile/relative_path.h"

namespace zorva::cli {

const char kExportUsage[] =
    "Usage: zorva-cli export PROJECT --exporter NAME|PATH --output FILE [--settings LAYOUT.zbe]\n"
    "\n"
    "Runs an exporter plug-in on the project file PROJECT as a quick export:\n"
    "  --exporter NAME|PATH  a plug-in by its file name (\".so\" may be left out, any letter case), looked\n"
    "                        for in Exporters/ beside zorva-cli, in the installed plug-in folder and in\n"
    "                        Exporters/ in the data folder; or the path of a plug-in\n"
    "  --output FILE         the output file name handed to the plug-in\n"
    "  --settings FILE       ZvBinMapFile: the layout (.zbe) to export with; without it the settings the\n"
    "                        exporter remembers in the data folder are used\n"
    "The plug-in's messages go to standard output, failures to standard error.\n"
    "With several projects each one is exported by a zorva-cli of its own, so that plug-ins never share a\n"
    "run; --output then needs \"{name}\" (the project's file name without its extension): out/{name}.bin\n"
    "\n" ZORVA_CLI_BATCH_USAGE;

namespace {

constexpr const char* kBinMapExporter = "ZvBinMapFile.so";

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void on_interrupt(int) { g_interrupted = 1; }

class TerminalFeedback : public ExportFeedback {
public:
    TerminalFeedback() : show_progress_(isatty(STDERR_FILENO) != 0) {}
    ~TerminalFeedback() override {
        if (shown_) std::fputc('\n', stderr);
    }
    TerminalFeedback(const TerminalFeedback&) = delete;
    TerminalFeedback& operator=(const TerminalFeedback&) = delete;

    void message(std::string_view text) override {
        if (shown_) std::fputs("\r     \r", stderr);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
        if (shown_) draw();
    }
    void progress(int percent) override {
        if (!show_progress_ || percent == percent_) return;
        percent_ = percent;
        draw();
    }
    bool cancelled() const override { return g_interrupted != 0; }

private:
    void draw() {
        std::fprintf(stderr, "\r%3d%%", percent_);
        std::fflush(stderr);
        shown_ = true;
    }

    bool show_progress_;
    bool shown_ = false;
    int percent_ = -1;
};

// The folders plug-ins are looked for in: beside zorva-cli, the installed plug-in folder, the data folder's.
std::vector<std::filesystem::path> plugin_folders() {
    return exporter_folders(executable_folder(), data_folder());
}

// The folders of `folders` that exist; the first of them when none does, so a message names one.
std::vector<std::filesystem::path> existing_folders(const std::vector<std::filesystem::path>& folders) {
    std::vector<std::filesystem::path> existing;
    for (const std::filesystem::path& folder : folders) {
        std::error_code error;
        if (std::filesystem::is_directory(folder, error)) existing.push_back(folder);
    }
    if (existing.empty()) existing.push_back(folders.front());
    return existing;
}

// An exporter named by file name lives in one of the plug-in folders; ".so" may be left out, and the letter
// case need not match. A name with a folder in it is taken as a path.
std::string find_exporter(const std::string& name) {
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos) return name;
    std::string file = name;
    if (!ends_with_ignoring_case(file, ".so")) file += ".so";
    const std::vector<std::filesystem::path> folders = plugin_folders();
    const std::filesystem::path found = find_exporter_file(folders, file);
    if (!found.empty()) return found.string();
    // Missing: named in the first folder that exists (an installed zorva-cli has none beside it), and
    // reported with what the folders hold.
    return (existing_folders(folders).front() / file).string();
}

// The exporters each plug-in folder holds, by name, for the message about one that is not there: a line for
// every folder that exists (the first one when none does).
std::string available_exporters() {
    std::string text;
    for (const std::filesystem::path& folder : existing_folders(plugin_folders())) {
        std::string names;
        for (const ExporterFile& plugin : list_exporters({folder}))
            names += (names.empty() ? "" : ", ") + plugin.name.substr(0, plugin.name.size() - 3);
        text += "Exporters in " + folder.string() + ": " + (names.empty() ? "none" : names) + "\n";
    }
    return text;
}

// False, with the message naming where it was looked for and what is there, when the exporter is missing.
bool exporter_found(const std::string& exporter) {
    const std::string exporter_path = find_exporter(exporter);
    std::error_code error;
    if (std::filesystem::is_regular_file(exporter_path, error)) return true;
    std::fprintf(stderr,
                 "Could not find/load the exporter DLL: \n\n%s\n\n"
                 "There is no exporter \"%s\". %s",
                 exporter_path.c_str(), exporter.c_str(), available_exporters().c_str());
    return false;
}

// Without its dialog the binary exporter can only use the settings file it remembers in the data folder
// ("ZvBinMapFile.cfg" in its Exporters folder or in the data folder itself: the file's path, NUL-padded
// to 260 bytes). True when that names a file that exists.
bool binmap_settings_remembered(const std::filesystem::path& data) {
    std::error_code error;
    const std::filesystem::path folder =
        std::filesystem::is_directory(data / "Exporters", error) ? data / "Exporters" : data;
    std::FILE* file = std::fopen((folder / "ZvBinMapFile.cfg").string().c_str(), "rb");
    if (file == nullptr) return false;
    char name[260] = {};
    const std::size_t got = std::fread(name, 1, sizeof name - 1, file);
    std::fclose(file);
    const std::string remembered(name, strnlen(name, got));
    return !remembered.empty() && !equal_ignoring_case(remembered, "Noname.zbe") &&
           std::filesystem::is_regular_file(remembered, error);
}

// A data folder of its own for one run, removed afterwards: its "ZvBinMapFile.cfg" (the binary exporter's
// remembered-settings file: the settings file's full path, NUL-padded to 260 bytes) names the layout.
class LayoutDataFolder {
public:
    ~LayoutDataFolder() {
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }
    bool create(const std::string& layout) {
        std::string pattern = (std::filesystem::temp_directory_path() / "zorva-export-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) return false;
        folder_ = pattern;
        char remembered[260] = {};
        if (layout.size() >= sizeof remembered) return false;
        layout.copy(remembered, layout.size());
        std::FILE* file = std::fopen((folder_ / "ZvBinMapFile.cfg").string().c_str(), "wb");
        if (file == nullptr) return false;
        const bool written = std::fwrite(remembered, 1, sizeof remembered, file) == sizeof remembered;
        return std::fclose(file) == 0 && written;
    }
    std::string path() const { return folder_.string(); }

private:
    std::filesystem::path folder_;
};

}  // namespace

namespace {

// Several projects: the exporter and the settings file are looked for once, then every project is
// exported by a child process.
int export_batch(const BatchArguments& batch) {
    std::string exporter;
    std::string settings;
    for (std::size_t i = 0; i + 1 < batch.passed_on.size(); ++i) {
        if (batch.passed_on[i] == "--exporter") exporter = batch.passed_on[i + 1];
        if (batch.passed_on[i] == "--settings") settings = batch.passed_on[i + 1];
    }
    if (exporter.empty() || !batch.has_output || batch.inputs.empty()) {
        std::fputs(kExportUsage, stderr);
        return 2;
    }
    if (!exporter_found(exporter)) return 1;
    std::error_code error;
    if (!settings.empty() && !std::filesystem::is_regular_file(absolute_path(settings), error)) {
        std::fprintf(stderr, "The settings file could not be found:\n\n%s\n",
                     absolute_path(settings).c_str());
        return 1;
    }
    return run_child_batch("export", batch);
}

}  // namespace

int run_export_command(Arguments arguments) {
    {
        static constexpr std::string_view kValueOptions[] = {"--exporter", "--settings"};
        BatchArguments batch;
        std::string error;
        if (!split_batch_arguments(arguments, kValueOptions, batch, error)) {
            std::fprintf(stderr, "zorva-cli export: %s\n\n%s", error.c_str(), kExportUsage);
            return 2;
        }
        if (wants_batch(batch)) return export_batch(batch);
    }
    std::string project_path;
    std::string exporter;
    std::string output;
    std::string settings;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        auto value = [&](std::string_view option, std::string& into) {
            if (argument == option && i + 1 < arguments.size()) {
                into = arguments[++i];
                return true;
            }
            if (argument.starts_with(option) && argument.size() > option.size() &&
                argument[option.size()] == '=') {
                into = std::string(argument.substr(option.size() + 1));
                return true;
            }
            return false;
        };
        if (value("--exporter", exporter) || value("--output", output) || value("--settings", settings)) {
            continue;
        }
        if (!argument.starts_with("--") && project_path.empty()) {
            project_path = argument;
            continue;
        }
        std::fputs(kExportUsage, stderr);
        return 2;
    }
    if (project_path.empty() || exporter.empty() || output.empty()) {
        std::fputs(kExportUsage, stderr);
        return 2;
    }
    // An exporter that is not there is named before anything else is looked at.
    if (!exporter_found(exporter)) return 1;
    const std::string exporter_path = find_exporter(exporter);
    // The plug-in reads the output name from a 260-character field: a longer one would name another file.
    if (output.size() > kPathLength) {
        std::fprintf(stderr, "The output path and file name is longer than %zu characters:\n\n%s\n",
                     kPathLength, output.c_str());
        return 2;
    }

    LayoutDataFolder layout_folder;
    if (!settings.empty()) {
        const std::string layout = absolute_path(settings);
        std::error_code error;
        if (!std::filesystem::is_regular_file(layout, error)) {
            std::fprintf(stderr, "The settings file could not be found:\n\n%s\n", layout.c_str());
            return 1;
        }
        if (!layout_folder.create(layout)) {
            std::fprintf(stderr, "The settings file could not be handed to the exporter:\n\n%s\n",
                         layout.c_str());
            return 1;
        }
    }

    const std::string data = settings.empty() ? data_folder().string() : layout_folder.path();
    if (settings.empty() &&
        equal_ignoring_case(std::filesystem::path(exporter_path).filename().string(), kBinMapExporter) &&
        !binmap_settings_remembered(data)) {
        std::fprintf(
            stderr,
            "ZvBinMapFile has no remembered settings in the data folder (%s), and without the editor "
            "its dialog cannot be shown: pass --settings LAYOUT.zbe.\n",
            data.c_str());
        return 1;
    }

    const std::string path = absolute_path(project_path);
    LoadResult loaded = load_project_reporting(path);
    if (!loaded) return 1;

    const ExporterHostApplication application = headless_application(data.c_str());
    ExportHost host;
    ExporterResult result;
    {
        TerminalFeedback feedback;
        ExportRequest request;
        request.exporter_path = exporter_path;
        request.output_file_name = output;
        request.quick = true;
        request.feedback = &feedback;
        request.application = &application;
        g_interrupted = 0;
        void (*previous)(int) = std::signal(SIGINT, on_interrupt);
        result = run_export(host, *loaded.project, request);
        std::signal(SIGINT, previous == SIG_ERR ? SIG_DFL : previous);
    }
    if (result.ok) return 0;
    const std::string& message =
        result.message.empty() ? "An error occured in the export DLL." : result.message;
    std::fputs(message.c_str(), stderr);
    if (!message.ends_with('\n')) std::fputc('\n', stderr);
    return 1;
}

}  // namespace zorva::cli
