// The entity tools in the offscreen main window, driven by real mouse and key events on the viewport and
// on the Entities and Selected Entities windows: placing with the brush chosen in the Entities window, a
// band and a move, a right click that picks the brush back, Delete, the saved file; and the Selected
// Entities window editing three entities where only one field changes, with its custom variables.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <memory>

#include "app/command_table.h"
#include "app/windows/list_window.h"
#include "app/windows/main_window.h"
#include "app/windows/selection_window.h"
#include "app/windows/viewport_widget.h"
#include "editor_test_support.h"
#include "prefs/preferences.h"
#include "projectfile/project_io.h"
#include "support/image_files.h"
#include "support/project_builder.h"
#include "support/project_file.h"
#include "support/qt_test_app.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

constexpr int kTile = 16;

// A 64 × 48 TGA of 4 × 3 flat tiles.
test::Bytes tiles_picture() {
    test::Bytes pixels;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const int tile = 1 + x / kTile + (y / kTile) * 4;
            pixels.push_back(static_cast<std::uint8_t>(20 * tile));
            pixels.push_back(static_cast<std::uint8_t>(100));
            pixels.push_back(static_cast<std::uint8_t>(255 - 15 * tile));
        }
    return test::tga_file(64, 48, 24, 0x20, pixels);
}

// Runs `fill` on the modal dialog titled `title` as soon as it is open; one left open afterwards is
// rejected (and the test fails), so a broken step cannot hang the run. The flag says whether it ran.
std::shared_ptr<bool> in_dialog(const QString& title, std::function<void(QWidget*)> fill) {
    auto ran = std::make_shared<bool>(false);
    auto attempt = std::make_shared<std::function<void(int)>>();
    *attempt = [=](int left) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->windowTitle() == title) {
            *ran = true;
            fill(modal);
            if (modal->isVisible() && QApplication::activeModalWidget() == modal) {
                ADD_FAILURE() << title.toStdString() << " was left open";
                if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            }
            *attempt = nullptr;
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

template <class T>
T* child(QWidget* parent, const char* name) {
    return parent->findChild<T*>(name);
}

// Selects all of a line edit's text by key and types `text` over it, then leaves it with Tab. Its window is
// made the active one first: a click gives the focus only there, and only a field that had it is left.
void retype(QLineEdit* edit, const QString& text) {
    if (QApplication::activeWindow() != edit->window()) {
        QApplication::setActiveWindow(edit->window());
        EXPECT_TRUE(QTest::qWaitForWindowActive(edit->window()));
    }
    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(4, edit->height() / 2));
    EXPECT_TRUE(QTest::qWaitFor([edit] { return edit->hasFocus(); }, 1000));
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

struct EntityToolsGui : ::testing::Test {
    EntityToolsGui() {
        test::qt_app();
        for (FlagA bit : {FlagA::ShowEntitiesWindow, FlagA::ShowSelectedEntitiesWindow})
            prefs.set_flag(bit, true);
        prefs.set_flag(FlagA::SwitchToMoveOverSelection, false);
        prefs.set_flag(FlagA::SwitchToMoveWhenSelecting, false);
        test::write_file(dir.file("tiles.tga"), tiles_picture());
    }

    // The project: a tile set with a picture, a map with a 40 × 30 layer, the parent entities "Slime" (a
    // 32 × 32 frame without a picture) and "Zone" (a rectangle trigger), and `instances` placed by `place`.
    void write_project(const std::function<void(test::TestProject&, Map&, Layer&)>& place = {}) {
        test::TestProject t;
        TileSet& tiles = t.add_tile_set("Tiles", kTile, kTile);
        tiles.image_path_and_file_name = dir.file("tiles.tga");
        Map& map = t.add_map("First", &tiles);
        Layer& ground = t.add_layer(map, "Ground", 40, 30);
        t.add_parent("Slime");
        ParentEntity& zone = t.add_parent("Zone");
        zone.is_trigger = true;
        t.select(map);
        t.select(ground);
        if (place) place(t, map, ground);
        ASSERT_TRUE(test::write_project_file(t, file()));
    }

    std::string file() const { return dir.file("level.xml"); }

    // `activate`: wait until the window is the active one (a bare X server without a window manager may
    // never make it so; the screenshot does without).
    MainWindow& open(bool activate = true) {
        main = std::make_unique<MainWindow>(prefs, platform, dir.path() / "data");
        main->session().set_missing_resources_check(
            [](Project&, const std::string&) { return MissingResourcesOutcome::NoneMissing; });
        EXPECT_TRUE(main->open_project(file()));
        main->resize(900, 600);
        main->show();
        QApplication::setActiveWindow(main.get());
        if (activate)
            EXPECT_TRUE(QTest::qWaitForWindowActive(main.get()));
        else
            EXPECT_TRUE(QTest::qWaitForWindowExposed(main.get()));
        main->viewport()->setFocus();
        return *main;
    }
    QWidget* view() { return main->viewport(); }
    Layer& layer() { return *main->project().selected_layer(); }
    InstanceEntity& entity(std::size_t i) { return *layer().instance_entities.at(i); }
    std::string undo_item() const { return main->action(cmd::kUndoItem)->text().toStdString(); }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(view(), k, modifiers); }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(view(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view(), to);
        QTest::mouseRelease(view(), Qt::LeftButton, {}, to);
    }
    // Clicks the line of the Entities window that reads `name`.
    void choose_parent(const QString& name) {
        QListWidget* list = main->list_window(ListKind::Entities)->list();
        const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchContains);
        ASSERT_FALSE(found.isEmpty()) << name.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(found.front()).center());
    }
    // The first map's first layer as saved in the file.
    std::vector<InstanceEntity> saved_entities() {
        LoadResult read = read_project(file());
        if (!read.project || read.project->maps.empty() || read.project->maps[0]->layers.empty()) return {};
        return copy_instance_entities(*read.project->maps[0]->layers[0]);
    }

    test::TempDir dir;
    Preferences prefs;
    test::ChooserPlatform platform;
    std::unique_ptr<MainWindow> main;
};

