#include "exporters/binmapfile/layout_lines.h"

#include <cstdio>

#include "exporters/binmapfile/data_types.h"

namespace zorva::binmap {
namespace {

template <typename... Args>
std::string format(const char* pattern, Args... args) {
    const int needed = std::snprintf(nullptr, 0, pattern, args...);
    if (needed <= 0) return {};
    std::string text(static_cast<std::size_t>(needed), '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, args...);
    return text;
}

struct TypeView {
    const char* name;
    unsigned long size;
};

TypeView type_view(std::uint32_t type_id) {
    if (const DataTypeDesc* type = find_data_type(type_id)) return {type->name, type->size};
    return {"Unknown type", 0};
}

bool is_string_variable(std::uint32_t id) {
    const CatalogueEntry* entry = find_variable(id);
    return entry != nullptr && entry->is_string;
}

std::string heading(const char* text) {
    std::string line = text;
    if (line.size() < kPreviewHeadingWidth) line.append(kPreviewHeadingWidth - line.size(), '-');
    return line;
}

const char* indent_of(Category category) {
    switch (category) {
        case Category::Map:
            return "  ";
        case Category::Layer:
            return "    ";
        case Category::LayerGrid:
        case Category::ChildEntity:
        case Category::Path:
            return "      ";
        case Category::PathNode:
            return "        ";
        case Category::None:
            break;
    }
    return "";
}

std::string preview_variable_line(const ExportVariable& variable) {
    const std::string name = variable_display_name(variable.variable_id);
    const char* indent = indent_of(category_of(variable.variable_id));
    const TypeView type = type_view(variable.data_type);
    const unsigned long length = variable.string_length;
    const bool custom = is_custom_variables(variable.variable_id);
    if (is_string_variable(variable.variable_id)) {
        if (custom) {
            return format("%s%-30s  (%lu vars X %lu bytes X %lu chars = %lu bytes)", indent, name.c_str(),
                          static_cast<unsigned long>(kCustomVariableValues), type.size, length,
                          kCustomVariableValues * type.size * length);
        }
        return format("%s%-30s  (%lu bytes X %lu chars = %lu bytes)", indent, name.c_str(), type.size, length,
                      type.size * length);
    }
    if (custom) {
        return format("%s%-30s  (%lu vars X %lu bytes = %lu bytes)", indent, name.c_str(),
                      static_cast<unsigned long>(kCustomVariableValues), type.size,
                      kCustomVariableValues * type.size);
    }
    return format("%s%-30s  (%lu bytes)", indent, name.c_str(), type.size);
}

}  // namespace

std::string variable_list_line(const ExportVariable& variable) {
    const std::string name = variable_display_name(variable.variable_id);
    const TypeView type = type_view(variable.data_type);
    if (is_string_variable(variable.variable_id)) {
        return format("%-35s  %-25s (%lu bytes) (String %lu chars)", name.c_str(), type.name, type.size,
                      static_cast<unsigned long>(variable.string_length));
    }
    return format("%-35s  %-25s (%lu bytes)", name.c_str(), type.name, type.size);
}

std::string data_type_line(std::uint32_t type_id) {
    const TypeView type = type_view(type_id);
    return format("%-25s (%lu bytes)", type.name, type.size);
}

std::vector<PreviewLine> layout_preview(const ExportList& list) {
    static const std::string kMapHeading = heading("For each Map:");
    static const std::string kLayerHeading = heading("==For each Layer:");
    static const std::string kGridHeading = heading("====For each Layer Grid:");
    static const std::string kEntityHeading = heading("====For each Child Entity:");
    static const std::string kPathHeading = heading("====For each Path:");
    static const std::string kNodeHeading = heading("======For each Path Node:");

    std::vector<PreviewLine> lines;
    bool map_shown = false;
    bool layer_shown = false;
    bool first = true;
    Category previous = Category::None;
    const auto add_heading = [&lines](const std::string& text) { lines.push_back({text, -1}); };
    const auto ensure_map_and_layer = [&] {
        if (!map_shown) add_heading(kMapHeading);
        if (!layer_shown) add_heading(kLayerHeading);
        map_shown = layer_shown = true;
    };

    for (std::size_t i = 0; i < list.size(); ++i) {
        const Category category = category_of(list[i].variable_id);
        if (first || category != previous) {
            switch (category) {
                case Category::Map:
                    add_heading(kMapHeading);
                    map_shown = true;
                    layer_shown = false;  // a later layer-level variable opens its level again
                    break;
                case Category::Layer:
                    if (!map_shown) add_heading(kMapHeading);
                    add_heading(kLayerHeading);
                    map_shown = layer_shown = true;
                    break;
                case Category::LayerGrid:
                    ensure_map_and_layer();
                    add_heading(kGridHeading);
                    break;
                case Category::ChildEntity:
                    ensure_map_and_layer();
                    add_heading(kEntityHeading);
                    break;
                case Category::Path:
                    ensure_map_and_layer();
                    add_heading(kPathHeading);
                    break;
                case Category::PathNode:
                    ensure_map_and_layer();
                    if (previous != Category::Path || first) add_heading(kPathHeading);
                    add_heading(kNodeHeading);
                    break;
                case Category::None:
                    break;
            }
        }
        first = false;
        previous = category;
        lines.push_back({preview_variable_line(list[i]), static_cast<int>(i)});
    }
    return lines;
}

}  // namespace zorva::binmap
