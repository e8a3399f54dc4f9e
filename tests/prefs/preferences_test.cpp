#include "prefs/preferences.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace zorva {
namespace {

namespace off = pref_offset;

std::vector<std::uint8_t> read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(bytes[offset]) | (static_cast<std::uint32_t>(bytes[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes[offset + 3]) << 24);
}

void put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A record file of another kind: every byte a pattern value, so moved or lost bytes show.
std::vector<std::uint8_t> patterned_file() {
    std::vector<std::uint8_t> bytes(kPreferencesSize);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + 3) & 0xFF);
    return bytes;
}

// ---- defaults ----

TEST(PreferencesDefaults, EveryListedOffsetHoldsItsDefault) {
    Preferences prefs;
    const auto& b = prefs.bytes();
    std::vector<std::uint8_t> bytes(b.begin(), b.end());

    EXPECT_EQ(le32(bytes, 0), 0xFCB7F73Fu);
    EXPECT_EQ(le32(bytes, 68), 0x00640000u);  // (0, 0, 100)
    EXPECT_EQ(le32(bytes, 72), 0x0000FFFFu);  // (255, 255, 0)
    EXPECT_EQ(le32(bytes, 76), 50u);
    EXPECT_EQ(le32(bytes, 80), 32u);
    EXPECT_EQ(le32(bytes, 84), 32u);
    for (std::size_t o : {88, 92, 96, 100}) EXPECT_EQ(le32(bytes, o), 0u) << o;
    EXPECT_EQ(le32(bytes, 104), 0x0000FF00u);
    EXPECT_EQ(le32(bytes, 108), 10u);
    EXPECT_EQ(le32(bytes, 112), 10u);
    EXPECT_EQ(le32(bytes, 116), 0x3F800000u);  // 1.0f
    EXPECT_EQ(le32(bytes, 120), 0x3F800000u);
    EXPECT_EQ(le32(bytes, 124), 0u);
    EXPECT_EQ(le32(bytes, 908), 0x00FFFFFFu);
    EXPECT_EQ(le32(bytes, 912), 0u);
    EXPECT_EQ(le32(bytes, 916), 0u);
    EXPECT_EQ(le32(bytes, 920), 0u);
    EXPECT_EQ(le32(bytes, 924), 1u);
    EXPECT_EQ(le32(bytes, 1708), 0x0064C8C8u);  // (200, 200, 100)
    EXPECT_EQ(le32(bytes, 1712), 0x003232F0u);  // (240, 50, 50)
    EXPECT_EQ(le32(bytes, 1716), 0x00C86464u);  // (100, 100, 200)
    EXPECT_EQ(le32(bytes, 1720), 0x00FFC8C8u);  // (200, 200, 255)
    EXPECT_EQ(le32(bytes, 1724), 0u);
    EXPECT_EQ(le32(bytes, 1728), 0u);
    for (std::size_t o = 1732; o < 1844; o += 4) EXPECT_EQ(le32(bytes, o), 0xFFFFFFFFu) << o;
    EXPECT_EQ(le32(bytes, 1844), 0x00142A00u);
    EXPECT_EQ(le32(bytes, 1848), 0u);
    EXPECT_EQ(le32(bytes, 1852), 0x0000C800u);  // (0, 200, 0)
    EXPECT_EQ(le32(bytes, 1856), 32u);
    EXPECT_EQ(le32(bytes, 2640), 0x00DCDCDCu);
    EXPECT_EQ(le32(bytes, 2644), 0u);           // 0.0f
    EXPECT_EQ(le32(bytes, 2648), 0x42C80000u);  // 100.0f
    EXPECT_EQ(le32(bytes, 5772), 16u);
    EXPECT_EQ(le32(bytes, 5776), 16u);
    EXPECT_EQ(le32(bytes, 5780), 100u);
    EXPECT_EQ(le32(bytes, 5784), 100u);
    EXPECT_EQ(le32(bytes, 5788), 0u);
    EXPECT_EQ(le32(bytes, 5792), 0u);
    EXPECT_EQ(le32(bytes, 5796), 0x1084u);
    for (std::size_t o = 5800; o < 5816; o += 4) EXPECT_EQ(le32(bytes, o), 0u) << o;
    EXPECT_EQ(le32(bytes, 6076), 0u);
    EXPECT_EQ(le32(bytes, 6080), 32u);
    EXPECT_EQ(le32(bytes, 6084), 32u);
    for (std::size_t o : {6088, 6092, 6096, 6100, 6104}) EXPECT_EQ(le32(bytes, o), 0u) << o;
    EXPECT_EQ(le32(bytes, 6108), 0x00FFFFFFu);

    // Texts and unlisted stretches are zero.
    for (std::size_t o : {std::size_t{4}, std::size_t{128}, std::size_t{388}, std::size_t{648},
                          std::size_t{928}, std::size_t{1188}, std::size_t{1448}, std::size_t{1860},
                          std::size_t{2652}, std::size_t{5252}, std::size_t{5512}, std::size_t{5816}}) {
        EXPECT_EQ(le32(bytes, o), 0u) << o;
    }
}

