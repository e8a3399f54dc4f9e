// Shared pieces of the editor tests: a scripted platform that also answers the file choosers, and small
// projects written to disk.
#pragma once

#include <deque>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "model/project.h"
#include "projectfile/project_io.h"
#include "support/scripted_platform.h"

namespace zorva::test {

class ChooserPlatform : public ScriptedPlatform {
public:
    struct Chooser {
        std::string title;
        std::vector<FileFilter> filters;
        std::string start_folder;
    };

    std::optional<std::string> choose_open_file(std::string_view title, const std::vector<FileFilter>& filters,
                                                std::string_view start_folder) override {
        choosers.push_back({std::string(title), filters, std::string(start_folder)});
        return next(open_files);
    }
    std::optional<std::string> choose_save_file(std::string_view title, const std::vector<FileFilter>& filters,
                                                std::string_view start_folder, std::string_view) override {
        choosers.push_back({std::string(title), filters, std::string(start_folder)});
        return next(save_files);
    }

    std::deque<std::optional<std::string>> open_files;
    std::deque<std::optional<std::string>> save_files;
    std::vector<Chooser> choosers;

private:
    static std::optional<std::string> next(std::deque<std::optional<std::string>>& queue) {
        if (queue.empty()) return std::nullopt;
        std::optional<std::string> value = queue.front();
        queue.pop_front();
        return value;
    }
};

// A project with one map named `map_name` and one layer, written to `path` (by its extension).
inline bool write_small_project(const std::string& path, const std::string& map_name = "Level") {
    Project project;
    HeadlessPlatform quiet;
    MapProperties mp;
    mp.name = map_name;
    Map* map = add_map(project, mp, false, &quiet);
    LayerProperties lp;
    lp.map_id = map->unique_id;
    lp.name = "Ground";
    lp.grid_width = 8;
    lp.grid_height = 6;
    add_layer(project, lp, false, &quiet);
    project.select_map(map->unique_id);
    return write_project(path, project, true);
}

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

}  // namespace zorva::test
