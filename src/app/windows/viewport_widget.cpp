#include "app/windows/viewport_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace zorva {

ViewportWidget::ViewportWidget(Renderer& renderer, std::function<RenderRequest()> make_request, QWidget* parent)
    : QWidget(parent), renderer_(renderer), make_request_(std::move(make_request)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(64, 64);
}

void ViewportWidget::paintEvent(QPaintEvent*) {
    RenderRequest request = make_request_();
    request.view = view_size();
    request.cursor = cursor_;
    QPainter painter(this);
    if (request.project && renderer_.redraw(request) == 0) {
        painter.drawImage(0, 0, renderer_.frame());
    } else {
        painter.fillRect(rect(), Qt::black);
    }
    ++paints_;
    emit painted();
}

void ViewportWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit resized();
}

void ViewportWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    cursor_ = ViewPoint{p.x(), p.y()};
    emit cursor_moved();
}

void ViewportWidget::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    cursor_.reset();
    emit cursor_moved();
}

void ViewportWidget::wheelEvent(QWheelEvent* event) {
    const QPoint p = event->position().toPoint();
    cursor_ = ViewPoint{p.x(), p.y()};
    emit wheel_turned(event->angleDelta().y());
    event->accept();
}

}  // namespace zorva
