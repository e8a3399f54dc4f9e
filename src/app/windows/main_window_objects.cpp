// The main window's object commands: the New menu and the list windows' buttons, double-clicks and
// selections, each run through ObjectCommands with the Qt properties dialogs.
#include "app/command_table.h"
#include "app/dialogs/properties_dialogs.h"
#include "app/windows/list_window.h"
#include "app/windows/main_window.h"

namespace zorva {

void MainWindow::wire_object_commands() {
    dialogs_ = std::make_unique<QtPropertiesDialogs>(
        this, [this]() -> Project& { return project(); }, preferences_, platform_);
    objects_ = std::make_unique<ObjectCommands>(session_, *dialogs_);

    handlers_[cmd::kNewTileSet] = [this] { run_object_command([this] { return objects_->new_tile_set(); }); };
    handlers_[cmd::kNewMap] = [this] { run_object_command([this] { return objects_->new_map(); }); };
    handlers_[cmd::kNewLayer] = [this] { run_object_command([this] { return objects_->new_layer(); }); };
    handlers_[cmd::kNewEntity] = [this] {
        run_object_command([this] { return objects_->new_parent_entity(); });
    };

    for (ListWindow* window : lists_) {
        const ListKind kind = window->kind();
        // A line chosen by the user is a recorded selection.
        window->set_selector([this, kind](ObjectId id) {
            objects_->select(kind, id);
            refresh_commands();
        });
        connect(window, &ListWindow::command_requested, this,
                [this](ListKind which, ListCommand command, bool checked) {
                    run_list_command(which, command, checked);
                });
    }
    refresh_commands();
}

void MainWindow::run_list_command(ListKind kind, ListCommand command, bool checked) {
    switch (command) {
        case ListCommand::Properties:
            run_object_command([this, kind, command] { return objects_->run(kind, command); },
                               EndStrength::Light);
            break;
        case ListCommand::Delete:
        case ListCommand::New:
            run_object_command([this, kind, command] { return objects_->run(kind, command); });
            break;
        default:
            objects_->run(kind, command, checked);
            refresh_lists();
            refresh_commands();
            request_redraw(true);
            break;
    }
}

void MainWindow::run_object_command(const std::function<bool()>& command, EndStrength end) {
    tools_.end_action(end);
    const bool was_suspended = pacer_.suspended();
    pacer_.set_suspended(true);
    command();
    pacer_.set_suspended(was_suspended);
    refresh_lists();
    refresh_commands();
    request_redraw(true);
}

}  // namespace zorva
