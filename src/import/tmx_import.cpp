#include "import/tmx_import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <map>
#include <new>
#include <pugixml.hpp>
#include <set>

#include "import/tmx_data.h"
#include "model/project_defaults.h"

namespace zorva {

namespace {

constexpr std::uint64_t kMaxMapFileBytes = std::uint64_t{512} << 20;
constexpr std::uint64_t kMaxTileSetFileBytes = std::uint64_t{16} << 20;
constexpr int kMaxGroupDepth = 64;
// The layer property that carries the cells' attribute bytes, not a custom variable.
constexpr const char* kAttributesProperty = "zorva.attributes";
constexpr std::int64_t kMaxTileSide = 65536;  // pixels of a tile, a margin or a spacing
constexpr std::int64_t kMaxCoordinate = std::int64_t{1} << 30;
constexpr std::uint64_t kObjectOverhead = 64;  // allocator and list bookkeeping per entity or path point

struct Failure {
    std::string message;
};

bool is_space_char(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string in_quotes(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::optional<std::int64_t> parse_int(std::string_view text) {
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end) return std::nullopt;
    return value;
}

std::optional<double> parse_double(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

// An integer attribute in [low, high]; `fallback` when it is missing.
std::int64_t int_attribute(const pugi::xml_node& node, const char* name, std::int64_t fallback,
                           std::int64_t low, std::int64_t high) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) return fallback;
    const std::optional<std::int64_t> value = parse_int(attribute.value());
    if (!value || *value < low || *value > high)
        throw Failure{"The " + std::string(node.name()) + " has an invalid " + name + ": " +
                      in_quotes(attribute.value()) + "."};
    return *value;
}

double double_attribute(const pugi::xml_node& node, const char* name, double fallback) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) return fallback;
    const std::optional<double> value = parse_double(attribute.value());
    if (!value || std::fabs(*value) > static_cast<double>(kMaxCoordinate))
        throw Failure{"The " + std::string(node.name()) + " has an invalid " + name + ": " +
                      in_quotes(attribute.value()) + "."};
    return *value;
}

std::string resolve(const std::filesystem::path& folder, std::string_view name) {
    std::filesystem::path path(name);
    if (path.is_relative()) path = folder / path;
    return path.lexically_normal().generic_string();
}

// "rrggbb" or "#rrggbb" as red + green * 256 + blue * 65536.
std::optional<std::uint32_t> parse_colour(std::string_view text) {
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    if (text.size() != 6) return std::nullopt;
    std::uint32_t rgb = 0;
    const auto result = std::from_chars(text.data(), text.data() + 6, rgb, 16);
    if (result.ec != std::errc() || result.ptr != text.data() + 6) return std::nullopt;
    return (rgb >> 16 & 0xFF) | (rgb >> 8 & 0xFF) << 8 | (rgb & 0xFF) << 16;
}

struct TileSetDefinition {
    std::string name;
    std::uint32_t first_gid = 1;
    std::int32_t tile_width = 0;
    std::int32_t tile_height = 0;
    std::int32_t margin = 0;
    std::int32_t spacing = 0;
    std::uint32_t tile_count = 0;  // 0 when the file does not say
    std::string image;             // absolute
    std::int64_t image_width = 0;
    bool use_transparent_colour = false;
    std::uint32_t transparent_colour = 0;
    bool has_tile_offset = false;
    pugi::xml_node properties;
};

bool same_cut(const TileSetDefinition& a, const TileSetDefinition& b) {
    return a.image == b.image && a.tile_width == b.tile_width && a.tile_height == b.tile_height &&
           a.margin == b.margin && a.spacing == b.spacing;
}

// The state a group hands down to its layers.
struct GroupState {
    bool visible = true;
    double opacity = 1.0;
    double offset_x = 0;
    double offset_y = 0;
    double parallax_x = 1.0;
    double parallax_y = 1.0;
};

GroupState descend(const GroupState& outer, const pugi::xml_node& node) {
    GroupState state = outer;
    state.visible = outer.visible && int_attribute(node, "visible", 1, 0, 1) != 0;
    state.opacity = outer.opacity * std::clamp(double_attribute(node, "opacity", 1.0), 0.0, 1.0);
    state.offset_x = outer.offset_x + double_attribute(node, "offsetx", 0);
    state.offset_y = outer.offset_y + double_attribute(node, "offsety", 0);
    // Nested groups multiply their factors: kept within what a float holds.
    state.parallax_x = std::clamp(outer.parallax_x * double_attribute(node, "parallaxx", 1.0), -1e6, 1e6);
    state.parallax_y = std::clamp(outer.parallax_y * double_attribute(node, "parallaxy", 1.0), -1e6, 1e6);
    return state;
}

struct Chunk {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::vector<std::uint32_t> gids;
};

// A tile layer as read, before the map's tile set is known; object groups ride on the tile layer before
// them.
struct LayerPlan {
    LayerProperties tmpl;
    GroupState state;
    std::int64_t base_x = 0;  // cells, the origin of infinite maps' chunks
    std::int64_t base_y = 0;
    std::int64_t width = 1;
    std::int64_t height = 1;
    std::vector<std::uint32_t> gids;  // width * height, or empty for a layer without tiles
    pugi::xml_node properties;
    std::vector<std::pair<pugi::xml_node, GroupState>> groups;
};

