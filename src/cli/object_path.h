// Where in a project something is: the path of an object as check and diff report it, once as a line of
// text and once as JSON members.
//
// Text: the steps from the outermost object in, separated by " / ". Objects of the project's lists are
// named by their position (counted from 0, as `render --map` counts) and their name; cells by column and
// row; instance entities, path points and mosaics by their id; paths by their position on the layer:
//
//   map 0 "World" / layer 1 "Ground" / cell (12, 3)
//   map 0 "World" / layer 1 "Ground" / instance 7
//   tile set 0 "Terrain" / mosaic 2
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/ids.h"

namespace zorva::cli {

class JsonWriter;

// An object of one of the project's lists (tile sets, parent entities, maps, a map's layers).
struct ListedObject {
    std::int64_t index = -1;  // position in its list, from 0
    ObjectId id = kInvalidId;
    std::string name;
};

struct CellCoordinates {
    std::int64_t x = 0;  // column
    std::int64_t y = 0;  // row
};

struct ObjectPath {
    std::optional<ListedObject> tile_set;
    std::optional<ListedObject> parent_entity;
    std::optional<ListedObject> map;
    std::optional<ListedObject> layer;
    std::optional<ObjectId> mosaic;       // of the tile set
    std::optional<CellCoordinates> cell;  // of the layer
    std::optional<ObjectId> instance;     // of the layer
    std::optional<std::int64_t> path;     // position among the layer's paths, from 0
    std::optional<ObjectId> point;        // path point of the layer

    // What the path ends at: "project", "tile_set", "mosaic", "parent_entity", "map", "layer", "cell",
    // "instance", "path" or "point".
    std::string_view kind() const;
    // The text form (above); "project" for the project itself.
    std::string text() const;
    // The JSON members "kind", "path" (the text form) and one member per step that is set.
    void write_members(JsonWriter& json) const;
};

// A name as the text form quotes it: in double quotes, with '"' and '\' escaped by '\' and other bytes
// outside printable ASCII as \xNN.
std::string quote_name(std::string_view name);

}  // namespace zorva::cli
