// The tile tools in the offscreen main window, driven by real mouse and key events on the viewport and
// on the Tiles and Mosaics windows: strokes, a band and Delete, moves with and without Z, a paste onto a
// map with another tile set, a mosaic clicked while in Entities mode, the Tiles window's Ctrl+arrows, and
// what the saved file holds afterwards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <QWheelEvent>
#include <filesystem>
#include <memory>

#include "app/command_table.h"
#include "app/windows/list_window.h"
#include "app/windows/main_window.h"
#include "app/windows/mosaics_window.h"
#include "app/windows/tiles_window.h"
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

// A 64 × 48 TGA of 4 × 3 tiles of 16 pixels, each one flat colour.
test::Bytes tiles_picture() {
    test::Bytes pixels;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const int tile = 1 + x / kTile + (y / kTile) * 4;
            pixels.push_back(static_cast<std::uint8_t>(20 * tile));  // blue
            pixels.push_back(static_cast<std::uint8_t>(100));        // green
            pixels.push_back(static_cast<std::uint8_t>(255 - 15 * tile));
        }
    return test::tga_file(64, 48, 24, 0x20, pixels);
}

struct TileToolsGui : ::testing::Test {
    TileToolsGui() {
        test::qt_app();
        for (FlagA bit : {FlagA::ShowTilesWindow, FlagA::ShowMosaicsWindow, FlagA::ShowMapsWindow})
            prefs.set_flag(bit, true);
        // The automatic Move tool would take over the Select tool's second band; these tests choose tools.
        prefs.set_flag(FlagA::SwitchToMoveOverSelection, false);
        test::write_file(dir.file("tiles.tga"), tiles_picture());
        test::write_file(dir.file("other.tga"), tiles_picture());
        test::TestProject t;
        TileSet& tiles = t.add_tile_set("Tiles", kTile, kTile);
        tiles.image_path_and_file_name = dir.file("tiles.tga");
        TileSet& other = t.add_tile_set("Other", kTile, kTile);
        other.image_path_and_file_name = dir.file("other.tga");
        Map& first = t.add_map("First", &tiles);
        Layer& ground = t.add_layer(first, "Ground", 20, 12);
        Map& second = t.add_map("Second", &other);
        t.add_layer(second, "Sky", 10, 10);
        t.select(first);
        t.select(ground);
        EXPECT_TRUE(test::write_project_file(t, file()));
    }

    std::string file() const { return dir.file("level.xml"); }

    MainWindow& open() {
        main = std::make_unique<MainWindow>(prefs, platform, dir.path() / "data");
        main->session().set_missing_resources_check(
            [](Project&, const std::string&) { return MissingResourcesOutcome::NoneMissing; });
        EXPECT_TRUE(main->open_project(file()));
        main->resize(900, 600);
        main->show();
        QApplication::setActiveWindow(main.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(main.get()));
        main->viewport()->setFocus();
        return *main;
    }
    QWidget* view() { return main->viewport(); }
    static QPoint at(int c, int r) { return {c * kTile + kTile / 2, r * kTile + kTile / 2}; }
    Map& map() { return *main->project().selected_map(); }
    GridCell cell(int c, int r) { return *main->project().selected_layer()->cell(c, r); }
    void set(int c, int r, std::uint32_t tile) {
        *main->project().selected_layer()->cell(c, r) = GridCell{tile, 0};
    }
    void drag(Qt::Key tool_key, QPoint from, QPoint to) {
        QTest::keyClick(view(), tool_key);
        QTest::mousePress(view(), Qt::LeftButton, {}, from);
        QTest::mouseMove(view(), to);
        QTest::mouseRelease(view(), Qt::LeftButton, {}, to);
    }
    std::string undo_item() const { return main->action(cmd::kUndoItem)->text().toStdString(); }
    // The cells of the first map's layer as saved in the file.
    std::vector<GridCell> saved_cells() {
        LoadResult read = read_project(file());
        if (!read.project || read.project->maps.empty() || read.project->maps[0]->layers.empty()) return {};
        return read.project->maps[0]->layers[0]->grid;
    }

    test::TempDir dir;
    Preferences prefs;
    test::ChooserPlatform platform;
    std::unique_ptr<MainWindow> main;
};

