// A canonical byte dump of a Project for comparisons in the undo tests: every stored field of every
// object, in list order. Two projects with equal dumps hold the same document.
//
// Left out on purpose: the id counters and overflow flags (undo never turns a counter back), the modified
// flag, loaded images, and - unless asked for - the selection (undo and redo select the object they act
// on, which need not be what was selected at the step being compared).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "model/project.h"

namespace zorva::test {

class ProjectDump {
public:
    explicit ProjectDump(bool with_selection = false) : with_selection_(with_selection) {}

    std::string of(const Project& project) {
        out_.clear();
        put(project.path_and_file_name);
        put(project.version);
        put(project.zoom);
        put(project.use_export_dll_in_exporters_folder);
        put(project.default_entity_trigger_radius);
        put(project.default_entity_trigger_width);
        put(project.default_entity_trigger_height);
        put(project.last_used_exporter_dll_file_name);
        put(project.last_used_export_output_path_and_file_name);
        put(project.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder);
        put(project.last_used_image_tile_set_path);
        put(project.last_used_image_parent_entity_path);
        put(project.last_used_image_layer_background_path);
        for (const auto& table : project.descriptions)
            for (const auto& d : table) {
                put(d.desc);
                put(d.use_bits);
                put(d.show_in_view);
                put(d.show_desc_in_view);
            }
        if (with_selection_) {
            put(project.selected_tile_set_id());
            put(project.selected_map_id());
            put(project.selected_layer_id());
            put(project.selected_parent_entity_id());
        }
        tag("tile sets", project.tile_sets.size());
        for (const auto& t : project.tile_sets) put_tile_set(*t);
        tag("parent entities", project.parent_entities.size());
        for (const auto& e : project.parent_entities) put_parent_entity(*e);
        tag("maps", project.maps.size());
        for (const auto& m : project.maps) put_map(*m);
        return out_;
    }

private:
    template <class T>
    void put(const T& value) {
        if constexpr (std::is_arithmetic_v<T>) {
            char bytes[sizeof(T)];
            std::memcpy(bytes, &value, sizeof(T));
            out_.append(bytes, sizeof(T));
        } else {
            const auto& raw = value.bytes();  // FixedText
            out_.append(raw.data(), raw.size());
        }
    }
    template <class T, std::size_t N>
    void put_array(const std::array<T, N>& values) {
        for (const auto& v : values) put(v);
    }
    void tag(const char* name, std::size_t count) {
        out_ += name;
        put(static_cast<std::uint64_t>(count));
    }

    void put_tile_set(const TileSet& t) {
        put(t.unique_id);
        put(t.user_supplied_id);
        put(t.name);
        put(t.single_tile_pixel_width);
        put(t.single_tile_pixel_height);
        put(t.first_tile_offset_pixel_x);
        put(t.first_tile_offset_pixel_y);
        put(t.space_between_tiles_pixel_x);
        put(t.space_between_tiles_pixel_y);
        put(t.is_locked);
        put(t.image_path_and_file_name);
        put(t.use_transparent_colour);
        put(t.transparent_colour);
        put(t.next_mosaic_id);
        put(t.did_mosaic_id_overflow);
        put(t.selected_mosaic_id);
        put(t.left_most_mosaic_id_on_mosaics_dialog);
        put_array(t.custom_variables);
        tag("mosaics", t.mosaics.size());
        for (const auto& m : t.mosaics) {
            put(m->uid);
            put(m->tile_set_id);
            put(m->gw);
            put(m->gh);
            put_cells(m->grid);
        }
    }

    void put_parent_entity(const ParentEntity& e) {
        put(e.unique_id);
        put(e.user_supplied_id);
        put(e.name);
        put(e.is_locked);
        put(e.is_trigger);
        put(e.trigger_is_a_circle);
        put(e.use_transparent_colour);
        put(e.transparent_colour);
        put(e.pixel_width);
        put(e.pixel_height);
        put(e.image_path_and_file_name);
        put(e.default_circle_trigger_radius);
        put(e.default_rectangle_trigger_width);
        put(e.default_rectangle_trigger_height);
        put(e.single_frame_pixel_width);
        put(e.single_frame_pixel_height);
        put(e.first_frame_offset_pixel_x);
        put(e.first_frame_offset_pixel_y);
        put(e.space_between_frames_pixel_x);
        put(e.space_between_frames_pixel_y);
        put(e.preview_anima_frame);
        put_array(e.custom_variables);
    }

    void put_map(const Map& m) {
        put(m.unique_id);
        put(m.user_supplied_id);
        put(m.name);
        put(m.use_tile_set_id);
        put(m.export_this_map);
        put(m.is_locked);
        put(m.camera_grid_position_x);
        put(m.camera_grid_position_y);
        if (with_selection_) put(m.selected_layer_id);
        put(m.selected_tile_index);
        put(m.top_left_tile_index_in_tiles_dialog);
        put(m.pixel_size_of_tiles_in_tiles_dialog);
        put(m.place_tile_horizontal_flip);
        put(m.place_tile_vertical_flip);
        put(m.place_tile_rotate);
        put(m.place_tile_attribute);
        put(m.reserved_1);
        put(m.reserved_2);
        put_array(m.custom_variables);
        tag("layers", m.layers.size());
        for (const auto& l : m.layers) put_layer(*l);
    }

    void put_layer(const Layer& l) {
        put(l.unique_id);
        put(l.map_id);
        put(l.user_supplied_id);
        put(l.name);
        put(l.grid_width);
        put(l.grid_height);
        put(l.is_locked);
        put(l.is_visible);
        put(l.is_main_layer);
        put(l.grid_offset_x);
        put(l.grid_offset_y);
        put(l.scroll_speed_x);
        put(l.scroll_speed_y);
        put(l.wrap_x);
        put(l.wrap_y);
        put(l.opacity);
        put(l.use_background_colour);
        put(l.background_colour);
        put(l.use_background_image);
        put(l.background_image_path_and_file_name);
        put_array(l.custom_variables);
        put_cells(l.grid);
        tag("entities", l.instance_entities.size());
        for (const auto& e : l.instance_entities) {
            put(e->uid);
            put(e->pid);
            put(e->map_id);
            put(e->layer_id);
            put(e->px);
            put(e->py);
            put(e->fh);
            put(e->fv);
            put(e->ro);
            put(e->tcr);
            put(e->trw);
            put(e->trh);
            put_array(e->custom_variables);
        }
        tag("points", l.path_points.size());
        for (const auto& p : l.path_points) {
            put(p->uid);
            put(p->map_id);
            put(p->layer_id);
            put(p->px);
            put(p->py);
            put(p->cx1);
            put(p->cy1);
            put(p->cx2);
            put(p->cy2);
            put(p->flags);
            put_array(p->custom_variables);
        }
    }

    void put_cells(const std::vector<GridCell>& cells) {
        put(static_cast<std::uint64_t>(cells.size()));
        for (const GridCell& c : cells) {
            put(c.tile);
            put(c.flags);
        }
    }

    bool with_selection_;
    std::string out_;
};

inline std::string dump(const Project& project, bool with_selection = false) {
    return ProjectDump(with_selection).of(project);
}

}  // namespace zorva::test
