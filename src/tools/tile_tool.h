// The tools of EditMode Tiles: strokes of the Placement and Eraser tools, the pick of the right button,
// the rubber band of the Select and Extra Placement tools, moves with the mouse and the keypad, the drop
// and cancel of floating tiles, and the tile commands of the Edit menu (copy, cut, delete, paste, float,
// paste mosaic, select all and none, the fills) with their undo records.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

#include "model/ids.h"
#include "tools/mode_tools.h"
#include "tools/tool_shared.h"
#include "undo/operation_table.h"
#include "view/edit_state.h"

namespace zorva {

struct Mosaic;

class TileTool final : public ModeTools {
public:
    // Within this many pixels of where it began on both axes, a mouse move's float is cancelled, not
    // dropped.
    static constexpr int kCancelDistance = 3;

    explicit TileTool(ToolShared& shared) : s_(shared) {}

    bool handle(const ToolInput& input) override;
    bool handle_floating(const ToolInput& input) override;
    void end_action(EndStrength strength) override;
    bool dragging() const override { return stroke_.has_value() || s_.tile_selection.dragging; }
    void update_overlay(ToolOverlay& overlay) override;

    bool can_copy() const override;
    bool copy() override;
    bool cut() override;
    bool can_erase() const override { return can_act_on_selection(); }
    bool erase() override;
    bool can_paste() const override;
    bool paste() override;
    bool can_select_all() const override;
    bool select_all() override;
    bool can_select_none() const override;
    bool select_none() override;
    bool can_nudge() const override;
    bool nudge(int dx, int dy, bool z_held) override;
    bool can_drop() const override { return s_.floating.kind == FloatKind::Tiles; }
    bool drop() override;
    bool can_cancel() const override { return s_.floating.kind == FloatKind::Tiles; }
    bool cancel() override;
    bool can_move_view_to_selection() const override;
    bool move_view_to_selection() override;
    // Flips and quarter turns of the selected cells ("Flip tiles", "Rotate tiles"); no scaling.
    bool can_transform(Transform transform) const override;
    bool transform(Transform transform) override;
    // Tests: called before a block rotation takes the memory for its copy; may throw std::bad_alloc.
    void set_rotation_allocation_probe(std::function<void(std::size_t)> probe) {
        rotation_probe_ = std::move(probe);
    }

    // Ctrl+B: Cut, and when the cut was carried out, Paste.
    bool can_float() const { return can_copy(); }
    bool float_selection();
    // Ctrl+M: floats the current mosaic of the map's tile set. `from_window`: the click in the Mosaics
    // window that asked for it; its button release is not a drop.
    bool can_paste_mosaic() const;
    bool paste_mosaic(bool from_window = false);
    // Ctrl+F, Ctrl+Shift+F and "&Clear Tile Attributes".
    bool can_fill() const { return can_act_on_selection(); }
    bool fill_tiles();
    bool fill_tile_attributes(bool clear);
    // Ctrl+K: a new mosaic from the selected cells, made current (and the first shown when a strip of
    // `slots` thumbnails would not show it).
    bool can_new_mosaic() const;
    Mosaic* new_mosaic(std::size_t slots);

    bool stroke_running() const { return stroke_.has_value(); }
    // The view scrolled under a still cursor: a band's end corner is recomputed.
    void view_scrolled() override;

    // Around a save: a move's lifted cells go back into the layer, and are lifted again afterwards.
    void put_lifted_cells_back();
    void lift_cells_again();
    // The project was replaced: nothing running refers to it any more.
    void forget_project() override;

private:
    struct Stroke {
        ObjectId map_id = kInvalidId;
        ObjectId layer_id = kInvalidId;
        UndoCode code = 0;
        bool by_mouse = false;
        bool snapshot_taken = false;
    };

    bool can_act_on_selection() const;
    // A stroke on the current layer: false when there is nothing to paint on (silently) or the lock rule
    // refuses (with its message). A running stroke ends first.
    bool begin_stroke(UndoCode code, bool by_mouse);
    void finish_stroke();
    Layer* stroke_layer() const;
    void set_stroke_cell(CellPosition cell);

    bool press(const ToolInput& input);
    bool pick(const ToolInput& input);
    bool begin_band(const ToolInput& input);
    bool follow_band(ViewPoint point);
    void end_band();
    void extra_placement(const CellRect& rect);
    bool check_auto_switch(const ToolInput& input);

    // Lifts the selection into a float: by the mouse from `input` (grab offset to its cell), or by the
    // keypad (grab offset 0).
    bool begin_move(const ToolInput& input, bool keyboard);
    std::optional<CellPosition> drop_position() const;
    bool drop_float(std::optional<ViewPoint> cursor) override;
    // Ends a tile float without a drop: a move's source goes back; with `reselect` the selection a move
    // deactivated is active again.
    void cancel_float(bool reselect);
    void restore_move_source();
    void make_float(TileBlock block, ObjectId tile_set_id);
    void action_ended();

    ToolShared& s_;
    std::optional<Stroke> stroke_;
    Tool band_tool_ = Tool::Select;  // the tool that started the band being dragged
    CellPosition band_pressed_;      // the cell where its button went down
    std::function<void(std::size_t)> rotation_probe_;
};

}  // namespace zorva
