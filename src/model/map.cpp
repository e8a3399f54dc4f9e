#include "model/map.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "model/project.h"

namespace zorva {

std::size_t Map::instance_entity_count() const {
    std::size_t count = 0;
    for (const auto& layer : layers) count += layer->instance_entities.size();
    return count;
}

std::size_t Map::path_count() const {
    std::size_t count = 0;
    for (const auto& layer : layers) count += layer->path_count();
    return count;
}

std::int32_t clamp_tile_display_size(std::int32_t size) {
    return std::clamp(size, kMinTileDisplaySize, kMaxTileDisplaySize);
}

MapProperties make_default_map(const Project& project) {
    MapProperties map;
    char name[32];
    std::snprintf(name, sizeof name, "Map%02lu", static_cast<unsigned long>(project.next_map_id + 1u));
    map.name = name;
    return map;
}

Map* add_map(Project& project, const MapProperties& tmpl, bool keep_id, Platform* platform) {
    std::unique_ptr<Map> map;
    ObjectId id = kInvalidId;
    bool overflow = project.did_map_id_overflow;
    try {
        map = std::make_unique<Map>();
        reserve_one_more(project.maps);
        id = allocate_id(keep_id, tmpl.unique_id, project.next_map_id, overflow, project.maps);
    } catch (const std::bad_alloc&) {
        report_out_of_memory(platform, "Not enough memory to add a new Map.");
        return nullptr;
    }
    project.did_map_id_overflow = overflow;
    advance_id_counter(id, project.next_map_id, project.did_map_id_overflow);
    map->properties() = tmpl;
    map->unique_id = id;
    if (!keep_id && map->selected_tile_index == 0) {
        const TileSet* tile_set = find_tile_set(project, map->use_tile_set_id);
        if (tile_set && count_tiles(*tile_set).count > 0) map->selected_tile_index = 1;
    }
    project.maps.push_back(std::move(map));
    return project.maps.back().get();
}

Map* insert_map(Project& project, std::unique_ptr<Map>&& map, int index) {
    return insert_at(project.maps, std::move(map), index);
}

Detached<Map> remove_map(Project& project, const Map* map, bool free_it) {
    const bool was_selected = map && project.selected_map() == map;
    Detached<Map> result = detach(project.maps, map, free_it);
    if (result && was_selected)
        project.select_map(project.maps.empty() ? kInvalidId : project.maps.front()->unique_id);
    return result;
}

void edit_map(Map& map, const MapProperties& edited) {
    const MapProperties kept = map.properties();
    map.properties() = edited;
    map.unique_id = kept.unique_id;
    map.selected_layer_id = kept.selected_layer_id;
    map.top_left_tile_index_in_tiles_dialog = kept.top_left_tile_index_in_tiles_dialog;
    map.selected_tile_index = kept.selected_tile_index;
    map.pixel_size_of_tiles_in_tiles_dialog = kept.pixel_size_of_tiles_in_tiles_dialog;
}

Map* find_map(const Project& project, ObjectId id, int* index) { return find_by_id(project.maps, id, index); }

Map* map_at(const Project& project, long long position) { return find_at(project.maps, position); }

}  // namespace zorva
