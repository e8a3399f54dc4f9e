#include "app/dialogs/missing_resources_dialog.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest/QTest>

#include "dialog_platform.h"
#include "model/project_defaults.h"
#include "model/tile_set.h"
#include "support/qt_test_app.h"
#include "support/temp_dir.h"
#include "support/test_bmp.h"

namespace zorva {
namespace {

QStringList list_lines(const QListWidget& list) {
    QStringList lines;
    for (int i = 0; i < list.count(); ++i) lines << list.item(i)->text();
    return lines;
}

class MissingResourcesDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::qt_app();
        std::filesystem::create_directories(moved);
        test::write_bmp(moved / "found.bmp", 2, 0);
        add("Found", "/old/found.bmp");
        add("Lost", "/old/lost.bmp");
    }

    TileSet* add(const char* name, const char* path) {
        TileSetProperties t = make_default_tile_set(project, ProjectDefaults{});
        t.name = name;
        t.image_path_and_file_name = path;
        return add_tile_set(project, t, false, &platform);
    }

    static void show_active(QDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    static QPushButton* button(const QDialog& dialog, const char* name) {
        auto* found = dialog.findChild<QPushButton*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    test::TempDir home;
    std::filesystem::path moved = home.path() / "moved";
    QString moved_folder = QString::fromStdString(moved.string() + "/");
    test::DialogPlatform platform;
    Project project;
};

TEST_F(MissingResourcesDialogTest, OpensWithTheMissingList) {
    MissingResourcesSearch search(project, platform);
    search.scan(true, false);
    MissingResourcesDialog dialog(search);
    EXPECT_EQ(dialog.windowTitle(), "Missing resources");
    QStringList captions;
    for (QLabel* label : dialog.findChildren<QLabel*>()) captions << label->text();
    EXPECT_TRUE(captions.contains("The following resources are missing/failed to load:"));
    EXPECT_TRUE(captions.contains("Search for resources in the following directory/path:"));
    EXPECT_EQ(button(dialog, "browse")->text(), "Browse...");
    EXPECT_EQ(button(dialog, "refresh")->text(), "Refresh / Search Again");
    EXPECT_EQ(list_lines(*dialog.list()),
              (QStringList{"Tile Sets:", "[Found] /old/found.bmp", "[Lost] /old/lost.bmp", " "}));
    EXPECT_TRUE(dialog.folder_field()->text().isEmpty());
}

TEST_F(MissingResourcesDialogTest, BrowseFillsTheFieldAndSearchesAfterYes) {
    MissingResourcesSearch search(project, platform, {}, "/start/");
    search.scan(true, false);
    MissingResourcesDialog dialog(search);
    show_active(dialog);
    platform.next_folder = moved.string();
    platform.answers = {Answer::Yes};
    QTest::mouseClick(button(dialog, "browse"), Qt::LeftButton);

    ASSERT_EQ(platform.folder_requests.size(), 1u);
    EXPECT_EQ(platform.folder_requests[0].title, "Search for resources:");
    EXPECT_EQ(platform.folder_requests[0].start_folder, "/start/");
    EXPECT_EQ(dialog.folder_field()->text(), moved_folder);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Search again?");
    EXPECT_EQ(list_lines(*dialog.list()), (QStringList{"Tile Sets:", "[Lost] /old/lost.bmp", " "}));
    EXPECT_TRUE(dialog.refresh_button()->hasFocus());
}

TEST_F(MissingResourcesDialogTest, RefreshNeedsAFolder) {
    MissingResourcesSearch search(project, platform);
    search.scan(true, false);
    MissingResourcesDialog dialog(search);
    show_active(dialog);
    QTest::mouseClick(button(dialog, "refresh"), Qt::LeftButton);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "Select a valid path to search.");
    EXPECT_EQ(dialog.list()->count(), 4);

    // A typed folder, searched by the button without the question.
    dialog.folder_field()->setFocus();
    QTest::keyClicks(dialog.folder_field(), QString::fromStdString(moved.string()));
    QTest::mouseClick(button(dialog, "refresh"), Qt::LeftButton);
    EXPECT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(dialog.folder_field()->text(), moved_folder);
    EXPECT_EQ(dialog.list()->count(), 3);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(MissingResourcesDialogTest, EnterInTheFieldAsksAndKeepsTheDialogOpen) {
    MissingResourcesSearch search(project, platform);
    search.scan(true, false);
    MissingResourcesDialog dialog(search);
    show_active(dialog);
    dialog.folder_field()->setFocus();
    QTest::keyClicks(dialog.folder_field(), QString::fromStdString(moved.string()));
    platform.answers = {Answer::Yes};
    QTest::keyClick(dialog.folder_field(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, "Search?");
    EXPECT_EQ(dialog.folder_field()->text(), moved_folder);
    EXPECT_EQ(dialog.list()->count(), 3);
    EXPECT_TRUE(dialog.refresh_button()->hasFocus());
}

TEST_F(MissingResourcesDialogTest, HelpKeyRunsHelp) {
    MissingResourcesSearch search(project, platform);
    int help = 0;
    MissingResourcesDialog dialog(search, nullptr, [&] { ++help; });
    show_active(dialog);
    QTest::keyClick(&dialog, Qt::Key_F1);
    EXPECT_EQ(help, 1);
}

TEST_F(MissingResourcesDialogTest, RunGivesTheThreeOutcomes) {
    test::when_modal_opens(
        [](QWidget* modal) { QTest::mouseClick(modal->findChild<QPushButton*>("cancel"), Qt::LeftButton); });
    EXPECT_EQ(run_missing_resources(nullptr, project, platform, "/p/x.xml"), ResourceCheckOutcome::Cancelled);

    test::when_modal_opens(
        [](QWidget* modal) { QTest::mouseClick(modal->findChild<QPushButton*>("ok"), Qt::LeftButton); });
    EXPECT_EQ(run_missing_resources(nullptr, project, platform, "/p/x.xml"), ResourceCheckOutcome::Accepted);

    Project complete;
    EXPECT_EQ(run_missing_resources(nullptr, complete, platform, "/p/x.xml"),
              ResourceCheckOutcome::NoneMissing);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Writes a picture of the dialog for a person to look at when ZORVA_SCREENSHOT_DIR is set.
TEST_F(MissingResourcesDialogTest, Screenshot) {
    const char* folder = std::getenv("ZORVA_SCREENSHOT_DIR");
    if (!folder || !*folder) GTEST_SKIP() << "ZORVA_SCREENSHOT_DIR not set";
    MissingResourcesSearch search(project, platform);
    search.scan(true, false);
    MissingResourcesDialog dialog(search);
    dialog.show();
    EXPECT_TRUE(dialog.grab().save(QString::fromLocal8Bit(folder) + "/missing_resources_dialog.png"));
}

}  // namespace
}  // namespace zorva