TEST_F(TileToolsGui, AStrokePlacesTheBrushAndUndoWaitsForItsEnd) {
    MainWindow& w = open();
    TilesWindow* tiles = w.tiles_window();
    ASSERT_FALSE(tiles->isHidden());
    // The brush: tile 3 clicked in the Tiles window's grid (display size 8: cells of 10 pixels).
    QTest::mouseClick(tiles->grid(), Qt::LeftButton, {}, QPoint(25, 5));
    EXPECT_EQ(map().selected_tile_index, 3u);
    EXPECT_EQ(tiles->windowTitle(), "Tiles  (3 / 12)");
    QTest::keyClick(view(), Qt::Key_A);
    ASSERT_EQ(w.edit_state().tool(), Tool::Placement);
    QTest::mousePress(view(), Qt::LeftButton, {}, at(1, 1));
    QTest::mouseMove(view(), at(4, 1));
    EXPECT_EQ(cell(1, 1).tile, 3u);
    EXPECT_EQ(cell(4, 1).tile, 3u);
    EXPECT_EQ(cell(2, 1).tile, 0u);  // a fast drag leaves gaps
    QTest::mouseRelease(view(), Qt::LeftButton, {}, at(4, 1));
    EXPECT_EQ(undo_item(), "&Undo : Place tiles\tCtrl+Z");

    // A second stroke: Ctrl+Z while it runs does nothing.
    QTest::mousePress(view(), Qt::LeftButton, {}, at(6, 6));
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cell(1, 1).tile, 3u);
    EXPECT_EQ(cell(6, 6).tile, 3u);
    QTest::mouseRelease(view(), Qt::LeftButton, {}, at(6, 6));
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cell(6, 6).tile, 0u);
    EXPECT_EQ(cell(1, 1).tile, 3u);
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cell(1, 1).tile, 0u);

    // A right click picks the cell into the brush, which the Tiles window shows.
    set(9, 9, 7);
    QTest::mouseClick(view(), Qt::RightButton, {}, at(9, 9));
    EXPECT_EQ(map().selected_tile_index, 7u);
    w.update_status();
    tiles->sync();
    EXPECT_EQ(tiles->windowTitle(), "Tiles  (7 / 12)");
    w.project().modified = false;
}

TEST_F(TileToolsGui, ARubberBandThenDeleteErasesTheSelectedCells) {
    MainWindow& w = open();
    for (int c = 0; c < 6; ++c) set(c, 2, 5);
    EXPECT_FALSE(w.action(cmd::kCopy)->isEnabled());
    drag(Qt::Key_S, at(1, 1), at(3, 3));
    EXPECT_TRUE(w.action(cmd::kCopy)->isEnabled());
    EXPECT_TRUE(w.action(cmd::kCut)->isEnabled());
    w.update_status();
    EXPECT_EQ(w.cursor_pane()->text(), "Sel: 3 x 3");
    QTest::keyClick(view(), Qt::Key_Delete);
    EXPECT_EQ(cell(0, 2).tile, 5u);
    for (int c = 1; c <= 3; ++c) EXPECT_EQ(cell(c, 2).tile, 0u) << c;
    EXPECT_EQ(cell(4, 2).tile, 5u);
    EXPECT_EQ(undo_item(), "&Undo : Erase tiles\tCtrl+Z");
    // Select None by key, then Delete has nothing to act on.
    QTest::keyClick(view(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_FALSE(w.action(cmd::kDelete)->isEnabled());
    w.project().modified = false;
}

TEST_F(TileToolsGui, MovesWithAndWithoutZAndTheSavedFile) {
    MainWindow& w = open();
    set(1, 1, 4);
    set(2, 1, 6);
    drag(Qt::Key_S, at(1, 1), at(2, 1));
    // Without Z: the cells move; the hole shows during the drag.
    QTest::keyClick(view(), Qt::Key_M);
    QTest::mousePress(view(), Qt::LeftButton, {}, at(1, 1));
    EXPECT_EQ(cell(1, 1).tile, 0u);
    EXPECT_TRUE(w.tools().floating_active());
    // Saving in the middle of the drag writes the cells where they were.
    ASSERT_TRUE(w.run_command(cmd::kSave));
    std::vector<GridCell> saved = saved_cells();
    ASSERT_EQ(saved.size(), 240u);
    EXPECT_EQ(saved[20 + 1].tile, 4u);
    EXPECT_EQ(cell(1, 1).tile, 0u);
    QTest::mouseMove(view(), at(5, 4));
    QTest::mouseRelease(view(), Qt::LeftButton, {}, at(5, 4));
    EXPECT_EQ(cell(1, 1).tile, 0u);
    EXPECT_EQ(cell(5, 4).tile, 4u);
    EXPECT_EQ(cell(6, 4).tile, 6u);
    EXPECT_EQ(undo_item(), "&Undo : Place tiles\tCtrl+Z");

    // With Z held: a copy, the source stays.
    QTest::keyPress(view(), Qt::Key_Z);
    QTest::mousePress(view(), Qt::LeftButton, {}, at(5, 4));
    EXPECT_EQ(cell(5, 4).tile, 4u);
    QTest::mouseMove(view(), at(10, 8));
    QTest::mouseRelease(view(), Qt::LeftButton, {}, at(10, 8));
    QTest::keyRelease(view(), Qt::Key_Z);
    EXPECT_EQ(cell(5, 4).tile, 4u);
    EXPECT_EQ(cell(10, 8).tile, 4u);
    EXPECT_EQ(cell(11, 8).tile, 6u);
    EXPECT_EQ(w.tools().tile_selection().rect(), (CellRect{5, 4, 6, 4}));

    // One undo takes the copy back, the next the move: source and destination in one step.
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cell(10, 8).tile, 0u);
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cell(1, 1).tile, 4u);
    EXPECT_EQ(cell(5, 4).tile, 0u);
    ASSERT_TRUE(w.run_command(cmd::kSave));
    saved = saved_cells();
    ASSERT_EQ(saved.size(), 240u);
    EXPECT_EQ(saved[20 + 1].tile, 4u);
    EXPECT_EQ(saved[20 + 2].tile, 6u);
    EXPECT_EQ(saved[4 * 20 + 5].tile, 0u);
}

