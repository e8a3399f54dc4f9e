// The main window on the offscreen platform: menus and keys from the command table, opening by menu,
// recent entry and drop, the save question on close, the view toggles and modes, the tool windows' shown
// bits across a restart, help and the About box, and the viewport painting a project.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <filesystem>
#include <memory>

#include "app/command_table.h"
#include "app/dialogs/preferences_dialog.h"
#include "app/windows/list_window.h"
#include "app/windows/main_window.h"
#include "app/windows/viewport_widget.h"
#include "editor_test_support.h"
#include "prefs/preferences.h"
#include "support/project_builder.h"
#include "support/project_file.h"
#include "support/qt_test_app.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

QString qs(const std::string& text) { return QString::fromStdString(text); }

struct EditorFixture : ::testing::Test {
    EditorFixture() { test::qt_app(); }

    std::unique_ptr<MainWindow> make_window() {
        auto window = std::make_unique<MainWindow>(prefs, platform, dir.path() / "data");
        window->set_url_opener([this](const QUrl& url) {
            opened_urls.push_back(url);
            return true;
        });
        return window;
    }
    std::string file(const std::string& name) const { return dir.file(name); }
    MainWindow& window() {
        if (!main) main = make_window();
        return *main;
    }

    test::TempDir dir;
    Preferences prefs;
    test::ChooserPlatform platform;
    std::vector<QUrl> opened_urls;
    std::unique_ptr<MainWindow> main;
};

QAction* find_menu(QMenuBar* bar, const QString& title) {
    for (QAction* a : bar->actions())
        if (a->text() == title) return a;
    return nullptr;
}

TEST_F(EditorFixture, MenusCarryEveryCommandWithItsTextAndKeys) {
    MainWindow& w = window();
    QStringList titles;
    for (QAction* a : w.menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&Edit", "&New", "&Transform", "&Path", "&Mode", "&View",
                                   "&Window", "&Help"}));
    for (const Command& c : command_table()) {
        QAction* a = w.action(c.id);
        if (c.id == cmd::kRecentProjects) continue;
        ASSERT_NE(a, nullptr) << c.id;
        if (c.id != cmd::kUndoItem && c.id != cmd::kRedoItem) {
            EXPECT_EQ(a->text(), qs(std::string(c.text))) << c.id;
        }
        if (!c.text.empty()) {
            EXPECT_FALSE(a->associatedObjects().isEmpty()) << c.id;
        }
    }
    EXPECT_EQ(w.action(cmd::kToolMove)->shortcut(), QKeySequence(Qt::Key_M));
    EXPECT_EQ(w.action(cmd::kZoomInKeypad)->shortcut(), QKeySequence(Qt::KeypadModifier | Qt::Key_Plus));
    EXPECT_EQ(w.action(cmd::kFillTileAttributes)->shortcut(), QKeySequence("Ctrl+Shift+F"));
    EXPECT_EQ(w.action(cmd::kUndoItem)->text(), "Undo\tCtrl+Z");
    // The recent projects item became a submenu of the same name.
    ASSERT_NE(w.recent_menu(), nullptr);
    EXPECT_EQ(w.recent_menu()->title(), "&Recent Projects");
}

TEST_F(EditorFixture, CommandsNotBuiltYetAreDisabled) {
    MainWindow& w = window();
    // Cut, Copy and Paste wait for a selection and a clipboard; the others are not built yet.
    for (int id : {cmd::kCut, cmd::kCopy, cmd::kPaste, cmd::kFlipHorizontal, cmd::kReversePath,
                   cmd::kEditPathPoints}) {
        EXPECT_FALSE(w.action(id)->isEnabled()) << id;
        EXPECT_FALSE(w.run_command(id)) << id;
    }
    for (int id :
         {cmd::kNew,          cmd::kOpen,         cmd::kSave,        cmd::kSaveAs,      cmd::kImportBinaryMap,
          cmd::kImportTmxMap, cmd::kExport,       cmd::kQuickExport, cmd::kPreferences, cmd::kExit,
          cmd::kZoom200,      cmd::kViewGridItem, cmd::kMapsDialog,  cmd::kTilesDialog, cmd::kMosaicsDialog,
          cmd::kHelp,         cmd::kAbout,        cmd::kNewTileSet,  cmd::kNewMap,      cmd::kNewLayer,
          cmd::kNewEntity})
        EXPECT_TRUE(w.action(id)->isEnabled()) << id;
    // Nothing to undo yet.
    EXPECT_FALSE(w.action(cmd::kUndo)->isEnabled());
}

