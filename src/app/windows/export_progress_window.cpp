#include "app/windows/export_progress_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <string>

#include "export/export_progress.h"

namespace zorva {

ExportProgressWindow::ExportProgressWindow(ExportProgress& progress)
    : QWidget(nullptr,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      progress_(progress) {
    setObjectName("export_progress");
    setWindowTitle("Zorva: Exporting");
    setFixedSize(kWidth, kHeight);
    setCursor(Qt::ArrowCursor);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    connect(&poll_timer_, &QTimer::timeout, this, [this] { poll(); });
    poll_timer_.start(kPollMs);
    poll();
}

void ExportProgressWindow::finish() {
    finished_ = true;
    poll_timer_.stop();
    close();
}

QRect ExportProgressWindow::cancel_rect() const {
    const int centre = width() / 2;
    return QRect(QPoint(centre - 50, 88), QPoint(centre + 50, 112));
}

void ExportProgressWindow::poll() {
    std::string text;
    int percent = percent_;
    const ExportProgress::Changes changes = progress_.take_changes(text, percent);
    if (changes.text) text_ = QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
    if (changes.percent) percent_ = percent;
    // A running press animation asks for the next frame.
    if (changes || press_repaints_ > 0) update();
}

void ExportProgressWindow::press() {
    progress_.cancel();
    press_repaints_ = kPressRepaints;
    update();
}

void ExportProgressWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setFont(QApplication::font());

    // The status line.
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(QRect(20, 15, width() - 40, 28), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     text_);

    // The bar: red where the work is still to do, green over the part done.
    const QRectF bar(30.5, 48.5, width() - 61.0, 24.0);
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(QColor(200, 0, 0));
    painter.drawRoundedRect(bar, 2.5, 2.5);
    const double done = (width() - 60) / 100.0 * percent_;
    if (done > 1.0) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 200, 0));
        painter.drawRoundedRect(QRectF(31.0, 49.0, done - 1.0, 24.0), 2.5, 2.5);
    }

    // CANCEL, grey while the press is shown.
    const QRect button = cancel_rect();
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(press_repaints_ > 0 ? QColor(160, 160, 160) : QColor(Qt::white));
    painter.drawRoundedRect(QRectF(button).adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
    painter.drawText(QRect(button.left(), 88, button.width(), 24), Qt::AlignCenter, "CANCEL");
    if (press_repaints_ > 0) --press_repaints_;
}

void ExportProgressWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && cancel_rect().contains(event->position().toPoint())) press();
    QWidget::mousePressEvent(event);
}

void ExportProgressWindow::closeEvent(QCloseEvent* event) {
    if (finished_) {
        event->accept();
        return;
    }
    // Closing cancels; the window goes when the plug-in has returned.
    press();
    event->ignore();
}

}  // namespace zorva
