// The viewport: shows the renderer's offscreen frame in one copy, and reports the cursor, the wheel and
// its size to the main window.
#pragma once

#include <QWidget>

#include <functional>
#include <optional>

#include "render/renderer.h"

namespace zorva {

class ViewportWidget : public QWidget {
    Q_OBJECT
public:
    // `make_request` fills in what the frame shows (project, preferences, mode); the widget adds its size
    // and the cursor.
    ViewportWidget(Renderer& renderer, std::function<RenderRequest()> make_request, QWidget* parent = nullptr);

    std::optional<ViewPoint> cursor() const { return cursor_; }
    ViewSize view_size() const { return {width(), height()}; }
    int paint_count() const { return paints_; }

signals:
    void painted();
    void cursor_moved();
    void wheel_turned(int delta);
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    Renderer& renderer_;
    std::function<RenderRequest()> make_request_;
    std::optional<ViewPoint> cursor_;
    int paints_ = 0;
};

}  // namespace zorva
