#include "view/view_navigation.h"

#include <gtest/gtest.h>

#include <vector>

#include "prefs/preferences.h"
#include "support/project_builder.h"
#include "support/scripted_platform.h"
#include "view/redraw_pacer.h"
#include "view/status_text.h"

namespace zorva::test {
namespace {

struct NavigationTest : ::testing::Test {
    TestProject t = TestProject::with_tiles(32, 32);
    Preferences prefs;
    std::int64_t now = 1000;
    int invalidations = 0;
    RedrawPacer pacer{[this] { return now; }, &prefs, nullptr};
    ViewNavigator nav{&t.project, &prefs, &pacer};

    void SetUp() override {
        pacer.set_hooks({{}, {}, [this] { ++invalidations; }, {}});
        nav.set_view_size({640, 480});
        t.select(t.add_layer(100, 100));
    }
};

TEST_F(NavigationTest, ZoomStepsClampAtOneAndEightHundred) {
    for (std::uint32_t start : {10u, 5u, 1u}) {
        t.project.zoom = start;
        nav.zoom_out(false);
        EXPECT_EQ(t.project.zoom, 1u) << start;
    }
    t.project.zoom = 795;
    nav.zoom_in(false);
    EXPECT_EQ(t.project.zoom, 800u);
    nav.zoom_in(false);
    EXPECT_EQ(t.project.zoom, 800u);
    t.project.zoom = 100;
    nav.zoom_in(false);
    EXPECT_EQ(t.project.zoom, 110u);
    nav.set_zoom(-40, false);
    EXPECT_EQ(t.project.zoom, 1u);
    nav.set_zoom(100000, false);
    EXPECT_EQ(t.project.zoom, 800u);
}

TEST_F(NavigationTest, AnchoredZoomKeepsTheCellUnderTheCursor) {
    t.map->camera_grid_position_x = 3;
    t.map->camera_grid_position_y = -2;
    t.project.zoom = 100;
    for (ViewPoint cursor : {ViewPoint{0, 0}, ViewPoint{317, 211}, ViewPoint{639, 479}, ViewPoint{64, 400}}) {
        nav.set_cursor(cursor);
        for (std::int64_t percent : {250, 800, 37, 1, 100, 55}) {
            const auto before = nav.cell_under(cursor);
            ASSERT_TRUE(before);
            nav.set_zoom(percent, true);
            EXPECT_EQ(nav.cell_under(cursor), before) << cursor.x << "," << cursor.y << " at " << percent;
        }
    }
}

TEST_F(NavigationTest, CentredZoomKeepsTheViewCentre) {
    t.map->camera_grid_position_x = 10;
    t.map->camera_grid_position_y = 20;
    nav.set_cursor(ViewPoint{0, 0});
    nav.set_zoom(200, false);  // centre 320 / 32 = 10 cells at 100 %, 5 at 200 %
    EXPECT_EQ(t.map->camera_grid_position_x, 15);
    EXPECT_EQ(t.map->camera_grid_position_y, 20 + 7 - 3);
    // An unchanged percent moves nothing.
    nav.set_zoom(200, false);
    EXPECT_EQ(t.map->camera_grid_position_x, 15);
}

TEST_F(NavigationTest, ZoomChangeMarksModifiedOnlyWithThePreference) {
    t.project.modified = false;
    nav.set_zoom(50, false);
    EXPECT_FALSE(t.project.modified);
    prefs.set_flag(FlagC::ZoomChangePromptsSave, true);
    nav.set_zoom(50, false);
    EXPECT_FALSE(t.project.modified);
    nav.set_zoom(60, false);
    EXPECT_TRUE(t.project.modified);
}

TEST_F(NavigationTest, ArrowAndPageStepsFollowTheInversionPreference) {
    ASSERT_TRUE(prefs.flag(FlagA::InvertCursorKeys));  // on by default
    nav.step(ViewStep::Left, false);
    EXPECT_EQ(t.map->camera_grid_position_x, -1);
    nav.step(ViewStep::Up, false);
    EXPECT_EQ(t.map->camera_grid_position_y, -1);
    nav.step(ViewStep::Right, false);
    nav.step(ViewStep::Down, false);
    EXPECT_EQ(t.map->camera_grid_position_x, 0);
    EXPECT_EQ(t.map->camera_grid_position_y, 0);

    prefs.set_flag(FlagA::InvertCursorKeys, false);
    nav.step(ViewStep::Left, false);
    EXPECT_EQ(t.map->camera_grid_position_x, 1);
    nav.step(ViewStep::Down, false);
    EXPECT_EQ(t.map->camera_grid_position_y, -1);

    // Pages: a third of the view in whole tiles: 640 / 3 / 32 = 6 columns, 480 / 3 / 32 = 5 rows.
    EXPECT_EQ(nav.page_columns(), 6);
    EXPECT_EQ(nav.page_rows(), 5);
    nav.step(ViewStep::Right, true);
    EXPECT_EQ(t.map->camera_grid_position_x, 1 - 6);
    // At least 2, and 8 when the map has no tile set.
    nav.set_view_size({50, 50});
    EXPECT_EQ(nav.page_columns(), 2);
    t.map->use_tile_set_id = kInvalidId;
    EXPECT_EQ(nav.page_columns(), 8);
    EXPECT_EQ(nav.page_rows(), 8);
}

TEST_F(NavigationTest, MoveToOriginAndToLayer) {
    Layer& offset = t.select(t.add_layer(5, 5, -7, 12));
    t.map->camera_grid_position_x = 40;
    nav.move_to_current_layer();
    EXPECT_EQ(t.map->camera_grid_position_x, -7);
    EXPECT_EQ(t.map->camera_grid_position_y, 12);
    nav.move_to_origin();
    EXPECT_EQ(t.map->camera_grid_position_x, 0);
    EXPECT_EQ(t.map->camera_grid_position_y, 0);
    (void)offset;
}

TEST_F(NavigationTest, CellUnderCursorSnappedAndUnsnapped) {
    t.select(t.add_layer(10, 10, 2, 1));
    t.map->camera_grid_position_x = 1;
    t.map->camera_grid_position_y = 0;
    t.project.zoom = 200;  // 64-pixel cells
    const auto cell = nav.cell_under({130, 70});
    ASSERT_TRUE(cell);
    EXPECT_EQ(*cell, (CellPosition{2 + 1 - 2, 1 + 0 - 1}));
    const auto pixel = nav.layer_pixel_under({130, 70});
    ASSERT_TRUE(pixel);
    // The layer's origin is at ((2 - 1) × 32 × 2, (1 - 0) × 32 × 2) = (64, 64) on screen.
    EXPECT_FLOAT_EQ(pixel->x, 33.0f);
    EXPECT_FLOAT_EQ(pixel->y, 3.0f);

    // No answer without the tile set image or without a current layer.
    t.tile_set->image.release();
    EXPECT_FALSE(nav.cell_under({130, 70}));
    EXPECT_FALSE(nav.layer_pixel_under({130, 70}));
}

TEST_F(NavigationTest, WheelAccumulatesNotchesAndForgetsAfterAPause) {
    t.project.zoom = 100;
    prefs.set_flag(FlagA::EnableMouseWheelZoom, false);
    EXPECT_EQ(nav.wheel(120, 0), 0);
    EXPECT_EQ(t.project.zoom, 100u);
    prefs.set_flag(FlagA::EnableMouseWheelZoom, true);
    nav.set_cursor(ViewPoint{100, 100});
    EXPECT_EQ(nav.wheel(60, 10), 0);
    EXPECT_EQ(nav.wheel(60, 40), 1);  // 120 within 50 ms: one notch in
    EXPECT_EQ(t.project.zoom, 110u);
    EXPECT_EQ(nav.wheel(60, 60), 0);
    EXPECT_EQ(nav.wheel(60, 200), 0);  // the pause cleared the half notch
    EXPECT_EQ(nav.wheel(-240, 210), -1);
    EXPECT_EQ(t.project.zoom, 100u);
    EXPECT_EQ(nav.wheel_accumulator(), -60);
    // A dialog under the cursor takes the notch.
    int taken = 0;
    EXPECT_EQ(nav.wheel(-60, 220,
                        [&](int direction) {
                            taken = direction;
                            return true;
                        }),
              -1);
    EXPECT_EQ(taken, -1);
    EXPECT_EQ(t.project.zoom, 100u);
    // Huge deltas do not overflow the 16-bit sum.
    for (int i = 0; i < 10; ++i) nav.wheel(30000, 230);
    EXPECT_GE(nav.wheel_accumulator(), 0);
}

TEST_F(NavigationTest, EveryCommandRequestsARedraw) {
    now = 5000;
    invalidations = 0;
    nav.step(ViewStep::Left, false);
    EXPECT_EQ(invalidations, 1);
    now += 40;
    nav.move_to_origin();
    EXPECT_EQ(invalidations, 2);
    now += 40;
    nav.set_zoom(300, false);
    EXPECT_EQ(invalidations, 3);
}

TEST(RedrawPacer, UnforcedRequestsAreThirtyThreeMillisecondsApart) {
    std::int64_t now = 100;
    Preferences prefs;
    int invalidations = 0;
    RedrawPacer pacer([&] { return now; }, &prefs, nullptr);
    pacer.set_hooks({{}, {}, [&] { ++invalidations; }, {}});
    EXPECT_TRUE(pacer.request());
    now += 32;
    EXPECT_FALSE(pacer.request());
    EXPECT_TRUE(pacer.request(true));  // forced
    now += 33;
    EXPECT_TRUE(pacer.request());
    EXPECT_EQ(invalidations, 3);
    EXPECT_EQ(pacer.last_redraw_ms(), 165);

    pacer.set_suspended(true);
    now += 100;
    EXPECT_FALSE(pacer.request());
    EXPECT_TRUE(pacer.request(true));
    pacer.set_suspended(false);
    pacer.set_view_ready(false);
    now += 100;
    EXPECT_FALSE(pacer.request(true));
}

TEST(RedrawPacer, RequestsDuringARequestAreDroppedAndHooksRunInOrder) {
    std::int64_t now = 0;
    Preferences prefs;
    ScriptedPlatform platform;
    RedrawPacer pacer([&] { return now; }, &prefs, &platform);
    std::vector<std::string> order;
    bool offscreen_failed = true;
    int nested = 0;
    pacer.set_hooks({[&] {
                         order.push_back("backup");
                         nested += pacer.request(true) ? 1 : 0;  // e.g. a message loop inside the backup
                     },
                     [&] { order.push_back("title"); }, [&] { order.push_back("invalidate"); },
                     [&] {
                         const bool failed = offscreen_failed;
                         offscreen_failed = false;
                         return failed;
                     }});
    prefs.set_flag(FlagA::EnableAutoBackup, true);
    EXPECT_TRUE(pacer.request(true));
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(order, (std::vector<std::string>{"backup", "title", "invalidate"}));
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, "Warning");
    EXPECT_EQ(platform.shown[0].text,
              "Failed to create an offscreen buffer for rendering. \nRendering may flicker. Try reducing the "
              "screen resolution.\n");
    // Without the auto backup preference the check is skipped; the warning shows only once.
    prefs.set_flag(FlagA::EnableAutoBackup, false);
    order.clear();
    EXPECT_TRUE(pacer.request(true));
    EXPECT_EQ(order, (std::vector<std::string>{"title", "invalidate"}));
    EXPECT_EQ(platform.shown.size(), 1u);
}

TEST(StatusText, ViewPane) {
    EXPECT_EQ(view_pane_text(nullptr), "View: 0, 0");
    Map map;
    map.camera_grid_position_x = -3;
    map.camera_grid_position_y = 12;
    EXPECT_EQ(view_pane_text(&map), "View: -3, 12");
}

TEST(StatusText, CursorPaneCases) {
    CursorPaneInput input;
    EXPECT_EQ(cursor_pane_text(input), "(0, 0) / (0, 0)  T:0");
    input.mode = EditMode::Entities;
    input.last_pixel = {12.5f, -3.25f};
    EXPECT_EQ(cursor_pane_text(input), "(0, 0)  12.50, -3.25");
    input.over_layer = true;
    input.cell = {4, -1};
    input.pixel = {130.13f, 7.0f};
    EXPECT_EQ(cursor_pane_text(input), "(4, -1)  130.13, 7.00");
    input.mode = EditMode::Paths;
    EXPECT_EQ(cursor_pane_text(input), "(4, -1)  130.13, 7.00");
    input.mode = EditMode::Tiles;
    input.last_column = 99;
    input.last_row = 49;
    input.tile = 17;
    EXPECT_EQ(cursor_pane_text(input), "(4, -1) / (99, 49)  T:17");
    input.tile_selection = std::make_pair(3u, 1u);
    EXPECT_EQ(cursor_pane_text(input), "Sel: 3 x 1");
}

TEST_F(NavigationTest, CursorPaneFromTheNavigator) {
    Layer& layer = *t.project.selected_layer();
    layer.cell(2, 1)->tile = 5;
    LayerPixel last;
    const auto input = cursor_pane_input(nav, ViewPoint{70, 40}, EditMode::Tiles, last);
    EXPECT_EQ(cursor_pane_text(input), "(2, 1) / (99, 99)  T:5");
    const auto outside_grid = cursor_pane_input(nav, ViewPoint{70, 40 + 32 * 200}, EditMode::Tiles, last);
    EXPECT_EQ(cursor_pane_text(outside_grid), "(2, 201) / (99, 99)  T:0");
    const auto entities = cursor_pane_input(nav, ViewPoint{70, 40}, EditMode::Entities, last);
    EXPECT_EQ(cursor_pane_text(entities), "(2, 1)  70.00, 40.00");
    const auto away = cursor_pane_input(nav, std::nullopt, EditMode::Entities, last);
    EXPECT_EQ(cursor_pane_text(away), "(0, 0)  70.00, 40.00");
}

}  // namespace
}  // namespace zorva::test
