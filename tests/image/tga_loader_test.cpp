#include <gtest/gtest.h>

#include "image/image_loader.h"
#include "support/image_files.h"

namespace zorva::test {
namespace {

using Pixel = std::array<int, 4>;

std::int32_t load(Image& image, const Bytes& file, bool key_on = false, std::uint32_t key = 0) {
    return load_image_from_memory(image, ImageKind::Tga, file.data(), file.size(), key_on, key);
}

// 2 × 2, 24 bits: first file row red, green; second file row blue, white.
const Bytes kTwoRows24{0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};

TEST(TgaLoader, BottomLeftOriginPutsTheFirstFileRowAtTheBottom) {
    Image image;
    ASSERT_EQ(load(image, tga_file(2, 2, 24, 0x08, kTwoRows24)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 1), (Pixel{0, 0, 255, 255}));  // red, bottom left
    EXPECT_EQ(pixel(image, 1, 1), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{255, 0, 0, 255}));  // blue, top left
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{255, 255, 255, 255}));
    EXPECT_EQ(image.kind, ImageKind::Tga);
    EXPECT_EQ(image.depth, 32);
    EXPECT_EQ(image.stored_depth, 24);
    EXPECT_EQ(image.stored_width, 2);
    EXPECT_EQ(image.stored_height, 2);
    EXPECT_EQ(image.stride, 8);
    EXPECT_TRUE(image.needs_blending);
    EXPECT_FALSE(image.has_transparency);
}

TEST(TgaLoader, TopLeftOriginIsShownUpright) {
    for (std::uint8_t descriptor : {std::uint8_t{0x20}, std::uint8_t{0x28}}) {
        Image image;
        ASSERT_EQ(load(image, tga_file(2, 2, 24, descriptor, kTwoRows24)), kImageLoaded);
        EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 0, 255, 255}));  // first file row on top
        EXPECT_EQ(pixel(image, 1, 1), (Pixel{255, 255, 255, 255}));
    }
}

TEST(TgaLoader, OddHeightsSwapEveryRowButTheMiddle) {
    const Bytes rows{1, 1, 1, 2, 2, 2, 3, 3, 3};
    Image bottom_up, top_down;
    ASSERT_EQ(load(bottom_up, tga_file(1, 3, 24, 0x08, rows)), kImageLoaded);
    ASSERT_EQ(load(top_down, tga_file(1, 3, 24, 0x20, rows)), kImageLoaded);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(pixel(top_down, 0, y)[0], y + 1);
        EXPECT_EQ(pixel(bottom_up, 0, y)[0], 3 - y);
    }
}

TEST(TgaLoader, RejectsEveryOtherHeader) {
    Image image;
    EXPECT_EQ(load(image, tga_file(2, 2, 24, 0x00, kTwoRows24)), kImageFailed);  // descriptor 0
    EXPECT_TRUE(image.empty());
    EXPECT_EQ(load(image, tga_file(2, 2, 24, 0x10, kTwoRows24)), kImageFailed);      // right-to-left
    EXPECT_EQ(load(image, tga_file(2, 2, 24, 0x08, kTwoRows24, 10)), kImageFailed);  // run-length
    EXPECT_EQ(load(image, tga_file(2, 2, 24, 0x08, kTwoRows24, 1)), kImageFailed);   // colour mapped
    EXPECT_EQ(load(image, tga_file(2, 2, 24, 0x08, kTwoRows24, 2, 1)), kImageFailed);
    EXPECT_EQ(load(image, tga_file(2, 2, 16, 0x08, kTwoRows24)), kImageFailed);
    EXPECT_EQ(load(image, tga_file(0, 2, 24, 0x08, kTwoRows24)), kImageFailed);
    EXPECT_TRUE(image.empty());
    EXPECT_EQ(image.kind, ImageKind::Empty);
}

TEST(TgaLoader, ThirtyTwoBitsKeepAlphaAndArePremultiplied) {
    // One row: half-transparent white, fully transparent red, opaque grey.
    const Bytes row{255, 255, 255, 128, 0, 0, 255, 0, 100, 100, 100, 255};
    Image image;
    ASSERT_EQ(load(image, tga_file(3, 1, 32, 0x28, row)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{128, 128, 128, 128}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(pixel(image, 2, 0), (Pixel{100, 100, 100, 255}));
    EXPECT_EQ(image.stored_depth, 32);
}

TEST(TgaLoader, ColourKeyOnAThirtyTwoBitImageWithAlpha) {
    // The keyed colour (10, 20, 30) appears once opaque and once half transparent; both go.
    const Bytes row{30, 20, 10, 255, 30, 20, 10, 100, 30, 20, 11, 200};
    Image image;
    const std::uint32_t key = 10 | (20 << 8) | (30 << 16);
    ASSERT_EQ(load(image, tga_file(3, 1, 32, 0x28, row), true, key), kImageLoaded);
    EXPECT_TRUE(image.colour_key_on);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(pixel(image, 2, 0), (Pixel{30 * 200 / 255, 20 * 200 / 255, 11 * 200 / 255, 200}));
}

TEST(TgaLoader, SkipsTheImageIdField) {
    Image image;
    ASSERT_EQ(load(image, tga_file(2, 2, 24, 0x20, kTwoRows24, 2, 0, Bytes(7, 0xEE))), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 0, 255, 255}));
}

TEST(TgaLoader, TruncatedAndHostileFilesFailCleanly) {
    const Bytes file = tga_file(2, 2, 24, 0x08, kTwoRows24);
    Image image;
    for (std::size_t size = 0; size < file.size(); ++size) {
        EXPECT_EQ(load_image_from_memory(image, ImageKind::Tga, file.data(), size, false, 0), kImageFailed)
            << size;
        EXPECT_TRUE(image.empty());
    }
    // 65535 × 65535 announced, 12 bytes present: refused without allocating.
    EXPECT_EQ(load(image, tga_file(65535, 65535, 32, 0x08, kTwoRows24)), kImageFailed);
    // An id field running past the end.
    Bytes long_id = tga_file(1, 1, 24, 0x08, {1, 2, 3});
    long_id[0] = 255;
    EXPECT_EQ(load(image, long_id), kImageFailed);
}

}  // namespace
}  // namespace zorva::test
