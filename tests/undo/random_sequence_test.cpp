// Long random sequences of recorded model changes: after every step the project is dumped; undoing
// everything must pass back through every dump in reverse order, and redoing everything forward again.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "model/project.h"
#include "project_dump.h"
#include "support/scripted_platform.h"
#include "undo/undo_histories.h"

namespace zorva {
namespace {

using namespace undo_op;

class RandomEditor {
public:
    RandomEditor(std::uint32_t seed, UndoHistories& histories) : random_(seed), histories_(histories) {}

    Project project;

    // Makes one recorded change; false when the drawn change was not possible (nothing happened).
    bool change() {
        switch (pick(22)) {
            case 0:
                return add_a_map();
            case 1:
                return add_a_layer();
            case 2:
                return delete_a_map();
            case 3:
                return delete_a_layer();
            case 4:
                return add_or_delete_parent_entity();
            case 5:
                return add_or_delete_tile_set();
            case 6:
                return map_properties();
            case 7:
                return layer_properties();
            case 8:
                return parent_entity_properties();
            case 9:
                return tile_set_properties();
            case 10:
            case 11:
            case 12:
                return tile_stroke();
            case 13:
                return visibility();
            case 14:
                return lock_toggle();
            case 15:
            case 16:
                return entity_edit();
            case 17:
            case 18:
                return path_edit();
            case 19:
                return select_something();
            case 20:
                return move_map();
            default:
                return move_layer();
        }
    }

private:
    std::uint32_t pick(std::uint32_t n) { return static_cast<std::uint32_t>(random_() % n); }
    template <class T>
    T* any(const ObjectList<T>& list) {
        return list.empty() ? nullptr : list[pick(static_cast<std::uint32_t>(list.size()))].get();
    }
    Layer* any_layer() {
        Map* map = any(project.maps);
        return map ? any(map->layers) : nullptr;
    }
    Map* owner(const Layer& layer) { return find_map(project, layer.map_id); }
    void text(NameText& name) { name = "N" + std::to_string(pick(1000)); }

