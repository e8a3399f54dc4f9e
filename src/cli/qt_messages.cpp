// Qt's own messages in zorva-cli. Qt reports things a user of a command-line tool cannot act on (no
// XDG_RUNTIME_DIR, fonts of the offscreen platform, and so on), and a pipeline that reads standard error
// would take them for the tool's. Only critical and fatal messages get through, marked as Qt's.
#include <QString>
#include <QtGlobal>
#include <cstdio>

#include "cli/commands.h"

namespace zorva::cli {

namespace {

void filter_qt_message(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtCriticalMsg && type != QtFatalMsg) return;
    std::fprintf(stderr, "zorva-cli: Qt: %s\n", message.toLocal8Bit().constData());
}

}  // namespace

void quiet_qt_messages() { qInstallMessageHandler(filter_qt_message); }

}  // namespace zorva::cli
