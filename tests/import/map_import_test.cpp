#include "import/map_import.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "support/scripted_platform.h"
#include "support/temp_dir.h"
#include "support/test_bmp.h"

namespace zorva {
namespace {

using test::Bytes;

std::vector<std::uint32_t> tiles_of(const Layer& layer) {
    std::vector<std::uint32_t> tiles;
    for (const GridCell& cell : layer.grid) tiles.push_back(cell.tile);
    return tiles;
}

std::vector<std::string> layer_names(const Map& map) {
    std::vector<std::string> names;
    for (const auto& layer : map.layers) names.push_back(layer->name.str());
    return names;
}

// Bytes 0, 1, 2, ... (mod 256).
Bytes counting(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

class MapImportTest : public ::testing::Test {
protected:
    void SetUp() override { test::write_bmp(image, 32, 0); }

    // A fixed-size map of one-byte cells from `map.bin`, with the test's tile set image.
    ImportSettings fixed(std::uint32_t width, std::uint32_t height, std::uint32_t cell_size = 1) const {
        ImportSettings s;
        s.map_file = map;
        s.tile_set_image = image;
        s.tile_width = 16;
        s.tile_height = 16;
        s.map_width = width;
        s.map_height = height;
        s.cell_size = cell_size;
        return s;
    }

    void write_map(const Bytes& bytes) const { test::write_file(map, bytes); }

    ImportResult run(const ImportSettings& settings, Project* target = nullptr, ImportOptions options = {}) {
        return import_binary_map(settings, target, platform, options);
    }

    // Imports into a new project kept as `last`, and returns its one map.
    const Map& import_map(const ImportSettings& settings, ImportOptions options = {}) {
        last = run(settings, nullptr, options);
        return only_map(last);
    }

    // The import's one map.
    static const Map& only_map(const ImportResult& result) {
        EXPECT_TRUE(result.ok) << result.message;
        EXPECT_TRUE(result.project);
        EXPECT_EQ(result.project->maps.size(), 1u);
        const Map* map = find_map(*result.project, result.map_id);
        EXPECT_NE(map, nullptr);
        return *map;
    }

    test::TempDir dir;
    std::string image = dir.file("tiles.bmp");
    std::string map = dir.file("map.bin");
    test::ScriptedPlatform platform;
    ImportResult last;
};

TEST_F(MapImportTest, AHundredBytesMakeOneLayerOfTheBytesPlusTheAdjuster) {
    write_map(counting(100));
    ImportSettings settings = fixed(10, 10);
    settings.tile_index_adjuster = 3;
    const ImportResult result = run(settings);
    const Map& imported = only_map(result);
    EXPECT_EQ(layer_names(imported), std::vector<std::string>{"Layer00"});
    std::vector<std::uint32_t> expected(100);
    std::iota(expected.begin(), expected.end(), 3u);
    EXPECT_EQ(tiles_of(*imported.layers[0]), expected);
    EXPECT_EQ(imported.layers[0]->grid_width, 10);
    EXPECT_EQ(imported.layers[0]->grid[0].flags, 0u);

    // The new tile set: plain values but the settings' tile size and image.
    ASSERT_EQ(result.project->tile_sets.size(), 1u);
    const TileSet& tile_set = *result.project->tile_sets[0];
    EXPECT_EQ(imported.use_tile_set_id, tile_set.unique_id);
    EXPECT_EQ(tile_set.single_tile_pixel_width, 16);
    EXPECT_EQ(tile_set.image_path_and_file_name, image);
    EXPECT_FALSE(tile_set.image.empty());
    EXPECT_TRUE(platform.shown.empty());
}

TEST_F(MapImportTest, TwoHundredFiftyBytesMakeThreeLayersTheLastHalfFilled) {
    write_map(counting(250));
    ImportSettings settings = fixed(10, 10);
    settings.tile_index_adjuster = 7;
    const Map& imported = import_map(settings);
    ASSERT_EQ(layer_names(imported), (std::vector<std::string>{"Layer00", "Layer01", "Layer02"}));
    const std::vector<std::uint32_t> last = tiles_of(*imported.layers[2]);
    EXPECT_EQ(last[0], 200u + 7u);
    EXPECT_EQ(last[49], 249u + 7u);
    EXPECT_EQ(last[50], 7u);  // past the end: 0 + adjuster
    EXPECT_EQ(last[99], 7u);
    EXPECT_EQ(tiles_of(*imported.layers[1])[0], 100u + 7u);
}

TEST_F(MapImportTest, CellsAreLittleEndianAndTheAdjusterWrapsIn32Bits) {
    write_map({0x34, 0x12, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00});
    ImportSettings two = fixed(2, 1, 2);
    EXPECT_EQ(tiles_of(*import_map(two).layers[0]), (std::vector<std::uint32_t>{0x1234u, 0xFFFFu}));
    ImportSettings three = fixed(1, 1, 3);
    write_map({0x56, 0x34, 0x12});
    EXPECT_EQ(tiles_of(*import_map(three).layers[0])[0], 0x123456u);
    ImportSettings four = fixed(1, 1, 4);
    four.tile_index_adjuster = -2;
    write_map({0x01, 0x00, 0x00, 0x00});
    EXPECT_EQ(tiles_of(*import_map(four).layers[0])[0], 0xFFFFFFFFu);
}

// Width and height read one after the other from the start, the cells right after them; skips between
// cells and after each layer.
TEST_F(MapImportTest, SizesFromTheFileAndSkips) {
    Bytes bytes = {3, 0, 2};  // width 3 (2 bytes), height 2 (1 byte)
    for (std::uint8_t layer = 0; layer < 2; ++layer) {
        for (std::uint8_t cell = 0; cell < 6; ++cell) {
            bytes.push_back(static_cast<std::uint8_t>(10 * layer + cell));
            bytes.push_back(0xEE);  // skipped after each cell
        }
        bytes.insert(bytes.end(), {0xDD, 0xDD, 0xDD});  // skipped after each layer
    }
    write_map(bytes);
    ImportSettings settings = fixed(99, 99);
    settings.width_from_file = true;
    settings.width_field_size = 2;
    settings.height_from_file = true;
    settings.height_field_size = 1;
    settings.skip_after_cell = 1;
    settings.skip_after_layer = 3;
    const Map& imported = import_map(settings);
    ASSERT_EQ(imported.layers.size(), 2u);
    EXPECT_EQ(imported.layers[0]->grid_width, 3);
    EXPECT_EQ(imported.layers[0]->grid_height, 2);
    EXPECT_EQ(tiles_of(*imported.layers[0]), (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(tiles_of(*imported.layers[1]), (std::vector<std::uint32_t>{10, 11, 12, 13, 14, 15}));
}

TEST_F(MapImportTest, PositionsOfTheSizesAndTheMapArray) {
    Bytes bytes(64, 0xAA);
    bytes[40] = 2;  // width at 40
    bytes[50] = 2;  // height at 50
    for (std::uint8_t i = 0; i < 4; ++i) bytes[60 + i] = static_cast<std::uint8_t>(i + 1);
    write_map(bytes);
    ImportSettings settings = fixed(1, 1);
    settings.width_from_file = settings.height_from_file = true;
    settings.width_field_size = settings.height_field_size = 1;
    settings.use_width_position = settings.use_height_position = settings.use_map_array_position = true;
    settings.width_position = 40;
    settings.height_position = 50;
    settings.map_array_position = 60;
    const Map& imported = import_map(settings);
    ASSERT_EQ(imported.layers.size(), 1u);
    EXPECT_EQ(tiles_of(*imported.layers[0]), (std::vector<std::uint32_t>{1, 2, 3, 4}));
}

TEST_F(MapImportTest, A600WideMapAsksAndNoEndsWithTheLoadMessage) {
    Bytes bytes = {0x58, 0x02};  // 600
    bytes.resize(2 + 600, 1);
    write_map(bytes);
    ImportSettings settings = fixed(1, 1);
    settings.width_from_file = true;
    settings.width_field_size = 2;

    platform.answers = {Answer::No};
    ImportResult refused = run(settings);
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.project);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(
        platform.shown[0].text,
        "Warning:\n\nThe map width is 600.\nLarge maps may take long to load.\n\nIs this width correct?");
    EXPECT_EQ(platform.shown[0].caption, "Map width greater than 500");
    EXPECT_EQ(platform.shown[0].buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(refused.message, "Failed to load the map:\n\n" + map + "\n\n");
    EXPECT_EQ(refused.caption, "Load Error");

    platform.answers = {Answer::Cancel};
    EXPECT_EQ(run(settings).message, "Failed to load the map:\n\n" + map + "\n\n");

    platform.answers = {Answer::Yes};
    const Map& imported = import_map(settings);
    EXPECT_EQ(imported.layers[0]->grid_width, 600);

    // The height asks in its own words.
    settings.width_from_file = false;
    settings.height_from_file = true;
    settings.height_field_size = 2;
    platform.shown.clear();
    platform.answers = {Answer::No};
    run(settings);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(
        platform.shown[0].text,
        "Warning:\n\nThe map height is 600.\nLarge maps may take long to load.\n\nIs this height correct?");
    EXPECT_EQ(platform.shown[0].caption, "Map height greater than 500");
}

TEST_F(MapImportTest, StartPositionsMustLieInTheFile) {
    write_map(counting(20));
    ImportSettings settings = fixed(2, 2);
    settings.width_from_file = true;
    settings.width_field_size = 1;
    settings.use_width_position = true;
    settings.width_position = 20;  // the file size
    EXPECT_EQ(run(settings).message, "Invalid start position of Map Width: 20");
    settings.width_position = -1;
    EXPECT_EQ(run(settings).message, "Invalid start position of Map Width: -1");
    settings.width_position = 19;
    settings.height_from_file = true;
    settings.height_field_size = 1;
    settings.use_height_position = true;
    settings.height_position = 25;
    EXPECT_EQ(run(settings).message, "Invalid start position of Map Height: 25");

    ImportSettings array = fixed(2, 2);
    array.use_map_array_position = true;
    array.map_array_position = 20;
    const ImportResult result = run(array);
    EXPECT_EQ(result.message, "Invalid start position of Map Array: 20");
    EXPECT_FALSE(result.project);  // the new project went with the failure
}

TEST_F(MapImportTest, AFourByteWidthAboveTheSignedRangeIsNegative) {
    write_map({0x00, 0x00, 0x00, 0x80, 1, 2, 3, 4});
    ImportSettings settings = fixed(1, 1);
    settings.width_from_file = true;
    settings.width_field_size = 4;
    const ImportResult result = run(settings);
    EXPECT_EQ(result.message, "Invalid map width: -2147483648");
    EXPECT_EQ(result.caption, "Load Error");
    EXPECT_TRUE(platform.shown.empty());  // no size question for it

    write_map({0x00, 1, 2, 3});
    settings.width_field_size = 1;
    EXPECT_EQ(run(settings).message, "Invalid map width: 0");
}

TEST_F(MapImportTest, SettingsCheckedBeforeReading) {
    write_map(counting(4));
    ImportSettings settings = fixed(2, 2);
    settings.cell_size = 0;
    EXPECT_EQ(run(settings).message, "Invalid cell size (bytes): 0");
    settings.cell_size = 5;  // would not fit a cell's value
    EXPECT_EQ(run(settings).message, "Invalid cell size (bytes): 5");
    settings.cell_size = 1;
    settings.tile_width = 0;
    EXPECT_EQ(run(settings).message, "Invalid tile width: 0");
    settings.tile_width = 16;
    settings.tile_height = 0x80000000u;
    EXPECT_EQ(run(settings).message, "Invalid tile height: -2147483648");
    settings.tile_height = 16;
    settings.width_from_file = true;
    settings.width_field_size = 7;
    EXPECT_EQ(run(settings).message, "Invalid size of the Width field (bytes): 7");
    settings.width_from_file = false;
    settings.tile_set_image = dir.file("absent.png");
    EXPECT_EQ(run(settings).message, "Failed to load the map's tile set image:\n" + dir.file("absent.png"));

    settings.tile_set_image = "";
    ImportResult no_image = run(settings);
    EXPECT_EQ(no_image.message, "Invalid Tile Set file name.");
    EXPECT_EQ(no_image.caption, "Invalid TileSet file name.");
    settings.map_file = "";
    ImportResult no_map = run(settings);
    EXPECT_EQ(no_map.message, "Invalid Map file name.");
    EXPECT_EQ(no_map.caption, "Invalid Map file name.");

    ImportSettings absent = fixed(2, 2);
    absent.map_file = dir.file("absent.bin");
    EXPECT_EQ(run(absent).message, "Failed to load the map:\n\n" + dir.file("absent.bin") + "\n\n");
    EXPECT_TRUE(platform.shown.empty());
}

TEST_F(MapImportTest, InvertedOrderReversesTheLayers) {
    write_map(counting(12));
    ImportSettings settings = fixed(2, 2);
    settings.invert_layer_order = true;
    const Map& imported = import_map(settings);
    EXPECT_EQ(layer_names(imported), (std::vector<std::string>{"Layer02", "Layer01", "Layer00"}));
    EXPECT_EQ(tiles_of(*imported.layers[0])[0], 8u);
    EXPECT_EQ(tiles_of(*imported.layers[2])[0], 0u);
}

TEST_F(MapImportTest, MergeReusesAMatchingTileSet) {
    write_map(counting(4));
    Project open;
    HeadlessPlatform quiet;
    TileSetProperties other = make_default_tile_set(open, ProjectDefaults{});
    other.image_path_and_file_name = image;
    other.single_tile_pixel_width = other.single_tile_pixel_height = 16;
    other.use_transparent_colour = true;  // differs in transparency
    other.transparent_colour = 0xFF00FF;
    add_tile_set(open, other, false, &quiet);
    TileSetProperties same = other;
    same.use_transparent_colour = false;
    std::string upper = image;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    same.image_path_and_file_name = upper;  // the same file in other letter case
    const ObjectId same_id = add_tile_set(open, same, false, &quiet)->unique_id;

    const ImportResult result = run(fixed(2, 2), &open);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_FALSE(result.project);  // merged, nothing new
    EXPECT_EQ(open.tile_sets.size(), 2u);
    ASSERT_EQ(open.maps.size(), 1u);
    EXPECT_EQ(open.maps[0]->unique_id, result.map_id);
    EXPECT_EQ(open.maps[0]->use_tile_set_id, same_id);

    // A different colour makes a tile set of its own.
    ImportSettings keyed = fixed(2, 2);
    keyed.use_transparent_colour = true;
    keyed.transparent_colour = 0x00FF00;
    ASSERT_TRUE(run(keyed, &open).ok);
    EXPECT_EQ(open.tile_sets.size(), 3u);
    EXPECT_TRUE(open.tile_sets[2]->use_transparent_colour);
    EXPECT_EQ(open.tile_sets[2]->transparent_colour, 0x00FF00u);
    EXPECT_EQ(open.maps[1]->use_tile_set_id, open.tile_sets[2]->unique_id);
}

TEST_F(MapImportTest, AFailedMergeKeepsWhatItAdded) {
    write_map(counting(4));
    Project open;
    ImportSettings settings = fixed(2, 2);
    settings.use_map_array_position = true;
    settings.map_array_position = 4;
    const ImportResult result = run(settings, &open);
    EXPECT_EQ(result.message, "Invalid start position of Map Array: 4");
    EXPECT_TRUE(result.target_changed);
    EXPECT_EQ(open.tile_sets.size(), 1u);
    EXPECT_EQ(open.maps.size(), 1u);
}

// Sizes whose cells the file cannot hold are refused before anything of their size is allocated.
TEST_F(MapImportTest, CellsThatCouldNotComeFromTheFileAreRefused) {
    write_map(counting(100));
    for (const auto& [width, height] : {std::pair{11u, 10u}, std::pair{60000u, 60000u},
                                        std::pair{65536u, 65536u}, std::pair{0x7FFFFFFFu, 0x7FFFFFFFu}}) {
        SCOPED_TRACE(width);
        const ImportResult result = run(fixed(width, height));
        EXPECT_EQ(result.message,
                  "Not enough memory to load the map.\nMake sure the map's width and height are correct.");
        EXPECT_FALSE(result.project);
    }
    ImportSettings negative = fixed(0xFFFFFFF0u, 2);
    EXPECT_EQ(run(negative).message, "Invalid map width: -16");
}

// A sparse 1 GB file read as a 1 x 1 map would make a billion layers: refused at once.
TEST_F(MapImportTest, AGigabyteFileReadAsOneCellLayersIsRefusedAtOnce) {
    const int fd = ::open(map.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t{1} << 30), 0);
    ::close(fd);
    const auto started = std::chrono::steady_clock::now();
    const ImportResult result = run(fixed(1, 1));
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(result.message,
              "The MAP file would make 1073741824 layers of 1 x 1 cells, more than memory allows.\n"
              "Make sure the map's width, height and cell size are correct.");
    EXPECT_LT(took, std::chrono::seconds(2));

    // Within the limit the same layout imports.
    ImportOptions roomy;
    roomy.memory_limit = 1 << 20;
    write_map(counting(64));
    EXPECT_EQ(import_map(fixed(1, 1), roomy).layers.size(), 64u);
    write_map(counting(1024));
    EXPECT_NE(run(fixed(1, 1), nullptr, roomy).message.find("would make 1024 layers"), std::string::npos);
}

// A source of endless zero bytes whose size is not known (a device): the layers stop at the memory limit.
class EndlessZeros : public MapSource {
public:
    std::size_t read(std::uint8_t* into, std::size_t size) override {
        std::memset(into, 0, size);
        position_ += size;
        return size;
    }
    bool seek(std::int64_t offset) override {
        if (offset < 0) return false;
        position_ = static_cast<std::uint64_t>(offset);
        return true;
    }
    bool skip(std::uint64_t count) override {
        position_ += count;
        return true;
    }
    std::uint64_t position() const override { return position_; }
    bool at_end() const override { return false; }

private:
    std::uint64_t position_ = 0;
};

TEST_F(MapImportTest, ASourceWithoutEndStopsAtTheMemoryLimit) {
    EndlessZeros zeros;
    ImportOptions options;
    options.memory_limit = 4 << 20;
    const ImportResult result =
        import_binary_map(fixed(8, 8), zeros, std::nullopt, nullptr, platform, options);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message.rfind("The MAP file holds more than ", 0), 0u) << result.message;
    EXPECT_FALSE(result.project);

    const ImportResult huge =
        import_binary_map(fixed(60000, 60000), zeros, std::nullopt, nullptr, platform, options);
    EXPECT_EQ(huge.message, "Not enough memory to load the layer.");
}

TEST_F(MapImportTest, MemoryBytesImportLikeAFile) {
    const Bytes bytes = counting(8);
    MemoryMapSource source(bytes);
    const ImportResult result = import_binary_map(fixed(2, 2), source, bytes.size(), nullptr, platform);
    EXPECT_EQ(only_map(result).layers.size(), 2u);
}

}  // namespace
}  // namespace zorva
