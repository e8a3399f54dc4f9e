#include "model/entity.h"

#include <cstdio>
#include <new>

#include "image/image_loader.h"
#include "model/layer.h"
#include "model/map.h"
#include "model/project.h"

namespace zorva {

TileCount count_frames(const ParentEntityProperties& entity) {
    return count_tiles_in_area(entity.pixel_width, entity.pixel_height, entity.single_frame_pixel_width,
                               entity.single_frame_pixel_height, entity.first_frame_offset_pixel_x,
                               entity.first_frame_offset_pixel_y,
                               static_cast<std::uint32_t>(entity.space_between_frames_pixel_x),
                               static_cast<std::uint32_t>(entity.space_between_frames_pixel_y));
}

bool frame_position(const ParentEntityProperties& entity, std::uint32_t frame, PixelPosition& position) {
    const TileCount count = count_frames(entity);
    if (count.across == 0) return false;
    const std::uint32_t column = frame % count.across;
    const std::uint32_t row = frame / count.across;
    const std::uint32_t step_x = static_cast<std::uint32_t>(entity.single_frame_pixel_width) +
                                 static_cast<std::uint32_t>(entity.space_between_frames_pixel_x);
    const std::uint32_t step_y = static_cast<std::uint32_t>(entity.single_frame_pixel_height) +
                                 static_cast<std::uint32_t>(entity.space_between_frames_pixel_y);
    position.x = static_cast<std::int32_t>(column * step_x +
                                           static_cast<std::uint32_t>(entity.first_frame_offset_pixel_x));
    position.y = static_cast<std::int32_t>(row * step_y +
                                           static_cast<std::uint32_t>(entity.first_frame_offset_pixel_y));
    return true;
}

void sanitise_parent_entity(ParentEntityProperties& entity) {
    if (entity.default_circle_trigger_radius < kMinimumTriggerSize)
        entity.default_circle_trigger_radius = kMinimumTriggerSize;
    if (entity.default_rectangle_trigger_width < kMinimumTriggerSize)
        entity.default_rectangle_trigger_width = kMinimumTriggerSize;
    if (entity.default_rectangle_trigger_height < kMinimumTriggerSize)
        entity.default_rectangle_trigger_height = kMinimumTriggerSize;
    if (entity.preview_anima_frame < 0) entity.preview_anima_frame = 0;
    const std::uint32_t frames = count_frames(entity).count;
    if (static_cast<std::uint32_t>(entity.preview_anima_frame) >= frames) {
        const std::uint32_t last = frames == 0 ? 0 : frames - 1;
        entity.preview_anima_frame = last > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<std::int32_t>(last);
    }
}

ParentEntityProperties make_default_parent_entity(const Project& project, const ProjectDefaults& defaults) {
    ParentEntityProperties entity;
    char name[32];
    std::snprintf(name, sizeof name, "Entity%02lu",
                  static_cast<unsigned long>(project.next_parent_entity_id + 1u));
    entity.name = name;
    entity.use_transparent_colour = defaults.entity_use_transparent_colour;
    entity.transparent_colour = defaults.entity_transparent_colour & 0x00FFFFFFu;
    entity.default_circle_trigger_radius = clamp_trigger_size(project.default_entity_trigger_radius);
    entity.default_rectangle_trigger_width = clamp_trigger_size(project.default_entity_trigger_width);
    entity.default_rectangle_trigger_height = clamp_trigger_size(project.default_entity_trigger_height);
    entity.single_frame_pixel_width = defaults.frame_width;
    entity.single_frame_pixel_height = defaults.frame_height;
    entity.first_frame_offset_pixel_x = defaults.frame_offset_x;
    entity.first_frame_offset_pixel_y = defaults.frame_offset_y;
    entity.space_between_frames_pixel_x = defaults.frame_spacing_x;
    entity.space_between_frames_pixel_y = defaults.frame_spacing_y;
    return entity;
}

void store_parent_entity_defaults(ProjectDefaults& defaults, const ParentEntityProperties& entity) {
    defaults.frame_width = entity.single_frame_pixel_width;
    defaults.frame_height = entity.single_frame_pixel_height;
    defaults.frame_offset_x = entity.first_frame_offset_pixel_x;
    defaults.frame_offset_y = entity.first_frame_offset_pixel_y;
    defaults.frame_spacing_x = entity.space_between_frames_pixel_x;
    defaults.frame_spacing_y = entity.space_between_frames_pixel_y;
    defaults.entity_use_transparent_colour = entity.use_transparent_colour;
    defaults.entity_transparent_colour = entity.transparent_colour;
}

void reload_parent_entity_image(ParentEntity& entity, Platform* platform) {
    entity.image.release();
    if (entity.image_path_and_file_name.empty()) return;
    try {
        if (load_image(entity.image, entity.image_path_and_file_name.view(), ImageKind::Empty, platform, true,
                       entity.use_transparent_colour, entity.transparent_colour) != kImageLoaded ||
            entity.image.empty()) {
            entity.image.release();
            return;
        }
    } catch (const std::bad_alloc&) {
        entity.image.release();
        return;
    }
    entity.pixel_width = static_cast<std::uint32_t>(entity.image.width);
    entity.pixel_height = static_cast<std::uint32_t>(entity.image.height);
}

ParentEntity* add_parent_entity(Project& project, const ParentEntityProperties& tmpl, bool keep_id,
                                Platform* platform) {
    std::unique_ptr<ParentEntity> entity;
    ObjectId id = kInvalidId;
    bool overflow = project.did_parent_entity_id_overflow;
    try {
        entity = std::make_unique<ParentEntity>();
        reserve_one_more(project.parent_entities);
        id = allocate_id(keep_id, tmpl.unique_id, project.next_parent_entity_id, overflow,
                         project.parent_entities);
    } catch (const std::bad_alloc&) {
        report_out_of_memory(platform, "Not enough memory to add a new parent Entity.");
        return nullptr;
    }
    project.did_parent_entity_id_overflow = overflow;
    advance_id_counter(id, project.next_parent_entity_id, project.did_parent_entity_id_overflow);

    entity->properties() = tmpl;
    entity->unique_id = id;
    reload_parent_entity_image(*entity, platform);
    project.parent_entities.push_back(std::move(entity));
    return project.parent_entities.back().get();
}

ParentEntity* insert_parent_entity(Project& project, std::unique_ptr<ParentEntity>&& entity, int index) {
    return insert_at(project.parent_entities, std::move(entity), index);
}

Detached<ParentEntity> remove_parent_entity(Project& project, const ParentEntity* entity, bool free_it) {
    const bool was_selected = entity && project.selected_parent_entity() == entity;
    Detached<ParentEntity> result = detach(project.parent_entities, entity, free_it);
    if (result && was_selected)
        project.select_parent_entity(
            project.parent_entities.empty() ? kInvalidId : project.parent_entities.front()->unique_id);
    return result;
}

void edit_parent_entity(ParentEntity& entity, const ParentEntityProperties& edited, Platform* platform) {
    const ObjectId id = entity.unique_id;
    const bool reload = entity.image.empty() ||
                        entity.image_path_and_file_name != edited.image_path_and_file_name ||
                        entity.use_transparent_colour != edited.use_transparent_colour ||
                        entity.transparent_colour != edited.transparent_colour;
    entity.properties() = edited;
    entity.unique_id = id;
    if (reload) reload_parent_entity_image(entity, platform);
}

ParentEntity* find_parent_entity(const Project& project, ObjectId id, int* index) {
    return find_by_id(project.parent_entities, id, index);
}

ParentEntity* parent_entity_at(const Project& project, long long position) {
    return find_at(project.parent_entities, position);
}

InstanceEntity make_instance_entity(const ParentEntityProperties& parent, ObjectId map_id, ObjectId layer_id,
                                    float px, float py) {
    InstanceEntity entity;
    entity.pid = parent.unique_id;
    entity.map_id = map_id;
    entity.layer_id = layer_id;
    entity.px = px;
    entity.py = py;
    entity.tcr = parent.default_circle_trigger_radius;
    entity.trw = parent.default_rectangle_trigger_width;
    entity.trh = parent.default_rectangle_trigger_height;
    return entity;
}

InstanceEntity* add_instance_entity(Project& project, const InstanceEntity& tmpl, bool keep_id,
                                    Platform* platform, AddFailure* failure) {
    if (failure) *failure = AddFailure::None;
    if (!find_parent_entity(project, tmpl.pid)) {
        if (failure) *failure = AddFailure::ParentMissing;
        return nullptr;
    }
    Layer* layer = find_layer(project, tmpl.map_id, tmpl.layer_id);
    if (!layer) {
        if (failure) *failure = AddFailure::LayerMissing;
        return nullptr;
    }
    std::unique_ptr<InstanceEntity> entity;
    ObjectId id = kInvalidId;
    bool overflow = project.did_instance_entity_id_overflow;
    try {
        entity = std::make_unique<InstanceEntity>(tmpl);
        reserve_one_more(layer->instance_entities);
        id = allocate_id(keep_id, tmpl.uid, project.next_instance_entity_id, overflow,
                         layer->instance_entities);
    } catch (const std::bad_alloc&) {
        if (failure) *failure = AddFailure::OutOfMemory;
        report_out_of_memory(platform, "Not enough memory to add a new instance Entity.");
        return nullptr;
    }
    project.did_instance_entity_id_overflow = overflow;
    advance_id_counter(id, project.next_instance_entity_id, project.did_instance_entity_id_overflow);
    entity->uid = id;
    layer->instance_entities.push_back(std::move(entity));
    return layer->instance_entities.back().get();
}

InstanceEntity* insert_instance_entity(Layer& layer, std::unique_ptr<InstanceEntity>&& entity, int index) {
    return insert_at(layer.instance_entities, std::move(entity), index);
}

Detached<InstanceEntity> remove_instance_entity(Layer& layer, const InstanceEntity* entity, bool free_it) {
    return detach(layer.instance_entities, entity, free_it);
}

InstanceEntity* find_instance_entity(const Layer& layer, ObjectId uid, int* index) {
    return find_by_id(layer.instance_entities, uid, index);
}

InstanceEntity* instance_entity_at(const Layer& layer, long long position) {
    return find_at(layer.instance_entities, position);
}

std::vector<InstanceEntity> copy_instance_entities(const Layer& layer) {
    return copy_values(layer.instance_entities);
}

bool restore_instance_entities(Layer& layer, std::span<const InstanceEntity> entities) {
    return replace_with_values(layer.instance_entities, entities);
}

}  // namespace zorva
