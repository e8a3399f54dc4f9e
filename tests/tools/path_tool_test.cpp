// The path tools without any window: drawing with its 8-pixel rule, the close question, commit and cancel
// with both undo histories, point editing (insert, drag, erase, split, Next, Generate Control Points) and
// selecting, erasing and deleting whole Paths. The bench's view shows layer pixel (x, y) at view point
// (x, y) at 100 %.
#include "tools/path_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tool_test_support.h"
#include "tools/path_geometry.h"

namespace zorva::test {
namespace {

struct PathBench {
    PathBench() : b(40, 30), paths(b.tools.shared()) {
        b.tools.set_mode_tools(EditMode::Paths, &paths);
        b.prefs.set_flag(FlagA::ViewPaths, true);
        b.prefs.set_flag(FlagA::SnapToGrid, false);
        // Plain bands unless a test turns the automatic Move tool on.
        b.prefs.set_flag(FlagA::SwitchToMoveWhenSelecting, false);
        b.prefs.set_flag(FlagA::SwitchToMoveOverSelection, false);
        EXPECT_TRUE(b.tools.set_mode(EditMode::Paths));
        b.tools.set_tool(Tool::Placement);
    }

    bool send(InputKind kind, int x, int y, MouseButton button = MouseButton::Left, std::uint8_t mods = 0) {
        return b.tools.handle(b.input(kind, {x, y}, button, mods));
    }
    void click(int x, int y, MouseButton button = MouseButton::Left, std::uint8_t mods = 0) {
        send(InputKind::Press, x, y, button, mods);
        send(InputKind::Release, x, y, button, mods);
    }
    void drag(int x0, int y0, int x1, int y1, std::uint8_t mods = 0) {
        send(InputKind::Press, x0, y0, MouseButton::Left, mods);
        send(InputKind::Move, x1, y1, MouseButton::None, mods);
        send(InputKind::Release, x1, y1, MouseButton::Left, mods);
    }
    void band(int x0, int y0, int x1, int y1, std::uint8_t mods = 0) {
        b.tools.set_tool(Tool::Select);
        drag(x0, y0, x1, y1, mods);
    }
    // Draws a Path through the points and finishes it with a right click (which enters point editing).
    void draw(const std::vector<std::pair<int, int>>& points) {
        b.tools.set_tool(Tool::Placement);
        for (const auto& [x, y] : points) click(x, y);
        click(points.back().first, points.back().second, MouseButton::Right);
    }
    void add_path(int nodes, float x, float y, bool closed = false) {
        b.t.add_path(b.map(), *b.layer, nodes, x, y, closed);
    }
    std::vector<PathPoint> list() const { return copy_path_points(*b.layer); }
    std::vector<PathRange> ranges() const { return path_ranges(*b.layer); }
    bool marks_ok() const { return path_marks_consistent(b.layer->path_points); }

