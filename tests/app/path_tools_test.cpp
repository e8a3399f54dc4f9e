// The path tools in the offscreen main window, driven by real mouse and key events on the viewport: drawing
// a three-point path with one dragged handle, closing a path, editing a point and undoing it, and the save
// that commits a path being edited; screenshots of drawing and point editing with each kind of normal.
#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/command_table.h"
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

// Selects all of a line edit's text by key and types `text` over it, then leaves it with Tab.
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

struct PathToolsGui : ::testing::Test {
    PathToolsGui() {
        test::qt_app();
        prefs.set_flag(FlagA::ShowSelectedEntitiesWindow, false);
        prefs.set_flag(FlagA::SnapToGrid, false);
        // Bands select; the tests pick the Move tool themselves.
        prefs.set_flag(FlagA::SwitchToMoveWhenSelecting, false);
        prefs.set_flag(FlagA::SwitchToMoveOverSelection, false);
        test::write_file(dir.file("tiles.tga"), tiles_picture());
    }

    void write_project(const std::function<void(test::TestProject&, Map&, Layer&)>& add = {}) {
        test::TestProject t;
        TileSet& tiles = t.add_tile_set("Tiles", kTile, kTile);
        tiles.image_path_and_file_name = dir.file("tiles.tga");
        Map& map = t.add_map("First", &tiles);
        Layer& ground = t.add_layer(map, "Ground", 40, 30);
        t.select(map);
        t.select(ground);
        if (add) add(t, map, ground);
        ASSERT_TRUE(test::write_project_file(t, file()));
    }
    std::string file() const { return dir.file("level.xml"); }

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
    std::vector<PathPoint> points() { return copy_path_points(layer()); }
    std::string undo_item() const { return main->action(cmd::kUndoItem)->text().toStdString(); }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(view(), k, modifiers); }
    void click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(view(), button, {}, at);
    }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(view(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view(), (from + to) / 2);
        QTest::mouseMove(view(), to);
        QTest::mouseRelease(view(), Qt::LeftButton, {}, to);
    }
    // Paths mode, Placement: a corner at (40, 40), a point at (120, 40) dragged to (120, 80), a corner at
    // (200, 40), finished by a right click.
    void draw_three_points() {
        key(Qt::Key_U);
        key(Qt::Key_A);
        click(QPoint(40, 40));
        drag(QPoint(120, 40), QPoint(120, 80));
        click(QPoint(200, 40));
        click(QPoint(200, 40), Qt::RightButton);
    }

    test::TempDir dir;
    Preferences prefs;
    test::ChooserPlatform platform;
    std::unique_ptr<MainWindow> main;
};

TEST_F(PathToolsGui, DrawThreePointsWithOneDraggedHandleThenEditAPointAndUndoIt) {
    write_project();
    MainWindow& w = open();
    draw_three_points();
    ASSERT_EQ(w.edit_state().mode(), EditMode::Paths);
    std::vector<PathPoint> l = points();
    ASSERT_EQ(l.size(), 3u);
    EXPECT_TRUE(l[0].starts_path());
    EXPECT_TRUE(l[2].ends_path());
    EXPECT_FALSE(l[0].ucp());
    ASSERT_TRUE(l[1].ucp());
    EXPECT_EQ(l[1].cx2, 120.0f);
    EXPECT_EQ(l[1].cy2, 80.0f);
    EXPECT_EQ(l[1].cx1, 120.0f);
    EXPECT_EQ(l[1].cy1, 0.0f);
    // Finishing entered "Edit Path Points": Undo now belongs to the (empty) path-edit history.
    EXPECT_TRUE(w.path_tools().point_editing());
    EXPECT_TRUE(w.action(cmd::kEditPathPoints)->isChecked());
    EXPECT_EQ(undo_item(), "Undo\tCtrl+Z");

    // A band selects the last point; the Move tool drags it; Ctrl+Z puts it back.
    key(Qt::Key_S);
    drag(QPoint(195, 35), QPoint(205, 45));
    EXPECT_EQ(w.path_tools().selected_point_count(), 1u);
    key(Qt::Key_M);
    drag(QPoint(200, 40), QPoint(230, 60));
    EXPECT_EQ(w.path_tools().working()[2].px, 230.0f);
    EXPECT_EQ(undo_item(), "&Undo : Move path points\tCtrl+Z");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.path_tools().working()[2].px, 200.0f);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(w.path_tools().working()[2].px, 230.0f);
    EXPECT_EQ(points()[2].px, 200.0f);  // the layer keeps the old Path until the edit is committed

    // Ctrl+S commits the edit first and writes it.
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(w.path_tools().point_editing());
    EXPECT_EQ(points()[2].px, 230.0f);
    LoadResult read = read_project(file());
    ASSERT_TRUE(read.project);
    const std::vector<PathPoint> saved = copy_path_points(*read.project->maps[0]->layers[0]);
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[2].px, 230.0f);
    EXPECT_EQ(undo_item(), "&Undo : Edit paths\tCtrl+Z");
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(points()[2].px, 200.0f);
}

