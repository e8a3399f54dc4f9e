// The logic behind the Tiles and Mosaics windows, without the windows.
#include <gtest/gtest.h>

#include "model/project.h"
#include "prefs/preferences.h"
#include "support/project_builder.h"
#include "support/scripted_platform.h"
#include "tools/mosaic_strip.h"
#include "tools/tile_picker.h"

namespace zorva {
namespace {

TEST(MosaicStrip, TitleSlotsAndDeleteWithItsQuestion) {
    test::TestProject t = test::TestProject::with_tiles(16, 16, 4, 3);
    TileSet& tiles = *t.tile_set;
    EXPECT_EQ(mosaics_title(&tiles), "Mosaics  (0 / 0)");
    Layer& layer = t.add_layer(6, 6);
    for (int i = 0; i < 5; ++i)
        ASSERT_NE(create_mosaic_from_area(tiles, layer, i, 0, i, 1, &t.platform), nullptr);
    make_current_mosaic(tiles, *tiles.mosaics[1], 2);
    EXPECT_EQ(mosaics_title(&tiles), "Mosaics  (2 / 5)");
    EXPECT_EQ(first_shown_index(tiles), 0u);
    // A 100-pixel-high strip, 250 pixels wide: two whole thumbnails of 102 pixels each.
    EXPECT_EQ(strip_slots(250, 100), 2u);
    EXPECT_EQ(mosaic_at_x(tiles, 101, 100), tiles.mosaics[0].get());
    EXPECT_EQ(mosaic_at_x(tiles, 102, 100), tiles.mosaics[1].get());
    // Making the fourth current scrolls it to the front.
    make_current_mosaic(tiles, *tiles.mosaics[3], 2);
    EXPECT_EQ(first_shown_index(tiles), 3u);
    EXPECT_EQ(mosaic_at_x(tiles, 5, 100), tiles.mosaics[3].get());
    EXPECT_TRUE(scroll_strip(tiles, 5));
    EXPECT_EQ(first_shown_index(tiles), 4u);
    EXPECT_FALSE(scroll_strip(tiles, 1));
    EXPECT_TRUE(scroll_strip(tiles, -9));
    EXPECT_EQ(first_shown_index(tiles), 0u);

    Preferences prefs;
    test::ScriptedPlatform platform;
    platform.answers = {Answer::No};
    EXPECT_FALSE(delete_current_mosaic(tiles, prefs, platform));
    EXPECT_EQ(tiles.mosaics.size(), 5u);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Do you want to delete the mosaic?");
    EXPECT_EQ(platform.shown[0].caption, "Delete Mosaic");
    platform.tick_dont_ask_again = true;
    EXPECT_TRUE(delete_current_mosaic(tiles, prefs, platform));
    EXPECT_FALSE(prefs.flag(FlagA::AskWhenDeletingMosaics));
    EXPECT_EQ(tiles.mosaics.size(), 4u);
    EXPECT_EQ(tiles.selected_mosaic_id, kInvalidId);
    EXPECT_EQ(mosaics_title(&tiles), "Mosaics  (0 / 4)");
    // Nothing current: nothing to delete, no question.
    EXPECT_FALSE(delete_current_mosaic(tiles, prefs, platform));
    EXPECT_EQ(platform.shown.size(), 2u);
}

TEST(MosaicStrip, ThumbnailCellsKeepTheTileSizeWhenTheyFitElseShrinkInProportion) {
    Mosaic small;
    small.gw = 2;
    small.gh = 1;
    EXPECT_EQ(thumbnail_cell(small, 16, 16, 64).width, 16);
    Mosaic wide;
    wide.gw = 8;
    wide.gh = 2;
    const ThumbnailCell cell = thumbnail_cell(wide, 32, 16, 64);
    EXPECT_EQ(cell.width, 8);
    EXPECT_EQ(cell.height, 4);
}

}  // namespace
}  // namespace zorva