class TmxImporter {
public:
    TmxImporter(const std::string& path, const TmxFileReader& read_file, Project& project, bool merging,
                std::uint64_t memory_limit)
        : folder_(std::filesystem::path(path).parent_path()),
          path_(path),
          read_file_(read_file),
          project_(project),
          merging_(merging),
          budget_(memory_limit) {}

    ObjectId run(std::string_view text);
    bool changed() const { return changed_; }
    std::vector<std::string>& notes() { return notes_; }

private:
    void note(std::string text) {
        if (noted_.insert(text).second) notes_.push_back(std::move(text));
    }
    void charge(std::uint64_t bytes);
    TileSetDefinition read_tile_set(const pugi::xml_node& node, const std::filesystem::path& folder,
                                    std::uint32_t first_gid, std::string_view label);
    void read_tile_sets(const pugi::xml_node& map);
    void choose_tile_set();
    void make_tile_set();
    // The tile set definition of a global id; null for none.
    const TileSetDefinition* definition(std::uint32_t gid) const;
    // A local tile id as the number (from 0) of Zorva's tile rule over an image `across` tiles wide.
    std::uint32_t tile_index(std::uint32_t gid);
    GridCell cell(std::uint32_t gid);
    void walk(const pugi::xml_node& parent, const GroupState& state, int depth);
    std::vector<std::uint32_t> decode(const pugi::xml_node& data, std::string_view encoding,
                                      std::string_view compression, std::int64_t width, std::int64_t height,
                                      std::string_view layer);
    void add_tile_layer(const pugi::xml_node& node, const GroupState& state);
    Layer* new_layer(LayerProperties& tmpl, const GroupState& state, std::int64_t base_x, std::int64_t base_y,
                     std::span<const GridCell> grid);
    void build_layer(LayerPlan& plan);
    void read_attributes(const pugi::xml_node& properties, std::vector<GridCell>& grid,
                         std::string_view layer);
    void add_object_group(const pugi::xml_node& node, const GroupState& state);
    void add_object(const pugi::xml_node& object, Layer& layer, double origin_x, double origin_y);
    ParentEntity* parent_for(const std::string& key, const ParentEntityProperties& tmpl);
    void text_variables(const pugi::xml_node& owner, TextVariables& variables, ObjectKind kind);
    void int_variables(const pugi::xml_node& owner, IntVariables& variables, ObjectKind kind);
    void describe(ObjectKind kind, std::size_t index, std::string_view name);

    std::filesystem::path folder_;
    std::string path_;
    const TmxFileReader& read_file_;
    Project& project_;
    bool merging_;
    std::uint64_t budget_;
    bool changed_ = false;
    std::vector<std::string> notes_;
    std::set<std::string> noted_;

    std::vector<pugi::xml_document> tile_set_documents_;
    std::vector<TileSetDefinition> tile_sets_;  // by first gid
    std::vector<LayerPlan> plans_;
    std::set<std::size_t> used_sets_;            // tile sets the cells use
    const TileSetDefinition* chosen_ = nullptr;  // the map's tile set
    TileSet* tile_set_ = nullptr;
    bool infinite_ = false;
    std::int64_t map_width_ = 0;
    std::int64_t map_height_ = 0;
    std::int32_t tile_width_ = 0;
    std::int32_t tile_height_ = 0;
    Map* map_ = nullptr;
    std::map<std::string, ObjectId> parents_;
};

void TmxImporter::charge(std::uint64_t bytes) {
    if (bytes > budget_)
        throw Failure{
            "The map's layers need more memory than is available.\n"
            "Make sure the sizes the map declares are correct."};
    budget_ -= bytes;
}

TileSetDefinition TmxImporter::read_tile_set(const pugi::xml_node& node, const std::filesystem::path& folder,
                                             std::uint32_t first_gid, std::string_view label) {
    TileSetDefinition d;
    d.first_gid = first_gid;
    d.name = node.attribute("name").value();
    if (d.name.empty()) d.name = std::string(label);
    d.tile_width = static_cast<std::int32_t>(int_attribute(node, "tilewidth", 0, 1, kMaxTileSide));
    d.tile_height = static_cast<std::int32_t>(int_attribute(node, "tileheight", 0, 1, kMaxTileSide));
    if (d.tile_width == 0 || d.tile_height == 0)
        throw Failure{"The tile set " + in_quotes(d.name) + " has no tile size."};
    d.margin = static_cast<std::int32_t>(int_attribute(node, "margin", 0, 0, kMaxTileSide));
    d.spacing = static_cast<std::int32_t>(int_attribute(node, "spacing", 0, 0, kMaxTileSide));
    // "columns" is not read: tile ids run along the rows the image holds, counted from its width, margin and
    // spacing as Zorva counts tiles, whatever the attribute says.
    d.tile_count = static_cast<std::uint32_t>(int_attribute(node, "tilecount", 0, 0, kTmxTileIdMask));
    const pugi::xml_node offset = node.child("tileoffset");
    d.has_tile_offset = offset && (int_attribute(offset, "x", 0, -kMaxTileSide, kMaxTileSide) != 0 ||
                                   int_attribute(offset, "y", 0, -kMaxTileSide, kMaxTileSide) != 0);
    const pugi::xml_node image = node.child("image");
    if (!image || image.attribute("source").empty())
        throw Failure{"The tile set " + in_quotes(d.name) +
                      " is a collection of single images; Zorva tile sets cut one image into tiles."};
    d.image = resolve(folder, image.attribute("source").value());
    if (d.image.size() > kPathLength)
        throw Failure{"The path of the tile set image is longer than " + std::to_string(kPathLength) +
                      " characters:\n" + d.image};
    d.image_width = int_attribute(image, "width", 0, 0, kMaxCoordinate);
    if (const pugi::xml_attribute trans = image.attribute("trans")) {
        const std::optional<std::uint32_t> colour = parse_colour(trans.value());
        if (!colour)
            throw Failure{"The tile set " + in_quotes(d.name) + " has an invalid transparent colour."};
        d.use_transparent_colour = true;
        d.transparent_colour = *colour;
    }
    d.properties = node.child("properties");
    return d;
}

