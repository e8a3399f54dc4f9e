// The one QApplication of a widget test executable, made on first use (on the offscreen platform unless
// QT_QPA_PLATFORM names another) and kept until the process ends.
#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>

namespace zorva::test {

inline QApplication& qt_app() {
    static int argc = 1;
    static char name[] = "app_dialog_tests";
    static char* argv[] = {name, nullptr};
    // Widgets are tested without a display unless a platform was chosen outside.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Runs `action` on the modal dialog that is about to open: queued before the dialog's exec() starts, it
// retries until a modal widget is active.
inline void when_modal_opens(std::function<void(QWidget*)> action, int tries = 200) {
    QTimer::singleShot(5, [action = std::move(action), tries]() mutable {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            action(modal);
        } else if (tries > 0) {
            when_modal_opens(std::move(action), tries - 1);
        }
    });
}

}  // namespace zorva::test
