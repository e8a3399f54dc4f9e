#include "render/map_picture.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "image/builtin_pictures.h"
#include "image/image_loader.h"
#include "image/png_writer.h"
#include "prefs/preferences.h"
#include "render_test_support.h"
#include "support/project_builder.h"

namespace zorva::test {
namespace {

struct PictureTest : ::testing::Test {
    std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zorva-picture-test-" + std::to_string(::getpid()));
    Preferences prefs;
    BuiltinPictures pictures;

    PictureTest() { std::filesystem::create_directories(folder); }
    ~PictureTest() override { std::filesystem::remove_all(folder); }
    std::string file(const char* name) const { return (folder / name).string(); }
};

std::uint32_t pixel_of(const Image& image, int x, int y) {
    return reinterpret_cast<const std::uint32_t*>(image.row(y))[x];
}

TEST_F(PictureTest, WholeMapCoversTheUnionOfTheLayersOnATransparentBackdrop) {
    TestProject t =
        TestProject::with_tiles(16, 16, 4, 2, [](int x, int y) { return argb(255, 40 + x, 60 + y, 7); });
    Layer& a = t.select(t.add_layer(3, 2, -1, 0));
    Layer& b = t.select(t.add_layer(2, 2, 1, 1));
    a.grid[0].tile = 1;  // cell (-1, 0) of the map
    b.grid[3].tile = 2;  // cell (2, 2)
    a.is_locked = true;  // no warning frame, grid or outline in a picture
    prefs.set_flag(FlagA::ViewGrid, true);
    const std::uint32_t zoom_before = t.project.zoom;

    PictureOptions options;
    options.band_rows = 5;  // several bands, one of them short
    const PictureResult result =
        write_map_picture(t.project, *t.map, prefs, pictures, options, file("map.png"));
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(result.width, 4 * 16);   // columns -1 to 2
    EXPECT_EQ(result.height, 3 * 16);  // rows 0 to 2
    EXPECT_EQ(t.project.zoom, zoom_before);

    Image read;
    ASSERT_EQ(load_image(read, file("map.png"), ImageKind::Empty, nullptr, true, false, 0), kImageLoaded);
    ASSERT_EQ(read.width, 64);
    ASSERT_EQ(read.height, 48);
    EXPECT_EQ(pixel_of(read, 0, 0), argb(255, 40, 60, 7));
    EXPECT_EQ(pixel_of(read, 15, 15), argb(255, 40 + 15, 60 + 15, 7));
    EXPECT_EQ(pixel_of(read, 48, 32), argb(255, 40 + 16, 60, 7));  // tile 2 at cell (2, 2)
    EXPECT_EQ(pixel_of(read, 20, 20), 0u);                         // nothing drawn: transparent
    EXPECT_EQ(pixel_of(read, 63, 0), 0u);

    // At 50 %: half the size.
    options.zoom_percent = 50;
    ASSERT_TRUE(write_map_picture(t.project, *t.map, prefs, pictures, options, file("half.png")).ok);
    ASSERT_EQ(load_image(read, file("half.png"), ImageKind::Empty, nullptr, true, false, 0), kImageLoaded);
    EXPECT_EQ(read.width, 32);
    EXPECT_EQ(read.height, 24);
}

TEST_F(PictureTest, RefusesOversizedAndEmptyPicturesWithoutTouchingTheFile) {
    TestProject t = TestProject::with_tiles(16, 16);
    t.select(t.add_layer(3000, 10));  // 48000 pixels wide
    {
        std::ofstream old(file("keep.png"));
        old << "previous";
    }
    PictureOptions options;
    const PictureResult refused =
        write_map_picture(t.project, *t.map, prefs, pictures, options, file("keep.png"));
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.message.find("48000 x 160"), std::string::npos) << refused.message;
    EXPECT_EQ(std::filesystem::file_size(file("keep.png")), 8u);
    EXPECT_FALSE(picture_size_allowed(20000, 20000));  // fits a side, too many pixels
    EXPECT_TRUE(picture_size_allowed(16384, 16384));
    EXPECT_FALSE(picture_size_allowed(0, 10));

    TestProject empty = TestProject::with_tiles(16, 16);
    EXPECT_FALSE(write_map_picture(empty.project, *empty.map, prefs, pictures, options, file("e.png")).ok);
}

TEST_F(PictureTest, PngKeepsStraightAlphaAndFailsCleanly) {
    // Premultiplied in, straight alpha in the file, premultiplied again when read back.
    const std::uint32_t pixels[4] = {argb(255, 1, 2, 3), argb(128, 64, 32, 0), argb(0, 0, 0, 0),
                                     argb(10, 10, 5, 0)};
    auto source = [&](std::int64_t first, std::int64_t count, std::uint32_t* rows, std::int64_t stride) {
        for (std::int64_t y = 0; y < count; ++y)
            for (int x = 0; x < 4; ++x)
                reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(rows) + y * stride)[x] =
                    pixels[(x + first + y) % 4];
        return true;
    };
    std::string error;
    ASSERT_TRUE(write_png(file("a.png"), 4, 3, 2, source, {}, &error)) << error;
    Image read;
    ASSERT_EQ(load_image(read, file("a.png"), ImageKind::Empty, nullptr, true, false, 0), kImageLoaded);
    EXPECT_EQ(pixel_of(read, 0, 0), pixels[0]);
    EXPECT_EQ(pixel_of(read, 1, 0), pixels[1]);
    EXPECT_EQ(pixel_of(read, 2, 0), pixels[2]);
    EXPECT_EQ(pixel_of(read, 3, 0), pixels[3]);
    EXPECT_EQ(pixel_of(read, 0, 2), pixels[2]);

    // A failing source or an unwritable folder leaves no file and reports.
    auto failing = [](std::int64_t, std::int64_t, std::uint32_t*, std::int64_t) { return false; };
    EXPECT_FALSE(write_png(file("b.png"), 4, 3, 2, failing, {}, &error));
    EXPECT_FALSE(std::filesystem::exists(file("b.png")));
    EXPECT_FALSE(write_png((folder / "missing" / "c.png").string(), 4, 3, 2, source, {}, &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace zorva::test