void TmxImporter::read_tile_sets(const pugi::xml_node& map) {
    for (const pugi::xml_node& node : map.children("tileset")) {
        const auto first_gid =
            static_cast<std::uint32_t>(int_attribute(node, "firstgid", 1, 1, kTmxTileIdMask));
        const pugi::xml_attribute source = node.attribute("source");
        if (!source) {
            tile_sets_.push_back(read_tile_set(node, folder_, first_gid, "TileSet"));
            continue;
        }
        const std::string file = resolve(folder_, source.value());
        const std::optional<std::string> text = read_file_(file);
        if (!text) throw Failure{"Failed to read the tile set file:\n\n" + file};
        pugi::xml_document& document = tile_set_documents_.emplace_back();
        const pugi::xml_parse_result parsed = document.load_buffer(text->data(), text->size());
        const pugi::xml_node root = document.child("tileset");
        if (!parsed || !root) throw Failure{"The tile set file is not a TMX tile set:\n\n" + file};
        tile_sets_.push_back(read_tile_set(root, std::filesystem::path(file).parent_path(), first_gid,
                                           std::filesystem::path(file).stem().string()));
    }
    std::stable_sort(
        tile_sets_.begin(), tile_sets_.end(),
        [](const TileSetDefinition& a, const TileSetDefinition& b) { return a.first_gid < b.first_gid; });
}

// The cells of a Zorva map come from one tile set: the tile sets the cells use must all cut one image the
// same way. Tile sets only tile objects use become the images of their parent entities.
void TmxImporter::choose_tile_set() {
    if (tile_sets_.empty()) return;
    chosen_ = &tile_sets_.front();
    if (used_sets_.empty()) return;
    chosen_ = &tile_sets_[*used_sets_.begin()];
    bool shared = true;
    for (const std::size_t index : used_sets_) shared = shared && same_cut(tile_sets_[index], *chosen_);
    if (shared) return;
    std::string names;
    for (const std::size_t index : used_sets_)
        names += (names.empty() ? "" : ", ") + in_quotes(tile_sets_[index].name);
    throw Failure{"The map's tiles come from " + std::to_string(used_sets_.size()) + " tile sets (" + names +
                  "); a Zorva map uses one.\nMerge them into one tile set image first."};
}

void TmxImporter::make_tile_set() {
    if (!chosen_) return;
    const TileSetDefinition& d = *chosen_;
    if (d.tile_width != tile_width_ || d.tile_height != tile_height_)
        throw Failure{"The map's tiles are " + std::to_string(tile_width_) + " x " +
                      std::to_string(tile_height_) + " pixels but those of its tile set " +
                      in_quotes(d.name) + " are " + std::to_string(d.tile_width) + " x " +
                      std::to_string(d.tile_height) +
                      ";\na Zorva map uses the size of its tile set's tiles."};
    for (const std::size_t index : used_sets_)
        if (const TileSetDefinition& each = tile_sets_[index]; each.has_tile_offset)
            note("The drawing offset of the tile set " + in_quotes(each.name) + " is left out.");
    TileSetProperties tmpl = make_default_tile_set(project_, ProjectDefaults{});
    tmpl.name = d.name;
    tmpl.single_tile_pixel_width = d.tile_width;
    tmpl.single_tile_pixel_height = d.tile_height;
    tmpl.first_tile_offset_pixel_x = d.margin;
    tmpl.first_tile_offset_pixel_y = d.margin;
    tmpl.space_between_tiles_pixel_x = static_cast<std::uint32_t>(d.spacing);
    tmpl.space_between_tiles_pixel_y = static_cast<std::uint32_t>(d.spacing);
    tmpl.image_path_and_file_name = d.image;
    tmpl.use_transparent_colour = d.use_transparent_colour;
    tmpl.transparent_colour = d.transparent_colour;
    text_variables(d.properties, tmpl.custom_variables, ObjectKind::TileSet);
    tile_set_ = add_tile_set(project_, tmpl, false, nullptr);
    if (!tile_set_) throw Failure{"Failed to add the tile set."};
    changed_ = true;
    if (tile_set_->image.empty()) note("The tile set image could not be loaded:\n" + d.image);
}

const TileSetDefinition* TmxImporter::definition(std::uint32_t gid) const {
    const std::uint32_t id = gid & kTmxTileIdMask;
    auto it =
        std::upper_bound(tile_sets_.begin(), tile_sets_.end(), id,
                         [](std::uint32_t value, const TileSetDefinition& d) { return value < d.first_gid; });
    if (id == 0 || it == tile_sets_.begin()) return nullptr;
    return &*(it - 1);
}

