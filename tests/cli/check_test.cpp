// zorva-cli check: each check on a project crafted to hold that one problem, written to a file and read
// back as the command reads it, and a clean project that holds none.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/project_check.h"
#include "cli/project_loading.h"
#include "support/image_files.h"
#include "support/project_file.h"
#include "support/temp_dir.h"

namespace zorva::test {
namespace {

using cli::CheckOptions;
using cli::CheckReport;
using cli::Problem;
using cli::Severity;

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_text(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A project as a level designer leaves it when all is well: a tile set whose picture (a 64 x 32 TGA file
// of 16 x 16 tiles: 8 tiles) loads, a parent entity, and one map using the tile set with one 8 x 6 layer
// holding tiles 1 to 8, an instance inside the layer and a path of three points.
class CleanProject {
public:
    explicit CleanProject(const TempDir& dir) {
        const std::string picture = dir.file("tiles.tga");
        write_file(picture, tga_file(64, 32, 24, 0x08, Bytes(64 * 32 * 3, 0x40)));
        tiles = &t.add_tile_set("Terrain", 16, 16);
        tiles->image_path_and_file_name = picture;
        coin = &t.add_parent("Coin");
        map = &t.add_map("Level", tiles);
        ground = &t.add_layer(*map, "Ground", 8, 6);
        for (std::uint32_t i = 0; i < 8; ++i) ground->cell(static_cast<std::int32_t>(i), 1)->tile = i + 1;
        t.add_instance(*map, *ground, *coin, 20.0f, 20.0f);
        t.add_path(*map, *ground, 3, 10.0f, 40.0f, false);
        t.select(*map);
    }

    TestProject t;
    TileSet* tiles = nullptr;
    ParentEntity* coin = nullptr;
    Map* map = nullptr;
    Layer* ground = nullptr;
};

struct CheckTest : ::testing::Test {
    TempDir dir;
    CleanProject clean{dir};

    // Writes the project (".zvp" for the binary form, which keeps path marks as they are), reads it back
    // as zorva-cli does and checks it.
    CheckReport check(TestProject& t, const std::string& name = "level.xml",
                      const CheckOptions& options = {}) {
        const std::string path = dir.file(name);
        EXPECT_TRUE(write_project_file(t, path));
        return check_file(path, options);
    }
    CheckReport check_file(const std::string& path, const CheckOptions& options = {}) {
        std::string messages;
        const LoadResult loaded = cli::load_project(path, messages);
        EXPECT_TRUE(loaded) << messages;
        if (!loaded) return {};
        return cli::check_project(*loaded.project, loaded.skipped_instances, options);
    }
};

// The one problem of a report, as its line of text.
std::string only_line(const CheckReport& report) {
    EXPECT_EQ(report.problems.size(), 1u);
    std::string lines;
    for (const Problem& problem : report.problems) lines += problem_line(problem);
    return lines;
}

TEST_F(CheckTest, ACleanProjectHasNoProblem) {
    const CheckReport report = check(clean.t);
    EXPECT_TRUE(report.problems.empty()) << (report.problems.empty() ? "" : problem_line(report.problems[0]));
    EXPECT_EQ(report.errors, 0u);
    EXPECT_EQ(report.warnings, 0u);
    // The binary form reads back as clean as well.
    EXPECT_TRUE(check(clean.t, "level.zvp").problems.empty());
}

TEST_F(CheckTest, ImagesThatDidNotLoad) {
    SCOPED_TRACE("a tile set's picture that is not there");
    clean.tiles->image_path_and_file_name = dir.file("gone.tga");
    EXPECT_EQ(only_line(check(clean.t)), "error: tile set 0 \"Terrain\": the tile set's image \"" +
                                             dir.file("gone.tga") +
                                             "\" did not load: there is no such file [image-not-loaded]");
}

TEST_F(CheckTest, APictureFileThatIsNoPicture) {
    write_text(dir.file("coin.png"), "not a picture");
    clean.coin->image_path_and_file_name = dir.file("coin.png");
    EXPECT_EQ(only_line(check(clean.t)),
              "error: parent entity 0 \"Coin\": the parent entity's image \"" + dir.file("coin.png") +
                  "\" did not load: it is not a TGA, BMP or PNG picture the editor reads [image-not-loaded]");
}

TEST_F(CheckTest, ALayerBackgroundThatDidNotLoadOnlyWhenItIsUsed) {
    clean.ground->background_image_path_and_file_name = dir.file("sky.png");
    EXPECT_TRUE(check(clean.t).problems.empty());  // named, not used
    clean.ground->use_background_image = true;
    const CheckReport report = check(clean.t);
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].code, "image-not-loaded");
    EXPECT_EQ(report.problems[0].object.text(), "map 0 \"Level\" / layer 0 \"Ground\"");
}

TEST_F(CheckTest, AMapWithoutATileSet) {
    clean.map->use_tile_set_id = kInvalidId;
    EXPECT_EQ(only_line(check(clean.t)),
              "error: map 0 \"Level\": the map uses no tile set [map-without-tile-set]");
    clean.map->use_tile_set_id = 42;
    EXPECT_EQ(only_line(check(clean.t)),
              "error: map 0 \"Level\": the map uses tile set id 42, which the project does not have "
              "[map-without-tile-set]");
}

TEST_F(CheckTest, ATileBeyondTheTileSet) {
    clean.ground->cell(5, 2)->tile = 9;
    const CheckReport report = check(clean.t);
    EXPECT_EQ(
        only_line(report),
        "error: map 0 \"Level\" / layer 0 \"Ground\" / cell (5, 2): tile 9 is beyond the 8 tiles of the "
        "map's tile set \"Terrain\" [tile-index-out-of-range]");
    ASSERT_TRUE(report.problems[0].object.cell);
    EXPECT_EQ(report.problems[0].object.cell->x, 5);
    EXPECT_EQ(report.problems[0].object.map->id, clean.map->unique_id);
}

// A file can hold an instance whose parent entity is gone (the editor never writes one, but files are
// edited by hand and by other tools); the reader leaves it out of the project, so only the reader's record
// of it tells the check.
TEST_F(CheckTest, AnInstanceWhoseParentIsGone) {
    const std::string path = dir.file("level.xml");
    ASSERT_TRUE(write_project_file(clean.t, path));
    const std::string text = read_text(path);
    const std::string edited = std::regex_replace(text, std::regex("pid=\"0\""), "pid=\"77\"");
    ASSERT_NE(text, edited);
    write_text(path, edited);
    const ObjectId uid = clean.ground->instance_entities[0]->uid;
    EXPECT_EQ(
        only_line(check_file(path)),
        "error: map 0 \"Level\" / layer 0 \"Ground\" / instance " + std::to_string(uid) +
            ": the instance's parent entity (id 77) is not in the project; the editor leaves the instance "
            "out when it opens the project [instance-without-parent]");
}

TEST_F(CheckTest, AnInstanceOutsideItsLayer) {
    // The layer is 8 x 6 cells of 16 pixels: 128 x 96 pixels; x 128 is the first pixel outside.
    clean.ground->instance_entities[0]->px = 128.0f;
    const ObjectId uid = clean.ground->instance_entities[0]->uid;
    EXPECT_EQ(
        only_line(check(clean.t)),
        "error: map 0 \"Level\" / layer 0 \"Ground\" / instance " + std::to_string(uid) +
            ": the instance at (128, 20) lies outside the layer's 128 x 96 pixels [instance-outside-layer]");
    clean.ground->instance_entities[0]->px = 127.5f;
    clean.ground->instance_entities[0]->py = -0.5f;
    EXPECT_EQ(check(clean.t).problems.size(), 1u);
    clean.ground->instance_entities[0]->py = 95.5f;
    EXPECT_TRUE(check(clean.t).problems.empty());
}

TEST_F(CheckTest, APathWithoutItsEndMark) {
    clean.ground->path_points.back()->set_ends_path(false);
    const ObjectId last = clean.ground->path_points.back()->uid;
    EXPECT_EQ(only_line(check(clean.t, "level.zvp")),
              "error: map 0 \"Level\" / layer 0 \"Ground\" / path 0: the path's last point (point " +
                  std::to_string(last) +
                  ") has no end mark; the path runs into the end of the layer's points [path-without-end]");
}

TEST_F(CheckTest, APathOfOnePoint) {
    clean.t.add_path(*clean.map, *clean.ground, 1, 50.0f, 50.0f, false);
    EXPECT_EQ(
        only_line(check(clean.t)),
        "error: map 0 \"Level\" / layer 0 \"Ground\" / path 1: the path has 1 point; a path needs at least "
        "two [path-too-short]");
}

TEST_F(CheckTest, APointThatBelongsToNoPath) {
    PathPoint stray;
    stray.map_id = clean.map->unique_id;
    stray.layer_id = clean.ground->unique_id;
    stray.px = 70.0f;
    const ObjectId uid = add_path_point(clean.t.project, stray, false, nullptr)->uid;
    EXPECT_EQ(
        only_line(check(clean.t, "level.zvp")),
        "error: map 0 \"Level\" / layer 0 \"Ground\" / point " + std::to_string(uid) +
            ": the point follows the end of a path without starting a new one, so it belongs to no path "
            "[point-outside-path]");
}

TEST_F(CheckTest, DuplicateNamesIgnoringLetterCase) {
    {
        SCOPED_TRACE("maps");
        CleanProject p(dir);
        p.t.add_map("LEVEL", p.tiles);
        EXPECT_EQ(only_line(check(p.t)),
                  "error: map 1 \"LEVEL\": the name is already used by map 0 \"Level\"; exporters that name "
                  "files after maps would write both to one file [duplicate-name]");
    }
    {
        SCOPED_TRACE("layers of one map; the same name in another map is no clash");
        CleanProject p(dir);
        p.t.add_layer(*p.map, "ground", 2, 2);
        Map& other = p.t.add_map("Other", p.tiles);
        p.t.add_layer(other, "Ground", 2, 2);
        const std::string line = only_line(check(p.t));
        EXPECT_EQ(
            line.substr(0, line.find(';')),
            "error: map 0 \"Level\" / layer 1 \"ground\": the name is already used by layer 0 \"Ground\" "
            "of this map");
    }
    {
        SCOPED_TRACE("parent entities");
        CleanProject p(dir);
        p.t.add_parent("coin");
        const CheckReport report = check(p.t);
        ASSERT_EQ(report.problems.size(), 1u);
        EXPECT_EQ(report.problems[0].code, "duplicate-name");
        EXPECT_EQ(report.problems[0].object.text(), "parent entity 1 \"coin\"");
    }
}

TEST_F(CheckTest, LockedObjectsAreWarnings) {
    clean.ground->is_locked = true;
    const CheckReport report = check(clean.t);
    EXPECT_EQ(only_line(report),
              "warning: map 0 \"Level\" / layer 0 \"Ground\": the layer is locked [object-locked]");
    EXPECT_EQ(report.errors, 0u);
    EXPECT_EQ(report.warnings, 1u);
    clean.tiles->is_locked = clean.coin->is_locked = clean.map->is_locked = true;
    EXPECT_EQ(check(clean.t).warnings, 4u);
}

// A layer painted from the wrong tile set is one problem per cell: the first ones are listed, the rest
// counted on one line, and every one is counted.
TEST_F(CheckTest, ProblemsOfOneKindOnALayerAreListedUpToTheLimit) {
    for (std::int32_t x = 0; x < 8; ++x)
        for (std::int32_t y = 0; y < 4; ++y) clean.ground->cell(x, y)->tile = 100;
    CheckOptions options;
    options.max_per_layer = 20;
    const CheckReport report = check(clean.t, "level.xml", options);
    ASSERT_EQ(report.problems.size(), 21u);
    EXPECT_EQ(report.errors, 32u);
    EXPECT_EQ(report.omitted, 12u);
    const Problem& more = report.problems.back();
    EXPECT_EQ(more.more, 12u);
    EXPECT_EQ(problem_line(more),
              "error: map 0 \"Level\" / layer 0 \"Ground\": ... and 12 more problems of this "
              "kind on this layer [tile-index-out-of-range]");
    options.max_per_layer = 0;
    EXPECT_EQ(check(clean.t, "level.xml", options).problems.size(), 32u);
}

TEST(CheckNames, NamesAreQuotedSoThatAPathReadsBack) {
    cli::ObjectPath path;
    path.map = cli::ListedObject{3, 7, "Say \"hi\"\\\xe9"};
    EXPECT_EQ(path.text(), "map 3 \"Say \\\"hi\\\"\\\\\\xe9\"");
}

}  // namespace
}  // namespace zorva::test