TEST(PreferencesDefaults, TypedAccessorsReadTheDefaults) {
    Preferences prefs;
    EXPECT_TRUE(prefs.flag(FlagA::ViewGrid));
    EXPECT_FALSE(prefs.flag(FlagA::SnapToGrid));
    EXPECT_FALSE(prefs.flag(FlagA::DisableTransparentImages));
    EXPECT_FALSE(prefs.flag(FlagA::TileSetUseTransparentColour));
    EXPECT_FALSE(prefs.flag(FlagA::ViewPathPointNormals));
    EXPECT_FALSE(prefs.flag(FlagA::ViewPathPointVorelNormals));
    EXPECT_TRUE(prefs.flag(FlagA::ProjectDialogsOfferXmlFirst));
    EXPECT_TRUE(prefs.flag(FlagA::SwitchToMoveWhenSelecting));
    EXPECT_EQ(prefs.grid_type(), GridType::Dots);
    EXPECT_FALSE(prefs.view_entities_custom_variables());
    EXPECT_EQ(prefs.recent_count(), 4u);
    EXPECT_EQ(prefs.backup_interval_minutes(), 5u);
    EXPECT_EQ(prefs.max_backup_files(), 5u);
    EXPECT_FALSE(prefs.flag(FlagC::SortWhenDrawingEntities));
    EXPECT_FALSE(prefs.flag(FlagC::EntityUseTransparentColour));
    EXPECT_EQ(prefs.colour(PrefColour::Background), rgb(0, 0, 100));
    EXPECT_EQ(prefs.colour(PrefColour::Triggers), rgb(220, 220, 220));
    EXPECT_EQ(prefs.undo_count(), 50);
    EXPECT_EQ(prefs.path_normals_length(), 32u);
    EXPECT_EQ(prefs.last_image_kind(), 1);
    EXPECT_FLOAT_EQ(prefs.last_scale_percent(), 100.0f);
    EXPECT_EQ(prefs.tool_window_rect(ToolWindow::Mosaics), WindowRect{});
    EXPECT_FALSE(prefs.tool_window_rect_stored(ToolWindow::Maps));
    EXPECT_TRUE(prefs.recent_projects().empty());

    const ProjectDefaults d = prefs.project_defaults();
    const ProjectDefaults plain;
    EXPECT_EQ(d.tile_width, plain.tile_width);
    EXPECT_EQ(d.layer_grid_width, plain.layer_grid_width);
    EXPECT_FLOAT_EQ(d.layer_scroll_speed_y, plain.layer_scroll_speed_y);
    EXPECT_EQ(d.frame_height, plain.frame_height);
}

TEST(PreferencesDefaults, LastProjectFolderFallsBackToTheExamplesInTheDataFolder) {
    Preferences prefs;
    EXPECT_EQ(prefs.last_project_folder("/data/zorva"), "/data/zorva/Examples/SampleProjects/");
    EXPECT_EQ(prefs.last_project_folder("/data/zorva/"), "/data/zorva/Examples/SampleProjects/");
    prefs.set_last_project_folder("/home/me/games/");
    EXPECT_EQ(prefs.last_project_folder("/data/zorva"), "/home/me/games/");
}

// ---- typed fields ----

