#include "model/layer.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <stdexcept>

#include "image/image_loader.h"
#include "model/map.h"
#include "model/project.h"

namespace zorva {

std::size_t LayerProperties::cell_count() const {
    if (grid_width <= 0 || grid_height <= 0) return 0;
    return static_cast<std::size_t>(grid_width) * static_cast<std::size_t>(grid_height);
}

GridCell* Layer::cell(std::int32_t x, std::int32_t y) {
    if (x < 0 || y < 0 || x >= grid_width || y >= grid_height) return nullptr;
    const std::size_t index =
        static_cast<std::size_t>(y) * static_cast<std::size_t>(grid_width) + static_cast<std::size_t>(x);
    if (index >= grid.size()) return nullptr;
    return &grid[index];
}

const GridCell* Layer::cell(std::int32_t x, std::int32_t y) const {
    return const_cast<Layer*>(this)->cell(x, y);
}

std::size_t Layer::path_count() const { return count_paths(path_points); }

std::vector<GridCell>* Layer::snapshot() {
    if (snapshot_.size() != grid.size()) {
        try {
            std::vector<GridCell> fresh(grid.size());
            snapshot_.swap(fresh);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    return &snapshot_;
}

bool Layer::take_snapshot() {
    std::vector<GridCell>* target = snapshot();
    if (!target) return false;
    std::copy(grid.begin(), grid.end(), target->begin());
    return true;
}

void Layer::clear_snapshot() { std::vector<GridCell>().swap(snapshot_); }

std::vector<GridCell> Layer::release_snapshot() {
    std::vector<GridCell> taken;
    taken.swap(snapshot_);
    return taken;
}

LayerProperties make_default_layer(const Project& project, const ProjectDefaults& defaults, ObjectId map_id) {
    LayerProperties layer;
    char name[32];
    std::snprintf(name, sizeof name, "Layer%02lu", static_cast<unsigned long>(project.next_layer_id + 1u));
    layer.name = name;
    layer.map_id = map_id;
    layer.grid_width = std::max(defaults.layer_grid_width, 1);
    layer.grid_height = std::max(defaults.layer_grid_height, 1);
    layer.grid_offset_x = defaults.layer_grid_offset_x;
    layer.grid_offset_y = defaults.layer_grid_offset_y;
    layer.scroll_speed_x = defaults.layer_scroll_speed_x;
    layer.scroll_speed_y = defaults.layer_scroll_speed_y;
    return layer;
}

void store_layer_defaults(ProjectDefaults& defaults, const LayerProperties& layer) {
    defaults.layer_grid_width = layer.grid_width;
    defaults.layer_grid_height = layer.grid_height;
    defaults.layer_grid_offset_x = layer.grid_offset_x;
    defaults.layer_grid_offset_y = layer.grid_offset_y;
    defaults.layer_scroll_speed_x = layer.scroll_speed_x;
    defaults.layer_scroll_speed_y = layer.scroll_speed_y;
}

void reload_layer_background(Layer& layer, Platform* platform) {
    layer.background_image.release();
    if (!layer.use_background_image || layer.background_image_path_and_file_name.empty()) return;
    try {
        if (load_image(layer.background_image, layer.background_image_path_and_file_name.view(),
                       ImageKind::Empty, platform, true, false, 0) != kImageLoaded)
            layer.background_image.release();
    } catch (const std::bad_alloc&) {
        layer.background_image.release();
    }
}

namespace {

// The machine's physical memory in bytes (0 when the system does not say).
std::uint64_t physical_memory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long page_size = ::sysconf(_SC_PAGE_SIZE);
    return pages > 0 && page_size > 0
               ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(page_size)
               : 0;
}

// A grid of `cells` empty cells; throws std::bad_alloc when it cannot be had. A grid larger than the
// machine's memory is refused before it is requested: the system would grant it lazily and the program
// would be killed while the cells are cleared.
std::vector<GridCell> make_grid(std::size_t cells) {
    std::vector<GridCell> grid;
    if (cells > grid.max_size()) throw std::bad_alloc();
    static const std::uint64_t memory = physical_memory();
    if (memory != 0 && cells > memory / sizeof(GridCell)) throw std::bad_alloc();
    grid.resize(cells);
    return grid;
}

}  // namespace

Layer* add_layer(Project& project, const LayerProperties& tmpl, bool keep_id, Platform* platform,
                 std::span<const GridCell> grid) {
    Map* map = find_map(project, tmpl.map_id);
    if (!map) return nullptr;
    std::unique_ptr<Layer> layer;
    ObjectId id = kInvalidId;
    bool overflow = project.did_layer_id_overflow;
    try {
        layer = std::make_unique<Layer>();
        layer->properties() = tmpl;
        layer->grid_width = std::max(layer->grid_width, 1);
        layer->grid_height = std::max(layer->grid_height, 1);
        const std::size_t cells = layer->cell_count();
        if (grid.size() == cells) {
            layer->grid.reserve(cells);
            layer->grid.assign(grid.begin(), grid.end());
        } else {
            layer->grid = make_grid(cells);
        }
        reserve_one_more(map->layers);
        id = allocate_id(keep_id, tmpl.unique_id, project.next_layer_id, overflow, map->layers);
    } catch (const std::bad_alloc&) {
        report_out_of_memory(platform, "Not enough memory to add a new Layer.");
        return nullptr;
    } catch (const std::length_error&) {
        report_out_of_memory(platform, "Not enough memory to add a new Layer.");
        return nullptr;
    }
    project.did_layer_id_overflow = overflow;
    advance_id_counter(id, project.next_layer_id, project.did_layer_id_overflow);
    layer->unique_id = id;
    layer->map_id = map->unique_id;
    reload_layer_background(*layer, platform);
    map->layers.push_back(std::move(layer));
    return map->layers.back().get();
}

Layer* insert_layer(Map& map, std::unique_ptr<Layer>&& layer, int index) {
    return insert_at(map.layers, std::move(layer), index);
}

Detached<Layer> remove_layer(Project& project, Map& map, const Layer* layer, bool free_it) {
    const bool project_selected = layer && project.selected_layer() == layer;
    const bool map_selected = layer && find_layer(map, map.selected_layer_id) == layer;
    Detached<Layer> result = detach(map.layers, layer, free_it);
    if (!result) return result;
    const ObjectId first = map.layers.empty() ? kInvalidId : map.layers.front()->unique_id;
    if (map_selected) map.selected_layer_id = first;
    if (project_selected) {
        project.select_layer(first);
    }
    return result;
}

Layer* find_layer(const Map& map, ObjectId id, int* index) { return find_by_id(map.layers, id, index); }

Layer* layer_at(const Map& map, long long position) { return find_at(map.layers, position); }

Layer* find_layer(const Project& project, ObjectId map_id, ObjectId layer_id) {
    const Map* map = find_map(project, map_id);
    return map ? find_layer(*map, layer_id) : nullptr;
}

bool resize_layer(Project& project, Layer& layer, const LayerProperties& edited, Platform* platform) {
    const std::int32_t old_width = layer.grid_width;
    const std::int32_t old_height = layer.grid_height;
    const std::int32_t new_width = std::max(edited.grid_width, 1);
    const std::int32_t new_height = std::max(edited.grid_height, 1);
    const bool same_size =
        new_width == old_width && new_height == old_height && layer.grid.size() == layer.cell_count();

    std::vector<GridCell> new_grid;
    if (!same_size) {
        try {
            new_grid = make_grid(static_cast<std::size_t>(new_width) * static_cast<std::size_t>(new_height));
        } catch (const std::exception&) {
            if (platform)
                platform->message_box("Not enough memory to change layer size!", "Error", MessageButtons::Ok,
                                      MessageIcon::Stop, Answer::Ok);
            return false;
        }
        // The content stays anchored at the top-left corner.
        const std::int32_t rows = std::min(old_height, new_height);
        const std::int32_t columns = std::min(old_width, new_width);
        for (std::int32_t y = 0; y < rows; ++y) {
            const std::size_t from = static_cast<std::size_t>(y) * static_cast<std::size_t>(old_width);
            if (from + static_cast<std::size_t>(columns) > layer.grid.size()) break;
            std::copy_n(layer.grid.begin() + static_cast<std::ptrdiff_t>(from), columns,
                        new_grid.begin() + static_cast<std::ptrdiff_t>(y) * new_width);
        }
    }

    if (!same_size) layer.grid.swap(new_grid);
    LayerProperties sized = edited;
    sized.grid_width = new_width;
    sized.grid_height = new_height;
    apply_layer_properties(layer, sized, platform);
    project.modified = true;
    return true;
}

void apply_layer_properties(Layer& layer, const LayerProperties& edited, Platform* platform) {
    const ObjectId id = layer.unique_id;
    const ObjectId map_id = layer.map_id;
    const bool reload =
        layer.use_background_image != edited.use_background_image ||
        layer.background_image_path_and_file_name != edited.background_image_path_and_file_name ||
        (edited.use_background_image && layer.background_image.empty());
    layer.properties() = edited;
    layer.unique_id = id;
    layer.map_id = map_id;
    layer.clear_snapshot();
    if (reload) reload_layer_background(layer, platform);
}

bool restore_layer(Layer& layer, const LayerProperties& saved, std::vector<GridCell>&& grid,
                   Platform* platform) {
    if (saved.grid_width <= 0 || saved.grid_height <= 0 || grid.size() != saved.cell_count()) return false;
    layer.grid = std::move(grid);
    apply_layer_properties(layer, saved, platform);
    return true;
}

}  // namespace zorva
