// The editor program: finds the data folder, loads "Settings.cfg", takes a project file name from the
// command line, runs the main window and saves "Settings.cfg" when it ends.
//
// --help and --version answer on standard output without opening a window (and without a display).
// --bench-startup (or ZORVA_BENCH_STARTUP=1) prints the milliseconds from program start to the first
// painted frame of the viewport and quits.
#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "app/windows/main_window.h"
#include "prefs/data_folder.h"
#include "prefs/preferences.h"
#include "qtplatform/qt_platform.h"

namespace {

const char kUsage[] =
    "Usage: zorva [PROJECT]\n"
    "\n"
    "The Zorva level editor. PROJECT, a project file (.xml or .zvp), is opened at start.\n"
    "\n"
    "Options:\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("zorva %s\n", ZORVA_VERSION_TEXT);
        return 0;
    }
    QElapsedTimer since_start;
    since_start.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName("Zorva");

    bool bench_startup = false;
    if (const char* env = std::getenv("ZORVA_BENCH_STARTUP"); env && std::strcmp(env, "1") == 0)
        bench_startup = true;
    std::optional<std::string> project_file;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--bench-startup") == 0) {
            bench_startup = true;
            continue;
        }
        if (!project_file) project_file = argv[i];
    }

    const std::filesystem::path data_folder = zorva::data_folder();
    zorva::Preferences preferences;
    preferences.load(zorva::Preferences::settings_file(data_folder));

    zorva::QtPlatform platform;
    zorva::MainWindow window(preferences, platform, data_folder);
    platform.set_parent(&window);
    if (bench_startup) {
        QObject::connect(&window, &zorva::MainWindow::first_frame_painted, &app, [&] {
            std::printf("startup to first frame: %lld ms\n", static_cast<long long>(since_start.elapsed()));
            std::fflush(stdout);
            QTimer::singleShot(0, &app, [&] {
                window.shut_down();
                QApplication::exit(0);
            });
        });
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.setGeometry(screen->availableGeometry());
    window.showMaximized();
    if (project_file) window.open_project(*project_file);

    const int result = QApplication::exec();
    preferences.save(zorva::Preferences::settings_file(data_folder));
    return result;
}