TEST(PreferencesFields, FlagsTouchOnlyTheirOwnBit) {
    Preferences prefs;
    prefs.set_flag(FlagA::SnapToGrid, true);
    EXPECT_EQ(prefs.u32(off::kFlagsA), 0xFCB7F73Fu | (1u << 11));
    prefs.set_flag(FlagA::SwitchToMoveWhenSelecting, false);
    EXPECT_EQ(prefs.u32(off::kFlagsA), (0xFCB7F73Fu | (1u << 11)) & ~(1u << 31));
    prefs.set_grid_type(GridType::SolidLines);
    EXPECT_EQ((prefs.u32(off::kFlagsA) >> 6) & 3u, 2u);
    EXPECT_TRUE(prefs.flag(FlagA::ShowTilesWindow));  // bit 8 right above the grid type

    prefs.set_flag(FlagC::ViewPathLineNormals, true);
    EXPECT_EQ(prefs.u32(off::kFlagsC), 0x00142A00u | (1u << 28));
    prefs.set_tool_window_rect_stored(ToolWindow::Mosaics, true);
    EXPECT_TRUE(prefs.tool_window_rect_stored(ToolWindow::Mosaics));
    EXPECT_EQ(prefs.u32(off::kFlagsC) & 0x7Fu, 1u << 6);
    EXPECT_EQ(prefs.recent_count(), 4u);

    prefs.set_bezier_smoothness(100);
    prefs.set_view_entities_custom_variables(true);
    EXPECT_EQ(prefs.u32(off::kFlagsB), (100u << 2) | (1u << 9));
    EXPECT_EQ(prefs.bezier_smoothness(), 100u);
}

TEST(PreferencesFields, UndefinedGridTypeReadsAsDots) {
    Preferences prefs;
    prefs.set_u32(off::kFlagsA, prefs.u32(off::kFlagsA) | (3u << 6));
    EXPECT_EQ(prefs.grid_type(), GridType::Dots);
}

TEST(PreferencesFields, CountSettersClampIntoTheirRanges) {
    Preferences prefs;
    prefs.set_recent_count(0);
    EXPECT_EQ(prefs.recent_count_raw(), 1u);
    prefs.set_recent_count(15);
    EXPECT_EQ(prefs.recent_count_raw(), 10u);
    prefs.set_backup_interval_minutes(500);
    EXPECT_EQ(prefs.backup_interval_raw(), 120u);
    prefs.set_max_backup_files(2);
    EXPECT_EQ(prefs.max_backup_files_raw(), 5u);
    prefs.set_max_backup_files(101);
    EXPECT_EQ(prefs.max_backup_files_raw(), 100u);
    // The neighbours are untouched.
    EXPECT_EQ(prefs.recent_count_raw(), 10u);
    EXPECT_EQ(prefs.backup_interval_raw(), 120u);
    EXPECT_EQ(prefs.u32(off::kFlagsC) >> 25, 0u);
}

TEST(PreferencesFields, NumbersAreClampedOnlyWhereUsed) {
    Preferences prefs;
    prefs.set_undo_count(1);
    EXPECT_EQ(prefs.undo_count(), 1);
    EXPECT_EQ(prefs.undo_count_clamped(), 5);
    prefs.set_undo_count(-7);
    EXPECT_EQ(prefs.undo_count_clamped(), 5);
    prefs.set_undo_count(100000);
    EXPECT_EQ(prefs.undo_count_clamped(), 200);
    prefs.set_undo_count(77);
    EXPECT_EQ(prefs.undo_count_clamped(), 77);

    prefs.set_path_normals_length(0);
    EXPECT_EQ(prefs.path_normals_length_clamped(), 8u);
    prefs.set_path_normals_length(0xFFFFFFFFu);
    EXPECT_EQ(prefs.path_normals_length_clamped(), 65535u);

    prefs.set_custom_variables_editor_index(250);
    EXPECT_EQ(prefs.custom_variables_editor_index(), 99);
    prefs.set_custom_variables_editor_index(-1);
    EXPECT_EQ(prefs.custom_variables_editor_index(), 0);
}

