// ZvTmx: writes every exported map as an orthogonal TMX map with CSV layer data.
//
// One exported map is written to the output file name; several are written beside it as
// "<output name>_<map name>.tmx". Each file holds:
// - the map's tile set (firstgid 1): its image relative to the output file, tile size, the first tile
//   offset as margin, the spacing, the transparent colour as "trans", tile count and columns;
// - one tile set per parent entity with an image whose instances the map places, cut into its frames;
// - per layer a tile layer (name, visibility, opacity, offsets, parallax from the scroll speeds, the text
//   custom variables as properties) and, when the layer has entities or paths, an object group of the same
//   name with the same offsets: entities with images as tile objects showing their preview frame, trigger
//   entities as rectangles or ellipses, paths as polylines or (closed) polygons whose Bézier segments are
//   flattened to within 0.5 pixel; the entities' and path points' custom variables become int properties;
// - cells with their flips as TMX flip bits (see tmx_flip_bits).
// Custom variables are written up to the last one that is set, named by their descriptions, so their
// numbers stay the same when the map is read back. A layer with attribute bytes keeps them in the layer
// property "zorva.attributes" (the attributes of all cells, row by row, as comma-separated numbers) so that
// nothing is dropped; the TMX import reads them back from there.
//
// What TMX cannot hold is reported through AddMessage: rotated entities (written unrotated), entities
// without image or trigger, wrapping layers, layer backgrounds, and tile sets whose offsets or spacings
// differ across and down. The interface does not pass a path point's use-control-points flag; a node whose
// two control points both lie at (0, 0) away from the node is taken as one without control points, as the
// editor stores such nodes.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/safe_file.h"
#include "export/export_api.h"
#include "exporters/tmx/tmx_geometry.h"

using zorva::ExportApi;

namespace zvtmx {
namespace {

constexpr std::uint32_t kPathLength = 260;

template <std::size_t N>
std::string field(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

std::string escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\n':
                out += "&#10;";
                break;
            case '\r':
                out += "&#13;";
                break;
            case '\t':
                out += "&#9;";
                break;
            default:
                // Control characters cannot appear in XML 1.0.
                if (static_cast<unsigned char>(c) >= 0x20) out += c;
                break;
        }
    }
    return out;
}

