#include "tools/path_tool.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <new>
#include <span>

#include "base/platform.h"
#include "model/project.h"
#include "prefs/preferences.h"
#include "tools/entity_geometry.h"
#include "tools/lock_rule.h"
#include "tools/path_transform.h"
#include "tools/transform_prompt.h"
#include "undo/undo_histories.h"
#include "view/edit_state.h"

namespace zorva {

namespace {

bool selected_point(const PathPoint& p) { return (p.flags & kPathPointSelected) != 0; }
bool selected_incoming(const PathPoint& p) { return (p.flags & kPathIncomingSelected) != 0; }
bool selected_outgoing(const PathPoint& p) { return (p.flags & kPathOutgoingSelected) != 0; }
bool anything_selected(const PathPoint& p) { return (p.flags & kPathEditorFlags) != 0; }

// Truncated screen distance of two layer positions on one axis.
std::int64_t screen_distance(double a, double b, double z) {
    const double d = std::fabs(a - b) * z;
    if (!std::isfinite(d)) return INT64_MAX;
    return static_cast<std::int64_t>(std::min(d, 4.0e18));
}

Vec2 normalised(double x, double y) {
    const double length = std::hypot(x, y);
    if (length == 0.0 || !std::isfinite(length)) return {0.0, 0.0};
    return {x / length, y / length};
}

void lose_control_points(PathPoint& p) {
    p.set_ucp(false);
    p.cx1 = p.cx2 = p.px;
    p.cy1 = p.cy2 = p.py;
    p.flags &= ~(kPathIncomingSelected | kPathOutgoingSelected);
}

// The point list of one Path: first and last marks only at its ends, the closed flag only on its first.
void normalise_single_path(std::vector<PathPoint>& list) {
    if (list.empty()) return;
    const bool closed = list.front().is_closed();
    for (PathPoint& p : list) {
        p.set_starts_path(false);
        p.set_ends_path(false);
        p.set_is_closed(false);
    }
    list.front().set_starts_path(true);
    list.front().set_is_closed(closed);
    list.back().set_ends_path(true);
}

// The same points with the same fields, in the same order.
bool same_lists(const std::vector<PathPoint>& a, const ObjectList<PathPoint>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const PathPoint& x = a[i];
        const PathPoint& y = *b[i];
        if (x.uid != y.uid || x.map_id != y.map_id || x.layer_id != y.layer_id || x.flags != y.flags ||
            x.px != y.px || x.py != y.py || x.cx1 != y.cx1 || x.cy1 != y.cy1 || x.cx2 != y.cx2 ||
            x.cy2 != y.cy2 || x.custom_variables != y.custom_variables)
            return false;
    }
    return true;
}

}  // namespace

// --- Helpers -----------------------------------------------------------------------------------------------

std::optional<ScreenMapping> PathTool::mapping() const {
    const Layer* layer = s_.context.layer();
    const std::optional<ViewTransform> t = s_.context.view_transform();
    if (!layer || !t) return std::nullopt;
    return ScreenMapping{*t, layer->grid_offset_x, layer->grid_offset_y};
}

std::optional<std::pair<float, float>> PathTool::new_point_position(const ToolInput& input) const {
    if (!input.pixel) return std::nullopt;
    if (s_.context.preferences.flag(FlagA::SnapToGrid) && s_.context.project) {
        if (!input.cell) return std::nullopt;
        const TileSizePx tile = view_tile_size(*s_.context.project, s_.context.map());
        return std::pair{static_cast<float>(static_cast<double>(input.cell->column) * tile.width),
                         static_cast<float>(static_cast<double>(input.cell->row) * tile.height)};
    }
    return std::pair{input.pixel->x, input.pixel->y};
}

bool PathTool::lock_ok() const {
    const Map* map = s_.context.map();
    const Layer* layer = s_.context.layer();
    return map && layer && layer_change_allowed(*map, *layer, s_.context.platform);
}

std::vector<ObjectId> PathTool::selected_paths() const {
    std::vector<ObjectId> ids;
    const Map* map = s_.context.map();
    const Layer* layer = s_.context.layer();
    if (!map || !layer || selection_layer_ != std::pair{map->unique_id, layer->unique_id}) return ids;
    for (const auto& p : layer->path_points)
        if (p->starts_path() && std::binary_search(selected_.begin(), selected_.end(), p->uid))
            ids.push_back(p->uid);
    return ids;
}

void PathTool::set_selected_paths(std::vector<ObjectId> ids) {
    const Map* map = s_.context.map();
    const Layer* layer = s_.context.layer();
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    selected_ = std::move(ids);
    selection_layer_ =
        map && layer ? std::pair{map->unique_id, layer->unique_id} : std::pair{kInvalidId, kInvalidId};
}

std::size_t PathTool::selected_point_count() const {
    return static_cast<std::size_t>(std::count_if(work_.begin(), work_.end(), selected_point));
}

void PathTool::push_step(UndoCode code, std::vector<PathPoint> before) {
    Project* project = s_.context.project;
    const Layer* layer = s_.context.layer();
    if (!project || !layer) return;
    s_.context.histories.record_path_points(code, *project, *layer, std::move(before), HistoryKind::PathEdit);
}

void PathTool::push_main(UndoCode code, std::vector<PathPoint> before, Layer* on) {
    Project* project = s_.context.project;
    Layer* layer = on ? on : s_.context.layer();
    if (!project || !layer) return;
    repair_path_marks(layer->path_points);
    assert(path_marks_consistent(layer->path_points));
    s_.context.histories.record_path_points(code, *project, *layer, std::move(before), HistoryKind::Main);
    project->modified = true;
}

// --- Events ------------------------------------------------------------------------------------------------

bool PathTool::handle(const ToolInput& input) {
    if (input.pixel) last_pixel_ = input.pixel;
    switch (input.kind) {
        case InputKind::Press:
        case InputKind::DoubleClick:
            return press(input);
        case InputKind::Move:
            if (handle_) {
                follow_handle(input);
                return true;
            }
            if (band_) {
                band_->end = input.view;
                return true;
            }
            if (point_drag_) {
                if (input.pixel) follow_point_drag(*input.pixel);
                return true;
            }
            if (erase_) {
                erase_at(input.view);
                return true;
            }
            if (drawing_) return false;
            {
                const bool mark_moved = follow_insert_mark(input.view);
                const bool switched = check_auto_switch(input);
                return mark_moved || switched;
            }
        case InputKind::Release:
            if (input.button != MouseButton::Left) return false;
            if (handle_) {
                follow_handle(input);
                if (handle_->before) push_step(undo_op::kEditPaths, std::move(*handle_->before));
                handle_.reset();
                return true;
            }
            if (band_) {
                band_->end = input.view;
                end_band(input.modifiers);
                return true;
            }
            if (point_drag_) {
                if (input.pixel) follow_point_drag(*input.pixel);
                end_point_drag();
                return true;
            }
            if (erase_) {
                finish_erase();
                return true;
            }
            return false;
        case InputKind::KeyDown: {
            int dx = 0, dy = 0;
            if (point_editing_) return key_point_move(input.key);
            if (is_keypad_step(input.key, dx, dy) && can_nudge()) return nudge(dx, dy, input.z_held());
            return false;
        }
        case InputKind::KeyUp:
        case InputKind::Leave:
            return false;
    }
    return false;
}

bool PathTool::press(const ToolInput& input) {
    if (handle_ || band_ || point_drag_ || erase_) return false;
    if (input.button == MouseButton::Right || (input.kind == InputKind::DoubleClick && drawing_)) {
        if (!drawing_) return false;
        commit(true);
        return true;
    }
    if (input.button != MouseButton::Left) return false;
    switch (s_.context.edit_state.tool()) {
        case Tool::Placement:
            return point_editing_ ? insert_press(input) : draw_press(input);
        case Tool::Eraser:
            return begin_erase(input);
        case Tool::Select:
            return select_press(input);
        case Tool::Move:
            if (point_editing_) return begin_point_drag(input);
            if (drawing_ || selected_paths().empty()) return false;
            return begin_float(selected_path_points(), &input, false, input.z_held(), false);
        case Tool::ExtraPlacement:
            return false;
    }
    return false;
}