// The tool commands select their tools, by menu, button and key, and are checked as the tool is; the
// tool windows' commands are checked while their windows are shown.
TEST_F(EditorFixture, ToolCommandsSelectTheirToolsAndTheWindowsAreCheckedWhileShown) {
    for (FlagA bit : {FlagA::ShowTilesWindow, FlagA::ShowSelectedEntitiesWindow, FlagA::ShowMosaicsWindow,
                      FlagA::ShowMapsWindow})
        prefs.set_flag(bit, true);
    prefs.set_flag(FlagA::ShowLayersWindow, false);
    prefs.set_flag(FlagA::SnapToGrid, false);
    MainWindow& w = window();
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_TRUE(w.action(cmd::kToolPlacement)->isChecked());
    for (int id : {cmd::kToolPlacement, cmd::kToolEraser, cmd::kToolSelect, cmd::kToolMove,
                   cmd::kToolExtraPlacement, cmd::kSnapToGrid})
        EXPECT_TRUE(w.action(id)->isEnabled()) << id;
    EXPECT_TRUE(w.action(cmd::kSelectedEntitiesDialog)->isEnabled());
    EXPECT_TRUE(w.action(cmd::kSelectedEntitiesDialog)->isChecked());
    EXPECT_TRUE(w.action(cmd::kTilesDialog)->isChecked());
    EXPECT_TRUE(w.action(cmd::kMosaicsDialog)->isChecked());
    // The list windows are checked when they are shown.
    EXPECT_TRUE(w.action(cmd::kMapsDialog)->isChecked());
    EXPECT_FALSE(w.action(cmd::kLayersDialog)->isChecked());
    w.list_window(ListKind::Maps)->close();
    w.refresh_commands();
    EXPECT_FALSE(w.action(cmd::kMapsDialog)->isChecked());

    w.viewport()->setFocus();
    QTest::keyClick(w.viewport(), Qt::Key_M);
    EXPECT_EQ(w.edit_state().tool(), Tool::Move);
    EXPECT_TRUE(w.action(cmd::kToolMove)->isChecked());
    EXPECT_FALSE(w.action(cmd::kToolPlacement)->isChecked());
    QTest::keyClick(w.viewport(), Qt::Key_E);
    EXPECT_EQ(w.edit_state().tool(), Tool::Eraser);
    QTest::keyClick(w.viewport(), Qt::Key_D);  // shown in the Move item, but M is the key
    EXPECT_EQ(w.edit_state().tool(), Tool::Eraser);
    QTest::keyClick(w.viewport(), Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(prefs.flag(FlagA::SnapToGrid));
    EXPECT_TRUE(w.action(cmd::kSnapToGrid)->isChecked());
    // The toolbar buttons follow.
    for (QAction* button : w.findChildren<QAction*>()) {
        if (!button->objectName().startsWith("button_")) continue;
        const int id = button->data().toInt();
        if (id == cmd::kToolEraser) {
            EXPECT_TRUE(button->isChecked());
        }
        if (id == cmd::kToolMove) {
            EXPECT_FALSE(button->isChecked());
        }
    }
    // Extra Placement is a tool of the Tiles mode only.
    QTest::keyClick(w.viewport(), Qt::Key_Y);
    ASSERT_EQ(w.edit_state().mode(), EditMode::Entities);
    EXPECT_FALSE(w.action(cmd::kToolExtraPlacement)->isEnabled());
}

TEST_F(EditorFixture, OpenByMenuFillsTheListWindowsAndTitle) {
    ASSERT_TRUE(test::write_small_project(file("level.xml"), "Meadow"));
    MainWindow& w = window();
    platform.open_files.push_back(file("level.xml"));
    ASSERT_TRUE(w.run_command(cmd::kOpen));
    EXPECT_EQ(w.project().path_and_file_name, file("level.xml"));
    EXPECT_EQ(w.windowTitle(), qs("Zorva: " + file("level.xml")));
    ListWindow* maps = w.list_window(ListKind::Maps);
    ASSERT_EQ(maps->list()->count(), 1);
    EXPECT_EQ(maps->list()->item(0)->text(), "Meadow     [T:?] [E]");
    EXPECT_EQ(maps->windowTitle(), "Maps (1)");
    EXPECT_EQ(w.list_window(ListKind::Layers)->windowTitle(), "Layers (1)");
    EXPECT_EQ(w.list_window(ListKind::Entities)->windowTitle(), "Entities (0)");
    EXPECT_FALSE(w.list_window(ListKind::Entities)->list()->isEnabled());
    w.update_status();
    EXPECT_EQ(w.view_pane()->text(), "View: 0, 0");
    EXPECT_EQ(w.cursor_pane()->text(), "(0, 0) / (0, 0)  T:0");
}

// A left click on a line of a list window, as the user gives it.
void click_line(ListWindow* window, int row) {
    QListWidget* list = window->list();
    QListWidgetItem* item = list->item(row);
    ASSERT_NE(item, nullptr) << row;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// The value of `name="..."` in a saved XML project (the first one).
std::string saved_attribute(const std::string& xml, const std::string& name) {
    const std::string key = name + "=\"";
    const std::size_t at = xml.find(key);
    if (at == std::string::npos) return "(missing)";
    const std::size_t from = at + key.size();
    return xml.substr(from, xml.find('"', from) - from);
}

TEST_F(EditorFixture, SelectingInTheListWindowsMovesBetweenMapsAndLayers) {
    test::TestProject t;
    t.add_tile_set("Cave", 16, 16);
    t.add_tile_set("Dungeon", 16, 16);
    t.add_parent("Bat");
    t.add_parent("Slime");
    for (const char* name : {"One", "Two"}) {
        Map& map = t.add_map(name);
        for (const char* layer_name : {"Back", "Front"})
            t.add_layer(map, std::string(name) + layer_name, 4, 4);
    }
    Project& built = t.project;
    built.select_map(built.maps[0]->unique_id);
    built.select_tile_set(built.tile_sets[0]->unique_id);
    built.select_parent_entity(built.parent_entities[0]->unique_id);
    ASSERT_TRUE(test::write_project_file(t, file("two.xml")));

    for (FlagA bit : {FlagA::ShowMapsWindow, FlagA::ShowLayersWindow, FlagA::ShowEntitiesWindow,
                      FlagA::ShowTileSetsWindow})
        prefs.set_flag(bit, true);
    MainWindow& w = window();
    w.session().set_missing_resources_check(
        [](Project&, const std::string&) { return MissingResourcesOutcome::NoneMissing; });
    ASSERT_TRUE(w.open_project(file("two.xml")));
    w.show();
    ListWindow* maps = w.list_window(ListKind::Maps);
    ListWindow* layers = w.list_window(ListKind::Layers);
    ListWindow* tile_sets = w.list_window(ListKind::TileSets);
    ListWindow* entities = w.list_window(ListKind::Entities);
    for (ListWindow* list : {maps, layers, tile_sets, entities})
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    const Project& p = w.project();
    EXPECT_EQ(maps->current_id(), p.maps[0]->unique_id);

    // The second map: its line stays selected and its layers are listed.
    click_line(maps, 1);
    ASSERT_EQ(p.selected_map(), p.maps[1].get());
    EXPECT_EQ(maps->current_id(), p.maps[1]->unique_id);
    EXPECT_TRUE(maps->list()->item(1)->isSelected());
    EXPECT_EQ(layers->windowTitle(), "Layers (2)");
    EXPECT_TRUE(layers->list()->isEnabled());
    ASSERT_EQ(layers->list()->count(), 2);
    EXPECT_TRUE(layers->list()->item(0)->text().startsWith("TwoBack"));
    EXPECT_FALSE(maps->controls().move_down);
    EXPECT_TRUE(maps->controls().move_up);
    // Clicking the selected line again keeps it.
    click_line(maps, 1);
    EXPECT_EQ(p.selected_map(), p.maps[1].get());
    // Back to the first map and on to the second again.
    click_line(maps, 0);
    EXPECT_EQ(p.selected_map(), p.maps[0].get());
    EXPECT_TRUE(maps->controls().move_down);
    click_line(maps, 1);
    EXPECT_EQ(p.selected_map(), p.maps[1].get());

    click_line(layers, 1);
    ASSERT_NE(p.selected_layer(), nullptr);
    EXPECT_EQ(p.selected_layer()->name, "TwoFront");
    EXPECT_TRUE(layers->list()->item(1)->isSelected());
    click_line(tile_sets, 1);
    ASSERT_NE(p.selected_tile_set(), nullptr);
    EXPECT_EQ(p.selected_tile_set()->name, "Dungeon");
    click_line(entities, 1);
    ASSERT_NE(p.selected_parent_entity(), nullptr);
    EXPECT_EQ(p.selected_parent_entity()->name, "Slime");
    // The object buttons follow the selection.
    EXPECT_TRUE(maps->button("New")->isEnabled());
    EXPECT_TRUE(maps->button("Move Up")->isEnabled());
    EXPECT_FALSE(maps->button("Move Down")->isEnabled());
    EXPECT_EQ(maps->button("Move Up")->toolTip(), "Move Up");

    // The saved file holds what was clicked.
    w.project().modified = true;
    ASSERT_TRUE(w.run_command(cmd::kSave));
    const std::string saved = test::read_file(file("two.xml"));
    EXPECT_EQ(saved_attribute(saved, "selected_map_id"), std::to_string(p.maps[1]->unique_id));
    EXPECT_EQ(saved_attribute(saved, "selected_layer_id"), std::to_string(p.maps[1]->layers[1]->unique_id));
    EXPECT_EQ(saved_attribute(saved, "selected_tile_set_id"), std::to_string(p.tile_sets[1]->unique_id));
    EXPECT_EQ(saved_attribute(saved, "selected_parent_entity_id"),
              std::to_string(p.parent_entities[1]->unique_id));
}

TEST_F(EditorFixture, RecentEntryOpensItsProject) {
    ASSERT_TRUE(test::write_small_project(file("recent.xml"), "Recent"));
    prefs.add_recent(file("recent.xml"));
    MainWindow& w = window();
    w.refresh_commands();
    ASSERT_EQ(w.recent_menu()->actions().size(), 1);
    QAction* item = w.recent_menu()->actions()[0];
    EXPECT_EQ(item->text(), qs("&1 " + file("recent.xml")));
    item->trigger();
    ASSERT_EQ(w.project().maps.size(), 1u);
    EXPECT_EQ(w.project().maps[0]->name, "Recent");
}

TEST_F(EditorFixture, RecentSubmenuWithCountThreeAndFivePaths) {
    prefs.set_recent_count(3);
    for (int k = 0; k < 5; ++k)
        prefs.set_text(pref_offset::kRecentProjects + static_cast<std::size_t>(k) * kPreferencesTextSize,
                       "/projects/p" + std::to_string(k) + ".xml");
    MainWindow& w = window();
    w.refresh_commands();
    const QList<QAction*> items = w.recent_menu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), "&1 /projects/p0.xml");
    EXPECT_EQ(items[1]->text(), "&2 /projects/p1.xml");
    EXPECT_EQ(items[2]->text(), "&3 /projects/p2.xml");
}