std::string number(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

class Api {
public:
    explicit Api(ExportApi& table) : t_(table) {}
    // Each text once per run.
    void message(const std::string& text) {
        if (t_.AddMessage && said_.insert(text).second) t_.AddMessage(text.c_str(), 1);
    }
    void progress(float percent) {
        if (t_.SetProgress) t_.SetProgress(percent, 0, 1);
    }
    bool cancelled() {
        std::uint8_t out = 0;
        return t_.IsExportCancelled && t_.IsExportCancelled(&out) && out != 0;
    }
    std::string output_file() {
        char buffer[kPathLength] = {};
        if (!t_.GetOutputFileName || !t_.GetOutputFileName(buffer, kPathLength)) return {};
        return field(buffer);
    }
    std::uint32_t count(std::uint8_t (*function)(std::uint32_t*)) {
        std::uint32_t out = 0;
        return function && function(&out) ? out : 0;
    }
    ExportApi& t_;

private:
    std::set<std::string> said_;
};

// A text variable block up to its last non-empty entry, or int values up to the last non-zero one, as
// properties named by the descriptions (made unique).
std::string properties(const std::vector<std::string>& names, const std::vector<std::string>& values,
                       const char* type, const std::string& indent, const std::string& extra = "") {
    std::size_t used = values.size();
    while (used > 0 &&
           (values[used - 1].empty() || (std::strcmp(type, "int") == 0 && values[used - 1] == "0")))
        --used;
    if (used == 0 && extra.empty()) return {};
    std::string out = indent + "<properties>\n";
    std::set<std::string> taken;
    for (std::size_t i = 0; i < used; ++i) {
        const std::string base =
            i < names.size() && !names[i].empty() ? names[i] : "Variable" + std::to_string(i + 1);
        std::string name = base;
        for (int n = 2; !taken.insert(name).second; ++n) name = base + " (" + std::to_string(n) + ")";
        out += indent + " <property name=\"" + escaped(name) + "\"";
        if (std::strcmp(type, "int") == 0) out += " type=\"int\"";
        out += " value=\"" + escaped(values[i]) + "\"/>\n";
    }
    out += extra;
    out += indent + "</properties>\n";
    return out;
}

std::vector<std::string> text_block(const char (&block)[100][51]) {
    std::vector<std::string> out;
    for (const auto& entry : block) out.push_back(field(entry));
    return out;
}

// `values` points at 100 packed 16-bit values.
std::vector<std::string> int_block(const unsigned char* values) {
    std::vector<std::string> out;
    for (int i = 0; i < 100; ++i) {
        std::int16_t value;
        std::memcpy(&value, values + 2 * i, sizeof value);
        out.push_back(std::to_string(value));
    }
    return out;
}

std::string relative_to(const std::string& file, const std::string& folder) {
    if (file.empty()) return file;
    const std::filesystem::path path(file);
    if (!path.is_absolute()) return file;
    const std::filesystem::path relative = path.lexically_normal().lexically_relative(folder);
    return relative.empty() ? file : relative.generic_string();
}

struct EntityTileSet {
    std::uint32_t first_gid = 0;
    std::uint32_t columns = 0;
    std::uint32_t frame_height = 0;
};

class Writer {
public:
    Writer(Api& api, std::string output_folder) : api_(api), folder_(std::move(output_folder)) {
        if (api_.t_.GetCustomVariableDescriptions) {
            descriptions_ = std::make_unique<zorva::CustomVariableDescriptions>();
            std::memset(descriptions_.get(), 0, sizeof *descriptions_);
            if (!api_.t_.GetCustomVariableDescriptions(descriptions_.get())) descriptions_.reset();
        }
    }

    // The TMX text of the selected map; false when it has no layers to write.
    std::string map_text(const zorva::MapInfo& map);

private:
    std::vector<std::string> names(const char (zorva::CustomVariableDescriptions::*block)[100][51]) {
        if (!descriptions_) return {};
        return text_block(descriptions_.get()->*block);
    }
    std::string tile_set_element(const std::string& name, std::uint32_t first_gid, std::uint32_t tile_width,
                                 std::uint32_t tile_height, std::int32_t margin, std::uint32_t spacing,
                                 std::uint32_t count, std::uint32_t columns, const std::string& image,
                                 bool transparent, const std::uint8_t* rgb, const std::string& extra);
    std::string layer(const zorva::MapInfo& map, std::uint32_t index, std::string& objects);
    std::string entity(const zorva::ChildEntityInfo& child, std::uint32_t& next_id);
    std::string path(std::uint32_t& next_id);

    Api& api_;
    std::string folder_;
    std::unique_ptr<zorva::CustomVariableDescriptions> descriptions_;
    std::map<std::uint32_t, EntityTileSet> entity_sets_;  // by parent index
    std::vector<zorva::ParentEntityInfo> parents_;
    std::uint32_t tile_width_ = 0;
    std::uint32_t tile_height_ = 0;
};

std::string Writer::tile_set_element(const std::string& name, std::uint32_t first_gid,
                                     std::uint32_t tile_width, std::uint32_t tile_height, std::int32_t margin,
                                     std::uint32_t spacing, std::uint32_t count, std::uint32_t columns,
                                     const std::string& image, bool transparent, const std::uint8_t* rgb,
                                     const std::string& extra) {
    std::string out = " <tileset firstgid=\"" + std::to_string(first_gid) + "\" name=\"" + escaped(name) +
                      "\" tilewidth=\"" + std::to_string(tile_width) + "\" tileheight=\"" +
                      std::to_string(tile_height) + "\"";
    if (spacing != 0) out += " spacing=\"" + std::to_string(spacing) + "\"";
    if (margin != 0) out += " margin=\"" + std::to_string(margin) + "\"";
    out += " tilecount=\"" + std::to_string(count) + "\" columns=\"" + std::to_string(columns) + "\">\n";
    out += extra;
    out += "  <image source=\"" + escaped(relative_to(image, folder_)) + "\"";
    if (transparent) {
        char colour[8];
        std::snprintf(colour, sizeof colour, "%02x%02x%02x", rgb[0], rgb[1], rgb[2]);
        out += std::string(" trans=\"") + colour + "\"";
    }
    out += "/>\n </tileset>\n";
    return out;
}

std::string Writer::entity(const zorva::ChildEntityInfo& child, std::uint32_t& next_id) {
    const std::uint32_t parent_index = child.ParentIndex;
    if (parent_index >= parents_.size()) return {};
    const zorva::ParentEntityInfo& parent = parents_[parent_index];
    const std::string name = field(parent.Name);
    const float x = child.LayerPosX;
    const float y = child.LayerPosY;
    if (child.Rotate)
        api_.message("An entity of \"" + name + "\" is rotated; TMX objects are written unrotated.");
    std::string out = "  <object id=\"" + std::to_string(next_id++) + "\" name=\"" + escaped(name) + "\"";
    if (parent.IsTrigger) {
        if (parent.TriggerIsCircle) {
            const double size = 2.0 * child.TriggerCircleRadius;
            out += " x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(size) +
                   "\" height=\"" + number(size) + "\"";
        } else {
            out += " x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" +
                   std::to_string(child.TriggerRectangleWidth) + "\" height=\"" +
                   std::to_string(child.TriggerRectangleHeight) + "\"";
        }
    } else if (const auto set = entity_sets_.find(parent_index); set != entity_sets_.end()) {
        const std::uint32_t frame = parent.PreviewFrame;
        const std::uint32_t gid = set->second.first_gid + frame;
        const std::uint32_t bits = (child.FlipH ? 0x80000000u : 0u) | (child.FlipV ? 0x40000000u : 0u);
        // Tile objects stand on their position: the bottom-left corner.
        out += " gid=\"" + std::to_string(gid | bits) + "\" x=\"" + number(x) + "\" y=\"" +
               number(static_cast<double>(y) + parent.FrameHeight) + "\" width=\"" +
               std::to_string(parent.FrameWidth) + "\" height=\"" + std::to_string(parent.FrameHeight) + "\"";
    } else {
        api_.message(
            "The parent entity \"" + name +
            "\" has neither image nor trigger; its entities are written as rectangles of its frame size.");
        out += " x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" +
               std::to_string(parent.FrameWidth) + "\" height=\"" + std::to_string(parent.FrameHeight) + "\"";
    }
    const std::string props = properties(names(&zorva::CustomVariableDescriptions::InstanceEntity),
                                         int_block(reinterpret_cast<const unsigned char*>(&child) +
                                                   offsetof(zorva::ChildEntityInfo, CustomVariables)),
                                         "int", "   ");
    const bool ellipse = parent.IsTrigger && parent.TriggerIsCircle;
    if (props.empty() && !ellipse) return out + "/>\n";
    out += ">\n" + props;
    if (ellipse) out += "   <ellipse/>\n";
    return out + "  </object>\n";
}

std::string Writer::path(std::uint32_t& next_id) {
    zorva::PathInfo info;
    std::memset(&info, 0, sizeof info);
    if (!api_.t_.GetPathInfo || !api_.t_.GetPathInfo(&info, sizeof info)) return {};
    std::uint32_t needed = 0;
    if (!api_.t_.GetPathPoints || !api_.t_.GetPathPoints(nullptr, 0, &needed, sizeof(zorva::PathPointInfo)) ||
        needed < 3)
        return {};
    std::vector<zorva::PathPointInfo> records(needed);
    std::uint32_t written = 0;
    if (!api_.t_.GetPathPoints(records.data(), needed, &written, sizeof(zorva::PathPointInfo))) return {};
    struct Node {
        Point c1, p, c2;
        bool controls;
    };
    std::vector<Node> nodes;
    for (std::uint32_t i = 0; i + 2 < written; i += 3) {
        const Point c1{records[i].LayerPosX, records[i].LayerPosY};
        const Point p{records[i + 1].LayerPosX, records[i + 1].LayerPosY};
        const Point c2{records[i + 2].LayerPosX, records[i + 2].LayerPosY};
        const bool unset = c1.x == 0 && c1.y == 0 && c2.x == 0 && c2.y == 0 && (p.x != 0 || p.y != 0);
        nodes.push_back({c1, p, c2, !unset});
    }
    if (nodes.empty()) return {};
    std::vector<Point> points{nodes[0].p};
    for (std::size_t i = 1; i < nodes.size(); ++i) {
        const Node& from = nodes[i - 1];
        const Node& to = nodes[i];
        flatten_cubic(from.p, from.controls ? from.c2 : from.p, to.controls ? to.c1 : to.p, to.p, points);
    }
    const bool closed = info.IsClosed != 0;
    // A closed path ends on its first point; a polygon closes itself.
    if (closed && points.size() > 1 && points.back().x == points.front().x &&
        points.back().y == points.front().y)
        points.pop_back();
    const Point origin = points.front();
    std::string out = "  <object id=\"" + std::to_string(next_id++) + "\" x=\"" + number(origin.x) +
                      "\" y=\"" + number(origin.y) + "\">\n";
    out += properties(names(&zorva::CustomVariableDescriptions::PathPoint),
                      int_block(reinterpret_cast<const unsigned char*>(&records[1]) +
                                offsetof(zorva::PathPointInfo, CustomVariables)),
                      "int", "   ");
    out += std::string("   <") + (closed ? "polygon" : "polyline") + " points=\"";
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i) out += ' ';
        out += number(points[i].x - origin.x) + "," + number(points[i].y - origin.y);
    }
    return out + "\"/>\n  </object>\n";
}

