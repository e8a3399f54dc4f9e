// The editor's two undo histories (the main one for the project and the private one for the path being
// drawn or edited) and the rules around them: which history Undo and Redo use, when they are refused,
// and what happens when memory runs out.
//
// Every record_* call is made by the command or tool that changes the project, at the moment the call's
// comment names. It returns false when no record could be made; the change still goes ahead (a deleted
// object handed over is then freed at once). Records name objects by id, so the project they are applied
// to must be the one they were made on; replacing the project clears the histories.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "base/platform.h"
#include "model/entity.h"
#include "model/layer.h"
#include "model/map.h"
#include "model/object_list.h"
#include "model/path.h"
#include "model/tile_set.h"
#include "undo/undo_history.h"

namespace zorva {

class Project;

// What keeps the view from taking an undo or redo. The editor answers the query at each request.
struct ViewBusyState {
    bool dragging = false;                      // a rubber band or a move is being dragged
    bool floating_selection = false;            // a FloatingSelection is active
    bool modal_dialog = false;                  // a modal dialog is running
    bool backup_running = false;                // an automatic backup is being written
    bool path_operation_between_steps = false;  // EditMode Paths is between the steps of an operation

    bool any() const {
        return dragging || floating_selection || modal_dialog || backup_running ||
               path_operation_between_steps;
    }
};
using BusyQuery = std::function<ViewBusyState()>;

enum class HistoryKind { Main, PathEdit };

enum class UndoResult {
    Done,     // the project changed; refresh the tool windows and redraw
    Refused,  // no project, or the view is busy
    Empty,    // nothing to undo or redo
    Failed,   // the record could not be applied; both histories were cleared
};

class UndoHistories {
public:
    // Both histories get `limit` (the "Number of Undos" preference), clamped to 5 ... 200.
    // `platform` carries the memory messages; it may be null (then they are not shown).
    explicit UndoHistories(int limit = kDefaultUndoLimit, Platform* platform = nullptr);
    UndoHistories(const UndoHistories&) = delete;
    UndoHistories& operator=(const UndoHistories&) = delete;

    void set_busy_query(BusyQuery query) { busy_query_ = std::move(query); }
    void set_platform(Platform* platform) { platform_ = platform; }

    // Set by the path tools while a path is drawn or its points are edited: Undo, Redo and the menu items
    // then use the path-edit history.
    void set_path_edit_open(bool open) { path_edit_open_ = open; }
    bool path_edit_open() const { return path_edit_open_; }
    // The path tools' private copy of the path being drawn or edited. While one is set and the path-edit
    // history is open, its records are exchanged with that list instead of the layer's (null: none).
    void set_path_edit_list(std::vector<PathPoint>* list) { path_edit_list_ = list; }

    UndoHistory& main() { return main_; }
    const UndoHistory& main() const { return main_; }
    UndoHistory& path_edit() { return path_edit_; }
    const UndoHistory& path_edit() const { return path_edit_; }
    // The history Undo and Redo act on now.
    UndoHistory& active() { return path_edit_open_ ? path_edit_ : main_; }
    const UndoHistory& active() const { return path_edit_open_ ? path_edit_ : main_; }

    // --- Recording -------------------------------------------------------------------------------------

