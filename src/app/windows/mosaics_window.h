// The "Mosaics" tool window: the mosaics of the current map's tile set as a strip of thumbnails with a
// scroll bar, A to make a new mosaic from the selected cells and D to delete the current one. A click on a
// thumbnail makes that mosaic current and floats it in the viewport.
#pragma once

#include <QPushButton>
#include <QScrollBar>
#include <functional>

#include "app/windows/floating_tool_window.h"
#include "tools/wheel_notches.h"

namespace zorva {

class Platform;
class Preferences;
class Project;
struct TileSet;

class MosaicsWindow : public FloatingToolWindow {
    Q_OBJECT
public:
    MosaicsWindow(Preferences& preferences, Platform& platform, QWidget* parent);

    void set_project(Project* project) { project_ = project; }
    void set_clock(std::function<std::int64_t()> clock) { clock_ = std::move(clock); }
    // Shows the tile set's mosaics when anything shown changed.
    void sync(bool force = false);
    // The A button's state follows the New Mosaic command.
    void set_can_add(bool can) { add_->setEnabled(can); }
    // Thumbnails the strip shows wholly.
    std::size_t visible_slots() const;

    QWidget* strip() const { return strip_; }
    QPushButton* add_button() const { return add_; }
    QPushButton* delete_button() const { return delete_; }
    QScrollBar* scroll_bar() const { return bar_; }

signals:
    // A thumbnail was clicked; its mosaic is current now.
    void mosaic_clicked();
    // The A button.
    void add_requested();
    // A change that marks the project modified (a deleted mosaic).
    void project_changed();
    void pointer_moved(QPoint global);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Strip;
    friend class Strip;

    TileSet* tile_set() const;
    void clicked(int x);
    std::int64_t now() const;

    Preferences& preferences_;
    Platform& platform_;
    Project* project_ = nullptr;
    std::function<std::int64_t()> clock_;
    QWidget* strip_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* delete_ = nullptr;
    QScrollBar* bar_ = nullptr;
    WheelNotches notches_;
    bool syncing_ = false;
    QString shown_state_;
};

}  // namespace zorva
