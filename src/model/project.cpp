#include "model/project.h"

#include <algorithm>

namespace zorva {

Project::Project() {
    const DescriptionTable defaults = make_default_descriptions();
    descriptions.fill(defaults);
}

Project::~Project() = default;

ObjectId& Project::next_id(ObjectKind kind) {
    switch (kind) {
        case ObjectKind::TileSet:
            return next_tile_set_id;
        case ObjectKind::Map:
            return next_map_id;
        case ObjectKind::Layer:
            return next_layer_id;
        case ObjectKind::ParentEntity:
            return next_parent_entity_id;
        case ObjectKind::InstanceEntity:
            return next_instance_entity_id;
        case ObjectKind::PathPoint:
            break;
    }
    return next_path_point_id;
}

ObjectId Project::next_id(ObjectKind kind) const { return const_cast<Project*>(this)->next_id(kind); }

bool& Project::did_id_overflow(ObjectKind kind) {
    switch (kind) {
        case ObjectKind::TileSet:
            return did_tile_set_id_overflow;
        case ObjectKind::Map:
            return did_map_id_overflow;
        case ObjectKind::Layer:
            return did_layer_id_overflow;
        case ObjectKind::ParentEntity:
            return did_parent_entity_id_overflow;
        case ObjectKind::InstanceEntity:
            return did_instance_entity_id_overflow;
        case ObjectKind::PathPoint:
            break;
    }
    return did_path_point_id_overflow;
}

bool Project::did_id_overflow(ObjectKind kind) const {
    return const_cast<Project*>(this)->did_id_overflow(kind);
}

TileSet* Project::selected_tile_set() const { return find_tile_set(*this, selected_tile_set_id_); }

Map* Project::selected_map() const { return find_map(*this, selected_map_id_); }

Layer* Project::selected_layer() const {
    const Map* map = selected_map();
    return map ? find_layer(*map, selected_layer_id_) : nullptr;
}

ParentEntity* Project::selected_parent_entity() const {
    return find_parent_entity(*this, selected_parent_entity_id_);
}

ObjectId Project::selected_tile_set_id() const {
    const TileSet* tile_set = selected_tile_set();
    return tile_set ? tile_set->unique_id : kInvalidId;
}

ObjectId Project::selected_map_id() const {
    const Map* map = selected_map();
    return map ? map->unique_id : kInvalidId;
}

ObjectId Project::selected_layer_id() const {
    const Layer* layer = selected_layer();
    return layer ? layer->unique_id : kInvalidId;
}

ObjectId Project::selected_parent_entity_id() const {
    const ParentEntity* entity = selected_parent_entity();
    return entity ? entity->unique_id : kInvalidId;
}

TileSet* Project::select_tile_set(ObjectId id) {
    TileSet* tile_set = find_tile_set(*this, id);
    selected_tile_set_id_ = tile_set ? id : kInvalidId;
    return tile_set;
}

ParentEntity* Project::select_parent_entity(ObjectId id) {
    ParentEntity* entity = find_parent_entity(*this, id);
    selected_parent_entity_id_ = entity ? id : kInvalidId;
    return entity;
}

Map* Project::select_map(ObjectId id) {
    Map* map = find_map(*this, id);
    selected_map_id_ = map ? id : kInvalidId;
    selected_layer_id_ = kInvalidId;
    if (map && find_layer(*map, map->selected_layer_id)) selected_layer_id_ = map->selected_layer_id;
    return map;
}

Layer* Project::select_layer(ObjectId id) {
    Map* map = selected_map();
    Layer* layer = map ? find_layer(*map, id) : nullptr;
    selected_layer_id_ = layer ? id : kInvalidId;
    if (map) map->selected_layer_id = selected_layer_id_;
    return layer;
}

void Project::resolve_selection(ObjectId tile_set_id, ObjectId map_id, ObjectId layer_id,
                                ObjectId parent_entity_id) {
    select_tile_set(tile_set_id);
    select_parent_entity(parent_entity_id);
    const Map* map = find_map(*this, map_id);
    selected_map_id_ = map ? map_id : kInvalidId;
    selected_layer_id_ = map && find_layer(*map, layer_id) ? layer_id : kInvalidId;
}

std::string project_title(const Project& project) {
    std::string title = "Zorva: ";
    title += project.path_and_file_name.view();
    if (project.modified) title += " *";
    return title;
}

std::uint32_t clamp_zoom(std::uint32_t zoom) { return std::clamp(zoom, kMinZoom, kMaxZoom); }

std::uint32_t clamp_trigger_size(std::uint32_t size) { return std::max(size, kMinimumTriggerSize); }

}  // namespace zorva
