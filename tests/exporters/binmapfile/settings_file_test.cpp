// Settings files: ".zbe" load and save, the remembered-settings file and the start of a run.
#include "exporters/binmapfile/settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "binmap_test_support.h"
#include "support/temp_dir.h"

namespace zorva::binmap {
namespace {

using test::ChooserPlatform;
using test::read_bytes;
using test::write_bytes;
using test::zbe;

class SettingsFileTest : public ::testing::Test {
protected:
    zorva::test::TempDir dir;
    ChooserPlatform platform;
    ExportSettings settings;

    LoadStatus load(const std::string& path, bool silent = false) {
        LoadRequest request;
        request.path = path;
        request.silent = silent;
        return load_settings(settings, request, &platform);
    }
};

TEST_F(SettingsFileTest, SaveThenLoadKeepsListOrderFlagsAndName) {
    settings.list.insert({kMapName, 4, 12});
    settings.list.insert({kGridTileIndex, 2, 50});
    settings.list.insert({kLayerWidth, 6, 50});
    settings.flags = kFlagLocked | kFlagMapNames;
    platform.save_choice = dir.file("layout");  // no extension: ".zbe" is added
    ASSERT_EQ(save_settings(settings, false, platform), SaveStatus::Saved);
    EXPECT_EQ(platform.chooser_titles, std::vector<std::string>{"Save Settings"});
    EXPECT_EQ(platform.last_filters.at(0).name, "Zorva Binary Exporter Settings Files (*.zbe)");
    EXPECT_EQ(settings.file_name, dir.file("layout.zbe"));
    EXPECT_EQ(read_bytes(dir.file("layout.zbe")), zbe(3, 5, {{2, 4, 12}, {1005, 6, 50}, {2001, 2, 50}}));

    ExportSettings loaded;
    LoadRequest request;
    request.path = dir.file("layout.zbe");
    ASSERT_EQ(load_settings(loaded, request, &platform), LoadStatus::Loaded);
    EXPECT_EQ(loaded.flags, 5u);
    EXPECT_EQ(loaded.file_name, dir.file("layout.zbe"));
    ASSERT_EQ(loaded.list.size(), 3u);
    EXPECT_EQ(loaded.list[0], (ExportVariable{2, 4, 12}));
    EXPECT_EQ(loaded.list[2], (ExportVariable{2001, 2, 50}));
    EXPECT_TRUE(platform.shown.empty());
}

TEST_F(SettingsFileTest, SaveGoesStraightToANamedFileButAsksForNonameInAnyCase) {
    settings.file_name = dir.file("direct.zbe");
    ASSERT_EQ(save_settings(settings, false, platform), SaveStatus::Saved);
    EXPECT_TRUE(platform.chooser_titles.empty());
    EXPECT_EQ(read_bytes(dir.file("direct.zbe")), zbe(0, 2, {}));

    settings.file_name = "noname.ZBE";
    EXPECT_EQ(save_settings(settings, false, platform), SaveStatus::Cancelled) << "no name chosen";
    EXPECT_EQ(platform.chooser_titles.size(), 1u);
    EXPECT_EQ(settings.file_name, "noname.ZBE");

    settings.file_name = dir.file("direct.zbe");
    EXPECT_EQ(save_settings(settings, true, platform), SaveStatus::Cancelled) << "Save As always asks";
    EXPECT_EQ(platform.chooser_titles.size(), 2u);
}

TEST_F(SettingsFileTest, AFailedSaveReportsAndLeavesNameAndFileAsTheyWere) {
    write_bytes(dir.file("keep.zbe"), zbe(0, 8, {}));
    settings.file_name = dir.file("keep.zbe");
    settings.list.insert({1, 6, 50});
    platform.save_choice = dir.file("missing/sub/layout.zbe");
    EXPECT_EQ(save_settings(settings, true, platform), SaveStatus::Error);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Failed to save the file:\n" + dir.file("missing/sub/layout.zbe"));
    EXPECT_EQ(platform.shown[0].caption, "Error - Save");
    EXPECT_EQ(settings.file_name, dir.file("keep.zbe"));
    EXPECT_EQ(read_bytes(dir.file("keep.zbe")), zbe(0, 8, {}));
}

TEST_F(SettingsFileTest, CountZeroLoadsAnEmptyList) {
    write_bytes(dir.file("empty.zbe"), zbe(0, 2, {}));
    settings.list.insert({1, 6, 50});
    ASSERT_EQ(load(dir.file("empty.zbe")), LoadStatus::Loaded);
    EXPECT_TRUE(settings.list.empty());
}

TEST_F(SettingsFileTest, ACutFileAsksOnceAndNoKeepsTheCompleteRecords) {
    auto bytes = zbe(4, 6, {{1, 6, 50}, {2, 2, 9}, {2001, 2, 50}});
    bytes.resize(bytes.size() - 7);  // the third record is cut in the middle
    write_bytes(dir.file("cut.zbe"), bytes);
    platform.answers = {Answer::No};
    ASSERT_EQ(load(dir.file("cut.zbe")), LoadStatus::Loaded);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "This file may an invalid settings file: \n" + dir.file("cut.zbe") +
                                          "\n\nLoading it may cause errors.\n\nContinue loading?");
    EXPECT_EQ(platform.shown[0].caption, "Error - Load");
    EXPECT_EQ(platform.shown[0].buttons, MessageButtons::YesNoCancel);
    ASSERT_EQ(settings.list.size(), 2u);
    EXPECT_EQ(settings.list[1], (ExportVariable{2, 2, 9}));
    EXPECT_EQ(settings.flags, 6u);
}

TEST_F(SettingsFileTest, ACutFileAnsweredYesKeepsTheShortRecordWithZeros) {
    auto bytes = zbe(3, 2, {{1, 6, 50}, {2001, 2, 50}});
    bytes.resize(bytes.size() - 4);  // the string length of the second record is missing
    write_bytes(dir.file("cut.zbe"), bytes);
    platform.answers = {Answer::Yes};
    ASSERT_EQ(load(dir.file("cut.zbe")), LoadStatus::Loaded);
    EXPECT_EQ(platform.shown.size(), 1u);
    ASSERT_EQ(settings.list.size(), 2u);
    EXPECT_EQ(settings.list[1], (ExportVariable{2001, 2, 0}));

    // Silent loading keeps going without asking.
    platform.shown.clear();
    ExportSettings silent;
    LoadRequest request;
    request.path = dir.file("cut.zbe");
    request.silent = true;
    ASSERT_EQ(load_settings(silent, request, &platform), LoadStatus::Loaded);
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_EQ(silent.list.size(), 2u);
}

TEST_F(SettingsFileTest, AHugeCountAllocatesOnlyWhatTheFileHolds) {
    write_bytes(dir.file("huge.zbe"), zbe(0xFFFFFFFFu, 2, {{1, 6, 50}}));
    ASSERT_EQ(load(dir.file("huge.zbe"), true), LoadStatus::Loaded);
    EXPECT_EQ(settings.list.size(), 1u);
    EXPECT_LE(settings.list.items().size(), 1u);
}

TEST_F(SettingsFileTest, OutOfMemoryDiscardsTheRecordsAndLeavesTheListUntouched) {
    write_bytes(dir.file("big.zbe"), zbe(3, 2, {{1, 6, 50}, {2, 2, 50}, {3, 6, 50}}));
    settings.list.insert({kLayerWidth, 6, 50});
    settings.file_name = "old.zbe";
    LoadRequest request;
    request.path = dir.file("big.zbe");
    request.record_limit = 2;
    EXPECT_EQ(load_settings(settings, request, &platform), LoadStatus::Error);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Not enough memmory to load the file:\n" + dir.file("big.zbe"));
    EXPECT_EQ(platform.shown[0].caption, "Error - Load");
    ASSERT_EQ(settings.list.size(), 1u);
    EXPECT_EQ(settings.file_name, "old.zbe");
}

TEST_F(SettingsFileTest, MissingFileShortHeaderAndCancelledChooserFailCleanly) {
    EXPECT_EQ(load(dir.file("nothere.zbe")), LoadStatus::Error);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Failed to open the file:\n" + dir.file("nothere.zbe"));
    EXPECT_EQ(platform.shown[0].caption, "Error - Load");

    write_bytes(dir.file("short.zbe"), {1, 0, 0, 0, 2});
    EXPECT_EQ(load(dir.file("short.zbe")), LoadStatus::Error);
    EXPECT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(load(dir.file("short.zbe"), true), LoadStatus::Error);
    EXPECT_EQ(platform.shown.size(), 2u) << "silent";

    settings.file_name = dir.file("current.zbe");
    EXPECT_EQ(load(""), LoadStatus::Cancelled);
    EXPECT_EQ(platform.chooser_titles, std::vector<std::string>{"Load Settings"});
    EXPECT_EQ(platform.last_start_folder, dir.path().string());
    EXPECT_EQ(settings.file_name, dir.file("current.zbe"));
}

TEST_F(SettingsFileTest, RememberedFileIsExactly260BytesAndBoundsTheName) {
    EXPECT_EQ(read_remembered_settings(dir.path()), "Noname.zbe");
    ASSERT_TRUE(write_remembered_settings(dir.path(), "/data/levels/one.zbe"));
    const auto bytes = read_bytes(dir.file("ZvBinMapFile.cfg"));
    ASSERT_EQ(bytes.size(), 260u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), "/data/levels/one.zbe");
    EXPECT_EQ(bytes.back(), 0);
    EXPECT_EQ(read_remembered_settings(dir.path()), "/data/levels/one.zbe");

