// The editor's own clipboard, one for the whole application: tiles copied from a layer, or copies of
// instance entities or path points. It outlives edits and edit mode changes; a new copy, a new or opened
// project and an import empty it.
#pragma once

#include <vector>

#include "model/entity.h"
#include "model/path.h"
#include "tools/tile_block.h"

namespace zorva {

enum class ClipKind { None, Tiles, Entities, Paths };

struct Clipboard {
    ClipKind kind = ClipKind::None;
    // Tiles: the block with the id of the tile set of the map it came from, and the top-left cell of the
    // rectangle it was copied from.
    TileBlock tiles;
    CellPosition start;
    // Entities and paths: the layer's whole list with the selection state of the moment of copying.
    std::vector<InstanceEntity> entities;
    std::vector<PathPoint> path_points;

    void clear() { *this = Clipboard{}; }
};

}  // namespace zorva
