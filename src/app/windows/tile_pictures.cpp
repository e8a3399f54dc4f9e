#include "app/windows/tile_pictures.h"

#include "model/tile_set.h"
#include "render/draw_image.h"
#include "tools/tile_block.h"

namespace zorva {

void draw_tile(QImage& target, const TileSet& tile_set, const GridCell& cell, const QRect& rect) {
    if (cell.tile == 0 || tile_set.image.empty() || rect.isEmpty()) return;
    const TileCount tiles = count_tiles(tile_set);
    if (cell.tile > tiles.count) return;
    PixelPosition at;
    if (!tile_position(tile_set, cell.tile, at)) return;
    DrawRegion r;
    r.x = rect.x();
    r.y = rect.y();
    r.rotate = cell.rotate();
    r.flip_horizontal = cell.flip_horizontal();
    r.flip_vertical = cell.flip_vertical();
    r.width = r.rotate ? rect.height() : rect.width();
    r.height = r.rotate ? rect.width() : rect.height();
    r.source_x = at.x;
    r.source_y = at.y;
    r.source_width = r.rotate ? tile_set.single_tile_pixel_height : tile_set.single_tile_pixel_width;
    r.source_height = r.rotate ? tile_set.single_tile_pixel_width : tile_set.single_tile_pixel_height;
    draw_image_region(target, tile_set.image, r, DrawOptions{});
}

QImage to_qimage(const Image& image) {
    if (image.empty() || image.width <= 0 || image.height <= 0) return {};
    return QImage(image.pixels(), image.width, image.height, image.stride,
                  QImage::Format_ARGB32_Premultiplied)
        .copy();
}

QImage block_picture(const TileSet& tile_set, const TileBlock& block, qint64 max_pixels) {
    const qint64 w = qint64{block.width} * tile_set.single_tile_pixel_width;
    const qint64 h = qint64{block.height} * tile_set.single_tile_pixel_height;
    if (block.empty() || tile_set.image.empty() || w <= 0 || h <= 0 || w * h > max_pixels) return {};
    QImage picture(static_cast<int>(w), static_cast<int>(h), QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) return {};
    picture.fill(Qt::transparent);
    for (int j = 0; j < block.height; ++j)
        for (int i = 0; i < block.width; ++i)
            draw_tile(picture, tile_set, block.at(i, j),
                      QRect(i * tile_set.single_tile_pixel_width, j * tile_set.single_tile_pixel_height,
                            tile_set.single_tile_pixel_width, tile_set.single_tile_pixel_height));
    return picture;
}

}  // namespace zorva
