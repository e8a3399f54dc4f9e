// Layers: a grid of cells plus the instance entities and path points placed on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "base/platform.h"
#include "image/image.h"
#include "model/custom_variables.h"
#include "model/entity.h"
#include "model/fixed_text.h"
#include "model/grid_cell.h"
#include "model/ids.h"
#include "model/object_list.h"
#include "model/path.h"
#include "model/project_defaults.h"

namespace zorva {

class Project;
struct Map;

// A grid above this many cells earns the layer dialog's size warning (it does not block).
inline constexpr long long kLargeLayerCells = 4000000;

// Every stored field of a layer except its grid and lists.
struct LayerProperties {
    ObjectId unique_id = kInvalidId;  // unique within the map
    ObjectId map_id = kInvalidId;     // the owning map
    std::uint32_t user_supplied_id = 0;
    NameText name;
    std::int32_t grid_width = 10;  // cells, at least 1
    std::int32_t grid_height = 10;
    bool is_locked = false;
    bool is_visible = true;
    bool is_main_layer = false;
    std::int32_t grid_offset_x = 0;  // position of cell (0, 0) on the map, in cells
    std::int32_t grid_offset_y = 0;
    float scroll_speed_x = 1.0f;  // stored and exported only
    float scroll_speed_y = 1.0f;
    bool wrap_x = false;
    bool wrap_y = false;
    std::uint8_t opacity = 255;
    bool use_background_colour = false;
    std::uint32_t background_colour = 0;  // red + green * 256 + blue * 65536
    bool use_background_image = false;
    PathText background_image_path_and_file_name;
    TextVariables custom_variables;

    ObjectId id() const { return unique_id; }
    // grid_width * grid_height (0 when either is not positive).
    std::size_t cell_count() const;
};

struct Layer : LayerProperties {
    std::vector<GridCell> grid;  // grid_width * grid_height cells, row by row; always that size
    Image background_image;      // loaded on add and edit when use_background_image is set
    ObjectList<InstanceEntity> instance_entities;
    ObjectList<PathPoint> path_points;

    LayerProperties& properties() { return *this; }
    const LayerProperties& properties() const { return *this; }

    // Cell (x, y); null outside the grid.
    GridCell* cell(std::int32_t x, std::int32_t y);
    const GridCell* cell(std::int32_t x, std::int32_t y) const;

    std::size_t instance_entity_count() const { return instance_entities.size(); }
    std::size_t path_point_count() const { return path_points.size(); }
    // The number of paths: points that start a path.
    std::size_t path_count() const;

    // The grid snapshot: a copy of the grid taken before an edit, handed to the undo history. It is
    // allocated only when first needed (all zero, grid-sized). Null when memory ran out.
    std::vector<GridCell>* snapshot();
    // Copies the grid into the snapshot; false when memory ran out.
    bool take_snapshot();
    bool has_snapshot() const { return !snapshot_.empty(); }
    // Frees the snapshot (it reads as all zero when next requested).
    void clear_snapshot();
    // Hands the snapshot over (e.g. to an undo record) without copying; the layer is left without one.
    std::vector<GridCell> release_snapshot();

private:
    std::vector<GridCell> snapshot_;
};

// A template for the New Layer dialog on map `map_id`: the name "Layer%02lu" with the counter + 1, grid
// size, offsets and scroll speeds from `defaults`.
LayerProperties make_default_layer(const Project& project, const ProjectDefaults& defaults, ObjectId map_id);
// Confirming the dialog for a new layer writes its grid size, offsets and scroll speeds back.
void store_layer_defaults(ProjectDefaults& defaults, const LayerProperties& layer);

// Adds a copy of `tmpl` to the end of the map named by `tmpl.map_id` (null without it). The grid is a copy
// of `grid` when it holds exactly grid_width * grid_height cells, else all empty; a width or height below 1
// becomes 1. The id comes from keep-id or the search over the map's layers. The background image is
// loaded when use_background_image is set. Out of memory: "Not enough memory to add a new Layer." and null.
Layer* add_layer(Project& project, const LayerProperties& tmpl, bool keep_id, Platform* platform,
                 std::span<const GridCell> grid = {});
Layer* insert_layer(Map& map, std::unique_ptr<Layer>&& layer, int index);
// Unlinks (and with `free_it` frees) the layer. When it was the map's selected layer the map's first
// layer takes its place (0xFFFFFFFF when none is left), and the project's selected layer follows when
// the map is the selected map.
Detached<Layer> remove_layer(Project& project, Map& map, const Layer* layer, bool free_it);

Layer* find_layer(const Map& map, ObjectId id, int* index = nullptr);
Layer* layer_at(const Map& map, long long position);
// The layer `layer_id` of map `map_id`.
Layer* find_layer(const Project& project, ObjectId map_id, ObjectId layer_id);

// Applies edited layer properties (the id and map id are kept): a changed size keeps the top-left block of
// cells, the snapshot is cleared, the background image reloaded and the project marked modified. When the
// new grid cannot be allocated, "Not enough memory to change layer size!" (caption "Error") is shown and
// the layer is left entirely unchanged (returns false).
bool resize_layer(Project& project, Layer& layer, const LayerProperties& edited, Platform* platform);
// The one way a layer takes new properties, once its grid has the new size (resize_layer, and the undo and
// redo of "Layer properties"): the id and map id are kept, the snapshot is cleared, and the background image
// is loaded again when its use flag or path changed or it is used but not loaded.
void apply_layer_properties(Layer& layer, const LayerProperties& edited, Platform* platform);
// Puts a saved grid and its properties back. `grid` must hold grid_width * grid_height cells of `saved`
// (else false and no change).
bool restore_layer(Layer& layer, const LayerProperties& saved, std::vector<GridCell>&& grid,
                   Platform* platform);
void reload_layer_background(Layer& layer, Platform* platform);

}  // namespace zorva