TEST_F(EditorFixture, DroppedFilesOpenOnlyTheFirst) {
    ASSERT_TRUE(test::write_small_project(file("first.XML"), "First"));
    ASSERT_TRUE(test::write_small_project(file("second.xml"), "Second"));
    MainWindow& w = window();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(qs(file("first.XML"))), QUrl::fromLocalFile(qs(file("second.xml")))});
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QApplication::sendEvent(&w, &drop);
    ASSERT_EQ(w.project().maps.size(), 1u);
    EXPECT_EQ(w.project().maps[0]->name, "First");
    EXPECT_TRUE(platform.shown.empty());

    test::write_file(file("map.txt"), "text");
    EXPECT_FALSE(w.open_dropped({QUrl::fromLocalFile(qs(file("map.txt")))}));
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, "Load Error");
    EXPECT_NE(platform.shown[0].text.find("The file has an invalid extension:"), std::string::npos);
    EXPECT_EQ(w.project().maps[0]->name, "First");
}

TEST_F(EditorFixture, CloseAsksToSaveChanges) {
    MainWindow& w = window();
    w.project().modified = true;
    platform.answers = {Answer::Cancel};
    EXPECT_FALSE(w.close());
    EXPECT_EQ(platform.shown.back().caption, "Save changes?");
    EXPECT_FALSE(fs::exists(Preferences::settings_file(dir.path() / "data")));

    platform.answers = {Answer::No};
    EXPECT_TRUE(w.close());
    EXPECT_TRUE(fs::exists(Preferences::settings_file(dir.path() / "data")));
}

