// Tiles drawn for the tool windows and the system clipboard: one cell of a tile set stretched into a
// rectangle with its flips and rotation, a block of cells at the tile size, and a model picture as a
// QImage.
#pragma once

#include <QImage>
#include <QRect>

#include "model/grid_cell.h"

namespace zorva {

struct Image;
struct TileSet;
struct TileBlock;

// Draws the tile of `cell` (nothing for tile 0 or a tile the set does not have) into `rect` of `target`
// (Format_ARGB32_Premultiplied), with the cell's flips and rotation.
void draw_tile(QImage& target, const TileSet& tile_set, const GridCell& cell, const QRect& rect);

// A copy of `image` (empty when it is).
QImage to_qimage(const Image& image);

// The block at the tile set's tile size on transparency; a null image when the tile set has no picture or
// the picture would exceed `max_pixels`.
QImage block_picture(const TileSet& tile_set, const TileBlock& block, qint64 max_pixels);

}  // namespace zorva
