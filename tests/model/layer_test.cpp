#include <gtest/gtest.h>

#include "model/project.h"
#include "support/project_builder.h"
#include "support/scripted_platform.h"

namespace zorva {
namespace {

TEST(GridCells, FlagWordPacksFlipsRotationAndAttribute) {
    GridCell cell{7, make_cell_flags(true, false, true, 200)};
    EXPECT_EQ(cell.flags, 1605u);  // 1 + 4 + 200 * 8
    EXPECT_TRUE(cell.flip_horizontal());
    EXPECT_FALSE(cell.flip_vertical());
    EXPECT_TRUE(cell.rotate());
    EXPECT_EQ(cell.attribute(), 200);
    cell.set_attribute(255);
    cell.set_flip_vertical(true);
    cell.set_rotate(false);
    EXPECT_EQ(cell.flags, 1u + 2u + 255u * 8u);
    EXPECT_EQ(cell.flags & ~kCellFlagsMask, 0u);
}

TEST(Layers, AddNeedsItsMapAndBuildsAnEmptyGrid) {
    Project project;
    LayerProperties tmpl;
    tmpl.map_id = 3;
    EXPECT_EQ(add_layer(project, tmpl, false, nullptr), nullptr);

    Map* map = add_map(project, MapProperties{}, false, nullptr);
    tmpl.map_id = map->unique_id;
    tmpl.grid_width = 0;  // below 1 becomes 1
    tmpl.grid_height = 4;
    Layer* layer = add_layer(project, tmpl, false, nullptr);
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->grid_width, 1);
    EXPECT_EQ(layer->grid.size(), 4u);
    EXPECT_EQ(layer->grid, std::vector<GridCell>(4));
    EXPECT_EQ(map->layers.size(), 1u);
    EXPECT_EQ(find_layer(project, map->unique_id, layer->unique_id), layer);
}

TEST(Layers, AddCopiesAMatchingTemplateGrid) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 2, 2);
    LayerProperties tmpl = setup.layer->properties();
    const std::vector<GridCell> grid = {{1, 1}, {2, 2}, {3, 3}, {4, 4}};
    Layer* copy = add_layer(setup.project, tmpl, false, nullptr, grid);
    EXPECT_EQ(copy->grid, grid);
    const std::vector<GridCell> wrong_size(3, GridCell{9, 0});
    Layer* empty = add_layer(setup.project, tmpl, false, nullptr, wrong_size);
    EXPECT_EQ(empty->grid, std::vector<GridCell>(4));
}

TEST(Layers, CellAccessIsBoundsChecked) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 3, 2);
    setup.layer->cell(2, 1)->tile = 9;
    EXPECT_EQ(setup.layer->grid[1 * 3 + 2].tile, 9u);
    EXPECT_EQ(setup.layer->cell(3, 0), nullptr);
    EXPECT_EQ(setup.layer->cell(0, 2), nullptr);
    EXPECT_EQ(setup.layer->cell(-1, 0), nullptr);
}

TEST(LayerResize, KeepsTheTopLeftBlock) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 4, 3);
    Layer& layer = *setup.layer;
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 4; ++x)
            *layer.cell(x, y) = {static_cast<std::uint32_t>(10 * y + x + 1), 1};
    ASSERT_TRUE(layer.take_snapshot());

    LayerProperties edited = layer.properties();
    edited.grid_width = 2;
    edited.grid_height = 5;
    edited.name = "Resized";
    edited.unique_id = 1234;  // the id is not taken from the dialog copy
    ASSERT_TRUE(resize_layer(setup.project, layer, edited, nullptr));
    EXPECT_EQ(layer.grid_width, 2);
    EXPECT_EQ(layer.grid_height, 5);
    EXPECT_EQ(layer.name, "Resized");
    EXPECT_EQ(layer.unique_id, 0u);
    ASSERT_EQ(layer.grid.size(), 10u);
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 2; ++x)
            EXPECT_EQ(*layer.cell(x, y), (GridCell{static_cast<std::uint32_t>(10 * y + x + 1), 1}));
    for (std::int32_t y = 3; y < 5; ++y)
        for (std::int32_t x = 0; x < 2; ++x) EXPECT_EQ(*layer.cell(x, y), GridCell{});
    EXPECT_FALSE(layer.has_snapshot());
    EXPECT_TRUE(setup.project.modified);
}

TEST(LayerResize, SameSizeKeepsTheCellsAndZeroBecomesOne) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 3, 3);
    setup.layer->cell(1, 1)->tile = 5;
    LayerProperties edited = setup.layer->properties();
    edited.opacity = 10;
    ASSERT_TRUE(resize_layer(setup.project, *setup.layer, edited, nullptr));
    EXPECT_EQ(setup.layer->cell(1, 1)->tile, 5u);
    EXPECT_EQ(setup.layer->opacity, 10);

    edited.grid_width = 0;
    edited.grid_height = -4;
    ASSERT_TRUE(resize_layer(setup.project, *setup.layer, edited, nullptr));
    EXPECT_EQ(setup.layer->grid_width, 1);
    EXPECT_EQ(setup.layer->grid_height, 1);
    EXPECT_EQ(setup.layer->grid.size(), 1u);
}

