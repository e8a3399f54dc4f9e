// Parent entities (entity types with an image of animation frames and an optional trigger) and instance
// entities (placements of a parent entity on a layer).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "base/platform.h"
#include "image/image.h"
#include "model/custom_variables.h"
#include "model/fixed_text.h"
#include "model/ids.h"
#include "model/object_list.h"
#include "model/project_defaults.h"
#include "model/tile_set.h"

namespace zorva {

class Project;
struct Layer;

inline constexpr std::uint32_t kMinimumTriggerSize = 4;

// Every stored field of a parent entity.
struct ParentEntityProperties {
    ObjectId unique_id = kInvalidId;
    std::uint32_t user_supplied_id = 0;
    NameText name;
    bool is_locked = false;
    bool is_trigger = false;
    bool trigger_is_a_circle = false;
    bool use_transparent_colour = false;
    std::uint32_t transparent_colour = 0;  // red + green * 256 + blue * 65536
    std::uint32_t pixel_width = 32;        // size of the whole image; taken from the image when it loads
    std::uint32_t pixel_height = 32;
    PathText image_path_and_file_name;
    std::uint32_t default_circle_trigger_radius = 16;
    std::uint32_t default_rectangle_trigger_width = 16;
    std::uint32_t default_rectangle_trigger_height = 16;
    std::int32_t single_frame_pixel_width = 32;
    std::int32_t single_frame_pixel_height = 32;
    std::int32_t first_frame_offset_pixel_x = 0;
    std::int32_t first_frame_offset_pixel_y = 0;
    std::int32_t space_between_frames_pixel_x = 0;
    std::int32_t space_between_frames_pixel_y = 0;
    std::int32_t preview_anima_frame = 0;  // 0-based frame shown in the viewport and lists
    TextVariables custom_variables;

    ObjectId id() const { return unique_id; }
};

struct ParentEntity : ParentEntityProperties {
    Image image;  // loaded on add and edit; empty when loading failed

    ParentEntityProperties& properties() { return *this; }
    const ParentEntityProperties& properties() const { return *this; }
};

// Frames of a parent entity, counted from `pixel_width` x `pixel_height` (with or without a loaded image).
TileCount count_frames(const ParentEntityProperties& entity);
// Top-left pixel of 0-based `frame`; false when there are no frames across.
bool frame_position(const ParentEntityProperties& entity, std::uint32_t frame, PixelPosition& position);

// After loading: trigger defaults below 4 become 4; a negative preview frame becomes 0; one not below the
// frame count becomes count - 1 (0 without frames).
void sanitise_parent_entity(ParentEntityProperties& entity);

// A template for the New Entity dialog: the name "Entity%02lu" with the counter + 1, the frame geometry
// and transparency from `defaults`, the trigger defaults from the project.
ParentEntityProperties make_default_parent_entity(const Project& project, const ProjectDefaults& defaults);
// Confirming the dialog for a new entity writes its frame geometry and transparency back.
void store_parent_entity_defaults(ProjectDefaults& defaults, const ParentEntityProperties& entity);

// Adds a copy of `tmpl`; loads its image quietly with its transparency; a loaded image sets pixel_width and
// pixel_height. Out of memory: "Not enough memory to add a new parent Entity." and null.
ParentEntity* add_parent_entity(Project& project, const ParentEntityProperties& tmpl, bool keep_id,
                                Platform* platform);
ParentEntity* insert_parent_entity(Project& project, std::unique_ptr<ParentEntity>&& entity, int index);
// Unlinks (and with `free_it` frees); when it was selected the first parent entity becomes selected.
// Instances that refer to it stay on their layers.
Detached<ParentEntity> remove_parent_entity(Project& project, const ParentEntity* entity, bool free_it);
// The one way a parent entity takes new properties: its dialog's OK and the undo and redo of "Entity
// properties". The id is kept. The image is loaded again when its path or transparency changed or no image
// is loaded; a loaded image sets the pixel size, a failed load keeps the size the properties give.
void edit_parent_entity(ParentEntity& entity, const ParentEntityProperties& edited, Platform* platform);
void reload_parent_entity_image(ParentEntity& entity, Platform* platform);

ParentEntity* find_parent_entity(const Project& project, ObjectId id, int* index = nullptr);
ParentEntity* parent_entity_at(const Project& project, long long position);

struct InstanceEntity {
    ObjectId uid = kInvalidId;     // unique within the layer
    ObjectId pid = kInvalidId;     // its parent entity
    ObjectId map_id = kInvalidId;  // where it is placed
    ObjectId layer_id = kInvalidId;
    float px = 0.0f;  // pixel position on the layer
    float py = 0.0f;
    bool fh = false;         // flip horizontal
    bool fv = false;         // flip vertical
    bool ro = false;         // rotate
    std::uint32_t tcr = 16;  // trigger circle radius
    std::uint32_t trw = 16;  // trigger rectangle width
    std::uint32_t trh = 16;  // trigger rectangle height
    IntVariables custom_variables{};

    ObjectId id() const { return uid; }
};

// A new instance of `parent` on the given layer: trigger sizes from the parent's defaults.
InstanceEntity make_instance_entity(const ParentEntityProperties& parent, ObjectId map_id, ObjectId layer_id,
                                    float px, float py);

// Why an instance add returned null.
enum class AddFailure { None, ParentMissing, LayerMissing, OutOfMemory };

// Adds a copy of `tmpl` to the end of the layer named by its map and layer ids. Null when the parent
// entity is missing (loading skips such instances quietly), when map or layer are missing, or when memory
// ran out ("Not enough memory to add a new instance Entity.").
InstanceEntity* add_instance_entity(Project& project, const InstanceEntity& tmpl, bool keep_id,
                                    Platform* platform, AddFailure* failure = nullptr);
InstanceEntity* insert_instance_entity(Layer& layer, std::unique_ptr<InstanceEntity>&& entity, int index);
Detached<InstanceEntity> remove_instance_entity(Layer& layer, const InstanceEntity* entity, bool free_it);
InstanceEntity* find_instance_entity(const Layer& layer, ObjectId uid, int* index = nullptr);
InstanceEntity* instance_entity_at(const Layer& layer, long long position);

// Deep copy of a layer's instance list (undo snapshots) and its restoration. The restore builds the new
// list first and leaves the layer unchanged when memory runs out (returns false).
std::vector<InstanceEntity> copy_instance_entities(const Layer& layer);
bool restore_instance_entities(Layer& layer, std::span<const InstanceEntity> entities);

}  // namespace zorva
