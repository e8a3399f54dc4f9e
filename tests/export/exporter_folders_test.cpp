// The folders exporter plug-ins are found in, and which file a plug-in name means.
#include "export/exporter_folders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/install_layout.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {
namespace fs = std::filesystem;

void touch(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "x";
}

std::vector<std::string> names_and_folders(const std::vector<ExporterFile>& plugins, const fs::path& root) {
    std::vector<std::string> out;
    for (const ExporterFile& plugin : plugins)
        out.push_back(plugin.name + " in " + plugin.path.parent_path().lexically_relative(root).string());
    return out;
}

// Beside the program, then installed, then the user's own; each folder once.
TEST(ExporterFolders, ProgramFolderThenInstalledThenDataFolder) {
    const fs::path program = "/opt/zorva/bin";
    const fs::path data = "/home/me/.config/zorva";
    const std::vector<fs::path> folders = exporter_folders(program, data);
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0], fs::path("/opt/zorva/bin/Exporters"));
    EXPECT_EQ(folders[1], installed_exporters_folder(program));
    EXPECT_EQ(folders[2], fs::path("/home/me/.config/zorva/Exporters"));
    // A portable editor whose data folder is its own folder names that folder once.
    EXPECT_EQ(exporter_folders(program, program).size(), 2u);
    EXPECT_EQ(exporter_folders(program, "/opt/zorva/bin/").size(), 2u);
}

// The export dialog lists every plug-in of every folder; a name in an earlier folder hides the same name
// (any letter case) in a later one, and find_exporter_file picks the same file the list shows.
TEST(ExporterFolders, AnEarlierFolderHidesTheSameNameInALaterOne) {
    test::TempDir dir;
    const fs::path beside = dir.path() / "bin" / "Exporters";
    const fs::path installed = dir.path() / "lib" / "Exporters";
    const fs::path mine = dir.path() / "home" / "Exporters";
    touch(installed / "Scrivo.so");
    touch(installed / "ZvBinMapFile.so");
    touch(mine / "scrivo.SO");                                        // hidden by the installed one
    touch(mine / "Atlas.so");                                         // the user's own
    touch(mine / "notes.txt");                                        // not a plug-in
    touch(mine / ".so");                                              // no name
    fs::create_directories(mine / "Folder.so");                       // not a file
    const std::vector<fs::path> folders = {beside, installed, mine};  // `beside` does not exist

    EXPECT_EQ(names_and_folders(list_exporters(folders), dir.path()),
              (std::vector<std::string>{"Atlas.so in home/Exporters", "Scrivo.so in lib/Exporters",
                                        "ZvBinMapFile.so in lib/Exporters"}));
    EXPECT_EQ(find_exporter_file(folders, "SCRIVO.so"), installed / "Scrivo.so");
    EXPECT_EQ(find_exporter_file(folders, "atlas.so"), mine / "Atlas.so");
    EXPECT_EQ(find_exporter_file(folders, "Folder.so"), fs::path());
    EXPECT_EQ(find_exporter_file(folders, "Missing.so"), fs::path());

    // A build's plug-in beside the program wins over the installed one of the same name.
    touch(beside / "Scrivo.so");
    EXPECT_EQ(find_exporter_file(folders, "scrivo.so"), beside / "Scrivo.so");
    EXPECT_EQ(list_exporters(folders)[1].path, beside / "Scrivo.so");
}

}  // namespace
}  // namespace zorva
