// Exporting from the editor on the offscreen platform: Ctrl+Q and the Export dialog, the plug-in running
// on its thread while the progress window takes CANCEL, the "Export Error" box, the message log, the
// backup before an untried plug-in, and the export values kept in the project file.
//
// Ctrl+Q runs the whole command (dialogs, run, log) before it returns, so what a user does in the windows
// that open meanwhile is scripted beforehand: WindowScript looks at the visible windows every 5 ms and
// acts once on each window it has an action for.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/command_table.h"
#include "app/dialogs/export_dialog.h"
#include "app/windows/export_controller.h"
#include "app/windows/export_progress_window.h"
#include "app/windows/main_window.h"
#include "app/windows/viewport_widget.h"
#include "editor_test_support.h"
#include "export/export_progress.h"
#include "prefs/data_folder.h"
#include "prefs/preferences.h"
#include "support/project_builder.h"
#include "support/project_file.h"
#include "support/qt_test_app.h"
#include "support/temp_dir.h"

namespace zorva {
namespace {

namespace fs = std::filesystem;

// Acts once on each window that appears whose object name (or, without one, whose title) starts with a
// registered key, and counts how often such windows were shown (also those too short-lived to act on).
class WindowScript : public QObject {
public:
    using Action = std::function<void(QWidget*)>;

    WindowScript() {
        connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
        timer_.start(5);
        qApp->installEventFilter(this);
    }
    ~WindowScript() override { qApp->removeEventFilter(this); }

    // `action` may be empty: the windows are only counted.
    void on(const QString& key, Action action = {}) { actions_[key] = std::move(action); }
    int count(const QString& key) const {
        const auto it = counts_.find(key);
        return it == counts_.end() ? 0 : it->second;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow())
                if (const QString* key = key_of(widget)) ++counts_[*key];
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QString* key_of(QWidget* w) const {
        const QString name = w->objectName().isEmpty() ? w->windowTitle() : w->objectName();
        for (const auto& entry : actions_)
            if (name.startsWith(entry.first)) return &entry.first;
        return nullptr;
    }

    void poll() {
        std::erase_if(handled_, [](const QPointer<QWidget>& w) { return w.isNull() || !w->isVisible(); });
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible()) continue;
            bool seen = false;
            for (const QPointer<QWidget>& h : handled_) seen = seen || h == w;
            if (seen) continue;
            const QString* key = key_of(w);
            if (!key) continue;
            handled_.emplace_back(w);
            const Action run = actions_[*key];  // the action may change the script
            if (!run) continue;
            run(w);
            return;  // the windows may have changed meanwhile
        }
    }

    QTimer timer_;
    std::map<QString, Action> actions_;
    std::map<QString, int> counts_;
    std::vector<QPointer<QWidget>> handled_;
};

template <class T>
T* child(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Lets events run until `ready` holds; false after `ms` milliseconds without.
bool wait_for(const std::function<bool()>& ready, int ms) {
    QElapsedTimer waited;
    waited.start();
    while (!ready()) {
        if (waited.elapsed() > ms) return false;
        QTest::qWait(5);
    }
    return true;
}

// Runs `action` once `ready` holds, looking every 5 ms without blocking the event loop (other windows, such
// as a plug-in's dialog, open and close meanwhile). The watch ends with `owner`.
void once_ready(QObject* owner, std::function<bool()> ready, std::function<void()> action) {
    auto* timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, timer,
                     [timer, ready = std::move(ready), action = std::move(action)] {
                         if (!ready()) return;
                         timer->stop();
                         action();
                         timer->deleteLater();
                     });
    timer->start(5);
}

void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center()); }

// A radio button or check box is clicked on its indicator (the widget may be much wider than its text).
void click_box(QAbstractButton* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

// Clicks the line `text` of a list.
void click_item(QListWidget* list, const QString& text) {
    const QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << text.toStdString();
    list->scrollToItem(items.front());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items.front()).center());
}

