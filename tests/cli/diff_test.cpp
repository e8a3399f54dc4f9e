// zorva-cli diff: two saved versions of the sample project, before and after a scripted edit, compared
// object by object.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/project_diff.h"
#include "cli/project_loading.h"
#include "image/image_loader.h"
#include "projectfile/project_io.h"
#include "support/cli_runner.h"
#include "support/project_file.h"
#include "support/temp_dir.h"

namespace zorva::test {
namespace {

using cli::Change;
using cli::ChangeKind;
using cli::DiffReport;

const std::string kSample = std::string(ZORVA_TEST_SOURCE_DIR) + "/../examples/SampleProjects/Sample.xml";

LoadResult load(const std::string& path) {
    std::string messages;
    LoadResult loaded = cli::load_project(path, messages);
    EXPECT_TRUE(loaded) << messages;
    return loaded;
}

std::vector<std::string> lines_of(const DiffReport& report) {
    std::vector<std::string> lines;
    for (const Change& change : report.changes)
        for (const std::string& line : change_lines(change)) lines.push_back(line);
    return lines;
}

bool has_line(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::string all_lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// The sample saved as it is (A) and after a scripted edit (B): the first map renamed, a 4 x 2 block of
// its ground layer repainted, an instance moved, the sky's opacity changed, a path point removed, a layer
// added to the second map, and the camera moved (editor state).
struct SampleEdit : ::testing::Test {
    TempDir dir;
    std::string a = dir.file("Sample-a.xml");
    std::string b = dir.file("Sample-b.xml");
    ObjectId moved_instance = kInvalidId;
    ObjectId removed_point = kInvalidId;
    std::string path_layer;  // the path of the layer that lost the point

    void SetUp() override {
        LoadResult sample = load(kSample);
        ASSERT_TRUE(sample);
        ASSERT_TRUE(write_project(a, *sample.project));

        LoadResult edited = load(a);
        ASSERT_TRUE(edited);
        Project& p = *edited.project;
        Map& meadow = *p.maps[0];
        ASSERT_EQ(meadow.name, "Meadow");
        meadow.name = "Meadow Hills";
        meadow.camera_grid_position_x += 5;
        Layer& sky = *meadow.layers[0];
        sky.opacity = sky.opacity == 200 ? 201 : 200;
        Layer& ground = *meadow.layers[1];
        for (std::int32_t y = 5; y <= 6; ++y) {
            for (std::int32_t x = 10; x <= 13; ++x) {
                GridCell& cell = *ground.cell(x, y);
                cell.tile = cell.tile == 1 ? 2 : 1;
            }
        }
        for (const auto& layer : meadow.layers) {
            if (layer->instance_entities.empty()) continue;
            layer->instance_entities[0]->px += 16.0f;
            moved_instance = layer->instance_entities[0]->uid;
            break;
        }
        ASSERT_NE(moved_instance, kInvalidId);
        // The middle point of the first path of three points or more.
        for (std::size_t m = 0; m < p.maps.size() && removed_point == kInvalidId; ++m) {
            for (std::size_t l = 0; l < p.maps[m]->layers.size() && removed_point == kInvalidId; ++l) {
                Layer& layer = *p.maps[m]->layers[l];
                for (const PathRange& range : path_ranges(layer)) {
                    if (range.size() < 3) continue;
                    const PathPoint* middle = layer.path_points[range.first + 1].get();
                    removed_point = middle->uid;
                    path_layer = "map " + std::to_string(m) + " \"" + p.maps[m]->name.str() + "\" / layer " +
                                 std::to_string(l) + " \"" + layer.name.str() + "\"";
                    remove_path_point(layer, middle, true);
                    break;
                }
            }
        }
        ASSERT_NE(removed_point, kInvalidId);
        LayerProperties overlay;
        overlay.map_id = p.maps[1]->unique_id;
        overlay.name = "Overlay";
        ASSERT_TRUE(add_layer(p, overlay, false, nullptr));
        ASSERT_TRUE(write_project(b, p));
    }
};

TEST_F(SampleEdit, ReportsEachEditAndNothingElse) {
    LoadResult before = load(a);
    LoadResult after = load(b);
    const DiffReport report = cli::diff_projects(*before.project, *after.project);
    const std::vector<std::string> lines = lines_of(report);
    SCOPED_TRACE(all_lines(lines));
    EXPECT_TRUE(has_line(lines, "map 0 \"Meadow Hills\": renamed from \"Meadow\""));
    EXPECT_TRUE(
        has_line(lines, "map 0 \"Meadow Hills\" / layer 1 \"Ground\": 8 cells changed in (10, 5)-(13, 6)"));
    EXPECT_TRUE(has_line(lines, "map 1 \"Crystal Cave\" / layer 2 \"Overlay\": added"));
    EXPECT_TRUE(has_line(lines, path_layer + " / point " + std::to_string(removed_point) + ": removed"));
    const auto opacity = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with("map 0 \"Meadow Hills\" / layer 0 \"Sky\": opacity: ");
    });
    EXPECT_NE(opacity, lines.end());
    const auto moved = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find("/ instance " + std::to_string(moved_instance) + ": px: ") != std::string::npos;
    });
    EXPECT_NE(moved, lines.end());
    // Nothing else: the camera is the editor's state, and the sample's images sit at the same place
    // relative to both files.
    EXPECT_EQ(lines.size(), 6u);
    EXPECT_EQ(report.summary.added, 1u);
    EXPECT_EQ(report.summary.removed, 1u);
    EXPECT_EQ(report.summary.renamed, 1u);
    EXPECT_EQ(report.summary.changed, 2u);
    EXPECT_EQ(report.summary.cells_changed, 8u);
    EXPECT_EQ(report.summary.grids_changed, 1u);

    cli::DiffOptions options;
    options.editor_state = true;
    const std::vector<std::string> with_state =
        lines_of(cli::diff_projects(*before.project, *after.project, options));
    EXPECT_TRUE(std::any_of(with_state.begin(), with_state.end(), [](const std::string& line) {
        return line.starts_with("map 0 \"Meadow Hills\": camera_grid_position_x: ");
    }));

    // Both maps are touched, in B's order.
    const std::vector<cli::MapPair> maps = cli::changed_maps(*before.project, *after.project, report);
    ASSERT_EQ(maps.size(), 2u);
    EXPECT_EQ(maps[0].b, after.project->maps[0].get());
    EXPECT_EQ(maps[0].a, before.project->maps[0].get());
}

