#include "exporters/binmapfile/export_list.h"

#include <utility>

#include "exporters/binmapfile/export_templates.h"

namespace zorva::binmap {

std::size_t ExportList::insert(const ExportVariable& variable) {
    const Category category = category_of(variable.variable_id);
    std::size_t position = items_.size();
    bool found = false;
    for (std::size_t i = items_.size(); i-- > 0;) {
        if (category_of(items_[i].variable_id) == category) {
            position = i + 1;
            found = true;
            break;
        }
    }
    if (!found) {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (category_of(items_[i].variable_id) > category) {
                position = i;
                break;
            }
        }
    }
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(position), variable);
    return position;
}

void ExportList::remove(std::size_t index) {
    if (index < items_.size()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}

void ExportList::replace(std::size_t index, const ExportVariable& variable) {
    if (index < items_.size()) items_[index] = variable;
}

bool ExportList::can_move_up(std::size_t index) const {
    return index > 0 && index < items_.size() &&
           category_of(items_[index - 1].variable_id) == category_of(items_[index].variable_id);
}

bool ExportList::can_move_down(std::size_t index) const {
    return index + 1 < items_.size() &&
           category_of(items_[index + 1].variable_id) == category_of(items_[index].variable_id);
}

bool ExportList::move_up(std::size_t index) {
    if (!can_move_up(index)) return false;
    std::swap(items_[index - 1], items_[index]);
    return true;
}

bool ExportList::move_down(std::size_t index) {
    if (!can_move_down(index)) return false;
    std::swap(items_[index], items_[index + 1]);
    return true;
}

void apply_templates(ExportList& list, std::span<const std::size_t> template_indices) {
    list.clear();
    const TemplateTable table;
    for (const std::size_t index : template_indices) {
        const auto range = table.range(index);
        if (!range) continue;
        for (std::size_t r = range->first; r <= range->last; ++r) {
            const TemplateRow& row = table.rows()[r];
            if (row.id < 0 || row.type < 0) continue;  // template 01's placeholder
            list.insert({static_cast<std::uint32_t>(row.id), static_cast<std::uint32_t>(row.type),
                         kDefaultStringLength});
        }
    }
}

}  // namespace zorva::binmap