// Replaces the text of a line edit as a user does: select all, type.
void type_into(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

std::vector<std::string> lines_of(QWidget* log) {
    std::vector<std::string> lines;
    auto* list = log->findChild<QListWidget*>("lines");
    if (!list) return lines;
    for (int row = 0; row < list->count(); ++row) lines.push_back(list->item(row)->text().toStdString());
    return lines;
}

struct ExportFixture : ::testing::Test {
    ExportFixture() {
        fs::create_directories(exporters);
        fs::create_directories(data);
        prefs.set_flag(FlagA::ShowExportMessagesWhenDone, true);
        script.on("export_progress");  // counted
    }

    MainWindow& window() {
        if (main) return *main;
        main = std::make_unique<MainWindow>(prefs, platform, data);
        main->export_controller().set_exporters_folder(exporters);
        main->set_url_opener([this](const QUrl& url) {
            opened_urls.push_back(url);
            return true;
        });
        main->show();
        QApplication::setActiveWindow(main.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(main.get()));
        return *main;
    }
    // A test plug-in copied into the Exporters folder.
    void add_plugin(const std::string& name) {
        fs::copy_file(std::string(EXPORT_TEST_PLUGIN_DIR) + "/" + name + ".so", exporters / (name + ".so"));
    }
    // Opens a small project written for the test.
    void open_project(const std::string& name = "level.xml") {
        project_file = dir.file(name);
        ASSERT_TRUE(test::write_small_project(project_file));
        ASSERT_TRUE(window().open_project(project_file));
    }
    // Ctrl+Q in the main window, active again as it is after the last dialog closed.
    void quick_export() {
        QApplication::setActiveWindow(&window());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        QTest::keyClick(window().viewport(), Qt::Key_Q, Qt::ControlModifier);
    }

    // In the Export dialog: picks `plugin` in the list, types the output file, and presses Start Export.
    void fill_dialog_on_open(const QString& plugin, const std::string& output) {
        script.on("export_dialog", [plugin, output](QWidget* dialog) {
            click_item(child<QListWidget>(dialog, "exporter_list"), plugin);
            type_into(child<QLineEdit>(dialog, "output_file"), QString::fromStdString(output));
            click(child<QPushButton>(dialog, "start_export"));
        });
    }
    // Reads the message log when it opens, then closes it with OK.
    void read_log_on_open() {
        script.on("export_message_log", [this](QWidget* log) {
            log_lines = lines_of(log);
            click(child<QPushButton>(log, "ok"));
        });
    }

    QApplication& app = test::qt_app();  // first: the script's timer needs it
    test::TempDir dir;
    fs::path exporters = dir.path() / "Exporters";
    fs::path data = dir.path() / "data";
    std::string project_file;
    Preferences prefs;
    test::ChooserPlatform platform;
    std::unique_ptr<MainWindow> main;
    WindowScript script;
    std::vector<std::string> log_lines;
    std::vector<QUrl> opened_urls;
};

// Right after opening, Ctrl+Q shows the dialog and the run is no quick export; after that success Ctrl+Q
// runs at once as a quick export. Opening a project again brings the dialog back.
TEST_F(ExportFixture, QuickExportShowsTheDialogUntilAnExportSucceeded) {
    add_plugin("plugin_quick");
    open_project();
    fill_dialog_on_open("plugin_quick.so", dir.file("out.txt"));
    read_log_on_open();
    quick_export();
    EXPECT_EQ(script.count("export_dialog"), 1);
    EXPECT_EQ(script.count("export_progress"), 1);
    EXPECT_EQ(log_lines, (std::vector<std::string>{"started", "not quick"}));
    EXPECT_TRUE(window().export_controller().quick_export_allowed());

    log_lines.clear();
    quick_export();
    EXPECT_EQ(script.count("export_dialog"), 1);  // not shown again
    EXPECT_EQ(script.count("export_message_log"), 2);
    EXPECT_EQ(log_lines, (std::vector<std::string>{"started", "quick"}));
    EXPECT_TRUE(platform.shown.empty());

    ASSERT_TRUE(window().open_project(project_file));
    EXPECT_FALSE(window().export_controller().quick_export_allowed());
    script.on("export_dialog", [](QWidget* dialog) { click(child<QPushButton>(dialog, "cancel")); });
    quick_export();
    EXPECT_EQ(script.count("export_dialog"), 2);
    EXPECT_EQ(script.count("export_progress"), 2);  // Cancel ran nothing
}

// Without a folder set, the plug-ins are looked for beside the program, in the installed plug-in folder and
// in "Exporters" of the data folder; the dialog lists them all, and the one picked runs from its own folder.
TEST_F(ExportFixture, TheDialogListsThePlugInsOfEveryFolder) {
    const std::vector<fs::path> folders =
        MainWindow(prefs, platform, data).export_controller().exporter_folders();
    ASSERT_EQ(folders.size(), 3u);
    EXPECT_EQ(folders[0], (executable_folder() / "Exporters").lexically_normal());
    EXPECT_EQ(folders[2], (data / "Exporters").lexically_normal());

    add_plugin("plugin_ok");
    fs::create_directories(data / "Exporters");
    fs::copy_file(std::string(EXPORT_TEST_PLUGIN_DIR) + "/plugin_quick.so", data / "Exporters" / "Mine.so");
    window().export_controller().set_exporter_folders({exporters, data / "Exporters"});
    open_project();
    QStringList listed;
    script.on("export_dialog", [&](QWidget* dialog) {
        auto* list = child<QListWidget>(dialog, "exporter_list");
        for (int row = 0; row < list->count(); ++row) listed << list->item(row)->text();
        click_item(list, "Mine.so");
        type_into(child<QLineEdit>(dialog, "output_file"), QString::fromStdString(dir.file("out.txt")));
        click(child<QPushButton>(dialog, "start_export"));
    });
    read_log_on_open();
    quick_export();
    EXPECT_EQ(listed, (QStringList{"Mine.so", "plugin_ok.so"}));
    EXPECT_EQ(log_lines, (std::vector<std::string>{"started", "not quick"}));
    EXPECT_TRUE(platform.shown.empty());
}

// A failure with a message is shown in "Export Error" and brings the dialog back for Quick Export; a plug-in
// of another interface version is refused without being called (no log lines).
TEST_F(ExportFixture, AFailureWithAMessageBringsTheDialogBack) {
    add_plugin("plugin_v113");
    add_plugin("plugin_start_fails");
    open_project();
    fill_dialog_on_open("plugin_v113.so", dir.file("out.txt"));
    read_log_on_open();
    quick_export();
    const std::string path = (exporters / "plugin_v113.so").string();
    ASSERT_EQ(platform.shown.size(), 1u);
    EXPECT_EQ(platform.shown[0].text, "The exporter DLL is an unsupported version:\n\n" + path +
                                          "\n\nTry rebuilding the DLL with the latest export header file.");
    EXPECT_EQ(platform.shown[0].caption, "Export Error");
    EXPECT_EQ(platform.shown[0].icon, MessageIcon::Stop);
    EXPECT_EQ(script.count("export_message_log"), 0);  // never started, nothing logged
    EXPECT_FALSE(window().export_controller().quick_export_allowed());

    fill_dialog_on_open("plugin_start_fails.so", dir.file("out.txt"));
    quick_export();
    EXPECT_EQ(script.count("export_dialog"), 2);
    ASSERT_EQ(platform.shown.size(), 2u);
    EXPECT_EQ(platform.shown[1].text, "An error occured in the export DLL.");
    EXPECT_EQ(log_lines, (std::vector<std::string>{"started"}));
    EXPECT_FALSE(window().export_controller().quick_export_allowed());
}

// Unticking "Show messages/errors when export is done" in the dialog turns the log off at once: no log
// window; the plug-in's messages only reach the progress window's status line.
TEST_F(ExportFixture, WithTheLogOffNoLogWindowAppears) {
    add_plugin("plugin_ok");
    open_project();
    script.on("export_dialog", [this](QWidget* dialog) {
        click_item(child<QListWidget>(dialog, "exporter_list"), "plugin_ok.so");
        type_into(child<QLineEdit>(dialog, "output_file"), QString::fromStdString(dir.file("out.txt")));
        auto* box = child<QCheckBox>(dialog, "show_messages");
        EXPECT_TRUE(box->isChecked());
        click_box(box);
        EXPECT_FALSE(prefs.flag(FlagA::ShowExportMessagesWhenDone));
        click(child<QPushButton>(dialog, "start_export"));
    });
    read_log_on_open();
    quick_export();
    EXPECT_EQ(script.count("export_progress"), 1);
    EXPECT_EQ(script.count("export_message_log"), 0);
    EXPECT_TRUE(window().export_controller().quick_export_allowed());
}

// 6000 messages leave 5001 lines in the log window, the last the notice of the limit.
TEST_F(ExportFixture, SixThousandMessagesLeave5001LinesEndingWithTheLimitNotice) {
    add_plugin("plugin_chatty");
    open_project();
    fill_dialog_on_open("plugin_chatty.so", dir.file("out.txt"));
    read_log_on_open();
    quick_export();
    ASSERT_EQ(log_lines.size(), 5001u);
    EXPECT_EQ(log_lines[0], "started");
    EXPECT_EQ(log_lines[4999], "message 4999");
    EXPECT_EQ(log_lines.back(), "The maximum number (5000) of error messages have been reached.");
}

// With no plug-in in the Exporters folder nothing is selected, and "Start Export" says so and keeps the
// dialog open.
TEST_F(ExportFixture, AnEmptyExportersFolderLeavesNoExporterSelected) {
    prefs.set_text(pref_offset::kExporterInFolder, "Scrivo.so");
    open_project();
    bool checked = false;
    script.on("export_dialog", [&](QWidget* dialog) {
        auto* list = child<QListWidget>(dialog, "exporter_list");
        EXPECT_EQ(list->count(), 0);
        EXPECT_TRUE(child<QRadioButton>(dialog, "use_folder")->isChecked());
        EXPECT_EQ(child<QLabel>(dialog, "selected_exporter")->text(), "");
        type_into(child<QLineEdit>(dialog, "output_file"), QString::fromStdString(dir.file("out.txt")));
        click(child<QPushButton>(dialog, "start_export"));
        ASSERT_EQ(platform.shown.size(), 1u);
        EXPECT_EQ(platform.shown[0].text, "\nPlease select an exporter DLL.\n");
        EXPECT_EQ(platform.shown[0].caption, "No DLL selected");
        EXPECT_TRUE(dialog->isVisible());
        // No output file is the next check.
        type_into(child<QLineEdit>(dialog, "output_file"), "");
        auto* path = child<QLineEdit>(dialog, "exporter_path");
        click_box(child<QRadioButton>(dialog, "use_path"));
        type_into(path, QString(EXPORT_TEST_PLUGIN_DIR) + "/plugin_ok.so");
        click(child<QPushButton>(dialog, "start_export"));
        ASSERT_EQ(platform.shown.size(), 2u);
        EXPECT_EQ(platform.shown[1].text, "\nPlease select an output file.\n");
        EXPECT_EQ(platform.shown[1].caption, "No Output file");
        // An output file in a folder that does not exist.
        type_into(child<QLineEdit>(dialog, "output_file"), QString::fromStdString(dir.file("gone/out.txt")));
        click(child<QPushButton>(dialog, "start_export"));
        ASSERT_EQ(platform.shown.size(), 3u);
        EXPECT_EQ(platform.shown[2].text, "The folder of the output file does not exist:\n\n" +
                                              dir.file("gone") +
                                              "\n\nPlease select an output file in an existing folder.\n");
        EXPECT_EQ(platform.shown[2].caption, "No Output folder");
        EXPECT_TRUE(dialog->isVisible());
        // F1 opens the help, also while the command runs.
        QTest::keyClick(child<QLineEdit>(dialog, "output_file"), Qt::Key_F1);
        EXPECT_EQ(opened_urls.size(), 1u);
        click(child<QPushButton>(dialog, "cancel"));
        checked = true;
    });
    quick_export();
    EXPECT_TRUE(checked);
    EXPECT_EQ(script.count("export_progress"), 0);
    // Cancel stores nothing.
    EXPECT_EQ(prefs.text(pref_offset::kExporterInFolder), "Scrivo.so");
}

// Closing the progress window, like CANCEL, sets the flag the plug-in reads; the window stays (pressed)
// until the plug-in has returned, sits on the viewport's corner and is modal while the plug-in runs.
TEST_F(ExportFixture, ClosingTheProgressWindowCancelsThePlugIn) {
    add_plugin("plugin_slow");
    open_project();
    fill_dialog_on_open("plugin_slow.so", dir.file("out.txt"));
    read_log_on_open();
    bool commands_refused = false;
    script.on("export_progress", [&](QWidget* widget) {
        auto* progress = static_cast<ExportProgressWindow*>(widget);
        EXPECT_EQ(progress->windowTitle(), "Zorva: Exporting");
        EXPECT_EQ(progress->size(), QSize(600, 150));
        EXPECT_EQ(progress->pos(), window().viewport()->mapToGlobal(QPoint(0, 0)));
        EXPECT_EQ(QApplication::activeModalWidget(), progress);
        // Nothing may touch the project meanwhile.
        commands_refused = !window().run_command(cmd::kNew) && !window().open_project(project_file);
        // Wait until the plug-in moves the bar, then close the window.
        // When the plug-in has moved the bar, close the window.
        once_ready(
            progress, [progress] { return progress->percent() > 0; },
            [progress] {
                progress->close();
                EXPECT_TRUE(progress->isVisible());
                EXPECT_TRUE(progress->pressed());
            });
    });
    quick_export();
    EXPECT_TRUE(commands_refused);
    EXPECT_EQ(log_lines, (std::vector<std::string>{"started", "cancelled"}));
}

// The window as drawn: the status line, the bar green over the part done and red beyond it, CANCEL white,
// grey for a while after a click, which sets the cancel flag.
TEST(ExportProgressWindowTest, DrawsTheBarAndThePressedButton) {
    test::qt_app();
    ExportProgress progress;
    ExportProgressWindow window(progress);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    progress.message("Writing map 1");
    progress.progress(50);
    EXPECT_TRUE(wait_for([&] { return window.percent() == 50; }, 2000));
    EXPECT_EQ(window.status_text(), "Writing map 1");
    QImage drawn = window.grab().toImage();
    EXPECT_EQ(drawn.pixelColor(100, 60), QColor(0, 200, 0));
    EXPECT_EQ(drawn.pixelColor(290, 60), QColor(0, 200, 0));  // 50 % of the 540 pixels end at 300
    EXPECT_EQ(drawn.pixelColor(310, 60), QColor(200, 0, 0));
    EXPECT_EQ(drawn.pixelColor(560, 60), QColor(200, 0, 0));
    const QRect button = window.cancel_rect();
    EXPECT_EQ(button, QRect(QPoint(250, 88), QPoint(350, 112)));
    EXPECT_EQ(drawn.pixelColor(button.left() + 5, 92), QColor(Qt::white));

    QTest::mouseClick(&window, Qt::LeftButton, {}, QPoint(100, 100));  // beside the button: nothing
    EXPECT_FALSE(progress.cancelled());
    QTest::mouseClick(&window, Qt::LeftButton, {}, button.center());
    EXPECT_TRUE(progress.cancelled());
    EXPECT_TRUE(window.pressed());
    drawn = window.grab().toImage();
    EXPECT_NE(drawn.pixelColor(button.left() + 5, 92), QColor(Qt::white));
    // The press shows for 20 repaints, then the button is white again.
    EXPECT_TRUE(wait_for([&] { return !window.pressed(); }, 3000));
    drawn = window.grab().toImage();
    EXPECT_EQ(drawn.pixelColor(button.left() + 5, 92), QColor(Qt::white));
    window.finish();
    EXPECT_FALSE(window.isVisible());
}

// A modified project is backed up into "Autoback/" before a plug-in that has not yet run successfully in
// this session; once it has, no backup is made for it.
TEST_F(ExportFixture, AModifiedProjectIsBackedUpBeforeAnUntriedPlugIn) {
    prefs.set_flag(FlagA::ShowExportMessagesWhenDone, false);
    add_plugin("plugin_ok");
    open_project();
    const fs::path backups = data / "Autoback";
    // The first export stores its values into the project, which is then modified.
    fill_dialog_on_open("plugin_ok.so", dir.file("out.txt"));
    quick_export();
    EXPECT_TRUE(window().project().modified);
    ASSERT_TRUE(fs::is_directory(backups));
    int written = 0;
    for (const auto& entry : fs::directory_iterator(backups)) written += entry.path().extension() == ".zvp";
    EXPECT_EQ(written, 1);

    fs::remove_all(backups);
    quick_export();  // the same plug-in, proven now
    EXPECT_FALSE(fs::exists(backups));
}

// The choices of "Start Export" go into the preferences and the project, are saved with it (both file
// formats), and the project's values fill the dialog after it is opened again with other preferences.
TEST_F(ExportFixture, TheValuesRoundTripThroughTheProjectFile) {
    prefs.set_flag(FlagA::ShowExportMessagesWhenDone, false);
    const std::string plugin = std::string(EXPORT_TEST_PLUGIN_DIR) + "/plugin_ok.so";
    for (const char* name : {"level.xml", "level.zvp"}) {
        SCOPED_TRACE(name);
        main.reset();
        open_project(name);
        const std::string output = dir.file(std::string("exported-") + name + ".bin");
        script.on("export_dialog", [&](QWidget* dialog) {
            click_box(child<QRadioButton>(dialog, "use_path"));
            type_into(child<QLineEdit>(dialog, "exporter_path"), QString::fromStdString(plugin));
            EXPECT_EQ(child<QLabel>(dialog, "selected_exporter")->text().toStdString(), plugin);
            type_into(child<QLineEdit>(dialog, "output_file"), QString::fromStdString(output));
            click(child<QPushButton>(dialog, "start_export"));
        });
        quick_export();
        EXPECT_TRUE(platform.shown.empty());
        EXPECT_EQ(prefs.text(pref_offset::kExportOutputFile), output);
        EXPECT_EQ(prefs.text(pref_offset::kExporterInFolder), plugin);
        EXPECT_EQ(prefs.text(pref_offset::kExporterOutsideFolder), plugin);
        EXPECT_FALSE(prefs.flag(FlagA::UseExporterFromExportersFolder));
        QApplication::setActiveWindow(&window());
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        QTest::keyClick(window().viewport(), Qt::Key_S, Qt::ControlModifier);
        EXPECT_FALSE(window().project().modified);

        // Another session with preferences that say otherwise.
        main.reset();
        prefs = Preferences();
        prefs.set_text(pref_offset::kExportOutputFile, "/elsewhere/other.bin");
        ASSERT_TRUE(window().open_project(project_file));
        bool seen = false;
        script.on("export_dialog", [&](QWidget* dialog) {
            EXPECT_EQ(child<QLineEdit>(dialog, "output_file")->text().toStdString(), output);
            EXPECT_TRUE(child<QRadioButton>(dialog, "use_path")->isChecked());
            EXPECT_FALSE(child<QListWidget>(dialog, "exporter_list")->isEnabled());
            EXPECT_EQ(child<QLineEdit>(dialog, "exporter_path")->text().toStdString(), plugin);
            EXPECT_EQ(child<QLabel>(dialog, "selected_exporter")->text().toStdString(), plugin);
            click(child<QPushButton>(dialog, "cancel"));
            seen = true;
        });
        quick_export();
        EXPECT_TRUE(seen);
        prefs.set_flag(FlagA::ShowExportMessagesWhenDone, false);
    }
}

// --- The binary exporter ------------------------------------------------------------------------------

void append_le32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

// A ZvBinMapFile layout (".zbe"): the map's user id `count` times, as unsigned 32-bit values. The exporter
// checks the cancel flag and yields (1 ms) after every variable, so each map takes `count` milliseconds.
std::string user_id_layout(std::uint32_t count) {
    std::string bytes;
    append_le32(bytes, count);
    append_le32(bytes, 0);  // no flags
    for (std::uint32_t i = 0; i < count; ++i)
        for (std::uint32_t word : {0u, 0u, 1u /* map user id */, 6u /* unsigned int */, 50u})
            append_le32(bytes, word);
    return bytes;
}

// The binary exporter's own dialog opens parented to the main window; CANCEL on the progress window stops
// the long export after the map being written, and the files written so far stay.
TEST_F(ExportFixture, CancelStopsALongBinaryExportAndKeepsTheFilesWritten) {
    constexpr std::uint32_t kVariables = 600;  // about 0.6 s a map
    constexpr std::uintmax_t kMapFileSize = kVariables * 4;
    test::write_file(dir.file("ids.zbe"), user_id_layout(kVariables));
    std::string remembered = dir.file("ids.zbe");
    remembered.resize(260, '\0');
    test::write_file((data / "ZvBinMapFile.cfg").string(), remembered);
    {
        test::TestProject t;
        for (const char* name : {"One", "Two", "Three"}) t.add_layer(t.add_map(name), "Ground", 4, 4);
        t.select(*t.map);
        project_file = dir.file("maps.xml");
        ASSERT_TRUE(test::write_project_file(t, project_file));
    }
    window().export_controller().set_exporters_folder(ZORVA_EXPORTERS_DIR);
    ASSERT_TRUE(window().open_project(project_file));
    const std::string output = dir.file("level.bin");
    fill_dialog_on_open("ZvBinMapFile.so", output);
    read_log_on_open();

    QWidget* plugin_parent = nullptr;
    script.on("Zorva Binary Map File Exporter", [&](QWidget* dialog) {
        plugin_parent = dialog->parentWidget();
        const QList<QPushButton*> buttons = dialog->findChildren<QPushButton*>();
        for (QPushButton* button : buttons)
            if (button->text() == "Export") click(button);
    });
    bool cancelled_while_running = false;
    script.on("export_progress", [&](QWidget* widget) {
        auto* progress = static_cast<ExportProgressWindow*>(widget);
        // The user interface keeps running while the plug-in writes: CANCEL once the first file is there.
        once_ready(
            progress, [this] { return fs::exists(dir.file("level0.bin")); },
            [&, progress] {
                EXPECT_GT(progress->percent(), 0);
                QTest::mouseClick(progress, Qt::LeftButton, {}, progress->cancel_rect().center());
                EXPECT_TRUE(progress->pressed());
                cancelled_while_running = progress->isVisible();
            });
    });
    quick_export();
    EXPECT_EQ(plugin_parent, &window());
    EXPECT_TRUE(cancelled_while_running);
    EXPECT_TRUE(platform.shown.empty());

    // The first map whole, the second as far as it got, the third never begun.
    EXPECT_EQ(fs::file_size(dir.file("level0.bin")), kMapFileSize);
    ASSERT_TRUE(fs::exists(dir.file("level1.bin")));
    EXPECT_LT(fs::file_size(dir.file("level1.bin")), kMapFileSize);
    EXPECT_FALSE(fs::exists(dir.file("level2.bin")));
    ASSERT_FALSE(log_lines.empty());
    EXPECT_NE(log_lines.front().find("level0.bin"), std::string::npos) << log_lines.front();
    for (const std::string& line : log_lines) EXPECT_EQ(line.find("Success"), std::string::npos) << line;
    // A cancelled run still ran: Quick Export now skips the editor's dialog.
    EXPECT_TRUE(window().export_controller().quick_export_allowed());
}

}  // namespace
}  // namespace zorva
