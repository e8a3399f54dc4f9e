// The viewport: shows the renderer's offscreen frame in one copy, reports the cursor, the wheel and its size
// to the main window, and turns every mouse and key event into one ToolInput for the editing tools.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>

#include "render/renderer.h"
#include "tools/tool_input.h"

namespace zorva {

class ViewNavigator;

class ViewportWidget : public QWidget {
    Q_OBJECT
public:
    // `make_request` fills in what the frame shows (project, preferences, mode); the widget adds its size
    // and the cursor.
    ViewportWidget(Renderer& renderer, std::function<RenderRequest()> make_request,
                   QWidget* parent = nullptr);

    // Where the events go: `navigator` finds the cell and layer pixel under the cursor, `handler` takes the
    // input and answers true when the view must be redrawn.
    void set_tool_input(const ViewNavigator* navigator, std::function<bool(const ToolInput&)> handler);

    std::optional<ViewPoint> cursor() const { return cursor_; }
    // The Z key is down (a move started now copies).
    bool z_held() const { return z_held_; }
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
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void forward_mouse(InputKind kind, QMouseEvent* event);
    bool forward(ToolInput& input);

    Renderer& renderer_;
    std::function<RenderRequest()> make_request_;
    const ViewNavigator* navigator_ = nullptr;
    std::function<bool(const ToolInput&)> handler_;
    std::optional<ViewPoint> cursor_;
    bool z_held_ = false;
    int paints_ = 0;
};

}  // namespace zorva
