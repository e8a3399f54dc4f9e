#include "tools/entity_tool.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <new>
#include <type_traits>

#include "base/platform.h"
#include "model/project.h"
#include "prefs/preferences.h"
#include "tools/lock_rule.h"
#include "undo/undo_histories.h"
#include "view/edit_state.h"
#include "view/view_navigation.h"

namespace zorva {

namespace {

bool contains(const std::vector<ObjectId>& sorted, ObjectId id) {
    return std::binary_search(sorted.begin(), sorted.end(), id);
}

void sort_ids(std::vector<ObjectId>& ids) {
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
}

// right - left + 1 as whole pixels, at least 1.
std::int32_t whole_pixels(double extent) {
    if (!std::isfinite(extent) || extent >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    return std::max<std::int32_t>(1, static_cast<std::int32_t>(extent));
}

std::int32_t clamp_to_int32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

std::int64_t truncate_to_int64(double value) {
    if (!std::isfinite(value)) return 0;
    return static_cast<std::int64_t>(std::clamp(value, -4.0e18, 4.0e18));
}

// A copy of a layer's entity list for an undo record; none when memory ran out (the edit then goes ahead
// unrecorded).
std::optional<std::vector<InstanceEntity>> snapshot_of(const Layer& layer) {
    try {
        return copy_instance_entities(layer);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

const std::vector<ObjectId> kNoIds;

}  // namespace

// --- Selection ---------------------------------------------------------------------------------------------

std::optional<EntityTool::LayerKey> EntityTool::current_key() const {
    const Map* map = s_.context.map();
    const Layer* layer = s_.context.layer();
    if (!map || !layer) return std::nullopt;
    return LayerKey{map->unique_id, layer->unique_id};
}

const std::vector<ObjectId>& EntityTool::current_ids() const {
    const std::optional<LayerKey> key = current_key();
    if (!key) return kNoIds;
    const auto it = selections_.find(*key);
    return it == selections_.end() ? kNoIds : it->second;
}

std::vector<ObjectId>* EntityTool::writable_ids() {
    const std::optional<LayerKey> key = current_key();
    if (!key) return nullptr;
    return &selections_[*key];
}

void EntityTool::set_selection(std::vector<ObjectId> ids) {
    std::vector<ObjectId>* current = writable_ids();
    if (!current) return;
    sort_ids(ids);
    if (ids == *current) return;
    *current = std::move(ids);
    ++selection_serial_;
}

void EntityTool::clear_selections() {
    if (selections_.empty()) return;
    selections_.clear();
    ++selection_serial_;
}

void EntityTool::prune() {
    const std::optional<LayerKey> key = current_key();
    if (!key || !s_.context.project) return;
    const auto it = selections_.find(*key);
    if (it == selections_.end() || it->second.empty()) return;
    const Layer* layer = s_.context.layer();
    ParentFinder parents(*s_.context.project);
    std::vector<ObjectId> kept;
    kept.reserve(it->second.size());
    for (const auto& e : layer->instance_entities)
        if (contains(it->second, e->uid) && parents.find(e->pid)) kept.push_back(e->uid);
    if (kept.size() == it->second.size()) return;
    sort_ids(kept);
    it->second = std::move(kept);
    ++selection_serial_;
}

std::vector<InstanceEntity*> EntityTool::selected() const {
    std::vector<InstanceEntity*> result;
    const std::vector<ObjectId>& ids = current_ids();
    const Layer* layer = s_.context.layer();
    if (ids.empty() || !layer || !s_.context.project) return result;
    ParentFinder parents(*s_.context.project);
    for (const auto& e : layer->instance_entities)
        if (contains(ids, e->uid) && parents.find(e->pid)) result.push_back(e.get());
    return result;
}

bool EntityTool::is_selected(ObjectId uid) const { return contains(current_ids(), uid); }

void EntityTool::include_box(std::optional<GroupBox>& group, const EntityBox& box) {
    if (!group) group = GroupBox{box.x, box.y, box.right(), box.bottom()};
    group->left = std::min(group->left, box.x);
    group->top = std::min(group->top, box.y);
    group->right = std::max(group->right, box.right());
    group->bottom = std::max(group->bottom, box.bottom());
}

void EntityTool::float_entities(std::vector<InstanceEntity> entities, const GroupBox& group) {
    FloatingSelection& f = s_.floating;
    f.clear();
    f.kind = FloatKind::Entities;
    f.entities = std::move(entities);
    f.box_left = to_float(group.left);
    f.box_top = to_float(group.top);
    f.box_width = whole_pixels(group.right - group.left + 1.0);
    f.box_height = whole_pixels(group.bottom - group.top + 1.0);
}

std::optional<EntityTool::GroupBox> EntityTool::selection_box() const {
    const std::vector<ObjectId>& ids = current_ids();
    const Layer* layer = s_.context.layer();
    if (ids.empty() || !layer || !s_.context.project) return std::nullopt;
    ParentFinder parents(*s_.context.project);
    std::optional<GroupBox> group;
    for (const auto& e : layer->instance_entities) {
        if (!contains(ids, e->uid)) continue;
        const std::optional<EntityBox> box = parents.box(*e);
        if (!box) continue;
        include_box(group, *box);
    }
    return group;
}

// --- Events ------------------------------------------------------------------------------------------------

bool EntityTool::handle(const ToolInput& input) {
    last_modifiers_ = input.modifiers;
    const bool pointer_event =
        input.kind != InputKind::KeyDown && input.kind != InputKind::KeyUp && input.kind != InputKind::Leave;
    if (pointer_event) {
        if (input.pixel) last_pixel_ = input.pixel;
        cursor_in_view_ = s_.context.in_view(input.view);
    }
    const Tool tool = s_.context.edit_state.tool();
    switch (input.kind) {
        case InputKind::Press:
        case InputKind::DoubleClick:
            return press(input);
        case InputKind::Move: {
            if (erase_) {
                if (input.pixel && s_.context.in_view(input.view)) erase_at(*input.pixel);
                return true;
            }
            if (band_) return follow_band(input.view);
            const bool switched = check_auto_switch(input);
            // The placement preview follows the cursor.
            return switched || tool == Tool::Placement;
        }
        case InputKind::Release:
            if (input.button != MouseButton::Left) return false;
            if (erase_) {
                finish_erase();
                return true;
            }
            if (band_) {
                follow_band(input.view);
                end_band(input.modifiers);
                return true;
            }
            return false;
        case InputKind::KeyDown: {
            int dx = 0, dy = 0;
            if (is_keypad_step(input.key, dx, dy) && can_nudge()) return nudge(dx, dy, input.z_held());
            return false;
        }
        case InputKind::KeyUp:
            return false;
        case InputKind::Leave:
            cursor_in_view_ = false;
            return tool == Tool::Placement;
    }
    return false;
}

bool EntityTool::press(const ToolInput& input) {
    if (input.button == MouseButton::Right) return pick(input);
    if (input.button != MouseButton::Left) return false;
    switch (s_.context.edit_state.tool()) {
        case Tool::Placement:
            return place(input);
        case Tool::Eraser:
            return begin_erase(input);
        case Tool::Select:
            return select_press(input);
        case Tool::Move:
            if (current_ids().empty()) return false;
            return begin_move(&input, false, input.z_held());
        case Tool::ExtraPlacement:
            return false;
    }
    return false;
}

bool EntityTool::handle_floating(const ToolInput& input) {
    if (input.kind != InputKind::KeyDown && input.kind != InputKind::KeyUp &&
        input.kind != InputKind::Leave) {
        if (input.pixel) last_pixel_ = input.pixel;
        cursor_in_view_ = s_.context.in_view(input.view);
    }
    return route_floating_event(input, s_.floating);
}

// --- Placement ---------------------------------------------------------------------------------------------

bool EntityTool::place(const ToolInput& input) {
    Project* project = s_.context.project;
    Map* map = s_.context.map();
    Layer* layer = s_.context.layer();
    // Nothing drawn (no layer grid, no tile set picture): silently nothing.
    if (!project || !map || !layer || !input.pixel) return false;
    if (!layer_change_allowed(*map, *layer, s_.context.platform)) return false;
    const ParentEntity* parent = project->selected_parent_entity();
    if (!parent || !s_.context.in_view(input.view)) return false;

    double x = input.pixel->x;
    double y = input.pixel->y;
    if (s_.context.preferences.flag(FlagA::SnapToGrid)) {
        if (!input.cell) return false;
        const TileSizePx tile = view_tile_size(*project, map);
        x = static_cast<double>(input.cell->column) * tile.width;
        y = static_cast<double>(input.cell->row) * tile.height;
    }
    const float px = to_float(x);
    const float py = to_float(y);
    if (!s_.context.preferences.flag(FlagC::AllowEntitiesOnTopOfEachOther)) {
        ParentFinder parents(*project);
        for (const auto& e : layer->instance_entities) {
            if (!parents.find(e->pid)) continue;
            if (std::abs(static_cast<double>(e->px) - px) < kPlacementDistance &&
                std::abs(static_cast<double>(e->py) - py) < kPlacementDistance) {
                // Too close: the blocking entity flashes and nothing is added.
                blocking_ = e->uid;
                blocking_ms_ = s_.context.now();
                return true;
            }
        }
    }
    std::optional<std::vector<InstanceEntity>> before = snapshot_of(*layer);
    InstanceEntity entity = make_instance_entity(*parent, map->unique_id, layer->unique_id, px, py);
    entity.fh = project->entity_brush.flip_horizontal;
    entity.fv = project->entity_brush.flip_vertical;
    entity.ro = project->entity_brush.rotate;
    entity.tcr = project->default_entity_trigger_radius;
    entity.trw = project->default_entity_trigger_width;
    entity.trh = project->default_entity_trigger_height;
    if (!add_instance_entity(*project, entity, false, &s_.context.platform)) return true;
    record(undo_op::kPlaceEntities, *layer, std::move(before));
    return true;
}

// --- Pick --------------------------------------------------------------------------------------------------

bool EntityTool::pick(const ToolInput& input) {
    Project* project = s_.context.project;
    const Layer* layer = s_.context.layer();
    const std::optional<ViewTransform> transform = s_.context.view_transform();
    if (!project || !layer || !transform || !input.pixel) return false;
    if (last_picked_ != kInvalidId &&
        (std::abs(std::int64_t{input.view.x} - last_pick_at_.x) > kPickCycleDistance ||
         std::abs(std::int64_t{input.view.y} - last_pick_at_.y) > kPickCycleDistance))
        last_picked_ = kInvalidId;

    ParentFinder parents(*project);
    std::vector<const InstanceEntity*> under;
    for (const auto& e : layer->instance_entities) {
        const std::optional<EntityBox> box = parents.box(*e);
        if (box &&
            box_holds_view_point(*box, *transform, layer->grid_offset_x, layer->grid_offset_y, input.view))
            under.push_back(e.get());
    }
    if (under.empty()) return false;
    // The first under the cursor, or the one after the entity picked last (wrapping to the first).
    const InstanceEntity* chosen = under.front();
    if (last_picked_ != kInvalidId) {
        const auto last = std::find_if(under.begin(), under.end(),
                                       [this](const InstanceEntity* e) { return e->uid == last_picked_; });
        if (last != under.end() && last + 1 != under.end()) chosen = *(last + 1);
    }
    project->entity_brush.flip_horizontal = chosen->fh;
    project->entity_brush.flip_vertical = chosen->fv;
    project->entity_brush.rotate = chosen->ro;
    project->select_parent_entity(chosen->pid);
    project->default_entity_trigger_radius = chosen->tcr;
    project->default_entity_trigger_width = chosen->trw;
    project->default_entity_trigger_height = chosen->trh;
    last_picked_ = chosen->uid;
    last_pick_at_ = input.view;
    ++brush_serial_;
    return true;
}

// --- Eraser ------------------------------------------------------------------------------------------------

bool EntityTool::begin_erase(const ToolInput& input) {
    Map* map = s_.context.map();
    Layer* layer = s_.context.layer();
    if (!map || !layer || !input.pixel) return false;
    if (!layer_change_allowed(*map, *layer, s_.context.platform)) return false;
    if (!s_.context.in_view(input.view)) return false;
    erase_ = EraseStroke{LayerKey{map->unique_id, layer->unique_id}, std::nullopt, false};
    erase_at(*input.pixel);
    return true;
}

void EntityTool::erase_at(LayerPixel pixel) {
    Project* project = s_.context.project;
    Layer* layer = project ? find_layer(*project, erase_->layer.first, erase_->layer.second) : nullptr;
    if (!layer) return;
    ParentFinder parents(*project);
    auto hit = [&](const std::unique_ptr<InstanceEntity>& e) {
        const std::optional<EntityBox> box = parents.box(*e);
        return box && box_holds_pixel(*box, pixel);
    };
    if (std::none_of(layer->instance_entities.begin(), layer->instance_entities.end(), hit)) return;
    // Every entity under the cursor goes, not only the topmost; the list as it was is kept for the record.
    if (!erase_->erased) {
        erase_->before = snapshot_of(*layer);
        erase_->erased = true;
    }
    std::erase_if(layer->instance_entities, hit);
}

void EntityTool::finish_erase() {
    if (!erase_) return;
    EraseStroke stroke = std::move(*erase_);
    erase_.reset();
    Project* project = s_.context.project;
    Layer* layer = project ? find_layer(*project, stroke.layer.first, stroke.layer.second) : nullptr;
    // A stroke that erased nothing records nothing.
    if (!stroke.erased || !layer) return;
    record(undo_op::kEraseEntities, *layer, std::move(stroke.before));
    prune();
}

// --- Select: bands and the automatic Move tool -------------------------------------------------------------

bool EntityTool::select_press(const ToolInput& input) {
    if (!input.pixel) return false;
    if (!input.shift() && !input.ctrl() && s_.context.preferences.flag(FlagA::SwitchToMoveWhenSelecting)) {
        // What lies under the cursor is selected at once; when that is something, it moves.
        band_select(PixelRect::spanning(*input.pixel, *input.pixel), 0);
        if (!current_ids().empty()) {
            s_.context.edit_state.set_tool(Tool::Move);
            s_.auto_switched = true;
            begin_move(&input, false, input.z_held());
            return true;
        }
    }
    begin_band(*input.pixel);
    return true;
}

void EntityTool::begin_band(LayerPixel at) { band_ = Band{at, at}; }

bool EntityTool::follow_band(ViewPoint point) {
    if (!band_) return false;
    // The cursor is first clamped to the view.
    const ViewSize size = s_.context.view_size();
    if (s_.context.navigator && size.width > 0 && size.height > 0) {
        point.x = std::clamp(point.x, 0, size.width - 1);
        point.y = std::clamp(point.y, 0, size.height - 1);
    }
    std::optional<LayerPixel> pixel = s_.context.pixel_at(point);
    if (!s_.context.navigator) pixel = last_pixel_;
    if (!pixel) return false;
    band_->end = *pixel;
    return true;
}

void EntityTool::view_scrolled() {
    if (band_ && s_.cursor) follow_band(*s_.cursor);
}

void EntityTool::end_band(std::uint8_t modifiers) {
    if (!band_) return;
    const PixelRect rect = PixelRect::spanning(band_->start, band_->end);
    band_.reset();
    band_select(rect, modifiers);
}

void EntityTool::band_select(const PixelRect& rect, std::uint8_t modifiers) {
    const Layer* layer = s_.context.layer();
    if (!layer || !s_.context.project) return;
    const bool shift = (modifiers & kModifierShift) != 0;
    const bool ctrl = (modifiers & kModifierCtrl) != 0;
    ParentFinder parents(*s_.context.project);
    std::vector<ObjectId> hits;
    for (const auto& e : layer->instance_entities) {
        const std::optional<EntityBox> box = parents.box(*e);
        if (box && box_meets_band(*box, rect)) hits.push_back(e->uid);
    }
    // Without Shift or Ctrl the band replaces the selection; Shift adds to it, Ctrl takes its hits away.
    std::vector<ObjectId> ids;
    if (shift || ctrl) ids = current_ids();
    if (ctrl) {
        sort_ids(hits);
        std::vector<ObjectId> kept;
        std::set_difference(ids.begin(), ids.end(), hits.begin(), hits.end(), std::back_inserter(kept));
        ids = std::move(kept);
    } else {
        ids.insert(ids.end(), hits.begin(), hits.end());
    }
    set_selection(std::move(ids));
}

bool EntityTool::over_selection(LayerPixel pixel) const {
    const std::vector<ObjectId>& ids = current_ids();
    const Layer* layer = s_.context.layer();
    if (ids.empty() || !layer || !s_.context.project) return false;
    ParentFinder parents(*s_.context.project);
    for (const auto& e : layer->instance_entities) {
        if (!contains(ids, e->uid)) continue;
        const std::optional<EntityBox> box = parents.box(*e);
        if (box && box_holds_pixel(*box, pixel)) return true;
    }
    return false;
}

bool EntityTool::check_auto_switch(const ToolInput& input) {
    EditState& edit = s_.context.edit_state;
    const bool over = input.pixel && over_selection(*input.pixel);
    if (edit.tool() == Tool::Select) {
        if (over && !input.shift() && !input.ctrl() && !band_ &&
            s_.context.preferences.flag(FlagA::SwitchToMoveOverSelection)) {
            edit.set_tool(Tool::Move);
            s_.auto_switched = true;
            return true;
        }
    } else if (edit.tool() == Tool::Move && s_.auto_switched && !over) {
        edit.set_tool(Tool::Select);
        s_.auto_switched = false;
        return true;
    }
    return false;
}

// --- Moves, pastes and drops -------------------------------------------------------------------------------

std::optional<LayerPixel> EntityTool::cursor_pixel() const {
    if (s_.context.navigator && s_.cursor) return s_.context.pixel_at(*s_.cursor);
    return last_pixel_;
}

bool EntityTool::begin_move(const ToolInput* input, bool keyboard, bool keep_source) {
    const std::optional<LayerKey> key = current_key();
    const Layer* layer = s_.context.layer();
    if (!key || !layer || !s_.context.project) return false;
    if (!keyboard && (!input || !input->pixel)) return false;
    const std::vector<ObjectId>& ids = current_ids();
    ParentFinder parents(*s_.context.project);
    std::vector<InstanceEntity> lifted;
    std::optional<GroupBox> group;
    try {
        for (const auto& e : layer->instance_entities) {
            if (!contains(ids, e->uid)) continue;
            const std::optional<EntityBox> box = parents.box(*e);
            if (!box) continue;
            lifted.push_back(*e);
            include_box(group, *box);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!group) return false;
    float_entities(std::move(lifted), *group);
    FloatingSelection& f = s_.floating;
    f.from_layer = true;
    f.keep_source = keep_source;
    f.keyboard = keyboard;
    f.start_cursor = s_.cursor.value_or(ViewPoint{});
    if (!keyboard) {
        // The entities keep their place relative to the cursor.
        f.pixel_grab_x = group->left - input->pixel->x;
        f.pixel_grab_y = group->top - input->pixel->y;
        f.start_cursor = input->view;
    }
    float_layer_ = *key;
    ++s_.float_serial;
    return true;
}

std::optional<std::pair<double, double>> EntityTool::drop_origin() const {
    const FloatingSelection& f = s_.floating;
    if (f.kind != FloatKind::Entities) return std::nullopt;
    if (f.keyboard)
        return std::pair{static_cast<double>(f.box_left) + f.keyboard_offset.x,
                         static_cast<double>(f.box_top) + f.keyboard_offset.y};
    const std::optional<LayerPixel> pixel = cursor_pixel();
    if (!pixel) return std::nullopt;
    double x = 0.0, y = 0.0;
    if (f.from_paste) {
        // A paste is centred on the cursor.
        x = pixel->x - f.box_width / 2.0;
        y = pixel->y - f.box_height / 2.0;
    } else {
        x = pixel->x + f.pixel_grab_x;
        y = pixel->y + f.pixel_grab_y;
    }
    if (s_.context.preferences.flag(FlagA::SnapToGrid) && s_.context.project) {
        const TileSizePx tile = view_tile_size(*s_.context.project, s_.context.map());
        x = snap_down(x, tile.width);
        y = snap_down(y, tile.height);
    }
    return std::pair{x, y};
}

bool EntityTool::drop_float(std::optional<ViewPoint> cursor) {
    FloatingSelection& f = s_.floating;
    if (f.kind != FloatKind::Entities) return false;
    // A mouse move released where it began is no move.
    if (f.from_layer && !f.keyboard && cursor &&
        std::abs(std::int64_t{cursor->x} - f.start_cursor.x) <= kCancelDistance &&
        std::abs(std::int64_t{cursor->y} - f.start_cursor.y) <= kCancelDistance) {
        cancel_float();
        return true;
    }
    Project* project = s_.context.project;
    Map* map = s_.context.map();
    Layer* layer = s_.context.layer();
    const std::optional<LayerKey> key = current_key();
    // A move ends on the layer it began on; another layer (chosen meanwhile) cancels it.
    if (!project || !map || !layer || (f.from_layer && key != float_layer_)) {
        cancel_float();
        return true;
    }
    if (!layer_change_allowed(*map, *layer, s_.context.platform)) {
        cancel_float();
        return true;
    }
    const std::optional<std::pair<double, double>> origin = drop_origin();
    if (!origin) {
        cancel_float();
        return true;
    }
    std::optional<std::vector<InstanceEntity>> before = snapshot_of(*layer);
    const double from_x = f.box_left;
    const double from_y = f.box_top;
    bool changed = false;
    if (f.from_layer && !f.keep_source) {
        std::vector<ObjectId> moved;
        moved.reserve(f.entities.size());
        for (const InstanceEntity& e : f.entities) moved.push_back(e.uid);
        sort_ids(moved);
        for (const auto& e : layer->instance_entities) {
            if (!contains(moved, e->uid)) continue;
            const float x = moved_position(e->px, from_x, origin->first);
            const float y = moved_position(e->py, from_y, origin->second);
            if (x != e->px || y != e->py) changed = true;
            e->px = x;
            e->py = y;
        }
    } else {
        // Copies at the new places: the originals of a keep-source move stay, a paste adds its entities.
        // Entities whose parent entity is gone are skipped; an add that fails stops for that entity.
        for (const InstanceEntity& e : f.entities) {
            if (!find_parent_entity(*project, e.pid)) continue;
            InstanceEntity copy = e;
            copy.map_id = map->unique_id;
            copy.layer_id = layer->unique_id;
            copy.px = moved_position(e.px, from_x, origin->first);
            copy.py = moved_position(e.py, from_y, origin->second);
            if (add_instance_entity(*project, copy, false, &s_.context.platform)) changed = true;
        }
    }
    if (changed) record(undo_op::kPlaceEntities, *layer, std::move(before));
    f.clear();
    action_ended();
    return true;
}

void EntityTool::cancel_float() {
    if (s_.floating.kind != FloatKind::Entities) return;
    s_.floating.clear();
    action_ended();
}

void EntityTool::action_ended() {
    if (s_.auto_switched) s_.switch_back_pending = true;
}

bool EntityTool::can_nudge() const {
    if (s_.floating.active()) return s_.floating.kind == FloatKind::Entities && s_.floating.keyboard;
    return !band_ && !erase_ && s_.context.layer() && !current_ids().empty();
}

bool EntityTool::nudge(int dx, int dy, bool z_held) {
    FloatingSelection& f = s_.floating;
    if (!f.active()) {
        if (!can_nudge() || !begin_move(nullptr, true, z_held)) return false;
    }
    if (f.kind != FloatKind::Entities || !f.keyboard) return false;
    // One pixel a step, or one tile with Snap to Grid.
    std::int64_t step_x = 1, step_y = 1;
    if (s_.context.preferences.flag(FlagA::SnapToGrid) && s_.context.project) {
        const TileSizePx tile = view_tile_size(*s_.context.project, s_.context.map());
        step_x = tile.width;
        step_y = tile.height;
    }
    f.keyboard_offset.x = clamp_to_int32(f.keyboard_offset.x + dx * step_x);
    f.keyboard_offset.y = clamp_to_int32(f.keyboard_offset.y + dy * step_y);
    return true;
}

bool EntityTool::drop() {
    if (s_.floating.kind != FloatKind::Entities) return false;
    return drop_float(s_.cursor);
}

bool EntityTool::cancel() {
    if (s_.floating.kind != FloatKind::Entities) return false;
    cancel_float();
    return true;
}

std::optional<ViewBox> EntityTool::float_box_on_screen() const {
    return float_box_at(s_.context, s_.floating, drop_origin());
}

// --- Ending ------------------------------------------------------------------------------------------------

void EntityTool::end_action(EndStrength strength) {
    finish_erase();
    if (band_) end_band(last_modifiers_);
    if (s_.floating.kind == FloatKind::Entities) cancel_float();
    if (strength == EndStrength::Full) clear_selections();
}

void EntityTool::forget_project() {
    erase_.reset();
    band_.reset();
    clear_selections();
    last_picked_ = kInvalidId;
    blocking_ = kInvalidId;
    last_pixel_.reset();
    if (s_.floating.kind == FloatKind::Entities) s_.floating.clear();
}

// --- Commands ----------------------------------------------------------------------------------------------

bool EntityTool::can_copy() const {
    return !s_.floating.active() && !band_ && !erase_ && s_.context.layer() && !current_ids().empty();
}

bool EntityTool::copy() {
    if (!can_copy()) return false;
    std::vector<InstanceEntity> copies;
    try {
        for (const InstanceEntity* e : selected()) copies.push_back(*e);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (copies.empty()) return false;
    s_.clipboard.clear();
    s_.clipboard.kind = ClipKind::Entities;
    s_.clipboard.entities = std::move(copies);
    return true;
}

bool EntityTool::cut() {
    if (!copy()) return false;
    return erase();
}

bool EntityTool::erase() {
    if (!can_erase()) return false;
    Map* map = s_.context.map();
    Layer* layer = s_.context.layer();
    if (!layer_change_allowed(*map, *layer, s_.context.platform)) return false;
    std::optional<std::vector<InstanceEntity>> before = snapshot_of(*layer);
    const std::vector<ObjectId> ids = current_ids();
    ParentFinder parents(*s_.context.project);
    const std::size_t removed = std::erase_if(layer->instance_entities, [&](const auto& e) {
        return contains(ids, e->uid) && parents.find(e->pid) != nullptr;
    });
    if (s_.end_all) s_.end_all(EndStrength::Full);
    if (removed == 0) return false;
    record(undo_op::kEraseEntities, *layer, std::move(before));
    return true;
}

bool EntityTool::can_paste() const {
    return !s_.floating.active() && s_.clipboard.kind == ClipKind::Entities &&
           !s_.clipboard.entities.empty() && s_.context.layer() != nullptr;
}

bool EntityTool::paste() {
    if (!can_paste()) return false;
    if (s_.leave_auto_move) s_.leave_auto_move();
    if (s_.end_all) s_.end_all(EndStrength::Full);
    if (!s_.context.project) return false;
    ParentFinder parents(*s_.context.project);
    std::vector<InstanceEntity> floating;
    std::optional<GroupBox> group;
    try {
        for (const InstanceEntity& e : s_.clipboard.entities) {
            const std::optional<EntityBox> box = parents.box(e);
            if (!box) continue;  // its parent entity is gone
            floating.push_back(e);
            include_box(group, *box);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!group) return false;
    float_entities(std::move(floating), *group);
    FloatingSelection& f = s_.floating;
    f.from_paste = true;
    f.start_cursor = s_.cursor.value_or(ViewPoint{});
    ++s_.float_serial;
    return true;
}

bool EntityTool::can_select_all() const { return !s_.floating.active() && s_.context.layer() != nullptr; }

bool EntityTool::select_all() {
    if (!can_select_all() || !s_.context.project) return false;
    ParentFinder parents(*s_.context.project);
    std::vector<ObjectId> ids;
    for (const auto& e : s_.context.layer()->instance_entities)
        if (parents.find(e->pid)) ids.push_back(e->uid);
    set_selection(std::move(ids));
    return true;
}

bool EntityTool::can_select_none() const { return !s_.floating.active() && !current_ids().empty(); }

bool EntityTool::select_none() {
    if (!can_select_none()) return false;
    if (s_.leave_auto_move) s_.leave_auto_move();
    set_selection({});
    return true;
}

bool EntityTool::can_move_view_to_selection() const {
    return !band_ && s_.context.map() && s_.context.layer() && !current_ids().empty();
}

bool EntityTool::move_view_to_selection() {
    if (!can_move_view_to_selection()) return false;
    const std::optional<GroupBox> group = selection_box();
    if (!group) return false;
    Project& project = *s_.context.project;
    Map* map = s_.context.map();
    const Layer* layer = s_.context.layer();
    const TileSizePx tile = view_tile_size(project, map);
    const double z = zoom_factor(project.zoom);
    const ViewSize view = s_.context.view_size();
    const std::int64_t centre_column =
        truncate_to_int64((group->left + (group->right - group->left + 1.0) / 2.0) / tile.width) +
        layer->grid_offset_x;
    const std::int64_t centre_row =
        truncate_to_int64((group->top + (group->bottom - group->top + 1.0) / 2.0) / tile.height) +
        layer->grid_offset_y;
    const auto half_columns = static_cast<std::int64_t>((view.width / 2) / (tile.width * z));
    const auto half_rows = static_cast<std::int64_t>((view.height / 2) / (tile.height * z));
    map->camera_grid_position_x = clamp_to_int32(centre_column - half_columns);
    map->camera_grid_position_y = clamp_to_int32(centre_row - half_rows);
    project.modified = true;
    return true;
}

// --- The Selected Entities window --------------------------------------------------------------------------

SelectionPanelState EntityTool::panel_state() const {
    SelectionPanelState state;
    state.title = "Selected Entities";
    state.flags_shown = true;
    const std::vector<InstanceEntity*> chosen = selected();
    state.count = chosen.size();
    if (chosen.empty()) {
        state.name_line = "None selected";
        return state;
    }
    ParentFinder parents(*s_.context.project);
    if (chosen.size() == 1) {
        const ParentEntity* parent = parents.find(chosen.front()->pid);
        state.name_line = parent ? parent->name.str() : "(Unknown entity)";
    } else {
        char text[64];
        std::snprintf(text, sizeof text, "Multiple selected (%d)", static_cast<int>(chosen.size()));
        state.name_line = text;
    }
    // A value only where every selected entity agrees.
    auto agreed = [&](auto field) {
        using Value = std::decay_t<decltype(field(*chosen.front()))>;
        const Value first = field(*chosen.front());
        for (const InstanceEntity* e : chosen)
            if (!(field(*e) == first)) return std::optional<Value>{};
        return std::optional<Value>{first};
    };
    state.x = agreed([](const InstanceEntity& e) { return e.px; });
    state.y = agreed([](const InstanceEntity& e) { return e.py; });
    state.flags[0] = agreed([](const InstanceEntity& e) { return e.fh; });
    state.flags[1] = agreed([](const InstanceEntity& e) { return e.fv; });
    state.flags[2] = agreed([](const InstanceEntity& e) { return e.ro; });
    for (const InstanceEntity* e : chosen) {
        const ParentEntity* parent = parents.find(e->pid);
        if (parent && parent->is_trigger) state.triggers_shown = true;
    }
    if (state.triggers_shown) {
        state.circle_radius = agreed([](const InstanceEntity& e) { return e.tcr; });
        state.rectangle_width = agreed([](const InstanceEntity& e) { return e.trw; });
        state.rectangle_height = agreed([](const InstanceEntity& e) { return e.trh; });
    }
    return state;
}

template <class Change>
bool EntityTool::change_selected(UndoCode code, Change change) {
    Map* map = s_.context.map();
    Layer* layer = s_.context.layer();
    if (!map || !layer || s_.floating.active()) return false;
    const std::vector<InstanceEntity*> chosen = selected();
    if (chosen.empty()) return false;
    if (!layer_change_allowed(*map, *layer, s_.context.platform)) return false;
    std::optional<std::vector<InstanceEntity>> before = snapshot_of(*layer);
    bool changed = false;
    for (InstanceEntity* e : chosen) changed = change(*e) || changed;
    if (changed) record(code, *layer, std::move(before));
    return changed;
}

bool EntityTool::set_panel_field(PanelField field, double value) {
    if (!std::isfinite(value)) return false;
    switch (field) {
        case PanelField::X:
        case PanelField::Y: {
            // Positions are stored as typed, however far off the layer.
            const float position = to_float(value);
            return change_selected(undo_op::kInstanceEntitiesProperties, [&](InstanceEntity& e) {
                float& target = field == PanelField::X ? e.px : e.py;
                if (target == position) return false;
                target = position;
                return true;
            });
        }
        case PanelField::CircleRadius:
        case PanelField::RectangleWidth:
        case PanelField::RectangleHeight: {
            // Trigger sizes below 4 would be raised to 4 when the file is read again: they start there.
            const auto size = static_cast<std::uint32_t>(std::clamp(std::trunc(value),
                                                                    static_cast<double>(kMinimumTriggerSize),
                                                                    static_cast<double>(UINT32_MAX)));
            return change_selected(undo_op::kInstanceEntitiesProperties, [&](InstanceEntity& e) {
                std::uint32_t& target = field == PanelField::CircleRadius     ? e.tcr
                                        : field == PanelField::RectangleWidth ? e.trw
                                                                              : e.trh;
                if (target == size) return false;
                target = size;
                return true;
            });
        }
    }
    return false;
}

bool EntityTool::set_panel_flag(PanelFlag flag, bool on) {
    return change_selected(undo_op::kInstanceEntitiesProperties, [&](InstanceEntity& e) {
        bool& target = flag == PanelFlag::FlipHorizontal ? e.fh
                       : flag == PanelFlag::FlipVertical ? e.fv
                                                         : e.ro;
        if (target == on) return false;
        target = on;
        return true;
    });
}

std::optional<SelectionVariables> EntityTool::selection_variables() const {
    const std::vector<InstanceEntity*> chosen = selected();
    if (chosen.empty()) return std::nullopt;
    SelectionVariables variables;
    variables.kind = ObjectKind::InstanceEntity;
    variables.type_word = "Selected Entities";
    variables.count = chosen.size();
    if (chosen.size() == 1) {
        const ParentEntity* parent = find_parent_entity(*s_.context.project, chosen.front()->pid);
        variables.object_name = parent ? parent->name.str() : "(Unknown entity)";
    } else {
        char text[64];
        std::snprintf(text, sizeof text, "Selected Entities (%ld)", static_cast<long>(chosen.size()));
        variables.object_name = text;
    }
    variables.values = chosen.front()->custom_variables;
    for (const InstanceEntity* e : chosen)
        for (std::size_t i = 0; i < variables.values.size(); ++i)
            if (e->custom_variables[i] != variables.values[i]) variables.differs[i] = true;
    return variables;
}

bool EntityTool::apply_selection_variables(const std::array<bool, kCustomVariableCount>& changed,
                                           const IntVariables& values) {
    return change_selected(undo_op::kInstanceEntitiesProperties, [&](InstanceEntity& e) {
        bool any = false;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (!changed[i] || e.custom_variables[i] == values[i]) continue;
            e.custom_variables[i] = values[i];
            any = true;
        }
        return any;
    });
}

void EntityTool::record(UndoCode code, Layer& layer, std::optional<std::vector<InstanceEntity>> before) {
    Project* project = s_.context.project;
    if (!project) return;
    if (before) s_.context.histories.record_instance_entities(code, *project, layer, std::move(*before));
    project->modified = true;
}

// --- Transforms ------------------------------------------------------------------------------------------

bool EntityTool::can_transform(Transform transform) const {
    return !is_scale(transform) && can_copy() && !selected().empty();
}

bool EntityTool::transform(Transform transform) {
    if (!can_transform(transform) || !s_.context.project) return false;
    const UndoCode code = is_rotation(transform) ? undo_op::kRotateEntities : undo_op::kFlipEntities;
    if (is_individual(transform)) {
        return change_selected(code, [transform](InstanceEntity& e) {
            if (transform == Transform::IndividualFlipHorizontal)
                e.fh = !e.fh;
            else if (transform == Transform::IndividualFlipVertical)
                e.fv = !e.fv;
            else
                quarter_turn(e.fh, e.fv, e.ro);
            return true;
        });
    }
    const std::optional<GroupBox> group = selection_box();
    if (!group) return false;
    const GroupBox box = *group;
    ParentFinder parents(*s_.context.project);
    return change_selected(code, [&](InstanceEntity& e) {
        const std::optional<EntityBox> own = parents.box(e);
        if (!own) return false;
        const double x = e.px, y = e.py;
        switch (transform) {
            case Transform::FlipHorizontal:
                e.px = to_float(box.right - (x - box.left) - own->width);
                e.fh = !e.fh;
                break;
            case Transform::FlipVertical:
                e.py = to_float(box.bottom - (y - box.top) - own->height);
                e.fv = !e.fv;
                break;
            default:
                e.px = to_float(box.left + (box.bottom - (y + own->height)));
                e.py = to_float(box.top + (x - box.left));
                quarter_turn(e.fh, e.fv, e.ro);
                break;
        }
        return true;
    });
}

// --- Overlay -----------------------------------------------------------------------------------------------

void EntityTool::update_overlay(ToolOverlay& overlay) {
    prune();
    overlay.entity_band.reset();
    if (band_) overlay.entity_band = PixelBandOverlay{band_->start, band_->end};

    const std::optional<LayerKey> key = current_key();
    if (selection_serial_ != overlay_selection_serial_ || key != overlay_layer_) {
        try {
            overlay.selected_entities.assign(current_ids());
        } catch (const std::bad_alloc&) {
            overlay.selected_entities.clear();
        }
        overlay_selection_serial_ = selection_serial_;
        overlay_layer_ = key;
    }

    const FloatingSelection& f = s_.floating;
    if (f.kind == FloatKind::Entities) {
        if (!overlay.floating_entities || overlay.floating_entities->serial != s_.float_serial) {
            FloatingEntitiesOverlay floating;
            floating.serial = s_.float_serial;
            floating.box_left = f.box_left;
            floating.box_top = f.box_top;
            floating.box_width = f.box_width;
            floating.box_height = f.box_height;
            std::vector<ObjectId> hidden;
            try {
                floating.entities = f.entities;
                // A move hides the entities it lifted; a copy (Z) leaves them where they are.
                if (f.from_layer && !f.keep_source)
                    for (const InstanceEntity& e : f.entities) hidden.push_back(e.uid);
            } catch (const std::bad_alloc&) {
                floating.entities.clear();
                hidden.clear();
            }
            overlay.floating_entities = std::move(floating);
            overlay.hidden_entities.assign(std::move(hidden));
        }
        overlay.floating_entities->at = drop_origin();
    } else {
        overlay.floating_entities.reset();
        if (!overlay.hidden_entities.empty()) overlay.hidden_entities.clear();
    }

    overlay.entity_preview.reset();
    const Project* project = s_.context.project;
    const Map* map = s_.context.map();
    const Layer* layer = s_.context.layer();
    if (project && map && layer && s_.context.edit_state.mode() == EditMode::Entities &&
        s_.context.edit_state.tool() == Tool::Placement && !f.active() && cursor_in_view_ && s_.cursor) {
        const ParentEntity* parent = project->selected_parent_entity();
        const std::optional<LayerPixel> pixel = cursor_pixel();
        if (parent && pixel) {
            double x = pixel->x, y = pixel->y;
            if (s_.context.preferences.flag(FlagA::SnapToGrid) && s_.cursor_cell) {
                const TileSizePx tile = view_tile_size(*project, map);
                x = static_cast<double>(s_.cursor_cell->column) * tile.width;
                y = static_cast<double>(s_.cursor_cell->row) * tile.height;
            }
            InstanceEntity preview =
                make_instance_entity(*parent, map->unique_id, layer->unique_id, to_float(x), to_float(y));
            preview.fh = project->entity_brush.flip_horizontal;
            preview.fv = project->entity_brush.flip_vertical;
            preview.ro = project->entity_brush.rotate;
            preview.tcr = project->default_entity_trigger_radius;
            preview.trw = project->default_entity_trigger_width;
            preview.trh = project->default_entity_trigger_height;
            overlay.entity_preview = preview;
        }
    }

    overlay.hovered_entity = blocking_;
    overlay.hovered_ms = blocking_ms_;
}

}  // namespace zorva
