#include "projectfile/zvp_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "projectfile/zvp_format.h"
#include "projectfile/zvp_reader.h"
#include "support/temp_dir.h"
#include "zvp_test_support.h"

namespace zorva {
namespace {

using test::read_bytes;
using test::u32_at;
using namespace zvp;

TEST(ZvpWriter, EmptyProjectIsTheHeaderAlone) {
    test::TempDir dir;
    Project project;
    const std::string file = dir.file("empty.zvp");
    ASSERT_TRUE(write_zvp_project(file, project));
    const auto bytes = read_bytes(file);
    ASSERT_EQ(bytes.size(), 37980u);
    EXPECT_EQ(u32_at(bytes, HeaderRecord::version.offset), 118u);
    EXPECT_EQ(u32_at(bytes, HeaderRecord::length.offset), 37980u);
    EXPECT_EQ(u32_at(bytes, HeaderRecord::zoom.offset), 100u);
    EXPECT_EQ(u32_at(bytes, HeaderRecord::selected_map_id.offset), 0xFFFFFFFFu);
    EXPECT_EQ(u32_at(bytes, HeaderRecord::selected_layer_id.offset), 0xFFFFFFFFu);
    EXPECT_EQ(u32_at(bytes, HeaderRecord::flags.offset), HeaderRecord::kUseExportDllInExportersFolder);
    EXPECT_EQ(u32_at(bytes, HeaderRecord::default_entity_trigger_radius.offset), 16u);
    // The older 10-entry tables stay zero; the 100-entry tables hold every description.
    for (std::size_t i = HeaderRecord::older_descriptions.offset; i < HeaderRecord::older_use_bits.end(); ++i)
        ASSERT_EQ(bytes[i], 0) << "offset " << i;
    const auto text_at = [&](std::size_t offset) {
        return std::string(reinterpret_cast<const char*>(&bytes[offset]));
    };
    EXPECT_EQ(text_at(HeaderRecord::descriptions.offset), "Variable01");
    EXPECT_EQ(text_at(HeaderRecord::descriptions.offset + 5 * kTextVariablesSize + 99 * kTextFieldSize),
              "Variable100");
    EXPECT_EQ(text_at(HeaderRecord::written_path_and_file_name.offset), file);
    EXPECT_EQ(project.path_and_file_name, file);
}

TEST(ZvpWriter, OneTileSetAndOneTenByTenLayer) {
    test::TempDir dir;
    Project project;
    TileSet* tile_set =
        add_tile_set(project, make_default_tile_set(project, ProjectDefaults{}), false, nullptr);
    MapProperties m = make_default_map(project);
    m.use_tile_set_id = tile_set->unique_id;
    Map* map = add_map(project, m, false, nullptr);
    Layer* layer =
        add_layer(project, make_default_layer(project, ProjectDefaults{}, map->unique_id), false, nullptr);
    ASSERT_EQ(layer->grid.size(), 100u);
    *layer->cell(3, 2) = GridCell{7, make_cell_flags(true, false, true, 200)};

    const std::string file = dir.file("one.zvp");
    ASSERT_TRUE(write_zvp_project(file, project));
    const auto bytes = read_bytes(file);
    ASSERT_EQ(bytes.size(), 56932u);
    std::size_t at = HeaderRecord::kSize;
    EXPECT_EQ(u32_at(bytes, at), kTileSetTag);
    EXPECT_EQ(u32_at(bytes, at + 4), TileSetRecord::kSize);
    at += 4 + TileSetRecord::kSize;
    EXPECT_EQ(u32_at(bytes, at), kMapTag);
    EXPECT_EQ(u32_at(bytes, at + 4 + MapRecord::layer_count.offset), 1u);
    at += 4 + MapRecord::kSize;
    EXPECT_EQ(u32_at(bytes, at), kLayerTag);
    EXPECT_EQ(u32_at(bytes, at + 4 + LayerRecord::grid_width.offset), 10u);
    at += 4 + LayerRecord::kSize;
    const std::size_t cell = at + (2 * 10 + 3) * kCellSize;
    EXPECT_EQ(u32_at(bytes, cell), 7u);
    EXPECT_EQ(u32_at(bytes, cell + 4), 1605u);
    EXPECT_EQ(at + 100 * kCellSize, bytes.size());
}

TEST(ZvpWriter, OrphanedInstancesAreNotWrittenNorCounted) {
    test::TempDir dir;
    Project project;
    Map* map = add_map(project, make_default_map(project), false, nullptr);
    LayerProperties l = make_default_layer(project, ProjectDefaults{}, map->unique_id);
    l.grid_width = 1;
    l.grid_height = 1;
    Layer* layer = add_layer(project, l, false, nullptr);
    ParentEntity* kept =
        add_parent_entity(project, make_default_parent_entity(project, ProjectDefaults{}), false, nullptr);
    ParentEntity* doomed =
        add_parent_entity(project, make_default_parent_entity(project, ProjectDefaults{}), false, nullptr);
    add_instance_entity(project, make_instance_entity(*kept, map->unique_id, layer->unique_id, 1, 1), false,
                        nullptr);
    add_instance_entity(project, make_instance_entity(*doomed, map->unique_id, layer->unique_id, 2, 2), false,
                        nullptr);
    add_instance_entity(project, make_instance_entity(*kept, map->unique_id, layer->unique_id, 3, 3), false,
                        nullptr);
    remove_parent_entity(project, doomed, true);
    ASSERT_EQ(layer->instance_entity_count(), 3u);

    const std::string file = dir.file("orphan.zvp");
    ASSERT_TRUE(write_zvp_project(file, project));
    const auto bytes = read_bytes(file);
    const std::size_t layer_at =
        HeaderRecord::kSize + (4 + ParentEntityRecord::kSize) + (4 + MapRecord::kSize) + 4;
    ASSERT_EQ(u32_at(bytes, layer_at - 4), kLayerTag);
    EXPECT_EQ(u32_at(bytes, layer_at + LayerRecord::instance_entity_count.offset), 2u);
    EXPECT_EQ(bytes.size(),
              layer_at + LayerRecord::kSize + kCellSize + 2 * (4 + InstanceEntityRecord::kSize));
    // The orphan stays in memory.
    EXPECT_EQ(layer->instance_entity_count(), 3u);

    const LoadResult loaded = read_zvp_project(file);
    ASSERT_TRUE(loaded);
    const Layer& read_layer = *loaded.project->maps.front()->layers.front();
    ASSERT_EQ(read_layer.instance_entity_count(), 2u);
    EXPECT_EQ(read_layer.instance_entities[0]->px, 1.0f);
    EXPECT_EQ(read_layer.instance_entities[1]->px, 3.0f);
}

TEST(ZvpWriter, RelativeFormsAreMadeAgainstTheFileWrittenTo) {
    test::TempDir dir;
    Project project;
    TileSetProperties t = make_default_tile_set(project, ProjectDefaults{});
    t.image_path_and_file_name = (dir.path() / "img" / "tiles.png").string();
    add_tile_set(project, t, false, nullptr);
    project.last_used_image_tile_set_path = (dir.path() / "img").string();
    project.last_used_exporter_dll_file_name = "Scrivo.so";  // a bare name has no relative form

    const std::string file = dir.file("level.zvp");
    ASSERT_TRUE(write_zvp_project(file, project));
    const auto bytes = read_bytes(file);
    const auto text_at = [&](std::size_t offset) {
        return std::string(reinterpret_cast<const char*>(&bytes[offset]));
    };
    EXPECT_EQ(text_at(HeaderRecord::relative_image_tile_set_path.offset), "./img/");
    EXPECT_EQ(text_at(HeaderRecord::relative_exporter_dll_file_name.offset), "");
    EXPECT_EQ(text_at(HeaderRecord::last_used_exporter_dll_file_name.offset), "Scrivo.so");
    const std::size_t tile_set_at = HeaderRecord::kSize + 4;
    EXPECT_EQ(text_at(tile_set_at + TileSetRecord::relative_image_path_and_file_name.offset),
              "./img/tiles.png");
    EXPECT_EQ(text_at(tile_set_at + TileSetRecord::image_path_and_file_name.offset),
              t.image_path_and_file_name.str());
}

TEST(ZvpWriter, ReservedFieldsAreWrittenBackAsRead) {
    test::TempDir dir;
    Project project;
    project.reserved_flags = (1u << 7) | (1u << 8);
    MapProperties m = make_default_map(project);
    m.reserved_1 = 0xCAFEF00Du;
    m.reserved_2 = 42;
    add_map(project, m, false, nullptr);
    const std::string file = dir.file("reserved.zvp");
    ASSERT_TRUE(write_zvp_project(file, project));

    const LoadResult loaded = read_zvp_project(file);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.project->reserved_flags, (1u << 7) | (1u << 8));
    EXPECT_EQ(loaded.project->maps.front()->reserved_1, 0xCAFEF00Du);
    EXPECT_EQ(loaded.project->maps.front()->reserved_2, 42u);
    const std::string again = dir.file("again.zvp");
    ASSERT_TRUE(write_zvp_project(again, *loaded.project));
    const auto bytes = read_bytes(again);
    EXPECT_EQ(u32_at(bytes, HeaderRecord::flags.offset),
              HeaderRecord::kUseExportDllInExportersFolder | (1u << 7) | (1u << 8));
    EXPECT_EQ(u32_at(bytes, HeaderRecord::kSize + 4 + MapRecord::reserved_1.offset), 0xCAFEF00Du);
}

TEST(ZvpWriter, FailureLeavesThePreviousFileAndTheNameAlone) {
    test::TempDir dir;
    Project project;
    EXPECT_FALSE(write_zvp_project("", project));

    const std::string missing_folder = (dir.path() / "no" / "such" / "level.zvp").string();
    std::string error;
    EXPECT_FALSE(write_zvp_project(missing_folder, project, false, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(project.path_and_file_name, "Noname");

    // A successful save replaces the old file whole and leaves no temporary file behind.
    const std::string file = dir.file("level.zvp");
    test::write_bytes(file, {1, 2, 3});
    ASSERT_TRUE(write_zvp_project(file, project, true));
    EXPECT_EQ(read_bytes(file).size(), 37980u);
    EXPECT_EQ(project.path_and_file_name, "Noname");  // keep-name
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1);
}

}  // namespace
}  // namespace zorva
