#include "app/object_lists.h"

#include <algorithm>
#include <cstdio>

#include "model/project.h"

namespace zorva {

namespace {

std::string map_line(const Project& project, const Map& map) {
    std::string text = map.name.str() + "    ";
    const TileSet* tile_set = find_tile_set(project, map.use_tile_set_id);
    text += tile_set ? " [T:" + tile_set->name.str() + "]" : std::string(" [T:?]");
    if (map.is_locked) text += " [L]";
    if (map.export_this_map) text += " [E]";
    return text;
}

std::string tile_set_line(const TileSet& tile_set) {
    std::string text = tile_set.name.str() + "    ";
    if (tile_set.is_locked) text += " [L]";
    return text;
}

std::string layer_line(const Layer& layer) {
    std::string text = layer.name.str() + "    ";
    if (layer.is_main_layer) text += " [M]";
    if (layer.is_locked) text += " [L]";
    if (!layer.is_visible) text += " [H]";
    return text;
}

std::string entity_line(const ParentEntity& entity) {
    char id[40];
    std::snprintf(id, sizeof id, "(id:%lu)    ", static_cast<unsigned long>(entity.user_supplied_id));
    std::string text = entity.name.str() + "    " + id;
    if (entity.is_locked) text += " [L]";
    if (entity.is_trigger) text += " [T]";
    return text;
}

bool less_ignoring_case(const std::string& a, const std::string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lx = static_cast<unsigned char>(x >= 'A' && x <= 'Z' ? x - 'A' + 'a' : x);
        const auto ly = static_cast<unsigned char>(y >= 'A' && y <= 'Z' ? y - 'A' + 'a' : y);
        return lx < ly;
    });
}

}  // namespace

const char* list_kind_title(ListKind kind) {
    switch (kind) {
        case ListKind::Maps:
            return "Maps";
        case ListKind::Layers:
            return "Layers";
        case ListKind::Entities:
            return "Entities";
        case ListKind::TileSets:
            return "Tile Sets";
    }
    return "";
}

std::vector<ListLine> list_lines(const Project* project, ListKind kind) {
    std::vector<ListLine> lines;
    if (!project) return lines;
    switch (kind) {
        case ListKind::Maps:
            for (const auto& map : project->maps) lines.push_back({map_line(*project, *map), map->unique_id});
            break;
        case ListKind::TileSets:
            for (const auto& ts : project->tile_sets) lines.push_back({tile_set_line(*ts), ts->unique_id});
            break;
        case ListKind::Layers:
            if (const Map* map = project->selected_map())
                for (const auto& layer : map->layers) lines.push_back({layer_line(*layer), layer->unique_id});
            break;
        case ListKind::Entities:
            for (const auto& e : project->parent_entities) lines.push_back({entity_line(*e), e->unique_id});
            std::stable_sort(lines.begin(), lines.end(), [](const ListLine& a, const ListLine& b) {
                return less_ignoring_case(a.text, b.text);
            });
            break;
    }
    return lines;
}

std::string list_window_title(ListKind kind, std::size_t count) {
    return std::string(list_kind_title(kind)) + " (" + std::to_string(count) + ")";
}

ObjectId selected_list_id(const Project& project, ListKind kind) {
    switch (kind) {
        case ListKind::Maps:
            return project.selected_map_id();
        case ListKind::Layers:
            return project.selected_layer() ? project.selected_layer_id() : kInvalidId;
        case ListKind::Entities:
            return project.selected_parent_entity_id();
        case ListKind::TileSets:
            return project.selected_tile_set_id();
    }
    return kInvalidId;
}

void select_list_id(Project& project, ListKind kind, ObjectId id) {
    switch (kind) {
        case ListKind::Maps:
            project.select_map(id);
            break;
        case ListKind::Layers:
            project.select_layer(id);
            break;
        case ListKind::Entities:
            project.select_parent_entity(id);
            break;
        case ListKind::TileSets:
            project.select_tile_set(id);
            break;
    }
}

ListControls list_controls(const Project* project, ListKind kind, const std::vector<ListLine>& lines,
                           ObjectId selected) {
    ListControls c;
    if (!project) return c;
    c.list = !lines.empty();
    c.add = kind != ListKind::Layers || project->selected_map() != nullptr;
    if (lines.empty()) return c;
    c.entity_checks = kind == ListKind::Entities;
    const auto it =
        std::find_if(lines.begin(), lines.end(), [selected](const ListLine& l) { return l.id == selected; });
    if (selected == kInvalidId || it == lines.end()) return c;
    const bool movable = kind == ListKind::Maps || kind == ListKind::Layers;
    c.move_up = movable && it != lines.begin();
    c.move_down = movable && it + 1 != lines.end();
    c.remove = true;
    return c;
}

}  // namespace zorva