TEST_F(SampleEdit, AVersionComparedWithItselfIsIdentical) {
    LoadResult first = load(b);
    LoadResult second = load(b);
    EXPECT_TRUE(cli::diff_projects(*first.project, *second.project).identical());
}

// The same project saved in another folder keeps its images by their absolute path: relative to each
// file they are the same pictures.
TEST(Diff, ImagePathsAreComparedRelativeToEachProjectFile) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "one" / "img");
    std::filesystem::create_directories(dir.path() / "two" / "img");
    for (const char* folder : {"one", "two"}) {
        TestProject t;
        TileSet& tiles = t.add_tile_set("Tiles", 16, 16);
        tiles.image_path_and_file_name = dir.file(std::string(folder) + "/img/tiles.png");
        ASSERT_TRUE(write_project_file(t, dir.file(std::string(folder) + "/level.xml")));
    }
    LoadResult one = load(dir.file("one/level.xml"));
    LoadResult two = load(dir.file("two/level.xml"));
    EXPECT_TRUE(cli::diff_projects(*one.project, *two.project).identical());
    two.project->tile_sets[0]->image_path_and_file_name = dir.file("two/img/other.png");
    EXPECT_EQ(
        lines_of(cli::diff_projects(*one.project, *two.project)),
        std::vector<std::string>{
            "tile set 0 \"Tiles\": image_path_and_file_name: \"./img/tiles.png\" -> \"./img/other.png\""});
}

