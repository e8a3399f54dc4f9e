#include "projectfile/zvp_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "projectfile/zvp_format.h"
#include "projectfile/zvp_writer.h"
#include "support/temp_dir.h"
#include "zvp_test_support.h"

namespace zorva {
namespace {

using test::append_record;
using test::append_u32;
using test::read_bytes;
using test::u32_at;
using namespace zvp;

LoadResult read_memory(const std::vector<unsigned char>& bytes,
                       const std::string& path = "/nowhere/level.zvp") {
    return read_zvp_project_from_memory(bytes, path);
}

void put_u32(std::vector<unsigned char>& bytes, std::size_t offset, std::uint32_t value) {
    store_u32(bytes.data() + offset, value);
}

// The rich project written once, its bytes kept.
class ZvpRich : public ::testing::Test {
protected:
    void SetUp() override {
        test::build_rich_project(rich_);
        // Folder values resolve to existing folders (an empty one would become the project's folder).
        const std::string folder = dir_.path().string() + "/";
        rich_.project.last_used_image_tile_set_path = folder;
        rich_.project.last_used_image_parent_entity_path = folder;
        rich_.project.last_used_image_layer_background_path = folder;
        file_ = dir_.file("rich.zvp");
        ASSERT_TRUE(write_zvp_project(file_, rich_.project));
        bytes_ = read_bytes(file_);
    }
    test::TempDir dir_;
    test::RichProject rich_;
    std::string file_;
    std::vector<unsigned char> bytes_;
};

TEST_F(ZvpRich, ReadsBackEveryField) {
    const LoadResult loaded = read_zvp_project(file_);
    ASSERT_TRUE(loaded);
    EXPECT_FALSE(loaded.version_differs);
    EXPECT_FALSE(loaded.newer_version);
    EXPECT_TRUE(loaded.message.empty());
    const Project& p = *loaded.project;
    EXPECT_EQ(p.path_and_file_name, file_);
    EXPECT_EQ(p.zoom, 250u);
    EXPECT_FALSE(p.use_export_dll_in_exporters_folder);
    EXPECT_EQ(p.default_entity_trigger_height, 40u);
    EXPECT_EQ(p.next_tile_set_id, rich_.project.next_tile_set_id);
    EXPECT_EQ(p.next_path_point_id, rich_.project.next_path_point_id);
    EXPECT_EQ(p.last_used_exporter_dll_file_name, "Scrivo.so");
    EXPECT_EQ(p.descriptions_for(ObjectKind::TileSet)[0].desc, "Friction");
    EXPECT_TRUE(p.descriptions_for(ObjectKind::TileSet)[0].use_bits);
    EXPECT_EQ(p.descriptions_for(ObjectKind::PathPoint)[99].desc, "Last one");
    EXPECT_TRUE(p.descriptions_for(ObjectKind::InstanceEntity)[3].show_in_view);
    EXPECT_TRUE(p.descriptions_for(ObjectKind::InstanceEntity)[4].show_desc_in_view);

    ASSERT_EQ(p.tile_sets.size(), 1u);
    const TileSet& t = *p.tile_sets.front();
    EXPECT_EQ(t.name, "Ground tiles");
    EXPECT_EQ(t.first_tile_offset_pixel_x, -2);
    EXPECT_EQ(t.space_between_tiles_pixel_y, 2u);
    EXPECT_TRUE(t.is_locked);
    EXPECT_EQ(t.transparent_colour, 0x00FF00FFu);
    EXPECT_EQ(t.custom_variables[99], "last");
    ASSERT_EQ(t.mosaics.size(), 2u);
    EXPECT_EQ(t.mosaics[1]->gw, 4u);
    EXPECT_EQ(t.mosaics[1]->grid, rich_.tile_set->mosaics[1]->grid);
    EXPECT_EQ(t.selected_mosaic_id, 1u);

    ASSERT_EQ(p.parent_entities.size(), 2u);
    const ParentEntity& hero = *p.parent_entities[0];
    EXPECT_TRUE(hero.trigger_is_a_circle);
    EXPECT_EQ(hero.preview_anima_frame, 5);
    EXPECT_EQ(hero.custom_variables[7], "speed");

    ASSERT_EQ(p.maps.size(), 2u);
    const Map& map = *p.maps[0];
    EXPECT_EQ(map.name, "Level 1");
    EXPECT_FALSE(map.export_this_map);
    EXPECT_TRUE(map.place_tile_horizontal_flip);
    EXPECT_FALSE(map.place_tile_vertical_flip);
    EXPECT_EQ(map.place_tile_attribute, 200);
    EXPECT_EQ(map.camera_grid_position_x, -5);
    EXPECT_EQ(map.pixel_size_of_tiles_in_tiles_dialog, 64);
    ASSERT_EQ(map.layers.size(), 2u);
    const Layer& ground = *map.layers[0];
    EXPECT_EQ(ground.grid, rich_.ground->grid);
    EXPECT_EQ(ground.scroll_speed_y, -0.25f);
    EXPECT_EQ(ground.opacity, 128);
    EXPECT_TRUE(ground.wrap_x);
    EXPECT_TRUE(ground.is_main_layer);
    EXPECT_EQ(ground.custom_variables[2].byte(0), 0);
    EXPECT_EQ(ground.custom_variables[2].byte(1), 0xA5);
    ASSERT_EQ(ground.instance_entity_count(), 2u);
    const InstanceEntity& first = *ground.instance_entities[0];
    EXPECT_EQ(first.map_id, map.unique_id);
    EXPECT_EQ(first.layer_id, ground.unique_id);
    EXPECT_EQ(first.px, 12.5f);
    EXPECT_TRUE(first.fh && first.ro && !first.fv);
    EXPECT_EQ(first.tcr, 5u);
    EXPECT_EQ(first.custom_variables[0], -32768);
    EXPECT_EQ(first.custom_variables[99], 32767);
    ASSERT_EQ(ground.path_point_count(), 4u);
    EXPECT_EQ(ground.path_count(), 2u);
    EXPECT_TRUE(ground.path_points[0]->is_closed());
    EXPECT_TRUE(ground.path_points[1]->ucp());
    EXPECT_EQ(ground.path_points[3]->cy2, 8.0f);
    EXPECT_FALSE(map.layers[1]->is_visible);

    EXPECT_EQ(p.selected_tile_set(), p.tile_sets.front().get());
    EXPECT_EQ(p.selected_parent_entity(), p.parent_entities[1].get());
    EXPECT_EQ(p.selected_map(), p.maps.front().get());
    EXPECT_EQ(p.selected_layer(), map.layers[1].get());
}

TEST_F(ZvpRich, WritingWhatWasReadGivesTheSameBytes) {
    LoadResult loaded = read_zvp_project(file_);
    ASSERT_TRUE(loaded);
    ASSERT_TRUE(write_zvp_project(file_, *loaded.project));
    const auto again = read_bytes(file_);
    ASSERT_EQ(again.size(), bytes_.size());
    for (std::size_t i = 0; i < again.size(); ++i) ASSERT_EQ(again[i], bytes_[i]) << "offset " << i;
}

TEST_F(ZvpRich, PathsArePreferredInTheirRelativeFormWhenThatExists) {
    // The project folder moved: the relative forms still find the folders; an empty folder value becomes
    // the project's own folder, an empty or missing file stays as stored.
    test::TempDir moved;
    std::filesystem::create_directories(moved.path() / "img");
    Project& p = rich_.project;
    p.last_used_image_tile_set_path = (dir_.path() / "img").string() + "/";
    p.last_used_image_parent_entity_path = "";
    p.last_used_export_output_path_and_file_name = (dir_.path() / "out" / "level.bin").string();
    ASSERT_TRUE(write_zvp_project(file_, p));
    const std::string moved_file = moved.file("rich.zvp");
    std::filesystem::copy_file(file_, moved_file);
    const LoadResult loaded = read_zvp_project(moved_file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.project->last_used_image_tile_set_path, moved.path().string() + "/img/");
    EXPECT_EQ(loaded.project->last_used_image_parent_entity_path, moved.path().string() + "/");
    EXPECT_EQ(loaded.project->last_used_export_output_path_and_file_name,
              p.last_used_export_output_path_and_file_name);
}

TEST_F(ZvpRich, AFileEndingInsideARecordOrAGridFails) {
    // Every cut inside the header, the records and the grids is caught; sampled to keep the test quick.
    for (std::size_t size = 0; size < bytes_.size();
         size += (size < 64 || size + 600 > bytes_.size()) ? 1 : 97) {
        const std::vector<unsigned char> cut(bytes_.begin(),
                                             bytes_.begin() + static_cast<std::ptrdiff_t>(size));
        ASSERT_FALSE(read_memory(cut)) << "cut at " << size << " of " << bytes_.size();
    }
    EXPECT_TRUE(read_memory(bytes_));
}

TEST_F(ZvpRich, AMismatchedTagSkipsTheRecordWithoutConsumingBytes) {
    // The header promises more tile sets and parent entities than the file holds: the missing ones meet
    // the next kind's tag, are skipped, and the rest of the file reads as usual.
    put_u32(bytes_, HeaderRecord::tile_set_count.offset, 3);
    put_u32(bytes_, HeaderRecord::parent_entity_count.offset, 0xFFFFFFFFu);
    // The tile set promises a third mosaic.
    put_u32(bytes_, HeaderRecord::kSize + 4 + TileSetRecord::mosaic_count.offset, 3);
    const LoadResult loaded = read_memory(bytes_);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.project->tile_sets.size(), 1u);
    EXPECT_EQ(loaded.project->tile_sets.front()->mosaics.size(), 2u);
    EXPECT_EQ(loaded.project->parent_entities.size(), 2u);
    EXPECT_EQ(loaded.project->maps.size(), 2u);
    EXPECT_EQ(loaded.project->maps.front()->layers.front()->path_point_count(), 4u);
}

TEST_F(ZvpRich, VersionFlags) {
    put_u32(bytes_, HeaderRecord::version.offset, 119);
    LoadResult newer = read_memory(bytes_);
    EXPECT_FALSE(newer);
    EXPECT_TRUE(newer.version_differs);
    EXPECT_TRUE(newer.newer_version);
    EXPECT_TRUE(newer.message.empty());

    put_u32(bytes_, HeaderRecord::version.offset, 0xFFFFFFFFu);
    LoadResult unknown = read_memory(bytes_);
    ASSERT_TRUE(unknown);
    EXPECT_TRUE(unknown.version_differs);
    EXPECT_FALSE(unknown.newer_version);
}

TEST_F(ZvpRich, LongerRecordsAreReadToTheCurrentSizeAndTheRestSkipped) {
    // Grow the first tile set record by 12 bytes of unknown fields.
    const std::size_t at = HeaderRecord::kSize + 4;
    put_u32(bytes_, at, TileSetRecord::kSize + 12);
    bytes_.insert(bytes_.begin() + static_cast<std::ptrdiff_t>(at + TileSetRecord::kSize), 12, 0xEE);
    const LoadResult loaded = read_memory(bytes_);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded.version_differs);
    EXPECT_EQ(loaded.project->tile_sets.front()->name, "Ground tiles");
    EXPECT_EQ(loaded.project->tile_sets.front()->mosaics.size(), 2u);
}