    ASSERT_TRUE(write_remembered_settings(dir.path(), std::string(300, 'x')));
    EXPECT_EQ(read_remembered_settings(dir.path()), "Noname.zbe");

    write_bytes(dir.file("ZvBinMapFile.cfg"), std::vector<std::uint8_t>(400, 'a'));
    EXPECT_EQ(read_remembered_settings(dir.path()), std::string(259, 'a'))
        << "never reads past 259 characters";
}

TEST_F(SettingsFileTest, StartOfRunLoadsTheRememberedFileOrResetsItsName) {
    write_bytes(dir.file("layout.zbe"), zbe(1, 6, {{2001, 2, 50}}));
    ASSERT_TRUE(write_remembered_settings(dir.path(), dir.file("layout.zbe")));
    settings.list.insert({1, 6, 50});
    EXPECT_TRUE(load_remembered_settings(settings, dir.path()));
    EXPECT_EQ(settings.file_name, dir.file("layout.zbe"));
    EXPECT_EQ(settings.flags, 6u);
    ASSERT_EQ(settings.list.size(), 1u);

    std::filesystem::remove(dir.file("layout.zbe"));
    EXPECT_FALSE(load_remembered_settings(settings, dir.path()));
    EXPECT_TRUE(settings.list.empty());
    EXPECT_EQ(settings.flags, 2u);
    EXPECT_EQ(settings.file_name, "Noname.zbe");
    EXPECT_EQ(read_remembered_settings(dir.path()), "Noname.zbe");
    EXPECT_EQ(read_bytes(dir.file("ZvBinMapFile.cfg")).size(), 260u);
}

TEST_F(SettingsFileTest, SettingsFolderIsTheExportersSubfolderWhenItExists) {
    EXPECT_EQ(settings_folder_for(dir.path().string()), dir.path());
    std::filesystem::create_directory(dir.path() / "Exporters");
    EXPECT_EQ(settings_folder_for(dir.path().string()), dir.path() / "Exporters");
}

}  // namespace
}  // namespace zorva::binmap
