#include "projectfile/zvp_writer.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "base/safe_file.h"
#include "projectfile/relative_path.h"
#include "projectfile/zvp_format.h"

namespace zorva {

namespace {

using namespace zvp;

template <std::size_t N>
void put_text_variables(RecordImage<N>& image, Field field, const TextVariables& variables) {
    for (std::size_t i = 0; i < kVariableCount; ++i)
        image.set_text_at(field.offset + i * kTextFieldSize, variables[i]);
}

template <std::size_t N>
void put_int_variables(RecordImage<N>& image, Field field, const IntVariables& variables) {
    for (std::size_t i = 0; i < kVariableCount; ++i) image.set_s16_at(field.offset + i * 2, variables[i]);
}

std::uint32_t bit(bool on, std::uint32_t flag) { return on ? flag : 0u; }

class ZvpWriter {
public:
    ZvpWriter(SafeFileWriter& out, const Project& project, std::string file)
        : out_(out), project_(project), file_(std::move(file)) {
        parent_ids_.reserve(project.parent_entities.size());
        for (const auto& entity : project.parent_entities) parent_ids_.push_back(entity->unique_id);
        std::sort(parent_ids_.begin(), parent_ids_.end());
    }

    void write() {
        write_header();
        for (const auto& tile_set : project_.tile_sets) write_tile_set(*tile_set);
        for (const auto& entity : project_.parent_entities) write_parent_entity(*entity);
        for (const auto& map : project_.maps) write_map(*map);
    }

private:
    template <std::size_t N>
    void put(std::uint32_t tag, const RecordImage<N>& image) {
        unsigned char bytes[4];
        store_u32(bytes, tag);
        out_.write(bytes, sizeof bytes);
        out_.write(image.data(), N);
    }

    // `cells` cells from `grid` in one block; a grid shorter than its stated size is padded with empty cells.
    void put_grid(const std::vector<GridCell>& grid, std::size_t cells) {
        const std::size_t present = std::min(grid.size(), cells);
        if constexpr (std::endian::native == std::endian::little) {
            static_assert(sizeof(GridCell) == kCellSize && offsetof(GridCell, tile) == 0 &&
                          offsetof(GridCell, flags) == 4);
            if (present > 0) out_.write(grid.data(), present * kCellSize);
        } else {
            unsigned char chunk[4096 * kCellSize];
            std::size_t done = 0;
            while (done < present) {
                const std::size_t count = std::min<std::size_t>(present - done, 4096);
                for (std::size_t i = 0; i < count; ++i) {
                    store_u32(chunk + i * kCellSize, grid[done + i].tile);
                    store_u32(chunk + i * kCellSize + 4, grid[done + i].flags);
                }
                out_.write(chunk, count * kCellSize);
                done += count;
            }
        }
        static const unsigned char kEmpty[kCellSize * 64] = {};
        for (std::size_t missing = cells - present; missing > 0;) {
            const std::size_t count = std::min<std::size_t>(missing, 64);
            out_.write(kEmpty, count * kCellSize);
            missing -= count;
        }
    }

    std::string relative(const PathText& target, PathKind kind) const {
        return make_relative_path(file_, target.view(), kind);
    }

    bool parent_exists(ObjectId pid) const {
        return std::binary_search(parent_ids_.begin(), parent_ids_.end(), pid);
    }

