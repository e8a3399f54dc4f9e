// What the four object list windows ("Maps", "Tile Sets", "Layers", "Entities") show: one line per object
// with its tags, the object's id as the line's data, the window title with the count, and which controls
// are enabled. Qt-free; the list window only puts these lines on screen.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/ids.h"

namespace zorva {

class Project;

enum class ListKind { Maps, Layers, Entities, TileSets };

struct ListLine {
    std::string text;
    ObjectId id = kInvalidId;
};

// "Maps", "Layers", "Entities" or "Tile Sets".
const char* list_kind_title(ListKind kind);

// The lines in the order shown: maps, tile sets and layers (of the selected map) in list order, parent
// entities sorted by their line text without regard to letter case.
std::vector<ListLine> list_lines(const Project* project, ListKind kind);

// The title followed by " (%d)" with the number of lines.
std::string list_window_title(ListKind kind, std::size_t count);

// The Project's selected object of the kind (for layers: of the selected map).
ObjectId selected_list_id(const Project& project, ListKind kind);
// Makes `id` the Project's selected object of the kind; an id no line carries clears that selection.
void select_list_id(Project& project, ListKind kind, ObjectId id);

struct ListControls {
    bool list = false;     // also "Properties", "Lock" and (layers) "Visible"
    bool move_up = false;  // maps and layers
    bool move_down = false;
    bool remove = false;         // "Delete"
    bool add = false;            // "New"
    bool entity_checks = false;  // H, V, R of the entities window
};

// The enabling rules after a refresh with `selected` as the selected line (kInvalidId for none).
ListControls list_controls(const Project* project, ListKind kind, const std::vector<ListLine>& lines,
                           ObjectId selected);

}  // namespace zorva
