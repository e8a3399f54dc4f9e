// The TMX import on small maps written by the tests: what it makes of tile sets, layers, cells, objects and
// properties, and how it refuses bad and hostile input.
#include "import/tmx_import.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "import/tmx_data.h"
#include "support/image_files.h"
#include "support/temp_dir.h"

namespace zorva::test {
namespace {

// A 24-bit BMP of `width` x `height` pixels.
void write_image(const std::string& path, int width, int height) {
    Bytes rows;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rows.push_back(static_cast<std::uint8_t>(x));
            rows.push_back(static_cast<std::uint8_t>(y));
            rows.push_back(0x80);
        }
        while (rows.size() % 4 != 0) rows.push_back(0);
    }
    write_file(path, bmp_file(width, height, 24, rows));
}

void write_text(const std::string& path, const std::string& text) {
    write_file(path, Bytes(text.begin(), text.end()));
}

std::string base64(const std::vector<std::uint8_t>& bytes) {
    static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::uint32_t chunk = bytes[i] << 16 | (i + 1 < bytes.size() ? bytes[i + 1] << 8 : 0) |
                                    (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        text += kDigits[chunk >> 18 & 63];
        text += kDigits[chunk >> 12 & 63];
        text += i + 1 < bytes.size() ? kDigits[chunk >> 6 & 63] : '=';
        text += i + 2 < bytes.size() ? kDigits[chunk & 63] : '=';
    }
    return text;
}

std::vector<std::uint8_t> little_endian(const std::vector<std::uint32_t>& gids) {
    std::vector<std::uint8_t> bytes;
    for (const std::uint32_t gid : gids)
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(gid >> (8 * i)));
    return bytes;
}

// zlib (window bits 15) or gzip (31) data.
std::vector<std::uint8_t> compress(const std::vector<std::uint8_t>& raw, int window_bits) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, window_bits, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::vector<std::uint8_t> out(deflateBound(&stream, static_cast<uLong>(raw.size())) + 32);
    stream.next_in = const_cast<Bytef*>(raw.data());
    stream.avail_in = static_cast<uInt>(raw.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

class TmxImportTest : public ::testing::Test {
protected:
    void SetUp() override { write_image(dir.file("tiles.bmp"), 64, 32); }

    // A 16 x 16-pixel-tile map around `body`, with the embedded tile set unless `tile_sets` replaces it.
    std::string map_text(const std::string& body, int width = 4, int height = 2,
                         const std::string& extra = "", const std::string& tile_sets = "") const {
        return "<?xml version=\"1.0\"?>\n<map version=\"1.10\" orientation=\"orthogonal\" width=\"" +
               std::to_string(width) + "\" height=\"" + std::to_string(height) +
               "\" tilewidth=\"16\" tileheight=\"16\"" + extra + ">\n" +
               (tile_sets.empty() ? std::string("<tileset firstgid=\"1\" name=\"ground\" tilewidth=\"16\" "
                                                "tileheight=\"16\" tilecount=\"8\" columns=\"4\">"
                                                "<image source=\"tiles.bmp\" trans=\"ff00ff\" width=\"64\" "
                                                "height=\"32\"/></tileset>\n")
                                  : tile_sets) +
               body + "</map>\n";
    }

    TmxImportResult import(const std::string& text, std::uint64_t memory_limit = 64u << 20) {
        const std::string path = dir.file("map.tmx");
        write_text(path, text);
        TmxImportOptions options;
        options.memory_limit = memory_limit;
        return import_tmx_map(path, nullptr, options);
    }

    static const Map& only_map(const TmxImportResult& result) { return *result.project->maps.front(); }

    TempDir dir;
};

TEST_F(TmxImportTest, TileSetLayersAndCellFlipsBecomeZorvaOnes) {
    // The eight flip combinations of tile 2 (gid 3), then two empty cells; a second hidden layer.
    const std::string body =
        "<layer name=\"Ground\" width=\"5\" height=\"2\" opacity=\"0.5\" offsetx=\"32\" offsety=\"-16\">"
        "<data encoding=\"csv\">3,2147483651,1073741827,3221225475,\n536870915,2684354563,1610612739,"
        "3758096387,0,0</data></layer>"
        "<layer name=\"Top\" width=\"5\" height=\"2\" visible=\"0\"><data encoding=\"csv\">"
        "1,2,3,4,5,6,7,8,0,0</data></layer>";
    const TmxImportResult result = import(map_text(body, 5, 2));
    ASSERT_TRUE(result.ok) << result.message;
    const Project& project = *result.project;
    ASSERT_EQ(project.tile_sets.size(), 1u);
    const TileSet& tiles = *project.tile_sets.front();
    EXPECT_EQ(tiles.name.view(), "ground");
    EXPECT_EQ(tiles.image_path_and_file_name.view(), dir.file("tiles.bmp"));
    EXPECT_TRUE(tiles.use_transparent_colour);
    EXPECT_EQ(tiles.transparent_colour, 0xFF00FFu);
    EXPECT_FALSE(tiles.image.empty());

    const Map& map = only_map(result);
    EXPECT_EQ(map.name.view(), "map");
    EXPECT_EQ(map.use_tile_set_id, tiles.unique_id);
    ASSERT_EQ(map.layers.size(), 2u);
    const Layer& ground = *map.layers[0];
    EXPECT_EQ(ground.name.view(), "Ground");
    EXPECT_EQ(ground.grid_width, 5);
    EXPECT_EQ(ground.grid_offset_x, 2);
    EXPECT_EQ(ground.grid_offset_y, -1);
    EXPECT_EQ(ground.opacity, 128);
    EXPECT_TRUE(ground.is_visible);
    EXPECT_FALSE(map.layers[1]->is_visible);

    // (h, v, d) in the order written above, and the H, V, R that draw the same.
    const struct {
        bool h, v, d;
    } tmx[8] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}};
    for (int i = 0; i < 8; ++i) {
        const GridCell& cell = ground.grid[static_cast<std::size_t>(i)];
        SCOPED_TRACE(i);
        EXPECT_EQ(cell.tile, 3u);
        EXPECT_EQ(cell.rotate(), tmx[i].d);
        EXPECT_EQ(cell.flip_horizontal(), tmx[i].d ? !tmx[i].h : tmx[i].h);
        EXPECT_EQ(cell.flip_vertical(), tmx[i].v);
    }
    EXPECT_TRUE(ground.grid[8].empty());
}

