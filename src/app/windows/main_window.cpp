#include "app/windows/main_window.h"

#include <png.h>
#include <zlib.h>

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <pugixml.hpp>

#include "app/command_table.h"
#include "app/dialogs/map_import_dialog.h"
#include "app/dialogs/missing_resources_dialog.h"
#include "app/dialogs/preferences_dialog.h"
#include "app/dialogs/properties_dialogs.h"
#include "app/map_import_command.h"
#include "app/recent_menu.h"
#include "app/tmx_import_command.h"
#include "app/windows/export_controller.h"
#include "app/windows/list_window.h"
#include "app/windows/viewport_widget.h"
#include "base/install_layout.h"
#include "prefs/preferences.h"
#include "view/status_text.h"

namespace zorva {

namespace {

QString qs(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

struct ListWindowInfo {
    ListKind kind;
    FlagA shown_bit;
    ToolWindow window;
    int command;
};

constexpr std::array<ListWindowInfo, 4> kListWindows{{
    {ListKind::Maps, FlagA::ShowMapsWindow, ToolWindow::Maps, cmd::kMapsDialog},
    {ListKind::Layers, FlagA::ShowLayersWindow, ToolWindow::Layers, cmd::kLayersDialog},
    {ListKind::Entities, FlagA::ShowEntitiesWindow, ToolWindow::Entities, cmd::kEntitiesDialog},
    {ListKind::TileSets, FlagA::ShowTileSetsWindow, ToolWindow::TileSets, cmd::kTileSetsDialog},
}};

const ListWindowInfo& list_info(ListKind kind) { return kListWindows[static_cast<std::size_t>(kind)]; }

// The view toggles kept in flags A.
struct FlagToggle {
    int command;
    FlagA bit;
};
constexpr std::array<FlagToggle, 9> kFlagToggles{{
    {cmd::kViewGridItem, FlagA::ViewGrid},
    {cmd::kViewGrid, FlagA::ViewGrid},
    {cmd::kViewTileAttributes, FlagA::ViewTileAttributes},
    {cmd::kViewEntities, FlagA::ViewEntities},
    {cmd::kViewPaths, FlagA::ViewPaths},
    {cmd::kViewOrigin, FlagA::ViewOriginMarker},
    {cmd::kViewObjectsBeneathCursor, FlagA::ViewObjectsBeneathCursor},
    {cmd::kViewPathPointNormals, FlagA::ViewPathPointNormals},
    {cmd::kViewPathPointVorelNormals, FlagA::ViewPathPointVorelNormals},
}};

struct ZoomItem {
    int command;
    std::uint32_t percent;
};
constexpr std::array<ZoomItem, 7> kZoomItems{{
    {cmd::kZoom800, 800},
    {cmd::kZoom400, 400},
    {cmd::kZoom200, 200},
    {cmd::kZoom100, 100},
    {cmd::kZoom75, 75},
    {cmd::kZoom50, 50},
    {cmd::kZoom25, 25},
}};

// The tool buttons: control id, tool tip, label, command.
struct ToolButton {
    int control;
    const char* tool_tip;
    const char* label;
    int command;
};
constexpr std::array<ToolButton, 17> kToolButtons{{
    {1059, "Zoom In", "+", cmd::kZoomIn},
    {1060, "Zoom Out", "-", cmd::kZoomOut},
    {1062, "New (Ctrl+N)", "New", cmd::kNew},
    {1061, "Open (Ctrl+O)", "Open", cmd::kOpen},
    {1063, "Save (Ctrl+S)", "Save", cmd::kSave},
    {1064, "Cut (Ctrl+X)", "Cut", cmd::kCut},
    {1065, "Copy (Ctrl+C)", "Copy", cmd::kCopy},
    {1066, "Paste (Ctrl+V)", "Paste", cmd::kPaste},
    {1040, "Tiles (T)", "Tiles", cmd::kEditTiles},
    {1041, "Entities (Y)", "Entities", cmd::kEditEntities},
    {1042, "Paths (U)", "Paths", cmd::kEditPaths},
    {1123, "Edit Path Points (I)", "Points", cmd::kEditPathPoints},
    {1043, "Placement (A)", "Place", cmd::kToolPlacement},
    {1044, "Eraser (E)", "Erase", cmd::kToolEraser},
    {1045, "Select (S)", "Select", cmd::kToolSelect},
    {1046, "Extra Placement (Q) Click and drag to place adjacent tiles.", "Extra", cmd::kToolExtraPlacement},
    {1047, "Move (M)", "Move", cmd::kToolMove},
}};

}  // namespace

MainWindow::MainWindow(Preferences& preferences, Platform& platform, std::filesystem::path data_folder,
                       QWidget* parent)
    : QMainWindow(parent),
      preferences_(preferences),
      platform_(platform),
      data_folder_(std::move(data_folder)),
      session_(preferences, platform, data_folder_, [this] { return now_ms(); }),
      renderer_(pictures_),
      pacer_([this] { return now_ms(); }, &preferences, &platform),
      navigator_(&session_.project(), &preferences, &pacer_) {
    setObjectName("main_window");
    setWindowTitle(qs(project_title(project())));
    resize(1200, 800);

    // The viewport fills the client area; the panes sit under it.
    viewport_ = new ViewportWidget(renderer_, [this] {
        RenderRequest request;
        request.project = &project();
        request.preferences = &preferences_;
        request.mode = edit_.mode();
        request.now_ms = now_ms();
        request.main_window_enabled = QApplication::activeModalWidget() == nullptr;
        request.overlay = &tools_.overlay();
        return request;
    });
    viewport_->set_tool_input(&navigator_,
                              [this](const ToolInput& input) { return handle_viewport_input(input); });
    setCentralWidget(viewport_);
    build_menus();
    build_toolbar();
    build_status();
    connect_commands();
    connect_export_commands();
    connect_map_import();
    connect_tmx_import();

    session_.set_project_replaced([this] { project_replaced(); });
    session_.set_missing_resources_check([this](Project& read, const std::string& path) {
        pacer_.set_suspended(true);
        const ResourceCheckOutcome outcome =
            run_missing_resources(this, read, platform_, path, [this] { run_command(cmd::kHelp); });
        pacer_.set_suspended(false);
        return static_cast<MissingResourcesOutcome>(static_cast<int>(outcome));
    });

    // The tool windows with their shown bits and remembered rectangles.
    build_list_windows();
    build_tile_tools();
    build_entity_tools();
    build_path_tools();
    wire_object_commands();

    // Redraw pacing and the status timer.
    pacer_.set_hooks({
        [this] {
            // Not while a move has cells lifted out of the layer: the backup waits for the drop.
            if (!tools_.cells_lifted()) session_.try_auto_backup();
        },
        [this] { setWindowTitle(qs(project_title(project()))); },
        [this] { viewport_->update(); },
        [this] { return renderer_.take_offscreen_failure(); },
    });
    connect(&redraw_timer_, &QTimer::timeout, this, [this] { pacer_.request(false); });
    connect(&status_timer_, &QTimer::timeout, this, [this] {
        update_status();
        sync_tool_windows();
    });
    redraw_timer_.start(kRedrawPeriodMs);
    status_timer_.start(kStatusPeriodMs);
    connect(viewport_, &ViewportWidget::resized, this, [this] {
        navigator_.set_view_size(viewport_->view_size());
        request_redraw(true);
    });
    connect(viewport_, &ViewportWidget::cursor_moved, this,
            [this] { navigator_.set_cursor(viewport_->cursor()); });
    connect(viewport_, &ViewportWidget::wheel_turned, this, [this](int delta) {
        navigator_.set_cursor(viewport_->cursor());
        navigator_.wheel(delta, now_ms(),
                         [this](int direction) { return wheel_notch_to_tool_windows(direction); });
        refresh_commands();
    });
    connect(viewport_, &ViewportWidget::painted, this, [this] {
        if (first_frame_) return;
        first_frame_ = true;
        emit first_frame_painted();
    });

    tools_.set_mode(EditMode::Tiles);
    tools_.set_tool(Tool::Placement);
    setAcceptDrops(true);
    qApp->installEventFilter(this);
    refresh_lists();
    refresh_commands();
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    // The zoom field losing the focus while the children are destroyed must not reach this object.
    if (zoom_field_) zoom_field_->disconnect(this);
    redraw_timer_.stop();
    status_timer_.stop();
}

// --- Menus and buttons ---------------------------------------------------------------------------------

void MainWindow::build_menus() {
    std::map<std::string_view, QMenu*> menus;
    for (std::string_view path : command_menus()) {
        const std::size_t slash = path.find('/');
        if (slash == std::string_view::npos) {
            menus[path] = menuBar()->addMenu(qs(path));
        } else {
            QMenu* parent = menus[path.substr(0, slash)];
            menus[path] = parent->addMenu(qs(path.substr(slash + 1)));
        }
        connect(menus[path], &QMenu::aboutToShow, this, [this] { refresh_commands(); });
    }
    for (const Command& c : command_table()) {
        auto* action = new QAction(this);
        action->setData(c.id);
        action->setText(qs(c.text));
        action->setCheckable(c.checkable);
        QList<QKeySequence> keys;
        for (std::string_view k : split_keys(c.keys))
            keys << QKeySequence::fromString(qs(k), QKeySequence::PortableText);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setEnabled(false);
        connect(action, &QAction::triggered, this, [this, id = c.id] { run_command(id); });
        actions_[c.id] = action;
        if (c.menu.empty()) {
            addAction(action);
            continue;
        }
        QMenu* menu = menus[c.menu];
        if (c.id == cmd::kRecentProjects) {
            if (c.separator_before) menu->addSeparator();
            recent_menu_ = menu->addMenu(qs(c.text));
            recent_menu_->menuAction()->setData(c.id);
            connect(recent_menu_, &QMenu::aboutToShow, this, [this] { rebuild_recent_menu(); });
            continue;
        }
        // A submenu created for this menu path appears where its first item would.
        if (c.separator_before) menu->addSeparator();
        menu->addAction(action);
    }
    // The Import submenu sits after Quick Export: move its entry right before "&Preferences".
    if (QMenu* file = menus["&File"]; file && menus["&File/&Import"]) {
        QAction* import_entry = menus["&File/&Import"]->menuAction();
        file->removeAction(import_entry);
        file->insertAction(actions_[cmd::kPreferences], import_entry);
        file->insertSeparator(actions_[cmd::kPreferences]);
    }
    if (QMenu* view = menus["&View"]; view && menus["&View/&Zoom"]) {
        QAction* zoom_entry = menus["&View/&Zoom"]->menuAction();
        view->removeAction(zoom_entry);
        view->insertAction(actions_[cmd::kSnapToGrid], zoom_entry);
        view->insertSeparator(actions_[cmd::kSnapToGrid]);
    }
}

void MainWindow::build_toolbar() {
    QToolBar* bar = addToolBar("Tools");
    bar->setObjectName("tool_bar");
    bar->setMovable(false);
    zoom_field_ = new QLineEdit(bar);
    zoom_field_->setObjectName("zoom_field");
    zoom_field_->setValidator(new QIntValidator(0, 99999, zoom_field_));
    zoom_field_->setMaximumWidth(56);
    zoom_field_->setToolTip("Zoom %");
    for (const ToolButton& b : kToolButtons) {
        auto* action = new QAction(b.label, bar);
        action->setToolTip(b.tool_tip);
        action->setData(b.command);
        action->setObjectName(QString("button_%1").arg(b.control));
        const Command* c = find_command(b.command);
        action->setCheckable(c && c->checkable);
        connect(action, &QAction::triggered, this, [this, id = b.command] { run_command(id); });
        if (b.control == 1062 || b.control == 1064 || b.control == 1040 || b.control == 1043)
            bar->addSeparator();
        bar->addAction(action);
        toolbar_actions_.push_back(action);
        if (b.control == 1060) bar->addWidget(zoom_field_);
    }
    QStyle* style = this->style();
    toolbar_actions_[2]->setIcon(style->standardIcon(QStyle::SP_FileIcon));
    toolbar_actions_[3]->setIcon(style->standardIcon(QStyle::SP_DialogOpenButton));
    toolbar_actions_[4]->setIcon(style->standardIcon(QStyle::SP_DialogSaveButton));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(zoom_field_, &QLineEdit::editingFinished, this, [this] { zoom_field_edited(); });
}

void MainWindow::build_status() {
    view_pane_ = new QLabel("View: 0, 0", this);
    view_pane_->setObjectName("status_pane_1");
    cursor_pane_ = new QLabel("(0, 0) / (0, 0)  T:0", this);
    cursor_pane_->setObjectName("status_pane_2");
    view_pane_->setMinimumWidth(160);
    cursor_pane_->setMinimumWidth(260);
    statusBar()->addWidget(view_pane_);
    statusBar()->addWidget(cursor_pane_, 1);
    statusBar()->setSizeGripEnabled(true);
}

QPoint MainWindow::default_tool_window_position(ListKind kind) const {
    return geometry().topLeft() + QPoint(std::max(0, width() - 280), 80 + 170 * static_cast<int>(kind));
}

void MainWindow::default_tool_window_positions() {
    for (const ListWindowInfo& info : kListWindows) {
        preferences_.set_tool_window_rect_stored(info.window, false);
        list_window(info.kind)->move(default_tool_window_position(info.kind));
    }
    default_tile_window_positions();
    reset_selection_window_position();
}

void MainWindow::build_list_windows() {
    for (const ListWindowInfo& info : kListWindows) {
        auto* window = new ListWindow(info.kind, this);
        lists_[static_cast<std::size_t>(info.kind)] = window;
        window->set_keep_on_screen(!preferences_.flag(FlagA::AllowDialogsOffScreen));
        if (preferences_.tool_window_rect_stored(info.window)) {
            // The rectangle stored is the one without the frame: put back the same one.
            const WindowRect r = preferences_.tool_window_rect(info.window);
            QSize size = window->size();
            if (r.right > r.left && r.bottom > r.top) size = QSize(r.right - r.left, r.bottom - r.top);
            window->setGeometry(QRect(QPoint(r.left, r.top), size));
        } else {
            window->move(default_tool_window_position(info.kind));
            window->resize(window->width(), std::min(window->height(), 160));
        }
        // Keys in a list window go through the main window's commands first.
        for (const auto& [id, action] : actions_)
            if (!action->shortcuts().isEmpty()) window->addAction(action);
        connect(window, &ListWindow::selection_changed, this, [this](ListKind kind, ObjectId) {
            if (kind == ListKind::Maps) {
                list_window(ListKind::Layers)->refresh(&project());
            }
            // Another map or layer: what the tools were doing there ends.
            if (kind == ListKind::Maps || kind == ListKind::Layers) tools_.end_action(EndStrength::Light);
            request_redraw(true);
            refresh_commands();
        });
        connect(window, &ListWindow::shown_changed, this, [this](ListKind kind, bool shown) {
            preferences_.set_flag(list_info(kind).shown_bit, shown);
            request_redraw(false);
            refresh_commands();
        });
        connect(window, &ListWindow::wheel_turned, this,
                [this](int delta) { navigator_.wheel(delta, now_ms()); });
        if (preferences_.flag(info.shown_bit)) window->show();
    }
}

void MainWindow::rebuild_recent_menu() {
    recent_menu_->clear();
    for (const RecentMenuItem& item : recent_menu_items(preferences_)) {
        QAction* action = recent_menu_->addAction(qs(item.text));
        action->setData(item.id);
        connect(action, &QAction::triggered, this, [this, path = item.path] {
            if (!path.empty()) open_project(path);
        });
    }
    recent_menu_->setEnabled(!recent_menu_->isEmpty());
}

QAction* MainWindow::action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::set_command_handler(int id, std::function<void()> handler) {
    handlers_[id] = std::move(handler);
    refresh_commands();
}

// --- Commands --------------------------------------------------------------------------------------------

void MainWindow::connect_commands() {
    auto on = [this](int id, std::function<void()> f) { handlers_[id] = std::move(f); };
    on(cmd::kNew, [this] { session_.new_project(); });
    on(cmd::kOpen, [this] { session_.open(); });
    on(cmd::kSave, [this] { session_.save(); });
    on(cmd::kSaveAs, [this] { session_.save_as(); });
    on(cmd::kExit, [this] { close(); });
    on(cmd::kPreferences, [this] {
        pacer_.set_suspended(true);
        run_preferences_dialog(this, preferences_, data_folder_, platform_,
                               [this] { default_tool_window_positions(); });
        pacer_.set_suspended(false);
        for (ListWindow* window : lists_)
            window->set_keep_on_screen(!preferences_.flag(FlagA::AllowDialogsOffScreen));
        tools_.follow_view_toggles();
        request_redraw(true);
    });
    auto undo = [this] {
        session_.histories().undo(&project());
        tools_.refresh_overlay();
        refresh_lists();
        request_redraw(true);
    };
    auto redo = [this] {
        session_.histories().redo(&project());
        tools_.refresh_overlay();
        refresh_lists();
        request_redraw(true);
    };
    on(cmd::kUndoItem, undo);
    on(cmd::kUndo, undo);
    on(cmd::kRedoItem, redo);
    on(cmd::kRedo, redo);

    for (const FlagToggle& t : kFlagToggles) on(t.command, [this, id = t.command] { toggle_view(id); });
    for (int id : {cmd::kViewPathLineNormals, cmd::kViewSortEntities, cmd::kViewEntitiesCustomVariables})
        on(id, [this, id] { toggle_view(id); });
    for (const ZoomItem& z : kZoomItems)
        on(z.command, [this, p = z.percent] { navigator_.set_zoom(p, false); });
    on(cmd::kZoomIn, [this] { navigator_.zoom_in(false); });
    on(cmd::kZoomInKeypad, [this] { navigator_.zoom_in(false); });
    on(cmd::kZoomOut, [this] { navigator_.zoom_out(false); });
    on(cmd::kZoomOutKeypad, [this] { navigator_.zoom_out(false); });
    on(cmd::kViewLeft, [this] { navigator_.step(ViewStep::Left, false); });
    on(cmd::kViewRight, [this] { navigator_.step(ViewStep::Right, false); });
    on(cmd::kViewUp, [this] { navigator_.step(ViewStep::Up, false); });
    on(cmd::kViewDown, [this] { navigator_.step(ViewStep::Down, false); });
    on(cmd::kPageLeft, [this] { navigator_.step(ViewStep::Left, true); });
    on(cmd::kPageRight, [this] { navigator_.step(ViewStep::Right, true); });
    on(cmd::kPageUp, [this] { navigator_.step(ViewStep::Up, true); });
    on(cmd::kPageDown, [this] { navigator_.step(ViewStep::Down, true); });
    on(cmd::kMoveViewToOrigin, [this] { navigator_.move_to_origin(); });
    on(cmd::kMoveViewToLayer, [this] { navigator_.move_to_current_layer(); });

    on(cmd::kEditTiles, [this] { set_mode(EditMode::Tiles); });
    on(cmd::kEditEntities, [this] { set_mode(EditMode::Entities); });
    on(cmd::kEditPaths, [this] { set_mode(EditMode::Paths); });
    connect_tool_commands();

    for (const ListWindowInfo& info : kListWindows)
        on(info.command, [this, kind = info.kind] {
            show_tool_window(kind, !preferences_.flag(list_info(kind).shown_bit));
        });
    on(cmd::kShowAllDialogs, [this] { show_all_tool_windows(true); });
    on(cmd::kHideAllDialogs, [this] { show_all_tool_windows(false); });

    on(cmd::kHelp, [this] { show_help(); });
    on(cmd::kAbout, [this] {
        platform_.message_box(about_text().toStdString(), "About Zorva", MessageButtons::Ok,
                              MessageIcon::Information, Answer::Ok);
    });
}

// --- Binary MAP import ----------------------------------------------------------------------------------

void MainWindow::connect_map_import() {
    // The command keeps the tile set image of the last import for the rest of the run.
    auto command = std::make_shared<MapImportCommand>(
        session_,
        [this](const ImportSettings& initial) {
            return run_map_import_dialog(this, initial, preferences_, platform_);
        },
        [this](Project& imported, const std::string& map_file) {
            const ResourceCheckOutcome outcome = run_missing_resources(this, imported, platform_, map_file,
                                                                       [this] { run_command(cmd::kHelp); });
            return static_cast<MissingResourcesOutcome>(static_cast<int>(outcome));
        });
    set_command_handler(cmd::kImportBinaryMap, [this, command] {
        pacer_.set_suspended(true);
        command->run();
        pacer_.set_suspended(false);
        request_redraw(true);
    });
}

void MainWindow::connect_tmx_import() {
    auto command =
        std::make_shared<TmxImportCommand>(session_, [this](Project& imported, const std::string& file) {
            const ResourceCheckOutcome outcome =
                run_missing_resources(this, imported, platform_, file, [this] { run_command(cmd::kHelp); });
            return static_cast<MissingResourcesOutcome>(static_cast<int>(outcome));
        });
    set_command_handler(cmd::kImportTmxMap, [this, command] {
        pacer_.set_suspended(true);
        command->run();
        pacer_.set_suspended(false);
        request_redraw(true);
    });
}

bool MainWindow::run_command(int id) {
    if (!command_enabled(id)) return false;
    // While an export runs nothing may change the project the plug-in reads; the help only shows a page.
    if (exporting() && id != cmd::kHelp) return false;
    const auto it = handlers_.find(id);
    if (it == handlers_.end()) return false;
    // Copy: a handler may replace the handlers.
    const std::function<void()> handler = it->second;
    handler();
    refresh_commands();
    request_redraw(false);
    return true;
}

bool MainWindow::command_enabled(int id) const {
    if (handlers_.find(id) == handlers_.end()) return false;
    switch (id) {
        case cmd::kUndoItem:
        case cmd::kUndo:
            return session_.histories().undo_item().enabled;
        case cmd::kRedoItem:
        case cmd::kRedo:
            return session_.histories().redo_item().enabled;
        case cmd::kEditEntities:
            return preferences_.flag(FlagA::ViewEntities);
        case cmd::kEditPaths:
            return preferences_.flag(FlagA::ViewPaths);
        case cmd::kToolExtraPlacement:
            return edit_.mode() == EditMode::Tiles;
        case cmd::kMoveViewToLayer:
            return project().selected_layer() != nullptr;
        default: {
            bool known = false;
            bool enabled = tool_command_enabled(id, known);
            if (!known) enabled = entity_command_enabled(id, known);
            if (!known) enabled = path_command_enabled(id, known);
            return known ? enabled : true;
        }
    }
}

bool MainWindow::command_checked(int id, bool& checkable) const {
    checkable = true;
    // A command that does nothing yet shows no check mark (so no window that does not exist is checked).
    if (handlers_.find(id) == handlers_.end()) return false;
    for (const FlagToggle& t : kFlagToggles)
        if (t.command == id) return preferences_.flag(t.bit);
    for (const ZoomItem& z : kZoomItems)
        if (z.command == id) return project().zoom == z.percent;
    for (const ListWindowInfo& info : kListWindows)
        if (info.command == id) return list_window(info.kind) && !list_window(info.kind)->isHidden();
    switch (id) {
        case cmd::kViewPathLineNormals:
            return preferences_.flag(FlagC::ViewPathLineNormals);
        case cmd::kViewSortEntities:
            return preferences_.flag(FlagC::SortWhenDrawingEntities);
        case cmd::kViewEntitiesCustomVariables:
            return preferences_.view_entities_custom_variables();
        case cmd::kSnapToGrid:
            return preferences_.flag(FlagA::SnapToGrid);
        case cmd::kEditTiles:
            return edit_.mode() == EditMode::Tiles;
        case cmd::kEditEntities:
            return edit_.mode() == EditMode::Entities;
        case cmd::kEditPaths:
            return edit_.mode() == EditMode::Paths;
        case cmd::kEditPathPoints:
            return edit_.path_points();
        case cmd::kToolPlacement:
            return edit_.tool() == Tool::Placement;
        case cmd::kToolEraser:
            return edit_.tool() == Tool::Eraser;
        case cmd::kToolSelect:
            return edit_.tool() == Tool::Select;
        case cmd::kToolExtraPlacement:
            return edit_.tool() == Tool::ExtraPlacement;
        case cmd::kToolMove:
            return edit_.tool() == Tool::Move;
        case cmd::kTilesDialog:
            return tile_window_shown(ToolWindow::Tiles);
        case cmd::kSelectedEntitiesDialog:
            return preferences_.flag(FlagA::ShowSelectedEntitiesWindow);
        case cmd::kMosaicsDialog:
            return tile_window_shown(ToolWindow::Mosaics);
        default:
            break;
    }
    checkable = false;
    return false;
}

void MainWindow::refresh_commands() {
    for (const auto& [id, action] : actions_) {
        action->setEnabled(command_enabled(id));
        bool checkable = false;
        const bool checked = command_checked(id, checkable);
        if (checkable) action->setChecked(checked);
    }
    const MenuItemState undo = session_.histories().undo_item();
    const MenuItemState redo = session_.histories().redo_item();
    actions_[cmd::kUndoItem]->setText(qs(undo.text));
    actions_[cmd::kRedoItem]->setText(qs(redo.text));
    for (QAction* a : toolbar_actions_) {
        const int id = a->data().toInt();
        a->setEnabled(command_enabled(id));
        bool checkable = false;
        const bool checked = command_checked(id, checkable);
        if (checkable) a->setChecked(checked);
    }
    rebuild_recent_menu();
}

void MainWindow::toggle_view(int id) {
    switch (id) {
        case cmd::kViewPathLineNormals:
            preferences_.set_flag(FlagC::ViewPathLineNormals, !preferences_.flag(FlagC::ViewPathLineNormals));
            break;
        case cmd::kViewSortEntities:
            preferences_.set_flag(FlagC::SortWhenDrawingEntities,
                                  !preferences_.flag(FlagC::SortWhenDrawingEntities));
            break;
        case cmd::kViewEntitiesCustomVariables:
            preferences_.set_view_entities_custom_variables(!preferences_.view_entities_custom_variables());
            break;
        case cmd::kSnapToGrid:
            preferences_.set_flag(FlagA::SnapToGrid, !preferences_.flag(FlagA::SnapToGrid));
            break;
        default:
            for (const FlagToggle& t : kFlagToggles)
                if (t.command == id) preferences_.set_flag(t.bit, !preferences_.flag(t.bit));
            break;
    }
    tools_.follow_view_toggles();
    refresh_commands();
    request_redraw(true);
}

void MainWindow::set_mode(EditMode mode) {
    tools_.set_mode(mode);
    request_redraw(true);
}

void MainWindow::show_help() {
    // F1 in the message below must not open another one.
    if (showing_help_) return;
    showing_help_ = true;
    const QUrl url = help_url();
    const bool opened = url_opener_ ? url_opener_(url) : QDesktopServices::openUrl(url);
    if (!opened) {
        const std::string file = url.toLocalFile().toLocal8Bit().toStdString();
        platform_.message_box(
            "No web browser could be started to show the help file. Open it yourself:\n\n" + file + "\n\n",
            "Help", MessageButtons::Ok, MessageIcon::Information, Answer::Ok);
    }
    showing_help_ = false;
}

bool MainWindow::in_own_dialog(const QWidget* widget) const {
    const QWidget* window = widget->window();
    if (!qobject_cast<const QDialog*>(window)) return false;
    for (const QWidget* w = window->parentWidget(); w; w = w->parentWidget())
        if (w == this) return true;
    return false;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier &&
            in_own_dialog(static_cast<QWidget*>(watched))) {
            run_command(cmd::kHelp);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::show_tool_window(ListKind kind, bool shown) {
    preferences_.set_flag(list_info(kind).shown_bit, shown);
    ListWindow* window = list_window(kind);
    if (shown) {
        window->refresh(&project());
        window->show();
    } else {
        window->hide();
    }
    request_redraw(true);
    refresh_commands();
}

void MainWindow::show_all_tool_windows(bool shown) {
    for (const ListWindowInfo& info : kListWindows) show_tool_window(info.kind, shown);
    show_tile_window(ToolWindow::Tiles, shown);
    show_tile_window(ToolWindow::Mosaics, shown);
    show_selection_window(shown);
    refresh_commands();
}

void MainWindow::store_tool_window_rects() {
    for (const ListWindowInfo& info : kListWindows) {
        const QRect r = list_window(info.kind)->geometry();
        preferences_.set_tool_window_rect(info.window,
                                          {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
        preferences_.set_tool_window_rect_stored(info.window, true);
    }
    store_tile_window_rects();
    store_selection_window_rect();
}

// --- Project ---------------------------------------------------------------------------------------------

bool MainWindow::open_project(const std::string& path) {
    if (exporting()) return false;
    const bool opened = session_.open(path);
    refresh_commands();
    return opened;
}

bool MainWindow::open_dropped(const QList<QUrl>& urls) {
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        // Only the first dropped file is opened.
        return open_project(url.toLocalFile().toLocal8Bit().toStdString());
    }
    return false;
}

void MainWindow::project_replaced() {
    if (export_) export_->project_replaced();
    navigator_.set_project(&project());
    tools_.set_project(&project());
    sync_tool_windows();
    refresh_lists();
    setWindowTitle(qs(project_title(project())));
    request_redraw(true);
}

void MainWindow::refresh_lists() {
    for (ListWindow* window : lists_)
        if (window) window->refresh(&project());
}

bool MainWindow::request_redraw(bool force) { return pacer_.request(force); }

void MainWindow::update_status() {
    view_pane_->setText(qs(view_pane_text(project().selected_map())));
    CursorPaneInput input = cursor_pane_input(navigator_, viewport_->cursor(), edit_.mode(), last_pixel_);
    input.tile_selection = tools_.tile_selection_size();
    cursor_pane_->setText(qs(cursor_pane_text(input)));
    if (!zoom_field_->hasFocus()) {
        const QString zoom = QString::number(project().zoom);
        if (zoom_field_->text() != zoom) zoom_field_->setText(zoom);
    }
}

void MainWindow::zoom_field_edited() {
    bool ok = false;
    const int value = zoom_field_->text().toInt(&ok);
    if (!ok || static_cast<std::uint32_t>(value) == project().zoom) return;
    navigator_.set_zoom(value, false);
    zoom_field_->setText(QString::number(project().zoom));
    refresh_commands();
}

// The help page beside the program (a build tree), else the installed one, else the source tree's.
QUrl MainWindow::help_url() const {
    const QString program_folder = QCoreApplication::applicationDirPath();
    const QString beside = program_folder + "/help.html";
    if (QFileInfo::exists(beside)) return QUrl::fromLocalFile(beside);
    const QString installed =
        QString::fromStdString((installed_share_folder(program_folder.toStdString()) / "help.html").string());
    if (QFileInfo::exists(installed)) return QUrl::fromLocalFile(installed);
    return QUrl::fromLocalFile(QStringLiteral(ZORVA_DOCS_DIR) + "/help.html");
}

QString MainWindow::about_text() {
    return QString(
               "Zorva %1\n"
               "A level editor for two-dimensional tile-based games.\n\n"
               "Built with:\n"
               "Qt %2 (windows and drawing)\n"
               "pugixml %3.%4 was used for loading XML files.\n"
               "libpng %5 (PNG images)\n"
               "zlib %6\n")
        .arg(ZORVA_VERSION_TEXT, qVersion())
        .arg(PUGIXML_VERSION / 1000)
        .arg((PUGIXML_VERSION % 1000) / 10)
        .arg(PNG_LIBPNG_VER_STRING, ZLIB_VERSION);
}

// --- Export ----------------------------------------------------------------------------------------------

void MainWindow::connect_export_commands() {
    ExportController::Hooks hooks;
    // The progress window's corner sits on the viewport's.
    hooks.progress_position = [this] { return viewport_->mapToGlobal(QPoint(0, 0)); };
    hooks.hold_redraws = [this](bool held) { pacer_.set_suspended(held); };
    hooks.redraw = [this] { request_redraw(true); };
    export_ = std::make_unique<ExportController>(this, session_, preferences_, platform_, data_folder_,
                                                 std::move(hooks));
    handlers_[cmd::kExport] = [this] { export_->run(false); };
    handlers_[cmd::kQuickExport] = [this] { export_->run(true); };
}

bool MainWindow::exporting() const { return export_ && export_->running(); }

// --- Shut-down, drops --------------------------------------------------------------------------------------

bool MainWindow::shut_down() {
    if (shut_down_) return true;
    if (!session_.ask_save_changes()) return false;
    shut_down_ = true;
    pacer_.set_suspended(true);
    redraw_timer_.stop();
    // Saving and backups run on this thread and are finished when a command ends, so nothing is left to
    // wait for here.
    status_timer_.stop();
    store_tool_window_rects();
    preferences_.save(Preferences::settings_file(data_folder_));
    setAcceptDrops(false);
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (exporting() || !shut_down()) {
        event->ignore();
        return;
    }
    for (ListWindow* window : lists_) window->hide();
    hide_tile_windows();
    show_selection_window(false);
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !exporting()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    if (exporting()) return;
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    open_dropped(urls);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    navigator_.set_view_size(viewport_->view_size());
    request_redraw(true);
}

}  // namespace zorva