TEST_F(PathToolsGui, TransformKeysFlipRotateAndScaleSelectedAndEditedPaths) {
    write_project([](test::TestProject& t, Map& map, Layer& ground) {
        t.add_path(map, ground, 3, 40, 40, false);    // 40 ... 60 at y 40
        t.add_path(map, ground, 2, 120, 100, false);  // 120 ... 130 at y 100; the common centre is (85, 70)
    });
    MainWindow& w = open();
    key(Qt::Key_U);
    key(Qt::Key_S);
    EXPECT_FALSE(w.action(cmd::kFlipHorizontal)->isEnabled());
    EXPECT_FALSE(w.action(cmd::kScale)->isEnabled());
    EXPECT_FALSE(w.action(cmd::kIndividualScale)->isEnabled());

    // Point editing of the second Path: the record goes to the path-edit history.
    drag(QPoint(118, 98), QPoint(122, 102));
    ASSERT_EQ(w.path_tools().selected_paths().size(), 1u);
    key(Qt::Key_I);
    ASSERT_TRUE(w.path_tools().point_editing());
    ASSERT_TRUE(w.action(cmd::kIndividualScale)->isEnabled());
    key(Qt::Key_F5);
    EXPECT_EQ(w.path_tools().working()[0].px, 130.0f);
    EXPECT_EQ(undo_item(), "&Undo : Flip paths\tCtrl+Z");
    platform.typed = {std::string("90")};
    key(Qt::Key_F11);  // (125, 100) is the centre: (130, 100) goes below it
    EXPECT_NEAR(w.path_tools().working()[0].px, 125.0, 1e-3);
    EXPECT_NEAR(w.path_tools().working()[0].py, 105.0, 1e-3);
    EXPECT_TRUE(w.path_tools().working()[0].starts_path());
    EXPECT_EQ(undo_item(), "&Undo : Rotate paths\tCtrl+Z");
    platform.typed = {std::string("100")};
    key(Qt::Key_F12);
    EXPECT_NEAR(w.path_tools().working()[0].py, 105.0, 1e-3);
    EXPECT_EQ(undo_item(), "&Undo : Rotate paths\tCtrl+Z");
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.path_tools().working()[0].px, 120.0f);
    key(Qt::Key_I);
    ASSERT_FALSE(w.path_tools().point_editing());
    EXPECT_EQ(undo_item(), "Undo\tCtrl+Z");  // nothing changed: no record

    // Both Paths: the main history.
    drag(QPoint(30, 30), QPoint(140, 110));
    ASSERT_EQ(w.path_tools().selected_paths().size(), 2u);
    ASSERT_TRUE(w.action(cmd::kScale)->isEnabled());
    ASSERT_TRUE(w.action(cmd::kIndividualScale)->isEnabled());
    key(Qt::Key_F5);
    EXPECT_EQ(points()[0].px, 130.0f);
    EXPECT_EQ(points()[3].px, 50.0f);
    EXPECT_EQ(undo_item(), "&Undo : Flip paths\tCtrl+Z");
    key(Qt::Key_F6);
    EXPECT_EQ(points()[0].py, 100.0f);
    key(Qt::Key_Z, Qt::ControlModifier);
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(points()[0].px, 40.0f);
    EXPECT_EQ(points()[0].py, 40.0f);
    key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(points()[0].px, 130.0f);
    key(Qt::Key_Z, Qt::ControlModifier);

    platform.typed = {std::string("90")};
    key(Qt::Key_F7);  // (130, 100) about (85, 70) goes to (55, 115)
    ASSERT_FALSE(platform.prompts.empty());
    EXPECT_EQ(platform.prompts.back().title, "Rotate");
    EXPECT_NEAR(points()[4].px, 55.0, 1e-3);
    EXPECT_NEAR(points()[4].py, 115.0, 1e-3);
    EXPECT_EQ(undo_item(), "&Undo : Rotate paths\tCtrl+Z");
    platform.typed = {std::string("50")};
    key(Qt::Key_F8);
    EXPECT_EQ(platform.prompts.back().title, "Scale");
    EXPECT_NEAR(points()[4].px, 70.0, 1e-3);
    EXPECT_NEAR(points()[4].py, 92.5, 1e-3);
    EXPECT_EQ(undo_item(), "&Undo : Scale paths\tCtrl+Z");
    EXPECT_EQ(prefs.last_scale_percent(), 50.0f);

    const std::vector<PathPoint> before = points();
    key(Qt::Key_F9);
    key(Qt::Key_F10);
    EXPECT_EQ(undo_item(), "&Undo : Flip paths\tCtrl+Z");
    platform.typed = {std::string("-90")};
    key(Qt::Key_F11);
    EXPECT_EQ(undo_item(), "&Undo : Rotate paths\tCtrl+Z");
    platform.typed = {std::string("200")};
    key(Qt::Key_F12);
    EXPECT_EQ(undo_item(), "&Undo : Scale paths\tCtrl+Z");
    const std::vector<PathPoint> after = points();
    // The second Path keeps its own centre; its two points are twice as far apart.
    EXPECT_NEAR((after[3].px + after[4].px) / 2.0f, (before[3].px + before[4].px) / 2.0f, 1e-3);
    EXPECT_NEAR((after[3].py + after[4].py) / 2.0f, (before[3].py + before[4].py) / 2.0f, 1e-3);
    EXPECT_NEAR(std::hypot(after[4].px - after[3].px, after[4].py - after[3].py), 10.0, 1e-3);
    EXPECT_TRUE(after[0].starts_path());
    EXPECT_TRUE(after[2].ends_path());
    for (int i = 0; i < 4; ++i) key(Qt::Key_Z, Qt::ControlModifier);
    const std::vector<PathPoint> undone = points();
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(undone[i].px, before[i].px) << i;
        EXPECT_EQ(undone[i].cy1, before[i].cy1) << i;
    }

    // Nothing while a Path is drawn.
    key(Qt::Key_A);
    click(QPoint(300, 200));
    ASSERT_TRUE(w.path_tools().drawing());
    EXPECT_FALSE(w.action(cmd::kFlipHorizontal)->isEnabled());
    EXPECT_FALSE(w.action(cmd::kScale)->isEnabled());
    const std::size_t prompts = platform.prompts.size();
    key(Qt::Key_F8);
    EXPECT_EQ(platform.prompts.size(), prompts);
    platform.answers = {Answer::Yes};
    key(Qt::Key_Escape);
    EXPECT_FALSE(w.path_tools().drawing());
    w.project().modified = false;
}