namespace zorva {
namespace {

// A map over a tile set of 5 tiles across and 3 down (15 tiles) or 12 tiles (the last row partial).
struct PickerTest : ::testing::Test {
    Map map;
    TileCount tiles{5, 3, 15};
};

TEST_F(PickerTest, ViewSizeIsClampedAndAClickResetsTheBrushFlags) {
    EXPECT_EQ(tile_view_size(map), 8);  // -1 reads as 8
    EXPECT_TRUE(set_tile_view_size(map, 5));
    EXPECT_EQ(map.pixel_size_of_tiles_in_tiles_dialog, 8);
    EXPECT_TRUE(set_tile_view_size(map, 200));
    EXPECT_EQ(map.pixel_size_of_tiles_in_tiles_dialog, 128);
    EXPECT_FALSE(set_tile_view_size(map, 300));
    set_tile_view_size(map, 18);  // cells of 20 pixels
    map.place_tile_horizontal_flip = map.place_tile_rotate = true;
    map.place_tile_attribute = 9;
    const std::uint32_t tile = tile_at(map, tiles, 45, 25);  // column 2, row 1
    EXPECT_EQ(tile, 8u);
    choose_tile(map, tile);
    EXPECT_EQ(map.selected_tile_index, 8u);
    EXPECT_FALSE(map.place_tile_horizontal_flip || map.place_tile_rotate);
    EXPECT_EQ(map.place_tile_attribute, 0);
    // Scrolled to column 3: a click four columns in lies beyond the row's end and takes its last tile;
    // far below the last row it is limited to the last row.
    set_top_left(map, tiles, 3, 0);
    EXPECT_EQ(map.top_left_tile_index_in_tiles_dialog, 4u);
    EXPECT_EQ(tile_at(map, tiles, 85, 5), 5u);
    EXPECT_EQ(tile_at(map, tiles, 5, 500), 14u);
    TileCount partial{5, 3, 12};
    set_top_left(map, partial, 0, 0);
    EXPECT_EQ(tile_at(map, partial, 85, 45), 12u);  // past the last tile
    EXPECT_EQ(tile_at(map, TileCount{}, 5, 5), 0u);
    EXPECT_EQ(tiles_title(&map, tiles), "Tiles  (8 / 15)");
}

TEST_F(PickerTest, CtrlArrowsWrapAsTheyShould) {
    map.selected_tile_index = 0;
    ASSERT_TRUE(step_brush(map, tiles, BrushStep::Left, 5, 3));
    EXPECT_EQ(map.selected_tile_index, 1u);  // no brush tile: tile 1
    step_brush(map, tiles, BrushStep::Left, 5, 3);
    EXPECT_EQ(map.selected_tile_index, 5u);  // before the row's first: its last
    step_brush(map, tiles, BrushStep::Right, 5, 3);
    EXPECT_EQ(map.selected_tile_index, 1u);  // after the row's last: its first
    map.selected_tile_index = 10;
    step_brush(map, tiles, BrushStep::Right, 5, 3);
    EXPECT_EQ(map.selected_tile_index, 6u);
    map.selected_tile_index = 13;
    step_brush(map, tiles, BrushStep::Down, 5, 3);
    EXPECT_EQ(map.selected_tile_index, 3u);  // the same column of the first row
    step_brush(map, tiles, BrushStep::Up, 5, 3);
    EXPECT_EQ(map.selected_tile_index, 13u);
    // With 12 tiles: t + A − N and t + N − A.
    TileCount partial{5, 3, 12};
    map.selected_tile_index = 9;
    step_brush(map, partial, BrushStep::Down, 5, 3);
    EXPECT_EQ(map.selected_tile_index, 2u);
    step_brush(map, partial, BrushStep::Up, 5, 3);
    EXPECT_EQ(map.selected_tile_index, 9u);
    map.selected_tile_index = 12;
    step_brush(map, partial, BrushStep::Right, 5, 3);
    EXPECT_EQ(map.selected_tile_index, 11u);  // the partial row's first tile
    EXPECT_FALSE(step_brush(map, TileCount{}, BrushStep::Right, 5, 3));
}

TEST_F(PickerTest, TheBrushScrollsIntoView) {
    set_top_left(map, tiles, 0, 0);
    map.selected_tile_index = 1;
    step_brush(map, tiles, BrushStep::Left, 2, 1);  // tile 5, column 4: becomes the last whole column
    EXPECT_EQ(top_left_spot(map, tiles).column, 3);
    step_brush(map, tiles, BrushStep::Down, 2, 1);  // tile 10, row 1
    EXPECT_EQ(top_left_spot(map, tiles).row, 1);
    step_brush(map, tiles, BrushStep::Right, 2, 1);  // tile 6, column 0: becomes the first
    EXPECT_EQ(top_left_spot(map, tiles).column, 0);
    EXPECT_EQ(map.top_left_tile_index_in_tiles_dialog, 6u);
}

}  // namespace
}  // namespace zorva
