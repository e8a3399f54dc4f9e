#include "render/renderer.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>

#include "image/builtin_pictures.h"
#include "image/image_loader.h"
#include "model/project.h"
#include "prefs/preferences.h"
#include "render/draw_primitives.h"
#include "tools/entity_geometry.h"
#include "tools/path_tool.h"
#include "tools/tile_brush.h"

namespace zorva {

void FrameResults::reset() {
    entities_under_cursor = selected_entities_under_cursor = paths_under_cursor = 0;
    path_points_under_cursor = selected_path_points_under_cursor = 0;
    cursor_in_view = false;
    cursor_layer_pixel.reset();
    current_locked = current_hidden = layer_content_drawn = false;
    topmost_entity_under_cursor = kInvalidId;
    entities.clear();
    tiles_drawn = entities_drawn = 0;
}

namespace {

QColor qcolour(std::uint32_t pixel) { return QColor::fromRgba(pixel); }

QPen qpen(const Pen& pen) {
    QPen result(qcolour(pen.pixel));
    result.setWidth(1);
    result.setCosmetic(true);
    if (pen.style == LineStyle::Dotted) result.setDashPattern({1.0, 1.0});
    return result;
}

// The first index of [first, last] whose far edge lies past 0, from an estimate that may be a little off.
std::int64_t first_visible(std::int64_t first, std::int64_t last, double start_px, double step_px) {
    if (step_px <= 0) return first;
    const double estimate = std::floor(-start_px / step_px) - 1;
    if (estimate > static_cast<double>(last)) return last + 1;
    return std::max<std::int64_t>(
        first, estimate < static_cast<double>(first) ? first : static_cast<std::int64_t>(estimate));
}

std::int64_t wrap_index(std::int64_t index, std::int64_t size) {
    const std::int64_t r = index % size;
    return r < 0 ? r + size : r;
}

}  // namespace

struct Renderer::Frame {
    Frame(QImage& target_image, const RenderRequest& render_request, const Preferences& preferences)
        : target(target_image), request(render_request), prefs(preferences) {}

    QImage& target;
    const RenderRequest& request;
    const Preferences& prefs;
    Project* project = nullptr;
    Map* map = nullptr;
    Layer* current = nullptr;
    const TileSet* tile_set = nullptr;
    TileCount tiles;
    ViewTransform transform;
    DrawOptions options;
    std::int64_t width = 0;  // of the target
    std::int64_t height = 0;
    std::optional<ViewPoint> cursor;  // in target coordinates, inside it
    bool picture = false;
    std::uint32_t backdrop = 0;     // the background pixel
    bool backdrop_pending = false;  // not filled yet

    void fill_backdrop() {
        if (!backdrop_pending) return;
        fill_rect(target, 0, 0, width, height, backdrop);
        backdrop_pending = false;
    }
    std::optional<QPainter> painter_storage;
    int text_height = 0;

