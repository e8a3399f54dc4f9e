// The texts of the main dialog's two lists: one line per export variable, and the map file layout
// preview with its "For each ..." headings.
#pragma once

#include <string>
#include <vector>

#include "exporters/binmapfile/export_list.h"

namespace zorva::binmap {

// "%-35s  %-25s (%lu bytes)", with " (String %lu chars)" added for string variables.
std::string variable_list_line(const ExportVariable& variable);

// One data type as the variable dialog lists it: "%-25s (%lu bytes)".
std::string data_type_line(std::uint32_t type_id);

struct PreviewLine {
    std::string text;
    int variable_index = -1;  // -1 for headings
};

inline constexpr std::size_t kPreviewHeadingWidth = 91;

// The layout preview of the whole list: headings where the category changes, then each variable's line
// indented by its nesting depth.
std::vector<PreviewLine> layout_preview(const ExportList& list);

}  // namespace zorva::binmap
