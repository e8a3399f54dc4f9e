// One object list tool window ("Maps", "Tile Sets", "Layers" or "Entities"): the list of line texts with
// the object ids as item data, the row of buttons, the title with the count. Selecting a line makes its
// object the project's selected one; every button (and a double-click on a line, for "Properties") asks
// for its object command, which the main window runs.
#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "app/object_commands.h"
#include "app/object_lists.h"

namespace zorva {

class Project;

class ListWindow : public QWidget {
    Q_OBJECT
public:
    ListWindow(ListKind kind, QWidget* parent);

    ListKind kind() const { return kind_; }
    QListWidget* list() const { return list_; }
    // The buttons by tool tip ("Properties", "Move Up", "Lock", "New", "Delete", ...). The "Lock" button's
    // property "state" says "locked" or "unlocked", the "Visible" button's "visible" or "hidden", as the
    // selected object is.
    QPushButton* button(const QString& tool_tip) const;
    const ListControls& controls() const { return controls_; }

    // Refills the list from the project and selects the project's selected object of the kind.
    void refresh(Project* project);
    // Selects the line with `id` and makes its object the project's selected one.
    void select(ObjectId id);
    ObjectId current_id() const;

    // When set, the window is kept inside the desktop work area.
    void set_keep_on_screen(bool on) { keep_on_screen_ = on; }
    // How a line the user chose becomes the project's selection (by default without an undo record).
    void set_selector(std::function<void(ObjectId)> selector) { selector_ = std::move(selector); }

signals:
    void selection_changed(zorva::ListKind kind, zorva::ObjectId id);
    // A button or a double-click asks for an object command; `checked` is the state of a check button.
    void command_requested(zorva::ListKind kind, zorva::ListCommand command, bool checked);
    void shown_changed(zorva::ListKind kind, bool shown);
    void wheel_turned(int delta);

protected:
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void add_button(const QString& label, const QString& tool_tip, ListCommand command,
                    bool checkable = false);
    void apply_controls();
    void request(ListCommand command, bool checked);
    // The user or select() chose the line of `id` (kInvalidId: none): the project follows.
    void chosen(ObjectId id);

    ListKind kind_;
    Project* project_ = nullptr;
    QListWidget* list_;
    std::map<QString, QPushButton*> buttons_;
    ListControls controls_;
    std::function<void(ObjectId)> selector_;
    bool keep_on_screen_ = true;
    bool filling_ = false;
};

}  // namespace zorva
