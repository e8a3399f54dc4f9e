#include "exporters/binmapfile/qt_dialog_runner.h"

#include <QApplication>
#include <QScreen>

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
    MainDialog dialog(settings, settings_folder, owner);
    dialog.adjustSize();
    if (QScreen* screen = owner->screen() ? owner->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = dialog.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        dialog.move(frame.topLeft());
    }
    return dialog.exec() == QDialog::Accepted ? DialogOutcome::Export : DialogOutcome::Cancel;
}

}  // namespace zorva::binmap