    QPainter& painter() {
        if (!painter_storage) {
            painter_storage.emplace(&target);
            painter_storage->setRenderHint(QPainter::Antialiasing, false);
            if (qGuiApp) text_height = QFontMetrics(painter_storage->font()).height();
        }
        return *painter_storage;
    }
    bool can_write_text() { return qGuiApp != nullptr; }
};

Renderer::Renderer(const BuiltinPictures& pictures) : pictures_(pictures) {}

bool Renderer::take_offscreen_failure() {
    const bool warn = offscreen_warning_;
    offscreen_warning_ = false;
    return warn;
}

std::int32_t Renderer::redraw(const RenderRequest& request) {
    const int w = std::max(request.view.width, 1);
    const int h = std::max(request.view.height, 1);
    if (frame_.width() != w || frame_.height() != h || frame_.format() != QImage::Format_ARGB32_Premultiplied)
        frame_ = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
    if (frame_.isNull()) {
        results_.reset();
        if (++offscreen_failures_ == kOffscreenFailureLimit) offscreen_warning_ = true;
        return kImageFailed;
    }
    offscreen_failures_ = 0;
    draw(frame_, request);
    return kImageLoaded;
}

void Renderer::draw(QImage& target, const RenderRequest& request) {
    results_.reset();
    if (target.isNull() || target.format() != QImage::Format_ARGB32_Premultiplied) return;
    static const Preferences kDefaults;
    Frame f(target, request, request.preferences ? *request.preferences : kDefaults);
    f.picture = request.kind == FrameKind::Picture;
    f.width = target.width();
    f.height = target.height();
    resources_.update(f.prefs);
    f.options.disable_transparent_images = f.prefs.flag(FlagA::DisableTransparentImages);

    f.project = request.project;
    if (f.project) {
        f.project->zoom = clamp_zoom(f.project->zoom);
        f.map = f.project->selected_map();
        f.current = f.project->selected_layer();
        if (request.map && request.map != f.map) {
            f.map = request.map;
            f.current = find_layer(*f.map, f.map->selected_layer_id);
        }
    }
    f.transform.z = zoom_factor(f.project ? f.project->zoom : 100);
    if (f.project) {
        const TileSizePx tile = view_tile_size(*f.project, f.map);
        f.transform.tile_width = tile.width;
        f.transform.tile_height = tile.height;
        f.tile_set = view_tile_set(*f.project, f.map);
    }
    f.transform.origin_x = request.origin_x;
    f.transform.origin_y = request.origin_y;
    if (request.cursor) {
        const ViewPoint c{static_cast<std::int32_t>(request.cursor->x - request.origin_x),
                          static_cast<std::int32_t>(request.cursor->y - request.origin_y)};
        if (c.x >= 0 && c.y >= 0 && c.x < f.width && c.y < f.height) f.cursor = c;
    }
    results_.cursor_in_view = f.cursor.has_value();

    // Background: filled here, or band by band together with the first group of layers (see
    // draw_tile_group), which saves one pass over the frame.
    f.backdrop = f.picture ? 0u : resources_.background;
    f.backdrop_pending = true;

    // Camera limits.
    if (f.map) {
        if (!f.picture) clamp_camera(*f.map);
        f.transform.camera_column = request.camera ? request.camera->column : f.map->camera_grid_position_x;
        f.transform.camera_row = request.camera ? request.camera->row : f.map->camera_grid_position_y;
    }

    if (f.current && f.map) results_.current_locked = f.current->is_locked || f.map->is_locked;

    // Layers.
    if (!(f.map && f.tile_set && !f.tile_set->image.empty())) f.fill_backdrop();
    if (f.map && f.tile_set && !f.tile_set->image.empty()) {
        results_.layer_content_drawn = true;
        f.tiles = count_tiles(*f.tile_set);
        draw_layers(f);
        f.fill_backdrop();  // when no layer was drawn
    } else if (f.current && (!f.current->is_visible || f.current->grid_width <= 0)) {
        results_.current_hidden = true;
    }

    if (!f.picture) {
        if (f.prefs.flag(FlagA::ViewOriginMarker) && f.map) draw_origin_marker(f);
        if (f.current && f.current->grid_width > 0 && f.current->grid_height > 0) {
            if (f.prefs.flag(FlagA::ViewGrid)) draw_grid(f, *f.current);
            const ViewTransform& t = f.transform;
            outline_rect(target, t.cell_x(0, f.current->grid_offset_x), t.cell_y(0, f.current->grid_offset_y),
                         t.cell_x(f.current->grid_width, f.current->grid_offset_x),
                         t.cell_y(f.current->grid_height, f.current->grid_offset_y),
                         resources_.grid_solid.pixel);
        }
        draw_tool_overlays(f);
        draw_warning_frames(f);
        if (f.prefs.flag(FlagA::ViewObjectsBeneathCursor) && request.main_window_enabled)
            draw_beneath_cursor_count(f);
    }
    if (f.painter_storage) f.painter_storage->end();
}

void Renderer::draw_layers(Frame& f) {
    const ViewTransform& t = f.transform;
    drawable_.clear();
    for (const auto& owned : f.map->layers) {
        Layer& layer = *owned;
        const bool is_current = &layer == f.current;
        if (is_current && f.cursor) {
            const double exact_left =
                static_cast<double>((std::int64_t{layer.grid_offset_x} - t.camera_column) * t.tile_width) *
                    t.z -
                static_cast<double>(t.origin_x);
            const double exact_top =
                static_cast<double>((std::int64_t{layer.grid_offset_y} - t.camera_row) * t.tile_height) *
                    t.z -
                static_cast<double>(t.origin_y);
            results_.cursor_layer_pixel = LayerPixel{static_cast<float>((f.cursor->x - exact_left) / t.z),
                                                     static_cast<float>((f.cursor->y - exact_top) / t.z)};
        }
        const bool has_grid =
            layer.grid_width > 0 && layer.grid_height > 0 &&
            layer.grid.size() == static_cast<std::size_t>(layer.grid_width) * layer.grid_height;
        if (!layer.is_visible || !has_grid) {
            if (is_current) results_.current_hidden = true;
            continue;
        }
        drawable_.push_back(&layer);
    }

    // Consecutive layers of which all but the last draw nothing after their tiles are drawn together,
    // band by band, so each band of the frame stays in the cache while every layer is drawn into it.
    // A layer with attribute numbers (text, which may reach past its band) is drawn on its own.
    const bool entities = f.prefs.flag(FlagA::ViewEntities);
    const bool paths = f.prefs.flag(FlagA::ViewPaths);
    // The Extra Placement preview lies on the current layer, under the layers drawn after it.
    const bool preview = extra_placement_preview_shown(f);
    auto tiles_only = [&](const Layer& layer) {
        return !(entities && !layer.instance_entities.empty()) && !(paths && !layer.path_points.empty()) &&
               !(preview && &layer == f.current);
    };
    std::size_t i = 0;
    while (i < drawable_.size()) {
        std::size_t j = i;
        if (!has_attribute_numbers(f, *drawable_[i])) {
            while (j + 1 < drawable_.size() && tiles_only(*drawable_[j]) &&
                   !has_attribute_numbers(f, *drawable_[j + 1]))
                ++j;
        }
        if (i != 0 || i == j) f.fill_backdrop();
        draw_tile_group(f, i, j);
        Layer& last = *drawable_[j];
        const bool is_current = &last == f.current;
        const std::uint8_t opacity = f.options.disable_transparent_images ? 255 : last.opacity;
        if (entities) draw_entities(f, last, is_current, opacity);
        if (paths) draw_paths(f, last, is_current);
        if (preview && is_current) draw_extra_placement_preview(f, last);
        i = j + 1;
    }
}

void Renderer::draw_tile_group(Frame& f, std::size_t first, std::size_t last) {
    auto opacity = [&](const Layer& layer) {
        return f.options.disable_transparent_images ? std::uint8_t{255} : layer.opacity;
    };
    if (first == last) {
        draw_tiles(f, *drawable_[first], opacity(*drawable_[first]), f.target, f.transform, 0);
        return;
    }
    const qsizetype bytes_per_line = f.target.bytesPerLine();
    uchar* bits = f.target.bits();
    const bool fill = f.backdrop_pending;
    f.backdrop_pending = false;
    for (std::int64_t top = 0; top < f.height; top += kBandRows) {
        const auto rows = static_cast<int>(std::min<std::int64_t>(kBandRows, f.height - top));
        QImage band(bits + top * bytes_per_line, static_cast<int>(f.width), rows, bytes_per_line,
                    QImage::Format_ARGB32_Premultiplied);
        if (fill) fill_rect(band, 0, 0, f.width, rows, f.backdrop);
        ViewTransform t = f.transform;
        t.origin_y += top;
        for (std::size_t k = first; k <= last; ++k)
            draw_tiles(f, *drawable_[k], opacity(*drawable_[k]), band, t, top);
    }
}

bool Renderer::has_attribute_numbers(Frame& f, const Layer& layer) {
    if (!f.prefs.flag(FlagA::ViewTileAttributes)) return false;
    if (!visible_cells(f, layer, f.transform, f.width, f.height)) return false;
    const std::int64_t gw = layer.grid_width, gh = layer.grid_height;
    for (std::int64_t r = visible_.r_start; r < visible_.r_end; ++r) {
        const GridCell* cells = layer.grid.data() + (layer.wrap_y ? wrap_index(r, gh) : r) * gw;
        for (std::int64_t c = visible_.c_start; c < visible_.c_end; ++c) {
            const int value = cells[layer.wrap_x ? wrap_index(c, gw) : c].attribute();
            if (value != 0 && pictures_.attribute_icon(value).empty()) return true;
        }
    }
    return false;
}

bool Renderer::visible_cells(Frame& f, const Layer& layer, const ViewTransform& t, std::int64_t width,
                             std::int64_t height) {
    (void)f;
    const std::int64_t gw = layer.grid_width;
    const std::int64_t gh = layer.grid_height;
    const double stw = t.scaled_tile_width();
    const double sth = t.scaled_tile_height();
    if (stw <= 0 || sth <= 0) return false;
    // A wrapped layer whose origin lies absurdly far away (a hostile file) is not drawn: the cell
    // indices covering the view would not fit the arithmetic.
    constexpr std::int64_t kFarAway = std::int64_t{1} << 40;
    if ((layer.wrap_x && std::abs(t.cell_x(0, layer.grid_offset_x)) > kFarAway) ||
        (layer.wrap_y && std::abs(t.cell_y(0, layer.grid_offset_y)) > kFarAway))
        return false;

    // Column and row ranges: the grid, or for a wrapped direction whatever covers the target.
    auto range = [&](bool wrap, std::int64_t size, double step, std::int64_t extent, auto edge) {
        std::int64_t first = 0, last = size - 1;
        if (wrap) {
            first = static_cast<std::int64_t>(std::floor(-static_cast<double>(edge(0)) / step)) - 1;
            for (int k = 0; k < 4 && edge(first + 1) <= 0; ++k) ++first;
            last = first + static_cast<std::int64_t>(static_cast<double>(extent) / step) + 1;
        }
        return std::pair{first, last};
    };
    auto col_edge = [&](std::int64_t c) { return t.cell_x(c, layer.grid_offset_x); };
    auto row_edge = [&](std::int64_t r) { return t.cell_y(r, layer.grid_offset_y); };
    std::tie(visible_.c_first, visible_.c_last) = range(layer.wrap_x, gw, stw, width, col_edge);
    std::tie(visible_.r_first, visible_.r_last) = range(layer.wrap_y, gh, sth, height, row_edge);

    // The visible part of the ranges, with the screen edges of each column and row.
    visible_.c_start =
        first_visible(visible_.c_first, visible_.c_last, static_cast<double>(col_edge(0)), stw);
    visible_.r_start =
        first_visible(visible_.r_first, visible_.r_last, static_cast<double>(row_edge(0)), sth);
    column_edges_.clear();
    std::int64_t c_end = visible_.c_start;  // one past the last visible column
    for (; c_end <= visible_.c_last; ++c_end) {
        const std::int64_t left = col_edge(c_end);
        if (left >= width) break;
        column_edges_.push_back(left);
    }
    column_edges_.push_back(col_edge(c_end));
    row_edges_.clear();
    std::int64_t r_end = visible_.r_start;
    for (; r_end <= visible_.r_last; ++r_end) {
        const std::int64_t top = row_edge(r_end);
        if (top >= height) break;
        row_edges_.push_back(top);
    }
    row_edges_.push_back(row_edge(r_end));
    visible_.c_end = c_end;
    visible_.r_end = r_end;
    return true;
}

void Renderer::draw_tiles(Frame& f, const Layer& layer, std::uint8_t opacity, QImage& target,
                          const ViewTransform& t, std::int64_t band_top) {
    const std::int64_t gw = layer.grid_width;
    const std::int64_t gh = layer.grid_height;
    if (!visible_cells(f, layer, t, target.width(), target.height())) return;
    auto col_edge = [&](std::int64_t c) { return t.cell_x(c, layer.grid_offset_x); };
    auto row_edge = [&](std::int64_t r) { return t.cell_y(r, layer.grid_offset_y); };

    if (layer.use_background_colour)
        fill_rect(target, col_edge(visible_.c_first), row_edge(visible_.r_first),
                  col_edge(visible_.c_last + 1), row_edge(visible_.r_last + 1),
                  pixel_from_colour(layer.background_colour));

    if (layer.use_background_image && !layer.background_image.empty()) {
        DrawRegion r;
        r.x = static_cast<std::int32_t>(std::clamp<std::int64_t>(col_edge(0), INT32_MIN / 2, INT32_MAX / 2));
        r.y = static_cast<std::int32_t>(std::clamp<std::int64_t>(row_edge(0), INT32_MIN / 2, INT32_MAX / 2));
        r.width = static_cast<std::int32_t>(static_cast<float>(layer.background_image.width) * t.z);
        r.height = static_cast<std::int32_t>(static_cast<float>(layer.background_image.height) * t.z);
        r.source_width = layer.background_image.width;
        r.source_height = layer.background_image.height;
        r.opacity = opacity;
        draw_image_region(target, layer.background_image, r, f.options);
    }
    const std::int64_t c_start = visible_.c_start, c_end = visible_.c_end;
    const std::int64_t r_start = visible_.r_start, r_end = visible_.r_end;

    const TileSet& ts = *f.tile_set;
    const Image& tiles_image = ts.image;
    const bool show_attributes = f.prefs.flag(FlagA::ViewTileAttributes);
    const std::int64_t step_x = std::int64_t{ts.single_tile_pixel_width} + ts.space_between_tiles_pixel_x;
    const std::int64_t step_y = std::int64_t{ts.single_tile_pixel_height} + ts.space_between_tiles_pixel_y;
    const std::uint32_t across = f.tiles.across;

    DrawRegion r;
    r.opacity = opacity;
    for (std::int64_t ri = 0; ri + r_start < r_end; ++ri) {
        const std::int64_t y0 = row_edges_[static_cast<std::size_t>(ri)];
        const std::int64_t y1 = row_edges_[static_cast<std::size_t>(ri) + 1];
        if (y1 <= 0) continue;
        const std::int64_t row = layer.wrap_y ? wrap_index(r_start + ri, gh) : r_start + ri;
        const GridCell* cells = layer.grid.data() + row * gw;
        for (std::int64_t ci = 0; ci + c_start < c_end; ++ci) {
            const std::int64_t x0 = column_edges_[static_cast<std::size_t>(ci)];
            const std::int64_t x1 = column_edges_[static_cast<std::size_t>(ci) + 1];
            if (x1 <= 0) continue;
            const std::int64_t column = layer.wrap_x ? wrap_index(c_start + ci, gw) : c_start + ci;
            const GridCell cell = cells[column];
            if (cell.tile == 0 && (!show_attributes || cell.attribute() == 0)) continue;
            r.x = static_cast<std::int32_t>(x0);
            r.y = static_cast<std::int32_t>(y0);
            r.flip_horizontal = cell.flip_horizontal();
            r.flip_vertical = cell.flip_vertical();
            r.rotate = cell.rotate();
            r.force_blending = false;
            // A rotated cell passes its size exchanged, and its source is tile height wide and tile width
            // tall.
            r.width = static_cast<std::int32_t>(r.rotate ? y1 - y0 : x1 - x0);
            r.height = static_cast<std::int32_t>(r.rotate ? x1 - x0 : y1 - y0);
            if (cell.tile != 0 && cell.tile <= f.tiles.count) {
                const std::uint32_t index = cell.tile - 1;
                r.source_x =
                    static_cast<std::int32_t>(ts.first_tile_offset_pixel_x + (index % across) * step_x);
                r.source_y =
                    static_cast<std::int32_t>(ts.first_tile_offset_pixel_y + (index / across) * step_y);
                r.source_width = r.rotate ? ts.single_tile_pixel_height : ts.single_tile_pixel_width;
                r.source_height = r.rotate ? ts.single_tile_pixel_width : ts.single_tile_pixel_height;
                draw_image_region(target, tiles_image, r, f.options);
                ++results_.tiles_drawn;
            }
            if (!show_attributes || cell.attribute() == 0) continue;
            const int value = cell.attribute();
            const Image& icon = pictures_.attribute_icon(value);
            if (!icon.empty()) {
                DrawRegion mark = r;
                mark.source_x = mark.source_y = 0;
                mark.source_width = icon.width;
                mark.source_height = icon.height;
                mark.force_blending = true;
                if (cell.tile == 0) {
                    mark.flip_horizontal = mark.flip_vertical = mark.rotate = false;
                    mark.width = static_cast<std::int32_t>(x1 - x0);
                    mark.height = static_cast<std::int32_t>(y1 - y0);
                }
                draw_image_region(target, icon, mark, f.options);
            } else if (f.can_write_text()) {
                QPainter& p = f.painter();
                const QString text = QString::number(value);
                const int half = f.text_height / 2;
                const int cx = static_cast<int>((x0 + x1) / 2);
                const int cy = static_cast<int>((y0 + y1) / 2 + band_top) - half;
                const QRect box(cx - 200, cy, 400, f.text_height * 2);
                p.setPen(Qt::black);
                p.drawText(box.translated(1, 1), Qt::AlignHCenter | Qt::AlignTop, text);
                p.setPen(Qt::white);
                p.drawText(box, Qt::AlignHCenter | Qt::AlignTop, text);
            }
        }
    }
}

ScreenRect Renderer::entity_rect(const Frame& f, const ParentEntity& parent, const InstanceEntity& e,
                                 float px, float py, const Layer& layer) const {
    const ViewTransform& t = f.transform;
    const EntityBox box = entity_box(parent, e);
    return {t.point_x(px, layer.grid_offset_x), t.point_y(py, layer.grid_offset_y), t.length(box.width),
            t.length(box.height)};
}

bool Renderer::draw_entity(Frame& f, const ParentEntity& parent, const InstanceEntity& e,
                           const ScreenRect& rc, std::uint8_t opacity, DrawQueue* queue) {
    const std::int64_t x = rc.x, y = rc.y, sw = rc.width, sh = rc.height;
    if (sw <= 0 || sh <= 0 || std::abs(x) > INT32_MAX / 2 || std::abs(y) > INT32_MAX / 2 ||
        sw > INT32_MAX / 2 || sh > INT32_MAX / 2)
        return false;

    DrawRegion r;
    r.x = static_cast<std::int32_t>(x);
    r.y = static_cast<std::int32_t>(y);
    r.width = static_cast<std::int32_t>(e.ro ? sh : sw);  // passed exchanged when rotated
    r.height = static_cast<std::int32_t>(e.ro ? sw : sh);
    r.opacity = opacity;
    r.may_defer = true;
    if (!parent.is_trigger && !parent.image.empty()) {
        PixelPosition pos;
        if (frame_position(parent, static_cast<std::uint32_t>(std::max(parent.preview_anima_frame, 0)),
                           pos)) {
            r.source_x = pos.x;
            r.source_y = pos.y;
        }
        r.source_width = parent.single_frame_pixel_width;
        r.source_height = parent.single_frame_pixel_height;
        r.flip_horizontal = e.fh;
        r.flip_vertical = e.fv;
        r.rotate = e.ro;
        draw_image_region(f.target, parent.image, r, f.options, queue);
    } else if (!parent.is_trigger) {
        const Image& stand_in = pictures_.default_entity();
        r.width = static_cast<std::int32_t>(sw);
        r.height = static_cast<std::int32_t>(sh);
        r.source_width = stand_in.width;
        r.source_height = stand_in.height;
        draw_image_region(f.target, stand_in, r, f.options, queue);
    } else if (parent.trigger_is_a_circle) {
        QPainter& p = f.painter();
        p.setPen(qpen(resources_.triggers));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRect(r.x, r.y, static_cast<int>(sw - 1), static_cast<int>(sh - 1)));
    } else {
        outline_rect(f.target, x, y, x + sw - 1, y + sh - 1, resources_.triggers.pixel);
    }
    return true;
}