std::string Writer::layer(const zorva::MapInfo& map, std::uint32_t index, std::string& objects) {
    objects.clear();
    if (!api_.t_.SelectLayer || !api_.t_.SelectLayer(index)) return {};
    zorva::LayerInfo info;
    std::memset(&info, 0, sizeof info);
    if (!api_.t_.GetLayerInfo || !api_.t_.GetLayerInfo(&info, sizeof info)) return {};
    const std::string name = field(info.Name);
    const std::uint32_t width = info.GridWidth;
    const std::uint32_t height = info.GridHeight;
    if (info.WrapX || info.WrapY) api_.message("The layer \"" + name + "\" wraps; TMX layers do not.");
    if (info.UseBackgroundColour || info.UseBackgroundImage)
        api_.message("The background of the layer \"" + name +
                     "\" cannot be represented in TMX and is left out.");
    const std::string offsets =
        " offsetx=\"" + std::to_string(static_cast<std::int64_t>(info.OffsetX) * tile_width_) +
        "\" offsety=\"" + std::to_string(static_cast<std::int64_t>(info.OffsetY) * tile_height_) + "\"";
    std::string look;
    if (!info.IsVisible) look += " visible=\"0\"";
    if (info.Opacity != 255) look += " opacity=\"" + number(info.Opacity / 255.0) + "\"";
    const float speed_x = info.ScrollSpeedX;
    const float speed_y = info.ScrollSpeedY;
    if (speed_x != 1.0f) look += " parallaxx=\"" + number(speed_x) + "\"";
    if (speed_y != 1.0f) look += " parallaxy=\"" + number(speed_y) + "\"";

    std::string cells;
    std::string attributes;
    bool any_attribute = false;
    cells.reserve(static_cast<std::size_t>(width) * height * 2);
    zorva::GridCellInfo cell;
    for (std::uint32_t row = 0; row < height; ++row) {
        for (std::uint32_t column = 0; column < width; ++column) {
            std::memset(&cell, 0, sizeof cell);
            if (api_.t_.GetGridCell) api_.t_.GetGridCell(&cell, column, row, sizeof cell);
            std::uint32_t gid = 0;
            const std::uint32_t tile = cell.TileIndex;
            if (tile != 0 && tile < 0x10000000u)
                gid = tile | tmx_flip_bits(cell.FlipH, cell.FlipV, cell.Rotate);
            cells += std::to_string(gid);
            attributes += std::to_string(cell.Attribute);
            any_attribute = any_attribute || cell.Attribute != 0;
            if (column + 1 < width || row + 1 < height) {
                cells += ',';
                attributes += ',';
            }
        }
        cells += '\n';
    }
    const std::string extra = any_attribute
                                  ? "   <property name=\"zorva.attributes\" value=\"" + attributes + "\"/>\n"
                                  : std::string();
    std::string out = " <layer name=\"" + escaped(name) + "\" width=\"" + std::to_string(width) +
                      "\" height=\"" + std::to_string(height) + "\"" + look + offsets + ">\n";
    out += properties(names(&zorva::CustomVariableDescriptions::Layer), text_block(info.CustomVariables),
                      "string", "  ", extra);
    out += "  <data encoding=\"csv\">\n" + cells + "</data>\n </layer>\n";

    std::uint32_t next_id = 1;
    std::string body;
    const std::uint32_t children = info.NumberOfChildEntities;
    for (std::uint32_t i = 0; i < children; ++i) {
        if (!api_.t_.SelectChildEntity || !api_.t_.SelectChildEntity(i)) continue;
        zorva::ChildEntityInfo child;
        std::memset(&child, 0, sizeof child);
        if (!api_.t_.GetChildEntityInfo || !api_.t_.GetChildEntityInfo(&child, sizeof child)) continue;
        body += entity(child, next_id);
    }
    const std::uint32_t paths = info.NumberOfPaths;
    for (std::uint32_t i = 0; i < paths; ++i) {
        if (!api_.t_.SelectPath || !api_.t_.SelectPath(i)) continue;
        body += path(next_id);
    }
    if (!body.empty())
        objects = " <objectgroup name=\"" + escaped(name + " objects") + "\"" + look + offsets + ">\n" +
                  body + " </objectgroup>\n";
    (void)map;
    return out;
}