TEST_F(ZvpRich, BadRecordLengthsAndGridSizesFail) {
    const std::size_t tile_set = HeaderRecord::kSize + 4;
    for (const std::uint32_t length : {0u, 3u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        std::vector<unsigned char> bad = bytes_;
        put_u32(bad, tile_set, length);
        EXPECT_FALSE(read_memory(bad)) << length;
    }
    for (const std::uint32_t length : {0u, 7u, 0xFFFFFFF0u}) {
        std::vector<unsigned char> bad = bytes_;
        put_u32(bad, HeaderRecord::length.offset, length);
        EXPECT_FALSE(read_memory(bad)) << length;
    }
    // A mosaic grid the rest of the file cannot hold, including sizes whose product overflows 32 bits.
    const std::size_t mosaic = tile_set + TileSetRecord::kSize + 4;
    ASSERT_EQ(u32_at(bytes_, mosaic - 4), kMosaicTag);
    for (const auto& [w, h] :
         {std::pair{0xFFFFFFFFu, 0xFFFFFFFFu}, std::pair{1000000u, 1000u}, std::pair{0x10000u, 0x10000u}}) {
        std::vector<unsigned char> bad = bytes_;
        put_u32(bad, mosaic + MosaicRecord::gw.offset, w);
        put_u32(bad, mosaic + MosaicRecord::gh.offset, h);
        EXPECT_FALSE(read_memory(bad)) << w << " x " << h;
    }
}

TEST(ZvpReader, LayerGridLargerThanTheFileFailsBeforeAllocating) {
    Project project;
    Map* map = add_map(project, make_default_map(project), false, nullptr);
    add_layer(project, make_default_layer(project, ProjectDefaults{}, map->unique_id), false, nullptr);
    test::TempDir dir;
    const std::string file = dir.file("layer.zvp");
    ASSERT_TRUE(write_zvp_project(file, project));
    auto bytes = read_bytes(file);
    const std::size_t layer = HeaderRecord::kSize + 4 + MapRecord::kSize + 4;
    ASSERT_EQ(u32_at(bytes, layer - 4), kLayerTag);
    // A side of 0 stores no cells, but the layer it makes is one cell wide: no larger than the file either.
    for (const auto& [w, h] : {std::pair{100000u, 100000u}, std::pair{0x80000000u, 1u}, std::pair{11u, 10u},
                               std::pair{0u, 945762660u}, std::pair{0x7FFFFFFFu, 0u}}) {
        std::vector<unsigned char> bad = bytes;
        put_u32(bad, layer + LayerRecord::grid_width.offset, w);
        put_u32(bad, layer + LayerRecord::grid_height.offset, h);
        EXPECT_FALSE(read_memory(bad)) << w << " x " << h;
    }
}

TEST(ZvpReader, GridsOfEverySizeReadBackCellForCell) {
    // One cell, a row, and a layer larger than the reader's block of cells; then the same file cut in the
    // middle of the large grid.
    Project project;
    Map* map = add_map(project, make_default_map(project), false, nullptr);
    std::uint32_t seed = 7;
    for (const auto& [w, h] : {std::pair{1, 1}, std::pair{513, 1}, std::pair{301, 257}}) {
        LayerProperties l = make_default_layer(project, ProjectDefaults{}, map->unique_id);
        l.grid_width = w;
        l.grid_height = h;
        Layer* layer = add_layer(project, l, false, nullptr);
        for (GridCell& cell : layer->grid) {
            seed = seed * 1103515245u + 12345u;
            cell = GridCell{seed >> 8, seed & kCellFlagsMask};
        }
    }
    test::TempDir dir;
    const std::string file = dir.file("grids.zvp");
    ASSERT_TRUE(write_zvp_project(file, project));
    const LoadResult loaded = read_zvp_project(file);
    ASSERT_TRUE(loaded);
    const Map& read = *loaded.project->maps.front();
    ASSERT_EQ(read.layers.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(read.layers[i]->grid_width, map->layers[i]->grid_width);
        EXPECT_EQ(read.layers[i]->grid_height, map->layers[i]->grid_height);
        EXPECT_EQ(read.layers[i]->grid, map->layers[i]->grid) << "layer " << i;
    }
    auto bytes = read_bytes(file);
    bytes.resize(bytes.size() - 100 * kCellSize);
    EXPECT_FALSE(read_memory(bytes));
}

TEST(ZvpReader, ASideOfZeroMakesALayerOfOneCellAcross) {
    Project project;
    Map* map = add_map(project, make_default_map(project), false, nullptr);
    add_layer(project, make_default_layer(project, ProjectDefaults{}, map->unique_id), false, nullptr);
    test::TempDir dir;
    const std::string file = dir.file("zero.zvp");
    ASSERT_TRUE(write_zvp_project(file, project));
    auto bytes = read_bytes(file);
    const std::size_t layer = HeaderRecord::kSize + 4 + MapRecord::kSize + 4;
    put_u32(bytes, layer + LayerRecord::grid_width.offset, 0);
    put_u32(bytes, layer + LayerRecord::grid_height.offset, 5);
    // No cells are read for the layer; the 800 bytes after the record are left over and ignored.
    const LoadResult loaded = read_memory(bytes);
    ASSERT_TRUE(loaded);
    const Layer& read = *loaded.project->maps.front()->layers.front();
    EXPECT_EQ(read.grid_width, 1);
    EXPECT_EQ(read.grid_height, 5);
    EXPECT_EQ(read.grid.size(), 5u);
}

TEST(ZvpReader, MissingFileAndEmptyInputFail) {
    EXPECT_FALSE(read_zvp_project("/no/such/file.zvp"));
    EXPECT_FALSE(read_zvp_project(""));
    EXPECT_FALSE(read_memory({}));
    EXPECT_FALSE(read_memory({118, 0, 0}));
    // Four bytes that would read as a newer version are simply not a project file.
    const LoadResult junk = read_memory({'j', 'u', 'n', 'k'});
    EXPECT_FALSE(junk);
    EXPECT_FALSE(junk.newer_version);
}

TEST(ZvpReader, ClampsAndSanitiseButZoomIsKept) {
    Project project;
    project.zoom = 0;
    project.default_entity_trigger_radius = 2;
    ParentEntityProperties e = make_default_parent_entity(project, ProjectDefaults{});
    e.pixel_width = 64;
    e.pixel_height = 32;
    e.single_frame_pixel_width = 16;
    e.single_frame_pixel_height = 16;
    e.preview_anima_frame = 9;  // 8 frames
    e.default_rectangle_trigger_width = 1;
    ParentEntity* parent = add_parent_entity(project, e, false, nullptr);
    MapProperties m = make_default_map(project);
    m.pixel_size_of_tiles_in_tiles_dialog = 200;
    Map* map = add_map(project, m, false, nullptr);
    Layer* layer =
        add_layer(project, make_default_layer(project, ProjectDefaults{}, map->unique_id), false, nullptr);
    InstanceEntity instance = make_instance_entity(*parent, map->unique_id, layer->unique_id, 0, 0);
    instance.tcr = 0;
    add_instance_entity(project, instance, false, nullptr);
    test::TempDir dir;
    const std::string file = dir.file("clamps.zvp");
    ASSERT_TRUE(write_zvp_project(file, project));

    const LoadResult loaded = read_zvp_project(file);
    ASSERT_TRUE(loaded);
    const Project& p = *loaded.project;
    EXPECT_EQ(p.zoom, 0u);
    EXPECT_EQ(p.default_entity_trigger_radius, 4u);
    EXPECT_EQ(p.parent_entities.front()->preview_anima_frame, 7);
    EXPECT_EQ(p.parent_entities.front()->default_rectangle_trigger_width, 4u);
    EXPECT_EQ(p.maps.front()->pixel_size_of_tiles_in_tiles_dialog, 128);
    EXPECT_EQ(p.maps.front()->layers.front()->instance_entities.front()->tcr, 4u);
}

TEST(ZvpReader, SelectionIsResolvedAtTheEnd) {
    Project project;
    Map* first = add_map(project, make_default_map(project), false, nullptr);
    Map* second = add_map(project, make_default_map(project), false, nullptr);
    Layer* layer =
        add_layer(project, make_default_layer(project, ProjectDefaults{}, second->unique_id), false, nullptr);
    project.select_map(second->unique_id);
    project.select_layer(layer->unique_id);
    test::TempDir dir;
    const std::string file = dir.file("selection.zvp");
    ASSERT_TRUE(write_zvp_project(file, project));
    auto bytes = read_bytes(file);

    LoadResult loaded = read_memory(bytes);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.project->selected_layer_id(), layer->unique_id);
    // The same layer id with the first map selected: the layer is looked for in that map only.
    put_u32(bytes, HeaderRecord::selected_map_id.offset, first->unique_id);
    loaded = read_memory(bytes);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.project->selected_map_id(), first->unique_id);
    EXPECT_EQ(loaded.project->selected_layer(), nullptr);
    // Ids that match nothing select nothing.
    put_u32(bytes, HeaderRecord::selected_map_id.offset, 999);
    put_u32(bytes, HeaderRecord::selected_tile_set_id.offset, 5);
    loaded = read_memory(bytes);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.project->selected_map(), nullptr);
    EXPECT_EQ(loaded.project->selected_tile_set(), nullptr);
}

