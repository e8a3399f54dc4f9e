#include "app/windows/viewport_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "view/view_navigation.h"

namespace zorva {
namespace {

MouseButton to_button(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return MouseButton::Left;
        case Qt::RightButton:
            return MouseButton::Right;
        case Qt::MiddleButton:
            return MouseButton::Middle;
        default:
            return MouseButton::None;
    }
}

std::uint8_t to_buttons(Qt::MouseButtons buttons) {
    std::uint8_t held = 0;
    if (buttons & Qt::LeftButton) held |= kButtonLeft;
    if (buttons & Qt::RightButton) held |= kButtonRight;
    if (buttons & Qt::MiddleButton) held |= kButtonMiddle;
    return held;
}

std::uint8_t to_modifiers(Qt::KeyboardModifiers modifiers, bool z_held) {
    std::uint8_t held = z_held ? kModifierZ : 0;
    if (modifiers & Qt::ShiftModifier) held |= kModifierShift;
    if (modifiers & Qt::ControlModifier) held |= kModifierCtrl;
    if (modifiers & Qt::AltModifier) held |= kModifierAlt;
    return held;
}

Key to_key(const QKeyEvent& event) {
    const bool keypad = (event.modifiers() & Qt::KeypadModifier) != 0;
    const int key = event.key();
    if (keypad && key >= Qt::Key_0 && key <= Qt::Key_9)
        return static_cast<Key>(static_cast<int>(Key::Keypad0) + (key - Qt::Key_0));
    switch (key) {
        case Qt::Key_Escape:
            return Key::Escape;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return Key::Enter;
        case Qt::Key_Delete:
            return Key::Delete;
        case Qt::Key_Left:
            return Key::Left;
        case Qt::Key_Right:
            return Key::Right;
        case Qt::Key_Up:
            return Key::Up;
        case Qt::Key_Down:
            return Key::Down;
        case Qt::Key_Z:
            return Key::Z;
        default:
            return Key::Other;
    }
}

}  // namespace

ViewportWidget::ViewportWidget(Renderer& renderer, std::function<RenderRequest()> make_request,
                               QWidget* parent)
    : QWidget(parent), renderer_(renderer), make_request_(std::move(make_request)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(64, 64);
}

void ViewportWidget::set_tool_input(const ViewNavigator* navigator,
                                    std::function<bool(const ToolInput&)> handler) {
    navigator_ = navigator;
    handler_ = std::move(handler);
}

void ViewportWidget::paintEvent(QPaintEvent*) {
    RenderRequest request = make_request_();
    request.view = view_size();
    request.cursor = cursor_;
    QPainter painter(this);
    if (request.project && renderer_.redraw(request) == 0) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);  // the frame replaces what was shown
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

bool ViewportWidget::forward(ToolInput& input) {
    if (!handler_) return false;
    if (navigator_ && input.kind != InputKind::Leave) {
        input.cell = navigator_->cell_under(input.view);
        input.pixel = navigator_->layer_pixel_under(input.view);
    }
    const bool redraw = handler_(input);
    if (redraw) update();
    return redraw;
}

void ViewportWidget::forward_mouse(InputKind kind, QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    cursor_ = ViewPoint{p.x(), p.y()};
    ToolInput input;
    input.kind = kind;
    input.view = *cursor_;
    input.button = kind == InputKind::Move ? MouseButton::None : to_button(event->button());
    input.buttons = to_buttons(event->buttons());
    input.modifiers = to_modifiers(event->modifiers(), z_held_);
    forward(input);
    event->accept();
}

void ViewportWidget::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    forward_mouse(InputKind::Press, event);
}

void ViewportWidget::mouseReleaseEvent(QMouseEvent* event) { forward_mouse(InputKind::Release, event); }

void ViewportWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    forward_mouse(InputKind::DoubleClick, event);
}

void ViewportWidget::mouseMoveEvent(QMouseEvent* event) {
    forward_mouse(InputKind::Move, event);
    emit cursor_moved();
}

void ViewportWidget::keyPressEvent(QKeyEvent* event) {
    const Key key = to_key(*event);
    if (key == Key::Z) z_held_ = true;
    ToolInput input;
    input.kind = InputKind::KeyDown;
    input.view = cursor_.value_or(ViewPoint{});
    input.key = key;
    input.auto_repeat = event->isAutoRepeat();
    input.modifiers = to_modifiers(event->modifiers(), z_held_);
    if (!forward(input)) QWidget::keyPressEvent(event);
}

void ViewportWidget::keyReleaseEvent(QKeyEvent* event) {
    const Key key = to_key(*event);
    if (key == Key::Z && !event->isAutoRepeat()) z_held_ = false;
    ToolInput input;
    input.kind = InputKind::KeyUp;
    input.view = cursor_.value_or(ViewPoint{});
    input.key = key;
    input.auto_repeat = event->isAutoRepeat();
    input.modifiers = to_modifiers(event->modifiers(), z_held_);
    if (!forward(input)) QWidget::keyReleaseEvent(event);
}

void ViewportWidget::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (cursor_) {
        ToolInput input;
        input.kind = InputKind::Leave;
        input.view = *cursor_;
        forward(input);
    }
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
