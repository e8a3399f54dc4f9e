#include "model/project.h"

#include <gtest/gtest.h>

#include "support/scripted_platform.h"

namespace zorva {
namespace {

TEST(NewProject, HasTheDocumentedDefaults) {
    Project project;
    EXPECT_EQ(project.path_and_file_name, "Noname");
    EXPECT_FALSE(project.modified);
    EXPECT_EQ(project.version, 118u);
    for (int kind = 0; kind < kObjectKindCount; ++kind) {
        EXPECT_EQ(project.next_id(static_cast<ObjectKind>(kind)), 0u);
        EXPECT_FALSE(project.did_id_overflow(static_cast<ObjectKind>(kind)));
    }
    EXPECT_EQ(project.zoom, 100u);
    EXPECT_TRUE(project.use_export_dll_in_exporters_folder);
    EXPECT_EQ(project.default_entity_trigger_radius, 16u);
    EXPECT_TRUE(project.last_used_exporter_dll_file_name.empty());
    EXPECT_EQ(project.selected_tile_set(), nullptr);
    EXPECT_EQ(project.selected_layer_id(), kInvalidId);

    project.next_id(ObjectKind::InstanceEntity) = 12;
    EXPECT_EQ(project.next_instance_entity_id, 12u);
    project.did_id_overflow(ObjectKind::PathPoint) = true;
    EXPECT_TRUE(project.did_path_point_id_overflow);
}

TEST(NewProject, TitleShowsPathAndModifiedMark) {
    Project project;
    EXPECT_EQ(project_title(project), "Zorva: Noname");
    project.path_and_file_name = "/home/me/level.xml";
    project.modified = true;
    EXPECT_EQ(project_title(project), "Zorva: /home/me/level.xml *");
}

TEST(LoadedValues, ClampsOfTheReaders) {
    EXPECT_EQ(clamp_zoom(0), 1u);
    EXPECT_EQ(clamp_zoom(900), 800u);
    EXPECT_EQ(clamp_zoom(250), 250u);
    EXPECT_EQ(clamp_trigger_size(2), 4u);
    EXPECT_EQ(clamp_trigger_size(0), 4u);
    EXPECT_EQ(clamp_trigger_size(17), 17u);
}

TEST(Selection, TheSelectedLayerAlwaysBelongsToTheSelectedMap) {
    Project project;
    Map* a = add_map(project, MapProperties{}, false, nullptr);
    Map* b = add_map(project, MapProperties{}, false, nullptr);
    LayerProperties tmpl;
    tmpl.map_id = a->unique_id;
    Layer* in_a = add_layer(project, tmpl, false, nullptr);
    tmpl.map_id = b->unique_id;
    Layer* in_b = add_layer(project, tmpl, false, nullptr);

    project.select_map(a->unique_id);
    EXPECT_EQ(project.select_layer(in_b->unique_id), nullptr);  // not a layer of map a
    EXPECT_EQ(project.selected_layer(), nullptr);
    EXPECT_EQ(project.select_layer(in_a->unique_id), in_a);
    EXPECT_EQ(a->selected_layer_id, in_a->unique_id);

    project.select_map(b->unique_id);  // map b remembers no layer yet
    EXPECT_EQ(project.selected_layer(), nullptr);
    project.select_layer(in_b->unique_id);
    project.select_map(a->unique_id);  // back to a: its remembered layer
    EXPECT_EQ(project.selected_layer(), in_a);

    EXPECT_EQ(project.select_map(77), nullptr);
    EXPECT_EQ(project.selected_map(), nullptr);
    EXPECT_EQ(project.selected_layer(), nullptr);
}

TEST(Selection, ReadersResolveStoredIdsAndUnknownIdsSelectNothing) {
    Project project;
    TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
    Map* map = add_map(project, MapProperties{}, false, nullptr);
    LayerProperties tmpl;
    tmpl.map_id = map->unique_id;
    Layer* layer = add_layer(project, tmpl, false, nullptr);
    map->selected_layer_id = 55;

    project.resolve_selection(tile_set->unique_id, map->unique_id, layer->unique_id, 9);
    EXPECT_EQ(project.selected_tile_set(), tile_set);
    EXPECT_EQ(project.selected_map(), map);
    EXPECT_EQ(project.selected_layer(), layer);
    EXPECT_EQ(project.selected_parent_entity(), nullptr);
    EXPECT_EQ(map->selected_layer_id, 55u);  // the map's own field is left as stored

    project.resolve_selection(3, kInvalidId, layer->unique_id, kInvalidId);
    EXPECT_EQ(project.selected_tile_set(), nullptr);
    EXPECT_EQ(project.selected_layer(), nullptr);  // no map, no layer
}

TEST(Selection, RemovingTheSelectedMapSelectsTheFirst) {
    Project project;
    Map* a = add_map(project, MapProperties{}, false, nullptr);
    Map* b = add_map(project, MapProperties{}, false, nullptr);
    LayerProperties tmpl;
    tmpl.map_id = a->unique_id;
    Layer* layer = add_layer(project, tmpl, false, nullptr);
    a->selected_layer_id = layer->unique_id;
    project.select_map(b->unique_id);

    Detached<Map> removed = remove_map(project, b, false);
    EXPECT_EQ(project.selected_map(), a);
    EXPECT_EQ(project.selected_layer(), layer);
    insert_map(project, std::move(removed.object), removed.index);
    EXPECT_EQ(map_at(project, 1), b);
}

TEST(OutOfMemory, MessageGoesThroughThePlatformAsAStopWarning) {
    test::ScriptedPlatform platform;
    report_out_of_memory(&platform, "Not enough memory to add a new Map.");
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Not enough memory to add a new Map.");
    EXPECT_EQ(platform.shown[0].caption, "Warning");
    EXPECT_EQ(platform.shown[0].icon, MessageIcon::Stop);
    report_out_of_memory(nullptr, "quiet");  // no platform: no message, no crash
}

}  // namespace
}  // namespace zorva