TEST_F(TmxImportTest, EveryEncodingGivesTheSameCells) {
    const std::vector<std::uint32_t> gids = {1, 2, 0, 4, 0x80000005u, 6, 7, 8};
    const std::vector<std::uint8_t> raw = little_endian(gids);
    std::vector<std::string> datas = {
        "<data encoding=\"csv\">1,2,0,4,2147483653,6,7,8</data>",
        "<data>" +
            [&] {
                std::string tiles;
                for (const std::uint32_t gid : gids) tiles += "<tile gid=\"" + std::to_string(gid) + "\"/>";
                return tiles;
            }() +
            "</data>",
        "<data encoding=\"base64\">\n  " + base64(raw) + "\n</data>",
        "<data encoding=\"base64\" compression=\"zlib\">" + base64(compress(raw, 15)) + "</data>",
        "<data encoding=\"base64\" compression=\"gzip\">" + base64(compress(raw, 31)) + "</data>",
    };
    // The same cells compressed with zstd, read where the build has the zstd library.
    const std::string zstd =
        "<data encoding=\"base64\" compression=\"zstd\">"
        "KLUv/SQgxQAAAgIFC+CtBgBA6e5e2DIFt9fpnss/DgEAI3Smag==</data>";
    if (tmx_zstd_supported()) {
        datas.push_back(zstd);
    } else {
        const TmxImportResult refused = import(map_text("<layer name=\"L\">" + zstd + "</layer>"));
        EXPECT_FALSE(refused.ok);
        EXPECT_NE(refused.message.find("cannot read zstd-compressed"), std::string::npos) << refused.message;
    }
    for (const auto& data : datas) {
        SCOPED_TRACE(data);
        const TmxImportResult result = import(map_text("<layer name=\"L\">" + data + "</layer>"));
        ASSERT_TRUE(result.ok) << result.message;
        const Layer& layer = *only_map(result).layers.front();
        ASSERT_EQ(layer.grid.size(), 8u);
        EXPECT_EQ(layer.grid[0].tile, 1u);
        EXPECT_TRUE(layer.grid[2].empty());
        EXPECT_EQ(layer.grid[4].tile, 5u);
        EXPECT_TRUE(layer.grid[4].flip_horizontal());
        EXPECT_EQ(layer.grid[7].tile, 8u);
    }
}

