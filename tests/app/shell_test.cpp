// The editor's Qt-free pieces: the command table, the recent submenu, the object lists, the edit mode
// rules, tool window placement and the automatic backup files.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>

#include "app/command_table.h"
#include "app/object_lists.h"
#include "app/recent_menu.h"
#include "app/tool_window_placement.h"
#include "editor_test_support.h"
#include "model/project.h"
#include "prefs/preferences.h"
#include "projectfile/auto_backup.h"
#include "support/temp_dir.h"
#include "view/edit_state.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

// --- Command table -----------------------------------------------------------------------------------------

TEST(CommandTable, IdsAndKeysAreUniqueSoEveryAcceleratorFires) {
    std::set<int> ids;
    std::set<std::string> keys;
    for (const Command& c : command_table()) {
        EXPECT_TRUE(ids.insert(c.id).second) << c.id;
        for (std::string_view k : split_keys(c.keys)) EXPECT_TRUE(keys.insert(std::string(k)).second) << k;
    }
    EXPECT_GE(ids.size(), 110u);
}

TEST(CommandTable, MenuTextsAndKeysAsTheMenuShowsThem) {
    const Command* move = find_command(cmd::kToolMove);
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->text, "&Move\tD");
    EXPECT_EQ(move->keys, "M");  // the accelerator differs from the text shown, and applies
    EXPECT_EQ(menu_caption(move->text), "&Move");
    EXPECT_EQ(menu_shown_shortcut(move->text), "D");

    // The Undo and Redo items have no keys of their own; the accelerators 32853 and 32854 carry them.
    EXPECT_EQ(find_command(cmd::kUndoItem)->keys, "");
    EXPECT_EQ(find_command(cmd::kRedoItem)->text, "&Redo\tCtrl+R");
    EXPECT_EQ(find_command(cmd::kUndo)->keys, "Ctrl+Z");
    EXPECT_EQ(find_command(cmd::kRedo)->keys, "Ctrl+Y");
    EXPECT_EQ(find_command(cmd::kViewGridItem)->keys, "");
    EXPECT_EQ(find_command(cmd::kViewGrid)->keys, "Ctrl+G");

    EXPECT_EQ(find_command(cmd::kZoom800)->text, "&800 %    \tCtrl+8");
    EXPECT_EQ(find_command(cmd::kZoom25)->text, "2&5 %\tCtrl+3");
    EXPECT_EQ(find_command(cmd::kZoom25)->keys, "Ctrl+3");
    EXPECT_EQ(find_command(cmd::kFillTileAttributes)->text, "Fill T&ile Attributes\tCtrl+Shift+F");
    EXPECT_EQ(find_command(cmd::kEditCustomVariables)->keys, "Return; Num+Enter");
    EXPECT_EQ(split_keys("Return; Num+Enter").size(), 2u);
    EXPECT_EQ(find_command(cmd::kViewEntitiesCustomVariables)->text, "Entities Custom Variables (slower)");
    EXPECT_EQ(find_command(12345), nullptr);
}

TEST(CommandTable, MenusComeInOrderWithSubmenusAfterTheirParents) {
    const std::vector<std::string_view> menus = command_menus();
    ASSERT_GE(menus.size(), 3u);
    EXPECT_EQ(menus.front(), "&File");
    const auto pos = [&](std::string_view m) {
        return std::find(menus.begin(), menus.end(), m) - menus.begin();
    };
    EXPECT_LT(pos("&File"), pos("&File/&Import"));
    EXPECT_LT(pos("&View"), pos("&View/&Zoom"));
    EXPECT_EQ(menus.back(), "&Help");
    for (const Command& c : command_table())
        if (c.text.empty()) {
            EXPECT_TRUE(c.menu.empty()) << c.id;
        }
}

// --- Recent projects
// -----------------------------------------------------------------------------------------

