#include "tools/entity_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/project.h"

namespace zorva {

EntityBox entity_box(const ParentEntityProperties& parent, const InstanceEntity& entity) {
    EntityBox box;
    box.x = entity.px;
    box.y = entity.py;
    if (parent.is_trigger && parent.trigger_is_a_circle) {
        box.circle = true;
        box.radius = static_cast<double>(entity.tcr);
        box.width = box.height = 2.0 * box.radius;
        return box;
    }
    if (parent.is_trigger) {
        box.width = static_cast<double>(entity.trw);
        box.height = static_cast<double>(entity.trh);
    } else {
        box.width = static_cast<double>(parent.single_frame_pixel_width);
        box.height = static_cast<double>(parent.single_frame_pixel_height);
    }
    if (entity.ro) std::swap(box.width, box.height);
    return box;
}

const ParentEntity* ParentFinder::find(ObjectId id) {
    if (last_ && last_->unique_id == id) return last_;
    const ParentEntity* found = find_parent_entity(project_, id);
    if (found) last_ = found;
    return found;
}

std::optional<EntityBox> ParentFinder::box(const InstanceEntity& entity) {
    const ParentEntity* parent = find(entity.pid);
    if (!parent) return std::nullopt;
    return entity_box(*parent, entity);
}

bool box_holds_pixel(const EntityBox& box, LayerPixel pixel) {
    const double px = pixel.x, py = pixel.y;
    if (!(px >= box.x && px < box.right() && py >= box.y && py < box.bottom())) return false;
    if (!box.circle) return true;
    const double dx = px - (box.x + box.radius);
    const double dy = py - (box.y + box.radius);
    return std::trunc(std::sqrt(dx * dx + dy * dy)) <= box.radius;
}

PixelRect PixelRect::spanning(LayerPixel a, LayerPixel b) {
    return {std::min<double>(a.x, b.x), std::min<double>(a.y, b.y), std::max<double>(a.x, b.x),
            std::max<double>(a.y, b.y)};
}

bool box_meets_band(const EntityBox& box, const PixelRect& band) {
    if (box.circle) {
        // The point of the band nearest to the disc's centre lies in the disc (edges included).
        const double cx = box.x + box.radius;
        const double cy = box.y + box.radius;
        const double dx = cx - std::clamp(cx, band.left, band.right);
        const double dy = cy - std::clamp(cy, band.top, band.bottom);
        return dx * dx + dy * dy <= box.radius * box.radius;
    }
    const double x = std::trunc(box.x);
    const double y = std::trunc(box.y);
    return band.right >= x && band.left < x + box.width && band.bottom >= y && band.top < y + box.height;
}

bool box_holds_view_point(const EntityBox& box, const ViewTransform& transform, std::int32_t grid_offset_x,
                          std::int32_t grid_offset_y, ViewPoint point) {
    const double x = static_cast<double>(transform.point_x(static_cast<float>(box.x), grid_offset_x));
    const double y = static_cast<double>(transform.point_y(static_cast<float>(box.y), grid_offset_y));
    const double z = transform.z;
    if (box.circle) {
        const double r = box.radius * z;
        const double dx = point.x - (x + r);
        const double dy = point.y - (y + r);
        return dx * dx + dy * dy <= r * r;
    }
    const double w = static_cast<double>(transform.length(box.width));
    const double h = static_cast<double>(transform.length(box.height));
    return point.x >= x && point.x <= x + w && point.y >= y && point.y <= y + h;
}

float round_position(double value) {
    // Above 2^23 a float holds no fraction; rounding there could only lose the value.
    constexpr double kWhole = 8388608.0;
    constexpr double kLargest = std::numeric_limits<float>::max();
    if (!std::isfinite(value)) return static_cast<float>(value);
    if (std::abs(value) >= kWhole) return static_cast<float>(std::clamp(value, -kLargest, kLargest));
    return static_cast<float>(std::round(value));
}

double snap_down(double value, std::int32_t tile_size) {
    if (tile_size <= 0 || !std::isfinite(value)) return value;
    return std::floor(value / tile_size) * tile_size;
}

}  // namespace zorva
