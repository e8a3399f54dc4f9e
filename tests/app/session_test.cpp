// Open, Save, Save As, the save question, New and the backup rule of the project session, answered through
// a scripted platform.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "app/project_session.h"
#include "editor_test_support.h"
#include "prefs/preferences.h"
#include "projectfile/project_io.h"
#include "support/project_file.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;
using test::ChooserPlatform;

struct SessionFixture : ::testing::Test {
    test::TempDir dir;
    Preferences prefs;
    ChooserPlatform platform;
    std::int64_t now = 0;
    ProjectSession session{prefs, platform, dir.path() / "data", [this] { return now; }};

    std::string file(const std::string& name) const { return dir.file(name); }
    void make_modified() { session.project().modified = true; }
};

TEST_F(SessionFixture, OpenUsesTheReaderOfTheExtensionInAnyCase) {
    const std::string path = file("map.XML");
    ASSERT_TRUE(test::write_small_project(path, "Upper"));
    prefs.set_flag(FlagA::ProjectDialogsOfferXmlFirst, false);
    ASSERT_TRUE(session.open(path));
    EXPECT_TRUE(platform.shown.empty());
    ASSERT_EQ(session.project().maps.size(), 1u);
    EXPECT_EQ(session.project().maps[0]->name, "Upper");
    EXPECT_EQ(session.project().path_and_file_name, path);
    EXPECT_FALSE(session.project().modified);
    EXPECT_TRUE(prefs.flag(FlagA::ProjectDialogsOfferXmlFirst));
    EXPECT_EQ(prefs.recent_entry(0), path);
    EXPECT_FALSE(session.saved_in_this_run());
}

TEST_F(SessionFixture, InvalidExtensionGivesItsMessageOnlyAndKeepsTheProject) {
    const std::string path = file("map.txt");
    test::write_file(path, "<not a project/>");
    session.project().path_and_file_name = "kept";
    EXPECT_FALSE(session.open(path));
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text,
              "The file has an invalid extension:\n\n" + path +
                  "\n\nZorva only supports the following file extensions:\n.zvp\n.xml\n\n");
    EXPECT_EQ(platform.shown[0].caption, "Load Error");
    EXPECT_EQ(session.project().path_and_file_name, "kept");
    EXPECT_EQ(prefs.recent_entry(0), "");
}

TEST_F(SessionFixture, NewerVersionIsReportedThenTheLoadFails) {
    const std::string path = file("newer.xml");
    ASSERT_TRUE(test::write_small_project(path));
    std::string text = test::read_file(path);
    const std::size_t at = text.find("version=\"118\"");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 13, "version=\"119\"");
    test::write_file(path, text);

    EXPECT_FALSE(session.open(path));
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].text,
              "The file was created with a newer version of Zorva.\n\n" + path + "\n\n");
    EXPECT_EQ(platform.shown[0].caption, "Error: Newer Version");
    EXPECT_EQ(platform.shown[1].caption, "Load Error");
    EXPECT_NE(platform.shown[1].text.find(path), std::string::npos);
}

TEST_F(SessionFixture, OlderVersionWarnsAndLoads) {
    const std::string path = file("older.xml");
    ASSERT_TRUE(test::write_small_project(path));
    std::string text = test::read_file(path);
    const std::size_t at = text.find("version=\"118\"");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 13, "version=\"117\"");
    test::write_file(path, text);
    EXPECT_TRUE(session.open(path));
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, "Warning: Old Version");
    EXPECT_EQ(platform.shown[0].text,
              "The file is an older version. It will be saved to the new version.\n\n" + path +
                  "\n\nIt is recommended that you make a backup of the file before saving it.\n\n");
}

