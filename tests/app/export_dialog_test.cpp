// The "Export" dialog and the "Export Messages/Errors" window, driven by clicks and keys.
#include "app/dialogs/export_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>
#include <filesystem>

#include "app/dialogs/export_message_log_dialog.h"
#include "editor_test_support.h"
#include "prefs/preferences.h"
#include "support/qt_test_app.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

class ExportDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::qt_app();
        fs::create_directory(exporters);
        for (const char* name : {"Scrivo.so", "ZvBinMapFile.so", "notes.txt"})
            test::write_file(dir.file("Exporters/") + name, "");
        prefs.set_flag(FlagA::ShowExportMessagesWhenDone, true);
    }

    template <class T>
    static T* child(const QWidget& dialog, const char* name) {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static void show_active(QDialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }
    static void click(QWidget* widget) {
        QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
    }
    // On the indicator: the widget may be wider than its text.
    static void click_box(QAbstractButton* box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    static void click_item(QListWidget* list, const QString& text) {
        const QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.front()).center());
    }
    static QStringList selected(const QListWidget* list) {
        QStringList names;
        for (const QListWidgetItem* item : list->selectedItems()) names << item->text();
        return names;
    }

    test::TempDir dir;
    fs::path exporters = dir.path() / "Exporters";
    Preferences prefs;
    test::ChooserPlatform platform;
};

