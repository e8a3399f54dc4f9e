// The Selected Entities/Points window as the tools see it: what it shows for the current selection (a
// value only where every selected object agrees, blank otherwise) and the edits it hands back, each applied
// to every selected object with one undo record. The entity tools fill every part; the path tools leave
// out the flags and the trigger sizes. Qt-free: the window only shows the state and forwards the edits.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "model/custom_variables.h"
#include "model/ids.h"

namespace zorva {

enum class PanelField { X, Y, CircleRadius, RectangleWidth, RectangleHeight };
enum class PanelFlag { FlipHorizontal, FlipVertical, Rotate };
inline constexpr std::size_t kPanelFlagCount = 3;

struct SelectionPanelState {
    std::string title;      // "Selected Entities" or "Selected Points"
    std::string name_line;  // "None selected", one object's name, "Multiple selected (%d)"
    std::size_t count = 0;  // the selected objects
    std::optional<float> x;
    std::optional<float> y;
    bool flags_shown = false;
    std::array<std::optional<bool>, kPanelFlagCount> flags{};
    bool triggers_shown = false;  // some selected entity's parent is a trigger
    std::optional<std::uint32_t> circle_radius;
    std::optional<std::uint32_t> rectangle_width;
    std::optional<std::uint32_t> rectangle_height;

    friend bool operator==(const SelectionPanelState&, const SelectionPanelState&) = default;
};

// The selection's custom variables as the editor opens them: the first object's values, which variables
// differ between the selected objects (shown blank), and the words of its title and note.
struct SelectionVariables {
    ObjectKind kind = ObjectKind::InstanceEntity;
    std::string type_word;    // "Selected Entities" or "Selected Points"
    std::string object_name;  // the parent entity's name, "Selected Entities (%ld)", ...
    std::size_t count = 0;
    IntVariables values{};
    std::array<bool, kCustomVariableCount> differs{};
};

class SelectionPanel {
public:
    virtual ~SelectionPanel() = default;

    virtual SelectionPanelState panel_state() const = 0;
    // A field typed in the window: applied to every selected object (lock rule first). True when anything
    // changed (one record was made).
    virtual bool set_panel_field(PanelField field, double value) = 0;
    virtual bool set_panel_flag(PanelFlag /*flag*/, bool /*on*/) { return false; }
    // None without a selection (or while the selection cannot be edited).
    virtual std::optional<SelectionVariables> selection_variables() const = 0;
    // After the editor's OK: the values of the changed variables, and only those, into every selected
    // object. True when anything changed.
    virtual bool apply_selection_variables(const std::array<bool, kCustomVariableCount>& changed,
                                           const IntVariables& values) = 0;
};

}  // namespace zorva