std::uint32_t TmxImporter::tile_index(std::uint32_t gid) {
    if ((gid & kTmxTileIdMask) == 0) return 0;
    const TileSetDefinition* d = definition(gid);
    if (!d || !chosen_ || !same_cut(*d, *chosen_)) {
        note("Cells with tiles of no tile set are left empty.");
        return 0;
    }
    const std::uint64_t index = (gid & kTmxTileIdMask) - d->first_gid;
    if (index + 1 > 0xFFFFFFFEu) {
        note("Cells with tiles of no tile set are left empty.");
        return 0;
    }
    return static_cast<std::uint32_t>(index + 1);
}

GridCell TmxImporter::cell(std::uint32_t gid) {
    GridCell c;
    c.tile = tile_index(gid);
    if (c.tile == 0) return c;
    const bool h = (gid & kTmxFlipHorizontal) != 0;
    const bool v = (gid & kTmxFlipVertical) != 0;
    const bool d = (gid & kTmxFlipDiagonal) != 0;
    // The anti-diagonal flip is a quarter turn followed by a horizontal mirror.
    c.flags = d ? make_cell_flags(!h, v, true, 0) : make_cell_flags(h, v, false, 0);
    return c;
}

std::vector<std::uint32_t> TmxImporter::decode(const pugi::xml_node& data, std::string_view encoding,
                                               std::string_view compression, std::int64_t width,
                                               std::int64_t height, std::string_view layer) {
    const auto cells = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    charge(cells * sizeof(std::uint32_t));
    std::vector<std::uint32_t> gids;
    if (encoding.empty()) {
        // One <tile gid="..."/> element per cell.
        std::uint64_t count = 0;
        for (const pugi::xml_node& tile : data.children("tile")) {
            (void)tile;
            ++count;
        }
        if (count != cells)
            throw Failure{"The data of the layer " + in_quotes(layer) + " holds " + std::to_string(count) +
                          " cells, not the " + std::to_string(cells) + " its size declares."};
        gids.reserve(cells);
        for (const pugi::xml_node& tile : data.children("tile"))
            gids.push_back(static_cast<std::uint32_t>(int_attribute(tile, "gid", 0, 0, 0xFFFFFFFFll)));
        return gids;
    }
    std::string error;
    if (!decode_tmx_cells(data.text().get(), encoding, compression, static_cast<std::size_t>(cells), gids,
                          error))
        throw Failure{"The layer " + in_quotes(layer) + " cannot be read:\n" + error};
    return gids;
}

Layer* TmxImporter::new_layer(LayerProperties& tmpl, const GroupState& state, std::int64_t base_x,
                              std::int64_t base_y, std::span<const GridCell> grid) {
    // Offsets in whole cells: Zorva places layers on the grid.
    const double cells_x = state.offset_x / tile_width_;
    const double cells_y = state.offset_y / tile_height_;
    if (cells_x != std::floor(cells_x) || cells_y != std::floor(cells_y))
        note("The offsets of the layer " + in_quotes(tmpl.name.view()) + " are rounded to whole cells.");
    const std::int64_t offset_x = base_x + static_cast<std::int64_t>(std::lround(cells_x));
    const std::int64_t offset_y = base_y + static_cast<std::int64_t>(std::lround(cells_y));
    if (std::llabs(offset_x) > kMaxCoordinate || std::llabs(offset_y) > kMaxCoordinate)
        throw Failure{"The layer " + in_quotes(tmpl.name.view()) + " lies too far from the map's origin."};
    tmpl.map_id = map_->unique_id;
    tmpl.grid_offset_x = static_cast<std::int32_t>(offset_x);
    tmpl.grid_offset_y = static_cast<std::int32_t>(offset_y);
    tmpl.is_visible = state.visible;
    tmpl.opacity = static_cast<std::uint8_t>(std::lround(std::clamp(state.opacity, 0.0, 1.0) * 255.0));
    tmpl.scroll_speed_x = static_cast<float>(state.parallax_x);
    tmpl.scroll_speed_y = static_cast<float>(state.parallax_y);
    Layer* layer = add_layer(project_, tmpl, false, nullptr, grid);
    if (!layer) throw Failure{"Failed to add a layer."};
    return layer;
}

