#include "big_project.h"

#include <cstdint>

#include "model/entity.h"
#include "model/layer.h"
#include "model/map.h"
#include "model/path.h"
#include "model/tile_set.h"

namespace zorva::bench {

zorva::Project make_big_project() {
    zorva::Project project;
    zorva::TileSetProperties tiles = zorva::make_default_tile_set(project, zorva::ProjectDefaults{});
    tiles.name = "Tiles";
    zorva::add_tile_set(project, tiles, false, nullptr);
    zorva::ParentEntityProperties entity =
        zorva::make_default_parent_entity(project, zorva::ProjectDefaults{});
    entity.name = "Enemy";
    const zorva::ParentEntity* parent = zorva::add_parent_entity(project, entity, false, nullptr);
    zorva::Map* map = zorva::add_map(project, zorva::make_default_map(project), false, nullptr);
    std::uint32_t seed = 12345;
    auto random = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int l = 0; l < kLayers; ++l) {
        zorva::LayerProperties properties =
            zorva::make_default_layer(project, zorva::ProjectDefaults{}, map->unique_id);
        properties.grid_width = kSide;
        properties.grid_height = kSide;
        zorva::Layer* layer = zorva::add_layer(project, properties, false, nullptr);
        for (auto& cell : layer->grid) {
            const std::uint32_t r = random();
            // Mostly small tile numbers, a few empty cells, occasional flags and attributes.
            cell.tile = r % 8 == 0 ? 0 : 1 + r % 200;
            if (r % 16 == 1)
                cell.flags = zorva::make_cell_flags(true, false, (r & 64) != 0, static_cast<std::uint8_t>(r));
        }
        for (int e = 0; e < kEntitiesPerLayer; ++e) {
            zorva::InstanceEntity instance = zorva::make_instance_entity(
                *parent, map->unique_id, layer->unique_id, static_cast<float>(random() % 32000) / 1.25f,
                static_cast<float>(random() % 32000) / 3.0f);
            instance.custom_variables[0] = static_cast<std::int16_t>(random());
            zorva::add_instance_entity(project, instance, false, nullptr);
        }
        for (int p = 0; p < kPathsPerLayer; ++p) {
            for (int i = 0; i < kPointsPerPath; ++i) {
                zorva::PathPoint point;
                point.map_id = map->unique_id;
                point.layer_id = layer->unique_id;
                point.px = static_cast<float>(random() % 32000) * 0.5f;
                point.py = static_cast<float>(random() % 32000) * 0.5f;
                point.cx1 = point.px - 10.0f;
                point.cy2 = point.py + 10.0f;
                point.set_ucp(i % 2 == 0);
                point.set_starts_path(i == 0);
                point.set_ends_path(i + 1 == kPointsPerPath);
                point.set_is_closed(i == 0 && p % 2 == 0);
                zorva::add_path_point(project, point, false, nullptr);
            }
        }
    }
    return project;
}

}  // namespace zorva::bench
