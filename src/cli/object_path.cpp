#include "cli/object_path.h"

#include <cstdio>

#include "cli/json_writer.h"

namespace zorva::cli {

std::string quote_name(std::string_view name) {
    std::string out = "\"";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte > 0x7E) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            out += escape;
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

std::string_view ObjectPath::kind() const {
    if (point) return "point";
    if (path) return "path";
    if (instance) return "instance";
    if (cell) return "cell";
    if (layer) return "layer";
    if (map) return "map";
    if (mosaic) return "mosaic";
    if (tile_set) return "tile_set";
    if (parent_entity) return "parent_entity";
    return "project";
}

namespace {

void add_step(std::string& text, std::string_view step) {
    if (!text.empty()) text += " / ";
    text += step;
}

std::string listed(std::string_view what, const ListedObject& object) {
    return std::string(what) + " " + std::to_string(object.index) + " " + quote_name(object.name);
}

void write_listed(JsonWriter& json, std::string_view key, const ListedObject& object) {
    json.key(key).begin_object();
    json.member("index", object.index);
    if (object.id == kInvalidId)
        json.key("id").null();
    else
        json.member("id", object.id);
    json.member("name", object.name);
    json.end_object();
}

}  // namespace

std::string ObjectPath::text() const {
    std::string text;
    if (tile_set) add_step(text, listed("tile set", *tile_set));
    if (mosaic) add_step(text, "mosaic " + std::to_string(*mosaic));
    if (parent_entity) add_step(text, listed("parent entity", *parent_entity));
    if (map) add_step(text, listed("map", *map));
    if (layer) add_step(text, listed("layer", *layer));
    if (cell) add_step(text, "cell (" + std::to_string(cell->x) + ", " + std::to_string(cell->y) + ")");
    if (instance) add_step(text, "instance " + std::to_string(*instance));
    if (path) add_step(text, "path " + std::to_string(*path));
    if (point) add_step(text, "point " + std::to_string(*point));
    return text.empty() ? "project" : text;
}

void ObjectPath::write_members(JsonWriter& json) const {
    json.member("kind", kind());
    json.member("path", text());
    if (tile_set) write_listed(json, "tile_set", *tile_set);
    if (mosaic) json.member("mosaic", *mosaic);
    if (parent_entity) write_listed(json, "parent_entity", *parent_entity);
    if (map) write_listed(json, "map", *map);
    if (layer) write_listed(json, "layer", *layer);
    if (cell) {
        json.key("cell").begin_object();
        json.member("x", cell->x);
        json.member("y", cell->y);
        json.end_object();
    }
    if (instance) json.member("instance", *instance);
    if (path) json.member("path_index", *path);
    if (point) json.member("point", *point);
}

}  // namespace zorva::cli