    bool add_a_map() {
        Map* map = add_map(project, make_default_map(project), false, nullptr);
        return map && histories_.record_add_map(project, *map);
    }
    bool add_a_layer() {
        Map* map = any(project.maps);
        if (!map) return false;
        LayerProperties tmpl = make_default_layer(project, ProjectDefaults{}, map->unique_id);
        tmpl.grid_width = 1 + static_cast<std::int32_t>(pick(30));
        tmpl.grid_height = 1 + static_cast<std::int32_t>(pick(30));
        Layer* layer = add_layer(project, tmpl, false, nullptr);
        if (!layer) return false;
        // Give it content, as if it had been painted before (not recorded: part of the add).
        for (GridCell& cell : layer->grid) cell.tile = pick(4);
        return histories_.record_add_layer(project, *layer);
    }
    bool delete_a_map() {
        Map* map = any(project.maps);
        if (!map) return false;
        const ObjectId selected = project.selected_map_id();
        return histories_.record_delete_map(project, remove_map(project, map, false), selected);
    }
    bool delete_a_layer() {
        Layer* layer = any_layer();
        if (!layer) return false;
        Map* map = owner(*layer);
        const ObjectId selected = project.selected_layer_id();
        return histories_.record_delete_layer(project, map->unique_id,
                                              remove_layer(project, *map, layer, false), selected);
    }
    bool add_or_delete_parent_entity() {
        if (pick(2) == 0 || project.parent_entities.empty()) {
            ParentEntity* entity = add_parent_entity(project, ParentEntityProperties{}, false, nullptr);
            return entity && histories_.record_add_parent_entity(project, *entity);
        }
        const ObjectId selected = project.selected_parent_entity_id();
        return histories_.record_delete_parent_entity(
            project, remove_parent_entity(project, any(project.parent_entities), false), selected);
    }
    bool add_or_delete_tile_set() {
        if (pick(2) == 0 || project.tile_sets.empty()) {
            TileSet* tile_set = add_tile_set(project, TileSetProperties{}, false, nullptr);
            return tile_set && histories_.record_add_tile_set(project, *tile_set);
        }
        const ObjectId selected = project.selected_tile_set_id();
        return histories_.record_delete_tile_set(
            project, remove_tile_set(project, any(project.tile_sets), false), selected);
    }
    bool map_properties() {
        Map* map = any(project.maps);
        if (!map || !histories_.record_map_properties(project, *map)) return false;
        MapProperties edited = map->properties();
        text(edited.name);
        edited.camera_grid_position_x = static_cast<std::int32_t>(pick(50));
        edited.custom_variables[pick(100)] = "v";
        edited.export_this_map = pick(2) == 0;
        edit_map(*map, edited);
        return true;
    }
    bool layer_properties() {
        Layer* layer = any_layer();
        if (!layer || !histories_.record_layer_properties(project, *layer)) return false;
        LayerProperties edited = layer->properties();
        text(edited.name);
        edited.opacity = static_cast<std::uint8_t>(pick(256));
        if (pick(2) == 0) {
            edited.grid_width = 1 + static_cast<std::int32_t>(pick(30));
            edited.grid_height = 1 + static_cast<std::int32_t>(pick(30));
        }
        resize_layer(project, *layer, edited, nullptr);
        if (pick(2) == 0) histories_.settle(project);  // else the next call settles it
        return true;
    }
    bool parent_entity_properties() {
        ParentEntity* entity = any(project.parent_entities);
        if (!entity || !histories_.record_parent_entity_properties(project, *entity)) return false;
        ParentEntityProperties edited = entity->properties();
        text(edited.name);
        edited.is_trigger = !edited.is_trigger;
        edited.default_circle_trigger_radius = 4 + pick(20);
        edit_parent_entity(*entity, edited, nullptr);
        return true;
    }
    bool tile_set_properties() {
        TileSet* tile_set = any(project.tile_sets);
        if (!tile_set || !histories_.record_tile_set_properties(project, *tile_set)) return false;
        TileSetProperties edited = tile_set->properties();
        text(edited.name);
        edited.single_tile_pixel_width = 8 + static_cast<std::int32_t>(pick(40));
        edit_tile_set(*tile_set, edited, nullptr);
        return true;
    }
    bool tile_stroke() {
        Layer* layer = any_layer();
        if (!layer || !layer->take_snapshot()) return false;
        const std::uint32_t cells = 1 + pick(6);
        for (std::uint32_t i = 0; i < cells; ++i) {
            GridCell& cell = layer->grid[pick(static_cast<std::uint32_t>(layer->grid.size()))];
            cell.tile = pick(10);
            cell.flags = make_cell_flags(pick(2), pick(2), pick(2), static_cast<std::uint8_t>(pick(256)));
        }
        const UndoCode code = kPlaceTiles + static_cast<UndoCode>(pick(5));
        return histories_.record_tile_edit(code, project, *layer, *layer->snapshot());
    }
    bool visibility() {
        Layer* layer = any_layer();
        if (!layer || !histories_.record_layer_visibility(project, *layer)) return false;
        layer->is_visible = !layer->is_visible;
        return true;
    }
    bool lock_toggle() {
        switch (pick(4)) {
            case 0: {
                Map* map = any(project.maps);
                if (!map || !histories_.record_lock(map->is_locked ? kUnlockMap : kLockMap, project,
                                                    {map->unique_id, kInvalidId}))
                    return false;
                map->is_locked = !map->is_locked;
                return true;
            }
            case 1: {
                Layer* layer = any_layer();
                if (!layer || !histories_.record_lock(layer->is_locked ? kUnlockLayer : kLockLayer, project,
                                                      {layer->unique_id, layer->map_id}))
                    return false;
                layer->is_locked = !layer->is_locked;
                return true;
            }
            case 2: {
                TileSet* tile_set = any(project.tile_sets);
                if (!tile_set || !histories_.record_lock(tile_set->is_locked ? kUnlockTileSet : kLockTileSet,
                                                         project, {tile_set->unique_id, kInvalidId}))
                    return false;
                tile_set->is_locked = !tile_set->is_locked;
                return true;
            }
            default: {
                ParentEntity* entity = any(project.parent_entities);
                if (!entity ||
                    !histories_.record_lock(entity->is_locked ? kUnlockParentEntity : kLockParentEntity,
                                            project, {entity->unique_id, kInvalidId}))
                    return false;
                entity->is_locked = !entity->is_locked;
                return true;
            }
        }
    }
    bool entity_edit() {
        Layer* layer = any_layer();
        ParentEntity* parent = any(project.parent_entities);
        if (!layer || !parent) return false;
        const std::uint32_t what = layer->instance_entities.empty() ? 0 : pick(3);
        const UndoCode code = what == 0 ? kPlaceEntities : what == 1 ? kEraseEntities : kFlipEntities;
        if (!histories_.record_instance_entities(code, project, *layer)) return false;
        if (what == 0) {
            InstanceEntity tmpl =
                make_instance_entity(*parent, layer->map_id, layer->unique_id, static_cast<float>(pick(500)),
                                     static_cast<float>(pick(500)));
            tmpl.custom_variables[pick(100)] = static_cast<std::int16_t>(pick(1000));
            add_instance_entity(project, tmpl, false, nullptr);
        } else if (what == 1) {
            remove_instance_entity(*layer, any(layer->instance_entities), true);
        } else {
            for (auto& entity : layer->instance_entities) entity->fh = !entity->fh;
        }
        return true;
    }
    bool path_edit() {
        Layer* layer = any_layer();
        if (!layer) return false;
        const std::uint32_t what = layer->path_points.empty() ? 0 : pick(3);
        const UndoCode code = what == 0 ? kEditPaths : what == 1 ? kErasePathPoints : kMovePathPoints;
        if (!histories_.record_path_points(code, project, *layer)) return false;
        if (what == 0) {
            PathPoint tmpl;
            tmpl.map_id = layer->map_id;
            tmpl.layer_id = layer->unique_id;
            tmpl.px = static_cast<float>(pick(100));
            tmpl.flags = kPathPointStartsPath | kPathPointEndsPath;
            add_path_point(project, tmpl, false, nullptr);
        } else if (what == 1) {
            remove_path_point(*layer, any(layer->path_points), true);
        } else {
            for (auto& point : layer->path_points) point->py += 1.5f;
        }
        return true;
    }
    bool select_something() {
        switch (pick(4)) {
            case 0: {
                Map* map = any(project.maps);
                if (!map || !histories_.record_selection(kSelectMap, project)) return false;
                project.select_map(map->unique_id);
                return true;
            }
            case 1: {
                Map* map = project.selected_map();
                Layer* layer = map ? any(map->layers) : nullptr;
                if (!layer || !histories_.record_selection(kSelectLayer, project)) return false;
                project.select_layer(layer->unique_id);
                return true;
            }
            case 2: {
                ParentEntity* entity = any(project.parent_entities);
                if (!entity || !histories_.record_selection(kSelectParentEntity, project)) return false;
                project.select_parent_entity(entity->unique_id);
                return true;
            }
            default: {
                TileSet* tile_set = any(project.tile_sets);
                if (!tile_set || !histories_.record_selection(kSelectTileSet, project)) return false;
                project.select_tile_set(tile_set->unique_id);
                return true;
            }
        }
    }
    bool move_map() {
        Map* map = any(project.maps);
        if (!map) return false;
        const bool up = pick(2) == 0;
        const int index = index_of(project.maps, static_cast<const Map*>(map));
        if (up ? index == 0 : index + 1 == static_cast<int>(project.maps.size())) return false;
        if (!histories_.record_move(up ? kMoveMapUp : kMoveMapDown, project, {map->unique_id, kInvalidId}))
            return false;
        return up ? move_up(project.maps, map) : move_down(project.maps, map);
    }
    bool move_layer() {
        Layer* layer = any_layer();
        if (!layer) return false;
        Map* map = owner(*layer);
        const bool up = pick(2) == 0;
        const int index = index_of(map->layers, static_cast<const Layer*>(layer));
        if (up ? index == 0 : index + 1 == static_cast<int>(map->layers.size())) return false;
        if (!histories_.record_move(up ? kMoveLayerUp : kMoveLayerDown, project,
                                    {layer->unique_id, map->unique_id}))
            return false;
        return up ? move_up(map->layers, layer) : move_down(map->layers, layer);
    }

