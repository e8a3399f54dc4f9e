// The binary project file ".zvp": the packed little-endian record layouts of version 118.
//
// Every record is declared once, as a table of fields (offset and size) where each field starts where
// the previous one ends; the static_asserts pin every offset and every record size, so a slip in the
// table cannot go unnoticed. Records are built and taken apart byte by byte through RecordImage, which
// never relies on the host's struct layout or byte order.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "model/fixed_text.h"

namespace zorva::zvp {

// One field of a record: `size` bytes at `offset`.
struct Field {
    std::size_t offset = 0;
    std::size_t size = 0;
    constexpr std::size_t end() const { return offset + size; }
};

// The field that directly follows `previous`.
constexpr Field after(Field previous, std::size_t size) { return Field{previous.end(), size}; }

inline constexpr std::uint32_t kVersion = 118;
inline constexpr std::uint32_t kFirstTaggedVersion = 110;         // records carry a tag from here on
inline constexpr std::uint32_t kLastOlderVariablesVersion = 114;  // 10-variable areas up to here
inline constexpr std::uint32_t kFirstFrameSizeVersion = 116;      // frame size fields from here on
inline constexpr std::uint32_t kNoVersion = 0xFFFFFFFFu;

// Tags written before every record except the header.
inline constexpr std::uint32_t kTileSetTag = 0xC1D715E7u;
inline constexpr std::uint32_t kMosaicTag = 0xC1D305A1u;
inline constexpr std::uint32_t kParentEntityTag = 0xC1D9AEC1u;
inline constexpr std::uint32_t kMapTag = 0xC1DEA901u;
inline constexpr std::uint32_t kLayerTag = 0xC1D7A4ECu;
inline constexpr std::uint32_t kInstanceEntityTag = 0xC1D1CEC1u;
inline constexpr std::uint32_t kPathPointTag = 0xC1D9A749u;

inline constexpr std::size_t kTextFieldSize = 51;  // one text custom variable or description
inline constexpr std::size_t kNameFieldSize = 31;
inline constexpr std::size_t kPathFieldSize = 260;
inline constexpr std::size_t kVariableCount = 100;
inline constexpr std::size_t kOlderVariableCount = 10;
inline constexpr std::size_t kDescriptionTableCount = 6;
inline constexpr std::size_t kTextVariablesSize = kVariableCount * kTextFieldSize;            // 5100
inline constexpr std::size_t kOlderTextVariablesSize = kOlderVariableCount * kTextFieldSize;  // 510
inline constexpr std::size_t kIntVariablesSize = kVariableCount * 2;                          // 200
inline constexpr std::size_t kOlderIntVariablesSize = kOlderVariableCount * 2;                // 20
inline constexpr std::size_t kCellSize = 8;  // u32 tile index, u32 flag word
inline constexpr std::size_t kOlderDescriptionsSize = kDescriptionTableCount * kOlderTextVariablesSize;
inline constexpr std::size_t kOlderUseBitsSize = kDescriptionTableCount * kOlderVariableCount;
inline constexpr std::size_t kDescriptionsSize = kDescriptionTableCount * kTextVariablesSize;
inline constexpr std::size_t kUseBitsSize = kDescriptionTableCount * kVariableCount;

struct HeaderRecord {
    static constexpr Field version{0, 4};
    static constexpr Field length = after(version, 4);
    static constexpr Field next_map_id = after(length, 4);
    static constexpr Field next_layer_id = after(next_map_id, 4);
    static constexpr Field next_parent_entity_id = after(next_layer_id, 4);
    static constexpr Field next_instance_entity_id = after(next_parent_entity_id, 4);
    static constexpr Field next_tile_set_id = after(next_instance_entity_id, 4);
    static constexpr Field tile_set_count = after(next_tile_set_id, 4);
    static constexpr Field map_count = after(tile_set_count, 4);
    static constexpr Field parent_entity_count = after(map_count, 4);
    static constexpr Field selected_tile_set_id = after(parent_entity_count, 4);
    static constexpr Field selected_map_id = after(selected_tile_set_id, 4);
    static constexpr Field selected_layer_id = after(selected_map_id, 4);
    static constexpr Field zoom = after(selected_layer_id, 4);
    static constexpr Field selected_parent_entity_id = after(zoom, 4);
    static constexpr Field next_path_point_id = after(selected_parent_entity_id, 4);
    static constexpr Field flags = after(next_path_point_id, 4);
    static constexpr Field older_descriptions = after(flags, kOlderDescriptionsSize);
    static constexpr Field older_use_bits = after(older_descriptions, kOlderUseBitsSize);
    static constexpr Field last_used_exporter_dll_file_name = after(older_use_bits, kPathFieldSize);
    static constexpr Field last_used_export_output_path_and_file_name =
        after(last_used_exporter_dll_file_name, kPathFieldSize);
    static constexpr Field last_used_image_tile_set_path =
        after(last_used_export_output_path_and_file_name, kPathFieldSize);
    static constexpr Field last_used_image_parent_entity_path =
        after(last_used_image_tile_set_path, kPathFieldSize);
    static constexpr Field last_used_image_layer_background_path =
        after(last_used_image_parent_entity_path, kPathFieldSize);
    static constexpr Field last_used_exporter_dll_path_and_file_name_not_in_exporters_folder =
        after(last_used_image_layer_background_path, kPathFieldSize);
    static constexpr Field default_entity_trigger_radius =
        after(last_used_exporter_dll_path_and_file_name_not_in_exporters_folder, 4);
    static constexpr Field default_entity_trigger_width = after(default_entity_trigger_radius, 4);
    static constexpr Field default_entity_trigger_height = after(default_entity_trigger_width, 4);
    static constexpr Field descriptions = after(default_entity_trigger_height, kDescriptionsSize);
    static constexpr Field use_bits = after(descriptions, kUseBitsSize);
    static constexpr Field written_path_and_file_name = after(use_bits, kPathFieldSize);
    static constexpr Field relative_export_output_path_and_file_name =
        after(written_path_and_file_name, kPathFieldSize);
    static constexpr Field relative_image_tile_set_path =
        after(relative_export_output_path_and_file_name, kPathFieldSize);
    static constexpr Field relative_image_parent_entity_path =
        after(relative_image_tile_set_path, kPathFieldSize);
    static constexpr Field relative_image_layer_background_path =
        after(relative_image_parent_entity_path, kPathFieldSize);
    static constexpr Field relative_exporter_dll_path_and_file_name_not_in_exporters_folder =
        after(relative_image_layer_background_path, kPathFieldSize);
    static constexpr Field relative_exporter_dll_file_name =
        after(relative_exporter_dll_path_and_file_name_not_in_exporters_folder, kPathFieldSize);
    static constexpr Field show_in_view = after(relative_exporter_dll_file_name, kVariableCount);
    static constexpr Field show_desc_in_view = after(show_in_view, kVariableCount);
    static constexpr std::size_t kSize = show_desc_in_view.end();