// --- Drawing -----------------------------------------------------------------------------------------------

bool PathTool::begin_working(bool new_path) {
    work_.clear();
    drawing_ = new_path;
    new_path_ = new_path;
    point_editing_ = !new_path;
    UndoHistories& histories = s_.context.histories;
    histories.clear_path_edit();
    histories.set_path_edit_list(&work_);
    histories.set_path_edit_open(true);
    s_.context.edit_state.set_path_points(point_editing_);
    const Map* map = s_.context.map();
    const Layer* layer = s_.context.layer();
    work_layer_ = {map ? map->unique_id : kInvalidId, layer ? layer->unique_id : kInvalidId};
    return true;
}

bool PathTool::draw_press(const ToolInput& input) {
    const std::optional<std::pair<float, float>> at = new_point_position(input);
    if (!drawing_) {
        if (!at || !lock_ok()) return false;
        begin_working(true);
        set_selected_paths({});
    } else if (!lock_ok()) {
        commit(false);
        return true;
    }
    if (!at) return false;
    try {
        push_step(undo_op::kEditPaths, work_);
        add_point(at->first, at->second, input.view);
    } catch (const std::bad_alloc&) {
        return false;  // the point is not added; the tool stops quietly
    }
    return true;
}

void PathTool::add_point(float x, float y, ViewPoint at) {
    const Map* map = s_.context.map();
    const Layer* layer = s_.context.layer();
    PathPoint p;
    p.map_id = map ? map->unique_id : kInvalidId;
    p.layer_id = layer ? layer->unique_id : kInvalidId;
    p.px = p.cx1 = p.cx2 = x;
    p.py = p.cy1 = p.cy2 = y;
    work_.push_back(p);
    normalise_single_path(work_);
    handle_ = Handle{work_.size() - 1, at, false, std::nullopt};
}

void PathTool::follow_handle(const ToolInput& input) {
    if (!handle_ || handle_->index >= work_.size() || !input.pixel) return;
    if (!handle_->shaped && (std::abs(input.view.x - handle_->at.x) >= kHandleDistance ||
                             std::abs(input.view.y - handle_->at.y) >= kHandleDistance))
        handle_->shaped = true;
    if (!handle_->shaped) return;
    PathPoint& p = work_[handle_->index];
    p.set_ucp(true);
    p.cx2 = input.pixel->x;
    p.cy2 = input.pixel->y;
    p.cx1 = p.px + (p.px - p.cx2);
    p.cy1 = p.py + (p.py - p.cy2);
}

// --- Committing and cancelling -----------------------------------------------------------------------------

void PathTool::close_test(std::vector<PathPoint>& list, bool ask) {
    if (list.size() < 2) return;
    PathPoint& first = list.front();
    PathPoint& last = list.back();
    const std::optional<ScreenMapping> m = mapping();
    const double z = m ? static_cast<double>(m->transform.z) : 1.0;
    if (screen_distance(first.px, last.px, z) > kCloseDistance ||
        screen_distance(first.py, last.py, z) > kCloseDistance) {
        first.set_is_closed(false);
        return;
    }
    if (first.is_closed() || !ask) return;
    const Answer answer =
        s_.context.platform.message_box("Do you want to close the path?", "Close path", MessageButtons::YesNo,
                                        MessageIcon::Question, Answer::No);
    if (answer != Answer::Yes) return;
    const float mx = static_cast<float>((static_cast<double>(first.px) + last.px) / 2.0);
    const float my = static_cast<float>((static_cast<double>(first.py) + last.py) / 2.0);
    for (PathPoint* p : {&first, &last}) {
        if (p->ucp()) {
            // The handles keep their shape around the moved point.
            const float dx = mx - p->px, dy = my - p->py;
            p->cx1 += dx;
            p->cx2 += dx;
            p->cy1 += dy;
            p->cy2 += dy;
        }
        p->px = mx;
        p->py = my;
        if (!p->ucp()) {
            p->set_ucp(true);
            p->cx1 = p->cx2 = mx;
            p->cy1 = p->cy2 = my;
        }
    }
    first.set_is_closed(true);
}

void PathTool::commit(bool finished_by_click) {
    if (!drawing_ && !point_editing_) return;
    handle_.reset();
    // The layer the Path was begun on, even when another one was chosen meanwhile.
    Project* project = s_.context.project;
    Layer* layer = project ? find_layer(*project, work_layer_.first, work_layer_.second) : nullptr;
    if (!project || !layer) {
        discard();
        return;
    }
    close_test(work_, true);
    for (PathPoint& p : work_) {
        p.flags &= ~kPathEditorFlags;
        p.map_id = work_layer_.first;
        p.layer_id = work_layer_.second;
    }
    normalise_single_path(work_);

    std::vector<PathPoint> before;
    try {
        before = copy_path_points(*layer);
    } catch (const std::bad_alloc&) {
        discard();
        return;
    }
    bool changed = false;
    int index = static_cast<int>(layer->path_points.size());
    if (!new_path_) {
        // The old Path goes; the working list takes its place.
        int first = -1;
        if (find_path_point(*layer, edited_uid_, &first) && first >= 0) {
            for (const PathRange& range : path_ranges(*layer)) {
                if (range.first != static_cast<std::size_t>(first)) continue;
                layer->path_points.erase(
                    layer->path_points.begin() + static_cast<std::ptrdiff_t>(range.first),
                    layer->path_points.begin() + static_cast<std::ptrdiff_t>(range.last + 1));
                index = first;
                changed = true;
                break;
            }
        }
    }
    ObjectId new_first = kInvalidId;
    const bool keep = new_path_ ? work_.size() >= 2 : !work_.empty();
    if (keep) {
        const std::size_t start = layer->path_points.size();
        for (const PathPoint& p : work_) {
            PathPoint* added =
                add_path_point(*project, p, !new_path_ && p.uid != kInvalidId, &s_.context.platform);
            if (!added) break;
            if (new_first == kInvalidId) new_first = added->uid;
            changed = true;
        }
        auto& list = layer->path_points;
        std::rotate(list.begin() + index, list.begin() + static_cast<std::ptrdiff_t>(start), list.end());
    }
    if (changed) repair_path_marks(layer->path_points);
    if (changed && !same_lists(before, layer->path_points))
        push_main(undo_op::kEditPaths, std::move(before), layer);
    discard();
    if (new_first != kInvalidId) set_selected_paths({new_first});
    if (finished_by_click) toggle_point_editing();
}

void PathTool::discard() {
    handle_.reset();
    band_.reset();
    point_drag_.reset();
    erase_.reset();
    work_.clear();
    drawing_ = new_path_ = point_editing_ = false;
    edited_uid_ = kInvalidId;
    UndoHistories& histories = s_.context.histories;
    histories.set_path_edit_open(false);
    histories.set_path_edit_list(nullptr);
    histories.clear_path_edit();
    s_.context.edit_state.set_path_points(false);
}

void PathTool::commit_pending() {
    end_sub_actions();
    if (drawing_ || point_editing_) commit(false);
}

bool PathTool::cancel() {
    if (s_.floating.kind == FloatKind::Paths) {
        s_.floating.clear();
        return true;
    }
    if (drawing_) {
        end_sub_actions();
        const Answer answer = s_.context.platform.message_box(
            "Cancel new path?", "Cancel path", MessageButtons::YesNo, MessageIcon::Question, Answer::No);
        if (answer != Answer::Yes) return false;
        discard();
        return true;
    }
    if (point_editing_) {
        end_sub_actions();
        Preferences& prefs = s_.context.preferences;
        if (prefs.flag(FlagA::AskWhenDiscardingPathChanges)) {
            bool dont_ask = false;
            const Answer answer = s_.context.platform.ask_with_dont_ask_again(
                "Do you want to cancel changes to the path?", "Cancel path", MessageButtons::YesNo, dont_ask);
            if (dont_ask) prefs.set_flag(FlagA::AskWhenDiscardingPathChanges, false);
            if (answer != Answer::Yes) return false;
        }
        discard();
        return true;
    }
    return false;
}