TEST_F(SessionFixture, OpenDialogOffersTheLastFormatFirstAndRemembersTheFolder) {
    const std::string path = file("level.zvp");
    ASSERT_TRUE(test::write_small_project(path));
    prefs.set_flag(FlagA::ProjectDialogsOfferXmlFirst, true);
    platform.open_files.push_back(path);
    ASSERT_TRUE(session.open());
    ASSERT_EQ(platform.choosers.size(), 1u);
    EXPECT_EQ(platform.choosers[0].title, "Load Project");
    ASSERT_EQ(platform.choosers[0].filters.size(), 2u);
    EXPECT_EQ(platform.choosers[0].filters[0].name, "Xml Files (*.xml)");
    EXPECT_EQ(platform.choosers[0].filters[1].name, "Zorva Project Files (*.zvp)");
    EXPECT_EQ(prefs.last_project_folder(dir.path()), dir.path().string() + "/");
    EXPECT_FALSE(prefs.flag(FlagA::ProjectDialogsOfferXmlFirst));  // a .zvp was opened
    // Closing the dialog without a choice changes nothing.
    EXPECT_FALSE(session.open());
    EXPECT_EQ(session.project().path_and_file_name, path);
}

TEST_F(SessionFixture, SaveQuestionAnswers) {
    const std::string target = file("answer.xml");
    ASSERT_TRUE(test::write_small_project(file("other.xml"), "Other"));

    // Cancel: nothing happens.
    make_modified();
    platform.answers = {Answer::Cancel};
    EXPECT_FALSE(session.open(file("other.xml")));
    EXPECT_EQ(platform.shown.back().caption, "Save changes?");
    EXPECT_EQ(platform.shown.back().text, "Do you want to save changes to the project?\n\nNoname\n\n");
    EXPECT_EQ(platform.shown.back().buttons, MessageButtons::YesNoCancel);
    EXPECT_TRUE(session.project().modified);
    EXPECT_TRUE(session.project().maps.empty());

    // Yes: saved first (a new project asks for a name), then opened.
    platform.answers = {Answer::Yes};
    platform.save_files.push_back(SaveChoice{target, 0});
    EXPECT_TRUE(session.open(file("other.xml")));
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(session.project().maps[0]->name, "Other");

    // Yes, but the save dialog is cancelled: the open ends.
    make_modified();
    platform.answers = {Answer::Yes};
    session.project().path_and_file_name = "Noname";
    EXPECT_FALSE(session.open(file("other.xml")));
    EXPECT_TRUE(session.project().modified);

    // No: opened without saving.
    platform.answers = {Answer::No};
    const auto before = fs::last_write_time(target);
    EXPECT_TRUE(session.open(file("other.xml")));
    EXPECT_FALSE(session.project().modified);
    EXPECT_EQ(fs::last_write_time(target), before);
}

TEST_F(SessionFixture, SaveAsAppendsTheExtensionAndAsksBeforeOverwriting) {
    prefs.set_flag(FlagA::ProjectDialogsOfferXmlFirst, true);
    test::write_file(file("level.xml"), "old");

    platform.save_files.push_back(SaveChoice{file("level"), 0});
    platform.answers = {Answer::No};
    EXPECT_EQ(session.save_as(), SaveResult::Cancelled);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text,
              "Do you want to over write the file? \n\n" + file("level.xml") + "\n\n");
    EXPECT_EQ(platform.shown[0].caption, "Overwrite file?");
    EXPECT_EQ(platform.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(test::read_file(file("level.xml")), "old");

    platform.save_files.push_back(SaveChoice{file("level"), 0});
    platform.answers = {Answer::Yes};
    EXPECT_EQ(session.save_as(), SaveResult::Saved);
    EXPECT_NE(test::read_file(file("level.xml")), "old");
    EXPECT_EQ(session.project().path_and_file_name, file("level.xml"));
    EXPECT_TRUE(session.saved_in_this_run());
    EXPECT_EQ(prefs.recent_entry(0), file("level.xml"));
    EXPECT_EQ(platform.choosers.back().title, "Save Project");

    // With the project filter first a ".zvp" is appended, without a question when nothing is there.
    prefs.set_flag(FlagA::ProjectDialogsOfferXmlFirst, false);
    platform.save_files.push_back(SaveChoice{file("binary"), 0});
    EXPECT_EQ(session.save_as(), SaveResult::Saved);
    EXPECT_TRUE(fs::exists(file("binary.zvp")));
    EXPECT_EQ(platform.shown.size(), 2u);
    EXPECT_FALSE(prefs.flag(FlagA::ProjectDialogsOfferXmlFirst));
}

