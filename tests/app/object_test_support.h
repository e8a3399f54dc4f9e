// Shared pieces of the object command tests: scripted properties dialogs, a real PNG picture of coloured
// tiles, and the saved XML of a project with the id counters left out (undo never turns them back).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/object_commands.h"
#include "projectfile/xml_writer.h"
#include "support/image_files.h"

namespace zorva::test {

// Properties dialogs that run a script instead of widgets: each edits the copy it is given and says OK,
// unless the script for that kind answers false (Cancel). Every call is counted with its title kind.
class ScriptedDialogs : public PropertiesDialogs {
public:
    std::function<bool(TileSetProperties&, bool)> on_tile_set = [](TileSetProperties&, bool) { return true; };
    std::function<bool(MapProperties&, bool)> on_map = [](MapProperties&, bool) { return true; };
    std::function<bool(LayerProperties&, bool)> on_layer = [](LayerProperties&, bool) { return true; };
    std::function<bool(ParentEntityProperties&, bool)> on_parent_entity = [](ParentEntityProperties&, bool) {
        return true;
    };
    std::vector<std::string> opened;  // "tile set", "new map", ... in order

    bool tile_set(TileSetProperties& edited, bool is_new) override {
        opened.push_back(is_new ? "new tile set" : "tile set");
        return on_tile_set(edited, is_new);
    }
    bool map(MapProperties& edited, bool is_new) override {
        opened.push_back(is_new ? "new map" : "map");
        return on_map(edited, is_new);
    }
    bool layer(LayerProperties& edited, bool is_new) override {
        opened.push_back(is_new ? "new layer" : "layer");
        return on_layer(edited, is_new);
    }
    bool parent_entity(ParentEntityProperties& edited, bool is_new) override {
        opened.push_back(is_new ? "new entity" : "entity");
        return on_parent_entity(edited, is_new);
    }
};

// A PNG of `across` x `down` tiles of `tile` x `tile` pixels, each tile filled with its own colour (red
// 40 * column + 20, green 40 * row + 20, blue 200), written to `path`.
inline bool write_tiles_png(const std::string& path, int across, int down, int tile) {
    PngSpec picture;
    picture.width = across * tile;
    picture.height = down * tile;
    for (int y = 0; y < picture.height; ++y) {
        Bytes row;
        for (int x = 0; x < picture.width; ++x) {
            row.push_back(static_cast<std::uint8_t>(40 * (x / tile) + 20));
            row.push_back(static_cast<std::uint8_t>(40 * (y / tile) + 20));
            row.push_back(200);
        }
        picture.rows.push_back(row);
    }
    const Bytes bytes = png_file(picture);
    if (bytes.empty()) return false;
    write_file(path, bytes);
    return true;
}

// The XML document of `project` as the editor saves it, without a date.
inline std::string saved_xml(const Project& project) {
    return xml_document_text(project, "level.xml", nullptr);
}

// The same without the id counters and overflow flags (one attribute a line).
inline std::string saved_xml_without_counters(const Project& project) {
    const std::string xml = saved_xml(project);
    std::string kept;
    kept.reserve(xml.size());
    std::size_t from = 0;
    while (from < xml.size()) {
        std::size_t end = xml.find('\n', from);
        end = end == std::string::npos ? xml.size() : end + 1;
        const std::string_view line(xml.data() + from, end - from);
        const bool counter = line.starts_with("\tnext_") || line.starts_with("\tdid_");
        if (!counter) kept.append(line);
        from = end;
    }
    return kept;
}

}  // namespace zorva::test