TEST_F(EntityToolsGui, PlaceSelectMovePickDeleteAndTheSavedFile) {
    write_project();
    MainWindow& w = open();
    key(Qt::Key_Y);
    ASSERT_EQ(w.edit_state().mode(), EditMode::Entities);
    choose_parent("Slime");
    ASSERT_NE(w.project().selected_parent_entity(), nullptr);
    // The brush's H button in the Entities window flips what is placed next.
    QTest::mouseClick(w.list_window(ListKind::Entities)->button("Flip Horizontal"), Qt::LeftButton);
    view()->setFocus();
    key(Qt::Key_A);
    QTest::mouseClick(view(), Qt::LeftButton, {}, QPoint(40, 40));
    QTest::mouseClick(view(), Qt::LeftButton, {}, QPoint(45, 44));  // within 8 pixels: refused
    QTest::mouseClick(view(), Qt::LeftButton, {}, QPoint(120, 40));
    ASSERT_EQ(layer().instance_entities.size(), 2u);
    EXPECT_EQ(entity(0).px, 40.0f);
    EXPECT_EQ(entity(0).py, 40.0f);
    EXPECT_TRUE(entity(0).fh);
    EXPECT_EQ(undo_item(), "&Undo : Place entities\tCtrl+Z");

    // A band selects both; the window names them.
    key(Qt::Key_S);
    drag(QPoint(30, 30), QPoint(150, 60));
    EXPECT_EQ(w.entity_tools().selected_count(), 2u);
    w.update_status();
    SelectionWindow* window = w.selection_window();
    ASSERT_FALSE(window->isHidden());
    EXPECT_EQ(window->windowTitle(), "Selected Entities");
    EXPECT_EQ(window->name_line()->text(), "Multiple selected (2)");
    EXPECT_EQ(window->field(PanelField::Y)->text(), "40");
    EXPECT_EQ(window->field(PanelField::X)->text(), "");

    // A move by the mouse: they float with the cursor and land 30, 40 pixels on.
    key(Qt::Key_M);
    QTest::mousePress(view(), Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(view(), QPoint(65, 70));
    EXPECT_TRUE(w.tools().floating_active());
    ASSERT_TRUE(w.tools().overlay().floating_entities.has_value());
    QTest::mouseMove(view(), QPoint(80, 90));
    QTest::mouseRelease(view(), Qt::LeftButton, {}, QPoint(80, 90));
    EXPECT_FALSE(w.tools().floating_active());
    EXPECT_EQ(entity(0).px, 70.0f);
    EXPECT_EQ(entity(0).py, 80.0f);
    EXPECT_EQ(entity(1).px, 150.0f);

    // A right click picks the zone's brush back into the Entities window.
    ParentEntity* zone = nullptr;
    for (const auto& parent : w.project().parent_entities)
        if (parent->name.str() == "Zone") zone = parent.get();
    ASSERT_NE(zone, nullptr);
    InstanceEntity placed =
        make_instance_entity(*zone, w.project().selected_map_id(), layer().unique_id, 300, 200);
    placed.fv = true;
    ASSERT_NE(add_instance_entity(w.project(), placed, false, &platform), nullptr);
    QTest::mouseClick(view(), Qt::RightButton, {}, QPoint(305, 205));
    EXPECT_EQ(w.project().selected_parent_entity(), zone);
    ListWindow* parents = w.list_window(ListKind::Entities);
    EXPECT_TRUE(parents->button("Flip Vertical")->isChecked());
    EXPECT_FALSE(parents->button("Flip Horizontal")->isChecked());
    EXPECT_EQ(parents->current_id(), zone->unique_id);

    // Delete erases the two selected slimes.
    key(Qt::Key_Delete);
    ASSERT_EQ(layer().instance_entities.size(), 1u);
    EXPECT_EQ(undo_item(), "&Undo : Erase entities\tCtrl+Z");
    key(Qt::Key_Z, Qt::ControlModifier);
    ASSERT_EQ(layer().instance_entities.size(), 3u);

    // Ctrl+S writes the moved entities.
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(w.project().modified);
    const std::vector<InstanceEntity> saved = saved_entities();
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[0].px, 70.0f);
    EXPECT_EQ(saved[0].py, 80.0f);
    EXPECT_TRUE(saved[0].fh);
    EXPECT_EQ(saved[1].px, 150.0f);
    EXPECT_EQ(saved[2].pid, zone->unique_id);
    EXPECT_TRUE(saved[2].fv);
}

