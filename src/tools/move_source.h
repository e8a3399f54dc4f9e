// What a tile move lifted: a copy of the selected cells with where they came from. The hole the move
// leaves is written straight into the layer (no record) and the source is put back before the drop's
// stroke, so the drop's one record holds the layer as it was before the move began.
#pragma once

#include "model/ids.h"
#include "tools/tile_block.h"

namespace zorva {

struct MoveSource {
    TileBlock tiles;
    CellPosition start;  // top-left cell of the source rectangle
    ObjectId map_id = kInvalidId;
    ObjectId layer_id = kInvalidId;
    bool lifted = false;  // the hole is in the layer now (a move without keep-source is under way)

    CellRect rect() const { return CellRect::sized(start, tiles.width, tiles.height); }
    void clear() { *this = MoveSource{}; }
};

}  // namespace zorva
