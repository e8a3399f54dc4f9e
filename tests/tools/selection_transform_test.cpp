// The Transform menu on tile and entity selections through the dispatch, the quarter-turn table, the path
// transforms on point lists, and the "Rotate" and "Scale" prompts with their remembered values.
#include "tools/selection_transform.h"

#include <gtest/gtest.h>

#include <array>
#include <cfloat>
#include <cmath>
#include <new>
#include <random>
#include <vector>

#include "entity_test_support.h"
#include "tool_test_support.h"
#include "tools/path_transform.h"
#include "tools/transform_prompt.h"

namespace zorva {
namespace {

using test::EntityBench;
using test::ToolBench;

constexpr const char* kUndoFlipTiles = "&Undo : Flip tiles\tCtrl+Z";
constexpr const char* kUndoRotateTiles = "&Undo : Rotate tiles\tCtrl+Z";
constexpr const char* kUndoFlipEntities = "&Undo : Flip entities\tCtrl+Z";
constexpr const char* kUndoRotateEntities = "&Undo : Rotate entities\tCtrl+Z";

GridCell cell_of(std::uint32_t tile, bool h, bool v, bool r, std::uint8_t attribute = 0) {
    return GridCell{tile, make_cell_flags(h, v, r, attribute)};
}

void undo_redo_restores(ToolBench& b, const std::vector<GridCell>& before,
                        const std::vector<GridCell>& after) {
    ASSERT_EQ(b.histories.undo(&b.project()), UndoResult::Done);
    EXPECT_EQ(b.grid(), before);
    ASSERT_EQ(b.histories.redo(&b.project()), UndoResult::Done);
    EXPECT_EQ(b.grid(), after);
}

TEST(QuarterTurn, FollowsTheTableInTwoCyclesOfFour) {
    struct Hvr {
        bool h, v, r;
    };
    const std::array<std::array<Hvr, 4>, 2> cycles{{
        {{{false, false, false}, {false, false, true}, {true, true, false}, {true, true, true}}},
        {{{true, false, false}, {false, true, true}, {false, true, false}, {true, false, true}}},
    }};
    for (const auto& cycle : cycles) {
        for (std::size_t i = 0; i < 4; ++i) {
            Hvr s = cycle[i];
            quarter_turn(s.h, s.v, s.r);
            const Hvr& want = cycle[(i + 1) % 4];
            EXPECT_EQ(s.h, want.h);
            EXPECT_EQ(s.v, want.v);
            EXPECT_EQ(s.r, want.r);
        }
    }
    // The attribute of a cell's flag word is kept.
    EXPECT_EQ(quarter_turn_cell_flags(make_cell_flags(false, false, true, 200)),
              make_cell_flags(true, true, false, 200));
}

TEST(TileTransform, GroupFlipMirrorsAndTogglesTheMiddleColumnOnce) {
    ToolBench b;
    b.prefs.set_flag(FlagA::SwitchToMoveOverSelection, false);
    b.set(2, 1, 1);
    b.set(3, 1, 2, make_cell_flags(true, false, false, 4));
    b.set(4, 1, 3, make_cell_flags(false, true, true, 0));
    b.select(2, 1, 4, 2);
    const std::vector<GridCell> before = b.grid();
    ASSERT_TRUE(b.tools.run(ToolCommand::FlipHorizontal));
    EXPECT_EQ(b.cell(2, 1), cell_of(3, true, true, true));
    EXPECT_EQ(b.cell(3, 1), cell_of(2, false, false, false, 4));  // in place, H toggled once
    EXPECT_EQ(b.cell(4, 1), cell_of(1, true, false, false));
    // Empty cells get their flip too.
    EXPECT_EQ(b.cell(3, 2), cell_of(0, true, false, false));
    EXPECT_EQ(b.histories.undo_text(), kUndoFlipTiles);
    undo_redo_restores(b, before, b.grid());

    // Vertically: rows mirrored, V toggled; the selection stays.
    const std::vector<GridCell> flipped = b.grid();
    ASSERT_TRUE(b.tools.run(ToolCommand::FlipVertical));
    EXPECT_EQ(b.cell(2, 2), cell_of(3, true, false, true));
    EXPECT_EQ(b.cell(2, 1), cell_of(0, true, true, false));
    EXPECT_EQ(b.tools.tile_selection().rect(), (CellRect{2, 1, 4, 2}));
    undo_redo_restores(b, flipped, b.grid());
}

TEST(TileTransform, RotationAtTheLayerEdgeDropsCellsAndTheSelectionBecomesThreeByTwo) {
    ToolBench b;
    b.prefs.set_flag(FlagA::SwitchToMoveOverSelection, false);  // 12 × 10: column 10 is the second-to-last
    // A 2 × 3 block: a b / c d / e f.
    const std::uint32_t tiles[3][2] = {{1, 2}, {3, 4}, {5, 6}};
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 2; ++i) b.set(10 + i, 4 + j, tiles[j][i]);
    b.set(11, 4, 2, make_cell_flags(true, false, false, 9));
    b.select(10, 4, 11, 6);
    const std::vector<GridCell> before = b.grid();
    ASSERT_TRUE(b.tools.run(ToolCommand::Rotate));
    // Turned clockwise: e c a / f d b, whose third column lies outside the layer.
    EXPECT_EQ(b.cell(10, 4), cell_of(5, false, false, true));
    EXPECT_EQ(b.cell(11, 4), cell_of(3, false, false, true));
    EXPECT_EQ(b.cell(10, 5), cell_of(6, false, false, true));
    EXPECT_EQ(b.cell(11, 5), cell_of(4, false, false, true));
    EXPECT_EQ(b.cell(10, 6), GridCell{});  // cleared
    EXPECT_EQ(b.cell(11, 6), GridCell{});
    EXPECT_EQ(b.tools.tile_selection().width(), 3u);
    EXPECT_EQ(b.tools.tile_selection().height(), 2u);
    EXPECT_EQ(b.tools.tile_selection().start, (CellPosition{10, 4}));
    EXPECT_EQ(b.histories.undo_text(), kUndoRotateTiles);
    undo_redo_restores(b, before, b.grid());
}

TEST(TileTransform, FourGroupRotationsRestoreTheBlockAndFourIndividualOnesCycle) {
    ToolBench b;
    b.prefs.set_flag(FlagA::SwitchToMoveOverSelection, false);
    std::uint32_t tile = 1;
    for (int r = 2; r <= 3; ++r) {
        for (int c = 3; c <= 5; ++c, ++tile)
            b.set(c, r, tile, make_cell_flags(tile % 2 == 0, tile % 3 == 0, tile % 4 == 0, tile));
    }
    const std::vector<GridCell> start = b.grid();
    b.select(3, 2, 5, 3);
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(b.tools.run(ToolCommand::Rotate));
        if (i < 3) {
            EXPECT_NE(b.grid(), start);
        }
    }
    EXPECT_EQ(b.grid(), start);
    EXPECT_EQ(b.tools.tile_selection().rect(), (CellRect{3, 2, 5, 3}));