void PathTool::end_sub_actions() {
    if (handle_) {
        if (handle_->before) push_step(undo_op::kEditPaths, std::move(*handle_->before));
        handle_.reset();
    }
    band_.reset();
    if (point_drag_) end_point_drag();
    if (erase_) finish_erase();
}

void PathTool::end_action(EndStrength strength) {
    end_sub_actions();
    if (s_.floating.kind == FloatKind::Paths) s_.floating.clear();
    if (strength == EndStrength::Light) {
        if (drawing_) commit(false);
        return;
    }
    // Hiding the Paths commits the edit; any other full end (a mode switch) discards it.
    if ((drawing_ || point_editing_) && !s_.context.preferences.flag(FlagA::ViewPaths))
        commit(false);
    else if (drawing_ || point_editing_)
        discard();
    selected_.clear();
}

void PathTool::forget_project() {
    discard();
    selected_.clear();
    selection_layer_ = {kInvalidId, kInvalidId};
}

bool PathTool::dragging() const { return handle_ || band_ || point_drag_ || erase_; }

// --- Point editing -----------------------------------------------------------------------------------------

bool PathTool::can_toggle_point_editing() const {
    if (dragging()) return false;
    if (point_editing_ || drawing_) return true;
    return s_.context.layer() && selected_paths().size() == 1;
}

bool PathTool::toggle_point_editing() {
    if (dragging()) return false;
    if (drawing_ || point_editing_) {
        commit(false);
        return true;
    }
    const std::vector<ObjectId> ids = selected_paths();
    Layer* layer = s_.context.layer();
    if (ids.size() != 1 || !layer || !lock_ok()) return false;
    int first = -1;
    if (!find_path_point(*layer, ids.front(), &first) || first < 0) return false;
    for (const PathRange& range : path_ranges(*layer)) {
        if (range.first != static_cast<std::size_t>(first)) continue;
        begin_working(false);
        edited_uid_ = ids.front();
        for (std::size_t i = range.first; i <= range.last; ++i) work_.push_back(*layer->path_points[i]);
        for (PathPoint& p : work_) p.flags &= ~kPathEditorFlags;
        return true;
    }
    return false;
}

std::optional<PathTool::Insertion> PathTool::insertion_at(ViewPoint at) const {
    const std::optional<ScreenMapping> m = mapping();
    if (!m || work_.size() < 2) return std::nullopt;
    const Vec2 cursor{static_cast<double>(at.x), static_cast<double>(at.y)};
    std::optional<SegmentHit> best;
    std::size_t best_index = 0;
    for (std::size_t i = 0; i + 1 < work_.size(); ++i) {
        const std::optional<SegmentHit> hit =
            segment_hit(m->to_screen(layer_segment(work_[i], work_[i + 1])), cursor, kInsertTolerance);
        if (hit && (!best || hit->distance < best->distance)) {
            best = hit;
            best_index = i;
        }
    }
    if (!best) return std::nullopt;
    return Insertion{best_index, best->point};
}

bool PathTool::follow_insert_mark(ViewPoint at) {
    std::optional<ViewPoint> mark;
    if (point_editing_ && s_.context.edit_state.tool() == Tool::Placement) {
        if (const std::optional<Insertion> insertion = insertion_at(at))
            mark = ViewPoint{static_cast<std::int32_t>(std::lround(insertion->screen.x)),
                             static_cast<std::int32_t>(std::lround(insertion->screen.y))};
    }
    const bool changed = mark != insert_mark_;
    insert_mark_ = mark;
    return changed;
}

bool PathTool::insert_press(const ToolInput& input) {
    const std::optional<ScreenMapping> m = mapping();
    if (!m || !lock_ok()) return false;
    const std::optional<Insertion> insertion = insertion_at(input.view);
    if (!insertion) return false;
    insert_mark_.reset();
    const std::size_t best_index = insertion->after;
    Vec2 at = m->to_layer(insertion->screen.x, insertion->screen.y);
    if (s_.context.preferences.flag(FlagA::SnapToGrid)) {
        at.x = snap_down(at.x, m->transform.tile_width);
        at.y = snap_down(at.y, m->transform.tile_height);
    }
    std::vector<PathPoint> before = work_;
    PathPoint p;
    p.map_id = work_[best_index + 1].map_id;
    p.layer_id = work_[best_index + 1].layer_id;
    p.px = p.cx1 = p.cx2 = static_cast<float>(at.x);
    p.py = p.cy1 = p.cy2 = static_cast<float>(at.y);
    work_.insert(work_.begin() + static_cast<std::ptrdiff_t>(best_index + 1), p);
    normalise_single_path(work_);
    handle_ = Handle{best_index + 1, input.view, false, std::move(before)};
    return true;
}

void PathTool::begin_band(ViewPoint at) {
    band_ = Band{at, at, std::nullopt};
    if (const std::optional<ScreenMapping> m = mapping()) band_->anchor = m->to_layer(at.x, at.y);
}

bool PathTool::band_dragging() const { return band_ || (point_drag_ && !point_drag_->keyboard); }

void PathTool::view_scrolled() {
    if (!s_.cursor) return;
    if (band_) {
        const std::optional<ScreenMapping> m = mapping();
        if (m && band_->anchor) {
            const Vec2 start = m->to_screen(band_->anchor->x, band_->anchor->y);
            auto whole = [](double v) {
                return static_cast<std::int32_t>(std::lround(std::clamp(v, -1.0e9, 1.0e9)));
            };
            band_->start = ViewPoint{whole(start.x), whole(start.y)};
        }
        band_->end = *s_.cursor;
    } else if (point_drag_ && !point_drag_->keyboard) {
        if (const std::optional<LayerPixel> pixel = s_.context.pixel_at(*s_.cursor))
            follow_point_drag(*pixel);
    }
}

std::optional<ViewBox> PathTool::float_box_on_screen() const {
    return float_box_at(s_.context, s_.floating, drop_origin());
}

void PathTool::end_band(std::uint8_t modifiers) {
    if (!band_) return;
    const Band band = *band_;
    band_.reset();
    const std::optional<ScreenMapping> m = mapping();
    const Layer* layer = s_.context.layer();
    if (!m || !layer) return;
    const bool ctrl = (modifiers & kModifierCtrl) != 0;
    const bool keep = ctrl || (modifiers & kModifierShift) != 0;
    BandRect rect{static_cast<double>(std::min(band.start.x, band.end.x)),
                  static_cast<double>(std::min(band.start.y, band.end.y)),
                  static_cast<double>(std::max(band.start.x, band.end.x)),
                  static_cast<double>(std::max(band.start.y, band.end.y))};
    if (point_editing_) {
        rect.left -= kPointTolerance;
        rect.top -= kPointTolerance;
        rect.right += kPointTolerance;
        rect.bottom += kPointTolerance;
        auto mark = [&](PathPoint& p, std::uint32_t flag, double x, double y) {
            const Vec2 s = m->to_screen(x, y);
            if (s.x < rect.left || s.x > rect.right || s.y < rect.top || s.y > rect.bottom) return;
            p.set_flag(flag, !ctrl);
        };
        for (PathPoint& p : work_) {
            if (!keep) p.flags &= ~kPathEditorFlags;
            mark(p, kPathPointSelected, p.px, p.py);
            if (p.ucp()) {
                mark(p, kPathIncomingSelected, p.cx1, p.cy1);
                mark(p, kPathOutgoingSelected, p.cx2, p.cy2);
            }
        }
        return;
    }
    if (rect.right - rect.left < kMinimumBand) {
        rect.left = band.start.x - kMinimumBand / 2;
        rect.right = band.start.x + kMinimumBand / 2;
    }
    if (rect.bottom - rect.top < kMinimumBand) {
        rect.top = band.start.y - kMinimumBand / 2;
        rect.bottom = band.start.y + kMinimumBand / 2;
    }
    std::vector<ObjectId> ids = keep ? selected_paths() : std::vector<ObjectId>{};
    const auto& points = layer->path_points;
    for (const PathRange& range : path_ranges(*layer)) {
        bool hit = false;
        if (range.size() == 1) {
            const Vec2 s = m->to_screen(points[range.first]->px, points[range.first]->py);
            hit = s.x >= rect.left && s.x <= rect.right && s.y >= rect.top && s.y <= rect.bottom;
        }
        for (std::size_t i = range.first; !hit && i < range.last; ++i)
            hit = segment_meets_rect(m->to_screen(layer_segment(*points[i], *points[i + 1])), rect);
        if (!hit) continue;
        const ObjectId uid = points[range.first]->uid;
        if (ctrl)
            ids.erase(std::remove(ids.begin(), ids.end(), uid), ids.end());
        else
            ids.push_back(uid);
    }
    set_selected_paths(std::move(ids));
}

