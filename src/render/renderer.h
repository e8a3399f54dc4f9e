// The viewport redraw: paints the current map, back to front, into an offscreen image the size of the
// view: background, every visible layer (background colour and image, tiles, attribute marks, entities,
// paths), origin marker, grid, current layer outline, the tools' overlays, warning frames and the count
// of objects beneath the cursor. The same code draws a whole map as a picture (no decorations, on a
// transparent backdrop), band by band.
#pragma once

#include <QImage>
#include <cstdint>
#include <optional>
#include <vector>

#include "render/draw_image.h"
#include "render/frame_results.h"
#include "render/render_resources.h"
#include "tools/tool_overlay.h"
#include "view/edit_state.h"
#include "view/view_geometry.h"

namespace zorva {

class BuiltinPictures;
struct InstanceEntity;
struct ParentEntity;
class Preferences;
class Project;

enum class FrameKind {
    View,     // what the editor shows: camera clamped and written back, every decoration
    Picture,  // the map alone on a transparent backdrop: no grid, origin, outline, frames, counts, overlays
};

struct RenderRequest {
    Project* project = nullptr;  // the current map and layer are the project's selection
    Map* map = nullptr;  // another map to draw instead of the selected one (its selected layer is current)
    const Preferences* preferences = nullptr;
    ViewSize view;
    std::optional<ViewPoint> cursor;  // in view coordinates
    EditMode mode = EditMode::Tiles;
    std::int64_t now_ms = 0;               // for the hover highlight
    bool main_window_enabled = true;       // false while a modal dialog runs: no objects-beneath-cursor count
    const ToolOverlay* overlay = nullptr;  // what the tools show over the current layer
    FrameKind kind = FrameKind::View;
    // Picture frames: the camera to use instead of the map's (the map is not changed) and the view pixel
    // shown at the target's top-left corner.
    std::optional<CellPosition> camera;
    std::int64_t origin_x = 0;
    std::int64_t origin_y = 0;
};

class Renderer {
public:
    static constexpr int kOffscreenFailureLimit = 20;

    explicit Renderer(const BuiltinPictures& pictures);

    // Paints one frame into the offscreen image (re-created when the view size changes). Returns 0, or
    // kImageFailed when the offscreen image cannot be had (after 20 such redraws in a row
    // take_offscreen_failure() reports it once).
    std::int32_t redraw(const RenderRequest& request);
    const QImage& frame() const { return frame_; }

    // Paints into a caller's image (Format_ARGB32_Premultiplied) whose top-left corner shows view pixel
    // (request.origin_x, request.origin_y); `request.view` is the size of the whole picture.
    void draw(QImage& target, const RenderRequest& request);

    const FrameResults& results() const { return results_; }
    const RenderResources& resources() const { return resources_; }
    // True once after 20 consecutive redraws failed to get an offscreen image.
    bool take_offscreen_failure();

private:
    static constexpr std::int64_t kBandRows = 64;

    struct Frame;
    // The cells of a layer that meet a target of the given size, found by visible_cells().
    struct VisibleCells {
        std::int64_t c_first = 0, c_last = -1, r_first = 0,
                     r_last = -1;                                     // the layer's range (wrap: the view's)
        std::int64_t c_start = 0, c_end = 0, r_start = 0, r_end = 0;  // the visible part, end exclusive
    };
    void draw_layers(Frame& f);
    void draw_tile_group(Frame& f, std::size_t first, std::size_t last);
    bool has_attribute_numbers(Frame& f, const Layer& layer);
    bool visible_cells(Frame& f, const Layer& layer, const ViewTransform& t, std::int64_t width,
                       std::int64_t height);
    void draw_tiles(Frame& f, const Layer& layer, std::uint8_t opacity, QImage& target,
                    const ViewTransform& t, std::int64_t band_top);
    void draw_entities(Frame& f, const Layer& layer, bool is_current, std::uint8_t opacity);
    // One entity whose parent is `parent`, with its top-left at layer pixel (px, py) of `layer`: where it
    // lies on screen, and drawing it there (false when it is too large to draw).
    ScreenRect entity_rect(const Frame& f, const ParentEntity& parent, const InstanceEntity& e, float px,
                           float py, const Layer& layer) const;
    bool draw_entity(Frame& f, const ParentEntity& parent, const InstanceEntity& e, const ScreenRect& rect,
                     std::uint8_t opacity, DrawQueue* queue);
    // The entity tools' overlays: the band, the floating entities and the placement preview.
    void draw_entity_overlays(Frame& f, const Layer& layer);
    void draw_path_overlays(Frame& f, const Layer& layer);
    void draw_entity_labels(Frame& f, const InstanceEntity& entity, const ScreenRect& rect);
    void draw_paths(Frame& f, const Layer& layer, bool is_current);
    void draw_origin_marker(Frame& f);
    void draw_grid(Frame& f, const Layer& layer);
    void draw_warning_frames(Frame& f);
    void draw_beneath_cursor_count(Frame& f);
    // The editing tools' overlays: the tile selection, the floating tiles, the Extra Placement preview.
    void draw_tool_overlays(Frame& f);
    bool extra_placement_preview_shown(const Frame& f) const;
    void draw_extra_placement_preview(Frame& f, const Layer& layer);
    // One cell of an overlay at opacity 255, with its attribute mark when `attributes`.
    void draw_overlay_cell(Frame& f, const GridCell& cell, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                           std::int64_t y1, bool attributes);

    const BuiltinPictures& pictures_;
    RenderResources resources_;
    DrawQueue queue_;
    FrameResults results_;
    QImage frame_;
    int offscreen_failures_ = 0;
    bool offscreen_warning_ = false;
    // Scratch buffers kept between redraws.
    std::vector<std::int64_t> column_edges_;
    std::vector<std::int64_t> row_edges_;
    std::vector<EntityHit> layer_hits_;
    std::vector<const InstanceEntity*> layer_hit_entities_;
    std::vector<Layer*> drawable_;
    VisibleCells visible_;
};

}  // namespace zorva