TEST(ZvpReader, InstanceOfAMissingParentIsSkipped) {
    Project project;
    ParentEntity* parent =
        add_parent_entity(project, make_default_parent_entity(project, ProjectDefaults{}), false, nullptr);
    Map* map = add_map(project, make_default_map(project), false, nullptr);
    Layer* layer =
        add_layer(project, make_default_layer(project, ProjectDefaults{}, map->unique_id), false, nullptr);
    add_instance_entity(project, make_instance_entity(*parent, map->unique_id, layer->unique_id, 1, 1), false,
                        nullptr);
    add_instance_entity(project, make_instance_entity(*parent, map->unique_id, layer->unique_id, 2, 2), false,
                        nullptr);
    test::TempDir dir;
    const std::string file = dir.file("missing.zvp");
    ASSERT_TRUE(write_zvp_project(file, project));
    auto bytes = read_bytes(file);
    // The first instance now names a parent that does not exist.
    const std::size_t instance = bytes.size() - 2 * InstanceEntityRecord::kSize - 4;
    ASSERT_EQ(u32_at(bytes, instance - 4), kInstanceEntityTag);
    put_u32(bytes, instance + InstanceEntityRecord::pid.offset, 12345);
    const LoadResult loaded = read_memory(bytes);
    ASSERT_TRUE(loaded);
    const Layer& read = *loaded.project->maps.front()->layers.front();
    ASSERT_EQ(read.instance_entity_count(), 1u);
    EXPECT_EQ(read.instance_entities.front()->px, 2.0f);
    ASSERT_EQ(loaded.skipped_instances.size(), 1u);
    EXPECT_EQ(loaded.skipped_instances[0].pid, 12345u);
    EXPECT_EQ(loaded.skipped_instances[0].map_id, read.map_id);
    EXPECT_EQ(loaded.skipped_instances[0].layer_id, read.unique_id);
    EXPECT_NE(loaded.skipped_instances[0].uid, read.instance_entities.front()->uid);
}

