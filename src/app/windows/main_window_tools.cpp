// The main window's side of the editing tools: the viewport's events and the Edit, Mode and Window
// commands handed to the tool dispatch, the commands' enabling, the Tiles and Mosaics windows, undo held
// back while the view is busy, a move's lifted cells around saves and backups, scrolling after redraws,
// and the tool's cursor.
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>

#include "app/command_table.h"
#include "app/windows/main_window.h"
#include "app/windows/mosaics_window.h"
#include "app/windows/tile_pictures.h"
#include "app/windows/tiles_window.h"
#include "app/windows/viewport_widget.h"
#include "model/project.h"
#include "prefs/preferences.h"

namespace zorva {

namespace {

struct ToolCommandId {
    int id;
    ToolCommand command;
};

constexpr std::array<ToolCommandId, 29> kToolCommands{{
    {cmd::kCopy, ToolCommand::Copy},
    {cmd::kCut, ToolCommand::Cut},
    {cmd::kDelete, ToolCommand::Delete},
    {cmd::kPaste, ToolCommand::Paste},
    {cmd::kFloat, ToolCommand::Float},
    {cmd::kPasteMosaic, ToolCommand::PasteMosaic},
    {cmd::kSelectAll, ToolCommand::SelectAll},
    {cmd::kSelectNone, ToolCommand::SelectNone},
    {cmd::kFillTiles, ToolCommand::FillTiles},
    {cmd::kFillTileAttributes, ToolCommand::FillTileAttributes},
    {cmd::kClearTileAttributes, ToolCommand::ClearTileAttributes},
    {cmd::kPlacementFlipHorizontal, ToolCommand::BrushFlipHorizontal},
    {cmd::kPlacementFlipVertical, ToolCommand::BrushFlipVertical},
    {cmd::kPlacementRotate, ToolCommand::BrushRotate},
    {cmd::kNudgeLeft, ToolCommand::NudgeLeft},
    {cmd::kNudgeRight, ToolCommand::NudgeRight},
    {cmd::kNudgeUp, ToolCommand::NudgeUp},
    {cmd::kNudgeDown, ToolCommand::NudgeDown},
    {cmd::kDrop, ToolCommand::Drop},
    {cmd::kCancel, ToolCommand::Cancel},
    {cmd::kMoveViewToSelection, ToolCommand::MoveViewToSelection},
    {cmd::kFlipHorizontal, ToolCommand::FlipHorizontal},
    {cmd::kFlipVertical, ToolCommand::FlipVertical},
    {cmd::kRotate, ToolCommand::Rotate},
    {cmd::kIndividualFlipHorizontal, ToolCommand::IndividualFlipHorizontal},
    {cmd::kIndividualFlipVertical, ToolCommand::IndividualFlipVertical},
    {cmd::kIndividualRotate, ToolCommand::IndividualRotate},
    {cmd::kScale, ToolCommand::Scale},
    {cmd::kIndividualScale, ToolCommand::IndividualScale},
}};

const ToolCommandId* tool_command(int id) {
    for (const ToolCommandId& c : kToolCommands)
        if (c.id == id) return &c;
    return nullptr;
}

struct ToolId {
    int id;
    Tool tool;
};
constexpr std::array<ToolId, 5> kTools{{
    {cmd::kToolPlacement, Tool::Placement},
    {cmd::kToolEraser, Tool::Eraser},
    {cmd::kToolSelect, Tool::Select},
    {cmd::kToolExtraPlacement, Tool::ExtraPlacement},
    {cmd::kToolMove, Tool::Move},
}};

// The copied block as a picture for other programs, up to 4096 × 4096 pixels.
constexpr qint64 kClipboardPictureMaxPixels = qint64{4096} * 4096;

Qt::CursorShape cursor_for(Tool tool) {
    switch (tool) {
        case Tool::Placement:
            return Qt::ArrowCursor;
        case Tool::Eraser:
            return Qt::PointingHandCursor;
        case Tool::Select:
            return Qt::CrossCursor;
        case Tool::ExtraPlacement:
            return Qt::UpArrowCursor;
        case Tool::Move:
            return Qt::SizeAllCursor;
    }
    return Qt::ArrowCursor;
}

}  // namespace

void MainWindow::build_tile_tools() {
    session_.histories().set_busy_query([this] {
        ViewBusyState busy;
        busy.dragging = tools_.dragging();
        busy.floating_selection = tools_.floating_active();
        busy.modal_dialog = QApplication::activeModalWidget() != nullptr;
        busy.backup_running = session_.auto_backup().running();
        return busy;
    });
    // A move's lifted cells and a Path being drawn or edited belong in the file.
    session_.set_save_hooks(
        [this] {
            tools_.commit_pending();
            tools_.before_save();
        },
        [this] { tools_.after_save(); });
    connect(viewport_, &ViewportWidget::painted, this, [this] { after_viewport_redraw(); });

    tiles_window_ = new TilesWindow(pictures_, preferences_, this);
    mosaics_window_ = new MosaicsWindow(preferences_, platform_, this);
    tiles_window_->set_clock([this] { return now_ms(); });
    mosaics_window_->set_clock([this] { return now_ms(); });
    const struct {
        FloatingToolWindow* window;
        ToolWindow which;
        FlagA shown_bit;
    } windows[] = {
        {tiles_window_, ToolWindow::Tiles, FlagA::ShowTilesWindow},
        {mosaics_window_, ToolWindow::Mosaics, FlagA::ShowMosaicsWindow},
    };
    for (const auto& w : windows) {
        w.window->set_keep_on_screen(!preferences_.flag(FlagA::AllowDialogsOffScreen));
        if (preferences_.tool_window_rect_stored(w.which)) {
            const WindowRect r = preferences_.tool_window_rect(w.which);
            QSize size = w.window->size();
            if (r.right > r.left && r.bottom > r.top) size = QSize(r.right - r.left, r.bottom - r.top);
            w.window->setGeometry(QRect(QPoint(r.left, r.top), size));
        } else {
            w.window->move(default_tile_window_position(w.which));
        }
        // The main window's keys work in the tool windows too.
        for (const auto& [id, action] : actions_)
            if (!action->shortcuts().isEmpty()) w.window->addAction(action);
        connect(w.window, &FloatingToolWindow::shown_changed, this, [this, bit = w.shown_bit](bool shown) {
            preferences_.set_flag(bit, shown);
            refresh_commands();
        });
        if (preferences_.flag(w.shown_bit)) w.window->show();
    }
    connect(tiles_window_, &TilesWindow::brush_changed, this, [this] { request_redraw(false); });
    connect(tiles_window_, &TilesWindow::project_changed, this, [this] { project().modified = true; });
    connect(tiles_window_, &TilesWindow::pointer_moved, this, [this](QPoint at) { forward_pointer(at); });
    connect(mosaics_window_, &MosaicsWindow::mosaic_clicked, this, [this] {
        tools_.paste_mosaic_from_window();
        refresh_commands();
        request_redraw(true);
    });
    connect(mosaics_window_, &MosaicsWindow::add_requested, this, [this] { run_command(cmd::kNewMosaic); });
    connect(mosaics_window_, &MosaicsWindow::project_changed, this, [this] {
        project().modified = true;
        refresh_commands();
    });
    connect(mosaics_window_, &MosaicsWindow::pointer_moved, this, [this](QPoint at) { forward_pointer(at); });
    sync_tool_windows();
}

void MainWindow::connect_tool_commands() {
    for (const ToolCommandId& c : kToolCommands)
        handlers_[c.id] = [this, command = c.command] { run_tool_command(command); };
    for (const ToolId& t : kTools) handlers_[t.id] = [this, tool = t.tool] { tools_.set_tool(tool); };
    handlers_[cmd::kSnapToGrid] = [this] { toggle_view(cmd::kSnapToGrid); };
    handlers_[cmd::kTilesDialog] = [this] { show_tile_window(ToolWindow::Tiles, tiles_window_->isHidden()); };
    handlers_[cmd::kMosaicsDialog] = [this] {
        show_tile_window(ToolWindow::Mosaics, mosaics_window_->isHidden());
    };
    handlers_[cmd::kMinMaximizeTilesDialog] = [this] {
        if (tiles_window_->isMinimized())
            tiles_window_->showNormal();
        else
            tiles_window_->showMinimized();
    };
    const std::pair<int, BrushStep> steps[] = {{cmd::kTilesScrollLeft, BrushStep::Left},
                                               {cmd::kTilesScrollRight, BrushStep::Right},
                                               {cmd::kTilesScrollUp, BrushStep::Up},
                                               {cmd::kTilesScrollDown, BrushStep::Down}};
    for (const auto& entry : steps) {
        const BrushStep step = entry.second;
        handlers_[entry.first] = [this, step] { tiles_window_->step_brush(step); };
    }
    connect_mosaic_command();
}

// "Mosai&c" in the New menu and the Mosaics window's A button.
void MainWindow::connect_mosaic_command() {
    handlers_[cmd::kNewMosaic] = [this] {
        if (tools_.new_mosaic(mosaics_window_->visible_slots())) mosaics_window_->sync(true);
    };
}

bool MainWindow::tool_command_enabled(int id, bool& known) const {
    known = true;
    if (const ToolCommandId* c = tool_command(id)) return tools_.can(c->command);
    switch (id) {
        case cmd::kNewMosaic:
            return tools_.can_new_mosaic();
        case cmd::kMinMaximizeTilesDialog:
            return tiles_window_ && !tiles_window_->isHidden();
        case cmd::kTilesScrollLeft:
        case cmd::kTilesScrollRight:
        case cmd::kTilesScrollUp:
        case cmd::kTilesScrollDown: {
            const TileSet* tile_set = view_tile_set(project(), project().selected_map());
            return tile_set && count_tiles(*tile_set).count > 0;
        }
        default:
            known = false;
            return false;
    }
}

bool MainWindow::tile_window_shown(ToolWindow which) const {
    const QWidget* window =
        which == ToolWindow::Tiles ? static_cast<QWidget*>(tiles_window_) : mosaics_window_;
    return window && !window->isHidden();
}

void MainWindow::show_tile_window(ToolWindow which, bool shown) {
    FloatingToolWindow* window =
        which == ToolWindow::Tiles ? static_cast<FloatingToolWindow*>(tiles_window_) : mosaics_window_;
    preferences_.set_flag(which == ToolWindow::Tiles ? FlagA::ShowTilesWindow : FlagA::ShowMosaicsWindow,
                          shown);
    if (shown) {
        window->show();
        sync_tool_windows();
    } else {
        window->hide();
    }
    refresh_commands();
}

void MainWindow::store_tile_window_rects() {
    for (const auto& [window, which] :
         {std::pair<QWidget*, ToolWindow>{tiles_window_, ToolWindow::Tiles},
          std::pair<QWidget*, ToolWindow>{mosaics_window_, ToolWindow::Mosaics}}) {
        if (!window) continue;
        const QRect r = window->geometry();
        preferences_.set_tool_window_rect(which,
                                          {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
        preferences_.set_tool_window_rect_stored(which, true);
    }
}

QPoint MainWindow::default_tile_window_position(ToolWindow which) const {
    // Left of the column of list windows: the Tiles window on top, the Mosaics window under it.
    return geometry().topLeft() + QPoint(std::max(0, width() - 560), which == ToolWindow::Tiles ? 80 : 480);
}

void MainWindow::default_tile_window_positions() {
    for (const auto& [window, which] :
         {std::pair<QWidget*, ToolWindow>{tiles_window_, ToolWindow::Tiles},
          std::pair<QWidget*, ToolWindow>{mosaics_window_, ToolWindow::Mosaics}}) {
        if (!window) continue;
        preferences_.set_tool_window_rect_stored(which, false);
        window->move(default_tile_window_position(which));
    }
}

void MainWindow::hide_tile_windows() {
    if (tiles_window_) tiles_window_->hide();
    if (mosaics_window_) mosaics_window_->hide();
}

void MainWindow::run_tool_command(ToolCommand command) {
    const bool done = tools_.run(command, viewport_->z_held());
    if (done && (command == ToolCommand::Copy || command == ToolCommand::Cut))
        put_copied_tiles_on_clipboard();
    if (done && command == ToolCommand::Float) put_copied_tiles_on_clipboard();
    sync_tool_windows();
    viewport_->update();
}

void MainWindow::put_copied_tiles_on_clipboard() {
    const Clipboard& clipboard = tools_.clipboard();
    if (clipboard.kind != ClipKind::Tiles) return;
    const TileSet* tile_set = find_tile_set(project(), clipboard.tiles.tile_set_id);
    if (!tile_set) return;
    const QImage picture = block_picture(*tile_set, clipboard.tiles, kClipboardPictureMaxPixels);
    if (!picture.isNull()) QGuiApplication::clipboard()->setImage(picture);
}

bool MainWindow::handle_viewport_input(const ToolInput& input) {
    const Tool tool = edit_.tool();
    const bool redraw = tools_.handle(input);
    const bool settles = input.kind == InputKind::Press || input.kind == InputKind::Release ||
                         input.kind == InputKind::DoubleClick || input.kind == InputKind::KeyDown;
    if (settles || edit_.tool() != tool) refresh_commands();
    if (settles) sync_entity_windows();
    return redraw;
}

void MainWindow::forward_pointer(QPoint global) {
    // A float follows the cursor over the tool windows as well.
    if (!tools_.floating_active() || QApplication::activeModalWidget()) return;
    const QPoint local = viewport_->mapFromGlobal(global);
    ToolInput input;
    input.kind = InputKind::Move;
    input.view = ViewPoint{local.x(), local.y()};
    input.cell = navigator_.cell_under(input.view);
    input.pixel = navigator_.layer_pixel_under(input.view);
    if (tools_.handle(input)) viewport_->update();
}

void MainWindow::after_viewport_redraw() {
    // Where no event reports the cursor (outside the view, no button held), ask where it is.
    std::optional<ViewPoint> pointer;
    if (!viewport_->cursor()) {
        const QPoint local = viewport_->mapFromGlobal(QCursor::pos());
        pointer = ViewPoint{local.x(), local.y()};
    }
    const Tool tool = edit_.tool();
    if (tools_.after_redraw(now_ms(), pointer)) viewport_->update();
    if (edit_.tool() != tool) refresh_commands();
}

void MainWindow::sync_tool_windows() {
    if (tiles_window_) {
        tiles_window_->set_project(&project());
        tiles_window_->sync();
    }
    if (mosaics_window_) {
        mosaics_window_->set_project(&project());
        mosaics_window_->sync();
        mosaics_window_->set_can_add(tools_.can_new_mosaic());
    }
    sync_entity_windows();
    const Qt::CursorShape shape = cursor_for(edit_.tool());
    if (viewport_->QWidget::cursor().shape() != shape) viewport_->setCursor(shape);
}

bool MainWindow::wheel_notch_to_tool_windows(int direction) {
    // Ctrl and the wheel over the view zoom the Tiles window's grid.
    if (!(QApplication::keyboardModifiers() & Qt::ControlModifier) || !tiles_window_) return false;
    tiles_window_->step_view_size(direction);
    return true;
}

}  // namespace zorva
