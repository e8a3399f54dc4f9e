#include "tools/tile_tool.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <utility>

#include "base/platform.h"
#include "model/project.h"
#include "prefs/preferences.h"
#include "tools/lock_rule.h"
#include "tools/mosaic_strip.h"
#include "tools/selection_transform.h"
#include "tools/tile_brush.h"
#include "undo/undo_histories.h"
#include "view/edit_state.h"
#include "view/view_navigation.h"

namespace zorva {

namespace {

bool on_grid(const Layer& layer, CellPosition cell) {
    return cell.column >= 0 && cell.row >= 0 && cell.column < layer.grid_width &&
           cell.row < layer.grid_height;
}

CellPosition offset(CellPosition cell, FloatOffset by) {
    return {static_cast<std::int32_t>(
                std::clamp<std::int64_t>(std::int64_t{cell.column} + by.x, INT32_MIN, INT32_MAX)),
            static_cast<std::int32_t>(
                std::clamp<std::int64_t>(std::int64_t{cell.row} + by.y, INT32_MIN, INT32_MAX))};
}

}  // namespace

// --- Events ----------------------------------------------------------------------------------------------

bool TileTool::handle(const ToolInput& input) {
    switch (input.kind) {
        case InputKind::Press:
        case InputKind::DoubleClick:
            return press(input);
        case InputKind::Move:
            if (stroke_ && stroke_->by_mouse) {
                if (input.cell && s_.context.in_view(input.view)) set_stroke_cell(*input.cell);
                return true;
            }
            if (s_.tile_selection.dragging) return follow_band(input.view);
            return check_auto_switch(input);
        case InputKind::Release:
            if (input.button != MouseButton::Left) return false;
            if (stroke_ && stroke_->by_mouse) {
                finish_stroke();
                return true;
            }
            if (s_.tile_selection.dragging) {
                follow_band(input.view);
                end_band();
                return true;
            }
            return false;
        case InputKind::KeyDown: {
            int dx = 0, dy = 0;
            if (is_keypad_step(input.key, dx, dy) && can_nudge()) return nudge(dx, dy, input.z_held());
            return false;
        }
        case InputKind::KeyUp:
        case InputKind::Leave:
            return false;
    }
    return false;
}

bool TileTool::press(const ToolInput& input) {
    if (input.button == MouseButton::Right) return pick(input);
    if (input.button != MouseButton::Left) return false;
    switch (s_.context.edit_state.tool()) {
        case Tool::Placement:
        case Tool::Eraser: {
            // Nothing to paint on (no tile set image, no grid): silently nothing. Then the lock rule, then
            // the cell must be on the layer.
            if (!input.cell || !s_.context.tile_layer()) return false;
            const UndoCode code =
                s_.context.edit_state.tool() == Tool::Placement ? undo_op::kPlaceTiles : undo_op::kEraseTiles;
            Map* map = s_.context.map();
            Layer* layer = s_.context.tile_layer();
            if (!layer_change_allowed(*map, *layer, s_.context.platform)) return false;
            if (!on_grid(*layer, *input.cell)) return false;
            if (!begin_stroke(code, true)) return false;
            set_stroke_cell(*input.cell);
            return true;
        }
        case Tool::Select:
        case Tool::ExtraPlacement:
            return begin_band(input);
        case Tool::Move:
            return begin_move(input, false);
    }
    return false;
}

bool TileTool::handle_floating(const ToolInput& input) { return route_floating_event(input, s_.floating); }

// --- Strokes ---------------------------------------------------------------------------------------------

bool TileTool::begin_stroke(UndoCode code, bool by_mouse) {
    finish_stroke();
    Map* map = s_.context.map();
    Layer* layer = s_.context.tile_layer();
    if (!map || !layer) return false;
    if (!layer_change_allowed(*map, *layer, s_.context.platform)) return false;
    Stroke stroke;
    stroke.map_id = map->unique_id;
    stroke.layer_id = layer->unique_id;
    stroke.code = code;
    stroke.by_mouse = by_mouse;
    // Without memory for the snapshot the edit still goes ahead, unrecorded.
    stroke.snapshot_taken = layer->take_snapshot();
    stroke_ = stroke;
    return true;
}

Layer* TileTool::stroke_layer() const {
    if (!stroke_ || !s_.context.project) return nullptr;
    Layer* layer = find_layer(*s_.context.project, stroke_->map_id, stroke_->layer_id);
    if (!layer || layer->grid.size() != layer->cell_count()) return nullptr;
    return layer;
}

void TileTool::set_stroke_cell(CellPosition cell) {
    Layer* layer = stroke_layer();
    Map* map = s_.context.project ? find_map(*s_.context.project, stroke_->map_id) : nullptr;
    if (!layer || !map) return;
    GridCell* target = layer->cell(cell.column, cell.row);
    if (!target) return;
    *target = stroke_->code == undo_op::kEraseTiles ? GridCell{} : brush_cell(*map);
}

void TileTool::finish_stroke() {
    if (!stroke_) return;
    const Stroke stroke = *stroke_;
    Layer* layer = stroke_layer();
    stroke_.reset();
    if (!layer) return;
    if (stroke.snapshot_taken) {
        if (const std::vector<GridCell>* before = layer->snapshot())
            s_.context.histories.record_tile_edit(stroke.code, *s_.context.project, *layer, *before);
    }
    s_.context.project->modified = true;
}

// --- Pick, bands, Extra Placement
// ---------------------------------------------------------------------------

bool TileTool::pick(const ToolInput& input) {
    Map* map = s_.context.map();
    Layer* layer = s_.context.tile_layer();
    if (!map || !layer || !input.cell || !on_grid(*layer, *input.cell)) return false;
    pick_into_brush(*map, *layer->cell(input.cell->column, input.cell->row));
    return true;
}

bool TileTool::begin_band(const ToolInput& input) {
    if (!input.cell) return false;
    TileSelection& selection = s_.tile_selection;
    selection.start = selection.end = *input.cell;
    selection.dragging = true;
    // The band replaces the selection.
    selection.active = false;
    band_tool_ = s_.context.edit_state.tool();
    band_pressed_ = *input.cell;
    return true;
}

bool TileTool::follow_band(ViewPoint point) {
    // The cursor is first clamped to the view.
    const ViewSize size = s_.context.view_size();
    if (s_.context.navigator && size.width > 0 && size.height > 0) {
        point.x = std::clamp(point.x, 0, size.width - 1);
        point.y = std::clamp(point.y, 0, size.height - 1);
    }
    std::optional<CellPosition> cell = s_.context.cell_at(point);
    if (!s_.context.navigator && s_.cursor_cell) cell = s_.cursor_cell;
    if (!cell) return false;
    s_.tile_selection.end = *cell;
    return true;
}

void TileTool::view_scrolled() {
    if (s_.tile_selection.dragging && s_.cursor) follow_band(*s_.cursor);
}

void TileTool::end_band() {
    TileSelection& selection = s_.tile_selection;
    if (!selection.dragging) return;
    selection.order();
    selection.dragging = false;
    if (band_tool_ == Tool::ExtraPlacement) {
        extra_placement(selection.rect());
    } else {
        selection.active = true;
    }
}

void TileTool::extra_placement(const CellRect& rect) {
    Map* map = s_.context.map();
    const TileSet* tile_set = s_.context.tile_set();
    if (!map || !tile_set) return;
    const TileCount tiles = count_tiles(*tile_set);
    if (tiles.across == 0 || tiles.down == 0) return;
    if (!begin_stroke(undo_op::kPlaceTiles, false)) return;
    Layer* layer = stroke_layer();
    if (const std::optional<CellRect> on =
            layer ? clip_to_grid(rect, layer->grid_width, layer->grid_height) : std::nullopt) {
        for (std::int32_t row = on->top; row <= on->bottom; ++row) {
            GridCell* cells = layer->cell(0, row);
            for (std::int32_t column = on->left; column <= on->right; ++column)
                cells[column] = extra_placement_cell(*map, tiles, std::int64_t{column} - band_pressed_.column,
                                                     std::int64_t{row} - band_pressed_.row);
        }
    }
    finish_stroke();
}

bool TileTool::check_auto_switch(const ToolInput& input) {
    EditState& edit = s_.context.edit_state;
    const TileSelection& selection = s_.tile_selection;
    const bool over = selection.active && input.cell && selection.rect().contains(*input.cell);
    if (edit.tool() == Tool::Select) {
        if (over && !input.shift() && !input.ctrl() && !selection.dragging &&
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

// --- Moves and floats --------------------------------------------------------------------------------------

void TileTool::make_float(TileBlock block, ObjectId tile_set_id) {
    FloatingSelection& f = s_.floating;
    f.clear();
    f.kind = FloatKind::Tiles;
    f.tiles = std::move(block);
    f.tiles.tile_set_id = tile_set_id;
    f.start_cursor = s_.cursor.value_or(ViewPoint{});
    ++s_.float_serial;
}

bool TileTool::begin_move(const ToolInput& input, bool keyboard) {
    TileSelection& selection = s_.tile_selection;
    Map* map = s_.context.map();
    Layer* layer = s_.context.tile_layer();
    if (!selection.active || selection.dragging || !map || !layer || s_.floating.active()) return false;
    if (!keyboard && !input.cell) return false;
    const CellRect rect = selection.rect();
    TileBlock block;
    try {
        block = copy_cells(*layer, rect, map->use_tile_set_id);
        s_.move_source.clear();
        s_.move_source.tiles = block;
    } catch (const std::bad_alloc&) {
        s_.move_source.clear();
        return false;
    }
    MoveSource& source = s_.move_source;
    source.start = rect.top_left();
    source.map_id = map->unique_id;
    source.layer_id = layer->unique_id;
    const bool keep_source = input.z_held();
    if (!keep_source) {
        // The hole shows during the drag; it is not recorded.
        fill_cells(*layer, rect, GridCell{});
        source.lifted = true;
    }
    make_float(std::move(block), map->use_tile_set_id);
    FloatingSelection& f = s_.floating;
    if (!keyboard) {
        f.grab_offset = {static_cast<std::int32_t>(std::int64_t{rect.left} - input.cell->column),
                         static_cast<std::int32_t>(std::int64_t{rect.top} - input.cell->row)};
        f.start_cursor = input.view;
    }
    f.origin = rect.top_left();
    f.from_layer = true;
    f.keep_source = keep_source;
    f.keyboard = keyboard;
    if (!keep_source) selection.active = false;
    return true;
}

std::optional<CellPosition> TileTool::drop_position() const {
    const FloatingSelection& f = s_.floating;
    if (f.keyboard) return offset(f.origin, f.keyboard_offset);
    if (!s_.cursor_cell) return std::nullopt;
    return offset(*s_.cursor_cell, f.grab_offset);
}

bool TileTool::drop_float(std::optional<ViewPoint> cursor) {
    FloatingSelection& f = s_.floating;
    if (f.kind != FloatKind::Tiles) return false;
    // A mouse move released where it began is no move.
    if (!f.from_paste && !f.from_mosaic && !f.keyboard && cursor &&
        std::abs(std::int64_t{cursor->x} - f.start_cursor.x) <= kCancelDistance &&
        std::abs(std::int64_t{cursor->y} - f.start_cursor.y) <= kCancelDistance) {
        cancel_float(true);
        return true;
    }
    Map* map = s_.context.map();
    Layer* layer = s_.context.tile_layer();
    const std::optional<CellPosition> at = drop_position();
    const bool moving = f.from_layer && !f.keep_source;
    // A move ends on the layer it began on; another layer (chosen meanwhile) cancels it.
    if (!map || !layer || !at ||
        (f.from_layer &&
         (layer->unique_id != s_.move_source.layer_id || map->unique_id != s_.move_source.map_id))) {
        cancel_float(true);
        return true;
    }
    if (!layer_change_allowed(*map, *layer, s_.context.platform)) {
        cancel_float(true);
        return true;
    }
    // A move puts its source back first, so the stroke's snapshot holds the layer as it was before the move:
    // one undo restores source and destination.
    if (moving) restore_move_source();
    if (!begin_stroke(undo_op::kPlaceTiles, false)) {
        cancel_float(true);
        return true;
    }
    if (moving) fill_cells(*layer, s_.move_source.rect(), GridCell{});
    drop_cells(*layer, f.tiles, *at);
    finish_stroke();
    if (f.from_layer) {
        s_.tile_selection.active = true;
        s_.tile_selection.set(f.keep_source ? s_.move_source.rect()
                                            : CellRect::sized(*at, f.tiles.width, f.tiles.height));
    }
    f.clear();
    s_.move_source.clear();
    action_ended();
    return true;
}

void TileTool::restore_move_source() {
    MoveSource& source = s_.move_source;
    if (!source.lifted) return;
    source.lifted = false;
    Layer* layer =
        s_.context.project ? find_layer(*s_.context.project, source.map_id, source.layer_id) : nullptr;
    if (layer) put_cells(*layer, source.tiles, source.start);
}

void TileTool::cancel_float(bool reselect) {
    FloatingSelection& f = s_.floating;
    if (f.kind != FloatKind::Tiles) return;
    if (f.from_layer && !f.keep_source) restore_move_source();
    // Only a move took the selection away; a paste or mosaic leaves it as it is.
    if (reselect && f.from_layer) s_.tile_selection.active = true;
    f.clear();
    s_.move_source.clear();
    action_ended();
}

void TileTool::action_ended() {
    if (s_.auto_switched) s_.switch_back_pending = true;
}

bool TileTool::can_nudge() const {
    if (s_.floating.active()) return s_.floating.kind == FloatKind::Tiles && s_.floating.keyboard;
    return s_.tile_selection.active && !s_.tile_selection.dragging && s_.context.tile_layer() && !stroke_;
}

bool TileTool::nudge(int dx, int dy, bool z_held) {
    FloatingSelection& f = s_.floating;
    if (!f.active()) {
        if (!can_nudge()) return false;
        ToolInput keys;
        keys.kind = InputKind::KeyDown;
        keys.modifiers = z_held ? kModifierZ : 0;
        if (!begin_move(keys, true)) return false;
    }
    if (f.kind != FloatKind::Tiles || !f.keyboard) return false;
    f.keyboard_offset.x += dx;
    f.keyboard_offset.y += dy;
    return true;
}

bool TileTool::drop() {
    if (s_.floating.kind != FloatKind::Tiles) return false;
    return drop_float(s_.cursor);
}

bool TileTool::cancel() {
    if (s_.floating.kind != FloatKind::Tiles) return false;
    // Esc: the source goes back, the selection is not made active again.
    cancel_float(false);
    return true;
}

// --- Ending ------------------------------------------------------------------------------------------------

void TileTool::end_action(EndStrength strength) {
    finish_stroke();
    if (s_.tile_selection.dragging) end_band();
    if (s_.floating.kind == FloatKind::Tiles) cancel_float(true);
    if (strength == EndStrength::Full) s_.tile_selection.active = false;
}

void TileTool::put_lifted_cells_back() {
    if (s_.floating.kind != FloatKind::Tiles || !s_.move_source.lifted) return;
    restore_move_source();
}

void TileTool::lift_cells_again() {
    const FloatingSelection& f = s_.floating;
    MoveSource& source = s_.move_source;
    if (f.kind != FloatKind::Tiles || !f.from_layer || f.keep_source || source.lifted) return;
    Layer* layer =
        s_.context.project ? find_layer(*s_.context.project, source.map_id, source.layer_id) : nullptr;
    if (!layer) return;
    fill_cells(*layer, source.rect(), GridCell{});
    source.lifted = true;
}

void TileTool::forget_project() {
    stroke_.reset();
    s_.tile_selection = TileSelection{};
    s_.floating.clear();
    s_.move_source.clear();
}

// --- Commands ----------------------------------------------------------------------------------------------

bool TileTool::can_act_on_selection() const {
    return s_.tile_selection.active && !s_.tile_selection.dragging && !s_.floating.active() &&
           s_.context.tile_layer() != nullptr;
}

bool TileTool::can_copy() const {
    if (!can_act_on_selection()) return false;
    const Layer* layer = s_.context.tile_layer();
    return clip_to_grid(s_.tile_selection.rect(), layer->grid_width, layer->grid_height).has_value();
}

bool TileTool::copy() {
    if (!can_copy()) return false;
    const Map* map = s_.context.map();
    const Layer* layer = s_.context.tile_layer();
    const CellRect rect = *clip_to_grid(s_.tile_selection.rect(), layer->grid_width, layer->grid_height);
    s_.clipboard.clear();
    try {
        s_.clipboard.tiles = copy_cells(*layer, rect, map->use_tile_set_id);
    } catch (const std::bad_alloc&) {
        s_.clipboard.clear();
        return false;
    }
    s_.clipboard.kind = ClipKind::Tiles;
    s_.clipboard.start = rect.top_left();
    return true;
}

bool TileTool::cut() {
    if (!copy()) return false;
    return erase();
}

bool TileTool::erase() {
    if (!can_act_on_selection()) return false;
    if (!begin_stroke(undo_op::kEraseTiles, false)) return false;
    if (Layer* layer = stroke_layer()) fill_cells(*layer, s_.tile_selection.rect(), GridCell{});
    finish_stroke();
    return true;
}

bool TileTool::can_paste() const {
    return !s_.floating.active() && s_.clipboard.kind == ClipKind::Tiles && !s_.clipboard.tiles.empty() &&
           s_.context.tile_set() != nullptr;
}

bool TileTool::paste() {
    if (!can_paste()) return false;
    const Map* map = s_.context.map();
    if (s_.clipboard.tiles.tile_set_id != map->use_tile_set_id) {
        s_.context.platform.message_box("You can only paste tiles on maps that use the same tile set.",
                                        "Paste tiles", MessageButtons::Ok, MessageIcon::Information,
                                        Answer::Ok);
        return false;
    }
    if (s_.leave_auto_move) s_.leave_auto_move();
    if (s_.end_all) s_.end_all(EndStrength::Full);
    TileBlock block;
    try {
        block = s_.clipboard.tiles;
    } catch (const std::bad_alloc&) {
        return false;
    }
    make_float(std::move(block), s_.clipboard.tiles.tile_set_id);
    s_.floating.origin = s_.clipboard.start;
    s_.floating.from_paste = true;
    return true;
}

bool TileTool::float_selection() {
    if (!cut()) return false;
    return paste();
}

bool TileTool::can_paste_mosaic() const {
    const TileSet* tile_set = s_.context.tile_set();
    if (!tile_set || !s_.context.map()) return false;
    const Mosaic* mosaic = find_mosaic(*tile_set, tile_set->selected_mosaic_id);
    return mosaic && mosaic->gw > 0 && mosaic->gh > 0 &&
           mosaic->grid.size() == std::size_t{mosaic->gw} * mosaic->gh;
}

bool TileTool::paste_mosaic(bool from_window) {
    if (!can_paste_mosaic()) return false;
    if (s_.leave_auto_move) s_.leave_auto_move();
    if (s_.end_all) s_.end_all(EndStrength::Full);
    const TileSet* tile_set = s_.context.tile_set();
    const Mosaic* mosaic = tile_set ? find_mosaic(*tile_set, tile_set->selected_mosaic_id) : nullptr;
    if (!mosaic) return false;
    TileBlock block;
    try {
        block.cells = mosaic->grid;
    } catch (const std::bad_alloc&) {
        return false;
    }
    block.width = static_cast<std::int32_t>(mosaic->gw);
    block.height = static_cast<std::int32_t>(mosaic->gh);
    make_float(std::move(block), tile_set->unique_id);
    s_.floating.from_mosaic = true;
    s_.floating.from_paste = true;
    s_.floating.ignore_release_once = from_window;
    return true;
}

bool TileTool::can_select_all() const { return !s_.floating.active() && s_.context.tile_layer() != nullptr; }

bool TileTool::select_all() {
    if (!can_select_all()) return false;
    const Layer* layer = s_.context.tile_layer();
    s_.tile_selection.set({0, 0, layer->grid_width - 1, layer->grid_height - 1});
    s_.tile_selection.active = true;
    return true;
}

bool TileTool::can_select_none() const { return !s_.floating.active() && s_.tile_selection.active; }

bool TileTool::select_none() {
    if (!can_select_none()) return false;
    if (s_.leave_auto_move) s_.leave_auto_move();
    s_.tile_selection.active = false;
    return true;
}

bool TileTool::fill_tiles() {
    if (!can_fill()) return false;
    if (!begin_stroke(undo_op::kPlaceTiles, false)) return false;
    if (Layer* layer = stroke_layer())
        fill_cells(*layer, s_.tile_selection.rect(), brush_cell(*s_.context.map()));
    finish_stroke();
    return true;
}

bool TileTool::fill_tile_attributes(bool clear) {
    if (!can_fill()) return false;
    if (!begin_stroke(undo_op::kTileAttributes, false)) return false;
    const std::uint8_t attribute = clear ? 0 : s_.context.map()->place_tile_attribute;
    if (Layer* layer = stroke_layer()) fill_attributes(*layer, s_.tile_selection.rect(), attribute);
    finish_stroke();
    return true;
}

bool TileTool::can_new_mosaic() const {
    const TileSet* tile_set = s_.context.tile_set();
    return s_.tile_selection.active && !s_.tile_selection.dragging && tile_set && s_.context.tile_layer() &&
           count_tiles(*tile_set).count >= 1;
}

Mosaic* TileTool::new_mosaic(std::size_t slots) {
    if (!can_new_mosaic()) return nullptr;
    TileSet* tile_set = s_.context.tile_set();
    const CellRect rect = s_.tile_selection.rect();
    Mosaic* mosaic = create_mosaic_from_area(*tile_set, *s_.context.tile_layer(), rect.left, rect.top,
                                             rect.right, rect.bottom, &s_.context.platform);
    if (!mosaic) return nullptr;
    make_current_mosaic(*tile_set, *mosaic, slots);
    s_.context.project->modified = true;
    return mosaic;
}

bool TileTool::can_move_view_to_selection() const {
    return s_.tile_selection.active && !s_.tile_selection.dragging && s_.context.map() && s_.context.layer();
}

bool TileTool::move_view_to_selection() {
    if (!can_move_view_to_selection()) return false;
    Project& project = *s_.context.project;
    Map* map = s_.context.map();
    const Layer* layer = s_.context.layer();
    const TileSelection& selection = s_.tile_selection;
    const std::int64_t centre_column = std::int64_t{layer->grid_offset_x} + selection.start.column +
                                       (std::int64_t{selection.end.column} - selection.start.column + 1) / 2;
    const std::int64_t centre_row = std::int64_t{layer->grid_offset_y} + selection.start.row +
                                    (std::int64_t{selection.end.row} - selection.start.row + 1) / 2;
    const TileSizePx tile = view_tile_size(project, map);
    const double z = zoom_factor(project.zoom);
    const ViewSize view = s_.context.view_size();
    const auto half_columns = static_cast<std::int64_t>((view.width / 2) / (tile.width * z));
    const auto half_rows = static_cast<std::int64_t>((view.height / 2) / (tile.height * z));
    map->camera_grid_position_x = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(centre_column - half_columns, INT32_MIN, INT32_MAX));
    map->camera_grid_position_y =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(centre_row - half_rows, INT32_MIN, INT32_MAX));
    project.modified = true;
    return true;
}

// --- Transforms ------------------------------------------------------------------------------------------

bool TileTool::can_transform(Transform transform) const {
    return !is_scale(transform) && can_copy() && !stroke_;
}

bool TileTool::transform(Transform transform) {
    if (!can_transform(transform)) return false;
    Map* map = s_.context.map();
    Layer* layer = s_.context.tile_layer();
    const CellRect rect = *clip_to_grid(s_.tile_selection.rect(), layer->grid_width, layer->grid_height);
    const bool rotation = is_rotation(transform);
    if (!layer_change_allowed(*map, *layer, s_.context.platform)) return false;
    if (!begin_stroke(rotation ? undo_op::kRotateTiles : undo_op::kFlipTiles, false)) return false;
    layer = stroke_layer();
    if (!layer) {
        stroke_.reset();
        return false;
    }
    switch (transform) {
        case Transform::FlipHorizontal:
        case Transform::FlipVertical:
            flip_cell_block(*layer, rect, transform == Transform::FlipHorizontal);
            break;
        case Transform::Rotate:
            if (rotate_cell_block(*layer, rect, rotation_probe_) == BlockRotation::OutOfMemory) {
                // Nothing has changed: no record.
                stroke_.reset();
                layer->clear_snapshot();
                s_.context.platform.message_box("Not enough memory to rotate the selection.", "Out of memory",
                                                MessageButtons::Ok, MessageIcon::Stop, Answer::Ok);
                return false;
            }
            // The start stays; the selection takes the rotated block's size.
            s_.tile_selection.end = {
                static_cast<std::int32_t>(std::min<std::int64_t>(
                    std::int64_t{s_.tile_selection.start.column} + rect.height() - 1, INT32_MAX)),
                static_cast<std::int32_t>(std::min<std::int64_t>(
                    std::int64_t{s_.tile_selection.start.row} + rect.width() - 1, INT32_MAX))};
            break;
        default:
            transform_cells_individually(*layer, rect, transform);
            break;
    }
    finish_stroke();
    return true;
}

// --- Overlay -----------------------------------------------------------------------------------------------

void TileTool::update_overlay(ToolOverlay& overlay) {
    const TileSelection& selection = s_.tile_selection;
    overlay.tile_selection.reset();
    if (selection.active || selection.dragging) overlay.tile_selection = selection.rect();

    overlay.extra_placement.reset();
    const Map* map = s_.context.map();
    if (selection.dragging && band_tool_ == Tool::ExtraPlacement && map) {
        ExtraPlacementOverlay preview;
        preview.rect = selection.rect();
        preview.pressed = band_pressed_;
        preview.brush_tile = map->selected_tile_index;
        preview.flags = make_cell_flags(map->place_tile_horizontal_flip, map->place_tile_vertical_flip,
                                        map->place_tile_rotate, map->place_tile_attribute);
        overlay.extra_placement = preview;
    }

    const FloatingSelection& f = s_.floating;
    if (f.kind != FloatKind::Tiles) {
        overlay.floating_tiles.reset();
        return;
    }
    if (!overlay.floating_tiles || overlay.floating_tiles->serial != s_.float_serial) {
        FloatingTilesOverlay tiles;
        tiles.serial = s_.float_serial;
        tiles.width = f.tiles.width;
        tiles.height = f.tiles.height;
        try {
            tiles.cells = f.tiles.cells;
        } catch (const std::bad_alloc&) {
            tiles.width = tiles.height = 0;
        }
        overlay.floating_tiles = std::move(tiles);
    }
    overlay.floating_tiles->at = drop_position();
}

}  // namespace zorva
