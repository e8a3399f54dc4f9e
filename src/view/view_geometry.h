// Where things of a map appear in the viewport: zoom factor, tile size of the view, screen positions
// of cells and of layer pixels, and the camera limits. Qt-free, shared by the renderer, the view
// navigation and the editing tools.
#pragma once

#include <cstdint>

namespace zorva {

class Project;
struct Map;
struct Layer;
struct TileSet;

// A position in the viewport, in pixels from its top-left corner.
struct ViewPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const ViewPoint&, const ViewPoint&) = default;
};

struct ViewSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// A cell of a layer (column and row may lie outside its grid).
struct CellPosition {
    std::int32_t column = 0;
    std::int32_t row = 0;
    friend bool operator==(const CellPosition&, const CellPosition&) = default;
};

// A position in a layer's pixel space (origin at the layer's top-left corner).
struct LayerPixel {
    float x = 0.0f;
    float y = 0.0f;
};

inline constexpr std::int32_t kDefaultViewTileSize = 32;

// z = percent × 0.01 in single precision, the percent clamped into 1..800 first.
float zoom_factor(std::uint32_t percent);

struct TileSizePx {
    std::int32_t width = kDefaultViewTileSize;
    std::int32_t height = kDefaultViewTileSize;
};

// The map's tile set, or null (no map, no tile set, or an id that matches none).
TileSet* view_tile_set(const Project& project, const Map* map);
// The tile size of the view: that of the map's tile set, 32 × 32 without one (or for a tile set whose
// tile size is not positive).
TileSizePx view_tile_size(const Project& project, const Map* map);

// Rounds to the nearest integer, halves away from zero.
std::int64_t round_half_away(double value);

// The mapping of one redraw from map cells and layer pixels to the screen.
struct ViewTransform {
    float z = 1.0f;
    std::int32_t tile_width = kDefaultViewTileSize;
    std::int32_t tile_height = kDefaultViewTileSize;
    std::int32_t camera_column = 0;
    std::int32_t camera_row = 0;
    // Subtracted from every screen position: lets a large picture be drawn in bands.
    std::int64_t origin_x = 0;
    std::int64_t origin_y = 0;

    // Screen x of the left edge of `column` of a layer at grid offset `grid_offset_x`:
    // trunc((column + offset - camera) × tile width × z). The right edge is cell_x(column + 1, ...).
    std::int64_t cell_x(std::int64_t column, std::int32_t grid_offset_x) const;
    std::int64_t cell_y(std::int64_t row, std::int32_t grid_offset_y) const;
    // Screen position of a layer pixel: nearest(z × px + z × (offset - camera) × tile width).
    std::int64_t point_x(float px, std::int32_t grid_offset_x) const;
    std::int64_t point_y(float py, std::int32_t grid_offset_y) const;
    // A length in layer pixels on screen, rounded.
    std::int64_t length(double pixels) const { return round_half_away(pixels * static_cast<double>(z)); }
    float scaled_tile_width() const { return static_cast<float>(tile_width) * z; }
    float scaled_tile_height() const { return static_cast<float>(tile_height) * z; }
};

// The camera's allowed range over a map's layers: [smallest offset - 10000, largest far edge + 9999],
// an upper limit below 0 becoming 0.
struct CameraLimits {
    std::int64_t min_column = -10000;
    std::int64_t max_column = 9999;
    std::int64_t min_row = -10000;
    std::int64_t max_row = 9999;
};
CameraLimits camera_limits(const Map& map);
// Clamps the map's camera into its limits; true when it changed.
bool clamp_camera(Map& map);

// The union of a map's layer grids with their offsets, in cells: columns [left, right), rows [top, bottom).
// Empty (all 0) for a map without layers.
struct MapExtent {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
};
MapExtent map_extent(const Map& map);

}  // namespace zorva