TEST_F(EntityToolsGui, TheSelectedEntitiesWindowEditsThreeEntitiesWhereOnlyOneFieldChanges) {
    write_project([](test::TestProject& t, Map& map, Layer& ground) {
        const ParentEntity& slime = *t.project.parent_entities[0];
        for (int i = 0; i < 3; ++i) {
            InstanceEntity& e = t.add_instance(map, ground, slime, 20.0f + 60.0f * i, 50.0f);
            e.fh = i == 1;
            e.custom_variables[1] = static_cast<std::int16_t>(10 + i);  // variable 2 differs
            e.custom_variables[7] = 3;
        }
    });
    MainWindow& w = open();
    key(Qt::Key_Y);
    key(Qt::Key_A, Qt::ControlModifier);  // Select All
    ASSERT_EQ(w.entity_tools().selected_count(), 3u);
    SelectionWindow* window = w.selection_window();
    QTest::qWait(120);  // the status timer shows the selection
    EXPECT_EQ(window->name_line()->text(), "Multiple selected (3)");
    EXPECT_EQ(window->field(PanelField::X)->text(), "");
    EXPECT_EQ(window->field(PanelField::Y)->text(), "50");
    EXPECT_FALSE(window->flag_button(PanelFlag::FlipHorizontal)->isChecked());
    EXPECT_TRUE(window->field(PanelField::RectangleWidth)->isHidden());  // no trigger selected

    // Only Y is typed: every entity takes it, X and the flags stay as they were.
    const std::size_t records = w.session().histories().main().undo_count();
    retype(window->field(PanelField::Y), "75.5");
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(entity(i).py, 75.5f) << i;
        EXPECT_EQ(entity(i).px, 20.0f + 60.0f * static_cast<float>(i)) << i;
        EXPECT_EQ(entity(i).fh, i == 1) << i;
    }
    EXPECT_EQ(w.session().histories().main().undo_count(), records + 1);
    EXPECT_EQ(undo_item(), "&Undo : Entity properties\tCtrl+Z");
    EXPECT_EQ(window->field(PanelField::Y)->text(), "75.5");
    // Leaving the blank X field untouched changes nothing.
    retype(window->field(PanelField::X), "");
    EXPECT_EQ(w.session().histories().main().undo_count(), records + 1);

    // The custom variables: variable 2 differs and shows blank; only variable 5 is changed.
    platform.answers.push_back(Answer::Ok);  // "Multiple objects"
    auto edited = in_dialog("Custom Variables:  Selected Entities (3)", [](QWidget* editor) {
        auto* lines = child<QListWidget>(editor, "list");
        EXPECT_EQ(lines->item(1)->text().toStdString(), "02:  Variable02   =   ");
        EXPECT_EQ(lines->item(7)->text().toStdString(), "08:  Variable08   =   3");
        QTest::mouseClick(lines->viewport(), Qt::LeftButton, {},
                          lines->visualItemRect(lines->item(1)).center());
        EXPECT_EQ(child<QLineEdit>(editor, "value")->text(), "");
        QTest::mouseClick(lines->viewport(), Qt::LeftButton, {},
                          lines->visualItemRect(lines->item(4)).center());
        retype(child<QLineEdit>(editor, "value"), "9");
        auto* ok = child<QAbstractButton>(editor, "ok");
        QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(6, ok->height() / 2));
    });
    QTest::mouseClick(window->custom_variables_button(), Qt::LeftButton);
    EXPECT_TRUE(*edited);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, "Multiple objects");
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(entity(i).custom_variables[4], 9) << i;
        EXPECT_EQ(entity(i).custom_variables[1], 10 + static_cast<int>(i)) << i;
        EXPECT_EQ(entity(i).custom_variables[7], 3) << i;
    }
    EXPECT_EQ(w.session().histories().main().undo_count(), records + 2);

    // Back in the main window, one undo takes the variable back, the next the Y.
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    view()->setFocus();
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(entity(0).custom_variables[4], 0);
    EXPECT_EQ(entity(2).py, 75.5f);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(entity(2).py, 50.0f);

    // Enter in the viewport opens the same editor for the selection; Cancel writes nothing.
    platform.answers.push_back(Answer::Ok);
    auto cancelled = in_dialog("Custom Variables:  Selected Entities (3)", [](QWidget* editor) {
        auto* cancel = child<QAbstractButton>(editor, "cancel");
        QTest::mouseClick(cancel, Qt::LeftButton, {}, QPoint(6, cancel->height() / 2));
    });
    key(Qt::Key_Return);
    EXPECT_TRUE(*cancelled);
    EXPECT_EQ(w.session().histories().main().undo_count(), records);
    w.project().modified = false;
}