TEST_F(EditorFixture, HideAllDialogsSurvivesARestart) {
    {
        auto first = make_window();
        first->run_command(cmd::kShowAllDialogs);
        for (ListKind kind : {ListKind::Maps, ListKind::Layers, ListKind::Entities, ListKind::TileSets})
            EXPECT_FALSE(first->list_window(kind)->isHidden());
        first->run_command(cmd::kHideAllDialogs);
        for (ListKind kind : {ListKind::Maps, ListKind::Layers, ListKind::Entities, ListKind::TileSets})
            EXPECT_TRUE(first->list_window(kind)->isHidden());
        EXPECT_FALSE(first->action(cmd::kMapsDialog)->isChecked());
        ASSERT_TRUE(first->shut_down());
    }
    Preferences reloaded;
    ASSERT_TRUE(reloaded.load(Preferences::settings_file(dir.path() / "data")));
    for (FlagA bit : {FlagA::ShowMapsWindow, FlagA::ShowLayersWindow, FlagA::ShowEntitiesWindow,
                      FlagA::ShowTileSetsWindow, FlagA::ShowTilesWindow, FlagA::ShowSelectedEntitiesWindow,
                      FlagA::ShowMosaicsWindow})
        EXPECT_FALSE(reloaded.flag(bit));
    EXPECT_TRUE(reloaded.tool_window_rect_stored(ToolWindow::Maps));
    prefs = reloaded;
    MainWindow second(prefs, platform, dir.path() / "data");
    second.show();
    for (ListKind kind : {ListKind::Maps, ListKind::Layers, ListKind::Entities, ListKind::TileSets})
        EXPECT_TRUE(second.list_window(kind)->isHidden());
    // The window menu item shows and checks one again.
    second.run_command(cmd::kLayersDialog);
    EXPECT_FALSE(second.list_window(ListKind::Layers)->isHidden());
    EXPECT_TRUE(second.action(cmd::kLayersDialog)->isChecked());
    EXPECT_TRUE(prefs.flag(FlagA::ShowLayersWindow));
    second.shut_down();
}

