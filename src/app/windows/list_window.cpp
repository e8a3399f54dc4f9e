#include "app/windows/list_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/tool_window_placement.h"
#include "model/project.h"

namespace zorva {

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

    add_button("P", "Properties");
    if (kind == ListKind::Maps || kind == ListKind::Layers) {
        add_button("U", "Move Up");
        add_button("D", "Move Down");
    }
    if (kind == ListKind::Layers) add_button("V", "Visible");
    if (kind == ListKind::Entities) {
        add_button("H", "Flip Horizontal", true);
        add_button("V", "Flip Vertical", true);
        add_button("R", "Rotate", true);
    }
    add_button("L", "Lock");
    add_button("Add", "New");
    add_button("Del", "Delete");
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
}

void ListWindow::chosen(ObjectId id) {
    if (project_) select_list_id(*project_, kind_, id);
    controls_ = list_controls(project_, kind_, list_lines(project_, kind_), id);
    apply_controls();
    emit selection_changed(kind_, id);
}

void ListWindow::add_button(const QString& label, const QString& tool_tip, bool checkable) {
    auto* b = new QPushButton(label, this);
    b->setToolTip(tool_tip);
    b->setCheckable(checkable);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMaximumWidth(40);
    // The object commands come with the properties dialogs; until then the buttons stay disabled.
    b->setEnabled(false);
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
    // The enabling worked out here is applied once the object commands exist; the list itself follows it.
    list_->setEnabled(controls_.list);
}

void ListWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!keep_on_screen_ || isMaximized() || !screen()) return;
    const QRect area = screen()->availableGeometry();
    const QRect frame = frameGeometry();
    const ScreenBox kept = keep_in_work_area({frame.x(), frame.y(), frame.width(), frame.height()},
                                             {area.x(), area.y(), area.width(), area.height()});
    if (kept.x != frame.x() || kept.y != frame.y()) move(kept.x, kept.y);
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
