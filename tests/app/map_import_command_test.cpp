// The "Import Binary MAP File" command without its dialog: the questions around the import, the backup
// before a merge, what the open project becomes, and the settings remembered in the preferences.
#include "app/map_import_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/import_preferences.h"
#include "editor_test_support.h"
#include "prefs/preferences.h"
#include "projectfile/zvp_reader.h"
#include "support/temp_dir.h"
#include "support/test_bmp.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

struct MapImportCommandTest : ::testing::Test {
    void SetUp() override {
        test::write_bmp(image, 32, 0);
        test::Bytes bytes(8);
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i + 1);
        test::write_file(map, bytes);
        settings.map_file = map;
        settings.tile_set_image = image;
        settings.map_width = settings.map_height = 2;
        settings.cell_size = 1;
    }

    // The command with a dialog that records what it was shown and answers with `settings` (or cancels).
    MapImportCommand command(bool confirm = true) {
        return MapImportCommand(session, [this, confirm](const ImportSettings& initial) {
            shown_to_dialog = initial;
            ++dialogs;
            return confirm ? std::optional<ImportSettings>(settings) : std::nullopt;
        });
    }

    // An open project with one map and one undo record, modified.
    void open_modified_project() {
        MapProperties m = make_default_map(session.project());
        m.name = "Before";
        Map* before = add_map(session.project(), m, false, nullptr);
        session.histories().record_add_map(session.project(), *before);
        session.project().modified = true;
        ASSERT_TRUE(session.histories().undo_item().enabled);
    }

    test::TempDir dir;
    fs::path data = dir.path() / "data";
    std::string image = dir.file("tiles.bmp");
    std::string map = dir.file("level.map");
    Preferences prefs;
    test::ChooserPlatform platform;
    std::int64_t now = 0;
    ProjectSession session{prefs, platform, data, [this] { return now; }};
    ImportSettings settings;
    ImportSettings shown_to_dialog;
    int dialogs = 0;
};

TEST_F(MapImportCommandTest, ANewProjectReplacesTheOpenOneMarkedModified) {
    open_modified_project();
    int replaced = 0;
    session.set_project_replaced([&] { ++replaced; });
    platform.answers = {Answer::No};  // do not save the open project
    EXPECT_EQ(command().run(), MapImportOutcome::Imported);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, "Save changes?");
    EXPECT_EQ(dialogs, 1);

    Project& project = session.project();
    ASSERT_EQ(project.maps.size(), 1u);
    EXPECT_EQ(project.maps[0]->name, "Map01");
    EXPECT_EQ(project.selected_map(), project.maps[0].get());
    EXPECT_EQ(project.maps[0]->layers.size(), 2u);
    EXPECT_TRUE(project.modified);
    EXPECT_EQ(project_title(project), "Zorva: Noname *");
    EXPECT_FALSE(session.histories().undo_item().enabled);
    EXPECT_FALSE(session.saved_in_this_run());
    EXPECT_EQ(replaced, 1);
    // The settings are remembered and written.
    EXPECT_EQ(import_settings_from_preferences(prefs).map_width, 2u);
    EXPECT_TRUE(fs::exists(Preferences::settings_file(data)));
    // No backup: nothing was merged.
    EXPECT_FALSE(fs::exists(session.auto_backup().folder()));
}

TEST_F(MapImportCommandTest, CancelAtTheSaveQuestionOrTheDialogChangesNothing) {
    open_modified_project();
    platform.answers = {Answer::Cancel};
    EXPECT_EQ(command().run(), MapImportOutcome::Cancelled);
    EXPECT_EQ(dialogs, 0);
    platform.answers = {Answer::No};
    EXPECT_EQ(command(false).run(), MapImportOutcome::Cancelled);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(session.project().maps[0]->name, "Before");
    EXPECT_TRUE(session.histories().undo_item().enabled);
    EXPECT_EQ(import_settings_from_preferences(prefs).map_width, 100u);  // nothing remembered
}

TEST_F(MapImportCommandTest, AMergeIntoAModifiedProjectIsBackedUpFirst) {
    open_modified_project();
    settings.merge = true;
    platform.answers = {Answer::No};
    EXPECT_EQ(command().run(), MapImportOutcome::Imported);
    Project& project = session.project();
    ASSERT_EQ(project.maps.size(), 2u);
    EXPECT_EQ(project.maps[0]->name, "Before");
    EXPECT_EQ(project.selected_map(), project.maps[1].get());
    EXPECT_TRUE(project.modified);
    EXPECT_FALSE(session.histories().undo_item().enabled);

    // The backup holds the project as it was before the merge.
    const std::string backup = session.auto_backup().last_file();
    ASSERT_FALSE(backup.empty());
    const LoadResult saved = read_zvp_project(backup, nullptr);
    ASSERT_TRUE(saved) << saved.message;
    ASSERT_EQ(saved.project->maps.size(), 1u);
    EXPECT_EQ(saved.project->maps[0]->name, "Before");
}

