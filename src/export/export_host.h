// The editor's side of the plug-in interface: the ExportApi table bound to the open project.
//
// The table holds plain C function pointers without a context argument, so the slots reach the host
// through one process-wide binding: the host that was reset last answers every call (one export runs at a
// time). A host that is destroyed, or reset by another host, answers nothing more: every slot then fails.
//
// A run: reset(log, quick, feedback), attach(project, output file), hand api() to the plug-in, reset()
// again so late calls find no project. The project must stay unchanged while it is attached.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "export/export_api.h"
#include "model/fixed_text.h"
#include "model/path.h"

namespace zorva {

class ExportFeedback;
class ExportMessageLog;
class Project;
struct InstanceEntity;
struct Layer;
struct Map;
struct ParentEntity;
struct TileSet;

class ExportHost {
public:
    ExportHost();
    ~ExportHost();
    ExportHost(const ExportHost&) = delete;
    ExportHost& operator=(const ExportHost&) = delete;

    // Zeroes all 125 slots, fills slots 0 to 24, records the message log (or none), the quick-export flag
    // and the feedback (or none), clears the project, the output file name and the six current selections,
    // and binds the table's slots to this host.
    void reset(ExportMessageLog* log = nullptr, bool quick = false, ExportFeedback* feedback = nullptr);
    // Attaches the project and keeps the output file name (cut to 259 characters).
    void attach(const Project& project, std::string_view output_file_name);

    ExportApi* api() { return &api_; }
    bool attached() const { return project_ != nullptr; }
    // The progress as the plug-in last set it (0 to 100).
    int progress() const { return progress_; }

    // The slots, callable directly (the table's entries forward here).
    bool get_project_file_name(char* buffer, std::uint32_t length) const;
    bool get_output_file_name(char* buffer, std::uint32_t length) const;
    bool is_export_cancelled(std::uint8_t* out) const;
    bool set_progress(float percent, bool add, bool force);
    bool add_message(const char* text, bool force);
    bool get_number_of_tile_sets(std::uint32_t* out) const;
    bool select_tile_set(std::uint32_t index);
    bool get_tile_set_info(TileSetInfo* record) const;
    bool get_number_of_parent_entities(std::uint32_t* out) const;
    bool select_parent_entity(std::uint32_t index);
    bool get_parent_entity_info(ParentEntityInfo* record) const;
    bool get_number_of_maps(std::uint32_t* out) const;
    bool select_map(std::uint32_t index);
    bool get_map_info(MapInfo* record) const;
    bool select_layer(std::uint32_t index);
    bool get_layer_info(LayerInfo* record) const;
    bool get_grid_cell(GridCellInfo* record, std::uint32_t column, std::uint32_t row) const;
    bool get_number_of_child_entities(std::uint32_t* out) const;
    bool select_child_entity(std::uint32_t index);
    bool get_child_entity_info(ChildEntityInfo* record) const;
    bool select_path(std::uint32_t index);
    bool get_path_info(PathInfo* record) const;
    bool get_path_points(PathPointInfo* records, std::uint32_t capacity, std::uint32_t* written) const;
    bool is_quick_export(std::uint8_t* out) const;
    bool get_custom_variable_descriptions(CustomVariableDescriptions* block) const;

private:
    struct ParentKey {
        std::uint32_t id;
        std::uint32_t index;
    };

    void clear_selections();
    // The parent entity with `id` and its position, or null (instances without one are skipped).
    const ParentEntity* find_parent(std::uint32_t id, std::uint32_t* index) const;
    std::uint32_t child_entity_count(const Layer& layer) const;
    // The tile set of `map`, or null; `index` receives its position.
    const TileSet* tile_set_of(const Map* map, std::uint32_t* index = nullptr) const;
    // Layer offset times tile size of the map's tile set (0, 0 when either is missing).
    void world_shift(const Layer* layer, const Map* map, float& x, float& y) const;

    ExportApi api_{};
    const Project* project_ = nullptr;
    ExportMessageLog* log_ = nullptr;
    ExportFeedback* feedback_ = nullptr;
    bool quick_ = false;
    PathText output_file_name_;
    int progress_ = 0;
    std::int64_t last_yield_ms_ = 0;

    // Parent entities by id (first of equal ids first), built on attach.
    std::vector<ParentKey> parents_by_id_;

    // The six current selections. The layer remembers the map it was selected from.
    const TileSet* tile_set_ = nullptr;
    const ParentEntity* parent_entity_ = nullptr;
    const Map* map_ = nullptr;
    const Layer* layer_ = nullptr;
    const Map* layer_map_ = nullptr;
    const InstanceEntity* child_entity_ = nullptr;
    const Layer* path_layer_ = nullptr;
    const Map* path_map_ = nullptr;
    PathRange path_{};
    bool has_path_ = false;

    // Resume points that make walking a layer's child entities and paths in order linear.
    const Layer* child_cursor_layer_ = nullptr;
    std::uint32_t child_cursor_index_ = 0;   // the child entity index ...
    std::size_t child_cursor_position_ = 0;  // ... found at this list position
    const Layer* path_ranges_layer_ = nullptr;
    std::vector<PathRange> path_ranges_;
};

}  // namespace zorva