std::string Writer::map_text(const zorva::MapInfo& map) {
    tile_width_ = map.TileSetTileWidth;
    tile_height_ = map.TileSetTileHeight;
    entity_sets_.clear();
    parents_.clear();

    std::string tile_sets;
    std::uint32_t next_gid = 1;
    if (tile_width_ != 0 && api_.t_.SelectTileSet && api_.t_.SelectTileSet(map.TileSetIndex)) {
        zorva::TileSetInfo t;
        std::memset(&t, 0, sizeof t);
        if (api_.t_.GetTileSetInfo && api_.t_.GetTileSetInfo(&t, sizeof t)) {
            const std::int32_t offset_x = t.OffsetX;
            const std::int32_t offset_y = t.OffsetY;
            const std::uint32_t space_x = t.SpaceX;
            const std::uint32_t space_y = t.SpaceY;
            if (offset_x != offset_y || space_x != space_y)
                api_.message(
                    "The tile set \"" + field(t.Name) +
                    "\" has different offsets or spacings across and down; TMX keeps one of each (the "
                    "horizontal ones are written).");
            const std::uint32_t count = t.NumberOfTiles;
            tile_sets += tile_set_element(field(t.Name), 1, t.TileWidth, t.TileHeight, offset_x, space_x,
                                          count, t.NumberOfTilesAcross, field(t.ImageFile),
                                          t.UseTransparentColour != 0, t.TransparentColour,
                                          properties(names(&zorva::CustomVariableDescriptions::TileSet),
                                                     text_block(t.CustomVariables), "string", "  "));
            next_gid = 1 + std::max<std::uint32_t>(count, 1);
        }
    }
    if (tile_width_ == 0) {
        api_.message("The map \"" + field(map.Name) +
                     "\" has no tile set; it is written with 16 x 16 cells.");
        tile_width_ = tile_height_ = 16;
    }

    // Parent entities with images become tile sets of their frames.
    const std::uint32_t parent_count = api_.count(api_.t_.GetNumberOfParentEntities);
    for (std::uint32_t i = 0; i < parent_count; ++i) {
        zorva::ParentEntityInfo& p = parents_.emplace_back();
        std::memset(&p, 0, sizeof p);
        if (!api_.t_.SelectParentEntity || !api_.t_.SelectParentEntity(i) || !api_.t_.GetParentEntityInfo ||
            !api_.t_.GetParentEntityInfo(&p, sizeof p))
            continue;
        if (p.IsTrigger || field(p.ImageFile).empty() || p.NumberOfFramesAcross == 0) continue;
        const std::uint32_t frames = p.NumberOfFrames;
        entity_sets_[i] = {next_gid, p.NumberOfFramesAcross, p.FrameHeight};
        const std::uint32_t space = p.SpaceX;
        tile_sets += tile_set_element(field(p.Name), next_gid, p.FrameWidth, p.FrameHeight, p.OffsetX, space,
                                      frames, p.NumberOfFramesAcross, field(p.ImageFile),
                                      p.UseTransparentColour != 0, p.TransparentColour, "");
        next_gid += std::max<std::uint32_t>(frames, 1);
    }

    std::string layers;
    std::uint32_t width = 1, height = 1;
    const std::uint32_t layer_count = map.NumberOfLayers;
    for (std::uint32_t i = 0; i < layer_count; ++i) {
        std::string objects;
        layers += layer(map, i, objects);
        layers += objects;
        zorva::LayerInfo info;
        std::memset(&info, 0, sizeof info);
        if (api_.t_.GetLayerInfo && api_.t_.GetLayerInfo(&info, sizeof info)) {
            // Packed fields are read by value, never bound to references.
            const std::uint32_t layer_width = info.GridWidth;
            const std::uint32_t layer_height = info.GridHeight;
            width = std::max(width, layer_width);
            height = std::max(height, layer_height);
        }
    }
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<map version=\"1.8\" orientation=\"orthogonal\" "
        "renderorder=\"right-down\" width=\"" +
        std::to_string(width) + "\" height=\"" + std::to_string(height) + "\" tilewidth=\"" +
        std::to_string(tile_width_) + "\" tileheight=\"" + std::to_string(tile_height_) +
        "\" infinite=\"0\">\n";
    out += properties(names(&zorva::CustomVariableDescriptions::Map), text_block(map.CustomVariables),
                      "string", " ");
    return out + tile_sets + layers + "</map>\n";
}

