#include "app/windows/tiles_window.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/windows/tile_pictures.h"
#include "image/builtin_pictures.h"
#include "model/project.h"
#include "prefs/preferences.h"
#include "render/draw_primitives.h"
#include "tools/mosaic_strip.h"
#include "view/view_geometry.h"

namespace zorva {

namespace {

QColor colour(std::uint32_t bgr) { return QColor::fromRgb(pixel_from_colour(bgr)); }

}  // namespace

// The grid of tiles: a square of the display size per tile, 2 pixels apart, from the map's top-left tile.
class TilesWindow::Grid : public QWidget {
public:
    explicit Grid(TilesWindow& window) : QWidget(&window), window_(window) {
        setObjectName("tiles_grid");
        setMouseTracking(true);
        setMinimumSize(40, 40);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QImage frame(std::max(width(), 1), std::max(height(), 1), QImage::Format_ARGB32_Premultiplied);
        frame.fill(colour(window_.preferences_.colour(PrefColour::TilesDialogBackground)));
        const Map* map = window_.map();
        const TileSet* tile_set = window_.tile_set();
        const TileCount tiles = window_.tiles();
        QRect brush;
        if (map && tile_set && tiles.count > 0) {
            const int size = tile_view_size(*map);
            const int cell = size + kTileGap;
            const GridSpot first = top_left_spot(*map, tiles);
            const int columns = shown_cells(width(), size);
            const int rows = shown_cells(height(), size);
            for (int r = 0; r < rows && first.row + r < tiles.down; ++r) {
                for (int c = 0; c < columns && first.column + c < tiles.across; ++c) {
                    const std::int64_t index = (first.row + r) * tiles.across + first.column + c + 1;
                    if (index > tiles.count) break;
                    const QRect at(c * cell + 1, r * cell + 1, size, size);
                    draw_tile(frame, *tile_set, GridCell{static_cast<std::uint32_t>(index), 0}, at);
                    if (index == map->selected_tile_index) brush = at;
                }
            }
        }
        QPainter painter(this);
        painter.drawImage(0, 0, frame);
        if (!brush.isNull()) {
            QPen pen(colour(window_.preferences_.colour(PrefColour::TilesDialogSelection)));
            pen.setWidth(kFrameWidth);
            pen.setJoinStyle(Qt::MiterJoin);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            // The frame covers the gap and reaches 2 pixels into the tile.
            painter.drawRect(brush.adjusted(0, 0, -1, -1));
        }
    }

    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton || event->button() == Qt::RightButton) {
            window_.choose_at(event->position().toPoint());
        } else if (event->button() == Qt::MiddleButton) {
            panning_ = true;
            pan_from_ = event->position().toPoint();
            if (const Map* map = window_.map()) pan_spot_ = top_left_spot(*map, window_.tiles());
        }
        event->accept();
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        emit window_.pointer_moved(event->globalPosition().toPoint());
        Map* map = window_.map();
        if (!panning_ || !map) return;
        // The grid follows the hand: dragged by the display size, it moves one tile.
        const QPoint moved = event->position().toPoint() - pan_from_;
        const int size = tile_view_size(*map);
        set_top_left(*map, window_.tiles(), pan_spot_.column - moved.x() / size,
                     pan_spot_.row - moved.y() / size);
        window_.sync();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::MiddleButton) panning_ = false;
    }

private:
    TilesWindow& window_;
    bool panning_ = false;
    QPoint pan_from_;
    GridSpot pan_spot_;
};

// The brush tile with its flips and rotation.
class TilesWindow::Preview : public QWidget {
public:
    explicit Preview(TilesWindow& window) : QWidget(&window), window_(window) {
        setObjectName("tiles_preview");
        setFixedSize(40, 40);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QImage frame(width(), height(), QImage::Format_ARGB32_Premultiplied);
        frame.fill(colour(window_.preferences_.colour(PrefColour::TilesDialogBackground)));
        const Map* map = window_.map();
        const TileSet* tile_set = window_.tile_set();
        if (map && tile_set)
            draw_tile(frame, *tile_set,
                      GridCell{map->selected_tile_index,
                               make_cell_flags(map->place_tile_horizontal_flip, map->place_tile_vertical_flip,
                                               map->place_tile_rotate, 0)},
                      rect().adjusted(2, 2, -2, -2));
        QPainter(this).drawImage(0, 0, frame);
    }

private:
    TilesWindow& window_;
};

