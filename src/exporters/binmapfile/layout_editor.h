// The rules of the main dialog, without a window: the check boxes and the flags word, the lock rule, which
// buttons are enabled, the save-changes question, and what Export, Cancel, New (from template), Load and
// Save do to the settings. The Qt dialog only shows this state and forwards clicks and keys.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/platform.h"
#include "exporters/binmapfile/export_list.h"
#include "exporters/binmapfile/settings_file.h"

namespace zorva::binmap {

inline constexpr const char* kExporterTitle = "Zorva Binary Map File Exporter";

class LayoutEditor {
public:
    LayoutEditor(ExportSettings& settings, std::filesystem::path settings_folder, Platform& platform);

    // --- Check boxes: their on-screen state as a flags word, stored into the settings on Export and Save.
    std::uint32_t boxes() const { return boxes_; }
    bool box_checked(
        ExportFlag flag) const;  // "Do not export path control points" is kFlagControlPoints inverted
    void click_box(ExportFlag flag, bool checked);
    bool box_enabled(ExportFlag flag) const;
    bool locked() const { return (boxes_ & kFlagLocked) != 0; }

    // --- Buttons; `selection` is the selected variable's index or none.
    bool can_add() const { return !locked(); }
    bool can_remove(std::optional<std::size_t> selection) const;
    bool can_edit(std::optional<std::size_t> selection) const { return can_remove(selection); }
    bool can_move_up(std::optional<std::size_t> selection) const;
    bool can_move_down(std::optional<std::size_t> selection) const;

    // Each returns the index to select afterwards, or none when nothing happened.
    std::optional<std::size_t> add(const ExportVariable& variable);
    std::optional<std::size_t> edit(std::size_t index, const ExportVariable& variable);
    std::optional<std::size_t> move_up(std::size_t index);
    std::optional<std::size_t> move_down(std::size_t index);
    // Asks "Remove the selected variable?" first.
    bool remove(std::size_t index);

    // "New (from template)": the save-changes question, then `choose` (the templates dialog: the selected
    // template indices, or none when cancelled). True when the list was replaced.
    bool new_from_templates(const std::function<std::optional<std::vector<std::size_t>>()>& choose);
    LoadStatus load();  // asks the save-changes question first
    SaveStatus save(bool save_as);

    // The question "Do you want to save the changes?" when modified; true to go on.
    bool confirm_save_changes();

    enum class Close { Stay, Export, Cancel };
    Close press_export();
    Close press_cancel();

    bool modified() const { return modified_; }
    std::string title() const;
    const ExportSettings& settings() const { return settings_; }

private:
    void store_boxes() { settings_.flags = boxes_; }

    ExportSettings& settings_;
    std::filesystem::path folder_;
    Platform& platform_;
    std::uint32_t boxes_;
    bool modified_ = false;
};

// --- The "Variables" dialog's rules.

// Named catalogue entries in catalogue order: the entries of the variable drop-down.
std::vector<const CatalogueEntry*> offered_variables();

// The data types listed for a variable: 1 to 4 for string variables, all eight otherwise.
std::vector<std::uint32_t> offered_types(std::uint32_t variable_id);

// The type after the variable changed: the user's own choice when it still fits, else the default.
std::uint32_t type_after_variable_change(std::uint32_t variable_id, std::optional<std::uint32_t> user_type);

// Checks the dialog's OK: shows "Please select a variable." / "Please select a data type." and returns
// false when one is missing.
bool accept_variable(std::optional<std::uint32_t> variable_id, std::optional<std::uint32_t> type,
                     Platform& platform);

// Checks the templates dialog's OK ("Please select one or more templates.").
bool accept_templates(const std::vector<std::size_t>& selected, Platform& platform);

}  // namespace zorva::binmap