// The extension comes from the filter the user picked, not from the one listed first.
TEST_F(SessionFixture, SaveAsAppendsTheExtensionOfThePickedFilter) {
    ASSERT_TRUE(test::write_small_project(file("source.xml"), "Picked"));
    ASSERT_TRUE(session.open(file("source.xml")));  // the XML filter is listed first now
    const std::size_t project_filter = 1;           // after "Xml Files (*.xml)"

    platform.save_files.push_back(SaveChoice{file("level"), project_filter});
    ASSERT_EQ(session.save_as(), SaveResult::Saved);
    EXPECT_EQ(platform.choosers.back().filters[project_filter].name, "Zorva Project Files (*.zvp)");
    EXPECT_FALSE(fs::exists(file("level.xml")));
    EXPECT_EQ(session.project().path_and_file_name, file("level.zvp"));
    EXPECT_FALSE(prefs.flag(FlagA::ProjectDialogsOfferXmlFirst));
    // Written in binary form: the binary reader takes it back.
    const std::string bytes = test::read_file(file("level.zvp"));
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(bytes[0], '<');
    LoadResult back = read_project(file("level.zvp"));
    ASSERT_TRUE(back.project) << back.message;
    ASSERT_EQ(back.project->maps.size(), 1u);
    EXPECT_EQ(back.project->maps[0]->name, "Picked");

    // The appended name exists now: the user is asked, and No keeps the file.
    prefs.set_flag(FlagA::ProjectDialogsOfferXmlFirst, true);
    platform.save_files.push_back(SaveChoice{file("level"), project_filter});
    platform.answers = {Answer::No};
    EXPECT_EQ(session.save_as(), SaveResult::Cancelled);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text,
              "Do you want to over write the file? \n\n" + file("level.zvp") + "\n\n");
    EXPECT_EQ(test::read_file(file("level.zvp")), bytes);
}

TEST_F(SessionFixture, SaveAsksForANameOnlyWhileNoname) {
    platform.save_files.push_back(SaveChoice{file("first.xml"), 0});
    EXPECT_EQ(session.save(), SaveResult::Saved);
    EXPECT_EQ(platform.choosers.size(), 1u);
    make_modified();
    EXPECT_EQ(session.save(), SaveResult::Saved);
    EXPECT_EQ(platform.choosers.size(), 1u);
    EXPECT_FALSE(session.project().modified);
    // The dialog cancelled: nothing written, nothing changed.
    session.project().path_and_file_name = "NONAME";
    make_modified();
    EXPECT_EQ(session.save(), SaveResult::Cancelled);
    EXPECT_TRUE(session.project().modified);
}

TEST_F(SessionFixture, FailedSaveIsReportedAndKeepsTheFileAndTheModifiedMark) {
    platform.save_files.push_back(SaveChoice{file("good.xml"), 0});
    ASSERT_EQ(session.save(), SaveResult::Saved);
    const std::string good = test::read_file(file("good.xml"));
    // A folder stands where the file should go: the write fails.
    fs::create_directories(file("blocked.xml") + "/inner");
    session.project().path_and_file_name = file("blocked.xml");
    make_modified();
    EXPECT_EQ(session.save(), SaveResult::Failed);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, "Save Error");
    EXPECT_EQ(
        platform.shown[0].text.rfind("Failed to save the project:\n\n" + file("blocked.xml") + "\n\n", 0),
        0u);
    EXPECT_TRUE(session.project().modified);
    EXPECT_TRUE(fs::is_directory(file("blocked.xml") + "/inner"));
    EXPECT_EQ(test::read_file(file("good.xml")), good);
    EXPECT_EQ(prefs.recent_entry(0), file("good.xml"));

    // A pipe of that name is not replaced, and the user reads why.
    ASSERT_EQ(::mkfifo(file("pipe.zvp").c_str(), 0600), 0);
    session.project().path_and_file_name = file("pipe.zvp");
    EXPECT_EQ(session.save(), SaveResult::Failed);
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[1].text,
              "Failed to save the project:\n\n" + file("pipe.zvp") +
                  "\n\nIt is not a regular file (but a device, a pipe or a socket) and is not replaced\n\n");
    EXPECT_TRUE(fs::is_fifo(file("pipe.zvp")));
}

