#include "app/dialogs/preferences_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "dialog_platform.h"
#include "support/qt_test_app.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

class PreferencesDialogTest : public ::testing::Test {
protected:
    void SetUp() override { test::qt_app(); }

    template <class T>
    static T* child(const QWidget& dialog, const char* name) {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // Shows the dialog as the active window so focus moves like under a person's hands.
    static void show_active(QDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    // A click on the box's indicator (the widget may be wider than its text).
    static void click_check_box(QCheckBox* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }

    static std::vector<std::uint8_t> read_file(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    test::TempDir home;
    test::DialogPlatform platform;
    Preferences record;
};

TEST_F(PreferencesDialogTest, LabelsShowTheRangesLocationAndNote) {
    PreferencesDialog dialog(record, home.path(), platform);
    EXPECT_EQ(dialog.windowTitle(), "Preferences");
    EXPECT_EQ(child<QLabel>(dialog, "undo_count_label")->text(), "Number of Undos (5 to 200):");
    EXPECT_EQ(child<QLabel>(dialog, "path_normals_length_label")->text(),
              "Path Normals' length (8 to 65535 pixels):");
    EXPECT_EQ(child<QLabel>(dialog, "backup_interval_label")->text(),
              "Backup interval time (1 to 120 minutes):");
    EXPECT_EQ(child<QLabel>(dialog, "max_backup_files_label")->text(),
              "Max number of backup files (5 to 100):");
    EXPECT_EQ(child<QLabel>(dialog, "recent_count_label")->text(), "Number of recent projects (1 to 10):");
    EXPECT_EQ(child<QLabel>(dialog, "backup_location")->text().toStdString(),
              home.path().string() + "/Autoback/");
    EXPECT_EQ(child<QLabel>(dialog, "undo_note")->text(),
              "Changes to Undo take effect when the program is closed\nand re-opened. It is also limited by "
              "available memory.");
    for (const char* hidden : {"bezier_label", "bezier_smoothness", "bezier_note"}) {
        QWidget* widget = child<QWidget>(dialog, hidden);
        EXPECT_FALSE(widget->isEnabled()) << hidden;
        EXPECT_TRUE(widget->isHidden()) << hidden;
    }
    for (std::size_t i = 0; i < kPrefColourCount; ++i)
        EXPECT_NE(dialog.findChild<QPushButton*>(QString("colour_%1").arg(i)), nullptr) << i;
}

TEST_F(PreferencesDialogTest, NumberFieldsLoadClampedIntoTheirRanges) {
    record.set_undo_count(1000);
    record.set_path_normals_length(2);
    // Stored zeros for the recent count and the backup interval show as 1.
    std::uint32_t flags_c = record.u32(pref_offset::kFlagsC);
    flags_c &= ~((0xFu << 7) | (0x7Fu << 11));
    record.set_u32(pref_offset::kFlagsC, flags_c);
    PreferencesDialog dialog(record, home.path(), platform);
    EXPECT_EQ(child<QLineEdit>(dialog, "undo_count")->text(), "200");
    EXPECT_EQ(child<QLineEdit>(dialog, "path_normals_length")->text(), "8");
    EXPECT_EQ(child<QLineEdit>(dialog, "recent_count")->text(), "1");
    EXPECT_EQ(child<QLineEdit>(dialog, "backup_interval")->text(), "1");
    EXPECT_EQ(child<QLineEdit>(dialog, "max_backup_files")->text(), "5");
    EXPECT_TRUE(child<QRadioButton>(dialog, "grid_dots")->isChecked());
}

TEST_F(PreferencesDialogTest, LeavingTheUndoFieldClampsIt) {
    PreferencesDialog dialog(record, home.path(), platform);
    show_active(dialog);
    QLineEdit* undo = child<QLineEdit>(dialog, "undo_count");
    QLineEdit* recent = child<QLineEdit>(dialog, "recent_count");

    undo->setFocus();
    undo->selectAll();
    QTest::keyClicks(undo, "3");
    EXPECT_EQ(undo->text(), "3");  // typing is free until the field is left
    recent->setFocus();
    EXPECT_EQ(undo->text(), "5");

    undo->setFocus();
    undo->selectAll();
    QTest::keyClicks(undo, "4500");
    recent->setFocus();
    EXPECT_EQ(undo->text(), "200");

    undo->setFocus();
    undo->selectAll();
    QTest::keyClick(undo, Qt::Key_Delete);
    recent->setFocus();
    EXPECT_EQ(undo->text(), "5");

    // Letters never get in.
    undo->setFocus();
    undo->selectAll();
    QTest::keyClicks(undo, "x7y0");
    EXPECT_EQ(undo->text(), "70");
}

TEST_F(PreferencesDialogTest, OkStoresEveryFieldAndWritesSettings) {
    PreferencesDialog dialog(record, home.path(), platform);
    show_active(dialog);
    const auto type_into = [&](const char* name, const char* text) {
        QLineEdit* edit = child<QLineEdit>(dialog, name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
    };
    type_into("undo_count", "120");
    type_into("path_normals_length", "99999");  // stored clamped
    type_into("backup_interval", "30");
    type_into("max_backup_files", "7");
    type_into("recent_count", "10");
    QTest::mouseClick(child<QRadioButton>(dialog, "grid_solid_lines"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(dialog, "ok"), Qt::LeftButton);

    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.settings_saved());
    EXPECT_EQ(record.undo_count(), 120);
    EXPECT_EQ(record.path_normals_length(), 65535u);
    EXPECT_EQ(record.backup_interval_minutes(), 30u);
    EXPECT_EQ(record.max_backup_files(), 7u);
    EXPECT_EQ(record.recent_count(), 10u);
    EXPECT_EQ(record.grid_type(), GridType::SolidLines);

    const std::vector<std::uint8_t> file = read_file(Preferences::settings_file(home.path()));
    ASSERT_EQ(file.size(), kPreferencesSize);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), record.bytes().begin()));
}

TEST_F(PreferencesDialogTest, EachCheckBoxEditsItsOwnBitOnly) {
    for (std::size_t i = 0; i < kPreferenceCheckBoxes.size(); ++i) {
        const PreferenceCheckBox& info = kPreferenceCheckBoxes[i];
        Preferences before = record;
        PreferencesDialog dialog(record, home.path(), platform);
        auto* box = child<QCheckBox>(dialog, info.object_name);
        EXPECT_EQ(box->text().toStdString(), info.text);
        const bool was = box->isChecked();
        dialog.show();
        click_check_box(box);
        QTest::mouseClick(child<QPushButton>(dialog, "ok"), Qt::LeftButton);

        const std::size_t offset = info.in_flags_c ? pref_offset::kFlagsC : pref_offset::kFlagsA;
        const std::uint32_t changed = before.u32(offset) ^ record.u32(offset);
        EXPECT_EQ(changed, 1u << info.bit) << info.object_name;
        EXPECT_EQ(was, ((before.u32(offset) >> info.bit) & 1u) != 0) << info.object_name;
        // Nothing else in the record moved.
        before.set_u32(offset, record.u32(offset));
        EXPECT_TRUE(before == record) << info.object_name;
    }
}

TEST_F(PreferencesDialogTest, ColourBoxOpensTheChooserAndOkKeepsTheColour) {
    PreferencesDialog dialog(record, home.path(), platform);
    dialog.show();
    const auto grid = static_cast<std::size_t>(PrefColour::Grid);
    auto* box = dialog.findChild<QPushButton*>(QString("colour_%1").arg(grid));
    ASSERT_NE(box, nullptr);

    // Cancelling the chooser keeps the colour.
    QTest::mouseClick(box, Qt::LeftButton);
    ASSERT_EQ(platform.colour_requests.size(), 1u);
    EXPECT_EQ(platform.colour_requests[0], rgb(255, 255, 0));
    EXPECT_EQ(dialog.working_copy().colour(PrefColour::Grid), rgb(255, 255, 0));

    platform.next_colour = rgb(1, 2, 3);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(dialog.working_copy().colour(PrefColour::Grid), rgb(1, 2, 3));
    EXPECT_EQ(record.colour(PrefColour::Grid), rgb(255, 255, 0));  // the record waits for OK

    // The box is painted in its colour.
    const QImage picture = box->grab().toImage();
    EXPECT_EQ(picture.pixelColor(picture.width() / 2, picture.height() / 2), QColor(1, 2, 3));

    QTest::mouseClick(child<QPushButton>(dialog, "ok"), Qt::LeftButton);
    EXPECT_EQ(record.colour(PrefColour::Grid), rgb(1, 2, 3));
    Preferences reloaded;
    ASSERT_TRUE(reloaded.load(Preferences::settings_file(home.path())));
    EXPECT_EQ(reloaded.colour(PrefColour::Grid), rgb(1, 2, 3));
}

TEST_F(PreferencesDialogTest, CancelDiscardsTheCopy) {
    const Preferences before = record;
    PreferencesDialog dialog(record, home.path(), platform);
    dialog.show();
    platform.next_colour = rgb(9, 9, 9);
    QTest::mouseClick(dialog.findChild<QPushButton*>("colour_0"), Qt::LeftButton);
    click_check_box(child<QCheckBox>(dialog, "auto_backup"));
    EXPECT_NE(dialog.findChild<QCheckBox*>("auto_backup")->isChecked(), before.flag(FlagA::EnableAutoBackup));
    QTest::mouseClick(child<QPushButton>(dialog, "cancel"), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(record == before);
    EXPECT_FALSE(std::filesystem::exists(Preferences::settings_file(home.path())));
}

TEST_F(PreferencesDialogTest, RestoreDefaultSettingsAsksAndKeepsTheRecentList) {
    record.add_recent("/projects/a.xml");
    record.add_recent("/projects/b.zvp");
    record.set_colour(PrefColour::Background, rgb(5, 6, 7));
    record.set_flag(FlagA::EnableAutoBackup, false);
    record.set_flag(FlagA::ViewGrid, false);  // a view option: kept
    record.set_undo_count(77);
    record.set_last_image_folder("/images");
    PreferencesDialog dialog(record, home.path(), platform);
    dialog.show();

    // No leaves everything.
    platform.answers = {Answer::No};
    QTest::mouseClick(child<QPushButton>(dialog, "restore_defaults"), Qt::LeftButton);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Restore default settings?");
    EXPECT_EQ(platform.shown[0].caption, "Restore defaults");
    EXPECT_EQ(platform.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(platform.shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(child<QLineEdit>(dialog, "undo_count")->text(), "77");
    EXPECT_FALSE(child<QCheckBox>(dialog, "auto_backup")->isChecked());

    platform.answers = {Answer::Yes};
    QTest::mouseClick(child<QPushButton>(dialog, "restore_defaults"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(dialog, "undo_count")->text(), "50");
    EXPECT_TRUE(child<QCheckBox>(dialog, "auto_backup")->isChecked());
    EXPECT_EQ(dialog.working_copy().colour(PrefColour::Background), rgb(0, 0, 100));

    QTest::mouseClick(child<QPushButton>(dialog, "ok"), Qt::LeftButton);
    EXPECT_EQ(record.recent_projects(), (std::vector<std::string>{"/projects/b.zvp", "/projects/a.xml"}));
    EXPECT_EQ(record.colour(PrefColour::Background), rgb(0, 0, 100));
    EXPECT_EQ(record.undo_count(), 50);
    EXPECT_TRUE(record.flag(FlagA::EnableAutoBackup));
    EXPECT_FALSE(record.flag(FlagA::ViewGrid));
    EXPECT_EQ(record.last_image_folder(), "/images");
}

TEST_F(PreferencesDialogTest, DefaultDialogPositionsAsksFirst) {
    int moved = 0;
    PreferencesDialog dialog(record, home.path(), platform, [&] { ++moved; });
    dialog.show();
    platform.answers = {Answer::No, Answer::Yes};
    QTest::mouseClick(child<QPushButton>(dialog, "default_positions"), Qt::LeftButton);
    EXPECT_EQ(moved, 0);
    QTest::mouseClick(child<QPushButton>(dialog, "default_positions"), Qt::LeftButton);
    EXPECT_EQ(moved, 1);
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[0].text, "Restore default dialog positions?");
    EXPECT_EQ(platform.shown[0].caption, "Restore positions?");
    EXPECT_TRUE(dialog.isVisible());  // the dialog stays open
}

TEST_F(PreferencesDialogTest, RunReturnsWhetherOkWasPressed) {
    test::when_modal_opens(
        [](QWidget* modal) { QTest::mouseClick(modal->findChild<QPushButton*>("cancel"), Qt::LeftButton); });
    EXPECT_FALSE(run_preferences_dialog(nullptr, record, home.path(), platform));
    test::when_modal_opens(
        [](QWidget* modal) { QTest::mouseClick(modal->findChild<QPushButton*>("ok"), Qt::LeftButton); });
    EXPECT_TRUE(run_preferences_dialog(nullptr, record, home.path(), platform));
    EXPECT_TRUE(std::filesystem::exists(Preferences::settings_file(home.path())));
}

// Writes a picture of the dialog for a person to look at when ZORVA_SCREENSHOT_DIR is set.
TEST_F(PreferencesDialogTest, Screenshot) {
    const char* folder = std::getenv("ZORVA_SCREENSHOT_DIR");
    if (!folder || !*folder) GTEST_SKIP() << "ZORVA_SCREENSHOT_DIR not set";
    PreferencesDialog dialog(record, "/home/user/.config/zorva", platform);
    dialog.show();
    const QString file = QString::fromLocal8Bit(folder) + "/preferences_dialog.png";
    EXPECT_TRUE(dialog.grab().save(file));
}

}  // namespace
}  // namespace zorva
