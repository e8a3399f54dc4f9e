// The ExportApi table as a plug-in sees it: every call goes through the table's function pointers.
#include "export/export_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "export/export_feedback.h"
#include "export/export_message_log.h"
#include "support/project_builder.h"

namespace zorva {
namespace {

using test::TestProject;

template <class Record>
bool all_zero(const Record& record) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&record);
    for (std::size_t i = 0; i < sizeof record; ++i)
        if (bytes[i] != 0) return false;
    return true;
}

template <class Record>
Record filled_with_garbage() {
    Record record;
    std::memset(&record, 0xAB, sizeof record);
    return record;
}

class RecordingFeedback : public ExportFeedback {
public:
    void message(std::string_view text) override { messages.emplace_back(text); }
    void progress(int percent) override { progresses.push_back(percent); }
    bool cancelled() const override { return cancel; }
    void yield() override { ++yields; }

    std::vector<std::string> messages;
    std::vector<int> progresses;
    bool cancel = false;
    int yields = 0;
};

class ExportHostTest : public ::testing::Test {
protected:
    void attach(bool quick = false) {
        host.reset(&log, quick, &feedback);
        host.attach(p.project, "out/dump.txt");
        api = host.api();
    }

    TestProject p;
    ExportMessageLog log;
    RecordingFeedback feedback;
    ExportHost host;
    ExportApi* api = nullptr;
};

TEST_F(ExportHostTest, TableOffersSlots0To24AndZeroesTheRest) {
    attach();
    const auto* slots = reinterpret_cast<void* const*>(api);
    for (int i = 0; i < kExportApiSlotCount; ++i) EXPECT_EQ(slots[i] != nullptr, i < 25) << "slot " << i;
}

