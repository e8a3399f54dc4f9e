// The main dialog's rules without a window: lock, enabling, the save-changes question, Export, Cancel,
// templates, load and save; and the rules of the "Variables" and "Templates" dialogs.
#include "exporters/binmapfile/layout_editor.h"

#include <gtest/gtest.h>

#include "binmap_test_support.h"
#include "exporters/binmapfile/data_types.h"
#include "support/temp_dir.h"

namespace zorva::binmap {
namespace {

using test::ChooserPlatform;

class LayoutEditorTest : public ::testing::Test {
protected:
    zorva::test::TempDir dir;
    ChooserPlatform platform;
    ExportSettings settings;

    LayoutEditor make() { return LayoutEditor(settings, dir.path(), platform); }
    void fill() {
        settings.list.insert({kMapUserId, kTypeUnsignedInt, 50});
        settings.list.insert({kMapName, kTypeUnsignedByte, 50});
        settings.list.insert({kLayerWidth, kTypeUnsignedInt, 50});
    }
};

TEST_F(LayoutEditorTest, TheLockDisablesEditingAndTheOtherBoxes) {
    fill();
    settings.flags = kFlagControlPoints | kFlagLocked;
    LayoutEditor editor = make();
    EXPECT_TRUE(editor.locked());
    EXPECT_FALSE(editor.can_add());
    EXPECT_FALSE(editor.can_edit(0));
    EXPECT_FALSE(editor.can_remove(0));
    EXPECT_FALSE(editor.can_move_down(0));
    EXPECT_FALSE(editor.add({kLayerHeight, kTypeUnsignedInt, 50}));
    EXPECT_FALSE(editor.edit(0, {kMapTileSetIndex, kTypeUnsignedInt, 50}));
    EXPECT_FALSE(editor.move_down(0));
    EXPECT_FALSE(editor.remove(0));
    EXPECT_TRUE(platform.shown.empty()) << "a locked Remove does not even ask";
    EXPECT_FALSE(editor.box_enabled(kFlagMapNames));
    EXPECT_TRUE(editor.box_enabled(kFlagLocked));
    editor.click_box(kFlagMapNames, true);
    EXPECT_FALSE(editor.box_checked(kFlagMapNames));
    EXPECT_EQ(settings.list.size(), 3u);
    EXPECT_EQ(settings.list[0].variable_id, kMapUserId);
    EXPECT_FALSE(editor.modified());

    editor.click_box(kFlagLocked, false);
    EXPECT_TRUE(editor.modified());
    EXPECT_TRUE(editor.can_add());
    EXPECT_EQ(editor.add({kLayerHeight, kTypeUnsignedInt, 50}), std::optional<std::size_t>(3));
}

TEST_F(LayoutEditorTest, ButtonsNeedASelectionAndMovesStayInTheCategory) {
    fill();
    LayoutEditor editor = make();
    EXPECT_FALSE(editor.can_remove(std::nullopt));
    EXPECT_FALSE(editor.can_edit(std::nullopt));
    EXPECT_FALSE(editor.can_move_up(std::nullopt));
    EXPECT_FALSE(editor.can_move_up(0));
    EXPECT_TRUE(editor.can_move_down(0));
    EXPECT_FALSE(editor.can_move_down(1));
    EXPECT_FALSE(editor.can_move_up(2));
    EXPECT_EQ(editor.move_down(0), std::optional<std::size_t>(1));
    EXPECT_EQ(settings.list[1].variable_id, kMapUserId);
    EXPECT_EQ(editor.edit(2, {kEntityRotate, kTypeBoolean, 50}), std::optional<std::size_t>(2))
        << "edited into another category, in place";
    EXPECT_EQ(settings.list[2].variable_id, kEntityRotate);
}

TEST_F(LayoutEditorTest, RemoveAsksAndTheTitleShowsTheModifiedMark) {
    fill();
    settings.file_name = "/levels/a.zbe";
    LayoutEditor editor = make();
    EXPECT_EQ(editor.title(), "Zorva Binary Map File Exporter: /levels/a.zbe");
    platform.answers = {Answer::No, Answer::Yes};
    EXPECT_FALSE(editor.remove(1));
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Remove the selected variable?");
    EXPECT_EQ(platform.shown[0].caption, "Remove");
    EXPECT_EQ(platform.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(settings.list.size(), 3u);
    EXPECT_TRUE(editor.remove(1));
    EXPECT_EQ(settings.list.size(), 2u);
    EXPECT_EQ(editor.title(), "Zorva Binary Map File Exporter: /levels/a.zbe *");
}

TEST_F(LayoutEditorTest, ExportNeedsAVariableThenAsksThenRemembersTheSettingsFile) {
    LayoutEditor editor = make();
    EXPECT_EQ(editor.press_export(), LayoutEditor::Close::Stay);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Add at least 1 variable to export.");
    EXPECT_EQ(platform.shown[0].caption, "No variables");

    editor.add({kMapUserId, kTypeUnsignedInt, 50});
    editor.click_box(kFlagMapNames, true);
    editor.click_box(kFlagControlPoints, true);  // "Do not export path control points" ticked
    platform.answers = {Answer::Cancel};
    EXPECT_EQ(editor.press_export(), LayoutEditor::Close::Stay);
    EXPECT_EQ(platform.shown.back().text, "Do you want to save the changes?");
    EXPECT_EQ(platform.shown.back().caption, "Save Changes");
    EXPECT_EQ(platform.shown.back().buttons, MessageButtons::YesNoCancel);
    EXPECT_FALSE(std::filesystem::exists(dir.file("ZvBinMapFile.cfg")));

    platform.answers = {Answer::No};
    EXPECT_EQ(editor.press_export(), LayoutEditor::Close::Export);
    EXPECT_EQ(settings.flags, kFlagMapNames);
    EXPECT_EQ(read_remembered_settings(dir.path()), "Noname.zbe");
}

TEST_F(LayoutEditorTest, SavingFromTheQuestionGoesOnUnlessTheSaveIsCancelled) {
    LayoutEditor editor = make();
    editor.add({kMapUserId, kTypeUnsignedInt, 50});
    platform.answers = {Answer::Yes};
    EXPECT_EQ(editor.press_cancel(), LayoutEditor::Close::Stay) << "the save dialog was closed";
    EXPECT_EQ(platform.chooser_titles, std::vector<std::string>{"Save Settings"});

    platform.answers = {Answer::Yes};
    platform.save_choice = dir.file("mine.zbe");
    EXPECT_EQ(editor.press_export(), LayoutEditor::Close::Export);
    EXPECT_FALSE(editor.modified());
    EXPECT_EQ(read_remembered_settings(dir.path()), dir.file("mine.zbe"));
    EXPECT_EQ(editor.press_cancel(), LayoutEditor::Close::Cancel) << "nothing to ask any more";
}

TEST_F(LayoutEditorTest, TemplatesResetTheListAndTheLockButKeepTheOtherBoxes) {
    fill();
    settings.flags = kFlagLocked | kFlagRemoveExtensions;
    settings.file_name = dir.file("old.zbe");
    LayoutEditor editor = make();
    EXPECT_FALSE(editor.new_from_templates([] { return std::nullopt; }));
    EXPECT_EQ(settings.list.size(), 3u);

    EXPECT_TRUE(editor.new_from_templates([] { return std::vector<std::size_t>{2, 6}; }));
    EXPECT_EQ(settings.list.size(), 16u);
    EXPECT_EQ(settings.flags, kFlagRemoveExtensions);
    EXPECT_FALSE(editor.locked());
    EXPECT_EQ(settings.file_name, "Noname.zbe");
    EXPECT_TRUE(editor.modified());

    platform.answers = {Answer::Cancel};
    EXPECT_FALSE(editor.new_from_templates([] { return std::vector<std::size_t>{0}; }))
        << "question cancelled";
    EXPECT_EQ(settings.list.size(), 16u);
}

TEST_F(LayoutEditorTest, LoadShowsTheFileFlagsAndClearsTheModifiedMark) {
    test::write_bytes(dir.file("l.zbe"), test::zbe(1, kFlagLocked, {{kGridTileIndex, 2, 50}}));
    LayoutEditor editor = make();
    editor.add({kMapUserId, kTypeUnsignedInt, 50});
    platform.answers = {Answer::No};
    platform.open_choice = dir.file("l.zbe");
    EXPECT_EQ(editor.load(), LoadStatus::Loaded);
    EXPECT_FALSE(editor.modified());
    EXPECT_TRUE(editor.locked());
    EXPECT_TRUE(editor.box_checked(kFlagControlPoints)) << "bit 1 clear: control points not exported";
    EXPECT_EQ(settings.list.size(), 1u);
    EXPECT_EQ(editor.title(), "Zorva Binary Map File Exporter: " + dir.file("l.zbe"));
}

TEST(VariableDialogRules, StringVariablesOfferOnlyByteAndShortTypes) {
    EXPECT_EQ(offered_variables().size(), 58u);
    EXPECT_EQ(offered_variables().front()->id, kMapUserId);
    EXPECT_EQ(offered_types(kMapName), (std::vector<std::uint32_t>{1, 2, 3, 4}));
    EXPECT_EQ(offered_types(kLayerScrollX).size(), 8u);
    EXPECT_EQ(type_after_variable_change(kLayerScrollX, std::nullopt), kTypeFloat);
    EXPECT_EQ(type_after_variable_change(kLayerScrollX, kTypeSignedShort), kTypeSignedShort);
    EXPECT_EQ(type_after_variable_change(kMapName, kTypeFloat), kTypeUnsignedByte)
        << "Float cannot hold a string";
    EXPECT_EQ(type_after_variable_change(kMapName, kTypeUnsignedShort), kTypeUnsignedShort);
}

TEST(VariableDialogRules, OkNeedsAVariableAndATypeAndTemplatesNeedASelection) {
    test::ChooserPlatform platform;
    EXPECT_FALSE(accept_variable(std::nullopt, kTypeFloat, platform));
    EXPECT_FALSE(accept_variable(kMapUserId, std::nullopt, platform));
    EXPECT_TRUE(accept_variable(kMapUserId, kTypeFloat, platform));
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].text, "Please select a variable.");
    EXPECT_EQ(platform.shown[0].caption, "No variale selected");
    EXPECT_EQ(platform.shown[1].text, "Please select a data type.");
    EXPECT_EQ(platform.shown[1].caption, "No type selected");
    EXPECT_FALSE(accept_templates({}, platform));
    EXPECT_EQ(platform.shown.back().text, "Please select one or more templates.");
    EXPECT_EQ(platform.shown.back().caption, "No template");
    EXPECT_TRUE(accept_templates({0}, platform));
}

}  // namespace
}  // namespace zorva::binmap
