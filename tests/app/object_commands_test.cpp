// The object commands without widgets: New with the defaults of the preferences, the questions and
// messages of each command, the lock messages, the selection after a deletion, moves, and long random
// runs of commands undone and redone back to the same saved file.
#include "app/object_commands.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "app/object_lists.h"
#include "app/project_session.h"
#include "editor_test_support.h"
#include "object_test_support.h"
#include "prefs/preferences.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

struct CommandsFixture : ::testing::Test {
    test::TempDir dir;
    Preferences prefs;
    test::ChooserPlatform platform;
    ProjectSession session{prefs, platform, dir.path() / "data", [] { return std::int64_t{0}; }};
    test::ScriptedDialogs dialogs;
    ObjectCommands commands{session, dialogs};

    Project& project() { return session.project(); }
    std::string undo_text() const { return session.histories().undo_text(); }
    std::string last_message() const { return platform.shown.empty() ? "" : platform.shown.back().text; }
};

TEST_F(CommandsFixture, NewObjectsStartFromThePreferencesAndWriteTheirDefaultsBack) {
    ProjectDefaults defaults = prefs.project_defaults();
    defaults.tile_width = 16;
    defaults.layer_grid_width = 7;
    defaults.frame_height = 24;
    prefs.store_project_defaults(defaults);

    dialogs.on_tile_set = [](TileSetProperties& t, bool is_new) {
        EXPECT_TRUE(is_new);
        EXPECT_EQ(t.name, "TileSet01");
        EXPECT_EQ(t.single_tile_pixel_width, 16);
        EXPECT_EQ(t.unique_id, kInvalidId);
        t.single_tile_pixel_width = 20;
        t.use_transparent_colour = true;
        t.transparent_colour = 0x00FF00FF;
        return true;
    };
    ASSERT_TRUE(commands.new_tile_set());
    ASSERT_EQ(project().tile_sets.size(), 1u);
    EXPECT_EQ(project().selected_tile_set(), project().tile_sets[0].get());
    EXPECT_EQ(prefs.project_defaults().tile_width, 20);
    EXPECT_TRUE(prefs.project_defaults().tile_set_use_transparent_colour);
    EXPECT_EQ(prefs.project_defaults().tile_set_transparent_colour, 0x00FF00FFu);
    EXPECT_TRUE(std::filesystem::exists(Preferences::settings_file(dir.path() / "data")));
    EXPECT_EQ(undo_text(), "&Undo : Add tile set\tCtrl+Z");
    EXPECT_TRUE(project().modified);

    // The new map's tile set chooser starts at the selected tile set.
    dialogs.on_map = [&](MapProperties& m, bool) {
        EXPECT_EQ(m.name, "Map01");
        EXPECT_EQ(m.use_tile_set_id, project().tile_sets[0]->unique_id);
        return true;
    };
    ASSERT_TRUE(commands.new_map());
    EXPECT_EQ(project().selected_map(), project().maps[0].get());

    dialogs.on_layer = [](LayerProperties& l, bool) {
        EXPECT_EQ(l.name, "Layer01");
        EXPECT_EQ(l.grid_width, 7);
        l.grid_width = 9;
        l.grid_offset_y = -3;
        l.scroll_speed_x = 0.5f;
        return true;
    };
    ASSERT_TRUE(commands.new_layer());
    EXPECT_EQ(prefs.project_defaults().layer_grid_width, 9);
    EXPECT_EQ(prefs.project_defaults().layer_grid_offset_y, -3);
    EXPECT_EQ(prefs.project_defaults().layer_scroll_speed_x, 0.5f);

    dialogs.on_parent_entity = [](ParentEntityProperties& e, bool) {
        EXPECT_EQ(e.name, "Entity01");
        EXPECT_EQ(e.single_frame_pixel_height, 24);
        e.space_between_frames_pixel_x = 2;
        return true;
    };
    ASSERT_TRUE(commands.new_parent_entity());
    EXPECT_EQ(prefs.project_defaults().frame_spacing_x, 2);
    EXPECT_EQ(project().selected_parent_entity(), project().parent_entities[0].get());

    // Editing an existing object leaves the defaults alone; a cancelled New changes nothing.
    dialogs.on_tile_set = [](TileSetProperties& t, bool is_new) {
        EXPECT_FALSE(is_new);
        t.single_tile_pixel_width = 64;
        return true;
    };
    ASSERT_TRUE(commands.properties(ListKind::TileSets));
    EXPECT_EQ(project().tile_sets[0]->single_tile_pixel_width, 64);
    EXPECT_EQ(prefs.project_defaults().tile_width, 20);
    EXPECT_EQ(undo_text(), "&Undo : Tile set properties\tCtrl+Z");
    dialogs.on_map = [](MapProperties&, bool) { return false; };
    EXPECT_FALSE(commands.new_map());
    EXPECT_EQ(project().maps.size(), 1u);
    EXPECT_EQ(undo_text(), "&Undo : Tile set properties\tCtrl+Z");
    // The only question was about the layer on a map whose tile set has no picture yet.
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, "Invalid Tile Set");
}

