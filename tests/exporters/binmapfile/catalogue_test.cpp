// The constant tables: data types, the variable catalogue and the template table.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "exporters/binmapfile/data_types.h"
#include "exporters/binmapfile/export_templates.h"
#include "exporters/binmapfile/variable_catalogue.h"

namespace zorva::binmap {
namespace {

TEST(DataTypes, TableIsInOrderAndAWrongOrderIsDetected) {
    EXPECT_TRUE(data_types_in_order(gtDataTypeDesc));
    auto swapped = gtDataTypeDesc;
    std::swap(swapped[2], swapped[3]);
    EXPECT_FALSE(data_types_in_order(swapped));
    EXPECT_EQ(find_data_type(8), nullptr);
    EXPECT_STREQ(find_data_type(4)->name, "Unsigned Short / Word");
    EXPECT_EQ(find_data_type(7)->size, 4u);
    for (std::uint32_t id = 0; id < 8; ++id) EXPECT_EQ(type_can_hold_string(id), id >= 1 && id <= 4) << id;
}

TEST(VariableCatalogue, HoldsSeventyFourEntriesWithSixteenMarkers) {
    const auto catalogue = variable_catalogue();
    ASSERT_EQ(catalogue.size(), 74u);
    std::set<std::uint32_t> markers;
    for (const auto& entry : catalogue) {
        if (entry.name[0] == '\0') {
            markers.insert(entry.id);
            EXPECT_EQ(entry.default_type, kNoDataType);
            EXPECT_EQ(find_variable(entry.id), nullptr) << "markers are never offered";
        } else {
            EXPECT_EQ(find_variable(entry.id), &entry);
            ASSERT_LT(entry.default_type, 8u) << entry.name;
            if (entry.is_string) {
                EXPECT_TRUE(type_can_hold_string(entry.default_type)) << entry.name;
            }
            EXPECT_NE(entry.category, Category::None) << entry.name;
        }
    }
    EXPECT_EQ(markers, (std::set<std::uint32_t>{0, 105, 108, 1000, 1119, 1122, 2000, 2006, 3000, 3109, 3113,
                                                4000, 4003, 5000, 5107, 5108}));
}

TEST(VariableCatalogue, CategoriesFollowTheIdRanges) {
    EXPECT_EQ(category_of(0), Category::None);
    EXPECT_EQ(category_of(1), Category::Map);
    EXPECT_EQ(category_of(107), Category::Map);
    EXPECT_EQ(category_of(108), Category::None);
    EXPECT_EQ(category_of(1121), Category::Layer);
    EXPECT_EQ(category_of(2005), Category::LayerGrid);
    EXPECT_EQ(category_of(2006), Category::None);
    EXPECT_EQ(category_of(3112), Category::ChildEntity);
    EXPECT_EQ(category_of(4002), Category::Path);
    EXPECT_EQ(category_of(4003), Category::None);
    EXPECT_EQ(category_of(5008), Category::PathNode);
    EXPECT_EQ(category_of(5108), Category::None);
    EXPECT_STREQ(find_variable(5007)->name, "Path-Node: Is Contrl Point");
    EXPECT_TRUE(find_variable(6)->is_string);
    EXPECT_FALSE(find_variable(3010)->is_string);
    EXPECT_EQ(variable_display_name(9999), "Unknown variable 9999");
    EXPECT_EQ(find_variable(7), nullptr) << "ids reserved by a custom-variable entry are not variables";
}

TEST(TemplateTable, FortyEightRowsWithTheRangesOfEveryTemplate) {
    ASSERT_EQ(kTemplateRows.size(), 48u);
    EXPECT_EQ(kTemplateRows.back().id, -1);
    EXPECT_EQ(kTemplateRows.back().type, -1);
    const TemplateTable table;
    const std::size_t expected_sizes[kTemplateCount] = {1, 1, 3, 1, 3, 3, 13, 3, 10};
    for (std::size_t t = 0; t < kTemplateCount; ++t) {
        const auto range = table.range(t);
        ASSERT_TRUE(range.has_value()) << t;
        EXPECT_EQ(range->last - range->first + 1, expected_sizes[t]) << t;
        EXPECT_EQ(kTemplateRows[range->first - 1].id, static_cast<std::int32_t>(kTemplates[t].id));
    }
    EXPECT_EQ(kTemplateRows[table.range(0)->first].id, -1) << "template 01 holds variable -1";
    EXPECT_EQ(std::string(kTemplates[2].text),
              "03) Map size & array     - Width & height (1 byte each) & array data (1 byte per cell).");
    EXPECT_FALSE(table.range(9).has_value());
}

TEST(TemplateTable, ATableWithoutATemplateHeaderHasNoRangeForIt) {
    const TemplateRow rows[] = {{15111, -1}, {2001, 2}, {15113, -1}, {-1, -1}};
    const TemplateTable table(rows);
    EXPECT_FALSE(table.range(0).has_value());
    ASSERT_TRUE(table.range(1).has_value());
    EXPECT_EQ(table.range(1)->first, 1u);
    EXPECT_EQ(table.range(1)->last, 1u);
    EXPECT_FALSE(table.range(3).has_value()) << "a header without rows";
}

}  // namespace
}  // namespace zorva::binmap