void TmxImporter::add_tile_layer(const pugi::xml_node& node, const GroupState& outer) {
    const GroupState state = descend(outer, node);
    LayerProperties tmpl;
    tmpl.name = node.attribute("name").value();
    text_variables(node.child("properties"), tmpl.custom_variables, ObjectKind::Layer);
    const std::string name(tmpl.name.view());
    const pugi::xml_node data = node.child("data");
    const std::string_view encoding = data.attribute("encoding").value();
    const std::string_view compression = data.attribute("compression").value();

    std::vector<std::uint32_t> grid;
    std::int64_t width = 1, height = 1, base_x = 0, base_y = 0;
    if (!infinite_) {
        width = int_attribute(node, "width", map_width_, 1, kMaxCoordinate);
        height = int_attribute(node, "height", map_height_, 1, kMaxCoordinate);
        charge(static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * sizeof(GridCell));
        if (data) grid = decode(data, encoding, compression, width, height, name);
    } else {
        std::vector<Chunk> chunks;
        std::int64_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        bool any = false;
        for (const pugi::xml_node& element : data.children("chunk")) {
            Chunk chunk;
            chunk.x = int_attribute(element, "x", 0, -kMaxCoordinate, kMaxCoordinate);
            chunk.y = int_attribute(element, "y", 0, -kMaxCoordinate, kMaxCoordinate);
            chunk.width = int_attribute(element, "width", 0, 1, kMaxCoordinate);
            chunk.height = int_attribute(element, "height", 0, 1, kMaxCoordinate);
            if (chunk.width == 0 || chunk.height == 0)
                throw Failure{"A chunk of the layer " + in_quotes(name) + " has no size."};
            chunk.gids = decode(element, encoding, compression, chunk.width, chunk.height, name);
            if (std::all_of(chunk.gids.begin(), chunk.gids.end(), [](std::uint32_t g) { return g == 0; }))
                continue;  // empty chunks do not widen the layer
            x0 = any ? std::min(x0, chunk.x) : chunk.x;
            y0 = any ? std::min(y0, chunk.y) : chunk.y;
            x1 = any ? std::max(x1, chunk.x + chunk.width) : chunk.x + chunk.width;
            y1 = any ? std::max(y1, chunk.y + chunk.height) : chunk.y + chunk.height;
            any = true;
            chunks.push_back(std::move(chunk));
        }
        if (any) {
            width = x1 - x0;
            height = y1 - y0;
            base_x = x0;
            base_y = y0;
        }
        // The grid spans the chunks that hold tiles; memory is checked before it exists.
        if (width > kMaxCoordinate || height > kMaxCoordinate)
            throw Failure{"The chunks of the layer " + in_quotes(name) + " lie too far apart."};
        charge(static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) *
               (sizeof(GridCell) + sizeof(std::uint32_t)));
        grid.resize(static_cast<std::size_t>(width * height));
        for (const Chunk& chunk : chunks) {
            for (std::int64_t y = 0; y < chunk.height; ++y)
                for (std::int64_t x = 0; x < chunk.width; ++x)
                    grid[static_cast<std::size_t>((chunk.y - y0 + y) * width + (chunk.x - x0 + x))] =
                        chunk.gids[static_cast<std::size_t>(y * chunk.width + x)];
        }
    }
    // Which tile sets the cells use decides the map's tile set.
    const TileSetDefinition* last = nullptr;
    for (const std::uint32_t gid : grid) {
        if ((gid & kTmxTileIdMask) == 0) continue;
        const TileSetDefinition* d = definition(gid);
        if (d == last) continue;
        last = d;
        if (d) used_sets_.insert(static_cast<std::size_t>(d - tile_sets_.data()));
    }
    LayerPlan& plan = plans_.emplace_back();
    plan.tmpl = tmpl;
    plan.state = state;
    plan.base_x = base_x;
    plan.base_y = base_y;
    plan.width = width;
    plan.height = height;
    plan.gids = std::move(grid);
    plan.properties = node.child("properties");
}

void TmxImporter::build_layer(LayerPlan& plan) {
    std::vector<GridCell> grid(static_cast<std::size_t>(plan.width * plan.height));
    for (std::size_t i = 0; i < plan.gids.size() && i < grid.size(); ++i) grid[i] = cell(plan.gids[i]);
    plan.gids = {};
    read_attributes(plan.properties, grid, plan.tmpl.name.view());
    plan.tmpl.grid_width = static_cast<std::int32_t>(plan.width);
    plan.tmpl.grid_height = static_cast<std::int32_t>(plan.height);
    Layer* layer = new_layer(plan.tmpl, plan.state, plan.base_x, plan.base_y, grid);
    for (const auto& group : plan.groups) {
        // Object positions are pixels of the map; entities' are pixels of their layer.
        const double origin_x =
            static_cast<double>(layer->grid_offset_x) * tile_width_ - group.second.offset_x;
        const double origin_y =
            static_cast<double>(layer->grid_offset_y) * tile_height_ - group.second.offset_y;
        for (const pugi::xml_node& object : group.first.children("object"))
            add_object(object, *layer, origin_x, origin_y);
    }
}

// The cells' attribute bytes, kept by Zorva's own TMX export in a layer property.
void TmxImporter::read_attributes(const pugi::xml_node& properties, std::vector<GridCell>& grid,
                                  std::string_view layer) {
    const pugi::xml_node property =
        properties.find_child_by_attribute("property", "name", kAttributesProperty);
    if (!property) return;
    const std::string_view text = property.attribute("value").value();
    std::size_t i = 0;
    std::size_t cell = 0;
    std::vector<std::uint8_t> values;
    while (i <= text.size()) {
        const std::size_t comma = std::min(text.find(',', i), text.size());
        const std::optional<std::int64_t> value = parse_int(text.substr(i, comma - i));
        if (!value || *value < 0 || *value > 255 || cell == grid.size()) {
            note("The attributes of the layer " + in_quotes(layer) + " are not valid and are left out.");
            return;
        }
        values.push_back(static_cast<std::uint8_t>(*value));
        ++cell;
        i = comma + 1;
    }
    if (values.size() != grid.size()) {
        note("The attributes of the layer " + in_quotes(layer) + " are not valid and are left out.");
        return;
    }
    for (std::size_t n = 0; n < grid.size(); ++n) grid[n].set_attribute(values[n]);
}

ParentEntity* TmxImporter::parent_for(const std::string& key, const ParentEntityProperties& tmpl) {
    if (const auto it = parents_.find(key); it != parents_.end())
        return find_parent_entity(project_, it->second);
    ParentEntity* parent = add_parent_entity(project_, tmpl, false, nullptr);
    if (!parent) throw Failure{"Failed to add a parent entity."};
    sanitise_parent_entity(*parent);
    changed_ = true;
    parents_[key] = parent->unique_id;
    return parent;
}

