// The tile tools driven through the dispatch as the viewport drives them, without a window: the edge cases
// of strokes, picks, bands, Extra Placement, moves, drops, pastes, fills, the lock rule, the endings of
// tools and the automatic Move tool, and what undo makes of each.
#include <gtest/gtest.h>

#include "model/project.h"
#include "tool_test_support.h"
#include "tools/mosaic_strip.h"

namespace zorva {
namespace {

using test::ToolBench;

constexpr const char* kNothingToUndo = "Undo\tCtrl+Z";
constexpr const char* kUndoPlace = "&Undo : Place tiles\tCtrl+Z";
constexpr const char* kUndoErase = "&Undo : Erase tiles\tCtrl+Z";
constexpr const char* kUndoAttributes = "&Undo : Tile attributes\tCtrl+Z";

GridCell cell_of(std::uint32_t tile, bool h, bool v, bool r, std::uint8_t attribute) {
    return GridCell{tile, make_cell_flags(h, v, r, attribute)};
}

TEST(TileStroke, BrushTileZeroClearsTileAndFlagsButWritesTheAttribute) {
    ToolBench b;
    b.set(2, 2, 5, make_cell_flags(true, true, true, 3));
    b.map().selected_tile_index = 0;
    b.map().place_tile_horizontal_flip = true;
    b.map().place_tile_attribute = 7;
    EXPECT_TRUE(b.press(2, 2));
    EXPECT_TRUE(b.release(2, 2));
    EXPECT_EQ(b.cell(2, 2), cell_of(0, false, false, false, 7));
    EXPECT_EQ(b.histories.undo_text(), kUndoPlace);
    EXPECT_TRUE(b.project().modified);

    // With a brush tile the flags come along.
    b.map().selected_tile_index = 6;
    b.press(3, 2);
    b.release(3, 2);
    EXPECT_EQ(b.cell(3, 2), cell_of(6, true, false, false, 7));
}

TEST(TileStroke, AFastDragLeavesGapsAndMakesOneRecord) {
    ToolBench b;
    const auto before = b.grid();
    b.map().selected_tile_index = 4;
    b.press(1, 1);
    b.move(5, 1);  // the mouse skipped cells 2 to 4
    b.move(5, 3);
    b.release(5, 3);
    EXPECT_EQ(b.cell(1, 1).tile, 4u);
    for (int c = 2; c <= 4; ++c) EXPECT_EQ(b.cell(c, 1).tile, 0u) << c;
    EXPECT_EQ(b.cell(5, 1).tile, 4u);
    EXPECT_EQ(b.cell(5, 2).tile, 0u);
    EXPECT_EQ(b.cell(5, 3).tile, 4u);
    EXPECT_EQ(b.histories.main().undo_count(), 1u);
    ASSERT_EQ(b.histories.undo(&b.project()), UndoResult::Done);
    EXPECT_EQ(b.grid(), before);
}

TEST(TileStroke, EraserEmptiesCellsAndAStrokeOffTheLayerDoesNothing) {
    ToolBench b;
    b.set(0, 0, 9, make_cell_flags(true, false, false, 200));
    b.tools.set_tool(Tool::Eraser);
    b.press(0, 0);
    b.release(0, 0);
    EXPECT_EQ(b.cell(0, 0), GridCell{});
    EXPECT_EQ(b.histories.undo_text(), kUndoErase);
    // Cell (20, 20) lies off the 12 × 10 layer: silently nothing, no record.
    b.tools.set_tool(Tool::Placement);
    EXPECT_FALSE(b.press(20, 20));
    b.release(20, 20);
    EXPECT_EQ(b.histories.main().undo_count(), 1u);
    EXPECT_TRUE(b.platform.shown.empty());
}

TEST(TileStroke, LockedOrHiddenLayersAndLockedMapsRefuseWithTheirMessages) {
    ToolBench b;
    const auto before = b.grid();
    b.layer->is_locked = true;
    EXPECT_FALSE(b.press(1, 1));
    b.release(1, 1);
    b.layer->is_locked = false;
    b.layer->is_visible = false;
    b.press(1, 1);
    b.release(1, 1);
    b.layer->is_visible = true;
    b.map().is_locked = true;
    b.press(1, 1);
    b.release(1, 1);
    EXPECT_EQ(b.grid(), before);
    EXPECT_EQ(b.histories.undo_text(), kNothingToUndo);
    ASSERT_EQ(b.platform.shown.size(), 3u);
    EXPECT_EQ(b.platform.shown[0].text, "The Layer is locked/hidden.");
    EXPECT_EQ(b.platform.shown[0].caption, "Locked/Hidden");
    EXPECT_EQ(b.platform.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(b.platform.shown[1].caption, "Locked/Hidden");
    EXPECT_EQ(b.platform.shown[2].text, "The Map is locked.");
    EXPECT_EQ(b.platform.shown[2].caption, "Locked");
}

TEST(TileStroke, AMapWithoutATileSetOrALayerWithoutAGridDoesNothingSilently) {
    ToolBench b;
    b.map().use_tile_set_id = kInvalidId;
    EXPECT_FALSE(b.press(1, 1));
    b.release(1, 1);
    b.select(0, 0, 2, 2);
    EXPECT_FALSE(b.tools.tile_selection().active);
    EXPECT_FALSE(b.tools.run(ToolCommand::SelectAll));
    EXPECT_TRUE(b.platform.shown.empty());
    EXPECT_EQ(b.histories.undo_text(), kNothingToUndo);
}

TEST(TilePick, RightClickTakesTheCellIntoTheBrushWithoutARecord) {
    ToolBench b;
    b.set(4, 4, 11, make_cell_flags(false, true, true, 42));
    b.tools.set_tool(Tool::Select);  // any tool
    EXPECT_TRUE(b.press(4, 4, MouseButton::Right));
    EXPECT_EQ(b.map().selected_tile_index, 11u);
    EXPECT_FALSE(b.map().place_tile_horizontal_flip);
    EXPECT_TRUE(b.map().place_tile_vertical_flip);
    EXPECT_TRUE(b.map().place_tile_rotate);
    EXPECT_EQ(b.map().place_tile_attribute, 42);
    EXPECT_EQ(b.histories.undo_text(), kNothingToUndo);
}

TEST(ExtraPlacement, DraggedUpAndLeftPicksTilesAboveAndLeftWrappingAtTheTileSetEdges) {
    ToolBench b;                      // 4 tiles across, 3 down
    b.map().selected_tile_index = 1;  // column 0, row 0
    b.map().place_tile_horizontal_flip = true;
    b.map().place_tile_attribute = 5;
    b.tools.set_tool(Tool::ExtraPlacement);
    b.press(5, 5);
    b.move(3, 4);
    // While dragging, the preview describes what will be placed.
    ASSERT_TRUE(b.tools.overlay().extra_placement.has_value());
    EXPECT_EQ(b.tools.overlay().extra_placement->rect, (CellRect{3, 4, 5, 5}));
    EXPECT_EQ(b.tools.overlay().extra_placement->pressed, (CellPosition{5, 5}));
    b.release(3, 4);
    EXPECT_FALSE(b.tools.overlay().extra_placement.has_value());
    // Two left and one up of tile 1 wraps to column 2 of row 2: tile 11.
    EXPECT_EQ(b.cell(3, 4), cell_of(11, true, false, false, 5));
    EXPECT_EQ(b.cell(4, 4).tile, 12u);
    EXPECT_EQ(b.cell(5, 4).tile, 9u);
    EXPECT_EQ(b.cell(3, 5).tile, 3u);
    EXPECT_EQ(b.cell(4, 5).tile, 4u);
    EXPECT_EQ(b.cell(5, 5), cell_of(1, true, false, false, 5));
    EXPECT_EQ(b.cell(2, 5).tile, 0u);
    EXPECT_EQ(b.histories.undo_text(), kUndoPlace);
    EXPECT_FALSE(b.tools.tile_selection().active);
}

TEST(RubberBand, EndsOrderedAndSelectAllAndNone) {
    ToolBench b;
    b.select(6, 5, 2, 1);
    const TileSelection& s = b.tools.tile_selection();
    EXPECT_TRUE(s.active);
    EXPECT_EQ(s.rect(), (CellRect{2, 1, 6, 5}));
    EXPECT_EQ(s.start, (CellPosition{2, 1}));
    EXPECT_EQ(b.tools.tile_selection_size(), (std::pair<std::uint32_t, std::uint32_t>{5, 5}));
    EXPECT_TRUE(b.tools.run(ToolCommand::SelectNone));
    EXPECT_FALSE(s.active);
    EXPECT_FALSE(b.tools.can(ToolCommand::SelectNone));
    EXPECT_TRUE(b.tools.run(ToolCommand::SelectAll));
    EXPECT_EQ(s.rect(), (CellRect{0, 0, 11, 9}));
    EXPECT_EQ(b.histories.undo_text(), kNothingToUndo);
}

TEST(RubberBand, ClampsTheCursorToTheViewAndScrollsWhenItLeaves) {
    ToolBench b;
    b.tools.set_tool(Tool::Select);
    b.press(2, 2);
    b.move_to({600, 300});
    b.tools.after_redraw(b.now);  // the cursor is inside: nothing
    // Dragged past the right edge: the band's corner stops at the view's last column...
    b.move_to({900, 300});
    EXPECT_EQ(b.tools.tile_selection().end, (CellPosition{639 / test::kTile, 300 / test::kTile}));
    // ...and the view scrolls one cell per step, at most one step per 50 ms, the corner following.
    EXPECT_TRUE(b.tools.after_redraw(b.now += 1));
    EXPECT_EQ(b.map().camera_grid_position_x, 1);
    EXPECT_EQ(b.tools.tile_selection().end.column, 639 / test::kTile + 1);
    EXPECT_FALSE(b.tools.after_redraw(b.now += 20));
    EXPECT_TRUE(b.tools.after_redraw(b.now += 40));
    EXPECT_EQ(b.map().camera_grid_position_x, 2);
    b.move_to({300, 300});
    EXPECT_FALSE(b.tools.after_redraw(b.now += 100));
    EXPECT_EQ(b.map().camera_grid_position_x, 2);
    b.release_at({300, 300});
}

TEST(Clipboard, CopyCutDeleteAndTheirRecords) {
    ToolBench b;
    b.set(1, 1, 3);
    b.set(2, 1, 4, make_cell_flags(true, false, false, 8));
    EXPECT_FALSE(b.tools.can(ToolCommand::Copy));
    b.select(1, 1, 2, 1);
    ASSERT_TRUE(b.tools.run(ToolCommand::Copy));
    const Clipboard& clip = b.tools.clipboard();
    EXPECT_EQ(clip.kind, ClipKind::Tiles);
    EXPECT_EQ(clip.tiles.width, 2);
    EXPECT_EQ(clip.tiles.height, 1);
    EXPECT_EQ(clip.start, (CellPosition{1, 1}));
    EXPECT_EQ(clip.tiles.tile_set_id, b.map().use_tile_set_id);
    EXPECT_EQ(clip.tiles.at(1, 0), b.cell(2, 1));
    EXPECT_EQ(b.histories.undo_text(), kNothingToUndo);

    ASSERT_TRUE(b.tools.run(ToolCommand::Cut));
    EXPECT_EQ(b.cell(1, 1), GridCell{});
    EXPECT_EQ(b.cell(2, 1), GridCell{});
    EXPECT_EQ(b.histories.undo_text(), kUndoErase);
    EXPECT_TRUE(b.tools.tile_selection().active);  // the selection stays

    b.set(1, 1, 7);
    ASSERT_TRUE(b.tools.run(ToolCommand::Delete));
    EXPECT_EQ(b.cell(1, 1), GridCell{});
    EXPECT_EQ(clip.tiles.at(0, 0).tile, 3u);  // Delete leaves the clipboard
    EXPECT_EQ(b.histories.main().undo_count(), 2u);

    // A selection wholly off the layer copies nothing.
    b.select(14, 2, 15, 3);
    EXPECT_FALSE(b.tools.can(ToolCommand::Copy));
    EXPECT_FALSE(b.tools.run(ToolCommand::Copy));
    EXPECT_EQ(clip.tiles.at(0, 0).tile, 3u);
}

TEST(Paste, EmptyCellsWithAttributesChangeOnlyTheAttributesBelow) {
    ToolBench b;
    b.set(0, 0, 0, make_cell_flags(false, false, false, 9));
    b.set(1, 0, 0, 0);
    b.set(2, 0, 5, make_cell_flags(false, true, false, 0));
    b.select(0, 0, 2, 0);
    ASSERT_TRUE(b.tools.run(ToolCommand::Copy));
    b.set(6, 6, 3, make_cell_flags(true, false, false, 1));
    b.set(7, 6, 6);
    b.set(8, 6, 2);
    ASSERT_TRUE(b.tools.run(ToolCommand::Paste));
    EXPECT_TRUE(b.tools.floating_active());
    EXPECT_FALSE(b.tools.tile_selection().active);  // Paste ends the tools fully
    b.move(6, 6);
    ASSERT_TRUE(b.tools.overlay().floating_tiles.has_value());
    EXPECT_EQ(b.tools.overlay().floating_tiles->at, (CellPosition{6, 6}));
    b.press(6, 6);
    EXPECT_FALSE(b.tools.floating_active());
    EXPECT_EQ(b.cell(6, 6), cell_of(3, true, false, false, 9));  // only the attribute changed
    EXPECT_EQ(b.cell(7, 6).tile, 6u);                            // left as it was
    EXPECT_EQ(b.cell(8, 6), cell_of(5, false, true, false, 0));
    EXPECT_EQ(b.histories.undo_text(), kUndoPlace);
    // The release that follows the dropping press does nothing more.
    EXPECT_FALSE(b.release(6, 6));
    EXPECT_EQ(b.histories.main().undo_count(), 1u);
}

TEST(Paste, OntoAMapWithAnotherTileSetShowsTheMessageAndMakesNoFloat) {
    ToolBench b;
    b.set(0, 0, 2);
    b.select(0, 0, 0, 0);
    ASSERT_TRUE(b.tools.run(ToolCommand::Copy));
    TileSet& other = b.t.add_tile_set("Other", test::kTile, test::kTile, 64, 64);
    Map& second = b.t.add_map("Second", &other);
    b.t.add_layer(second, "L", 5, 5);
    b.t.select(second);
    b.t.project.select_layer(second.layers[0]->unique_id);
    EXPECT_TRUE(b.tools.can(ToolCommand::Paste));
    EXPECT_FALSE(b.tools.run(ToolCommand::Paste));
    EXPECT_FALSE(b.tools.floating_active());
    ASSERT_EQ(b.platform.shown.size(), 1u);
    EXPECT_EQ(b.platform.shown[0].text, "You can only paste tiles on maps that use the same tile set.");
    EXPECT_EQ(b.platform.shown[0].caption, "Paste tiles");
}

TEST(Paste, AFloatHangingOffTheLayerWritesOnlyTheCellsOnIt) {
    ToolBench b;
    b.tools.run(ToolCommand::SelectAll);
    b.map().selected_tile_index = 2;
    b.tools.run(ToolCommand::FillTiles);
    b.select(0, 0, 3, 2);
    ASSERT_TRUE(b.tools.run(ToolCommand::Copy));
    b.tools.run(ToolCommand::SelectAll);
    b.tools.run(ToolCommand::Delete);
    ASSERT_TRUE(b.tools.run(ToolCommand::Paste));
    b.move(10, 8);  // the 4 × 3 block reaches two columns and one row past the 12 × 10 layer
    b.press(10, 8);
    EXPECT_EQ(b.layer->grid.size(), 120u);
    int placed = 0;
    for (const GridCell& c : b.layer->grid) placed += c.tile == 2 ? 1 : 0;
    EXPECT_EQ(placed, 4);
    EXPECT_EQ(b.cell(11, 9).tile, 2u);
}

TEST(Move, ReleasedWithinThreePixelsChangesNothingAndRecordsNothing) {
    ToolBench b;
    b.set(2, 2, 5);
    b.select(2, 2, 3, 3);
    const auto before = b.grid();
    b.tools.set_tool(Tool::Move);
    const ViewPoint at = ToolBench::centre(2, 2);
    b.press_at(at);
    EXPECT_EQ(b.cell(2, 2), GridCell{});  // the hole shows during the drag
    EXPECT_FALSE(b.tools.tile_selection().active);
    b.move_to({at.x + 3, at.y - 3});
    b.release_at({at.x + 3, at.y + 3});
    EXPECT_EQ(b.grid(), before);
    EXPECT_EQ(b.histories.undo_text(), kNothingToUndo);
    EXPECT_TRUE(b.tools.tile_selection().active);
    EXPECT_EQ(b.tools.tile_selection().rect(), (CellRect{2, 2, 3, 3}));
    EXPECT_FALSE(b.tools.floating_active());
}

TEST(Move, WithZHeldLeavesTheSourceAndRecordsOnePlaceTiles) {
    ToolBench b;
    b.set(1, 1, 5);
    b.set(2, 2, 6);
    b.select(1, 1, 2, 2);
    b.tools.set_tool(Tool::Move);
    b.press(2, 2, MouseButton::Left, kModifierZ);
    EXPECT_EQ(b.cell(1, 1).tile, 5u);  // no hole
    EXPECT_TRUE(b.tools.tile_selection().active);
    b.move(6, 5);
    b.release(6, 5);
    EXPECT_EQ(b.cell(1, 1).tile, 5u);
    EXPECT_EQ(b.cell(2, 2).tile, 6u);
    EXPECT_EQ(b.cell(5, 4).tile, 5u);
    EXPECT_EQ(b.cell(6, 5).tile, 6u);
    EXPECT_EQ(b.histories.main().undo_count(), 1u);
    EXPECT_EQ(b.histories.undo_text(), kUndoPlace);
    EXPECT_EQ(b.tools.tile_selection().rect(), (CellRect{1, 1, 2, 2}));  // stays on the source
}

TEST(Move, OneUndoRestoresSourceAndDestination) {
    ToolBench b;
    b.set(1, 1, 5);
    b.set(2, 1, 7, make_cell_flags(false, false, true, 4));
    b.set(4, 1, 9);
    b.select(1, 1, 2, 1);
    const auto before = b.grid();
    b.tools.set_tool(Tool::Move);
    b.press(1, 1);
    b.move(3, 1);
    EXPECT_TRUE(b.histories.is_busy());
    EXPECT_EQ(b.histories.undo(&b.project()), UndoResult::Refused);  // no undo while floating
    b.release(3, 1);
    EXPECT_EQ(b.cell(1, 1), GridCell{});
    EXPECT_EQ(b.cell(2, 1), GridCell{});
    EXPECT_EQ(b.cell(3, 1).tile, 5u);
    EXPECT_EQ(b.cell(4, 1), cell_of(7, false, false, true, 4));
    EXPECT_EQ(b.tools.tile_selection().rect(), (CellRect{3, 1, 4, 1}));
    const auto after = b.grid();
    EXPECT_EQ(b.histories.main().undo_count(), 1u);
    ASSERT_EQ(b.histories.undo(&b.project()), UndoResult::Done);
    EXPECT_EQ(b.grid(), before);
    ASSERT_EQ(b.histories.redo(&b.project()), UndoResult::Done);
    EXPECT_EQ(b.grid(), after);
}

TEST(Move, KeypadMovesNudgeAndDrop) {
    ToolBench b;
    b.set(1, 1, 5);
    b.select(1, 1, 1, 1);
    EXPECT_TRUE(b.tools.can(ToolCommand::NudgeRight));
    EXPECT_FALSE(b.tools.can(ToolCommand::Drop));
    EXPECT_TRUE(b.key(Key::Keypad6));
    EXPECT_TRUE(b.tools.floating().keyboard);
    EXPECT_TRUE(b.tools.run(ToolCommand::NudgeRight));
    EXPECT_TRUE(b.tools.run(ToolCommand::NudgeDown));
    ASSERT_TRUE(b.tools.overlay().floating_tiles.has_value());
    EXPECT_EQ(b.tools.overlay().floating_tiles->at, (CellPosition{3, 2}));
    EXPECT_TRUE(b.key(Key::Keypad0));
    EXPECT_EQ(b.cell(1, 1), GridCell{});
    EXPECT_EQ(b.cell(3, 2).tile, 5u);
    EXPECT_EQ(b.tools.tile_selection().rect(), (CellRect{3, 2, 3, 2}));
    EXPECT_EQ(b.histories.undo_text(), kUndoPlace);
    // A mouse float is not nudged by the keypad.
    b.select(3, 2, 3, 2);
    b.tools.set_tool(Tool::Move);
    b.press(3, 2);
    EXPECT_FALSE(b.tools.can(ToolCommand::NudgeLeft));
    EXPECT_FALSE(b.key(Key::Keypad4));
    // Esc puts the source back and does not make the selection active again.
    EXPECT_TRUE(b.key(Key::Escape));
    EXPECT_EQ(b.cell(3, 2).tile, 5u);
    EXPECT_FALSE(b.tools.tile_selection().active);
}

TEST(Move, ADropOnALockedLayerCancelsWithTheMessage) {
    ToolBench b;
    b.set(1, 1, 5);
    b.select(1, 1, 1, 1);
    b.tools.set_tool(Tool::Move);
    b.press(1, 1);
    b.move(5, 5);
    b.layer->is_locked = true;
    b.release(5, 5);
    EXPECT_EQ(b.cell(1, 1).tile, 5u);
    EXPECT_EQ(b.cell(5, 5).tile, 0u);
    EXPECT_EQ(b.histories.undo_text(), kNothingToUndo);
    ASSERT_EQ(b.platform.shown.size(), 1u);
    EXPECT_EQ(b.platform.shown[0].caption, "Locked/Hidden");
    EXPECT_TRUE(b.tools.tile_selection().active);
}

TEST(Fill, TileAttributesGoIntoEmptyCellsToo) {
    ToolBench b;
    b.set(1, 1, 4, make_cell_flags(true, false, false, 0));
    b.map().place_tile_attribute = 250;
    b.select(0, 0, 1, 1);
    ASSERT_TRUE(b.tools.run(ToolCommand::FillTileAttributes));
    EXPECT_EQ(b.cell(0, 0), cell_of(0, false, false, false, 250));
    EXPECT_EQ(b.cell(1, 1), cell_of(4, true, false, false, 250));
    EXPECT_EQ(b.cell(2, 2), GridCell{});
    EXPECT_EQ(b.histories.undo_text(), kUndoAttributes);
    ASSERT_TRUE(b.tools.run(ToolCommand::ClearTileAttributes));
    EXPECT_EQ(b.cell(0, 0), GridCell{});
    EXPECT_EQ(b.cell(1, 1), cell_of(4, true, false, false, 0));

    b.map().selected_tile_index = 7;
    b.map().place_tile_rotate = true;
    ASSERT_TRUE(b.tools.run(ToolCommand::FillTiles));
    EXPECT_EQ(b.cell(0, 1), cell_of(7, false, false, true, 250));
    EXPECT_EQ(b.histories.undo_text(), kUndoPlace);
    EXPECT_EQ(b.histories.main().undo_count(), 3u);
}

TEST(Float, CutThenPasteInOneCommand) {
    ToolBench b;
    b.set(2, 2, 8);
    b.select(2, 2, 2, 2);
    ASSERT_TRUE(b.tools.run(ToolCommand::Float));
    EXPECT_EQ(b.cell(2, 2), GridCell{});
    EXPECT_TRUE(b.tools.floating().from_paste);
    EXPECT_EQ(b.histories.undo_text(), kUndoErase);
    b.move(7, 3);
    b.press(7, 3);
    EXPECT_EQ(b.cell(7, 3).tile, 8u);
    EXPECT_EQ(b.histories.main().undo_count(), 2u);
    // While floating, the commands that would start another edit wait.
    ASSERT_TRUE(b.tools.run(ToolCommand::Paste));
    for (ToolCommand c : {ToolCommand::Copy, ToolCommand::Cut, ToolCommand::Delete, ToolCommand::Paste,
                          ToolCommand::Float, ToolCommand::SelectAll, ToolCommand::FillTiles})
        EXPECT_FALSE(b.tools.can(c)) << static_cast<int>(c);
    EXPECT_TRUE(b.tools.can(ToolCommand::Cancel));
    EXPECT_TRUE(b.tools.run(ToolCommand::Cancel));
    EXPECT_FALSE(b.tools.floating_active());
}

TEST(Ending, AToolChangeEndsTheStrokeWithItsRecordAndAModeChangeClearsTheSelection) {
    ToolBench b;
    b.press(1, 1);
    EXPECT_TRUE(b.histories.is_busy());
    b.tools.set_tool(Tool::Eraser);  // mid-stroke
    EXPECT_EQ(b.histories.undo_text(), kUndoPlace);
    EXPECT_FALSE(b.histories.is_busy());
    b.release(1, 1);
    EXPECT_EQ(b.histories.main().undo_count(), 1u);

    b.select(0, 0, 3, 3);
    ASSERT_TRUE(b.tools.set_mode(EditMode::Entities));
    EXPECT_FALSE(b.tools.tile_selection().active);
    ASSERT_TRUE(b.tools.set_mode(EditMode::Tiles));

    // A tool change cancels a move and puts its source back.
    b.set(5, 5, 3);
    b.select(5, 5, 5, 5);
    b.tools.set_tool(Tool::Move);
    b.press(5, 5);
    b.move(8, 8);
    b.tools.set_tool(Tool::Placement);
    EXPECT_FALSE(b.tools.floating_active());
    EXPECT_EQ(b.cell(5, 5).tile, 3u);
    EXPECT_TRUE(b.tools.tile_selection().active);
}

TEST(Ending, ANewProjectForgetsTheClipboardTheFloatAndTheStroke) {
    ToolBench b;
    b.set(1, 1, 5);
    b.select(1, 1, 1, 1);
    b.tools.run(ToolCommand::Copy);
    b.tools.run(ToolCommand::Paste);
    Project fresh;
    b.tools.set_project(&fresh);
    EXPECT_FALSE(b.tools.floating_active());
    EXPECT_EQ(b.tools.clipboard().kind, ClipKind::None);
    EXPECT_FALSE(b.tools.tile_selection().active);
}

TEST(AutoMove, HoveringTheSelectionSwitchesToMoveAndLeavingItSwitchesBack) {
    ToolBench b;
    ASSERT_TRUE(b.prefs.flag(FlagA::SwitchToMoveOverSelection));
    b.set(2, 2, 5);
    b.select(2, 2, 3, 3);
    b.move(3, 3);
    EXPECT_EQ(b.edit.tool(), Tool::Move);
    EXPECT_TRUE(b.tools.auto_switched());
    b.move(6, 6);
    EXPECT_EQ(b.edit.tool(), Tool::Select);
    // Not with Shift held.
    b.move(3, 3, kModifierShift);
    EXPECT_EQ(b.edit.tool(), Tool::Select);
    // A move made with the switched tool goes back to Select at the next redraw.
    b.move(2, 2);
    ASSERT_EQ(b.edit.tool(), Tool::Move);
    b.press(2, 2);
    b.move(7, 2);
    b.release(7, 2);
    EXPECT_EQ(b.cell(7, 2).tile, 5u);
    EXPECT_EQ(b.edit.tool(), Tool::Move);
    EXPECT_TRUE(b.tools.after_redraw(b.now += 50));
    EXPECT_EQ(b.edit.tool(), Tool::Select);
    // Select None leaves the switched tool first.
    b.move(7, 2);
    ASSERT_EQ(b.edit.tool(), Tool::Move);
    b.tools.run(ToolCommand::SelectNone);
    EXPECT_EQ(b.edit.tool(), Tool::Select);
    // Switched off in the preferences: nothing happens.
    b.prefs.set_flag(FlagA::SwitchToMoveOverSelection, false);
    b.select(2, 2, 3, 3);
    b.move(3, 3);
    EXPECT_EQ(b.edit.tool(), Tool::Select);
}

TEST(View, MoveViewToSelectionCentresTheSelection) {
    ToolBench b(200, 100);
    b.layer->grid_offset_x = 4;
    b.select(0, 0, 1, 1);
    b.tools.run(ToolCommand::SelectAll);  // (0, 0) to (199, 99)
    ASSERT_TRUE(b.tools.run(ToolCommand::MoveViewToSelection));
    // Centre column 4 + 0 + 200 / 2 = 104, minus half the 640-pixel view in 16-pixel tiles (20).
    EXPECT_EQ(b.map().camera_grid_position_x, 84);
    EXPECT_EQ(b.map().camera_grid_position_y, 50 - 15);
    EXPECT_TRUE(b.project().modified);
}

TEST(Brush, FunctionKeysToggleTheMapsBrushFlags) {
    ToolBench b;
    EXPECT_TRUE(b.tools.run(ToolCommand::BrushFlipHorizontal));
    EXPECT_TRUE(b.tools.run(ToolCommand::BrushFlipVertical));
    EXPECT_TRUE(b.tools.run(ToolCommand::BrushRotate));
    EXPECT_TRUE(b.tools.run(ToolCommand::BrushRotate));
    EXPECT_TRUE(b.map().place_tile_horizontal_flip);
    EXPECT_TRUE(b.map().place_tile_vertical_flip);
    EXPECT_FALSE(b.map().place_tile_rotate);
    EXPECT_EQ(b.histories.undo_text(), kNothingToUndo);
}

TEST(Mosaics, NewMosaicFromTheSelectionAndAClickInTheWindowWhileInEntities) {
    ToolBench b;
    b.set(1, 1, 5);
    b.set(2, 1, 6);
    b.select(1, 1, 2, 1);
    ASSERT_TRUE(b.tools.can_new_mosaic());
    Mosaic* mosaic = b.tools.new_mosaic(3);
    ASSERT_NE(mosaic, nullptr);
    TileSet& tiles = *b.t.tile_set;
    EXPECT_EQ(tiles.selected_mosaic_id, mosaic->uid);
    EXPECT_EQ(mosaic->gw, 2u);
    EXPECT_EQ(tiles.mosaics.size(), 1u);

    ASSERT_TRUE(b.tools.set_mode(EditMode::Entities));
    EXPECT_FALSE(b.tools.can(ToolCommand::PasteMosaic));
    ASSERT_TRUE(b.tools.paste_mosaic_from_window());
    EXPECT_EQ(b.edit.mode(), EditMode::Tiles);
    ASSERT_TRUE(b.tools.floating_active());
    EXPECT_TRUE(b.tools.floating().from_mosaic);
    // The release of the window's click is not a drop; the next press is.
    b.move(6, 6);
    EXPECT_FALSE(b.release(6, 6));
    EXPECT_TRUE(b.tools.floating_active());
    b.press(6, 6);
    EXPECT_EQ(b.cell(6, 6).tile, 5u);
    EXPECT_EQ(b.cell(7, 6).tile, 6u);
    EXPECT_EQ(b.histories.undo_text(), kUndoPlace);
}

TEST(Saving, ALiftedMoveIsPutBackWhileTheProjectIsWritten) {
    ToolBench b;
    b.set(1, 1, 5);
    b.select(1, 1, 1, 1);
    b.tools.set_tool(Tool::Move);
    b.press(1, 1);
    ASSERT_TRUE(b.tools.cells_lifted());
    b.tools.before_save();
    EXPECT_EQ(b.cell(1, 1).tile, 5u);
    b.tools.after_save();
    EXPECT_EQ(b.cell(1, 1).tile, 0u);
    b.move(4, 4);
    b.release(4, 4);
    EXPECT_EQ(b.cell(4, 4).tile, 5u);
    EXPECT_EQ(b.cell(1, 1).tile, 0u);
}

}  // namespace
}  // namespace zorva
