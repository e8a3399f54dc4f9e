#include "tools/tool_dispatch.h"

#include <algorithm>

#include "model/project.h"
#include "prefs/preferences.h"
#include "tools/tile_brush.h"
#include "view/view_navigation.h"

namespace zorva {

ToolDispatch::ToolDispatch(EditingContext context)
    : context_(std::move(context)), shared_(context_), tiles_(shared_) {
    modes_[static_cast<std::size_t>(EditMode::Tiles)] = &tiles_;
    shared_.end_all = [this](EndStrength strength) { end_action(strength); };
    shared_.leave_auto_move = [this] { leave_auto_move(); };
}

ModeTools* ToolDispatch::tools_for(EditMode mode) const {
    const auto index = static_cast<std::size_t>(mode);
    return index < modes_.size() ? modes_[index] : nullptr;
}

ModeTools* ToolDispatch::float_owner() const {
    switch (shared_.floating.kind) {
        case FloatKind::Tiles:
            return tools_for(EditMode::Tiles);
        case FloatKind::Entities:
            return tools_for(EditMode::Entities);
        case FloatKind::Paths:
            return tools_for(EditMode::Paths);
        case FloatKind::None:
            break;
    }
    return nullptr;
}

void ToolDispatch::set_mode_tools(EditMode mode, ModeTools* tools) {
    if (mode == EditMode::Tiles) return;  // the tile tools are built in
    modes_[static_cast<std::size_t>(mode)] = tools;
}

SelectionPanel* ToolDispatch::selection_panel() const {
    if (ModeTools* tools = current())
        if (SelectionPanel* panel = tools->selection_panel()) return panel;
    ModeTools* entities = tools_for(EditMode::Entities);
    return entities ? entities->selection_panel() : nullptr;
}

void ToolDispatch::set_project(Project* project) {
    for (ModeTools* tools : modes_)
        if (tools) tools->forget_project();
    context_.project = project;
    shared_.tile_selection = TileSelection{};
    shared_.floating.clear();
    shared_.move_source.clear();
    shared_.clipboard.clear();
    shared_.auto_switched = false;
    shared_.switch_back_pending = false;
    scroller_.reset();
    refresh_overlay();
}

bool ToolDispatch::handle(const ToolInput& input) {
    if (input.kind != InputKind::Leave) {
        shared_.cursor = input.view;
        shared_.cursor_cell = input.cell;
    }
    bool redraw = false;
    if (shared_.floating.active()) {
        if (ModeTools* owner = float_owner()) redraw = owner->handle_floating(input);
    } else if (ModeTools* tools = current()) {
        redraw = tools->handle(input);
    }
    refresh_overlay();
    return redraw;
}

// --- Tools and modes
// -----------------------------------------------------------------------------------------

void ToolDispatch::end_action(EndStrength strength) {
    for (std::size_t i = 0; i < modes_.size(); ++i)
        if (modes_[i]) modes_[i]->end_action(strength);
    // A float whose tools are not there is simply discarded.
    shared_.floating.clear();
    if (shared_.auto_switched && context_.edit_state.tool() == Tool::Move) shared_.switch_back_pending = true;
    refresh_overlay();
}

void ToolDispatch::set_tool(Tool tool) {
    if (tool == Tool::ExtraPlacement && context_.edit_state.mode() != EditMode::Tiles) return;
    end_action(EndStrength::Light);
    context_.edit_state.set_tool(tool);
    shared_.auto_switched = false;
    shared_.switch_back_pending = false;
    refresh_overlay();
}

bool ToolDispatch::set_mode(EditMode mode) {
    EditState& edit = context_.edit_state;
    if (mode == edit.mode()) return true;
    if ((mode == EditMode::Entities && !context_.preferences.flag(FlagA::ViewEntities)) ||
        (mode == EditMode::Paths && !context_.preferences.flag(FlagA::ViewPaths)))
        return false;
    end_action(EndStrength::Full);
    edit.set_mode(mode, context_.preferences);
    shared_.auto_switched = false;
    shared_.switch_back_pending = false;
    refresh_overlay();
    return true;
}

bool ToolDispatch::follow_view_toggles() {
    const EditMode mode = context_.edit_state.mode();
    const bool leaves = (mode == EditMode::Entities && !context_.preferences.flag(FlagA::ViewEntities)) ||
                        (mode == EditMode::Paths && !context_.preferences.flag(FlagA::ViewPaths));
    if (!leaves) return false;
    end_action(EndStrength::Full);
    context_.edit_state.follow_view_toggles(context_.preferences);
    shared_.auto_switched = false;
    refresh_overlay();
    return true;
}

void ToolDispatch::leave_auto_move() {
    if (shared_.auto_switched && context_.edit_state.tool() == Tool::Move)
        context_.edit_state.set_tool(Tool::Select);
    shared_.auto_switched = false;
    shared_.switch_back_pending = false;
}

// --- Commands
// ------------------------------------------------------------------------------------------------

std::optional<Transform> transform_of(ToolCommand command) {
    switch (command) {
        case ToolCommand::FlipHorizontal:
            return Transform::FlipHorizontal;
        case ToolCommand::FlipVertical:
            return Transform::FlipVertical;
        case ToolCommand::Rotate:
            return Transform::Rotate;
        case ToolCommand::Scale:
            return Transform::Scale;
        case ToolCommand::IndividualFlipHorizontal:
            return Transform::IndividualFlipHorizontal;
        case ToolCommand::IndividualFlipVertical:
            return Transform::IndividualFlipVertical;
        case ToolCommand::IndividualRotate:
            return Transform::IndividualRotate;
        case ToolCommand::IndividualScale:
            return Transform::IndividualScale;
        default:
            return std::nullopt;
    }
}

bool ToolDispatch::can(ToolCommand command) const {
    const bool floating = shared_.floating.active();
    const bool tiles_mode = context_.edit_state.mode() == EditMode::Tiles;
    const ModeTools* tools = current();
    const ModeTools* owner = floating ? float_owner() : tools;
    switch (command) {
        case ToolCommand::Copy:
            return !floating && tools && tools->can_copy();
        case ToolCommand::Cut:
            return !floating && tools && tools->can_cut();
        case ToolCommand::Delete:
            return !floating && tools && tools->can_erase();
        case ToolCommand::Paste:
            return !floating && tools && tools->can_paste();
        case ToolCommand::Float:
            return !floating && tiles_mode && tiles_.can_float();
        case ToolCommand::PasteMosaic:
            return tiles_mode && tiles_.can_paste_mosaic();
        case ToolCommand::SelectAll:
            return !floating && tools && tools->can_select_all();
        case ToolCommand::SelectNone:
            return !floating && tools && tools->can_select_none();
        case ToolCommand::FillTiles:
        case ToolCommand::FillTileAttributes:
        case ToolCommand::ClearTileAttributes:
            return tiles_mode && tiles_.can_fill();
        case ToolCommand::BrushFlipHorizontal:
        case ToolCommand::BrushFlipVertical:
        case ToolCommand::BrushRotate:
            return context_.map() != nullptr;
        case ToolCommand::NudgeLeft:
        case ToolCommand::NudgeRight:
        case ToolCommand::NudgeUp:
        case ToolCommand::NudgeDown:
            return owner && owner->can_nudge();
        case ToolCommand::Drop:
            return floating && owner && owner->can_drop();
        case ToolCommand::Cancel:
            return owner && owner->can_cancel();
        case ToolCommand::MoveViewToSelection:
            return tools && tools->can_move_view_to_selection();
        case ToolCommand::FlipHorizontal:
        case ToolCommand::FlipVertical:
        case ToolCommand::Rotate:
        case ToolCommand::Scale:
        case ToolCommand::IndividualFlipHorizontal:
        case ToolCommand::IndividualFlipVertical:
        case ToolCommand::IndividualRotate:
        case ToolCommand::IndividualScale:
            // Nothing is transformed while a float is out or something is being dragged or drawn.
            return !floating && tools && !tools->dragging() && tools->can_transform(*transform_of(command));
    }
    return false;
}

bool ToolDispatch::run(ToolCommand command, bool z_held) {
    if (!can(command)) return false;
    ModeTools* tools = current();
    ModeTools* owner = shared_.floating.active() ? float_owner() : tools;
    bool done = false;
    switch (command) {
        case ToolCommand::Copy:
            done = tools->copy();
            break;
        case ToolCommand::Cut:
            done = tools->cut();
            break;
        case ToolCommand::Delete:
            done = tools->erase();
            break;
        case ToolCommand::Paste:
            done = tools->paste();
            break;
        case ToolCommand::Float:
            done = tiles_.float_selection();
            break;
        case ToolCommand::PasteMosaic:
            done = tiles_.paste_mosaic();
            break;
        case ToolCommand::SelectAll:
            done = tools->select_all();
            break;
        case ToolCommand::SelectNone:
            done = tools->select_none();
            break;
        case ToolCommand::FillTiles:
            done = tiles_.fill_tiles();
            break;
        case ToolCommand::FillTileAttributes:
            done = tiles_.fill_tile_attributes(false);
            break;
        case ToolCommand::ClearTileAttributes:
            done = tiles_.fill_tile_attributes(true);
            break;
        case ToolCommand::BrushFlipHorizontal:
            toggle_brush_flag(*context_.map(), BrushFlag::FlipHorizontal);
            done = true;
            break;
        case ToolCommand::BrushFlipVertical:
            toggle_brush_flag(*context_.map(), BrushFlag::FlipVertical);
            done = true;
            break;
        case ToolCommand::BrushRotate:
            toggle_brush_flag(*context_.map(), BrushFlag::Rotate);
            done = true;
            break;
        case ToolCommand::NudgeLeft:
            done = owner->nudge(-1, 0, z_held);
            break;
        case ToolCommand::NudgeRight:
            done = owner->nudge(1, 0, z_held);
            break;
        case ToolCommand::NudgeUp:
            done = owner->nudge(0, -1, z_held);
            break;
        case ToolCommand::NudgeDown:
            done = owner->nudge(0, 1, z_held);
            break;
        case ToolCommand::Drop:
            done = owner->drop();
            break;
        case ToolCommand::Cancel:
            done = owner->cancel();
            break;
        case ToolCommand::MoveViewToSelection:
            done = tools->move_view_to_selection();
            break;
        case ToolCommand::FlipHorizontal:
        case ToolCommand::FlipVertical:
        case ToolCommand::Rotate:
        case ToolCommand::Scale:
        case ToolCommand::IndividualFlipHorizontal:
        case ToolCommand::IndividualFlipVertical:
        case ToolCommand::IndividualRotate:
        case ToolCommand::IndividualScale:
            done = tools->transform(*transform_of(command));
            break;
    }
    refresh_overlay();
    return done;
}

bool ToolDispatch::paste_mosaic_from_window() {
    if (context_.edit_state.mode() != EditMode::Tiles) {
        if (!set_mode(EditMode::Tiles)) return false;
    } else {
        end_action(EndStrength::Full);
    }
    const bool pasted = tiles_.paste_mosaic(true);
    refresh_overlay();
    return pasted;
}

bool ToolDispatch::can_new_mosaic() const {
    return context_.edit_state.mode() == EditMode::Tiles && tiles_.can_new_mosaic();
}

Mosaic* ToolDispatch::new_mosaic(std::size_t strip_slots) {
    if (!can_new_mosaic()) return nullptr;
    return tiles_.new_mosaic(strip_slots);
}

void ToolDispatch::commit_pending() {
    for (ModeTools* tools : modes_)
        if (tools) tools->commit_pending();
    refresh_overlay();
}

bool ToolDispatch::dragging() const {
    for (const ModeTools* tools : modes_)
        if (tools && tools->dragging()) return true;
    return false;
}

std::optional<std::pair<std::uint32_t, std::uint32_t>> ToolDispatch::tile_selection_size() const {
    const TileSelection& selection = shared_.tile_selection;
    if (context_.edit_state.mode() != EditMode::Tiles || !(selection.active || selection.dragging))
        return std::nullopt;
    return std::pair{selection.width(), selection.height()};
}

// --- Redraws
// -------------------------------------------------------------------------------------------------

void ToolDispatch::refresh_overlay() {
    for (ModeTools* tools : modes_)
        if (tools) tools->update_overlay(overlay_);
}

bool ToolDispatch::band_dragging() const {
    if (shared_.tile_selection.dragging) return true;
    for (const ModeTools* tools : modes_)
        if (tools && tools->band_dragging()) return true;
    return false;
}

std::optional<ViewBox> ToolDispatch::floating_box_on_screen() const {
    const FloatingSelection& f = shared_.floating;
    if (f.kind != FloatKind::Tiles && f.kind != FloatKind::None) {
        const ModeTools* owner = float_owner();
        return owner ? owner->float_box_on_screen() : std::nullopt;
    }
    const Map* map = context_.map();
    const Layer* layer = context_.layer();
    if (f.kind != FloatKind::Tiles || !map || !layer || !context_.project) return std::nullopt;
    const CellPosition at{static_cast<std::int32_t>(std::int64_t{f.origin.column} + f.keyboard_offset.x),
                          static_cast<std::int32_t>(std::int64_t{f.origin.row} + f.keyboard_offset.y)};
    ViewTransform t;
    t.z = zoom_factor(context_.project->zoom);
    const TileSizePx tile = view_tile_size(*context_.project, map);
    t.tile_width = tile.width;
    t.tile_height = tile.height;
    t.camera_column = map->camera_grid_position_x;
    t.camera_row = map->camera_grid_position_y;
    ViewBox box;
    box.x = t.cell_x(at.column, layer->grid_offset_x);
    box.y = t.cell_y(at.row, layer->grid_offset_y);
    box.width = std::max<std::int64_t>(
        1, t.cell_x(std::int64_t{at.column} + f.tiles.width, layer->grid_offset_x) - box.x);
    box.height = std::max<std::int64_t>(
        1, t.cell_y(std::int64_t{at.row} + f.tiles.height, layer->grid_offset_y) - box.y);
    return box;
}

bool ToolDispatch::after_redraw(std::int64_t now_ms, std::optional<ViewPoint> pointer) {
    bool changed = false;
    EditState& edit = context_.edit_state;
    if (shared_.switch_back_pending) {
        shared_.switch_back_pending = false;
        if (shared_.auto_switched && edit.tool() == Tool::Move && !band_dragging()) {
            edit.set_tool(Tool::Select);
            shared_.auto_switched = false;
            changed = true;
        }
    }

    const FloatingSelection& f = shared_.floating;
    const bool band = band_dragging();
    if (!band && !f.active()) {
        scroller_.reset();
        return changed;
    }
    // A float follows the cursor wherever it is; a band's cursor is reported by the drag's own events.
    if (pointer && f.active() && !f.keyboard && pointer != shared_.cursor) {
        shared_.cursor = pointer;
        shared_.cursor_cell = context_.cell_at(*pointer);
        refresh_overlay();
        changed = true;
    }
    const bool keyboard = f.active() && f.keyboard;
    std::optional<ViewBox> tested;
    if (keyboard) {
        tested = floating_box_on_screen();
    } else if (shared_.cursor) {
        tested = ViewBox{shared_.cursor->x, shared_.cursor->y, 1, 1};
    }
    if (!tested) return changed;
    const std::optional<ScrollStep> step = scroller_.step(now_ms, *tested, context_.view_size(), keyboard);
    Map* map = context_.map();
    if (!step || !map) return changed;
    map->camera_grid_position_x = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        std::int64_t{map->camera_grid_position_x} + step->columns, INT32_MIN, INT32_MAX));
    map->camera_grid_position_y = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        std::int64_t{map->camera_grid_position_y} + step->rows, INT32_MIN, INT32_MAX));
    if (shared_.cursor && context_.navigator) shared_.cursor_cell = context_.cell_at(*shared_.cursor);
    for (ModeTools* tools : modes_)
        if (tools) tools->view_scrolled();
    refresh_overlay();
    return true;
}

}  // namespace zorva
