#include "exporters/binmapfile/qt_dialog_runner.h"

#include <QApplication>
#include <QScreen>
#include <QThread>
#include <exception>

#include "exporters/binmapfile/main_dialog.h"

namespace zorva::binmap {

DialogOutcome QtLayoutDialogRunner::run(ExportSettings& settings,
                                        const std::filesystem::path& settings_folder,
                                        const ExporterHostApplication& application) {
    if (application.MainWindow == nullptr ||
        qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return DialogOutcome::NotCreated;
    }
    auto* owner = static_cast<QWidget*>(application.MainWindow);
    DialogOutcome outcome = DialogOutcome::NotCreated;
    auto show = [&] {
        try {
            MainDialog dialog(settings, settings_folder, owner);
            dialog.adjustSize();
            if (QScreen* screen = owner->screen() ? owner->screen() : QGuiApplication::primaryScreen()) {
                QRect frame = dialog.frameGeometry();
                frame.moveCenter(screen->availableGeometry().center());
                dialog.move(frame.topLeft());
            }
            outcome = dialog.exec() == QDialog::Accepted ? DialogOutcome::Export : DialogOutcome::Cancel;
        } catch (const std::exception&) {
            outcome = DialogOutcome::NotCreated;  // nothing may be thrown through the editor's event loop
        }
    };
    // The editor runs the export on a thread of its own; widgets live on the main window's thread, which
    // keeps handling events meanwhile. This thread waits for the dialog there.
    if (QThread::currentThread() == owner->thread()) {
        show();
    } else {
        QMetaObject::invokeMethod(owner, show, Qt::BlockingQueuedConnection);
    }
    return outcome;
}

}  // namespace zorva::binmap
