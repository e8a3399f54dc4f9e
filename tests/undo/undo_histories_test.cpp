#include "undo/undo_histories.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "model/project.h"
#include "project_dump.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"
#include "support/test_bmp.h"

namespace zorva {
namespace {

using namespace undo_op;

// Records the check box caption too.
class RecordingPlatform : public test::ScriptedPlatform {
public:
    Answer message_with_check_box(std::string_view text, std::string_view caption,
                                  std::string_view check_box_text, MessageButtons buttons, MessageIcon icon,
                                  bool& checked) override {
        check_boxes.emplace_back(check_box_text);
        checked = tick_dont_ask_again;
        return message_box(text, caption, buttons, icon, Answer::Ok);
    }
    std::vector<std::string> check_boxes;
};

class UndoTest : public testing::Test {
protected:
    Map* new_map(const char* name = nullptr) {
        MapProperties tmpl = make_default_map(project);
        if (name) tmpl.name = name;
        return add_map(project, tmpl, false, nullptr);
    }
    Layer* new_layer(Map& map, std::int32_t width = 8, std::int32_t height = 6) {
        LayerProperties tmpl = make_default_layer(project, ProjectDefaults{}, map.unique_id);
        tmpl.grid_width = width;
        tmpl.grid_height = height;
        return add_layer(project, tmpl, false, nullptr);
    }
    // One stroke of the placement tool: snapshot, change, record.
    bool stroke(Layer& layer, std::int32_t x, std::int32_t y, std::uint32_t tile,
                UndoCode code = kPlaceTiles) {
        EXPECT_TRUE(layer.take_snapshot());
        layer.cell(x, y)->tile = tile;
        return histories.record_tile_edit(code, project, layer, *layer.snapshot());
    }

