// zorva-cli info FILE: a summary of a project file, and the images that failed to load.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "projectfile/relative_path.h"

namespace zorva::cli {

const char kInfoUsage[] =
    "Usage: zorva-cli info FILE\n"
    "\n"
    "Reads the project file FILE (.xml or .zvp) and prints how many objects of each kind it holds and\n"
    "which of its images failed to load.\n";

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

int run_info(Arguments arguments) {
    if (arguments.size() != 1) {
        std::fputs(kInfoUsage, stderr);
        return 2;
    }
    const std::string path = absolute_path(arguments[0]);
    LoadResult loaded = load_project_reporting(path);
    if (!loaded) return 1;
    const Project& project = *loaded.project;
    unsigned long long mosaics = 0;
    unsigned long long layers = 0;
    unsigned long long cells = 0;
    unsigned long long instances = 0;
    unsigned long long paths = 0;
    unsigned long long points = 0;
    for (const auto& tile_set : project.tile_sets) mosaics += tile_set->mosaics.size();
    for (const auto& map : project.maps) {
        layers += map->layers.size();
        for (const auto& layer : map->layers) {
            cells += layer->grid.size();
            instances += layer->instance_entities.size();
            paths += layer->path_count();
            points += layer->path_points.size();
        }
    }
    const std::vector<std::string> failed = failed_images(project);
    std::printf("Project: %s\n", path.c_str());
    if (loaded.version_differs) std::printf("Version: older than 118 (it will be saved as version 118)\n");
    std::printf("Tile sets: %zu\n", project.tile_sets.size());
    std::printf("Mosaics: %llu\n", mosaics);
    std::printf("Parent entities: %zu\n", project.parent_entities.size());
    std::printf("Maps: %zu\n", project.maps.size());
    std::printf("Layers: %llu\n", layers);
    std::printf("Cells: %llu\n", cells);
    std::printf("Instance entities: %llu\n", instances);
    std::printf("Paths: %llu\n", paths);
    std::printf("Path points: %llu\n", points);
    std::printf("Images that failed to load: %zu\n", failed.size());
    for (const auto& image : failed) std::printf("  %s\n", image.c_str());
    return 0;
}

}  // namespace zorva::cli