    std::mt19937 random_;
    UndoHistories& histories_;
};

class RandomSequence : public testing::TestWithParam<std::uint32_t> {};

TEST_P(RandomSequence, UndoAllAndRedoAllPassThroughEveryStep) {
    test::ScriptedPlatform platform;
    UndoHistories histories(200, &platform);
    RandomEditor editor(GetParam(), histories);
    Project& project = editor.project;
    std::mt19937 random(GetParam() * 31u + 1u);

    std::vector<std::string> states{test::dump(project)};
    int changes = 0;
    while (states.size() <= 200) {
        if (editor.change()) {
            ++changes;
            states.push_back(test::dump(project));
            ASSERT_EQ(histories.main().undo_count() + 1, states.size()) << "step " << changes;
        }
        // Now and then take a few steps back and go on from there, which drops the redo list.
        if (random() % 25 == 0) {
            const std::size_t back = std::min<std::size_t>(random() % 4, states.size() - 1);
            for (std::size_t i = 0; i < back; ++i) {
                ASSERT_EQ(histories.undo(&project), UndoResult::Done);
                states.pop_back();
                ASSERT_EQ(test::dump(project), states.back()) << "early undo after change " << changes;
            }
            if (back > 0 && random() % 2 == 0) {
                ASSERT_EQ(histories.redo(&project), UndoResult::Done);
                ASSERT_EQ(histories.undo(&project), UndoResult::Done);
                ASSERT_EQ(test::dump(project), states.back());
            }
        }
    }
    ASSERT_EQ(histories.main().undo_count(), 200u);
    EXPECT_TRUE(platform.shown.empty());

    for (std::size_t step = states.size() - 1; step > 0; --step) {
        ASSERT_EQ(histories.undo(&project), UndoResult::Done) << "undo to step " << step - 1;
        ASSERT_EQ(test::dump(project), states[step - 1])
            << "after undo to step " << step - 1 << " (" << histories.redo_text() << ")";
    }
    EXPECT_EQ(histories.undo(&project), UndoResult::Empty);
    for (std::size_t step = 1; step < states.size(); ++step) {
        ASSERT_EQ(histories.redo(&project), UndoResult::Done) << "redo to step " << step;
        ASSERT_EQ(test::dump(project), states[step])
            << "after redo to step " << step << " (" << histories.undo_text() << ")";
    }
    EXPECT_EQ(histories.redo(&project), UndoResult::Empty);

    // Everything kept alive by the records goes with them (AddressSanitizer reports any leak).
    histories.clear_all();
    EXPECT_EQ(histories.memory_bytes(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomSequence, testing::Values(1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u));

}  // namespace
}  // namespace zorva