// The folder radio selects the entry of the remembered name in any letter case; the other radio disables
// the list and uses its path. Picking an entry or typing a path switches the radios and the plug-in line.
TEST_F(ExportDialogTest, TheRadiosTheListAndThePathChooseThePlugIn) {
    ExportDialog dialog(nullptr, {"/out/level.bin", "zvbinmapfile.SO", "/mine/x.so", true}, {exporters},
                        prefs, platform);
    show_active(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Export");
    auto* list = child<QListWidget>(dialog, "exporter_list");
    ASSERT_EQ(list->count(), 2);  // only the plug-ins
    EXPECT_EQ(selected(list), QStringList{"ZvBinMapFile.so"});
    EXPECT_TRUE(list->isEnabled());
    EXPECT_FALSE(child<QLineEdit>(dialog, "exporter_path")->isEnabled());
    EXPECT_EQ(child<QLabel>(dialog, "selected_exporter")->text(), "ZvBinMapFile.so");
    EXPECT_EQ(child<QLineEdit>(dialog, "output_file")->text(), "/out/level.bin");

    click_box(child<QRadioButton>(dialog, "use_path"));
    EXPECT_FALSE(list->isEnabled());
    EXPECT_TRUE(child<QLineEdit>(dialog, "exporter_path")->isEnabled());
    EXPECT_EQ(child<QLabel>(dialog, "selected_exporter")->text(), "/mine/x.so");
    EXPECT_EQ(dialog.choice(), (ExportChoice{"/out/level.bin", "/mine/x.so", "/mine/x.so", false}));

    // Browsing for a plug-in: "Select DLL" with the plug-ins' filter.
    platform.open_files.push_back(dir.file("other.so"));
    click(child<QPushButton>(dialog, "browse_exporter"));
    ASSERT_EQ(platform.choosers.size(), 1u);
    EXPECT_EQ(platform.choosers[0].title, "Select DLL");
    ASSERT_EQ(platform.choosers[0].filters.size(), 1u);
    EXPECT_EQ(platform.choosers[0].filters[0].name, "DLL Files (*.so)");
    EXPECT_EQ(platform.choosers[0].start_folder, "/mine");
    EXPECT_EQ(child<QLineEdit>(dialog, "exporter_path")->text().toStdString(), dir.file("other.so"));
    EXPECT_EQ(dialog.choice().exporter, dir.file("other.so"));

    click_box(child<QRadioButton>(dialog, "use_folder"));
    EXPECT_EQ(child<QLabel>(dialog, "selected_exporter")->text(), "ZvBinMapFile.so");
    click_item(list, "Scrivo.so");
    EXPECT_EQ(dialog.choice().exporter, "Scrivo.so");
    EXPECT_TRUE(dialog.choice().use_exporters_folder);
    EXPECT_EQ(dialog.choice().exporter_outside, dir.file("other.so"));
}

TEST_F(ExportDialogTest, NoMatchingEntryOrNoPathSelectsNoPlugIn) {
    ExportDialog folder(nullptr, {"", "Gone.so", "", true}, {exporters}, prefs, platform);
    EXPECT_TRUE(selected(child<QListWidget>(folder, "exporter_list")).isEmpty());
    EXPECT_EQ(folder.choice().exporter, "");
    ExportDialog path(nullptr, {"", "Scrivo.so", "", false}, {exporters}, prefs, platform);
    EXPECT_TRUE(child<QRadioButton>(path, "use_path")->isChecked());
    EXPECT_TRUE(selected(child<QListWidget>(path, "exporter_list")).isEmpty());
    EXPECT_EQ(path.choice().exporter, "");
}

// "Browse..." for the output file asks with "Export To File" in the file's folder; the log box changes
// the preference at once, also when the dialog is then cancelled; typing the output file is kept.
TEST_F(ExportDialogTest, TheOutputFileAndTheLogBox) {
    ExportDialog dialog(nullptr, {"/out/level.bin", "Scrivo.so", "", true}, {exporters}, prefs, platform);
    show_active(dialog);
    platform.save_files.push_back(SaveChoice{dir.file("chosen.txt"), 0});
    click(child<QPushButton>(dialog, "browse_output"));
    ASSERT_EQ(platform.choosers.size(), 1u);
    EXPECT_EQ(platform.choosers[0].title, "Export To File");
    EXPECT_EQ(platform.choosers[0].start_folder, "/out");
    ASSERT_EQ(platform.choosers[0].filters.size(), 1u);
    EXPECT_EQ(platform.choosers[0].filters[0].patterns, std::vector<std::string>{"*"});
    EXPECT_EQ(child<QLineEdit>(dialog, "output_file")->text().toStdString(), dir.file("chosen.txt"));
    EXPECT_EQ(dialog.choice().output_file, dir.file("chosen.txt"));

    auto* log_box = child<QCheckBox>(dialog, "show_messages");
    EXPECT_TRUE(log_box->isChecked());
    click_box(log_box);
    EXPECT_FALSE(prefs.flag(FlagA::ShowExportMessagesWhenDone));

    auto* output = child<QLineEdit>(dialog, "output_file");
    output->setFocus();
    QTest::keyClicks(output, "2");
    EXPECT_EQ(dialog.choice().output_file, dir.file("chosen.txt2"));
    click(child<QPushButton>(dialog, "cancel"));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(prefs.flag(FlagA::ShowExportMessagesWhenDone));
    EXPECT_TRUE(platform.shown.empty());
}

// The log window: its lines, "Do not show this again" turning the log off at once, "Copy to clipboard"
// with every line ended by CR LF (and its message when there is nothing), "Open export folder" only for
// a folder that exists.
TEST_F(ExportDialogTest, TheMessageLogWindow) {
    std::vector<QString> opened;
    auto opener = [&](const QString& folder) {
        opened.push_back(folder);
        return true;
    };
    const std::vector<std::string> lines{"Exported one", "ERROR: two", std::string(4096, 'x')};
    ExportMessageLogDialog log(nullptr, lines, dir.path().string(), prefs, platform, opener);
    show_active(log);
    EXPECT_EQ(log.windowTitle(), "Export Messages/Errors");
    auto* list = child<QListWidget>(log, "lines");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(1)->text(), "ERROR: two");
    EXPECT_EQ(list->item(2)->text().size(), 4096);  // a line at the limit is kept

    auto* box = child<QCheckBox>(log, "dont_show_again");
    EXPECT_FALSE(box->isChecked());
    click_box(box);
    EXPECT_FALSE(prefs.flag(FlagA::ShowExportMessagesWhenDone));
    click_box(box);
    EXPECT_TRUE(prefs.flag(FlagA::ShowExportMessagesWhenDone));

    click(child<QPushButton>(log, "copy"));
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
              "Exported one\r\nERROR: two\r\n" + std::string(4096, 'x') + "\r\n");

    click(child<QPushButton>(log, "open_folder"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toStdString(), dir.path().string());
    click(child<QPushButton>(log, "ok"));
    EXPECT_EQ(log.result(), QDialog::Accepted);

    ExportMessageLogDialog empty(nullptr, {}, dir.file("gone"), prefs, platform, opener);
    show_active(empty);
    click(child<QPushButton>(empty, "copy"));
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "There is nothing to copy to the clipboard.");
    EXPECT_EQ(platform.shown[0].caption, "Nothing to copy");
    click(child<QPushButton>(empty, "open_folder"));
    EXPECT_EQ(opened.size(), 1u);  // the folder does not exist
}

}  // namespace
}  // namespace zorva