TEST_F(SessionFixture, MissingResourcesOutcomes) {
    const std::string path = file("level.xml");
    ASSERT_TRUE(test::write_small_project(path, "Loaded"));
    MissingResourcesOutcome outcome = MissingResourcesOutcome::Cancelled;
    int checks = 0;
    session.set_missing_resources_check([&](Project& read, const std::string& from) {
        ++checks;
        EXPECT_EQ(read.maps.size(), 1u);
        EXPECT_EQ(from, path);
        return outcome;
    });
    int replaced = 0;
    session.set_project_replaced([&] { ++replaced; });

    // Cancelled: the open project stays, no message.
    session.project().path_and_file_name = "open";
    EXPECT_FALSE(session.open(path));
    EXPECT_EQ(session.project().path_and_file_name, "open");
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_EQ(replaced, 0);

    // Accepted: installed and marked modified.
    outcome = MissingResourcesOutcome::Accepted;
    EXPECT_TRUE(session.open(path));
    EXPECT_TRUE(session.project().modified);
    EXPECT_EQ(replaced, 1);

    // None missing: installed unmodified (the save question is answered No first).
    outcome = MissingResourcesOutcome::NoneMissing;
    platform.answers = {Answer::No};
    EXPECT_TRUE(session.open(path));
    EXPECT_FALSE(session.project().modified);
    EXPECT_EQ(checks, 3);
}

TEST_F(SessionFixture, NewProjectAsksFirstAndClearsTheHistories) {
    ASSERT_TRUE(test::write_small_project(file("a.xml")));
    ASSERT_TRUE(session.open(file("a.xml")));
    platform.answers = {Answer::No};
    EXPECT_FALSE(session.new_project());
    EXPECT_EQ(platform.shown.back().text, "Start new project?");
    EXPECT_EQ(platform.shown.back().caption, "New Project");
    EXPECT_EQ(session.project().maps.size(), 1u);
    platform.answers = {Answer::Yes};
    EXPECT_TRUE(session.new_project());
    EXPECT_TRUE(session.project().maps.empty());
    EXPECT_EQ(session.project().path_and_file_name, "Noname");
}

TEST_F(SessionFixture, LoadedButNeverSavedProjectIsNeverBackedUpSavedOneIs) {
    prefs.set_flag(FlagA::EnableAutoBackup, true);
    prefs.set_backup_interval_minutes(1);
    ASSERT_TRUE(test::write_small_project(file("a.xml")));
    ASSERT_TRUE(session.open(file("a.xml")));
    now = 120 * 60000;
    EXPECT_EQ(session.try_auto_backup(), AutoBackup::Result::NotDue);
    EXPECT_FALSE(fs::exists(dir.path() / "data" / "Autoback"));

    EXPECT_EQ(session.save(), SaveResult::Saved);
    now += 60000;
    EXPECT_EQ(session.try_auto_backup(), AutoBackup::Result::Written);
    EXPECT_TRUE(fs::exists(session.auto_backup().last_file()));
    EXPECT_EQ(session.project().path_and_file_name, file("a.xml"));
    EXPECT_TRUE(prefs.flag(FlagA::ProjectDialogsOfferXmlFirst));  // backups do not touch the format flag
}

