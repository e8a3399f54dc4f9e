#include <gtest/gtest.h>

#include "image/image_loader.h"
#include "support/image_files.h"

namespace zorva::test {
namespace {

using Pixel = std::array<int, 4>;

std::int32_t load(Image& image, const Bytes& file, bool key_on = false, std::uint32_t key = 0) {
    return load_image_from_memory(image, ImageKind::Bmp, file.data(), file.size(), key_on, key);
}

// Blue, green, red, 0 entries: black, white, red, green.
const Bytes kPalette{0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0, 0, 255, 0, 0};

TEST(BmpLoader, TwentyFourBitsBottomUpAndTopDown) {
    // Two rows of 1 pixel, padded to 4 bytes: file row 0 blue, file row 1 red.
    const Bytes rows{255, 0, 0, 0, 0, 0, 255, 0};
    Image image;
    ASSERT_EQ(load(image, bmp_file(1, 2, 24, rows)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 1), (Pixel{255, 0, 0, 255}));  // first file row at the bottom
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(image.stored_depth, 24);
    EXPECT_EQ(image.kind, ImageKind::Bmp);

    ASSERT_EQ(load(image, bmp_file(1, -2, 24, rows)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(pixel(image, 0, 1), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(image.height, 2);
}

TEST(BmpLoader, SixteenBitWhiteBecomes254) {
    // 5-5-5: white 0x7FFF, pure red 0x7C00, one step of blue 0x0001, and a green of 16.
    const Bytes rows{0xFF, 0x7F, 0x00, 0x7C, 0x01, 0x00, 0x00, 0x02};
    Image image;
    ASSERT_EQ(load(image, bmp_file(4, 1, 16, rows)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{254, 254, 254, 255}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 0, 254, 255}));
    EXPECT_EQ(pixel(image, 2, 0), (Pixel{8, 0, 0, 255}));
    EXPECT_EQ(pixel(image, 3, 0), (Pixel{0, 131, 0, 255}));
    EXPECT_EQ(image.stored_depth, 16);
}

TEST(BmpLoader, SixteenBitFieldsFiveSixFive) {
    const Bytes rows{0xFF, 0xFF, 0x00, 0xF8};  // white, pure red
    Image image;
    ASSERT_EQ(load(image, bmp_file(2, 1, 16, rows, {}, {0xF800, 0x07E0, 0x001F})), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{254, 255, 254, 255}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 0, 254, 255}));
}

TEST(BmpLoader, ThirtyTwoBitsKeepTheFourthByteAsAlpha) {
    const Bytes rows{200, 100, 50, 255, 200, 100, 50, 0, 200, 100, 50, 51};
    Image image;
    ASSERT_EQ(load(image, bmp_file(3, 1, 32, rows)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{200, 100, 50, 255}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(pixel(image, 2, 0), (Pixel{40, 20, 10, 51}));
    // With bit fields but no alpha mask the picture is opaque.
    ASSERT_EQ(load(image, bmp_file(3, 1, 32, rows, {}, {0xFF0000, 0xFF00, 0xFF})), kImageLoaded);
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{200, 100, 50, 255}));
}

TEST(BmpLoader, EightBitPalette) {
    const Bytes rows{0, 1, 2, 3, 3, 2, 1, 0};
    Image image;
    ASSERT_EQ(load(image, bmp_file(4, 2, 8, rows, kPalette, {}, 4)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 1), (Pixel{0, 0, 0, 255}));
    EXPECT_EQ(pixel(image, 1, 1), (Pixel{255, 255, 255, 255}));
    EXPECT_EQ(pixel(image, 2, 1), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(pixel(image, 3, 1), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(image.stored_depth, 8);
}

TEST(BmpLoader, FourBitPaletteHighNibbleFirstWithOddWidth) {
    // 3 pixels: indexes 2, 3, 1; the fourth nibble is unused padding.
    const Bytes rows{0x23, 0x1F, 0, 0};
    Image image;
    ASSERT_EQ(load(image, bmp_file(3, 1, 4, rows, kPalette, {}, 4)), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(pixel(image, 2, 0), (Pixel{255, 255, 255, 255}));
}

TEST(BmpLoader, OneBitMostSignificantBitFirst) {
    const Bytes rows{0b10100000, 0, 0, 0};
    Image image;
    ASSERT_EQ(load(image, bmp_file(3, 1, 1, rows, Bytes(kPalette.begin(), kPalette.begin() + 8))),
              kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{255, 255, 255, 255}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{0, 0, 0, 255}));
    EXPECT_EQ(pixel(image, 2, 0), (Pixel{255, 255, 255, 255}));
    EXPECT_EQ(image.stored_depth, 1);
}

TEST(BmpLoader, ColourKeyOnAPaletteImage) {
    const Bytes rows{2, 1, 0, 0};
    Image image;
    ASSERT_EQ(load(image, bmp_file(2, 1, 8, rows, kPalette, {}, 4), true, 0x0000FF), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{255, 255, 255, 255}));
}

TEST(BmpLoader, PaletteIndexPastTheTableFails) {
    const Bytes rows{0, 4, 0, 0};  // the table has 4 entries
    Image image;
    EXPECT_EQ(load(image, bmp_file(2, 1, 8, rows, kPalette, {}, 4)), kImageFailed);
    EXPECT_TRUE(image.empty());
}

TEST(BmpLoader, HostileHeadersFailCleanly) {
    const Bytes rows{255, 0, 0, 0, 0, 0, 255, 0};
    const Bytes good = bmp_file(1, 2, 24, rows);
    Image image;
    // The last row may lack its padding byte; anything shorter fails.
    for (std::size_t size = 0; size + 1 < good.size(); ++size)
        EXPECT_EQ(load_image_from_memory(image, ImageKind::Bmp, good.data(), size, false, 0), kImageFailed)
            << size;

    EXPECT_EQ(load(image, bmp_file(0x7FFFFFFF, 2, 24, rows)), kImageFailed);  // row size overflow
    EXPECT_EQ(load(image, bmp_file(1, -0x7FFFFFFF - 1, 24, rows)), kImageFailed);
    EXPECT_EQ(load(image, bmp_file(100000, 100000, 32, rows)), kImageFailed);
    EXPECT_EQ(load(image, bmp_file(-1, 2, 24, rows)), kImageFailed);
    EXPECT_EQ(load(image, bmp_file(1, 0, 24, rows)), kImageFailed);
    EXPECT_EQ(load(image, bmp_file(1, 2, 2, rows)), kImageFailed);  // no such depth
    EXPECT_EQ(load(image, bmp_file(1, 2, 16, rows, {}, {0x0F0F, 0x00F0, 0xF000})),
              kImageFailed);  // broken mask

    Bytes rle = good;
    rle[30] = 1;  // run-length compression
    EXPECT_EQ(load(image, rle), kImageFailed);
    Bytes far_data = good;
    far_data[10] = 0xF0;  // pixel data offset past the end
    far_data[13] = 0x7F;
    EXPECT_EQ(load(image, far_data), kImageFailed);
    Bytes huge_header = good;
    huge_header[14] = 0xFF;  // info header larger than the file
    EXPECT_EQ(load(image, huge_header), kImageFailed);
    Bytes palette_past_end = bmp_file(2, 1, 8, {0, 1, 0, 0}, kPalette, {}, 4);
    palette_past_end[46] = 200;  // 200 colours announced, 4 present
    EXPECT_EQ(load(image, palette_past_end), kImageFailed);
    EXPECT_TRUE(image.empty());
}

TEST(BmpLoader, CoreHeaderWithThreeBytePalette) {
    Bytes file{'B', 'M'};
    put_u32(file, 14 + 12 + 6 + 4);
    put_u32(file, 0);
    put_u32(file, 14 + 12 + 6);
    put_u32(file, 12);
    put_u16(file, 2);
    put_u16(file, 1);
    put_u16(file, 1);
    put_u16(file, 1);
    file.insert(file.end(), {0, 0, 255, 255, 0, 0});  // red, blue
    file.insert(file.end(), {0b01000000, 0, 0, 0});
    Image image;
    ASSERT_EQ(load(image, file), kImageLoaded);
    EXPECT_EQ(pixel(image, 0, 0), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(pixel(image, 1, 0), (Pixel{255, 0, 0, 255}));
}

}  // namespace
}  // namespace zorva::test