TEST_F(PathToolsGui, TheSelectedPointsWindowMovesTheSelectedPoint) {
    prefs.set_flag(FlagA::ShowSelectedEntitiesWindow, true);
    write_project();
    MainWindow& w = open();
    draw_three_points();
    ASSERT_TRUE(w.path_tools().point_editing());
    key(Qt::Key_S);
    drag(QPoint(195, 35), QPoint(205, 45));
    w.update_status();
    SelectionWindow* window = w.selection_window();
    ASSERT_FALSE(window->isHidden());
    EXPECT_EQ(window->windowTitle(), "Selected Points");
    EXPECT_EQ(window->name_line()->text(), "1 selected (# 3)");
    EXPECT_EQ(window->field(PanelField::X)->text(), "200");
    retype(window->field(PanelField::X), "260");
    EXPECT_EQ(w.path_tools().working()[2].px, 260.0f);
    EXPECT_EQ(undo_item(), "&Undo : Edit paths\tCtrl+Z");
    w.project().modified = false;
}

TEST_F(PathToolsGui, CloseAPath) {
    write_project();
    MainWindow& w = open();
    platform.answers = {Answer::Yes};
    key(Qt::Key_U);
    key(Qt::Key_A);
    for (QPoint at : {QPoint(40, 40), QPoint(200, 40), QPoint(200, 200), QPoint(46, 44)}) click(at);
    QTest::mouseDClick(view(), Qt::LeftButton, {}, QPoint(46, 44));
    ASSERT_FALSE(platform.shown.empty());
    EXPECT_EQ(platform.shown.back().text, "Do you want to close the path?");
    const std::vector<PathPoint> l = points();
    ASSERT_EQ(l.size(), 4u);  // the double click's first press added the last point once
    EXPECT_TRUE(l.front().is_closed());
    EXPECT_EQ(l.front().px, 43.0f);
    EXPECT_EQ(l.back().px, 43.0f);
    EXPECT_EQ(l.back().py, 42.0f);
    // Esc in the point editing it entered leaves it (the question is off).
    prefs.set_flag(FlagA::AskWhenDiscardingPathChanges, false);
    ASSERT_TRUE(w.path_tools().point_editing());
    key(Qt::Key_Escape);
    EXPECT_FALSE(w.path_tools().point_editing());
    w.project().modified = false;
}