TEST_F(TmxImportTest, ExternalTileSetAndItsColumnsAreFollowed) {
    // The image is 50 pixels wide with a margin of 2: it holds 3 tiles across, whatever the file's stale
    // "columns" says, so tile id 2 is Zorva's tile 3.
    std::filesystem::create_directories(dir.path() / "sets" / "art");
    write_image(dir.file("sets/art/wide.bmp"), 50, 40);
    write_text(dir.file("sets/wide.tsx"),
               std::string("<?xml version=\"1.0\"?><tileset name=\"wide\" tilewidth=\"16\" "
                           "tileheight=\"16\" margin=\"2\" columns=\"2\" tilecount=\"4\">"
                           "<properties><property name=\"kind\" value=\"stone\"/></properties>"
                           "<image source=\"art/wide.bmp\" width=\"50\" height=\"40\"/></tileset>"));
    const TmxImportResult result = import(
        map_text("<layer name=\"L\" width=\"2\" height=\"1\"><data encoding=\"csv\">3,12</data></layer>", 2,
                 1, "", "<tileset firstgid=\"10\" source=\"sets/wide.tsx\"/>"));
    ASSERT_TRUE(result.ok) << result.message;
    const TileSet& tiles = *result.project->tile_sets.front();
    EXPECT_EQ(tiles.image_path_and_file_name.view(), dir.file("sets/art/wide.bmp"));
    EXPECT_EQ(tiles.first_tile_offset_pixel_x, 2);
    EXPECT_EQ(tiles.custom_variables[0].view(), "stone");
    EXPECT_EQ(result.project->descriptions_for(ObjectKind::TileSet)[0].desc.view(), "kind");
    const Layer& layer = *only_map(result).layers.front();
    EXPECT_TRUE(layer.grid[0].empty());  // gid 3 lies below the tile set's first gid
    EXPECT_EQ(layer.grid[1].tile, 3u);
}

TEST_F(TmxImportTest, SeveralTileSetsAreRefusedUnlessTheyCutOneImage) {
    const std::string set_a =
        "<tileset firstgid=\"1\" name=\"grass\" tilewidth=\"16\" tileheight=\"16\"><image "
        "source=\"tiles.bmp\"/>"
        "</tileset>";
    const std::string set_b =
        "<tileset firstgid=\"9\" name=\"water\" tilewidth=\"16\" tileheight=\"16\"><image "
        "source=\"other.bmp\"/>"
        "</tileset>";
    const std::string layer = "<layer name=\"L\"><data encoding=\"csv\">1,2,9,10,0,0,0,0</data></layer>";
    TmxImportResult result = import(map_text(layer, 4, 2, "", set_a + set_b));
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.project);
    EXPECT_NE(result.message.find("\"grass\", \"water\""), std::string::npos) << result.message;

    const std::string set_c =
        "<tileset firstgid=\"9\" name=\"again\" tilewidth=\"16\" tileheight=\"16\"><image "
        "source=\"./tiles.bmp\"/>"
        "</tileset>";
    result = import(map_text(layer, 4, 2, "", set_a + set_c));
    ASSERT_TRUE(result.ok) << result.message;
    const Layer& cells = *only_map(result).layers.front();
    EXPECT_EQ(cells.grid[2].tile, 1u);  // gid 9 is the first tile of the second tile set: the same image tile
    EXPECT_EQ(cells.grid[3].tile, 2u);
}