// A new order is explained by the fewest moves: one layer taken from the bottom to the top is one move,
// not three.
TEST(Diff, OneLayerMovedIsOneMove) {
    TestProject t;
    Map& map = t.add_map("Level");
    for (const char* name : {"A", "B", "C", "D"}) t.add_layer(map, name, 2, 2);
    Project& a = t.project;
    TestProject u;
    Map& other = u.add_map("Level");
    for (const char* name : {"D", "A", "B", "C"}) {
        LayerProperties properties = *find_at(map.layers, name[0] == 'D' ? 3 : name[0] - 'A');
        properties.map_id = other.unique_id;
        add_layer(u.project, properties, true, nullptr);
    }
    EXPECT_EQ(lines_of(cli::diff_projects(a, u.project)),
              std::vector<std::string>{"map 0 \"Level\" / layer 0 \"D\": moved from position 3 to 0"});
}

TEST(Diff, ResizedLayersCompareOverBothSizes) {
    TestProject t;
    Map& map = t.add_map("Level");
    Layer& small = t.add_layer(map, "Ground", 2, 2);
    small.cell(1, 1)->tile = 3;
    TestProject u;
    Map& other = u.add_map("Level");
    LayerProperties grown = small;
    grown.map_id = other.unique_id;
    grown.grid_width = 4;
    std::vector<GridCell> cells(8);
    cells[1 * 4 + 1].tile = 3;  // the old cell, kept
    cells[1 * 4 + 3].tile = 5;  // a new cell in the grown part
    add_layer(u.project, grown, true, nullptr, cells);
    EXPECT_EQ(lines_of(cli::diff_projects(t.project, u.project)),
              (std::vector<std::string>{"map 0 \"Level\" / layer 0 \"Ground\": grid_width: 2 -> 4",
                                        "map 0 \"Level\" / layer 0 \"Ground\": 1 cell changed at (3, 1)"}));
}

// A layer turned from one long column into one long row: the comparison visits the cells both grids have,
// not the square around them, and the mask holds only the changed cells.
TEST(Diff, AColumnTurnedIntoARowCostsItsCellsNotTheirSquare) {
    constexpr std::int32_t kLength = 200000;
    TestProject t;
    Map& map = t.add_map("Level");
    Layer& column = t.add_layer(map, "Ground", 1, kLength);
    for (GridCell& cell : column.grid) cell.tile = 1;
    TestProject u;
    Map& other = u.add_map("Level");
    LayerProperties row = column;
    row.map_id = other.unique_id;
    row.grid_width = kLength;
    row.grid_height = 1;
    std::vector<GridCell> cells(kLength);
    for (GridCell& cell : cells) cell.tile = 1;
    ASSERT_TRUE(add_layer(u.project, row, true, nullptr, cells));

    const DiffReport report = cli::diff_projects(t.project, u.project);
    // (0, 0) is the same on both sides; the rest of the column and the rest of the row changed.
    const std::string last = std::to_string(kLength - 1);
    EXPECT_TRUE(has_line(lines_of(report),
                         "map 0 \"Level\" / layer 0 \"Ground\": " + std::to_string(2 * (kLength - 1)) +
                             " cells changed in (0, 0)-(" + last + ", " + last + ")"))
        << all_lines(lines_of(report));
    EXPECT_EQ(report.summary.cells_changed, 2u * (kLength - 1));

    const cli::CellMask mask = cli::changed_cells(&column, other.layers.front().get());
    EXPECT_EQ(mask.cells.size(), 2u * (kLength - 1));
    EXPECT_FALSE(mask.at(0, 0));
    EXPECT_TRUE(mask.at(0, 5));
    EXPECT_TRUE(mask.at(5, 0));
    EXPECT_FALSE(mask.at(5, 5));
    EXPECT_TRUE(mask.at(0, kLength - 1));
    EXPECT_FALSE(mask.at(0, kLength));
}

#ifdef ZORVA_CLI_RENDER

struct Box {
    std::int64_t left = INT64_MAX, top = INT64_MAX, right = -1, bottom = -1;  // inclusive; right -1: none
    void add(std::int64_t x, std::int64_t y) {
        left = std::min(left, x), top = std::min(top, y), right = std::max(right, x);
        bottom = std::max(bottom, y);
    }
};

Image load_png(const std::string& path) {
    Image image;
    EXPECT_EQ(load_image(image, path, ImageKind::Png, nullptr, true, false, 0), kImageLoaded) << path;
    return image;
}