// Pictures of a path being drawn and of point editing with handles and each kind of normal, for a person to
// look at; only under a real display (xvfb) with ZORVA_SCREENSHOT_DIR set.
TEST_F(PathToolsGui, ScreenshotsOfDrawingAndPointEditingWithNormals) {
    const char* out = std::getenv("ZORVA_SCREENSHOT_DIR");
    if (!out || QGuiApplication::platformName() == "offscreen") GTEST_SKIP() << "needs a display";
    write_project();
    MainWindow& w = open(false);
    key(Qt::Key_U);
    key(Qt::Key_A);
    click(QPoint(60, 300));
    drag(QPoint(200, 150), QPoint(260, 150));
    click(QPoint(380, 320));
    QTest::mouseMove(view(), QPoint(520, 200));
    QTest::qWait(300);
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(QString(out) + "/path-drawing.png"));
    click(QPoint(520, 200));
    click(QPoint(520, 200), Qt::RightButton);
    ASSERT_TRUE(w.path_tools().point_editing());
    key(Qt::Key_S);
    drag(QPoint(190, 140), QPoint(270, 160));  // the dragged point with both handles
    const struct {
        const char* name;
        int option;
    } kinds[] = {{"point", 0}, {"vorel", 1}, {"line", 2}};
    for (const auto& kind : kinds) {
        prefs.set_flag(FlagA::ViewPathPointNormals, kind.option == 0);
        prefs.set_flag(FlagA::ViewPathPointVorelNormals, kind.option == 1);
        prefs.set_flag(FlagC::ViewPathLineNormals, kind.option == 2);
        view()->update();
        QTest::qWait(300);
        const QString file = QString(out) + "/path-points-" + kind.name + "-normals.png";
        EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(file));
    }
    w.project().modified = false;
}

}  // namespace
}  // namespace zorva
