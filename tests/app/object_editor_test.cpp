// The object commands in the running editor on the offscreen platform: the list windows' buttons,
// double-clicks and keys, the dialogs they open, and a whole project built from an empty one through the
// windows and dialogs only, saved, reopened and compared, with every command undone and redone back to
// the same saved file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <filesystem>
#include <memory>

#include "app/command_table.h"
#include "app/windows/list_window.h"
#include "app/windows/main_window.h"
#include "editor_test_support.h"
#include "object_test_support.h"
#include "prefs/preferences.h"
#include "projectfile/project_io.h"
#include "support/project_file.h"
#include "support/qt_test_app.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

struct ObjectEditorFixture : ::testing::Test {
    ObjectEditorFixture() {
        test::qt_app();
        for (FlagA bit : {FlagA::ShowMapsWindow, FlagA::ShowLayersWindow, FlagA::ShowEntitiesWindow,
                          FlagA::ShowTileSetsWindow})
            prefs.set_flag(bit, true);
    }
    ~ObjectEditorFixture() override {
        if (main) {
            main->project().modified = false;
            main->close();
        }
    }

    MainWindow& window() {
        if (!main) {
            main = std::make_unique<MainWindow>(prefs, platform, dir.path() / "data");
            main->session().set_missing_resources_check(
                [](Project&, const std::string&) { return MissingResourcesOutcome::NoneMissing; });
            main->show();
            QApplication::setActiveWindow(main.get());
            EXPECT_TRUE(QTest::qWaitForWindowActive(main.get()));
            for (ListKind kind : {ListKind::Maps, ListKind::Layers, ListKind::Entities, ListKind::TileSets})
                EXPECT_TRUE(QTest::qWaitForWindowExposed(main->list_window(kind)));
        }
        return *main;
    }
    ListWindow* list(ListKind kind) { return window().list_window(kind); }
    std::string file(const std::string& name) const { return dir.file(name); }

    test::TempDir dir;
    Preferences prefs;
    test::ChooserPlatform platform;
    std::unique_ptr<MainWindow> main;
};

void click_line(ListWindow* window, int row) {
    QListWidget* list = window->list();
    QListWidgetItem* item = list->item(row);
    ASSERT_NE(item, nullptr) << row;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// A double-click as the user gives it: a click, then the second press that the system reports as a double
// click.
void double_click_line(ListWindow* window, int row) {
    QListWidget* list = window->list();
    QListWidgetItem* item = list->item(row);
    ASSERT_NE(item, nullptr) << row;
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

// Makes a window the active one, so that its keys reach the window's shortcuts.
void activate(QWidget* window) {
    QApplication::setActiveWindow(window);
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
}

void click_button(ListWindow* window, const char* tool_tip) {
    QPushButton* button = window->button(tool_tip);
    ASSERT_NE(button, nullptr) << tool_tip;
    QTest::mouseClick(button, Qt::LeftButton);
}

QStringList lines(ListWindow* window) {
    QStringList texts;
    for (int row = 0; row < window->list()->count(); ++row) texts << window->list()->item(row)->text();
    return texts;
}

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = std::min(text.find('\n', from), text.size() - 1) + 1;
        result.push_back(text.substr(from, end - from));
        from = end;
    }
    return result;
}