    // Flag word bits.
    static constexpr std::uint32_t kMapIdOverflow = 1u << 0;
    static constexpr std::uint32_t kLayerIdOverflow = 1u << 1;
    static constexpr std::uint32_t kParentEntityIdOverflow = 1u << 2;
    static constexpr std::uint32_t kInstanceEntityIdOverflow = 1u << 3;
    static constexpr std::uint32_t kTileSetIdOverflow = 1u << 4;
    static constexpr std::uint32_t kPathPointIdOverflow = 1u << 5;
    static constexpr std::uint32_t kUseExportDllInExportersFolder = 1u << 6;
    static constexpr std::uint32_t kReservedFlags = (1u << 7) | (1u << 8);  // kept as read
};

static_assert(HeaderRecord::kSize == 37980);
static_assert(HeaderRecord::version.offset == 0);
static_assert(HeaderRecord::length.offset == 4);
static_assert(HeaderRecord::next_map_id.offset == 8);
static_assert(HeaderRecord::next_layer_id.offset == 12);
static_assert(HeaderRecord::next_parent_entity_id.offset == 16);
static_assert(HeaderRecord::next_instance_entity_id.offset == 20);
static_assert(HeaderRecord::next_tile_set_id.offset == 24);
static_assert(HeaderRecord::tile_set_count.offset == 28);
static_assert(HeaderRecord::map_count.offset == 32);
static_assert(HeaderRecord::parent_entity_count.offset == 36);
static_assert(HeaderRecord::selected_tile_set_id.offset == 40);
static_assert(HeaderRecord::selected_map_id.offset == 44);
static_assert(HeaderRecord::selected_layer_id.offset == 48);
static_assert(HeaderRecord::zoom.offset == 52);
static_assert(HeaderRecord::selected_parent_entity_id.offset == 56);
static_assert(HeaderRecord::next_path_point_id.offset == 60);
static_assert(HeaderRecord::flags.offset == 64);
static_assert(HeaderRecord::older_descriptions.offset == 68);
static_assert(HeaderRecord::older_use_bits.offset == 3128);
static_assert(HeaderRecord::last_used_exporter_dll_file_name.offset == 3188);
static_assert(HeaderRecord::last_used_export_output_path_and_file_name.offset == 3448);
static_assert(HeaderRecord::last_used_image_tile_set_path.offset == 3708);
static_assert(HeaderRecord::last_used_image_parent_entity_path.offset == 3968);
static_assert(HeaderRecord::last_used_image_layer_background_path.offset == 4228);
static_assert(HeaderRecord::last_used_exporter_dll_path_and_file_name_not_in_exporters_folder.offset == 4488);
static_assert(HeaderRecord::default_entity_trigger_radius.offset == 4748);
static_assert(HeaderRecord::default_entity_trigger_width.offset == 4752);
static_assert(HeaderRecord::default_entity_trigger_height.offset == 4756);
static_assert(HeaderRecord::descriptions.offset == 4760);
static_assert(HeaderRecord::use_bits.offset == 35360);
static_assert(HeaderRecord::written_path_and_file_name.offset == 35960);
static_assert(HeaderRecord::relative_export_output_path_and_file_name.offset == 36220);
static_assert(HeaderRecord::relative_image_tile_set_path.offset == 36480);
static_assert(HeaderRecord::relative_image_parent_entity_path.offset == 36740);
static_assert(HeaderRecord::relative_image_layer_background_path.offset == 37000);
static_assert(HeaderRecord::relative_exporter_dll_path_and_file_name_not_in_exporters_folder.offset == 37260);
static_assert(HeaderRecord::relative_exporter_dll_file_name.offset == 37520);
static_assert(HeaderRecord::show_in_view.offset == 37780);
static_assert(HeaderRecord::show_desc_in_view.offset == 37880);

struct TileSetRecord {
    static constexpr Field length{0, 4};
    static constexpr Field unique_id = after(length, 4);
    static constexpr Field single_tile_pixel_width = after(unique_id, 4);
    static constexpr Field single_tile_pixel_height = after(single_tile_pixel_width, 4);
    static constexpr Field first_tile_offset_pixel_x = after(single_tile_pixel_height, 4);
    static constexpr Field first_tile_offset_pixel_y = after(first_tile_offset_pixel_x, 4);
    static constexpr Field space_between_tiles_pixel_x = after(first_tile_offset_pixel_y, 4);
    static constexpr Field space_between_tiles_pixel_y = after(space_between_tiles_pixel_x, 4);
    static constexpr Field flags = after(space_between_tiles_pixel_y, 4);
    static constexpr Field name = after(flags, kNameFieldSize);
    static constexpr Field image_path_and_file_name = after(name, kPathFieldSize);
    static constexpr Field selected_mosaic_id = after(image_path_and_file_name, 4);
    static constexpr Field next_mosaic_id = after(selected_mosaic_id, 4);
    static constexpr Field mosaic_count = after(next_mosaic_id, 4);
    static constexpr Field left_most_mosaic_id_on_mosaics_dialog = after(mosaic_count, 4);
    static constexpr Field user_supplied_id = after(left_most_mosaic_id_on_mosaics_dialog, 4);
    static constexpr Field transparent_colour = after(user_supplied_id, 4);
    static constexpr Field older_custom_variables = after(transparent_colour, kOlderTextVariablesSize);
    static constexpr Field custom_variables = after(older_custom_variables, kTextVariablesSize);
    static constexpr Field relative_image_path_and_file_name = after(custom_variables, kPathFieldSize);
    static constexpr std::size_t kSize = relative_image_path_and_file_name.end();

