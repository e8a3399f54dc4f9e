// The window shown while an exporter plug-in runs: "Zorva: Exporting", 600 x 150, with the plug-in's last
// message as the status line, the progress bar and the CANCEL button drawn by hand.
//
// The plug-in runs on a thread of its own; this window lives on the user-interface thread and looks at
// the shared ExportProgress every kPollMs. A click on CANCEL, or closing the window, sets the cancel
// flag the plug-in reads through IsExportCancelled; the window itself stays until the run has ended, so
// the editor stays modal while the plug-in still reads the project.
#pragma once

#include <QString>
#include <QTimer>
#include <QWidget>

namespace zorva {

class ExportProgress;

class ExportProgressWindow : public QWidget {
public:
    static constexpr int kWidth = 600;
    static constexpr int kHeight = 150;
    static constexpr int kPollMs = 25;
    static constexpr int kPressRepaints = 20;

    explicit ExportProgressWindow(ExportProgress& progress);

    // The run has ended: the window closes for good.
    void finish();

    // The CANCEL button's rectangle in the window.
    QRect cancel_rect() const;
    const QString& status_text() const { return text_; }
    int percent() const { return percent_; }
    // True while the button is drawn pressed.
    bool pressed() const { return press_repaints_ > 0; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void poll();
    void press();

    ExportProgress& progress_;
    QTimer poll_timer_;
    QString text_;
    int percent_ = 0;
    int press_repaints_ = 0;
    bool finished_ = false;
};

}  // namespace zorva