std::string file_name_part(const std::string& name) {
    std::string out;
    for (const char c : name)
        out += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.') ? c : '_';
    return out.empty() ? "Map" : out;
}

bool run(ExportApi& table) {
    Api api(table);
    api.progress(0);
    const std::string output = api.output_file();
    if (output.empty()) {
        api.message("No output file name was given.");
        return false;
    }
    const std::filesystem::path output_path(output);
    const std::string folder = output_path.parent_path().lexically_normal().generic_string();

    std::vector<std::uint32_t> exported;
    const std::uint32_t maps = api.count(table.GetNumberOfMaps);
    for (std::uint32_t i = 0; i < maps; ++i) {
        zorva::MapInfo info;
        std::memset(&info, 0, sizeof info);
        if (table.SelectMap && table.SelectMap(i) && table.GetMapInfo &&
            table.GetMapInfo(&info, sizeof info) && info.ExportThisMap)
            exported.push_back(i);
    }
    if (exported.empty()) {
        api.message("No map is marked for export.");
        return true;
    }
    Writer writer(api, folder);
    std::set<std::string> used;
    for (std::size_t n = 0; n < exported.size(); ++n) {
        if (api.cancelled()) return true;
        zorva::MapInfo info;
        std::memset(&info, 0, sizeof info);
        if (!table.SelectMap(exported[n]) || !table.GetMapInfo(&info, sizeof info)) continue;
        std::string file = output;
        if (exported.size() > 1) {
            std::string stem = (output_path.parent_path() / output_path.stem()).string() + "_" +
                               file_name_part(field(info.Name));
            file = stem + ".tmx";
            for (int k = 2; !used.insert(file).second; ++k) file = stem + "_" + std::to_string(k) + ".tmx";
        }
        const std::string text = writer.map_text(info);
        std::string error;
        if (!zorva::write_file_safely(file, text, &error)) {
            api.message("Failed to write the file:\n" + file + "\n" + error);
            return false;
        }
        api.message(file);
        api.progress(
            static_cast<float>(100.0 * static_cast<double>(n + 1) / static_cast<double>(exported.size())));
    }
    api.message("Success");
    return true;
}

}  // namespace
}  // namespace zvtmx

extern "C" {

ZV_EXPORTER_VISIBLE std::uint32_t QueryExporterDLLVersion(void) { return zorva::kExporterInterfaceVersion; }

ZV_EXPORTER_VISIBLE std::uint8_t StartExport(zorva::ExportApi* api) {
    if (!api) return 0;
    // Nothing may escape into the host: a failure of memory ends the run as a failed export.
    try {
        return zvtmx::run(*api) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

}  // extern "C"
