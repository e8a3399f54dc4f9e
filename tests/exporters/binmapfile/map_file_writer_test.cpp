// The writer: value conversions, file names and the walk over maps, layers, cells, entities and paths,
// driven through a fake ExportApi table.
#include "exporters/binmapfile/map_file_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "binmap_test_support.h"
#include "exporters/binmapfile/data_types.h"
#include "exporters/binmapfile/output_names.h"
#include "exporters/binmapfile/value_encoding.h"
#include "fake_export_api.h"
#include "support/temp_dir.h"

namespace zorva::binmap {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::FakeExportHost;
using test::read_bytes;

Bytes bytes_of(const EncodedValue& value) { return Bytes(value.bytes, value.bytes + value.size); }

Bytes le32(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

Bytes float_bytes(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, 4);
    return le32(bits);
}

void append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

TEST(ValueEncoding, UnsignedSignedAndByteSourcesTakeTheirLowBits) {
    EXPECT_EQ(bytes_of(encode_unsigned32(0x12345678, kTypeBoolean)), Bytes{1});
    EXPECT_EQ(bytes_of(encode_unsigned32(0, kTypeBoolean)), Bytes{0});
    EXPECT_EQ(bytes_of(encode_unsigned32(0x12345678, kTypeSignedByte)), Bytes{0x78});
    EXPECT_EQ(bytes_of(encode_unsigned32(0x12345678, kTypeUnsignedShort)), (Bytes{0x78, 0x56}));
    EXPECT_EQ(bytes_of(encode_unsigned32(0x12345678, kTypeSignedInt)), le32(0x12345678));
    EXPECT_EQ(bytes_of(encode_unsigned32(3000000000u, kTypeFloat)), float_bytes(3000000000.0f));
    EXPECT_EQ(bytes_of(encode_signed32(-2, kTypeUnsignedShort)), (Bytes{0xFE, 0xFF}));
    EXPECT_EQ(bytes_of(encode_signed32(-2, kTypeFloat)), float_bytes(-2.0f));
    EXPECT_EQ(bytes_of(encode_signed16(-2, kTypeUnsignedInt)), le32(0xFFFFFFFEu)) << "sign-extended";
    EXPECT_EQ(bytes_of(encode_signed16(0x1234, kTypeUnsignedByte)), Bytes{0x34});
    EXPECT_EQ(bytes_of(encode_unsigned8(200, kTypeSignedInt)), le32(200)) << "zero-extended";
    EXPECT_EQ(bytes_of(encode_unsigned8(200, kTypeFloat)), float_bytes(200.0f));
    EXPECT_EQ(bytes_of(encode_unsigned32(5, 8)), Bytes{}) << "an unknown type writes nothing";
}

TEST(ValueEncoding, FlagsAreZeroOrOneInEveryWidth) {
    EXPECT_EQ(bytes_of(encode_flag(7, kTypeBoolean)), Bytes{1});
    EXPECT_EQ(bytes_of(encode_flag(7, kTypeSignedShort)), (Bytes{1, 0}));
    EXPECT_EQ(bytes_of(encode_flag(255, kTypeUnsignedInt)), le32(1));
    EXPECT_EQ(bytes_of(encode_flag(3, kTypeFloat)), float_bytes(1.0f));
    EXPECT_EQ(bytes_of(encode_flag(0, kTypeFloat)), float_bytes(0.0f));
}

TEST(ValueEncoding, FloatsTruncateTowardZeroAndNeverOverflow) {
    EXPECT_EQ(bytes_of(encode_float(-1.7f, kTypeSignedByte)), Bytes{0xFF});
    EXPECT_EQ(bytes_of(encode_float(300.9f, kTypeUnsignedByte)), Bytes{44});
    EXPECT_EQ(bytes_of(encode_float(-0.5f, kTypeSignedInt)), le32(0));
    EXPECT_EQ(bytes_of(encode_float(70000.2f, kTypeUnsignedShort)), (Bytes{0x70, 0x11}));
    EXPECT_EQ(bytes_of(encode_float(2.5f, kTypeFloat)), float_bytes(2.5f));
    EXPECT_EQ(bytes_of(encode_float(0.25f, kTypeBoolean)), Bytes{1});
    EXPECT_EQ(bytes_of(encode_float(std::nanf(""), kTypeBoolean)), Bytes{0});
    EXPECT_EQ(bytes_of(encode_float(std::nanf(""), kTypeSignedInt)), le32(0));
    EXPECT_EQ(bytes_of(encode_float(std::numeric_limits<float>::infinity(), kTypeSignedInt)), le32(0));
    EXPECT_EQ(bytes_of(encode_float(1e30f, kTypeSignedInt)), le32(0));
}

TEST(ValueEncoding, StringsArePaddedCutAndWidenedWithTheirSign) {
    Bytes out;
    append_string(out, "ab", 4, kTypeUnsignedShort);
    EXPECT_EQ(out, (Bytes{0x61, 0, 0x62, 0, 0, 0, 0, 0}));
    out.clear();
    append_string(out, "abcdef", 3, kTypeSignedByte);
    EXPECT_EQ(out, (Bytes{'a', 'b', 'c'}));
    out.clear();
    append_string(out, "\xE9", 2, kTypeSignedShort);
    EXPECT_EQ(out, (Bytes{0xE9, 0xFF, 0, 0}));
    out.clear();
    append_string(out, "x", 5000, kTypeUnsignedByte);
    EXPECT_EQ(out.size(), 260u) << "never more than 260 characters";
    out.clear();
    append_string(out, "ab", 4, kTypeFloat);
    append_string(out, "ab", 4, kTypeBoolean);
    EXPECT_TRUE(out.empty());
    const char fixed[4] = {'a', 'b', 'c', 'd'};  // not terminated
    EXPECT_EQ(fixed_text(fixed, 4), "abcd");
}

TEST(OutputNames, IndexWidthFollowsTheMapCount) {
    const OutputParts parts = split_output_name("/out/level.bin");
    EXPECT_EQ(parts.folder, "/out/");
    EXPECT_EQ(parts.base, "level");
    EXPECT_EQ(parts.extension, ".bin");
    EXPECT_EQ(map_file_name(parts, 12, 0, "", 0), "/out/level00.bin");
    EXPECT_EQ(map_file_name(parts, 12, 11, "", 0), "/out/level11.bin");
    EXPECT_EQ(map_file_name(parts, 9, 0, "", 0), "/out/level0.bin");
    EXPECT_EQ(map_file_name(parts, 1, 0, "", 0), "/out/level.bin");
    EXPECT_EQ(map_file_name(parts, 100, 7, "", 0), "/out/level007.bin");
    EXPECT_EQ(map_file_name(parts, 100000, 7, "", 0), "/out/level000007.bin");
    EXPECT_EQ(map_file_name(parts, 12, 3, "", kFlagRemoveExtensions), "/out/level03");
    const OutputParts windows = split_output_name("C:\\out\\level.v2.bin");
    EXPECT_EQ(windows.folder, "C:\\out\\");
    EXPECT_EQ(windows.base, "level.v2");
    EXPECT_EQ(split_output_name("/out.d/level").extension, "");
}

TEST(OutputNames, MapNamesAsFileNames) {
    const OutputParts parts = split_output_name("/out/level.bin");
    EXPECT_EQ(map_file_name(parts, 3, 1, "stage.dat", kFlagMapNames), "/out/stage.dat");
    EXPECT_EQ(map_file_name(parts, 3, 1, "stage", kFlagMapNames), "/out/stage.bin");
    EXPECT_EQ(map_file_name(parts, 3, 1, "stage.dat", kFlagMapNames | kFlagRemoveExtensions), "/out/stage");
    EXPECT_EQ(map_file_name(parts, 3, 1, "a/b\\c", kFlagMapNames), "/out/a_b_c.bin")
        << "a map name never leaves the output folder";
    EXPECT_EQ(map_file_name(parts, 3, 1, "../../etc/x", kFlagMapNames), "/out/.._.._etc_x");
}

class WriterTest : public ::testing::Test {
protected:
    zorva::test::TempDir dir;
    FakeExportHost host;
    ExportList list;
    std::uint32_t flags = kFreshFlags;

