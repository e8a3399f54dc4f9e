// What every editing tool works with: the open project, the undo histories, the preferences, the platform
// seam for messages, the edit mode and tool, a clock, and the view navigator that turns view points into
// cells. The project is a pointer because opening a project replaces it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "view/view_geometry.h"

namespace zorva {

class Project;
class UndoHistories;
class Preferences;
class Platform;
class EditState;
class ViewNavigator;
struct Map;
struct Layer;
struct TileSet;

struct EditingContext {
    using Clock = std::function<std::int64_t()>;  // milliseconds, monotonic

    Project* project = nullptr;
    UndoHistories& histories;
    Preferences& preferences;
    Platform& platform;
    EditState& edit_state;
    Clock clock;
    // Cells under view points and the view size (for clamping, scrolling and centring). May be null in
    // tests that hand every cell in.
    const ViewNavigator* navigator = nullptr;

    std::int64_t now() const { return clock ? clock() : 0; }
    // The selected map and its selected layer, and the map's tile set (each null when missing).
    Map* map() const;
    Layer* layer() const;
    TileSet* tile_set() const;
    // The current layer with a complete grid on a map with a tile set: what every tile operation needs.
    // Null otherwise (the operation is then skipped without a message).
    Layer* tile_layer() const;
    // The view size (0 × 0 without a navigator) and whether a point lies in the view (always without one).
    ViewSize view_size() const;
    bool in_view(ViewPoint point) const;
    // The cell of the current layer under a view point, through the navigator.
    std::optional<CellPosition> cell_at(ViewPoint point) const;
    // The same point in the current layer's pixels.
    std::optional<LayerPixel> pixel_at(ViewPoint point) const;
    // Where the current map is drawn now: zoom, tile size and camera (none without a map).
    std::optional<ViewTransform> view_transform() const;
};

}  // namespace zorva