// A tool window comes back where it was left, with the same size, restart after restart (the rectangle
// stored is the one restored, not one with the frame and one without).
TEST_F(EditorFixture, ToolWindowRectangleStaysPutAcrossRestarts) {
    prefs.set_flag(FlagA::ShowMapsWindow, true);
    prefs.set_flag(FlagA::ShowLayersWindow, true);
    QRect left_at;
    QRect framed_at;
    for (int run = 0; run < 3; ++run) {
        auto w = make_window();
        w->show();
        ListWindow* maps = w->list_window(ListKind::Maps);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(maps));
        if (run == 0) {
            maps->move(300, 200);
            maps->resize(250, 230);
            QTest::qWait(20);
            left_at = maps->geometry();
            framed_at = maps->frameGeometry();
        }
        EXPECT_EQ(maps->geometry(), left_at) << "run " << run;
        EXPECT_EQ(maps->frameGeometry(), framed_at) << "run " << run;
        ASSERT_TRUE(w->shut_down());
        const WindowRect stored = prefs.tool_window_rect(ToolWindow::Maps);
        EXPECT_EQ(QRect(QPoint(stored.left, stored.top), QPoint(stored.right - 1, stored.bottom - 1)),
                  left_at);
    }
}

// The backup interval of a new project counts from the start: saving it for the first time does not make
// a backup due.
TEST_F(EditorFixture, FirstSaveOfANewProjectWaitsTheBackupInterval) {
    prefs.set_flag(FlagA::EnableAutoBackup, true);
    prefs.set_backup_interval_minutes(1);
    MainWindow& w = window();
    platform.save_files.push_back(SaveChoice{file("new.zvp"), 0});
    ASSERT_TRUE(w.run_command(cmd::kSave));
    ASSERT_TRUE(w.session().saved_in_this_run());
    EXPECT_EQ(w.session().try_auto_backup(), AutoBackup::Result::NotDue);
    EXPECT_FALSE(fs::exists(dir.path() / "data" / "Autoback"));
    // The clock runs from the window's start.
    EXPECT_GE(w.session().auto_backup().last_ms(), 0);
    EXPECT_LT(w.session().auto_backup().last_ms(), 60000);
}