    ToolBench b;
    PathTool paths;
};

bool same_points(const std::vector<PathPoint>& a, const std::vector<PathPoint>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const PathPoint& x = a[i];
        const PathPoint& y = b[i];
        if (x.uid != y.uid || (x.flags & ~kPathEditorFlags) != (y.flags & ~kPathEditorFlags) ||
            std::memcmp(&x.px, &y.px, 6 * sizeof(float)) != 0 || x.custom_variables != y.custom_variables)
            return false;
    }
    return true;
}

TEST(PathTool, SevenPixelsLeaveACornerEightGiveMirroredControlPoints) {
    PathBench p;
    p.drag(100, 100, 107, 93);   // 7 pixels on both axes: a corner
    p.drag(200, 100, 208, 100);  // 8 pixels: mirrored control points
    ASSERT_TRUE(p.paths.drawing());
    const std::vector<PathPoint>& w = p.paths.working();
    ASSERT_EQ(w.size(), 2u);
    EXPECT_FALSE(w[0].ucp());
    EXPECT_EQ(w[0].cx2, 100.0f);
    EXPECT_TRUE(w[1].ucp());
    EXPECT_EQ(w[1].cx2, 208.0f);
    EXPECT_EQ(w[1].cx1, 192.0f);
    EXPECT_EQ(w[1].cy1, 100.0f);
    // Undo while drawing goes to the path-edit history: the second point goes, the layer is untouched.
    EXPECT_EQ(p.b.histories.undo(&p.b.project()), UndoResult::Done);
    EXPECT_EQ(p.paths.working().size(), 1u);
    EXPECT_EQ(p.b.histories.redo(&p.b.project()), UndoResult::Done);
    EXPECT_EQ(p.paths.working().size(), 2u);
    EXPECT_TRUE(p.list().empty());

    // A right click finishes: one Path in the layer, "Edit paths" in the main history, point editing on.
    p.click(200, 100, MouseButton::Right);
    EXPECT_FALSE(p.paths.drawing());
    ASSERT_EQ(p.ranges().size(), 1u);
    EXPECT_EQ(p.list().size(), 2u);
    EXPECT_TRUE(p.marks_ok());
    EXPECT_EQ(p.b.histories.main().undo_count(), 1u);
    EXPECT_TRUE(p.paths.point_editing());
    EXPECT_TRUE(p.b.edit.path_points());
    EXPECT_TRUE(p.b.platform.shown.empty());  // 100 pixels apart: no close question
    // Leaving point editing without a change; the main history undoes the new Path.
    EXPECT_TRUE(p.paths.toggle_point_editing());
    EXPECT_FALSE(p.b.histories.path_edit_open());
    EXPECT_EQ(p.b.histories.undo(&p.b.project()), UndoResult::Done);
    EXPECT_TRUE(p.list().empty());
}

TEST(PathTool, OnePointPathIsDroppedAndDoubleClickFinishes) {
    PathBench p;
    p.click(50, 50);
    p.click(50, 50, MouseButton::Right);
    EXPECT_TRUE(p.list().empty());
    EXPECT_EQ(p.b.histories.main().undo_count(), 0u);
    p.click(50, 50);
    p.click(90, 50);
    p.send(InputKind::DoubleClick, 90, 50);
    EXPECT_EQ(p.list().size(), 2u);
    EXPECT_TRUE(p.marks_ok());
}

TEST(PathTool, CloseQuestionWithinTenPixelsYesJoinsAtTheMidpoint) {
    PathBench p;
    p.b.platform.answers = {Answer::Yes};
    p.draw({{100, 100}, {200, 100}, {200, 200}, {110, 104}});
    ASSERT_EQ(p.b.platform.shown.size(), 1u);
    EXPECT_EQ(p.b.platform.shown[0].text, "Do you want to close the path?");
    EXPECT_EQ(p.b.platform.shown[0].caption, "Close path");
    const std::vector<PathPoint> l = p.list();
    ASSERT_EQ(l.size(), 4u);
    EXPECT_TRUE(l.front().is_closed());
    EXPECT_EQ(l.front().px, 105.0f);
    EXPECT_EQ(l.front().py, 102.0f);
    EXPECT_EQ(l.back().px, 105.0f);
    EXPECT_EQ(l.back().py, 102.0f);
    EXPECT_TRUE(l.front().ucp());
    EXPECT_EQ(l.front().cx1, 105.0f);

    // 11 pixels apart: no question, not closed.
    PathBench q;
    q.draw({{100, 100}, {200, 100}, {111, 100}});
    EXPECT_TRUE(q.b.platform.shown.empty());
    EXPECT_FALSE(q.list().front().is_closed());
    // No keeps the ends apart.
    PathBench r;
    r.b.platform.answers = {Answer::No};
    r.draw({{100, 100}, {200, 100}, {105, 100}});
    EXPECT_EQ(r.b.platform.shown.size(), 1u);
    EXPECT_FALSE(r.list().front().is_closed());
    EXPECT_EQ(r.list().back().px, 105.0f);
}

TEST(PathTool, DraggingAnEndOfAClosedPathAwayClearsTheFlag) {
    PathBench p;
    p.b.platform.answers = {Answer::Yes};
    p.draw({{100, 100}, {200, 100}, {200, 200}, {100, 100}});
    ASSERT_TRUE(p.paths.point_editing());
    ASSERT_TRUE(p.paths.working().front().is_closed());
    // Previous with nothing selected selects the last point.
    EXPECT_TRUE(p.paths.select_step(false));
    ASSERT_EQ(p.paths.selected_point_count(), 1u);
    EXPECT_NE(p.paths.working().back().flags & kPathPointSelected, 0u);
    p.b.tools.set_tool(Tool::Move);
    p.drag(100, 100, 150, 140);
    EXPECT_EQ(p.paths.working().back().px, 150.0f);
    EXPECT_FALSE(p.paths.working().front().is_closed());
    // The drag is one step of the path-edit history.
    EXPECT_EQ(p.b.histories.undo_text(), "&Undo : Move path points\tCtrl+Z");
    EXPECT_EQ(p.b.histories.undo(&p.b.project()), UndoResult::Done);
    EXPECT_TRUE(p.paths.working().front().is_closed());
    EXPECT_EQ(p.b.histories.redo(&p.b.project()), UndoResult::Done);
    EXPECT_TRUE(p.paths.toggle_point_editing());
    EXPECT_FALSE(p.list().front().is_closed());
    EXPECT_EQ(p.list().back().px, 150.0f);
    EXPECT_TRUE(p.marks_ok());
}

TEST(PathTool, HandleDragTurnsTheOppositeHandleKeepingItsLength) {
    PathBench p;
    p.drag(100, 100, 120, 100);  // outgoing (120, 100), incoming (80, 100)
    p.click(200, 100);
    p.click(200, 100, MouseButton::Right);
    ASSERT_TRUE(p.paths.point_editing());
    // Select only the outgoing control point.
    p.band(117, 97, 123, 103);
    ASSERT_NE(p.paths.working()[0].flags & kPathOutgoingSelected, 0u);
    ASSERT_EQ(p.paths.working()[0].flags & kPathPointSelected, 0u);
    p.b.tools.set_tool(Tool::Move);
    p.drag(120, 100, 100, 130);  // the handle goes to (100, 130): straight down from the point
    const PathPoint& w = p.paths.working()[0];
    EXPECT_EQ(w.cx2, 100.0f);
    EXPECT_EQ(w.cy2, 130.0f);
    EXPECT_FLOAT_EQ(w.cx1, 100.0f);
    EXPECT_FLOAT_EQ(w.cy1, 80.0f);  // opposite, still 20 long
    EXPECT_EQ(w.px, 100.0f);
}

TEST(PathTool, InsertWithinTwentyPixelsAndEraseWithinFive) {
    PathBench p;
    p.draw({{100, 100}, {300, 100}});
    ASSERT_TRUE(p.paths.point_editing());
    p.b.tools.set_tool(Tool::Placement);
    // The cross shows where a click would insert a point, only within 20 pixels.
    const auto mark = [&p] { return p.b.tools.overlay().path_edit->insert_mark; };
    p.send(InputKind::Move, 200, 121, MouseButton::None);
    EXPECT_FALSE(mark());
    p.send(InputKind::Move, 200, 119, MouseButton::None);
    EXPECT_EQ(mark(), (ViewPoint{200, 100}));
    p.click(200, 121);  // 21 pixels away: nothing
    EXPECT_EQ(p.paths.working().size(), 2u);
    p.click(200, 119);
    ASSERT_EQ(p.paths.working().size(), 3u);
    EXPECT_EQ(p.paths.working()[1].px, 200.0f);
    EXPECT_EQ(p.paths.working()[1].py, 100.0f);
    EXPECT_EQ(p.b.histories.path_edit().undo_count(), 1u);
    // The eraser removes points within 5 pixels on both axes.
    p.b.tools.set_tool(Tool::Eraser);
    p.click(206, 100);
    EXPECT_EQ(p.paths.working().size(), 3u);
    p.click(205, 95);
    EXPECT_EQ(p.paths.working().size(), 2u);
    EXPECT_EQ(p.b.histories.undo_text(), "&Undo : Erase path points\tCtrl+Z");
    EXPECT_TRUE(p.paths.toggle_point_editing());

    // Whole Paths: the eraser takes every Path within 5 pixels of the curve.
    p.add_path(3, 100, 200);  // 100 ... 120 at y 200
    const std::size_t before = p.ranges().size();
    p.click(110, 206);
    EXPECT_EQ(p.ranges().size(), before);
    p.click(110, 205);
    EXPECT_EQ(p.ranges().size(), before - 1);
    EXPECT_EQ(p.b.histories.undo_text(), "&Undo : Erase paths\tCtrl+Z");
    EXPECT_TRUE(p.marks_ok());
}

TEST(PathTool, SplitThreeSelectedPointsIntoFive) {
    PathBench p;
    p.draw({{100, 100}, {200, 100}, {300, 100}, {400, 100}});
    p.band(90, 90, 310, 110);
    ASSERT_EQ(p.paths.selected_point_count(), 3u);
    EXPECT_TRUE(p.paths.split_segments());
    const std::vector<PathPoint>& w = p.paths.working();
    ASSERT_EQ(w.size(), 6u);
    EXPECT_EQ(w[1].px, 150.0f);
    EXPECT_EQ(w[3].px, 250.0f);
    EXPECT_EQ(w[1].flags & kPathPointSelected, 0u);
    EXPECT_FALSE(w[1].ucp());
}

TEST(PathTool, SplitWithControlPointsCutsTheCurveAtItsMiddle) {
    PathBench p;
    p.drag(100, 100, 100, 140);  // outgoing (100, 140)
    p.drag(300, 100, 300, 140);  // incoming mirrored: (300, 60)
    p.click(300, 100, MouseButton::Right);
    const std::vector<PathPoint> old = p.paths.working();
    const Vec2 mid = layer_segment(old[0], old[1]).at(0.5);
    p.band(90, 90, 310, 110);
    EXPECT_TRUE(p.paths.split_segments());
    const std::vector<PathPoint>& w = p.paths.working();
    ASSERT_EQ(w.size(), 3u);
    EXPECT_FLOAT_EQ(w[1].px, static_cast<float>(mid.x));
    EXPECT_FLOAT_EQ(w[1].py, static_cast<float>(mid.y));
    EXPECT_TRUE(w[1].ucp());
    // The two halves trace the old curve: the new first half at 0.5 is the old curve at 0.25.
    const Vec2 quarter = layer_segment(old[0], old[1]).at(0.25);
    const Vec2 half = layer_segment(w[0], w[1]).at(0.5);
    EXPECT_NEAR(half.x, quarter.x, 1e-3);
    EXPECT_NEAR(half.y, quarter.y, 1e-3);
}

TEST(PathTool, NextWrapsAndSelectionBandFindsCurves) {
    PathBench p;
    p.add_path(2, 100, 100);
    p.add_path(2, 100, 200);
    p.add_path(2, 100, 300);
    const std::vector<PathPoint> l = p.list();
    // A click 9 pixels off the last Path's line still selects it (the band grows to 20 pixels).
    p.band(105, 309, 105, 309);
    ASSERT_EQ(p.paths.selected_paths(), std::vector<ObjectId>{l[4].uid});
    EXPECT_TRUE(p.paths.select_step(true));
    EXPECT_EQ(p.paths.selected_paths(), std::vector<ObjectId>{l[0].uid});
    EXPECT_TRUE(p.paths.select_step(false));
    EXPECT_EQ(p.paths.selected_paths(), std::vector<ObjectId>{l[4].uid});
    p.band(105, 311, 105, 311);
    EXPECT_TRUE(p.paths.selected_paths().empty());
    // Ctrl deselects, Shift adds.
    p.band(90, 90, 130, 210);
    EXPECT_EQ(p.paths.selected_paths().size(), 2u);
    p.band(105, 100, 105, 100, kModifierCtrl);
    EXPECT_EQ(p.paths.selected_paths(), std::vector<ObjectId>{l[2].uid});
    // Delete removes the selected Paths.
    EXPECT_TRUE(p.b.tools.run(ToolCommand::Delete));
    EXPECT_EQ(p.ranges().size(), 2u);
    EXPECT_TRUE(p.marks_ok());
}

TEST(PathTool, GenerateControlPointsOnALonePoint) {
    PathBench p;
    p.add_path(1, 100, 100);
    p.band(95, 95, 105, 105);
    ASSERT_TRUE(p.paths.toggle_point_editing());
    p.band(95, 95, 105, 105);
    EXPECT_TRUE(p.paths.generate_control_points());
    const PathPoint& w = p.paths.working()[0];
    EXPECT_TRUE(w.ucp());
    EXPECT_FLOAT_EQ(w.cx1, 84.0f);
    EXPECT_FLOAT_EQ(w.cy1, 84.0f);
    EXPECT_FLOAT_EQ(w.cx2, 116.0f);
    EXPECT_FLOAT_EQ(w.cy2, 116.0f);
    // A lone point is kept when the edit is committed.
    EXPECT_TRUE(p.paths.toggle_point_editing());
    EXPECT_EQ(p.list().size(), 1u);
}

TEST(PathTool, GenerateControlPointsAlongStraightNeighbours) {
    PathBench p;
    p.draw({{100, 100}, {200, 100}, {200, 200}});
    p.band(195, 95, 205, 105);
    EXPECT_TRUE(p.paths.generate_control_points());
    const PathPoint& w = p.paths.working()[1];
    // prev without control points: D = normalised (point - prev) = (1, 0).
    EXPECT_FLOAT_EQ(w.cx1, 184.0f);
    EXPECT_FLOAT_EQ(w.cy1, 100.0f);
    EXPECT_FLOAT_EQ(w.cx2, 216.0f);
}

TEST(PathTool, EscAsksAndNoContinuesDrawing) {
    PathBench p;
    p.click(100, 100);
    p.click(200, 100);
    p.b.platform.answers = {Answer::No};
    EXPECT_FALSE(p.b.tools.run(ToolCommand::Cancel));
    ASSERT_EQ(p.b.platform.shown.size(), 1u);
    EXPECT_EQ(p.b.platform.shown[0].text, "Cancel new path?");
    EXPECT_EQ(p.b.platform.shown[0].caption, "Cancel path");
    EXPECT_TRUE(p.paths.drawing());
    p.click(200, 200);
    EXPECT_EQ(p.paths.working().size(), 3u);
    p.b.platform.answers = {Answer::Yes};
    EXPECT_TRUE(p.b.tools.run(ToolCommand::Cancel));
    EXPECT_FALSE(p.paths.drawing());
    EXPECT_TRUE(p.list().empty());
    EXPECT_FALSE(p.b.histories.path_edit_open());

    // Point editing: the question honours "Ask when discarding changes to a path".
    p.add_path(3, 100, 100);
    p.band(95, 95, 105, 105);
    ASSERT_TRUE(p.paths.toggle_point_editing());
    p.b.prefs.set_flag(FlagA::AskWhenDiscardingPathChanges, false);
    const std::size_t shown = p.b.platform.shown.size();
    EXPECT_TRUE(p.b.tools.run(ToolCommand::Cancel));
    EXPECT_EQ(p.b.platform.shown.size(), shown);
    EXPECT_FALSE(p.paths.point_editing());
}

TEST(PathTool, ToolSwitchFinishesModeSwitchDiscardsAndSaveCommits) {
    PathBench p;
    p.click(100, 100);
    p.click(200, 100);
    p.b.tools.set_tool(Tool::Select);
    EXPECT_EQ(p.list().size(), 2u);
    EXPECT_FALSE(p.paths.drawing());

    p.b.tools.set_tool(Tool::Placement);
    p.click(100, 200);
    p.click(200, 200);
    EXPECT_TRUE(p.b.tools.set_mode(EditMode::Tiles));
    EXPECT_EQ(p.list().size(), 2u);
    EXPECT_FALSE(p.b.histories.path_edit_open());

    EXPECT_TRUE(p.b.tools.set_mode(EditMode::Paths));
    p.b.tools.set_tool(Tool::Placement);
    p.click(100, 300);
    p.click(200, 300);
    p.b.tools.commit_pending();
    EXPECT_EQ(p.list().size(), 4u);
    EXPECT_TRUE(p.marks_ok());
}

TEST(PathTool, SelectedPointsPanelMovesPointsWithTheirHandlesAndWritesChangedVariables) {
    PathBench p;
    p.add_path(4, 100, 100);  // 100, 110, 120, 130 at y 100; variable 0 counts 1 ... 4
    p.band(95, 95, 105, 105);
    ASSERT_TRUE(p.paths.toggle_point_editing());
    EXPECT_EQ(p.paths.panel_state().name_line, "None selected");
    EXPECT_EQ(p.paths.panel_state().title, "Selected Points");
    p.band(120, 100, 120, 100);  // grown by 5 pixels: only the third point
    EXPECT_EQ(p.paths.panel_state().name_line, "1 selected (# 3)");
    p.band(110, 100, 120, 100);
    SelectionPanelState state = p.paths.panel_state();
    EXPECT_EQ(state.name_line, "Multiple selected (2)");
    EXPECT_FALSE(state.x.has_value());
    EXPECT_EQ(state.y, 100.0f);
    EXPECT_TRUE(p.paths.set_panel_field(PanelField::X, 200));
    EXPECT_EQ(p.paths.working()[1].px, 200.0f);
    EXPECT_EQ(p.paths.working()[1].cx1, 199.0f);
    EXPECT_EQ(p.paths.working()[1].cx2, 201.0f);
    EXPECT_EQ(p.paths.working()[2].px, 200.0f);
    EXPECT_EQ(p.paths.working()[2].cx2, 201.0f);
    EXPECT_EQ(p.paths.panel_state().x, 200.0f);

    std::optional<SelectionVariables> variables = p.paths.selection_variables();
    ASSERT_TRUE(variables.has_value());
    EXPECT_EQ(variables->object_name, "Selected Points (2)");
    EXPECT_TRUE(variables->differs[0]);
    std::array<bool, kCustomVariableCount> changed{};
    changed[5] = true;
    IntVariables values{};
    values[5] = 42;
    EXPECT_TRUE(p.paths.apply_selection_variables(changed, values));
    EXPECT_EQ(p.paths.working()[1].custom_variables[5], 42);
    EXPECT_EQ(p.paths.working()[1].custom_variables[0], 2);  // unchanged variables are kept
    EXPECT_EQ(p.paths.working()[0].custom_variables[5], 0);
    EXPECT_EQ(p.b.histories.path_edit().undo_count(), 2u);
    EXPECT_EQ(p.b.histories.undo(&p.b.project()), UndoResult::Done);
    EXPECT_EQ(p.paths.working()[1].custom_variables[5], 0);
    // The window follows the path tools in EditMode Paths.
    EXPECT_EQ(p.b.tools.selection_panel(), &p.paths);
}

TEST(PathTool, MoveCopyPasteAndKeypadMovesOfWholePaths) {
    PathBench p;
    p.add_path(3, 100, 100);  // 100 ... 120 at y 100, handles 1 pixel off
    p.add_path(2, 100, 200);
    p.band(105, 100, 105, 100);
    ASSERT_EQ(p.paths.selected_paths().size(), 1u);
    // A move released within 3 pixels is no move.
    p.b.tools.set_tool(Tool::Move);
    p.drag(105, 100, 107, 102);
    EXPECT_FALSE(p.b.tools.floating_active());
    EXPECT_EQ(p.list()[0].px, 100.0f);
    EXPECT_EQ(p.b.histories.main().undo_count(), 0u);
    // A move keeps the floats' fractions and the handles.
    p.drag(105, 100, 135, 90);
    EXPECT_FALSE(p.b.tools.floating_active());
    std::vector<PathPoint> l = p.list();
    EXPECT_EQ(l[0].px, 130.0f);
    EXPECT_EQ(l[0].py, 90.0f);
    EXPECT_EQ(l[0].cx1, 129.0f);
    EXPECT_EQ(l[2].px, 150.0f);
    EXPECT_EQ(p.b.histories.undo_text(), "&Undo : Edit paths\tCtrl+Z");
    // Z keeps the source: a copy with new uids.
    p.drag(135, 90, 135, 150, kModifierZ);
    l = p.list();
    ASSERT_EQ(p.ranges().size(), 3u);
    EXPECT_EQ(l[0].px, 130.0f);
    EXPECT_EQ(l[5].py, 150.0f);
    EXPECT_NE(l[5].uid, l[0].uid);
    EXPECT_TRUE(p.marks_ok());
    // Copy and paste, centred on the cursor, dropped by a click.
    p.band(105, 200, 105, 200);
    EXPECT_TRUE(p.b.tools.run(ToolCommand::Copy));
    EXPECT_TRUE(p.b.tools.run(ToolCommand::Paste));
    ASSERT_TRUE(p.b.tools.floating_active());
    p.click(300, 300);
    ASSERT_EQ(p.ranges().size(), 4u);
    l = p.list();
    EXPECT_FLOAT_EQ(l[8].px, 300.0f - 11.0f / 2.0f);  // box 100 ... 110: 11 wide
    EXPECT_TRUE(p.marks_ok());
    // Keypad: 4 steps right, then 0 drops.
    p.band(105, 200, 105, 200);
    for (int i = 0; i < 4; ++i) p.b.key(Key::Keypad6);
    EXPECT_TRUE(p.b.tools.floating_active());
    p.b.key(Key::Keypad0);
    EXPECT_FALSE(p.b.tools.floating_active());
    EXPECT_EQ(p.list()[3].px, 104.0f);
    EXPECT_EQ(p.b.histories.undo(&p.b.project()), UndoResult::Done);
    EXPECT_EQ(p.list()[3].px, 100.0f);
}

TEST(PathTool, SelectSwitchesToMoveOverTheSelectionAndWhenSelecting) {
    PathBench p;
    p.add_path(3, 100, 100);
    p.add_path(2, 100, 200);
    p.b.prefs.set_flag(FlagA::SwitchToMoveOverSelection, true);
    p.b.prefs.set_flag(FlagA::SwitchToMoveWhenSelecting, false);
    p.band(105, 100, 105, 100);
    ASSERT_EQ(p.paths.selected_paths().size(), 1u);
    const auto tool = [&p] { return p.b.tools.edit_state().tool(); };
    // Over the selected Path the tool becomes Move, off it Select again; an unselected Path changes nothing.
    p.send(InputKind::Move, 112, 102, MouseButton::None);
    EXPECT_EQ(tool(), Tool::Move);
    p.send(InputKind::Move, 112, 150, MouseButton::None);
    EXPECT_EQ(tool(), Tool::Select);
    p.send(InputKind::Move, 105, 200, MouseButton::None);
    EXPECT_EQ(tool(), Tool::Select);
    // Selecting with the switch: a press on the second Path selects it and moves it at once; after the drop
    // the next redraw goes back to Select.
    p.b.prefs.set_flag(FlagA::SwitchToMoveOverSelection, false);
    p.b.prefs.set_flag(FlagA::SwitchToMoveWhenSelecting, true);
    const ObjectId second = p.list()[3].uid;
    p.drag(105, 200, 105, 230);
    EXPECT_EQ(p.paths.selected_paths(), std::vector<ObjectId>{second});
    EXPECT_EQ(p.list()[3].py, 230.0f);
    p.b.tools.after_redraw(0);
    EXPECT_EQ(tool(), Tool::Select);
    EXPECT_TRUE(p.marks_ok());
}

TEST(PathTool, ABandDraggedPastTheEdgeScrollsAndKeepsItsStartOnTheLayer) {
    PathBench p;
    p.add_path(2, 620, 100);  // left of where the band starts once the view has scrolled
    p.b.tools.set_tool(Tool::Select);
    p.send(InputKind::Press, 600, 90);
    p.send(InputKind::Move, 610, 110, MouseButton::None);
    std::int64_t now = 1000;
    p.b.tools.after_redraw(now);  // inside the view: nothing
    p.send(InputKind::Move, 900, 110, MouseButton::None);
    for (int step = 0; step < 4; ++step) p.b.tools.after_redraw(now += 60);
    ASSERT_GT(p.b.map().camera_grid_position_x, 1);
    p.send(InputKind::Release, 900, 110);
    EXPECT_EQ(p.paths.selected_paths(), std::vector<ObjectId>{p.list()[0].uid});
}

TEST(PathTool, KeypadMovesPointsAndHidingPathsCommitsTheEdit) {
    PathBench p;
    p.add_path(3, 100, 100);
    p.band(100, 100, 100, 100);
    ASSERT_TRUE(p.paths.toggle_point_editing());
    p.band(110, 100, 110, 100);
    p.b.key(Key::Keypad6);
    p.b.key(Key::Keypad6);
    p.b.key(Key::Keypad2);
    EXPECT_EQ(p.paths.working()[1].px, 112.0f);
    EXPECT_EQ(p.paths.working()[1].py, 101.0f);
    EXPECT_EQ(p.paths.working()[1].cx2, 113.0f);
    EXPECT_TRUE(p.b.tools.dragging());  // undo waits for the end of the move
    p.b.key(Key::Keypad0);
    EXPECT_FALSE(p.b.tools.dragging());
    EXPECT_EQ(p.b.histories.undo_text(), "&Undo : Move path points\tCtrl+Z");
    // View Paths turned off: the edit goes into the layer.
    p.b.prefs.set_flag(FlagA::ViewPaths, false);
    p.b.tools.follow_view_toggles();
    EXPECT_FALSE(p.paths.point_editing());
    EXPECT_EQ(p.list()[1].px, 112.0f);
}

TEST(PathTool, APathGoesToTheLayerItWasBegunOn) {
    PathBench p;
    Layer& other = p.b.t.add_layer(10, 10);
    p.click(100, 100);
    p.click(200, 100);
    p.b.t.select(other);  // another layer chosen in the Layers window while drawing
    p.b.tools.commit_pending();
    EXPECT_EQ(p.list().size(), 2u);
    EXPECT_TRUE(other.path_points.empty());
    EXPECT_TRUE(p.marks_ok());
    // Its record names that layer: undo takes the Path away again.
    EXPECT_EQ(p.b.histories.undo(&p.b.project()), UndoResult::Done);
    EXPECT_TRUE(p.list().empty());
}

TEST(PathTool, LockedLayerRefusesDrawing) {
    PathBench p;
    p.b.layer->is_locked = true;
    p.click(100, 100);
    EXPECT_FALSE(p.paths.drawing());
    ASSERT_EQ(p.b.platform.shown.size(), 1u);
}

// Seeded random steps on the working list, each checked against a copy after undoing and redoing them
// all; then the same for whole-Path edits in the main history.
TEST(PathTool, RandomEditSequencesUndoAndRedoInBothHistories) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        PathBench p;
        std::mt19937 random(seed);
        auto coordinate = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        for (int i = 0; i < 4; ++i) p.add_path(2 + coordinate(0, 4), 20.0f + 120.0f * i, 40.0f + 30.0f * i);

