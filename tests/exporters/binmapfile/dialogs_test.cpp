// The three Qt dialogs on the offscreen platform: the lock rule from buttons, keys and double-clicks,
// the string-length clamp, the template selection and the preview.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest/QTest>
#include <memory>
#include <optional>
#include <vector>

#include "exporters/binmapfile/data_types.h"
#include "exporters/binmapfile/main_dialog.h"
#include "exporters/binmapfile/templates_dialog.h"
#include "exporters/binmapfile/variable_dialog.h"
#include "support/qt_test_app.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

namespace zorva::binmap {
namespace {

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override { test::qt_app(); }
};

struct Harness {
    test::TempDir dir;
    test::ScriptedPlatform platform;
    ExportSettings settings;
    int editor_calls = 0;
    std::unique_ptr<MainDialog> dialog;

    void open() {
        dialog = std::make_unique<MainDialog>(settings, dir.path(), nullptr, &platform);
        dialog->set_variable_editor([this](QWidget*, const ExportVariable&) -> std::optional<ExportVariable> {
            ++editor_calls;
            return std::nullopt;
        });
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
};

void double_click_row(QListWidget* list, int row) {
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// Every way to add or edit (Enter on the list, Insert, a double-click, the two buttons): returns how many
// reached the variable dialog.
int try_every_way(Harness& h) {
    const int before = h.editor_calls;
    QListWidget* list = h.dialog->variables_list();
    list->setCurrentRow(0);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(h.dialog.get(), Qt::Key_Insert);
    double_click_row(list, 0);
    h.dialog->add_button()->click();
    list->setCurrentRow(0);
    h.dialog->edit_button()->click();
    return h.editor_calls - before;
}

TEST_F(DialogsTest, LockBlocksAddAndEditAlsoFromKeysAndDoubleClicks) {
    Harness h;
    h.settings.list.insert({kMapUserId, kTypeUnsignedInt, 50});
    h.settings.list.insert({kMapName, kTypeUnsignedByte, 50});
    h.settings.flags = kFlagLocked | kFlagControlPoints;
    ASSERT_NO_FATAL_FAILURE(h.open());
    EXPECT_TRUE(h.dialog->box(kFlagLocked)->isChecked());
    EXPECT_FALSE(h.dialog->add_button()->isEnabled());
    EXPECT_FALSE(h.dialog->box(kFlagMapNames)->isEnabled());
    EXPECT_EQ(try_every_way(h), 0);
    EXPECT_EQ(h.settings.list.size(), 2u);
    EXPECT_EQ(h.dialog->windowTitle(), QString("Zorva Binary Map File Exporter: Noname.zbe"));

    h.dialog->box(kFlagLocked)->click();
    EXPECT_FALSE(h.dialog->editor().locked());
    EXPECT_EQ(h.dialog->windowTitle(), QString("Zorva Binary Map File Exporter: Noname.zbe *"));
    EXPECT_TRUE(h.dialog->add_button()->isEnabled());
    EXPECT_EQ(try_every_way(h), 5);  // the same ways all reach the dialog once unlocked
}

TEST_F(DialogsTest, PreviewLinesSelectTheirVariableButHeadingsDoNot) {
    Harness h;
    const std::size_t selected[] = {2, 6};
    apply_templates(h.settings.list, selected);
    ASSERT_NO_FATAL_FAILURE(h.open());
    QListWidget* preview = h.dialog->preview_list();
    ASSERT_EQ(preview->count(), 20);
    EXPECT_EQ(preview->item(0)->text().size(), 91);
    EXPECT_FALSE(preview->item(0)->flags().testFlag(Qt::ItemIsSelectable));
    QTest::mouseClick(preview->viewport(), Qt::LeftButton, {},
                      preview->visualItemRect(preview->item(5)).center());
    EXPECT_EQ(h.dialog->variables_list()->currentRow(), 2);  // "Layer-Grid: Tile Index"
    EXPECT_FALSE(h.dialog->move_up_button()->isEnabled());
    h.dialog->variables_list()->setCurrentRow(4);
    EXPECT_TRUE(h.dialog->move_up_button()->isEnabled());
    h.dialog->move_up_button()->click();
    EXPECT_EQ(h.dialog->variables_list()->currentRow(), 3);
    EXPECT_EQ(h.settings.list[3].variable_id, std::uint32_t{kEntityParentUserId});
}

TEST_F(DialogsTest, VariableDialogClampsTheStringLengthAndKeepsAFittingType) {
    test::ScriptedPlatform platform;
    VariableDialog dialog(ExportVariable{}, platform, nullptr);
    EXPECT_EQ(dialog.variable_box()->currentIndex(), -1);
    dialog.variable_box()->setCurrentIndex(dialog.variable_box()->findText("Map: Name"));
    EXPECT_EQ(dialog.type_box()->count(), 4);
    EXPECT_EQ(dialog.type_box()->currentData().toUInt(), 2u);
    EXPECT_EQ(dialog.type_box()->currentText(), QString("Unsigned Byte             (1 bytes)"));
    EXPECT_TRUE(dialog.length_field()->isEnabled());

    dialog.variable_box()->setCurrentIndex(dialog.variable_box()->findText("Layer: Scroll X"));
    EXPECT_EQ(dialog.type_box()->count(), 8);
    EXPECT_EQ(dialog.type_box()->currentData().toUInt(), 7u);  // the default: no type chosen by the user
    EXPECT_FALSE(dialog.length_field()->isEnabled());
    dialog.type_box()->setCurrentIndex(dialog.type_box()->findData(3u));
    dialog.variable_box()->setCurrentIndex(dialog.variable_box()->findText("Map: Name"));
    EXPECT_EQ(dialog.type_box()->currentData().toUInt(), 3u);  // the user's Signed Short still fits

    dialog.length_field()->setText("0");
    dialog.accept();
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
    EXPECT_EQ(dialog.result_variable().string_length, 1u);
    EXPECT_EQ(dialog.length_field()->text(), QString("1"));

    VariableDialog again(ExportVariable{kMapName, 4, 50}, platform, nullptr);
    again.length_field()->setText("300");
    again.accept();
    EXPECT_EQ(again.result_variable().string_length, 260u);
    EXPECT_EQ(again.result_variable().data_type, 4u);
}

TEST_F(DialogsTest, VariableDialogNeedsAVariable) {
    test::ScriptedPlatform platform;
    VariableDialog dialog(ExportVariable{}, platform, nullptr);
    dialog.accept();
    EXPECT_EQ(dialog.result(), int(QDialog::Rejected));
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].caption, std::string("No variale selected"));
}

TEST_F(DialogsTest, TemplatesDialogSelectsSeveralInListOrder) {
    test::ScriptedPlatform platform;
    TemplatesDialog dialog(platform, nullptr);
    EXPECT_EQ(dialog.windowTitle(), QString("Templates"));
    ASSERT_EQ(dialog.list()->count(), 9);
    dialog.accept();
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, std::string("Please select one or more templates."));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    for (int row : {6, 2}) {
        QTest::mouseClick(dialog.list()->viewport(), Qt::LeftButton, {},
                          dialog.list()->visualItemRect(dialog.list()->item(row)).center());
    }
    EXPECT_EQ(dialog.selected(), (std::vector<std::size_t>{2, 6}));
    double_click_row(dialog.list(), 0);
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
    ASSERT_FALSE(dialog.selected().empty());
    EXPECT_EQ(dialog.selected().front(), 0u);
}

TEST_F(DialogsTest, ScreenshotOfTheMainDialog) {
    Harness h;
    const std::size_t selected[] = {2, 6};
    apply_templates(h.settings.list, selected);
    h.settings.list.insert({kMapName, kTypeUnsignedShort, 30});
    h.settings.list.insert({kLayerCustomVariables, kTypeUnsignedByte, 20});
    ASSERT_NO_FATAL_FAILURE(h.open());
    h.dialog->variables_list()->setCurrentRow(3);
    const QByteArray path = qgetenv("ZORVA_BINMAP_SCREENSHOT");
    if (path.isEmpty())
        GTEST_SKIP() << "set ZORVA_BINMAP_SCREENSHOT to a PNG path to keep a picture of the dialog";
    h.dialog->resize(h.dialog->sizeHint().expandedTo(QSize(1000, 700)));
    QTest::qWait(50);
    EXPECT_TRUE(h.dialog->grab().save(QString::fromLocal8Bit(path)));
}

}  // namespace
}  // namespace zorva::binmap
