#include "exporters/binmapfile/layout_editor.h"

#include <algorithm>
#include <utility>

#include "exporters/binmapfile/data_types.h"

namespace zorva::binmap {

LayoutEditor::LayoutEditor(ExportSettings& settings, std::filesystem::path settings_folder,
                           Platform& platform)
    : settings_(settings), folder_(std::move(settings_folder)), platform_(platform), boxes_(settings.flags) {}

bool LayoutEditor::box_checked(ExportFlag flag) const {
    const bool set = (boxes_ & flag) != 0;
    return flag == kFlagControlPoints ? !set : set;
}

void LayoutEditor::click_box(ExportFlag flag, bool checked) {
    if (!box_enabled(flag)) return;
    const bool set = flag == kFlagControlPoints ? !checked : checked;
    boxes_ = set ? (boxes_ | flag) : (boxes_ & ~static_cast<std::uint32_t>(flag));
    modified_ = true;
}

bool LayoutEditor::box_enabled(ExportFlag flag) const { return flag == kFlagLocked || !locked(); }

bool LayoutEditor::can_remove(std::optional<std::size_t> selection) const {
    return !locked() && selection && *selection < settings_.list.size();
}

bool LayoutEditor::can_move_up(std::optional<std::size_t> selection) const {
    return can_remove(selection) && settings_.list.can_move_up(*selection);
}

bool LayoutEditor::can_move_down(std::optional<std::size_t> selection) const {
    return can_remove(selection) && settings_.list.can_move_down(*selection);
}

std::optional<std::size_t> LayoutEditor::add(const ExportVariable& variable) {
    if (!can_add()) return std::nullopt;
    modified_ = true;
    return settings_.list.insert(variable);
}

std::optional<std::size_t> LayoutEditor::edit(std::size_t index, const ExportVariable& variable) {
    if (!can_edit(index)) return std::nullopt;
    settings_.list.replace(index, variable);
    modified_ = true;
    return index;
}

std::optional<std::size_t> LayoutEditor::move_up(std::size_t index) {
    if (!can_move_up(index) || !settings_.list.move_up(index)) return std::nullopt;
    modified_ = true;
    return index - 1;
}

std::optional<std::size_t> LayoutEditor::move_down(std::size_t index) {
    if (!can_move_down(index) || !settings_.list.move_down(index)) return std::nullopt;
    modified_ = true;
    return index + 1;
}

bool LayoutEditor::remove(std::size_t index) {
    if (!can_remove(index)) return false;
    if (platform_.message_box("Remove the selected variable?", "Remove", MessageButtons::YesNo,
                              MessageIcon::Question, Answer::No) != Answer::Yes) {
        return false;
    }
    settings_.list.remove(index);
    modified_ = true;
    return true;
}

bool LayoutEditor::confirm_save_changes() {
    if (!modified_) return true;
    switch (platform_.message_box("Do you want to save the changes?", "Save Changes",
                                  MessageButtons::YesNoCancel, MessageIcon::Question, Answer::Cancel)) {
        case Answer::Yes:
            return save(false) != SaveStatus::Cancelled;
        case Answer::No:
            return true;
        default:
            return false;
    }
}

bool LayoutEditor::new_from_templates(
    const std::function<std::optional<std::vector<std::size_t>>()>& choose) {
    if (!confirm_save_changes()) return false;
    const auto selected = choose();
    if (!selected) return false;
    apply_templates(settings_.list, *selected);
    boxes_ &= ~static_cast<std::uint32_t>(kFlagLocked);
    store_boxes();
    settings_.file_name = kNonameSettings;
    modified_ = true;
    return true;
}

LoadStatus LayoutEditor::load() {
    if (!confirm_save_changes()) return LoadStatus::Cancelled;
    const LoadStatus status = load_settings(settings_, LoadRequest{}, &platform_);
    if (status == LoadStatus::Loaded) {
        boxes_ = settings_.flags;
        modified_ = false;
    }
    return status;
}

SaveStatus LayoutEditor::save(bool save_as) {
    const std::uint32_t previous_flags = settings_.flags;
    store_boxes();
    const SaveStatus status = save_settings(settings_, save_as, platform_);
    if (status == SaveStatus::Saved) {
        modified_ = false;
    } else {
        settings_.flags = previous_flags;  // a failed or cancelled save leaves everything as it was
    }
    return status;
}

LayoutEditor::Close LayoutEditor::press_export() {
    if (settings_.list.empty()) {
        platform_.message_box("Add at least 1 variable to export.", "No variables", MessageButtons::Ok,
                              MessageIcon::Warning, Answer::Ok);
        return Close::Stay;
    }
    if (!confirm_save_changes()) return Close::Stay;
    store_boxes();
    write_remembered_settings(folder_, settings_.file_name);
    return Close::Export;
}

LayoutEditor::Close LayoutEditor::press_cancel() {
    return confirm_save_changes() ? Close::Cancel : Close::Stay;
}

std::string LayoutEditor::title() const {
    std::string text = std::string(kExporterTitle) + ": " + settings_.file_name;
    if (modified_) text += " *";
    return text;
}

std::vector<const CatalogueEntry*> offered_variables() {
    std::vector<const CatalogueEntry*> entries;
    for (const CatalogueEntry& entry : variable_catalogue()) {
        if (entry.name[0] != '\0') entries.push_back(&entry);
    }
    return entries;
}

std::vector<std::uint32_t> offered_types(std::uint32_t variable_id) {
    const CatalogueEntry* entry = find_variable(variable_id);
    std::vector<std::uint32_t> types;
    for (const DataTypeDesc& type : gtDataTypeDesc) {
        if (entry == nullptr || !entry->is_string || type_can_hold_string(type.id)) types.push_back(type.id);
    }
    return types;
}

std::uint32_t type_after_variable_change(std::uint32_t variable_id, std::optional<std::uint32_t> user_type) {
    const CatalogueEntry* entry = find_variable(variable_id);
    if (entry == nullptr) return user_type.value_or(kNoDataType);
    if (user_type) {
        const auto types = offered_types(variable_id);
        if (std::find(types.begin(), types.end(), *user_type) != types.end()) return *user_type;
    }
    return entry->default_type;
}

bool accept_variable(std::optional<std::uint32_t> variable_id, std::optional<std::uint32_t> type,
                     Platform& platform) {
    if (!variable_id) {
        platform.message_box("Please select a variable.", "No variale selected", MessageButtons::Ok,
                             MessageIcon::Warning, Answer::Ok);
        return false;
    }
    if (!type) {
        platform.message_box("Please select a data type.", "No type selected", MessageButtons::Ok,
                             MessageIcon::Warning, Answer::Ok);
        return false;
    }
    return true;
}

bool accept_templates(const std::vector<std::size_t>& selected, Platform& platform) {
    if (!selected.empty()) return true;
    platform.message_box("Please select one or more templates.", "No template", MessageButtons::Ok,
                         MessageIcon::Warning, Answer::Ok);
    return false;
}

}  // namespace zorva::binmap
