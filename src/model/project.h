// The Project: the root of the document. It owns every tile set, parent entity and map, the six id
// counters, the current selection, a few project-wide settings and the custom-variable descriptions.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/custom_variables.h"
#include "model/entity.h"
#include "model/fixed_text.h"
#include "model/ids.h"
#include "model/layer.h"
#include "model/map.h"
#include "model/object_list.h"
#include "model/tile_set.h"

namespace zorva {

inline constexpr std::uint32_t kProjectVersion = 118;
inline constexpr std::uint32_t kMinZoom = 1;
inline constexpr std::uint32_t kMaxZoom = 800;

class Project {
public:
    Project();
    Project(const Project&) = delete;
    Project& operator=(const Project&) = delete;
    Project(Project&&) = default;
    Project& operator=(Project&&) = default;
    ~Project();

    PathText path_and_file_name{"Noname"};
    bool modified = false;
    std::uint32_t version = kProjectVersion;

    // Id counters and overflow flags, one per ObjectKind.
    ObjectId next_tile_set_id = 0;
    ObjectId next_map_id = 0;
    ObjectId next_layer_id = 0;
    ObjectId next_parent_entity_id = 0;
    ObjectId next_instance_entity_id = 0;  // `next_instance_entity_Id` in files
    ObjectId next_path_point_id = 0;
    bool did_tile_set_id_overflow = false;
    bool did_map_id_overflow = false;
    bool did_layer_id_overflow = false;
    bool did_parent_entity_id_overflow = false;
    bool did_instance_entity_id_overflow = false;
    bool did_path_point_id_overflow = false;

    ObjectId& next_id(ObjectKind kind);
    ObjectId next_id(ObjectKind kind) const;
    bool& did_id_overflow(ObjectKind kind);
    bool did_id_overflow(ObjectKind kind) const;

    std::uint32_t zoom = 100;  // percent
    bool use_export_dll_in_exporters_folder = true;
    std::uint32_t reserved_flags = 0;  // bits 7 and 8 of the binary header's flag word, kept as read
    std::uint32_t default_entity_trigger_radius = 16;
    std::uint32_t default_entity_trigger_width = 16;
    std::uint32_t default_entity_trigger_height = 16;
    PathText last_used_exporter_dll_file_name;
    PathText last_used_export_output_path_and_file_name;
    PathText last_used_exporter_dll_path_and_file_name_not_in_exporters_folder;
    PathText last_used_image_tile_set_path;
    PathText last_used_image_parent_entity_path;
    PathText last_used_image_layer_background_path;

    ObjectList<TileSet> tile_sets;
    ObjectList<ParentEntity> parent_entities;
    ObjectList<Map> maps;

    // The entity brush's placement flags, set by the Entities window's H, V and R buttons and given to
    // placed instance entities. Editor state: not saved.
    struct EntityBrushFlags {
        bool flip_horizontal = false;
        bool flip_vertical = false;
        bool rotate = false;
    } entity_brush;

    // One table of 100 descriptions per ObjectKind.
    std::array<DescriptionTable, kObjectKindCount> descriptions;
    DescriptionTable& descriptions_for(ObjectKind kind) { return descriptions[static_cast<int>(kind)]; }
    const DescriptionTable& descriptions_for(ObjectKind kind) const {
        return descriptions[static_cast<int>(kind)];
    }

    // Selection. Ids are kept, so a removed object is simply no longer found; the selected layer is
    // always looked up in the selected map.
    TileSet* selected_tile_set() const;
    Map* selected_map() const;
    Layer* selected_layer() const;
    ParentEntity* selected_parent_entity() const;
    // The ids of the selected objects (0xFFFFFFFF for none).
    ObjectId selected_tile_set_id() const;
    ObjectId selected_map_id() const;
    ObjectId selected_layer_id() const;
    ObjectId selected_parent_entity_id() const;

    // Each select names an object by id; an id that matches nothing selects nothing. Returns the object.
    TileSet* select_tile_set(ObjectId id);
    ParentEntity* select_parent_entity(ObjectId id);
    // Selects the map and, as its selected layer, the layer named by its selected_layer_id (if it exists).
    Map* select_map(ObjectId id);
    // Selects a layer of the selected map and records it as the map's selected_layer_id.
    Layer* select_layer(ObjectId id);
    // The readers' last step: selects by the stored ids without touching the maps' own fields; the layer
    // is looked up in the selected map only.
    void resolve_selection(ObjectId tile_set_id, ObjectId map_id, ObjectId layer_id,
                           ObjectId parent_entity_id);

private:
    ObjectId selected_tile_set_id_ = kInvalidId;
    ObjectId selected_map_id_ = kInvalidId;
    ObjectId selected_layer_id_ = kInvalidId;
    ObjectId selected_parent_entity_id_ = kInvalidId;
};

// "Zorva: " + path and file name, + " *" when modified.
std::string project_title(const Project& project);

// Clamps applied by the readers: zoom into 1 ... 800, trigger sizes to at least 4.
std::uint32_t clamp_zoom(std::uint32_t zoom);
std::uint32_t clamp_trigger_size(std::uint32_t size);

}  // namespace zorva