TEST(PreferencesFields, TextsAreCutAndTerminated) {
    Preferences prefs;
    std::string long_text(400, 'x');
    prefs.set_text(off::kLastImageFolder, long_text);
    EXPECT_EQ(prefs.last_image_folder(), std::string(259, 'x'));
    EXPECT_EQ(prefs.bytes()[off::kLastImageFolder + 259], 0);
    EXPECT_EQ(prefs.bytes()[off::kSelectionColour], 0xFF);  // the next field is untouched

    prefs.set_text(off::kLastImageFolder, "short");
    EXPECT_EQ(prefs.last_image_folder(), "short");
    EXPECT_EQ(prefs.bytes()[off::kLastImageFolder + 6], 0);  // the old tail is cleared

    // A field without a terminator from a foreign file reads as 259 characters.
    for (std::size_t i = 0; i < kPreferencesTextSize; ++i) prefs.bytes()[off::kLastImageFolder + i] = 'y';
    EXPECT_EQ(prefs.last_image_folder(), std::string(259, 'y'));
}

TEST(PreferencesFields, ColoursAndProjectDefaultsRoundTrip) {
    Preferences prefs;
    prefs.set_colour(PrefColour::PathNormals, 0xFF123456u);
    EXPECT_EQ(prefs.colour(PrefColour::PathNormals), 0x00123456u);
    EXPECT_EQ(prefs.u32(1852), 0x00123456u);

    ProjectDefaults d;
    d.tile_width = 16;
    d.tile_height = 24;
    d.tile_offset_x = 1;
    d.tile_offset_y = 2;
    d.tile_spacing_x = 3;
    d.tile_spacing_y = 4;
    d.tile_set_use_transparent_colour = true;
    d.tile_set_transparent_colour = rgb(255, 0, 255);
    d.layer_grid_width = 200;
    d.layer_grid_height = 300;
    d.layer_scroll_speed_x = 0.5f;
    d.layer_scroll_speed_y = 2.25f;
    d.layer_grid_offset_x = -5;
    d.layer_grid_offset_y = 7;
    d.frame_width = 48;
    d.frame_height = 64;
    d.frame_offset_x = 8;
    d.frame_offset_y = 9;
    d.frame_spacing_x = 10;
    d.frame_spacing_y = 11;
    d.entity_use_transparent_colour = true;
    d.entity_transparent_colour = rgb(1, 2, 3);
    prefs.store_project_defaults(d);

    EXPECT_EQ(prefs.i32(84), 24);
    EXPECT_EQ(prefs.i32(912), -5);
    EXPECT_EQ(prefs.u32(1848), 0x00FF00FFu);
    EXPECT_EQ(prefs.u32(6104), 0x00030201u);
    EXPECT_TRUE(prefs.u32(off::kFlagsA) & (1u << 22));
    EXPECT_TRUE(prefs.u32(off::kFlagsC) & (1u << 29));

    const ProjectDefaults back = prefs.project_defaults();
    EXPECT_EQ(back.tile_spacing_y, 4);
    EXPECT_TRUE(back.tile_set_use_transparent_colour);
    EXPECT_EQ(back.tile_set_transparent_colour, rgb(255, 0, 255));
    EXPECT_EQ(back.layer_grid_height, 300);
    EXPECT_FLOAT_EQ(back.layer_scroll_speed_x, 0.5f);
    EXPECT_FLOAT_EQ(back.layer_scroll_speed_y, 2.25f);
    EXPECT_EQ(back.layer_grid_offset_y, 7);
    EXPECT_EQ(back.frame_offset_x, 8);
    EXPECT_EQ(back.frame_spacing_y, 11);
    EXPECT_TRUE(back.entity_use_transparent_colour);
    EXPECT_EQ(back.entity_transparent_colour, rgb(1, 2, 3));
}

// ---- reset ----