// A left click on a line of a list window, as the user gives it.
void click_line(ListWindow* window, int row) {
    QListWidget* list = window->list();
    QListWidgetItem* item = list->item(row);
    ASSERT_NE(item, nullptr) << row;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

TEST_F(TileToolsGui, PastingOntoAMapWithAnotherTileSetIsRefusedWithTheMessage) {
    MainWindow& w = open();
    set(0, 0, 2);
    drag(Qt::Key_S, at(0, 0), at(0, 0));
    QTest::keyClick(view(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(w.tools().clipboard().kind, ClipKind::Tiles);
    ListWindow* maps = w.list_window(ListKind::Maps);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(maps));
    click_line(maps, 1);
    ASSERT_EQ(w.project().selected_map()->name, "Second");
    w.viewport()->activateWindow();
    QApplication::setActiveWindow(&w);
    w.viewport()->setFocus();
    EXPECT_TRUE(w.action(cmd::kPaste)->isEnabled());
    QTest::keyClick(view(), Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "You can only paste tiles on maps that use the same tile set.");
    EXPECT_EQ(platform.shown[0].caption, "Paste tiles");
    EXPECT_FALSE(w.tools().floating_active());
    // Back on the first map the paste floats.
    click_line(maps, 0);
    QApplication::setActiveWindow(&w);
    w.viewport()->setFocus();
    QTest::keyClick(view(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(w.tools().floating_active());
    QTest::mouseMove(view(), at(7, 7));
    QTest::mouseClick(view(), Qt::LeftButton, {}, at(7, 7));
    EXPECT_EQ(cell(7, 7).tile, 2u);
    w.project().modified = false;
}

TEST_F(TileToolsGui, AMosaicClickedInEntitiesModeFloatsInTilesMode) {
    MainWindow& w = open();
    set(2, 2, 9);
    set(3, 2, 10);
    drag(Qt::Key_S, at(2, 2), at(3, 2));
    QTest::keyClick(view(), Qt::Key_K, Qt::ControlModifier);  // New > Mosaic
    MosaicsWindow* mosaics = w.mosaics_window();
    mosaics->sync();
    EXPECT_EQ(mosaics->windowTitle(), "Mosaics  (1 / 1)");
    QTest::keyClick(view(), Qt::Key_Y);
    ASSERT_EQ(w.edit_state().mode(), EditMode::Entities);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(mosaics));
    QTest::mouseClick(mosaics->strip(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(w.edit_state().mode(), EditMode::Tiles);
    ASSERT_TRUE(w.tools().floating_active());
    EXPECT_TRUE(w.tools().floating().from_mosaic);
    // Into the view and a click: the mosaic lands there.
    QApplication::setActiveWindow(&w);
    QTest::mouseMove(view(), at(12, 9));
    QTest::mouseClick(view(), Qt::LeftButton, {}, at(12, 9));
    EXPECT_FALSE(w.tools().floating_active());
    EXPECT_EQ(cell(12, 9).tile, 9u);
    EXPECT_EQ(cell(13, 9).tile, 10u);
    EXPECT_EQ(undo_item(), "&Undo : Place tiles\tCtrl+Z");
    // D deletes it after the question.
    platform.answers = {Answer::Yes};
    QTest::mouseClick(mosaics->delete_button(), Qt::LeftButton);
    EXPECT_EQ(mosaics->windowTitle(), "Mosaics  (0 / 0)");
    w.project().modified = false;
}

TEST_F(TileToolsGui, CtrlArrowsMoveTheBrushWithTheirWraps) {
    MainWindow& w = open();
    TilesWindow* tiles = w.tiles_window();
    map().selected_tile_index = 4;  // the last tile of the first row
    QTest::keyClick(view(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(map().selected_tile_index, 1u);  // the first tile of the same row
    QTest::keyClick(view(), Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(map().selected_tile_index, 4u);
    QTest::keyClick(view(), Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(map().selected_tile_index, 12u);  // up from the first row: the same column of the last
    QTest::keyClick(view(), Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(map().selected_tile_index, 4u);
    EXPECT_EQ(tiles->windowTitle(), "Tiles  (4 / 12)");
    // The brush buttons set the flags; a click on a tile resets them.
    QTest::keyClick(view(), Qt::Key_F2);
    tiles->sync();
    EXPECT_TRUE(tiles->flip_horizontal_button()->isChecked());
    QTest::mouseClick(tiles->rotate_button(), Qt::LeftButton);
    EXPECT_TRUE(map().place_tile_rotate);
    QTest::mouseClick(tiles->grid(), Qt::LeftButton, {}, QPoint(15, 15));
    EXPECT_EQ(map().selected_tile_index, 6u);
    EXPECT_FALSE(map().place_tile_horizontal_flip || map().place_tile_rotate);
    // The wheel over the grid scrolls a row per notch, over the horizontal bar a column; with Ctrl it
    // zooms the grid by a pixel.
    map().top_left_tile_index_in_tiles_dialog = 1;
    auto turn = [](QWidget* over, int delta, Qt::KeyboardModifiers keys) {
        const QPointF at(5, 5);
        QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, keys,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(over, &wheel);
    };
    turn(tiles->grid(), -120, Qt::NoModifier);
    EXPECT_EQ(map().top_left_tile_index_in_tiles_dialog, 5u);
    turn(tiles->horizontal_bar(), -120, Qt::NoModifier);
    EXPECT_EQ(map().top_left_tile_index_in_tiles_dialog, 6u);
    w.project().modified = false;
    turn(tiles->grid(), 120, Qt::ControlModifier);
    EXPECT_EQ(map().pixel_size_of_tiles_in_tiles_dialog, 9);
    EXPECT_TRUE(w.project().modified);
    // The view size field clamps what is typed.
    tiles->view_size_field()->setFocus();
    tiles->view_size_field()->selectAll();
    QTest::keyClicks(tiles->view_size_field(), "200");
    QTest::keyClick(tiles->view_size_field(), Qt::Key_Return);
    EXPECT_EQ(map().pixel_size_of_tiles_in_tiles_dialog, 128);
    EXPECT_TRUE(w.project().modified);
    w.project().modified = false;
}

// Adding or deleting objects first ends what the tools are doing: a keyboard move puts its cells back and
// the selection goes.
TEST_F(TileToolsGui, DeletingATileSetEndsAMoveAndClearsTheSelection) {
    MainWindow& w = open();
    set(2, 2, 5);
    drag(Qt::Key_S, at(2, 2), at(2, 2));
    QTest::keyClick(view(), Qt::Key_6, Qt::KeypadModifier);  // a keyboard move lifts the cell
    ASSERT_TRUE(w.tools().floating_active());
    EXPECT_EQ(cell(2, 2).tile, 0u);

    ListWindow* tile_sets = w.list_window(ListKind::TileSets);
    QListWidget* list = tile_sets->list();
    QListWidgetItem* other = list->findItems("Other", Qt::MatchStartsWith).value(0);
    ASSERT_NE(other, nullptr);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(other).center());
    QTest::mouseClick(tile_sets->button("Delete"), Qt::LeftButton);  // the question is answered Yes
    EXPECT_EQ(w.project().tile_sets.size(), 1u);
    EXPECT_FALSE(w.tools().floating_active());
    EXPECT_FALSE(w.tools().tile_selection().active);
    EXPECT_EQ(cell(2, 2).tile, 5u);
    w.project().modified = false;
}

}  // namespace
}  // namespace zorva

namespace zorva {
namespace {

// F5 to F12 on a band of cells: each key acts on the selection and leaves its record; the scale keys have
// nothing to scale in Tiles.
TEST_F(TileToolsGui, TransformKeysFlipAndRotateTheSelectedCells) {
    MainWindow& w = open();
    set(2, 2, 1);
    set(4, 2, 3);
    set(2, 3, 5);
    drag(Qt::Key_S, at(2, 2), at(4, 3));
    ASSERT_TRUE(w.action(cmd::kFlipHorizontal)->isEnabled());
    EXPECT_FALSE(w.action(cmd::kScale)->isEnabled());
    EXPECT_FALSE(w.action(cmd::kIndividualScale)->isEnabled());

    QTest::keyClick(view(), Qt::Key_F5);
    EXPECT_EQ(cell(2, 2), (GridCell{3, kCellFlipHorizontal}));
    EXPECT_EQ(cell(4, 2), (GridCell{1, kCellFlipHorizontal}));
    EXPECT_EQ(cell(4, 3), (GridCell{5, kCellFlipHorizontal}));
    EXPECT_EQ(undo_item(), "&Undo : Flip tiles\tCtrl+Z");
    QTest::keyClick(view(), Qt::Key_F6);
    EXPECT_EQ(cell(4, 2), (GridCell{5, kCellFlipHorizontal | kCellFlipVertical}));
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cell(2, 2), (GridCell{1, 0}));

    // A quarter turn of the 3 × 2 block: 2 wide and 3 tall afterwards.
    QTest::keyClick(view(), Qt::Key_F7);
    EXPECT_EQ(cell(2, 2), (GridCell{5, kCellRotate}));
    EXPECT_EQ(cell(3, 2), (GridCell{1, kCellRotate}));
    EXPECT_EQ(cell(3, 4), (GridCell{3, kCellRotate}));
    EXPECT_EQ(cell(4, 2), (GridCell{}));
    EXPECT_EQ(undo_item(), "&Undo : Rotate tiles\tCtrl+Z");
    w.update_status();
    EXPECT_EQ(w.cursor_pane()->text(), "Sel: 2 x 3");

    QTest::keyClick(view(), Qt::Key_F9);
    EXPECT_EQ(cell(2, 2), (GridCell{5, kCellRotate | kCellFlipHorizontal}));
    QTest::keyClick(view(), Qt::Key_F10);
    EXPECT_EQ(cell(2, 2), (GridCell{5, kCellRotate | kCellFlipHorizontal | kCellFlipVertical}));
    QTest::keyClick(view(), Qt::Key_F11);
    EXPECT_EQ(cell(2, 2), (GridCell{5, 0}));
    EXPECT_EQ(undo_item(), "&Undo : Rotate tiles\tCtrl+Z");
    QTest::keyClick(view(), Qt::Key_F8);
    QTest::keyClick(view(), Qt::Key_F12);
    EXPECT_EQ(undo_item(), "&Undo : Rotate tiles\tCtrl+Z");
    QTest::keyClick(view(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(cell(2, 2), (GridCell{5, kCellRotate | kCellFlipHorizontal | kCellFlipVertical}));
    w.project().modified = false;
}

}  // namespace
}  // namespace zorva
