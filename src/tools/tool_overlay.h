// What the editing tools show over the map, as plain data the renderer draws: rectangles, cells and object
// ids, never pointers into the project (an undo may free any object at any time).
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "model/entity.h"
#include "model/grid_cell.h"
#include "model/ids.h"
#include "model/path.h"
#include "tools/cell_rect.h"
#include "view/view_geometry.h"

namespace zorva {

// A sorted set of object ids (entities by their uid, paths by the uid of their first point).
class IdSet {
public:
    bool empty() const { return ids_.empty(); }
    std::size_t size() const { return ids_.size(); }
    bool contains(ObjectId id) const { return std::binary_search(ids_.begin(), ids_.end(), id); }
    void insert(ObjectId id) {
        auto at = std::lower_bound(ids_.begin(), ids_.end(), id);
        if (at == ids_.end() || *at != id) ids_.insert(at, id);
    }
    void clear() { ids_.clear(); }
    // Replaces the set at once (sorted here): cheaper than inserting one id at a time.
    void assign(std::vector<ObjectId> ids) {
        std::sort(ids.begin(), ids.end());
        ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
        ids_ = std::move(ids);
    }
    const std::vector<ObjectId>& ids() const { return ids_; }

private:
    std::vector<ObjectId> ids_;
};

// Floating tiles following the cursor (a paste, a mosaic or a move), drawn over the current layer.
struct FloatingTilesOverlay {
    std::uint64_t serial = 0;        // the float the cells were copied from
    std::optional<CellPosition> at;  // the block's top-left cell; none while the cursor's cell is unknown
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<GridCell> cells;  // width × height, row by row
};

// The Extra Placement band being dragged: every cell of `rect` shows the tile it will get, the brush tile
// offset by the cell's distance from `pressed` in the tile set's grid of tiles, with the brush's flags.
struct ExtraPlacementOverlay {
    CellRect rect;
    CellPosition pressed;
    std::uint32_t brush_tile = 0;
    std::uint32_t flags = 0;  // flips, rotation and attribute, as in a grid cell
};

// A rectangle of layer pixels: the entities' rubber band while it is dragged (corners in any order).
struct PixelBandOverlay {
    LayerPixel start;
    LayerPixel end;
};

// Entities following the cursor (a move or a paste): copies of the floating entities at the places they
// had, and where their box's top-left corner is now. Each is drawn where a drop would put it.
struct FloatingEntitiesOverlay {
    std::uint64_t serial = 0;  // the float the copies were taken from
    std::vector<InstanceEntity> entities;
    double box_left = 0.0;  // the box as it was
    double box_top = 0.0;
    std::int32_t box_width = 0;
    std::int32_t box_height = 0;
    std::optional<std::pair<double, double>> at;  // the box's top-left now; none while it is unknown
};

// The Path being drawn or edited: a copy of the working list, whose points carry the editor's selection
// bits (kPathPointSelected and the control points' bits of the path tools).
struct PathEditOverlay {
    std::vector<PathPoint> points;
    bool point_editing = false;            // points, control points and their handles are shown
    std::optional<ViewPoint> insert_mark;  // where a click would insert a point (a small cross)
};

// Paths following the cursor (a move or a paste): copies of the whole Paths as they were, and the shift a
// drop would give them now (none while it is unknown).
struct FloatingPathsOverlay {
    std::vector<PathPoint> points;
    std::optional<std::pair<double, double>> shift;
};

struct ToolOverlay {
    // The TileSelection of the current layer, or the band being dragged.
    std::optional<CellRect> tile_selection;
    std::optional<FloatingTilesOverlay> floating_tiles;
    std::optional<ExtraPlacementOverlay> extra_placement;
    // Entities and paths of the current layer drawn as selected, and those lifted by a move in progress
    // (the floating selection draws them instead).
    IdSet selected_entities;
    IdSet hidden_entities;
    IdSet selected_paths;
    IdSet hidden_paths;
    // The entity the entity tools last touched and when (milliseconds of the redraw clock); the redraw
    // highlights it for 300 ms.
    ObjectId hovered_entity = kInvalidId;
    std::int64_t hovered_ms = 0;
    static constexpr std::int64_t kHighlightMs = 300;
    // EditMode Entities: the band, the floating entities and the Placement tool's preview (the brush's
    // parent entity at the cursor with the brush's flips and rotation).
    std::optional<PixelBandOverlay> entity_band;
    std::optional<FloatingEntitiesOverlay> floating_entities;
    std::optional<InstanceEntity> entity_preview;
    // Points of a path are being drawn or edited: the objects-beneath-cursor count counts points.
    bool editing_path_points = false;
    std::optional<PathEditOverlay> path_edit;
    std::optional<FloatingPathsOverlay> floating_paths;
    // EditMode Paths: the rubber band in view pixels.
    std::optional<std::pair<ViewPoint, ViewPoint>> path_band;

    bool hover_shown(std::int64_t now_ms) const {
        return hovered_entity != kInvalidId && now_ms - hovered_ms <= kHighlightMs;
    }
};

}  // namespace zorva
