#include "app/windows/floating_tool_window.h"

#include <QCloseEvent>
#include <QScreen>

#include "app/tool_window_placement.h"

namespace zorva {

void keep_in_work_area(QWidget& window) {
    if (window.isMaximized() || !window.screen()) return;
    const QRect area = window.screen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    const ScreenBox kept = keep_in_work_area({frame.x(), frame.y(), frame.width(), frame.height()},
                                             {area.x(), area.y(), area.width(), area.height()});
    if (kept.x != frame.x() || kept.y != frame.y()) window.move(kept.x, kept.y);
}

FloatingToolWindow::FloatingToolWindow(QWidget* parent) : QWidget(parent, Qt::Tool) {}

void FloatingToolWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (keep_on_screen_) keep_in_work_area(*this);
}

void FloatingToolWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit shown_changed(false);
}

}  // namespace zorva
