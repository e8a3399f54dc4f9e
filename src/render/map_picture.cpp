#include "render/map_picture.h"

#include <QImage>
#include <cstdio>

#include "model/project.h"
#include "render/renderer.h"

namespace zorva {

bool picture_size_allowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

std::string picture_size_refusal(std::int64_t width, std::int64_t height) {
    char text[256];
    std::snprintf(
        text, sizeof text,
        "The picture would be %lld x %lld pixels; at most %lld pixels a side and %lld pixels in all "
        "can be drawn. Choose a smaller zoom or size.",
        static_cast<long long>(width), static_cast<long long>(height),
        static_cast<long long>(kMaxPictureSide), static_cast<long long>(kMaxPicturePixels));
    return text;
}

PictureGeometry map_picture_geometry(const Project& project, const Map& map, std::uint32_t zoom_percent) {
    PictureGeometry geometry;
    const MapExtent extent = map_extent(map);
    if (extent.empty()) return geometry;
    ViewTransform t;
    t.z = zoom_factor(zoom_percent);
    const TileSizePx tile = view_tile_size(project, &map);
    t.tile_width = tile.width;
    t.tile_height = tile.height;
    t.camera_column = static_cast<std::int32_t>(extent.left);
    t.camera_row = static_cast<std::int32_t>(extent.top);
    geometry.camera = {t.camera_column, t.camera_row};
    geometry.width = t.cell_x(extent.right, 0);
    geometry.height = t.cell_y(extent.bottom, 0);
    return geometry;
}

PictureResult write_map_picture(Project& project, Map& map, const Preferences& preferences,
                                const BuiltinPictures& pictures, const PictureOptions& options,
                                std::string_view path) {
    PictureResult result;
    const std::uint32_t zoom = clamp_zoom(options.zoom_percent);
    const PictureGeometry geometry = map_picture_geometry(project, map, zoom);
    result.width = geometry.width;
    result.height = geometry.height;
    if (geometry.width <= 0 || geometry.height <= 0) {
        result.message = "The map has nothing to draw.";
        return result;
    }
    if (!picture_size_allowed(geometry.width, geometry.height)) {
        result.message = picture_size_refusal(geometry.width, geometry.height);
        return result;
    }

    const std::uint32_t saved_zoom = project.zoom;
    project.zoom = zoom;
    Renderer renderer(pictures);
    RenderRequest request;
    request.project = &project;
    request.map = &map;
    request.preferences = &preferences;
    request.view = {static_cast<std::int32_t>(geometry.width), static_cast<std::int32_t>(geometry.height)};
    request.kind = FrameKind::Picture;
    request.camera = geometry.camera;

    const PngRowSource source = [&](std::int64_t first_row, std::int64_t count, std::uint32_t* rows,
                                    std::int64_t stride) {
        // The band's pixels are drawn in place, wrapped as an image.
        QImage band(reinterpret_cast<uchar*>(rows), static_cast<int>(geometry.width), static_cast<int>(count),
                    static_cast<qsizetype>(stride), QImage::Format_ARGB32_Premultiplied);
        if (band.isNull()) return false;
        request.origin_y = first_row;
        renderer.draw(band, request);
        return true;
    };
    std::string error;
    result.ok =
        write_png(path, geometry.width, geometry.height, options.band_rows, source, options.png, &error);
    project.zoom = saved_zoom;
    if (!result.ok) result.message = error;
    return result;
}

}  // namespace zorva
