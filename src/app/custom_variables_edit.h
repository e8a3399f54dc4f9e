// The working state of the custom variables editor: copies of an object type's 100 descriptions and
// bit-mode flags and of the 100 values of one object (for a selection: of its first object), a changed mark
// per variable, and what each control of the dialog does to them. Nothing reaches the project before OK;
// then the opener writes the descriptions back to the project and the values of the changed variables,
// and only those, into each object it edits:
//
//     CustomVariablesEdit edit("Selected Entities", selected_entities_name(n, parent), table, first, n,
//     true); if (run_custom_variables_dialog(parent_widget, edit, preferences, platform)) {
//         edit.write_descriptions(project.descriptions_for(ObjectKind::InstanceEntity));
//         for (InstanceEntity* e : selection) edit.write_values(e->custom_variables);
//     }
//
// (edit_selection_custom_variables in app/dialogs/custom_variables_dialog.h does this for the selection
// of the Selected Entities/Points window, with the variables that differ between the objects shown blank.)
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

#include "base/platform.h"
#include "model/custom_variables.h"
#include "model/ids.h"

namespace zorva {

class Preferences;

// The word of the note "Note: The variable descriptions are the same for all %s objects.": "Tile Set",
// "Map", "Layer" or "Entity" for one object's properties, "Selected Entities" or "Selected Points" for a
// selection of instance entities or path points.
std::string_view custom_variables_type_word(ObjectKind kind);
// The name in the title for selected instance entities: the parent entity's name for one, "Selected
// Entities (%ld)" with the count for several.
std::string selected_entities_name(std::size_t count, std::string_view parent_name);
// "Selected Point" for one, "Selected Points (%ld)" with the count for several.
std::string selected_points_name(std::size_t count);

class CustomVariablesEdit {
public:
    // The text variables of one tile set, map, layer or parent entity.
    CustomVariablesEdit(std::string type_word, std::string object_name, const DescriptionTable& descriptions,
                        const TextVariables& values, std::size_t object_count = 1);
    // The 16-bit variables of `object_count` instance entities (`show_flags` true: the viewport display
    // flags are edited too) or path points, starting from the first object's values.
    CustomVariablesEdit(std::string type_word, std::string object_name, const DescriptionTable& descriptions,
                        const IntVariables& values, std::size_t object_count, bool show_flags);

    // The variables whose values differ between the edited objects: shown blank (in the list and the value
    // field, with every bit clear) until they are edited here.
    void set_blanks(const std::array<bool, kCustomVariableCount>& differs) { blank_ = differs; }
    bool blank(int index) const;

    bool is_text() const { return std::holds_alternative<TextVariables>(values_); }
    bool has_show_flags() const { return show_flags_; }
    std::size_t object_count() const { return object_count_; }

    // "Custom Variables:  %s" with the object's name.
    std::string title() const;
    // "Note: The variable descriptions are the same for all %s objects."
    std::string note() const;
    // "Data Type: Text strings, each 50 characters long." or the short integer line.
    std::string type_line() const;

    // The list line of variable `index` (0 ... 99), ending with " *" when the variable was changed here.
    std::string line(int index) const;

    // The selected variable, 0 ... 99; select() clamps.
    int selected() const { return selected_; }
    void select(int index);

    // The selected variable's description, value (text, or the decimal number) and flags.
    std::string description() const;
    std::string value_text() const;
    bool use_bits() const;
    bool show_in_view() const;
    bool show_desc_in_view() const;
    // Flag n (0 ... 15) of the selected value in bit mode, and the box's 3-character label.
    bool flag(int n) const;
    std::string flag_label(int n) const;

    // Edits of the selected variable. Descriptions and texts are cut to 50 characters. An integer is read
    // as a decimal number (what follows the digits is ignored; no digits read as 0) and clamped to
    // -32768 ... 32767; the returned text is what the field shows afterwards. A blank value left blank is
    // no edit; any number typed into it is one, and a bit set in it starts from 0.
    void set_description(std::string_view text);
    std::string set_value_text(std::string_view text);
    void set_flag(int n, bool on);
    void set_use_bits(bool on);
    void set_show_in_view(bool on);
    void set_show_desc_in_view(bool on);
    // "Remove all from Viewport": asks "Remove all custom variables from the Viewport?" (caption "Remove
    // all", Yes/No, No preselected); Yes clears show_in_view of all 100 variables. True when they were
    // cleared.
    bool remove_all_from_view(Platform& platform);

    bool changed(int index) const;
    bool any_change() const { return any_change_; }

    // OK. With more than one object and the preference on, asks "Do you want to apply custom variable
    // changes to multiple selected objects?" (title "Multiple objects"; its box switches the question off).
    // False keeps the dialog open.
    bool confirm(Platform& platform, Preferences& preferences);
    // Cancel. When something changed, asks "Cancel changes?" (caption "Cancel", Yes/No, No preselected).
    // True closes the dialog without applying anything.
    bool cancel(Platform& platform) const;

    // After OK: the descriptions and bit-mode flags (and, for instance entities, the display flags) into
    // the type's table; the values of the changed variables, and only those, into an object's array.
    // write_values returns how many were written (0 when the array is of the other value type).
    void write_descriptions(DescriptionTable& table) const;
    int write_values(TextVariables& values) const;
    int write_values(IntVariables& values) const;

    const DescriptionTable& descriptions() const { return descriptions_; }

private:
    void mark_changed();
    std::size_t at() const { return static_cast<std::size_t>(selected_); }

    std::string type_word_;
    std::string object_name_;
    DescriptionTable descriptions_;
    std::variant<TextVariables, IntVariables> values_;
    std::size_t object_count_ = 1;
    bool show_flags_ = false;
    std::array<bool, kCustomVariableCount> changed_{};
    std::array<bool, kCustomVariableCount> blank_{};
    bool any_change_ = false;
    int selected_ = 0;
};

}  // namespace zorva