std::vector<std::pair<double, double>> parse_points(std::string_view text) {
    std::vector<std::pair<double, double>> points;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && is_space_char(text[i])) ++i;
        if (i == text.size()) break;
        std::size_t end = i;
        while (end < text.size() && !is_space_char(text[end])) ++end;
        const std::string_view pair = text.substr(i, end - i);
        const std::size_t comma = pair.find(',');
        const std::optional<double> x =
            comma == std::string_view::npos ? std::nullopt : parse_double(pair.substr(0, comma));
        const std::optional<double> y =
            comma == std::string_view::npos ? std::nullopt : parse_double(pair.substr(comma + 1));
        if (!x || !y || std::fabs(*x) > kMaxCoordinate || std::fabs(*y) > kMaxCoordinate)
            throw Failure{"An object has an invalid list of points."};
        points.emplace_back(*x, *y);
        i = end;
    }
    return points;
}

void TmxImporter::add_object(const pugi::xml_node& object, Layer& layer, double origin_x, double origin_y) {
    const std::string label = object.attribute("name").empty()
                                  ? "object " + std::string(object.attribute("id").value())
                                  : in_quotes(object.attribute("name").value());
    if (object.attribute("template")) {
        note("The " + label + " uses a template and is left out.");
        return;
    }
    if (object.child("point") || object.child("text")) {
        note("Points and texts cannot be represented and are left out.");
        return;
    }
    const double x = double_attribute(object, "x", 0) - origin_x;
    const double y = double_attribute(object, "y", 0) - origin_y;
    const double width = std::max(0.0, double_attribute(object, "width", 0));
    const double height = std::max(0.0, double_attribute(object, "height", 0));
    if (double_attribute(object, "rotation", 0) != 0)
        note("Object rotations cannot be represented; the " + label + " is placed unrotated.");
    std::string type = object.attribute("class").value();
    if (type.empty()) type = object.attribute("type").value();

    if (const pugi::xml_node shape =
            object.child("polygon") ? object.child("polygon") : object.child("polyline")) {
        // Path points count against the memory limit like cells, before any is read: each has one comma.
        const std::string_view list = shape.attribute("points").value();
        charge(static_cast<std::uint64_t>(std::count(list.begin(), list.end(), ',')) *
               (sizeof(PathPoint) + kObjectOverhead + sizeof(std::pair<double, double>)));
        const std::vector<std::pair<double, double>> points = parse_points(list);
        if (points.empty()) return;
        const bool closed = std::string_view(shape.name()) == "polygon";
        for (std::size_t i = 0; i < points.size(); ++i) {
            PathPoint point;
            point.map_id = map_->unique_id;
            point.layer_id = layer.unique_id;
            point.px = static_cast<float>(x + points[i].first);
            point.py = static_cast<float>(y + points[i].second);
            point.cx1 = point.cx2 = point.px;
            point.cy1 = point.cy2 = point.py;
            point.set_starts_path(i == 0);
            point.set_ends_path(i + 1 == points.size());
            point.set_is_closed(i == 0 && closed);
            int_variables(object.child("properties"), point.custom_variables, ObjectKind::PathPoint);
            if (!add_path_point(project_, point, false, nullptr))
                throw Failure{"Failed to add a path point."};
        }
        return;
    }

    charge(sizeof(InstanceEntity) + kObjectOverhead);
    InstanceEntity instance;
    instance.map_id = map_->unique_id;
    instance.layer_id = layer.unique_id;
    ParentEntity* parent = nullptr;
    if (object.attribute("gid")) {
        const auto gid = static_cast<std::uint32_t>(int_attribute(object, "gid", 0, 0, 0xFFFFFFFFll));
        const TileSetDefinition* d = definition(gid);
        if (!d) {
            note("Tile objects with tiles of no tile set are left out.");
            return;
        }
        const std::uint32_t local = (gid & kTmxTileIdMask) - d->first_gid;
        ParentEntityProperties tmpl = make_default_parent_entity(project_, ProjectDefaults{});
        tmpl.name = d->name + "_" + std::to_string(local);
        tmpl.image_path_and_file_name = d->image;
        tmpl.use_transparent_colour = d->use_transparent_colour;
        tmpl.transparent_colour = d->transparent_colour;
        tmpl.single_frame_pixel_width = d->tile_width;
        tmpl.single_frame_pixel_height = d->tile_height;
        tmpl.first_frame_offset_pixel_x = d->margin;
        tmpl.first_frame_offset_pixel_y = d->margin;
        tmpl.space_between_frames_pixel_x = d->spacing;
        tmpl.space_between_frames_pixel_y = d->spacing;
        const std::string key = "tile:" + d->image + ":" + std::to_string(d->tile_width) + "x" +
                                std::to_string(d->tile_height) + ":" + std::to_string(local);
        const bool known = parents_.count(key) != 0;
        parent = parent_for(key, tmpl);
        if (!known) {
            // The frame shown is the tile.
            parent->preview_anima_frame =
                static_cast<std::int32_t>(std::min<std::uint32_t>(local, 0x7FFFFFFF));
            sanitise_parent_entity(*parent);
            if (parent->image.empty())
                note("The image of the tile objects could not be loaded:\n" + d->image);
        }
        const double shown_width = width > 0 ? width : d->tile_width;
        const double shown_height = height > 0 ? height : d->tile_height;
        if (shown_width != d->tile_width || shown_height != d->tile_height)
            note("Scaled tile objects cannot be represented; the " + label + " is drawn at its tile's size.");
        instance.px = static_cast<float>(x);
        instance.py = static_cast<float>(y - shown_height);  // tile objects stand on their position
        instance.fh = (gid & kTmxFlipHorizontal) != 0;
        instance.fv = (gid & kTmxFlipVertical) != 0;
    } else {
        if (width <= 0 || height <= 0) {
            note("Objects without a size cannot be represented and are left out.");
            return;
        }
        const bool circle = static_cast<bool>(object.child("ellipse"));
        ParentEntityProperties tmpl = make_default_parent_entity(project_, ProjectDefaults{});
        tmpl.name = type.empty() ? (circle ? "Ellipse" : "Rectangle") : type;
        tmpl.image_path_and_file_name = "";
        tmpl.is_trigger = true;
        tmpl.trigger_is_a_circle = circle;
        parent = parent_for((circle ? "ellipse:" : "rectangle:") + type, tmpl);
        instance.px = static_cast<float>(x);
        instance.py = static_cast<float>(y);
        if (circle) {
            if (width != height)
                note("Ellipses become circle triggers; the " + label +
                     " takes the mean of its width and height.");
            instance.tcr = clamp_trigger_size(static_cast<std::uint32_t>(std::lround((width + height) / 4)));
        } else {
            instance.trw = clamp_trigger_size(static_cast<std::uint32_t>(std::lround(width)));
            instance.trh = clamp_trigger_size(static_cast<std::uint32_t>(std::lround(height)));
        }
    }
    instance.pid = parent->unique_id;
    int_variables(object.child("properties"), instance.custom_variables, ObjectKind::InstanceEntity);
    if (!add_instance_entity(project_, instance, false, nullptr)) throw Failure{"Failed to add an entity."};
}

