// The logic behind the Tiles and Mosaics windows, without the windows.
#include <gtest/gtest.h>

#include "model/project.h"
#include "prefs/preferences.h"
#include "support/project_builder.h"
#include "support/scripted_platform.h"
#include "tools/mosaic_strip.h"

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