void Renderer::draw_entities(Frame& f, const Layer& layer, bool is_current, std::uint8_t opacity) {
    const bool sorting = f.prefs.flag(FlagC::SortWhenDrawingEntities);
    if (sorting) queue_.begin();
    DrawQueue* queue = sorting ? &queue_ : nullptr;
    const bool entities_mode = f.request.mode == EditMode::Entities && !f.picture;
    const ToolOverlay* overlay = f.picture || !is_current ? nullptr : f.request.overlay;
    const ParentEntity* parent = nullptr;
    layer_hits_.clear();
    layer_hit_entities_.clear();

    for (const auto& owned : layer.instance_entities) {
        const InstanceEntity& e = *owned;
        if (!parent || parent->unique_id != e.pid) parent = find_parent_entity(*f.project, e.pid);
        if (!parent) continue;
        const ScreenRect rc = entity_rect(f, *parent, e, e.px, e.py, layer);
        if (rc.x >= f.width || rc.y >= f.height || rc.x + rc.width <= 0 || rc.y + rc.height <= 0) continue;
        if (overlay && overlay->hidden_entities.contains(e.uid)) continue;
        if (!draw_entity(f, *parent, e, rc, opacity, queue)) continue;
        ++results_.entities_drawn;
        EntityHit hit;
        hit.entity_id = e.uid;
        hit.rect = rc;
        if (is_current && entities_mode && f.cursor) hit.under_cursor = hit.rect.contains(*f.cursor);
        if (overlay) hit.selected = overlay->selected_entities.contains(e.uid);
        layer_hits_.push_back(hit);
        layer_hit_entities_.push_back(&e);
    }

    if (sorting) queue_.flush(f.target, f.options, !f.prefs.flag(FlagC::SortWhenDrawingEntities));

    // Second pass: selection rectangles, labels, counts, the hover highlight.
    const bool labels = f.prefs.view_entities_custom_variables() && f.can_write_text();
    const ObjectId hovered = overlay && entities_mode && overlay->hover_shown(f.request.now_ms)
                                 ? overlay->hovered_entity
                                 : kInvalidId;
    const EntityHit* hovered_hit = nullptr;
    for (std::size_t i = 0; i < layer_hits_.size(); ++i) {
        const EntityHit& hit = layer_hits_[i];
        const ScreenRect& rc = hit.rect;
        if (hit.selected)
            outline_rect(f.target, rc.x - 2, rc.y - 2, rc.x + rc.width + 1, rc.y + rc.height + 1,
                         resources_.selection.pixel, LineStyle::Dotted);
        if (labels) draw_entity_labels(f, *layer_hit_entities_[i], rc);
        if (hit.under_cursor) {
            ++results_.entities_under_cursor;
            if (hit.selected) ++results_.selected_entities_under_cursor;
            results_.topmost_entity_under_cursor = hit.entity_id;
        }
        if (hovered != kInvalidId && hit.entity_id == hovered) hovered_hit = &hit;
    }
    if (hovered_hit) {
        const ScreenRect& rc = hovered_hit->rect;
        outline_rect(f.target, rc.x - 1, rc.y - 1, rc.x + rc.width, rc.y + rc.height,
                     resources_.hovered.pixel);
    }
    if (is_current) results_.entities = layer_hits_;
}

