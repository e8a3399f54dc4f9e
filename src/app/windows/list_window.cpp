#include "app/windows/list_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/windows/floating_tool_window.h"
#include "model/project.h"

namespace zorva {

namespace {

// A padlock, shut or open.
QIcon lock_icon(bool locked) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 1.6));
    // The shackle; an open lock lifts it off its right-hand post.
    QPainterPath shackle;
    shackle.moveTo(4.5, 8);
    shackle.lineTo(4.5, 5);
    shackle.arcTo(4.5, 1.5, 7, 7, 180, -180);
    shackle.lineTo(11.5, locked ? 8 : 5.5);
    painter.drawPath(locked ? shackle : shackle.translated(0, -1.5));
    painter.setBrush(locked ? QColor(200, 150, 40) : QColor(150, 190, 120));
    painter.drawRoundedRect(QRectF(2.5, 7.5, 11, 7.5), 1.5, 1.5);
    return QIcon(pixmap);
}

// An open eye, or one struck through.
QIcon eye_icon(bool visible) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(60, 60, 60), 1.4));
    QPainterPath eye;
    eye.moveTo(1.5, 8);
    eye.quadTo(8, 1.5, 14.5, 8);
    eye.quadTo(8, 14.5, 1.5, 8);
    painter.drawPath(eye);
    painter.setBrush(visible ? QColor(40, 110, 200) : QColor(170, 170, 170));
    painter.drawEllipse(QPointF(8, 8), 2.5, 2.5);
    if (!visible) {
        painter.setPen(QPen(QColor(200, 40, 40), 1.8));
        painter.drawLine(QPointF(2.5, 13.5), QPointF(13.5, 2.5));
    }
    return QIcon(pixmap);
}

}  // namespace

ListWindow::ListWindow(ListKind kind, QWidget* parent)
    : QWidget(parent, Qt::Tool), kind_(kind), list_(new QListWidget(this)) {
    setObjectName(QString("list_window_") + list_kind_title(kind));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(list_, 1);
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    layout->addLayout(row);

    add_button("P", "Properties", ListCommand::Properties);
    if (kind == ListKind::Maps || kind == ListKind::Layers) {
        add_button("U", "Move Up", ListCommand::MoveUp);
        add_button("D", "Move Down", ListCommand::MoveDown);
    }
    if (kind == ListKind::Layers) add_button("", "Visible", ListCommand::Visible);
    if (kind == ListKind::Entities) {
        add_button("H", "Flip Horizontal", ListCommand::FlipHorizontal, true);
        add_button("V", "Flip Vertical", ListCommand::FlipVertical, true);
        add_button("R", "Rotate", ListCommand::Rotate, true);
    }
    add_button("", "Lock", ListCommand::Lock);
    add_button("Add", "New", ListCommand::New);
    add_button("Del", "Delete", ListCommand::Delete);
    for (const char* tip : {"Properties", "Move Up", "Move Down", "Visible", "Flip Horizontal",
                            "Flip Vertical", "Rotate", "Lock", "New", "Delete"})
        if (QPushButton* b = button(tip)) row->addWidget(b);
    row->addStretch(1);

    setWindowTitle(QString::fromStdString(list_window_title(kind, 0)));
    resize(260, 300);
    setMinimumSize(sizeHint().boundedTo(QSize(200, 160)));

    // A click makes the line current before it selects it, so the selection, not the current row, says
    // which object was chosen.
    connect(list_, &QListWidget::itemSelectionChanged, this, [this] {
        if (!filling_) chosen(current_id());
    });
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this] { request(ListCommand::Properties, false); });
}

void ListWindow::request(ListCommand command, bool checked) {
    // The dialogs and questions of these commands hand the keyboard back to the list.
    if (command == ListCommand::Properties || command == ListCommand::Delete || command == ListCommand::New)
        list_->setFocus();
    emit command_requested(kind_, command, checked);
}

void ListWindow::chosen(ObjectId id) {
    if (project_) {
        if (selector_)
            selector_(id);
        else
            select_list_id(*project_, kind_, id);
    }
    controls_ = list_controls(project_, kind_, list_lines(project_, kind_), id);
    apply_controls();
    emit selection_changed(kind_, id);
}

void ListWindow::add_button(const QString& label, const QString& tool_tip, ListCommand command,
                            bool checkable) {
    auto* b = new QPushButton(label, this);
    b->setToolTip(tool_tip);
    b->setObjectName("button_" + QString(tool_tip).remove(' ').toLower());
    b->setCheckable(checkable);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMaximumWidth(40);
    b->setEnabled(false);
    if (command == ListCommand::Lock) b->setIcon(lock_icon(false));
    if (command == ListCommand::Visible) b->setIcon(eye_icon(true));
    connect(b, &QPushButton::clicked, this, [this, command](bool checked) { request(command, checked); });
    buttons_[tool_tip] = b;
}