TEST_F(EditorFixture, ViewTogglesFlipTheirBitsAndFollowTheModeRules) {
    MainWindow& w = window();
    const bool grid = prefs.flag(FlagA::ViewGrid);
    w.run_command(cmd::kViewGridItem);
    EXPECT_NE(prefs.flag(FlagA::ViewGrid), grid);
    EXPECT_EQ(w.action(cmd::kViewGridItem)->isChecked(), !grid);
    w.run_command(cmd::kViewGrid);
    EXPECT_EQ(prefs.flag(FlagA::ViewGrid), grid);

    // The tool commands wait for the editing tools, so the tool is set as they will set it.
    w.edit_state().set_tool(Tool::ExtraPlacement);
    ASSERT_TRUE(w.run_command(cmd::kEditEntities));
    EXPECT_EQ(w.edit_state().mode(), EditMode::Entities);
    EXPECT_EQ(w.edit_state().tool(), Tool::Placement);
    EXPECT_TRUE(w.action(cmd::kEditEntities)->isChecked());
    // Hiding entities in the Entities mode goes back to Tiles, and the mode is refused while hidden.
    w.run_command(cmd::kViewEntities);
    EXPECT_FALSE(prefs.flag(FlagA::ViewEntities));
    EXPECT_EQ(w.edit_state().mode(), EditMode::Tiles);
    EXPECT_FALSE(w.run_command(cmd::kEditEntities));
    EXPECT_EQ(w.edit_state().mode(), EditMode::Tiles);

    w.run_command(cmd::kViewPathLineNormals);
    EXPECT_TRUE(prefs.flag(FlagC::ViewPathLineNormals));
    w.run_command(cmd::kViewEntitiesCustomVariables);
    EXPECT_TRUE(prefs.view_entities_custom_variables());
}