TEST_F(CommandsFixture, NewLayerNeedsAMapAndAsksAboutAMapWithoutTiles) {
    EXPECT_FALSE(commands.new_layer());
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Layers can only be added to maps.\nPlease select a map first.\n");
    EXPECT_EQ(platform.shown[0].caption, "No map");
    EXPECT_TRUE(dialogs.opened.empty());

    ASSERT_TRUE(commands.new_map());  // no tile set in the project
    platform.answers = {Answer::No};
    EXPECT_FALSE(commands.new_layer());
    EXPECT_EQ(platform.shown.back().caption, "Invalid Tile Set");
    EXPECT_EQ(platform.shown.back().text,
              "The layer will only be drawn if the map uses a valid tile set (which has at least 1 tile).\n\n"
              "Do you want to add a layer anyway?");
    EXPECT_EQ(dialogs.opened, (std::vector<std::string>{"new map"}));

    // Yes adds it; the map had no selected layer, so the new one is selected.
    ASSERT_TRUE(commands.new_layer());
    Map& map = *project().maps[0];
    ASSERT_EQ(map.layers.size(), 1u);
    EXPECT_EQ(project().selected_layer(), map.layers[0].get());
    EXPECT_EQ(map.selected_layer_id, map.layers[0]->unique_id);
    // A second layer leaves the first selected. Ticking the box stops the question until the editor closes.
    platform.tick_dont_ask_again = true;
    const std::size_t asked = platform.shown.size();
    ASSERT_TRUE(commands.new_layer());
    EXPECT_EQ(platform.shown.size(), asked + 1);
    EXPECT_FALSE(commands.asks_about_invalid_tile_set());
    ASSERT_TRUE(commands.new_layer());
    EXPECT_EQ(platform.shown.size(), asked + 1);
    ASSERT_EQ(map.layers.size(), 3u);
    EXPECT_EQ(project().selected_layer(), map.layers[0].get());
    EXPECT_EQ(undo_text(), "&Undo : Add layer\tCtrl+Z");

    // Undoing the first add selects no layer again.
    session.histories().undo(&project());
    session.histories().undo(&project());
    session.histories().undo(&project());
    EXPECT_TRUE(map.layers.empty());
    EXPECT_EQ(project().selected_layer(), nullptr);
}

TEST_F(CommandsFixture, LockedObjectsAnswerWithTheirLockMessageInsteadOfTheDialog) {
    ASSERT_TRUE(commands.new_tile_set());
    ASSERT_TRUE(commands.new_map());
    platform.answers = {Answer::Yes};  // the tile set has no picture, so no tiles
    ASSERT_TRUE(commands.new_layer());
    ASSERT_TRUE(commands.new_parent_entity());
    dialogs.opened.clear();
    platform.shown.clear();

    struct Case {
        ListKind kind;
        const char* text;
        const char* caption;
        const char* undo;
    };
    for (const Case& c :
         {Case{ListKind::TileSets, "The Tile Set is locked.", "Locked", "Lock tile set"},
          Case{ListKind::Layers, "The Layer is locked/hidden.", "Locked/Hidden", "Lock layer"},
          Case{ListKind::Entities, "The Entity is locked.", "Locked", "Lock entity"},
          Case{ListKind::Maps, "The Map is locked.", "Locked", "Lock map"}}) {
        ASSERT_TRUE(commands.toggle_lock(c.kind));
        EXPECT_EQ(undo_text(), std::string("&Undo : ") + c.undo + "\tCtrl+Z");
        EXPECT_FALSE(commands.properties(c.kind));
        ASSERT_FALSE(platform.shown.empty());
        EXPECT_EQ(platform.shown.back().text, c.text);
        EXPECT_EQ(platform.shown.back().caption, c.caption);
        EXPECT_EQ(platform.shown.back().icon, MessageIcon::Information);
    }
    EXPECT_TRUE(dialogs.opened.empty());
    // A locked map refuses its layers' dialogs, a new layer's too, whatever the layer says.
    ASSERT_TRUE(commands.toggle_lock(ListKind::Layers));
    EXPECT_FALSE(commands.properties(ListKind::Layers));
    EXPECT_EQ(last_message(), "The Map is locked.");
    EXPECT_FALSE(commands.new_layer());
    EXPECT_EQ(last_message(), "The Map is locked.");
    EXPECT_TRUE(dialogs.opened.empty());
    // Unlocking lets the dialog open; the lock is undone by Undo.
    ASSERT_TRUE(commands.toggle_lock(ListKind::Maps));
    EXPECT_EQ(undo_text(), "&Undo : Unlock map\tCtrl+Z");
    EXPECT_TRUE(commands.properties(ListKind::Layers));
    ASSERT_EQ(session.histories().undo(&project()), UndoResult::Done);
    ASSERT_EQ(session.histories().undo(&project()), UndoResult::Done);
    EXPECT_TRUE(project().maps[0]->is_locked);
}