    void SetUp() override { host.output_file = dir.file("level.bin"); }
    bool run() { return MapFileWriter(*host.table(), list, flags).run(); }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(WriterTest, Template03OnATwentyByFifteenLayerWrites302Bytes) {
    const std::size_t selected[] = {2};
    apply_templates(list, selected);
    auto& layer = host.add_layer(host.add_map("one"), 20, 15);
    for (std::size_t i = 0; i < layer.cells.size(); ++i)
        layer.cells[i].TileIndex = static_cast<std::uint32_t>(7 * i + 300);
    ASSERT_TRUE(run());
    const Bytes written = read_bytes(dir.file("level.bin"));
    ASSERT_EQ(written.size(), 302u);
    EXPECT_EQ(written[0], 20);
    EXPECT_EQ(written[1], 15);
    for (std::size_t i = 0; i < 300; ++i)
        ASSERT_EQ(written[2 + i], static_cast<std::uint8_t>(7 * i + 300)) << i;
    EXPECT_EQ(host.messages, (std::vector<std::string>{
                                 "Exported:  " + dir.file("level.bin") + "   (302 bytes)", "Success"}));
    ASSERT_FALSE(host.progress.empty());
    EXPECT_EQ(host.progress.back(), 100.0f);
    EXPECT_EQ(host.progress.size(), 4u) << "three checks, then the final 100";
    EXPECT_FLOAT_EQ(host.progress[2], 100.0f);
}

TEST_F(WriterTest, TwelveMapsWithTheFirstAndLastExportedGiveTwoNumberedFiles) {
    list.insert({kMapUserId, kTypeUnsignedByte, 50});
    for (int i = 0; i < 12; ++i) host.add_map("m", i == 0 || i == 11);
    ASSERT_TRUE(run());
    EXPECT_EQ(files(), (std::vector<std::string>{"level00.bin", "level11.bin"}));
    EXPECT_EQ(read_bytes(dir.file("level11.bin")), Bytes{12});
    EXPECT_EQ(host.messages.size(), 3u) << "a skipped map has no file and no message";
}

TEST_F(WriterTest, NineMapsAndOneMap) {
    list.insert({kMapUserId, kTypeUnsignedByte, 50});
    for (int i = 0; i < 9; ++i) host.add_map("m", i == 0);
    ASSERT_TRUE(run());
    EXPECT_EQ(files(), (std::vector<std::string>{"level0.bin"}));
    std::filesystem::remove(dir.file("level0.bin"));
    host.maps.resize(1);
    ASSERT_TRUE(run());
    EXPECT_EQ(files(), (std::vector<std::string>{"level.bin"}));
}

TEST_F(WriterTest, MapNamesAsFileNamesAndTheSameNameTwice) {
    list.insert({kMapUserId, kTypeUnsignedByte, 50});
    flags |= kFlagMapNames;
    host.add_map("stage.dat");
    host.add_map("stage");
    host.add_map("stage");
    ASSERT_TRUE(run());
    EXPECT_EQ(files(), (std::vector<std::string>{"stage.bin", "stage.dat"}));
    EXPECT_EQ(read_bytes(dir.file("stage.bin")), Bytes{3}) << "the later map replaces the earlier one";
}

TEST_F(WriterTest, MapNameAsUnsignedShortOfLengthFour) {
    list.insert({kMapName, kTypeUnsignedShort, 4});
    host.add_map("ab");
    ASSERT_TRUE(run());
    EXPECT_EQ(read_bytes(dir.file("level.bin")), (Bytes{0x61, 0, 0x62, 0, 0, 0, 0, 0}));
}

TEST_F(WriterTest, Template08WithAndWithoutControlPoints) {
    const std::size_t selected[] = {7};
    apply_templates(list, selected);
    host.add_path(host.add_layer(host.add_map("p"), 4, 4), 4);

    flags = 0;
    ASSERT_TRUE(run());
    Bytes expected = le32(4);
    for (int k = 0; k < 4; ++k) {
        append(expected, float_bytes(10.0f * k));
        append(expected, float_bytes(20.0f * k));
    }
    EXPECT_EQ(read_bytes(dir.file("level.bin")), expected);

    flags = kFlagControlPoints;
    ASSERT_TRUE(run());
    expected = le32(12);
    for (int k = 0; k < 4; ++k) {
        for (float shift : {-1.0f, 0.0f, 1.0f}) {
            append(expected, float_bytes(10.0f * k + shift));
            append(expected, float_bytes(20.0f * k));
        }
    }
    EXPECT_EQ(read_bytes(dir.file("level.bin")), expected);
}

TEST_F(WriterTest, EveryLayerRepeatsItsVariablesRunsAndPathVariablesAfterTheNodes) {
    list.insert({kMapNumberOfLayers, kTypeUnsignedByte, 50});
    list.insert({kLayerWidth, kTypeUnsignedByte, 50});
    list.insert({kGridTileIndex, kTypeUnsignedByte, 50});
    list.insert({kGridAttribute, kTypeUnsignedByte, 50});
    list.insert({kEntityParentUserId, kTypeUnsignedByte, 50});
    list.insert({kEntityCustomVariables, kTypeSignedByte, 50});
    list.insert({kPathIsClosed, kTypeBoolean, 50});
    list.insert({kNodeIsFirst, kTypeBoolean, 50});
    list.insert({kNodeIsLast, kTypeBoolean, 50});
    list.replace(8, {kPathIsClosed, kTypeBoolean, 50});  // a path variable after the node run
    list.insert({kLayerHeight, kTypeUnsignedByte, 50});
    ASSERT_EQ(list.size(), 10u);
    ASSERT_EQ(list[9].variable_id, kPathIsClosed);
    auto& map = host.add_map("m");
    auto& first = host.add_layer(map, 2, 1);
    first.cells[0].TileIndex = 5;
    first.cells[0].Attribute = 9;
    first.cells[1].TileIndex = 6;
    ChildEntityInfo entity{};
    entity.ParentUserID = 77;
    entity.CustomVariables[0] = -1;
    entity.CustomVariables[99] = 3;
    first.entities.push_back(entity);
    host.add_path(first, 2, true);
    host.add_layer(map, 0, 0);  // no cells, no entities, no paths
    flags = 0;
    ASSERT_TRUE(run());

    Bytes expected = {2};            // map: number of layers
    append(expected, {2, 1});        // layer 0: width, height
    append(expected, {5, 9, 6, 0});  // cells
    Bytes custom(100, 0);
    custom[0] = 0xFF;
    custom[99] = 3;
    expected.push_back(77);
    append(expected, custom);
    append(expected, {1, 1, 0, 1});  // path closed, then node IsFirst per node (1, 0), path closed again
    append(expected, {0, 0});        // layer 1: width, height; its runs are passed over
    const Bytes written = read_bytes(dir.file("level.bin"));
    EXPECT_EQ(written, expected);
}

TEST_F(WriterTest, AMapWithoutLayersWritesOnlyItsMapVariables) {
    list.insert({kMapFirstLayerWidth, kTypeUnsignedShort, 50});
    list.insert({kLayerName, kTypeUnsignedByte, 3});
    list.insert({kGridTileIndex, kTypeUnsignedByte, 50});
    host.add_map("empty");
    ASSERT_TRUE(run());
    EXPECT_EQ(read_bytes(dir.file("level.bin")), (Bytes{0, 0}));
}

TEST_F(WriterTest, CancelEndsAtOnceKeepingWhatWasWritten) {
    list.insert({kMapUserId, kTypeUnsignedByte, 50});
    list.insert({kMapNumberOfLayers, kTypeUnsignedByte, 50});
    for (int i = 0; i < 3; ++i) host.add_map("m");
    host.cancel_at_check = 3;  // the second map's second variable
    EXPECT_TRUE(run());
    EXPECT_EQ(files(), (std::vector<std::string>{"level0.bin", "level1.bin"}));
    EXPECT_EQ(read_bytes(dir.file("level1.bin")), (Bytes{2, 0}));
    EXPECT_EQ(host.messages.size(), 1u) << "only the first map is reported, no Success";
}

TEST_F(WriterTest, FailuresAndUnknownEntries) {
    EXPECT_FALSE(run());
    EXPECT_EQ(host.messages, std::vector<std::string>{"ERROR: No variables specified to export."});
    host.messages.clear();

    // As a settings file can hold them: unknown ids and types, in file order.
    list.assign({{kMapUserId, kTypeUnsignedByte, 50},
                 {kMapTileSetIndex, 9, 50},
                 {4444, kTypeUnsignedByte, 50},
                 {4444, kTypeUnsignedByte, 50}});
    host.add_map("a");
    host.add_map("b");
    host.output_file = dir.file("missing/level.bin");
    EXPECT_TRUE(run());
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{
                  "WARNING: Unknown data type id 9 in the export list; nothing is written for variables of "
                  "this type.",
                  "WARNING: Unknown variable id 4444 in the export list; nothing is written for it.",
                  "ERROR: Failed to create file [" + dir.file("missing/level0.bin") + "]",
                  "ERROR: Failed to create file [" + dir.file("missing/level1.bin") + "]", "Success"}));
    host.output_file = dir.file("level.bin");
    host.maps.resize(1);
    EXPECT_TRUE(run());
    EXPECT_EQ(read_bytes(dir.file("level.bin")), Bytes{1});
}

TEST_F(WriterTest, PathPointsThatCannotBeAllocatedEndTheRunWithFalse) {
    list.insert({kNodeIsFirst, kTypeBoolean, 50});
    host.add_path(host.add_layer(host.add_map("m"), 1, 1), 2);
    MapFileWriter writer(*host.table(), list, flags);
    writer.set_point_limit(5);  // the path needs 6 records
    EXPECT_FALSE(writer.run());
    EXPECT_EQ(host.messages.back(), "ERROR: Not enough memory to export the paths.");
}

}  // namespace
}  // namespace zorva::binmap