bool PathTool::select_press(const ToolInput& input) {
    if (!drawing_ && !input.shift() && !input.ctrl() &&
        s_.context.preferences.flag(FlagA::SwitchToMoveWhenSelecting)) {
        begin_band(input.view);
        end_band(0);
        const bool selected = point_editing_ ? std::any_of(work_.begin(), work_.end(), anything_selected)
                                             : !selected_paths().empty();
        if (selected) {
            s_.context.edit_state.set_tool(Tool::Move);
            s_.auto_switched = true;
            if (point_editing_) return begin_point_drag(input);
            return begin_float(selected_path_points(), &input, false, input.z_held(), false);
        }
    }
    begin_band(input.view);
    return true;
}

bool PathTool::over_selection(ViewPoint at) const {
    const std::optional<ScreenMapping> m = mapping();
    const Layer* layer = s_.context.layer();
    if (!m || !layer) return false;
    const Vec2 cursor{static_cast<double>(at.x), static_cast<double>(at.y)};
    auto near = [&](double x, double y) {
        const Vec2 s = m->to_screen(x, y);
        return std::fabs(s.x - cursor.x) <= kPointTolerance && std::fabs(s.y - cursor.y) <= kPointTolerance;
    };
    if (point_editing_) {
        for (const PathPoint& p : work_) {
            if ((p.flags & kPathPointSelected) && near(p.px, p.py)) return true;
            if (!p.ucp()) continue;
            if ((p.flags & kPathIncomingSelected) && near(p.cx1, p.cy1)) return true;
            if ((p.flags & kPathOutgoingSelected) && near(p.cx2, p.cy2)) return true;
        }
        return false;
    }
    const std::vector<ObjectId> selected = selected_paths();
    if (selected.empty()) return false;
    const auto& points = layer->path_points;
    for (const PathRange& range : path_ranges(*layer)) {
        if (std::find(selected.begin(), selected.end(), points[range.first]->uid) == selected.end()) continue;
        if (range.size() == 1 && near(points[range.first]->px, points[range.first]->py)) return true;
        for (std::size_t i = range.first; i < range.last; ++i)
            if (segment_hit(m->to_screen(layer_segment(*points[i], *points[i + 1])), cursor, kPointTolerance))
                return true;
    }
    return false;
}

bool PathTool::check_auto_switch(const ToolInput& input) {
    EditState& edit = s_.context.edit_state;
    if (edit.tool() == Tool::Select) {
        if (!input.shift() && !input.ctrl() &&
            s_.context.preferences.flag(FlagA::SwitchToMoveOverSelection) && over_selection(input.view)) {
            edit.set_tool(Tool::Move);
            s_.auto_switched = true;
            return true;
        }
    } else if (edit.tool() == Tool::Move && s_.auto_switched && !over_selection(input.view)) {
        edit.set_tool(Tool::Select);
        s_.auto_switched = false;
        return true;
    }
    return false;
}

bool PathTool::begin_point_drag(const ToolInput& input) {
    if (!input.pixel || std::none_of(work_.begin(), work_.end(), anything_selected)) return false;
    if (!lock_ok()) return false;
    point_drag_ = PointDrag{work_, *input.pixel};
    return true;
}

void PathTool::follow_point_drag(LayerPixel pixel) {
    if (!point_drag_ || point_drag_->before.size() != work_.size()) return;
    const double dx = static_cast<double>(pixel.x) - point_drag_->start.x;
    const double dy = static_cast<double>(pixel.y) - point_drag_->start.y;
    const bool snap = s_.context.preferences.flag(FlagA::SnapToGrid);
    const std::optional<ScreenMapping> m = mapping();
    for (std::size_t i = 0; i < work_.size(); ++i) {
        const PathPoint& b = point_drag_->before[i];
        PathPoint& p = work_[i];
        if (selected_point(b)) {
            double x = b.px + dx, y = b.py + dy;
            double cx = dx, cy = dy;
            if (snap && m) {
                const double sx = snap_down(x, m->transform.tile_width);
                const double sy = snap_down(y, m->transform.tile_height);
                cx += sx - x;
                cy += sy - y;
                x = sx;
                y = sy;
            }
            p.px = static_cast<float>(x);
            p.py = static_cast<float>(y);
            p.cx1 = static_cast<float>(b.cx1 + cx);
            p.cy1 = static_cast<float>(b.cy1 + cy);
            p.cx2 = static_cast<float>(b.cx2 + cx);
            p.cy2 = static_cast<float>(b.cy2 + cy);
            continue;
        }
        const bool in = selected_incoming(b), out = selected_outgoing(b);
        if (in) {
            p.cx1 = static_cast<float>(b.cx1 + dx);
            p.cy1 = static_cast<float>(b.cy1 + dy);
        }
        if (out) {
            p.cx2 = static_cast<float>(b.cx2 + dx);
            p.cy2 = static_cast<float>(b.cy2 + dy);
        }
        if (in != out) {
            // The other handle turns to point the opposite way through the point, keeping its length.
            const bool turn_out = in;
            const double mx = turn_out ? p.cx1 : p.cx2, my = turn_out ? p.cy1 : p.cy2;
            const double ox = turn_out ? b.cx2 : b.cx1, oy = turn_out ? b.cy2 : b.cy1;
            const double length = std::hypot(ox - b.px, oy - b.py);
            const Vec2 d = normalised(mx - p.px, my - p.py);
            if (d.x == 0.0 && d.y == 0.0) continue;
            const float nx = static_cast<float>(p.px - d.x * length);
            const float ny = static_cast<float>(p.py - d.y * length);
            (turn_out ? p.cx2 : p.cx1) = nx;
            (turn_out ? p.cy2 : p.cy1) = ny;
        }
    }
}

bool PathTool::key_point_move(Key key) {
    if (key == Key::Keypad0) {
        if (!point_drag_ || !point_drag_->keyboard) return false;
        end_point_drag();
        return true;
    }
    int dx = 0, dy = 0;
    if (!is_keypad_step(key, dx, dy) || handle_ || band_ || erase_ || (point_drag_ && !point_drag_->keyboard))
        return false;
    if (!point_drag_) {
        if (std::none_of(work_.begin(), work_.end(), anything_selected) || !lock_ok()) return false;
        point_drag_ = PointDrag{work_, LayerPixel{0.0f, 0.0f}, true};
    }
    // One pixel a step, or one tile with Snap to Grid; the drag's start moves the other way.
    double step_x = 1.0, step_y = 1.0;
    const std::optional<ScreenMapping> m = mapping();
    if (s_.context.preferences.flag(FlagA::SnapToGrid) && m) {
        step_x = m->transform.tile_width;
        step_y = m->transform.tile_height;
    }
    point_drag_->start.x = static_cast<float>(point_drag_->start.x - dx * step_x);
    point_drag_->start.y = static_cast<float>(point_drag_->start.y - dy * step_y);
    follow_point_drag(LayerPixel{0.0f, 0.0f});
    return true;
}