TEST_F(CommandsFixture, DeleteAsksThenSelectsTheFirstAndMapsShowAMissingTileSet) {
    for (const char* name : {"Rock", "Sand"}) {
        dialogs.on_tile_set = [name](TileSetProperties& t, bool) {
            t.name = name;
            return true;
        };
        ASSERT_TRUE(commands.new_tile_set());
    }
    ASSERT_TRUE(commands.new_map());  // uses the selected tile set, Sand
    const std::string before = list_lines(&project(), ListKind::Maps)[0].text;
    EXPECT_EQ(before, "Map01     [T:Sand] [E]");

    platform.answers = {Answer::No};
    EXPECT_FALSE(commands.remove(ListKind::TileSets));
    EXPECT_EQ(platform.shown.back().text, "Do you want to delete the tile set\nSand ?");
    EXPECT_EQ(platform.shown.back().caption, " Delete Tile Set");
    EXPECT_EQ(project().tile_sets.size(), 2u);

    ASSERT_TRUE(commands.remove(ListKind::TileSets));
    ASSERT_EQ(project().tile_sets.size(), 1u);
    EXPECT_EQ(project().selected_tile_set()->name, "Rock");
    EXPECT_EQ(list_lines(&project(), ListKind::Maps)[0].text, "Map01     [T:?] [E]");
    EXPECT_EQ(undo_text(), "&Undo : Delete tile set\tCtrl+Z");
    session.histories().undo(&project());
    EXPECT_EQ(list_lines(&project(), ListKind::Maps)[0].text, before);
    EXPECT_EQ(project().selected_tile_set()->name, "Sand");

    // Deleting the only layer leaves the map without a selected layer.
    platform.answers = {Answer::Yes};
    ASSERT_TRUE(commands.new_layer());
    ASSERT_TRUE(commands.remove(ListKind::Layers));
    EXPECT_EQ(platform.shown.back().text, "Do you want to delete the layer\nLayer01 ?");
    EXPECT_EQ(platform.shown.back().caption, " Delete Layer");
    EXPECT_EQ(project().selected_layer(), nullptr);
    EXPECT_EQ(project().maps[0]->selected_layer_id, kInvalidId);
    EXPECT_FALSE(
        list_controls(&project(), ListKind::Layers, list_lines(&project(), ListKind::Layers), kInvalidId)
            .list);

    ASSERT_TRUE(commands.new_parent_entity());
    ASSERT_TRUE(commands.remove(ListKind::Entities));
    EXPECT_EQ(platform.shown.back().text, "Do you want to delete the entity\nEntity01 ?");
    EXPECT_EQ(platform.shown.back().caption, " Delete Entity");
    ASSERT_TRUE(commands.remove(ListKind::Maps));
    EXPECT_EQ(platform.shown.back().text, "Do you want to delete the map\nMap01 ?");
    EXPECT_EQ(platform.shown.back().caption, " Delete Map");
    EXPECT_TRUE(project().maps.empty());
    // Nothing selected: nothing to ask about.
    const std::size_t asked = platform.shown.size();
    EXPECT_FALSE(commands.remove(ListKind::Maps));
    EXPECT_FALSE(commands.properties(ListKind::Maps));
    EXPECT_EQ(platform.shown.size(), asked);
}

