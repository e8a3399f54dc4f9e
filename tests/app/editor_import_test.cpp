// "Import Binary MAP File" from the main window: the dialog filled in with keys and clicks, the imported
// project taking the open one's place in the window, its lists and its title. "Import TMX Map" the same way
// through its file chooser.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "app/command_table.h"
#include "app/windows/list_window.h"
#include "app/windows/main_window.h"
#include "editor_test_support.h"
#include "prefs/preferences.h"
#include "support/qt_test_app.h"
#include "support/temp_dir.h"
#include "support/test_bmp.h"

namespace zorva {
namespace {

void type(QWidget* dialog, const char* name, const std::string& text) {
    auto* edit = dialog->findChild<QLineEdit*>(name);
    ASSERT_NE(edit, nullptr) << name;
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, QString::fromStdString(text));
}

TEST(EditorImport, TheImportedMapReplacesTheOpenProject) {
    test::qt_app();
    test::TempDir dir;
    const std::string image = dir.file("tiles.bmp");
    const std::string map = dir.file("level.map");
    test::write_bmp(image, 64, 0x00FF00);
    test::Bytes bytes;
    for (int i = 0; i < 3 * 24; ++i) bytes.push_back(static_cast<std::uint8_t>(i % 5));
    test::write_file(map, bytes);

    Preferences prefs;
    test::ChooserPlatform platform;
    MainWindow window(prefs, platform, dir.path() / "data");
    window.show();
    ASSERT_TRUE(window.action(cmd::kImportBinaryMap)->isEnabled());

    bool filled = false;
    test::when_modal_opens([&](QWidget* dialog) {
        type(dialog, "map_file", map);
        type(dialog, "tile_set_image", image);
        type(dialog, "map_width", "6");
        type(dialog, "map_height", "4");
        auto* cell_size = dialog->findChild<QComboBox*>("cell_size");
        cell_size->setFocus();
        QTest::keyClick(cell_size, Qt::Key_Home);  // one byte per cell
        platform.answers = {Answer::No};           // the changed settings are not saved
        QTest::mouseClick(dialog->findChild<QPushButton*>("import"), Qt::LeftButton);
        filled = true;
    });
    ASSERT_TRUE(window.run_command(cmd::kImportBinaryMap));
    ASSERT_TRUE(filled);

    const Project& project = window.project();
    ASSERT_EQ(project.maps.size(), 1u);
    const Map& imported = *project.maps[0];
    EXPECT_EQ(project.selected_map(), &imported);
    EXPECT_EQ(imported.layers.size(), 3u);
    EXPECT_EQ(imported.layers[0]->grid_width, 6);
    EXPECT_EQ(imported.layers[2]->grid[23].tile, static_cast<std::uint32_t>((2 * 24 + 23) % 5));
    EXPECT_EQ(window.windowTitle(), "Zorva: Noname *");
    QListWidget* maps = window.list_window(ListKind::Maps)->findChild<QListWidget*>();
    ASSERT_NE(maps, nullptr);
    ASSERT_EQ(maps->count(), 1);
    EXPECT_NE(maps->item(0)->text().indexOf("Map01"), -1) << maps->item(0)->text().toStdString();
    // Remembered for the next time.
    EXPECT_EQ(prefs.text(pref_offset::kImportMapFolder), map);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, "Save Changes");
}

TEST(EditorImport, ATmxMapFromTheImportMenuReplacesTheOpenProject) {
    test::qt_app();
    test::TempDir dir;
    test::write_bmp(dir.file("tiles.bmp"), 64, 0x00FF00);
    test::write_file(
        dir.file("cave.tmx"),
        "<map orientation=\"orthogonal\" width=\"3\" height=\"1\" tilewidth=\"16\" tileheight=\"1\">"
        "<tileset firstgid=\"1\" name=\"rock\" tilewidth=\"16\" tileheight=\"1\">"
        "<image source=\"tiles.bmp\"/></tileset><imagelayer name=\"sky\"/>"
        "<layer name=\"Floor\"><data encoding=\"csv\">3,0,2147483650</data></layer></map>");

    Preferences prefs;
    test::ChooserPlatform platform;
    MainWindow window(prefs, platform, dir.path() / "data");
    window.show();
    // The entry sits in File > Import after the binary MAP import.
    QMenu* import = nullptr;
    for (QAction* entry : window.menuBar()->actions())
        if (entry->text() == "&File")
            for (QAction* item : entry->menu()->actions())
                if (item->menu() && item->text() == "&Import") import = item->menu();
    ASSERT_NE(import, nullptr);
    ASSERT_EQ(import->actions().size(), 2);
    EXPECT_EQ(import->actions()[1], window.action(cmd::kImportTmxMap));
    EXPECT_EQ(window.action(cmd::kImportTmxMap)->text(), "&TMX Map");

    // Cancelled in the chooser: nothing changes.
    platform.open_files = {std::nullopt};
    ASSERT_TRUE(window.run_command(cmd::kImportTmxMap));
    EXPECT_TRUE(window.project().maps.empty());

    platform.open_files = {dir.file("cave.tmx")};
    ASSERT_TRUE(window.run_command(cmd::kImportTmxMap));
    ASSERT_EQ(platform.choosers.size(), 2u);
    EXPECT_EQ(platform.choosers[1].title, "Import TMX Map");
    const Project& project = window.project();
    ASSERT_EQ(project.maps.size(), 1u);
    EXPECT_EQ(project.selected_map(), project.maps[0].get());
    const Layer& floor = *project.maps[0]->layers[0];
    EXPECT_EQ(floor.name.view(), "Floor");
    EXPECT_EQ(floor.grid[0].tile, 3u);
    EXPECT_TRUE(floor.grid[2].flip_horizontal());
    EXPECT_EQ(window.windowTitle(), "Zorva: Noname *");
    // What could not be carried over was said once.
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, "Import TMX Map");
    EXPECT_NE(platform.shown[0].text.find("Image layers"), std::string::npos) << platform.shown[0].text;
}

}  // namespace
}  // namespace zorva
