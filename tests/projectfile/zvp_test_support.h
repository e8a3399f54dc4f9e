// Shared pieces of the binary project file tests: a project with something of every kind, and file
// helpers.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/project.h"
#include "projectfile/zvp_format.h"

namespace zorva::test {

inline std::vector<unsigned char> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_bytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::uint32_t u32_at(const std::vector<unsigned char>& bytes, std::size_t offset) {
    return offset + 4 <= bytes.size() ? zvp::load_u32(bytes.data() + offset) : 0xDEADBEEFu;
}

inline void append_u32(std::vector<unsigned char>& bytes, std::uint32_t value) {
    unsigned char b[4];
    zvp::store_u32(b, value);
    bytes.insert(bytes.end(), b, b + 4);
}

template <std::size_t N>
void append_record(std::vector<unsigned char>& bytes, const zvp::RecordImage<N>& image,
                   std::size_t length = N) {
    bytes.insert(bytes.end(), image.data(), image.data() + length);
}

// One tile set with two mosaics, two parent entities, two maps; the first map has two layers with cells,
// instance entities and two paths, and everything carries non-default values.
struct RichProject {
    Project project;
    TileSet* tile_set = nullptr;
    ParentEntity* hero = nullptr;
    ParentEntity* coin = nullptr;
    Map* map = nullptr;
    Layer* ground = nullptr;
    Layer* sky = nullptr;
};

inline void build_rich_project(RichProject& rich) {
    Project& p = rich.project;
    p.zoom = 250;
    p.use_export_dll_in_exporters_folder = false;
    p.default_entity_trigger_radius = 20;
    p.default_entity_trigger_width = 30;
    p.default_entity_trigger_height = 40;
    p.last_used_exporter_dll_file_name = "Scrivo.so";
    p.descriptions_for(ObjectKind::TileSet)[0].desc = "Friction";
    p.descriptions_for(ObjectKind::TileSet)[0].use_bits = true;
    p.descriptions_for(ObjectKind::PathPoint)[99].desc = "Last one";
    p.descriptions_for(ObjectKind::InstanceEntity)[3].show_in_view = true;
    p.descriptions_for(ObjectKind::InstanceEntity)[4].show_desc_in_view = true;

    TileSetProperties t = make_default_tile_set(p, ProjectDefaults{});
    t.name = "Ground tiles";
    t.single_tile_pixel_width = 16;
    t.single_tile_pixel_height = 24;
    t.first_tile_offset_pixel_x = -2;
    t.first_tile_offset_pixel_y = 3;
    t.space_between_tiles_pixel_x = 1;
    t.space_between_tiles_pixel_y = 2;
    t.is_locked = true;
    t.use_transparent_colour = true;
    t.transparent_colour = 0x00FF00FFu;
    t.user_supplied_id = 77;
    t.custom_variables[0] = "grass";
    t.custom_variables[99] = "last";
    rich.tile_set = add_tile_set(p, t, false, nullptr);
    for (std::uint32_t m = 0; m < 2; ++m) {
        Mosaic mosaic;
        mosaic.tile_set_id = rich.tile_set->unique_id;
        mosaic.gw = 3 + m;
        mosaic.gh = 2;
        for (std::uint32_t i = 0; i < mosaic.gw * mosaic.gh; ++i)
            mosaic.grid.push_back(
                GridCell{i + 1, make_cell_flags(i % 2 == 0, false, true, static_cast<std::uint8_t>(i))});
        add_mosaic(*rich.tile_set, mosaic, false, nullptr);
    }
    rich.tile_set->selected_mosaic_id = 1;

    ParentEntityProperties e = make_default_parent_entity(p, ProjectDefaults{});
    e.name = "Hero";
    e.is_trigger = true;
    e.trigger_is_a_circle = true;
    e.pixel_width = 64;
    e.pixel_height = 32;
    e.single_frame_pixel_width = 16;
    e.single_frame_pixel_height = 16;
    e.preview_anima_frame = 5;
    e.custom_variables[7] = "speed";
    rich.hero = add_parent_entity(p, e, false, nullptr);
    e = make_default_parent_entity(p, ProjectDefaults{});
    e.name = "Coin";
    e.is_locked = true;
    e.use_transparent_colour = true;
    e.transparent_colour = 0x123456;
    rich.coin = add_parent_entity(p, e, false, nullptr);

    MapProperties m = make_default_map(p);
    m.name = "Level 1";
    m.use_tile_set_id = rich.tile_set->unique_id;
    m.export_this_map = false;
    m.place_tile_horizontal_flip = true;
    m.place_tile_rotate = true;
    m.place_tile_attribute = 200;
    m.camera_grid_position_x = -5;
    m.camera_grid_position_y = 7;
    m.selected_tile_index = 3;
    m.top_left_tile_index_in_tiles_dialog = 9;
    m.pixel_size_of_tiles_in_tiles_dialog = 64;
    m.reserved_1 = 0xAABBCCDDu;
    m.reserved_2 = 0x01020304u;
    m.custom_variables[50] = "map var";
    rich.map = add_map(p, m, false, nullptr);

    LayerProperties l = make_default_layer(p, ProjectDefaults{}, rich.map->unique_id);
    l.name = "Ground";
    l.grid_width = 7;
    l.grid_height = 5;
    l.wrap_x = true;
    l.is_main_layer = true;
    l.grid_offset_x = -3;
    l.grid_offset_y = 4;
    l.scroll_speed_x = 1.5f;
    l.scroll_speed_y = -0.25f;
    l.opacity = 128;
    l.use_background_colour = true;
    l.background_colour = 0x00102030u;
    l.custom_variables[1] = "layer var";
    // A bit-mode text variable whose first byte is zero keeps its flags in the second byte.
    l.custom_variables[2].set_byte(1, 0xA5);
    rich.ground = add_layer(p, l, false, nullptr);
    for (std::int32_t y = 0; y < 5; ++y)
        for (std::int32_t x = 0; x < 7; ++x)
            *rich.ground->cell(x, y) =
                GridCell{static_cast<std::uint32_t>(y * 7 + x),
                         make_cell_flags(x == 1, y == 2, x == y, static_cast<std::uint8_t>(x * 30))};
    l = make_default_layer(p, ProjectDefaults{}, rich.map->unique_id);
    l.name = "Sky";
    l.is_visible = false;
    l.is_locked = true;
    rich.sky = add_layer(p, l, false, nullptr);

    InstanceEntity instance =
        make_instance_entity(*rich.hero, rich.map->unique_id, rich.ground->unique_id, 12.5f, -3.0f);
    instance.fh = true;
    instance.ro = true;
    instance.tcr = 5;
    instance.custom_variables[0] = -32768;
    instance.custom_variables[99] = 32767;
    add_instance_entity(p, instance, false, nullptr);
    instance = make_instance_entity(*rich.coin, rich.map->unique_id, rich.ground->unique_id, 100.0f, 200.25f);
    instance.fv = true;
    add_instance_entity(p, instance, false, nullptr);

    auto add_point = [&](float x, float y, std::uint32_t flags) {
        PathPoint point;
        point.map_id = rich.map->unique_id;
        point.layer_id = rich.ground->unique_id;
        point.px = x;
        point.py = y;
        point.cx1 = x - 1;
        point.cy1 = y - 2;
        point.cx2 = x + 3;
        point.cy2 = y + 4;
        point.flags = flags;
        point.custom_variables[5] = static_cast<std::int16_t>(x);
        return add_path_point(p, point, false, nullptr);
    };
    add_point(1, 1, kPathPointStartsPath | kPathPointIsClosed);
    add_point(2, 2, kPathPointUsesControlPoints);
    add_point(3, 3, kPathPointEndsPath);
    add_point(4, 4, kPathPointStartsPath | kPathPointEndsPath);

    MapProperties second = make_default_map(p);
    second.name = "Empty map";
    second.pixel_size_of_tiles_in_tiles_dialog = 32;  // a new map's -1 would load as 8
    add_map(p, second, false, nullptr);

    p.select_tile_set(rich.tile_set->unique_id);
    p.select_parent_entity(rich.coin->unique_id);
    p.select_map(rich.map->unique_id);
    p.select_layer(rich.sky->unique_id);
}

}  // namespace zorva::test
