// Projects built in code for the export tests.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/platform.h"
#include "model/project.h"

namespace zorva::test {

// A blank picture standing in for a loaded image file.
inline void loaded_image(Image& image, int width, int height) {
    image.allocate(width, height);
    image.kind = ImageKind::Png;
    image.needs_blending = true;
}

struct ExportTestProject {
    Project project;
    HeadlessPlatform platform;

    TileSet& tile_set(std::string_view name, int tile_w, int tile_h, int image_w = 0, int image_h = 0) {
        TileSetProperties properties;
        properties.name = name;
        properties.single_tile_pixel_width = tile_w;
        properties.single_tile_pixel_height = tile_h;
        TileSet* added = add_tile_set(project, properties, false, &platform);
        if (image_w > 0) loaded_image(added->image, image_w, image_h);
        return *added;
    }

    ParentEntity& parent(std::string_view name, int image_w = 0, int image_h = 0) {
        ParentEntityProperties properties;
        properties.name = name;
        ParentEntity* added = add_parent_entity(project, properties, false, &platform);
        if (image_w > 0) {
            loaded_image(added->image, image_w, image_h);
            added->pixel_width = static_cast<std::uint32_t>(image_w);
            added->pixel_height = static_cast<std::uint32_t>(image_h);
        }
        return *added;
    }

    Map& map(std::string_view name, const TileSet* tile_set, bool exported = true) {
        MapProperties properties;
        properties.name = name;
        properties.use_tile_set_id = tile_set ? tile_set->unique_id : kInvalidId;
        properties.export_this_map = exported;
        return *add_map(project, properties, false, &platform);
    }

    Layer& layer(Map& map, std::string_view name, int width, int height, int offset_x = 0, int offset_y = 0) {
        LayerProperties properties;
        properties.map_id = map.unique_id;
        properties.name = name;
        properties.grid_width = width;
        properties.grid_height = height;
        properties.grid_offset_x = offset_x;
        properties.grid_offset_y = offset_y;
        return *add_layer(project, properties, false, &platform);
    }

    InstanceEntity& instance(const Map& map, const Layer& layer, const ParentEntity& parent, float x,
                             float y) {
        InstanceEntity entity = make_instance_entity(parent, map.unique_id, layer.unique_id, x, y);
        return *add_instance_entity(project, entity, false, &platform);
    }

    // A path of `nodes` points starting at (x, y), 10 pixels apart; control points at -1/+1 pixel.
    void path(const Map& map, const Layer& layer, int nodes, float x, float y, bool closed) {
        for (int i = 0; i < nodes; ++i) {
            PathPoint point;
            point.map_id = map.unique_id;
            point.layer_id = layer.unique_id;
            point.px = x + 10.0f * static_cast<float>(i);
            point.py = y;
            point.cx1 = point.px - 1.0f;
            point.cy1 = y - 1.0f;
            point.cx2 = point.px + 1.0f;
            point.cy2 = y + 1.0f;
            point.set_starts_path(i == 0);
            point.set_ends_path(i == nodes - 1);
            point.set_is_closed(i == 0 && closed);
            point.custom_variables[0] = static_cast<std::int16_t>(i + 1);
            add_path_point(project, point, false, &platform);
        }
    }
};

}  // namespace zorva::test
