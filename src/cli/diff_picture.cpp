#include "cli/diff_picture.h"

#include <QImage>
#include <QPainter>
#include <QPen>
#include <algorithm>

#include "cli/gui_session.h"
#include "image/builtin_pictures.h"
#include "image/png_writer.h"
#include "model/project.h"
#include "prefs/data_folder.h"
#include "prefs/preferences.h"
#include "render/map_picture.h"
#include "render/renderer.h"
#include "view/view_geometry.h"

namespace zorva::cli {

namespace {

constexpr std::int64_t kGap = 16;  // pixels between the two sides and between rows
const QColor kOutline(255, 0, 255);

// One side of a row: a map of one version, where it goes in the picture.
struct Side {
    Project* project = nullptr;
    Map* map = nullptr;
    const Map* other = nullptr;  // the same map in the other version
    bool is_a = true;
    PictureGeometry geometry;
    std::int64_t x = 0;
    std::int64_t y = 0;
};

void draw_side(QImage& canvas, Renderer& renderer, const Preferences& preferences, const Side& side,
               std::uint32_t zoom) {
    if (side.geometry.width <= 0 || side.geometry.height <= 0) return;
    // The map is drawn in place, into the part of the canvas that is its own.
    uchar* corner = canvas.bits() + side.y * canvas.bytesPerLine() + side.x * 4;
    QImage target(corner, static_cast<int>(side.geometry.width), static_cast<int>(side.geometry.height),
                  canvas.bytesPerLine(), QImage::Format_ARGB32_Premultiplied);
    const std::uint32_t saved_zoom = side.project->zoom;
    side.project->zoom = zoom;
    RenderRequest request;
    request.project = side.project;
    request.map = side.map;
    request.preferences = &preferences;
    request.view = {static_cast<std::int32_t>(side.geometry.width),
                    static_cast<std::int32_t>(side.geometry.height)};
    request.kind = FrameKind::Picture;
    request.camera = side.geometry.camera;
    renderer.draw(target, request);
    side.project->zoom = saved_zoom;
    if (!side.other) return;  // a map only one version has is new or gone as a whole: nothing to outline

    ViewTransform t;
    t.z = zoom_factor(zoom);
    const TileSizePx tile = view_tile_size(*side.project, side.map);
    t.tile_width = tile.width;
    t.tile_height = tile.height;
    t.camera_column = side.geometry.camera.column;
    t.camera_row = side.geometry.camera.row;
    QPainter painter(&canvas);
    painter.setClipRect(QRect(static_cast<int>(side.x), static_cast<int>(side.y),
                              static_cast<int>(side.geometry.width), static_cast<int>(side.geometry.height)));
    painter.translate(static_cast<qreal>(side.x), static_cast<qreal>(side.y));
    painter.setPen(QPen(kOutline, 2));
    for (const auto& layer : side.map->layers) {
        const Layer* other = find_layer(*side.other, layer->unique_id);
        const CellMask mask =
            side.is_a ? changed_cells(layer.get(), other) : changed_cells(other, layer.get());
        // The outline of each region of changed cells: the edges between a changed cell and one that is not.
        for (const CellMask::Cell& changed : mask.cells) {
            const std::int64_t x = changed.x;
            const std::int64_t y = changed.y;
            if (x >= layer->grid_width || y >= layer->grid_height) continue;  // beyond this version's grid
            const auto x1 = static_cast<qreal>(t.cell_x(x, layer->grid_offset_x));
            const auto x2 = static_cast<qreal>(t.cell_x(x + 1, layer->grid_offset_x));
            const auto y1 = static_cast<qreal>(t.cell_y(y, layer->grid_offset_y));
            const auto y2 = static_cast<qreal>(t.cell_y(y + 1, layer->grid_offset_y));
            if (!mask.at(x, y - 1)) painter.drawLine(QPointF(x1, y1), QPointF(x2, y1));
            if (!mask.at(x, y + 1)) painter.drawLine(QPointF(x1, y2), QPointF(x2, y2));
            if (!mask.at(x - 1, y)) painter.drawLine(QPointF(x1, y1), QPointF(x1, y2));
            if (!mask.at(x + 1, y)) painter.drawLine(QPointF(x2, y1), QPointF(x2, y2));
        }
    }
}

}  // namespace

DiffPicture write_diff_picture(Project& a, Project& b, const DiffReport& report, std::uint32_t zoom_percent,
                               const std::string& path) {
    DiffPicture result;
    const std::uint32_t zoom = clamp_zoom(zoom_percent);
    std::vector<std::pair<Side, Side>> rows;
    std::int64_t left_width = 0;
    for (const MapPair& pair : changed_maps(a, b, report)) {
        Side left, right;
        if (pair.a) {
            left = {&a, const_cast<Map*>(pair.a), pair.b, true, map_picture_geometry(a, *pair.a, zoom), 0, 0};
            left_width = std::max(left_width, left.geometry.width);
        }
        if (pair.b)
            right = {&b, const_cast<Map*>(pair.b), pair.a, false, map_picture_geometry(b, *pair.b, zoom), 0,
                     0};
        if (left.geometry.width > 0 || right.geometry.width > 0) rows.emplace_back(left, right);
    }
    if (rows.empty()) {
        result.message = "no map has changes to draw; no picture was written";
        return result;
    }
    std::int64_t width = 0;
    std::int64_t height = 0;
    for (auto& [left, right] : rows) {
        if (height > 0) height += kGap;
        left.y = right.y = height;
        right.x = left_width + kGap;
        width = std::max(width, right.x + right.geometry.width);
        height += std::max(left.geometry.height, right.geometry.height);
    }
    if (!picture_size_allowed(width, height)) {
        result.failed = true;
        result.message = picture_size_refusal(width, height);
        return result;
    }

    Preferences preferences;
    preferences.load(Preferences::settings_file(data_folder()));
    const auto gui = start_gui();
    const BuiltinPictures pictures;
    QImage canvas(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull()) {
        result.failed = true;
        result.message = "not enough memory for the picture";
        return result;
    }
    canvas.fill(Qt::transparent);
    Renderer renderer(pictures);
    for (const auto& [left, right] : rows) {
        if (left.map) draw_side(canvas, renderer, preferences, left, zoom);
        if (right.map) draw_side(canvas, renderer, preferences, right, zoom);
    }
    std::string error;
    if (!write_png_pixels(path, width, height, canvas.constBits(), canvas.bytesPerLine(), PngSettings{},
                          &error)) {
        result.failed = true;
        result.message = "cannot write " + path + ": " + error;
        return result;
    }
    result.written = true;
    return result;
}

}  // namespace zorva::cli
