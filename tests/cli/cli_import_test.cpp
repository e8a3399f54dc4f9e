// zorva-cli import run as a program on good and bad input: what it writes, what it says, its exit status.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "import/import_settings.h"
#include "projectfile/project_io.h"
#include "support/cli_runner.h"
#include "support/project_file.h"
#include "support/temp_dir.h"
#include "support/test_bmp.h"

namespace zorva::test {
namespace {

class CliImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        write_bmp(image, 64, 0x0000FF);
        Bytes bytes;
        for (int i = 0; i < 24; ++i) bytes.push_back(static_cast<std::uint8_t>(i));
        write_file(map, bytes);  // two layers of 4 x 3 one-byte cells
        settings.map_file = map;
        settings.tile_set_image = image;
        settings.tile_width = settings.tile_height = 8;
        settings.map_width = 4;
        settings.map_height = 3;
        settings.cell_size = 1;
        settings.tile_index_adjuster = 1;
        save_settings();
    }

    void save_settings() { ASSERT_TRUE(write_import_settings_file(zis, settings)); }

    static LoadResult read_back(const std::string& path) { return read_project(path, nullptr); }

    TempDir dir;
    std::string image = dir.file("tiles.bmp");
    std::string map = dir.file("level.map");
    std::string zis = dir.file("level.zis");
    ImportSettings settings;
};

TEST_F(CliImportTest, ImportsIntoANewProjectAsXmlAndAsZvp) {
    for (const char* name : {"out.xml", "out.zvp"}) {
        SCOPED_TRACE(name);
        const std::string output = dir.file(name);
        const CliRun run = run_zorva_cli({"import", zis, output});
        ASSERT_EQ(run.exit_code, 0) << run.output();
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out, "Map01: 2 layers of 4 x 3 cells\n");
        const LoadResult loaded = read_back(output);
        ASSERT_TRUE(loaded) << loaded.message;
        ASSERT_EQ(loaded.project->maps.size(), 1u);
        const Map& imported = *loaded.project->maps[0];
        EXPECT_EQ(loaded.project->selected_map(), &imported);
        ASSERT_EQ(imported.layers.size(), 2u);
        EXPECT_EQ(imported.layers[1]->name, "Layer01");
        EXPECT_EQ(imported.layers[1]->grid[0].tile, 13u);
        ASSERT_EQ(loaded.project->tile_sets.size(), 1u);
        EXPECT_FALSE(loaded.project->tile_sets[0]->image.empty());
        EXPECT_EQ(loaded.project->tile_sets[0]->single_tile_pixel_width, 8);
    }
}

TEST_F(CliImportTest, MergesIntoAProjectAndTakesTheFilesGiven) {
    const std::string project = dir.file("world.xml");
    ASSERT_TRUE(write_small_project(project, "Level"));
    // The settings name files that are not there; the options name the real ones.
    settings.map_file = dir.file("elsewhere.map");
    settings.tile_set_image = dir.file("elsewhere.bmp");
    save_settings();
    const CliRun run =
        run_zorva_cli({"import", zis, project, "--map", map, "--image=" + image, "--merge-into", project});
    ASSERT_EQ(run.exit_code, 0) << run.output();
    const LoadResult loaded = read_back(project);
    ASSERT_TRUE(loaded) << loaded.message;
    ASSERT_EQ(loaded.project->maps.size(), 2u);
    EXPECT_EQ(loaded.project->maps[0]->name, "Level");
    EXPECT_EQ(loaded.project->maps[1]->layers.size(), 2u);
    EXPECT_EQ(loaded.project->selected_map(), loaded.project->maps[1].get());
}

TEST_F(CliImportTest, LargeSizesAreAcceptedUnlessRefused) {
    Bytes bytes = {0x58, 0x02};  // width 600 in two bytes, one row of cells
    bytes.resize(2 + 600, 5);
    write_file(map, bytes);
    settings.width_from_file = true;
    settings.width_field_size = 2;
    settings.map_height = 1;
    save_settings();
    const std::string output = dir.file("wide.zvp");

    const CliRun refused = run_zorva_cli({"import", zis, output, "--no-large"});
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_EQ(
        refused.err,
        "Warning:\n\nThe map width is 600.\nLarge maps may take long to load.\n\nIs this width correct?\n"
        "No (--no-large)\n\nFailed to load the map:\n\n" +
            map + "\n\n");
    EXPECT_FALSE(std::filesystem::exists(output));

    const CliRun accepted = run_zorva_cli({"import", zis, output});
    EXPECT_EQ(accepted.exit_code, 0) << accepted.output();
    EXPECT_EQ(accepted.out, "Map01: 1 layer of 600 x 1 cells\n");
}

TEST_F(CliImportTest, BadInputFailsCleanlyWithTheImportersWords) {
    const std::string output = dir.file("out.xml");
    // A settings file of the wrong size.
    const std::string short_zis = dir.file("short.zis");
    write_file(short_zis, Bytes(100, 1));
    CliRun run = run_zorva_cli({"import", short_zis, output});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, "Failed to open the file:\n\n" + short_zis +
                           "\n\nAn importer settings file is 584 bytes long; this file has 100 bytes.\n");

    // A map larger than the file holds.
    settings.map_width = 1000;
    save_settings();
    run = run_zorva_cli({"import", zis, output});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err,
              "Not enough memory to load the map.\nMake sure the map's width and height are correct.\n");

    // A gigabyte (sparse) read as 1 x 1 layers.
    const int fd = ::open(map.c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{1} << 30), 0);
    ::close(fd);
    settings.map_width = settings.map_height = 1;
    save_settings();
    const auto started = std::chrono::steady_clock::now();
    run = run_zorva_cli({"import", zis, output});
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err.rfind(
                  "The MAP file would make 1073741824 layers of 1 x 1 cells, more than memory allows.\n", 0),
              0u)
        << run.err;

    // No MAP file named.
    settings.map_file = "";
    save_settings();
    run = run_zorva_cli({"import", zis, output});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, "Invalid Map file name.\n");
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(CliImportTest, WrongArgumentsAreUsageErrors) {
    CliRun run = run_zorva_cli({"import", zis});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.err.rfind("Usage: zorva-cli import ", 0), 0u);
    run = run_zorva_cli({"import", zis, dir.file("out.xml"), "--frobnicate"});
    EXPECT_EQ(run.exit_code, 2);
    run = run_zorva_cli({"import", zis, dir.file("out.txt")});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.err, "The file has an invalid extension:\n\n" + dir.file("out.txt") +
                           "\n\nZorva only supports the following file extensions:\n.zvp\n.xml\n\n");
    run = run_zorva_cli({"import", zis, dir.file("out.xml"), "--merge-into", dir.file("absent.xml")});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find(dir.file("absent.xml")), std::string::npos) << run.err;
}

}  // namespace
}  // namespace zorva::test