template <class T>
T* child(QWidget* dialog, const char* name) {
    T* found = dialog->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Clicks into a field of a dialog, replaces its text by typing, and leaves it with Tab. The dialog is made
// the active window first: a click gives the focus only there, and only a field that had it is left.
void type_into(QWidget* dialog, const char* name, const QString& text) {
    QLineEdit* edit = child<QLineEdit>(dialog, name);
    if (!edit) return;
    if (QApplication::activeWindow() != edit->window()) {
        QApplication::setActiveWindow(edit->window());
        EXPECT_TRUE(QTest::qWaitForWindowActive(edit->window()));
    }
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(4, edit->height() / 2));
    EXPECT_TRUE(QTest::qWaitFor([edit] { return edit->hasFocus(); }, 1000)) << name;
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

void click_in(QWidget* dialog, const char* name) {
    auto* button = child<QAbstractButton>(dialog, name);
    if (button) QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Runs `fill` on the modal dialog titled `title` as soon as it is open; a dialog still open afterwards is
// closed (and the test fails) so that a broken step cannot hang the run. Returns a flag set when it ran.
std::shared_ptr<bool> in_dialog(const QString& title, std::function<void(QWidget*)> fill) {
    auto ran = std::make_shared<bool>(false);
    auto attempt = std::make_shared<std::function<void(int)>>();
    *attempt = [=](int left) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->windowTitle() == title) {
            *ran = true;
            EXPECT_TRUE(QTest::qWaitForWindowActive(modal));
            fill(modal);
            if (modal->isVisible() && QApplication::activeModalWidget() == modal) {
                ADD_FAILURE() << title.toStdString() << " was left open";
                if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            }
            *attempt = nullptr;  // ends the cycle of the shared function holding itself
        } else if (left > 0) {
            QTimer::singleShot(5, [attempt, left] {
                if (*attempt) (*attempt)(left - 1);
            });
        } else {
            *attempt = nullptr;
        }
    };
    QTimer::singleShot(5, [attempt] {
        if (*attempt) (*attempt)(400);
    });
    return ran;
}

TEST_F(ObjectEditorFixture, WithoutMapsOnlyNewIsEnabledAndTheLayersWindowWaitsForAMap) {
    ListWindow* maps = list(ListKind::Maps);
    EXPECT_EQ(maps->windowTitle(), "Maps (0)");
    for (const char* tip : {"Properties", "Move Up", "Move Down", "Lock", "Delete"})
        EXPECT_FALSE(maps->button(tip)->isEnabled()) << tip;
    EXPECT_TRUE(maps->button("New")->isEnabled());
    EXPECT_FALSE(maps->list()->isEnabled());
    EXPECT_FALSE(list(ListKind::Layers)->button("New")->isEnabled());
    EXPECT_FALSE(list(ListKind::Layers)->button("Visible")->isEnabled());
    for (const char* tip : {"Flip Horizontal", "Flip Vertical", "Rotate", "Properties"})
        EXPECT_FALSE(list(ListKind::Entities)->button(tip)->isEnabled()) << tip;
    EXPECT_TRUE(list(ListKind::TileSets)->button("New")->isEnabled());

    // The New Layer menu item says why it cannot work.
    ASSERT_TRUE(window().run_command(cmd::kNewLayer));
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, "No map");

    // A map added through its dialog enables the layers window's New.
    auto ran = in_dialog("New Map", [](QWidget* dialog) {
        type_into(dialog, "name", "First");
        click_in(dialog, "ok");
    });
    click_button(maps, "New");
    ASSERT_TRUE(*ran);
    EXPECT_EQ(lines(maps), QStringList{"First     [T:?] [E]"});
    EXPECT_EQ(maps->windowTitle(), "Maps (1)");
    EXPECT_TRUE(maps->button("Delete")->isEnabled());
    EXPECT_FALSE(maps->button("Move Up")->isEnabled());
    EXPECT_FALSE(maps->button("Move Down")->isEnabled());
    EXPECT_TRUE(list(ListKind::Layers)->button("New")->isEnabled());
    EXPECT_EQ(window().windowTitle(), "Zorva: Noname *");
}

