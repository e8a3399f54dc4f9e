// zorva-cli convert with a TMX map as its input: the project it writes, what it says, its exit status.
#include <gtest/gtest.h>

#include <string>

#include "projectfile/project_io.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"
#include "support/test_bmp.h"

namespace zorva::test {
namespace {

void write_text(const std::string& path, const std::string& text) {
    write_file(path, Bytes(text.begin(), text.end()));
}

TEST(CliTmx, ConvertImportsATmxMapIntoAProjectFile) {
    TempDir dir;
    write_bmp(dir.file("tiles.bmp"), 32, 0x00FF00);
    write_text(
        dir.file("Level.TMX"),
        "<map orientation=\"orthogonal\" width=\"2\" height=\"1\" tilewidth=\"16\" tileheight=\"1\">"
        "<tileset firstgid=\"1\" name=\"t\" tilewidth=\"16\" tileheight=\"1\"><image source=\"tiles.bmp\"/>"
        "</tileset><layer name=\"Ground\"><data encoding=\"csv\">2,1</data></layer>"
        "<objectgroup><object id=\"1\" x=\"1\" y=\"1\"><point/></object></objectgroup></map>");
    for (const char* output : {"level.xml", "level.zvp"}) {
        SCOPED_TRACE(output);
        const CliRun run = run_zorva_cli({"convert", dir.file("Level.TMX"), dir.file(output)});
        EXPECT_EQ(run.exit_code, 0) << run.err;
        EXPECT_NE(run.err.find("Points and texts cannot be represented"), std::string::npos) << run.err;
        const LoadResult loaded = read_project(dir.file(output), nullptr);
        ASSERT_TRUE(loaded) << loaded.message;
        ASSERT_EQ(loaded.project->maps.size(), 1u);
        const Map& map = *loaded.project->maps.front();
        EXPECT_EQ(map.name.view(), "Level");
        ASSERT_EQ(map.layers.size(), 1u);
        EXPECT_EQ(map.layers.front()->grid[0].tile, 2u);
        EXPECT_FALSE(loaded.project->tile_sets.front()->image.empty());
    }

    // A refused map writes nothing and fails with the reason.
    write_text(dir.file("iso.tmx"), "<map orientation=\"isometric\" width=\"2\" height=\"1\"/>");
    const CliRun refused = run_zorva_cli({"convert", dir.file("iso.tmx"), dir.file("iso.xml")});
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_NE(refused.err.find("Only orthogonal maps"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("iso.xml")));
}

}  // namespace
}  // namespace zorva::test
