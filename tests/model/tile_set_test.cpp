#include <gtest/gtest.h>

#include "model/project.h"
#include "support/project_builder.h"
#include "support/scripted_platform.h"

namespace zorva {
namespace {

TileSet* add_tile_set_with_image(Project& project, int width, int height, std::int32_t tile = 16) {
    TileSetProperties tmpl;
    tmpl.single_tile_pixel_width = tile;
    tmpl.single_tile_pixel_height = tile;
    TileSet* tile_set = add_tile_set(project, tmpl, false, nullptr);
    tile_set->image = test::make_image(width, height, test::transparent);
    return tile_set;
}

TEST(TileCounting, WholeTilesAcrossAndDown) {
    Project project;
    TileSet* tile_set = add_tile_set_with_image(project, 100, 50);
    const TileCount count = count_tiles(*tile_set);
    EXPECT_EQ(count.across, 6u);  // 96 pixels used, 4 left over
    EXPECT_EQ(count.down, 3u);
    EXPECT_EQ(count.count, 18u);
}

TEST(TileCounting, SpacingAfterTheLastTileIsNotNeeded) {
    Project project;
    TileSet* tile_set = add_tile_set_with_image(project, 52, 16);
    tile_set->space_between_tiles_pixel_x = 2;
    const TileCount count = count_tiles(*tile_set);
    EXPECT_EQ(count.across, 3u);  // 52 / 18 = 2, remainder 16 >= 16
    EXPECT_EQ(count.down, 1u);
    EXPECT_EQ(count.count, 3u);

    // 32-pixel tiles with a step of 34: 100 = 3 x 34 - 2 holds three tiles, 99 only two.
    EXPECT_EQ(count_tiles_in_area(100, 32, 32, 32, 0, 0, 2, 0).across, 3u);
    EXPECT_EQ(count_tiles_in_area(99, 32, 32, 32, 0, 0, 2, 0).across, 2u);
}

TEST(TileCounting, NoImageGivesNoTiles) {
    Project project;
    TileSetProperties tmpl;
    tmpl.image_path_and_file_name = "/nonexistent/folder/tiles.png";
    TileSet* tile_set = add_tile_set(project, tmpl, false, nullptr);
    ASSERT_NE(tile_set, nullptr);
    EXPECT_TRUE(tile_set->image.empty());
    EXPECT_EQ(count_tiles(*tile_set).count, 0u);
    PixelPosition position;
    EXPECT_FALSE(tile_position(*tile_set, 1, position));
}

TEST(TileCounting, OffsetsAtOrBeyondTheImageGiveNoTiles) {
    EXPECT_EQ(count_tiles_in_area(64, 64, 16, 16, 64, 0, 0, 0).count, 0u);
    EXPECT_EQ(count_tiles_in_area(64, 64, 16, 16, 0, 64, 0, 0).count, 0u);
    EXPECT_EQ(count_tiles_in_area(64, 64, 16, 16, 1000, 0, 0, 0).across, 0u);
    EXPECT_EQ(count_tiles_in_area(64, 64, 16, 16, 0x7FFFFFFF, 0, 0, 0).across, 0u);
    // Just inside: room for no whole tile.
    EXPECT_EQ(count_tiles_in_area(64, 64, 16, 16, 63, 0, 0, 0).across, 0u);
    EXPECT_EQ(count_tiles_in_area(64, 64, 16, 16, 48, 0, 0, 0).across, 1u);
}

TEST(TileCounting, NegativeOffsetsAndDegenerateSizes) {
    // A negative offset widens the room: (64 + 8) / 16 = 4, 8 left over.
    EXPECT_EQ(count_tiles_in_area(64, 16, 16, 16, -8, 0, 0, 0).across, 4u);
    EXPECT_EQ(count_tiles_in_area(64, 64, 0, 16, 0, 0, 0, 0).count, 0u);
    EXPECT_EQ(count_tiles_in_area(64, 64, 0, 16, 0, 0, 2, 0).count, 0u);
    EXPECT_EQ(count_tiles_in_area(64, 64, -16, 16, 0, 0, 16, 0).count, 0u);
    EXPECT_EQ(count_tiles_in_area(0, 0, 16, 16, 0, 0, 0, 0).count, 0u);
}

TEST(TileCounting, PositionsRunRowByRowFromOne) {
    Project project;
    TileSet* tile_set = add_tile_set_with_image(project, 100, 50);
    tile_set->first_tile_offset_pixel_x = 2;
    tile_set->first_tile_offset_pixel_y = 1;
    tile_set->space_between_tiles_pixel_x = 1;
    tile_set->space_between_tiles_pixel_y = 3;
    ASSERT_EQ(count_tiles(*tile_set).across, 5u);  // (100 - 2) / 17 = 5, 13 left over
    PixelPosition position;
    ASSERT_TRUE(tile_position(*tile_set, 1, position));
    EXPECT_EQ(position.x, 2);
    EXPECT_EQ(position.y, 1);
    ASSERT_TRUE(tile_position(*tile_set, 7, position));  // column 1, row 1
    EXPECT_EQ(position.x, 2 + 17);
    EXPECT_EQ(position.y, 1 + 19);
    EXPECT_FALSE(tile_position(*tile_set, 0, position));
}

TEST(TileSetTemplate, TakesTheProjectDefaultsAndStoresThemBack) {
    Project project;
    ProjectDefaults defaults;
    defaults.tile_width = 24;
    defaults.tile_offset_y = -3;
    defaults.tile_spacing_x = 2;
    defaults.tile_set_use_transparent_colour = true;
    defaults.tile_set_transparent_colour = 0x00FF00FF;
    TileSetProperties tmpl = make_default_tile_set(project, defaults);
    EXPECT_EQ(tmpl.single_tile_pixel_width, 24);
    EXPECT_EQ(tmpl.first_tile_offset_pixel_y, -3);
    EXPECT_EQ(tmpl.space_between_tiles_pixel_x, 2u);
    EXPECT_TRUE(tmpl.use_transparent_colour);
    EXPECT_EQ(tmpl.transparent_colour, 0x00FF00FFu);
    EXPECT_EQ(tmpl.unique_id, kInvalidId);
    EXPECT_EQ(tmpl.selected_mosaic_id, kInvalidId);

    tmpl.single_tile_pixel_height = 8;
    ProjectDefaults stored;
    store_tile_set_defaults(stored, tmpl);
    EXPECT_EQ(stored.tile_height, 8);
    EXPECT_EQ(stored.tile_width, 24);
    EXPECT_EQ(stored.tile_set_transparent_colour, 0x00FF00FFu);
}

TEST(TileSetEdit, KeepsIdAndMosaicBookkeeping) {
    Project project;
    TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
    Mosaic mosaic;
    mosaic.gw = 1;
    mosaic.gh = 1;
    add_mosaic(*tile_set, mosaic, false, nullptr);
    TileSetProperties edited = tile_set->properties();
    edited.name = "Edited";
    edited.next_mosaic_id = 0;
    edited.unique_id = 99;
    edit_tile_set(*tile_set, edited, nullptr);
    EXPECT_EQ(tile_set->name, "Edited");
    EXPECT_EQ(tile_set->unique_id, 0u);
    EXPECT_EQ(tile_set->next_mosaic_id, 1u);
    EXPECT_EQ(tile_set->mosaics.size(), 1u);
}

TEST(Mosaics, AddNeedsItsTileSetAndSetsTheLeftMostId) {
    Project project;
    TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
    Mosaic tmpl;
    tmpl.tile_set_id = 77;
    tmpl.gw = 2;
    tmpl.gh = 2;
    EXPECT_EQ(add_mosaic(project, tmpl, false, nullptr), nullptr);

    tmpl.tile_set_id = tile_set->unique_id;
    tmpl.grid = {{1, 0}, {2, 0}, {3, 0}, {4, 5}};
    Mosaic* first = add_mosaic(project, tmpl, false, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->uid, 0u);
    EXPECT_EQ(first->grid, tmpl.grid);
    EXPECT_EQ(tile_set->left_most_mosaic_id_on_mosaics_dialog, 0u);

    tmpl.grid.clear();  // a template without a grid gives an all-zero one
    Mosaic* second = add_mosaic(project, tmpl, false, nullptr);
    EXPECT_EQ(second->uid, 1u);
    EXPECT_EQ(second->grid, std::vector<GridCell>(4));
    EXPECT_EQ(tile_set->left_most_mosaic_id_on_mosaics_dialog, 0u);
}

TEST(Mosaics, KeptIdsNeverCollideWithLaterNewOnes) {
    Project project;
    TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
    Mosaic tmpl;
    tmpl.uid = 0;
    add_mosaic(*tile_set, tmpl, true, nullptr);
    tmpl.uid = 5;
    add_mosaic(*tile_set, tmpl, true, nullptr);
    EXPECT_EQ(tile_set->next_mosaic_id, 6u);
    EXPECT_EQ(add_mosaic(*tile_set, Mosaic{}, false, nullptr)->uid, 6u);
}

TEST(Mosaics, RemovingTheSelectedMosaicClearsTheSelection) {
    Project project;
    TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
    add_mosaic(*tile_set, Mosaic{}, false, nullptr);
    add_mosaic(*tile_set, Mosaic{}, false, nullptr);
    tile_set->selected_mosaic_id = 1;
    EXPECT_TRUE(remove_mosaic(*tile_set, 1));
    EXPECT_EQ(tile_set->selected_mosaic_id, kInvalidId);
    EXPECT_EQ(tile_set->left_most_mosaic_id_on_mosaics_dialog, 0u);
    EXPECT_TRUE(remove_mosaic(*tile_set, 0));
    EXPECT_EQ(tile_set->left_most_mosaic_id_on_mosaics_dialog, kInvalidId);
    EXPECT_FALSE(remove_mosaic(*tile_set, 0));
    EXPECT_TRUE(tile_set->mosaics.empty());
}

TEST(MosaicFromArea, ClampsAndOrdersTheRectangle) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 10, 10);
    for (std::int32_t y = 0; y < 10; ++y)
        for (std::int32_t x = 0; x < 10; ++x)
            *setup.layer->cell(x, y) = {static_cast<std::uint32_t>(y * 10 + x + 1), 8};
    TileSet* tile_set = add_tile_set(setup.project, TileSetProperties{}, false, nullptr);

