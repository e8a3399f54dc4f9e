// The rules behind the properties dialogs and the custom variables editor, without widgets: typed numbers,
// the layer size rules, the frame warning, the image path field with real files, the "Load Image" chooser,
// the preview's colour pick, and the custom variables editor's state.
#include "app/properties_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "app/custom_variables_edit.h"
#include "app/image_chooser.h"
#include "editor_test_support.h"
#include "image/image_loader.h"
#include "object_test_support.h"
#include "prefs/preferences.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

TEST(PropertiesRules, TypedNumbersAreClampedAndLayerSizesFollowTheirRules) {
    EXPECT_EQ(parse_clamped(" 42 ", 0, 100, -1), 42);
    EXPECT_EQ(parse_clamped("-7", -10, 10, 0), -7);
    EXPECT_EQ(parse_clamped("4000000000", 0, 4294967295LL, 0), 4000000000LL);
    EXPECT_EQ(parse_clamped("99999999999999999999999", 0, 255, 0), 255);
    EXPECT_EQ(parse_clamped("-99999999999999999999999", 4, 255, 0), 4);
    EXPECT_EQ(parse_clamped("12x", 0, 100, -1), -1);
    EXPECT_EQ(parse_clamped("", 0, 100, 9), 9);
    EXPECT_EQ(parse_float("1,5", 0), 1.5f);
    EXPECT_EQ(parse_float("abc", 2), 2.0f);
    EXPECT_EQ(format_float(1.5f), "1.5");
    EXPECT_EQ(format_float(1.0f), "1");

    EXPECT_EQ(layer_dimension(0), 1);
    EXPECT_EQ(layer_dimension(-5), 1);
    EXPECT_EQ(layer_dimension(9000000000LL), 0x7FFFFFFF);
    EXPECT_TRUE(layer_size_is_big(2001, 2000));
    EXPECT_FALSE(layer_size_is_big(2000, 2000));
    EXPECT_TRUE(layer_size_is_big(0x7FFFFFFF, 0x7FFFFFFF));
}

TEST(PropertiesRules, FrameWarningNamesEachSideThatDoesNotFit) {
    ParentEntityProperties entity;
    Image image;
    entity.single_frame_pixel_width = 40;
    EXPECT_EQ(frame_size_warning(entity, image), "");  // no image loaded
    ASSERT_TRUE(image.allocate(32, 16));
    image.kind = ImageKind::Png;
    EXPECT_EQ(frame_size_warning(entity, image),
              "The frame width is greater than the image width.\n\n"
              "The frame height is greater than the image height.\n\n");
    entity.single_frame_pixel_width = 32;
    entity.single_frame_pixel_height = 16;
    EXPECT_EQ(frame_size_warning(entity, image), "");

    TileCount count{2, 1, 2};
    image.stored_width = 32;
    image.stored_height = 16;
    image.stored_depth = 24;
    const ImageFacts facts = image_facts(image, count, "frames");
    EXPECT_EQ(facts.size, "Image size:  32 x 16");
    EXPECT_EQ(facts.depth, "Colour Depth: 24");
    EXPECT_EQ(facts.count, "Number of frames:  2");
    EXPECT_EQ(facts.across, "Number of frames across:  2");
    EXPECT_EQ(facts.down, "Number of frames down:  1");
}

TEST(PropertiesRules, ImageFieldLoadsRealFilesAndKeepsThePreviousPathOnFailure) {
    test::TempDir dir;
    test::ScriptedPlatform platform;
    const std::string tiles = dir.file("tiles.png");
    ASSERT_TRUE(test::write_tiles_png(tiles, 4, 2, 16));
    test::write_file(dir.file("broken.png"), test::Bytes{'n', 'o', 't'});
    test::write_file(dir.file("notes.txt"), test::Bytes{'x'});

    Image image;
    ImageFieldResult r = leave_image_field("", tiles, image, false, 0, platform);
    EXPECT_TRUE(r.loaded);
    EXPECT_EQ(r.text, tiles);
    EXPECT_EQ(image.width, 64);
    EXPECT_TRUE(platform.shown.empty());

    r = leave_image_field(tiles, dir.file("broken.png"), image, false, 0, platform);
    EXPECT_FALSE(r.loaded);
    EXPECT_EQ(r.text, tiles);
    EXPECT_EQ(image.width, 64);  // the previous picture stays
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Failed to load the image:\n\n" + dir.file("broken.png") + "\n\n");
    EXPECT_EQ(platform.shown[0].caption, "Error");

    r = leave_image_field(tiles, dir.file("notes.txt"), image, false, 0, platform);
    EXPECT_EQ(r.text, tiles);
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[1].caption, "Unsupported image type");

    r = leave_image_field(tiles, "", image, false, 0, platform);
    EXPECT_EQ(r.text, tiles);
    EXPECT_EQ(platform.shown.size(), 2u);

    // A path longer than the field is cut to 259 characters before it is tried.
    const std::string head = dir.file("");
    ASSERT_LT(head.size(), 200u);
    const std::string longest = head + std::string(259 - head.size() - 4, 'n') + ".png";
    ASSERT_EQ(longest.size(), 259u);
    ASSERT_TRUE(test::write_tiles_png(longest, 1, 1, 8));
    r = leave_image_field(tiles, longest + "-and-more", image, false, 0, platform);
    EXPECT_TRUE(r.loaded);
    EXPECT_EQ(r.text, longest);
    EXPECT_EQ(image.width, 8);
    ASSERT_TRUE(leave_image_field(longest, tiles, image, false, 0, platform).loaded);

    // The preview: a 64 x 32 picture fits a 100 x 100 area at its size, centred; a click picks the colour
    // of the tile under it.
    const PreviewRect drawn = fit_preview(64, 32, 100, 100);
    EXPECT_EQ(drawn.width, 64);
    EXPECT_EQ(drawn.x, 18);
    const std::optional<std::uint32_t> picked =
        colour_at_preview_point(image, drawn, drawn.x + 20, drawn.y + 20);
    ASSERT_TRUE(picked.has_value());
    EXPECT_EQ(*picked, 60u | (60u << 8) | (200u << 16));  // column 1, row 1
    EXPECT_FALSE(colour_at_preview_point(image, drawn, drawn.x - 1, drawn.y).has_value());
    const PreviewRect scaled = fit_preview(640, 320, 100, 100);
    EXPECT_EQ(scaled.width, 100);
    EXPECT_EQ(scaled.height, 50);
    EXPECT_EQ(colour_at_preview_point(image, fit_preview(64, 32, 32, 32), 31, 20),
              std::optional<std::uint32_t>(140u | (60u << 8) | (200u << 16)));
}

