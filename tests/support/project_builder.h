// Projects built in code for the view and render tests: one tile set whose image is drawn in code,
// one map, and layers added on demand.
#pragma once

#include <functional>

#include "base/platform.h"
#include "model/project.h"
#include "support/test_images.h"

namespace zorva::test {

struct TestProject {
    Project project;
    HeadlessPlatform platform;
    TileSet* tile_set = nullptr;
    Map* map = nullptr;

    // A tile set of `across` × `down` tiles of `tile_w` × `tile_h` pixels (no image when `with_image` is
    // false), `colour(x, y)` filling the image, and a map using it.
    explicit TestProject(int tile_w = 16, int tile_h = 16, int across = 4, int down = 2,
                         const std::function<std::uint32_t(int, int)>& colour = coded,
                         bool with_image = true) {
        TileSetProperties ts;
        ts.single_tile_pixel_width = tile_w;
        ts.single_tile_pixel_height = tile_h;
        tile_set = add_tile_set(project, ts, false, &platform);
        if (with_image) set_image(make_image(tile_w * across, tile_h * down, colour));
        MapProperties mp;
        mp.use_tile_set_id = tile_set->unique_id;
        map = add_map(project, mp, false, &platform);
        project.select_map(map->unique_id);
    }

    void set_image(Image image) { copy_image(tile_set->image, image); }

    Layer& add(int width, int height, int offset_x = 0, int offset_y = 0, bool select = true) {
        LayerProperties lp;
        lp.map_id = map->unique_id;
        lp.grid_width = width;
        lp.grid_height = height;
        lp.grid_offset_x = offset_x;
        lp.grid_offset_y = offset_y;
        Layer* layer = add_layer(project, lp, false, &platform);
        if (select) project.select_layer(layer->unique_id);
        return *layer;
    }
};

}  // namespace zorva::test