// A version-114 file as the older editor wrote it: a header ending after the default trigger sizes, the
// 10-variable areas, records ending after their older custom variables, no frame size fields.
std::vector<unsigned char> build_version_114_file() {
    std::vector<unsigned char> bytes;
    HeaderImage h;
    using H = HeaderRecord;
    const std::size_t header_length = H::default_entity_trigger_height.end();
    h.set_u32<H::version>(114);
    h.set_u32<H::length>(static_cast<std::uint32_t>(header_length));
    h.set_u32<H::next_tile_set_id>(1);
    h.set_u32<H::next_parent_entity_id>(1);
    h.set_u32<H::next_map_id>(1);
    h.set_u32<H::next_layer_id>(1);
    h.set_u32<H::tile_set_count>(1);
    h.set_u32<H::parent_entity_count>(1);
    h.set_u32<H::map_count>(1);
    h.set_u32<H::selected_map_id>(0);
    h.set_u32<H::selected_layer_id>(0);
    h.set_u32<H::selected_tile_set_id>(0xFFFFFFFFu);
    h.set_u32<H::selected_parent_entity_id>(0xFFFFFFFFu);
    h.set_u32<H::zoom>(900);
    h.set_u32<H::default_entity_trigger_radius>(16);
    h.set_u32<H::default_entity_trigger_width>(16);
    h.set_u32<H::default_entity_trigger_height>(16);
    for (std::size_t kind = 0; kind < kDescriptionTableCount; ++kind) {
        for (std::size_t i = 0; i < kOlderVariableCount; ++i) {
            const std::string text = "Old" + std::to_string(kind) + "_" + std::to_string(i + 1);
            h.set_text_at(H::older_descriptions.offset + kind * kOlderTextVariablesSize + i * kTextFieldSize,
                          ShortText(text));
        }
        h.set_byte_at(H::older_use_bits.offset + kind * kOlderVariableCount + 9, 1);
    }
    append_record(bytes, h, header_length);

    TileSetImage t;
    const std::size_t tile_set_length = TileSetRecord::older_custom_variables.end();
    t.set_u32<TileSetRecord::length>(static_cast<std::uint32_t>(tile_set_length));
    t.set_u32<TileSetRecord::unique_id>(0);
    t.set_text<TileSetRecord::name>(NameText("Old tiles"));
    t.set_u32<TileSetRecord::selected_mosaic_id>(0xFFFFFFFFu);
    t.set_u32<TileSetRecord::left_most_mosaic_id_on_mosaics_dialog>(0xFFFFFFFFu);
    t.set_text_at(TileSetRecord::older_custom_variables.offset + 9 * kTextFieldSize, ShortText("tenth"));
    append_u32(bytes, kTileSetTag);
    bytes.insert(bytes.end(), t.data(), t.data() + tile_set_length);

    ParentEntityImage e;
    const std::size_t entity_length = ParentEntityRecord::older_custom_variables.end();
    e.set_u32<ParentEntityRecord::length>(static_cast<std::uint32_t>(entity_length));
    e.set_u32<ParentEntityRecord::unique_id>(0);
    e.set_u32<ParentEntityRecord::pixel_width>(48);
    e.set_u32<ParentEntityRecord::pixel_height>(24);
    append_u32(bytes, kParentEntityTag);
    bytes.insert(bytes.end(), e.data(), e.data() + entity_length);

    MapImage m;
    const std::size_t map_length = MapRecord::older_custom_variables.end();
    m.set_u32<MapRecord::length>(static_cast<std::uint32_t>(map_length));
    m.set_u32<MapRecord::unique_id>(0);
    m.set_text<MapRecord::name>(NameText("Old map"));
    m.set_u32<MapRecord::layer_count>(1);
    m.set_u32<MapRecord::selected_layer_id>(0);
    m.set_text_at(MapRecord::older_custom_variables.offset, ShortText("first"));
    append_u32(bytes, kMapTag);
    bytes.insert(bytes.end(), m.data(), m.data() + map_length);

    LayerImage l;
    const std::size_t layer_length = LayerRecord::path_point_count.end();
    l.set_u32<LayerRecord::length>(static_cast<std::uint32_t>(layer_length));
    l.set_u32<LayerRecord::unique_id>(0);
    l.set_u32<LayerRecord::map_id>(0);
    l.set_u32<LayerRecord::grid_width>(2);
    l.set_u32<LayerRecord::grid_height>(2);
    l.set_u32<LayerRecord::flags>(LayerRecord::kIsVisible);
    l.set_u32<LayerRecord::instance_entity_count>(1);
    l.set_u32<LayerRecord::path_point_count>(1);
    l.set_u8<LayerRecord::opacity>(255);
    append_u32(bytes, kLayerTag);
    bytes.insert(bytes.end(), l.data(), l.data() + layer_length);
    for (std::uint32_t cell = 0; cell < 4; ++cell) {
        append_u32(bytes, cell + 1);
        append_u32(bytes, 0);
    }

    InstanceEntityImage i;
    const std::size_t instance_length = InstanceEntityRecord::older_custom_variables.end();
    i.set_u32<InstanceEntityRecord::length>(static_cast<std::uint32_t>(instance_length));
    i.set_u32<InstanceEntityRecord::uid>(0);
    i.set_u32<InstanceEntityRecord::pid>(0);
    i.set_s16_at(InstanceEntityRecord::older_custom_variables.offset + 9 * 2, -7);
    append_u32(bytes, kInstanceEntityTag);
    bytes.insert(bytes.end(), i.data(), i.data() + instance_length);

    PathPointImage pt;
    const std::size_t point_length = PathPointRecord::older_custom_variables.end();
    pt.set_u32<PathPointRecord::length>(static_cast<std::uint32_t>(point_length));
    pt.set_u32<PathPointRecord::uid>(0);
    pt.set_u32<PathPointRecord::flags>(kPathPointStartsPath | kPathPointEndsPath | 0x100);
    pt.set_s16_at(PathPointRecord::older_custom_variables.offset, 321);
    append_u32(bytes, kPathPointTag);
    bytes.insert(bytes.end(), pt.data(), pt.data() + point_length);
    return bytes;
}

