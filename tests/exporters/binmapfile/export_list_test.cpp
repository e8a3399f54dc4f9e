// The export list: insertion by category, moves, editing and templates.
#include "exporters/binmapfile/export_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "exporters/binmapfile/data_types.h"

namespace zorva::binmap {
namespace {

std::vector<std::uint32_t> ids(const ExportList& list) {
    std::vector<std::uint32_t> out;
    for (const auto& variable : list.items()) out.push_back(variable.variable_id);
    return out;
}

ExportVariable var(std::uint32_t id, std::uint32_t type = kTypeUnsignedInt) {
    return {id, type, kDefaultStringLength};
}

TEST(ExportListInsert, GoesAfterTheLastOfItsCategoryElseBeforeAHigherOneElseAtTheEnd) {
    ExportList list;
    EXPECT_EQ(list.insert(var(1)), 0u);
    EXPECT_EQ(list.insert(var(kGridTileIndex)), 1u);
    EXPECT_EQ(list.insert(var(kLayerWidth)), 1u) << "a layer variable goes between map and grid";
    EXPECT_EQ(list.insert(var(kMapName)), 1u) << "a map variable goes after the last map variable";
    EXPECT_EQ(list.insert(var(kNodeWorldPosX)), 4u);
    EXPECT_EQ(list.insert(var(kEntityRotate)), 4u);
    EXPECT_EQ(list.insert(var(kPathIsClosed)), 5u);
    EXPECT_EQ(list.insert(var(kLayerHeight)), 3u);
    EXPECT_EQ(ids(list), (std::vector<std::uint32_t>{1, 2, 1005, 1006, 2001, 3009, 4002, 5003}));
}

TEST(ExportListInsert, AfterAnEditBrokeTheGroupingTheLastOfTheCategoryCounts) {
    ExportList list;
    list.insert(var(1));
    list.insert(var(kGridTileIndex));
    list.replace(0, var(kEntityFlipH));  // edited into another category: stays in place
    EXPECT_EQ(ids(list), (std::vector<std::uint32_t>{3007, 2001}));
    EXPECT_EQ(list.insert(var(kEntityFlipV)), 1u);
    EXPECT_EQ(list.insert(var(kMapUserId)), 0u) << "before the first variable of a higher category";
}

TEST(ExportListMove, OnlyWithinTheSameCategory) {
    ExportList list;
    for (std::uint32_t id : {1u, 2u, 1005u, 1006u}) list.insert(var(id));
    EXPECT_FALSE(list.can_move_up(0));
    EXPECT_TRUE(list.can_move_down(0));
    EXPECT_FALSE(list.can_move_down(1)) << "the one below has another category";
    EXPECT_FALSE(list.can_move_up(2));
    EXPECT_FALSE(list.can_move_down(3));
    EXPECT_FALSE(list.can_move_down(4));
    EXPECT_TRUE(list.move_down(0));
    EXPECT_FALSE(list.move_up(2));
    EXPECT_TRUE(list.move_up(3));
    EXPECT_EQ(ids(list), (std::vector<std::uint32_t>{2, 1, 1006, 1005}));
    list.remove(0);
    list.remove(7);
    EXPECT_EQ(ids(list), (std::vector<std::uint32_t>{1, 1006, 1005}));
}

TEST(ExportTemplates, ThreeAndSevenCombinedGiveSizeArrayThenTheEntityDetails) {
    ExportList list;
    list.insert(var(kMapName));
    const std::size_t selected[] = {2, 6};
    apply_templates(list, selected);
    EXPECT_EQ(ids(list), (std::vector<std::uint32_t>{106, 107, 2001, 3001, 3002, 3003, 3004, 3005, 3006, 3007,
                                                     3008, 3009, 3010, 3110, 3111, 3112}));
    const std::vector<std::uint32_t> types = {2, 2, 2, 2, 2, 5, 5, 5, 5, 0, 0, 0, 3, 6, 6, 6};
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].data_type, types[i]) << i;
        EXPECT_EQ(list[i].string_length, 50u);
    }
}

TEST(ExportTemplates, SelectionOrderDoesNotBreakTheGrouping) {
    ExportList list;
    const std::size_t selected[] = {7, 1};  // paths first, then the map array
    apply_templates(list, selected);
    EXPECT_EQ(ids(list), (std::vector<std::uint32_t>{2001, 4001, 5003, 5004}));
}

TEST(ExportTemplates, EmptyAloneEmptiesTheList) {
    ExportList list;
    list.insert(var(1));
    list.insert(var(2001));
    const std::size_t selected[] = {0};
    apply_templates(list, selected);
    EXPECT_TRUE(list.empty());
}

TEST(ExportVariableStringLength, ClampedToOneAndTwoHundredSixty) {
    EXPECT_EQ(clamp_string_length(0), 1u);
    EXPECT_EQ(clamp_string_length(1), 1u);
    EXPECT_EQ(clamp_string_length(260), 260u);
    EXPECT_EQ(clamp_string_length(300), 260u);
    EXPECT_EQ(clamp_string_length(0x1'0000'0001ull), 260u);
}

TEST(ExportSettingsState, ResetGivesTheFreshState) {
    ExportSettings settings;
    settings.list.insert(var(1));
    settings.flags = 15;
    settings.file_name = "/tmp/a.zbe";
    settings.reset();
    EXPECT_TRUE(settings.list.empty());
    EXPECT_EQ(settings.flags, 2u);
    EXPECT_EQ(settings.file_name, "Noname.zbe");
}

}  // namespace
}  // namespace zorva::binmap
