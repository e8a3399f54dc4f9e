// The lock rule of every change to a layer, in all three edit modes, and its relatives for tile sets and
// parent entities: a refusal shows its message through the platform seam and changes nothing.
#pragma once

namespace zorva {

class Platform;
struct Map;
struct Layer;
struct TileSet;
struct ParentEntity;

// False (after "The Map is locked." / "Locked", or "The Layer is locked/hidden." / "Locked/Hidden") when
// the map is locked, or the layer is locked or hidden.
bool layer_change_allowed(const Map& map, const Layer& layer, Platform& platform);
// The same for a layer's properties dialog, which a hidden layer still opens.
bool layer_properties_allowed(const Map& map, const Layer& layer, Platform& platform);
// False after "The Map is locked." / "Locked".
bool map_change_allowed(const Map& map, Platform& platform);
// False after "The Tile Set is locked." / "Locked".
bool tile_set_change_allowed(const TileSet& tile_set, Platform& platform);
// False after "The Entity is locked." / "Locked".
bool parent_entity_change_allowed(const ParentEntity& entity, Platform& platform);

}  // namespace zorva
