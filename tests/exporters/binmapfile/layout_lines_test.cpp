// The variables list lines and the layout preview.
#include "exporters/binmapfile/layout_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exporters/binmapfile/data_types.h"

namespace zorva::binmap {
namespace {

const std::string kMap =
    "For each Map:------------------------------------------------------------------------------";
const std::string kLayer =
    "==For each Layer:--------------------------------------------------------------------------";
const std::string kGrid =
    "====For each Layer Grid:-------------------------------------------------------------------";
const std::string kEntity =
    "====For each Child Entity:-----------------------------------------------------------------";
const std::string kPath =
    "====For each Path:-------------------------------------------------------------------------";
const std::string kNode =
    "======For each Path Node:------------------------------------------------------------------";

std::vector<std::string> texts(const std::vector<PreviewLine>& lines) {
    std::vector<std::string> out;
    for (const auto& line : lines) out.push_back(line.text);
    return out;
}

TEST(VariableListLine, StringAndNumberFormats) {
    EXPECT_EQ(variable_list_line({kGridTileIndex, kTypeUnsignedByte, 50}),
              "Layer-Grid: Tile Index               Unsigned Byte             (1 bytes)");
    EXPECT_EQ(variable_list_line({kMapName, kTypeUnsignedShort, 4}),
              "Map: Name                            Unsigned Short / Word     (2 bytes) (String 4 chars)");
    EXPECT_EQ(variable_list_line({77777, 99, 1}),
              "Unknown variable 77777               Unknown type              (0 bytes)");
    EXPECT_EQ(data_type_line(kTypeFloat), "Float                     (4 bytes)");
}

TEST(LayoutPreview, HeadingsAreNinetyOneCharactersAndEveryLevelIsOpenedOnce) {
    for (const auto& heading : {kMap, kLayer, kGrid, kEntity, kPath, kNode}) ASSERT_EQ(heading.size(), 91u);
    ExportList list;
    const std::size_t selected[] = {2, 6};
    apply_templates(list, selected);
    const auto lines = layout_preview(list);
    ASSERT_EQ(lines.size(), 16u + 4u);
    EXPECT_EQ(lines[0].text, kMap);
    EXPECT_EQ(lines[1].text, "  Map: Width of first Layer       (1 bytes)");
    EXPECT_EQ(lines[1].variable_index, 0);
    EXPECT_EQ(lines[3].text, kLayer);
    EXPECT_EQ(lines[4].text, kGrid);
    EXPECT_EQ(lines[5].text, "      Layer-Grid: Tile Index          (1 bytes)");
    EXPECT_EQ(lines[6].text, kEntity);
    EXPECT_EQ(lines[16].text, "      Entity: Custom Variables        (100 vars X 2 bytes = 200 bytes)");
    EXPECT_EQ(lines[16].variable_index, 12);
    EXPECT_EQ(lines[3].variable_index, -1);
    EXPECT_EQ(lines.back().text, "      Entity: Rectangle Trigger Height  (4 bytes)");
}

TEST(LayoutPreview, PathNodesWithoutAPathVariableStillOpenThePathLevel) {
    ExportList list;
    list.insert({kNodeWorldPosX, kTypeFloat, 50});
    list.insert({kEntityFlipH, kTypeBoolean, 50});
    EXPECT_EQ(
        texts(layout_preview(list)),
        (std::vector<std::string>{kMap, kLayer, kEntity, "      Entity: Horizontal Flip         (1 bytes)",
                                  kPath, kNode, "        Path-Node: World Pos X          (4 bytes)"}));
    list.insert({kPathNumberOfNodes, kTypeUnsignedInt, 50});
    const auto with_path = texts(layout_preview(list));
    EXPECT_EQ(with_path[4], kPath);
    EXPECT_EQ(with_path[5], "      Path: Number of nodes           (4 bytes)");
    EXPECT_EQ(with_path[6], kNode) << "the path level is open: no second path heading";
}

TEST(LayoutPreview, StringLinesAndLayerWithoutMapVariables) {
    ExportList list;
    list.insert({kLayerCustomVariables, kTypeUnsignedShort, 10});
    list.insert({kLayerName, kTypeSignedByte, 30});
    EXPECT_EQ(
        texts(layout_preview(list)),
        (std::vector<std::string>{
            kMap, kLayer, "    Layer: Custom Variables         (100 vars X 2 bytes X 10 chars = 2000 bytes)",
            "    Layer: Name                     (1 bytes X 30 chars = 30 bytes)"}));
}

TEST(LayoutPreview, ReturningToTheMapCategoryRepeatsItsHeading) {
    ExportList list;
    list.insert({kMapUserId, kTypeUnsignedInt, 50});
    list.insert({kLayerWidth, kTypeUnsignedInt, 50});
    list.insert({kLayerHeight, kTypeUnsignedInt, 50});
    list.replace(2, {kMapNumberOfLayers, kTypeUnsignedInt, 50});  // edited into the map category
    EXPECT_EQ(texts(layout_preview(list)),
              (std::vector<std::string>{kMap, "  Map: User ID                    (4 bytes)", kLayer,
                                        "    Layer: Width                    (4 bytes)", kMap,
                                        "  Map: Number of Layers           (4 bytes)"}));
    EXPECT_TRUE(layout_preview(ExportList{}).empty());
}

}  // namespace
}  // namespace zorva::binmap
