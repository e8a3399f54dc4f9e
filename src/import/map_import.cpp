#include "import/map_import.h"

#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <new>
#include <vector>

#include "base/ascii_text.h"
#include "image/image_loader.h"
#include "model/project_defaults.h"

namespace zorva {

namespace {

constexpr const char* kMapMemoryText =
    "Not enough memory to load the map.\nMake sure the map's width and height are correct.";
constexpr const char* kLayerMemoryText = "Not enough memory to load the layer.";
constexpr std::uint64_t kLayerOverhead = 64;  // allocator and list bookkeeping per layer

std::string format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* pattern, ...) {
    char text[1024];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(text, sizeof text, pattern, arguments);
    va_end(arguments);
    return text;
}

std::uint64_t saturating_multiply(std::uint64_t a, std::uint64_t b) {
    if (a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a)
        return std::numeric_limits<std::uint64_t>::max();
    return a * b;
}

std::uint64_t saturating_add(std::uint64_t a, std::uint64_t b) {
    return b > std::numeric_limits<std::uint64_t>::max() - a ? std::numeric_limits<std::uint64_t>::max()
                                                             : a + b;
}

// Cell values: `size` bytes (1 to 4), unsigned little-endian.
std::uint32_t little_endian(const std::uint8_t* bytes, std::uint32_t size) {
    std::uint32_t value = 0;
    for (std::uint32_t i = 0; i < size; ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return value;
}

void convert_cells(const std::uint8_t* bytes, std::uint32_t cell_size, std::int32_t adjuster,
                   std::vector<GridCell>& grid) {
    const std::uint32_t add = static_cast<std::uint32_t>(adjuster);
    const std::size_t count = grid.size();
    switch (cell_size) {
        case 1:
            for (std::size_t i = 0; i < count; ++i) grid[i] = {bytes[i] + add, 0};
            break;
        case 2:
            for (std::size_t i = 0; i < count; ++i)
                grid[i] = {(bytes[2 * i] | static_cast<std::uint32_t>(bytes[2 * i + 1]) << 8) + add, 0};
            break;
        default:
            for (std::size_t i = 0; i < count; ++i)
                grid[i] = {little_endian(bytes + i * cell_size, cell_size) + add, 0};
            break;
    }
}

bool same_transparency(const TileSet& tile_set, const ImportSettings& settings) {
    if (!tile_set.use_transparent_colour && !settings.use_transparent_colour) return true;
    return tile_set.use_transparent_colour && settings.use_transparent_colour &&
           (tile_set.transparent_colour & 0x00FFFFFFu) == (settings.transparent_colour & 0x00FFFFFFu);
}

struct Failure {
    std::string message;  // empty: the import ends without a message of its own
};

class Importer {
public:
    Importer(const ImportSettings& settings, MapSource& source, std::optional<std::uint64_t> file_size,
             Project& project, bool merging, Platform& platform, std::uint64_t memory_limit)
        : settings_(settings),
          source_(source),
          file_size_(file_size),
          project_(project),
          merging_(merging),
          platform_(platform),
          memory_limit_(memory_limit) {}

    // The new map's id; throws Failure.
    ObjectId run();
    bool changed() const { return changed_; }

private:
    TileSet* tile_set();
    // The texts of one side of the map: "Width" / "width", "Height" / "height".
    struct Side {
        const char* field;  // "Width"
        const char* name;   // "width"
    };
    std::int32_t map_side(const Side& side, bool from_file, std::uint32_t fixed, std::uint32_t field_size,
                          bool use_position, std::int32_t position);
    void seek_to(std::int32_t position, const char* what);
    void check_memory(std::int32_t width, std::int32_t height, std::uint32_t cell_size);
    void read_layers(Map& map, std::int32_t width, std::int32_t height, std::uint32_t cell_size);

    const ImportSettings& settings_;
    MapSource& source_;
    std::optional<std::uint64_t> file_size_;
    Project& project_;
    bool merging_;
    Platform& platform_;
    std::uint64_t memory_limit_;
    bool changed_ = false;
    std::uint64_t layer_memory_ = 0;    // one layer in the project
    std::uint64_t working_memory_ = 0;  // buffers of the layer being read
};

TileSet* Importer::tile_set() {
    const std::string_view image = settings_.tile_set_image.view();
    const auto tile_width = static_cast<std::int32_t>(settings_.tile_width);
    const auto tile_height = static_cast<std::int32_t>(settings_.tile_height);
    if (merging_) {
        for (const auto& candidate : project_.tile_sets) {
            if (equal_ignoring_case(candidate->image_path_and_file_name.view(), image) &&
                candidate->single_tile_pixel_width == tile_width &&
                candidate->single_tile_pixel_height == tile_height &&
                same_transparency(*candidate, settings_))
                return candidate.get();
        }
    }
    TileSetProperties tmpl = make_default_tile_set(project_, ProjectDefaults{});
    tmpl.single_tile_pixel_width = tile_width;
    tmpl.single_tile_pixel_height = tile_height;
    tmpl.first_tile_offset_pixel_x = 0;
    tmpl.first_tile_offset_pixel_y = 0;
    tmpl.space_between_tiles_pixel_x = 0;
    tmpl.space_between_tiles_pixel_y = 0;
    tmpl.image_path_and_file_name = settings_.tile_set_image;
    tmpl.use_transparent_colour = settings_.use_transparent_colour;
    tmpl.transparent_colour =
        settings_.use_transparent_colour ? settings_.transparent_colour & 0x00FFFFFFu : 0;
    TileSet* added = add_tile_set(project_, tmpl, false, nullptr);
    if (!added) throw Failure{"Failed to add the tile set."};
    changed_ = true;
    return added;
}

void Importer::seek_to(std::int32_t position, const char* what) {
    if (!source_.seek(position) || source_.at_end() ||
        (file_size_ && static_cast<std::uint64_t>(position) >= *file_size_))
        throw Failure{format("Invalid start position of %s: %d", what, position)};
}

std::int32_t Importer::map_side(const Side& side, bool from_file, std::uint32_t fixed,
                                std::uint32_t field_size, bool use_position, std::int32_t position) {
    std::int32_t value = static_cast<std::int32_t>(fixed);
    if (from_file) {
        if (use_position) seek_to(position, format("Map %s", side.field).c_str());
        // A field is 1 to 4 bytes: more would not fit the value, none would leave it unread.
        if (field_size < 1 || field_size > 4)
            throw Failure{format("Invalid size of the %s field (bytes): %d", side.field,
                                 static_cast<std::int32_t>(field_size))};
        std::uint8_t bytes[4] = {};
        source_.read(bytes, field_size);  // bytes missing at the end of the file stay 0
        value = static_cast<std::int32_t>(little_endian(bytes, field_size));
    }
    if (value <= 0) throw Failure{format("Invalid map %s: %d", side.name, value)};
    if (from_file && value > kLargeMapSide) {
        const std::string text =
            format("Warning:\n\nThe map %s is %d.\nLarge maps may take long to load.\n\nIs this %s correct?",
                   side.name, value, side.name);
        const std::string caption = format("Map %s greater than %d", side.name, kLargeMapSide);
        if (platform_.message_box(text, caption, MessageButtons::YesNoCancel, MessageIcon::Warning,
                                  Answer::Yes) != Answer::Yes)
            throw Failure{};
    }
    return value;
}

// Refuses sizes whose cells the file cannot hold, and files that would make more layers than memory
// allows, before anything of the size is allocated.
void Importer::check_memory(std::int32_t width, std::int32_t height, std::uint32_t cell_size) {
    const std::uint64_t cells = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    layer_memory_ =
        saturating_add(saturating_multiply(cells, sizeof(GridCell)), sizeof(Layer) + kLayerOverhead);
    // The cell buffer, the grid, and the copy of the grid the layer is added with.
    working_memory_ = saturating_multiply(cells, 2 * sizeof(GridCell) + cell_size);
    if (!file_size_) {
        if (saturating_add(working_memory_, layer_memory_) > memory_limit_) throw Failure{kLayerMemoryText};
        return;
    }
    const std::uint64_t start = source_.position();
    const std::uint64_t available = *file_size_ > start ? *file_size_ - start : 0;
    if (saturating_multiply(cells, cell_size) > available) throw Failure{kMapMemoryText};
    // Each layer takes its cells with their gaps, then the gap after the layer; the last one may be short.
    const std::uint64_t layer_bytes = saturating_add(
        saturating_multiply(cells, static_cast<std::uint64_t>(cell_size) + settings_.skip_after_cell),
        settings_.skip_after_layer);
    const std::uint64_t layers = available == 0 ? 1 : (available - 1) / layer_bytes + 1;
    if (saturating_add(saturating_multiply(layers, layer_memory_), working_memory_) > memory_limit_)
        throw Failure{
            format("The MAP file would make %llu layers of %d x %d cells, more than memory allows.\n"
                   "Make sure the map's width, height and cell size are correct.",
                   static_cast<unsigned long long>(layers), width, height)};
}

void Importer::read_layers(Map& map, std::int32_t width, std::int32_t height, std::uint32_t cell_size) {
    const std::size_t cells = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> buffer;
    std::vector<GridCell> grid;
    try {
        buffer.resize(cells * cell_size);
        grid.resize(cells);
    } catch (const std::bad_alloc&) {
        throw Failure{kLayerMemoryText};
    } catch (const std::length_error&) {
        throw Failure{kLayerMemoryText};
    }
    const std::uint32_t skip = settings_.skip_after_cell;
    for (unsigned long long n = 0;; ++n) {
        // Without the file's size only the memory limit bounds the layers (a device that never ends).
        if (!file_size_ &&
            saturating_add(saturating_multiply(n + 1, layer_memory_), working_memory_) > memory_limit_)
            throw Failure{
                format("The MAP file holds more than %llu layers of %d x %d cells, more than memory "
                       "allows.\nMake sure the map's width, height and cell size are correct.",
                       n, width, height)};
        LayerProperties tmpl;
        char name[32];
        std::snprintf(name, sizeof name, "Layer%02llu", n);
        tmpl.name = name;
        tmpl.map_id = map.unique_id;
        tmpl.grid_width = width;
        tmpl.grid_height = height;

        std::fill(buffer.begin(), buffer.end(), std::uint8_t{0});
        bool reached_end = false;
        if (skip == 0) {
            reached_end = source_.read(buffer.data(), buffer.size()) < buffer.size();
        } else {
            for (std::size_t i = 0; i < cells; ++i) {
                if (source_.read(buffer.data() + i * cell_size, cell_size) < cell_size) reached_end = true;
                if (!source_.skip(skip))
                    throw Failure{
                        "Failed to load the grid.\nMake sure the number of bytes to skip after each cell, is "
                        "correct."};
            }
        }
        if (settings_.skip_after_layer > 0) source_.skip(settings_.skip_after_layer);
        const std::uint64_t noted = source_.position();

        convert_cells(buffer.data(), cell_size, settings_.tile_index_adjuster, grid);
        if (!add_layer(project_, tmpl, false, nullptr, grid)) throw Failure{"Failed to add a layer."};
        if ((file_size_ && noted >= *file_size_) || reached_end || source_.at_end()) break;
    }
}

ObjectId Importer::run() {
    const auto cell_size = static_cast<std::int32_t>(settings_.cell_size);
    // A cell is 1 to 4 bytes: a larger one would not fit its value.
    if (cell_size <= 0 || cell_size > 4) throw Failure{format("Invalid cell size (bytes): %d", cell_size)};
    const auto tile_width = static_cast<std::int32_t>(settings_.tile_width);
    if (tile_width <= 0) throw Failure{format("Invalid tile width: %d", tile_width)};
    const auto tile_height = static_cast<std::int32_t>(settings_.tile_height);
    if (tile_height <= 0) throw Failure{format("Invalid tile height: %d", tile_height)};

    {
        Image test;
        if (load_image(test, settings_.tile_set_image.view(), ImageKind::Empty, &platform_, true,
                       settings_.use_transparent_colour, settings_.transparent_colour) != kImageLoaded)
            throw Failure{
                format("Failed to load the map's tile set image:\n%s", settings_.tile_set_image.c_str())};
    }
    TileSet* used = tile_set();

    const std::int32_t width =
        map_side({"Width", "width"}, settings_.width_from_file, settings_.map_width,
                 settings_.width_field_size, settings_.use_width_position, settings_.width_position);
    const std::int32_t height =
        map_side({"Height", "height"}, settings_.height_from_file, settings_.map_height,
                 settings_.height_field_size, settings_.use_height_position, settings_.height_position);

    MapProperties tmpl = make_default_map(project_);
    tmpl.use_tile_set_id = used->unique_id;
    Map* map = add_map(project_, tmpl, false, nullptr);
    if (!map) throw Failure{"Failed to add the map."};
    changed_ = true;
    // The sizes as 32-bit products, as the layer buffers are sized.
    const std::uint32_t cells32 = static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height);
    if (cells32 * 8u == 0 || cells32 * static_cast<std::uint32_t>(cell_size) == 0)
        throw Failure{kMapMemoryText};

    if (settings_.use_map_array_position) seek_to(settings_.map_array_position, "Map Array");

    check_memory(width, height, static_cast<std::uint32_t>(cell_size));
    read_layers(*map, width, height, static_cast<std::uint32_t>(cell_size));

    if (settings_.invert_layer_order && map->layers.size() > 1)
        std::reverse(map->layers.begin(), map->layers.end());
    return map->unique_id;
}

std::string failed_to_load_text(const ImportSettings& settings) {
    return "Failed to load the map:\n\n" + settings.map_file.str() + "\n\n";
}

}  // namespace

