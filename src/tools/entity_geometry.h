// What an instance entity covers on its layer and on screen: its box (the trigger's square or rectangle, or
// one frame of its parent's picture, width and height exchanged when it is rotated), the hit tests of the
// eraser (layer pixels), the rubber band (a rectangle of layer pixels) and the pick (view pixels), and the
// rounding and snapping of moved and placed positions. Entities whose parent entity is gone have no box.
#pragma once

#include <cstdint>
#include <optional>

#include "model/entity.h"
#include "view/view_geometry.h"

namespace zorva {

class Project;

// An entity's box in layer pixels. Circle triggers also hit-test as the disc inside their square.
struct EntityBox {
    double x = 0.0;  // the top-left corner: the entity's position
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;
    bool circle = false;
    double radius = 0.0;  // circles only

    double right() const { return x + width; }
    double bottom() const { return y + height; }
};

// The box of `entity` whose parent entity is `parent`.
EntityBox entity_box(const ParentEntityProperties& parent, const InstanceEntity& entity);

// Finds parent entities by id, remembering the last one found (entities of one kind tend to follow each
// other in a layer's list).
class ParentFinder {
public:
    explicit ParentFinder(const Project& project) : project_(project) {}
    const ParentEntity* find(ObjectId id);
    // The entity's box, or none when its parent entity no longer exists.
    std::optional<EntityBox> box(const InstanceEntity& entity);

private:
    const Project& project_;
    const ParentEntity* last_ = nullptr;
};

// The eraser's test at a layer pixel: a circle when the pixel lies in [x, x + 2r) × [y, y + 2r) and its
// distance to the centre, truncated, is not above r; any other box when x <= px < x + width and
// y <= py < y + height.
bool box_holds_pixel(const EntityBox& box, LayerPixel pixel);

// A rectangle of layer pixels with ordered corners (left <= right, top <= bottom).
struct PixelRect {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
    // The rectangle spanning two corners given in any order.
    static PixelRect spanning(LayerPixel a, LayerPixel b);
};

// The rubber band's test: a circle when the band meets its disc; any other box when band right >= x, band
// left < x + width, band bottom >= y and band top < y + height, x and y truncated to whole pixels.
bool box_meets_band(const EntityBox& box, const PixelRect& band);

// The pick's test in view pixels, at the transform's zoom: a circle when the point is not farther from
// the scaled centre than the scaled radius; any other box inclusive of its last pixel.
bool box_holds_view_point(const EntityBox& box, const ViewTransform& transform, std::int32_t grid_offset_x,
                          std::int32_t grid_offset_y, ViewPoint point);

// A layer pixel position rounded to the nearest whole pixel, halves away from zero. Positions too large to
// carry a fraction, and those that are not finite, are kept as they are.
float round_position(double value);

// The top-left corner of the tile under `value` (the floor of the position in tiles, times the tile size).
double snap_down(double value, std::int32_t tile_size);

// Where an entity of a moved or pasted group lands: it keeps its offset from the group's box, whose left
// (or top) edge moved from `box_from` to `box_to`, and is rounded to a whole pixel.
inline float moved_position(float position, double box_from, double box_to) {
    return round_position(box_to + (static_cast<double>(position) - box_from));
}

}  // namespace zorva
