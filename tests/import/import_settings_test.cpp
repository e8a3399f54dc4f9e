#include "import/import_settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/image_files.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

ImportSettings every_field_set() {
    ImportSettings s;
    s.map_file = "/levels/world1.map";
    s.tile_set_image = "/levels/tiles.png";
    s.tile_width = 24;
    s.tile_height = 12;
    s.map_width = 300;
    s.map_height = 0x01020304;
    s.width_from_file = true;
    s.height_from_file = true;
    s.width_field_size = 2;
    s.height_field_size = 3;
    s.use_width_position = true;
    s.width_position = -5;
    s.use_height_position = true;
    s.height_position = 0x11223344;
    s.use_map_array_position = true;
    s.map_array_position = 0x55667788;
    s.cell_size = 1;
    s.tile_index_adjuster = -1;
    s.skip_after_cell = 0xA1A2A3A4;
    s.skip_after_layer = 0xB1B2B3B4;
    s.use_transparent_colour = true;
    s.transparent_colour = 0x00FF00FF;
    s.invert_layer_order = true;
    s.merge = true;
    return s;
}

test::Bytes file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return test::Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(ImportSettingsFile, SavedFileIs584BytesLaidOutAndLoadsBack) {
    test::TempDir dir;
    const std::string path = dir.file("level.zis");
    const ImportSettings saved = every_field_set();
    ASSERT_TRUE(write_import_settings_file(path, saved));
    const test::Bytes bytes = file_bytes(path);
    ASSERT_EQ(bytes.size(), 584u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data())), "/levels/world1.map");
    EXPECT_EQ(bytes[18], 0);
    EXPECT_EQ(bytes[259], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 260)), "/levels/tiles.png");
    auto u32 = [&](std::size_t at) {
        return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
               static_cast<std::uint32_t>(bytes[at + 3]) << 24;
    };
    EXPECT_EQ(u32(520), 24u);
    EXPECT_EQ(u32(524), 12u);
    EXPECT_EQ(u32(528), 300u);
    EXPECT_EQ(u32(532), 0x01020304u);
    EXPECT_EQ(u32(536), 0xFFFFFFFFu);
    EXPECT_EQ(u32(540), 0x00FF00FFu);
    EXPECT_EQ(bytes[544], 1);
    EXPECT_EQ(bytes[545], 1);
    EXPECT_EQ(u32(546), 2u);
    EXPECT_EQ(u32(550), 3u);
    EXPECT_EQ(u32(554), 1u);
    EXPECT_EQ(bytes[558], 1);
    EXPECT_EQ(bytes[559], 1);
    EXPECT_EQ(bytes[560], 1);
    EXPECT_EQ(u32(561), 0x55667788u);
    EXPECT_EQ(bytes[565], 1);
    EXPECT_EQ(u32(566), 0xFFFFFFFBu);
    EXPECT_EQ(bytes[570], 1);
    EXPECT_EQ(u32(571), 0x11223344u);
    EXPECT_EQ(u32(575), 0xA1A2A3A4u);
    EXPECT_EQ(u32(579), 0xB1B2B3B4u);
    EXPECT_EQ(bytes[583], 1);

    const ImportSettingsRead read = read_import_settings_file(path);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.settings, saved);

    // Defaults write their flags as 0.
    const ZisBytes plain = encode_import_settings(ImportSettings{});
    for (std::size_t at : {544u, 545u, 558u, 559u, 560u, 565u, 570u, 583u}) EXPECT_EQ(plain[at], 0) << at;
}

TEST(ImportSettingsFile, AnyNonZeroFlagByteIsTrueAndTextsStopAtTheirField) {
    ZisBytes bytes = encode_import_settings(ImportSettings{});
    bytes[559] = 0x80;
    bytes[583] = 2;
    for (std::size_t i = 0; i < 260; ++i) bytes[i] = 'a';  // no terminator in the field
    ImportSettings read;
    ASSERT_TRUE(decode_import_settings(bytes, read));
    EXPECT_TRUE(read.invert_layer_order);
    EXPECT_TRUE(read.merge);
    EXPECT_EQ(read.map_file.length(), 259u);
    EXPECT_TRUE(read.tile_set_image.empty());
}

TEST(ImportSettingsFile, AFileOfTheWrongSizeIsRefused) {
    test::TempDir dir;
    const std::string path = dir.file("bad.zis");
    const ZisBytes good = encode_import_settings(every_field_set());
    test::Bytes shorter(good.begin(), good.end() - 1);
    test::write_file(path, shorter);
    ImportSettingsRead read = read_import_settings_file(path);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, "An importer settings file is 584 bytes long; this file has 583 bytes.");

    test::Bytes longer(good.begin(), good.end());
    longer.resize(100000, 7);
    test::write_file(path, longer);
    read = read_import_settings_file(path);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.error, "An importer settings file is 584 bytes long; this file is longer.");

    read = read_import_settings_file(dir.file("absent.zis"));
    EXPECT_FALSE(read.ok);
    EXPECT_FALSE(read.error.empty());
    read = read_import_settings_file(dir.path().string());  // a folder
    EXPECT_FALSE(read.ok);
}

}  // namespace
}  // namespace zorva