void TmxImporter::add_object_group(const pugi::xml_node& node, const GroupState& outer) {
    const GroupState state = descend(outer, node);
    if (plans_.empty()) {
        // Objects before any tile layer get a layer of their own.
        LayerPlan& plan = plans_.emplace_back();
        plan.tmpl.name = node.attribute("name").value();
        plan.width = infinite_ ? 1 : map_width_;
        plan.height = infinite_ ? 1 : map_height_;
        charge(static_cast<std::uint64_t>(plan.width) * static_cast<std::uint64_t>(plan.height) *
               sizeof(GridCell));
        plan.state = state;
        plan.state.offset_x = plan.state.offset_y = 0;
    }
    plans_.back().groups.emplace_back(node, state);
}

void TmxImporter::walk(const pugi::xml_node& parent, const GroupState& state, int depth) {
    if (depth > kMaxGroupDepth) throw Failure{"The map's groups are nested too deeply."};
    for (const pugi::xml_node& node : parent.children()) {
        const std::string_view name = node.name();
        if (name == "layer") {
            add_tile_layer(node, state);
        } else if (name == "objectgroup") {
            add_object_group(node, state);
        } else if (name == "group") {
            walk(node, descend(state, node), depth + 1);
        } else if (name == "imagelayer") {
            note("Image layers cannot be represented and are left out.");
        }
    }
}

void TmxImporter::describe(ObjectKind kind, std::size_t index, std::string_view name) {
    if (merging_ || name.empty()) return;
    CustomVariableDescription& description = project_.descriptions_for(kind)[index];
    char fallback[16];
    std::snprintf(fallback, sizeof fallback, "Variable%02zu", index + 1);
    if (description.desc.view() == fallback) description.desc = name;
}

void TmxImporter::text_variables(const pugi::xml_node& owner, TextVariables& variables, ObjectKind kind) {
    std::size_t index = 0;
    for (const pugi::xml_node& property : owner.children("property")) {
        if (std::string_view(property.attribute("name").value()) == kAttributesProperty) continue;
        if (index == variables.size()) {
            note("Only the first 100 properties of an object are kept.");
            break;
        }
        const pugi::xml_attribute value = property.attribute("value");
        const std::string_view text = value ? value.value() : property.text().get();
        if (text.size() > kCustomTextLength) note("Property texts are cut to 50 characters.");
        variables[index] = text;
        describe(kind, index, property.attribute("name").value());
        ++index;
    }
}

void TmxImporter::int_variables(const pugi::xml_node& owner, IntVariables& variables, ObjectKind kind) {
    std::size_t index = 0;
    for (const pugi::xml_node& property : owner.children("property")) {
        if (index == variables.size()) {
            note("Only the first 100 properties of an object are kept.");
            break;
        }
        const pugi::xml_attribute value = property.attribute("value");
        const std::string_view text = value ? value.value() : property.text().get();
        double number = 0;
        if (text == "true") {
            number = 1;
        } else if (text == "false" || text.empty()) {
            number = 0;
        } else if (const std::optional<double> parsed = parse_double(text)) {
            number = *parsed;
        } else {
            note("Entities and path points keep numbers only; the property " +
                 in_quotes(property.attribute("name").value()) + " becomes 0.");
        }
        if (number < -32768 || number > 32767)
            note("Numbers of entities and path points are cut to 16 bits.");
        variables[index] = static_cast<std::int16_t>(std::lround(std::clamp(number, -32768.0, 32767.0)));
        describe(kind, index, property.attribute("name").value());
        ++index;
    }
}

