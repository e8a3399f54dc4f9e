#include "model/tile_set.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "image/image_loader.h"
#include "model/layer.h"
#include "model/project.h"

namespace zorva {

const GridCell* Mosaic::cell(std::uint32_t x, std::uint32_t y) const {
    if (x >= gw || y >= gh) return nullptr;
    const std::size_t index = static_cast<std::size_t>(y) * gw + x;
    if (index >= grid.size()) return nullptr;
    return &grid[index];
}

namespace {

// Tiles along one axis.
std::uint32_t count_along(std::uint32_t size, std::int32_t tile, std::int32_t offset, std::uint32_t space) {
    if (tile <= 0) return 0;
    // An offset at or beyond the image leaves no room for a tile (and would wrap the unsigned count).
    if (static_cast<long long>(offset) >= static_cast<long long>(size)) return 0;
    const std::uint32_t step = static_cast<std::uint32_t>(tile) + space;
    if (step == 0) return 0;
    const std::uint32_t room = size - static_cast<std::uint32_t>(offset);
    std::uint32_t across = room / step;
    const std::uint32_t used = static_cast<std::uint32_t>(offset) + across * step;
    const auto left = static_cast<std::int32_t>(size - used);
    if (left >= tile) ++across;
    return across;
}

}  // namespace

TileCount count_tiles_in_area(std::uint32_t image_width, std::uint32_t image_height, std::int32_t tile_width,
                              std::int32_t tile_height, std::int32_t offset_x, std::int32_t offset_y,
                              std::uint32_t space_x, std::uint32_t space_y) {
    TileCount result;
    result.across = count_along(image_width, tile_width, offset_x, space_x);
    result.down = count_along(image_height, tile_height, offset_y, space_y);
    if (result.across > 0 && result.down > 0) {
        const std::uint64_t count = static_cast<std::uint64_t>(result.across) * result.down;
        result.count = count >= kInvalidId ? kInvalidId - 1 : static_cast<std::uint32_t>(count);
    }
    return result;
}

TileCount count_tiles(const TileSet& tile_set) {
    if (tile_set.image.empty() || tile_set.image.width <= 0 || tile_set.image.height <= 0) return {};
    return count_tiles_in_area(static_cast<std::uint32_t>(tile_set.image.width),
                               static_cast<std::uint32_t>(tile_set.image.height),
                               tile_set.single_tile_pixel_width, tile_set.single_tile_pixel_height,
                               tile_set.first_tile_offset_pixel_x, tile_set.first_tile_offset_pixel_y,
                               tile_set.space_between_tiles_pixel_x, tile_set.space_between_tiles_pixel_y);
}

bool tile_position(const TileSetProperties& properties, const TileCount& count, std::uint32_t index,
                   PixelPosition& position) {
    if (index == 0 || count.across == 0) return false;
    const std::uint32_t column = (index - 1) % count.across;
    const std::uint32_t row = (index - 1) / count.across;
    const std::uint32_t step_x = static_cast<std::uint32_t>(properties.single_tile_pixel_width) +
                                 properties.space_between_tiles_pixel_x;
    const std::uint32_t step_y = static_cast<std::uint32_t>(properties.single_tile_pixel_height) +
                                 properties.space_between_tiles_pixel_y;
    position.x = static_cast<std::int32_t>(column * step_x +
                                           static_cast<std::uint32_t>(properties.first_tile_offset_pixel_x));
    position.y = static_cast<std::int32_t>(row * step_y +
                                           static_cast<std::uint32_t>(properties.first_tile_offset_pixel_y));
    return true;
}

bool tile_position(const TileSet& tile_set, std::uint32_t index, PixelPosition& position) {
    return tile_position(tile_set.properties(), count_tiles(tile_set), index, position);
}

TileSetProperties make_default_tile_set(const Project& project, const ProjectDefaults& defaults) {
    TileSetProperties tile_set;
    char name[32];
    std::snprintf(name, sizeof name, "TileSet%02lu",
                  static_cast<unsigned long>(project.next_tile_set_id + 1u));
    tile_set.name = name;
    tile_set.single_tile_pixel_width = defaults.tile_width;
    tile_set.single_tile_pixel_height = defaults.tile_height;
    tile_set.first_tile_offset_pixel_x = defaults.tile_offset_x;
    tile_set.first_tile_offset_pixel_y = defaults.tile_offset_y;
    tile_set.space_between_tiles_pixel_x = static_cast<std::uint32_t>(defaults.tile_spacing_x);
    tile_set.space_between_tiles_pixel_y = static_cast<std::uint32_t>(defaults.tile_spacing_y);
    tile_set.use_transparent_colour = defaults.tile_set_use_transparent_colour;
    tile_set.transparent_colour = defaults.tile_set_transparent_colour & 0x00FFFFFFu;
    return tile_set;
}

void store_tile_set_defaults(ProjectDefaults& defaults, const TileSetProperties& tile_set) {
    defaults.tile_width = tile_set.single_tile_pixel_width;
    defaults.tile_height = tile_set.single_tile_pixel_height;
    defaults.tile_offset_x = tile_set.first_tile_offset_pixel_x;
    defaults.tile_offset_y = tile_set.first_tile_offset_pixel_y;
    defaults.tile_spacing_x = static_cast<std::int32_t>(tile_set.space_between_tiles_pixel_x);
    defaults.tile_spacing_y = static_cast<std::int32_t>(tile_set.space_between_tiles_pixel_y);
    defaults.tile_set_use_transparent_colour = tile_set.use_transparent_colour;
    defaults.tile_set_transparent_colour = tile_set.transparent_colour;
}

void reload_tile_set_image(TileSet& tile_set, Platform* platform) {
    tile_set.image.release();
    if (tile_set.image_path_and_file_name.empty()) return;
    try {
        if (load_image(tile_set.image, tile_set.image_path_and_file_name.view(), ImageKind::Empty, platform,
                       true, tile_set.use_transparent_colour, tile_set.transparent_colour) != kImageLoaded)
            tile_set.image.release();
    } catch (const std::bad_alloc&) {
        tile_set.image.release();
    }
}

TileSet* add_tile_set(Project& project, const TileSetProperties& tmpl, bool keep_id, Platform* platform) {
    std::unique_ptr<TileSet> tile_set;
    ObjectId id = kInvalidId;
    bool overflow = project.did_tile_set_id_overflow;
    try {
        tile_set = std::make_unique<TileSet>();
        reserve_one_more(project.tile_sets);
        id = allocate_id(keep_id, tmpl.unique_id, project.next_tile_set_id, overflow, project.tile_sets);
    } catch (const std::bad_alloc&) {
        report_out_of_memory(platform, "Not enough memory to add a new Tile Set.");
        return nullptr;
    }
    project.did_tile_set_id_overflow = overflow;
    advance_id_counter(id, project.next_tile_set_id, project.did_tile_set_id_overflow);

    tile_set->properties() = tmpl;
    tile_set->unique_id = id;
    reload_tile_set_image(*tile_set, platform);
    project.tile_sets.push_back(std::move(tile_set));
    return project.tile_sets.back().get();
}

TileSet* insert_tile_set(Project& project, std::unique_ptr<TileSet>&& tile_set, int index) {
    return insert_at(project.tile_sets, std::move(tile_set), index);
}

Detached<TileSet> remove_tile_set(Project& project, const TileSet* tile_set, bool free_it) {
    const bool was_selected = tile_set && project.selected_tile_set() == tile_set;
    Detached<TileSet> result = detach(project.tile_sets, tile_set, free_it);
    if (result && was_selected)
        project.select_tile_set(project.tile_sets.empty() ? kInvalidId
                                                          : project.tile_sets.front()->unique_id);
    return result;
}

void edit_tile_set(TileSet& tile_set, const TileSetProperties& edited, Platform* platform) {
    const TileSetProperties kept = tile_set.properties();
    const bool reload = tile_set.image.empty() ||
                        kept.image_path_and_file_name != edited.image_path_and_file_name ||
                        kept.use_transparent_colour != edited.use_transparent_colour ||
                        kept.transparent_colour != edited.transparent_colour;
    tile_set.properties() = edited;
    tile_set.unique_id = kept.unique_id;
    tile_set.next_mosaic_id = kept.next_mosaic_id;
    tile_set.did_mosaic_id_overflow = kept.did_mosaic_id_overflow;
    tile_set.selected_mosaic_id = kept.selected_mosaic_id;
    tile_set.left_most_mosaic_id_on_mosaics_dialog = kept.left_most_mosaic_id_on_mosaics_dialog;
    if (reload) reload_tile_set_image(tile_set, platform);
}

TileSet* find_tile_set(const Project& project, ObjectId id, int* index) {
    return find_by_id(project.tile_sets, id, index);
}

TileSet* tile_set_at(const Project& project, long long position) {
    return find_at(project.tile_sets, position);
}

Mosaic* add_mosaic(Project& project, const Mosaic& tmpl, bool keep_id, Platform* platform) {
    TileSet* tile_set = find_tile_set(project, tmpl.tile_set_id);
    if (!tile_set) return nullptr;
    return add_mosaic(*tile_set, tmpl, keep_id, platform);
}

Mosaic* add_mosaic(TileSet& tile_set, const Mosaic& tmpl, bool keep_id, Platform* platform) {
    std::unique_ptr<Mosaic> mosaic;
    ObjectId id = kInvalidId;
    bool overflow = tile_set.did_mosaic_id_overflow;
    try {
        mosaic = std::make_unique<Mosaic>();
        const std::size_t cells = static_cast<std::size_t>(tmpl.gw) * tmpl.gh;
        if (cells > mosaic->grid.max_size()) throw std::bad_alloc();
        if (tmpl.grid.size() == cells)
            mosaic->grid = tmpl.grid;
        else
            mosaic->grid.assign(cells, GridCell{});
        reserve_one_more(tile_set.mosaics);
        id = allocate_id(keep_id, tmpl.uid, tile_set.next_mosaic_id, overflow, tile_set.mosaics);
    } catch (const std::bad_alloc&) {
        report_out_of_memory(platform, "Not enough memory to add a new Mosaic.");
        return nullptr;
    } catch (const std::length_error&) {
        report_out_of_memory(platform, "Not enough memory to add a new Mosaic.");
        return nullptr;
    }
    tile_set.did_mosaic_id_overflow = overflow;
    // The same counter rule as the project's kinds: id + 1, so keep-id mosaics never collide later.
    advance_id_counter(id, tile_set.next_mosaic_id, tile_set.did_mosaic_id_overflow);

    mosaic->uid = id;
    mosaic->tile_set_id = tile_set.unique_id;
    mosaic->gw = tmpl.gw;
    mosaic->gh = tmpl.gh;
    if (tile_set.left_most_mosaic_id_on_mosaics_dialog == kInvalidId)
        tile_set.left_most_mosaic_id_on_mosaics_dialog = id;
    tile_set.mosaics.push_back(std::move(mosaic));
    return tile_set.mosaics.back().get();
}

bool remove_mosaic(TileSet& tile_set, ObjectId uid) {
    Mosaic* mosaic = find_mosaic(tile_set, uid);
    if (!mosaic) return false;
    if (tile_set.left_most_mosaic_id_on_mosaics_dialog == uid)
        tile_set.left_most_mosaic_id_on_mosaics_dialog = kInvalidId;
    if (tile_set.selected_mosaic_id == uid) tile_set.selected_mosaic_id = kInvalidId;
    detach(tile_set.mosaics, mosaic, true);
    return true;
}

Mosaic* find_mosaic(const TileSet& tile_set, ObjectId uid, int* index) {
    return find_by_id(tile_set.mosaics, uid, index);
}

Mosaic* mosaic_at(const TileSet& tile_set, long long position) { return find_at(tile_set.mosaics, position); }

Mosaic* create_mosaic_from_area(TileSet& tile_set, const Layer& layer, std::int32_t x1, std::int32_t y1,
                                std::int32_t x2, std::int32_t y2, Platform* platform) {
    const std::int32_t w = layer.grid_width;
    const std::int32_t h = layer.grid_height;
    if (w <= 0 || h <= 0 || layer.grid.size() != layer.cell_count()) return nullptr;
    if ((x1 < 0 && x2 < 0) || (x1 > w - 1 && x2 > w - 1) || (y1 < 0 && y2 < 0) || (y1 > h - 1 && y2 > h - 1))
        return nullptr;
    x1 = std::clamp(x1, 0, w - 1);
    x2 = std::clamp(x2, 0, w - 1);
    y1 = std::clamp(y1, 0, h - 1);
    y2 = std::clamp(y2, 0, h - 1);
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    const std::uint32_t width = static_cast<std::uint32_t>(x2 - x1 + 1);
    const std::uint32_t height = static_cast<std::uint32_t>(y2 - y1 + 1);

    Mosaic area;
    area.tile_set_id = tile_set.unique_id;
    area.gw = width;
    area.gh = height;
    try {
        area.grid.resize(static_cast<std::size_t>(width) * height);
    } catch (const std::bad_alloc&) {
        report_out_of_memory(platform, "Not enough memory to add a new Mosaic.");
        return nullptr;
    }
    for (std::uint32_t row = 0; row < height; ++row) {
        const GridCell* source = layer.cell(x1, y1 + static_cast<std::int32_t>(row));
        std::copy(source, source + width, area.grid.begin() + static_cast<std::ptrdiff_t>(row) * width);
    }
    return add_mosaic(tile_set, area, false, platform);
}

}  // namespace zorva
