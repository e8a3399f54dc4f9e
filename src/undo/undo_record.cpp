#include "undo/undo_record.h"

#include <new>
#include <utility>

#include "model/project.h"

namespace zorva {

namespace {

bool is_detach_code(UndoCode code) {
    return code == undo_op::kAddMap || code == undo_op::kAddLayer || code == undo_op::kAddParentEntity ||
           code == undo_op::kAddTileSet;
}

bool is_unlock_code(UndoCode code) {
    return code == undo_op::kUnlockTileSet || code == undo_op::kUnlockMap || code == undo_op::kUnlockLayer ||
           code == undo_op::kUnlockParentEntity;
}

template <class T>
KeptObject keep(std::unique_ptr<T>&& object) {
    KeptObject kept;
    kept.template emplace<std::unique_ptr<T>>(std::move(object));
    return kept;
}

std::size_t image_memory(const Image& image) { return image.bitmap ? image.byte_size() : 0; }

// Puts a kept object back into its list; on failure the object stays with `slot`.
template <class T, class Insert>
ApplyResult reinsert(std::unique_ptr<T>& slot, int index, Insert insert) {
    if (!slot) return ApplyResult::Mismatch;
    if (!insert(std::move(slot), index)) return ApplyResult::OutOfMemory;
    slot.reset();  // already moved from; keeps the state explicit
    return ApplyResult::Done;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Factories

UndoRecord UndoRecord::added(UndoCode code, UndoTarget target, ObjectId selection_id) {
    UndoRecord record(code, target, selection_id);
    record.payload_.emplace<KeptObject>();
    return record;
}

UndoRecord UndoRecord::deleted_map(Detached<Map>&& map, ObjectId selection_id) {
    Detached<Map> taken = std::move(map);
    const ObjectId id = taken.object ? taken.object->unique_id : kInvalidId;
    UndoRecord record(undo_op::kDeleteMap, {id, kInvalidId}, selection_id);
    record.kept_index_ = taken.index;
    record.payload_.emplace<KeptObject>(keep(std::move(taken.object)));
    return record;
}

UndoRecord UndoRecord::deleted_layer(ObjectId map_id, Detached<Layer>&& layer, ObjectId selection_id) {
    Detached<Layer> taken = std::move(layer);
    const ObjectId id = taken.object ? taken.object->unique_id : kInvalidId;
    UndoRecord record(undo_op::kDeleteLayer, {id, map_id}, selection_id);
    record.kept_index_ = taken.index;
    record.payload_.emplace<KeptObject>(keep(std::move(taken.object)));
    return record;
}

UndoRecord UndoRecord::deleted_parent_entity(Detached<ParentEntity>&& entity, ObjectId selection_id) {
    Detached<ParentEntity> taken = std::move(entity);
    const ObjectId id = taken.object ? taken.object->unique_id : kInvalidId;
    UndoRecord record(undo_op::kDeleteParentEntity, {id, kInvalidId}, selection_id);
    record.kept_index_ = taken.index;
    record.payload_.emplace<KeptObject>(keep(std::move(taken.object)));
    return record;
}

UndoRecord UndoRecord::deleted_tile_set(Detached<TileSet>&& tile_set, ObjectId selection_id) {
    Detached<TileSet> taken = std::move(tile_set);
    const ObjectId id = taken.object ? taken.object->unique_id : kInvalidId;
    UndoRecord record(undo_op::kDeleteTileSet, {id, kInvalidId}, selection_id);
    record.kept_index_ = taken.index;
    record.payload_.emplace<KeptObject>(keep(std::move(taken.object)));
    return record;
}

UndoRecord UndoRecord::map_properties(const Map& map, ObjectId selection_id) {
    UndoRecord record(undo_op::kMapProperties, {map.unique_id, kInvalidId}, selection_id);
    record.payload_ = std::make_unique<MapProperties>(map.properties());
    return record;
}

UndoRecord UndoRecord::layer_properties(const Layer& layer, ObjectId selection_id) {
    UndoRecord record(undo_op::kLayerProperties, {layer.unique_id, layer.map_id}, selection_id);
    record.payload_ = std::make_unique<LayerSnapshot>(LayerSnapshot{
        layer.properties(), GridSnapshot::whole(GridView{layer.grid, layer.grid_width, layer.grid_height})});
    return record;
}

UndoRecord UndoRecord::parent_entity_properties(const ParentEntity& entity, ObjectId selection_id) {
    UndoRecord record(undo_op::kParentEntityProperties, {entity.unique_id, kInvalidId}, selection_id);
    record.payload_ = std::make_unique<ParentEntityProperties>(entity.properties());
    return record;
}

UndoRecord UndoRecord::tile_set_properties(const TileSet& tile_set, ObjectId selection_id) {
    UndoRecord record(undo_op::kTileSetProperties, {tile_set.unique_id, kInvalidId}, selection_id);
    record.payload_ = std::make_unique<TileSetProperties>(tile_set.properties());
    return record;
}

UndoRecord UndoRecord::grid_edit(UndoCode code, const Layer& layer, std::span<const GridCell> before,
                                 ObjectId selection_id) {
    UndoRecord record(code, {layer.unique_id, layer.map_id}, selection_id);
    const GridView now{layer.grid, layer.grid_width, layer.grid_height};
    const GridView then{before, layer.grid_width, layer.grid_height};
    // A snapshot of another size cannot belong to this grid; the record then restores nothing.
    record.payload_.emplace<GridSnapshot>(then.valid() && now.valid() ? GridSnapshot::between(then, now)
                                                                      : GridSnapshot::between(now, now));
    return record;
}

UndoRecord UndoRecord::instance_entities(UndoCode code, const Layer& layer, ObjectId selection_id) {
    UndoRecord record(code, {layer.unique_id, layer.map_id}, selection_id);
    record.payload_.emplace<std::vector<InstanceEntity>>(copy_instance_entities(layer));
    return record;
}

UndoRecord UndoRecord::instance_entities(UndoCode code, const Layer& layer,
                                         std::vector<InstanceEntity> before, ObjectId selection_id) {
    UndoRecord record(code, {layer.unique_id, layer.map_id}, selection_id);
    record.payload_.emplace<std::vector<InstanceEntity>>(std::move(before));
    return record;
}

UndoRecord UndoRecord::path_points(UndoCode code, const Layer& layer, std::vector<PathPoint> before,
                                   ObjectId selection_id) {
    UndoRecord record(code, {layer.unique_id, layer.map_id}, selection_id);
    record.payload_.emplace<std::vector<PathPoint>>(std::move(before));
    return record;
}

UndoRecord UndoRecord::plain(UndoCode code, UndoTarget target, ObjectId selection_id) {
    return UndoRecord(code, target, selection_id);
}

UndoTargetKind UndoRecord::target_kind() const {
    const OperationRow* row = find_operation(code_);
    return row ? row->target : UndoTargetKind::None;
}

// ---------------------------------------------------------------------------------------------------------
// Actions

ApplyResult UndoRecord::apply(Project& project, Platform* platform) {
    const OperationRow* row = find_operation(code_);
    if (!row) return ApplyResult::Mismatch;
    try {
        switch (row->snapshot) {
            case SnapshotKind::KeptObject:
                return apply_kept_object(project);
            case SnapshotKind::Properties:
                return apply_properties(project, platform);
            case SnapshotKind::Grid: {
                Layer* layer = find_layer(project, target_.owner_id, target_.id);
                auto* grid = std::get_if<GridSnapshot>(&payload_);
                if (!layer || !grid || grid->is_whole() || grid->target_width() != layer->grid_width ||
                    grid->target_height() != layer->grid_height)
                    return ApplyResult::Mismatch;
                std::int32_t width = layer->grid_width;
                std::int32_t height = layer->grid_height;
                return grid->apply(layer->grid, width, height) ? ApplyResult::Done : ApplyResult::Mismatch;
            }
            case SnapshotKind::Visibility: {
                Layer* layer = find_layer(project, target_.owner_id, target_.id);
                if (!layer) return ApplyResult::Mismatch;
                layer->is_visible = !layer->is_visible;
                return ApplyResult::Done;
            }
            case SnapshotKind::Lock:
                return apply_lock(project);
            case SnapshotKind::InstanceEntities: {
                Layer* layer = find_layer(project, target_.owner_id, target_.id);
                auto* list = std::get_if<std::vector<InstanceEntity>>(&payload_);
                if (!layer || !list) return ApplyResult::Mismatch;
                std::vector<InstanceEntity> current = copy_instance_entities(*layer);
                if (!restore_instance_entities(*layer, *list)) return ApplyResult::OutOfMemory;
                list->swap(current);
                return ApplyResult::Done;
            }
            case SnapshotKind::PathPoints: {
                Layer* layer = find_layer(project, target_.owner_id, target_.id);
                auto* list = std::get_if<std::vector<PathPoint>>(&payload_);
                if (!layer || !list) return ApplyResult::Mismatch;
                std::vector<PathPoint> current = copy_path_points(*layer);
                if (!restore_path_points(*layer, *list)) return ApplyResult::OutOfMemory;
                list->swap(current);
                return ApplyResult::Done;
            }
            case SnapshotKind::Selection:
                return ApplyResult::Done;  // the selection itself is exchanged by the history
            case SnapshotKind::ListMove:
                return apply_list_move(project);
            case SnapshotKind::None:
                break;
        }
    } catch (const std::bad_alloc&) {
        return ApplyResult::OutOfMemory;
    }
    return ApplyResult::Mismatch;
}

bool UndoRecord::exchange_path_points(std::vector<PathPoint>& list) {
    auto* kept = std::get_if<std::vector<PathPoint>>(&payload_);
    if (!kept) return false;
    kept->swap(list);
    return true;
}

ApplyResult UndoRecord::apply_kept_object(Project& project) {
    auto* kept = std::get_if<KeptObject>(&payload_);
    if (!kept) return ApplyResult::Mismatch;

    if (is_detach_code(code_)) {
        // Take the object out of the project and keep it.
        if (!std::holds_alternative<std::monostate>(*kept)) return ApplyResult::Mismatch;
        switch (code_) {
            case undo_op::kAddMap: {
                Map* map = find_map(project, target_.id);
                if (!map) return ApplyResult::Mismatch;
                Detached<Map> taken = remove_map(project, map, false);
                kept_index_ = taken.index;
                *kept = keep(std::move(taken.object));
                return ApplyResult::Done;
            }
            case undo_op::kAddLayer: {
                Map* map = find_map(project, target_.owner_id);
                Layer* layer = map ? find_layer(*map, target_.id) : nullptr;
                if (!layer) return ApplyResult::Mismatch;
                Detached<Layer> taken = remove_layer(project, *map, layer, false);
                kept_index_ = taken.index;
                *kept = keep(std::move(taken.object));
                return ApplyResult::Done;
            }
            case undo_op::kAddParentEntity: {
                ParentEntity* entity = find_parent_entity(project, target_.id);
                if (!entity) return ApplyResult::Mismatch;
                Detached<ParentEntity> taken = remove_parent_entity(project, entity, false);
                kept_index_ = taken.index;
                *kept = keep(std::move(taken.object));
                return ApplyResult::Done;
            }
            default: {
                TileSet* tile_set = find_tile_set(project, target_.id);
                if (!tile_set) return ApplyResult::Mismatch;
                Detached<TileSet> taken = remove_tile_set(project, tile_set, false);
                kept_index_ = taken.index;
                *kept = keep(std::move(taken.object));
                return ApplyResult::Done;
            }
        }
    }

    // Put the kept object back where it was.
    switch (code_) {
        case undo_op::kDeleteMap: {
            auto* slot = std::get_if<std::unique_ptr<Map>>(kept);
            if (!slot || find_map(project, target_.id)) return ApplyResult::Mismatch;
            const ApplyResult result =
                reinsert(*slot, kept_index_, [&](std::unique_ptr<Map>&& map, int index) {
                    return insert_map(project, std::move(map), index) != nullptr;
                });
            if (result == ApplyResult::Done) *kept = std::monostate{};
            return result;
        }
        case undo_op::kDeleteLayer: {
            auto* slot = std::get_if<std::unique_ptr<Layer>>(kept);
            Map* map = find_map(project, target_.owner_id);
            if (!slot || !map || find_layer(*map, target_.id)) return ApplyResult::Mismatch;
            const ApplyResult result =
                reinsert(*slot, kept_index_, [&](std::unique_ptr<Layer>&& layer, int index) {
                    return insert_layer(*map, std::move(layer), index) != nullptr;
                });
            if (result == ApplyResult::Done) *kept = std::monostate{};
            return result;
        }
        case undo_op::kDeleteParentEntity: {
            auto* slot = std::get_if<std::unique_ptr<ParentEntity>>(kept);
            if (!slot || find_parent_entity(project, target_.id)) return ApplyResult::Mismatch;
            const ApplyResult result =
                reinsert(*slot, kept_index_, [&](std::unique_ptr<ParentEntity>&& entity, int index) {
                    return insert_parent_entity(project, std::move(entity), index) != nullptr;
                });
            if (result == ApplyResult::Done) *kept = std::monostate{};
            return result;
        }
        case undo_op::kDeleteTileSet: {
            auto* slot = std::get_if<std::unique_ptr<TileSet>>(kept);
            if (!slot || find_tile_set(project, target_.id)) return ApplyResult::Mismatch;
            const ApplyResult result =
                reinsert(*slot, kept_index_, [&](std::unique_ptr<TileSet>&& tile_set, int index) {
                    return insert_tile_set(project, std::move(tile_set), index) != nullptr;
                });
            if (result == ApplyResult::Done) *kept = std::monostate{};
            return result;
        }
        default:
            return ApplyResult::Mismatch;
    }
}

ApplyResult UndoRecord::apply_properties(Project& project, Platform* platform) {
    switch (code_) {
        case undo_op::kMapProperties: {
            Map* map = find_map(project, target_.id);
            auto* slot = std::get_if<std::unique_ptr<MapProperties>>(&payload_);
            MapProperties* stored = slot ? slot->get() : nullptr;
            if (!map || !stored) return ApplyResult::Mismatch;
            const MapProperties current = map->properties();
            edit_map(*map, *stored);
            *stored = current;
            return ApplyResult::Done;
        }
        case undo_op::kLayerProperties: {
            Layer* layer = find_layer(project, target_.owner_id, target_.id);
            auto* slot = std::get_if<std::unique_ptr<LayerSnapshot>>(&payload_);
            LayerSnapshot* stored = slot ? slot->get() : nullptr;
            if (!layer || !stored) return ApplyResult::Mismatch;
            if (stored->grid.target_width() != stored->properties.grid_width ||
                stored->grid.target_height() != stored->properties.grid_height)
                return ApplyResult::Mismatch;
            std::int32_t width = layer->grid_width;
            std::int32_t height = layer->grid_height;
            if (!stored->grid.apply(layer->grid, width, height)) return ApplyResult::Mismatch;
            const LayerProperties current = layer->properties();
            apply_layer_properties(*layer, stored->properties, platform);
            stored->properties = current;
            return ApplyResult::Done;
        }
        case undo_op::kParentEntityProperties: {
            ParentEntity* entity = find_parent_entity(project, target_.id);
            auto* slot = std::get_if<std::unique_ptr<ParentEntityProperties>>(&payload_);
            ParentEntityProperties* stored = slot ? slot->get() : nullptr;
            if (!entity || !stored) return ApplyResult::Mismatch;
            const ParentEntityProperties current = entity->properties();
            edit_parent_entity(*entity, *stored, platform);
            *stored = current;
            return ApplyResult::Done;
        }
        case undo_op::kTileSetProperties: {
            TileSet* tile_set = find_tile_set(project, target_.id);
            auto* slot = std::get_if<std::unique_ptr<TileSetProperties>>(&payload_);
            TileSetProperties* stored = slot ? slot->get() : nullptr;
            if (!tile_set || !stored) return ApplyResult::Mismatch;
            const TileSetProperties current = tile_set->properties();
            edit_tile_set(*tile_set, *stored, platform);
            *stored = current;
            return ApplyResult::Done;
        }
        default:
            return ApplyResult::Mismatch;
    }
}

ApplyResult UndoRecord::apply_lock(Project& project) {
    // Undoing a lock unlocks: the action sets the state the opposite operation would.
    const bool locked = is_unlock_code(code_);
    switch (code_) {
        case undo_op::kLockTileSet:
        case undo_op::kUnlockTileSet: {
            TileSet* tile_set = find_tile_set(project, target_.id);
            if (!tile_set) return ApplyResult::Mismatch;
            tile_set->is_locked = locked;
            return ApplyResult::Done;
        }
        case undo_op::kLockMap:
        case undo_op::kUnlockMap: {
            Map* map = find_map(project, target_.id);
            if (!map) return ApplyResult::Mismatch;
            map->is_locked = locked;
            return ApplyResult::Done;
        }
        case undo_op::kLockLayer:
        case undo_op::kUnlockLayer: {
            Layer* layer = find_layer(project, target_.owner_id, target_.id);
            if (!layer) return ApplyResult::Mismatch;
            layer->is_locked = locked;
            return ApplyResult::Done;
        }
        case undo_op::kLockParentEntity:
        case undo_op::kUnlockParentEntity: {
            ParentEntity* entity = find_parent_entity(project, target_.id);
            if (!entity) return ApplyResult::Mismatch;
            entity->is_locked = locked;
            return ApplyResult::Done;
        }
        default:
            return ApplyResult::Mismatch;
    }
}

ApplyResult UndoRecord::apply_list_move(Project& project) {
    // A record of a move towards the start moves the object back towards the end, and the reverse.
    bool moved = false;
    switch (code_) {
        case undo_op::kMoveMapUp:
        case undo_op::kMoveMapDown: {
            const Map* map = find_map(project, target_.id);
            if (!map) return ApplyResult::Mismatch;
            moved = code_ == undo_op::kMoveMapUp ? move_down(project.maps, map) : move_up(project.maps, map);
            break;
        }
        case undo_op::kMoveLayerUp:
        case undo_op::kMoveLayerDown: {
            Map* map = find_map(project, target_.owner_id);
            const Layer* layer = map ? find_layer(*map, target_.id) : nullptr;
            if (!layer) return ApplyResult::Mismatch;
            moved =
                code_ == undo_op::kMoveLayerUp ? move_down(map->layers, layer) : move_up(map->layers, layer);
            break;
        }
        default:
            break;
    }
    return moved ? ApplyResult::Done : ApplyResult::Mismatch;
}

// ---------------------------------------------------------------------------------------------------------
// Settling and accounting

void UndoRecord::settle(const Project& project) {
    const auto* slot = std::get_if<std::unique_ptr<LayerSnapshot>>(&payload_);
    LayerSnapshot* stored = slot ? slot->get() : nullptr;
    if (!stored || !stored->grid.is_whole()) return;
    const Layer* layer = find_layer(project, target_.owner_id, target_.id);
    if (!layer) return;
    try {
        stored->grid.rebase(GridView{layer->grid, layer->grid_width, layer->grid_height});
    } catch (const std::bad_alloc&) {
        // The whole grid stays; it restores just as well.
    }
}

bool UndoRecord::is_settled() const {
    const auto* slot = std::get_if<std::unique_ptr<LayerSnapshot>>(&payload_);
    return !slot || !*slot || !(*slot)->grid.is_whole();
}

bool UndoRecord::keeps_object() const {
    const auto* kept = std::get_if<KeptObject>(&payload_);
    return kept && !std::holds_alternative<std::monostate>(*kept);
}

std::size_t UndoRecord::memory_bytes() const {
    struct Measure {
        std::size_t operator()(const std::monostate&) const { return 0; }
        std::size_t operator()(const KeptObject& kept) const {
            return std::visit(
                [](const auto& object) -> std::size_t {
                    if constexpr (std::is_same_v<std::decay_t<decltype(object)>, std::monostate>) {
                        return 0;
                    } else {
                        return object ? object_memory(*object) : 0;
                    }
                },
                kept);
        }
        std::size_t operator()(const std::unique_ptr<MapProperties>& p) const { return p ? sizeof(*p) : 0; }
        std::size_t operator()(const std::unique_ptr<LayerSnapshot>& p) const {
            return p ? sizeof(*p) + p->grid.memory_bytes() : 0;
        }
        std::size_t operator()(const std::unique_ptr<ParentEntityProperties>& p) const {
            return p ? sizeof(*p) : 0;
        }
        std::size_t operator()(const std::unique_ptr<TileSetProperties>& p) const {
            return p ? sizeof(*p) : 0;
        }
        std::size_t operator()(const GridSnapshot& grid) const { return grid.memory_bytes(); }
        std::size_t operator()(const std::vector<InstanceEntity>& list) const {
            return list.capacity() * sizeof(InstanceEntity);
        }
        std::size_t operator()(const std::vector<PathPoint>& list) const {
            return list.capacity() * sizeof(PathPoint);
        }
    };
    return sizeof(UndoRecord) + std::visit(Measure{}, payload_);
}

std::size_t object_memory(const Layer& layer) {
    std::size_t bytes =
        sizeof(Layer) + layer.grid.capacity() * sizeof(GridCell) + image_memory(layer.background_image);
    bytes += layer.instance_entities.size() * (sizeof(InstanceEntity) + sizeof(void*));
    bytes += layer.path_points.size() * (sizeof(PathPoint) + sizeof(void*));
    return bytes;
}

std::size_t object_memory(const Map& map) {
    std::size_t bytes = sizeof(Map);
    for (const auto& layer : map.layers) bytes += sizeof(void*) + object_memory(*layer);
    return bytes;
}

std::size_t object_memory(const ParentEntity& entity) {
    return sizeof(ParentEntity) + image_memory(entity.image);
}

std::size_t object_memory(const TileSet& tile_set) {
    std::size_t bytes = sizeof(TileSet) + image_memory(tile_set.image);
    for (const auto& mosaic : tile_set.mosaics)
        bytes += sizeof(void*) + sizeof(Mosaic) + mosaic->grid.capacity() * sizeof(GridCell);
    return bytes;
}

// ---------------------------------------------------------------------------------------------------------
// Selection

ObjectId selected_id(const Project& project, UndoTargetKind kind) {
    switch (kind) {
        case UndoTargetKind::Map:
            return project.selected_map_id();
        case UndoTargetKind::Layer:
            return project.selected_layer_id();
        case UndoTargetKind::ParentEntity:
            return project.selected_parent_entity_id();
        case UndoTargetKind::TileSet:
            return project.selected_tile_set_id();
        case UndoTargetKind::None:
            break;
    }
    return kInvalidId;
}

void select_target(Project& project, UndoTargetKind kind, ObjectId owner_id, ObjectId id) {
    // An id that names nothing any more (say, the map an undone add had selected) leaves the selection
    // as the action left it; 0xFFFFFFFF means nothing was selected, and nothing is.
    const bool none = id == kInvalidId;
    switch (kind) {
        case UndoTargetKind::Map:
            if (none || find_map(project, id)) project.select_map(id);
            break;
        case UndoTargetKind::Layer: {
            const Map* owner = find_map(project, owner_id);
            if (!owner || (!none && !find_layer(*owner, id))) break;
            if (owner_id != project.selected_map_id()) project.select_map(owner_id);
            project.select_layer(id);
            break;
        }
        case UndoTargetKind::ParentEntity:
            if (none || find_parent_entity(project, id)) project.select_parent_entity(id);
            break;
        case UndoTargetKind::TileSet:
            if (none || find_tile_set(project, id)) project.select_tile_set(id);
            break;
        case UndoTargetKind::None:
            break;
    }
}

}  // namespace zorva