    static constexpr std::uint32_t kIsLocked = 1u << 0;
    static constexpr std::uint32_t kUseTransparentColour = 1u << 1;
    static constexpr std::uint32_t kDidMosaicIdOverflow = 1u << 2;
};

static_assert(TileSetRecord::kSize == 6221);
static_assert(TileSetRecord::length.offset == 0);
static_assert(TileSetRecord::unique_id.offset == 4);
static_assert(TileSetRecord::single_tile_pixel_width.offset == 8);
static_assert(TileSetRecord::single_tile_pixel_height.offset == 12);
static_assert(TileSetRecord::first_tile_offset_pixel_x.offset == 16);
static_assert(TileSetRecord::first_tile_offset_pixel_y.offset == 20);
static_assert(TileSetRecord::space_between_tiles_pixel_x.offset == 24);
static_assert(TileSetRecord::space_between_tiles_pixel_y.offset == 28);
static_assert(TileSetRecord::flags.offset == 32);
static_assert(TileSetRecord::name.offset == 36);
static_assert(TileSetRecord::image_path_and_file_name.offset == 67);
static_assert(TileSetRecord::selected_mosaic_id.offset == 327);
static_assert(TileSetRecord::next_mosaic_id.offset == 331);
static_assert(TileSetRecord::mosaic_count.offset == 335);
static_assert(TileSetRecord::left_most_mosaic_id_on_mosaics_dialog.offset == 339);
static_assert(TileSetRecord::user_supplied_id.offset == 343);
static_assert(TileSetRecord::transparent_colour.offset == 347);
static_assert(TileSetRecord::older_custom_variables.offset == 351);
static_assert(TileSetRecord::custom_variables.offset == 861);
static_assert(TileSetRecord::relative_image_path_and_file_name.offset == 5961);

struct MosaicRecord {
    static constexpr Field length{0, 4};
    static constexpr Field uid = after(length, 4);
    static constexpr Field tile_set_id = after(uid, 4);
    static constexpr Field gw = after(tile_set_id, 4);
    static constexpr Field gh = after(gw, 4);
    static constexpr std::size_t kSize = gh.end();
};

static_assert(MosaicRecord::kSize == 20);
static_assert(MosaicRecord::length.offset == 0);
static_assert(MosaicRecord::uid.offset == 4);
static_assert(MosaicRecord::tile_set_id.offset == 8);
static_assert(MosaicRecord::gw.offset == 12);
static_assert(MosaicRecord::gh.offset == 16);

struct ParentEntityRecord {
    static constexpr Field length{0, 4};
    static constexpr Field unique_id = after(length, 4);
    static constexpr Field flags = after(unique_id, 4);
    static constexpr Field name = after(flags, kNameFieldSize);
    static constexpr Field pixel_width = after(name, 4);
    static constexpr Field pixel_height = after(pixel_width, 4);
    static constexpr Field image_path_and_file_name = after(pixel_height, kPathFieldSize);
    static constexpr Field user_supplied_id = after(image_path_and_file_name, 4);
    static constexpr Field older_custom_variables = after(user_supplied_id, kOlderTextVariablesSize);
    static constexpr Field default_circle_trigger_radius = after(older_custom_variables, 4);
    static constexpr Field default_rectangle_trigger_width = after(default_circle_trigger_radius, 4);
    static constexpr Field default_rectangle_trigger_height = after(default_rectangle_trigger_width, 4);
    static constexpr Field custom_variables = after(default_rectangle_trigger_height, kTextVariablesSize);
    static constexpr Field single_frame_pixel_width = after(custom_variables, 4);
    static constexpr Field single_frame_pixel_height = after(single_frame_pixel_width, 4);
    static constexpr Field first_frame_offset_pixel_x = after(single_frame_pixel_height, 4);
    static constexpr Field first_frame_offset_pixel_y = after(first_frame_offset_pixel_x, 4);
    static constexpr Field space_between_frames_pixel_x = after(first_frame_offset_pixel_y, 4);
    static constexpr Field space_between_frames_pixel_y = after(space_between_frames_pixel_x, 4);
    static constexpr Field transparent_colour = after(space_between_frames_pixel_y, 4);
    static constexpr Field preview_anima_frame = after(transparent_colour, 4);
    static constexpr Field relative_image_path_and_file_name = after(preview_anima_frame, kPathFieldSize);
    static constexpr std::size_t kSize = relative_image_path_and_file_name.end();