TilesWindow::~TilesWindow() {
    // Fields losing the focus while the children are destroyed must not reach this object.
    for (QLineEdit* edit : {attribute_, view_size_})
        if (edit) edit->disconnect(this);
}

TilesWindow::TilesWindow(const BuiltinPictures& pictures, const Preferences& preferences, QWidget* parent)
    : FloatingToolWindow(parent), pictures_(pictures), preferences_(preferences) {
    setObjectName("tiles_window");
    setWindowTitle(QString::fromStdString(tiles_title(nullptr, TileCount{})));
    auto make_button = [this](const QString& label, const QString& tip, bool checkable) {
        auto* b = new QPushButton(label, this);
        b->setToolTip(tip);
        b->setCheckable(checkable);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedWidth(28);
        return b;
    };
    flip_h_ = make_button("H", "Flip Horizontal (F2)", true);
    flip_v_ = make_button("V", "Flip Vertical (F3)", true);
    rotate_ = make_button("R", "Rotate (F4)", true);
    attribute_ = new QLineEdit(this);
    attribute_->setObjectName("attribute_field");
    attribute_->setValidator(new QIntValidator(0, 255, attribute_));
    attribute_->setMaximumWidth(44);
    attribute_menu_ = new QToolButton(this);
    attribute_menu_->setText("A");
    attribute_menu_->setToolTip("Common Attribute Values");
    attribute_menu_->setFocusPolicy(Qt::NoFocus);
    preview_ = new Preview(*this);
    smaller_ = make_button(QString::fromUtf8("\u2212"), "Zoom (Ctrl + Mouse Wheel)", false);
    larger_ = make_button("+", "Zoom (Ctrl + Mouse Wheel)", false);
    view_size_ = new QLineEdit(this);
    view_size_->setObjectName("view_size_field");
    view_size_->setValidator(new QIntValidator(0, 99999, view_size_));
    view_size_->setMaximumWidth(44);
    grid_ = new Grid(*this);
    h_bar_ = new QScrollBar(Qt::Horizontal, this);
    v_bar_ = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {h_bar_, v_bar_}) {
        bar->setMinimum(1);
        bar->setMaximum(1);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->installEventFilter(this);
    }
    grid_->installEventFilter(this);
    attribute_->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    auto* top = new QHBoxLayout;
    top->setSpacing(3);
    top->addWidget(flip_h_);
    top->addWidget(flip_v_);
    top->addWidget(rotate_);
    top->addSpacing(6);
    top->addWidget(new QLabel("Attribute:", this));
    top->addWidget(attribute_);
    top->addWidget(attribute_menu_);
    top->addStretch(1);
    top->addWidget(preview_);
    layout->addLayout(top);
    auto* size_row = new QHBoxLayout;
    size_row->setSpacing(3);
    size_row->addWidget(new QLabel("View size:", this));
    size_row->addWidget(smaller_);
    size_row->addWidget(larger_);
    size_row->addWidget(view_size_);
    size_row->addStretch(1);
    layout->addLayout(size_row);
    auto* area = new QGridLayout;
    area->setSpacing(0);
    area->addWidget(grid_, 0, 0);
    area->addWidget(v_bar_, 0, 1);
    area->addWidget(h_bar_, 1, 0);
    layout->addLayout(area, 1);
    resize(260, 360);

    for (QPushButton* b : {flip_h_, flip_v_, rotate_})
        connect(b, &QPushButton::toggled, this, [this] { flags_from_buttons(); });
    connect(attribute_, &QLineEdit::editingFinished, this, [this] { set_attribute_from_field(); });
    connect(attribute_menu_, &QToolButton::clicked, this, [this] { show_attribute_menu(); });
    connect(view_size_, &QLineEdit::editingFinished, this, [this] { set_view_size_from_field(); });
    connect(smaller_, &QPushButton::clicked, this, [this] {
        if (Map* m = map(); m && set_tile_view_size(*m, tile_view_size(*m) - 4)) emit project_changed();
        sync();
    });
    connect(larger_, &QPushButton::clicked, this, [this] {
        if (Map* m = map(); m && set_tile_view_size(*m, tile_view_size(*m) + 4)) emit project_changed();
        sync();
    });
    connect(h_bar_, &QScrollBar::valueChanged, this, [this] { scroll_bars_moved(); });
    connect(v_bar_, &QScrollBar::valueChanged, this, [this] { scroll_bars_moved(); });
}