void PathTool::end_point_drag() {
    if (!point_drag_) return;
    PointDrag drag = std::move(*point_drag_);
    point_drag_.reset();
    if (s_.auto_switched) s_.switch_back_pending = true;
    if (!lock_ok()) {
        if (drag.before.size() == work_.size()) work_ = std::move(drag.before);
        return;
    }
    close_test(work_, true);
    push_step(undo_op::kMovePathPoints, std::move(drag.before));
}

// --- Erasing -----------------------------------------------------------------------------------------------

bool PathTool::begin_erase(const ToolInput& input) {
    Layer* layer = s_.context.layer();
    if (!layer || !lock_ok()) return false;
    try {
        erase_ = EraseStroke{point_editing_ ? work_ : copy_path_points(*layer), false};
    } catch (const std::bad_alloc&) {
        return false;
    }
    erase_at(input.view);
    return true;
}

void PathTool::erase_at(ViewPoint at) {
    const std::optional<ScreenMapping> m = mapping();
    Layer* layer = s_.context.layer();
    if (!erase_ || !m || !layer) return;
    const Vec2 cursor{static_cast<double>(at.x), static_cast<double>(at.y)};
    auto near = [&](double x, double y) {
        const Vec2 s = m->to_screen(x, y);
        return std::fabs(s.x - cursor.x) <= kEraseTolerance && std::fabs(s.y - cursor.y) <= kEraseTolerance;
    };
    if (point_editing_) {
        for (std::size_t i = work_.size(); i-- > 0;) {
            PathPoint& p = work_[i];
            if (near(p.px, p.py)) {
                work_.erase(work_.begin() + static_cast<std::ptrdiff_t>(i));
                erase_->changed = true;
            } else if (p.ucp() && (near(p.cx1, p.cy1) || near(p.cx2, p.cy2))) {
                lose_control_points(p);
                erase_->changed = true;
            }
        }
        normalise_single_path(work_);
        return;
    }
    auto& points = layer->path_points;
    const std::vector<PathRange> ranges = path_ranges(*layer);
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
        const PathRange& range = *it;
        bool hit = range.size() == 1 &&
                   segment_hit(m->to_screen(layer_segment(*points[range.first], *points[range.first])),
                               cursor, kEraseTolerance);
        for (std::size_t i = range.first; !hit && i < range.last; ++i)
            hit =
                segment_hit(m->to_screen(layer_segment(*points[i], *points[i + 1])), cursor, kEraseTolerance)
                    .has_value();
        if (!hit) continue;
        points.erase(points.begin() + static_cast<std::ptrdiff_t>(range.first),
                     points.begin() + static_cast<std::ptrdiff_t>(range.last + 1));
        erase_->changed = true;
    }
}

void PathTool::finish_erase() {
    if (!erase_) return;
    EraseStroke stroke = std::move(*erase_);
    erase_.reset();
    if (!stroke.changed) return;
    if (point_editing_)
        push_step(undo_op::kErasePathPoints, std::move(stroke.before));
    else
        push_main(undo_op::kErasePaths, std::move(stroke.before));
}

// --- Commands ----------------------------------------------------------------------------------------------

bool PathTool::can_erase() const {
    if (dragging() || s_.floating.active()) return false;
    if (point_editing_) return std::any_of(work_.begin(), work_.end(), anything_selected);
    return !drawing_ && !selected_paths().empty();
}

bool PathTool::erase() {
    if (!can_erase() || !lock_ok()) return false;
    if (point_editing_) {
        std::vector<PathPoint> before = work_;
        std::vector<PathPoint> kept;
        for (PathPoint p : work_) {
            if (selected_point(p)) continue;
            if (selected_incoming(p) || selected_outgoing(p)) lose_control_points(p);
            kept.push_back(p);
        }
        work_ = std::move(kept);
        normalise_single_path(work_);
        push_step(undo_op::kErasePathPoints, std::move(before));
        return true;
    }
    Layer* layer = s_.context.layer();
    std::vector<PathPoint> before = copy_path_points(*layer);
    const std::vector<ObjectId> ids = selected_paths();
    const std::vector<PathRange> ranges = path_ranges(*layer);
    auto& points = layer->path_points;
    bool changed = false;
    for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) {
        if (!std::binary_search(ids.begin(), ids.end(), points[it->first]->uid)) continue;
        points.erase(points.begin() + static_cast<std::ptrdiff_t>(it->first),
                     points.begin() + static_cast<std::ptrdiff_t>(it->last + 1));
        changed = true;
    }
    selected_.clear();
    if (changed) push_main(undo_op::kErasePaths, std::move(before));
    return changed;
}

bool PathTool::can_select_none() const {
    if (dragging()) return false;
    if (point_editing_) return std::any_of(work_.begin(), work_.end(), anything_selected);
    return !selected_paths().empty();
}

bool PathTool::select_none() {
    if (!can_select_none()) return false;
    if (point_editing_)
        for (PathPoint& p : work_) p.flags &= ~kPathEditorFlags;
    else
        selected_.clear();
    return true;
}

bool PathTool::can_split_segments() const {
    if (!point_editing_ || dragging()) return false;
    for (std::size_t i = 0; i + 1 < work_.size(); ++i)
        if (selected_point(work_[i]) && selected_point(work_[i + 1])) return true;
    return false;
}

bool PathTool::split_segments() {
    if (!can_split_segments() || !lock_ok()) return false;
    std::vector<PathPoint> before = work_;
    std::vector<PathPoint> result;
    result.reserve(work_.size() * 2);
    for (std::size_t i = 0; i < work_.size(); ++i) {
        result.push_back(work_[i]);
        if (i + 1 >= work_.size() || !selected_point(work_[i]) || !selected_point(work_[i + 1])) continue;
        PathPoint& a = result.back();
        PathPoint b = work_[i + 1];
        PathPoint n;
        n.map_id = b.map_id;
        n.layer_id = b.layer_id;
        if (a.ucp() || b.ucp()) {
            const Segment s = layer_segment(a, b);
            const Vec2 m{(s.p1.x + s.p2.x) / 2, (s.p1.y + s.p2.y) / 2};
            const Vec2 a_out{(s.p1.x + s.p0.x) / 2, (s.p1.y + s.p0.y) / 2};
            const Vec2 b_in{(s.p2.x + s.p3.x) / 2, (s.p2.y + s.p3.y) / 2};
            const Vec2 n_in{(a_out.x + m.x) / 2, (a_out.y + m.y) / 2};
            const Vec2 n_out{(m.x + b_in.x) / 2, (m.y + b_in.y) / 2};
            if (a.ucp()) {
                a.cx2 = static_cast<float>(a_out.x);
                a.cy2 = static_cast<float>(a_out.y);
            }
            if (b.ucp()) {
                work_[i + 1].cx1 = static_cast<float>(b_in.x);
                work_[i + 1].cy1 = static_cast<float>(b_in.y);
            }
            n.set_ucp(true);
            n.cx1 = static_cast<float>(n_in.x);
            n.cy1 = static_cast<float>(n_in.y);
            n.cx2 = static_cast<float>(n_out.x);
            n.cy2 = static_cast<float>(n_out.y);
            n.px = static_cast<float>((n_in.x + n_out.x) / 2);
            n.py = static_cast<float>((n_in.y + n_out.y) / 2);
        } else {
            n.px = n.cx1 = n.cx2 = static_cast<float>((static_cast<double>(a.px) + b.px) / 2);
            n.py = n.cy1 = n.cy2 = static_cast<float>((static_cast<double>(a.py) + b.py) / 2);
        }
        result.push_back(n);
    }
    work_ = std::move(result);
    normalise_single_path(work_);
    push_step(undo_op::kEditPaths, std::move(before));
    return true;
}

