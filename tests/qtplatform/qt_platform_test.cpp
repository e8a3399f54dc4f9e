#include "qtplatform/qt_platform.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <fstream>

#include "base/colour.h"
#include "support/qt_test_app.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

class QtPlatformTest : public ::testing::Test {
protected:
    void SetUp() override { test::qt_app(); }
};

TEST_F(QtPlatformTest, MessageBoxCarriesCaptionTextIconButtonsAndDefault) {
    auto box = make_message_box(nullptr, "Do you want to save changes to the project?", "Save Changes?",
                                MessageButtons::YesNoCancel, MessageIcon::Question, Answer::Yes);
    EXPECT_EQ(box->windowTitle(), "Save Changes?");
    EXPECT_EQ(box->text(), "Do you want to save changes to the project?");
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
    EXPECT_EQ(box->escapeButton(), box->button(QMessageBox::Cancel));

    auto no_first = make_message_box(nullptr, "Delete?", "Delete", MessageButtons::YesNo,
                                     MessageIcon::Warning, Answer::No);
    EXPECT_EQ(no_first->defaultButton(), no_first->button(QMessageBox::No));
    EXPECT_EQ(no_first->escapeButton(), no_first->button(QMessageBox::No));
    EXPECT_EQ(no_first->icon(), QMessageBox::Warning);

    auto stop =
        make_message_box(nullptr, "Failed", "Error", MessageButtons::Ok, MessageIcon::Stop, Answer::Ok);
    EXPECT_EQ(stop->icon(), QMessageBox::Critical);
    EXPECT_EQ(stop->standardButtons(), QMessageBox::Ok);

    // A default the buttons do not offer falls back to the first button.
    auto mismatched =
        make_message_box(nullptr, "?", "?", MessageButtons::OkCancel, MessageIcon::None, Answer::No);
    EXPECT_EQ(mismatched->defaultButton(), mismatched->button(QMessageBox::Ok));
    EXPECT_EQ(mismatched->icon(), QMessageBox::NoIcon);
}

TEST_F(QtPlatformTest, MessageBoxTextIsShownPlain) {
    auto box =
        make_message_box(nullptr, "<b>not bold</b>", "c", MessageButtons::Ok, MessageIcon::None, Answer::Ok);
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
}