TEST_F(CommandsFixture, MovesStopAtTheEndsAndSelectionsAreRecorded) {
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(commands.new_map());
    Project& p = project();
    const ObjectId last = p.maps[2]->unique_id;
    ASSERT_EQ(p.selected_map_id(), last);
    EXPECT_FALSE(commands.move(ListKind::Maps, false));
    ASSERT_TRUE(commands.move(ListKind::Maps, true));
    ASSERT_TRUE(commands.move(ListKind::Maps, true));
    EXPECT_EQ(p.maps[0]->unique_id, last);
    EXPECT_FALSE(commands.move(ListKind::Maps, true));
    EXPECT_EQ(undo_text(), "&Undo : Move map\tCtrl+Z");
    const ListControls at_top = list_controls(&p, ListKind::Maps, list_lines(&p, ListKind::Maps), last);
    EXPECT_FALSE(at_top.move_up);
    EXPECT_TRUE(at_top.move_down);

    // Choosing another line is a recorded selection; choosing the same one is nothing.
    const ObjectId other = p.maps[1]->unique_id;
    EXPECT_TRUE(commands.select(ListKind::Maps, other));
    EXPECT_FALSE(commands.select(ListKind::Maps, other));
    EXPECT_EQ(undo_text(), "&Undo : Select map\tCtrl+Z");
    session.histories().undo(&p);
    EXPECT_EQ(p.selected_map_id(), last);

    // The entity brush follows the H, V and R buttons.
    commands.run(ListKind::Entities, ListCommand::FlipVertical, true);
    commands.run(ListKind::Entities, ListCommand::Rotate, true);
    commands.run(ListKind::Entities, ListCommand::Rotate, false);
    EXPECT_FALSE(p.entity_brush.flip_horizontal);
    EXPECT_TRUE(p.entity_brush.flip_vertical);
    EXPECT_FALSE(p.entity_brush.rotate);
}

TEST_F(CommandsFixture, LayerSizeThatCannotBeHadLeavesTheLayerAndTheHistory) {
    ASSERT_TRUE(commands.new_map());
    platform.answers = {Answer::Yes};
    ASSERT_TRUE(commands.new_layer());
    Layer& layer = *project().maps[0]->layers[0];
    layer.grid[3].tile = 5;
    const std::string history = undo_text();
    const std::size_t records = session.histories().main().undo_count();
    dialogs.on_layer = [](LayerProperties& l, bool) {
        l.grid_width = 0x7FFFFFFF;
        l.grid_height = 0x7FFFFFFF;
        l.name = "Huge";
        return true;
    };
    EXPECT_FALSE(commands.properties(ListKind::Layers));
    EXPECT_EQ(platform.shown.back().text, "Not enough memory to change layer size!");
    EXPECT_EQ(platform.shown.back().caption, "Error");
    EXPECT_EQ(layer.name, "Layer01");
    EXPECT_EQ(layer.grid_width, 10);
    EXPECT_EQ(layer.grid.size(), 100u);
    EXPECT_EQ(layer.grid[3].tile, 5u);
    EXPECT_EQ(undo_text(), history);
    EXPECT_EQ(session.histories().main().undo_count(), records);

    // A size that fits keeps the top-left block, and Undo gives the old grid back.
    dialogs.on_layer = [](LayerProperties& l, bool) {
        l.grid_width = 2;
        l.grid_height = 30;
        return true;
    };
    ASSERT_TRUE(commands.properties(ListKind::Layers));
    EXPECT_EQ(layer.grid.size(), 60u);
    EXPECT_EQ(layer.cell(1, 0)->tile, 0u);
    session.histories().undo(&project());
    EXPECT_EQ(layer.grid.size(), 100u);
    EXPECT_EQ(layer.grid[3].tile, 5u);
}

