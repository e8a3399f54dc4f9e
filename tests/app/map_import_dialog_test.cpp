// The "Import Binary MAP File" dialog driven with real clicks and keys: the enabling rules, Save Settings
// and Load Settings with the ".zis" file, the question before leaving with changed settings, and the
// Browse buttons.
#include "app/dialogs/map_import_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QtTest/QTest>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/import_preferences.h"
#include "dialog_platform.h"
#include "support/image_files.h"
#include "support/qt_test_app.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

// The dialog platform with scripted open and save choosers.
class ImportDialogPlatform : public test::DialogPlatform {
public:
    struct Chooser {
        std::string title;
        std::vector<FileFilter> filters;
        std::string start_folder;
    };
    std::optional<std::string> choose_open_file(std::string_view title,
                                                const std::vector<FileFilter>& filters,
                                                std::string_view start_folder) override {
        choosers.push_back({std::string(title), filters, std::string(start_folder)});
        return next(open_files);
    }
    std::optional<SaveChoice> choose_save_file(std::string_view title, const std::vector<FileFilter>& filters,
                                               std::string_view start_folder, std::string_view) override {
        choosers.push_back({std::string(title), filters, std::string(start_folder)});
        return next(save_files);
    }
    std::deque<std::optional<std::string>> open_files;
    std::deque<std::optional<SaveChoice>> save_files;
    std::vector<Chooser> choosers;

private:
    template <class T>
    static std::optional<T> next(std::deque<std::optional<T>>& queue) {
        if (queue.empty()) return std::nullopt;
        std::optional<T> value = queue.front();
        queue.pop_front();
        return value;
    }
};

class MapImportDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::qt_app();
        initial.map_file = "/levels/world.map";
        initial.tile_set_image = "/levels/art/tiles.png";
    }

    static void show_active(QDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    template <class T>
    static T* child(const QDialog& dialog, const char* name) {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static void click(const QDialog& dialog, const char* button) {
        QTest::mouseClick(child<QPushButton>(dialog, button), Qt::LeftButton);
    }

    // A click on the box's square.
    static void tick(const QDialog& dialog, const char* name) {
        QCheckBox* box = child<QCheckBox>(dialog, name);
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect square = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        QTest::mouseClick(box, Qt::LeftButton, {}, square.center());
    }

    // Clicks into the field, selects its text and types `text` over it.
    static void type(const QDialog& dialog, const char* name, const QString& text) {
        QLineEdit* edit = child<QLineEdit>(dialog, name);
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
    }

    static bool enabled(const QDialog& dialog, const char* name) {
        return dialog.findChild<QWidget*>(QString::fromLatin1(name))->isEnabled();
    }

    test::TempDir dir;
    Preferences prefs;
    ImportDialogPlatform platform;
    ImportSettings initial;
};

TEST_F(MapImportDialogTest, ControlsFollowTheSwitches) {
    MapImportDialog dialog(initial, prefs, platform);
    show_active(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Import Binary MAP File");
    for (const char* side : {"width", "height"}) {
        SCOPED_TRACE(side);
        const std::string s = side;
        const std::string from_file = s + "_from_file", fixed = "map_" + s, field = s + "_field_size",
                          use_position = "use_" + s + "_position", position = s + "_position";
        EXPECT_TRUE(enabled(dialog, fixed.c_str()));
        EXPECT_FALSE(enabled(dialog, field.c_str()));
        EXPECT_FALSE(enabled(dialog, use_position.c_str()));
        EXPECT_FALSE(enabled(dialog, position.c_str()));

        tick(dialog, from_file.c_str());
        EXPECT_FALSE(enabled(dialog, fixed.c_str()));
        EXPECT_TRUE(enabled(dialog, field.c_str()));
        EXPECT_TRUE(enabled(dialog, use_position.c_str()));
        EXPECT_FALSE(enabled(dialog, position.c_str()));

        tick(dialog, use_position.c_str());
        EXPECT_TRUE(enabled(dialog, position.c_str()));

        // Off again: the position switch keeps its tick but the position is not used.
        tick(dialog, from_file.c_str());
        EXPECT_TRUE(enabled(dialog, fixed.c_str()));
        EXPECT_FALSE(enabled(dialog, use_position.c_str()));
        EXPECT_TRUE(child<QCheckBox>(dialog, use_position.c_str())->isChecked());
        EXPECT_FALSE(enabled(dialog, position.c_str()));
        tick(dialog, from_file.c_str());
        EXPECT_TRUE(enabled(dialog, position.c_str()));
    }
    EXPECT_FALSE(enabled(dialog, "map_array_position"));
    tick(dialog, "use_map_array_position");
    EXPECT_TRUE(enabled(dialog, "map_array_position"));
    EXPECT_TRUE(dialog.settings_changed());

    // The three size lists offer 1 to 4.
    for (const char* name : {"width_field_size", "height_field_size", "cell_size"}) {
        QComboBox* list = child<QComboBox>(dialog, name);
        ASSERT_EQ(list->count(), 4);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(list->itemText(i), QString::number(i + 1));
    }
    // Labels as the user reads them.
    QStringList texts;
    for (QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
    for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) texts << box->text();
    for (const char* text : {"MAP file to import:",
                             "Tile Set image file:",
                             "Tile Width (in pixels):",
                             "Tile Height (in pixels):",
                             "Map Width (in tiles):",
                             "Map Height (in tiles):",
                             "Get the Map Width from the MAP file.",
                             "Get the Map Height from the MAP file.",
                             "Size of Width field in the file (bytes):",
                             "Size of Heigth field in the file (bytes):",
                             "Start position of Width field in MAP file (bytes):",
                             "Start position of Height field in MAP file (bytes):",
                             "Start position of Map Array in MAP file (bytes):",
                             "Size of each cell (bytes):",
                             "Tile index adjuster:",
                             "Number of bytes to skip after reading each cell:",
                             "Number of bytes to skip after reading each Layer:",
                             "Use transparent colour",
                             "Click colour to edit",
                             "Invert Layer order",
                             "Merge Map into current project (this can not be undone)"})
        EXPECT_TRUE(texts.contains(text)) << text;
}

TEST_F(MapImportDialogTest, SaveSettingsWritesTheControlsAndLoadSettingsBringsThemBack) {
    MapImportDialog dialog(initial, prefs, platform);
    show_active(dialog);
    type(dialog, "tile_width", "24");
    type(dialog, "tile_index_adjuster", "-3");
    type(dialog, "skip_after_layer", "4294967295");
    tick(dialog, "width_from_file");
    QComboBox* field = child<QComboBox>(dialog, "width_field_size");
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Up);  // 4 -> 3
    platform.next_colour = 0x00FF00;
    click(dialog, "transparent_colour");
    tick(dialog, "use_transparent_colour");
    tick(dialog, "invert_layer_order");
    EXPECT_TRUE(dialog.settings_changed());

    // A name without the extension gets ".zis".
    const std::string saved = dir.file("level.zis");
    platform.save_files = {SaveChoice{dir.file("level"), 0}};
    click(dialog, "save_settings");
    ASSERT_EQ(platform.choosers.size(), 1u);
    EXPECT_EQ(platform.choosers[0].title, "Save Settings");
    EXPECT_EQ(platform.choosers[0].start_folder, "/levels/");  // beside the MAP file: nothing remembered yet
    ASSERT_EQ(platform.choosers[0].filters.size(), 1u);
    EXPECT_EQ(platform.choosers[0].filters[0].name, "Zorva Importer Settings Files (*.zis)");
    EXPECT_EQ(platform.choosers[0].filters[0].patterns, std::vector<std::string>{"*.zis"});
    EXPECT_FALSE(dialog.settings_changed());
    EXPECT_EQ(std::filesystem::file_size(saved), 584u);
    const ImportSettingsRead read = read_import_settings_file(saved);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.settings, dialog.settings());
    EXPECT_EQ(read.settings.map_file, "/levels/world.map");
    EXPECT_EQ(read.settings.tile_width, 24u);
    EXPECT_EQ(read.settings.tile_index_adjuster, -3);
    EXPECT_EQ(read.settings.skip_after_layer, 0xFFFFFFFFu);
    EXPECT_TRUE(read.settings.width_from_file);
    EXPECT_EQ(read.settings.width_field_size, 3u);
    EXPECT_TRUE(read.settings.use_transparent_colour);
    EXPECT_EQ(read.settings.transparent_colour, 0x00FF00u);
    EXPECT_TRUE(read.settings.invert_layer_order);
    EXPECT_EQ(remembered_import_settings_file(prefs), saved);

    // Change some values, then load the file back.
    type(dialog, "tile_width", "7");
    tick(dialog, "width_from_file");
    tick(dialog, "merge");
    platform.open_files = {saved};
    click(dialog, "load_settings");
    EXPECT_EQ(platform.choosers.back().title, "Load Settings");
    EXPECT_EQ(platform.choosers.back().start_folder, dir.path().string() + "/");
    EXPECT_EQ(child<QLineEdit>(dialog, "tile_width")->text(), "24");
    EXPECT_TRUE(child<QCheckBox>(dialog, "width_from_file")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(dialog, "merge")->isChecked());
    EXPECT_EQ(field->currentText(), "3");
    EXPECT_TRUE(enabled(dialog, "width_field_size"));
    EXPECT_EQ(dialog.settings(), read.settings);
    EXPECT_FALSE(dialog.settings_changed());

    // Unchanged settings leave without a question.
    click(dialog, "cancel");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(platform.shown.empty());
}