TEST_F(QtPlatformTest, MessageBoxReturnsTheClickedAnswer) {
    QtPlatform platform;
    test::when_modal_opens([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Search?");
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    EXPECT_EQ(platform.message_box("Search again?", "Search?", MessageButtons::YesNo, MessageIcon::Question,
                                   Answer::Yes),
              Answer::No);

    test::when_modal_opens([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    EXPECT_EQ(
        platform.message_box("Cancel?", "c", MessageButtons::YesNoCancel, MessageIcon::Question, Answer::Yes),
        Answer::Cancel);

    test::when_modal_opens([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
    EXPECT_EQ(platform.message_box("Enter takes the default", "c", MessageButtons::YesNo,
                                   MessageIcon::Question, Answer::No),
              Answer::No);
}

TEST_F(QtPlatformTest, DontAskAgainDialogHasTextBoxAndButtons) {
    DontAskAgainDialog dialog(nullptr, "Do you want to delete the mosaic?", "Delete Mosaic",
                              MessageButtons::YesNo);
    EXPECT_EQ(dialog.windowTitle(), "Delete Mosaic");
    auto* text = dialog.findChild<QLabel*>("text");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text(), "Do you want to delete the mosaic?");
    auto* box = dialog.findChild<QCheckBox*>("dont_ask_again");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Do not ask me this again");
    EXPECT_FALSE(box->isChecked());
    auto* yes = dialog.findChild<QPushButton*>("yes");
    auto* no = dialog.findChild<QPushButton*>("no");
    ASSERT_NE(yes, nullptr);
    ASSERT_NE(no, nullptr);
    EXPECT_TRUE(yes->isDefault());
    EXPECT_EQ(dialog.findChild<QPushButton*>("cancel"), nullptr);
    EXPECT_NE(dialog.findChild<QLabel*>("icon"), nullptr);

    dialog.show();
    QTest::mouseClick(box, Qt::LeftButton);
    QTest::mouseClick(no, Qt::LeftButton);
    EXPECT_EQ(dialog.answer(), Answer::No);
    EXPECT_TRUE(dialog.checked());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(QtPlatformTest, AskWithDontAskAgainReportsAnswerAndTick) {
    QtPlatform platform;
    test::when_modal_opens([](QWidget* modal) {
        auto* dialog = dynamic_cast<DontAskAgainDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Cancel path");
        QTest::mouseClick(dialog->check_box(), Qt::LeftButton);
        QTest::mouseClick(dialog->button(Answer::Yes), Qt::LeftButton);
    });
    bool dont_ask = false;
    EXPECT_EQ(platform.ask_with_dont_ask_again("Do you want to cancel changes to the path?", "Cancel path",
                                               MessageButtons::YesNo, dont_ask),
              Answer::Yes);
    EXPECT_TRUE(dont_ask);

    // Escape answers No and leaves the box as it was.
    test::when_modal_opens([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    dont_ask = true;
    EXPECT_EQ(platform.ask_with_dont_ask_again("Again?", "c", MessageButtons::YesNo, dont_ask), Answer::No);
    EXPECT_FALSE(dont_ask);
}

TEST_F(QtPlatformTest, MessageWithCheckBoxUsesTheGivenCaption) {
    QtPlatform platform;
    test::when_modal_opens([](QWidget* modal) {
        auto* dialog = dynamic_cast<DontAskAgainDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->check_box()->text(), "Do not warn me again");
        EXPECT_EQ(dialog->button(Answer::Yes), nullptr);
        QTest::mouseClick(dialog->button(Answer::Ok), Qt::LeftButton);
    });
    bool checked = true;
    EXPECT_EQ(platform.message_with_check_box("Heads up", "Warning", "Do not warn me again",
                                              MessageButtons::Ok, MessageIcon::Warning, checked),
              Answer::Ok);
    EXPECT_FALSE(checked);
}

TEST_F(QtPlatformTest, ColoursAndFiltersConvert) {
    const std::uint32_t bgr = rgb(10, 20, 30);
    EXPECT_EQ(to_qcolor(bgr), QColor(10, 20, 30));
    EXPECT_EQ(from_qcolor(QColor(200, 100, 50)), rgb(200, 100, 50));
    EXPECT_EQ(file_filter_text({{"PNG Files", {"*.png"}}, {"Projects", {"*.xml", "*.zvp"}}}),
              "PNG Files (*.png);;Projects (*.xml *.zvp)");
    EXPECT_EQ(file_filter_text({{"All Files (*.*)", {"*"}}}), "All Files (*.*)");
}

TEST_F(QtPlatformTest, FileChoosersShowTitleFiltersAndFolder) {
    test::TempDir folder;
    const std::string picked = folder.file("map.xml");
    std::ofstream(picked) << "x";
    QtPlatform platform;

    test::when_modal_opens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Open Project");
        EXPECT_EQ(dialog->nameFilters(), (QStringList{"XML Files (*.xml)", "Project Files (*.zvp)"}));
        EXPECT_EQ(dialog->directory().absolutePath().toStdString(), folder.path().string());
        dialog->selectFile(QString::fromStdString(picked));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(
        platform.choose_open_file("Open Project", {{"XML Files", {"*.xml"}}, {"Project Files", {"*.zvp"}}},
                                  folder.path().string()),
        picked);

    test::when_modal_opens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(platform.choose_open_file("Open Project", {}, folder.path().string()), std::nullopt);

    test::when_modal_opens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->selectedFiles().value(0).toStdString(), folder.file("Noname.xml"));
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::optional<SaveChoice> saved = platform.choose_save_file(
        "Save Project", {{"XML Files", {"*.xml"}}}, folder.path().string(), "Noname.xml");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->path, folder.file("Noname.xml"));
    EXPECT_EQ(saved->filter, 0u);

    test::when_modal_opens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Search for resources:");
        EXPECT_EQ(dialog->fileMode(), QFileDialog::Directory);
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(platform.choose_folder("Search for resources:", folder.path().string()),
              folder.path().string());
}

// The user picks the second filter and types a bare name: the name comes back as typed, with the filter.
TEST_F(QtPlatformTest, SaveChooserReportsThePickedFilter) {
    test::TempDir folder;
    QtPlatform platform;
    test::when_modal_opens([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(types, nullptr);
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(types->currentText(), "Xml Files (*.xml)");
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down);
        EXPECT_EQ(dialog->selectedNameFilter(), "Zorva Project Files (*.zvp)");
        name->setFocus();
        name->clear();
        QTest::keyClicks(name, "level");
        QTest::keyClick(name, Qt::Key_Return);
    });
    const std::optional<SaveChoice> chosen = platform.choose_save_file(
        "Save Project", {{"Xml Files (*.xml)", {"*.xml"}}, {"Zorva Project Files (*.zvp)", {"*.zvp"}}},
        folder.path().string(), "");
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->path, folder.file("level"));  // no extension added by the chooser
    EXPECT_EQ(chosen->filter, 1u);

    test::when_modal_opens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(platform.choose_save_file("Save Project", {{"Xml Files (*.xml)", {"*.xml"}}},
                                        folder.path().string(), ""),
              std::nullopt);
}

TEST_F(QtPlatformTest, ColourChooserAndPrompt) {
    QtPlatform platform;
    test::when_modal_opens([](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->currentColor(), QColor(10, 20, 30));
        dialog->setCurrentColor(QColor(200, 100, 50));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(platform.choose_colour(rgb(10, 20, 30)), rgb(200, 100, 50));
    test::when_modal_opens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(platform.choose_colour(0), std::nullopt);

    test::when_modal_opens([](QWidget* modal) {
        auto* dialog = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Rotate");
        EXPECT_EQ(dialog->labelText(), "Angle:");
        EXPECT_EQ(dialog->textValue(), "90");
        dialog->setTextValue("45.5");
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(platform.prompt_value("Rotate", "Angle:", "90"), "45.5");
    test::when_modal_opens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(platform.prompt_value("Rotate", "Angle:", "90"), std::nullopt);
}

TEST_F(QtPlatformTest, BusyCursorNests) {
    QtPlatform platform;
    platform.set_busy(true);
    platform.set_busy(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    platform.set_busy(false);
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    platform.set_busy(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    platform.set_busy(false);  // unmatched: harmless
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace zorva