TEST(PreferencesReset, PartialResetRestoresSettingsButKeepsWhatTheUserBuiltUp) {
    Preferences prefs;
    // Change everything that a partial reset puts back ...
    for (std::size_t i = 0; i < kPrefColourCount; ++i)
        prefs.set_colour(static_cast<PrefColour>(i), 0x00010203u);
    prefs.set_undo_count(9);
    prefs.set_path_normals_length(99);
    prefs.set_grid_type(GridType::SolidLines);
    for (FlagA f : {FlagA::AllowDialogsOffScreen, FlagA::InvertCursorKeys, FlagA::AskWhenDeletingMosaics,
                    FlagA::AskWhenDiscardingPathChanges, FlagA::AskWhenChangingMultipleCustomVariables,
                    FlagA::SwitchToMoveOverSelection, FlagA::EnableAutoBackup, FlagA::EnableMouseWheelZoom,
                    FlagA::SwitchToMoveWhenSelecting}) {
        prefs.set_flag(f, false);
    }
    prefs.set_flag(FlagA::DisableTransparentImages, true);
    prefs.set_recent_count(9);
    prefs.set_backup_interval_minutes(60);
    prefs.set_max_backup_files(50);
    prefs.set_flag(FlagC::AllowEntitiesOnTopOfEachOther, true);
    prefs.set_flag(FlagC::ZoomChangePromptsSave, true);

    // ... and everything it keeps.
    prefs.add_recent("/p/one.xml");
    prefs.add_recent("/p/two.zvp");
    prefs.set_flag(FlagA::ViewGrid, false);
    prefs.set_flag(FlagA::ShowMapsWindow, false);
    prefs.set_flag(FlagA::SnapToGrid, true);
    prefs.set_flag(FlagA::ProjectDialogsOfferXmlFirst, false);
    prefs.set_flag(FlagC::SortWhenDrawingEntities, true);
    prefs.set_flag(FlagC::ViewPathLineNormals, true);
    prefs.set_view_entities_custom_variables(true);
    prefs.set_tool_window_rect(ToolWindow::Layers, WindowRect{1, 2, 3, 4});
    prefs.set_tool_window_rect_stored(ToolWindow::Layers, true);
    prefs.set_last_image_folder("/img/");
    prefs.set_last_image_kind(2);
    ProjectDefaults d;
    d.tile_width = 8;
    d.tile_set_use_transparent_colour = true;
    d.tile_set_transparent_colour = rgb(9, 9, 9);
    prefs.store_project_defaults(d);
    prefs.set_u32(off::kImportValues, 1234);
    prefs.set_u32(200, 0xDEADBEEFu);  // an unlisted stretch

    prefs.reset(false);

    for (std::size_t i = 0; i < kPrefColourCount; ++i) {
        EXPECT_EQ(prefs.colour(static_cast<PrefColour>(i)), Preferences().colour(static_cast<PrefColour>(i)))
            << i;
    }
    EXPECT_EQ(prefs.undo_count(), 50);
    EXPECT_EQ(prefs.path_normals_length(), 32u);
    EXPECT_EQ(prefs.grid_type(), GridType::Dots);
    EXPECT_TRUE(prefs.flag(FlagA::InvertCursorKeys));
    EXPECT_TRUE(prefs.flag(FlagA::EnableAutoBackup));
    EXPECT_TRUE(prefs.flag(FlagA::SwitchToMoveWhenSelecting));
    EXPECT_FALSE(prefs.flag(FlagA::DisableTransparentImages));
    EXPECT_EQ(prefs.recent_count(), 4u);
    EXPECT_EQ(prefs.backup_interval_minutes(), 5u);
    EXPECT_EQ(prefs.max_backup_files(), 5u);
    EXPECT_FALSE(prefs.flag(FlagC::AllowEntitiesOnTopOfEachOther));
    EXPECT_FALSE(prefs.flag(FlagC::ZoomChangePromptsSave));

    EXPECT_EQ(prefs.recent_entry(0), "/p/two.zvp");
    EXPECT_EQ(prefs.recent_entry(1), "/p/one.xml");
    EXPECT_FALSE(prefs.flag(FlagA::ViewGrid));
    EXPECT_FALSE(prefs.flag(FlagA::ShowMapsWindow));
    EXPECT_TRUE(prefs.flag(FlagA::SnapToGrid));
    EXPECT_FALSE(prefs.flag(FlagA::ProjectDialogsOfferXmlFirst));
    EXPECT_TRUE(prefs.flag(FlagC::SortWhenDrawingEntities));
    EXPECT_TRUE(prefs.flag(FlagC::ViewPathLineNormals));
    EXPECT_TRUE(prefs.view_entities_custom_variables());
    EXPECT_EQ(prefs.tool_window_rect(ToolWindow::Layers), (WindowRect{1, 2, 3, 4}));
    EXPECT_TRUE(prefs.tool_window_rect_stored(ToolWindow::Layers));
    EXPECT_EQ(prefs.last_image_folder(), "/img/");
    EXPECT_EQ(prefs.last_image_kind(), 2);
    EXPECT_EQ(prefs.project_defaults().tile_width, 8);
    EXPECT_TRUE(prefs.project_defaults().tile_set_use_transparent_colour);
    EXPECT_EQ(prefs.project_defaults().tile_set_transparent_colour, rgb(9, 9, 9));
    EXPECT_EQ(prefs.u32(off::kImportValues), 1234u);
    EXPECT_EQ(prefs.u32(200), 0xDEADBEEFu);
}

