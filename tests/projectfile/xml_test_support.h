// Builders and helpers shared by the XML project file tests.
#pragma once

#include <cstdint>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "model/project.h"

namespace zorva::test {

inline std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void write_text_file(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The lines of a CR LF document (without their line ends).
inline std::vector<std::string> crlf_lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The document with its creation comment (line 2) replaced, so files written on different days compare.
inline std::string without_date_line(const std::string& text) {
    const std::size_t first = text.find("\r\n");
    if (first == std::string::npos) return text;
    const std::size_t second = text.find("\r\n", first + 2);
    if (second == std::string::npos) return text;
    return text.substr(0, first + 2) + "<!-- date -->" + text.substr(second);
}

inline std::tm test_date() {
    std::tm date{};
    date.tm_mday = 9;
    date.tm_mon = 2;
    date.tm_year = 111;  // 2011
    return date;
}

// A project with a bit of everything: a tile set with a mosaic, a trigger entity, a map with two layers,
// instance entities, an open and a closed path, custom variables and descriptions.
inline Project make_rich_project() {
    Project project;
    TileSetProperties tiles = make_default_tile_set(project, ProjectDefaults{});
    tiles.name = "Ground & <Sky>";
    tiles.user_supplied_id = 7;
    tiles.first_tile_offset_pixel_x = -1;
    tiles.use_transparent_colour = true;
    tiles.transparent_colour = 0x00FF00FFu;
    tiles.custom_variables[0] = "it's \"quoted\"";
    TileSet* tile_set = add_tile_set(project, tiles, false, nullptr);
    Mosaic mosaic;
    mosaic.tile_set_id = tile_set->unique_id;
    mosaic.gw = 3;
    mosaic.gh = 2;
    mosaic.grid.resize(6);
    for (std::size_t i = 0; i < 6; ++i) mosaic.grid[i].tile = static_cast<std::uint32_t>(i + 1);
    mosaic.grid[5].flags = make_cell_flags(true, false, true, 200);
    add_mosaic(*tile_set, mosaic, false, nullptr);

    ParentEntityProperties entity = make_default_parent_entity(project, ProjectDefaults{});
    entity.name = "Door--Trigger";
    entity.is_trigger = true;
    entity.trigger_is_a_circle = true;
    entity.custom_variables[99] = "last";
    ParentEntity* parent = add_parent_entity(project, entity, false, nullptr);

    MapProperties map_template = make_default_map(project);
    map_template.name = "Level 1";
    map_template.use_tile_set_id = tile_set->unique_id;
    map_template.camera_grid_position_x = -3;
    map_template.custom_variables[1] = "map var";
    Map* map = add_map(project, map_template, false, nullptr);

    for (int n = 0; n < 2; ++n) {
        LayerProperties layer_template = make_default_layer(project, ProjectDefaults{}, map->unique_id);
        layer_template.grid_width = 5;
        layer_template.grid_height = 2;
        layer_template.wrap_x = n == 0;
        layer_template.opacity = n == 0 ? 255 : 128;
        layer_template.scroll_speed_x = 1.5f;
        layer_template.scroll_speed_y = -0.25f;
        layer_template.use_background_colour = true;
        layer_template.background_colour = 0x00102030u;
        Layer* layer = add_layer(project, layer_template, false, nullptr);
        for (std::size_t i = 0; i < layer->grid.size(); ++i) {
            layer->grid[i].tile = static_cast<std::uint32_t>(i * 3 + static_cast<std::size_t>(n));
            layer->grid[i].flags =
                make_cell_flags(i % 2 == 0, i % 3 == 0, i % 5 == 0, static_cast<std::uint8_t>(i * 20));
        }
        InstanceEntity instance =
            make_instance_entity(*parent, map->unique_id, layer->unique_id, 12.5f, -3.75f);
        instance.fh = true;
        instance.custom_variables[0] = -32768;
        instance.custom_variables[99] = 32767;
        add_instance_entity(project, instance, false, nullptr);

        // An open path of three points and a closed path of one point.
        for (int k = 0; k < 4; ++k) {
            PathPoint point;
            point.map_id = map->unique_id;
            point.layer_id = layer->unique_id;
            point.px = static_cast<float>(k) * 10.0f;
            point.py = 5.0f;
            point.cx1 = 1.25f;
            point.cy2 = -2.5f;
            point.set_ucp(k == 1);
            point.set_starts_path(k == 0 || k == 3);
            point.set_ends_path(k == 2 || k == 3);
            point.set_is_closed(k == 3);
            point.custom_variables[3] = static_cast<std::int16_t>(k - 2);
            add_path_point(project, point, false, nullptr);
        }
    }
    project.descriptions_for(ObjectKind::InstanceEntity)[4].desc = "Health";
    project.descriptions_for(ObjectKind::InstanceEntity)[4].show_in_view = true;
    project.descriptions_for(ObjectKind::TileSet)[0].use_bits = true;
    project.zoom = 250;
    project.select_tile_set(tile_set->unique_id);
    project.select_map(map->unique_id);
    project.select_layer(map->layers.back()->unique_id);
    return project;
}

}  // namespace zorva::test