TEST(LayerResize, RestoreOfSavedGridPutsItBackAsItWas) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 2, 2);
    const LayerProperties saved = setup.layer->properties();
    std::vector<GridCell> saved_grid = {{1, 0}, {2, 0}, {3, 0}, {4, 0}};
    LayerProperties edited = saved;
    edited.grid_width = 5;
    ASSERT_TRUE(resize_layer(setup.project, *setup.layer, edited, nullptr));

    std::vector<GridCell> wrong(3);
    EXPECT_FALSE(restore_layer(*setup.layer, saved, std::move(wrong), nullptr));
    EXPECT_EQ(setup.layer->grid_width, 5);
    EXPECT_TRUE(restore_layer(*setup.layer, saved, std::vector<GridCell>(saved_grid), nullptr));
    EXPECT_EQ(setup.layer->grid_width, 2);
    EXPECT_EQ(setup.layer->grid, saved_grid);
}

TEST(LayerSnapshot, IsAllocatedOnlyWhenNeeded) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 3, 3);
    Layer& layer = *setup.layer;
    EXPECT_FALSE(layer.has_snapshot());
    layer.cell(0, 0)->tile = 4;
    std::vector<GridCell>* snapshot = layer.snapshot();
    ASSERT_NE(snapshot, nullptr);
    EXPECT_EQ(*snapshot, std::vector<GridCell>(9));  // zeroed, grid-sized
    ASSERT_TRUE(layer.take_snapshot());
    EXPECT_EQ((*layer.snapshot())[0].tile, 4u);
    const std::vector<GridCell> taken = layer.release_snapshot();
    EXPECT_EQ(taken.size(), 9u);
    EXPECT_EQ(taken[0].tile, 4u);
    EXPECT_FALSE(layer.has_snapshot());
    ASSERT_TRUE(layer.take_snapshot());
    layer.clear_snapshot();
    EXPECT_FALSE(layer.has_snapshot());
}

TEST(LayerSelection, RemovingTheSelectedLayerSelectsTheFirst) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 2, 2);
    Project& project = setup.project;
    Map& map = *setup.map;
    Layer* second = add_layer(project, setup.layer->properties(), false, nullptr);
    Layer* third = add_layer(project, setup.layer->properties(), false, nullptr);
    project.select_map(map.unique_id);
    project.select_layer(third->unique_id);
    EXPECT_EQ(map.selected_layer_id, third->unique_id);

    remove_layer(project, map, third, true);
    EXPECT_EQ(project.selected_layer(), setup.layer);
    EXPECT_EQ(map.selected_layer_id, setup.layer->unique_id);

    // Removing a layer that is not selected leaves the selection alone.
    remove_layer(project, map, second, true);
    EXPECT_EQ(project.selected_layer(), setup.layer);

    Detached<Layer> last = remove_layer(project, map, setup.layer, false);
    ASSERT_TRUE(last);
    EXPECT_EQ(map.selected_layer_id, kInvalidId);
    EXPECT_EQ(project.selected_layer(), nullptr);
    EXPECT_EQ(project.selected_map(), &map);

    // Undo: the same layer goes back where it was.
    Layer* raw = last.object.get();
    EXPECT_EQ(insert_layer(map, std::move(last.object), last.index), raw);
    EXPECT_EQ(map.layers.size(), 1u);
}

TEST(LayerList, ReinsertAtThePositionRestoresTheOrder) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 1, 1);
    for (int i = 0; i < 4; ++i) add_layer(setup.project, setup.layer->properties(), false, nullptr);
    std::vector<ObjectId> order;
    for (const auto& layer : setup.map->layers) order.push_back(layer->unique_id);

    for (int position : {0, 2, 4}) {
        Detached<Layer> removed =
            remove_layer(setup.project, *setup.map, layer_at(*setup.map, position), false);
        ASSERT_EQ(removed.index, position);
        insert_layer(*setup.map, std::move(removed.object), removed.index);
        std::vector<ObjectId> now;
        for (const auto& layer : setup.map->layers) now.push_back(layer->unique_id);
        EXPECT_EQ(now, order);
    }
    EXPECT_TRUE(move_down(setup.map->layers, layer_at(*setup.map, 0)));
    EXPECT_EQ(layer_at(*setup.map, 0)->unique_id, order[1]);
}