ObjectId TmxImporter::run(std::string_view text) {
    pugi::xml_document document;
    // Entities other than the five XML ones are never expanded, and no document type is read.
    const pugi::xml_parse_result parsed =
        document.load_buffer(text.data(), text.size(), pugi::parse_default & ~pugi::parse_doctype);
    if (!parsed) throw Failure{std::string("The file is not well-formed XML: ") + parsed.description() + "."};
    const pugi::xml_node map = document.child("map");
    if (!map) throw Failure{"The file is not a TMX map."};
    const std::string_view orientation = map.attribute("orientation").value();
    if (orientation != "orthogonal")
        throw Failure{"Only orthogonal maps can be imported; this map is " +
                      in_quotes(orientation.empty() ? "without orientation" : orientation) + "."};
    infinite_ = int_attribute(map, "infinite", 0, 0, 1) != 0;
    map_width_ = int_attribute(map, "width", 0, infinite_ ? 0 : 1, kMaxCoordinate);
    map_height_ = int_attribute(map, "height", 0, infinite_ ? 0 : 1, kMaxCoordinate);
    if (!infinite_ && (map_width_ == 0 || map_height_ == 0)) throw Failure{"The map has no size."};
    tile_width_ = static_cast<std::int32_t>(int_attribute(map, "tilewidth", 0, 1, kMaxTileSide));
    tile_height_ = static_cast<std::int32_t>(int_attribute(map, "tileheight", 0, 1, kMaxTileSide));
    if (tile_width_ == 0 || tile_height_ == 0) throw Failure{"The map has no tile size."};

    read_tile_sets(map);
    walk(map, GroupState{}, 0);
    choose_tile_set();
    make_tile_set();

    MapProperties tmpl = make_default_map(project_);
    const std::string stem = std::filesystem::path(path_).stem().string();
    if (!stem.empty()) tmpl.name = stem;
    tmpl.use_tile_set_id = tile_set_ ? tile_set_->unique_id : kInvalidId;
    text_variables(map.child("properties"), tmpl.custom_variables, ObjectKind::Map);
    map_ = add_map(project_, tmpl, false, nullptr);
    if (!map_) throw Failure{"Failed to add the map."};
    changed_ = true;
    for (LayerPlan& plan : plans_) build_layer(plan);
    if (map_->layers.empty()) {
        LayerProperties layer;
        layer.name = "Layer01";
        layer.grid_width = static_cast<std::int32_t>(std::max<std::int64_t>(map_width_, 1));
        layer.grid_height = static_cast<std::int32_t>(std::max<std::int64_t>(map_height_, 1));
        charge(static_cast<std::uint64_t>(layer.grid_width) * static_cast<std::uint64_t>(layer.grid_height) *
               sizeof(GridCell));
        new_layer(layer, GroupState{}, 0, 0, {});
    }
    map_->selected_layer_id = map_->layers.front()->unique_id;
    return map_->unique_id;
}

}  // namespace

std::optional<std::string> read_tmx_file(const std::string& path, std::uint64_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::uint64_t>(status.st_size) > limit) {
        ::close(fd);
        return std::nullopt;
    }
    std::string text;
    try {
        text.resize(static_cast<std::size_t>(status.st_size));
    } catch (const std::bad_alloc&) {
        ::close(fd);
        return std::nullopt;
    }
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::read(fd, text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    ::close(fd);
    text.resize(done);  // a file that shrank while read
    return text;
}

TmxImportResult import_tmx_text(std::string_view text, const std::string& path,
                                const TmxFileReader& read_file, Project* target,
                                const TmxImportOptions& options) {
    TmxImportResult result;
    std::unique_ptr<Project> made;
    Project* project = target;
    if (!project) {
        made = std::make_unique<Project>();
        project = made.get();
    }
    const std::uint64_t limit =
        options.memory_limit != 0 ? options.memory_limit : default_import_memory_limit();
    TmxImporter importer(path, read_file, *project, target != nullptr, limit);
    std::string failure;
    try {
        result.map_id = importer.run(text);
    } catch (const Failure& caught) {
        failure = caught.message;
    } catch (const std::bad_alloc&) {
        failure = "Not enough memory to load the map.";
    } catch (const std::length_error&) {
        failure = "Not enough memory to load the map.";
    }
    result.notes = std::move(importer.notes());
    if (!failure.empty()) {
        result.message = "Failed to import the TMX map:\n\n" + path + "\n\n" + failure;
        result.caption = "Load Error";
        result.target_changed = target != nullptr && importer.changed();
        return result;
    }
    if (made) {
        if (!made->tile_sets.empty()) made->select_tile_set(made->tile_sets.front()->unique_id);
        if (!made->parent_entities.empty())
            made->select_parent_entity(made->parent_entities.front()->unique_id);
        made->select_map(result.map_id);
    }
    result.ok = true;
    result.project = std::move(made);
    return result;
}

TmxImportResult import_tmx_map(const std::string& path, Project* target, const TmxImportOptions& options) {
    const std::optional<std::string> text = read_tmx_file(path, kMaxMapFileBytes);
    if (!text) {
        TmxImportResult result;
        result.message = "Failed to import the TMX map:\n\n" + path + "\n\nThe file cannot be read.";
        result.caption = "Load Error";
        return result;
    }
    const TmxFileReader reader = [](const std::string& file) {
        return read_tmx_file(file, kMaxTileSetFileBytes);
    };
    return import_tmx_text(*text, path, reader, target, options);
}

}  // namespace zorva