    static constexpr std::uint32_t kIsLocked = 1u << 0;
    static constexpr std::uint32_t kIsTrigger = 1u << 1;
    static constexpr std::uint32_t kTriggerIsACircle = 1u << 2;
    static constexpr std::uint32_t kUseTransparentColour = 1u << 3;
};

static_assert(ParentEntityRecord::kSize == 6229);
static_assert(ParentEntityRecord::length.offset == 0);
static_assert(ParentEntityRecord::unique_id.offset == 4);
static_assert(ParentEntityRecord::flags.offset == 8);
static_assert(ParentEntityRecord::name.offset == 12);
static_assert(ParentEntityRecord::pixel_width.offset == 43);
static_assert(ParentEntityRecord::pixel_height.offset == 47);
static_assert(ParentEntityRecord::image_path_and_file_name.offset == 51);
static_assert(ParentEntityRecord::user_supplied_id.offset == 311);
static_assert(ParentEntityRecord::older_custom_variables.offset == 315);
static_assert(ParentEntityRecord::default_circle_trigger_radius.offset == 825);
static_assert(ParentEntityRecord::default_rectangle_trigger_width.offset == 829);
static_assert(ParentEntityRecord::default_rectangle_trigger_height.offset == 833);
static_assert(ParentEntityRecord::custom_variables.offset == 837);
static_assert(ParentEntityRecord::single_frame_pixel_width.offset == 5937);
static_assert(ParentEntityRecord::single_frame_pixel_height.offset == 5941);
static_assert(ParentEntityRecord::first_frame_offset_pixel_x.offset == 5945);
static_assert(ParentEntityRecord::first_frame_offset_pixel_y.offset == 5949);
static_assert(ParentEntityRecord::space_between_frames_pixel_x.offset == 5953);
static_assert(ParentEntityRecord::space_between_frames_pixel_y.offset == 5957);
static_assert(ParentEntityRecord::transparent_colour.offset == 5961);
static_assert(ParentEntityRecord::preview_anima_frame.offset == 5965);
static_assert(ParentEntityRecord::relative_image_path_and_file_name.offset == 5969);

struct MapRecord {
    static constexpr Field length{0, 4};
    static constexpr Field unique_id = after(length, 4);
    static constexpr Field name = after(unique_id, kNameFieldSize);
    static constexpr Field use_tile_set_id = after(name, 4);
    static constexpr Field flags = after(use_tile_set_id, 4);
    static constexpr Field camera_grid_position_x = after(flags, 4);
    static constexpr Field camera_grid_position_y = after(camera_grid_position_x, 4);
    static constexpr Field reserved_1 = after(camera_grid_position_y, 4);
    static constexpr Field reserved_2 = after(reserved_1, 4);
    static constexpr Field layer_count = after(reserved_2, 4);
    static constexpr Field selected_layer_id = after(layer_count, 4);
    static constexpr Field top_left_tile_index_in_tiles_dialog = after(selected_layer_id, 4);
    static constexpr Field selected_tile_index = after(top_left_tile_index_in_tiles_dialog, 4);
    static constexpr Field pixel_size_of_tiles_in_tiles_dialog = after(selected_tile_index, 4);
    static constexpr Field user_supplied_id = after(pixel_size_of_tiles_in_tiles_dialog, 4);
    static constexpr Field older_custom_variables = after(user_supplied_id, kOlderTextVariablesSize);
    static constexpr Field custom_variables = after(older_custom_variables, kTextVariablesSize);
    static constexpr std::size_t kSize = custom_variables.end();