TEST(RecentMenu, CountThreeWithFivePathsShowsThreeNumberedItems) {
    Preferences prefs;
    prefs.set_recent_count(3);
    for (const char* p : {"/a/1.xml", "/a/2.xml", "/a/3.xml", "/a/4.xml", "/a/5.xml"}) prefs.add_recent(p);
    // add_recent keeps only recent_count entries in play; fill the raw list to five to be sure.
    for (int k = 0; k < 5; ++k)
        prefs.set_text(pref_offset::kRecentProjects + static_cast<std::size_t>(k) * kPreferencesTextSize,
                       "/p/" + std::to_string(k) + ".xml");
    const std::vector<RecentMenuItem> items = recent_menu_items(prefs);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].text, "&1 /p/0.xml");
    EXPECT_EQ(items[2].text, "&3 /p/2.xml");
    EXPECT_EQ(items[0].id, cmd::kRecentFirst);
    EXPECT_EQ(items[2].id, cmd::kRecentFirst + 2);
    EXPECT_EQ(items[1].path, "/p/1.xml");
}

TEST(RecentMenu, TenthItemAndStopAtTheFirstEmptyEntry) {
    EXPECT_EQ(recent_item_text(9, "x.zvp"), "1&0 x.zvp");
    EXPECT_EQ(recent_item_text(8, "x.zvp"), "&9 x.zvp");
    Preferences prefs;
    prefs.set_recent_count(10);
    for (int k = 0; k < 10; ++k)
        prefs.set_text(pref_offset::kRecentProjects + static_cast<std::size_t>(k) * kPreferencesTextSize,
                       k == 4 ? std::string() : "/p/" + std::to_string(k));
    EXPECT_EQ(recent_menu_items(prefs).size(), 4u);
    prefs.set_text(pref_offset::kRecentProjects + 4 * kPreferencesTextSize, "/p/4");
    const std::vector<RecentMenuItem> all = recent_menu_items(prefs);
    ASSERT_EQ(all.size(), 10u);
    EXPECT_EQ(all[9].text, "1&0 /p/9");
}

// --- Object lists
// --------------------------------------------------------------------------------------------

struct ListProject {
    Project project;
    HeadlessPlatform quiet;

    TileSet* tile_set(const char* name) {
        TileSetProperties p;
        p.name = name;
        return add_tile_set(project, p, false, &quiet);
    }
    Map* map(const char* name, ObjectId tile_set) {
        MapProperties p;
        p.name = name;
        p.use_tile_set_id = tile_set;
        return add_map(project, p, false, &quiet);
    }
    ParentEntity* entity(const char* name, std::uint32_t user_id, bool trigger = false) {
        ParentEntityProperties p;
        p.name = name;
        p.user_supplied_id = user_id;
        p.is_trigger = trigger;
        return add_parent_entity(project, p, false, &quiet);
    }
    Layer* layer(Map& map, const char* name) {
        LayerProperties p;
        p.map_id = map.unique_id;
        p.name = name;
        return add_layer(project, p, false, &quiet);
    }
};

TEST(ObjectLists, EmptyProjectLeavesOnlyNewEnabled) {
    Project project;
    const std::vector<ListLine> lines = list_lines(&project, ListKind::Maps);
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(list_window_title(ListKind::Maps, lines.size()), "Maps (0)");
    const ListControls c = list_controls(&project, ListKind::Maps, lines, kInvalidId);
    EXPECT_FALSE(c.list);
    EXPECT_FALSE(c.move_up);
    EXPECT_FALSE(c.move_down);
    EXPECT_FALSE(c.remove);
    EXPECT_TRUE(c.add);
    // Without a selected map no layer can be added.
    EXPECT_FALSE(list_controls(&project, ListKind::Layers, {}, kInvalidId).add);
    EXPECT_FALSE(list_controls(nullptr, ListKind::Maps, {}, kInvalidId).add);
}

