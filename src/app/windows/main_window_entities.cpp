// The main window's side of the entity tools: plugging them into the dispatch, the Selected Entities window
// (shown, hidden and remembered like the other tool windows), "Edit C&ustom Variables" (Enter) and the
// window's "Custom Variables" button, and the Entities window following the brush a pick chose.
#include <QApplication>

#include "app/command_table.h"
#include "app/dialogs/custom_variables_dialog.h"
#include "app/windows/list_window.h"
#include "app/windows/main_window.h"
#include "app/windows/selection_window.h"
#include "app/windows/viewport_widget.h"
#include "prefs/preferences.h"

namespace zorva {

void MainWindow::build_entity_tools() {
    tools_.set_mode_tools(EditMode::Entities, &entity_tools_);

    selection_window_ = new SelectionWindow(this);
    selection_window_->set_keep_on_screen(!preferences_.flag(FlagA::AllowDialogsOffScreen));
    if (preferences_.tool_window_rect_stored(ToolWindow::SelectedEntities)) {
        const WindowRect r = preferences_.tool_window_rect(ToolWindow::SelectedEntities);
        QSize size = selection_window_->size();
        if (r.right > r.left && r.bottom > r.top) size = QSize(r.right - r.left, r.bottom - r.top);
        selection_window_->setGeometry(QRect(QPoint(r.left, r.top), size));
    } else {
        selection_window_->move(default_selection_window_position());
    }
    // The main window's keys work here too, except Enter, which finishes a typed field.
    for (const auto& [id, action] : actions_)
        if (!action->shortcuts().isEmpty() && id != cmd::kEditCustomVariables)
            selection_window_->addAction(action);
    connect(selection_window_, &FloatingToolWindow::shown_changed, this, [this](bool shown) {
        preferences_.set_flag(FlagA::ShowSelectedEntitiesWindow, shown);
        refresh_commands();
    });
    connect(selection_window_, &SelectionWindow::edited, this, [this] {
        tools_.refresh_overlay();
        refresh_commands();
        viewport_->update();
        request_redraw(true);
    });
    connect(selection_window_, &SelectionWindow::custom_variables_requested, this,
            [this] { edit_selected_custom_variables(); });

    handlers_[cmd::kSelectedEntitiesDialog] = [this] {
        show_selection_window(selection_window_->isHidden());
    };
    handlers_[cmd::kEditCustomVariables] = [this] { edit_selected_custom_variables(); };

    sync_entity_windows(true);
    if (preferences_.flag(FlagA::ShowSelectedEntitiesWindow)) selection_window_->show();
}

bool MainWindow::entity_command_enabled(int id, bool& known) const {
    known = true;
    switch (id) {
        case cmd::kEditCustomVariables: {
            // Any tool, one or more selected, in the modes that select objects.
            if (edit_.mode() == EditMode::Tiles || tools_.floating_active() || tools_.dragging())
                return false;
            const SelectionPanel* panel = tools_.selection_panel();
            return panel && panel->panel_state().count > 0;
        }
        default:
            known = false;
            return false;
    }
}

void MainWindow::show_selection_window(bool shown) {
    if (!selection_window_) return;
    preferences_.set_flag(FlagA::ShowSelectedEntitiesWindow, shown);
    if (shown) {
        sync_entity_windows(true);
        selection_window_->show();
    } else {
        selection_window_->hide();
    }
    refresh_commands();
}

void MainWindow::store_selection_window_rect() {
    if (!selection_window_) return;
    const QRect r = selection_window_->geometry();
    preferences_.set_tool_window_rect(ToolWindow::SelectedEntities,
                                      {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
    preferences_.set_tool_window_rect_stored(ToolWindow::SelectedEntities, true);
}

QPoint MainWindow::default_selection_window_position() const {
    // By the left edge of the view, under the tool bar.
    return geometry().topLeft() + QPoint(20, 120);
}

void MainWindow::reset_selection_window_position() {
    if (!selection_window_) return;
    preferences_.set_tool_window_rect_stored(ToolWindow::SelectedEntities, false);
    selection_window_->move(default_selection_window_position());
}

void MainWindow::sync_entity_windows(bool force) {
    if (selection_window_) {
        selection_window_->set_panel(tools_.selection_panel());
        if (force || !selection_window_->isHidden()) selection_window_->sync(force);
    }
    // A pick took another parent entity and flags into the brush: the Entities window shows them.
    if (entity_tools_.brush_serial() != entity_brush_serial_) {
        entity_brush_serial_ = entity_tools_.brush_serial();
        if (ListWindow* entities = list_window(ListKind::Entities)) entities->refresh(&project());
    }
}

void MainWindow::edit_selected_custom_variables() {
    SelectionPanel* panel = tools_.selection_panel();
    if (!panel || tools_.floating_active() || tools_.dragging() || QApplication::activeModalWidget()) return;
    const bool was_suspended = pacer_.suspended();
    pacer_.set_suspended(true);
    edit_selection_custom_variables(this, *panel, project(), preferences_, platform_);
    pacer_.set_suspended(was_suspended);
    tools_.refresh_overlay();
    sync_entity_windows(true);
    refresh_commands();
    request_redraw(true);
}

}  // namespace zorva
