// zorva-cli import SETTINGS.zis OUTPUT [--map FILE] [--image FILE] [--merge-into PROJECT] [--no-large]:
// the binary MAP import without the editor. The importer settings file describes the MAP file; the map is
// imported into a new project, or merged into a copy of PROJECT, and the result written to OUTPUT.
#include <cstdio>
#include <string>
#include <string_view>

#include "base/ascii_text.h"
#include "base/platform.h"
#include "cli/commands.h"
#include "import/map_import.h"
#include "projectfile/project_io.h"
#include "projectfile/relative_path.h"

namespace zorva::cli {

const char kImportUsage[] =
    "Usage: zorva-cli import SETTINGS.zis OUTPUT [--map FILE] [--image FILE] [--merge-into PROJECT]\n"
    "                        [--no-large]\n"
    "\n"
    "Imports a map from a binary MAP file laid out as the importer settings file SETTINGS.zis describes\n"
    "(saved by the editor's \"Import Binary MAP File\" dialog) and writes the project to OUTPUT: a binary\n"
    "project file for a name ending in .zvp, an XML project file for one ending in .xml.\n"
    "  --map FILE            the MAP file to read instead of the one the settings name\n"
    "  --image FILE          the tile set image to use instead of the one the settings name\n"
    "  --merge-into PROJECT  add the map to the project file PROJECT (.xml or .zvp) instead of a new\n"
    "                        project; PROJECT itself is only read (OUTPUT may name it). The settings'\n"
    "                        merge switch is not used: only this option merges\n"
    "  --no-large            answer No when a map width or height read from the file is above 500 (the\n"
    "                        editor asks; by default the answer is Yes)\n"
    "Failures go to standard error; the exit status is 0 on success, 1 when the import or a file\n"
    "failed, 2 for wrong arguments.\n";

namespace {

// Answers the size questions and passes every other message on to standard error.
class ImportPlatform : public Platform {
public:
    explicit ImportPlatform(bool refuse_large) : refuse_large_(refuse_large) {}

    Answer message_box(std::string_view text, std::string_view caption, MessageButtons buttons, MessageIcon,
                       Answer default_answer) override {
        const bool size_question = buttons == MessageButtons::YesNoCancel && caption.starts_with("Map ") &&
                                   caption.ends_with(" greater than 500");
        if (!size_question) {
            std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
            return default_answer;
        }
        if (!refuse_large_) return Answer::Yes;
        std::fprintf(stderr, "%.*s\nNo (--no-large)\n\n", static_cast<int>(text.size()), text.data());
        return Answer::No;
    }

private:
    bool refuse_large_;
};

bool valid_output_name(std::string_view path) {
    return ends_with_ignoring_case(path, ".xml") || ends_with_ignoring_case(path, ".zvp");
}

}  // namespace

int run_import(Arguments arguments) {
    std::string settings_path;
    std::string output;
    std::string map_file;
    std::string image;
    std::string merge_into;
    bool refuse_large = false;
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
        if (value("--map", map_file) || value("--image", image) || value("--merge-into", merge_into))
            continue;
        if (argument == "--no-large") {
            refuse_large = true;
            continue;
        }
        if (!argument.starts_with("--") && settings_path.empty()) {
            settings_path = argument;
            continue;
        }
        if (!argument.starts_with("--") && output.empty()) {
            output = argument;
            continue;
        }
        std::fputs(kImportUsage, stderr);
        return 2;
    }
    if (settings_path.empty() || output.empty()) {
        std::fputs(kImportUsage, stderr);
        return 2;
    }
    output = absolute_path(output);
    if (!valid_output_name(output)) {
        std::fprintf(stderr,
                     "The file has an invalid extension:\n\n%s\n\nZorva only supports the following file "
                     "extensions:\n%s\n%s\n\n",
                     output.c_str(), ".zvp", ".xml");
        return 2;
    }

    settings_path = absolute_path(settings_path);
    const ImportSettingsRead read = read_import_settings_file(settings_path);
    if (!read.ok) {
        std::fprintf(stderr, "Failed to open the file:\n\n%s\n\n%s\n", settings_path.c_str(),
                     read.error.c_str());
        return 1;
    }
    ImportSettings settings = read.settings;
    // Names are taken from the working folder, as the editor takes them; an empty one stays empty and is
    // reported by the import. A name longer than a path field would name another file.
    auto take_path = [](PathText& field, const std::string& given) {
        const std::string path = given.empty() ? field.str() : given;
        if (path.empty()) return true;
        const std::string absolute = absolute_path(path);
        if (absolute.size() > kPathLength) {
            std::fprintf(stderr, "The path and file name is longer than %zu characters:\n\n%s\n", kPathLength,
                         absolute.c_str());
            return false;
        }
        field = absolute;
        return true;
    };
    if (!take_path(settings.map_file, map_file) || !take_path(settings.tile_set_image, image)) return 2;

    LoadResult target;
    if (!merge_into.empty()) {
        target = load_project_reporting(absolute_path(merge_into));
        if (!target) return 1;
    }
    settings.merge = target.project != nullptr;

    ImportPlatform platform(refuse_large);
    ImportResult result = import_binary_map(settings, target.project.get(), platform);
    if (!result.ok) {
        std::fputs(result.message.c_str(), stderr);
        if (!result.message.ends_with('\n')) std::fputc('\n', stderr);
        return 1;
    }
    Project& project = target.project ? *target.project : *result.project;
    project.select_map(result.map_id);
    project.modified = true;
    for (const std::string& failed : failed_images(project))
        std::fprintf(stderr, "zorva-cli import: warning: an image failed to load: %s\n", failed.c_str());

    std::string error;
    if (!write_project(output, project, false, &error)) {
        std::fprintf(stderr, "Failed to save the project:\n\n%s\n\n%s\n", output.c_str(), error.c_str());
        return 1;
    }
    const Map* map = find_map(project, result.map_id);
    if (map && !map->layers.empty()) {
        std::printf("%s: %zu layer%s of %d x %d cells\n", map->name.c_str(), map->layers.size(),
                    map->layers.size() == 1 ? "" : "s", map->layers.front()->grid_width,
                    map->layers.front()->grid_height);
    }
    return 0;
}

}  // namespace zorva::cli