TEST(ObjectLists, LineTextsCarryTheirTags) {
    ListProject p;
    TileSet* terrain = p.tile_set("Terrain");
    terrain->is_locked = true;
    Map* meadow = p.map("Meadow", terrain->unique_id);
    Map* orphan = p.map("Orphan", 12345);
    orphan->is_locked = true;
    orphan->export_this_map = false;
    Layer* ground = p.layer(*meadow, "Ground");
    ground->is_main_layer = true;
    Layer* sky = p.layer(*meadow, "Sky");
    sky->is_visible = false;
    sky->is_locked = true;
    p.entity("Door", 7, true);
    p.project.select_map(meadow->unique_id);

    const std::vector<ListLine> maps = list_lines(&p.project, ListKind::Maps);
    ASSERT_EQ(maps.size(), 2u);
    EXPECT_EQ(maps[0].text, "Meadow     [T:Terrain] [E]");
    EXPECT_EQ(maps[1].text, "Orphan     [T:?] [L]");
    EXPECT_EQ(maps[0].id, meadow->unique_id);
    EXPECT_EQ(list_lines(&p.project, ListKind::TileSets)[0].text, "Terrain     [L]");
    const std::vector<ListLine> layers = list_lines(&p.project, ListKind::Layers);
    ASSERT_EQ(layers.size(), 2u);
    EXPECT_EQ(layers[0].text, "Ground     [M]");
    EXPECT_EQ(layers[1].text, "Sky     [L] [H]");
    EXPECT_EQ(list_lines(&p.project, ListKind::Entities)[0].text, "Door    (id:7)     [T]");
    EXPECT_EQ(list_window_title(ListKind::TileSets, 1), "Tile Sets (1)");
}

TEST(ObjectLists, EntitiesSortedWithoutLetterCaseWhileTheProjectKeepsItsOrder) {
    ListProject p;
    p.entity("b", 1);
    p.entity("a", 2);
    p.entity("C", 3);
    const std::vector<ListLine> lines = list_lines(&p.project, ListKind::Entities);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text.substr(0, 1), "a");
    EXPECT_EQ(lines[1].text.substr(0, 1), "b");
    EXPECT_EQ(lines[2].text.substr(0, 1), "C");
    EXPECT_EQ(p.project.parent_entities[0]->name, "b");
}

TEST(ObjectLists, SelectionDrivesMoveButtonsAndTheProjectSelection) {
    ListProject p;
    Map* first = p.map("First", kInvalidId);
    p.map("Middle", kInvalidId);
    Map* last = p.map("Last", kInvalidId);
    const std::vector<ListLine> lines = list_lines(&p.project, ListKind::Maps);

    select_list_id(p.project, ListKind::Maps, first->unique_id);
    EXPECT_EQ(p.project.selected_map(), first);
    ListControls c = list_controls(&p.project, ListKind::Maps, lines, first->unique_id);
    EXPECT_FALSE(c.move_up);
    EXPECT_TRUE(c.move_down);
    EXPECT_TRUE(c.remove);
    c = list_controls(&p.project, ListKind::Maps, lines, last->unique_id);
    EXPECT_TRUE(c.move_up);
    EXPECT_FALSE(c.move_down);
    // Tile sets never move.
    EXPECT_FALSE(list_controls(&p.project, ListKind::TileSets, lines, last->unique_id).move_up);

    select_list_id(p.project, ListKind::Maps, 999);
    EXPECT_EQ(p.project.selected_map(), nullptr);
    EXPECT_EQ(selected_list_id(p.project, ListKind::Layers), kInvalidId);
}

// --- Edit modes and tool windows
// -----------------------------------------------------------------------------