std::uint64_t default_import_memory_limit() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long free_pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long page_size = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || page_size <= 0) return std::uint64_t{1} << 30;
    const std::uint64_t half =
        saturating_multiply(static_cast<std::uint64_t>(pages), static_cast<std::uint64_t>(page_size)) / 2;
    if (free_pages <= 0) return half;
    return std::min(half, saturating_multiply(static_cast<std::uint64_t>(free_pages),
                                              static_cast<std::uint64_t>(page_size)));
}

ImportResult import_binary_map(const ImportSettings& settings, MapSource& source,
                               std::optional<std::uint64_t> file_size, Project* target, Platform& platform,
                               const ImportOptions& options) {
    ImportResult result;
    std::unique_ptr<Project> made;
    Project* project = target;
    if (!project) {
        made = std::make_unique<Project>();
        project = made.get();
    }
    const std::uint64_t limit =
        options.memory_limit != 0 ? options.memory_limit : default_import_memory_limit();
    Importer importer(settings, source, file_size, *project, target != nullptr, platform, limit);
    try {
        result.map_id = importer.run();
    } catch (const Failure& failure) {
        result.message = failure.message.empty() ? failed_to_load_text(settings) : failure.message;
        result.caption = "Load Error";
        result.target_changed = target != nullptr && importer.changed();
        return result;  // a project made here goes with `made`
    } catch (const std::bad_alloc&) {
        result.message = kLayerMemoryText;
        result.caption = "Load Error";
        result.target_changed = target != nullptr && importer.changed();
        return result;
    }
    result.ok = true;
    result.project = std::move(made);
    return result;
}

ImportResult import_binary_map(const ImportSettings& settings, Project* target, Platform& platform,
                               const ImportOptions& options) {
    ImportResult result;
    if (settings.map_file.empty()) {
        result.message = result.caption = "Invalid Map file name.";
        return result;
    }
    if (settings.tile_set_image.empty()) {
        result.message = "Invalid Tile Set file name.";
        result.caption = "Invalid TileSet file name.";
        return result;
    }
    const std::string path = settings.map_file.str();
    const std::optional<std::uint64_t> size = map_file_size(path);
    const std::unique_ptr<FileMapSource> source = FileMapSource::open(path);
    if (!source) {
        result.message = failed_to_load_text(settings);
        result.caption = "Load Error";
        return result;
    }
    return import_binary_map(settings, *source, size, target, platform, options);
}

}  // namespace zorva
