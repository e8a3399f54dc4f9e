// Tile sets (an image cut into equal tiles) and their mosaics (stored rectangles of grid cells).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/platform.h"
#include "image/image.h"
#include "model/custom_variables.h"
#include "model/fixed_text.h"
#include "model/grid_cell.h"
#include "model/ids.h"
#include "model/object_list.h"
#include "model/project_defaults.h"

namespace zorva {

class Project;
struct Layer;

struct Mosaic {
    ObjectId uid = kInvalidId;          // unique within its tile set
    ObjectId tile_set_id = kInvalidId;  // the owning tile set
    std::uint32_t gw = 0;               // width in cells
    std::uint32_t gh = 0;               // height in cells
    std::vector<GridCell> grid;         // gw * gh cells, row by row

    ObjectId id() const { return uid; }
    // Cell (x, y), or null outside the grid.
    const GridCell* cell(std::uint32_t x, std::uint32_t y) const;
};

// Every stored field of a tile set: what files hold, dialogs edit and undo snapshots copy.
struct TileSetProperties {
    ObjectId unique_id = kInvalidId;
    std::uint32_t user_supplied_id = 0;
    NameText name;
    std::int32_t single_tile_pixel_width = 32;
    std::int32_t single_tile_pixel_height = 32;
    std::int32_t first_tile_offset_pixel_x = 0;
    std::int32_t first_tile_offset_pixel_y = 0;
    std::uint32_t space_between_tiles_pixel_x = 0;
    std::uint32_t space_between_tiles_pixel_y = 0;
    bool is_locked = false;
    PathText image_path_and_file_name;
    bool use_transparent_colour = false;
    std::uint32_t transparent_colour = 0;  // red + green * 256 + blue * 65536
    ObjectId next_mosaic_id = 0;
    bool did_mosaic_id_overflow = false;
    ObjectId selected_mosaic_id = kInvalidId;
    ObjectId left_most_mosaic_id_on_mosaics_dialog = kInvalidId;
    TextVariables custom_variables;

    ObjectId id() const { return unique_id; }
};

struct TileSet : TileSetProperties {
    Image image;                 // loaded from the path on add and edit; empty when loading failed
    ObjectList<Mosaic> mosaics;  // ordered, owned

    TileSetProperties& properties() { return *this; }
    const TileSetProperties& properties() const { return *this; }
};

// Tiles (or animation frames) in an image.
struct TileCount {
    std::uint32_t across = 0;
    std::uint32_t down = 0;
    std::uint32_t count = 0;  // across * down when both are above 0 (saturates at 0xFFFFFFFE)
};

// The tile rule in 32-bit arithmetic: step = size + space (unsigned); across = (W - offset) / step,
// unsigned division; one more when the pixels left, compared as signed, are at least the tile size.
// A step of 0, a tile size of 0 or less, or an offset at or beyond the image size give no tiles.
TileCount count_tiles_in_area(std::uint32_t image_width, std::uint32_t image_height, std::int32_t tile_width,
                              std::int32_t tile_height, std::int32_t offset_x, std::int32_t offset_y,
                              std::uint32_t space_x, std::uint32_t space_y);

// Tiles of a tile set: none without a loaded image.
TileCount count_tiles(const TileSet& tile_set);

// Top-left pixel of 1-based tile `index` in the tile set's image; false for index 0 or no tiles across.
struct PixelPosition {
    std::int32_t x = 0;
    std::int32_t y = 0;
};
bool tile_position(const TileSet& tile_set, std::uint32_t index, PixelPosition& position);
bool tile_position(const TileSetProperties& properties, const TileCount& count, std::uint32_t index,
                   PixelPosition& position);

// A template for the New Tile Set dialog: defaults, the name "TileSet%02lu" with the counter + 1, and the
// geometry, transparency flag and colour from `defaults`.
TileSetProperties make_default_tile_set(const Project& project, const ProjectDefaults& defaults);
// Confirming the dialog for a new tile set writes its geometry and transparency back to the defaults.
void store_tile_set_defaults(ProjectDefaults& defaults, const TileSetProperties& tile_set);

// Adds a copy of `tmpl` at the end of the project's tile sets (id kept with `keep_id`, else allocated),
// loads its image quietly, and returns it. Out of memory: "Not enough memory to add a new Tile Set."
// and null. The mosaic list starts empty.
TileSet* add_tile_set(Project& project, const TileSetProperties& tmpl, bool keep_id, Platform* platform);
// Re-links a removed tile set at `index` (undo); null (and `tile_set` kept) when memory ran out.
TileSet* insert_tile_set(Project& project, std::unique_ptr<TileSet>&& tile_set, int index);
// Unlinks the tile set (and frees it with `free_it`). When it was selected, the first tile set becomes
// selected (none when the list is empty).
Detached<TileSet> remove_tile_set(Project& project, const TileSet* tile_set, bool free_it);
// The one way a tile set takes new properties: its dialog's OK and the undo and redo of "Tile set
// properties". The id and the mosaic bookkeeping (counter, overflow flag, selected and left-most mosaic)
// stay as they are: they belong to the mosaic list, and turning the counter back would hand out ids that
// mosaics made since then still carry. The image is loaded again when its path or transparency changed or
// no image is loaded.
void edit_tile_set(TileSet& tile_set, const TileSetProperties& edited, Platform* platform);
// Releases and loads the tile set's image again from its path (quietly).
void reload_tile_set_image(TileSet& tile_set, Platform* platform);

TileSet* find_tile_set(const Project& project, ObjectId id, int* index = nullptr);
TileSet* tile_set_at(const Project& project, long long position);

// Mosaics. The add finds the tile set by `tmpl.tile_set_id` (null when none has it). The grid is a copy of
// the template's when it holds gw * gh cells, else all zero. Out of memory: "Not enough memory to add a
// new Mosaic.".
Mosaic* add_mosaic(Project& project, const Mosaic& tmpl, bool keep_id, Platform* platform);
Mosaic* add_mosaic(TileSet& tile_set, const Mosaic& tmpl, bool keep_id, Platform* platform);
// Unlinks and frees the mosaic with `uid`; clears `selected_mosaic_id` and
// `left_most_mosaic_id_on_mosaics_dialog` when they named it. False when there is none.
bool remove_mosaic(TileSet& tile_set, ObjectId uid);
Mosaic* find_mosaic(const TileSet& tile_set, ObjectId uid, int* index = nullptr);
Mosaic* mosaic_at(const TileSet& tile_set, long long position);

// Copies the cells of the rectangle (x1, y1)-(x2, y2) (any order, clamped to the grid) of `layer` into a
// new mosaic of `tile_set`. Null when the rectangle lies wholly outside the grid or memory ran out.
Mosaic* create_mosaic_from_area(TileSet& tile_set, const Layer& layer, std::int32_t x1, std::int32_t y1,
                                std::int32_t x2, std::int32_t y2, Platform* platform);

}  // namespace zorva
