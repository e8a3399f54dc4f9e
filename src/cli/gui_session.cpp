#include "cli/gui_session.h"

#include <cstdlib>

namespace zorva::cli {

std::unique_ptr<QGuiApplication> start_gui() {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "zorva-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace zorva::cli