TEST_F(ExportHostTest, EverySlotFailsWithoutAProjectAndAfterTheRun) {
    p.add_tile_set("T", 16, 16);
    attach();
    host.reset();  // the run is over: the project is detached
    char buffer[260] = "x";
    std::uint32_t count = 7;
    std::uint8_t flag = 0;
    EXPECT_FALSE(api->GetProjectFileName(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(api->GetOutputFileName(buffer, sizeof buffer));
    EXPECT_FALSE(api->IsExportCancelled(&flag));
    EXPECT_FALSE(api->SetProgress(10, 0, 0));
    EXPECT_FALSE(api->AddMessage("late", 0));
    EXPECT_FALSE(api->GetNumberOfTileSets(&count));
    EXPECT_FALSE(api->SelectTileSet(0));
    EXPECT_FALSE(api->GetNumberOfParentEntities(&count));
    EXPECT_FALSE(api->SelectParentEntity(0));
    EXPECT_FALSE(api->GetNumberOfMaps(&count));
    EXPECT_FALSE(api->SelectMap(0));
    EXPECT_FALSE(api->SelectLayer(0));
    EXPECT_FALSE(api->GetNumberOfChildEntities(&count));
    EXPECT_FALSE(api->SelectChildEntity(0));
    EXPECT_FALSE(api->SelectPath(0));
    EXPECT_FALSE(api->IsQuickExport(&flag));
    auto tile_set = filled_with_garbage<TileSetInfo>();
    EXPECT_FALSE(api->GetTileSetInfo(&tile_set, sizeof tile_set));
    EXPECT_TRUE(all_zero(tile_set));
    auto descriptions = filled_with_garbage<CustomVariableDescriptions>();
    EXPECT_FALSE(api->GetCustomVariableDescriptions(&descriptions));
    EXPECT_TRUE(all_zero(descriptions));
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(feedback.messages.empty());
}

TEST_F(ExportHostTest, ADestroyedOrReplacedHostAnswersNothing) {
    p.add_tile_set("T", 16, 16);
    attach();
    std::uint32_t count = 0;
    {
        ExportHost other;  // a second host takes the binding ...
        EXPECT_FALSE(api->GetNumberOfTileSets(&count));
    }
    // ... and when it is gone, no host answers until one is reset again.
    EXPECT_FALSE(api->GetNumberOfTileSets(&count));
    attach();
    EXPECT_TRUE(api->GetNumberOfTileSets(&count));
    EXPECT_EQ(count, 1u);
}

TEST_F(ExportHostTest, NullPointersAndTinyBuffersFail) {
    attach();
    char buffer[4] = "abc";
    EXPECT_FALSE(api->GetProjectFileName(nullptr, 100));
    EXPECT_FALSE(api->GetProjectFileName(buffer, 1));
    EXPECT_FALSE(api->GetOutputFileName(buffer, 0));
    EXPECT_FALSE(api->IsExportCancelled(nullptr));
    EXPECT_FALSE(api->AddMessage(nullptr, 1));
    EXPECT_FALSE(api->GetNumberOfTileSets(nullptr));
    EXPECT_FALSE(api->GetNumberOfParentEntities(nullptr));
    EXPECT_FALSE(api->GetNumberOfMaps(nullptr));
    EXPECT_FALSE(api->GetTileSetInfo(nullptr, 0));
    EXPECT_FALSE(api->GetParentEntityInfo(nullptr, 0));
    EXPECT_FALSE(api->GetMapInfo(nullptr, 0));
    EXPECT_FALSE(api->GetLayerInfo(nullptr, 0));
    EXPECT_FALSE(api->GetGridCell(nullptr, 0, 0, 0));
    EXPECT_FALSE(api->GetChildEntityInfo(nullptr, 0));
    EXPECT_FALSE(api->GetPathInfo(nullptr, 0));
    EXPECT_FALSE(api->GetPathPoints(nullptr, 0, nullptr, 0));
    EXPECT_FALSE(api->IsQuickExport(nullptr));
    EXPECT_FALSE(api->GetCustomVariableDescriptions(nullptr));
}

TEST_F(ExportHostTest, FileNamesAreCutToTheBufferAndAlwaysTerminated) {
    p.project.path_and_file_name = "/projects/level.xml";
    attach();
    char buffer[8];
    EXPECT_TRUE(api->GetProjectFileName(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "/projec");
    char full[260];
    EXPECT_TRUE(api->GetProjectFileName(full, sizeof full));
    EXPECT_STREQ(full, "/projects/level.xml");
    EXPECT_TRUE(api->GetOutputFileName(buffer, 2));
    EXPECT_STREQ(buffer, "o");
    EXPECT_TRUE(api->GetOutputFileName(full, sizeof full));
    EXPECT_STREQ(full, "out/dump.txt");
}

TEST_F(ExportHostTest, CountsAndIndexesFollowListOrderAndFailedSelectsClear) {
    TileSet& first = p.add_tile_set("First", 16, 16);
    p.add_tile_set("Second", 8, 8);
    p.add_parent("Hero");
    p.add_map("A", &first);
    p.add_map("B", nullptr);
    p.add_map("C", nullptr);
    attach();
    std::uint32_t count = 0;
    ASSERT_TRUE(api->GetNumberOfTileSets(&count));
    EXPECT_EQ(count, 2u);
    ASSERT_TRUE(api->GetNumberOfParentEntities(&count));
    EXPECT_EQ(count, 1u);
    ASSERT_TRUE(api->GetNumberOfMaps(&count));
    EXPECT_EQ(count, 3u);

    TileSetInfo tile_set{};
    ASSERT_TRUE(api->SelectTileSet(1));
    ASSERT_TRUE(api->GetTileSetInfo(&tile_set, sizeof tile_set));
    EXPECT_STREQ(tile_set.Name, "Second");
    EXPECT_FALSE(api->SelectTileSet(2));  // past the end: nothing current any more
    EXPECT_FALSE(api->GetTileSetInfo(&tile_set, sizeof tile_set));
    EXPECT_TRUE(all_zero(tile_set));

    MapInfo map{};
    ASSERT_TRUE(api->SelectMap(2));
    ASSERT_TRUE(api->GetMapInfo(&map, sizeof map));
    EXPECT_STREQ(map.Name, "C");
    EXPECT_FALSE(api->SelectMap(0xFFFFFFFFu));
    EXPECT_FALSE(api->GetMapInfo(&map, sizeof map));
    EXPECT_FALSE(api->SelectLayer(0));  // no map current

    ParentEntityInfo parent{};
    EXPECT_FALSE(api->GetParentEntityInfo(&parent, sizeof parent));  // nothing selected yet
    ASSERT_TRUE(api->SelectParentEntity(0));
    ASSERT_TRUE(api->GetParentEntityInfo(&parent, sizeof parent));
    EXPECT_STREQ(parent.Name, "Hero");
}

TEST_F(ExportHostTest, TileSetInfoCarriesTheFieldsAndTilesCountedFromTheImage) {
    TileSet& t = p.add_tile_set("Ground", 16, 8, 64, 32);
    t.user_supplied_id = 42;
    t.image_path_and_file_name = "img/ground.png";
    t.first_tile_offset_pixel_x = -3;
    t.space_between_tiles_pixel_y = 2;
    t.use_transparent_colour = true;
    t.transparent_colour = 0x030201;  // red 1, green 2, blue 3
    t.custom_variables[0] = "alpha";
    t.custom_variables[99] = std::string(50, 'z');
    attach();
    auto info = filled_with_garbage<TileSetInfo>();
    ASSERT_TRUE(api->SelectTileSet(0));
    ASSERT_TRUE(api->GetTileSetInfo(&info, sizeof info));
    EXPECT_EQ(+info.UserID, 42u);
    EXPECT_STREQ(info.ImageFile, "img/ground.png");
    EXPECT_EQ(+info.TileWidth, 16u);
    EXPECT_EQ(+info.TileHeight, 8u);
    EXPECT_EQ(+info.OffsetX, -3);
    EXPECT_EQ(+info.SpaceY, 2u);
    EXPECT_EQ(+info.NumberOfTilesAcross, 4u);  // (64 + 3) / 16 = 4, remainder 3 < 16
    EXPECT_EQ(+info.NumberOfTilesDown, 3u);    // 32 / (8 + 2) = 3, remainder 2 < 8
    EXPECT_EQ(+info.NumberOfTiles, 12u);
    EXPECT_EQ(+info.UseTransparentColour, 1);
    EXPECT_EQ(+info.TransparentColour[0], 1);
    EXPECT_EQ(+info.TransparentColour[1], 2);
    EXPECT_EQ(+info.TransparentColour[2], 3);
    EXPECT_STREQ(info.CustomVariables[0], "alpha");
    EXPECT_EQ(std::string(info.CustomVariables[99]), std::string(50, 'z'));
    EXPECT_STREQ(info.CustomVariables[1], "");
    EXPECT_EQ(+info.UniqueID, t.unique_id);
    EXPECT_EQ(+info.EditorWord1, 0u);
    for (unsigned char byte : info.Reserved) ASSERT_EQ(byte, 0);
}

TEST_F(ExportHostTest, ParentEntityFramesComeFromTheLoadedImageOnly) {
    ParentEntity& with_image = p.add_parent("Walker", 64, 32);
    with_image.single_frame_pixel_width = 16;
    with_image.single_frame_pixel_height = 16;
    with_image.preview_anima_frame = 7;
    with_image.is_trigger = true;
    with_image.trigger_is_a_circle = true;
    with_image.default_circle_trigger_radius = 20;
    ParentEntity& without = p.add_parent("Ghost");  // 32 x 32 stored size, no image
    without.single_frame_pixel_width = 16;
    without.single_frame_pixel_height = 16;
    attach();
    ParentEntityInfo info{};
    ASSERT_TRUE(api->SelectParentEntity(0));
    ASSERT_TRUE(api->GetParentEntityInfo(&info, sizeof info));
    EXPECT_EQ(+info.Width, 64u);
    EXPECT_EQ(+info.NumberOfFramesAcross, 4u);
    EXPECT_EQ(+info.NumberOfFramesDown, 2u);
    EXPECT_EQ(+info.NumberOfFrames, 8u);
    EXPECT_EQ(+info.PreviewFrame, 7u);
    EXPECT_EQ(+info.IsTrigger, 1);
    EXPECT_EQ(+info.TriggerIsCircle, 1);
    EXPECT_EQ(+info.DefaultTriggerRadius, 20u);
    ASSERT_TRUE(api->SelectParentEntity(1));
    ASSERT_TRUE(api->GetParentEntityInfo(&info, sizeof info));
    EXPECT_STREQ(info.Name, "Ghost");
    EXPECT_EQ(+info.Width, 32u);
    EXPECT_EQ(+info.NumberOfFrames, 0u);
    EXPECT_EQ(+info.NumberOfFramesAcross, 0u);
}

TEST_F(ExportHostTest, MapAndLayerInfoReportTheTileSetOrZeroWhenItIsMissing) {
    p.add_tile_set("Unused", 8, 8);
    TileSet& used = p.add_tile_set("Used", 24, 12);
    used.user_supplied_id = 9;
    Map& good = p.add_map("Good", &used);
    Map& orphan = p.add_map("Orphan", nullptr, false);
    orphan.use_tile_set_id = 1234;  // names a tile set that does not exist
    Layer& layer = p.add_layer(good, "Ground", 5, 4, -2, 3);
    layer.scroll_speed_x = 0.5f;
    layer.background_colour = 0x0000FF;
    layer.opacity = 128;
    p.add_layer(orphan, "Lost", 1, 1);
    attach();

    MapInfo map{};
    ASSERT_TRUE(api->SelectMap(0));
    ASSERT_TRUE(api->GetMapInfo(&map, sizeof map));
    EXPECT_EQ(+map.TileSetIndex, 1u);
    EXPECT_EQ(+map.TileSetUserID, 9u);
    EXPECT_EQ(+map.TileSetUniqueID, used.unique_id);
    EXPECT_EQ(+map.TileSetTileWidth, 24u);
    EXPECT_EQ(+map.TileSetTileHeight, 12u);
    EXPECT_STREQ(map.TileSetName, "Used");
    EXPECT_EQ(+map.ExportThisMap, 1);
    EXPECT_EQ(+map.NumberOfLayers, 1u);

    LayerInfo info{};
    ASSERT_TRUE(api->SelectLayer(0));
    ASSERT_TRUE(api->GetLayerInfo(&info, sizeof info));
    EXPECT_STREQ(info.Name, "Ground");
    EXPECT_EQ(+info.GridWidth, 5u);
    EXPECT_EQ(+info.GridHeight, 4u);
    EXPECT_EQ(+info.OffsetX, -2);
    EXPECT_EQ(+info.OffsetY, 3);
    EXPECT_FLOAT_EQ(+info.ScrollSpeedX, 0.5f);
    EXPECT_EQ(+info.BackgroundColour[0], 255);
    EXPECT_EQ(+info.Opacity, 128);
    EXPECT_EQ(+info.IsVisible, 1);
    EXPECT_EQ(+info.TileSetUniqueID, used.unique_id);
    EXPECT_EQ(+info.TileSetTileWidth, 24u);
    EXPECT_STREQ(info.TileSetName, "Used");
    EXPECT_FALSE(api->SelectLayer(1));
    EXPECT_FALSE(api->GetLayerInfo(&info, sizeof info));

    ASSERT_TRUE(api->SelectMap(1));
    ASSERT_TRUE(api->GetMapInfo(&map, sizeof map));
    EXPECT_EQ(+map.TileSetIndex, 0u);
    EXPECT_EQ(+map.TileSetUserID, 0u);
    EXPECT_EQ(+map.TileSetUniqueID, 1234u);
    EXPECT_EQ(+map.TileSetTileWidth, 0u);
    EXPECT_STREQ(map.TileSetName, "");
    EXPECT_EQ(+map.ExportThisMap, 0);
    ASSERT_TRUE(api->SelectLayer(0));
    ASSERT_TRUE(api->GetLayerInfo(&info, sizeof info));
    EXPECT_EQ(+info.TileSetUniqueID, 0u);
    EXPECT_EQ(+info.TileSetTileWidth, 0u);
}

TEST_F(ExportHostTest, LowerSelectionsSurviveAChangeOfTheLevelAbove) {
    TileSet& t = p.add_tile_set("T", 16, 16);
    Map& a = p.add_map("A", &t);
    p.add_map("B", &t);
    p.add_layer(a, "A0", 2, 2);
    attach();
    ASSERT_TRUE(api->SelectMap(0));
    ASSERT_TRUE(api->SelectLayer(0));
    ASSERT_TRUE(api->SelectMap(1));  // map B has no layers, but layer A0 stays current
    LayerInfo info{};
    ASSERT_TRUE(api->GetLayerInfo(&info, sizeof info));
    EXPECT_STREQ(info.Name, "A0");
    EXPECT_FALSE(api->SelectMap(5));
    EXPECT_FALSE(api->GetLayerInfo(&info, sizeof info));  // needs a current map too
}

TEST_F(ExportHostTest, GridCellsOutsideTheGridFailWithAZeroedRecord) {
    TileSet& t = p.add_tile_set("T", 16, 16);
    Map& m = p.add_map("M", &t);
    Layer& layer = p.add_layer(m, "L", 3, 2);
    layer.cell(2, 1)->tile = 77;
    layer.cell(2, 1)->flags = make_cell_flags(true, false, true, 5);
    attach();
    ASSERT_TRUE(api->SelectMap(0));
    GridCellInfo cell{};
    EXPECT_FALSE(api->GetGridCell(&cell, 0, 0, sizeof cell));  // no layer current yet
    ASSERT_TRUE(api->SelectLayer(0));
    ASSERT_TRUE(api->GetGridCell(&cell, 2, 1, sizeof cell));
    EXPECT_EQ(+cell.TileIndex, 77u);
    EXPECT_EQ(+cell.FlipH, 1);
    EXPECT_EQ(+cell.FlipV, 0);
    EXPECT_EQ(+cell.Rotate, 1);
    EXPECT_EQ(+cell.Attribute, 5);
    cell = filled_with_garbage<GridCellInfo>();
    EXPECT_FALSE(api->GetGridCell(&cell, 3, 0, sizeof cell));  // column = GridWidth
    EXPECT_TRUE(all_zero(cell));
    cell = filled_with_garbage<GridCellInfo>();
    EXPECT_FALSE(api->GetGridCell(&cell, 0, 2, sizeof cell));  // row = GridHeight
    EXPECT_TRUE(all_zero(cell));
    EXPECT_FALSE(api->GetGridCell(&cell, 0xFFFFFFFFu, 0xFFFFFFFFu, sizeof cell));
}

TEST_F(ExportHostTest, FlippedAndRotatedCellsRemapDirectionalAttributes) {
    TileSet& t = p.add_tile_set("T", 16, 16);
    Map& m = p.add_map("M", &t);
    struct Case {
        std::uint8_t attribute;
        bool h, v, r;
        std::uint8_t expected;
    };
    const Case cases[] = {
        {227, true, false, false, 229}, {227, true, false, true, 244},   {227, true, true, true, 241},
        {227, false, true, false, 228}, {227, false, false, true, 236},  {227, true, true, false, 230},
        {227, false, true, true, 237},  {227, false, false, false, 227}, {254, true, true, true, 251},
        {239, false, false, true, 246}, {100, true, true, true, 100},    {255, true, false, true, 255},
        {226, true, false, false, 226},
    };
    Layer& layer = p.add_layer(m, "L", static_cast<int>(std::size(cases)), 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        layer.cell(static_cast<int>(i), 0)->flags =
            make_cell_flags(cases[i].h, cases[i].v, cases[i].r, cases[i].attribute);
    }
    attach();
    ASSERT_TRUE(api->SelectMap(0));
    ASSERT_TRUE(api->SelectLayer(0));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        GridCellInfo cell{};
        ASSERT_TRUE(api->GetGridCell(&cell, static_cast<std::uint32_t>(i), 0, sizeof cell));
        EXPECT_EQ(+cell.Attribute, cases[i].expected)
            << "attribute " << int{cases[i].attribute} << " H" << cases[i].h << " V" << cases[i].v << " R"
            << cases[i].r;
    }
}

TEST_F(ExportHostTest, ChildEntitiesSkipInstancesWhoseParentIsGoneAndAddTheLayerOffset) {
    TileSet& t = p.add_tile_set("T", 16, 8);
    ParentEntity& kept = p.add_parent("Kept");
    kept.user_supplied_id = 5;
    ParentEntity& doomed = p.add_parent("Doomed");
    Map& m = p.add_map("M", &t);
    Layer& layer = p.add_layer(m, "L", 4, 4, 2, -1);
    p.add_instance(m, layer, doomed, 1, 1);
    InstanceEntity& a = p.add_instance(m, layer, kept, 10.5f, 20.25f);
    a.fh = true;
    a.tcr = 33;
    a.custom_variables[0] = -7;
    a.custom_variables[99] = 32767;
    p.add_instance(m, layer, doomed, 2, 2);
    InstanceEntity& b = p.add_instance(m, layer, kept, 3, 4);
    remove_parent_entity(p.project, &doomed, true);
    attach();
    ASSERT_TRUE(api->SelectMap(0));
    ASSERT_TRUE(api->SelectLayer(0));
    std::uint32_t count = 0;
    ASSERT_TRUE(api->GetNumberOfChildEntities(&count));
    EXPECT_EQ(count, 2u);
    LayerInfo layer_info{};
    ASSERT_TRUE(api->GetLayerInfo(&layer_info, sizeof layer_info));
    EXPECT_EQ(+layer_info.NumberOfChildEntities, 2u);

    ChildEntityInfo info{};
    ASSERT_TRUE(api->SelectChildEntity(0));
    ASSERT_TRUE(api->GetChildEntityInfo(&info, sizeof info));
    EXPECT_EQ(+info.UniqueID, a.uid);
    EXPECT_EQ(+info.ParentIndex, 0u);
    EXPECT_EQ(+info.ParentUserID, 5u);
    EXPECT_EQ(+info.ParentUniqueID, kept.unique_id);
    EXPECT_STREQ(info.ParentName, "Kept");
    EXPECT_FLOAT_EQ(+info.LayerPosX, 10.5f);
    EXPECT_FLOAT_EQ(+info.WorldPosX, 10.5f + 2 * 16);
    EXPECT_FLOAT_EQ(+info.WorldPosY, 20.25f - 1 * 8);
    EXPECT_EQ(+info.FlipH, 1);
    EXPECT_EQ(+info.TriggerCircleRadius, 33u);
    EXPECT_EQ(+info.CustomVariables[0], -7);
    EXPECT_EQ(+info.CustomVariables[99], 32767);

    // Out of order and repeated selects give the same answers as walking in order.
    ASSERT_TRUE(api->SelectChildEntity(1));
    ASSERT_TRUE(api->GetChildEntityInfo(&info, sizeof info));
    EXPECT_EQ(+info.UniqueID, b.uid);
    ASSERT_TRUE(api->SelectChildEntity(0));
    ASSERT_TRUE(api->GetChildEntityInfo(&info, sizeof info));
    EXPECT_EQ(+info.UniqueID, a.uid);
    EXPECT_FALSE(api->SelectChildEntity(2));
    EXPECT_FALSE(api->GetChildEntityInfo(&info, sizeof info));
    EXPECT_TRUE(all_zero(info));
}

TEST_F(ExportHostTest, WorldPositionsEqualLayerPositionsWithoutATileSet) {
    ParentEntity& parent = p.add_parent("P");
    Map& m = p.add_map("M", nullptr);
    Layer& layer = p.add_layer(m, "L", 2, 2, 5, 5);
    p.add_instance(m, layer, parent, 7, 9);
    p.add_path(m, layer, 1, 3, 4, false);
    attach();
    ASSERT_TRUE(api->SelectMap(0));
    ASSERT_TRUE(api->SelectLayer(0));
    ASSERT_TRUE(api->SelectChildEntity(0));
    ChildEntityInfo info{};
    ASSERT_TRUE(api->GetChildEntityInfo(&info, sizeof info));
    EXPECT_FLOAT_EQ(+info.WorldPosX, 7);
    EXPECT_FLOAT_EQ(+info.WorldPosY, 9);
    ASSERT_TRUE(api->SelectPath(0));
    PathPointInfo points[3];
    std::uint32_t written = 0;
    ASSERT_TRUE(api->GetPathPoints(points, 3, &written, sizeof points[0]));
    EXPECT_FLOAT_EQ(+points[1].WorldPosX, 3);
    EXPECT_FLOAT_EQ(+points[1].WorldPosY, 4);
}

TEST_F(ExportHostTest, APathKeepsItsOwnLayerOffsetWhenAnotherLayerIsSelected) {
    TileSet& t = p.add_tile_set("T", 10, 10);
    Map& m = p.add_map("M", &t);
    Layer& first = p.add_layer(m, "First", 1, 1, 3, 0);
    p.add_layer(m, "Second", 1, 1, 0, 0);
    p.add_path(m, first, 1, 5, 5, false);
    attach();
    ASSERT_TRUE(api->SelectMap(0));
    ASSERT_TRUE(api->SelectLayer(0));
    ASSERT_TRUE(api->SelectPath(0));
    ASSERT_TRUE(api->SelectLayer(1));  // the path stays current, on its own layer
    PathPointInfo points[3];
    std::uint32_t written = 0;
    ASSERT_TRUE(api->GetPathPoints(points, 3, &written, sizeof points[0]));
    ASSERT_EQ(written, 3u);
    EXPECT_FLOAT_EQ(+points[1].WorldPosX, 5 + 3 * 10);
    EXPECT_FLOAT_EQ(+points[1].WorldPosY, 5);
}

class ExportHostPathTest : public ExportHostTest {
protected:
    void SetUp() override {
        TileSet& t = p.add_tile_set("T", 10, 20);
        Map& m = p.add_map("M", &t);
        Layer& layer = p.add_layer(m, "L", 2, 2, 1, 1);
        p.add_path(m, layer, 4, 100, 50, true);  // path 0: closed, 4 nodes
        p.add_path(m, layer, 1, 0, 0, false);    // path 1: one node starts and ends
        p.add_path(m, layer, 3, 10, 10, false);  // path 2: open
        attach();
        ASSERT_TRUE(api->SelectMap(0));
        ASSERT_TRUE(api->SelectLayer(0));
    }
};

TEST_F(ExportHostPathTest, PathsAreCountedByTheirStartNodes) {
    LayerInfo layer{};
    ASSERT_TRUE(api->GetLayerInfo(&layer, sizeof layer));
    EXPECT_EQ(+layer.NumberOfPaths, 3u);
    PathInfo info{};
    ASSERT_TRUE(api->SelectPath(0));
    ASSERT_TRUE(api->GetPathInfo(&info, sizeof info));
    EXPECT_EQ(+info.NumberOfPoints, 12u);
    EXPECT_EQ(+info.IsClosed, 1);
    ASSERT_TRUE(api->SelectPath(1));
    ASSERT_TRUE(api->GetPathInfo(&info, sizeof info));
    EXPECT_EQ(+info.NumberOfPoints, 3u);
    EXPECT_EQ(+info.IsClosed, 0);
    ASSERT_TRUE(api->SelectPath(2));
    ASSERT_TRUE(api->GetPathInfo(&info, sizeof info));
    EXPECT_EQ(+info.NumberOfPoints, 9u);
}

TEST_F(ExportHostPathTest, SelectPathPastTheLastPathSucceedsWithNoPathCurrent) {
    ASSERT_TRUE(api->SelectPath(0));
    EXPECT_TRUE(api->SelectPath(3));
    auto info = filled_with_garbage<PathInfo>();
    EXPECT_FALSE(api->GetPathInfo(&info, sizeof info));
    EXPECT_TRUE(all_zero(info));
    std::uint32_t written = 99;
    EXPECT_FALSE(api->GetPathPoints(nullptr, 0, &written, sizeof(PathPointInfo)));
    EXPECT_EQ(written, 0u);
}

TEST_F(ExportHostPathTest, AClosedPathOfFourNodesGivesTwelveRecords) {
    ASSERT_TRUE(api->SelectPath(0));
    std::uint32_t needed = 0;
    ASSERT_TRUE(api->GetPathPoints(nullptr, 0, &needed, sizeof(PathPointInfo)));
    ASSERT_EQ(needed, 12u);
    std::vector<PathPointInfo> points(needed);
    std::uint32_t written = 0;
    ASSERT_TRUE(api->GetPathPoints(points.data(), needed, &written, sizeof(PathPointInfo)));
    ASSERT_EQ(written, 12u);
    for (std::uint32_t i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(+points[i].IsControlPoint, i % 3 != 1 ? 1 : 0);
        EXPECT_EQ(+points[i].IsFirstNode, i == 1 ? 1 : 0);
        EXPECT_EQ(+points[i].IsLastNode, i == 10 ? 1 : 0);
        EXPECT_EQ(+points[i].CustomVariables[0], static_cast<std::int16_t>(i / 3 + 1));
        for (unsigned char byte : points[i].Reserved) ASSERT_EQ(byte, 0);
    }
    // Node 1 sits at (110, 50): first control point, node, second control point; world adds (1 * 10, 1 * 20).
    EXPECT_FLOAT_EQ(+points[3].LayerPosX, 109);
    EXPECT_FLOAT_EQ(+points[3].LayerPosY, 49);
    EXPECT_FLOAT_EQ(+points[4].LayerPosX, 110);
    EXPECT_FLOAT_EQ(+points[4].WorldPosX, 120);
    EXPECT_FLOAT_EQ(+points[4].WorldPosY, 70);
    EXPECT_FLOAT_EQ(+points[5].LayerPosY, 51);
    EXPECT_EQ(+points[0].UniqueID, +points[2].UniqueID);
    EXPECT_NE(+points[0].UniqueID, +points[3].UniqueID);
}

TEST_F(ExportHostPathTest, ACapacityCutMarksTheLastNodeThatFits) {
    ASSERT_TRUE(api->SelectPath(0));
    PathPointInfo points[5];
    std::uint32_t written = 0;
    ASSERT_TRUE(api->GetPathPoints(points, 5, &written, sizeof points[0]));  // cut right after node 1
    ASSERT_EQ(written, 5u);
    EXPECT_EQ(+points[1].IsLastNode, 0);
    EXPECT_EQ(+points[4].IsLastNode, 1);
    EXPECT_EQ(+points[4].IsControlPoint, 0);
    ASSERT_TRUE(api->GetPathPoints(points, 4, &written, sizeof points[0]));  // cut after a control point
    ASSERT_EQ(written, 4u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(+points[i].IsLastNode, 0);
    ASSERT_TRUE(api->GetPathPoints(points, 1, nullptr, sizeof points[0]));  // written is optional
    EXPECT_FALSE(api->GetPathPoints(points, 0, &written, sizeof points[0]));
    EXPECT_FALSE(api->GetPathPoints(nullptr, 0, nullptr, sizeof points[0]));
}

TEST_F(ExportHostTest, ProgressIsTruncatedAddedAndClampedAndForcedUpdatesYield) {
    attach();
    EXPECT_TRUE(api->SetProgress(12.9f, 0, 1));
    EXPECT_TRUE(api->SetProgress(30.7f, 1, 0));
    EXPECT_EQ(host.progress(), 42);
    EXPECT_TRUE(api->SetProgress(-5, 0, 1));
    EXPECT_EQ(host.progress(), 0);
    EXPECT_TRUE(api->SetProgress(90, 0, 1));
    EXPECT_TRUE(api->SetProgress(50, 1, 1));
    EXPECT_EQ(host.progress(), 100);
    EXPECT_TRUE(api->SetProgress(std::numeric_limits<float>::quiet_NaN(), 0, 1));
    EXPECT_EQ(host.progress(), 0);
    EXPECT_TRUE(api->SetProgress(std::numeric_limits<float>::infinity(), 0, 1));
    EXPECT_EQ(host.progress(), 100);
    EXPECT_TRUE(api->SetProgress(-1e30f, 1, 1));
    EXPECT_EQ(host.progress(), 0);
    EXPECT_EQ(feedback.progresses, (std::vector<int>{12, 42, 0, 90, 100, 0, 100, 0}));
    EXPECT_GE(feedback.yields, 7);  // every forced call yields
}

TEST_F(ExportHostTest, CancelAndQuickFlagsReachThePlugIn) {
    attach(true);
    std::uint8_t flag = 7;
    ASSERT_TRUE(api->IsExportCancelled(&flag));
    EXPECT_EQ(flag, 0);
    feedback.cancel = true;
    ASSERT_TRUE(api->IsExportCancelled(&flag));
    EXPECT_EQ(flag, 1);
    ASSERT_TRUE(api->IsQuickExport(&flag));
    EXPECT_EQ(flag, 1);
    host.reset(nullptr, false, nullptr);
    host.attach(p.project, "x");
    ASSERT_TRUE(api->IsQuickExport(&flag));
    EXPECT_EQ(flag, 0);
    ASSERT_TRUE(api->IsExportCancelled(&flag));  // no progress window: never cancelled
    EXPECT_EQ(flag, 0);
}

TEST_F(ExportHostTest, MessagesReachTheStatusLineAndTheLogUpToItsLimit) {
    attach();
    for (int i = 1; i <= 6000; ++i) ASSERT_TRUE(api->AddMessage(("message " + std::to_string(i)).c_str(), 0));
    ASSERT_EQ(log.lines().size(), 5001u);
    EXPECT_EQ(log.lines()[0], "message 1");
    EXPECT_EQ(log.lines()[4999], "message 5000");
    EXPECT_EQ(log.lines()[5000], "The maximum number (5000) of error messages have been reached.");
    EXPECT_EQ(feedback.messages.size(), 6000u);  // the status line sees every message
    EXPECT_EQ(feedback.messages.back(), "message 6000");
}

TEST_F(ExportHostTest, LongMessagesAreCutToALogLine) {
    attach();
    const std::string long_text(5000, 'm');
    ASSERT_TRUE(api->AddMessage(long_text.c_str(), 1));
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0].size(), 4096u);
    EXPECT_EQ(log.clipboard_text(), std::string(4096, 'm') + "\r\n");
    host.reset(nullptr, false, &feedback);  // without a log, messages only reach the status line
    host.attach(p.project, "x");
    ASSERT_TRUE(api->AddMessage("only shown", 0));
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(feedback.messages.back(), "only shown");
}

TEST_F(ExportHostTest, DescriptionsComeInTheSixBlocksOrder) {
    p.project.descriptions_for(ObjectKind::TileSet)[0].desc = "tile";
    p.project.descriptions_for(ObjectKind::Map)[1].desc = "map";
    p.project.descriptions_for(ObjectKind::Layer)[2].desc = "layer";
    p.project.descriptions_for(ObjectKind::ParentEntity)[3].desc = "parent";
    p.project.descriptions_for(ObjectKind::InstanceEntity)[4].desc = "instance";
    p.project.descriptions_for(ObjectKind::PathPoint)[99].desc = "point";
    attach();
    auto block = filled_with_garbage<CustomVariableDescriptions>();
    ASSERT_TRUE(api->GetCustomVariableDescriptions(&block));
    EXPECT_STREQ(block.TileSet[0], "tile");
    EXPECT_STREQ(block.TileSet[1], "Variable02");
    EXPECT_STREQ(block.Map[1], "map");
    EXPECT_STREQ(block.Layer[2], "layer");
    EXPECT_STREQ(block.ParentEntity[3], "parent");
    EXPECT_STREQ(block.InstanceEntity[4], "instance");
    EXPECT_STREQ(block.PathPoint[99], "point");
    EXPECT_STREQ(block.PathPoint[98], "Variable99");
    for (unsigned char byte : block.Reserved) ASSERT_EQ(byte, 0);
}

}  // namespace
}  // namespace zorva