    // After the object was added (codes 1, 2, 3, 5).
    bool record_add_map(Project& project, const Map& map);
    bool record_add_layer(Project& project, const Layer& layer);
    bool record_add_parent_entity(Project& project, const ParentEntity& entity);
    bool record_add_tile_set(Project& project, const TileSet& tile_set);
    // After the object was detached (remove_* with free_it false): the record keeps it (codes 8, 9, 10,
    // 12). `selection_id` is the id that was selected before the removal; without a record the object is
    // freed here.
    bool record_delete_map(Project& project, Detached<Map>&& map, ObjectId selection_id);
    bool record_delete_layer(Project& project, ObjectId map_id, Detached<Layer>&& layer,
                             ObjectId selection_id);
    bool record_delete_parent_entity(Project& project, Detached<ParentEntity>&& entity,
                                     ObjectId selection_id);
    bool record_delete_tile_set(Project& project, Detached<TileSet>&& tile_set, ObjectId selection_id);
    // Before the properties change (codes 16, 17, 18, 20). A layer record holds the whole grid until
    // settle(), called right after the change, reduces it to the cells the change made different. The next
    // call into the histories settles it too, which is exact as long as the change kept the cells the old
    // and new grid share (resize_layer keeps the top-left block).
    bool record_map_properties(Project& project, const Map& map);
    bool record_layer_properties(Project& project, const Layer& layer);
    bool record_parent_entity_properties(Project& project, const ParentEntity& entity);
    bool record_tile_set_properties(Project& project, const TileSet& tile_set);
    // After a tile edit (codes 21 to 25), from the grid as it was before: `before` (the layer's grid
    // snapshot) holds grid_width * grid_height cells (else nothing is recorded); only the cells that
    // differ are kept.
    bool record_tile_edit(UndoCode code, Project& project, const Layer& layer,
                          std::span<const GridCell> before);
    // Layer visibility (26), lock and unlock (27 to 34), moves in a list (57 to 60): before or after.
    bool record_layer_visibility(Project& project, const Layer& layer);
    bool record_lock(UndoCode code, Project& project, UndoTarget target);
    bool record_move(UndoCode code, Project& project, UndoTarget target);
    // Before an entity list edit (35 to 39) on `layer`.
    bool record_instance_entities(UndoCode code, Project& project, const Layer& layer);
    // After an entity list edit on `layer`, with the list as it was before it (the tools take that copy
    // first and record only when the edit changed something).
    bool record_instance_entities(UndoCode code, Project& project, const Layer& layer,
                                  std::vector<InstanceEntity> before);
    // Before a path point list edit (40 to 47) on `layer`, or, for an accepted path edit, with the list as
    // it was when the edit started.
    bool record_path_points(UndoCode code, Project& project, const Layer& layer,
                            HistoryKind which = HistoryKind::Main);
    bool record_path_points(UndoCode code, Project& project, const Layer& layer,
                            std::vector<PathPoint> before, HistoryKind which = HistoryKind::Main);
    // Before the selection changes (50, 51, 52, 54); a layer selection belongs to the selected map.
    bool record_selection(UndoCode code, Project& project);

    // Reduces a pending layer property record to the cells its change made different.
    void settle(const Project& project);

    // --- Undo and redo ---------------------------------------------------------------------------------

    // Menu item 57643 / Ctrl+Z and 57644 / Ctrl+Y. `project` is null when none is open.
    UndoResult undo(Project* project);
    UndoResult redo(Project* project);
    bool is_busy() const { return busy_query_ && busy_query_().any(); }

    // --- Clearing --------------------------------------------------------------------------------------

    void clear_main() { main_.clear(); }
    void clear_path_edit() { path_edit_.clear(); }
    void clear_all() {
        main_.clear();
        path_edit_.clear();
    }

    // --- Menu ------------------------------------------------------------------------------------------

    MenuItemState undo_item() const { return active().undo_item(); }
    MenuItemState redo_item() const { return active().redo_item(); }
    std::string undo_text() const { return undo_item().text; }
    std::string redo_text() const { return redo_item().text; }

    // --- Memory ----------------------------------------------------------------------------------------

    std::size_t memory_bytes() const { return main_.memory_bytes() + path_edit_.memory_bytes(); }
    bool memory_warning_shown() const { return memory_warning_shown_; }
    bool low_memory_dialog_suppressed() const { return dont_warn_again_; }

    // Called with the history concerned before each record is made and before each undo or redo is
    // applied; a test throws std::bad_alloc from it to stand for memory running out.
    using AllocationProbe = std::function<void(HistoryKind)>;
    void set_allocation_probe(AllocationProbe probe) { allocation_probe_ = std::move(probe); }

private:
    template <class Build>
    bool add(HistoryKind which, Project& project, Build&& build);
    UndoResult step(Project* project, bool is_undo);
    // Out of memory while recording: the one-time warning, then the common failure handling.
    void record_failed();
    // Both histories cleared, and the "Undos" dialog unless the user asked not to see it again.
    void drop_all_after_failure(bool show_dialog);
    UndoHistory& history(HistoryKind which) { return which == HistoryKind::PathEdit ? path_edit_ : main_; }

    UndoHistory main_;
    UndoHistory path_edit_;
    Platform* platform_;
    BusyQuery busy_query_;
    AllocationProbe allocation_probe_;
    bool path_edit_open_ = false;
    std::vector<PathPoint>* path_edit_list_ = nullptr;
    bool memory_warning_shown_ = false;  // "Not enough memory to add an Undo." was shown this run
    bool dont_warn_again_ = false;       // the "Undos" dialog's box was ticked this run
};

}  // namespace zorva
