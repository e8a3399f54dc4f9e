// zorva-cli info FILE: a summary of a project file, and the images that failed to load.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "projectfile/relative_path.h"

namespace zorva::cli {

int run_info(Arguments arguments) {
    if (arguments.size() != 1) {
        std::fputs("Usage: zorva-cli info FILE\n", stderr);
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
    std::vector<std::string> failed_images;
    for (const auto& tile_set : project.tile_sets) {
        mosaics += tile_set->mosaics.size();
        if (!tile_set->image_path_and_file_name.empty() && tile_set->image.empty())
            failed_images.push_back(tile_set->image_path_and_file_name.str());
    }
    for (const auto& entity : project.parent_entities) {
        if (!entity->image_path_and_file_name.empty() && entity->image.empty())
            failed_images.push_back(entity->image_path_and_file_name.str());
    }
    for (const auto& map : project.maps) {
        layers += map->layers.size();
        for (const auto& layer : map->layers) {
            cells += layer->grid.size();
            instances += layer->instance_entities.size();
            paths += layer->path_count();
            points += layer->path_points.size();
            if (layer->use_background_image && !layer->background_image_path_and_file_name.empty() &&
                layer->background_image.empty())
                failed_images.push_back(layer->background_image_path_and_file_name.str());
        }
    }
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
    std::printf("Images that failed to load: %zu\n", failed_images.size());
    for (const auto& image : failed_images) std::printf("  %s\n", image.c_str());
    return 0;
}

}  // namespace zorva::cli
