// The editor's main window: the viewport, the tool buttons, the zoom field, the two status panes, the
// menu built from the command table with its keys, the recent projects submenu, the object list windows,
// the redraw and status timers, drag and drop, help and the About box.
#pragma once

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QTimer>
#include <QUrl>
#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

#include "app/object_commands.h"
#include "app/object_lists.h"
#include "app/project_session.h"
#include "image/builtin_pictures.h"
#include "prefs/preferences.h"
#include "render/renderer.h"
#include "tools/entity_tool.h"
#include "tools/path_tool.h"
#include "tools/tool_dispatch.h"
#include "view/edit_state.h"
#include "view/redraw_pacer.h"
#include "view/view_navigation.h"

namespace zorva {

class ExportController;
class FloatingToolWindow;
class ListWindow;
class MosaicsWindow;
class Preferences;
class TilesWindow;
class QtPropertiesDialogs;
class SelectionWindow;
class ViewportWidget;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kRedrawPeriodMs = 50;
    static constexpr int kStatusPeriodMs = 50;
    static constexpr int kShutdownWaitMs = 10000;

    // Start-up: both undo histories, a new empty project, the tool windows with their shown bits and
    // remembered rectangles, the timers, EditMode Tiles with the Placement tool, dropped files accepted.
    MainWindow(Preferences& preferences, Platform& platform, std::filesystem::path data_folder,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    ProjectSession& session() { return session_; }
    Project& project() { return session_.project(); }
    const Project& project() const { return session_.project(); }
    Preferences& preferences() { return preferences_; }
    ViewNavigator& navigator() { return navigator_; }
    EditState& edit_state() { return edit_; }
    ToolDispatch& tools() { return tools_; }
    ViewportWidget* viewport() const { return viewport_; }
    ListWindow* list_window(ListKind kind) const { return lists_[static_cast<std::size_t>(kind)]; }
    TilesWindow* tiles_window() const { return tiles_window_; }
    MosaicsWindow* mosaics_window() const { return mosaics_window_; }
    SelectionWindow* selection_window() const { return selection_window_; }
    EntityTool& entity_tools() { return entity_tools_; }
    PathTool& path_tools() { return path_tools_; }
    // The object commands of the list windows and the New menu (main_window_objects.cpp).
    ObjectCommands& object_commands() { return *objects_; }
    QMenu* recent_menu() const { return recent_menu_; }
    QLineEdit* zoom_field() const { return zoom_field_; }
    QLabel* view_pane() const { return view_pane_; }
    QLabel* cursor_pane() const { return cursor_pane_; }
    // "&Export..." and "&Quick Export": the quick-export flag, the Exporters folder, and the hook that
    // commits an edit in progress before an export reads the project.
    ExportController& export_controller() { return *export_; }

    // The menu or key action of a command id (null for none).
    QAction* action(int id) const;
    // Carries out a command as if it was chosen (disabled commands do nothing). True when it ran.
    bool run_command(int id);
    // Connects a command; a command without a handler stays disabled and shows no check mark.
    void set_command_handler(int id, std::function<void()> handler);

    // Opens a project file (recent entries, drops and the command line come here).
    bool open_project(const std::string& path);
    // Files dropped on the window: only the first is opened.
    bool open_dropped(const QList<QUrl>& urls);

    // Rebuilds check marks, enabling, undo texts and the recent submenu.
    void refresh_commands();
    // Refills the list windows from the project.
    void refresh_lists();
    // Asks for a redraw (unforced requests are paced).
    bool request_redraw(bool force = false);
    void update_status();
    // Where "&Help" sends the browser; opening goes through `opener` when set (tests), which returns
    // false when no browser could be started.
    QUrl help_url() const;
    void set_url_opener(std::function<bool(const QUrl&)> opener) { url_opener_ = std::move(opener); }
    static QString about_text();

    // Shut-down: the save question, timers stopped, rectangles stored, "Settings.cfg" written. False when
    // the user cancelled.
    bool shut_down();

signals:
    void first_frame_painted();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // F1 in any of this window's dialogs opens the help.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_menus();
    void build_toolbar();
    void build_status();
    void build_list_windows();
    void connect_commands();
    // The export commands (export_controller.h does the work).
    void connect_export_commands();
    bool exporting() const;
    // "Import Binary MAP File" (map_import_command.h with its dialog).
    void connect_map_import();
    void connect_tmx_import();
    void rebuild_recent_menu();
    void toggle_view(int id);
    void set_mode(EditMode mode);
    // Opens the help file in the browser; says where the file is when no browser could be started.
    void show_help();
    // True for a widget of a dialog that this window owns (F1 there opens the help).
    bool in_own_dialog(const QWidget* widget) const;
    void show_tool_window(ListKind kind, bool shown);
    void show_all_tool_windows(bool shown);
    void store_tool_window_rects();
    QPoint default_tool_window_position(ListKind kind) const;
    void default_tool_window_positions();
    void project_replaced();
    void zoom_field_edited();
    // The object commands: the New menu, the list windows' buttons and selections (main_window_objects.cpp).
    void wire_object_commands();
    void run_list_command(ListKind kind, ListCommand command, bool checked);
    // Runs a command that may open a dialog or ask: drawing paused around it, then every list window
    // refreshed and the view redrawn.
    // Runs an object command with drawing paused and refreshes the windows after it. What the editing tools
    // are doing ends first: fully (selections cleared too) before objects are added or deleted, lightly
    // before a properties dialog.
    void run_object_command(const std::function<bool()>& command, EndStrength end = EndStrength::Full);
    bool command_enabled(int id) const;
    bool command_checked(int id, bool& checkable) const;
    std::int64_t now_ms() const { return static_cast<std::int64_t>(clock_.elapsed()); }

    // The editing tools (main_window_tools.cpp).
    void build_tile_tools();
    void connect_tool_commands();
    void connect_mosaic_command();
    bool tool_command_enabled(int id, bool& known) const;
    bool tile_window_shown(ToolWindow which) const;
    void show_tile_window(ToolWindow which, bool shown);
    void store_tile_window_rects();
    QPoint default_tile_window_position(ToolWindow which) const;
    void default_tile_window_positions();
    void hide_tile_windows();
    void run_tool_command(ToolCommand command);
    void put_copied_tiles_on_clipboard();
    bool handle_viewport_input(const ToolInput& input);
    void forward_pointer(QPoint global);
    void after_viewport_redraw();
    void sync_tool_windows();
    bool wheel_notch_to_tool_windows(int direction);

    // The entity tools and the Selected Entities window (main_window_entities.cpp).
    void build_entity_tools();
    bool entity_command_enabled(int id, bool& known) const;
    void build_path_tools();
    bool path_command_enabled(int id, bool& known) const;
    void run_path_command(bool (PathTool::*command)());
    void show_selection_window(bool shown);
    void store_selection_window_rect();
    QPoint default_selection_window_position() const;
    void reset_selection_window_position();
    // The window shows the current selection; a pick's new brush reaches the Entities window.
    void sync_entity_windows(bool force = false);
    void edit_selected_custom_variables();

    Preferences& preferences_;
    Platform& platform_;
    std::filesystem::path data_folder_;
    // Started here, before the session, which reads it when it is built.
    QElapsedTimer clock_ = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    ProjectSession session_;
    BuiltinPictures pictures_;
    Renderer renderer_;
    RedrawPacer pacer_;
    ViewNavigator navigator_;
    EditState edit_;
    ToolDispatch tools_{EditingContext{&session_.project(), session_.histories(), preferences_, platform_,
                                       edit_, [this] { return now_ms(); }, &navigator_}};
    EntityTool entity_tools_{tools_.shared()};
    PathTool path_tools_{tools_.shared()};
    std::uint64_t entity_brush_serial_ = 0;
    LayerPixel last_pixel_;

    ViewportWidget* viewport_ = nullptr;
    QLineEdit* zoom_field_ = nullptr;
    QLabel* view_pane_ = nullptr;
    QLabel* cursor_pane_ = nullptr;
    QMenu* recent_menu_ = nullptr;
    std::array<ListWindow*, 4> lists_{};
    TilesWindow* tiles_window_ = nullptr;
    MosaicsWindow* mosaics_window_ = nullptr;
    SelectionWindow* selection_window_ = nullptr;
    std::unique_ptr<QtPropertiesDialogs> dialogs_;
    std::unique_ptr<ObjectCommands> objects_;
    std::map<int, QAction*> actions_;
    std::map<int, std::function<void()>> handlers_;
    std::vector<QAction*> toolbar_actions_;
    QTimer redraw_timer_;
    QTimer status_timer_;
    std::function<bool(const QUrl&)> url_opener_;
    std::unique_ptr<ExportController> export_;
    bool shut_down_ = false;
    bool first_frame_ = false;
    bool showing_help_ = false;
};

}  // namespace zorva