    // Individual rotations: positions stay, flags go round one cycle of the table.
    b.select(4, 3, 4, 3);
    const GridCell one = b.cell(4, 3);  // tile 5: H 0, V 0, R 0
    const std::array<GridCell, 4> states{cell_of(5, false, false, true, 5), cell_of(5, true, true, false, 5),
                                         cell_of(5, true, true, true, 5), one};
    for (const GridCell& want : states) {
        ASSERT_TRUE(b.tools.run(ToolCommand::IndividualRotate));
        EXPECT_EQ(b.cell(4, 3), want);
    }
    EXPECT_EQ(b.histories.undo_text(), kUndoRotateTiles);

    // Individual flips toggle every cell, empty ones included, in place.
    b.select(0, 0, 1, 0);
    ASSERT_TRUE(b.tools.run(ToolCommand::IndividualFlipVertical));
    EXPECT_EQ(b.cell(1, 0), cell_of(0, false, true, false));
    ASSERT_TRUE(b.tools.run(ToolCommand::IndividualFlipHorizontal));
    EXPECT_EQ(b.cell(0, 0), cell_of(0, true, true, false));
    EXPECT_EQ(b.histories.undo_text(), kUndoFlipTiles);
    ASSERT_EQ(b.histories.undo(&b.project()), UndoResult::Done);
    EXPECT_EQ(b.cell(0, 0), cell_of(0, false, true, false));
}

