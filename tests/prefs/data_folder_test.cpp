#include "prefs/data_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <string>

namespace zorva {
namespace {

TEST(DataFolder, ZorvaHomeWinsOverEverything) {
    DataFolderInputs in;
    in.zorva_home = "/srv/zorva-home";
    in.executable_folder = "/opt/zorva/bin";
    in.executable_folder_writable = true;
    in.xdg_config_home = "/home/me/.cfg";
    in.home = "/home/me";
    EXPECT_EQ(choose_data_folder(in), std::filesystem::path("/srv/zorva-home"));
}

TEST(DataFolder, RelativeZorvaHomeIsMadeAbsolute) {
    DataFolderInputs in;
    in.zorva_home = "rel/home";
    std::filesystem::path chosen = choose_data_folder(in);
    EXPECT_TRUE(chosen.is_absolute());
    EXPECT_EQ(chosen, (std::filesystem::current_path() / "rel/home").lexically_normal());
}

TEST(DataFolder, WritableExecutableFolderComesNext) {
    DataFolderInputs in;
    in.zorva_home = "";  // set but empty counts as not set
    in.executable_folder = "/opt/zorva/bin";
    in.executable_folder_writable = true;
    in.home = "/home/me";
    EXPECT_EQ(choose_data_folder(in), std::filesystem::path("/opt/zorva/bin"));
}

TEST(DataFolder, ReadOnlyInstallUsesTheUserConfigurationFolder) {
    DataFolderInputs in;
    in.executable_folder = "/usr/bin";
    in.executable_folder_writable = false;
    in.home = "/home/me";
    EXPECT_EQ(choose_data_folder(in), std::filesystem::path("/home/me/.config/zorva"));
    in.xdg_config_home = "/home/me/.cfg";
    EXPECT_EQ(choose_data_folder(in), std::filesystem::path("/home/me/.cfg/zorva"));
    in.xdg_config_home = "relative/cfg";  // invalid, ignored
    EXPECT_EQ(choose_data_folder(in), std::filesystem::path("/home/me/.config/zorva"));
}

// An installed editor keeps nothing beside its programs, even where it may write there (root and /usr/bin,
// a user's own prefix).
TEST(DataFolder, AnInstalledEditorUsesTheUserConfigurationFolderEvenWhenItsFolderIsWritable) {
    DataFolderInputs in;
    in.executable_folder = "/usr/bin";
    in.executable_folder_writable = true;
    in.executable_installed = true;
    in.home = "/root";
    EXPECT_EQ(choose_data_folder(in), std::filesystem::path("/root/.config/zorva"));
    in.xdg_config_home = "/root/.cfg";
    EXPECT_EQ(choose_data_folder(in), std::filesystem::path("/root/.cfg/zorva"));
}

TEST(DataFolder, EnvironmentZorvaHomeIsUsed) {
    const char* before = std::getenv("ZORVA_HOME");
    const std::string saved = before ? before : "";
    ::setenv("ZORVA_HOME", "/tmp/zorva-data-folder-test", 1);
    EXPECT_EQ(data_folder(), std::filesystem::path("/tmp/zorva-data-folder-test"));
    if (before) {
        ::setenv("ZORVA_HOME", saved.c_str(), 1);
    } else {
        ::unsetenv("ZORVA_HOME");
    }
}

TEST(DataFolder, ExecutableFolderIsFound) {
    std::filesystem::path folder = executable_folder();
    EXPECT_TRUE(folder.is_absolute());
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

}  // namespace
}  // namespace zorva