TEST(PreferencesReset, FullResetClearsEverything) {
    Preferences prefs;
    prefs.bytes().fill(0xAB);
    prefs.reset(true);
    EXPECT_EQ(prefs, Preferences());
    EXPECT_EQ(prefs.u32(200), 0u);
}

// ---- load and save ----

class PreferencesFile : public ::testing::Test {
protected:
    test::TempDir dir_;
    std::filesystem::path file_ = Preferences::settings_file(dir_.path());
};

TEST_F(PreferencesFile, MissingFileLeavesTheDefaults) {
    Preferences prefs;
    prefs.set_undo_count(3);
    EXPECT_FALSE(prefs.load(file_));
    EXPECT_EQ(prefs, Preferences());
}

TEST_F(PreferencesFile, AFolderInPlaceOfTheFileLeavesTheDefaults) {
    std::filesystem::create_directory(file_);
    Preferences prefs;
    EXPECT_FALSE(prefs.load(file_));
    EXPECT_EQ(prefs, Preferences());
}

TEST_F(PreferencesFile, LoadCorrectsViewOptionsAndCounts) {
    Preferences written;
    written.set_flag(FlagA::ViewPaths, false);
    written.set_flag(FlagA::ViewEntities, false);
    written.set_flag(FlagA::ViewTileAttributes, false);
    written.set_flag(FlagA::ViewGrid, false);  // not corrected
    // Counts out of range, written straight into the bit fields.
    std::uint32_t c = written.u32(off::kFlagsC) & ~((0xFu << 7) | (0x7Fu << 11) | (0x7Fu << 18));
    written.set_u32(off::kFlagsC, c | (0u << 7) | (0u << 11) | (2u << 18));
    ASSERT_TRUE(written.save(file_));

    Preferences prefs;
    ASSERT_TRUE(prefs.load(file_));
    EXPECT_TRUE(prefs.flag(FlagA::ViewPaths));
    EXPECT_TRUE(prefs.flag(FlagA::ViewEntities));
    EXPECT_TRUE(prefs.flag(FlagA::ViewTileAttributes));
    EXPECT_FALSE(prefs.flag(FlagA::ViewGrid));
    EXPECT_EQ(prefs.recent_count_raw(), 1u);
    EXPECT_EQ(prefs.backup_interval_raw(), 1u);
    EXPECT_EQ(prefs.max_backup_files_raw(), 5u);

    // The upper ends.
    written.set_u32(off::kFlagsC, c | (15u << 7) | (127u << 11) | (127u << 18));
    ASSERT_TRUE(written.save(file_));
    ASSERT_TRUE(prefs.load(file_));
    EXPECT_EQ(prefs.recent_count_raw(), 10u);
    EXPECT_EQ(prefs.backup_interval_raw(), 120u);
    EXPECT_EQ(prefs.max_backup_files_raw(), 100u);
}

TEST_F(PreferencesFile, RecentCountZeroShowsOneEntry) {
    Preferences written;
    written.add_recent("/a.xml");
    written.add_recent("/b.xml");
    written.set_u32(off::kFlagsC, written.u32(off::kFlagsC) & ~(0xFu << 7));
    ASSERT_TRUE(written.save(file_));
    Preferences prefs;
    ASSERT_TRUE(prefs.load(file_));
    EXPECT_EQ(prefs.recent_projects(), std::vector<std::string>{"/b.xml"});
}

TEST_F(PreferencesFile, UnknownBytesSurviveLoadAndSaveByteForByte) {
    std::vector<std::uint8_t> original = patterned_file();
    // Keep the corrected fields at values the corrections leave alone, so the whole file must come back.
    std::uint32_t a = le32(original, 0) | (1u << 12) | (1u << 13) | (1u << 18);
    put32(original, 0, a);
    std::uint32_t c = le32(original, 1844) & ~((0xFu << 7) | (0x7Fu << 11) | (0x7Fu << 18));
    put32(original, 1844, c | (7u << 7) | (30u << 11) | (40u << 18));
    write_file(file_, original);

    Preferences prefs;
    ASSERT_TRUE(prefs.load(file_));
    ASSERT_TRUE(prefs.save(file_));
    EXPECT_EQ(read_file(file_), original);
}