TEST(ImageChooser, FiltersStartAtTheLastKindAndTheChoiceIsRemembered) {
    const std::vector<FileFilter> filters = image_file_filters(2);
    ASSERT_EQ(filters.size(), 3u);
    EXPECT_EQ(filters[0].name, "PNG Files");
    EXPECT_EQ(filters[0].patterns, std::vector<std::string>{"*.png"});
    EXPECT_EQ(filters[1].name, "TGA Files");
    EXPECT_EQ(filters[2].name, "Bitmap Files");
    EXPECT_EQ(image_file_filters(7)[0].name, "TGA Files");

    Preferences prefs;
    test::ChooserPlatform platform;
    prefs.set_last_image_folder("/remembered/");
    PathText first;
    PathText second("/project/tiles/");
    platform.open_files.push_back("/images/Grass.PNG");
    EXPECT_EQ(choose_image_file(platform, prefs, &first, &second),
              std::optional<std::string>("/images/Grass.PNG"));
    ASSERT_EQ(platform.choosers.size(), 1u);
    EXPECT_EQ(platform.choosers[0].title, "Load Image");
    EXPECT_EQ(platform.choosers[0].start_folder, "/project/tiles/");
    EXPECT_EQ(platform.choosers[0].filters[0].name, "Bitmap Files");  // the default last kind is 1
    EXPECT_EQ(prefs.last_image_kind(), 2);
    EXPECT_EQ(prefs.last_image_folder(), "/images/");
    EXPECT_EQ(first, "/images/");
    EXPECT_EQ(second, "/images/");

    // Without folders it opens in the remembered one; a cancelled chooser changes nothing.
    EXPECT_EQ(choose_image_file(platform, prefs), std::nullopt);
    EXPECT_EQ(platform.choosers[1].start_folder, "/images/");
    EXPECT_EQ(platform.choosers[1].filters[0].name, "PNG Files");
    platform.open_files.push_back("/other/readme.txt");
    EXPECT_TRUE(choose_image_file(platform, prefs).has_value());
    EXPECT_EQ(prefs.last_image_kind(), 2);  // no row matched
}

// --- Custom variables editor
// --------------------------------------------------------------------------------

DescriptionTable entity_descriptions() { return make_default_descriptions(); }