// The backup made before an untried exporter runs: written at once whatever the backup preferences say,
// keeping the project's name and modified mark, and not restarting the timed backup's interval.
TEST_F(SessionFixture, BackupNowWritesWhateverThePreferencesSay) {
    prefs.set_flag(FlagA::EnableAutoBackup, false);
    ASSERT_TRUE(test::write_small_project(file("a.xml")));
    ASSERT_TRUE(session.open(file("a.xml")));
    make_modified();
    now = 5000;
    EXPECT_EQ(session.backup_now(), AutoBackup::Result::Written);
    const std::string written = session.auto_backup().last_file();
    ASSERT_TRUE(fs::exists(written));
    EXPECT_EQ(fs::path(written).parent_path(), dir.path() / "data" / "Autoback");
    EXPECT_EQ(session.auto_backup().last_ms(), 0);
    EXPECT_TRUE(session.project().modified);
    EXPECT_EQ(session.project().path_and_file_name, file("a.xml"));
    // The backup is a project that opens.
    platform.answers = {Answer::No};
    ASSERT_TRUE(session.open(written));
    EXPECT_EQ(session.project().maps.size(), 1u);
}

// Without a remembered folder the open dialog starts in the bundled sample projects: the data folder's,
// the installed ones beside the program, or the source tree's, whichever exists first.
TEST_F(SessionFixture, OpenDialogStartsInTheSampleProjectsFolder) {
    const fs::path source_examples = fs::path(ZORVA_TEST_SOURCE_DIR) / ".." / "examples" / "SampleProjects";
    ASSERT_TRUE(fs::is_directory(source_examples));
    EXPECT_FALSE(session.open());
    ASSERT_EQ(platform.choosers.size(), 1u);
    const std::string start = platform.choosers[0].start_folder;
    EXPECT_EQ(start.back(), '/');
    EXPECT_TRUE(fs::is_directory(start)) << start;
    EXPECT_TRUE(fs::equivalent(start, source_examples)) << start;

    const fs::path data = dir.path() / "data";
    const fs::path program = dir.path() / "prefix" / "bin";
    const fs::path source = dir.path() / "source" / "examples" / "SampleProjects";
    const std::string in_data = (data / "Examples" / "SampleProjects").string() + "/";
    // None exists: the data folder's, as before.
    EXPECT_EQ(sample_projects_folder(data, program, source), in_data);
    fs::create_directories(source);
    EXPECT_EQ(sample_projects_folder(data, program, source), source.string() + "/");
    fs::create_directories(dir.path() / "prefix" / "share" / "zorva" / "Examples" / "SampleProjects");
    EXPECT_EQ(sample_projects_folder(data, program, source),
              (dir.path() / "prefix" / "share" / "zorva" / "Examples" / "SampleProjects").string() + "/");
    fs::create_directories(data / "Examples" / "SampleProjects");
    EXPECT_EQ(sample_projects_folder(data, program, source), in_data);
    // The data folder's samples are where the dialog starts when they exist; a remembered folder wins.
    EXPECT_FALSE(session.open());
    EXPECT_EQ(platform.choosers.back().start_folder, in_data);
    prefs.set_last_project_folder("/home/me/games/");
    EXPECT_FALSE(session.open());
    EXPECT_EQ(platform.choosers.back().start_folder, "/home/me/games/");
}

TEST_F(SessionFixture, WorkingFolderIsRestoredAfterTheLoad) {
    const fs::path before = fs::current_path();
    fs::create_directories(dir.path() / "sub");
    ASSERT_TRUE(test::write_small_project((dir.path() / "sub" / "a.xml").string()));
    ASSERT_TRUE(session.open((dir.path() / "sub" / "a.xml").string()));
    EXPECT_EQ(fs::current_path(), before);
}

}  // namespace
}  // namespace zorva