bool PathTool::can_select_step() const {
    if (point_editing_) return !work_.empty() && !band_ && !point_drag_ && !erase_;
    const Layer* layer = s_.context.layer();
    return !drawing_ && !dragging() && layer && !layer->path_points.empty();
}

bool PathTool::select_step(bool forward) {
    if (!can_select_step()) return false;
    if (point_editing_) {
        if (handle_) {
            if (handle_->before) push_step(undo_op::kEditPaths, std::move(*handle_->before));
            handle_.reset();
        }
        const std::size_t n = work_.size();
        auto at = [&](std::size_t k) -> PathPoint& { return work_[forward ? k : n - 1 - k]; };
        std::size_t count = 0, q = n;
        for (std::size_t k = 0; k < n; ++k) {
            if (!anything_selected(at(k))) continue;
            ++count;
            if (q == n) q = k;
        }
        for (PathPoint& p : work_) p.flags &= ~kPathEditorFlags;
        std::size_t pick = 0;
        if (count == 1)
            pick = q + 1 < n ? q + 1 : 0;
        else if (count > 1)
            pick = q;
        at(pick).flags |= kPathPointSelected;
        return true;
    }
    const Layer* layer = s_.context.layer();
    std::vector<ObjectId> order;
    for (const PathRange& range : path_ranges(*layer)) order.push_back(layer->path_points[range.first]->uid);
    if (order.empty()) return false;
    if (!forward) std::reverse(order.begin(), order.end());
    const std::vector<ObjectId> ids = selected_paths();
    ObjectId pick = order.front();
    if (ids.size() > 1) {
        for (ObjectId id : order)
            if (std::binary_search(ids.begin(), ids.end(), id)) {
                pick = id;
                break;
            }
    } else if (ids.size() == 1) {
        const auto it = std::find(order.begin(), order.end(), ids.front());
        if (it != order.end() && std::next(it) != order.end()) pick = *std::next(it);
    }
    set_selected_paths({pick});
    return true;
}

namespace {

void reverse_points(std::vector<PathPoint>& list) {
    std::reverse(list.begin(), list.end());
    for (PathPoint& p : list) {
        std::swap(p.cx1, p.cx2);
        std::swap(p.cy1, p.cy2);
        const bool in = selected_incoming(p), out = selected_outgoing(p);
        p.set_flag(kPathIncomingSelected, out);
        p.set_flag(kPathOutgoingSelected, in);
    }
    // The closed flag stays with the Path's (new) first point.
    bool closed = false;
    for (const PathPoint& p : list) closed = closed || (p.starts_path() && p.is_closed());
    for (PathPoint& p : list) p.set_is_closed(false);
    if (!list.empty()) list.front().set_is_closed(closed);
    normalise_single_path(list);
}

}  // namespace

bool PathTool::can_reverse() const {
    if (dragging()) return false;
    if (point_editing_) return work_.size() > 1;
    return !drawing_ && !selected_paths().empty();
}

bool PathTool::reverse() {
    if (!can_reverse() || !lock_ok()) return false;
    if (point_editing_) {
        std::vector<PathPoint> before = work_;
        reverse_points(work_);
        push_step(undo_op::kReversePaths, std::move(before));
        return true;
    }
    Layer* layer = s_.context.layer();
    std::vector<PathPoint> before = copy_path_points(*layer);
    const std::vector<ObjectId> ids = selected_paths();
    std::vector<ObjectId> selected;
    bool changed = false;
    auto& points = layer->path_points;
    for (const PathRange& range : path_ranges(*layer)) {
        if (!std::binary_search(ids.begin(), ids.end(), points[range.first]->uid)) continue;
        std::vector<PathPoint> copy;
        for (std::size_t i = range.first; i <= range.last; ++i) copy.push_back(*points[i]);
        reverse_points(copy);
        for (std::size_t i = range.first; i <= range.last; ++i) *points[i] = copy[i - range.first];
        selected.push_back(points[range.first]->uid);
        changed = changed || range.size() > 1;
    }
    set_selected_paths(std::move(selected));
    if (changed) push_main(undo_op::kReversePaths, std::move(before));
    return changed;
}

// --- Transforms --------------------------------------------------------------------------------------------

bool PathTool::can_transform(Transform /*transform*/) const {
    if (drawing_ || dragging() || s_.floating.kind != FloatKind::None) return false;
    if (point_editing_) return !work_.empty();
    return !selected_paths().empty();
}

bool PathTool::transform(Transform transform) {
    if (!can_transform(transform) || !lock_ok()) return false;
    // The prompt comes before anything is copied: Cancel and refused values change nothing.
    double value = 0.0;
    if (is_rotation(transform)) {
        const std::optional<float> angle = ask_rotation_angle(s_.context.platform, s_.context.preferences);
        if (!angle) return false;
        value = static_cast<double>(*angle);
    } else if (is_scale(transform)) {
        const std::optional<double> factor = ask_scale_factor(s_.context.platform, s_.context.preferences);
        if (!factor) return false;
        value = *factor;
    }
    const UndoCode code = is_flip(transform)       ? undo_op::kFlipPaths
                          : is_rotation(transform) ? undo_op::kRotatePaths
                                                   : undo_op::kScalePaths;
    if (point_editing_) {
        // Both forms move the whole edited Path about its own centre; its marks and selection stay.
        std::vector<PathPoint> before = work_;
        const PathRange whole{0, work_.size() - 1};
        if (!transform_paths(std::span<PathPoint>(work_), std::span<const PathRange>(&whole, 1), transform,
                             value))
            return false;
        push_step(code, std::move(before));
        return true;
    }
    Layer* layer = s_.context.layer();
    const std::vector<ObjectId> ids = selected_paths();
    std::vector<PathRange> ranges;
    for (const PathRange& range : path_ranges(*layer))
        if (std::binary_search(ids.begin(), ids.end(), layer->path_points[range.first]->uid))
            ranges.push_back(range);
    std::vector<PathPoint> before;
    try {
        before = copy_path_points(*layer);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!transform_paths(layer->path_points, ranges, transform, value)) return false;
    push_main(code, std::move(before));
    return true;
}

bool PathTool::can_make_start_or_end() const {
    return point_editing_ && !dragging() && selected_point_count() == 1;
}

bool PathTool::make_start_point() {
    if (!can_make_start_or_end() || !lock_ok()) return false;
    const auto it = std::find_if(work_.begin(), work_.end(), selected_point);
    if (it == work_.begin()) return false;
    std::vector<PathPoint> before = work_;
    const bool closed = work_.front().is_closed();
    std::rotate(work_.begin(), it, work_.end());
    work_.front().set_is_closed(closed);
    normalise_single_path(work_);
    push_step(undo_op::kEditPaths, std::move(before));
    return true;
}

bool PathTool::make_end_point() {
    if (!can_make_start_or_end() || !lock_ok()) return false;
    const auto it = std::find_if(work_.begin(), work_.end(), selected_point);
    if (std::next(it) == work_.end()) return false;
    std::vector<PathPoint> before = work_;
    const bool closed = work_.front().is_closed();
    std::rotate(work_.begin(), std::next(it), work_.end());
    work_.front().set_is_closed(closed);
    normalise_single_path(work_);
    push_step(undo_op::kEditPaths, std::move(before));
    return true;
}

bool PathTool::can_generate_control_points() const {
    if (!point_editing_ || handle_) return false;
    return std::any_of(work_.begin(), work_.end(),
                       [](const PathPoint& p) { return selected_point(p) && !p.ucp(); });
}