TEST_F(MapImportCommandTest, AFailedBackupAsksBeforeMerging) {
    open_modified_project();
    settings.merge = true;
    fs::create_directories(data);
    test::write_file((data / "Autoback").string(), "a file where the folder belongs");
    platform.answers = {Answer::No, Answer::No};  // no save; no merge without the backup
    EXPECT_EQ(command().run(), MapImportOutcome::Cancelled);
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[1].text, MapImportCommand::backup_failed_text());
    EXPECT_EQ(session.project().maps.size(), 1u);

    platform.answers = {Answer::No, Answer::Yes};
    EXPECT_EQ(command().run(), MapImportOutcome::Imported);
    EXPECT_EQ(session.project().maps.size(), 2u);
}

TEST_F(MapImportCommandTest, AFailureIsShownAndTheOpenProjectStays) {
    open_modified_project();
    settings.map_width = 100;  // more cells than the file holds
    platform.answers = {Answer::No};
    EXPECT_EQ(command().run(), MapImportOutcome::Failed);
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[1].text,
              "Not enough memory to load the map.\nMake sure the map's width and height are correct.");
    EXPECT_EQ(platform.shown[1].caption, "Load Error");
    EXPECT_EQ(session.project().maps[0]->name, "Before");
    EXPECT_TRUE(session.histories().undo_item().enabled);

    // A failed merge keeps what it added, marked modified.
    settings.merge = true;
    session.project().modified = false;
    EXPECT_EQ(command().run(), MapImportOutcome::Failed);
    EXPECT_EQ(session.project().maps.size(), 2u);
    EXPECT_TRUE(session.project().modified);
}

TEST_F(MapImportCommandTest, CancellingTheMissingResourcesCheckKeepsTheOpenProject) {
    open_modified_project();
    std::string checked_path;
    MapImportCommand cancelling(
        session, [this](const ImportSettings&) { return std::optional<ImportSettings>(settings); },
        [&](Project& project, const std::string& path) {
            checked_path = path;
            EXPECT_EQ(project.maps.size(), 1u);
            return MissingResourcesOutcome::Cancelled;
        });
    platform.answers = {Answer::No};
    EXPECT_EQ(cancelling.run(), MapImportOutcome::Cancelled);
    EXPECT_EQ(checked_path, map);
    EXPECT_EQ(session.project().maps[0]->name, "Before");
    EXPECT_TRUE(session.histories().undo_item().enabled);
}

TEST_F(MapImportCommandTest, TheDialogOpensWithTheRememberedSettingsAndThisRunsImage) {
    MapImportCommand import = command();
    settings.skip_after_layer = 7;
    settings.invert_layer_order = true;
    settings.tile_index_adjuster = -1;
    import.run();
    EXPECT_EQ(shown_to_dialog.map_width, 100u);
    EXPECT_TRUE(shown_to_dialog.tile_set_image.empty());
    const ImportSettings first = settings;
    settings.map_width = 1;
    platform.answers = {Answer::No};  // the import left the project modified: do not save it
    import.run();
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(shown_to_dialog, first);
    // Another run of the editor has only the preferences: the image is not among them.
    ImportSettings without_image = settings;
    without_image.tile_set_image = "";
    EXPECT_EQ(command().initial_settings(), without_image);
}

TEST(ImportPreferences, DefaultsAndEveryValueRoundTrip) {
    Preferences prefs;
    const ImportSettings defaults = import_settings_from_preferences(prefs);
    ImportSettings plain;
    EXPECT_EQ(defaults, plain);  // 16, 16, 100, 100, sizes of 4 bytes, every switch off

    ImportSettings s;
    s.map_file = "/maps/world.map";
    s.tile_width = 8;
    s.tile_height = 9;
    s.map_width = 10;
    s.map_height = 11;
    s.tile_index_adjuster = -3;
    s.transparent_colour = 0x123456;
    s.width_field_size = 1;
    s.height_field_size = 2;
    s.cell_size = 3;
    s.width_from_file = s.height_from_file = s.use_width_position = s.use_height_position = true;
    s.use_map_array_position = s.use_transparent_colour = s.invert_layer_order = s.merge = true;
    s.width_position = -1;
    s.height_position = 70000;
    s.map_array_position = 12;
    s.skip_after_cell = 0xFFFFFFFF;
    s.skip_after_layer = 5;
    store_import_settings(prefs, s);
    EXPECT_EQ(import_settings_from_preferences(prefs), s);
    EXPECT_EQ(prefs.text(pref_offset::kImportMapFolder), "/maps/world.map");
    EXPECT_EQ(prefs.u32(pref_offset::kImportLastValue), 5u);
    // Every switch in its own bit, each independently.
    for (int which = 0; which < 8; ++which) {
        ImportSettings one;
        bool* switches[] = {&one.width_from_file,        &one.height_from_file,
                            &one.use_width_position,     &one.use_height_position,
                            &one.use_map_array_position, &one.use_transparent_colour,
                            &one.invert_layer_order,     &one.merge};
        *switches[which] = true;
        store_import_settings(prefs, one);
        EXPECT_EQ(import_settings_from_preferences(prefs), one) << which;
    }

    remember_import_settings_file(prefs, "/a/b/loaded.zis", false);
    EXPECT_EQ(remembered_import_settings_file(prefs), "/a/b/loaded.zis");
    EXPECT_EQ(import_settings_save_folder(prefs), "/a/b/");
    remember_import_settings_file(prefs, "/c/saved.zis", true);
    EXPECT_EQ(import_settings_save_folder(prefs), "/c/");
}

}  // namespace
}  // namespace zorva