// Where the picture at (`x`, `y`) differs from `alone` (the map drawn on its own): every differing pixel
// must be the outline's opaque magenta.
Box outlined_part(const Image& picture, std::int64_t x, std::int64_t y, const Image& alone) {
    Box box;
    for (int row = 0; row < alone.height; ++row) {
        for (int column = 0; column < alone.width; ++column) {
            const std::uint8_t* drawn = picture.row(static_cast<int>(y) + row) + (x + column) * 4;
            const std::uint8_t* plain = alone.row(row) + column * 4;
            if (std::equal(drawn, drawn + 4, plain)) continue;
            EXPECT_TRUE(drawn[0] == 255 && drawn[1] == 0 && drawn[2] == 255 && drawn[3] == 255)
                << "at " << x + column << ", " << y + row;
            box.add(column, row);
        }
    }
    return box;
}

// The picture for review: each changed map as a row, A on the left and B on the right, each side drawn
// as render --whole draws it, with only the repainted 4 x 2 cells outlined, at the same place on both.
TEST_F(SampleEdit, PictureOutlinesTheChangedCellsOnBothSides) {
    const std::string picture = dir.file("changes.png");
    const CliRun run = run_zorva_cli({"diff", a, b, "--picture", picture, "--zoom", "50"});
    EXPECT_EQ(run.exit_code, 1) << run.output();
    EXPECT_EQ(run.err, "");
    Image alone[2][2];  // [version][map]
    for (int v = 0; v < 2; ++v) {
        for (int m = 0; m < 2; ++m) {
            const std::string out = dir.file("alone" + std::to_string(v) + std::to_string(m) + ".png");
            ASSERT_EQ(run_zorva_cli({"render", v == 0 ? a : b, "--whole", "--map", std::to_string(m),
                                     "--zoom", "50", "--output", out})
                          .exit_code,
                      0);
            alone[v][m] = load_png(out);
        }
    }
    const Image drawn = load_png(picture);
    ASSERT_FALSE(drawn.empty());
    constexpr std::int64_t kGap = 16;
    const std::int64_t right_x = std::max(alone[0][0].width, alone[0][1].width) + kGap;
    const std::int64_t second_row_y = std::max(alone[0][0].height, alone[1][0].height) + kGap;
    EXPECT_EQ(drawn.width, right_x + std::max(alone[1][0].width, alone[1][1].width));
    EXPECT_EQ(drawn.height, second_row_y + std::max(alone[0][1].height, alone[1][1].height));

    const Box left = outlined_part(drawn, 0, 0, alone[0][0]);
    const Box right = outlined_part(drawn, right_x, 0, alone[1][0]);
    LoadResult sample = load(a);
    const TileSet& tiles = *find_tile_set(*sample.project, sample.project->maps[0]->use_tile_set_id);
    // 4 x 2 tiles at half size, give or take the outline's width.
    EXPECT_NEAR(static_cast<double>(left.right - left.left), tiles.single_tile_pixel_width * 4 * 0.5, 3.0);
    EXPECT_NEAR(static_cast<double>(left.bottom - left.top), tiles.single_tile_pixel_height * 2 * 0.5, 3.0);
    EXPECT_EQ(left.left, right.left);
    EXPECT_EQ(left.top, right.top);
    EXPECT_EQ(left.right, right.right);
    EXPECT_EQ(left.bottom, right.bottom);
    // The second map gained a layer with no cells set: drawn, nothing outlined.
    EXPECT_EQ(outlined_part(drawn, 0, second_row_y, alone[0][1]).right, -1);
    EXPECT_EQ(outlined_part(drawn, right_x, second_row_y, alone[1][1]).right, -1);

    // No changes, no picture, no failure.
    const std::string none = dir.file("none.png");
    const CliRun same = run_zorva_cli({"diff", a, a, "--picture", none});
    EXPECT_EQ(same.exit_code, 0) << same.output();
    EXPECT_FALSE(std::filesystem::exists(none));
}

#endif

}  // namespace
}  // namespace zorva::test