    static constexpr std::uint32_t kExportThisMap = 1u << 0;
    static constexpr std::uint32_t kIsLocked = 1u << 1;
    static constexpr std::uint32_t kPlaceTileHorizontalFlip = 1u << 2;
    static constexpr std::uint32_t kPlaceTileVerticalFlip = 1u << 3;
    static constexpr std::uint32_t kPlaceTileRotate = 1u << 4;
    static constexpr int kPlaceTileAttributeShift = 5;  // bits 5 to 12
};

static_assert(MapRecord::kSize == 5697);
static_assert(MapRecord::length.offset == 0);
static_assert(MapRecord::unique_id.offset == 4);
static_assert(MapRecord::name.offset == 8);
static_assert(MapRecord::use_tile_set_id.offset == 39);
static_assert(MapRecord::flags.offset == 43);
static_assert(MapRecord::camera_grid_position_x.offset == 47);
static_assert(MapRecord::camera_grid_position_y.offset == 51);
static_assert(MapRecord::reserved_1.offset == 55);
static_assert(MapRecord::reserved_2.offset == 59);
static_assert(MapRecord::layer_count.offset == 63);
static_assert(MapRecord::selected_layer_id.offset == 67);
static_assert(MapRecord::top_left_tile_index_in_tiles_dialog.offset == 71);
static_assert(MapRecord::selected_tile_index.offset == 75);
static_assert(MapRecord::pixel_size_of_tiles_in_tiles_dialog.offset == 79);
static_assert(MapRecord::user_supplied_id.offset == 83);
static_assert(MapRecord::older_custom_variables.offset == 87);
static_assert(MapRecord::custom_variables.offset == 597);

struct LayerRecord {
    static constexpr Field length{0, 4};
    static constexpr Field unique_id = after(length, 4);
    static constexpr Field map_id = after(unique_id, 4);
    static constexpr Field name = after(map_id, kNameFieldSize);
    static constexpr Field grid_width = after(name, 4);
    static constexpr Field grid_height = after(grid_width, 4);
    static constexpr Field flags = after(grid_height, 4);
    static constexpr Field scroll_speed_x = after(flags, 4);
    static constexpr Field scroll_speed_y = after(scroll_speed_x, 4);
    static constexpr Field instance_entity_count = after(scroll_speed_y, 4);
    static constexpr Field path_count = after(instance_entity_count, 4);
    static constexpr Field grid_offset_x = after(path_count, 4);
    static constexpr Field grid_offset_y = after(grid_offset_x, 4);
    static constexpr Field background_colour = after(grid_offset_y, 4);
    static constexpr Field opacity = after(background_colour, 1);
    static constexpr Field user_supplied_id = after(opacity, 4);
    static constexpr Field older_custom_variables = after(user_supplied_id, kOlderTextVariablesSize);
    static constexpr Field background_image_path_and_file_name =
        after(older_custom_variables, kPathFieldSize);
    static constexpr Field path_point_count = after(background_image_path_and_file_name, 4);
    static constexpr Field custom_variables = after(path_point_count, kTextVariablesSize);
    static constexpr Field relative_background_image_path_and_file_name =
        after(custom_variables, kPathFieldSize);
    static constexpr std::size_t kSize = relative_background_image_path_and_file_name.end();