TEST_F(MapImportDialogTest, FilesThatCannotBeReadOrWrittenAreReported) {
    MapImportDialog dialog(initial, prefs, platform);
    show_active(dialog);
    const std::string wrong = dir.file("wrong.zis");
    test::write_file(wrong, test::Bytes(10, 1));
    platform.open_files = {wrong};
    click(dialog, "load_settings");
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Failed to open the file:\n\n" + wrong +
                                          "\n\nAn importer settings file is 584 bytes long; this file has 10 "
                                          "bytes.\n\n");
    EXPECT_EQ(platform.shown[0].caption, "Load Error");
    EXPECT_EQ(child<QLineEdit>(dialog, "map_file")->text(), "/levels/world.map");

    const std::string unwritable = dir.file("missing/folder/level.zis");
    platform.save_files = {SaveChoice{unwritable, 0}};
    click(dialog, "save_settings");
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[1].text, "Failed to create the file:\n\n" + unwritable + "\n\n");
    EXPECT_EQ(platform.shown[1].caption, "Save Error");
}

TEST_F(MapImportDialogTest, LeavingWithChangedSettingsAsksToSaveThem) {
    MapImportDialog dialog(initial, prefs, platform);
    show_active(dialog);
    type(dialog, "map_width", "64");

    platform.answers = {Answer::Cancel};
    click(dialog, "cancel");
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Do you want to save the changes?");
    EXPECT_EQ(platform.shown[0].caption, "Save Changes");
    EXPECT_EQ(platform.shown[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_TRUE(dialog.isVisible());

    // Yes, then the save chooser is closed: the dialog stays.
    platform.answers = {Answer::Yes};
    platform.save_files = {std::nullopt};
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(platform.shown.size(), 2u);
    EXPECT_TRUE(dialog.isVisible());

    // Yes and a file: saved, then closed by Import.
    platform.answers = {Answer::Yes};
    platform.save_files = {SaveChoice{dir.file("kept.zis"), 0}};
    click(dialog, "import");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(read_import_settings_file(dir.file("kept.zis")).settings.map_width, 64u);
}

TEST_F(MapImportDialogTest, NoLeavesWithoutSavingAndImportHandsOverTheSettings) {
    test::when_modal_opens([this](QWidget* modal) {
        auto* dialog = static_cast<QDialog*>(modal);
        type(*dialog, "map_height", "12");
        platform.answers = {Answer::No};
        click(*dialog, "import");
    });
    const std::optional<ImportSettings> chosen = run_map_import_dialog(nullptr, initial, prefs, platform);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->map_height, 12u);
    EXPECT_EQ(chosen->map_file, "/levels/world.map");
    EXPECT_TRUE(platform.choosers.empty());

    test::when_modal_opens([](QWidget* modal) { click(*static_cast<QDialog*>(modal), "cancel"); });
    EXPECT_FALSE(run_map_import_dialog(nullptr, initial, prefs, platform));
}

TEST_F(MapImportDialogTest, BrowseButtonsStartInTheFoldersOfThePaths) {
    MapImportDialog dialog(initial, prefs, platform);
    show_active(dialog);
    platform.open_files = {std::string("/other/level2.map"), std::string("/art/new.bmp")};
    click(dialog, "map_file_browse");
    click(dialog, "tile_set_image_browse");
    ASSERT_EQ(platform.choosers.size(), 2u);
    EXPECT_EQ(platform.choosers[0].title, "Select MAP File");
    EXPECT_EQ(platform.choosers[0].start_folder, "/levels/");
    EXPECT_EQ(platform.choosers[1].title, "Select MAP File");
    EXPECT_EQ(platform.choosers[1].start_folder, "/levels/art/");
    EXPECT_EQ(child<QLineEdit>(dialog, "map_file")->text(), "/other/level2.map");
    EXPECT_EQ(child<QLineEdit>(dialog, "tile_set_image")->text(), "/art/new.bmp");
    EXPECT_EQ(prefs.last_image_folder(), "/art/");
    EXPECT_TRUE(dialog.settings_changed());
}

}  // namespace
}  // namespace zorva