void Renderer::draw_entity_labels(Frame& f, const InstanceEntity& entity, const ScreenRect& rect) {
    const DescriptionTable& table = f.project->descriptions_for(ObjectKind::InstanceEntity);
    QPainter* p = nullptr;
    int line = 0;
    for (int i = 0; i < kCustomVariableCount; ++i) {
        const CustomVariableDescription& d = table[static_cast<std::size_t>(i)];
        if (!d.show_in_view) continue;
        if (!p) {
            p = &f.painter();
            p->setPen(qcolour(resources_.entity_labels));
        }
        const std::int16_t value = entity.custom_variables[static_cast<std::size_t>(i)];
        char text[128];
        if (d.use_bits) {
            if (d.show_desc_in_view)
                std::snprintf(text, sizeof text, "%02d: %s = ", i + 1, d.desc.c_str());
            else
                std::snprintf(text, sizeof text, "%02d: ", i + 1);
        } else if (d.show_desc_in_view) {
            std::snprintf(text, sizeof text, "%02d: %s = %d", i + 1, d.desc.c_str(), value);
        } else {
            std::snprintf(text, sizeof text, "%02d: %d", i + 1, value);
        }
        std::string full = text;
        if (d.use_bits) full += int_variable_bits(value);
        const int x = static_cast<int>(rect.x + rect.width + 1);
        const int y = static_cast<int>(rect.y) + line * f.text_height;
        p->drawText(QRect(x, y, 4000, f.text_height), Qt::AlignLeft | Qt::AlignTop,
                    QString::fromLatin1(full));
        ++line;
    }
}