    static constexpr std::uint32_t kWrapX = 1u << 0;
    static constexpr std::uint32_t kWrapY = 1u << 1;
    static constexpr std::uint32_t kIsLocked = 1u << 2;
    static constexpr std::uint32_t kIsVisible = 1u << 3;
    static constexpr std::uint32_t kIsMainLayer = 1u << 4;
    static constexpr std::uint32_t kUseBackgroundColour = 1u << 5;
    static constexpr std::uint32_t kUseBackgroundImage = 1u << 6;
};

static_assert(LayerRecord::kSize == 6222);
static_assert(LayerRecord::length.offset == 0);
static_assert(LayerRecord::unique_id.offset == 4);
static_assert(LayerRecord::map_id.offset == 8);
static_assert(LayerRecord::name.offset == 12);
static_assert(LayerRecord::grid_width.offset == 43);
static_assert(LayerRecord::grid_height.offset == 47);
static_assert(LayerRecord::flags.offset == 51);
static_assert(LayerRecord::scroll_speed_x.offset == 55);
static_assert(LayerRecord::scroll_speed_y.offset == 59);
static_assert(LayerRecord::instance_entity_count.offset == 63);
static_assert(LayerRecord::path_count.offset == 67);
static_assert(LayerRecord::grid_offset_x.offset == 71);
static_assert(LayerRecord::grid_offset_y.offset == 75);
static_assert(LayerRecord::background_colour.offset == 79);
static_assert(LayerRecord::opacity.offset == 83);
static_assert(LayerRecord::user_supplied_id.offset == 84);
static_assert(LayerRecord::older_custom_variables.offset == 88);
static_assert(LayerRecord::background_image_path_and_file_name.offset == 598);
static_assert(LayerRecord::path_point_count.offset == 858);
static_assert(LayerRecord::custom_variables.offset == 862);
static_assert(LayerRecord::relative_background_image_path_and_file_name.offset == 5962);

struct InstanceEntityRecord {
    static constexpr Field length{0, 4};
    static constexpr Field uid = after(length, 4);
    static constexpr Field pid = after(uid, 4);
    static constexpr Field map_id = after(pid, 4);
    static constexpr Field layer_id = after(map_id, 4);
    static constexpr Field px = after(layer_id, 4);
    static constexpr Field py = after(px, 4);
    static constexpr Field flags = after(py, 4);
    static constexpr Field older_custom_variables = after(flags, kOlderIntVariablesSize);
    static constexpr Field tcr = after(older_custom_variables, 4);
    static constexpr Field trw = after(tcr, 4);
    static constexpr Field trh = after(trw, 4);
    static constexpr Field custom_variables = after(trh, kIntVariablesSize);
    static constexpr std::size_t kSize = custom_variables.end();