    void write_header() {
        using H = HeaderRecord;
        auto image = std::make_unique<HeaderImage>();
        HeaderImage& h = *image;
        const Project& p = project_;
        h.set_u32<H::version>(kVersion);
        h.set_u32<H::length>(static_cast<std::uint32_t>(H::kSize));
        h.set_u32<H::next_map_id>(p.next_map_id);
        h.set_u32<H::next_layer_id>(p.next_layer_id);
        h.set_u32<H::next_parent_entity_id>(p.next_parent_entity_id);
        h.set_u32<H::next_instance_entity_id>(p.next_instance_entity_id);
        h.set_u32<H::next_tile_set_id>(p.next_tile_set_id);
        h.set_u32<H::tile_set_count>(static_cast<std::uint32_t>(p.tile_sets.size()));
        h.set_u32<H::map_count>(static_cast<std::uint32_t>(p.maps.size()));
        h.set_u32<H::parent_entity_count>(static_cast<std::uint32_t>(p.parent_entities.size()));
        h.set_u32<H::selected_tile_set_id>(p.selected_tile_set_id());
        h.set_u32<H::selected_map_id>(p.selected_map_id());
        h.set_u32<H::selected_layer_id>(p.selected_layer_id());
        h.set_u32<H::zoom>(p.zoom);
        h.set_u32<H::selected_parent_entity_id>(p.selected_parent_entity_id());
        h.set_u32<H::next_path_point_id>(p.next_path_point_id);
        h.set_u32<H::flags>(bit(p.did_map_id_overflow, H::kMapIdOverflow) |
                            bit(p.did_layer_id_overflow, H::kLayerIdOverflow) |
                            bit(p.did_parent_entity_id_overflow, H::kParentEntityIdOverflow) |
                            bit(p.did_instance_entity_id_overflow, H::kInstanceEntityIdOverflow) |
                            bit(p.did_tile_set_id_overflow, H::kTileSetIdOverflow) |
                            bit(p.did_path_point_id_overflow, H::kPathPointIdOverflow) |
                            bit(p.use_export_dll_in_exporters_folder, H::kUseExportDllInExportersFolder) |
                            (p.reserved_flags & H::kReservedFlags));
        // The older description and use_bits tables stay zero.
        h.set_text<H::last_used_exporter_dll_file_name>(p.last_used_exporter_dll_file_name);
        h.set_text<H::last_used_export_output_path_and_file_name>(
            p.last_used_export_output_path_and_file_name);
        h.set_text<H::last_used_image_tile_set_path>(p.last_used_image_tile_set_path);
        h.set_text<H::last_used_image_parent_entity_path>(p.last_used_image_parent_entity_path);
        h.set_text<H::last_used_image_layer_background_path>(p.last_used_image_layer_background_path);
        h.set_text<H::last_used_exporter_dll_path_and_file_name_not_in_exporters_folder>(
            p.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder);
        h.set_u32<H::default_entity_trigger_radius>(p.default_entity_trigger_radius);
        h.set_u32<H::default_entity_trigger_width>(p.default_entity_trigger_width);
        h.set_u32<H::default_entity_trigger_height>(p.default_entity_trigger_height);
        for (std::size_t kind = 0; kind < kDescriptionTableCount; ++kind) {
            const DescriptionTable& table = p.descriptions[kind];
            for (std::size_t i = 0; i < kVariableCount; ++i) {
                h.set_text_at(H::descriptions.offset + kind * kTextVariablesSize + i * kTextFieldSize,
                              table[i].desc);
                h.set_byte_at(H::use_bits.offset + kind * kVariableCount + i, table[i].use_bits ? 1 : 0);
            }
        }
        const DescriptionTable& instances = p.descriptions_for(ObjectKind::InstanceEntity);
        for (std::size_t i = 0; i < kVariableCount; ++i) {
            h.set_byte_at(H::show_in_view.offset + i, instances[i].show_in_view ? 1 : 0);
            h.set_byte_at(H::show_desc_in_view.offset + i, instances[i].show_desc_in_view ? 1 : 0);
        }
        h.set_text<H::written_path_and_file_name>(PathText(file_));
        h.set_text<H::relative_export_output_path_and_file_name>(
            PathText(relative(p.last_used_export_output_path_and_file_name, PathKind::File)));
        h.set_text<H::relative_image_tile_set_path>(
            PathText(relative(p.last_used_image_tile_set_path, PathKind::Folder)));
        h.set_text<H::relative_image_parent_entity_path>(
            PathText(relative(p.last_used_image_parent_entity_path, PathKind::Folder)));
        h.set_text<H::relative_image_layer_background_path>(
            PathText(relative(p.last_used_image_layer_background_path, PathKind::Folder)));
        h.set_text<H::relative_exporter_dll_path_and_file_name_not_in_exporters_folder>(PathText(
            relative(p.last_used_exporter_dll_path_and_file_name_not_in_exporters_folder, PathKind::File)));
        h.set_text<H::relative_exporter_dll_file_name>(
            PathText(relative(p.last_used_exporter_dll_file_name, PathKind::File)));
        out_.write(h.data(), H::kSize);
    }