TEST(LayerTemplate, TakesTheDefaults) {
    Project project;
    ProjectDefaults defaults;
    defaults.layer_grid_width = 64;
    defaults.layer_grid_height = 0;
    defaults.layer_scroll_speed_x = 0.5f;
    defaults.layer_grid_offset_y = -2;
    const LayerProperties layer = make_default_layer(project, defaults, 4);
    EXPECT_EQ(layer.map_id, 4u);
    EXPECT_EQ(layer.grid_width, 64);
    EXPECT_EQ(layer.grid_height, 1);
    EXPECT_EQ(layer.scroll_speed_x, 0.5f);
    EXPECT_EQ(layer.grid_offset_y, -2);
    EXPECT_TRUE(layer.is_visible);
    EXPECT_EQ(layer.opacity, 255);
    ProjectDefaults stored;
    store_layer_defaults(stored, layer);
    EXPECT_EQ(stored.layer_grid_width, 64);
    EXPECT_EQ(stored.layer_grid_offset_y, -2);
}

TEST(Maps, AddEditAndRemove) {
    Project project;
    TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
    tile_set->image = test::make_image(64, 64, test::transparent);
    MapProperties tmpl = make_default_map(project);
    EXPECT_EQ(tmpl.use_tile_set_id, kInvalidId);
    EXPECT_TRUE(tmpl.export_this_map);
    EXPECT_EQ(tmpl.top_left_tile_index_in_tiles_dialog, 1u);
    EXPECT_EQ(tmpl.pixel_size_of_tiles_in_tiles_dialog, -1);
    Map* plain = add_map(project, tmpl, false, nullptr);
    EXPECT_EQ(plain->selected_tile_index, 0u);  // no tile set
    tmpl.use_tile_set_id = tile_set->unique_id;
    Map* with_tiles = add_map(project, tmpl, false, nullptr);
    EXPECT_EQ(with_tiles->selected_tile_index, 1u);

    MapProperties edited = with_tiles->properties();
    edited.name = "Renamed";
    edited.selected_tile_index = 9;
    edited.pixel_size_of_tiles_in_tiles_dialog = 64;
    edit_map(*with_tiles, edited);
    EXPECT_EQ(with_tiles->name, "Renamed");
    EXPECT_EQ(with_tiles->selected_tile_index, 1u);
    EXPECT_EQ(with_tiles->pixel_size_of_tiles_in_tiles_dialog, -1);

    EXPECT_EQ(clamp_tile_display_size(200), 128);
    EXPECT_EQ(clamp_tile_display_size(-1), 8);

    project.select_map(with_tiles->unique_id);
    remove_map(project, with_tiles, true);
    EXPECT_EQ(project.selected_map(), plain);
    remove_map(project, plain, true);
    EXPECT_EQ(project.selected_map(), nullptr);
}

}  // namespace
}  // namespace zorva

namespace zorva {
namespace {

// Grids larger than the address space fail before any allocation is tried, which exercises the
// out-of-memory paths cheaply.
TEST(OutOfMemoryPaths, AHugeLayerIsRefusedAndTheModelStaysUnchanged) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 2, 2);
    test::ScriptedPlatform platform;
    LayerProperties huge = setup.layer->properties();
    huge.grid_width = 0x7FFFFFFF;
    huge.grid_height = 0x7FFFFFFF;
    const ObjectId counter = setup.project.next_layer_id;

    EXPECT_EQ(add_layer(setup.project, huge, false, &platform), nullptr);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Not enough memory to add a new Layer.");
    EXPECT_EQ(platform.shown[0].caption, "Warning");
    EXPECT_EQ(platform.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(setup.project.next_layer_id, counter);
    EXPECT_EQ(setup.map->layers.size(), 1u);

    setup.layer->cell(1, 1)->tile = 3;
    huge.name = "Not applied";
    EXPECT_FALSE(resize_layer(setup.project, *setup.layer, huge, &platform));
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[1].text, "Not enough memory to change layer size!");
    EXPECT_EQ(platform.shown[1].caption, "Error");
    EXPECT_EQ(setup.layer->grid_width, 2);
    EXPECT_EQ(setup.layer->name, "Layer01");
    EXPECT_EQ(setup.layer->cell(1, 1)->tile, 3u);
    EXPECT_FALSE(setup.project.modified);
}

TEST(OutOfMemoryPaths, AHugeMosaicIsRefused) {
    Project project;
    TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
    test::ScriptedPlatform platform;
    Mosaic huge;
    huge.gw = 0xFFFFFFFFu;
    huge.gh = 0xFFFFFFFFu;
    EXPECT_EQ(add_mosaic(*tile_set, huge, false, &platform), nullptr);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Not enough memory to add a new Mosaic.");
    EXPECT_EQ(tile_set->next_mosaic_id, 0u);
    EXPECT_EQ(tile_set->left_most_mosaic_id_on_mosaics_dialog, kInvalidId);
}

}  // namespace
}  // namespace zorva