    static constexpr std::uint32_t kFlipHorizontal = 1u << 0;
    static constexpr std::uint32_t kFlipVertical = 1u << 1;
    static constexpr std::uint32_t kRotate = 1u << 2;
    static constexpr std::uint32_t kPresetTriggerSize =
        16;  // trigger sizes of records too short to hold them
};

static_assert(InstanceEntityRecord::kSize == 264);
static_assert(InstanceEntityRecord::length.offset == 0);
static_assert(InstanceEntityRecord::uid.offset == 4);
static_assert(InstanceEntityRecord::pid.offset == 8);
static_assert(InstanceEntityRecord::map_id.offset == 12);
static_assert(InstanceEntityRecord::layer_id.offset == 16);
static_assert(InstanceEntityRecord::px.offset == 20);
static_assert(InstanceEntityRecord::py.offset == 24);
static_assert(InstanceEntityRecord::flags.offset == 28);
static_assert(InstanceEntityRecord::older_custom_variables.offset == 32);
static_assert(InstanceEntityRecord::tcr.offset == 52);
static_assert(InstanceEntityRecord::trw.offset == 56);
static_assert(InstanceEntityRecord::trh.offset == 60);
static_assert(InstanceEntityRecord::custom_variables.offset == 64);

struct PathPointRecord {
    static constexpr Field length{0, 4};
    static constexpr Field uid = after(length, 4);
    static constexpr Field map_id = after(uid, 4);
    static constexpr Field layer_id = after(map_id, 4);
    static constexpr Field px = after(layer_id, 4);
    static constexpr Field py = after(px, 4);
    static constexpr Field cx1 = after(py, 4);
    static constexpr Field cy1 = after(cx1, 4);
    static constexpr Field cx2 = after(cy1, 4);
    static constexpr Field cy2 = after(cx2, 4);
    static constexpr Field flags = after(cy2, 4);  // bit 0 starts, bit 1 ends a path, bit 2 ucp, bit 3 closed
    static constexpr Field older_custom_variables = after(flags, kOlderIntVariablesSize);
    static constexpr Field custom_variables = after(older_custom_variables, kIntVariablesSize);
    static constexpr std::size_t kSize = custom_variables.end();
};

static_assert(PathPointRecord::kSize == 264);
static_assert(PathPointRecord::length.offset == 0);
static_assert(PathPointRecord::uid.offset == 4);
static_assert(PathPointRecord::map_id.offset == 8);
static_assert(PathPointRecord::layer_id.offset == 12);
static_assert(PathPointRecord::px.offset == 16);
static_assert(PathPointRecord::py.offset == 20);
static_assert(PathPointRecord::cx1.offset == 24);
static_assert(PathPointRecord::cy1.offset == 28);
static_assert(PathPointRecord::cx2.offset == 32);
static_assert(PathPointRecord::cy2.offset == 36);
static_assert(PathPointRecord::flags.offset == 40);
static_assert(PathPointRecord::older_custom_variables.offset == 44);
static_assert(PathPointRecord::custom_variables.offset == 64);

// Little-endian numbers at a byte address.
inline void store_u32(unsigned char* at, std::uint32_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
    at[2] = static_cast<unsigned char>(value >> 16);
    at[3] = static_cast<unsigned char>(value >> 24);
}
inline std::uint32_t load_u32(const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
           (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}
inline void store_s16(unsigned char* at, std::int16_t value) {
    const auto bits = static_cast<std::uint16_t>(value);
    at[0] = static_cast<unsigned char>(bits);
    at[1] = static_cast<unsigned char>(bits >> 8);
}
inline std::int16_t load_s16(const unsigned char* at) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(at[0] | (at[1] << 8)));
}

