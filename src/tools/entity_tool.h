// The tools of EditMode Entities: placing with the entity brush (and the 8-pixel rule with its highlight),
// erase strokes, the pick of the right button with its cycling, the rubber band with Shift and Ctrl, moves
// with the mouse and the keypad (Z keeps the source), pastes centred on the cursor, copy, cut, delete,
// select all and none, and the edits of the Selected Entities window, each with its undo record.
//
// The selection is editor state: the ids of the selected entities of each layer, forgotten when the tools
// end fully. Entities whose parent entity no longer exists are skipped by every tool and never selected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "model/entity.h"
#include "model/ids.h"
#include "tools/entity_geometry.h"
#include "tools/mode_tools.h"
#include "tools/selection_panel.h"
#include "tools/tool_shared.h"
#include "undo/operation_table.h"

namespace zorva {

class EntityTool final : public ModeTools, public SelectionPanel {
public:
    // Within this many view pixels of where it began on both axes, a mouse move is cancelled, not dropped.
    static constexpr int kCancelDistance = 3;
    // A placement closer than this on both axes to an entity's position is refused (unless allowed).
    static constexpr double kPlacementDistance = 8.0;
    // A right click farther than this on either axis from the last pick starts the cycle afresh.
    static constexpr int kPickCycleDistance = 10;

    explicit EntityTool(ToolShared& shared) : s_(shared) {}

    bool handle(const ToolInput& input) override;
    bool handle_floating(const ToolInput& input) override;
    void end_action(EndStrength strength) override;
    bool dragging() const override { return erase_.has_value() || band_.has_value(); }
    void update_overlay(ToolOverlay& overlay) override;
    void forget_project() override;

    bool can_copy() const override;
    bool copy() override;
    bool cut() override;
    bool can_erase() const override { return can_copy(); }
    bool erase() override;
    bool can_paste() const override;
    bool paste() override;
    bool can_select_all() const override;
    bool select_all() override;
    bool can_select_none() const override;
    bool select_none() override;
    bool can_nudge() const override;
    bool nudge(int dx, int dy, bool z_held) override;
    bool can_drop() const override { return s_.floating.kind == FloatKind::Entities; }
    bool drop() override;
    bool can_cancel() const override { return s_.floating.kind == FloatKind::Entities; }
    bool cancel() override;
    bool can_move_view_to_selection() const override;
    bool move_view_to_selection() override;
    // Flips and quarter turns of the selected entities ("Flip entities", "Rotate entities"); no scaling.
    bool can_transform(Transform transform) const override;
    bool transform(Transform transform) override;
    bool band_dragging() const override { return band_.has_value(); }
    void view_scrolled() override;
    std::optional<ViewBox> float_box_on_screen() const override;
    SelectionPanel* selection_panel() override { return this; }

    // The Selected Entities window.
    SelectionPanelState panel_state() const override;
    bool set_panel_field(PanelField field, double value) override;
    bool set_panel_flag(PanelFlag flag, bool on) override;
    std::optional<SelectionVariables> selection_variables() const override;
    bool apply_selection_variables(const std::array<bool, kCustomVariableCount>& changed,
                                   const IntVariables& values) override;

    // The selected entities of the current layer, in layer order (entities without a parent left out).
    std::vector<InstanceEntity*> selected() const;
    std::size_t selected_count() const { return selected().size(); }
    bool is_selected(ObjectId uid) const;
    // Counts the picks that changed the entity brush (the Entities window shows the brush).
    std::uint64_t brush_serial() const { return brush_serial_; }

private:
    using LayerKey = std::pair<ObjectId, ObjectId>;  // map id, layer id

    struct EraseStroke {
        LayerKey layer;
        std::optional<std::vector<InstanceEntity>> before;  // taken when the first entity goes
        bool erased = false;
    };
    struct Band {
        LayerPixel start;
        LayerPixel end;
    };

    std::optional<LayerKey> current_key() const;
    // The sorted ids selected on the current layer (empty without one), and a writable reference to them.
    const std::vector<ObjectId>& current_ids() const;
    std::vector<ObjectId>* writable_ids();
    void set_selection(std::vector<ObjectId> ids);
    void clear_selections();
    // Forgets selected ids whose entity is gone or has lost its parent.
    void prune();

    bool press(const ToolInput& input);
    bool place(const ToolInput& input);
    bool pick(const ToolInput& input);
    bool begin_erase(const ToolInput& input);
    void erase_at(LayerPixel pixel);
    void finish_erase();
    bool select_press(const ToolInput& input);
    void begin_band(LayerPixel at);
    bool follow_band(ViewPoint point);
    void end_band(std::uint8_t modifiers);
    void band_select(const PixelRect& rect, std::uint8_t modifiers);
    bool check_auto_switch(const ToolInput& input);
    bool over_selection(LayerPixel pixel) const;

    std::optional<LayerPixel> cursor_pixel() const;
    // The box of the selected entities in layer pixels (none without a selection).
    struct GroupBox {
        double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
    };
    // Grows `group` (made when there is none yet) to hold `box`.
    static void include_box(std::optional<GroupBox>& group, const EntityBox& box);
    // The floating selection of `entities` (copies) inside `group`; the caller says where they came from.
    void float_entities(std::vector<InstanceEntity> entities, const GroupBox& group);
    std::optional<GroupBox> selection_box() const;
    bool begin_move(const ToolInput* input, bool keyboard, bool keep_source);
    // Where the floating box's top-left corner would land now.
    std::optional<std::pair<double, double>> drop_origin() const;
    bool drop_float(std::optional<ViewPoint> cursor) override;
    void cancel_float();
    void action_ended();

    // Applies `change` to every selected entity of the current layer after the lock rule, recording `code`
    // with the list as it was when anything changed. `change` returns whether it changed the entity.
    template <class Change>
    bool change_selected(UndoCode code, Change change);
    // Pushes `code` with the list as it was (unrecorded when memory for that copy ran out) and marks the
    // project modified.
    void record(UndoCode code, Layer& layer, std::optional<std::vector<InstanceEntity>> before);

    ToolShared& s_;
    std::map<LayerKey, std::vector<ObjectId>> selections_;
    std::uint64_t selection_serial_ = 1;
    std::optional<EraseStroke> erase_;
    std::optional<Band> band_;
    std::uint8_t last_modifiers_ = 0;
    std::optional<LayerPixel> last_pixel_;
    bool cursor_in_view_ = false;
    // The pick's cycle: the entity picked last and where the click was.
    ObjectId last_picked_ = kInvalidId;
    ViewPoint last_pick_at_;
    std::uint64_t brush_serial_ = 0;
    // The blocking entity of a refused placement, flashed for 300 ms.
    ObjectId blocking_ = kInvalidId;
    std::int64_t blocking_ms_ = 0;
    // The layer a move was lifted from.
    LayerKey float_layer_{kInvalidId, kInvalidId};
    // What the overlay last took over, so unchanged selections and floats are not copied again.
    std::uint64_t overlay_selection_serial_ = 0;
    std::optional<LayerKey> overlay_layer_;
};

}  // namespace zorva