    Project project;
    RecordingPlatform platform;
    UndoHistories histories{50, &platform};
};

TEST_F(UndoTest, LimitIsClampedAndShared) {
    EXPECT_EQ(UndoHistories(1).main().limit(), 5);
    EXPECT_EQ(UndoHistories(1000).path_edit().limit(), 200);
    EXPECT_EQ(UndoHistories(50).main().limit(), 50);
}

TEST_F(UndoTest, WithTheLimitAtFiveASixthChangeDropsTheFirst) {
    UndoHistories small(5, &platform);
    Map* map = new_map();
    Layer* layer = new_layer(*map);
    for (std::uint32_t i = 0; i < 6; ++i) {
        layer->take_snapshot();
        layer->cell(static_cast<std::int32_t>(i), 0)->tile = i + 1;
        ASSERT_TRUE(small.record_tile_edit(kPlaceTiles, project, *layer, *layer->snapshot()));
    }
    EXPECT_EQ(small.main().undo_count(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(small.undo(&project), UndoResult::Done);
    EXPECT_EQ(small.undo(&project), UndoResult::Empty);
    EXPECT_EQ(small.undo_item().text, "Undo\tCtrl+Z");
    EXPECT_FALSE(small.undo_item().enabled);
    EXPECT_EQ(layer->cell(0, 0)->tile, 1u);  // the first change can no longer be undone
    for (std::int32_t x = 1; x < 6; ++x) EXPECT_EQ(layer->cell(x, 0)->tile, 0u);
    EXPECT_EQ(small.main().redo_count(), 5u);
}

TEST_F(UndoTest, MenuTextsFollowTheNewestRecords) {
    EXPECT_EQ(histories.undo_item().text, "Undo\tCtrl+Z");
    EXPECT_FALSE(histories.undo_item().enabled);
    EXPECT_EQ(histories.redo_item().text, "Redo\tCtrl+Y");
    EXPECT_FALSE(histories.redo_item().enabled);

    Map* map = new_map();
    ASSERT_TRUE(histories.record_add_map(project, *map));
    Layer* layer = new_layer(*map);
    stroke(*layer, 1, 1, 5);
    EXPECT_EQ(histories.undo_text(), "&Undo : Place tiles\tCtrl+Z");
    EXPECT_TRUE(histories.undo_item().enabled);
    EXPECT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(histories.undo_text(), "&Undo : Add map\tCtrl+Z");
    EXPECT_EQ(histories.redo_text(), "&Redo : Place tiles\tCtrl+Y");
    EXPECT_TRUE(histories.redo_item().enabled);
    EXPECT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(histories.redo_text(), "&Redo : Add map\tCtrl+Y");  // the stored code is now "Delete map"
    EXPECT_EQ(histories.main().newest_redo()->code(), kDeleteMap);
    EXPECT_EQ(histories.undo_text(), "Undo\tCtrl+Z");
}

TEST_F(UndoTest, RedoTextAfterUndoingMapProperties) {
    Map* map = new_map("Before");
    ASSERT_TRUE(histories.record_map_properties(project, *map));
    MapProperties edited = map->properties();
    edited.name = "After";
    edited.export_this_map = false;
    edit_map(*map, edited);

    EXPECT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(map->name, "Before");
    EXPECT_TRUE(map->export_this_map);
    EXPECT_EQ(histories.redo_item().text, "&Redo : Map properties\tCtrl+Y");
    EXPECT_TRUE(histories.redo_item().enabled);
    EXPECT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_EQ(map->name, "After");
    EXPECT_FALSE(map->export_this_map);
    EXPECT_EQ(histories.undo_text(), "&Undo : Map properties\tCtrl+Z");
}

// The dialogs' OK and the undo records apply properties by one rule: what the dialog cannot change (the
// layer selected in the map, the mosaic counter) stays, and a tile set image that failed to load is tried
// again.
TEST_F(UndoTest, DialogAndUndoApplyPropertiesByOneRule) {
    Map* map = new_map();
    Layer* first = new_layer(*map);
    Layer* second = new_layer(*map);
    map->selected_layer_id = first->unique_id;
    MapProperties dialog_copy = map->properties();
    ASSERT_TRUE(histories.record_map_properties(project, *map));
    map->selected_layer_id = second->unique_id;  // chosen in the Layers window while the dialog was open
    dialog_copy.name = "Renamed";
    edit_map(*map, dialog_copy);
    EXPECT_EQ(map->selected_layer_id, second->unique_id);
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(map->selected_layer_id, second->unique_id);

    test::TempDir dir;
    TileSetProperties tmpl;
    tmpl.image_path_and_file_name = dir.file("tiles.bmp");
    TileSet* tile_set = add_tile_set(project, tmpl, false, nullptr);
    ASSERT_TRUE(tile_set->image.empty());
    ASSERT_TRUE(histories.record_tile_set_properties(project, *tile_set));
    TileSetProperties renamed = tile_set->properties();
    renamed.name = "Renamed";
    edit_tile_set(*tile_set, renamed, nullptr);
    ASSERT_TRUE(add_mosaic(*tile_set, Mosaic{}, false, nullptr));
    test::write_bmp(dir.file("tiles.bmp"), 32, 0x00FF00);  // the missing file turns up
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(tile_set->name, "");
    EXPECT_FALSE(tile_set->image.empty());
    EXPECT_EQ(tile_set->next_mosaic_id, 1u);  // the mosaic made after the record keeps its id
}

TEST_F(UndoTest, MapPropertiesUndoKeepsTheTilePickerState) {
    Map* map = new_map();
    ASSERT_TRUE(histories.record_map_properties(project, *map));
    map->name = "Renamed";
    map->selected_tile_index = 9;  // chosen in the tiles window afterwards
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_NE(map->name, "Renamed");
    EXPECT_EQ(map->selected_tile_index, 9u);
}

TEST_F(UndoTest, UndoingATilePlacementRestoresTheWholeGrid) {
    Map* map = new_map();
    Layer* layer = new_layer(*map, 40, 30);
    for (std::size_t i = 0; i < layer->grid.size(); ++i)
        layer->grid[i] = {static_cast<std::uint32_t>(i % 13), 0};
    const std::vector<GridCell> original = layer->grid;

    // One stroke that changes many cells, among them ones nothing else touches later.
    layer->take_snapshot();
    for (std::int32_t x = 0; x < 40; ++x) layer->cell(x, 10)->tile = 99;
    layer->cell(39, 29)->flags = make_cell_flags(true, true, true, 200);
    ASSERT_TRUE(histories.record_tile_edit(kPlaceTiles, project, *layer, *layer->snapshot()));
    const std::vector<GridCell> edited = layer->grid;

    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(layer->grid, original);
    ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_EQ(layer->grid, edited);
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(layer->grid, original);
}

TEST_F(UndoTest, AllTileEditCodesShareTheGridSnapshot) {
    Map* map = new_map();
    Layer* layer = new_layer(*map);
    for (UndoCode code : {kPlaceTiles, kEraseTiles, kTileAttributes, kFlipTiles, kRotateTiles})
        ASSERT_TRUE(stroke(*layer, code % 8, 2, static_cast<std::uint32_t>(code), code));
    EXPECT_FALSE(histories.record_tile_edit(kMapProperties, project, *layer, *layer->snapshot()));
    EXPECT_EQ(histories.undo_text(), "&Undo : Rotate tiles\tCtrl+Z");
    for (int i = 0; i < 5; ++i) ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    for (const GridCell& cell : layer->grid) EXPECT_EQ(cell.tile, 0u);
}

TEST_F(UndoTest, UndoIsRefusedWhileTheViewIsBusy) {
    Map* map = new_map();
    Layer* layer = new_layer(*map);
    stroke(*layer, 0, 0, 3);
    ViewBusyState state;
    histories.set_busy_query([&] { return state; });

    const auto refused = [&](const char* what) {
        SCOPED_TRACE(what);
        EXPECT_EQ(histories.undo(&project), UndoResult::Refused);
        EXPECT_EQ(layer->cell(0, 0)->tile, 3u);
        EXPECT_EQ(histories.main().undo_count(), 1u);
    };
    state.floating_selection = true;
    refused("floating selection");
    state = {};
    state.dragging = true;
    refused("dragging");
    state = {};
    state.modal_dialog = true;
    refused("modal dialog");
    state = {};
    state.backup_running = true;
    refused("backup");
    state = {};
    state.path_operation_between_steps = true;
    refused("path operation");

    state = {};
    EXPECT_EQ(histories.undo(nullptr), UndoResult::Refused);  // no project open
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    state.floating_selection = true;
    EXPECT_EQ(histories.redo(&project), UndoResult::Refused);
    EXPECT_EQ(layer->cell(0, 0)->tile, 0u);
}

TEST_F(UndoTest, UndoingAddMapThenAnyChangeFreesTheMap) {
    Map* map = new_map();
    const ObjectId id = map->unique_id;
    ASSERT_TRUE(histories.record_add_map(project, *map));
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(find_map(project, id), nullptr);
    EXPECT_EQ(histories.main().kept_object_count(), 1u);
    EXPECT_GT(histories.memory_bytes(), sizeof(Map));

    TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
    ASSERT_TRUE(histories.record_add_tile_set(project, *tile_set));
    EXPECT_EQ(histories.main().redo_count(), 0u);
    EXPECT_EQ(histories.main().kept_object_count(), 0u);  // the map is gone for good (AddressSanitizer
    EXPECT_LT(histories.memory_bytes(), sizeof(Map));     // checks that it was freed)
}

TEST_F(UndoTest, AddRecordsDetachAndReinsertAtTheirPlace) {
    new_map("first");
    Map* map = new_map("second");
    new_map("third");
    Layer* kept_layer = new_layer(*map);
    Layer* layer = new_layer(*map);
    new_layer(*map);
    ParentEntity* entity = add_parent_entity(project, ParentEntityProperties{}, false, nullptr);
    TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
    ASSERT_TRUE(histories.record_add_layer(project, *layer));
    ASSERT_TRUE(histories.record_add_parent_entity(project, *entity));
    ASSERT_TRUE(histories.record_add_tile_set(project, *tile_set));
    const std::string full = test::dump(project);

    for (int i = 0; i < 3; ++i) ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(map->layers.size(), 2u);
    EXPECT_TRUE(project.parent_entities.empty());
    EXPECT_TRUE(project.tile_sets.empty());
    EXPECT_EQ(histories.main().kept_object_count(), 3u);
    EXPECT_EQ(map->layers[0].get(), kept_layer);

    for (int i = 0; i < 3; ++i) ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_EQ(test::dump(project), full);
    EXPECT_EQ(map->layers[1].get(), layer);  // the same object, back in the middle
    EXPECT_EQ(histories.main().kept_object_count(), 0u);
}

TEST_F(UndoTest, DeleteRecordsKeepTheObjectAndPutItBackWhereItWas) {
    new_map("a");
    Map* map = new_map("b");
    new_map("c");
    new_layer(*map);
    Layer* layer = new_layer(*map);
    new_layer(*map);
    project.select_map(map->unique_id);
    project.select_layer(layer->unique_id);
    const std::string before = test::dump(project, true);

    // Delete the selected layer: the first layer becomes selected; undo selects the deleted one again.
    ObjectId selected = project.selected_layer_id();
    Detached<Layer> detached = remove_layer(project, *map, layer, false);
    ASSERT_TRUE(histories.record_delete_layer(project, map->unique_id, std::move(detached), selected));
    EXPECT_EQ(histories.undo_text(), "&Undo : Delete layer\tCtrl+Z");
    EXPECT_EQ(project.selected_layer_id(), map->layers[0]->unique_id);
    EXPECT_EQ(histories.main().kept_object_count(), 1u);

    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(test::dump(project, true), before);
    EXPECT_EQ(map->layers[1].get(), layer);
    EXPECT_EQ(project.selected_layer(), layer);
    EXPECT_EQ(histories.redo_text(), "&Redo : Delete layer\tCtrl+Y");

    ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_EQ(map->layers.size(), 2u);
    EXPECT_EQ(project.selected_layer_id(), map->layers[0]->unique_id);

    // Deleting the selected map; undo re-inserts it in the middle.
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    selected = project.selected_map_id();
    ASSERT_TRUE(histories.record_delete_map(project, remove_map(project, map, false), selected));
    EXPECT_EQ(project.maps.size(), 2u);
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(project.maps[1].get(), map);
    EXPECT_EQ(project.selected_map(), map);
    ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_EQ(find_map(project, map->unique_id), nullptr);  // `map` now lives in the record
    histories.clear_main();                                 // and is freed here
    EXPECT_EQ(histories.memory_bytes(), 0u);
}

TEST_F(UndoTest, DeletedParentEntitiesAndTileSetsComeBack) {
    ParentEntity* entity = add_parent_entity(project, ParentEntityProperties{}, false, nullptr);
    add_parent_entity(project, ParentEntityProperties{}, false, nullptr);
    TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
    project.select_parent_entity(entity->unique_id);
    project.select_tile_set(tile_set->unique_id);
    const std::string before = test::dump(project, true);

    ObjectId selected = project.selected_parent_entity_id();
    ASSERT_TRUE(histories.record_delete_parent_entity(project, remove_parent_entity(project, entity, false),
                                                      selected));
    selected = project.selected_tile_set_id();
    ASSERT_TRUE(
        histories.record_delete_tile_set(project, remove_tile_set(project, tile_set, false), selected));
    EXPECT_EQ(histories.undo_text(), "&Undo : Delete tile set\tCtrl+Z");
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(histories.undo_text(), "&Undo : Delete entity\tCtrl+Z");
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(test::dump(project, true), before);
    EXPECT_EQ(project.parent_entities[0].get(), entity);
}

TEST_F(UndoTest, ADeleteWithoutARecordFreesTheObjectAtOnce) {
    Map* map = new_map();
    new_layer(*map, 100, 100);
    histories.set_allocation_probe([](HistoryKind) { throw std::bad_alloc(); });
    EXPECT_FALSE(histories.record_delete_map(project, remove_map(project, map, false), kInvalidId));
    EXPECT_TRUE(project.maps.empty());  // the change went ahead; AddressSanitizer sees the map freed
    EXPECT_EQ(histories.main().undo_count(), 0u);
}

TEST_F(UndoTest, LayerPropertiesRestorePropertiesAndGridAcrossAResize) {
    Map* map = new_map();
    Layer* layer = new_layer(*map, 300, 200);
    for (std::size_t i = 0; i < layer->grid.size(); ++i) layer->grid[i] = {static_cast<std::uint32_t>(i), 1};
    const LayerProperties old_properties = layer->properties();
    const std::vector<GridCell> old_grid = layer->grid;

    for (const auto& [w, h] :
         {std::pair{100, 50}, std::pair{400, 250}, std::pair{300, 200}, std::pair{50, 300}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        ASSERT_TRUE(histories.record_layer_properties(project, *layer));
        EXPECT_FALSE(histories.main().newest_undo()->is_settled());
        LayerProperties edited = layer->properties();
        edited.grid_width = w;
        edited.grid_height = h;
        edited.name = "Edited";
        edited.opacity = 7;
        ASSERT_TRUE(resize_layer(project, *layer, edited, nullptr));
        const std::vector<GridCell> new_grid = layer->grid;
        histories.settle(project);
        EXPECT_TRUE(histories.main().newest_undo()->is_settled());
        // Only the cells cut away by a shrink stay in the record.
        const std::size_t lost = 300u * 200u - static_cast<std::size_t>(std::min(w, 300) * std::min(h, 200));
        EXPECT_LE(histories.main().newest_undo()->memory_bytes(),
                  sizeof(LayerProperties) + 1024 + lost * sizeof(GridCell) * 2);

        ASSERT_EQ(histories.undo(&project), UndoResult::Done);
        EXPECT_EQ(layer->grid, old_grid);
        EXPECT_EQ(layer->name, old_properties.name);
        EXPECT_EQ(layer->opacity, old_properties.opacity);
        EXPECT_EQ(layer->grid_width, 300);
        EXPECT_EQ(histories.redo_text(), "&Redo : Layer properties\tCtrl+Y");
        ASSERT_EQ(histories.redo(&project), UndoResult::Done);
        EXPECT_EQ(layer->grid, new_grid);
        EXPECT_EQ(layer->grid_width, w);
        EXPECT_EQ(layer->opacity, 7);
        ASSERT_EQ(histories.undo(&project), UndoResult::Done);
        histories.clear_main();
    }
}

TEST_F(UndoTest, AnUnsettledLayerRecordStillUndoes) {
    Map* map = new_map();
    Layer* layer = new_layer(*map, 10, 10);
    layer->grid[5].tile = 5;
    const std::string before = test::dump(project);
    ASSERT_TRUE(histories.record_layer_properties(project, *layer));
    LayerProperties edited = layer->properties();
    edited.grid_width = 3;
    ASSERT_TRUE(resize_layer(project, *layer, edited, nullptr));
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);  // settles first
    EXPECT_EQ(test::dump(project), before);
}

TEST_F(UndoTest, ParentEntityAndTileSetProperties) {
    ParentEntity* entity = add_parent_entity(project, ParentEntityProperties{}, false, nullptr);
    TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
    const std::string before = test::dump(project);
    ASSERT_TRUE(histories.record_parent_entity_properties(project, *entity));
    ParentEntityProperties e = entity->properties();
    e.name = "Ghost";
    e.is_trigger = true;
    edit_parent_entity(*entity, e, nullptr);
    ASSERT_TRUE(histories.record_tile_set_properties(project, *tile_set));
    TileSetProperties t = tile_set->properties();
    t.name = "Ground";
    t.single_tile_pixel_width = 8;
    edit_tile_set(*tile_set, t, nullptr);
    const std::string after = test::dump(project);

    EXPECT_EQ(histories.undo_text(), "&Undo : Tile set properties\tCtrl+Z");
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(histories.undo_text(), "&Undo : Entity properties\tCtrl+Z");
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(test::dump(project), before);
    ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_EQ(test::dump(project), after);
}

TEST_F(UndoTest, TileSetPropertiesUndoKeepsTheMosaicCounter) {
    TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
    ASSERT_TRUE(histories.record_tile_set_properties(project, *tile_set));
    tile_set->name = "Edited";
    Mosaic mosaic;
    mosaic.tile_set_id = tile_set->unique_id;
    const Mosaic* made = add_mosaic(*tile_set, mosaic, false, nullptr);
    ASSERT_NE(made, nullptr);
    const ObjectId counter = tile_set->next_mosaic_id;
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_NE(tile_set->name, "Edited");
    // Turning the counter back would give the next mosaic the id of the one that still exists.
    EXPECT_EQ(tile_set->next_mosaic_id, counter);
}

TEST_F(UndoTest, VisibilityAndLocks) {
    Map* map = new_map();
    Layer* layer = new_layer(*map);
    TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
    ParentEntity* entity = add_parent_entity(project, ParentEntityProperties{}, false, nullptr);

    ASSERT_TRUE(histories.record_layer_visibility(project, *layer));
    layer->is_visible = false;
    ASSERT_TRUE(histories.record_lock(kLockMap, project, {map->unique_id, kInvalidId}));
    map->is_locked = true;
    ASSERT_TRUE(histories.record_lock(kLockLayer, project, {layer->unique_id, map->unique_id}));
    layer->is_locked = true;
    ASSERT_TRUE(histories.record_lock(kLockTileSet, project, {tile_set->unique_id, kInvalidId}));
    tile_set->is_locked = true;
    ASSERT_TRUE(histories.record_lock(kLockParentEntity, project, {entity->unique_id, kInvalidId}));
    entity->is_locked = true;
    EXPECT_FALSE(histories.record_lock(kPlaceTiles, project, {map->unique_id, kInvalidId}));

    EXPECT_EQ(histories.undo_text(), "&Undo : Lock entity\tCtrl+Z");
    for (int i = 0; i < 5; ++i) ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_FALSE(map->is_locked);
    EXPECT_FALSE(layer->is_locked);
    EXPECT_FALSE(tile_set->is_locked);
    EXPECT_FALSE(entity->is_locked);
    EXPECT_TRUE(layer->is_visible);
    EXPECT_EQ(histories.redo_text(), "&Redo : Layer visibility\tCtrl+Y");
    ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_FALSE(layer->is_visible);
    EXPECT_EQ(histories.redo_text(), "&Redo : Lock map\tCtrl+Y");
    for (int i = 0; i < 4; ++i) ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_TRUE(map->is_locked && layer->is_locked && tile_set->is_locked && entity->is_locked);

    // Undoing an unlock locks.
    ASSERT_TRUE(histories.record_lock(kUnlockMap, project, {map->unique_id, kInvalidId}));
    map->is_locked = false;
    EXPECT_EQ(histories.undo_text(), "&Undo : Unlock map\tCtrl+Z");
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_TRUE(map->is_locked);
}

TEST_F(UndoTest, InstanceEntityListSnapshots) {
    Map* map = new_map();
    Layer* layer = new_layer(*map);
    ParentEntity* parent = add_parent_entity(project, ParentEntityProperties{}, false, nullptr);
    const auto place = [&](float x) {
        ASSERT_TRUE(histories.record_instance_entities(kPlaceEntities, project, *layer));
        ASSERT_NE(add_instance_entity(project,
                                      make_instance_entity(*parent, map->unique_id, layer->unique_id, x, 1),
                                      false, nullptr),
                  nullptr);
    };
    place(1);
    place(2);
    const std::string two = test::dump(project);
    ASSERT_TRUE(histories.record_instance_entities(kFlipEntities, project, *layer));
    for (auto& entity : layer->instance_entities) entity->fh = true;
    ASSERT_TRUE(histories.record_instance_entities(kEraseEntities, project, *layer));
    remove_instance_entity(*layer, layer->instance_entities[0].get(), true);
    EXPECT_FALSE(histories.record_instance_entities(kEditPaths, project, *layer));

    EXPECT_EQ(histories.undo_text(), "&Undo : Erase entities\tCtrl+Z");
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(test::dump(project), two);
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_TRUE(layer->instance_entities.empty());
    for (int i = 0; i < 2; ++i) ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_EQ(test::dump(project), two);
}

TEST_F(UndoTest, PathEditsUseTheSecondHistoryWhileAPathIsOpen) {
    Map* map = new_map();
    Layer* layer = new_layer(*map);
    const auto point = [&](float x) {
        PathPoint tmpl;
        tmpl.map_id = map->unique_id;
        tmpl.layer_id = layer->unique_id;
        tmpl.px = x;
        return add_path_point(project, tmpl, false, nullptr);
    };
    stroke(*layer, 0, 0, 1);  // something in the main history

    // Drawing a path: each step goes to the path-edit history.
    histories.clear_path_edit();
    histories.set_path_edit_open(true);
    const std::vector<PathPoint> at_start = copy_path_points(*layer);
    EXPECT_EQ(histories.undo_text(), "Undo\tCtrl+Z");  // the menu shows the path-edit history
    for (float x : {1.0f, 2.0f, 3.0f}) {
        ASSERT_TRUE(histories.record_path_points(kEditPaths, project, *layer, HistoryKind::PathEdit));
        ASSERT_NE(point(x), nullptr);
    }
    EXPECT_EQ(histories.path_edit().undo_count(), 3u);
    EXPECT_EQ(histories.main().undo_count(), 1u);
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(layer->path_points.size(), 2u);
    EXPECT_EQ(layer->cell(0, 0)->tile, 1u);  // the main history was not touched
    EXPECT_EQ(histories.redo_text(), "&Redo : Edit paths\tCtrl+Y");
    ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_EQ(layer->path_points.size(), 3u);

    // The edit is accepted: one record in the main history.
    histories.set_path_edit_open(false);
    histories.clear_path_edit();
    ASSERT_TRUE(histories.record_path_points(kEditPaths, project, *layer, at_start));
    EXPECT_EQ(histories.undo_text(), "&Undo : Edit paths\tCtrl+Z");
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_TRUE(layer->path_points.empty());
    ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_EQ(layer->path_points.size(), 3u);
    EXPECT_EQ(layer->path_points[2]->px, 3.0f);
}

TEST_F(UndoTest, SelectionRecordsExchangeTheSelectedId) {
    Map* first = new_map();
    Map* second = new_map();
    Layer* a = new_layer(*first);
    Layer* b = new_layer(*first);
    project.select_map(first->unique_id);
    project.select_layer(a->unique_id);

    ASSERT_TRUE(histories.record_selection(kSelectLayer, project));
    project.select_layer(b->unique_id);
    ASSERT_TRUE(histories.record_selection(kSelectMap, project));
    project.select_map(second->unique_id);
    EXPECT_FALSE(histories.record_selection(kSelectInstanceEntity, project));  // nothing records it

    EXPECT_EQ(histories.undo_text(), "&Undo : Select map\tCtrl+Z");
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(project.selected_map(), first);
    EXPECT_EQ(project.selected_layer(), b);
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(project.selected_layer(), a);
    ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_EQ(project.selected_layer(), b);
    ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_EQ(project.selected_map(), second);
}

TEST_F(UndoTest, UndoSelectsTheLayerItActsOn) {
    Map* first = new_map();
    Map* second = new_map();
    Layer* layer = new_layer(*first);
    Layer* other = new_layer(*second);
    project.select_map(first->unique_id);
    project.select_layer(layer->unique_id);
    stroke(*layer, 1, 1, 1);
    project.select_map(second->unique_id);  // not recorded
    project.select_layer(other->unique_id);
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(project.selected_map(), first);
    EXPECT_EQ(project.selected_layer(), layer);
}

TEST_F(UndoTest, UndoingAnAddThatSelectedTheNewObjectKeepsAValidSelection) {
    Map* first = new_map();
    project.select_map(first->unique_id);
    Map* added = new_map();
    project.select_map(added->unique_id);  // the editor shows the new map before recording
    ASSERT_TRUE(histories.record_add_map(project, *added));
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(project.selected_map(), first);  // not "nothing"
    ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_EQ(project.selected_map(), added);  // the id selected when the undo ran
}

TEST_F(UndoTest, MovesInTheMapAndLayerLists) {
    Map* a = new_map("a");
    Map* b = new_map("b");
    Layer* l1 = new_layer(*a);
    Layer* l2 = new_layer(*a);
    ASSERT_TRUE(histories.record_move(kMoveMapUp, project, {b->unique_id, kInvalidId}));
    move_up(project.maps, b);
    ASSERT_TRUE(histories.record_move(kMoveLayerDown, project, {l1->unique_id, a->unique_id}));
    move_down(a->layers, l1);
    EXPECT_EQ(histories.undo_text(), "&Undo : Move layer\tCtrl+Z");
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(a->layers[0].get(), l1);
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);
    EXPECT_EQ(project.maps[0].get(), a);
    EXPECT_EQ(histories.redo_text(), "&Redo : Move map\tCtrl+Y");
    ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    ASSERT_EQ(histories.redo(&project), UndoResult::Done);
    EXPECT_EQ(project.maps[0].get(), b);
    EXPECT_EQ(a->layers[0].get(), l2);
}

TEST_F(UndoTest, OutOfMemoryWarnsOnceAndClearsBothHistories) {
    Map* map = new_map();
    Layer* layer = new_layer(*map);
    stroke(*layer, 0, 0, 1);
    histories.set_path_edit_open(true);
    ASSERT_TRUE(histories.record_path_points(kEditPaths, project, *layer, HistoryKind::PathEdit));
    histories.set_path_edit_open(false);
    ASSERT_EQ(histories.undo(&project), UndoResult::Done);  // something in the redo list too

    bool fail = true;
    histories.set_allocation_probe([&](HistoryKind) {
        if (fail) throw std::bad_alloc();
    });
    EXPECT_FALSE(stroke(*layer, 1, 0, 2));
    EXPECT_EQ(layer->cell(1, 0)->tile, 2u);  // the change itself went ahead
    EXPECT_EQ(histories.main().undo_count() + histories.main().redo_count(), 0u);
    EXPECT_EQ(histories.path_edit().undo_count(), 0u);
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].text, "Not enough memory to add an Undo.");
    EXPECT_EQ(platform.shown[0].caption, "Warning");
    EXPECT_EQ(platform.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(platform.shown[1].text, "All the Undos and Redos will be removed, because of low memory.");
    EXPECT_EQ(platform.shown[1].caption, "Undos");
    ASSERT_EQ(platform.check_boxes.size(), 1u);
    EXPECT_EQ(platform.check_boxes[0], "Do not warn me again");
    EXPECT_TRUE(histories.memory_warning_shown());

    // Later failures: no warning; the dialog until its box is ticked.
    platform.tick_dont_ask_again = true;
    EXPECT_FALSE(stroke(*layer, 2, 0, 3));
    ASSERT_EQ(platform.shown.size(), 3u);
    EXPECT_EQ(platform.shown[2].caption, "Undos");
    EXPECT_TRUE(histories.low_memory_dialog_suppressed());
    EXPECT_FALSE(stroke(*layer, 3, 0, 4));
    EXPECT_EQ(platform.shown.size(), 3u);

    fail = false;
    EXPECT_TRUE(stroke(*layer, 4, 0, 5));
    EXPECT_EQ(histories.main().undo_count(), 1u);
}

TEST_F(UndoTest, AnUndoWithoutMemoryLeavesTheProjectAndDropsTheHistories) {
    Map* map = new_map();
    Layer* layer = new_layer(*map);
    stroke(*layer, 0, 0, 1);
    stroke(*layer, 1, 0, 2);
    histories.set_allocation_probe([](HistoryKind) { throw std::bad_alloc(); });
    EXPECT_EQ(histories.undo(&project), UndoResult::Failed);
    EXPECT_EQ(layer->cell(1, 0)->tile, 2u);
    EXPECT_EQ(histories.main().undo_count(), 0u);
    ASSERT_EQ(platform.shown.size(), 1u);  // no "Not enough memory to add an Undo." for an undo
    EXPECT_EQ(platform.shown[0].caption, "Undos");
    EXPECT_FALSE(histories.memory_warning_shown());
    EXPECT_EQ(histories.undo_text(), "Undo\tCtrl+Z");
}

TEST_F(UndoTest, ARecordThatNoLongerFitsDropsTheHistoriesQuietly) {
    Map* map = new_map();
    Layer* layer = new_layer(*map);
    stroke(*layer, 0, 0, 1);
    remove_layer(project, *map, layer, true);  // gone without a record
    EXPECT_EQ(histories.undo(&project), UndoResult::Failed);
    EXPECT_EQ(histories.main().undo_count(), 0u);
    EXPECT_TRUE(platform.shown.empty());
}

TEST_F(UndoTest, MemoryAccountingFollowsRecordsAndDiscards) {
    Map* map = new_map();
    Layer* layer = new_layer(*map, 500, 500);
    UndoHistories small(5, &platform);
    std::size_t previous = 0;
    for (int i = 0; i < 5; ++i) {
        layer->take_snapshot();
        layer->cell(i, i)->tile = 1;
        ASSERT_TRUE(small.record_tile_edit(kPlaceTiles, project, *layer, *layer->snapshot()));
        EXPECT_GT(small.memory_bytes(), previous);
        previous = small.memory_bytes();
    }
    EXPECT_LT(previous, 5u * 1024u);  // a one-cell stroke costs a few dozen bytes, not the 2 MB grid
    layer->take_snapshot();
    for (std::int32_t x = 0; x < 500; ++x) layer->cell(x, 100)->tile = 7;
    ASSERT_TRUE(small.record_tile_edit(kPlaceTiles, project, *layer, *layer->snapshot()));
    EXPECT_GE(small.memory_bytes(), previous + 500 * sizeof(GridCell) - sizeof(GridCell) - 1024);
    EXPECT_EQ(small.main().undo_count(), 5u);  // the oldest was discarded
    ASSERT_EQ(small.undo(&project), UndoResult::Done);
    const std::size_t with_redo = small.memory_bytes();
    small.main().clear_redo();
    EXPECT_LT(small.memory_bytes(), with_redo);
    small.clear_all();
    EXPECT_EQ(small.memory_bytes(), 0u);
}

}  // namespace
}  // namespace zorva