TEST(TileTransform, RefusalsWithoutSelectionLockedOutOfMemoryOrFloatingAndNoScaling) {
    ToolBench b;
    b.prefs.set_flag(FlagA::SwitchToMoveOverSelection, false);
    EXPECT_FALSE(b.tools.can(ToolCommand::FlipHorizontal));  // nothing selected
    b.set(1, 1, 3);
    b.select(1, 1, 2, 2);
    EXPECT_FALSE(b.tools.can(ToolCommand::Scale));
    EXPECT_FALSE(b.tools.can(ToolCommand::IndividualScale));
    EXPECT_TRUE(b.tools.can(ToolCommand::Rotate));

    b.layer->is_locked = true;
    const std::vector<GridCell> before = b.grid();
    EXPECT_FALSE(b.tools.run(ToolCommand::Rotate));
    ASSERT_EQ(b.platform.shown.size(), 1u);
    EXPECT_EQ(b.platform.shown[0].caption, "Locked/Hidden");
    EXPECT_EQ(b.grid(), before);
    EXPECT_EQ(b.tools.tile_selection().rect(), (CellRect{1, 1, 2, 2}));
    EXPECT_EQ(b.histories.main().undo_count(), 0u);
    b.layer->is_locked = false;

    // Without memory for the rotated block: the message, and nothing changes or is recorded.
    b.tools.tiles().set_rotation_allocation_probe([](std::size_t cells) {
        EXPECT_EQ(cells, 4u);
        throw std::bad_alloc();
    });
    b.platform.shown.clear();
    EXPECT_FALSE(b.tools.run(ToolCommand::Rotate));
    ASSERT_EQ(b.platform.shown.size(), 1u);
    EXPECT_EQ(b.platform.shown[0].text, "Not enough memory to rotate the selection.");
    EXPECT_EQ(b.platform.shown[0].caption, "Out of memory");
    EXPECT_EQ(b.grid(), before);
    EXPECT_EQ(b.tools.tile_selection().rect(), (CellRect{1, 1, 2, 2}));
    EXPECT_EQ(b.histories.main().undo_count(), 0u);
    EXPECT_FALSE(b.layer->has_snapshot());
    b.tools.tiles().set_rotation_allocation_probe({});

    ASSERT_TRUE(b.tools.run(ToolCommand::Float));
    for (ToolCommand c : {ToolCommand::FlipHorizontal, ToolCommand::FlipVertical, ToolCommand::Rotate,
                          ToolCommand::IndividualFlipHorizontal, ToolCommand::IndividualFlipVertical,
                          ToolCommand::IndividualRotate})
        EXPECT_FALSE(b.tools.run(c));
}

TEST(EntityTransform, GroupFlipsAndRotationUseTheGroupBox) {
    EntityBench e;
    InstanceEntity& sprite = e.add(*e.sprite, 100, 50);  // 32 × 32
    InstanceEntity& zone = e.add(*e.zone, 140, 60);      // 16 × 16 rectangle trigger
    zone.trw = 40;
    zone.trh = 10;
    const ObjectId sprite_id = sprite.uid, zone_id = zone.uid;
    e.band(90, 40, 200, 100);
    ASSERT_EQ(e.entities.selected_count(), 2u);
    // Group box: left 100, top 50, right 180, bottom 82.
    const std::vector<InstanceEntity> before = e.list();
    ASSERT_TRUE(e.b.tools.run(ToolCommand::FlipHorizontal));
    EXPECT_EQ(e.find(sprite_id)->px, 148.0f);  // 180 - 0 - 32
    EXPECT_EQ(e.find(zone_id)->px, 100.0f);    // 180 - 40 - 40
    EXPECT_TRUE(e.find(sprite_id)->fh);
    EXPECT_EQ(e.undo_text(), kUndoFlipEntities);
    ASSERT_EQ(e.b.histories.undo(&e.project()), UndoResult::Done);
    EXPECT_TRUE(test::same_entities(e.list(), before));

    ASSERT_TRUE(e.b.tools.run(ToolCommand::FlipVertical));
    EXPECT_EQ(e.find(sprite_id)->py, 50.0f);  // 82 - 0 - 32
    EXPECT_EQ(e.find(zone_id)->py, 62.0f);    // 82 - 10 - 10
    EXPECT_TRUE(e.find(zone_id)->fv);
    ASSERT_EQ(e.b.histories.undo(&e.project()), UndoResult::Done);

    ASSERT_TRUE(e.b.tools.run(ToolCommand::Rotate));
    // x = left + (bottom - (y + eh)), y = top + (x - left).
    EXPECT_EQ(e.find(sprite_id)->px, 100.0f);  // 100 + (82 - 82)
    EXPECT_EQ(e.find(sprite_id)->py, 50.0f);
    EXPECT_EQ(e.find(zone_id)->px, 112.0f);  // 100 + (82 - 70)
    EXPECT_EQ(e.find(zone_id)->py, 90.0f);   // 50 + 40
    EXPECT_TRUE(e.find(zone_id)->ro);        // and so 10 wide, 40 tall
    EXPECT_EQ(e.undo_text(), kUndoRotateEntities);
    const std::vector<InstanceEntity> rotated = e.list();
    ASSERT_EQ(e.b.histories.undo(&e.project()), UndoResult::Done);
    EXPECT_TRUE(test::same_entities(e.list(), before));
    ASSERT_EQ(e.b.histories.redo(&e.project()), UndoResult::Done);
    EXPECT_TRUE(test::same_entities(e.list(), rotated));
}