QPushButton* ListWindow::button(const QString& tool_tip) const {
    const auto it = buttons_.find(tool_tip);
    return it == buttons_.end() ? nullptr : it->second;
}

ObjectId ListWindow::current_id() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) return kInvalidId;
    return selected.front()->data(Qt::UserRole).toUInt();
}

void ListWindow::refresh(Project* project) {
    project_ = project;
    const std::vector<ListLine> lines = list_lines(project, kind_);
    const ObjectId reselect = project ? selected_list_id(*project, kind_) : kInvalidId;
    filling_ = true;
    list_->clear();
    int selected_row = -1;
    for (const ListLine& line : lines) {
        auto* item = new QListWidgetItem(QString::fromLocal8Bit(line.text.c_str()), list_);
        item->setData(Qt::UserRole, static_cast<uint>(line.id));
        if (line.id == reselect && reselect != kInvalidId) selected_row = list_->count() - 1;
    }
    if (selected_row >= 0) list_->setCurrentRow(selected_row);
    filling_ = false;
    list_->setEnabled(!lines.empty());
    controls_ = list_controls(project, kind_, lines, selected_row >= 0 ? reselect : kInvalidId);
    apply_controls();
    setWindowTitle(QString::fromStdString(list_window_title(kind_, lines.size())));
}

void ListWindow::select(ObjectId id) {
    int found = -1;
    for (int row = 0; row < list_->count() && found < 0; ++row)
        if (list_->item(row)->data(Qt::UserRole).toUInt() == id) found = row;
    filling_ = true;
    if (found >= 0) {
        list_->setCurrentRow(found);
        list_->item(found)->setSelected(true);
    } else {
        // An id no line carries clears the selection.
        list_->setCurrentRow(-1);
        list_->clearSelection();
    }
    filling_ = false;
    chosen(found >= 0 ? id : kInvalidId);
}

void ListWindow::apply_controls() {
    list_->setEnabled(controls_.list);
    const auto enable = [this](const char* tool_tip, bool on) {
        if (QPushButton* b = button(tool_tip)) b->setEnabled(on);
    };
    enable("Properties", controls_.list);
    enable("Lock", controls_.list);
    enable("Visible", controls_.list);
    enable("Move Up", controls_.move_up);
    enable("Move Down", controls_.move_down);
    enable("Delete", controls_.remove);
    enable("New", controls_.add);
    for (const char* tip : {"Flip Horizontal", "Flip Vertical", "Rotate"})
        enable(tip, controls_.entity_checks);

    // The lock and visible buttons show the selected object's state, the check buttons the entity brush.
    bool locked = false;
    bool visible = true;
    if (project_) {
        switch (kind_) {
            case ListKind::Maps:
                if (const Map* map = project_->selected_map()) locked = map->is_locked;
                break;
            case ListKind::Layers:
                if (const Layer* layer = project_->selected_layer()) {
                    locked = layer->is_locked;
                    visible = layer->is_visible;
                }
                break;
            case ListKind::Entities:
                if (const ParentEntity* entity = project_->selected_parent_entity())
                    locked = entity->is_locked;
                break;
            case ListKind::TileSets:
                if (const TileSet* tile_set = project_->selected_tile_set()) locked = tile_set->is_locked;
                break;
        }
    }
    if (QPushButton* lock = button("Lock")) {
        const char* state = locked ? "locked" : "unlocked";
        if (lock->property("state").toString() != state) {
            lock->setIcon(lock_icon(locked));
            lock->setProperty("state", state);
        }
    }
    if (QPushButton* eye = button("Visible")) {
        const char* state = visible ? "visible" : "hidden";
        if (eye->property("state").toString() != state) {
            eye->setIcon(eye_icon(visible));
            eye->setProperty("state", state);
        }
    }
    if (project_ && kind_ == ListKind::Entities) {
        button("Flip Horizontal")->setChecked(project_->entity_brush.flip_horizontal);
        button("Flip Vertical")->setChecked(project_->entity_brush.flip_vertical);
        button("Rotate")->setChecked(project_->entity_brush.rotate);
    }
}

void ListWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (keep_on_screen_) keep_in_work_area(*this);
}

void ListWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    emit shown_changed(kind_, false);
}

void ListWindow::wheelEvent(QWheelEvent* event) {
    // A turn over the window but not over its list goes to the viewport.
    emit wheel_turned(event->angleDelta().y());
    event->accept();
}

}  // namespace zorva
