#include "image/image_loader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/image_files.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace zorva::test {
namespace {

using Pixel = std::array<int, 4>;

const Bytes kTga = tga_file(1, 1, 24, 0x08, {1, 2, 3});

TEST(ImageKinds, TableAndDetectionByExtensionInAnyCase) {
    ASSERT_EQ(kImageKinds.size(), 3u);
    EXPECT_EQ(kImageKinds[0].filter_name, "TGA Files");
    EXPECT_EQ(kImageKinds[1].filter_name, "Bitmap Files");
    EXPECT_EQ(kImageKinds[2].filter_name, "PNG Files");
    EXPECT_EQ(image_kind_from_path("a/b/tiles.TGA"), ImageKind::Tga);
    EXPECT_EQ(image_kind_from_path("tiles.Bmp"), ImageKind::Bmp);
    EXPECT_EQ(image_kind_from_path("C:\\art\\x.pNg"), ImageKind::Png);
    EXPECT_EQ(image_kind_from_path("tiles.jpg"), ImageKind::Empty);
    EXPECT_EQ(image_kind_from_path("png"), ImageKind::Empty);
    EXPECT_EQ(image_kind_from_path(""), ImageKind::Empty);
}

TEST(LoadImage, UnsupportedTypeIsReportedUnlessQuiet) {
    TempDir dir;
    write_file(dir.file("picture.gif"), kTga);
    ScriptedPlatform platform;
    Image image;
    EXPECT_EQ(load_image(image, dir.file("picture.gif"), ImageKind::Empty, &platform, true, false, 0),
              kImageUnsupportedType);
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_EQ(load_image(image, dir.file("picture.gif"), ImageKind::Empty, &platform, false, false, 0),
              kImageUnsupportedType);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text,
              "The image type is not supported.\n\nPlease try loading a different image.\n");
    EXPECT_EQ(platform.shown[0].caption, "Unsupported image type");
    EXPECT_EQ(platform.shown[0].icon, MessageIcon::Warning);
    EXPECT_NE(kImageUnsupportedType, kImageFailed);
    EXPECT_TRUE(image.empty());
}

TEST(LoadImage, FromFileByExtensionOrGivenKind) {
    TempDir dir;
    write_file(dir.file("one.TgA"), kTga);
    write_file(dir.file("one.dat"), kTga);
    ScriptedPlatform platform;
    Image image;
    ASSERT_EQ(load_image(image, dir.file("one.TgA"), ImageKind::Empty, &platform, false, false, 0),
              kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{1, 2, 3, 255}));
    ASSERT_EQ(load_image(image, dir.file("one.dat"), ImageKind::Tga, &platform, false, false, 0),
              kImageLoaded);
    // The kind is trusted: the same bytes are no bitmap.
    EXPECT_EQ(load_image(image, dir.file("one.TgA"), ImageKind::Bmp, &platform, false, false, 0),
              kImageFailed);
    EXPECT_TRUE(image.empty());
    EXPECT_TRUE(platform.shown.empty());
}

TEST(LoadImage, MissingFileOrFolderFailsSilentlyAndEmptiesTheRecord) {
    TempDir dir;
    write_file(dir.file("one.tga"), kTga);
    ScriptedPlatform platform;
    Image image;
    ASSERT_EQ(load_image(image, dir.file("one.tga"), ImageKind::Empty, &platform, false, true, 0),
              kImageLoaded);
    EXPECT_EQ(load_image(image, dir.file("none.tga"), ImageKind::Empty, &platform, false, false, 0),
              kImageFailed);
    EXPECT_TRUE(image.empty());
    EXPECT_EQ(image.kind, ImageKind::Empty);
    EXPECT_FALSE(image.needs_blending);
    EXPECT_EQ(load_image(image, dir.path().string() + "/.tga", ImageKind::Empty, nullptr, false, false, 0),
              kImageFailed);
    std::filesystem::create_directory(dir.file("folder.png"));
    EXPECT_EQ(load_image(image, dir.file("folder.png"), ImageKind::Empty, nullptr, false, false, 0),
              kImageFailed);
    // A pipe (no writer will ever come) and a device are refused without blocking.
    ASSERT_EQ(::mkfifo(dir.file("pipe.png").c_str(), 0600), 0);
    EXPECT_EQ(load_image(image, dir.file("pipe.png"), ImageKind::Empty, nullptr, false, false, 0),
              kImageFailed);
    EXPECT_EQ(load_image(image, "/dev/zero", ImageKind::Bmp, nullptr, false, false, 0), kImageFailed);
    EXPECT_TRUE(platform.shown.empty());
}

TEST(CopyImage, MovesThePixelsAndEveryField) {
    Image source;
    ASSERT_EQ(load_image_from_memory(source, ImageKind::Tga, kTga.data(), kTga.size(), true, 0x123456),
              kImageLoaded);
    const std::uint8_t* buffer = source.pixels();
    Image destination;
    ASSERT_TRUE(destination.allocate(5, 5));
    copy_image(destination, source);
    EXPECT_EQ(destination.pixels(), buffer);
    EXPECT_EQ(destination.kind, ImageKind::Tga);
    EXPECT_EQ(destination.width, 1);
    EXPECT_EQ(destination.stored_depth, 24);
    EXPECT_TRUE(destination.colour_key_on);
    EXPECT_TRUE(destination.needs_blending);
    EXPECT_TRUE(source.empty());
    source.release();  // harmless
    EXPECT_EQ(pixel(destination, 0, 0), (Pixel{1, 2, 3, 255}));
    copy_image(destination, destination);
    EXPECT_EQ(destination.pixels(), buffer);
}

TEST(ImageRecord, AllocateRefusesImpossibleSizes) {
    Image image;
    EXPECT_FALSE(image.allocate(0, 5));
    EXPECT_FALSE(image.allocate(5, -1));
    EXPECT_FALSE(image.allocate(0x7FFFFFFF, 1));
    ASSERT_TRUE(image.allocate(3, 2));
    EXPECT_EQ(image.stride, 12);
    EXPECT_EQ(image.byte_size(), 24u);
    EXPECT_EQ(pixel(image, 2, 1), (Pixel{0, 0, 0, 0}));
}

}  // namespace
}  // namespace zorva::test
