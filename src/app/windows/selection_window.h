// The "Selected Entities" tool window ("Selected Points" in EditMode Paths): the name line, the position on
// the layer (X, Y), the H, V and R buttons and the trigger sizes (entities only), and the "Custom
// Variables" button. It shows what the current mode's SelectionPanel reports (a field stays blank where the
// selected objects disagree) and hands every edit back to it; the panel applies it to the whole selection.
//
// Children by object name: "name", "x", "y", "flip_horizontal", "flip_vertical", "rotate", "circle_radius",
// "rectangle_width", "rectangle_height", "custom_variables".
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <optional>

#include "app/windows/floating_tool_window.h"
#include "tools/selection_panel.h"

namespace zorva {

class SelectionWindow : public FloatingToolWindow {
    Q_OBJECT
public:
    explicit SelectionWindow(QWidget* parent);
    ~SelectionWindow() override;

    // The panel of the current mode (null: nothing to show). Shows its state when it changed, or always
    // with `force`; a field being typed in keeps what is typed.
    void set_panel(SelectionPanel* panel) { panel_ = panel; }
    void sync(bool force = false);

    QLabel* name_line() const { return name_; }
    QLineEdit* field(PanelField which) const { return fields_[static_cast<std::size_t>(which)]; }
    QPushButton* flag_button(PanelFlag which) const { return flags_[static_cast<std::size_t>(which)]; }
    QPushButton* custom_variables_button() const { return custom_variables_; }

signals:
    // An edit reached the project (the view redraws, the menus refresh).
    void edited();
    void custom_variables_requested();

private:
    void field_edited(PanelField which);
    void show_state(const SelectionPanelState& state);

    SelectionPanel* panel_ = nullptr;
    std::optional<SelectionPanelState> shown_;
    QLabel* name_ = nullptr;
    std::array<QLineEdit*, 5> fields_{};
    std::array<QLabel*, 5> labels_{};
    std::array<QPushButton*, kPanelFlagCount> flags_{};
    QPushButton* custom_variables_ = nullptr;
    bool showing_ = false;
};

}  // namespace zorva
