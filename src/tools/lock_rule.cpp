#include "tools/lock_rule.h"

#include "base/platform.h"
#include "model/entity.h"
#include "model/layer.h"
#include "model/map.h"
#include "model/tile_set.h"

namespace zorva {

namespace {

bool refuse(Platform& platform, const char* text, const char* caption) {
    platform.message_box(text, caption, MessageButtons::Ok, MessageIcon::Information, Answer::Ok);
    return false;
}

}  // namespace

bool layer_change_allowed(const Map& map, const Layer& layer, Platform& platform) {
    if (!map_change_allowed(map, platform)) return false;
    if (layer.is_locked || !layer.is_visible)
        return refuse(platform, "The Layer is locked/hidden.", "Locked/Hidden");
    return true;
}

bool layer_properties_allowed(const Map& map, const Layer& layer, Platform& platform) {
    if (!map_change_allowed(map, platform)) return false;
    if (layer.is_locked) return refuse(platform, "The Layer is locked/hidden.", "Locked/Hidden");
    return true;
}

bool map_change_allowed(const Map& map, Platform& platform) {
    if (map.is_locked) return refuse(platform, "The Map is locked.", "Locked");
    return true;
}

bool tile_set_change_allowed(const TileSet& tile_set, Platform& platform) {
    if (tile_set.is_locked) return refuse(platform, "The Tile Set is locked.", "Locked");
    return true;
}

bool parent_entity_change_allowed(const ParentEntity& entity, Platform& platform) {
    if (entity.is_locked) return refuse(platform, "The Entity is locked.", "Locked");
    return true;
}

}  // namespace zorva
