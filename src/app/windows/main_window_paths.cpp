// The main window's side of the path tools: plugging them into the dispatch, the Path commands of the Edit
// menu and "Edit Path Points" (I), and committing the Path being drawn or edited before an export.
#include "app/command_table.h"
#include "app/windows/export_controller.h"
#include "app/windows/main_window.h"
#include "app/windows/viewport_widget.h"

namespace zorva {

void MainWindow::build_path_tools() {
    tools_.set_mode_tools(EditMode::Paths, &path_tools_);
    if (export_)
        export_->set_commit_before_export([this] {
            tools_.commit_pending();
            refresh_commands();
        });
    handlers_[cmd::kEditPathPoints] = [this] { run_path_command(&PathTool::toggle_point_editing); };
    handlers_[cmd::kSplitSegments] = [this] { run_path_command(&PathTool::split_segments); };
    handlers_[cmd::kReversePath] = [this] { run_path_command(&PathTool::reverse); };
    handlers_[cmd::kMakeStartPoint] = [this] { run_path_command(&PathTool::make_start_point); };
    handlers_[cmd::kMakeEndPoint] = [this] { run_path_command(&PathTool::make_end_point); };
    handlers_[cmd::kGenerateControlPoints] = [this] { run_path_command(&PathTool::generate_control_points); };
    handlers_[cmd::kSelectNextPathPoint] = [this] {
        if (edit_.mode() == EditMode::Paths && path_tools_.select_step(true)) tools_.refresh_overlay();
        viewport_->update();
    };
    handlers_[cmd::kSelectPreviousPathPoint] = [this] {
        if (edit_.mode() == EditMode::Paths && path_tools_.select_step(false)) tools_.refresh_overlay();
        viewport_->update();
    };
}

void MainWindow::run_path_command(bool (PathTool::*command)()) {
    if (edit_.mode() != EditMode::Paths) return;
    if ((path_tools_.*command)()) tools_.refresh_overlay();
    refresh_commands();
    viewport_->update();
}

bool MainWindow::path_command_enabled(int id, bool& known) const {
    known = true;
    const bool paths = edit_.mode() == EditMode::Paths && !tools_.floating_active();
    switch (id) {
        case cmd::kEditPathPoints:
            return paths && path_tools_.can_toggle_point_editing();
        case cmd::kSplitSegments:
            return paths && path_tools_.can_split_segments();
        case cmd::kReversePath:
            return paths && path_tools_.can_reverse();
        case cmd::kMakeStartPoint:
        case cmd::kMakeEndPoint:
            return paths && path_tools_.can_make_start_or_end();
        case cmd::kGenerateControlPoints:
            return paths && path_tools_.can_generate_control_points();
        case cmd::kSelectNextPathPoint:
        case cmd::kSelectPreviousPathPoint:
            return paths && path_tools_.can_select_step();
        default:
            known = false;
            return false;
    }
}

}  // namespace zorva