TEST(EntityTransform, IndividualFormsKeepPositionsAndCycleTheFlags) {
    EntityBench e;
    InstanceEntity& one = e.add(*e.circle, 20, 30);
    one.fh = true;  // cycle 100 -> 011 -> 010 -> 101 -> 100
    const ObjectId id = one.uid;
    e.band(30, 40, 40, 50);
    ASSERT_EQ(e.entities.selected_count(), 1u);
    EXPECT_FALSE(e.b.tools.can(ToolCommand::Scale));
    const bool want[4][3] = {
        {false, true, true}, {false, true, false}, {true, false, true}, {true, false, false}};
    for (const auto& w : want) {
        ASSERT_TRUE(e.b.tools.run(ToolCommand::IndividualRotate));
        const InstanceEntity& now = *e.find(id);
        EXPECT_EQ(now.fh, w[0]);
        EXPECT_EQ(now.fv, w[1]);
        EXPECT_EQ(now.ro, w[2]);
        EXPECT_EQ(now.px, 20.0f);
        EXPECT_EQ(now.py, 30.0f);
    }
    ASSERT_TRUE(e.b.tools.run(ToolCommand::IndividualFlipVertical));
    EXPECT_TRUE(e.find(id)->fv);
    ASSERT_TRUE(e.b.tools.run(ToolCommand::IndividualFlipHorizontal));
    EXPECT_FALSE(e.find(id)->fh);
    EXPECT_EQ(e.undo_text(), kUndoFlipEntities);
    ASSERT_EQ(e.b.histories.undo(&e.project()), UndoResult::Done);
    EXPECT_TRUE(e.find(id)->fh);

    // Locked: the lock rule's message, nothing changes.
    e.layer().is_locked = true;
    EXPECT_FALSE(e.b.tools.run(ToolCommand::IndividualRotate));
    EXPECT_FALSE(e.b.platform.shown.empty());
    EXPECT_TRUE(e.find(id)->fh);
}

// Seeded runs of random bands (some reaching past the layer's edge) and transform keys: undo goes back
// through every grid the run passed, and redo forward again.
TEST(TileTransform, RandomRunsUndoAndRedoThroughEveryStep) {
    const std::array<ToolCommand, 6> commands{ToolCommand::FlipHorizontal,
                                              ToolCommand::FlipVertical,
                                              ToolCommand::Rotate,
                                              ToolCommand::IndividualFlipHorizontal,
                                              ToolCommand::IndividualFlipVertical,
                                              ToolCommand::IndividualRotate};
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        ToolBench b(9, 7, 200);
        b.prefs.set_flag(FlagA::SwitchToMoveOverSelection, false);
        std::mt19937 random(seed);
        const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 9; ++c)
                b.set(c, r, static_cast<std::uint32_t>(pick(13)),
                      make_cell_flags(pick(2) == 0, pick(2) == 0, pick(2) == 0,
                                      static_cast<std::uint8_t>(pick(256))));
        std::vector<std::vector<GridCell>> grids{b.grid()};
        for (int step = 0; step < 60; ++step) {
            if (pick(3) == 0) b.select(pick(9), pick(7), pick(12), pick(10));
            const std::size_t records = b.histories.main().undo_count();
            b.tools.run(commands[static_cast<std::size_t>(pick(6))]);
            if (b.histories.main().undo_count() != records) grids.push_back(b.grid());
        }
        ASSERT_GT(grids.size(), 20u) << seed;
        for (std::size_t i = grids.size() - 1; i > 0; --i) {
            ASSERT_EQ(b.histories.undo(&b.project()), UndoResult::Done);
            ASSERT_EQ(b.grid(), grids[i - 1]) << seed << " " << i;
        }
        for (std::size_t i = 1; i < grids.size(); ++i) {
            ASSERT_EQ(b.histories.redo(&b.project()), UndoResult::Done);
            ASSERT_EQ(b.grid(), grids[i]) << seed << " " << i;
        }
    }
}

