// Images are loaded on add and on edit from the objects' paths; these tests write small BMP files.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "model/project.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
void put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

// A 24-bit bottom-up BMP of one colour.
void write_bmp(const std::string& path, int width, int height) {
    const int row = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, static_cast<std::uint32_t>(54 + row * height));
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(row * height));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    out.resize(out.size() + static_cast<std::size_t>(row * height), 0x40);
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
}

TEST(ImageLoading, TileSetsLoadOnAddAndOnEdit) {
    test::TempDir dir;
    const std::string small = dir.file("small.bmp");
    const std::string large = dir.file("large.bmp");
    write_bmp(small, 100, 50);
    write_bmp(large, 64, 64);

    Project project;
    TileSetProperties tmpl;
    tmpl.single_tile_pixel_width = 16;
    tmpl.single_tile_pixel_height = 16;
    tmpl.image_path_and_file_name = small;
    TileSet* tile_set = add_tile_set(project, tmpl, false, nullptr);
    ASSERT_FALSE(tile_set->image.empty());
    EXPECT_EQ(count_tiles(*tile_set).count, 18u);

    TileSetProperties edited = tile_set->properties();
    edited.image_path_and_file_name = large;
    edit_tile_set(*tile_set, edited, nullptr);
    EXPECT_EQ(count_tiles(*tile_set).count, 16u);

    edited.image_path_and_file_name = dir.file("missing.bmp");
    edit_tile_set(*tile_set, edited, nullptr);
    EXPECT_TRUE(tile_set->image.empty());
    EXPECT_EQ(count_tiles(*tile_set).count, 0u);
}

TEST(ImageLoading, ParentEntitiesTakeTheirSizeFromTheImage) {
    test::TempDir dir;
    const std::string strip = dir.file("strip.bmp");
    write_bmp(strip, 64, 32);
    Project project;
    ParentEntityProperties tmpl;
    tmpl.single_frame_pixel_width = 16;
    tmpl.single_frame_pixel_height = 16;
    tmpl.image_path_and_file_name = strip;
    ParentEntity* entity = add_parent_entity(project, tmpl, false, nullptr);
    ASSERT_FALSE(entity->image.empty());
    EXPECT_EQ(entity->pixel_width, 64u);
    EXPECT_EQ(entity->pixel_height, 32u);
    EXPECT_EQ(count_frames(*entity).count, 8u);

    // A failed reload keeps the last known size.
    ParentEntityProperties edited = entity->properties();
    edited.image_path_and_file_name = dir.file("gone.bmp");
    edit_parent_entity(*entity, edited, nullptr);
    EXPECT_TRUE(entity->image.empty());
    EXPECT_EQ(entity->pixel_width, 64u);
}

TEST(ImageLoading, LayerBackgroundsLoadOnlyWhenUsed) {
    test::TempDir dir;
    const std::string background = dir.file("back.bmp");
    write_bmp(background, 8, 8);
    Project project;
    Map* map = add_map(project, MapProperties{}, false, nullptr);
    LayerProperties tmpl;
    tmpl.map_id = map->unique_id;
    tmpl.background_image_path_and_file_name = background;
    Layer* layer = add_layer(project, tmpl, false, nullptr);
    EXPECT_TRUE(layer->background_image.empty());

    LayerProperties edited = layer->properties();
    edited.use_background_image = true;
    ASSERT_TRUE(resize_layer(project, *layer, edited, nullptr));
    ASSERT_FALSE(layer->background_image.empty());
    EXPECT_EQ(layer->background_image.width, 8);

    edited.use_background_image = false;
    ASSERT_TRUE(resize_layer(project, *layer, edited, nullptr));
    EXPECT_TRUE(layer->background_image.empty());
}

}  // namespace
}  // namespace zorva