    void write_tile_set(const TileSet& t) {
        using R = TileSetRecord;
        TileSetImage& r = tile_set_image_;
        r.clear();
        r.set_u32<R::length>(static_cast<std::uint32_t>(R::kSize));
        r.set_u32<R::unique_id>(t.unique_id);
        r.set_s32<R::single_tile_pixel_width>(t.single_tile_pixel_width);
        r.set_s32<R::single_tile_pixel_height>(t.single_tile_pixel_height);
        r.set_s32<R::first_tile_offset_pixel_x>(t.first_tile_offset_pixel_x);
        r.set_s32<R::first_tile_offset_pixel_y>(t.first_tile_offset_pixel_y);
        r.set_u32<R::space_between_tiles_pixel_x>(t.space_between_tiles_pixel_x);
        r.set_u32<R::space_between_tiles_pixel_y>(t.space_between_tiles_pixel_y);
        r.set_u32<R::flags>(bit(t.is_locked, R::kIsLocked) |
                            bit(t.use_transparent_colour, R::kUseTransparentColour) |
                            bit(t.did_mosaic_id_overflow, R::kDidMosaicIdOverflow));
        r.set_text<R::name>(t.name);
        r.set_text<R::image_path_and_file_name>(t.image_path_and_file_name);
        r.set_u32<R::selected_mosaic_id>(t.selected_mosaic_id);
        r.set_u32<R::next_mosaic_id>(t.next_mosaic_id);
        r.set_u32<R::mosaic_count>(static_cast<std::uint32_t>(t.mosaics.size()));
        r.set_u32<R::left_most_mosaic_id_on_mosaics_dialog>(t.left_most_mosaic_id_on_mosaics_dialog);
        r.set_u32<R::user_supplied_id>(t.user_supplied_id);
        r.set_u32<R::transparent_colour>(t.transparent_colour);
        put_text_variables(r, R::custom_variables, t.custom_variables);
        r.set_text<R::relative_image_path_and_file_name>(
            PathText(relative(t.image_path_and_file_name, PathKind::File)));
        put(kTileSetTag, r);

        for (const auto& mosaic : t.mosaics) {
            using M = MosaicRecord;
            MosaicImage m;
            m.set_u32<M::length>(static_cast<std::uint32_t>(M::kSize));
            m.set_u32<M::uid>(mosaic->uid);
            m.set_u32<M::tile_set_id>(t.unique_id);
            m.set_u32<M::gw>(mosaic->gw);
            m.set_u32<M::gh>(mosaic->gh);
            put(kMosaicTag, m);
            put_grid(mosaic->grid, static_cast<std::size_t>(mosaic->gw) * mosaic->gh);
        }
    }

    void write_parent_entity(const ParentEntity& e) {
        using R = ParentEntityRecord;
        ParentEntityImage& r = parent_entity_image_;
        r.clear();
        r.set_u32<R::length>(static_cast<std::uint32_t>(R::kSize));
        r.set_u32<R::unique_id>(e.unique_id);
        r.set_u32<R::flags>(bit(e.is_locked, R::kIsLocked) | bit(e.is_trigger, R::kIsTrigger) |
                            bit(e.trigger_is_a_circle, R::kTriggerIsACircle) |
                            bit(e.use_transparent_colour, R::kUseTransparentColour));
        r.set_text<R::name>(e.name);
        r.set_u32<R::pixel_width>(e.pixel_width);
        r.set_u32<R::pixel_height>(e.pixel_height);
        r.set_text<R::image_path_and_file_name>(e.image_path_and_file_name);
        r.set_u32<R::user_supplied_id>(e.user_supplied_id);
        r.set_u32<R::default_circle_trigger_radius>(e.default_circle_trigger_radius);
        r.set_u32<R::default_rectangle_trigger_width>(e.default_rectangle_trigger_width);
        r.set_u32<R::default_rectangle_trigger_height>(e.default_rectangle_trigger_height);
        put_text_variables(r, R::custom_variables, e.custom_variables);
        r.set_s32<R::single_frame_pixel_width>(e.single_frame_pixel_width);
        r.set_s32<R::single_frame_pixel_height>(e.single_frame_pixel_height);
        r.set_s32<R::first_frame_offset_pixel_x>(e.first_frame_offset_pixel_x);
        r.set_s32<R::first_frame_offset_pixel_y>(e.first_frame_offset_pixel_y);
        r.set_s32<R::space_between_frames_pixel_x>(e.space_between_frames_pixel_x);
        r.set_s32<R::space_between_frames_pixel_y>(e.space_between_frames_pixel_y);
        r.set_u32<R::transparent_colour>(e.transparent_colour);
        r.set_s32<R::preview_anima_frame>(e.preview_anima_frame);
        r.set_text<R::relative_image_path_and_file_name>(
            PathText(relative(e.image_path_and_file_name, PathKind::File)));
        put(kParentEntityTag, r);
    }

