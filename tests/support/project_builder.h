// Projects built in code for the tests: tile sets and parent entities with or without a picture drawn in
// code, maps, layers, instance entities and paths, each added through the model's own add functions.
// Writing a built project to a file is in support/project_file.h, for the tests that link projectfile.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/platform.h"
#include "model/project.h"
#include "support/test_images.h"

namespace zorva::test {

class TestProject {
public:
    Project project;
    HeadlessPlatform platform;  // handed to every add; it keeps the messages the model shows

    // The tile set, map and layer added last (null before the first).
    TileSet* tile_set = nullptr;
    Map* map = nullptr;
    Layer* layer = nullptr;

    // The usual start of a view or render test: one tile set of `across` × `down` tiles of `tile_w` ×
    // `tile_h` pixels whose picture `colour(x, y)` draws (no picture when `across` or `down` is 0), and one
    // map using it, selected.
    static TestProject with_tiles(int tile_w, int tile_h, int across = 4, int down = 2,
                                  const ColourAt& colour = coded) {
        TestProject t;
        t.select(t.add_map({}, &t.add_tile_set({}, tile_w, tile_h, tile_w * across, tile_h * down, colour)));
        return t;
    }

    // A tile set of `tile_w` × `tile_h` pixel tiles with a picture of `image_w` × `image_h` pixels drawn by
    // `colour` (left blank by default), or without a picture when `image_w` is 0.
    TileSet& add_tile_set(std::string_view name, int tile_w, int tile_h, int image_w = 0, int image_h = 0,
                          const ColourAt& colour = transparent) {
        TileSetProperties properties;
        properties.name = name;
        properties.single_tile_pixel_width = tile_w;
        properties.single_tile_pixel_height = tile_h;
        tile_set = zorva::add_tile_set(project, properties, false, &platform);
        if (image_w > 0 && image_h > 0) give_picture(tile_set->image, image_w, image_h, colour);
        return *tile_set;
    }

    // A parent entity, with a picture of `image_w` × `image_h` pixels drawn by `colour` (blank by default)
    // that also sets its pixel size, or without a picture when `image_w` is 0.
    ParentEntity& add_parent(std::string_view name, int image_w = 0, int image_h = 0,
                             const ColourAt& colour = transparent) {
        ParentEntityProperties properties;
        properties.name = name;
        ParentEntity* added = zorva::add_parent_entity(project, properties, false, &platform);
        if (image_w > 0 && image_h > 0) {
            give_picture(added->image, image_w, image_h, colour);
            added->pixel_width = static_cast<std::uint32_t>(image_w);
            added->pixel_height = static_cast<std::uint32_t>(image_h);
        }
        return *added;
    }

    // A map using `tiles` (none when null), marked for export unless `exported` is false.
    Map& add_map(std::string_view name, const TileSet* tiles = nullptr, bool exported = true) {
        MapProperties properties;
        properties.name = name;
        properties.use_tile_set_id = tiles ? tiles->unique_id : kInvalidId;
        properties.export_this_map = exported;
        map = zorva::add_map(project, properties, false, &platform);
        return *map;
    }

    // A map as the New Map dialog proposes it ("Map01" for the first).
    Map& add_default_map() {
        map = zorva::add_map(project, make_default_map(project), false, &platform);
        return *map;
    }

    // A layer of `width` × `height` cells on `on`, its cell (0, 0) at map cell (`offset_x`, `offset_y`).
    Layer& add_layer(Map& on, std::string_view name, int width, int height, int offset_x = 0,
                     int offset_y = 0) {
        LayerProperties properties;
        properties.map_id = on.unique_id;
        properties.name = name;
        properties.grid_width = width;
        properties.grid_height = height;
        properties.grid_offset_x = offset_x;
        properties.grid_offset_y = offset_y;
        layer = zorva::add_layer(project, properties, false, &platform);
        return *layer;
    }

    // An unnamed layer on the map added last.
    Layer& add_layer(int width, int height, int offset_x = 0, int offset_y = 0) {
        return add_layer(*map, {}, width, height, offset_x, offset_y);
    }

    // A layer as the New Layer dialog proposes it for `on` with the stock defaults ("Layer01" for the
    // first), at `width` × `height` cells.
    Layer& add_default_layer(Map& on, int width, int height) {
        LayerProperties properties = make_default_layer(project, ProjectDefaults{}, on.unique_id);
        properties.grid_width = width;
        properties.grid_height = height;
        layer = zorva::add_layer(project, properties, false, &platform);
        return *layer;
    }

    // An instance of `parent` at pixel (x, y) of `on_layer`.
    InstanceEntity& add_instance(const Map& on, const Layer& on_layer, const ParentEntity& parent, float x,
                                 float y) {
        const InstanceEntity entity = make_instance_entity(parent, on.unique_id, on_layer.unique_id, x, y);
        return *zorva::add_instance_entity(project, entity, false, &platform);
    }

    // A path of `nodes` points starting at (x, y), 10 pixels apart, control points 1 pixel up-left and
    // down-right of each point, custom variable 0 counting the points from 1.
    void add_path(const Map& on, const Layer& on_layer, int nodes, float x, float y, bool closed) {
        for (int i = 0; i < nodes; ++i) {
            PathPoint point;
            point.map_id = on.unique_id;
            point.layer_id = on_layer.unique_id;
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
            zorva::add_path_point(project, point, false, &platform);
        }
    }

    // Selects as the list windows do: a map (with the layer it remembers), or a layer of the selected map.
    Map& select(Map& chosen) {
        project.select_map(chosen.unique_id);
        return chosen;
    }
    Layer& select(Layer& chosen) {
        project.select_layer(chosen.unique_id);
        return chosen;
    }

private:
    // A picture as a loader leaves one, in place of a file.
    static void give_picture(Image& image, int width, int height, const ColourAt& colour) {
        Image drawn = make_image(width, height, colour);
        copy_image(image, drawn);
    }
};

}  // namespace zorva::test
