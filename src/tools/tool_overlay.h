// What the editing tools show over the map, as plain data the renderer draws: rectangles, cells and object
// ids, never pointers into the project (an undo may free any object at any time).
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/ids.h"

namespace zorva {

// A rectangle of cells of the current layer, both corners inclusive.
struct CellRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

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
    const std::vector<ObjectId>& ids() const { return ids_; }

private:
    std::vector<ObjectId> ids_;
};

struct ToolOverlay {
    // The TileSelection of the current layer.
    std::optional<CellRect> tile_selection;
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
    // Points of a path are being drawn or edited: the objects-beneath-cursor count counts points.
    bool editing_path_points = false;

    bool hover_shown(std::int64_t now_ms) const {
        return hovered_entity != kInvalidId && now_ms - hovered_ms <= kHighlightMs;
    }
};

}  // namespace zorva
