// The "Tiles" tool window: the current map's tile set as a scrollable grid that sets the brush tile, the
// H, V and R buttons of the brush's flips and rotation, its attribute (typed or chosen from the common
// values), a preview of the brush, and the grid's display size. Everything it changes lives on the map.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <array>
#include <functional>
#include <memory>

#include "app/windows/floating_tool_window.h"
#include "model/tile_set.h"
#include "tools/tile_picker.h"
#include "tools/wheel_notches.h"

namespace zorva {

class BuiltinPictures;
class Preferences;
class Project;
struct Map;

class TilesWindow : public FloatingToolWindow {
    Q_OBJECT
public:
    // The common attribute values of the A button's menu, in menu order (then " " for 0).
    static constexpr std::array<int, 29> kCommonAttributes{249, 250, 248, 247, 251, 252, 253, 254, 233, 231,
                                                           232, 234, 235, 238, 242, 243, 229, 227, 228, 230,
                                                           236, 237, 241, 244, 239, 240, 245, 246, 255};

    TilesWindow(const BuiltinPictures& pictures, const Preferences& preferences, QWidget* parent);
    ~TilesWindow() override;

    void set_project(Project* project) { project_ = project; }
    void set_clock(std::function<std::int64_t()> clock) { clock_ = std::move(clock); }
    // Shows the map's state (title, buttons, fields, scroll bars, grid) when it changed.
    void sync(bool force = false);

    // Ctrl+arrows of the main window.
    bool step_brush(BrushStep step);
    // One notch of the Ctrl+wheel: the display size by one pixel.
    bool step_view_size(int direction);

    QWidget* grid() const { return grid_; }
    QWidget* preview() const { return preview_; }
    QPushButton* flip_horizontal_button() const { return flip_h_; }
    QPushButton* flip_vertical_button() const { return flip_v_; }
    QPushButton* rotate_button() const { return rotate_; }
    QLineEdit* attribute_field() const { return attribute_; }
    QToolButton* attribute_menu_button() const { return attribute_menu_; }
    QLineEdit* view_size_field() const { return view_size_; }
    QPushButton* smaller_button() const { return smaller_; }
    QPushButton* larger_button() const { return larger_; }
    QScrollBar* horizontal_bar() const { return h_bar_; }
    QScrollBar* vertical_bar() const { return v_bar_; }
    // The grid's columns and rows wholly shown.
    int whole_columns() const;
    int whole_rows() const;

signals:
    // The brush changed (the viewport's tools use it).
    void brush_changed();
    // A change that is saved with the project (the display size) was made.
    void project_changed();
    // The cursor moved over the grid (a float follows it).
    void pointer_moved(QPoint global);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    class Grid;
    class Preview;
    friend class Grid;

    Map* map() const;
    const TileSet* tile_set() const;
    TileCount tiles() const;
    void choose_at(QPoint grid_point);
    void wheel(int delta, bool horizontal_bar, bool ctrl);
    void set_attribute_from_field();
    void set_view_size_from_field();
    void show_attribute_menu();
    void flags_from_buttons();
    void scroll_bars_moved();
    void update_scroll_bars();
    std::int64_t now() const;

    const BuiltinPictures& pictures_;
    const Preferences& preferences_;
    Project* project_ = nullptr;
    std::function<std::int64_t()> clock_;
    QWidget* grid_ = nullptr;
    QWidget* preview_ = nullptr;
    QPushButton* flip_h_ = nullptr;
    QPushButton* flip_v_ = nullptr;
    QPushButton* rotate_ = nullptr;
    QLineEdit* attribute_ = nullptr;
    QToolButton* attribute_menu_ = nullptr;
    QLineEdit* view_size_ = nullptr;
    QPushButton* smaller_ = nullptr;
    QPushButton* larger_ = nullptr;
    QScrollBar* h_bar_ = nullptr;
    QScrollBar* v_bar_ = nullptr;
    WheelNotches notches_;
    bool syncing_ = false;
    QString shown_state_;
};

}  // namespace zorva
