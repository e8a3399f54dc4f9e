// One undo record: an operation code, the object it acts on (by id), the selection to restore, and what
// it keeps to put the project back: a deleted object kept alive, a property snapshot, a compact grid
// snapshot, or a deep copy of a layer's instance entity or path point list.
//
// Records work by exchange: applying a record changes the project to the state the record holds and
// leaves the record holding the state the project had, so the same record serves undo and redo. What
// the action does is chosen by the current code; the history turns the code into its inverse after each
// application (an "Add map" record detaches the map and becomes "Delete map", which re-inserts it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <variant>
#include <vector>

#include "base/platform.h"
#include "model/entity.h"
#include "model/ids.h"
#include "model/layer.h"
#include "model/map.h"
#include "model/path.h"
#include "model/tile_set.h"
#include "undo/grid_snapshot.h"
#include "undo/operation_table.h"

namespace zorva {

class Project;

// An object named by its own id and its owner's id (the map of a layer; 0xFFFFFFFF otherwise).
struct UndoTarget {
    ObjectId id = kInvalidId;
    ObjectId owner_id = kInvalidId;
};

enum class ApplyResult {
    Done,
    OutOfMemory,  // nothing changed
    Mismatch,     // the target is gone or no longer fits the snapshot; nothing changed
};

// A layer property snapshot: the properties and the grid that goes with them.
struct LayerSnapshot {
    LayerProperties properties;
    GridSnapshot grid;
};

// A map, layer, parent entity or tile set kept alive by an add or delete record while it is out of the
// project. Empty while the object is in the project.
using KeptObject = std::variant<std::monostate, std::unique_ptr<Map>, std::unique_ptr<Layer>,
                                std::unique_ptr<ParentEntity>, std::unique_ptr<TileSet>>;

class UndoRecord {
public:
    // Property snapshots sit in blocks of their own (their custom variables alone take 5 KB), so a record
    // of a small tile edit stays small.
    using Payload = std::variant<std::monostate, KeptObject, std::unique_ptr<MapProperties>,
                                 std::unique_ptr<LayerSnapshot>, std::unique_ptr<ParentEntityProperties>,
                                 std::unique_ptr<TileSetProperties>, GridSnapshot,
                                 std::vector<InstanceEntity>, std::vector<PathPoint>>;

    // Every factory throws std::bad_alloc when the snapshot cannot be had. `selection_id` is the id selected
    // when the record is made.

    // Add records (codes 1, 2, 3, 5), made after the object was added.
    static UndoRecord added(UndoCode code, UndoTarget target, ObjectId selection_id);
    // Delete records (codes 8, 9, 10, 12): the detached object becomes the record's.
    static UndoRecord deleted_map(Detached<Map>&& map, ObjectId selection_id);
    static UndoRecord deleted_layer(ObjectId map_id, Detached<Layer>&& layer, ObjectId selection_id);
    static UndoRecord deleted_parent_entity(Detached<ParentEntity>&& entity, ObjectId selection_id);
    static UndoRecord deleted_tile_set(Detached<TileSet>&& tile_set, ObjectId selection_id);
    // Property records (codes 16, 17, 18, 20), made before the change. The layer record first holds the
    // whole grid; settle() reduces it to the cells that differ once the change is made.
    static UndoRecord map_properties(const Map& map, ObjectId selection_id);
    static UndoRecord layer_properties(const Layer& layer, ObjectId selection_id);
    static UndoRecord parent_entity_properties(const ParentEntity& entity, ObjectId selection_id);
    static UndoRecord tile_set_properties(const TileSet& tile_set, ObjectId selection_id);
    // Tile edits (codes 21 to 25), made after the edit from the grid as it was before (same size as now).
    static UndoRecord grid_edit(UndoCode code, const Layer& layer, std::span<const GridCell> before,
                                ObjectId selection_id);
    // Entity list edits (35 to 39) and path point list edits (40 to 47): a deep copy of the list as it is
    // before the change, or as given.
    static UndoRecord instance_entities(UndoCode code, const Layer& layer, ObjectId selection_id);
    static UndoRecord instance_entities(UndoCode code, const Layer& layer, std::vector<InstanceEntity> before,
                                        ObjectId selection_id);
    static UndoRecord path_points(UndoCode code, const Layer& layer, std::vector<PathPoint> before,
                                  ObjectId selection_id);
    // Records without a snapshot: layer visibility (26), lock and unlock (27 to 34), selection (50 to 54),
    // moves in a list (57 to 60).
    static UndoRecord plain(UndoCode code, UndoTarget target, ObjectId selection_id);

    UndoCode code() const { return code_; }
    void set_code(UndoCode code) { code_ = code; }
    const UndoTarget& target() const { return target_; }
    ObjectId selection_id() const { return selection_id_; }
    void set_selection_id(ObjectId id) { selection_id_ = id; }
    UndoTargetKind target_kind() const;

    // Runs the action of the current code against `project`. On anything but Done nothing changed.
    ApplyResult apply(Project& project, Platform* platform);

    // A path point record of the path-edit history: exchanges its list with `list` (the path tools' private
    // copy of the path). False when the record holds no path point list.
    bool exchange_path_points(std::vector<PathPoint>& list);

    // A layer property record made before the change still holds the whole grid: describe it against the
    // layer's grid as it is now. Quietly keeps the whole grid when memory is short.
    void settle(const Project& project);
    bool is_settled() const;

    // Heap memory the record holds, the record itself included.
    std::size_t memory_bytes() const;
    // True while the record keeps an object that is out of the project.
    bool keeps_object() const;

    const Payload& payload() const { return payload_; }

private:
    UndoRecord(UndoCode code, UndoTarget target, ObjectId selection_id)
        : code_(code), target_(target), selection_id_(selection_id) {}

    ApplyResult apply_kept_object(Project& project);
    ApplyResult apply_properties(Project& project, Platform* platform);
    ApplyResult apply_lock(Project& project);
    ApplyResult apply_list_move(Project& project);

    UndoCode code_ = 0;
    UndoTarget target_;
    ObjectId selection_id_ = kInvalidId;
    int kept_index_ = -1;  // where a kept object goes back
    Payload payload_;
};

// The id selected now for a kind of target (the selected layer of the selected map for layers).
ObjectId selected_id(const Project& project, UndoTargetKind kind);
// Selects through the project's selection operations; for a layer the map `owner_id` is selected first
// when it is not selected. An id that names no existing object changes nothing.
void select_target(Project& project, UndoTargetKind kind, ObjectId owner_id, ObjectId id);

// Memory an object out of the project holds (grids, lists, images), for the history's accounting.
std::size_t object_memory(const Map& map);
std::size_t object_memory(const Layer& layer);
std::size_t object_memory(const ParentEntity& entity);
std::size_t object_memory(const TileSet& tile_set);

}  // namespace zorva