bool PathTool::generate_control_points() {
    if (!can_generate_control_points() || !lock_ok()) return false;
    const std::optional<ScreenMapping> m = mapping();
    const double z = m && m->transform.z > 0.0f ? static_cast<double>(m->transform.z) : 1.0;
    const double length = kHandleLength / z;
    std::vector<PathPoint> before = work_;
    bool changed = false;
    // The factor of a segment that measures `length` along it (0 for a segment of no length).
    auto factor = [&](const Segment& s) {
        const double total = segment_length(s);
        return total > 0.0 ? length / total : 0.0;
    };
    auto pull = [](float& c, float anchor, double g) {
        c = static_cast<float>(c + g * (static_cast<double>(anchor) - c));
    };
    for (std::size_t i = 0; i < work_.size(); ++i) {
        PathPoint& p = work_[i];
        if (!selected_point(p) || p.ucp()) continue;
        PathPoint* prev = i > 0 ? &work_[i - 1] : nullptr;
        PathPoint* next = i + 1 < work_.size() ? &work_[i + 1] : nullptr;
        Vec2 d{1.0, 1.0};
        if (prev) {
            if (prev->ucp()) {
                Segment s{{prev->px, prev->py}, {prev->cx2, prev->cy2}, {p.cx1, p.cy1}, {p.px, p.py}};
                const double g = factor(s);
                const Vec2 c = s.at(1.0 - g);
                d = normalised(p.px - c.x, p.py - c.y);
                pull(prev->cx2, prev->px, g);
                pull(prev->cy2, prev->py, g);
            } else {
                d = normalised(static_cast<double>(p.px) - prev->px, static_cast<double>(p.py) - prev->py);
            }
            if (next && next->ucp()) {
                const double g = factor(
                    Segment{{p.px, p.py}, {p.cx2, p.cy2}, {next->cx1, next->cy1}, {next->px, next->py}});
                pull(next->cx1, next->px, g);
                pull(next->cy1, next->py, g);
            }
        } else if (next) {
            if (next->ucp()) {
                Segment s{{p.px, p.py}, {p.cx2, p.cy2}, {next->cx1, next->cy1}, {next->px, next->py}};
                const double g = factor(s);
                const Vec2 c = s.at(g);
                d = normalised(c.x - p.px, c.y - p.py);
                pull(next->cx1, next->px, g);
                pull(next->cy1, next->py, g);
            } else {
                d = normalised(static_cast<double>(next->px) - p.px, static_cast<double>(next->py) - p.py);
            }
        }
        p.set_ucp(true);
        p.cx1 = static_cast<float>(p.px - length * d.x);
        p.cy1 = static_cast<float>(p.py - length * d.y);
        p.cx2 = static_cast<float>(p.px + length * d.x);
        p.cy2 = static_cast<float>(p.py + length * d.y);
        changed = true;
    }
    if (changed) push_step(undo_op::kEditPaths, std::move(before));
    return changed;
}

// --- Moving, copying and pasting whole Paths ---------------------------------------------------------------

std::vector<PathPoint> PathTool::selected_path_points() const {
    std::vector<PathPoint> points;
    const Layer* layer = s_.context.layer();
    if (!layer) return points;
    const std::vector<ObjectId> ids = selected_paths();
    for (const PathRange& range : path_ranges(*layer)) {
        if (!std::binary_search(ids.begin(), ids.end(), layer->path_points[range.first]->uid)) continue;
        for (std::size_t i = range.first; i <= range.last; ++i) points.push_back(*layer->path_points[i]);
        points.back().set_ends_path(true);
    }
    return points;
}

bool PathTool::begin_float(std::vector<PathPoint> points, const ToolInput* input, bool keyboard,
                           bool keep_source, bool paste) {
    if (points.empty() || !s_.context.layer()) return false;
    // The box: each Path's first point and each segment's curve at 10 steps.
    double left = points[0].px, top = points[0].py, right = left, bottom = top;
    auto grow = [&](double x, double y) {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
    };
    for (std::size_t i = 0; i < points.size(); ++i) {
        grow(points[i].px, points[i].py);
        if (points[i].ends_path() || i + 1 >= points.size()) continue;
        const Segment s = layer_segment(points[i], points[i + 1]);
        for (int k = 1; k <= 10; ++k) {
            const Vec2 at = s.at(k / 10.0);
            grow(at.x, at.y);
        }
    }
    FloatingSelection& f = s_.floating;
    f.clear();
    f.kind = FloatKind::Paths;
    f.path_points = std::move(points);
    f.box_left = static_cast<float>(left);
    f.box_top = static_cast<float>(top);
    f.box_width = static_cast<std::int32_t>(std::clamp(right - left + 1.0, 1.0, 2.0e9));
    f.box_height = static_cast<std::int32_t>(std::clamp(bottom - top + 1.0, 1.0, 2.0e9));
    f.from_layer = !paste;
    f.from_paste = paste;
    f.keep_source = keep_source;
    f.keyboard = keyboard;
    f.start_cursor = s_.cursor.value_or(ViewPoint{});
    if (input && input->pixel) {
        f.pixel_grab_x = left - input->pixel->x;
        f.pixel_grab_y = top - input->pixel->y;
        f.start_cursor = input->view;
    }
    ++s_.float_serial;
    return true;
}

std::optional<std::pair<double, double>> PathTool::drop_origin() const {
    const FloatingSelection& f = s_.floating;
    if (f.kind != FloatKind::Paths) return std::nullopt;
    if (f.keyboard)
        return std::pair{static_cast<double>(f.box_left) + f.keyboard_offset.x,
                         static_cast<double>(f.box_top) + f.keyboard_offset.y};
    std::optional<LayerPixel> pixel = last_pixel_;
    if (s_.context.navigator && s_.cursor) pixel = s_.context.pixel_at(*s_.cursor);
    if (!pixel) return std::nullopt;
    double x = pixel->x + f.pixel_grab_x, y = pixel->y + f.pixel_grab_y;
    if (f.from_paste) {
        x = pixel->x - f.box_width / 2.0;
        y = pixel->y - f.box_height / 2.0;
    }
    if (s_.context.preferences.flag(FlagA::SnapToGrid) && s_.context.project) {
        const TileSizePx tile = view_tile_size(*s_.context.project, s_.context.map());
        x = snap_down(x, tile.width);
        y = snap_down(y, tile.height);
    }
    return std::pair{x, y};
}

bool PathTool::drop_float(std::optional<ViewPoint> cursor) {
    FloatingSelection& f = s_.floating;
    if (f.kind != FloatKind::Paths) return false;
    if (f.from_layer && !f.keyboard && cursor && std::abs(cursor->x - f.start_cursor.x) <= 3 &&
        std::abs(cursor->y - f.start_cursor.y) <= 3) {
        f.clear();
        return true;
    }
    Project* project = s_.context.project;
    Map* map = s_.context.map();
    Layer* layer = s_.context.layer();
    const std::optional<std::pair<double, double>> origin = drop_origin();
    if (!project || !map || !layer || !origin || !lock_ok()) {
        f.clear();
        return true;
    }
    std::vector<PathPoint> before = copy_path_points(*layer);
    const double dx = origin->first - f.box_left, dy = origin->second - f.box_top;
    auto shift = [&](PathPoint& p) {
        p.px = static_cast<float>(p.px + dx);
        p.py = static_cast<float>(p.py + dy);
        p.cx1 = static_cast<float>(p.cx1 + dx);
        p.cy1 = static_cast<float>(p.cy1 + dy);
        p.cx2 = static_cast<float>(p.cx2 + dx);
        p.cy2 = static_cast<float>(p.cy2 + dy);
    };
    bool changed = false;
    std::vector<ObjectId> selected;
    if (f.from_layer && !f.keep_source) {
        std::vector<ObjectId> moved;
        for (const PathPoint& p : f.path_points) moved.push_back(p.uid);
        std::sort(moved.begin(), moved.end());
        for (const auto& p : layer->path_points)
            if (std::binary_search(moved.begin(), moved.end(), p->uid)) {
                shift(*p);
                changed = changed || dx != 0.0 || dy != 0.0;
            }
        selected = selected_paths();
    } else {
        for (PathPoint p : f.path_points) {
            shift(p);
            p.map_id = map->unique_id;
            p.layer_id = layer->unique_id;
            p.flags &= ~kPathEditorFlags;
            PathPoint* added = add_path_point(*project, p, false, &s_.context.platform);
            if (!added) break;
            if (p.starts_path()) selected.push_back(added->uid);
            changed = true;
        }
    }
    f.clear();
    if (changed) {
        push_main(undo_op::kEditPaths, std::move(before));
        set_selected_paths(std::move(selected));
    }
    if (s_.auto_switched) s_.switch_back_pending = true;
    return true;
}

