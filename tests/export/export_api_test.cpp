#include "export/export_api.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "export_api_c_check.h"

namespace zorva {
namespace {

std::uint32_t le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

TEST(ExportApiHeader, CAndCppAgreeOnTheLayout) {
    EXPECT_EQ(export_api_c_layout(0), sizeof(TileSetInfo));
    EXPECT_EQ(export_api_c_layout(1), offsetof(TileSetInfo, UniqueID));
    EXPECT_EQ(export_api_c_layout(1), 5443u);
    EXPECT_EQ(export_api_c_layout(2), offsetof(ParentEntityInfo, PreviewFrame));
    EXPECT_EQ(export_api_c_layout(3), offsetof(MapInfo, TileSetName));
    EXPECT_EQ(export_api_c_layout(4), offsetof(LayerInfo, BackgroundImageFile));
    EXPECT_EQ(export_api_c_layout(5), offsetof(ChildEntityInfo, ParentName));
    EXPECT_EQ(export_api_c_layout(6), offsetof(PathPointInfo, UniqueID));
    EXPECT_EQ(export_api_c_layout(7), 31000u);
    EXPECT_EQ(export_api_c_layout(8), sizeof(ExportApi));
    EXPECT_EQ(export_api_c_layout(9), offsetof(ExportApi, GetCustomVariableDescriptions));
    EXPECT_EQ(export_api_c_layout(10), sizeof(ExporterHostApplication));
    EXPECT_EQ(export_api_c_layout(11), offsetof(ExporterHostApplication, DataFolder));
}

TEST(ExportApiHeader, FieldsLandAtTheirBytesLittleEndian) {
    std::uint8_t bytes[kLayerInfoSize];
    export_api_c_fill_layer(bytes);
    EXPECT_EQ(le32(bytes + 0), 0x01020304u);
    EXPECT_EQ(bytes[0], 0x04);
    float speed = 0;
    std::memcpy(&speed, bytes + 55, 4);
    EXPECT_FLOAT_EQ(speed, 1.5f);
    EXPECT_EQ(static_cast<std::int32_t>(le32(bytes + 63)), -3);
    EXPECT_EQ(bytes[75], 200);
    EXPECT_EQ(bytes[76 + 2 * 51], 'z');
    EXPECT_EQ(bytes[5465], 'T');
    for (std::size_t i = 5496; i < sizeof bytes; ++i) ASSERT_EQ(bytes[i], 0) << i;

    // Read back through the C++ view of the same record.
    LayerInfo layer;
    std::memcpy(&layer, bytes, sizeof layer);
    const std::int32_t offset_x = layer.OffsetX;  // packed fields are copied, never bound to references
    EXPECT_EQ(offset_x, -3);
    EXPECT_EQ(layer.CustomVariables[2][0], 'z');
}

TEST(ExportApiHeader, TableOffersTwentyFiveSlotsAndPluginsTestEachOne) {
    static_assert(kExportApiSlotCount == 125 && kExportApiOfferedSlots == 25);
    static_assert(std::is_standard_layout_v<ExportApi> && std::is_trivially_copyable_v<ExportApi>);
    ExportApi api{};
    EXPECT_EQ(export_api_c_count_offered(&api), 0);
    api.GetProjectFileName = [](char*, std::uint32_t) -> std::uint8_t { return 1; };
    api.GetCustomVariableDescriptions = [](CustomVariableDescriptions*) -> std::uint8_t { return 1; };
    EXPECT_EQ(export_api_c_count_offered(&api), 2);
    api.Reserved[99] = []() -> std::uint8_t { return 0; };
    EXPECT_EQ(export_api_c_count_offered(&api), 3);
}

TEST(ExportApiHeader, ExportTypesMatchTheDeclaredPluginFunctions) {
    static_assert(kExporterInterfaceVersion == 114);
    static_assert(std::is_same_v<QueryExporterDLLVersionFn, decltype(&::QueryExporterDLLVersion)>);
    static_assert(std::is_same_v<SetParentCWinAppFn, decltype(&::SetParentCWinApp)>);
    static_assert(std::is_same_v<StartExportFn, decltype(&::StartExport)>);
    EXPECT_STREQ(ZV_QUERY_EXPORTER_DLL_VERSION_SYMBOL, "QueryExporterDLLVersion");
    EXPECT_STREQ(ZV_SET_PARENT_CWINAPP_SYMBOL, "SetParentCWinApp");
    EXPECT_STREQ(ZV_START_EXPORT_SYMBOL, "StartExport");
}

}  // namespace
}  // namespace zorva