Map* TilesWindow::map() const { return project_ ? project_->selected_map() : nullptr; }

const TileSet* TilesWindow::tile_set() const { return project_ ? view_tile_set(*project_, map()) : nullptr; }

TileCount TilesWindow::tiles() const {
    const TileSet* set = tile_set();
    return set ? count_tiles(*set) : TileCount{};
}

std::int64_t TilesWindow::now() const { return clock_ ? clock_() : QDateTime::currentMSecsSinceEpoch(); }

int TilesWindow::whole_columns() const {
    const Map* m = map();
    return whole_cells(grid_->width(), m ? tile_view_size(*m) : kMinTileDisplaySize);
}

int TilesWindow::whole_rows() const {
    const Map* m = map();
    return whole_cells(grid_->height(), m ? tile_view_size(*m) : kMinTileDisplaySize);
}

void TilesWindow::sync(bool force) {
    const Map* m = map();
    const TileSet* set = tile_set();
    const TileCount count = tiles();
    // Everything shown, as one text: nothing is redone while it stays the same.
    const QString state =
        m ? QString("%1 %2 %3 %4 %5 %6 %7 %8 %9 %10 %11 %12 %13")
                    .arg(m->unique_id)
                    .arg(set ? set->unique_id : kInvalidId)
                    .arg(count.count)
                    .arg(count.across)
                    .arg(m->selected_tile_index)
                    .arg(static_cast<int>(m->place_tile_horizontal_flip))
                    .arg(static_cast<int>(m->place_tile_vertical_flip))
                    .arg(static_cast<int>(m->place_tile_rotate))
                    .arg(static_cast<int>(m->place_tile_attribute))
                    .arg(m->top_left_tile_index_in_tiles_dialog)
                    .arg(tile_view_size(*m))
                    .arg(grid_->width())
                    .arg(grid_->height()) +
                QString(" %1").arg(reinterpret_cast<quintptr>(set ? set->image.pixels() : nullptr))
          : QString();
    if (!force && state == shown_state_) return;
    shown_state_ = state;
    syncing_ = true;
    setWindowTitle(QString::fromStdString(tiles_title(m, count)));
    flip_h_->setChecked(m && m->place_tile_horizontal_flip);
    flip_v_->setChecked(m && m->place_tile_vertical_flip);
    rotate_->setChecked(m && m->place_tile_rotate);
    for (QWidget* w : std::initializer_list<QWidget*>{flip_h_, flip_v_, rotate_, attribute_, attribute_menu_,
                                                      smaller_, larger_, view_size_})
        w->setEnabled(m != nullptr);
    if (!attribute_->hasFocus())
        attribute_->setText(m ? QString::number(m->place_tile_attribute) : QString());
    if (!view_size_->hasFocus()) view_size_->setText(m ? QString::number(tile_view_size(*m)) : QString());
    update_scroll_bars();
    syncing_ = false;
    grid_->update();
    preview_->update();
}

void TilesWindow::update_scroll_bars() {
    const Map* m = map();
    const TileCount count = tiles();
    const bool any = m && count.count > 0;
    const GridSpot first = any ? top_left_spot(*m, count) : GridSpot{};
    h_bar_->setRange(1, any ? static_cast<int>(count.across) : 1);
    v_bar_->setRange(1, any ? static_cast<int>(count.down) : 1);
    h_bar_->setPageStep(whole_columns());
    v_bar_->setPageStep(whole_rows());
    h_bar_->setValue(static_cast<int>(first.column) + 1);
    v_bar_->setValue(static_cast<int>(first.row) + 1);
}

void TilesWindow::scroll_bars_moved() {
    if (syncing_) return;
    if (Map* m = map()) set_top_left(*m, tiles(), h_bar_->value() - 1, v_bar_->value() - 1);
    sync();
}

