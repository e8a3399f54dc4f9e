// What a redraw hands to the editing tools and what it asks of them.
//
// A redraw leaves plain data behind (FrameResults: counters, the cursor in layer pixels, the screen
// rectangles of the current layer's entities); the tools read it. The tools in turn answer the
// redraw's questions (what is selected, what is being moved) and draw their overlays through
// RenderOverlay, which is called at fixed points of the redraw.
#pragma once

#include <QImage>
#include <QPainter>
#include <cstdint>
#include <optional>
#include <vector>

#include "render/draw_image.h"
#include "render/render_resources.h"
#include "render/view_geometry.h"

namespace zorva {

class Project;
struct Map;
struct Layer;
struct TileSet;
struct InstanceEntity;
struct PathPoint;

// A rectangle on screen: x, y and its size.
struct ScreenRect {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    // Inclusive of the far edge (x + width, y + height), as the hit test of entities wants it.
    bool contains(ViewPoint p) const { return p.x >= x && p.x <= x + width && p.y >= y && p.y <= y + height; }
};

// One instance entity of the current layer as the last redraw saw it.
struct EntityHit {
    const InstanceEntity* entity = nullptr;
    ScreenRect rect;
    bool under_cursor = false;
    bool selected = false;
};

// The entity the Entities tools last touched; the redraw highlights it while it was touched within the
// last 300 ms and forgets it after that.
struct HoverState {
    static constexpr std::int64_t kHighlightMs = 300;
    const InstanceEntity* entity = nullptr;
    std::int64_t touched_ms = 0;
};

// Plain results of one redraw, reset at its start.
struct FrameResults {
    int entities_under_cursor = 0;
    int selected_entities_under_cursor = 0;
    int paths_under_cursor = 0;
    int path_points_under_cursor = 0;
    int selected_path_points_under_cursor = 0;
    bool cursor_in_view = false;
    std::optional<LayerPixel> cursor_layer_pixel;  // the cursor in the current layer's pixels
    bool current_locked = false;                   // the current layer or its map is locked
    bool current_hidden = false;                   // the current layer is hidden (or has no grid)
    bool layer_content_drawn = false;              // the map's tile set image was there to draw with
    const InstanceEntity* topmost_entity_under_cursor = nullptr;  // the last drawn one
    std::vector<EntityHit> entities;  // the current layer's entities that were drawn, in drawing order
    std::uint64_t tiles_drawn = 0;
    std::uint64_t entities_drawn = 0;

    void reset();
};

// Everything an overlay needs to draw like the redraw does.
struct RenderContext {
    QImage& target;
    QPainter& painter;  // on `target`; aliased, with the default font
    const RenderResources& resources;
    const ViewTransform& transform;
    const DrawOptions& draw_options;
    FrameResults& results;
    Project* project;
    Map* map;
    Layer* current_layer;
    const TileSet* tile_set;
    EditMode mode;
    std::optional<ViewPoint> cursor;
};

class RenderOverlay {
public:
    virtual ~RenderOverlay() = default;

    // Questions of the redraw.
    virtual bool entity_selected(const Layer&, const InstanceEntity&) const { return false; }
    // True for entities and paths taken along by the floating selection while it moves.
    virtual bool entity_hidden(const Layer&, const InstanceEntity&) const { return false; }
    virtual bool path_selected(const Layer&, const PathPoint& /*first point*/) const { return false; }
    virtual bool path_hidden(const Layer&, const PathPoint& /*first point*/) const { return false; }
    // True while points of a path are being edited (the objects-beneath-cursor count then counts points).
    virtual bool editing_path_points() const { return false; }

    // After the current layer's paths (when it is drawn): the extra placement preview of the tiles tools.
    virtual void after_layer(RenderContext&, const Layer&) {}
    // After the grid and the current layer outline: selections, the floating selection, the entity
    // placement preview.
    virtual void tool_overlays(RenderContext&) {}
    // The path editing overlay (points, control points, normals), which counts points under the cursor.
    virtual void path_editing(RenderContext&) {}
    // At the end of the redraw, with its results: the tools may switch tool or cursor shape.
    virtual void under_cursor(const FrameResults&) {}
};

}  // namespace zorva
