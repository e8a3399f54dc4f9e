// The entity tools driven through the dispatch as the viewport drives them, without a window: the 8-pixel
// rule and its highlight, erase strokes over a stack, the pick's cycle, rotated rectangle triggers, circle
// triggers under the band, Shift and Ctrl bands, moves with and without Z, pastes with Snap to Grid,
// keypad moves, the lock rule, entities whose parent is gone, and the Selected Entities window's edits.
#include <gtest/gtest.h>

#include <limits>

#include "entity_test_support.h"
#include "tools/entity_geometry.h"

namespace zorva {
namespace {

using test::EntityBench;

constexpr const char* kNothingToUndo = "Undo\tCtrl+Z";
constexpr const char* kUndoPlace = "&Undo : Place entities\tCtrl+Z";
constexpr const char* kUndoErase = "&Undo : Erase entities\tCtrl+Z";
constexpr const char* kUndoProperties = "&Undo : Entity properties\tCtrl+Z";

TEST(EntityPlacement, SevenPixelsAwayIsRefusedAndFlashesTheBlockerEightPixelsAwayPlaces) {
    EntityBench e;
    e.b.tools.set_tool(Tool::Placement);
    EXPECT_TRUE(e.click(40, 40));
    ASSERT_EQ(e.count(), 1u);
    const ObjectId first = e.layer().instance_entities[0]->uid;
    EXPECT_EQ(e.undo_text(), kUndoPlace);
    EXPECT_TRUE(e.project().modified);

    e.b.now = 5000;
    EXPECT_TRUE(e.click(47, 40));  // 7 pixels to the right: refused, redrawn for the highlight
    EXPECT_EQ(e.count(), 1u);
    EXPECT_EQ(e.records(), 1u);
    const ToolOverlay& overlay = e.b.tools.overlay();
    EXPECT_EQ(overlay.hovered_entity, first);
    EXPECT_TRUE(overlay.hover_shown(5300));
    EXPECT_FALSE(overlay.hover_shown(5301));
    EXPECT_TRUE(e.b.platform.shown.empty());  // no message

    EXPECT_TRUE(e.click(48, 40));  // 8 pixels: placed
    EXPECT_EQ(e.count(), 2u);
    EXPECT_EQ(e.records(), 2u);
    // Diagonal neighbours are refused only when both distances are below 8.
    e.click(47, 47);
    EXPECT_EQ(e.count(), 2u);
    e.click(40, 48);
    EXPECT_EQ(e.count(), 3u);

    // With the preference on, entities may lie on top of each other.
    e.b.prefs.set_flag(FlagC::AllowEntitiesOnTopOfEachOther, true);
    e.click(41, 41);
    EXPECT_EQ(e.count(), 4u);
}

TEST(EntityPlacement, TheBrushGivesParentFlagsAndTriggerSizesAndSnapToGridTheCellCorner) {
    EntityBench e;
    e.b.tools.set_tool(Tool::Placement);
    e.project().select_parent_entity(e.zone->unique_id);
    e.project().entity_brush = {true, false, true};
    e.project().default_entity_trigger_radius = 9;
    e.project().default_entity_trigger_width = 50;
    e.project().default_entity_trigger_height = 20;
    e.b.prefs.set_flag(FlagA::SnapToGrid, true);
    e.click(37, 21);
    ASSERT_EQ(e.count(), 1u);
    const InstanceEntity& placed = *e.layer().instance_entities[0];
    EXPECT_EQ(placed.pid, e.zone->unique_id);
    EXPECT_EQ(placed.px, 32.0f);
    EXPECT_EQ(placed.py, 16.0f);
    EXPECT_TRUE(placed.fh);
    EXPECT_FALSE(placed.fv);
    EXPECT_TRUE(placed.ro);
    EXPECT_EQ(placed.tcr, 9u);
    EXPECT_EQ(placed.trw, 50u);
    EXPECT_EQ(placed.trh, 20u);
    for (std::int16_t v : placed.custom_variables) EXPECT_EQ(v, 0);

    // No parent entity chosen, or a press outside the view: nothing, silently.
    e.project().select_parent_entity(kInvalidId);
    EXPECT_FALSE(e.click(200, 200));
    e.project().select_parent_entity(e.sprite->unique_id);
    EXPECT_FALSE(e.click(700, 100));
    EXPECT_EQ(e.count(), 1u);
    EXPECT_TRUE(e.b.platform.shown.empty());
}

TEST(EntityPlacement, LockedOrHiddenLayersRefuseEveryChangeWithTheLockMessage) {
    EntityBench e;
    e.add(*e.sprite, 100, 100);
    e.layer().is_locked = true;
    e.b.tools.set_tool(Tool::Placement);
    EXPECT_FALSE(e.click(20, 20));
    e.b.tools.set_tool(Tool::Eraser);
    e.click(110, 110);
    e.layer().is_locked = false;
    e.layer().is_visible = false;
    e.b.tools.run(ToolCommand::SelectAll);
    EXPECT_FALSE(e.b.tools.run(ToolCommand::Delete));
    EXPECT_FALSE(e.entities.set_panel_field(PanelField::X, 5));
    // A move is lifted but its drop is refused and cancelled.
    e.b.tools.set_tool(Tool::Move);
    e.press(110, 110);
    e.move(150, 150);
    e.release(150, 150);
    EXPECT_FALSE(e.b.tools.floating_active());
    EXPECT_EQ(e.count(), 1u);
    EXPECT_EQ(e.layer().instance_entities[0]->px, 100.0f);
    EXPECT_EQ(e.undo_text(), kNothingToUndo);
    ASSERT_EQ(e.b.platform.shown.size(), 5u);
    for (const auto& shown : e.b.platform.shown) EXPECT_EQ(shown.text, "The Layer is locked/hidden.");
}

TEST(EntityEraser, AStrokeErasesAWholeStackAndAStrokeOverNothingRecordsNothing) {
    EntityBench e;
    for (int i = 0; i < 3; ++i) e.add(*e.sprite, 50, 50);
    InstanceEntity& other = e.add(*e.sprite, 300, 50);
    const auto before = e.list();
    e.b.tools.set_tool(Tool::Eraser);
    e.press(10, 10);
    e.move(60, 60);  // over the stack: all three go, not only the topmost
    EXPECT_EQ(e.count(), 1u);
    EXPECT_TRUE(e.b.tools.dragging());
    e.move(120, 10);
    e.release(120, 10);
    EXPECT_EQ(e.count(), 1u);
    EXPECT_EQ(e.layer().instance_entities[0]->uid, other.uid);
    EXPECT_EQ(e.records(), 1u);
    EXPECT_EQ(e.undo_text(), kUndoErase);
    ASSERT_EQ(e.b.histories.undo(&e.project()), UndoResult::Done);
    EXPECT_TRUE(test::same_entities(e.list(), before));

    // Over nothing: no record.
    e.press(200, 200);
    e.move(250, 250);
    e.release(250, 250);
    EXPECT_EQ(e.count(), 4u);
    EXPECT_EQ(e.b.histories.main().undo_count(), 0u);
    EXPECT_EQ(e.undo_text(), kNothingToUndo);
}

TEST(EntityEraser, ACircleTriggerIsHitInsideItsDiscOnly) {
    EntityBench e;
    InstanceEntity& round = e.add(*e.circle, 100, 100);
    round.tcr = 10;  // square 100 ... 119, centre (110, 110)
    e.b.tools.set_tool(Tool::Eraser);
    e.click(101, 101);  // in the square's corner, 12.7 pixels from the centre
    EXPECT_EQ(e.count(), 1u);
    e.click(117, 117);  // 9.9 pixels away: truncated to 9
    EXPECT_EQ(e.count(), 0u);
}

TEST(EntityPick, RightClicksCycleThroughTheStackAndWrapAndAFarClickStartsAfresh) {
    EntityBench e;
    e.project().default_entity_trigger_radius = 16;
    InstanceEntity& a = e.add(*e.sprite, 60, 60);
    InstanceEntity& b = e.add(*e.circle, 58, 58);
    InstanceEntity& c = e.add(*e.zone, 62, 62);
    a.fh = true;
    b.tcr = 20;
    b.fv = true;
    c.trw = 40;
    c.trh = 30;
    c.ro = true;
    e.add(*e.sprite, 300, 300);        // elsewhere
    e.b.tools.set_tool(Tool::Eraser);  // any tool
    auto picked = [&] { return e.project().selected_parent_entity_id(); };

    EXPECT_TRUE(e.right_click(70, 70));
    EXPECT_EQ(picked(), e.sprite->unique_id);
    EXPECT_TRUE(e.project().entity_brush.flip_horizontal);
    EXPECT_FALSE(e.project().entity_brush.flip_vertical);
    e.right_click(72, 71);
    EXPECT_EQ(picked(), e.circle->unique_id);
    EXPECT_TRUE(e.project().entity_brush.flip_vertical);
    EXPECT_EQ(e.project().default_entity_trigger_radius, 20u);
    e.right_click(75, 75);
    EXPECT_EQ(picked(), e.zone->unique_id);
    EXPECT_TRUE(e.project().entity_brush.rotate);
    EXPECT_EQ(e.project().default_entity_trigger_width, 40u);
    EXPECT_EQ(e.project().default_entity_trigger_height, 30u);
    e.right_click(75, 75);  // wraps to the first
    EXPECT_EQ(picked(), e.sprite->unique_id);
    e.right_click(78, 78);
    EXPECT_EQ(picked(), e.circle->unique_id);
    // More than 10 pixels from the last click on one axis: the cycle starts again at the first.
    e.right_click(89, 78);
    EXPECT_EQ(picked(), e.sprite->unique_id);
    EXPECT_EQ(e.entities.brush_serial(), 6u);
    // Nothing is recorded and nothing is placed.
    EXPECT_EQ(e.undo_text(), kNothingToUndo);
    EXPECT_EQ(e.count(), 4u);
}

TEST(EntityHits, ARotatedRectangleTriggerIsHitAndSelectedByItsSwappedSize) {
    EntityBench e;
    InstanceEntity& zone = e.add(*e.zone, 100, 100);
    zone.trw = 40;
    zone.trh = 10;
    zone.ro = true;  // 10 wide, 40 tall
    // A band touching only (105, 135): inside the rotated box, outside the unrotated one.
    e.band(104, 134, 106, 136);
    EXPECT_TRUE(e.entities.is_selected(zone.uid));
    // A band at (130, 105): inside the unrotated box only.
    e.band(129, 104, 131, 106);
    EXPECT_FALSE(e.entities.is_selected(zone.uid));
    // The pick and the eraser use the same box.
    EXPECT_FALSE(e.right_click(130, 105));
    EXPECT_TRUE(e.right_click(105, 135));
    e.b.tools.set_tool(Tool::Eraser);
    e.click(130, 105);
    EXPECT_EQ(e.count(), 1u);
    e.click(105, 135);
    EXPECT_EQ(e.count(), 0u);
}

TEST(EntityBand, CtrlDeselectsOnlyWhatItTouchesAndShiftAdds) {
    EntityBench e;
    const ObjectId a = e.add(*e.sprite, 20, 20).uid;
    const ObjectId b = e.add(*e.sprite, 80, 20).uid;
    const ObjectId c = e.add(*e.sprite, 140, 20).uid;
    auto selected = [&](std::vector<ObjectId> ids) {
        std::vector<ObjectId> now;
        for (const InstanceEntity* s : e.entities.selected()) now.push_back(s->uid);
        return now == ids;
    };
    e.band(10, 10, 90, 30);
    EXPECT_TRUE(selected({a, b}));
    e.band(150, 10, 160, 30, kModifierShift);
    EXPECT_TRUE(selected({a, b, c}));
    e.band(85, 25, 95, 30, kModifierCtrl);
    EXPECT_TRUE(selected({a, c}));
    // Without a key the band starts afresh; a click without a drag is a band of one point.
    e.band(150, 40, 150, 40);
    EXPECT_TRUE(selected({c}));
    e.band(500, 400, 500, 400);
    EXPECT_TRUE(selected({}));
    EXPECT_EQ(e.undo_text(), kNothingToUndo);
    // The overlay shows the band while it is dragged, and the selection.
    e.b.tools.set_tool(Tool::Select);
    e.press(10, 10);
    e.move(40, 40);
    ASSERT_TRUE(e.b.tools.overlay().entity_band.has_value());
    EXPECT_TRUE(e.b.tools.dragging());
    e.release(40, 40);
    EXPECT_FALSE(e.b.tools.overlay().entity_band.has_value());
    EXPECT_TRUE(e.b.tools.overlay().selected_entities.contains(a));
    EXPECT_FALSE(e.b.tools.overlay().selected_entities.contains(b));
}

TEST(EntityBand, ACircleTriggerIsHitByTheBandOnlyWhereItMeetsTheDisc) {
    EntityBench e;
    InstanceEntity& round = e.add(*e.circle, 200, 200);
    round.tcr = 20;              // centre (220, 220)
    e.band(236, 236, 250, 250);  // meets the square, 22.6 pixels from the centre
    EXPECT_FALSE(e.entities.is_selected(round.uid));
    e.band(232, 232, 250, 250);  // 17 pixels from the centre
    EXPECT_TRUE(e.entities.is_selected(round.uid));
}

TEST(EntityMove, AMoveKeepsOffsetsAndAZMoveLeavesTheSourcesAndAddsCopies) {
    EntityBench e;
    InstanceEntity& a = e.add(*e.sprite, 20.4f, 20);
    InstanceEntity& b = e.add(*e.sprite, 60, 30);
    const ObjectId a_id = a.uid, b_id = b.uid;
    e.add(*e.sprite, 200, 200);  // not selected
    e.band(10, 10, 70, 40);
    ASSERT_EQ(e.entities.selected_count(), 2u);
    const auto before = e.list();

    // With Z: copies at the new places, the sources stay.
    e.b.tools.set_tool(Tool::Move);
    e.press(30, 30, MouseButton::Left, kModifierZ);
    EXPECT_TRUE(e.b.tools.overlay().hidden_entities.empty());
    e.move(70, 90);
    ASSERT_TRUE(e.b.tools.overlay().floating_entities.has_value());
    e.release(70, 90);
    ASSERT_EQ(e.count(), 5u);
    EXPECT_EQ(a.px, 20.4f);
    EXPECT_EQ(e.layer().instance_entities[3]->px, 60.0f);  // 20.4 + 40 rounded
    EXPECT_EQ(e.layer().instance_entities[3]->py, 80.0f);
    EXPECT_EQ(e.layer().instance_entities[4]->px, 100.0f);
    EXPECT_EQ(e.layer().instance_entities[4]->py, 90.0f);
    EXPECT_EQ(e.records(), 1u);
    EXPECT_EQ(e.undo_text(), kUndoPlace);
    // The sources stay selected.
    EXPECT_TRUE(e.entities.is_selected(a.uid) && e.entities.is_selected(b.uid));
    ASSERT_EQ(e.b.histories.undo(&e.project()), UndoResult::Done);
    EXPECT_TRUE(test::same_entities(e.list(), before));

    // Without Z: they move, hidden while they float (undo made the list anew).
    InstanceEntity* first = e.find(a_id);
    e.press(30, 30);
    EXPECT_TRUE(e.b.tools.overlay().hidden_entities.contains(a_id));
    e.move(35, 27);
    e.release(35, 27);
    EXPECT_EQ(e.count(), 3u);
    EXPECT_EQ(first->px, 25.0f);  // 20.4 + 5 = 25.4, rounded
    EXPECT_EQ(first->py, 17.0f);
    EXPECT_EQ(e.find(b_id)->px, 65.0f);
    EXPECT_EQ(e.records(), 1u);

    // Released within 3 pixels of where it began: cancelled, nothing recorded.
    e.press(40, 40);
    e.move(43, 37);
    e.release(43, 37);
    EXPECT_FALSE(e.b.tools.floating_active());
    EXPECT_EQ(first->px, 25.0f);
    EXPECT_EQ(e.records(), 1u);
}

TEST(EntityMove, SelectingSwitchesToMoveAndAnEndedMoveGoesBackToSelect) {
    EntityBench e;
    e.b.prefs.set_flag(FlagA::SwitchToMoveWhenSelecting, true);
    InstanceEntity& a = e.add(*e.sprite, 100, 100);
    e.b.tools.set_tool(Tool::Select);
    e.press(110, 110);
    EXPECT_TRUE(e.entities.is_selected(a.uid));
    EXPECT_EQ(e.b.edit.tool(), Tool::Move);
    EXPECT_TRUE(e.b.tools.floating_active());
    e.move(150, 110);
    e.release(150, 110);
    EXPECT_EQ(a.px, 140.0f);
    EXPECT_EQ(e.b.edit.tool(), Tool::Move);
    e.b.tools.after_redraw(2000);
    EXPECT_EQ(e.b.edit.tool(), Tool::Select);
    // A press over nothing deselects and drags a band.
    e.press(400, 400);
    EXPECT_FALSE(e.entities.is_selected(a.uid));
    EXPECT_EQ(e.b.edit.tool(), Tool::Select);
    e.release(400, 400);

    // Hovering the selection switches to Move; leaving it goes back.
    e.b.prefs.set_flag(FlagA::SwitchToMoveOverSelection, true);
    e.b.tools.run(ToolCommand::SelectAll);
    e.move(150, 110);
    EXPECT_EQ(e.b.edit.tool(), Tool::Move);
    e.move(300, 300);
    EXPECT_EQ(e.b.edit.tool(), Tool::Select);
}

TEST(EntityMove, KeypadMovesStepByPixelsOrTilesAndZeroDrops) {
    EntityBench e;
    InstanceEntity& a = e.add(*e.sprite, 20, 20);
    EXPECT_FALSE(e.key(Key::Keypad6));  // nothing selected
    e.b.tools.run(ToolCommand::SelectAll);
    EXPECT_TRUE(e.b.tools.run(ToolCommand::NudgeRight));
    EXPECT_TRUE(e.b.tools.floating().keyboard);
    e.b.tools.run(ToolCommand::NudgeRight);
    e.b.tools.run(ToolCommand::NudgeDown);
    EXPECT_EQ(a.px, 20.0f);
    EXPECT_TRUE(e.b.tools.run(ToolCommand::Drop));
    EXPECT_EQ(a.px, 22.0f);
    EXPECT_EQ(a.py, 21.0f);
    EXPECT_EQ(e.undo_text(), kUndoPlace);

    e.b.prefs.set_flag(FlagA::SnapToGrid, true);
    e.key(Key::Keypad4);
    e.key(Key::Keypad8);
    e.key(Key::Keypad8);
    e.key(Key::Keypad0);
    EXPECT_EQ(a.px, 6.0f);
    EXPECT_EQ(a.py, -11.0f);
    // Esc discards a keyboard move.
    e.key(Key::Keypad6);
    e.key(Key::Escape);
    EXPECT_FALSE(e.b.tools.floating_active());
    EXPECT_EQ(a.px, 6.0f);
    EXPECT_EQ(e.records(), 2u);
}

TEST(EntityPaste, APasteIsCentredOnTheCursorAndSnapsItsCornerToTheGrid) {
    EntityBench e;
    InstanceEntity& a = e.add(*e.sprite, 20, 20);  // box 20 ... 51: 33 × 33
    a.custom_variables[4] = 7;
    a.tcr = 5;
    e.b.tools.run(ToolCommand::SelectAll);
    EXPECT_TRUE(e.b.tools.run(ToolCommand::Copy));
    EXPECT_EQ(e.b.tools.clipboard().kind, ClipKind::Entities);
    ASSERT_TRUE(e.b.tools.run(ToolCommand::Paste));
    EXPECT_TRUE(e.entities.selected().empty());  // a paste ends the tool's action fully
    e.move(100, 100);
    e.click(100, 100);  // top-left 100 - 16.5 = 83.5, rounded away from zero
    ASSERT_EQ(e.count(), 2u);
    const InstanceEntity& pasted = *e.layer().instance_entities[1];
    EXPECT_EQ(pasted.px, 84.0f);
    EXPECT_EQ(pasted.py, 84.0f);
    EXPECT_EQ(pasted.custom_variables[4], 7);
    EXPECT_EQ(pasted.tcr, 5u);
    EXPECT_NE(pasted.uid, a.uid);
    EXPECT_EQ(e.undo_text(), kUndoPlace);

    e.b.prefs.set_flag(FlagA::SnapToGrid, true);
    e.b.tools.run(ToolCommand::Paste);
    e.move(100, 100);
    e.click(100, 100);  // 83.5 snapped down to the tile at 80
    ASSERT_EQ(e.count(), 3u);
    EXPECT_EQ(e.layer().instance_entities[2]->px, 80.0f);
    EXPECT_EQ(e.layer().instance_entities[2]->py, 80.0f);
    e.b.tools.run(ToolCommand::Paste);
    e.move(10, 120);
    e.click(10, 120);  // -6.5 snaps to -16, 103.5 to 96
    EXPECT_EQ(e.layer().instance_entities[3]->px, -16.0f);
    EXPECT_EQ(e.layer().instance_entities[3]->py, 96.0f);
}

TEST(EntityPaste, EntitiesWhoseParentIsGoneAreSkippedByEveryTool) {
    EntityBench e;
    const ObjectId kept = e.add(*e.sprite, 20, 20).uid;
    const ObjectId orphan = e.add(*e.circle, 22, 22).uid;
    e.b.tools.run(ToolCommand::SelectAll);
    e.b.tools.run(ToolCommand::Copy);
    remove_parent_entity(e.project(), e.circle, true);
    e.circle = nullptr;
    // The paste floats and adds only the entity whose parent is there.
    e.b.tools.run(ToolCommand::Paste);
    e.click(200, 200);
    EXPECT_EQ(e.count(), 3u);
    // The band, Select All, the pick and the eraser pass the orphan by.
    e.band(0, 0, 100, 100);
    EXPECT_FALSE(e.entities.is_selected(orphan));
    EXPECT_TRUE(e.entities.is_selected(kept));
    e.b.tools.run(ToolCommand::SelectAll);
    EXPECT_FALSE(e.entities.is_selected(orphan));
    EXPECT_EQ(e.entities.panel_state().name_line, "Multiple selected (2)");
    e.b.tools.run(ToolCommand::SelectNone);
    e.b.tools.set_tool(Tool::Eraser);
    e.click(23, 23);
    ASSERT_EQ(e.count(), 2u);
    EXPECT_NE(e.find(orphan), nullptr);
}

TEST(EntityCommands, CutAndDeleteEraseTheSelectionWithOneRecord) {
    EntityBench e;
    e.add(*e.sprite, 20, 20);
    const ObjectId b = e.add(*e.sprite, 100, 20).uid;
    EXPECT_FALSE(e.b.tools.can(ToolCommand::Cut));
    e.band(10, 10, 30, 30);
    EXPECT_TRUE(e.b.tools.can(ToolCommand::Cut));
    EXPECT_TRUE(e.b.tools.run(ToolCommand::Cut));
    ASSERT_EQ(e.count(), 1u);
    EXPECT_EQ(e.layer().instance_entities[0]->uid, b);
    EXPECT_EQ(e.undo_text(), kUndoErase);
    EXPECT_EQ(e.b.tools.clipboard().entities.size(), 1u);
    EXPECT_TRUE(e.entities.selected().empty());
    e.b.tools.run(ToolCommand::SelectAll);
    EXPECT_TRUE(e.b.tools.run(ToolCommand::Delete));
    EXPECT_EQ(e.count(), 0u);
    EXPECT_EQ(e.b.tools.clipboard().entities.size(), 1u);  // Delete leaves the clipboard
    EXPECT_EQ(e.records(), 2u);
    // A tile clipboard does not paste in EditMode Entities.
    EXPECT_TRUE(e.b.tools.can(ToolCommand::Paste));
    e.b.tools.set_mode(EditMode::Tiles);
    EXPECT_FALSE(e.b.tools.can(ToolCommand::Paste));
}

TEST(SelectedEntitiesPanel, ShowsWhereTheSelectionAgreesAndEditsEveryEntityWithOneRecord) {
    EntityBench e;
    EXPECT_EQ(e.entities.panel_state().name_line, "None selected");
    EXPECT_EQ(e.entities.panel_state().title, "Selected Entities");
    InstanceEntity& a = e.add(*e.sprite, 10, 50);
    InstanceEntity& b = e.add(*e.zone, 40, 50);
    InstanceEntity& c = e.add(*e.sprite, 70, 50);
    const ObjectId c_id = c.uid;
    b.fh = true;
    e.band(50, 60, 50, 60);  // b alone: 40 ... 56
    SelectionPanelState one = e.entities.panel_state();
    EXPECT_EQ(one.name_line, "Zone");
    EXPECT_EQ(one.x, 40.0f);
    EXPECT_TRUE(one.triggers_shown);
    EXPECT_EQ(one.flags[0], true);
    EXPECT_EQ(one.rectangle_width, 16u);

    e.b.tools.run(ToolCommand::SelectAll);
    const SelectionPanelState all = e.entities.panel_state();
    EXPECT_EQ(all.name_line, "Multiple selected (3)");
    EXPECT_EQ(all.count, 3u);
    EXPECT_FALSE(all.x.has_value());  // they differ: blank
    EXPECT_EQ(all.y, 50.0f);
    EXPECT_FALSE(all.flags[0].has_value());
    EXPECT_EQ(all.flags[1], false);

    EXPECT_TRUE(e.entities.set_panel_field(PanelField::Y, 123.5));
    EXPECT_EQ(a.py, 123.5f);
    EXPECT_EQ(b.py, 123.5f);
    EXPECT_EQ(c.py, 123.5f);
    EXPECT_EQ(a.px, 10.0f);
    EXPECT_EQ(e.records(), 1u);
    EXPECT_EQ(e.undo_text(), kUndoProperties);
    // The same value again changes nothing and records nothing.
    EXPECT_FALSE(e.entities.set_panel_field(PanelField::Y, 123.5));
    EXPECT_EQ(e.records(), 1u);
    EXPECT_TRUE(e.entities.set_panel_flag(PanelFlag::FlipHorizontal, true));
    EXPECT_TRUE(a.fh && b.fh && c.fh);
    // Trigger sizes below 4 start at 4.
    EXPECT_TRUE(e.entities.set_panel_field(PanelField::CircleRadius, 1));
    EXPECT_EQ(b.tcr, 4u);
    // A position far outside the layer is stored as typed.
    EXPECT_TRUE(e.entities.set_panel_field(PanelField::X, 1.0e30));
    EXPECT_EQ(c.px, 1.0e30f);
    EXPECT_FALSE(e.entities.set_panel_field(PanelField::X, std::numeric_limits<double>::infinity()));
    EXPECT_EQ(e.records(), 4u);
    ASSERT_EQ(e.b.histories.undo(&e.project()), UndoResult::Done);
    EXPECT_EQ(e.find(c_id)->px, 70.0f);
}

TEST(SelectedEntitiesPanel, CustomVariablesWriteOnlyTheChangedVariableIntoEveryEntity) {
    EntityBench e;
    InstanceEntity& a = e.add(*e.sprite, 10, 50);
    InstanceEntity& b = e.add(*e.sprite, 60, 50);
    InstanceEntity& c = e.add(*e.sprite, 110, 50);
    a.custom_variables[1] = 5;
    b.custom_variables[1] = 6;  // variable 2 differs
    c.custom_variables[9] = -3;
    e.b.tools.run(ToolCommand::SelectAll);
    const std::optional<SelectionVariables> variables = e.entities.selection_variables();
    ASSERT_TRUE(variables.has_value());
    EXPECT_EQ(variables->object_name, "Selected Entities (3)");
    EXPECT_EQ(variables->type_word, "Selected Entities");
    EXPECT_EQ(variables->count, 3u);
    EXPECT_TRUE(variables->differs[1]);
    EXPECT_TRUE(variables->differs[9]);
    EXPECT_FALSE(variables->differs[4]);
    // Only variable 5 changed.
    std::array<bool, kCustomVariableCount> changed{};
    changed[4] = true;
    IntVariables values = variables->values;
    values[4] = 99;
    EXPECT_TRUE(e.entities.apply_selection_variables(changed, values));
    for (const InstanceEntity* entity : {&a, &b, &c}) EXPECT_EQ(entity->custom_variables[4], 99);
    EXPECT_EQ(a.custom_variables[1], 5);
    EXPECT_EQ(b.custom_variables[1], 6);
    EXPECT_EQ(c.custom_variables[9], -3);
    EXPECT_EQ(a.custom_variables[9], 0);
    EXPECT_EQ(e.undo_text(), kUndoProperties);
}

TEST(EntityGeometry, PositionsRoundHalvesAwayFromZeroAndKeepWhatCannotCarryAFraction) {
    EXPECT_EQ(round_position(83.5), 84.0f);
    EXPECT_EQ(round_position(-6.5), -7.0f);
    EXPECT_EQ(round_position(2.49), 2.0f);
    EXPECT_EQ(round_position(1.0e30), 1.0e30f);
    EXPECT_EQ(round_position(1.0e300), std::numeric_limits<float>::max());
    EXPECT_EQ(snap_down(-6.5, 16), -16.0);
    EXPECT_EQ(snap_down(16.0, 16), 16.0);
}

}  // namespace
}  // namespace zorva
