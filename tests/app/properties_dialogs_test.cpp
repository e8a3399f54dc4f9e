// The properties dialogs and the custom variables editor on the offscreen platform, driven by clicks and
// keys: the tile set picture loaded when its field is left (and put back when it fails), the colour picked
// from the preview, the layer size rules and warning, the entity's frame warning, and the custom variables
// editor's numbers, bits, changed marks and questions.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QtTest/QTest>
#include <deque>

#include "app/dialogs/custom_variables_dialog.h"
#include "app/dialogs/dialog_parts.h"
#include "app/dialogs/entity_dialog.h"
#include "app/dialogs/layer_dialog.h"
#include "app/dialogs/map_dialog.h"
#include "app/dialogs/tile_set_dialog.h"
#include "dialog_platform.h"
#include "model/project.h"
#include "object_test_support.h"
#include "prefs/preferences.h"
#include "support/qt_test_app.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

class ImagePlatform : public test::DialogPlatform {
public:
    std::optional<std::string> choose_open_file(std::string_view title,
                                                const std::vector<FileFilter>& filters,
                                                std::string_view start_folder) override {
        chooser_titles.push_back(std::string(title));
        (void)filters;
        chooser_folders.push_back(std::string(start_folder));
        if (open_files.empty()) return std::nullopt;
        std::string next = open_files.front();
        open_files.pop_front();
        return next;
    }
    std::deque<std::string> open_files;
    std::vector<std::string> chooser_titles;
    std::vector<std::string> chooser_folders;
};

class PropertiesDialogTest : public ::testing::Test {
protected:
    void SetUp() override { test::qt_app(); }

