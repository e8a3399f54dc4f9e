#include "app/windows/mosaics_window.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/windows/tile_pictures.h"
#include "model/project.h"
#include "prefs/preferences.h"
#include "render/draw_primitives.h"
#include "tools/mosaic_strip.h"
#include "view/view_geometry.h"

namespace zorva {

namespace {

QColor colour(std::uint32_t bgr) { return QColor::fromRgb(pixel_from_colour(bgr)); }

}  // namespace

// The thumbnails: squares of the strip's height, 2 pixels apart, from the tile set's first shown mosaic.
class MosaicsWindow::Strip : public QWidget {
public:
    explicit Strip(MosaicsWindow& window) : QWidget(&window), window_(window) {
        setObjectName("mosaics_strip");
        setMouseTracking(true);
        setMinimumSize(60, 48);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QImage frame(std::max(width(), 1), std::max(height(), 1), QImage::Format_ARGB32_Premultiplied);
        frame.fill(colour(window_.preferences_.colour(PrefColour::TilesDialogBackground)));
        const TileSet* tile_set = window_.tile_set();
        QRect current;
        if (tile_set) {
            const int side = height();
            const std::size_t first = first_shown_index(*tile_set);
            for (std::size_t i = first, slot = 0; i < tile_set->mosaics.size(); ++i, ++slot) {
                const int left = static_cast<int>(slot) * (side + kMosaicGap);
                if (left >= width()) break;
                const Mosaic& mosaic = *tile_set->mosaics[i];
                const ThumbnailCell cell = thumbnail_cell(mosaic, tile_set->single_tile_pixel_width,
                                                          tile_set->single_tile_pixel_height, side);
                if (mosaic.grid.size() == std::size_t{mosaic.gw} * mosaic.gh) {
                    // Only the cells that reach into the square are drawn.
                    const auto columns =
                        std::min<std::uint32_t>(mosaic.gw, static_cast<std::uint32_t>(side / cell.width + 1));
                    const auto rows = std::min<std::uint32_t>(
                        mosaic.gh, static_cast<std::uint32_t>(side / cell.height + 1));
                    for (std::uint32_t y = 0; y < rows; ++y)
                        for (std::uint32_t x = 0; x < columns; ++x) {
                            const QRect at(left + static_cast<int>(x) * cell.width,
                                           static_cast<int>(y) * cell.height, cell.width, cell.height);
                            draw_tile(frame, *tile_set, *mosaic.cell(x, y),
                                      at.intersected(QRect(left, 0, side, side)));
                        }
                }
                if (mosaic.uid == tile_set->selected_mosaic_id) current = QRect(left, 0, side, side);
            }
        }
        QPainter painter(this);
        painter.drawImage(0, 0, frame);
        if (!current.isNull()) {
            QPen pen(colour(window_.preferences_.colour(PrefColour::TilesDialogSelection)));
            pen.setWidth(kFrameWidth);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(current.adjusted(1, 1, -2, -2));
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) window_.clicked(event->position().toPoint().x());
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        emit window_.pointer_moved(event->globalPosition().toPoint());
    }

private:
    MosaicsWindow& window_;
};

MosaicsWindow::MosaicsWindow(Preferences& preferences, Platform& platform, QWidget* parent)
    : FloatingToolWindow(parent), preferences_(preferences), platform_(platform) {
    setObjectName("mosaics_window");
    setWindowTitle(QString::fromStdString(mosaics_title(nullptr)));
    strip_ = new Strip(*this);
    add_ = new QPushButton("A", this);
    add_->setToolTip("New Mosaic (Ctrl+K)");
    delete_ = new QPushButton("D", this);
    delete_->setToolTip("Delete Mosaic");
    for (QPushButton* b : {add_, delete_}) {
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedWidth(28);
    }
    bar_ = new QScrollBar(Qt::Horizontal, this);
    bar_->setFocusPolicy(Qt::NoFocus);
    bar_->setRange(0, 0);
    strip_->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    row->addWidget(strip_, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(delete_);
    buttons->addStretch(1);
    row->addLayout(buttons);
    layout->addLayout(row, 1);
    layout->addWidget(bar_);
    resize(360, 110);

    connect(add_, &QPushButton::clicked, this, [this] { emit add_requested(); });
    connect(delete_, &QPushButton::clicked, this, [this] {
        TileSet* set = tile_set();
        if (set && delete_current_mosaic(*set, preferences_, platform_)) emit project_changed();
        sync(true);
    });
    connect(bar_, &QScrollBar::valueChanged, this, [this](int value) {
        TileSet* set = tile_set();
        if (syncing_ || !set) return;
        scroll_strip(*set, value - static_cast<long long>(first_shown_index(*set)));
        sync();
    });
}

TileSet* MosaicsWindow::tile_set() const {
    return project_ ? view_tile_set(*project_, project_->selected_map()) : nullptr;
}

std::int64_t MosaicsWindow::now() const { return clock_ ? clock_() : QDateTime::currentMSecsSinceEpoch(); }

std::size_t MosaicsWindow::visible_slots() const { return strip_slots(strip_->width(), strip_->height()); }

void MosaicsWindow::sync(bool force) {
    const TileSet* set = tile_set();
    QString state;
    if (set) {
        state = QString("%1 %2 %3 %4 %5 %6 %7")
                    .arg(set->unique_id)
                    .arg(set->selected_mosaic_id)
                    .arg(set->left_most_mosaic_id_on_mosaics_dialog)
                    .arg(strip_->width())
                    .arg(strip_->height())
                    .arg(reinterpret_cast<quintptr>(set->image.pixels()))
                    .arg(set->mosaics.size());
        for (const auto& mosaic : set->mosaics) state += QString(" %1").arg(mosaic->uid);
    }
    if (!force && state == shown_state_) return;
    shown_state_ = state;
    syncing_ = true;
    setWindowTitle(QString::fromStdString(mosaics_title(set)));
    const int count = set ? static_cast<int>(set->mosaics.size()) : 0;
    bar_->setRange(0, std::max(0, count - 1));
    bar_->setPageStep(static_cast<int>(visible_slots()));
    bar_->setValue(set ? static_cast<int>(first_shown_index(*set)) : 0);
    delete_->setEnabled(set && find_mosaic(*set, set->selected_mosaic_id));
    syncing_ = false;
    strip_->update();
}

void MosaicsWindow::clicked(int x) {
    TileSet* set = tile_set();
    const Mosaic* mosaic = set ? mosaic_at_x(*set, x, strip_->height()) : nullptr;
    if (!mosaic) return;
    set->selected_mosaic_id = mosaic->uid;
    sync(true);
    emit mosaic_clicked();
}

bool MosaicsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == strip_ && event->type() == QEvent::Wheel) {
        const auto* turn = static_cast<QWheelEvent*>(event);
        const int delta = turn->angleDelta().y() != 0 ? turn->angleDelta().y() : turn->angleDelta().x();
        const int notch = notches_.add(delta, now());
        TileSet* set = tile_set();
        // Wheel up shows earlier mosaics.
        if (notch != 0 && set && scroll_strip(*set, -notch)) sync();
        return true;
    }
    return FloatingToolWindow::eventFilter(watched, event);
}

}  // namespace zorva