TEST_F(ObjectEditorFixture, ListButtonsKeysAndDoubleClicksRunTheCommandsAndUndoGivesTheSameFile) {
    test::TestProject t;
    TileSet& rock = t.add_tile_set("Rock", 16, 16);
    t.add_tile_set("Sand", 16, 16);
    t.add_parent("b");
    t.add_parent("a");
    for (const char* name : {"One", "Two", "Three"}) {
        Map& map = t.add_map(name, &rock);
        t.add_layer(map, std::string(name) + "Back", 4, 4);
        t.add_layer(map, std::string(name) + "Front", 4, 4);
    }
    t.select(*t.project.maps[0]);
    t.project.select_layer(t.project.maps[0]->layers[0]->unique_id);
    t.project.select_tile_set(rock.unique_id);
    t.project.select_parent_entity(t.project.parent_entities[0]->unique_id);
    ASSERT_TRUE(test::write_project_file(t, file("level.xml")));
    MainWindow& w = window();
    ASSERT_TRUE(w.open_project(file("level.xml")));
    const std::string opened = test::saved_xml_without_counters(w.project());
    ListWindow* maps = list(ListKind::Maps);
    ListWindow* layers = list(ListKind::Layers);
    ListWindow* entities = list(ListKind::Entities);
    ListWindow* tile_sets = list(ListKind::TileSets);

    // "a" is listed before "b"; the file keeps the project's order.
    EXPECT_TRUE(lines(entities)[0].startsWith("a    "));
    EXPECT_TRUE(lines(entities)[1].startsWith("b    "));
    EXPECT_LT(opened.find("name=\"b\""), opened.find("name=\"a\""));

    // Move Up is disabled on the first map, Move Down on the last.
    EXPECT_FALSE(maps->button("Move Up")->isEnabled());
    EXPECT_TRUE(maps->button("Move Down")->isEnabled());
    click_button(maps, "Move Down");
    EXPECT_EQ(lines(maps)[1], "One     [T:Rock] [E]");
    EXPECT_TRUE(maps->list()->item(1)->isSelected());
    click_button(maps, "Move Down");
    EXPECT_FALSE(maps->button("Move Down")->isEnabled());
    EXPECT_TRUE(maps->button("Move Up")->isEnabled());

    // Lock and Visible show their state and tag the lines.
    click_button(maps, "Lock");
    EXPECT_EQ(maps->button("Lock")->property("state").toString(), "locked");
    EXPECT_EQ(lines(maps)[2], "One     [T:Rock] [L] [E]");
    // A locked map answers Properties (and a double-click) with its lock message.
    platform.shown.clear();
    double_click_line(maps, 2);
    ASSERT_FALSE(platform.shown.empty());
    EXPECT_EQ(platform.shown.back().text, "The Map is locked.");
    click_button(maps, "Lock");
    EXPECT_EQ(maps->button("Lock")->property("state").toString(), "unlocked");

    click_line(layers, 1);
    click_button(layers, "Visible");
    EXPECT_EQ(layers->button("Visible")->property("state").toString(), "hidden");
    EXPECT_EQ(lines(layers)[1], "OneFront     [H]");
    click_button(layers, "Move Up");
    EXPECT_EQ(lines(layers)[0], "OneFront     [H]");

    // A double-click opens the properties dialog of its line.
    auto ran = in_dialog("Layer Properties", [](QWidget* dialog) {
        type_into(dialog, "name", "Renamed");
        type_into(dialog, "grid_width", "0");
        click_in(dialog, "ok");
    });
    double_click_line(layers, 0);
    ASSERT_TRUE(*ran);
    EXPECT_EQ(lines(layers)[0], "Renamed     [H]");
    EXPECT_EQ(w.project().selected_layer()->grid_width, 1);

    // Deleting a tile set a map uses shows " [T:?]" on that map.
    click_line(tile_sets, 0);
    platform.answers = {Answer::Yes};
    click_button(tile_sets, "Delete");
    EXPECT_EQ(platform.shown.back().caption, " Delete Tile Set");
    EXPECT_EQ(lines(tile_sets), QStringList{"Sand    "});
    for (const QString& line : lines(maps)) EXPECT_TRUE(line.contains(" [T:?]")) << line.toStdString();

    click_line(entities, 1);  // "b"
    click_button(entities, "Lock");
    EXPECT_EQ(lines(entities)[1], "b    (id:0)     [L]");
    // The check buttons set the entity brush.
    click_button(entities, "Flip Vertical");
    EXPECT_TRUE(w.project().entity_brush.flip_vertical);
    EXPECT_TRUE(entities->button("Flip Vertical")->isChecked());

    // Keys pressed in a list window go through the main window's accelerators: undo everything there.
    const std::string changed = test::saved_xml(w.project());
    activate(entities);
    int undone = 0;
    while (w.action(cmd::kUndo)->isEnabled() && undone < 100) {
        QTest::keyClick(entities->list(), Qt::Key_Z, Qt::ControlModifier);
        ++undone;
    }
    EXPECT_EQ(undone, 10);
    EXPECT_EQ(test::saved_xml_without_counters(w.project()), opened);
    EXPECT_EQ(lines(tile_sets).size(), 2);
    for (int i = 0; i < undone; ++i) QTest::keyClick(entities->list(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_FALSE(w.action(cmd::kRedo)->isEnabled());
    EXPECT_TRUE(test::saved_xml(w.project()) == changed);
    EXPECT_EQ(lines(layers)[0], "Renamed     [H]");
}

// A user builds a whole project from "New" with the windows and dialogs only: a tile set from a real PNG,
// a map, two layers and a parent entity with frames; saves it with Ctrl+S, and reopens it.
TEST_F(ObjectEditorFixture, NewProjectBuiltThroughTheDialogsOnlySavesAndReopensTheSame) {
    const std::string terrain = file("terrain.png");
    const std::string slime = file("slime.png");
    ASSERT_TRUE(test::write_tiles_png(terrain, 4, 2, 16));
    ASSERT_TRUE(test::write_tiles_png(slime, 4, 1, 16));
    MainWindow& w = window();
    platform.answers = {Answer::Yes};
    ASSERT_TRUE(w.run_command(cmd::kNew));
    ListWindow* tile_sets = list(ListKind::TileSets);

    auto tile_set = in_dialog("New Tile Set", [&](QWidget* dialog) {
        type_into(dialog, "name", "Terrain");
        type_into(dialog, "tile_width", "16");
        type_into(dialog, "tile_height", "16");
        type_into(dialog, "image_path", QString::fromStdString(terrain));
        EXPECT_EQ(child<QLabel>(dialog, "tile_count")->text(), "Number of tiles:  8");
        click_in(dialog, "use_transparent_colour");
        click_in(dialog, "ok");
    });
    click_button(tile_sets, "New");
    ASSERT_TRUE(*tile_set);

    // The map's custom variables: a nested dialog, its variable 3 typed in.
    auto map = in_dialog("New Map", [&](QWidget* dialog) {
        type_into(dialog, "name", "Level1");
        EXPECT_EQ(child<QComboBox>(dialog, "tile_set")->currentText(), "Terrain");
        auto variables = in_dialog("Custom Variables:  Level1", [](QWidget* editor) {
            auto* lines_list = child<QListWidget>(editor, "list");
            lines_list->scrollToItem(lines_list->item(2));
            QTest::mouseClick(lines_list->viewport(), Qt::LeftButton, {},
                              lines_list->visualItemRect(lines_list->item(2)).center());
            type_into(editor, "value", "boss");
            click_in(editor, "ok");
        });
        click_in(dialog, "custom_variables");
        EXPECT_TRUE(*variables);
        click_in(dialog, "ok");
    });
    click_button(list(ListKind::Maps), "New");
    ASSERT_TRUE(*map);

    auto ground = in_dialog("New Layer", [](QWidget* dialog) {
        type_into(dialog, "name", "Ground");
        type_into(dialog, "grid_width", "20");
        type_into(dialog, "grid_height", "15");
        click_in(dialog, "ok");
    });
    click_button(list(ListKind::Layers), "New");
    ASSERT_TRUE(*ground);
    auto top = in_dialog("New Layer", [](QWidget* dialog) {
        type_into(dialog, "name", "Top");
        EXPECT_EQ(child<QLineEdit>(dialog, "grid_width")->text(), "20");  // the last layer's size
        type_into(dialog, "scroll_speed_x", "1.5");
        click_in(dialog, "wrap_x");
        auto* opacity = child<QSlider>(dialog, "opacity");
        opacity->setFocus();
        QTest::keyClick(opacity, Qt::Key_PageDown);
        click_in(dialog, "ok");
    });
    click_button(list(ListKind::Layers), "New");
    ASSERT_TRUE(*top);

    auto entity = in_dialog("New Entity", [&](QWidget* dialog) {
        type_into(dialog, "name", "Slime");
        type_into(dialog, "image_path", QString::fromStdString(slime));
        type_into(dialog, "frame_width", "16");
        type_into(dialog, "frame_height", "16");
        EXPECT_EQ(child<QLabel>(dialog, "frame_count")->text(), "Number of frames:  4");
        click_in(dialog, "is_trigger");
        click_in(dialog, "ok");
    });
    click_button(list(ListKind::Entities), "New");
    ASSERT_TRUE(*entity);

    EXPECT_EQ(lines(list(ListKind::Layers)), (QStringList{"Ground    ", "Top    "}));
    EXPECT_EQ(lines(list(ListKind::Maps)), QStringList{"Level1     [T:Terrain] [E]"});
    EXPECT_EQ(lines(list(ListKind::Entities)), QStringList{"Slime    (id:0)     [T]"});
    EXPECT_TRUE(platform.shown.size() == 1u) << platform.shown.back().text;  // only "Start new project?"

    // Ctrl+S asks for a name (the project is "Noname") and saves.
    platform.save_files.push_back(SaveChoice{file("built.xml"), 0});
    activate(list(ListKind::Maps));
    QTest::keyClick(list(ListKind::Maps)->list(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(fs::exists(file("built.xml")));
    const QString title = QString::fromStdString("Zorva: " + file("built.xml"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.windowTitle() == title; }, 2000));
    const std::string saved = test::read_file(file("built.xml"));

    // Reopened, the project is the same document.
    LoadResult reopened = read_project(file("built.xml"));
    ASSERT_TRUE(reopened.project) << reopened.message;
    const Project& p = *reopened.project;
    // The reader fills the empty image folders with the project's folder and clamps the tiles window's
    // tile size into 8 ... 128; everything else reads back as it was written.
    const auto comparable = [](const Project& project) {
        std::string kept;
        for (const std::string& line : split_lines(test::saved_xml(project)))
            if (line.find("last_used_image_") == std::string::npos &&
                line.find("pixel_size_of_tiles_in_tiles_dialog") == std::string::npos)
                kept += line;
        return kept;
    };
    EXPECT_TRUE(comparable(p) == comparable(w.project()));
    EXPECT_EQ(p.last_used_image_tile_set_path, dir.file(""));
    ASSERT_EQ(p.tile_sets.size(), 1u);
    EXPECT_EQ(p.tile_sets[0]->image_path_and_file_name, terrain);
    EXPECT_EQ(count_tiles(*p.tile_sets[0]).count, 8u);
    EXPECT_TRUE(p.tile_sets[0]->use_transparent_colour);
    ASSERT_EQ(p.maps.size(), 1u);
    EXPECT_EQ(p.maps[0]->use_tile_set_id, p.tile_sets[0]->unique_id);
    EXPECT_EQ(p.maps[0]->custom_variables[2], "boss");
    EXPECT_EQ(p.maps[0]->selected_tile_index, 1u);
    ASSERT_EQ(p.maps[0]->layers.size(), 2u);
    const Layer& top_layer = *p.maps[0]->layers[1];
    EXPECT_EQ(top_layer.grid_width, 20);
    EXPECT_EQ(top_layer.grid_height, 15);
    EXPECT_EQ(top_layer.scroll_speed_x, 1.5f);
    EXPECT_TRUE(top_layer.wrap_x);
    EXPECT_LT(top_layer.opacity, 255);
    ASSERT_EQ(p.parent_entities.size(), 1u);
    EXPECT_EQ(count_frames(*p.parent_entities[0]).count, 4u);
    EXPECT_EQ(p.parent_entities[0]->pixel_width, 64u);
    EXPECT_TRUE(p.parent_entities[0]->is_trigger);
    // The defaults typed into the New dialogs wait for the next ones.
    EXPECT_EQ(prefs.project_defaults().tile_width, 16);
    EXPECT_EQ(prefs.project_defaults().layer_grid_width, 20);
    EXPECT_EQ(prefs.project_defaults().frame_height, 16);

    // Every command undone leaves an empty project; redone, the same file is saved again.
    int undone = 0;
    while (w.action(cmd::kUndo)->isEnabled() && undone < 50) {
        ASSERT_TRUE(w.run_command(cmd::kUndo));
        ++undone;
    }
    EXPECT_EQ(undone, 5);
    EXPECT_TRUE(w.project().tile_sets.empty());
    EXPECT_TRUE(w.project().maps.empty());
    EXPECT_TRUE(w.project().parent_entities.empty());
    for (int i = 0; i < undone; ++i) ASSERT_TRUE(w.run_command(cmd::kRedo));
    QTest::keyClick(list(ListKind::Maps)->list(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(test::read_file(file("built.xml")) == saved);
}

}  // namespace
}  // namespace zorva