void Renderer::draw_paths(Frame& f, const Layer& layer, bool is_current) {
    if (layer.path_points.empty()) return;
    const ViewTransform& t = f.transform;
    const ToolOverlay* overlay = f.picture || !is_current ? nullptr : f.request.overlay;
    auto screen = [&](float px, float py) {
        return QPointF(static_cast<double>(t.point_x(px, layer.grid_offset_x)),
                       static_cast<double>(t.point_y(py, layer.grid_offset_y)));
    };
    const auto& points = layer.path_points;
    for (const PathRange& range : path_ranges(layer)) {
        const PathPoint& first = *points[range.first];
        if (overlay && overlay->hidden_paths.contains(first.uid)) continue;
        QPainterPath path(screen(first.px, first.py));
        double min_x = path.currentPosition().x(), max_x = min_x;
        double min_y = path.currentPosition().y(), max_y = min_y;
        auto segment = [&](const PathPoint& from, const PathPoint& to) {
            const QPointF c1 = from.ucp() ? screen(from.cx2, from.cy2) : screen(from.px, from.py);
            const QPointF c2 = to.ucp() ? screen(to.cx1, to.cy1) : screen(to.px, to.py);
            const QPointF end = screen(to.px, to.py);
            path.cubicTo(c1, c2, end);
            min_x = std::min(min_x, end.x());
            max_x = std::max(max_x, end.x());
            min_y = std::min(min_y, end.y());
            max_y = std::max(max_y, end.y());
        };
        // Only the segments from each point to the next: a closed path is closed by its last point
        // lying on its first, never by a segment back to the start.
        for (std::size_t i = range.first + 1; i <= range.last; ++i) segment(*points[i - 1], *points[i]);
        if (range.size() > 1) {
            QPainter& p = f.painter();
            const bool selected = overlay && overlay->selected_paths.contains(first.uid);
            p.setPen(qpen(selected ? resources_.selected_paths : resources_.paths));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
        }
        if (is_current && f.cursor && f.cursor->x >= min_x && f.cursor->x <= max_x && f.cursor->y >= min_y &&
            f.cursor->y <= max_y)
            ++results_.paths_under_cursor;
    }
}

void Renderer::draw_origin_marker(Frame& f) {
    const std::int64_t cx = f.transform.cell_x(0, 0);
    const std::int64_t cy = f.transform.cell_y(0, 0);
    if (cx < -32 || cy < -32 || cx > f.width + 32 || cy > f.height + 32) return;
    QPainter& p = f.painter();
    p.setPen(qpen(resources_.grid_solid));
    const int x = static_cast<int>(cx);
    const int y = static_cast<int>(cy);
    constexpr int kArm = 16, kBack = 13, kBarb = 3;
    for (const auto& [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
        const QPoint tip(x + dx * kArm, y + dy * kArm);
        p.drawLine(QPoint(x, y), tip);
        const QPoint back(x + dx * kBack, y + dy * kBack);
        p.drawLine(tip, back + QPoint(dy * kBarb, dx * kBarb));
        p.drawLine(tip, back - QPoint(dy * kBarb, dx * kBarb));
    }
}

void Renderer::draw_grid(Frame& f, const Layer& layer) {
    const ViewTransform& t = f.transform;
    if (t.scaled_tile_width() < 8.0f || t.scaled_tile_height() < 8.0f) return;
    const std::int64_t gw = layer.grid_width;
    const std::int64_t gh = layer.grid_height;
    auto col_edge = [&](std::int64_t c) { return t.cell_x(c, layer.grid_offset_x); };
    auto row_edge = [&](std::int64_t r) { return t.cell_y(r, layer.grid_offset_y); };
    const std::int64_t c0 = first_visible(0, gw, static_cast<double>(col_edge(0)), t.scaled_tile_width());
    const std::int64_t r0 = first_visible(0, gh, static_cast<double>(row_edge(0)), t.scaled_tile_height());
    const std::uint32_t pixel = resources_.grid.pixel;
    if (resources_.grid_type == GridType::Dots) {
        for (std::int64_t r = r0; r <= gh; ++r) {
            const std::int64_t y = row_edge(r);
            if (y < 0) continue;
            if (y >= f.height) break;
            for (std::int64_t c = c0; c <= gw; ++c) {
                const std::int64_t x = col_edge(c);
                if (x < 0) continue;
                if (x >= f.width) break;
                set_pixel(f.target, x, y, pixel);
            }
        }
        return;
    }
    const std::int64_t left = col_edge(0), right = col_edge(gw);
    const std::int64_t top = row_edge(0), bottom = row_edge(gh);
    for (std::int64_t r = r0; r <= gh; ++r) {
        const std::int64_t y = row_edge(r);
        if (y < 0) continue;
        if (y >= f.height) break;
        horizontal_line(f.target, left, right, y, pixel, resources_.grid.style);
    }
    for (std::int64_t c = c0; c <= gw; ++c) {
        const std::int64_t x = col_edge(c);
        if (x < 0) continue;
        if (x >= f.width) break;
        vertical_line(f.target, x, top, bottom, pixel, resources_.grid.style);
    }
}

void Renderer::draw_warning_frames(Frame& f) {
    const std::int64_t r = f.width - 1, b = f.height - 1;
    if (results_.current_locked) {
        outline_rect(f.target, 0, 0, r, b, resources_.locked.pixel);
        if (results_.current_hidden) outline_rect(f.target, 1, 1, r - 1, b - 1, resources_.hidden.pixel);
    } else if (results_.current_hidden) {
        outline_rect(f.target, 0, 0, r, b, resources_.hidden.pixel);
    }
}

void Renderer::draw_beneath_cursor_count(Frame& f) {
    if (!f.cursor || !f.can_write_text()) return;
    int count = 0;
    if (f.request.mode == EditMode::Entities) {
        count = results_.entities_under_cursor;
    } else if (f.request.mode == EditMode::Paths) {
        count = f.request.overlay && f.request.overlay->editing_path_points
                    ? results_.path_points_under_cursor
                    : results_.paths_under_cursor;
    }
    if (count <= 1) return;
    char text[32];
    std::snprintf(text, sizeof text, " (x%d) ", count);
    QPainter& p = f.painter();
    p.setPen(Qt::white);
    p.setBackground(Qt::black);
    p.setBackgroundMode(Qt::OpaqueMode);
    const int right = f.cursor->x - 3;
    p.drawText(QRect(right - 400, f.cursor->y, 400, f.text_height), Qt::AlignRight | Qt::AlignTop,
               QString::fromLatin1(text));
    p.setBackgroundMode(Qt::TransparentMode);
}

}  // namespace zorva