TEST_F(PreferencesFile, CorrectionsChangeOnlyTheirOwnBits) {
    std::vector<std::uint8_t> original = patterned_file();
    put32(original, 0, 0);
    put32(original, 1844, 0xFFFFFFFFu);  // recent 15, interval 127, max 127, all single bits on
    write_file(file_, original);

    Preferences prefs;
    ASSERT_TRUE(prefs.load(file_));
    ASSERT_TRUE(prefs.save(file_));
    std::vector<std::uint8_t> saved = read_file(file_);
    ASSERT_EQ(saved.size(), kPreferencesSize);
    EXPECT_EQ(le32(saved, 0), (1u << 12) | (1u << 13) | (1u << 18));
    EXPECT_EQ(le32(saved, 1844), 0xFE00007Fu | (10u << 7) | (120u << 11) | (100u << 18));
    put32(saved, 0, 0);
    put32(saved, 1844, 0xFFFFFFFFu);
    EXPECT_EQ(saved, original);
}

TEST_F(PreferencesFile, ShortFileReplacesOnlyItsLength) {
    std::vector<std::uint8_t> bytes(100, 0);
    put32(bytes, 0, 0xFFFFFFFFu);
    put32(bytes, 76, 123);
    put32(bytes, 96, 0x11223344u);  // the file ends in the middle of this field
    bytes.resize(98);
    write_file(file_, bytes);

    Preferences prefs;
    ASSERT_TRUE(prefs.load(file_));
    EXPECT_EQ(prefs.u32(0), 0xFFFFFFFFu);
    EXPECT_EQ(prefs.undo_count(), 123);
    EXPECT_EQ(prefs.colour(PrefColour::Background), 0u);  // offset 68 came from the file
    EXPECT_EQ(prefs.u32(96), 0x00003344u);                // half from the file, half the default 0
    EXPECT_EQ(prefs.u32(100), 0u);
    EXPECT_EQ(prefs.colour(PrefColour::TilesDialogSelection), rgb(0, 255, 0));  // offset 104: default
    EXPECT_EQ(prefs.i32(108), 10);
    EXPECT_EQ(prefs.u32(off::kFlagsC), 0x00142A00u);
}

TEST_F(PreferencesFile, EmptyFileGivesTheDefaults) {
    write_file(file_, {});
    Preferences prefs;
    EXPECT_TRUE(prefs.load(file_));
    EXPECT_EQ(prefs, Preferences());
}

TEST_F(PreferencesFile, LongerFileReadsOnlyTheRecord) {
    std::vector<std::uint8_t> bytes = patterned_file();
    bytes.resize(kPreferencesSize + 500, 0xEE);
    write_file(file_, bytes);
    Preferences prefs;
    ASSERT_TRUE(prefs.load(file_));
    EXPECT_EQ(prefs.bytes()[6111], bytes[6111]);
    ASSERT_TRUE(prefs.save(file_));
    EXPECT_EQ(read_file(file_).size(), kPreferencesSize);
}

TEST_F(PreferencesFile, SaveWritesTheWholeRecordAndLeavesNoTemporaryFile) {
    Preferences prefs;
    prefs.add_recent("/x/level.xml");
    ASSERT_TRUE(prefs.save(file_));
    std::vector<std::uint8_t> saved = read_file(file_);
    ASSERT_EQ(saved.size(), kPreferencesSize);
    EXPECT_TRUE(std::equal(saved.begin(), saved.end(), prefs.bytes().begin()));
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.path())) ++files;
    EXPECT_EQ(files, 1u);
}

TEST_F(PreferencesFile, SaveCreatesAMissingDataFolder) {
    std::filesystem::path nested = dir_.path() / "a" / "b" / kSettingsFileName;
    ASSERT_TRUE(Preferences().save(nested));
    EXPECT_EQ(read_file(nested).size(), kPreferencesSize);
}