TEST(CustomVariablesEdit, IntegersAreClampedAndOnlyChangedVariablesAreWritten) {
    IntVariables first{};
    first[4] = 7;
    CustomVariablesEdit edit("Selected Entities", selected_entities_name(3, "Bat"), entity_descriptions(),
                             first, 3, true);
    EXPECT_EQ(edit.title(), "Custom Variables:  Selected Entities (3)");
    EXPECT_EQ(edit.note(), "Note: The variable descriptions are the same for all Selected Entities objects.");
    EXPECT_EQ(edit.type_line(), "Data Type: Short integers, with a value range of -32768 to 32767.");
    EXPECT_EQ(edit.line(4), "05:  Variable05   =   7");

    edit.select(4);
    EXPECT_EQ(edit.set_value_text("40000"), "32767");
    EXPECT_EQ(edit.line(4), "05:  Variable05   =   32767 *");
    EXPECT_EQ(edit.set_value_text("-40000"), "-32768");
    EXPECT_EQ(edit.set_value_text("12abc"), "12");
    EXPECT_TRUE(edit.changed(4));
    EXPECT_FALSE(edit.changed(3));

    // Three entities whose other variables differ keep them: only variable 5 is written.
    IntVariables a{}, b{}, c{};
    a[0] = 1;
    b[0] = 2;
    c[99] = -9;
    for (IntVariables* v : {&a, &b, &c}) EXPECT_EQ(edit.write_values(*v), 1);
    EXPECT_EQ(a[4], 12);
    EXPECT_EQ(b[4], 12);
    EXPECT_EQ(c[4], 12);
    EXPECT_EQ(a[0], 1);
    EXPECT_EQ(b[0], 2);
    EXPECT_EQ(c[99], -9);
    TextVariables texts{};
    EXPECT_EQ(edit.write_values(texts), 0);

    // OK asks about several objects while the preference is on; its box switches the question off.
    Preferences prefs;
    test::ScriptedPlatform platform;
    platform.answers = {Answer::Cancel};
    EXPECT_FALSE(edit.confirm(platform, prefs));
    EXPECT_EQ(platform.shown.back().text,
              "Do you want to apply custom variable changes to multiple selected objects?");
    EXPECT_EQ(platform.shown.back().caption, "Multiple objects");
    platform.answers = {Answer::Ok};
    platform.tick_dont_ask_again = true;
    EXPECT_TRUE(edit.confirm(platform, prefs));
    EXPECT_FALSE(prefs.flag(FlagA::AskWhenChangingMultipleCustomVariables));
    const std::size_t asked = platform.shown.size();
    EXPECT_TRUE(edit.confirm(platform, prefs));
    EXPECT_EQ(platform.shown.size(), asked);
}

TEST(CustomVariablesEdit, BitFlagsOfTextsAndNumbersAndTheirLabels) {
    DescriptionTable table = make_default_descriptions();
    table[2].desc = "ABCdefGHI";
    TextVariables values{};
    CustomVariablesEdit edit("Layer", "Ground", table, values);
    EXPECT_EQ(edit.type_line(), "Data Type: Text strings, each 50 characters long.");
    edit.select(2);
    edit.set_use_bits(true);
    EXPECT_EQ(edit.flag_label(0), "ABC");
    EXPECT_EQ(edit.flag_label(2), "GHI");
    EXPECT_EQ(edit.flag_label(3), "");
    edit.set_flag(0, true);
    edit.set_flag(8, true);
    EXPECT_EQ(edit.line(2), "03:  ABCdefGHI   =   1000000010000000 *");
    EXPECT_EQ(edit.write_values(values), 1);
    EXPECT_EQ(values[2].byte(0), 0x80);
    EXPECT_EQ(values[2].byte(1), 0x80);
    DescriptionTable back = make_default_descriptions();
    edit.write_descriptions(back);
    EXPECT_TRUE(back[2].use_bits);
    EXPECT_EQ(back[2].desc, "ABCdefGHI");

    IntVariables numbers{};
    CustomVariablesEdit ints("Selected Points", selected_points_name(1), table, numbers, 1, false);
    EXPECT_EQ(ints.title(), "Custom Variables:  Selected Point");
    ints.select(0);
    ints.set_flag(15, true);
    ints.set_flag(0, true);
    EXPECT_EQ(ints.value_text(), "-32767");
    // The points' table has no viewport flags to change.
    ints.set_show_in_view(true);
    EXPECT_FALSE(ints.show_in_view());
}

TEST(CustomVariablesEdit, CancelAsksOnlyAfterAChange) {
    test::ScriptedPlatform platform;
    DescriptionTable table = make_default_descriptions();
    table[7].show_in_view = true;
    CustomVariablesEdit edit("Selected Entities", "Bat", table, IntVariables{}, 1, true);
    EXPECT_EQ(edit.title(), "Custom Variables:  Bat");
    for (int i = 0; i < 100; i += 7) edit.select(i);
    edit.select(500);
    EXPECT_EQ(edit.selected(), 99);
    edit.set_description("Variable100");  // the same text: no change
    EXPECT_TRUE(edit.cancel(platform));
    EXPECT_TRUE(platform.shown.empty());

    platform.answers = {Answer::No};
    EXPECT_FALSE(edit.remove_all_from_view(platform));
    EXPECT_EQ(platform.shown.back().text, "Remove all custom variables from the Viewport?");
    EXPECT_EQ(platform.shown.back().caption, "Remove all");
    EXPECT_FALSE(edit.any_change());
    platform.answers = {Answer::Yes};
    EXPECT_TRUE(edit.remove_all_from_view(platform));
    EXPECT_TRUE(edit.any_change());
    EXPECT_FALSE(edit.descriptions()[7].show_in_view);
    platform.answers = {Answer::No};
    EXPECT_FALSE(edit.cancel(platform));
    EXPECT_EQ(platform.shown.back().text, "Cancel changes?");
    EXPECT_EQ(platform.shown.back().caption, "Cancel");
    platform.answers = {Answer::Yes};
    EXPECT_TRUE(edit.cancel(platform));
}

}  // namespace
}  // namespace zorva