// --- Tool overlays
// ---------------------------------------------------------------------------------------------

namespace zorva {

namespace {

// The cells [first, last] of a row or column of cells that meet [0, extent) on screen, `edge(i)` being the
// screen position of cell i's near edge.
template <class Edge>
std::pair<std::int64_t, std::int64_t> cells_in_view(std::int64_t first, std::int64_t last, double step,
                                                    std::int64_t extent, Edge edge) {
    if (first > last || step <= 0) return {0, -1};
    std::int64_t from = first_visible(first, last, static_cast<double>(edge(0)), step);
    while (from <= last && edge(from + 1) <= 0) ++from;
    std::int64_t to = from;
    while (to <= last && edge(to) < extent) ++to;
    return {from, to - 1};
}

}  // namespace

bool Renderer::extra_placement_preview_shown(const Frame& f) const {
    const ToolOverlay* overlay = f.request.overlay;
    return !f.picture && overlay && overlay->extra_placement && f.request.mode == EditMode::Tiles &&
           f.current && f.tile_set && !f.tile_set->image.empty() && f.tiles.across > 0 && f.tiles.down > 0;
}

void Renderer::draw_overlay_cell(Frame& f, const GridCell& cell, std::int64_t x0, std::int64_t y0,
                                 std::int64_t x1, std::int64_t y1, bool attributes) {
    DrawRegion r;
    r.x = static_cast<std::int32_t>(x0);
    r.y = static_cast<std::int32_t>(y0);
    r.flip_horizontal = cell.flip_horizontal();
    r.flip_vertical = cell.flip_vertical();
    r.rotate = cell.rotate();
    r.width = static_cast<std::int32_t>(r.rotate ? y1 - y0 : x1 - x0);
    r.height = static_cast<std::int32_t>(r.rotate ? x1 - x0 : y1 - y0);
    r.opacity = 255;
    const TileSet& ts = *f.tile_set;
    if (cell.tile != 0 && cell.tile <= f.tiles.count && f.tiles.across > 0) {
        const std::uint32_t index = cell.tile - 1;
        const std::int64_t step_x = std::int64_t{ts.single_tile_pixel_width} + ts.space_between_tiles_pixel_x;
        const std::int64_t step_y =
            std::int64_t{ts.single_tile_pixel_height} + ts.space_between_tiles_pixel_y;
        r.source_x =
            static_cast<std::int32_t>(ts.first_tile_offset_pixel_x + (index % f.tiles.across) * step_x);
        r.source_y =
            static_cast<std::int32_t>(ts.first_tile_offset_pixel_y + (index / f.tiles.across) * step_y);
        r.source_width = r.rotate ? ts.single_tile_pixel_height : ts.single_tile_pixel_width;
        r.source_height = r.rotate ? ts.single_tile_pixel_width : ts.single_tile_pixel_height;
        draw_image_region(f.target, ts.image, r, f.options);
    }
    if (!attributes || cell.attribute() == 0) return;
    const Image& icon = pictures_.attribute_icon(cell.attribute());
    if (!icon.empty()) {
        DrawRegion mark = r;
        mark.source_x = mark.source_y = 0;
        mark.source_width = icon.width;
        mark.source_height = icon.height;
        mark.force_blending = true;
        if (cell.tile == 0) {
            mark.flip_horizontal = mark.flip_vertical = mark.rotate = false;
            mark.width = static_cast<std::int32_t>(x1 - x0);
            mark.height = static_cast<std::int32_t>(y1 - y0);
        }
        draw_image_region(f.target, icon, mark, f.options);
    } else if (f.can_write_text()) {
        QPainter& p = f.painter();
        const QString text = QString::number(cell.attribute());
        const int half = f.text_height / 2;
        const QRect box(static_cast<int>((x0 + x1) / 2) - 200, static_cast<int>((y0 + y1) / 2) - half, 400,
                        f.text_height * 2);
        p.setPen(Qt::black);
        p.drawText(box.translated(1, 1), Qt::AlignHCenter | Qt::AlignTop, text);
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignHCenter | Qt::AlignTop, text);
    }
}

void Renderer::draw_extra_placement_preview(Frame& f, const Layer& layer) {
    const ExtraPlacementOverlay& preview = *f.request.overlay->extra_placement;
    const ViewTransform& t = f.transform;
    auto col_edge = [&](std::int64_t c) { return t.cell_x(c, layer.grid_offset_x); };
    auto row_edge = [&](std::int64_t r) { return t.cell_y(r, layer.grid_offset_y); };
    const auto [c0, c1] =
        cells_in_view(preview.rect.left, preview.rect.right, t.scaled_tile_width(), f.width, col_edge);
    const auto [r0, r1] =
        cells_in_view(preview.rect.top, preview.rect.bottom, t.scaled_tile_height(), f.height, row_edge);
    for (std::int64_t r = r0; r <= r1; ++r) {
        for (std::int64_t c = c0; c <= c1; ++c) {
            GridCell cell;
            cell.tile = extra_placement_tile(preview.brush_tile, f.tiles, c - preview.pressed.column,
                                             r - preview.pressed.row);
            cell.flags = preview.flags;
            draw_overlay_cell(f, cell, col_edge(c), row_edge(r), col_edge(c + 1), row_edge(r + 1), false);
        }
    }
}

