// zorva-cli info FILE: a summary of a project file, and the images that failed to load.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/project_loading.h"
#include "cli/report_json.h"
#include "projectfile/relative_path.h"

namespace zorva::cli {

const char kInfoUsage[] =
    "Usage: zorva-cli info FILE [--json]\n"
    "\n"
    "Reads the project file FILE (.xml or .zvp) and prints how many objects of each kind it holds and\n"
    "which of its images failed to load.\n"
    "  --json    one JSON document on standard output (docs/zorva-cli.schema.json), which also lists the\n"
    "            tile sets, parent entities, maps and layers with their positions, ids and names\n";

std::vector<std::string> failed_images(const Project& project) {
    std::vector<std::string> failed;
    for (const auto& tile_set : project.tile_sets) {
        if (!tile_set->image_path_and_file_name.empty() && tile_set->image.empty())
            failed.push_back(tile_set->image_path_and_file_name.str());
    }
    for (const auto& entity : project.parent_entities) {
        if (!entity->image_path_and_file_name.empty() && entity->image.empty())
            failed.push_back(entity->image_path_and_file_name.str());
    }
    for (const auto& map : project.maps) {
        for (const auto& layer : map->layers) {
            if (layer->use_background_image && !layer->background_image_path_and_file_name.empty() &&
                layer->background_image.empty())
                failed.push_back(layer->background_image_path_and_file_name.str());
        }
    }
    return failed;
}

namespace {

struct Counts {
    unsigned long long mosaics = 0;
    unsigned long long layers = 0;
    unsigned long long cells = 0;
    unsigned long long instances = 0;
    unsigned long long paths = 0;
    unsigned long long points = 0;
};

Counts count_objects(const Project& project) {
    Counts counts;
    for (const auto& tile_set : project.tile_sets) counts.mosaics += tile_set->mosaics.size();
    for (const auto& map : project.maps) {
        counts.layers += map->layers.size();
        for (const auto& layer : map->layers) {
            counts.cells += layer->grid.size();
            counts.instances += layer->instance_entities.size();
            counts.paths += layer->path_count();
            counts.points += layer->path_points.size();
        }
    }
    return counts;
}

void write_id(JsonWriter& json, std::string_view key, ObjectId id) {
    if (id == kInvalidId)
        json.key(key).null();
    else
        json.member(key, id);
}

int info_json(const std::string& file, const std::string& path) {
    std::string messages;
    const LoadResult loaded = load_project(path, messages);
    JsonWriter out;
    begin_document(out, "info", ZORVA_VERSION);
    out.member("project", SystemText{file});
    out.member("status", loaded ? "ok" : "unreadable");
    write_lines(out, "messages", messages);
    if (!loaded) {
        out.member("exit_status", 1);
        out.end_object();
        std::fputs(out.text().c_str(), stdout);
        return 1;
    }
    const Project& project = *loaded.project;
    const Counts counts = count_objects(project);
    out.member("version_differs", loaded.version_differs);
    out.key("counts").begin_object();
    out.member("tile_sets", static_cast<std::uint64_t>(project.tile_sets.size()));
    out.member("mosaics", static_cast<std::uint64_t>(counts.mosaics));
    out.member("parent_entities", static_cast<std::uint64_t>(project.parent_entities.size()));
    out.member("maps", static_cast<std::uint64_t>(project.maps.size()));
    out.member("layers", static_cast<std::uint64_t>(counts.layers));
    out.member("cells", static_cast<std::uint64_t>(counts.cells));
    out.member("instance_entities", static_cast<std::uint64_t>(counts.instances));
    out.member("paths", static_cast<std::uint64_t>(counts.paths));
    out.member("path_points", static_cast<std::uint64_t>(counts.points));
    out.end_object();
    out.key("failed_images").begin_array();
    for (const std::string& image : failed_images(project)) out.value(SystemText{image});
    out.end_array();
    out.key("tile_sets").begin_array();
    for (std::size_t i = 0; i < project.tile_sets.size(); ++i) {
        const TileSet& tile_set = *project.tile_sets[i];
        out.begin_object();
        out.member("index", static_cast<std::uint64_t>(i));
        write_id(out, "id", tile_set.unique_id);
        out.member("name", tile_set.name.view());
        out.member("image", SystemText{tile_set.image_path_and_file_name.view()});
        out.member("image_loaded", !tile_set.image.empty());
        out.member("tiles", count_tiles(tile_set).count);
        out.end_object();
    }
    out.end_array();
    out.key("parent_entities").begin_array();
    for (std::size_t i = 0; i < project.parent_entities.size(); ++i) {
        const ParentEntity& entity = *project.parent_entities[i];
        out.begin_object();
        out.member("index", static_cast<std::uint64_t>(i));
        write_id(out, "id", entity.unique_id);
        out.member("name", entity.name.view());
        out.member("image", SystemText{entity.image_path_and_file_name.view()});
        out.member("image_loaded", !entity.image.empty());
        out.end_object();
    }
    out.end_array();
    out.key("maps").begin_array();
    for (std::size_t i = 0; i < project.maps.size(); ++i) {
        const Map& map = *project.maps[i];
        out.begin_object();
        out.member("index", static_cast<std::uint64_t>(i));
        write_id(out, "id", map.unique_id);
        out.member("name", map.name.view());
        write_id(out, "tile_set_id", map.use_tile_set_id);
        out.member("export_this_map", map.export_this_map);
        out.key("layers").begin_array();
        for (std::size_t j = 0; j < map.layers.size(); ++j) {
            const Layer& layer = *map.layers[j];
            out.begin_object();
            out.member("index", static_cast<std::uint64_t>(j));
            write_id(out, "id", layer.unique_id);
            out.member("name", layer.name.view());
            out.member("grid_width", layer.grid_width);
            out.member("grid_height", layer.grid_height);
            out.member("instance_entities", static_cast<std::uint64_t>(layer.instance_entities.size()));
            out.member("paths", static_cast<std::uint64_t>(layer.path_count()));
            out.end_object();
        }
        out.end_array();
        out.end_object();
    }
    out.end_array();
    out.member("exit_status", 0);
    out.end_object();
    std::fputs(out.text().c_str(), stdout);
    return 0;
}

}  // namespace

int run_info(Arguments arguments) {
    std::string file;
    bool json = false;
    for (const char* argument : arguments) {
        const std::string_view text = argument;
        if (text == "--json" && !json) {
            json = true;
        } else if (!text.starts_with("--") && file.empty()) {
            file = argument;
        } else {
            std::fputs(kInfoUsage, stderr);
            return 2;
        }
    }
    if (file.empty()) {
        std::fputs(kInfoUsage, stderr);
        return 2;
    }
    const std::string path = absolute_path(file);
    if (json) return info_json(file, path);
    LoadResult loaded = load_project_reporting(path);
    if (!loaded) return 1;
    const Project& project = *loaded.project;
    const Counts counts = count_objects(project);
    const std::vector<std::string> failed = failed_images(project);
    std::printf("Project: %s\n", path.c_str());
    if (loaded.version_differs) std::printf("Version: older than 118 (it will be saved as version 118)\n");
    std::printf("Tile sets: %zu\n", project.tile_sets.size());
    std::printf("Mosaics: %llu\n", counts.mosaics);
    std::printf("Parent entities: %zu\n", project.parent_entities.size());
    std::printf("Maps: %zu\n", project.maps.size());
    std::printf("Layers: %llu\n", counts.layers);
    std::printf("Cells: %llu\n", counts.cells);
    std::printf("Instance entities: %llu\n", counts.instances);
    std::printf("Paths: %llu\n", counts.paths);
    std::printf("Path points: %llu\n", counts.points);
    std::printf("Images that failed to load: %zu\n", failed.size());
    for (const auto& image : failed) std::printf("  %s\n", image.c_str());
    return 0;
}

}  // namespace zorva::cli