        // The main history: erase, delete, reverse and new Paths.
        std::vector<std::vector<PathPoint>> states{p.list()};
        for (int step = 0; step < 12; ++step) {
            const std::size_t records = p.b.histories.main().undo_count();
            switch (coordinate(0, 3)) {
                case 0:
                    p.b.tools.set_tool(Tool::Eraser);
                    p.click(coordinate(0, 600), coordinate(0, 400));
                    break;
                case 1:
                    p.band(coordinate(0, 600), coordinate(0, 400), coordinate(0, 600), coordinate(0, 400));
                    p.b.tools.run(ToolCommand::Delete);
                    break;
                case 2:
                    p.band(coordinate(0, 600), coordinate(0, 400), coordinate(0, 600), coordinate(0, 400));
                    p.paths.reverse();
                    break;
                default:
                    p.draw(
                        {{coordinate(0, 600), coordinate(0, 400)}, {coordinate(0, 600), coordinate(0, 400)}});
                    p.paths.toggle_point_editing();
                    break;
            }
            ASSERT_TRUE(p.marks_ok());
            if (p.b.histories.main().undo_count() != records) states.push_back(p.list());
        }
        for (std::size_t i = states.size() - 1; i > 0; --i) {
            ASSERT_EQ(p.b.histories.undo(&p.b.project()), UndoResult::Done) << seed;
            ASSERT_TRUE(same_points(p.list(), states[i - 1])) << seed << " undo " << i;
        }
        for (std::size_t i = 1; i < states.size(); ++i) {
            ASSERT_EQ(p.b.histories.redo(&p.b.project()), UndoResult::Done) << seed;
            ASSERT_TRUE(same_points(p.list(), states[i])) << seed << " redo " << i;
        }

