// zorva-cli render, run as a program on projects written by the tests.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "image/image_loader.h"
#include "image/png_writer.h"
#include "support/cli_runner.h"
#include "support/project_file.h"
#include "support/temp_dir.h"

namespace zorva::test {
namespace {

// zorva-cli render with `arguments`.
CliRun run(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "render");
    return run_zorva_cli(arguments);
}

struct RenderCommandTest : ::testing::Test {
    TempDir dir;
    std::string project_file;

    RenderCommandTest() {
        TestProject t = TestProject::with_tiles(
            16, 16, 2, 1, [](int x, int) { return x < 16 ? argb(255, 200, 0, 0) : argb(255, 0, 0, 200); });
        // The tile set image goes to a file next to the project.
        const Image& image = t.tile_set->image;
        std::string error;
        write_png_pixels(dir.file("tiles.png"), image.width, image.height, image.pixels(), image.stride, {},
                         &error);
        t.tile_set->image_path_and_file_name = dir.file("tiles.png");
        Layer& layer = t.select(t.add_layer(4, 3, 0, 0));
        for (GridCell& cell : layer.grid) cell.tile = 1;
        layer.grid[5].tile = 2;  // cell (1, 1)
        project_file = dir.file("p.xml");
        EXPECT_TRUE(write_project_file(t, project_file, &error)) << error;
    }
};

TEST_F(RenderCommandTest, WholeMapAndViewFrames) {
    const std::string whole = dir.file("whole.png");
    CliRun r = run({project_file, "--output", whole, "--whole", "--zoom", "200"});
    ASSERT_EQ(r.exit_code, 0) << r.output();
    Image picture;
    ASSERT_EQ(load_image(picture, whole, ImageKind::Empty, nullptr, true, false, 0), kImageLoaded);
    EXPECT_EQ(picture.width, 4 * 32);
    EXPECT_EQ(picture.height, 3 * 32);
    auto at_px = [](const Image& image, int x, int y) {
        return reinterpret_cast<const std::uint32_t*>(image.row(y))[x];
    };
    EXPECT_EQ(at_px(picture, 0, 0), argb(255, 200, 0, 0));  // no outline or grid in a picture
    EXPECT_EQ(at_px(picture, 40, 40), argb(255, 0, 0, 200));

    const std::string view = dir.file("view.png");
    r = run({project_file, "--output", view, "--size", "100x60", "--camera", "-1,0", "--zoom", "100"});
    ASSERT_EQ(r.exit_code, 0) << r.output();
    Image frame;
    ASSERT_EQ(load_image(frame, view, ImageKind::Empty, nullptr, true, false, 0), kImageLoaded);
    EXPECT_EQ(frame.width, 100);
    EXPECT_EQ(frame.height, 60);
    EXPECT_EQ(at_px(frame, 5, 5), argb(255, 0, 0, 100));         // the view background, left of the layer
    EXPECT_EQ(at_px(frame, 16 + 24, 24), argb(255, 0, 0, 200));  // cell (1, 1)
}

TEST_F(RenderCommandTest, RefusalsAndUsage) {
    CliRun r = run({project_file, "--output", dir.file("x.png"), "--size", "40000x20000"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.output().find("40000 x 20000"), std::string::npos) << r.output();
    r = run({project_file, "--output", dir.file("x.png"), "--map", "3"});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.output().find("no map 3"), std::string::npos) << r.output();
    EXPECT_EQ(run({project_file, "--output", dir.file("x.png"), "--zoom", "900"}).exit_code, 2);
    EXPECT_EQ(run({project_file, "--output", dir.file("x.png"), "--camera", "3"}).exit_code, 2);
    EXPECT_EQ(run({project_file}).exit_code, 2);
    EXPECT_EQ(run({dir.file("missing.xml"), "--output", dir.file("x.png")}).exit_code, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.png")));
}

}  // namespace
}  // namespace zorva::test
