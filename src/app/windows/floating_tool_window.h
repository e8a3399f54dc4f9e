// A modeless tool window of the main window (the Tiles and Mosaics windows): kept inside the desktop work
// area unless dialogs may move off screen, and reporting when the user closes it.
#pragma once

#include <QWidget>

namespace zorva {

// Moves a tool window whose frame left the desktop work area back inside it.
void keep_in_work_area(QWidget& window);

class FloatingToolWindow : public QWidget {
    Q_OBJECT
public:
    explicit FloatingToolWindow(QWidget* parent);

    void set_keep_on_screen(bool on) { keep_on_screen_ = on; }

signals:
    void shown_changed(bool shown);

protected:
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool keep_on_screen_ = true;
};

}  // namespace zorva