TEST_F(EditorFixture, KeysReachTheirCommands) {
    ASSERT_TRUE(test::write_small_project(file("keys.xml")));
    MainWindow& w = window();
    ASSERT_TRUE(w.open_project(file("keys.xml")));
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.viewport()->setFocus();

    QTest::keyClick(w.viewport(), Qt::Key_Equal);
    EXPECT_EQ(w.project().zoom, 110u);
    QTest::keyClick(w.viewport(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(w.project().zoom, 200u);
    EXPECT_TRUE(w.action(cmd::kZoom200)->isChecked());
    QTest::keyClick(w.viewport(), Qt::Key_Minus);
    EXPECT_EQ(w.project().zoom, 190u);
    QTest::keyClick(w.viewport(), Qt::Key_Y);
    EXPECT_EQ(w.edit_state().mode(), EditMode::Entities);
    QTest::keyClick(w.viewport(), Qt::Key_T);
    EXPECT_EQ(w.edit_state().mode(), EditMode::Tiles);
    const bool grid = prefs.flag(FlagA::ViewGrid);
    QTest::keyClick(w.viewport(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_NE(prefs.flag(FlagA::ViewGrid), grid);

    // With inverted cursor keys (the default) Left lowers the camera column.
    ASSERT_TRUE(prefs.flag(FlagA::InvertCursorKeys));
    Map* map = w.project().selected_map();
    ASSERT_NE(map, nullptr);
    const std::int32_t column = map->camera_grid_position_x;
    QTest::keyClick(w.viewport(), Qt::Key_Right);
    EXPECT_EQ(map->camera_grid_position_x, column + 1);
    QTest::keyClick(w.viewport(), Qt::Key_Home);
    EXPECT_EQ(map->camera_grid_position_x, 0);

    // The zoom field sets the zoom when editing ends.
    w.zoom_field()->setText("250");
    emit w.zoom_field()->editingFinished();
    EXPECT_EQ(w.project().zoom, 250u);
    w.project().modified = false;
    w.shut_down();
}

TEST_F(EditorFixture, WheelZoomsOverTheViewAndOverAListWindowsButtons) {
    ASSERT_TRUE(test::write_small_project(file("wheel.xml")));
    MainWindow& w = window();
    ASSERT_TRUE(w.open_project(file("wheel.xml")));
    w.resize(800, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_TRUE(prefs.flag(FlagA::EnableMouseWheelZoom));
    const QPointF at(50, 50);
    QWheelEvent up(at, w.viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.viewport(), &up);
    EXPECT_EQ(w.project().zoom, 110u);
    // Half a notch does nothing yet.
    QWheelEvent half(at, w.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -60), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.viewport(), &half);
    EXPECT_EQ(w.project().zoom, 110u);

    ListWindow* maps = w.list_window(ListKind::Maps);
    QWheelEvent over_button(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                            Qt::NoModifier, Qt::NoScrollPhase, false);
    QTest::qWait(60);  // a pause starts a new accumulation
    QApplication::sendEvent(maps, &over_button);
    EXPECT_EQ(w.project().zoom, 100u);

    prefs.set_flag(FlagA::EnableMouseWheelZoom, false);
    QApplication::sendEvent(w.viewport(), &up);
    EXPECT_EQ(w.project().zoom, 100u);
}

TEST_F(EditorFixture, ListWindowDraggedPastTheScreenEdgeComesBack) {
    prefs.set_flag(FlagA::AllowDialogsOffScreen, false);
    prefs.set_flag(FlagA::ShowMapsWindow, true);
    MainWindow& w = window();
    w.show();
    ListWindow* maps = w.list_window(ListKind::Maps);
    ASSERT_FALSE(maps->isHidden());
    const QRect area = maps->screen()->availableGeometry();
    maps->move(area.right() + 500, area.top() + 10);
    EXPECT_EQ(maps->frameGeometry().right(), area.right());
    maps->move(area.left() - 50, area.top() - 50);
    EXPECT_EQ(maps->frameGeometry().topLeft(), area.topLeft());

    // Allowed off screen: left where it was put.
    prefs.set_flag(FlagA::AllowDialogsOffScreen, true);
    auto other = make_window();
    other->show();
    ListWindow* free = other->list_window(ListKind::Maps);
    free->move(area.right() + 500, area.top() + 10);
    EXPECT_EQ(free->pos().x(), area.right() + 500);
}

TEST_F(EditorFixture, HelpOpensOurPageAndAboutNamesTheLibraries) {
    MainWindow& w = window();
    ASSERT_TRUE(w.run_command(cmd::kHelp));
    ASSERT_EQ(opened_urls.size(), 1u);
    EXPECT_TRUE(opened_urls[0].isLocalFile());
    EXPECT_TRUE(opened_urls[0].toLocalFile().endsWith("help.html"));
    EXPECT_TRUE(QFileInfo::exists(opened_urls[0].toLocalFile()));

    ASSERT_TRUE(w.run_command(cmd::kAbout));
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, "About Zorva");
    for (const char* library : {"Qt ", "pugixml", "libpng", "zlib"})
        EXPECT_NE(platform.shown[0].text.find(library), std::string::npos) << library;
}

// F1 in a dialog opens the main window's help; without a browser the user is told where the file is.
TEST_F(EditorFixture, F1InADialogOpensTheHelpAndAFailureNamesTheFile) {
    MainWindow& w = window();
    w.show();
    bool pressed = false;
    test::when_modal_opens([&](QWidget* dialog) {
        QWidget* focused = QApplication::focusWidget();
        QTest::keyClick(focused && dialog->isAncestorOf(focused) ? focused : dialog, Qt::Key_F1);
        pressed = true;
        dialog->close();
    });
    w.run_command(cmd::kPreferences);
    ASSERT_TRUE(pressed);
    ASSERT_EQ(opened_urls.size(), 1u);
    EXPECT_EQ(opened_urls[0], w.help_url());
    EXPECT_TRUE(platform.shown.empty());

    w.set_url_opener([](const QUrl&) { return false; });
    ASSERT_TRUE(w.run_command(cmd::kHelp));
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, "Help");
    const std::string path = w.help_url().toLocalFile().toStdString();
    ASSERT_TRUE(fs::path(path).is_absolute()) << path;
    EXPECT_NE(platform.shown[0].text.find(path), std::string::npos) << platform.shown[0].text;
}

TEST_F(EditorFixture, ViewportPaintsTheProjectInOneFrame) {
    const std::string sample = std::string(ZORVA_TEST_SOURCE_DIR) + "/../examples/SampleProjects/Sample.xml";
    MainWindow& w = window();
    w.session().set_missing_resources_check(
        [](Project&, const std::string&) { return MissingResourcesOutcome::NoneMissing; });
    ASSERT_TRUE(w.open_project(fs::exists(sample) ? sample : file("none.xml"))) << sample;
    w.resize(900, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.request_redraw(true);
    QTRY_VERIFY(w.viewport()->paint_count() > 0);
    const QImage frame = w.viewport()->grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < frame.height(); y += 7)
        for (int x = 0; x < frame.width(); x += 7) colours.insert(frame.pixel(x, y));
    EXPECT_GT(colours.size(), 8);

    if (const char* out = std::getenv("ZORVA_SCREENSHOT_DIR")) {
        const QString folder = out;
        w.grab().save(folder + "/editor-100.png");
        w.run_command(cmd::kZoom200);
        w.request_redraw(true);
        QTest::qWait(200);
        w.grab().save(folder + "/editor-200.png");
    }
    w.project().modified = false;
}

// Every mouse and key event of the viewport reaches the tools as one input, with the cell and the layer
// pixel under the cursor.
TEST_F(EditorFixture, ViewportEventsReachTheToolsAsInputs) {
    const std::string sample = std::string(ZORVA_TEST_SOURCE_DIR) + "/../examples/SampleProjects/Sample.xml";
    MainWindow& w = window();
    w.session().set_missing_resources_check(
        [](Project&, const std::string&) { return MissingResourcesOutcome::NoneMissing; });
    ASSERT_TRUE(w.open_project(sample));
    w.resize(900, 600);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    std::vector<ToolInput> inputs;
    w.viewport()->set_tool_input(&w.navigator(), [&](const ToolInput& input) {
        inputs.push_back(input);
        return false;
    });
    QWidget* view = w.viewport();
    QTest::mousePress(view, Qt::LeftButton, Qt::ShiftModifier, QPoint(40, 70));
    QTest::mouseMove(view, QPoint(75, 70));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(75, 70));
    QTest::mouseDClick(view, Qt::RightButton, {}, QPoint(75, 70));
    QTest::keyClick(view, Qt::Key_Z);
    QTest::keyClick(view, Qt::Key_4, Qt::KeypadModifier);

    auto first = [&](InputKind kind) {
        for (const ToolInput& input : inputs)
            if (input.kind == kind) return input;
        ADD_FAILURE() << "no input of kind " << static_cast<int>(kind);
        return ToolInput{};
    };
    const ToolInput press = first(InputKind::Press);
    EXPECT_EQ(press.button, MouseButton::Left);
    EXPECT_TRUE(press.shift());
    EXPECT_EQ(press.view, (ViewPoint{40, 70}));
    ASSERT_TRUE(press.cell.has_value());
    EXPECT_EQ(press.cell, w.navigator().cell_under(ViewPoint{40, 70}));
    ASSERT_TRUE(press.pixel.has_value());
    EXPECT_FLOAT_EQ(press.pixel->x, w.navigator().layer_pixel_under(ViewPoint{40, 70})->x);
    const ToolInput move = first(InputKind::Move);
    EXPECT_EQ(move.buttons, kButtonLeft);
    EXPECT_EQ(move.cell, w.navigator().cell_under(ViewPoint{75, 70}));
    EXPECT_NE(move.cell, press.cell);
    EXPECT_EQ(first(InputKind::Release).button, MouseButton::Left);
    EXPECT_EQ(first(InputKind::DoubleClick).button, MouseButton::Right);
    std::vector<Key> keys;
    for (const ToolInput& input : inputs)
        if (input.kind == InputKind::KeyDown) keys.push_back(input.key);
    EXPECT_EQ(keys, (std::vector<Key>{Key::Z, Key::Keypad4}));
    w.project().modified = false;
}

// Screenshots of the whole screen with a menu and the Preferences dialog open; only under a real display
// (xvfb) with ZORVA_SCREENSHOT_DIR set.
TEST_F(EditorFixture, ScreenshotsWithMenusAndPreferences) {
    const char* out = std::getenv("ZORVA_SCREENSHOT_DIR");
    if (!out || QGuiApplication::platformName() == "offscreen") GTEST_SKIP() << "needs a display";
    const QString folder = out;
    const std::string sample = std::string(ZORVA_TEST_SOURCE_DIR) + "/../examples/SampleProjects/Sample.xml";
    MainWindow& w = window();
    ASSERT_TRUE(w.open_project(sample));
    w.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(300);
    for (const char* title : {"&View", "&Edit", "&File"}) {
        QAction* menu = find_menu(w.menuBar(), title);
        ASSERT_NE(menu, nullptr);
        const QPoint at = w.menuBar()->mapToGlobal(w.menuBar()->actionGeometry(menu).bottomLeft());
        menu->menu()->popup(at);
        QTest::qWait(300);
        QGuiApplication::primaryScreen()->grabWindow(0).save(folder + "/menu-" +
                                                             QString(title).remove('&').toLower() + ".png");
        menu->menu()->hide();
    }
    test::when_modal_opens([folder](QWidget* dialog) {
        QTest::qWait(300);
        QGuiApplication::primaryScreen()->grabWindow(0).save(folder + "/preferences.png");
        dialog->close();
    });
    w.run_command(cmd::kPreferences);
    w.project().modified = false;
}

}  // namespace
}  // namespace zorva