// Long random runs: every command through the object commands with random dialog answers; undoing all of
// them passes back through every saved state, and redoing all of them ends at the same saved file.
class RandomCommands {
public:
    RandomCommands(std::uint32_t seed, test::ScriptedDialogs& dialogs, test::ChooserPlatform& platform,
                   ObjectCommands& commands)
        : random_(seed), dialogs_(dialogs), platform_(platform), commands_(commands) {
        dialogs_.on_tile_set = [this](TileSetProperties& t, bool) {
            t.single_tile_pixel_width = 8 + static_cast<std::int32_t>(pick(40));
            t.user_supplied_id = pick(1000);
            t.custom_variables[pick(100)] = "ts" + std::to_string(pick(99));
            return pick(5) != 0;
        };
        dialogs_.on_map = [this](MapProperties& m, bool) {
            m.export_this_map = pick(2) == 0;
            m.user_supplied_id = pick(1000);
            m.name = "M" + std::to_string(pick(99));
            return pick(5) != 0;
        };
        dialogs_.on_layer = [this](LayerProperties& l, bool) {
            l.grid_width = 1 + static_cast<std::int32_t>(pick(12));
            l.grid_height = 1 + static_cast<std::int32_t>(pick(12));
            l.opacity = static_cast<std::uint8_t>(pick(256));
            l.wrap_x = pick(2) == 0;
            return pick(5) != 0;
        };
        dialogs_.on_parent_entity = [this](ParentEntityProperties& e, bool) {
            e.is_trigger = pick(2) == 0;
            e.single_frame_pixel_width = 1 + static_cast<std::int32_t>(pick(64));
            e.name = "E" + std::to_string(pick(99));
            return pick(5) != 0;
        };
    }

    // One command on a random kind; true when it changed the project.
    bool step(Project& project) {
        static constexpr std::array kKinds{ListKind::Maps, ListKind::Layers, ListKind::Entities,
                                           ListKind::TileSets};
        const ListKind kind = kKinds[pick(4)];
        platform_.answers = {pick(4) == 0 ? Answer::No : Answer::Yes};
        switch (pick(9)) {
            case 0:
            case 1:
                return commands_.add(kind);
            case 2:
                return commands_.properties(kind);
            case 3:
                return pick(3) == 0 && commands_.remove(kind);
            case 4:
                return commands_.move(kind, pick(2) == 0);
            case 5:
                return commands_.toggle_lock(kind);
            case 6:
                return commands_.toggle_visible();
            default: {
                const std::vector<ListLine> lines = list_lines(&project, kind);
                if (lines.empty()) return false;
                return commands_.select(kind, lines[pick(static_cast<std::uint32_t>(lines.size()))].id);
            }
        }
    }

private:
    std::uint32_t pick(std::uint32_t n) { return static_cast<std::uint32_t>(random_() % n); }

    std::mt19937 random_;
    test::ScriptedDialogs& dialogs_;
    test::ChooserPlatform& platform_;
    ObjectCommands& commands_;
};

TEST_F(CommandsFixture, RandomCommandsUndoneAndRedoneGiveBackEverySavedFile) {
    prefs.set_undo_count(200);
    ProjectSession big{prefs, platform, dir.path() / "data", [] { return std::int64_t{0}; }};
    ObjectCommands on_big{big, dialogs};
    for (std::uint32_t seed = 1; seed <= 6; ++seed) {
        big.reset_project();
        big.histories().clear_all();
        RandomCommands run(seed, dialogs, platform, on_big);
        std::vector<std::string> states{test::saved_xml_without_counters(big.project())};
        int changes = 0;
        for (int step = 0; step < 400 && changes < 150; ++step) {
            if (!run.step(big.project())) continue;
            ++changes;
            states.push_back(test::saved_xml_without_counters(big.project()));
        }
        ASSERT_GT(changes, 100) << "seed " << seed;
        ASSERT_EQ(big.histories().main().undo_count(), static_cast<std::size_t>(changes));
        const std::string end = test::saved_xml(big.project());
        for (int i = changes - 1; i >= 0; --i) {
            ASSERT_EQ(big.histories().undo(&big.project()), UndoResult::Done) << "seed " << seed;
            // Compared as a whole: a failure names the step, not two documents.
            ASSERT_TRUE(test::saved_xml_without_counters(big.project()) ==
                        states[static_cast<std::size_t>(i)])
                << "seed " << seed << " undo to state " << i;
        }
        for (int i = 1; i <= changes; ++i) {
            ASSERT_EQ(big.histories().redo(&big.project()), UndoResult::Done) << "seed " << seed;
            ASSERT_TRUE(test::saved_xml_without_counters(big.project()) ==
                        states[static_cast<std::size_t>(i)])
                << "seed " << seed << " redo to state " << i;
        }
        EXPECT_TRUE(test::saved_xml(big.project()) == end) << "seed " << seed;
    }
}

}  // namespace
}  // namespace zorva
