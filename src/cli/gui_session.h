// The Qt application object that drawing text needs, on the offscreen platform when no other is chosen,
// so that zorva-cli draws without a display. Built with the Qt parts.
#pragma once

#include <QGuiApplication>
#include <memory>

namespace zorva::cli {

std::unique_ptr<QGuiApplication> start_gui();

}  // namespace zorva::cli