TEST(EditStateRules, HiddenObjectsRefuseTheirModeAndExtraPlacementFallsBack) {
    Preferences prefs;
    EditState state;
    state.set_tool(Tool::ExtraPlacement);
    ASSERT_TRUE(state.set_mode(EditMode::Entities, prefs));
    EXPECT_EQ(state.tool(), Tool::Placement);

    prefs.set_flag(FlagA::ViewEntities, false);
    EXPECT_TRUE(state.follow_view_toggles(prefs));
    EXPECT_EQ(state.mode(), EditMode::Tiles);
    EXPECT_FALSE(state.set_mode(EditMode::Entities, prefs));

    ASSERT_TRUE(state.set_mode(EditMode::Paths, prefs));
    state.set_path_points(true);
    EXPECT_FALSE(state.follow_view_toggles(prefs));
    prefs.set_flag(FlagA::ViewPaths, false);
    EXPECT_TRUE(state.follow_view_toggles(prefs));
    EXPECT_EQ(state.mode(), EditMode::Tiles);
    EXPECT_FALSE(state.path_points());
    EXPECT_FALSE(state.set_mode(EditMode::Paths, prefs));
    EXPECT_EQ(static_cast<int>(Tool::Move), 4);
}

TEST(ToolWindowPlacement, KeptInsideTheWorkArea) {
    const ScreenBox area{0, 0, 1600, 1000};
    EXPECT_EQ(keep_in_work_area({1500, 100, 300, 200}, area), (ScreenBox{1300, 100, 300, 200}));
    EXPECT_EQ(keep_in_work_area({-40, -5, 300, 200}, area), (ScreenBox{0, 0, 300, 200}));
    EXPECT_EQ(keep_in_work_area({100, 900, 300, 200}, area), (ScreenBox{100, 800, 300, 200}));
    // Wider than the work area: pinned to the left edge, never beyond it.
    EXPECT_EQ(keep_in_work_area({200, 0, 2000, 200}, area), (ScreenBox{0, 0, 2000, 200}));
    EXPECT_EQ(keep_in_work_area({10, 10, 300, 200}, {50, 20, 1000, 800}), (ScreenBox{50, 20, 300, 200}));
}

// --- Automatic backup
// ----------------------------------------------------------------------------------------

std::tm at(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

void touch(const fs::path& file, int age_minutes) {
    test::write_file(file.string(), "x");
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::minutes(age_minutes));
}

TEST(AutoBackupFiles, NamesFromTheLocalTime) {
    EXPECT_EQ(backup_file_name("/d/Autoback/", at(2011, 3, 9, 14, 5, 0)),
              "/d/Autoback/2011-03-09_14-05-00.zvp");
    EXPECT_EQ(backup_file_name("/d/Autoback", at(1999, 12, 31, 23, 59, 58)),
              "/d/Autoback/1999-12-31_23-59-58.zvp");
    EXPECT_EQ(backup_folder("/data"), fs::path("/data/Autoback/"));
}

TEST(AutoBackupFiles, RotationDeletesTheOldestOnlyAboveTheMaximum) {
    test::TempDir dir;
    for (int i = 0; i < 5; ++i) touch(dir.path() / ("b" + std::to_string(i) + ".zvp"), 10 + i);
    touch(dir.path() / "notes.txt", 500);  // not a backup
    EXPECT_FALSE(delete_oldest_backup(dir.path(), 5));
    touch(dir.path() / "b5.zvp", 1);
    EXPECT_TRUE(delete_oldest_backup(dir.path(), 5));
    EXPECT_FALSE(fs::exists(dir.path() / "b4.zvp"));  // the oldest backup
    EXPECT_TRUE(fs::exists(dir.path() / "notes.txt"));
    EXPECT_TRUE(fs::exists(dir.path() / "b0.zvp"));
    EXPECT_FALSE(delete_oldest_backup(dir.path(), 5));
    EXPECT_FALSE(delete_oldest_backup(dir.path() / "missing", 5));
}

TEST(AutoBackupFiles, FolderComparisonIgnoresCaseAndSeparators) {
    EXPECT_TRUE(is_in_folder("/data/Autoback/x.zvp", "/data/Autoback/"));
    EXPECT_TRUE(is_in_folder("/DATA/autoback/x.zvp", "/data/Autoback"));
    EXPECT_TRUE(is_in_folder("\\data\\Autoback\\x.zvp", "/data/Autoback/"));
    EXPECT_FALSE(is_in_folder("/data/Autoback/sub/x.zvp", "/data/Autoback/"));
    EXPECT_FALSE(is_in_folder("Noname", "/data/Autoback/"));
}