TEST_F(EntityToolsGui, TheWindowMenuEntryShowsAndHidesTheWindowAndItsRectangleIsRemembered) {
    write_project();
    MainWindow& w = open();
    SelectionWindow* window = w.selection_window();
    ASSERT_FALSE(window->isHidden());
    ASSERT_TRUE(w.run_command(cmd::kSelectedEntitiesDialog));
    EXPECT_TRUE(window->isHidden());
    EXPECT_FALSE(prefs.flag(FlagA::ShowSelectedEntitiesWindow));
    EXPECT_FALSE(w.action(cmd::kSelectedEntitiesDialog)->isChecked());
    ASSERT_TRUE(w.run_command(cmd::kSelectedEntitiesDialog));
    EXPECT_FALSE(window->isHidden());
    EXPECT_TRUE(w.action(cmd::kSelectedEntitiesDialog)->isChecked());
    window->move(window->pos() + QPoint(30, 20));
    const QRect where = window->geometry();
    ASSERT_TRUE(w.shut_down());
    EXPECT_TRUE(prefs.tool_window_rect_stored(ToolWindow::SelectedEntities));
    EXPECT_EQ(prefs.tool_window_rect(ToolWindow::SelectedEntities).left, where.left());
    // Enter opens nothing in EditMode Tiles.
    EXPECT_FALSE(w.action(cmd::kEditCustomVariables)->isEnabled());
}