TEST_F(PreferencesFile, FailedSaveReportsFalseAndKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
    Preferences first;
    first.set_undo_count(77);
    ASSERT_TRUE(first.save(file_));
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0555), 0);
    Preferences second;
    EXPECT_FALSE(second.save(file_));
    ::chmod(dir_.path().c_str(), 0755);
    Preferences back;
    ASSERT_TRUE(back.load(file_));
    EXPECT_EQ(back.undo_count(), 77);
}

TEST_F(PreferencesFile, SaveOverAFolderFailsAndLeavesNoTemporaryFile) {
    std::filesystem::create_directory(file_);
    write_file(file_ / "inside", {1, 2, 3});
    EXPECT_FALSE(Preferences().save(file_));
    EXPECT_TRUE(std::filesystem::is_directory(file_));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.path())) ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST_F(PreferencesFile, SaveBelowAFileFails) {
    write_file(dir_.path() / "plain", {1});
    EXPECT_FALSE(Preferences().save(dir_.path() / "plain" / kSettingsFileName));
}

TEST_F(PreferencesFile, LoadBytesMatchesLoadingAFile) {
    std::vector<std::uint8_t> bytes = patterned_file();
    bytes.resize(3000);
    write_file(file_, bytes);
    Preferences from_file;
    ASSERT_TRUE(from_file.load(file_));
    Preferences from_memory;
    from_memory.load_bytes(bytes.data(), bytes.size());
    EXPECT_EQ(from_file, from_memory);
}

// ---- recent projects ----

TEST(PreferencesRecent, NewPathsGoFirstAndTheLastOfNIsDropped) {
    Preferences prefs;
    prefs.set_recent_count(3);
    for (const char* p : {"/1.xml", "/2.xml", "/3.xml", "/4.xml", "/5.xml"}) prefs.add_recent(p);
    EXPECT_EQ(prefs.recent_projects(), (std::vector<std::string>{"/5.xml", "/4.xml", "/3.xml"}));
    // Entries beyond the count are left alone.
    EXPECT_EQ(prefs.recent_entry(3), "");
}

TEST(PreferencesRecent, AnExistingEntryMovesToTheFrontIgnoringCase) {
    Preferences prefs;
    prefs.set_recent_count(4);
    for (const char* p : {"/a.xml", "/b.xml", "/c.xml", "/d.xml"}) prefs.add_recent(p);
    prefs.add_recent("/B.XML");
    EXPECT_EQ(prefs.recent_projects(), (std::vector<std::string>{"/B.XML", "/d.xml", "/c.xml", "/a.xml"}));
    prefs.add_recent("/B.xml");  // already first
    EXPECT_EQ(prefs.recent_projects(), (std::vector<std::string>{"/B.xml", "/d.xml", "/c.xml", "/a.xml"}));
    prefs.add_recent("/a.xml");  // the last one
    EXPECT_EQ(prefs.recent_projects(), (std::vector<std::string>{"/a.xml", "/B.xml", "/d.xml", "/c.xml"}));
}

TEST(PreferencesRecent, OnlyTheFirstNEntriesAreSearched) {
    Preferences prefs;
    prefs.set_recent_count(10);
    for (int i = 0; i < 10; ++i) prefs.add_recent("/p" + std::to_string(i));
    prefs.set_recent_count(3);  // "/p6" is now in entry 3, beyond the count
    prefs.add_recent("/p6");
    EXPECT_EQ(prefs.recent_entry(0), "/p6");
    EXPECT_EQ(prefs.recent_entry(1), "/p9");
    EXPECT_EQ(prefs.recent_entry(2), "/p8");
    EXPECT_EQ(prefs.recent_entry(3), "/p6");  // untouched
}

TEST(PreferencesRecent, EmptyEntriesAreSkippedAndLongPathsAreCut) {
    Preferences prefs;
    prefs.set_recent_count(5);
    prefs.add_recent("/only.xml");
    EXPECT_EQ(prefs.recent_projects(), std::vector<std::string>{"/only.xml"});
    prefs.add_recent("");
    EXPECT_EQ(prefs.recent_projects(), std::vector<std::string>{"/only.xml"});

    std::string long_path = "/" + std::string(300, 'q');
    prefs.add_recent(long_path);
    prefs.add_recent(long_path);  // the cut text is recognised as already present
    EXPECT_EQ(prefs.recent_projects().size(), 2u);
    EXPECT_EQ(prefs.recent_entry(0).size(), 259u);
}

}  // namespace
}  // namespace zorva
