// ZvTmx: the sample project exported with zorva-cli and read back with the TMX import must give the same
// cells, layers, entities and variables; its flip bits and curve flattening checked on their own.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "exporters/tmx/tmx_geometry.h"
#include "import/tmx_import.h"
#include "projectfile/project_io.h"
#include "support/cli_runner.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

const std::string kSample = std::string(ZORVA_TEST_SOURCE_DIR) + "/../examples/SampleProjects/Sample.xml";

TEST(TmxExport, FlipBitsAreTheInverseOfTheImport) {
    // Zorva (H, V, R) -> TMX (h, v, d): with R the horizontal bit is inverted.
    EXPECT_EQ(zvtmx::tmx_flip_bits(false, false, false), 0u);
    EXPECT_EQ(zvtmx::tmx_flip_bits(true, false, false), 0x80000000u);
    EXPECT_EQ(zvtmx::tmx_flip_bits(false, true, false), 0x40000000u);
    EXPECT_EQ(zvtmx::tmx_flip_bits(false, false, true), 0xA0000000u);
    EXPECT_EQ(zvtmx::tmx_flip_bits(true, false, true), 0x20000000u);
    EXPECT_EQ(zvtmx::tmx_flip_bits(true, true, true), 0x60000000u);
}

TEST(TmxExport, CurvesAreFlattenedWithinHalfAPixel) {
    const zvtmx::Point p0{0, 0}, c1{-40, 120}, c2{260, -90}, p3{200, 30};
    std::vector<zvtmx::Point> line{p0};
    zvtmx::flatten_cubic(p0, c1, c2, p3, line);
    ASSERT_GT(line.size(), 8u);
    EXPECT_LT(line.size(), 200u);
    EXPECT_EQ(line.back().x, 200);
    // Every point of the curve lies within 0.5 pixel of the lines.
    double worst = 0;
    for (int i = 0; i <= 2000; ++i) {
        const double t = i / 2000.0, u = 1 - t;
        const double x = u * u * u * p0.x + 3 * u * u * t * c1.x + 3 * u * t * t * c2.x + t * t * t * p3.x;
        const double y = u * u * u * p0.y + 3 * u * u * t * c1.y + 3 * u * t * t * c2.y + t * t * t * p3.y;
        double nearest = 1e9;
        for (std::size_t k = 1; k < line.size(); ++k) {
            const zvtmx::Point a = line[k - 1], b = line[k];
            const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
            const double s =
                length2 > 0 ? std::clamp(((x - a.x) * dx + (y - a.y) * dy) / length2, 0.0, 1.0) : 0;
            nearest = std::min(nearest, std::hypot(x - a.x - s * dx, y - a.y - s * dy));
        }
        worst = std::max(worst, nearest);
    }
    EXPECT_LE(worst, zvtmx::kFlatteningTolerance);

    // A straight segment stays one line.
    std::vector<zvtmx::Point> straight;
    zvtmx::flatten_cubic({0, 0}, {0, 0}, {10, 10}, {10, 10}, straight);
    EXPECT_EQ(straight.size(), 1u);
}

TEST(TmxExport, TheSampleProjectComesBackTheSame) {
    test::TempDir dir;
    const test::CliRun run =
        test::run_zorva_cli({"export", kSample, "--exporter", "ZvTmx", "--output", dir.file("level.tmx")});
    ASSERT_EQ(run.exit_code, 0) << run.output();
    EXPECT_NE(run.out.find("The layer \"Sky\" wraps; TMX layers do not."), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("The background of the layer"), std::string::npos) << run.out;

    const LoadResult original = read_project(kSample, nullptr);
    ASSERT_TRUE(original);
    const std::vector<std::string> files = {dir.file("level_Meadow.tmx"), dir.file("level_Crystal_Cave.tmx")};
    ASSERT_EQ(original.project->maps.size(), files.size());
    for (std::size_t m = 0; m < files.size(); ++m) {
        SCOPED_TRACE(files[m]);
        const TmxImportResult back = import_tmx_map(files[m], nullptr);
        ASSERT_TRUE(back.ok) << back.message;
        const Map& was = *original.project->maps[m];
        const Map& is = *back.project->maps.front();
        EXPECT_EQ(is.custom_variables, was.custom_variables);
        const TileSet& was_tiles = *find_tile_set(*original.project, was.use_tile_set_id);
        const TileSet& is_tiles = *find_tile_set(*back.project, is.use_tile_set_id);
        EXPECT_EQ(
            is_tiles.image_path_and_file_name.view(),
            std::filesystem::path(was_tiles.image_path_and_file_name.str()).lexically_normal().string());
        EXPECT_EQ(is_tiles.custom_variables, was_tiles.custom_variables);
        ASSERT_EQ(is.layers.size(), was.layers.size());
        for (std::size_t l = 0; l < was.layers.size(); ++l) {
            const Layer& a = *was.layers[l];
            const Layer& b = *is.layers[l];
            SCOPED_TRACE(a.name.str());
            EXPECT_EQ(b.name, a.name);
            EXPECT_EQ(b.is_visible, a.is_visible);
            EXPECT_EQ(b.opacity, a.opacity);
            EXPECT_EQ(b.grid_offset_x, a.grid_offset_x);
            EXPECT_EQ(b.grid_offset_y, a.grid_offset_y);
            EXPECT_EQ(b.scroll_speed_x, a.scroll_speed_x);
            EXPECT_EQ(b.custom_variables, a.custom_variables);
            // Cells with their flips, rotation and attribute bytes.
            EXPECT_EQ(b.grid, a.grid);
            ASSERT_EQ(b.instance_entities.size(), a.instance_entities.size());
            for (std::size_t e = 0; e < a.instance_entities.size(); ++e) {
                const InstanceEntity& x = *a.instance_entities[e];
                const InstanceEntity& y = *b.instance_entities[e];
                const ParentEntity& xp = *find_parent_entity(*original.project, x.pid);
                const ParentEntity& yp = *find_parent_entity(*back.project, y.pid);
                EXPECT_FLOAT_EQ(y.px, x.px);
                EXPECT_FLOAT_EQ(y.py, x.py);
                EXPECT_EQ(y.fh, x.fh);
                EXPECT_EQ(y.fv, x.fv);
                EXPECT_EQ(y.custom_variables, x.custom_variables);
                EXPECT_EQ(yp.is_trigger, xp.is_trigger);
                if (xp.is_trigger) {
                    EXPECT_EQ(yp.trigger_is_a_circle, xp.trigger_is_a_circle);
                    if (xp.trigger_is_a_circle)
                        EXPECT_EQ(y.tcr, x.tcr);
                    else
                        EXPECT_EQ(y.trw, x.trw);
                } else {
                    EXPECT_EQ(yp.image_path_and_file_name, xp.image_path_and_file_name);
                    EXPECT_EQ(yp.preview_anima_frame, xp.preview_anima_frame);
                }
            }
            EXPECT_EQ(b.path_count(), a.path_count());
        }
    }
}

}  // namespace
}  // namespace zorva
