#include "model/ids.h"

#include <gtest/gtest.h>

#include "model/project.h"

namespace zorva {
namespace {

TEST(FreeIdSearch, BeforeOverflowTheCounterIsReturnedWithoutLooking) {
    bool overflow = false;
    EXPECT_EQ(find_free_id(7, overflow, {7, 8}), 7u);  // ids are not even consulted
    EXPECT_FALSE(overflow);
}

TEST(FreeIdSearch, AStartOfInvalidIdSetsOverflowAndStartsAtZero) {
    bool overflow = false;
    EXPECT_EQ(find_free_id(kInvalidId, overflow, {0, 1, 2, 4}), 3u);
    EXPECT_TRUE(overflow);
}

TEST(FreeIdSearch, AfterOverflowTakesTheFirstGapAtOrAboveTheStart) {
    bool overflow = true;
    EXPECT_EQ(find_free_id(2, overflow, {9, 2, 3, 0}), 4u);
    EXPECT_EQ(find_free_id(5, overflow, {0, 1, 2, 3, 4, 6, 7, 8, 9}), 5u);
    EXPECT_EQ(find_free_id(3, overflow, {0, 1, 2, 3, 4, 6, 7, 8, 9}), 5u);
}

TEST(FreeIdSearch, WrapsPastTheLastIdSkippingTheInvalidId) {
    bool overflow = true;
    EXPECT_EQ(find_free_id(0xFFFFFFFDu, overflow, {0xFFFFFFFDu, 0xFFFFFFFEu, 0}), 1u);
}

TEST(FreeIdSearch, GoesRoundToTheFreeIdsBelowTheStart) {
    // Every id from the start to the top is taken, and ids 0 to 2.
    bool overflow = true;
    std::vector<ObjectId> ids;
    for (ObjectId id = 0xFFFFFFF0u; id != kInvalidId; ++id) ids.push_back(id);
    for (ObjectId id = 0; id < 3; ++id) ids.push_back(id);
    EXPECT_EQ(find_free_id(0xFFFFFFF0u, overflow, ids), 3u);
}

TEST(IdCounter, AdvancesToIdPlusOneAndFlagsWrap) {
    ObjectId counter = 5;
    bool overflow = false;
    advance_id_counter(3, counter, overflow);  // below: unchanged
    EXPECT_EQ(counter, 5u);
    advance_id_counter(5, counter, overflow);
    EXPECT_EQ(counter, 6u);
    advance_id_counter(100, counter, overflow);
    EXPECT_EQ(counter, 101u);
    EXPECT_FALSE(overflow);
    advance_id_counter(0xFFFFFFFEu, counter, overflow);
    EXPECT_EQ(counter, kInvalidId);
    EXPECT_TRUE(overflow);
}

TEST(ProjectIds, FirstObjectsGetIdZeroAndCounterPlusOneNames) {
    Project project;
    const TileSetProperties tmpl = make_default_tile_set(project, ProjectDefaults{});
    EXPECT_EQ(tmpl.name, "TileSet01");
    TileSet* tile_set = add_tile_set(project, tmpl, false, nullptr);
    ASSERT_NE(tile_set, nullptr);
    EXPECT_EQ(tile_set->unique_id, 0u);
    EXPECT_EQ(project.next_tile_set_id, 1u);
    EXPECT_EQ(make_default_tile_set(project, ProjectDefaults{}).name, "TileSet02");
    EXPECT_EQ(make_default_map(project).name, "Map01");
    EXPECT_EQ(make_default_layer(project, ProjectDefaults{}, 0).name, "Layer01");
    EXPECT_EQ(make_default_parent_entity(project, ProjectDefaults{}).name, "Entity01");
}

TEST(ProjectIds, CounterAtLastIdOverflowsThenSearchesFromZero) {
    Project project;
    project.next_map_id = 0xFFFFFFFEu;
    Map* a = add_map(project, make_default_map(project), false, nullptr);
    EXPECT_EQ(a->unique_id, 0xFFFFFFFEu);
    EXPECT_EQ(project.next_map_id, kInvalidId);
    EXPECT_TRUE(project.did_map_id_overflow);

    MapProperties kept;
    kept.unique_id = 0;
    add_map(project, kept, true, nullptr);
    Map* b = add_map(project, make_default_map(project), false, nullptr);
    EXPECT_EQ(b->unique_id, 1u);  // the lowest free id at or above 0
    Map* c = add_map(project, make_default_map(project), false, nullptr);
    EXPECT_EQ(c->unique_id, 2u);
}

TEST(ProjectIds, LoadedInvalidCounterSetsOverflowAtTheNextAdd) {
    Project project;
    project.next_parent_entity_id = kInvalidId;  // as a file may store it
    EXPECT_FALSE(project.did_parent_entity_id_overflow);
    ParentEntity* entity = add_parent_entity(project, ParentEntityProperties{}, false, nullptr);
    EXPECT_EQ(entity->unique_id, 0u);
    EXPECT_TRUE(project.did_parent_entity_id_overflow);
}

TEST(ProjectIds, AfterOverflowADeletedIdIsReused) {
    Project project;
    for (ObjectId id = 0; id < 10; ++id) {
        TileSetProperties tmpl;
        tmpl.unique_id = id;
        add_tile_set(project, tmpl, true, nullptr);
    }
    EXPECT_EQ(project.next_tile_set_id, 10u);
    project.did_tile_set_id_overflow = true;
    project.next_tile_set_id = 3;
    remove_tile_set(project, find_tile_set(project, 5), true);
    TileSet* reused = add_tile_set(project, TileSetProperties{}, false, nullptr);
    EXPECT_EQ(reused->unique_id, 5u);
    EXPECT_EQ(project.next_tile_set_id, 6u);
    EXPECT_EQ(add_tile_set(project, TileSetProperties{}, false, nullptr)->unique_id, 10u);
}

TEST(ProjectIds, KeepIdAddsMoveTheCounterPastTheHighestId) {
    Project project;
    TileSetProperties tmpl;
    tmpl.unique_id = 41;
    add_tile_set(project, tmpl, true, nullptr);
    tmpl.unique_id = 7;  // below the counter: no change
    add_tile_set(project, tmpl, true, nullptr);
    EXPECT_EQ(project.next_tile_set_id, 42u);
    EXPECT_EQ(add_tile_set(project, tmpl, false, nullptr)->unique_id, 42u);
    EXPECT_EQ(project.tile_sets.size(), 3u);

    // A duplicate id from a file is taken as it is.
    tmpl.unique_id = 7;
    EXPECT_EQ(add_tile_set(project, tmpl, true, nullptr)->unique_id, 7u);
}

TEST(ProjectIds, KeptInvalidIdGetsAFreshId) {
    Project project;
    TileSetProperties tmpl;  // unique_id 0xFFFFFFFF
    TileSet* tile_set = add_tile_set(project, tmpl, true, nullptr);
    EXPECT_EQ(tile_set->unique_id, 0u);
    EXPECT_FALSE(project.did_tile_set_id_overflow);
}

TEST(ProjectIds, LayerEntityAndPointCountersAreProjectWideScopesPerOwner) {
    Project project;
    Map* map_a = add_map(project, MapProperties{}, false, nullptr);
    Map* map_b = add_map(project, MapProperties{}, false, nullptr);
    LayerProperties layer;
    layer.map_id = map_a->unique_id;
    add_layer(project, layer, false, nullptr);
    layer.map_id = map_b->unique_id;
    Layer* second = add_layer(project, layer, false, nullptr);
    EXPECT_EQ(second->unique_id, 1u);  // one counter for all maps

    // After an overflow, the search only looks at the same map: id 0 is free in map b.
    project.did_layer_id_overflow = true;
    project.next_layer_id = 0;
    EXPECT_EQ(add_layer(project, layer, false, nullptr)->unique_id, 0u);
    layer.map_id = map_a->unique_id;
    EXPECT_EQ(add_layer(project, layer, false, nullptr)->unique_id, 1u);
}

}  // namespace
}  // namespace zorva