        // The path-edit history: steps on one edited Path.
        p.add_path(6, 30, 380);
        p.b.tools.set_mode(EditMode::Tiles);
        p.b.tools.set_mode(EditMode::Paths);
        p.band(30, 375, 35, 385);
        ASSERT_TRUE(p.paths.toggle_point_editing()) << seed;
        std::vector<std::vector<PathPoint>> steps{p.paths.working()};
        for (int step = 0; step < 15; ++step) {
            const std::size_t records = p.b.histories.path_edit().undo_count();
            const int x = coordinate(20, 100), y = coordinate(360, 400);
            switch (coordinate(0, 6)) {
                case 0:
                    p.b.tools.set_tool(Tool::Placement);
                    p.drag(x, y, x + coordinate(-12, 12), y + coordinate(-12, 12));
                    break;
                case 1:
                    p.b.tools.set_tool(Tool::Eraser);
                    p.click(x, y);
                    break;
                case 2:
                    p.band(x - 15, y - 15, x + 15, y + 15);
                    p.b.tools.set_tool(Tool::Move);
                    p.drag(x, y, x + coordinate(-9, 9), y + coordinate(-9, 9));
                    break;
                case 3:
                    p.band(x - 30, y - 30, x + 30, y + 30);
                    p.paths.split_segments();
                    break;
                case 4:
                    p.band(x - 20, y - 20, x + 20, y + 20);
                    p.paths.generate_control_points();
                    break;
                case 5:
                    p.paths.reverse();
                    break;
                default:
                    p.paths.select_step(coordinate(0, 1) == 0);
                    p.paths.make_start_point();
                    break;
            }
            if (p.b.histories.path_edit().undo_count() != records) steps.push_back(p.paths.working());
        }
        ASSERT_TRUE(p.paths.point_editing());
        EXPECT_GE(states.size(), 4u) << seed;
        EXPECT_GE(steps.size(), 6u) << seed;
        for (std::size_t i = steps.size() - 1; i > 0; --i) {
            ASSERT_EQ(p.b.histories.undo(&p.b.project()), UndoResult::Done) << seed;
            ASSERT_TRUE(same_points(p.paths.working(), steps[i - 1])) << seed << " path undo " << i;
        }
        for (std::size_t i = 1; i < steps.size(); ++i) {
            ASSERT_EQ(p.b.histories.redo(&p.b.project()), UndoResult::Done) << seed;
            ASSERT_TRUE(same_points(p.paths.working(), steps[i])) << seed << " path redo " << i;
        }
        ASSERT_TRUE(p.paths.toggle_point_editing());
        ASSERT_TRUE(p.marks_ok());
        EXPECT_EQ(p.b.histories.path_edit().undo_count(), 0u);
    }
}

