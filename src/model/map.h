// Maps: one level each, using one tile set and owning an ordered list of layers.
#pragma once

#include <cstdint>
#include <memory>

#include "base/platform.h"
#include "model/custom_variables.h"
#include "model/fixed_text.h"
#include "model/ids.h"
#include "model/layer.h"
#include "model/object_list.h"

namespace zorva {

class Project;

inline constexpr std::int32_t kMinTileDisplaySize = 8;  // pixel_size_of_tiles_in_tiles_dialog range
inline constexpr std::int32_t kMaxTileDisplaySize = 128;

// Every stored field of a map.
struct MapProperties {
    ObjectId unique_id = kInvalidId;
    std::uint32_t user_supplied_id = 0;
    NameText name;
    ObjectId use_tile_set_id = kInvalidId;
    bool export_this_map = true;
    bool is_locked = false;
    std::int32_t camera_grid_position_x = 0;  // viewport position in cells
    std::int32_t camera_grid_position_y = 0;
    ObjectId selected_layer_id = kInvalidId;  // the layer last selected in this map
    std::uint32_t selected_tile_index = 0;    // tile chosen for painting
    std::uint32_t top_left_tile_index_in_tiles_dialog = 1;
    std::int32_t pixel_size_of_tiles_in_tiles_dialog = -1;
    bool place_tile_horizontal_flip = false;
    bool place_tile_vertical_flip = false;
    bool place_tile_rotate = false;
    std::uint8_t place_tile_attribute = 0;
    std::uint32_t reserved_1 = 0;  // two reserved words of the binary record, copied unchanged
    std::uint32_t reserved_2 = 0;
    TextVariables custom_variables;

    ObjectId id() const { return unique_id; }
};

struct Map : MapProperties {
    ObjectList<Layer> layers;  // ordered, owned

    MapProperties& properties() { return *this; }
    const MapProperties& properties() const { return *this; }

    std::size_t instance_entity_count() const;  // on all layers
    std::size_t path_count() const;             // on all layers
};

// Clamps a loaded pixel_size_of_tiles_in_tiles_dialog into 8 ... 128.
std::int32_t clamp_tile_display_size(std::int32_t size);

// A template for the New Map dialog: the name "Map%02lu" with the counter + 1.
MapProperties make_default_map(const Project& project);

// Adds a copy of `tmpl` with an empty layer list. A new map (not keep-id) with selected_tile_index 0 whose
// tile set has at least one tile starts with 1. Out of memory: "Not enough memory to add a new Map.".
Map* add_map(Project& project, const MapProperties& tmpl, bool keep_id, Platform* platform);
Map* insert_map(Project& project, std::unique_ptr<Map>&& map, int index);
// Unlinks (with `free_it` frees, with its layers); when it was selected the first map becomes selected.
Detached<Map> remove_map(Project& project, const Map* map, bool free_it);
// The one way a map takes new properties: its dialog's OK and the undo and redo of "Map properties". What
// the dialog cannot change keeps its current value: the id, the layer selected in the map, and the tile
// picker's state (top_left_tile_index_in_tiles_dialog, selected_tile_index,
// pixel_size_of_tiles_in_tiles_dialog).
void edit_map(Map& map, const MapProperties& edited);

Map* find_map(const Project& project, ObjectId id, int* index = nullptr);
Map* map_at(const Project& project, long long position);

}  // namespace zorva