void Renderer::draw_entity_overlays(Frame& f, const Layer& layer) {
    const ToolOverlay& overlay = *f.request.overlay;
    const ViewTransform& t = f.transform;
    const std::uint32_t pen = resources_.selection.pixel;
    // The entities' overlays show only where the layer's entities are drawn.
    const bool content = results_.layer_content_drawn && f.prefs.flag(FlagA::ViewEntities);

    if (overlay.entity_band && f.request.mode == EditMode::Entities) {
        const PixelBandOverlay& band = *overlay.entity_band;
        const std::int64_t x0 = t.point_x(std::min(band.start.x, band.end.x), layer.grid_offset_x);
        const std::int64_t y0 = t.point_y(std::min(band.start.y, band.end.y), layer.grid_offset_y);
        const std::int64_t x1 = t.point_x(std::max(band.start.x, band.end.x), layer.grid_offset_x);
        const std::int64_t y1 = t.point_y(std::max(band.start.y, band.end.y), layer.grid_offset_y);
        outline_rect(f.target, x0, y0, x1, y1, pen, LineStyle::Dotted);
    }

    if (overlay.floating_entities && overlay.floating_entities->at && content) {
        const FloatingEntitiesOverlay& floating = *overlay.floating_entities;
        const auto [left, top] = *floating.at;
        const ParentEntity* parent = nullptr;
        for (const InstanceEntity& e : floating.entities) {
            if (!parent || parent->unique_id != e.pid) parent = find_parent_entity(*f.project, e.pid);
            if (!parent) continue;
            // Where a drop would put it.
            const float px = moved_position(e.px, floating.box_left, left);
            const float py = moved_position(e.py, floating.box_top, top);
            const ScreenRect rc = entity_rect(f, *parent, e, px, py, layer);
            if (rc.x >= f.width || rc.y >= f.height || rc.x + rc.width <= 0 || rc.y + rc.height <= 0)
                continue;
            draw_entity(f, *parent, e, rc, 255, nullptr);
        }
        const std::int64_t x0 = t.point_x(static_cast<float>(left), layer.grid_offset_x);
        const std::int64_t y0 = t.point_y(static_cast<float>(top), layer.grid_offset_y);
        const std::int64_t x1 = x0 + t.length(floating.box_width) - 1;
        const std::int64_t y1 = y0 + t.length(floating.box_height) - 1;
        for (int inset = 0; inset < 3; ++inset)
            outline_rect(f.target, x0 + inset, y0 + inset, x1 - inset, y1 - inset, pen, LineStyle::Dotted);
    }

    if (overlay.entity_preview && content && f.request.mode == EditMode::Entities) {
        const InstanceEntity& e = *overlay.entity_preview;
        if (const ParentEntity* parent = find_parent_entity(*f.project, e.pid)) {
            const ScreenRect rc = entity_rect(f, *parent, e, e.px, e.py, layer);
            if (!(rc.x >= f.width || rc.y >= f.height || rc.x + rc.width <= 0 || rc.y + rc.height <= 0))
                draw_entity(f, *parent, e, rc, 255, nullptr);
        }
    }
}

void Renderer::draw_path_overlays(Frame& f, const Layer& layer) {
    const ToolOverlay& overlay = *f.request.overlay;
    if (overlay.path_band) {
        const auto& [a, b] = *overlay.path_band;
        outline_rect(f.target, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y),
                     resources_.selection.pixel, LineStyle::Dotted);
    }
    if (overlay.floating_paths && overlay.floating_paths->shift) {
        const double sx = overlay.floating_paths->shift->first;
        const double sy = overlay.floating_paths->shift->second;
        const std::vector<PathPoint>& floating = overlay.floating_paths->points;
        const ViewTransform& ft = f.transform;
        auto at = [&](double px, double py) {
            return QPointF(static_cast<double>(ft.point_x(static_cast<float>(px + sx), layer.grid_offset_x)),
                           static_cast<double>(ft.point_y(static_cast<float>(py + sy), layer.grid_offset_y)));
        };
        QPainter& fp = f.painter();
        fp.setPen(qpen(resources_.selected_paths));
        fp.setBrush(Qt::NoBrush);
        for (std::size_t i = 0; i + 1 < floating.size(); ++i) {
            if (floating[i].ends_path()) continue;
            const PathPoint& a = floating[i];
            const PathPoint& b = floating[i + 1];
            QPainterPath piece(at(a.px, a.py));
            piece.cubicTo(a.ucp() ? at(a.cx2, a.cy2) : at(a.px, a.py),
                          b.ucp() ? at(b.cx1, b.cy1) : at(b.px, b.py), at(b.px, b.py));
            fp.drawPath(piece);
        }
    }
    if (!overlay.path_edit) return;
    const std::vector<PathPoint>& points = overlay.path_edit->points;
    if (points.empty()) return;
    const ViewTransform& t = f.transform;
    auto screen = [&](double px, double py) {
        const double z = t.z;
        const double left =
            static_cast<double>((std::int64_t{layer.grid_offset_x} - t.camera_column) * t.tile_width);
        const double top =
            static_cast<double>((std::int64_t{layer.grid_offset_y} - t.camera_row) * t.tile_height);
        return QPointF(z * px + z * left - static_cast<double>(t.origin_x),
                       z * py + z * top - static_cast<double>(t.origin_y));
    };
    auto bezier = [&](const PathPoint& from, const PathPoint& to, double u) {
        u = std::clamp(u, 0.0, 1.0);
        const QPointF p0 = screen(from.px, from.py);
        const QPointF p1 = from.ucp() ? screen(from.cx2, from.cy2) : p0;
        const QPointF p3 = screen(to.px, to.py);
        const QPointF p2 = to.ucp() ? screen(to.cx1, to.cy1) : p3;
        const double v = 1.0 - u;
        return p0 * (v * v * v) + p1 * (3 * u * v * v) + p2 * (3 * u * u * v) + p3 * (u * u * u);
    };
    const double length =
        std::clamp(static_cast<double>(f.prefs.path_normals_length()),
                   double{Preferences::kPathNormalsLengthMin}, double{Preferences::kPathNormalsLengthMax});
    auto scaled = [&](QPointF d) {
        const double n = std::hypot(d.x(), d.y());
        return n > 0.0 ? d * (length / n) : QPointF(0.0, 0.0);
    };
    const bool editing = overlay.path_edit->point_editing;
    QPainter& p = f.painter();
    p.setRenderHint(QPainter::Antialiasing, false);
    auto under_cursor = [&](QPointF at) {
        return f.cursor && std::fabs(at.x() - f.cursor->x) <= 5.0 && std::fabs(at.y() - f.cursor->y) <= 5.0;
    };
    auto fill = [&](bool selected) {
        return qcolour(selected ? resources_.selected_path_points : resources_.path_points);
    };

    // Segments, then the line to the cursor while points are added.
    p.setPen(qpen(resources_.selected_paths));
    p.setBrush(Qt::NoBrush);
    QPainterPath curve(screen(points[0].px, points[0].py));
    for (std::size_t i = 1; i < points.size(); ++i) {
        const PathPoint& from = points[i - 1];
        const PathPoint& to = points[i];
        curve.cubicTo(from.ucp() ? screen(from.cx2, from.cy2) : screen(from.px, from.py),
                      to.ucp() ? screen(to.cx1, to.cy1) : screen(to.px, to.py), screen(to.px, to.py));
    }
    p.drawPath(curve);
    if (!editing && f.cursor)
        p.drawLine(screen(points.back().px, points.back().py), QPointF(f.cursor->x, f.cursor->y));

    // Normals.
    p.setPen(qpen(resources_.normals));
    if (f.prefs.flag(FlagA::ViewPathPointNormals)) {
        for (std::size_t i = 1; i < points.size(); ++i) {
            const QPointF k = screen(points[i].px, points[i].py);
            const QPointF d = bezier(points[i - 1], points[i], 0.99) - k;
            const QPointF n = scaled(QPointF(-d.y(), d.x()));
            p.drawLine(k - n, k + n);
        }
    }
    if (f.prefs.flag(FlagA::ViewPathPointVorelNormals)) {
        const bool closed = points.front().is_closed() && points.size() > 2;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const bool has_prev = i > 0 || closed;
            if (!has_prev || i + 1 >= points.size()) continue;
            const PathPoint& prev = i > 0 ? points[i - 1] : points[points.size() - 2];
            const QPointF pp = screen(prev.px, prev.py);
            const QPointF k = screen(points[i].px, points[i].py);
            const QPointF sp = screen(points[i + 1].px, points[i + 1].py);
            const QPointF a = sp - pp, b = k - pp;
            const double aa = QPointF::dotProduct(a, a);
            if (aa == 0.0) continue;
            const QPointF foot = pp + a * (QPointF::dotProduct(a, b) / aa);
            const QPointF n = foot != k ? scaled(foot - k) : scaled(QPointF(-a.y(), a.x()));
            p.drawLine(k + n, k - n);
        }
    }
    if (f.prefs.flag(FlagC::ViewPathLineNormals)) {
        for (std::size_t i = 1; i < points.size(); ++i) {
            const QPointF mid = bezier(points[i - 1], points[i], 0.5);
            const QPointF d = mid - bezier(points[i - 1], points[i], 0.599);
            p.drawLine(mid, mid + scaled(QPointF(-d.y(), d.x())));
        }
    }

    // Control points and their handles.
    if (editing) {
        for (const PathPoint& point : points) {
            if (!point.ucp()) continue;
            const QPointF at = screen(point.px, point.py);
            const bool selected[2] = {(point.flags & kPathIncomingSelected) != 0,
                                      (point.flags & kPathOutgoingSelected) != 0};
            const QPointF cps[2] = {screen(point.cx1, point.cy1), screen(point.cx2, point.cy2)};
            for (int k = 0; k < 2; ++k) {
                p.setPen(qpen(resources_.control_lines));
                p.drawLine(at, cps[k]);
                p.setPen(Qt::NoPen);
                p.setBrush(fill(selected[k]));
                const QPoint c(static_cast<int>(std::lround(cps[k].x())),
                               static_cast<int>(std::lround(cps[k].y())));
                p.drawRect(QRect(c.x() - 2, c.y() - 2, 5, 5));
                if (under_cursor(cps[k])) {
                    ++results_.path_points_under_cursor;
                    if (selected[k]) ++results_.selected_path_points_under_cursor;
                }
            }
        }
    }
    // The points: the first a circle, the others squares.
    p.setPen(Qt::NoPen);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QPointF at = screen(points[i].px, points[i].py);
        const bool selected = (points[i].flags & kPathPointSelected) != 0;
        p.setBrush(fill(selected));
        const QPoint c(static_cast<int>(std::lround(at.x())), static_cast<int>(std::lround(at.y())));
        if (i == 0)
            p.drawEllipse(QRect(c.x() - 5, c.y() - 5, 11, 11));
        else
            p.drawRect(QRect(c.x() - 3, c.y() - 3, 7, 7));
        if (under_cursor(at)) {
            ++results_.path_points_under_cursor;
            if (selected) ++results_.selected_path_points_under_cursor;
        }
    }
    p.setBrush(Qt::NoBrush);
    // Where a click would insert a point: two diagonal strokes of 7 pixels.
    if (const std::optional<ViewPoint> mark = overlay.path_edit->insert_mark) {
        p.setPen(qpen(resources_.paths));
        p.drawLine(QPoint(mark->x - 3, mark->y - 3), QPoint(mark->x + 3, mark->y + 3));
        p.drawLine(QPoint(mark->x + 3, mark->y - 3), QPoint(mark->x - 3, mark->y + 3));
    }
}