// --- Transforms --------------------------------------------------------------------------------------------

struct Centre {
    double x = 0.0;
    double y = 0.0;
};

// The middle of the box of the positions of points [first, last] of `list`.
Centre centre_of(const std::vector<PathPoint>& list, std::size_t first, std::size_t last) {
    double left = list[first].px, right = left, top = list[first].py, bottom = top;
    for (std::size_t i = first; i <= last; ++i) {
        left = std::min(left, static_cast<double>(list[i].px));
        right = std::max(right, static_cast<double>(list[i].px));
        top = std::min(top, static_cast<double>(list[i].py));
        bottom = std::max(bottom, static_cast<double>(list[i].py));
    }
    return {(left + right) / 2.0, (top + bottom) / 2.0};
}

bool same_marks(const std::vector<PathPoint>& a, const std::vector<PathPoint>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if ((a[i].flags & ~kPathEditorFlags) != (b[i].flags & ~kPathEditorFlags)) return false;
    return true;
}

// F5 to F12 on two selected Paths (the main history) and on the edited Path (the path-edit history): the
// common and own centres, the prompts with their remembered values, 100 % and Cancel changing nothing, the
// marks kept, every step undone and redone; nothing while drawing, dragging points or floating.
TEST(PathTool, TransformsOfSelectedAndEditedPathsUndoAndRedo) {
    PathBench p;
    p.add_path(3, 100, 100);  // 100 ... 120 at y 100
    p.add_path(2, 200, 150);  // 200 ... 210 at y 150; the common centre is (155, 125)
    p.b.prefs.set_last_rotation_angle(45.0f);
    p.b.prefs.set_last_scale_percent(50.0f);
    p.band(100, 100, 210, 150);
    ASSERT_EQ(p.paths.selected_paths().size(), 2u);
    const std::vector<PathPoint> first = p.list();
    std::vector<std::vector<PathPoint>> states{first};
    auto run = [&](ToolCommand command, std::optional<std::string> typed, bool changes) {
        const std::size_t prompts = p.b.platform.prompts.size();
        if (typed && *typed == "cancel")
            p.b.platform.typed.push_back(std::nullopt);
        else if (typed)
            p.b.platform.typed.push_back(typed);
        const std::size_t records = p.b.histories.main().undo_count();
        EXPECT_TRUE(p.b.tools.can(command));
        EXPECT_EQ(p.b.tools.run(command), changes);
        EXPECT_EQ(p.b.platform.prompts.size(), prompts + (typed ? 1u : 0u));
        EXPECT_EQ(p.b.histories.main().undo_count(), records + (changes ? 1u : 0u));
        EXPECT_TRUE(p.marks_ok());
        EXPECT_TRUE(same_marks(p.list(), first));
        if (changes) {
            states.push_back(p.list());
        } else {
            EXPECT_TRUE(same_points(p.list(), states.back()));
        }
    };

    run(ToolCommand::FlipHorizontal, std::nullopt, true);
    std::vector<PathPoint> l = p.list();
    EXPECT_EQ(l[0].px, 210.0f);
    EXPECT_EQ(l[0].cx1, 211.0f);  // the incoming control point keeps its role
    EXPECT_EQ(l[0].cx2, 209.0f);
    EXPECT_EQ(l[3].px, 110.0f);
    EXPECT_EQ(p.b.histories.undo_text(), "&Undo : Flip paths\tCtrl+Z");
    run(ToolCommand::FlipVertical, std::nullopt, true);
    EXPECT_EQ(p.list()[0].py, 150.0f);
    EXPECT_EQ(p.list()[3].py, 100.0f);

    // 90 degrees about (155, 125): (210, 150), right of and below the centre, goes to (130, 180).
    run(ToolCommand::Rotate, "90", true);
    ASSERT_FALSE(p.b.platform.prompts.empty());
    EXPECT_EQ(p.b.platform.prompts.back().title, "Rotate");
    EXPECT_EQ(p.b.platform.prompts.back().initial, "45");
    EXPECT_EQ(p.b.prefs.last_rotation_angle(), 90.0f);
    l = p.list();
    EXPECT_NEAR(l[0].px, 130.0, 1e-3);
    EXPECT_NEAR(l[0].py, 180.0, 1e-3);
    EXPECT_EQ(p.b.histories.undo_text(), "&Undo : Rotate paths\tCtrl+Z");

    // 100 % and Cancel change nothing and keep the remembered 50 %; 50 % halves about the common centre.
    run(ToolCommand::Scale, "100", false);
    EXPECT_EQ(p.b.platform.prompts.back().title, "Scale");
    EXPECT_EQ(p.b.platform.prompts.back().initial, "50");
    run(ToolCommand::Scale, "cancel", false);
    run(ToolCommand::IndividualRotate, "cancel", false);
    EXPECT_EQ(p.b.prefs.last_scale_percent(), 50.0f);
    EXPECT_EQ(p.b.prefs.last_rotation_angle(), 90.0f);
    const Centre common = centre_of(p.list(), 0, 4);
    run(ToolCommand::Scale, "50", true);
    l = p.list();
    EXPECT_NEAR(centre_of(l, 0, 4).x, common.x, 1e-3);
    EXPECT_NEAR(centre_of(l, 0, 4).y, common.y, 1e-3);
    EXPECT_NEAR(l[0].py - common.y, (states[states.size() - 2][0].py - common.y) / 2.0, 1e-3);
    EXPECT_EQ(p.b.histories.undo_text(), "&Undo : Scale paths\tCtrl+Z");

    // The individual forms keep each Path's own centre.
    const Centre own_a = centre_of(p.list(), 0, 2), own_b = centre_of(p.list(), 3, 4);
    run(ToolCommand::IndividualFlipHorizontal, std::nullopt, true);
    run(ToolCommand::IndividualFlipVertical, std::nullopt, true);
    run(ToolCommand::IndividualRotate, "-30", true);
    run(ToolCommand::IndividualScale, "200", true);
    l = p.list();
    EXPECT_NEAR(centre_of(l, 0, 2).x, own_a.x, 1e-3);
    EXPECT_NEAR(centre_of(l, 0, 2).y, own_a.y, 1e-3);
    EXPECT_NEAR(centre_of(l, 3, 4).x, own_b.x, 1e-3);
    EXPECT_NEAR(centre_of(l, 3, 4).y, own_b.y, 1e-3);
    EXPECT_EQ(p.b.prefs.last_scale_percent(), 200.0f);

    for (std::size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_EQ(p.b.histories.undo(&p.b.project()), UndoResult::Done);
        ASSERT_TRUE(same_points(p.list(), states[i - 1])) << "undo " << i;
    }
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_EQ(p.b.histories.redo(&p.b.project()), UndoResult::Done);
        ASSERT_TRUE(same_points(p.list(), states[i])) << "redo " << i;
    }

    // Point editing: the whole edited Path about its own centre, in the path-edit history only.
    p.b.tools.set_mode(EditMode::Tiles);
    p.b.tools.set_mode(EditMode::Paths);
    p.band(static_cast<int>(p.list()[3].px), static_cast<int>(p.list()[3].py),
           static_cast<int>(p.list()[3].px), static_cast<int>(p.list()[3].py));
    ASSERT_EQ(p.paths.selected_paths().size(), 1u);
    ASSERT_TRUE(p.paths.toggle_point_editing());
    const std::size_t main_records = p.b.histories.main().undo_count();
    std::vector<std::vector<PathPoint>> steps{p.paths.working()};
    const Centre edited = centre_of(steps.front(), 0, steps.front().size() - 1);
    const std::pair<ToolCommand, std::optional<std::string>> edits[] = {
        {ToolCommand::FlipHorizontal, std::nullopt},
        {ToolCommand::IndividualFlipVertical, std::nullopt},
        {ToolCommand::Rotate, "90"},
        {ToolCommand::IndividualRotate, "12.5"},
        {ToolCommand::Scale, "50"},
        {ToolCommand::IndividualScale, "300"}};
    for (const auto& edit : edits) {
        if (edit.second) p.b.platform.typed.push_back(edit.second);
        ASSERT_TRUE(p.b.tools.run(edit.first));
        steps.push_back(p.paths.working());
        const std::vector<PathPoint>& w = steps.back();
        EXPECT_TRUE(same_marks(w, steps.front()));
        EXPECT_NEAR(centre_of(w, 0, w.size() - 1).x, edited.x, 1e-3);
        EXPECT_NEAR(centre_of(w, 0, w.size() - 1).y, edited.y, 1e-3);
    }
    // The flip swapped the two points across; the last scale tripled their distance.
    ASSERT_EQ(steps.front().size(), 2u);
    EXPECT_GT(std::fabs(steps[0][0].px - steps[0][1].px), 1.0f);
    EXPECT_NEAR(steps[1][0].px, steps[0][1].px, 1e-3);
    EXPECT_NEAR(steps[1][1].px, steps[0][0].px, 1e-3);
    const auto distance = [](const std::vector<PathPoint>& w) {
        return std::hypot(w[1].px - w[0].px, w[1].py - w[0].py);
    };
    EXPECT_NEAR(distance(steps[6]), 3.0 * distance(steps[5]), 1e-3);
    p.b.platform.typed.push_back(std::string("100"));
    EXPECT_FALSE(p.b.tools.run(ToolCommand::IndividualScale));
    EXPECT_EQ(p.b.histories.path_edit().undo_count(), std::size(edits));
    EXPECT_EQ(p.b.histories.main().undo_count(), main_records);
    EXPECT_EQ(p.b.histories.undo_text(), "&Undo : Scale paths\tCtrl+Z");
    for (std::size_t i = steps.size() - 1; i > 0; --i) {
        ASSERT_EQ(p.b.histories.undo(&p.b.project()), UndoResult::Done);
        ASSERT_TRUE(same_points(p.paths.working(), steps[i - 1])) << "undo " << i;
    }
    for (std::size_t i = 1; i < steps.size(); ++i) {
        ASSERT_EQ(p.b.histories.redo(&p.b.project()), UndoResult::Done);
        ASSERT_TRUE(same_points(p.paths.working(), steps[i])) << "redo " << i;
    }
    // Nothing while points are dragged.
    const PathPoint& end = p.paths.working().back();
    const int ex = static_cast<int>(std::lround(end.px)), ey = static_cast<int>(std::lround(end.py));
    p.band(ex, ey, ex, ey);
    ASSERT_EQ(p.paths.selected_point_count(), 1u);
    p.b.tools.set_tool(Tool::Move);
    p.send(InputKind::Press, ex, ey);
    ASSERT_TRUE(p.paths.dragging());
    EXPECT_FALSE(p.b.tools.can(ToolCommand::FlipHorizontal));
    EXPECT_FALSE(p.b.tools.run(ToolCommand::FlipHorizontal));
    p.send(InputKind::Release, ex, ey);
    // Leaving point editing puts the edited Path in with its marks.
    ASSERT_TRUE(p.paths.toggle_point_editing());
    EXPECT_TRUE(p.marks_ok());

    // Nothing while a Path is drawn or a float is out; no prompt is shown.
    const std::size_t prompts = p.b.platform.prompts.size();
    p.band(0, 0, 600, 450);
    EXPECT_TRUE(p.b.tools.run(ToolCommand::Copy));
    EXPECT_TRUE(p.b.tools.run(ToolCommand::Paste));
    ASSERT_TRUE(p.b.tools.floating_active());
    EXPECT_FALSE(p.b.tools.can(ToolCommand::Rotate));
    EXPECT_FALSE(p.b.tools.run(ToolCommand::Rotate));
    EXPECT_TRUE(p.b.tools.run(ToolCommand::Cancel));
    p.b.tools.set_tool(Tool::Placement);
    p.click(400, 300);
    ASSERT_TRUE(p.paths.drawing());
    EXPECT_FALSE(p.b.tools.can(ToolCommand::Scale));
    EXPECT_FALSE(p.b.tools.run(ToolCommand::Scale));
    EXPECT_EQ(p.b.platform.prompts.size(), prompts);
}

}  // namespace
}  // namespace zorva::test