    Mosaic* mosaic = create_mosaic_from_area(*tile_set, *setup.layer, 5, 5, -3, 2, nullptr);
    ASSERT_NE(mosaic, nullptr);
    EXPECT_EQ(mosaic->gw, 6u);
    EXPECT_EQ(mosaic->gh, 4u);
    EXPECT_EQ(mosaic->tile_set_id, tile_set->unique_id);
    EXPECT_EQ(*mosaic->cell(0, 0), (GridCell{21, 8}));  // x 0, y 2
    EXPECT_EQ(*mosaic->cell(5, 3), (GridCell{56, 8}));  // x 5, y 5
    EXPECT_EQ(mosaic->cell(6, 0), nullptr);
}

TEST(MosaicFromArea, RectanglesOutsideTheLayerMakeNoMosaic) {
    test::TestProject setup;
    setup.add_default_layer(setup.add_default_map(), 10, 10);
    TileSet* tile_set = add_tile_set(setup.project, TileSetProperties{}, false, nullptr);
    EXPECT_EQ(create_mosaic_from_area(*tile_set, *setup.layer, -5, 0, -1, 9, nullptr), nullptr);  // left
    EXPECT_EQ(create_mosaic_from_area(*tile_set, *setup.layer, 10, 0, 12, 9, nullptr), nullptr);  // right
    EXPECT_EQ(create_mosaic_from_area(*tile_set, *setup.layer, 0, -2, 9, -1, nullptr), nullptr);  // above
    EXPECT_EQ(create_mosaic_from_area(*tile_set, *setup.layer, 0, 10, 9, 10, nullptr), nullptr);  // below
    EXPECT_TRUE(tile_set->mosaics.empty());
    Mosaic* one = create_mosaic_from_area(*tile_set, *setup.layer, 9, 9, 9, 9, nullptr);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->gw * one->gh, 1u);
}

