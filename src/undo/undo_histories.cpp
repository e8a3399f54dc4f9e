#include "undo/undo_histories.h"

#include <new>
#include <utility>

#include "model/project.h"

namespace zorva {

UndoHistories::UndoHistories(int limit, Platform* platform)
    : main_(limit), path_edit_(limit), platform_(platform) {}

template <class Build>
bool UndoHistories::add(HistoryKind which, Project& project, Build&& build) {
    UndoHistory& target = history(which);
    try {
        if (UndoRecord* newest = target.newest_undo()) newest->settle(project);
        if (allocation_probe_) allocation_probe_(which);
        target.add(std::make_unique<UndoRecord>(build()));
        return true;
    } catch (const std::bad_alloc&) {
        record_failed();
        return false;
    }
}

void UndoHistories::record_failed() {
    if (!memory_warning_shown_) {
        memory_warning_shown_ = true;
        if (platform_)
            platform_->message_box("Not enough memory to add an Undo.", "Warning", MessageButtons::Ok,
                                   MessageIcon::Stop, Answer::Ok);
    }
    drop_all_after_failure(true);
}

void UndoHistories::drop_all_after_failure(bool show_dialog) {
    clear_all();
    if (!show_dialog || dont_warn_again_ || !platform_) return;
    bool ticked = false;
    platform_->message_with_check_box("All the Undos and Redos will be removed, because of low memory.",
                                      "Undos", "Do not warn me again", MessageButtons::Ok,
                                      MessageIcon::Warning, ticked);
    if (ticked) dont_warn_again_ = true;
}

void UndoHistories::settle(const Project& project) {
    if (UndoRecord* newest = main_.newest_undo()) newest->settle(project);
    if (UndoRecord* newest = path_edit_.newest_undo()) newest->settle(project);
}

// ---------------------------------------------------------------------------------------------------------
// Recording

bool UndoHistories::record_add_map(Project& project, const Map& map) {
    const UndoTarget target{map.unique_id, kInvalidId};
    return add(HistoryKind::Main, project, [&] {
        return UndoRecord::added(undo_op::kAddMap, target, selected_id(project, UndoTargetKind::Map));
    });
}

bool UndoHistories::record_add_layer(Project& project, const Layer& layer) {
    const UndoTarget target{layer.unique_id, layer.map_id};
    return add(HistoryKind::Main, project, [&] {
        return UndoRecord::added(undo_op::kAddLayer, target, selected_id(project, UndoTargetKind::Layer));
    });
}

bool UndoHistories::record_add_parent_entity(Project& project, const ParentEntity& entity) {
    const UndoTarget target{entity.unique_id, kInvalidId};
    return add(HistoryKind::Main, project, [&] {
        return UndoRecord::added(undo_op::kAddParentEntity, target,
                                 selected_id(project, UndoTargetKind::ParentEntity));
    });
}

bool UndoHistories::record_add_tile_set(Project& project, const TileSet& tile_set) {
    const UndoTarget target{tile_set.unique_id, kInvalidId};
    return add(HistoryKind::Main, project, [&] {
        return UndoRecord::added(undo_op::kAddTileSet, target, selected_id(project, UndoTargetKind::TileSet));
    });
}

// The delete records take the object at once, so that it is freed on every way out without a record.
bool UndoHistories::record_delete_map(Project& project, Detached<Map>&& map, ObjectId selection_id) {
    Detached<Map> taken = std::move(map);
    if (!taken.object) return false;
    return add(HistoryKind::Main, project,
               [&] { return UndoRecord::deleted_map(std::move(taken), selection_id); });
}

bool UndoHistories::record_delete_layer(Project& project, ObjectId map_id, Detached<Layer>&& layer,
                                        ObjectId selection_id) {
    Detached<Layer> taken = std::move(layer);
    if (!taken.object) return false;
    return add(HistoryKind::Main, project,
               [&] { return UndoRecord::deleted_layer(map_id, std::move(taken), selection_id); });
}

bool UndoHistories::record_delete_parent_entity(Project& project, Detached<ParentEntity>&& entity,
                                                ObjectId selection_id) {
    Detached<ParentEntity> taken = std::move(entity);
    if (!taken.object) return false;
    return add(HistoryKind::Main, project,
               [&] { return UndoRecord::deleted_parent_entity(std::move(taken), selection_id); });
}

bool UndoHistories::record_delete_tile_set(Project& project, Detached<TileSet>&& tile_set,
                                           ObjectId selection_id) {
    Detached<TileSet> taken = std::move(tile_set);
    if (!taken.object) return false;
    return add(HistoryKind::Main, project,
               [&] { return UndoRecord::deleted_tile_set(std::move(taken), selection_id); });
}

bool UndoHistories::record_map_properties(Project& project, const Map& map) {
    return add(HistoryKind::Main, project,
               [&] { return UndoRecord::map_properties(map, selected_id(project, UndoTargetKind::Map)); });
}

bool UndoHistories::record_layer_properties(Project& project, const Layer& layer) {
    return add(HistoryKind::Main, project, [&] {
        return UndoRecord::layer_properties(layer, selected_id(project, UndoTargetKind::Layer));
    });
}

bool UndoHistories::record_parent_entity_properties(Project& project, const ParentEntity& entity) {
    return add(HistoryKind::Main, project, [&] {
        return UndoRecord::parent_entity_properties(entity,
                                                    selected_id(project, UndoTargetKind::ParentEntity));
    });
}

bool UndoHistories::record_tile_set_properties(Project& project, const TileSet& tile_set) {
    return add(HistoryKind::Main, project, [&] {
        return UndoRecord::tile_set_properties(tile_set, selected_id(project, UndoTargetKind::TileSet));
    });
}

bool UndoHistories::record_tile_edit(UndoCode code, Project& project, const Layer& layer,
                                     std::span<const GridCell> before) {
    const OperationRow* row = find_operation(code);
    if (!row || row->snapshot != SnapshotKind::Grid) return false;
    if (before.size() != layer.grid.size()) return false;  // not a snapshot of this grid: nothing to record
    return add(HistoryKind::Main, project, [&] {
        return UndoRecord::grid_edit(code, layer, before, selected_id(project, UndoTargetKind::Layer));
    });
}

bool UndoHistories::record_layer_visibility(Project& project, const Layer& layer) {
    const UndoTarget target{layer.unique_id, layer.map_id};
    return add(HistoryKind::Main, project, [&] {
        return UndoRecord::plain(undo_op::kLayerVisibility, target,
                                 selected_id(project, UndoTargetKind::Layer));
    });
}

bool UndoHistories::record_lock(UndoCode code, Project& project, UndoTarget target) {
    const OperationRow* row = find_operation(code);
    if (!row || row->snapshot != SnapshotKind::Lock) return false;
    return add(HistoryKind::Main, project,
               [&] { return UndoRecord::plain(code, target, selected_id(project, row->target)); });
}

bool UndoHistories::record_move(UndoCode code, Project& project, UndoTarget target) {
    const OperationRow* row = find_operation(code);
    if (!row || row->snapshot != SnapshotKind::ListMove) return false;
    return add(HistoryKind::Main, project,
               [&] { return UndoRecord::plain(code, target, selected_id(project, row->target)); });
}

bool UndoHistories::record_instance_entities(UndoCode code, Project& project, const Layer& layer) {
    const OperationRow* row = find_operation(code);
    if (!row || row->snapshot != SnapshotKind::InstanceEntities) return false;
    return add(HistoryKind::Main, project, [&] {
        return UndoRecord::instance_entities(code, layer, selected_id(project, UndoTargetKind::Layer));
    });
}

bool UndoHistories::record_instance_entities(UndoCode code, Project& project, const Layer& layer,
                                             std::vector<InstanceEntity> before) {
    const OperationRow* row = find_operation(code);
    if (!row || row->snapshot != SnapshotKind::InstanceEntities) return false;
    return add(HistoryKind::Main, project, [&] {
        return UndoRecord::instance_entities(code, layer, std::move(before),
                                             selected_id(project, UndoTargetKind::Layer));
    });
}

bool UndoHistories::record_path_points(UndoCode code, Project& project, const Layer& layer,
                                       HistoryKind which) {
    const OperationRow* row = find_operation(code);
    if (!row || row->snapshot != SnapshotKind::PathPoints) return false;
    return add(which, project, [&] {
        return UndoRecord::path_points(code, layer, copy_path_points(layer),
                                       selected_id(project, UndoTargetKind::Layer));
    });
}

bool UndoHistories::record_path_points(UndoCode code, Project& project, const Layer& layer,
                                       std::vector<PathPoint> before, HistoryKind which) {
    const OperationRow* row = find_operation(code);
    if (!row || row->snapshot != SnapshotKind::PathPoints) return false;
    return add(which, project, [&] {
        return UndoRecord::path_points(code, layer, std::move(before),
                                       selected_id(project, UndoTargetKind::Layer));
    });
}

bool UndoHistories::record_selection(UndoCode code, Project& project) {
    const OperationRow* row = find_operation(code);
    if (!row || row->snapshot != SnapshotKind::Selection) return false;
    const UndoTarget target{kInvalidId,
                            row->target == UndoTargetKind::Layer ? project.selected_map_id() : kInvalidId};
    return add(HistoryKind::Main, project,
               [&] { return UndoRecord::plain(code, target, selected_id(project, row->target)); });
}

// ---------------------------------------------------------------------------------------------------------
// Undo and redo

UndoResult UndoHistories::undo(Project* project) { return step(project, true); }

UndoResult UndoHistories::redo(Project* project) { return step(project, false); }

UndoResult UndoHistories::step(Project* project, bool is_undo) {
    if (!project || is_busy()) return UndoResult::Refused;
    UndoHistory& history = active();
    if (is_undo) {
        if (UndoRecord* newest = history.newest_undo()) newest->settle(*project);
    }
    std::unique_ptr<UndoRecord> record = is_undo ? history.take_newest_undo() : history.take_newest_redo();
    if (!record) return UndoResult::Empty;

    const UndoTargetKind kind = record->target_kind();
    const ObjectId selected_now = selected_id(*project, kind);
    ApplyResult result = ApplyResult::OutOfMemory;
    try {
        if (allocation_probe_) allocation_probe_(path_edit_open_ ? HistoryKind::PathEdit : HistoryKind::Main);
        if (path_edit_open_ && path_edit_list_)
            result =
                record->exchange_path_points(*path_edit_list_) ? ApplyResult::Done : ApplyResult::Mismatch;
        else
            result = record->apply(*project, platform_);
    } catch (const std::bad_alloc&) {
        result = ApplyResult::OutOfMemory;
    }
    if (result != ApplyResult::Done) {
        // A record that cannot be applied leaves the histories unreliable: drop them. Only a memory
        // shortage earns the dialog.
        record.reset();
        drop_all_after_failure(result == ApplyResult::OutOfMemory);
        return UndoResult::Failed;
    }
    select_target(*project, kind, record->target().owner_id, record->selection_id());
    record->set_selection_id(selected_now);
    record->set_code(inverse_operation(record->code()));
    project->modified = true;

    try {
        if (is_undo)
            history.push_redo(std::move(record));
        else
            history.push_undo(std::move(record));
    } catch (const std::bad_alloc&) {
        // The project did change; only the way back is lost.
        drop_all_after_failure(true);
    }
    return UndoResult::Done;
}

}  // namespace zorva
