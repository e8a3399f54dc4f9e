// The tools of EditMode Paths: drawing a new Path point by point (a drag shapes mirrored control points),
// finishing it with the close question, point editing of one Path on a private working list with its own
// undo history, selecting, erasing and deleting whole Paths, and the Path commands of the Edit menu (Split
// Segment(s), Previous and Next, Reverse Path, Make Start/End Point, Generate Control Points) and of the
// Transform menu (flips, rotations and scales).
//
// While a Path is drawn or edited, the working list holds its points and the layer keeps the old Path;
// each step on the working list pushes its previous copy to the path-edit history, and committing pushes
// the layer's previous path list to the main history as "Edit paths".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "model/ids.h"
#include "model/path.h"
#include "tools/mode_tools.h"
#include "tools/path_geometry.h"
#include "tools/selection_panel.h"
#include "tools/tool_shared.h"
#include "undo/operation_table.h"

namespace zorva {

// Editor state kept in a working point's flag word (never saved: the file keeps the low four bits).
inline constexpr std::uint32_t kPathPointSelected = 1u << 8;
inline constexpr std::uint32_t kPathIncomingSelected = 1u << 9;  // the incoming control point
inline constexpr std::uint32_t kPathOutgoingSelected = 1u << 10;
inline constexpr std::uint32_t kPathEditorFlags =
    kPathPointSelected | kPathIncomingSelected | kPathOutgoingSelected;

class PathTool final : public ModeTools, public SelectionPanel {
public:
    // A press and a release within this many screen pixels (on both axes) leave a corner point.
    static constexpr int kHandleDistance = 8;
    // End points this close on both axes (screen pixels) ask whether to close the Path.
    static constexpr int kCloseDistance = 10;
    static constexpr double kEraseTolerance = 5.0;
    static constexpr double kInsertTolerance = 20.0;
    static constexpr double kPointTolerance = 5.0;  // point selection grows the band by this much
    static constexpr double kMinimumBand = 20.0;    // Path selection grows the band to this size
    static constexpr double kHandleLength = 16.0;   // Generate Control Points, in screen pixels

    explicit PathTool(ToolShared& shared) : s_(shared) {}

    bool handle(const ToolInput& input) override;
    bool handle_floating(const ToolInput& input) override;
    void end_action(EndStrength strength) override;
    bool dragging() const override;
    // A band or a point dragged with the mouse scrolls the view past its edges and follows the scroll.
    bool band_dragging() const override;
    void view_scrolled() override;
    std::optional<ViewBox> float_box_on_screen() const override;
    void update_overlay(ToolOverlay& overlay) override;
    void forget_project() override;

    bool can_copy() const override;
    bool copy() override;
    bool cut() override;
    bool can_paste() const override;
    bool paste() override;
    bool can_nudge() const override;
    bool nudge(int dx, int dy, bool z_held) override;
    bool can_drop() const override { return s_.floating.kind == FloatKind::Paths; }
    bool drop() override;
    bool can_erase() const override;
    bool erase() override;
    bool can_select_none() const override;
    bool select_none() override;
    bool can_cancel() const override {
        return drawing_ || point_editing_ || s_.floating.kind == FloatKind::Paths;
    }
    bool cancel() override;

    // The Transform menu (F5 to F12) on the selected Paths, or on the whole edited Path while point editing
    // (both forms about its own centre, recorded in the path-edit history). Nothing while a Path is drawn or
    // points are dragged or erased.
    bool can_transform(Transform transform) const override;
    bool transform(Transform transform) override;

    // The Selected Points window: the selected points of the edited Path.
    SelectionPanel* selection_panel() override { return this; }
    SelectionPanelState panel_state() const override;
    bool set_panel_field(PanelField field, double value) override;
    std::optional<SelectionVariables> selection_variables() const override;
    bool apply_selection_variables(const std::array<bool, kCustomVariableCount>& changed,
                                   const IntVariables& values) override;

    // "Edit Path Points" (I): commits and leaves point editing, or enters it with exactly one Path selected.
    bool can_toggle_point_editing() const;
    bool toggle_point_editing();
    bool can_split_segments() const;
    bool split_segments();
    bool can_select_step() const;
    bool select_step(bool forward);  // Next (true) and Previous (false)
    bool can_reverse() const;
    bool reverse();
    bool can_make_start_or_end() const;
    bool make_start_point();
    bool make_end_point();
    bool can_generate_control_points() const;
    bool generate_control_points();