    template <class T>
    static T* child(const QWidget& dialog, const char* name) {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static void show_active(QDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    // Clicks into a field, replaces its text by typing, and leaves it with Tab (only a field that had the
    // focus is left, so the click must have given it).
    static void type_into(QLineEdit* edit, const QString& text) {
        QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(4, edit->height() / 2));
        EXPECT_TRUE(QTest::qWaitFor([edit] { return edit->hasFocus(); }, 1000))
            << edit->objectName().toStdString();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    }

    static void click(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }

    test::TempDir dir;
    ImagePlatform platform;
    Preferences prefs;
    Project project;
};

TEST_F(PropertiesDialogTest, TileSetPictureLoadsWhenItsFieldIsLeftAndTheColourIsPickedFromThePreview) {
    const std::string tiles = dir.file("tiles.png");
    ASSERT_TRUE(test::write_tiles_png(tiles, 4, 2, 16));
    test::write_file(dir.file("broken.png"), test::Bytes{1, 2, 3});
    TileSetProperties edited = make_default_tile_set(project, prefs.project_defaults());
    edited.single_tile_pixel_width = 16;
    edited.single_tile_pixel_height = 16;
    TileSetDialog dialog(edited, true, project, prefs, platform);
    EXPECT_EQ(dialog.windowTitle(), "New Tile Set");
    show_active(dialog);
    EXPECT_EQ(child<QLabel>(dialog, "tile_count")->text(), "Number of tiles:  0");

    auto* path = child<QLineEdit>(dialog, "image_path");
    type_into(path, QString::fromStdString(tiles));
    EXPECT_EQ(child<QLabel>(dialog, "image_size")->text(), "Image size:  64 x 32");
    EXPECT_EQ(child<QLabel>(dialog, "colour_depth")->text(), "Colour Depth: 24");
    EXPECT_EQ(child<QLabel>(dialog, "tile_count")->text(), "Number of tiles:  8");
    EXPECT_EQ(child<QLabel>(dialog, "tiles_across")->text(), "Number of tiles across:  4");
    type_into(child<QLineEdit>(dialog, "tile_width"), "32");
    EXPECT_EQ(child<QLabel>(dialog, "tile_count")->text(), "Number of tiles:  4");
    type_into(child<QLineEdit>(dialog, "tile_width"), "16");

    // A picture that cannot be read: the message, and the field shows the path it had.
    type_into(path, QString::fromStdString(dir.file("broken.png")));
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Failed to load the image:\n\n" + dir.file("broken.png") + "\n\n");
    EXPECT_EQ(path->text().toStdString(), tiles);
    EXPECT_EQ(dialog.preview_image().width, 64);

    // A click on the preview's tile in column 2, row 1 picks its colour.
    const PreviewRect drawn = dialog.preview()->drawn_rect();
    ASSERT_EQ(drawn.width, 64);  // the picture fits: drawn at its own size
    QTest::mouseClick(dialog.preview(), Qt::LeftButton, {}, QPoint(drawn.x + 40, drawn.y + 20));
    click(child<QCheckBox>(dialog, "use_transparent_colour"));
    // The name field holds 30 characters at most.
    type_into(child<QLineEdit>(dialog, "name"), QString(40, 'n'));
    click(child<QPushButton>(dialog, "ok"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(edited.image_path_and_file_name, tiles);
    EXPECT_EQ(edited.transparent_colour, 100u | (60u << 8) | (200u << 16));
    EXPECT_TRUE(edited.use_transparent_colour);
    EXPECT_EQ(edited.name, std::string(30, 'n'));
    EXPECT_EQ(edited.single_tile_pixel_width, 16);

    // The colour box opens the chooser on the current colour; Cancel hands nothing back.
    TileSetProperties again = edited;
    TileSetDialog second(again, false, project, prefs, platform);
    EXPECT_EQ(second.windowTitle(), "Tile Set Properties");
    show_active(second);
    EXPECT_EQ(child<QLabel>(second, "tile_count")->text(), "Number of tiles:  8");
    platform.next_colour = 0x00123456;
    click(child<QPushButton>(second, "transparent_colour"));
    ASSERT_EQ(platform.colour_requests.size(), 1u);
    EXPECT_EQ(platform.colour_requests[0], edited.transparent_colour);
    click(child<QPushButton>(second, "cancel"));
    EXPECT_EQ(second.result(), QDialog::Rejected);
    EXPECT_EQ(again.transparent_colour, edited.transparent_colour);
}

TEST_F(PropertiesDialogTest, LoadImageButtonRemembersTheFolderOnlyWhenConfirmed) {
    const std::string tiles = dir.file("tiles.png");
    ASSERT_TRUE(test::write_tiles_png(tiles, 2, 2, 8));
    project.last_used_image_tile_set_path = "/remembered/tiles/";
    TileSetProperties edited;
    {
        TileSetDialog dialog(edited, false, project, prefs, platform);
        show_active(dialog);
        platform.open_files.push_back(tiles);
        click(child<QPushButton>(dialog, "image_path_browse"));
        ASSERT_EQ(platform.chooser_titles, std::vector<std::string>{"Load Image"});
        EXPECT_EQ(platform.chooser_folders[0], "/remembered/tiles/");
        EXPECT_EQ(child<QLabel>(dialog, "image_size")->text(), "Image size:  16 x 16");
        EXPECT_EQ(prefs.last_image_kind(), 2);
        click(child<QPushButton>(dialog, "cancel"));
    }
    EXPECT_EQ(project.last_used_image_tile_set_path, "/remembered/tiles/");
    EXPECT_TRUE(edited.image_path_and_file_name.empty());
    TileSetDialog dialog(edited, false, project, prefs, platform);
    show_active(dialog);
    platform.open_files.push_back(tiles);
    click(child<QPushButton>(dialog, "image_path_browse"));
    click(child<QPushButton>(dialog, "ok"));
    EXPECT_EQ(edited.image_path_and_file_name, tiles);
    EXPECT_EQ(project.last_used_image_tile_set_path, dir.file(""));
}

TEST_F(PropertiesDialogTest, LayerSizesBecomeAtLeastOneAndABigLayerIsWarnedAbout) {
    Map* map = add_map(project, make_default_map(project), false, nullptr);
    LayerProperties edited = make_default_layer(project, prefs.project_defaults(), map->unique_id);
    LayerDialog dialog(edited, true, project, prefs, platform);
    EXPECT_EQ(dialog.windowTitle(), "New Layer");
    show_active(dialog);
    EXPECT_EQ(child<QLabel>(dialog, "entity_count")->text(), "Number of Entities:  0");
    EXPECT_EQ(child<QLabel>(dialog, "path_count")->text(), "Number of Paths:  0");

    auto* width = child<QLineEdit>(dialog, "grid_width");
    auto* height = child<QLineEdit>(dialog, "grid_height");
    type_into(width, "0");
    EXPECT_EQ(width->text(), "1");
    type_into(height, "-5");
    EXPECT_EQ(height->text(), "1");
    EXPECT_TRUE(platform.shown.empty());
    type_into(width, "2000");
    type_into(height, "2000");
    EXPECT_TRUE(platform.shown.empty());  // 4,000,000 cells exactly: no warning
    type_into(width, "2001");
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(
        platform.shown[0].text,
        "Warning: The layer size is big. It may use up all your\ncomputer's memory and cause your computer "
        "to slow down\nsignificantly.\n");
    EXPECT_EQ(platform.shown[0].caption, "Warning");
    type_into(width, "3");
    type_into(height, "4");

    type_into(child<QLineEdit>(dialog, "scroll_speed_x"), "1.5");
    type_into(child<QLineEdit>(dialog, "offset_y"), "-2");
    click(child<QCheckBox>(dialog, "wrap_y"));
    auto* opacity = child<QSlider>(dialog, "opacity");
    opacity->setFocus();
    QTest::keyClick(opacity, Qt::Key_Home);
    QTest::keyClick(opacity, Qt::Key_Right);
    EXPECT_EQ(child<QLabel>(dialog, "opacity_value")->text(), "1");
    platform.next_colour = 0x00102030;
    click(child<QPushButton>(dialog, "background_colour"));
    click(child<QPushButton>(dialog, "ok"));
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(edited.grid_width, 3);
    EXPECT_EQ(edited.grid_height, 4);
    EXPECT_EQ(edited.scroll_speed_x, 1.5f);
    EXPECT_EQ(edited.grid_offset_y, -2);
    EXPECT_TRUE(edited.wrap_y);
    EXPECT_EQ(edited.opacity, 1);
    EXPECT_EQ(edited.background_colour, 0x00102030u);
    EXPECT_EQ(edited.map_id, map->unique_id);
}

TEST_F(PropertiesDialogTest, EntityFrameLargerThanItsPictureIsAskedAboutAndCancelKeepsTheDialog) {
    const std::string frames = dir.file("frames.png");
    ASSERT_TRUE(test::write_tiles_png(frames, 4, 2, 16));
    ParentEntityProperties edited = make_default_parent_entity(project, prefs.project_defaults());
    EntityDialog dialog(edited, true, project, prefs, platform);
    EXPECT_EQ(dialog.windowTitle(), "New Entity");
    show_active(dialog);
    type_into(child<QLineEdit>(dialog, "image_path"), QString::fromStdString(frames));
    EXPECT_EQ(child<QLabel>(dialog, "image_size")->text(), "Image size:  64 x 32");
    EXPECT_EQ(child<QLabel>(dialog, "frame_count")->text(), "Number of frames:  2");  // 32 x 32 frames
    type_into(child<QLineEdit>(dialog, "frame_width"), "16");
    type_into(child<QLineEdit>(dialog, "frame_height"), "40");
    EXPECT_EQ(child<QLabel>(dialog, "frames_across")->text(), "Number of frames across:  4");
    EXPECT_EQ(child<QLabel>(dialog, "frames_down")->text(), "Number of frames down:  0");

    platform.answers = {Answer::Cancel};
    click(child<QPushButton>(dialog, "ok"));
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "The frame height is greater than the image height.\n\n");
    EXPECT_EQ(platform.shown[0].caption, "Warning");
    EXPECT_EQ(platform.shown[0].buttons, MessageButtons::OkCancel);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);

    type_into(child<QLineEdit>(dialog, "frame_height"), "16");
    click(child<QCheckBox>(dialog, "is_trigger"));
    click(child<QAbstractButton>(dialog, "circle"));
    type_into(child<QLineEdit>(dialog, "trigger_radius"), "2");
    type_into(child<QLineEdit>(dialog, "preview_frame"), "99");
    click(child<QPushButton>(dialog, "ok"));
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(edited.pixel_width, 64u);
    EXPECT_EQ(edited.pixel_height, 32u);
    EXPECT_EQ(edited.single_frame_pixel_height, 16);
    EXPECT_TRUE(edited.is_trigger);
    EXPECT_TRUE(edited.trigger_is_a_circle);
    EXPECT_EQ(edited.default_circle_trigger_radius, 4u);  // at least 4
    EXPECT_EQ(edited.preview_anima_frame, 7);             // the last of 8 frames
    EXPECT_EQ(edited.image_path_and_file_name, frames);
}

TEST_F(PropertiesDialogTest, MapChoosesItsTileSetByName) {
    for (const char* name : {"Cave", "Forest"}) {
        TileSetProperties t;
        t.name = name;
        add_tile_set(project, t, false, nullptr);
    }
    MapProperties edited = make_default_map(project);
    MapDialog dialog(edited, true, project, prefs, platform);
    EXPECT_EQ(dialog.windowTitle(), "New Map");
    show_active(dialog);
    auto* tile_set = child<QComboBox>(dialog, "tile_set");
    ASSERT_EQ(tile_set->count(), 2);
    EXPECT_EQ(tile_set->currentIndex(), -1);
    tile_set->setFocus();
    QTest::keyClick(tile_set, Qt::Key_End);  // the last name
    EXPECT_EQ(tile_set->currentText(), "Forest");
    EXPECT_EQ(child<QLabel>(dialog, "entity_count")->text(), "Number of Entities on all the layers:  0");
    click(child<QCheckBox>(dialog, "export_this_map"));
    type_into(child<QLineEdit>(dialog, "user_id"), "99999999999");
    click(child<QPushButton>(dialog, "ok"));
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(edited.use_tile_set_id, project.tile_sets[1]->unique_id);
    EXPECT_FALSE(edited.export_this_map);
    EXPECT_EQ(edited.user_supplied_id, 0xFFFFFFFFu);  // clamped to the largest id
}

// --- Custom variables editor
// --------------------------------------------------------------------------------

class CustomVariablesDialogTest : public PropertiesDialogTest {
protected:
    static void click_line(QListWidget* list, int row) {
        QListWidgetItem* item = list->item(row);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
    }
};

TEST_F(CustomVariablesDialogTest, ThreeEntitiesKeepTheirOtherValuesAndNumbersAreClamped) {
    IntVariables first{};
    first[4] = 3;
    DescriptionTable table = make_default_descriptions();
    CustomVariablesEdit edit("Selected Entities", selected_entities_name(3, "Bat"), table, first, 3, true);
    CustomVariablesDialog dialog(edit, prefs, platform);
    EXPECT_EQ(dialog.windowTitle(), "Custom Variables:  Selected Entities (3)");
    EXPECT_EQ(child<QLabel>(dialog, "note")->text(),
              "Note: The variable descriptions are the same for all Selected Entities objects.");
    EXPECT_EQ(dialog.findChild<QLabel*>("strings_note"), nullptr);
    show_active(dialog);

    click_line(dialog.list(), 4);
    EXPECT_EQ(prefs.custom_variables_editor_index(), 4);
    auto* value = child<QLineEdit>(dialog, "value");
    EXPECT_EQ(value->text(), "3");
    type_into(value, "40000");
    EXPECT_EQ(value->text(), "32767");
    EXPECT_EQ(dialog.list()->item(4)->text(), "05:  Variable05   =   32767 *");
    type_into(value, "-40000");
    EXPECT_EQ(value->text(), "-32768");

    // Bit mode for variable 5: the 16 boxes follow the value and set it.
    auto* use_bits = child<QCheckBox>(dialog, "use_bits");
    auto* bit15 = child<QCheckBox>(dialog, "bit_15");
    EXPECT_FALSE(bit15->isEnabled());
    click(use_bits);
    EXPECT_TRUE(bit15->isEnabled());
    EXPECT_TRUE(child<QCheckBox>(dialog, "bit_0")->isChecked());  // -32768: only the top bit
    click(bit15);
    EXPECT_EQ(value->text(), "-32767");
    EXPECT_EQ(dialog.list()->item(4)->text(), "05:  Variable05   =   1000000000000001 *");

    platform.answers = {Answer::Ok};
    click(child<QPushButton>(dialog, "ok"));
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(platform.shown.back().caption, "Multiple objects");
    IntVariables a{}, b{}, c{};
    a[0] = 11;
    b[4] = 3;
    c[5] = -2;
    for (IntVariables* v : {&a, &b, &c}) edit.write_values(*v);
    EXPECT_EQ(a[4], -32767);
    EXPECT_EQ(b[4], -32767);
    EXPECT_EQ(c[4], -32767);
    EXPECT_EQ(a[0], 11);
    EXPECT_EQ(c[5], -2);
    edit.write_descriptions(table);
    EXPECT_TRUE(table[4].use_bits);
}

TEST_F(CustomVariablesDialogTest, CancelAfterOnlyMovingTheSelectionAsksNothing) {
    prefs.set_custom_variables_editor_index(250);  // clamped to the last variable
    TextVariables values{};
    values[99] = "keep";
    CustomVariablesEdit edit("Tile Set", "Rock", make_default_descriptions(), values);
    {
        CustomVariablesDialog dialog(edit, prefs, platform);
        EXPECT_EQ(dialog.windowTitle(), "Custom Variables:  Rock");
        EXPECT_NE(dialog.findChild<QLabel*>("strings_note"), nullptr);
        EXPECT_EQ(dialog.findChild<QCheckBox*>("show_in_view"), nullptr);
        show_active(dialog);
        EXPECT_EQ(child<QLineEdit>(dialog, "value")->text(), "keep");
        EXPECT_TRUE(dialog.list()->item(99)->isSelected());
        click_line(dialog.list(), 2);
        click_line(dialog.list(), 7);
        click(child<QPushButton>(dialog, "cancel"));
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_TRUE(platform.shown.empty());
    }
    EXPECT_EQ(prefs.custom_variables_editor_index(), 7);

    // After a change Cancel asks; No keeps the dialog, Yes closes it.
    CustomVariablesDialog dialog(edit, prefs, platform);
    show_active(dialog);
    type_into(child<QLineEdit>(dialog, "description"), "Speed");
    EXPECT_EQ(dialog.list()->item(7)->text(), "08:  Speed   =   ");
    platform.answers = {Answer::No};
    click(child<QPushButton>(dialog, "cancel"));
    EXPECT_EQ(platform.shown.back().text, "Cancel changes?");
    EXPECT_TRUE(dialog.isVisible());
    platform.answers = {Answer::Yes};
    QTest::keyClick(dialog.list(), Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace zorva