    void write_map(const Map& map) {
        using R = MapRecord;
        MapImage& r = map_image_;
        r.clear();
        r.set_u32<R::length>(static_cast<std::uint32_t>(R::kSize));
        r.set_u32<R::unique_id>(map.unique_id);
        r.set_text<R::name>(map.name);
        r.set_u32<R::use_tile_set_id>(map.use_tile_set_id);
        r.set_u32<R::flags>(
            bit(map.export_this_map, R::kExportThisMap) | bit(map.is_locked, R::kIsLocked) |
            bit(map.place_tile_horizontal_flip, R::kPlaceTileHorizontalFlip) |
            bit(map.place_tile_vertical_flip, R::kPlaceTileVerticalFlip) |
            bit(map.place_tile_rotate, R::kPlaceTileRotate) |
            (static_cast<std::uint32_t>(map.place_tile_attribute) << R::kPlaceTileAttributeShift));
        r.set_s32<R::camera_grid_position_x>(map.camera_grid_position_x);
        r.set_s32<R::camera_grid_position_y>(map.camera_grid_position_y);
        r.set_u32<R::reserved_1>(map.reserved_1);
        r.set_u32<R::reserved_2>(map.reserved_2);
        r.set_u32<R::layer_count>(static_cast<std::uint32_t>(map.layers.size()));
        r.set_u32<R::selected_layer_id>(map.selected_layer_id);
        r.set_u32<R::top_left_tile_index_in_tiles_dialog>(map.top_left_tile_index_in_tiles_dialog);
        r.set_u32<R::selected_tile_index>(map.selected_tile_index);
        r.set_s32<R::pixel_size_of_tiles_in_tiles_dialog>(map.pixel_size_of_tiles_in_tiles_dialog);
        r.set_u32<R::user_supplied_id>(map.user_supplied_id);
        put_text_variables(r, R::custom_variables, map.custom_variables);
        put(kMapTag, r);
        for (const auto& layer : map.layers) write_layer(map, *layer);
    }