// The image of one record of `N` bytes, zero unless set. Field accessors are checked at compile time
// against the field's size and the record's end.
template <std::size_t N>
class RecordImage {
public:
    static constexpr std::size_t kSize = N;

    RecordImage() { bytes_.fill(0); }

    unsigned char* data() { return bytes_.data(); }
    const unsigned char* data() const { return bytes_.data(); }
    void clear() { bytes_.fill(0); }

    template <Field F>
    void set_u32(std::uint32_t value) {
        static_assert(F.size == 4 && F.end() <= N);
        store_u32(bytes_.data() + F.offset, value);
    }
    template <Field F>
    std::uint32_t u32() const {
        static_assert(F.size == 4 && F.end() <= N);
        return load_u32(bytes_.data() + F.offset);
    }
    template <Field F>
    void set_s32(std::int32_t value) {
        set_u32<F>(static_cast<std::uint32_t>(value));
    }
    template <Field F>
    std::int32_t s32() const {
        return static_cast<std::int32_t>(u32<F>());
    }
    template <Field F>
    void set_f32(float value) {
        set_u32<F>(std::bit_cast<std::uint32_t>(value));
    }
    template <Field F>
    float f32() const {
        return std::bit_cast<float>(u32<F>());
    }
    template <Field F>
    void set_u8(std::uint8_t value) {
        static_assert(F.size == 1 && F.end() <= N);
        bytes_[F.offset] = value;
    }
    template <Field F>
    std::uint8_t u8() const {
        static_assert(F.size == 1 && F.end() <= N);
        return bytes_[F.offset];
    }

    // A text field holds the text's whole storage (characters, terminator and zero padding).
    template <Field F, std::size_t M>
    void set_text(const FixedText<M>& text) {
        static_assert(F.size == M + 1 && F.end() <= N);
        std::memcpy(bytes_.data() + F.offset, text.bytes().data(), M + 1);
    }
    template <Field F, std::size_t M>
    void get_text(FixedText<M>& text) const {
        static_assert(F.size == M + 1 && F.end() <= N);
        get_text_at(F.offset, text);
    }

    // Texts and numbers at a computed offset (tables of descriptions and variables).
    template <std::size_t M>
    void set_text_at(std::size_t offset, const FixedText<M>& text) {
        if (offset + M + 1 <= N) std::memcpy(bytes_.data() + offset, text.bytes().data(), M + 1);
    }
    // The text up to the first zero byte, cut to M characters.
    template <std::size_t M>
    void get_text_at(std::size_t offset, FixedText<M>& text) const {
        if (offset + M + 1 > N) return;
        text.set_from_field(reinterpret_cast<const char*>(bytes_.data() + offset), M + 1);
    }
    void set_byte_at(std::size_t offset, std::uint8_t value) {
        if (offset < N) bytes_[offset] = value;
    }
    std::uint8_t byte_at(std::size_t offset) const { return offset < N ? bytes_[offset] : 0; }
    void set_s16_at(std::size_t offset, std::int16_t value) {
        if (offset + 2 <= N) store_s16(bytes_.data() + offset, value);
    }
    std::int16_t s16_at(std::size_t offset) const {
        return offset + 2 <= N ? load_s16(bytes_.data() + offset) : 0;
    }

private:
    std::array<unsigned char, N> bytes_;
};

using HeaderImage = RecordImage<HeaderRecord::kSize>;
using TileSetImage = RecordImage<TileSetRecord::kSize>;
using MosaicImage = RecordImage<MosaicRecord::kSize>;
using ParentEntityImage = RecordImage<ParentEntityRecord::kSize>;
using MapImage = RecordImage<MapRecord::kSize>;
using LayerImage = RecordImage<LayerRecord::kSize>;
using InstanceEntityImage = RecordImage<InstanceEntityRecord::kSize>;
using PathPointImage = RecordImage<PathPointRecord::kSize>;

}  // namespace zorva::zvp
