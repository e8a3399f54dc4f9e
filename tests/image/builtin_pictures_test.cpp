#include "image/builtin_pictures.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "support/image_files.h"

namespace zorva::test {
namespace {

using Pixel = std::array<int, 4>;

// The icon as text, one character a pixel: '#' for the red outline, '.' for transparent.
std::string picture(const Image& icon) {
    std::string text;
    for (int y = 0; y < icon.height; ++y) {
        for (int x = 0; x < icon.width; ++x) {
            const Pixel p = pixel(icon, x, y);
            if (p == Pixel{0, 0, 255, 255})
                text += '#';
            else if (p == Pixel{0, 0, 0, 0})
                text += '.';
            else
                text += '?';
        }
        text += '\n';
    }
    return text;
}

TEST(BuiltinPictures, TwentyNineDistinctRedOutlineIcons) {
    const BuiltinPictures pictures;
    std::set<std::string> seen;
    for (int value = 227; value <= 255; ++value) {
        const Image& icon = pictures.attribute_icon(value);
        ASSERT_FALSE(icon.empty()) << value;
        EXPECT_EQ(icon.width, 16);
        EXPECT_EQ(icon.height, 16);
        EXPECT_EQ(icon.depth, 32);
        EXPECT_TRUE(icon.needs_blending);
        const std::string text = picture(icon);
        EXPECT_EQ(text.find('?'), std::string::npos) << value;
        EXPECT_NE(text.find('#'), std::string::npos) << value;
        EXPECT_TRUE(seen.insert(text).second) << "icon " << value << " repeats another";
    }
    EXPECT_TRUE(pictures.attribute_icon(226).empty());
    EXPECT_TRUE(pictures.attribute_icon(256).empty());
    EXPECT_TRUE(pictures.attribute_icon(0).empty());
}

TEST(BuiltinPictures, ShapesOfTheSquareAndHalves) {
    const BuiltinPictures pictures;
    const std::string full = picture(pictures.attribute_icon(255));
    // The full square is the border of the icon.
    EXPECT_EQ(full.substr(0, 17), std::string(16, '#') + "\n");
    EXPECT_EQ(full.substr(17, 17), "#..............#\n");
    const Image& top = pictures.attribute_icon(254);
    EXPECT_EQ(pixel(top, 5, 7), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(pixel(top, 5, 12), (Pixel{0, 0, 0, 0}));
    const Image& bottom = pictures.attribute_icon(253);
    EXPECT_EQ(pixel(bottom, 5, 8), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(pixel(bottom, 5, 0), (Pixel{0, 0, 0, 0}));
    // The 1:1 floor rising to the right has its diagonal from bottom left to top right.
    const Image& slope = pictures.attribute_icon(246);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(pixel(slope, i, 15 - i), (Pixel{0, 0, 255, 255})) << i;
    EXPECT_EQ(pixel(slope, 2, 2), (Pixel{0, 0, 0, 0}));
}

TEST(BuiltinPictures, DefaultEntityIsAnOpaqueEightByEight) {
    const BuiltinPictures pictures;
    const Image& entity = pictures.default_entity();
    ASSERT_FALSE(entity.empty());
    EXPECT_EQ(entity.width, 8);
    EXPECT_EQ(entity.height, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(pixel(entity, x, y)[3], 255);
}

}  // namespace
}  // namespace zorva::test