    // Before a save or an export: the Path being drawn or edited goes into the layer.
    void commit_pending() override;

    bool drawing() const { return drawing_; }
    bool point_editing() const { return point_editing_; }
    const std::vector<PathPoint>& working() const { return work_; }
    // Uids of the first points of the selected Paths of the current layer.
    std::vector<ObjectId> selected_paths() const;
    std::size_t selected_point_count() const;

private:
    struct Handle {
        std::size_t index = 0;
        ViewPoint at;
        bool shaped = false;
        std::optional<std::vector<PathPoint>> before;  // an inserted point's step, pushed on release
    };
    struct Band {
        ViewPoint start;
        ViewPoint end;
        std::optional<Vec2> anchor;  // the start in layer pixels: it stays there while the view scrolls
    };
    struct PointDrag {
        std::vector<PathPoint> before;
        LayerPixel start;
        bool keyboard = false;  // keypad steps; the offset so far is `start` negated
    };
    struct EraseStroke {
        std::vector<PathPoint> before;  // the layer's list, or the working list in point editing
        bool changed = false;
    };

    std::optional<ScreenMapping> mapping() const;
    // Floats the Paths of `points` (whole Paths): a move of the selected Paths or a paste.
    bool begin_float(std::vector<PathPoint> points, const ToolInput* input, bool keyboard, bool keep_source,
                     bool paste);
    std::optional<std::pair<double, double>> drop_origin() const;
    bool drop_float(std::optional<ViewPoint> cursor) override;
    std::vector<PathPoint> selected_path_points() const;
    std::optional<std::pair<float, float>> new_point_position(const ToolInput& input) const;

    bool press(const ToolInput& input);
    bool draw_press(const ToolInput& input);
    void add_point(float x, float y, ViewPoint at);
    void follow_handle(const ToolInput& input);
    bool insert_press(const ToolInput& input);
    struct Insertion {
        std::size_t after = 0;  // the new point follows this one of the working list
        Vec2 screen;            // where, in view pixels
    };
    // The point of the working list's segments nearest to `at` within the insertion distance.
    std::optional<Insertion> insertion_at(ViewPoint at) const;
    // Placement in point editing: the cross follows the place a click would insert a point at.
    bool follow_insert_mark(ViewPoint at);
    void begin_band(ViewPoint at);
    void end_band(std::uint8_t modifiers);
    // Select with "Switch to Move tool when selecting": what lies under the cursor is selected at once, and
    // when that is something, the Move tool takes over and its move begins.
    bool select_press(const ToolInput& input);
    // The cursor lies on a selected path (whole paths) or on a selected point or handle (point editing).
    bool over_selection(ViewPoint at) const;
    // "Switch to Move tool when cursor moves over a selection", and back to Select when it leaves it.
    bool check_auto_switch(const ToolInput& input);
    bool begin_point_drag(const ToolInput& input);
    void follow_point_drag(LayerPixel pixel);
    void end_point_drag();
    // Point editing: numeric keypad 4, 6, 8, 2 move the selection, 0 ends the move.
    bool key_point_move(Key key);
    bool begin_erase(const ToolInput& input);
    void erase_at(ViewPoint at);
    void finish_erase();

    bool begin_working(bool new_path);
    // Commits the working list. `finished_by_click`: toggles point editing afterwards.
    void commit(bool finished_by_click);
    void discard();
    void close_test(std::vector<PathPoint>& list, bool ask);
    void push_step(UndoCode code, std::vector<PathPoint> before);
    void push_main(UndoCode code, std::vector<PathPoint> before, Layer* on = nullptr);
    void end_sub_actions();

    bool lock_ok() const;
    void set_selected_paths(std::vector<ObjectId> ids);

    ToolShared& s_;
    std::vector<PathPoint> work_;
    bool drawing_ = false;
    bool new_path_ = false;
    bool point_editing_ = false;
    ObjectId edited_uid_ = kInvalidId;
    std::pair<ObjectId, ObjectId> work_layer_{kInvalidId, kInvalidId};  // map and layer of the working list
    std::optional<Handle> handle_;
    std::optional<Band> band_;
    std::optional<PointDrag> point_drag_;
    std::optional<EraseStroke> erase_;
    // The selected Paths: uids of their first points on the layer named by the key.
    std::pair<ObjectId, ObjectId> selection_layer_{kInvalidId, kInvalidId};
    std::vector<ObjectId> selected_;
    std::optional<LayerPixel> last_pixel_;
    std::optional<ViewPoint> insert_mark_;
};

}  // namespace zorva