TEST(ZvpReader, Version114LoadsTheOlderAreasAndSavesBackAs118) {
    test::TempDir dir;
    const std::string old_file = dir.file("old.zvp");
    test::write_bytes(old_file, build_version_114_file());
    const LoadResult loaded = read_zvp_project(old_file);
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded.version_differs);
    EXPECT_FALSE(loaded.newer_version);
    const Project& p = *loaded.project;
    EXPECT_EQ(p.zoom, 900u);  // not clamped by this format
    for (int kind = 0; kind < kObjectKindCount; ++kind) {
        const DescriptionTable& table = p.descriptions[static_cast<std::size_t>(kind)];
        EXPECT_EQ(table[0].desc, "Old" + std::to_string(kind) + "_1");
        EXPECT_EQ(table[9].desc, "Old" + std::to_string(kind) + "_10");
        EXPECT_TRUE(table[9].use_bits);
        EXPECT_FALSE(table[8].use_bits);
        EXPECT_EQ(table[10].desc, "Variable11");
        EXPECT_EQ(table[99].desc, "Variable100");
    }
    ASSERT_EQ(p.tile_sets.size(), 1u);
    EXPECT_EQ(p.tile_sets.front()->name, "Old tiles");
    EXPECT_EQ(p.tile_sets.front()->custom_variables[9], "tenth");
    ASSERT_EQ(p.parent_entities.size(), 1u);
    EXPECT_EQ(p.parent_entities.front()->single_frame_pixel_width, 48);  // the whole image is the frame
    EXPECT_EQ(p.parent_entities.front()->single_frame_pixel_height, 24);
    EXPECT_EQ(p.parent_entities.front()->default_circle_trigger_radius, 4u);
    ASSERT_EQ(p.maps.size(), 1u);
    EXPECT_EQ(p.maps.front()->custom_variables[0], "first");
    const Layer& layer = *p.maps.front()->layers.front();
    EXPECT_EQ(layer.grid[3].tile, 4u);
    ASSERT_EQ(layer.instance_entity_count(), 1u);
    EXPECT_EQ(layer.instance_entities.front()->tcr, 16u);  // preset: the short record holds no trigger sizes
    EXPECT_EQ(layer.instance_entities.front()->trh, 16u);
    EXPECT_EQ(layer.instance_entities.front()->custom_variables[9], -7);
    ASSERT_EQ(layer.path_point_count(), 1u);
    EXPECT_EQ(layer.path_points.front()->flags, kPathPointStartsPath | kPathPointEndsPath);
    EXPECT_EQ(layer.path_points.front()->custom_variables[0], 321);
    EXPECT_EQ(layer.path_count(), 1u);
    EXPECT_EQ(p.selected_layer(), &layer);

    const std::string new_file = dir.file("new.zvp");
    ASSERT_TRUE(write_zvp_project(new_file, *loaded.project));
    const auto bytes = read_bytes(new_file);
    EXPECT_EQ(u32_at(bytes, HeaderRecord::version.offset), 118u);
    EXPECT_EQ(u32_at(bytes, HeaderRecord::length.offset), 37980u);
    for (std::size_t i = HeaderRecord::older_descriptions.offset; i < HeaderRecord::older_use_bits.end(); ++i)
        ASSERT_EQ(bytes[i], 0) << "offset " << i;
    const auto text_at = [&](std::size_t offset) {
        return std::string(reinterpret_cast<const char*>(&bytes[offset]));
    };
    const auto desc_at = [&](std::size_t kind, std::size_t i) {
        return text_at(HeaderRecord::descriptions.offset + kind * kTextVariablesSize + i * kTextFieldSize);
    };
    EXPECT_EQ(desc_at(2, 0), "Old2_1");
    EXPECT_EQ(desc_at(2, 10), "Variable11");
    EXPECT_EQ(desc_at(5, 99), "Variable100");
    EXPECT_EQ(bytes[HeaderRecord::use_bits.offset + 4 * kVariableCount + 9], 1);
    const std::size_t tile_set = HeaderRecord::kSize + 4;
    EXPECT_EQ(text_at(tile_set + TileSetRecord::custom_variables.offset + 9 * kTextFieldSize), "tenth");
    EXPECT_EQ(text_at(tile_set + TileSetRecord::older_custom_variables.offset + 9 * kTextFieldSize), "");

    const LoadResult again = read_zvp_project(new_file);
    ASSERT_TRUE(again);
    EXPECT_FALSE(again.version_differs);
}