bool PathTool::handle_floating(const ToolInput& input) {
    if (input.pixel) last_pixel_ = input.pixel;
    // Pasted paths are put down by a press; a release that is not let pass does nothing to them.
    if (input.kind == InputKind::Release && s_.floating.from_paste && !s_.floating.ignore_release_once)
        return false;
    return route_floating_event(input, s_.floating);
}

bool PathTool::can_copy() const {
    return !s_.floating.active() && !dragging() && !drawing_ && !point_editing_ && !selected_paths().empty();
}

bool PathTool::copy() {
    if (!can_copy()) return false;
    std::vector<PathPoint> points = selected_path_points();
    if (points.empty()) return false;
    s_.clipboard.clear();
    s_.clipboard.kind = ClipKind::Paths;
    s_.clipboard.path_points = std::move(points);
    return true;
}

bool PathTool::cut() { return copy() && erase(); }

bool PathTool::can_paste() const {
    return !s_.floating.active() && !dragging() && !drawing_ && !point_editing_ &&
           s_.clipboard.kind == ClipKind::Paths && !s_.clipboard.path_points.empty() && s_.context.layer();
}

bool PathTool::paste() {
    if (!can_paste()) return false;
    if (s_.leave_auto_move) s_.leave_auto_move();
    return begin_float(s_.clipboard.path_points, nullptr, false, false, true);
}

bool PathTool::can_nudge() const {
    if (s_.floating.active()) return s_.floating.kind == FloatKind::Paths && s_.floating.keyboard;
    return !dragging() && !drawing_ && !point_editing_ && !selected_paths().empty();
}

bool PathTool::nudge(int dx, int dy, bool z_held) {
    FloatingSelection& f = s_.floating;
    if (!f.active() && (!can_nudge() || !begin_float(selected_path_points(), nullptr, true, z_held, false)))
        return false;
    if (f.kind != FloatKind::Paths || !f.keyboard) return false;
    std::int64_t step_x = 1, step_y = 1;
    if (s_.context.preferences.flag(FlagA::SnapToGrid) && s_.context.project) {
        const TileSizePx tile = view_tile_size(*s_.context.project, s_.context.map());
        step_x = tile.width;
        step_y = tile.height;
    }
    f.keyboard_offset.x = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(f.keyboard_offset.x + dx * step_x, INT32_MIN, INT32_MAX));
    f.keyboard_offset.y = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(f.keyboard_offset.y + dy * step_y, INT32_MIN, INT32_MAX));
    return true;
}

bool PathTool::drop() { return drop_float(s_.cursor); }

// --- The Selected Points window ---------------------------------------------------------------------------

SelectionPanelState PathTool::panel_state() const {
    SelectionPanelState state;
    state.title = "Selected Points";
    std::vector<const PathPoint*> chosen;
    std::size_t index = 0;
    if (point_editing_)
        for (std::size_t i = 0; i < work_.size(); ++i)
            if (selected_point(work_[i])) {
                chosen.push_back(&work_[i]);
                index = i;
            }
    state.count = chosen.size();
    char text[64];
    if (chosen.empty()) {
        state.name_line = "None selected";
        return state;
    }
    if (chosen.size() == 1)
        std::snprintf(text, sizeof text, "1 selected (# %lu)", static_cast<unsigned long>(index + 1));
    else
        std::snprintf(text, sizeof text, "Multiple selected (%d)", static_cast<int>(chosen.size()));
    state.name_line = text;
    const float x = chosen.front()->px, y = chosen.front()->py;
    if (std::all_of(chosen.begin(), chosen.end(), [x](const PathPoint* p) { return p->px == x; }))
        state.x = x;
    if (std::all_of(chosen.begin(), chosen.end(), [y](const PathPoint* p) { return p->py == y; }))
        state.y = y;
    return state;
}

bool PathTool::set_panel_field(PanelField field, double value) {
    if (!point_editing_ || dragging() || (field != PanelField::X && field != PanelField::Y)) return false;
    if (!std::isfinite(value) || selected_point_count() == 0 || !lock_ok()) return false;
    const float to = static_cast<float>(std::clamp(value, -1.0e9, 1.0e9));
    std::vector<PathPoint> before = work_;
    bool changed = false;
    for (PathPoint& p : work_) {
        if (!selected_point(p)) continue;
        float& at = field == PanelField::X ? p.px : p.py;
        if (at == to) continue;
        const float shift = to - at;
        at = to;
        (field == PanelField::X ? p.cx1 : p.cy1) += shift;
        (field == PanelField::X ? p.cx2 : p.cy2) += shift;
        changed = true;
    }
    if (changed) push_step(undo_op::kEditPaths, std::move(before));
    return changed;
}

std::optional<SelectionVariables> PathTool::selection_variables() const {
    if (!point_editing_ || dragging()) return std::nullopt;
    std::vector<const PathPoint*> chosen;
    for (const PathPoint& p : work_)
        if (selected_point(p)) chosen.push_back(&p);
    if (chosen.empty()) return std::nullopt;
    SelectionVariables variables;
    variables.kind = ObjectKind::PathPoint;
    variables.type_word = "Selected Points";
    variables.count = chosen.size();
    if (chosen.size() == 1) {
        variables.object_name = "Selected Point";
    } else {
        char text[64];
        std::snprintf(text, sizeof text, "Selected Points (%ld)", static_cast<long>(chosen.size()));
        variables.object_name = text;
    }
    variables.values = chosen.front()->custom_variables;
    for (const PathPoint* p : chosen)
        for (std::size_t i = 0; i < variables.values.size(); ++i)
            if (p->custom_variables[i] != variables.values[i]) variables.differs[i] = true;
    return variables;
}

bool PathTool::apply_selection_variables(const std::array<bool, kCustomVariableCount>& changed,
                                         const IntVariables& values) {
    if (!point_editing_ || dragging() || !lock_ok()) return false;
    std::vector<PathPoint> before = work_;
    bool any = false;
    for (PathPoint& p : work_) {
        if (!selected_point(p)) continue;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (!changed[i] || p.custom_variables[i] == values[i]) continue;
            p.custom_variables[i] = values[i];
            any = true;
        }
    }
    if (any) push_step(undo_op::kEditPaths, std::move(before));
    return any;
}

// --- Overlay -----------------------------------------------------------------------------------------------

void PathTool::update_overlay(ToolOverlay& overlay) {
    overlay.selected_paths.assign(selected_paths());
    overlay.hidden_paths.clear();
    if (point_editing_) overlay.hidden_paths.insert(edited_uid_);
    overlay.floating_paths.reset();
    const FloatingSelection& f = s_.floating;
    if (f.kind == FloatKind::Paths) {
        FloatingPathsOverlay floating;
        floating.points = f.path_points;
        if (const std::optional<std::pair<double, double>> origin = drop_origin())
            floating.shift = std::pair{origin->first - f.box_left, origin->second - f.box_top};
        if (f.from_layer && !f.keep_source)
            for (const PathPoint& p : f.path_points)
                if (p.starts_path()) overlay.hidden_paths.insert(p.uid);
        overlay.floating_paths = std::move(floating);
    }
    overlay.editing_path_points = drawing_ || point_editing_;
    overlay.path_edit.reset();
    if (drawing_ || point_editing_) {
        overlay.path_edit = PathEditOverlay{work_, point_editing_, std::nullopt};
        if (point_editing_ && !dragging() && s_.context.edit_state.tool() == Tool::Placement)
            overlay.path_edit->insert_mark = insert_mark_;
    }
    overlay.path_band.reset();
    if (band_) overlay.path_band = std::pair{band_->start, band_->end};
}

}  // namespace zorva