    void write_layer(const Map& map, const Layer& layer) {
        using R = LayerRecord;
        // Orphaned instances (their parent entity was deleted) are not written, so the record counts only
        // the instances that are.
        std::uint32_t instances = 0;
        for (const auto& entity : layer.instance_entities)
            if (parent_exists(entity->pid)) ++instances;

        LayerImage& r = layer_image_;
        r.clear();
        r.set_u32<R::length>(static_cast<std::uint32_t>(R::kSize));
        r.set_u32<R::unique_id>(layer.unique_id);
        r.set_u32<R::map_id>(map.unique_id);
        r.set_text<R::name>(layer.name);
        r.set_s32<R::grid_width>(layer.grid_width);
        r.set_s32<R::grid_height>(layer.grid_height);
        r.set_u32<R::flags>(bit(layer.wrap_x, R::kWrapX) | bit(layer.wrap_y, R::kWrapY) |
                            bit(layer.is_locked, R::kIsLocked) | bit(layer.is_visible, R::kIsVisible) |
                            bit(layer.is_main_layer, R::kIsMainLayer) |
                            bit(layer.use_background_colour, R::kUseBackgroundColour) |
                            bit(layer.use_background_image, R::kUseBackgroundImage));
        r.set_f32<R::scroll_speed_x>(layer.scroll_speed_x);
        r.set_f32<R::scroll_speed_y>(layer.scroll_speed_y);
        r.set_u32<R::instance_entity_count>(instances);
        r.set_u32<R::path_count>(static_cast<std::uint32_t>(layer.path_count()));
        r.set_s32<R::grid_offset_x>(layer.grid_offset_x);
        r.set_s32<R::grid_offset_y>(layer.grid_offset_y);
        r.set_u32<R::background_colour>(layer.background_colour);
        r.set_u8<R::opacity>(layer.opacity);
        r.set_u32<R::user_supplied_id>(layer.user_supplied_id);
        r.set_text<R::background_image_path_and_file_name>(layer.background_image_path_and_file_name);
        r.set_u32<R::path_point_count>(static_cast<std::uint32_t>(layer.path_points.size()));
        put_text_variables(r, R::custom_variables, layer.custom_variables);
        r.set_text<R::relative_background_image_path_and_file_name>(
            PathText(relative(layer.background_image_path_and_file_name, PathKind::File)));
        put(kLayerTag, r);
        put_grid(layer.grid, layer.cell_count());

        for (const auto& entity : layer.instance_entities) {
            if (!parent_exists(entity->pid)) continue;
            using E = InstanceEntityRecord;
            InstanceEntityImage e;
            e.set_u32<E::length>(static_cast<std::uint32_t>(E::kSize));
            e.set_u32<E::uid>(entity->uid);
            e.set_u32<E::pid>(entity->pid);
            e.set_u32<E::map_id>(map.unique_id);
            e.set_u32<E::layer_id>(layer.unique_id);
            e.set_f32<E::px>(entity->px);
            e.set_f32<E::py>(entity->py);
            e.set_u32<E::flags>(bit(entity->fh, E::kFlipHorizontal) | bit(entity->fv, E::kFlipVertical) |
                                bit(entity->ro, E::kRotate));
            e.set_u32<E::tcr>(entity->tcr);
            e.set_u32<E::trw>(entity->trw);
            e.set_u32<E::trh>(entity->trh);
            put_int_variables(e, E::custom_variables, entity->custom_variables);
            put(kInstanceEntityTag, e);
        }
        for (const auto& point : layer.path_points) {
            using P = PathPointRecord;
            PathPointImage e;
            e.set_u32<P::length>(static_cast<std::uint32_t>(P::kSize));
            e.set_u32<P::uid>(point->uid);
            e.set_u32<P::map_id>(map.unique_id);
            e.set_u32<P::layer_id>(layer.unique_id);
            e.set_f32<P::px>(point->px);
            e.set_f32<P::py>(point->py);
            e.set_f32<P::cx1>(point->cx1);
            e.set_f32<P::cy1>(point->cy1);
            e.set_f32<P::cx2>(point->cx2);
            e.set_f32<P::cy2>(point->cy2);
            e.set_u32<P::flags>(point->flags & kPathPointFileFlags);
            put_int_variables(e, P::custom_variables, point->custom_variables);
            put(kPathPointTag, e);
        }
    }

    SafeFileWriter& out_;
    const Project& project_;
    std::string file_;                  // absolute path being written, the base of the relative forms
    std::vector<ObjectId> parent_ids_;  // sorted
    TileSetImage tile_set_image_;
    ParentEntityImage parent_entity_image_;
    MapImage map_image_;
    LayerImage layer_image_;
};

}  // namespace

bool write_zvp_project(std::string_view path, Project& project, bool keep_name, std::string* error) {
    auto failed = [&](std::string_view why) {
        if (error) *error = std::string(why);
        return false;
    };
    if (path.empty()) return failed("no file name");
    try {
        const std::string file = absolute_path(path);
        SafeFileWriter out;
        if (!out.open(file)) return failed(out.error());
        ZvpWriter(out, project, file).write();
        if (!out.commit()) return failed(out.error());
    } catch (const std::bad_alloc&) {
        return failed("not enough memory");
    }
    if (!keep_name) project.path_and_file_name = path;
    return true;
}

}  // namespace zorva