TEST_F(TmxImportTest, ObjectsBecomeEntitiesTriggersAndPaths) {
    std::string properties = "<properties>";
    for (int i = 0; i < 102; ++i)
        properties +=
            "<property name=\"p" + std::to_string(i) + "\" value=\"" + std::to_string(i * 1000) + "\"/>";
    properties += "</properties>";
    const std::string body =
        "<properties><property name=\"title\" value=\"" + std::string(60, 'x') +
        "\"/></properties>"
        "<layer name=\"L\" offsetx=\"16\"><data encoding=\"csv\">1,1,1,1,1,1,1,1</data></layer>"
        "<objectgroup name=\"Things\" offsety=\"8\">"
        "<object id=\"1\" gid=\"2147483650\" x=\"40\" y=\"32\" width=\"16\" height=\"16\">" +
        properties +
        "</object>"
        "<object id=\"2\" type=\"door\" x=\"10\" y=\"20\" width=\"30\" height=\"12\"/>"
        "<object id=\"3\" x=\"0\" y=\"0\" width=\"20\" height=\"20\"><ellipse/></object>"
        "<object id=\"4\" x=\"5\" y=\"6\"><polygon points=\"0,0 10,0 10,10\"/></object>"
        "<object id=\"5\" x=\"1\" y=\"2\"><polyline points=\"0,0 4.5,3\"/></object>"
        "<object id=\"6\" x=\"1\" y=\"2\"><point/></object>"
        "</objectgroup>";
    const TmxImportResult result = import(map_text(body));
    ASSERT_TRUE(result.ok) << result.message;
    const Project& project = *result.project;
    const Map& map = only_map(result);
    EXPECT_EQ(map.custom_variables[0].view(), std::string(50, 'x'));
    ASSERT_EQ(map.layers.size(), 1u);
    const Layer& layer = *map.layers.front();
    ASSERT_EQ(layer.instance_entities.size(), 3u);
    ASSERT_EQ(project.parent_entities.size(), 3u);

    // The tile object stands on its position; the layer starts one cell right, the group 8 pixels down.
    const InstanceEntity& tile = *layer.instance_entities[0];
    const ParentEntity& tile_parent = *find_parent_entity(project, tile.pid);
    EXPECT_FALSE(tile_parent.is_trigger);
    EXPECT_EQ(tile_parent.preview_anima_frame, 1);
    EXPECT_EQ(tile_parent.image_path_and_file_name.view(), dir.file("tiles.bmp"));
    EXPECT_FLOAT_EQ(tile.px, 24.0f);
    EXPECT_FLOAT_EQ(tile.py, 24.0f);
    EXPECT_TRUE(tile.fh);
    EXPECT_EQ(tile.custom_variables[2], 2000);
    EXPECT_EQ(tile.custom_variables[40], 32767);  // cut to 16 bits
    EXPECT_EQ(tile.custom_variables[99], 32767);
    EXPECT_EQ(project.descriptions_for(ObjectKind::InstanceEntity)[5].desc.view(), "p5");

    const InstanceEntity& door = *layer.instance_entities[1];
    const ParentEntity& door_parent = *find_parent_entity(project, door.pid);
    EXPECT_TRUE(door_parent.is_trigger);
    EXPECT_FALSE(door_parent.trigger_is_a_circle);
    EXPECT_EQ(door_parent.name.view(), "door");
    EXPECT_EQ(door.trw, 30u);
    EXPECT_EQ(door.trh, 12u);
    EXPECT_FLOAT_EQ(door.px, -6.0f);
    EXPECT_FLOAT_EQ(door.py, 28.0f);
    const InstanceEntity& round = *layer.instance_entities[2];
    EXPECT_TRUE(find_parent_entity(project, round.pid)->trigger_is_a_circle);
    EXPECT_EQ(round.tcr, 10u);

    ASSERT_EQ(layer.path_count(), 2u);
    ASSERT_EQ(layer.path_points.size(), 5u);
    EXPECT_TRUE(layer.path_points[0]->starts_path());
    EXPECT_TRUE(layer.path_points[0]->is_closed());
    EXPECT_TRUE(layer.path_points[2]->ends_path());
    EXPECT_FLOAT_EQ(layer.path_points[1]->px, -1.0f);
    EXPECT_FLOAT_EQ(layer.path_points[1]->py, 14.0f);
    EXPECT_FALSE(layer.path_points[3]->is_closed());
    EXPECT_FLOAT_EQ(layer.path_points[4]->px, -10.5f);

    // What could not be carried over is said.
    const auto said = [&](const std::string& part) {
        for (const auto& note : result.notes)
            if (note.find(part) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(said("Points and texts"));
    EXPECT_TRUE(said("first 100 properties"));
    EXPECT_TRUE(said("cut to 50 characters"));
}

TEST_F(TmxImportTest, InfiniteMapsJoinTheChunksThatHoldTiles) {
    const std::string body =
        "<layer name=\"L\" width=\"4\" height=\"2\"><data encoding=\"csv\">"
        "<chunk x=\"-4\" y=\"0\" width=\"2\" height=\"1\">1,0</chunk>"
        "<chunk x=\"2\" y=\"3\" width=\"2\" height=\"1\">0,2</chunk>"
        "<chunk x=\"900000\" y=\"900000\" width=\"2\" height=\"1\">0,0</chunk>"
        "</data></layer>";
    const TmxImportResult result = import(map_text(body, 4, 2, " infinite=\"1\""));
    ASSERT_TRUE(result.ok) << result.message;
    const Layer& layer = *only_map(result).layers.front();
    EXPECT_EQ(layer.grid_offset_x, -4);
    EXPECT_EQ(layer.grid_offset_y, 0);
    ASSERT_EQ(layer.grid_width, 8);
    ASSERT_EQ(layer.grid_height, 4);
    EXPECT_EQ(layer.grid[0].tile, 1u);
    EXPECT_EQ(layer.grid[3 * 8 + 7].tile, 2u);

    // Chunks far apart that hold tiles are refused, not given the space between them.
    const std::string apart =
        "<layer name=\"L\"><data encoding=\"csv\">"
        "<chunk x=\"-900000000\" y=\"-900000000\" width=\"1\" height=\"1\">1</chunk>"
        "<chunk x=\"900000000\" y=\"900000000\" width=\"1\" height=\"1\">1</chunk></data></layer>";
    const TmxImportResult refused = import(map_text(apart, 4, 2, " infinite=\"1\""));
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.message.find("too far apart"), std::string::npos) << refused.message;
}

TEST_F(TmxImportTest, BadAndHostileInputIsRefusedWithAMessage) {
    const std::vector<std::uint8_t> raw = little_endian(std::vector<std::uint32_t>(8, 1));
    const std::vector<std::uint8_t> bomb = compress(std::vector<std::uint8_t>(64u << 20, 1), 15);
    std::vector<std::uint8_t> cut = compress(raw, 15);
    cut.resize(cut.size() - 6);
    const struct {
        std::string text;
        std::string said;
    } cases[] = {
        {"not xml", "not well-formed"},
        {"<map orientation=\"isometric\"/>", "\"isometric\""},
        // Declared sizes the data cannot fill, before anything of the size is allocated.
        {map_text("<layer name=\"L\"><data encoding=\"csv\">1,2,3</data></layer>"), "fewer cells"},
        {map_text(
             "<layer name=\"L\" width=\"100000\" height=\"100000\"><data encoding=\"csv\">1</data></layer>"),
         "more memory"},
        {map_text("<layer name=\"L\" width=\"1000\" height=\"1000\"><data encoding=\"csv\">1</data></layer>",
                  4, 2),
         "fewer cells"},
        {map_text("<layer name=\"L\"><data encoding=\"base64\">AAAA</data></layer>"), "fewer cells"},
        {map_text("<layer name=\"L\"><data encoding=\"base64\" compression=\"zlib\">" + base64(cut) +
                  "</data></layer>"),
         "damaged"},
        // Decompression stops at the declared size.
        {map_text("<layer name=\"L\"><data encoding=\"base64\" compression=\"zlib\">" + base64(bomb) +
                  "</data></layer>"),
         "more cells"},
        {map_text("<layer name=\"L\"><data encoding=\"csv\">1,2,3,4,5,6,7,8,9</data></layer>"), "more cells"},
        // Path points are bounded by the memory limit too.
        {map_text("<objectgroup><object x=\"0\" y=\"0\"><polyline points=\"" +
                  [] {
                      std::string points;
                      for (int i = 0; i < 200000; ++i) points += "1,1 ";
                      return points;
                  }() +
                  "\"/></object></objectgroup>"),
         "more memory"},
        {map_text("<layer name=\"L\"><data encoding=\"csv\">1,2,x,4,5,6,7,8</data></layer>"), "other than"},
        {map_text("<layer name=\"L\"><data encoding=\"base64\">" + std::string(48, '!') + "</data></layer>"),
         "not valid base64"},
        {map_text("", -3, 2), "invalid width"},
        {map_text("", 4, 2, "", "<tileset firstgid=\"1\" source=\"/dev/zero\"/>"),
         "Failed to read the tile set"},
        {map_text("", 4, 2, "", "<tileset firstgid=\"1\" source=\"missing.tsx\"/>"),
         "Failed to read the tile set"},
        {map_text("", 4, 2, "", "<tileset firstgid=\"1\" name=\"c\" tilewidth=\"16\" tileheight=\"16\"/>"),
         "collection of single images"},
        {map_text(std::string(100, ' ') +
                  [] {
                      std::string nested;
                      for (int i = 0; i < 70; ++i) nested += "<group>";
                      for (int i = 0; i < 70; ++i) nested += "</group>";
                      return nested;
                  }()),
         "nested too deeply"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.said);
        const TmxImportResult result = import(each.text, 16u << 20);
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.project);
        EXPECT_NE(result.message.find(each.said), std::string::npos) << result.message;
    }

    // Entities of a document type are never expanded.
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE map [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
        "\"&a;&a;&a;&a;&a;&a;\">]>" +
        map_text("<layer name=\"&b;\"><data encoding=\"csv\">1,2,3,4,5,6,7,8</data></layer>")
            .substr(std::string("<?xml version=\"1.0\"?>\n").size());
    const TmxImportResult result = import(laughs);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(only_map(result).layers.front()->name.view(), "&b;");
}

TEST(TmxDataTest, Base64RejectsWhatIsNotBase64) {
    std::vector<std::uint8_t> out;
    EXPECT_TRUE(decode_base64(" QUJD\n", out));
    EXPECT_EQ(std::string(out.begin(), out.end()), "ABC");
    EXPECT_FALSE(decode_base64("QU=JD", out));
    EXPECT_FALSE(decode_base64("QU*D", out));
}

}  // namespace
}  // namespace zorva::test