void TilesWindow::choose_at(QPoint grid_point) {
    Map* m = map();
    if (!m) return;
    const std::uint32_t tile = tile_at(*m, tiles(), grid_point.x(), grid_point.y());
    if (tile == 0) return;
    choose_tile(*m, tile);
    sync();
    emit brush_changed();
}

bool TilesWindow::step_brush(BrushStep step) {
    Map* m = map();
    if (!m || !zorva::step_brush(*m, tiles(), step, whole_columns(), whole_rows())) return false;
    sync();
    emit brush_changed();
    return true;
}

bool TilesWindow::step_view_size(int direction) {
    Map* m = map();
    if (!m || !set_tile_view_size(*m, tile_view_size(*m) + direction)) return false;
    sync();
    emit project_changed();
    return true;
}

void TilesWindow::flags_from_buttons() {
    if (syncing_) return;
    Map* m = map();
    if (!m) return;
    m->place_tile_horizontal_flip = flip_h_->isChecked();
    m->place_tile_vertical_flip = flip_v_->isChecked();
    m->place_tile_rotate = rotate_->isChecked();
    sync();
    emit brush_changed();
}

void TilesWindow::set_attribute_from_field() {
    Map* m = map();
    bool ok = false;
    const int value = attribute_->text().toInt(&ok);
    if (m && ok && value >= 0 && value <= 255 && value != m->place_tile_attribute) {
        m->place_tile_attribute = static_cast<std::uint8_t>(value);
        emit brush_changed();
    }
    sync(true);
}

void TilesWindow::set_view_size_from_field() {
    Map* m = map();
    bool ok = false;
    const long long value = view_size_->text().toLongLong(&ok);
    if (m && ok && set_tile_view_size(*m, value)) emit project_changed();
    view_size_->clearFocus();
    sync(true);
}

void TilesWindow::show_attribute_menu() {
    Map* m = map();
    if (!m) return;
    QMenu menu(this);
    menu.setObjectName("common_attributes");
    menu.setToolTipsVisible(true);
    for (int value : kCommonAttributes) {
        QImage icon = to_qimage(pictures_.attribute_icon(value));
        QAction* action = menu.addAction(QIcon(QPixmap::fromImage(icon)), QString());
        action->setToolTip(QString::number(value));
        action->setData(value);
    }
    menu.addAction(" ")->setData(0);
    QAction* chosen = menu.exec(QCursor::pos());
    if (!chosen || !map()) return;
    map()->place_tile_attribute = static_cast<std::uint8_t>(chosen->data().toInt());
    sync(true);
    emit brush_changed();
}

void TilesWindow::wheel(int delta, bool horizontal_bar, bool ctrl) {
    const int notch = notches_.add(delta, now());
    if (notch == 0) return;
    Map* m = map();
    if (!m) return;
    if (ctrl) {
        if (preferences_.flag(FlagA::EnableMouseWheelZoom)) step_view_size(notch);
        return;
    }
    const GridSpot first = top_left_spot(*m, tiles());
    // Wheel up shows earlier rows (or columns).
    if (horizontal_bar)
        set_top_left(*m, tiles(), first.column - notch, first.row);
    else
        set_top_left(*m, tiles(), first.column, first.row - notch);
    sync();
}

bool TilesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && (watched == grid_ || watched == h_bar_ || watched == v_bar_)) {
        const auto* turn = static_cast<QWheelEvent*>(event);
        const int delta = turn->angleDelta().y() != 0 ? turn->angleDelta().y() : turn->angleDelta().x();
        wheel(delta, watched == h_bar_, (turn->modifiers() & Qt::ControlModifier) != 0);
        return true;
    }
    if (watched == attribute_ && event->type() == QEvent::FocusOut) {
        // Text that is no number from 0 to 255 gives way to the brush's attribute.
        set_attribute_from_field();
    }
    return FloatingToolWindow::eventFilter(watched, event);
}

void TilesWindow::wheelEvent(QWheelEvent* event) {
    // Ctrl and the wheel zoom the grid from anywhere in the window.
    if (event->modifiers() & Qt::ControlModifier) wheel(event->angleDelta().y(), false, true);
    event->accept();
}

void TilesWindow::resizeEvent(QResizeEvent* event) {
    FloatingToolWindow::resizeEvent(event);
    sync();
}

}  // namespace zorva