// --- Paths -----------------------------------------------------------------------------------------------

PathPoint point(float x, float y, bool starts, bool ends) {
    PathPoint p;
    p.px = p.cx1 = p.cx2 = x;
    p.py = p.cy1 = p.cy2 = y;
    p.set_starts_path(starts);
    p.set_ends_path(ends);
    return p;
}

TEST(PathTransform, ScalingHalfTwiceThenFourTimesReturnsAboutTheSameCentre) {
    std::vector<PathPoint> points{point(10, 20, true, false), point(50, 20, false, false),
                                  point(30, 80, false, true)};
    points[1].cx1 = 60;  // control points move too, and do not count for the centre
    const PathRange paths[] = {{0, 2}};
    const PathCentre centre = *paths_centre(std::span<const PathPoint>(points), paths);
    EXPECT_DOUBLE_EQ(centre.x, 30.0);
    EXPECT_DOUBLE_EQ(centre.y, 50.0);
    ASSERT_TRUE(transform_paths(std::span<PathPoint>(points), paths, Transform::Scale, 0.5));
    EXPECT_FLOAT_EQ(points[0].px, 20.0f);
    EXPECT_FLOAT_EQ(points[1].cx1, 45.0f);
    ASSERT_TRUE(transform_paths(std::span<PathPoint>(points), paths, Transform::Scale, 0.5));
    ASSERT_TRUE(transform_paths(std::span<PathPoint>(points), paths, Transform::IndividualScale, 4.0));
    EXPECT_NEAR(points[0].px, 10.0f, 1e-4);
    EXPECT_NEAR(points[2].py, 80.0f, 1e-4);
    EXPECT_NEAR(points[1].cx1, 60.0f, 1e-4);
    const PathCentre after = *paths_centre(std::span<const PathPoint>(points), paths);
    EXPECT_NEAR(after.x, 30.0, 1e-4);
    EXPECT_NEAR(after.y, 50.0, 1e-4);
}

TEST(PathTransform, RotationTurnsClockwiseOnScreenAndFlipsUseCommonOrOwnCentres) {
    std::vector<PathPoint> points{point(0, 0, true, false), point(20, 0, false, true)};
    const PathRange one[] = {{0, 1}};
    ASSERT_TRUE(transform_paths(std::span<PathPoint>(points), one, Transform::Rotate, 90.0));
    // Right of the centre (10, 0) goes below it.
    EXPECT_NEAR(points[1].px, 10.0f, 1e-4);
    EXPECT_NEAR(points[1].py, 10.0f, 1e-4);
    EXPECT_NEAR(points[0].py, -10.0f, 1e-4);

    // Two Paths as a layer holds them: a group flip about the common centre, individual flips about each
    // Path's own.
    std::vector<std::unique_ptr<PathPoint>> layer;
    for (const PathPoint& p : {point(0, 0, true, false), point(10, 0, false, true), point(30, 5, true, false),
                               point(40, 5, false, true)})
        layer.push_back(std::make_unique<PathPoint>(p));
    const std::vector<PathRange> paths = path_ranges(layer);
    ASSERT_EQ(paths.size(), 2u);
    ASSERT_TRUE(transform_paths(layer, paths, Transform::FlipHorizontal));
    EXPECT_FLOAT_EQ(layer[0]->px, 40.0f);
    EXPECT_FLOAT_EQ(layer[3]->px, 0.0f);
    ASSERT_TRUE(transform_paths(layer, paths, Transform::IndividualFlipHorizontal));
    EXPECT_FLOAT_EQ(layer[0]->px, 30.0f);
    EXPECT_FLOAT_EQ(layer[1]->px, 40.0f);
    // Flat Paths flip onto themselves: nothing moves. Their common box is 5 tall.
    EXPECT_FALSE(transform_paths(layer, paths, Transform::IndividualFlipVertical));
    ASSERT_TRUE(transform_paths(layer, paths, Transform::FlipVertical));
    EXPECT_FLOAT_EQ(layer[0]->py, 5.0f);
    EXPECT_FLOAT_EQ(layer[2]->py, 0.0f);
    EXPECT_FLOAT_EQ(layer[2]->cy2, 0.0f);
}