TEST(TileSetList, RemoveSelectsTheFirstAndReinsertRestoresTheOrder) {
    Project project;
    for (int i = 0; i < 3; ++i) add_tile_set(project, TileSetProperties{}, false, nullptr);
    TileSet* middle = tile_set_at(project, 1);
    project.select_tile_set(middle->unique_id);

    Detached<TileSet> removed = remove_tile_set(project, middle, false);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed.index, 1);
    EXPECT_EQ(project.tile_sets.size(), 2u);
    EXPECT_EQ(project.selected_tile_set_id(), 0u);

    const ObjectId counter = project.next_tile_set_id;
    EXPECT_EQ(insert_tile_set(project, std::move(removed.object), removed.index), middle);
    EXPECT_EQ(project.next_tile_set_id, counter);
    ASSERT_EQ(project.tile_sets.size(), 3u);
    EXPECT_EQ(tile_set_at(project, 0)->unique_id, 0u);
    EXPECT_EQ(tile_set_at(project, 1)->unique_id, 1u);
    EXPECT_EQ(tile_set_at(project, 2)->unique_id, 2u);
    EXPECT_EQ(tile_set_at(project, 3), nullptr);
    EXPECT_EQ(tile_set_at(project, -1), nullptr);

    int index = 0;
    EXPECT_EQ(find_tile_set(project, 2, &index), tile_set_at(project, 2));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(find_tile_set(project, kInvalidId, &index), nullptr);
    EXPECT_EQ(index, -1);

    EXPECT_TRUE(move_up(project.tile_sets, tile_set_at(project, 2)));
    EXPECT_EQ(tile_set_at(project, 1)->unique_id, 2u);
    EXPECT_FALSE(move_up(project.tile_sets, tile_set_at(project, 0)));
    EXPECT_FALSE(move_down(project.tile_sets, tile_set_at(project, 2)));

    // Removing the last one leaves no selection.
    while (!project.tile_sets.empty()) {
        project.select_tile_set(project.tile_sets.front()->unique_id);
        remove_tile_set(project, project.tile_sets.front().get(), true);
    }
    EXPECT_EQ(project.selected_tile_set(), nullptr);
}

}  // namespace
}  // namespace zorva