TEST(AutoBackupRun, WritesOnlyWhenSavedInThisRunAndDue) {
    test::TempDir dir;
    Project project;
    project.path_and_file_name = "/somewhere/level.xml";
    project.modified = true;
    AutoBackup backup(dir.path());
    backup.restart(0);
    BackupSettings settings{true, 2, 5};
    const std::tm when = at(2020, 1, 2, 3, 4, 5);

    // Loaded but never saved in this run: never backed up, however long it waits.
    EXPECT_EQ(backup.tick(settings, project, false, 10 * 60000, when), AutoBackup::Result::NotDue);
    EXPECT_FALSE(fs::exists(backup.folder()));
    // Saved, but the interval has not passed.
    EXPECT_EQ(backup.tick(settings, project, true, 2 * 60000 - 1, when), AutoBackup::Result::NotDue);
    // Due: written under the time's name, the project unchanged.
    EXPECT_EQ(backup.tick(settings, project, true, 2 * 60000, when), AutoBackup::Result::Written);
    EXPECT_TRUE(fs::exists(backup.folder() / "2020-01-02_03-04-05.zvp"));
    EXPECT_EQ(project.path_and_file_name, "/somewhere/level.xml");
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(backup.last_ms(), 2 * 60000);
    EXPECT_EQ(backup.tick(settings, project, true, 3 * 60000, when), AutoBackup::Result::NotDue);
    // Switched off: nothing.
    settings.enabled = false;
    EXPECT_EQ(backup.tick(settings, project, true, 60 * 60000, when), AutoBackup::Result::NotDue);
}

TEST(AutoBackupRun, SixFilesWithMaximumFiveDeletesTheOldest) {
    test::TempDir dir;
    AutoBackup backup(dir.path());
    fs::create_directories(backup.folder());
    for (int i = 0; i < 5; ++i)
        touch(backup.folder() / ("2000-01-0" + std::to_string(i + 1) + "_00-00-00.zvp"), 100 - i);
    Project project;
    project.path_and_file_name = "/x/level.zvp";
    backup.restart(0);
    ASSERT_EQ(backup.tick({true, 1, 5}, project, true, 60000, at(2030, 5, 6, 7, 8, 9)),
              AutoBackup::Result::Written);
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(backup.folder())) {
        (void)entry;
        ++count;
    }
    EXPECT_EQ(count, 5u);
    EXPECT_FALSE(fs::exists(backup.folder() / "2000-01-01_00-00-00.zvp"));
    EXPECT_TRUE(fs::exists(backup.folder() / "2030-05-06_07-08-09.zvp"));
}

TEST(AutoBackupRun, ProjectInsideTheBackupFolderIsNotBackedUp) {
    test::TempDir dir;
    AutoBackup backup(dir.path());
    Project project;
    project.path_and_file_name = (backup.folder() / "2000-01-01_00-00-00.zvp").string();
    EXPECT_EQ(backup.tick({true, 1, 5}, project, true, 60000, at(2030, 1, 1, 0, 0, 0)),
              AutoBackup::Result::Skipped);
}

TEST(AutoBackupRun, UnwritableFolderFailsAndRetriesNextTick) {
    test::TempDir dir;
    // A file where the data folder's Autoback folder should be.
    test::write_file((dir.path() / "Autoback").string(), "not a folder");
    AutoBackup backup(dir.path());
    Project project;
    project.path_and_file_name = "/x/level.zvp";
    EXPECT_EQ(backup.tick({true, 1, 5}, project, true, 60000, at(2030, 1, 1, 0, 0, 0)),
              AutoBackup::Result::Failed);
    EXPECT_EQ(backup.last_ms(), 0);
}

}  // namespace
}  // namespace zorva