TEST(PathTransform, ResultsBeyondTheFloatRangeLeaveThePathUnchanged) {
    std::vector<PathPoint> points{point(0, 0, true, false), point(3.0e38f, 0, false, true)};
    const PathRange paths[] = {{0, 1}};
    const std::vector<PathPoint> before = points;
    EXPECT_FALSE(transform_paths(std::span<PathPoint>(points), paths, Transform::Scale, 4.0));
    EXPECT_FALSE(transform_paths(std::span<PathPoint>(points), paths, Transform::IndividualScale, 1.0e30));
    EXPECT_FALSE(transform_paths(std::span<PathPoint>(points), paths, Transform::Scale, std::nan("")));
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].px, before[i].px);
        EXPECT_EQ(points[i].py, before[i].py);
    }
}

// --- Prompts ---------------------------------------------------------------------------------------------

TEST(TransformPrompt, ReadsDecimalNumbersAndRefusesEverythingElse) {
    EXPECT_EQ(parse_prompt_number(" 90.5 "), 90.5f);
    EXPECT_EQ(parse_prompt_number("-45"), -45.0f);
    EXPECT_EQ(parse_prompt_number("+23,5"), 23.5f);
    EXPECT_EQ(parse_prompt_number("1e2"), 100.0f);
    for (const char* bad : {"", "abc", "12a", "nan", "NaN", "inf", "-infinity", "1e39", "0x10", "1 2", "--1"})
        EXPECT_EQ(parse_prompt_number(bad), std::nullopt) << bad;
    EXPECT_EQ(prompt_number_text(100.0f), "100");
    EXPECT_EQ(prompt_number_text(0.1f), "0.1");
}

TEST(TransformPrompt, RemembersOnlyAcceptedValues) {
    test::ScriptedPlatform platform;
    Preferences prefs;
    ASSERT_EQ(prefs.last_rotation_angle(), 0.0f);
    ASSERT_EQ(prefs.last_scale_percent(), 100.0f);

    platform.typed = {std::string("100"), std::string("0"), std::string("-5"), std::string("inf"),
                      std::string("23.5")};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ask_scale_factor(platform, prefs), std::nullopt);
    EXPECT_EQ(prefs.last_scale_percent(), 100.0f);
    EXPECT_DOUBLE_EQ(*ask_scale_factor(platform, prefs), 0.235);
    EXPECT_EQ(prefs.last_scale_percent(), 23.5f);
    EXPECT_EQ(ask_scale_factor(platform, prefs), std::nullopt);  // Cancel
    ASSERT_EQ(platform.prompts.size(), 6u);
    EXPECT_EQ(platform.prompts[0].title, "Scale");
    EXPECT_EQ(platform.prompts[0].label,
              "Specify the scale percentage (e.g. 23.5). The value must be positive:");
    EXPECT_EQ(platform.prompts[0].initial, "100");
    EXPECT_EQ(platform.prompts[5].initial, "23.5");

    platform.prompts.clear();
    platform.typed = {std::string("0"), std::string("nan"), std::string("-90.5")};
    EXPECT_EQ(ask_rotation_angle(platform, prefs), std::nullopt);
    EXPECT_EQ(ask_rotation_angle(platform, prefs), std::nullopt);
    EXPECT_EQ(prefs.last_rotation_angle(), 0.0f);
    EXPECT_EQ(ask_rotation_angle(platform, prefs), -90.5f);
    EXPECT_EQ(prefs.last_rotation_angle(), -90.5f);
    ASSERT_EQ(platform.prompts.size(), 3u);
    EXPECT_EQ(platform.prompts[0].title, "Rotate");
    EXPECT_EQ(
        platform.prompts[0].label,
        "Specify the angle of rotation (e.g. 90.5). Positive value rotates clockwise, and negative value "
        "anti-clockwise:");
    EXPECT_EQ(platform.prompts[0].initial, "0");
}

}  // namespace
}  // namespace zorva