void Renderer::draw_tool_overlays(Frame& f) {
    const ToolOverlay* overlay = f.request.overlay;
    const Layer* layer = f.current;
    if (!overlay || !layer) return;
    if (f.project) draw_entity_overlays(f, *layer);
    if (f.request.mode == EditMode::Paths) draw_path_overlays(f, *layer);
    const ViewTransform& t = f.transform;
    auto col_edge = [&](std::int64_t c) { return t.cell_x(c, layer->grid_offset_x); };
    auto row_edge = [&](std::int64_t r) { return t.cell_y(r, layer->grid_offset_y); };
    const std::uint32_t pen = resources_.selection.pixel;

    if (overlay->tile_selection && f.request.mode == EditMode::Tiles) {
        const CellRect& rc = *overlay->tile_selection;
        const std::int64_t x0 = col_edge(rc.left), y0 = row_edge(rc.top);
        const std::int64_t x1 = col_edge(std::int64_t{rc.right} + 1) - 1;
        const std::int64_t y1 = row_edge(std::int64_t{rc.bottom} + 1) - 1;
        outline_rect(f.target, x0, y0, x1, y1, pen, LineStyle::Dotted);
        outline_rect(f.target, x0 + 1, y0 + 1, x1 - 1, y1 - 1, pen, LineStyle::Dotted);
    }

    if (overlay->floating_tiles && overlay->floating_tiles->at) {
        const FloatingTilesOverlay& floating = *overlay->floating_tiles;
        const CellPosition at = *floating.at;
        if (floating.width > 0 && floating.height > 0 &&
            floating.cells.size() == static_cast<std::size_t>(floating.width) * floating.height) {
            if (f.tile_set && !f.tile_set->image.empty()) {
                auto fx = [&](std::int64_t i) { return col_edge(at.column + i); };
                auto fy = [&](std::int64_t j) { return row_edge(at.row + j); };
                const auto [i0, i1] =
                    cells_in_view(0, floating.width - 1, t.scaled_tile_width(), f.width, fx);
                const auto [j0, j1] =
                    cells_in_view(0, floating.height - 1, t.scaled_tile_height(), f.height, fy);
                const bool attributes = f.prefs.flag(FlagA::ViewTileAttributes);
                for (std::int64_t j = j0; j <= j1; ++j)
                    for (std::int64_t i = i0; i <= i1; ++i) {
                        const GridCell& cell = floating.cells[static_cast<std::size_t>(j) *
                                                                  static_cast<std::size_t>(floating.width) +
                                                              static_cast<std::size_t>(i)];
                        if (cell.tile == 0 && cell.attribute() == 0) continue;
                        draw_overlay_cell(f, cell, fx(i), fy(j), fx(i + 1), fy(j + 1), attributes);
                    }
            }
            const std::int64_t x0 = col_edge(at.column), y0 = row_edge(at.row);
            const std::int64_t x1 = col_edge(std::int64_t{at.column} + floating.width) - 1;
            const std::int64_t y1 = row_edge(std::int64_t{at.row} + floating.height) - 1;
            for (int inset = 0; inset < 3; ++inset)
                outline_rect(f.target, x0 + inset, y0 + inset, x1 - inset, y1 - inset, pen,
                             LineStyle::Dotted);
        }
    }
}

}  // namespace zorva