// A picture of selected entities with their custom-variable labels and the Selected Entities window, for a
// person to look at; only under a real display (xvfb) with ZORVA_SCREENSHOT_DIR set.
TEST_F(EntityToolsGui, ScreenshotOfSelectedEntitiesWithLabelsAndTheWindow) {
    const char* out = std::getenv("ZORVA_SCREENSHOT_DIR");
    if (!out || QGuiApplication::platformName() == "offscreen") GTEST_SKIP() << "needs a display";
    write_project([](test::TestProject& t, Map& map, Layer& ground) {
        DescriptionTable& table = t.project.descriptions_for(ObjectKind::InstanceEntity);
        table[1].desc = "Health";
        table[1].show_in_view = table[1].show_desc_in_view = true;
        table[7].show_in_view = true;
        const ParentEntity& slime = *t.project.parent_entities[0];
        for (int i = 0; i < 3; ++i) {
            InstanceEntity& e = t.add_instance(map, ground, slime, 60.0f + 150.0f * i, 80.0f + 30.0f * i);
            e.custom_variables[1] = static_cast<std::int16_t>(10 + i);
            e.custom_variables[7] = 3;
        }
        InstanceEntity& zone = t.add_instance(map, ground, *t.project.parent_entities[1], 120.0f, 220.0f);
        zone.trw = 90;
        zone.trh = 40;
    });
    prefs.set_view_entities_custom_variables(true);
    MainWindow& w = open(false);
    key(Qt::Key_Y);
    key(Qt::Key_S);
    drag(QPoint(50, 70), QPoint(280, 240));  // two slimes and the zone
    ASSERT_EQ(w.entity_tools().selected_count(), 3u);
    w.update_status();
    SelectionWindow* window = w.selection_window();
    window->move(w.geometry().right() - window->width() - 40, w.geometry().top() + 120);
    window->raise();
    QTest::qWait(300);
    EXPECT_EQ(window->name_line()->text(), "Multiple selected (3)");
    EXPECT_FALSE(window->field(PanelField::RectangleWidth)->isHidden());
    const QString file = QString(out) + "/selected-entities.png";
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(file));
    w.project().modified = false;
}

}  // namespace
}  // namespace zorva

namespace zorva {
namespace {

// F5 to F11 on two selected entities; F8 and F12 have nothing to scale.
TEST_F(EntityToolsGui, TransformKeysFlipAndRotateTheSelectedEntities) {
    write_project([](test::TestProject& t, Map& map, Layer& ground) {
        const ParentEntity& slime = *t.project.parent_entities.at(0);
        t.add_instance(map, ground, slime, 40, 40);
        t.add_instance(map, ground, slime, 120, 40);
    });
    MainWindow& w = open();
    key(Qt::Key_Y);
    key(Qt::Key_S);
    drag(QPoint(30, 30), QPoint(160, 60));
    ASSERT_TRUE(w.action(cmd::kRotate)->isEnabled());
    EXPECT_FALSE(w.action(cmd::kScale)->isEnabled());

    // The group box spans 40 to 152 across and 40 to 72 down.
    key(Qt::Key_F5);
    EXPECT_EQ(entity(0).px, 120.0f);
    EXPECT_EQ(entity(1).px, 40.0f);
    EXPECT_TRUE(entity(0).fh);
    EXPECT_EQ(undo_item(), "&Undo : Flip entities\tCtrl+Z");
    key(Qt::Key_F6);
    EXPECT_TRUE(entity(1).fv);
    EXPECT_EQ(entity(1).py, 40.0f);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(entity(0).px, 40.0f);
    EXPECT_FALSE(entity(0).fh);

    key(Qt::Key_F7);
    EXPECT_EQ(entity(0).px, 40.0f);
    EXPECT_EQ(entity(0).py, 40.0f);
    EXPECT_EQ(entity(1).px, 40.0f);
    EXPECT_EQ(entity(1).py, 120.0f);
    EXPECT_TRUE(entity(1).ro);
    EXPECT_EQ(undo_item(), "&Undo : Rotate entities\tCtrl+Z");

    key(Qt::Key_F9);
    key(Qt::Key_F10);
    EXPECT_TRUE(entity(0).fh);
    EXPECT_TRUE(entity(0).fv);
    key(Qt::Key_F11);  // 1 1 1 -> 0 0 0
    EXPECT_FALSE(entity(0).fh);
    EXPECT_FALSE(entity(0).ro);
    EXPECT_EQ(entity(1).py, 120.0f);
    key(Qt::Key_F8);
    key(Qt::Key_F12);
    EXPECT_EQ(undo_item(), "&Undo : Rotate entities\tCtrl+Z");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(entity(0).ro);
    w.project().modified = false;
}

}  // namespace
}  // namespace zorva
