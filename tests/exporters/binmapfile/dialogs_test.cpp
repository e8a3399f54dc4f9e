// The three Qt dialogs on the offscreen platform: the lock rule from buttons, keys and double-clicks,
// the string-length clamp, the template selection and the preview.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest/QtTest>

#include "exporters/binmapfile/data_types.h"
#include "exporters/binmapfile/main_dialog.h"
#include "exporters/binmapfile/templates_dialog.h"
#include "exporters/binmapfile/variable_dialog.h"
#include "support/scripted_platform.h"
#include "support/temp_dir.h"

using namespace zorva;
using namespace zorva::binmap;

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void lockBlocksAddAndEditAlsoFromKeysAndDoubleClicks();
    void previewLinesSelectTheirVariableButHeadingsDoNot();
    void variableDialogClampsTheStringLengthAndKeepsAFittingType();
    void variableDialogNeedsAVariable();
    void templatesDialogSelectsSeveralInListOrder();
    void screenshotOfTheMainDialog();
};

namespace {

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
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
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

}  // namespace

void DialogsTest::lockBlocksAddAndEditAlsoFromKeysAndDoubleClicks() {
    Harness h;
    h.settings.list.insert({kMapUserId, kTypeUnsignedInt, 50});
    h.settings.list.insert({kMapName, kTypeUnsignedByte, 50});
    h.settings.flags = kFlagLocked | kFlagControlPoints;
    h.open();
    QVERIFY(h.dialog->box(kFlagLocked)->isChecked());
    QVERIFY(!h.dialog->add_button()->isEnabled());
    QVERIFY(!h.dialog->box(kFlagMapNames)->isEnabled());
    QCOMPARE(try_every_way(h), 0);
    QCOMPARE(h.settings.list.size(), std::size_t{2});
    QCOMPARE(h.dialog->windowTitle(), QString("Zorva Binary Map File Exporter: Noname.zbe"));

    h.dialog->box(kFlagLocked)->click();
    QVERIFY(!h.dialog->editor().locked());
    QCOMPARE(h.dialog->windowTitle(), QString("Zorva Binary Map File Exporter: Noname.zbe *"));
    QVERIFY(h.dialog->add_button()->isEnabled());
    QCOMPARE(try_every_way(h), 5);  // the same ways all reach the dialog once unlocked
}

void DialogsTest::previewLinesSelectTheirVariableButHeadingsDoNot() {
    Harness h;
    const std::size_t selected[] = {2, 6};
    apply_templates(h.settings.list, selected);
    h.open();
    QListWidget* preview = h.dialog->preview_list();
    QCOMPARE(preview->count(), 20);
    QCOMPARE(preview->item(0)->text().size(), 91);
    QVERIFY(!(preview->item(0)->flags() & Qt::ItemIsSelectable));
    QTest::mouseClick(preview->viewport(), Qt::LeftButton, {},
                      preview->visualItemRect(preview->item(5)).center());
    QCOMPARE(h.dialog->variables_list()->currentRow(), 2);  // "Layer-Grid: Tile Index"
    QVERIFY(h.dialog->move_up_button()->isEnabled() == false);
    h.dialog->variables_list()->setCurrentRow(4);
    QVERIFY(h.dialog->move_up_button()->isEnabled());
    h.dialog->move_up_button()->click();
    QCOMPARE(h.dialog->variables_list()->currentRow(), 3);
    QCOMPARE(h.settings.list[3].variable_id, std::uint32_t{kEntityParentUserId});
}

void DialogsTest::variableDialogClampsTheStringLengthAndKeepsAFittingType() {
    test::ScriptedPlatform platform;
    VariableDialog dialog(ExportVariable{}, platform, nullptr);
    QCOMPARE(dialog.variable_box()->currentIndex(), -1);
    dialog.variable_box()->setCurrentIndex(dialog.variable_box()->findText("Map: Name"));
    QCOMPARE(dialog.type_box()->count(), 4);
    QCOMPARE(dialog.type_box()->currentData().toUInt(), 2u);
    QCOMPARE(dialog.type_box()->currentText(), QString("Unsigned Byte             (1 bytes)"));
    QVERIFY(dialog.length_field()->isEnabled());

    dialog.variable_box()->setCurrentIndex(dialog.variable_box()->findText("Layer: Scroll X"));
    QCOMPARE(dialog.type_box()->count(), 8);
    QCOMPARE(dialog.type_box()->currentData().toUInt(), 7u);  // the default: no type chosen by the user
    QVERIFY(!dialog.length_field()->isEnabled());
    dialog.type_box()->setCurrentIndex(dialog.type_box()->findData(3u));
    dialog.variable_box()->setCurrentIndex(dialog.variable_box()->findText("Map: Name"));
    QCOMPARE(dialog.type_box()->currentData().toUInt(), 3u);  // the user's Signed Short still fits

    dialog.length_field()->setText("0");
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.result_variable().string_length, 1u);
    QCOMPARE(dialog.length_field()->text(), QString("1"));

    VariableDialog again(ExportVariable{kMapName, 4, 50}, platform, nullptr);
    again.length_field()->setText("300");
    again.accept();
    QCOMPARE(again.result_variable().string_length, 260u);
    QCOMPARE(again.result_variable().data_type, 4u);
}

void DialogsTest::variableDialogNeedsAVariable() {
    test::ScriptedPlatform platform;
    VariableDialog dialog(ExportVariable{}, platform, nullptr);
    dialog.accept();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(platform.shown.size(), std::size_t{1});
    QCOMPARE(platform.shown[0].caption, std::string("No variale selected"));
}

void DialogsTest::templatesDialogSelectsSeveralInListOrder() {
    test::ScriptedPlatform platform;
    TemplatesDialog dialog(platform, nullptr);
    QCOMPARE(dialog.windowTitle(), QString("Templates"));
    QCOMPARE(dialog.list()->count(), 9);
    dialog.accept();
    QCOMPARE(platform.shown.size(), std::size_t{1});
    QCOMPARE(platform.shown[0].text, std::string("Please select one or more templates."));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    for (int row : {6, 2}) {
        QTest::mouseClick(dialog.list()->viewport(), Qt::LeftButton, {},
                          dialog.list()->visualItemRect(dialog.list()->item(row)).center());
    }
    QCOMPARE(dialog.selected(), (std::vector<std::size_t>{2, 6}));
    double_click_row(dialog.list(), 0);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(dialog.selected().front() == 0);
}

void DialogsTest::screenshotOfTheMainDialog() {
    Harness h;
    const std::size_t selected[] = {2, 6};
    apply_templates(h.settings.list, selected);
    h.settings.list.insert({kMapName, kTypeUnsignedShort, 30});
    h.settings.list.insert({kLayerCustomVariables, kTypeUnsignedByte, 20});
    h.open();
    h.dialog->variables_list()->setCurrentRow(3);
    const QByteArray path = qgetenv("ZORVA_BINMAP_SCREENSHOT");
    if (path.isEmpty()) QSKIP("set ZORVA_BINMAP_SCREENSHOT to a PNG path to keep a picture of the dialog");
    h.dialog->resize(h.dialog->sizeHint().expandedTo(QSize(1000, 700)));
    QTest::qWait(50);
    QVERIFY(h.dialog->grab().save(QString::fromLocal8Bit(path)));
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