TEST(ZvpReader, FilesBeforeVersion110HaveNoTags) {
    // Drop the tags of the 114 file and call it version 109.
    std::vector<unsigned char> tagged = build_version_114_file();
    std::vector<unsigned char> bytes;
    const std::size_t header_length = u32_at(tagged, HeaderRecord::length.offset);
    bytes.insert(bytes.end(), tagged.begin(), tagged.begin() + static_cast<std::ptrdiff_t>(header_length));
    put_u32(bytes, HeaderRecord::version.offset, 109);
    std::size_t at = header_length;
    while (at < tagged.size()) {
        at += 4;  // the tag
        const std::uint32_t length = u32_at(tagged, at);
        bytes.insert(bytes.end(), tagged.begin() + static_cast<std::ptrdiff_t>(at),
                     tagged.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        if (u32_at(tagged, at - length - 4) == kLayerTag) {
            bytes.insert(bytes.end(), tagged.begin() + static_cast<std::ptrdiff_t>(at),
                         tagged.begin() + static_cast<std::ptrdiff_t>(at + 4 * kCellSize));
            at += 4 * kCellSize;
        }
    }
    const LoadResult loaded = read_memory(bytes);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.project->tile_sets.size(), 1u);
    EXPECT_EQ(loaded.project->maps.front()->layers.front()->grid[2].tile, 3u);
    EXPECT_EQ(loaded.project->maps.front()->layers.front()->path_point_count(), 1u);

    // Without tags nothing tells records apart: counts the rest of the file cannot hold fail the read.
    for (const std::size_t count_field : {HeaderRecord::tile_set_count.offset, HeaderRecord::map_count.offset,
                                          HeaderRecord::parent_entity_count.offset}) {
        std::vector<unsigned char> bad = bytes;
        put_u32(bad, count_field, 0xFFFFFFFFu);
        EXPECT_FALSE(read_memory(bad)) << "count at " << count_field;
    }
}

}  // namespace
}  // namespace zorva
