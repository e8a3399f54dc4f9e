// zorva-cli diff: what changed between two versions of a project, for code review of levels kept in
// version control.
//
// Objects are matched by id (tile sets, parent entities and maps in the project; mosaics in their tile
// set; layers in their map; instance entities and path points in their layer). An object only in B is
// added, only in A removed; a matched one may be renamed, moved (its place among the matched objects of
// its list changed: the fewest moves that explain the new order) and changed (fields, one entry listing
// each field that differs). Grids are compared cell by cell over the union of both sizes (a cell outside
// a grid counts as empty) and reported per layer or mosaic with the number of changed cells and the box
// around them.
//
// Fields that only keep the editor's state (selection, camera, zoom, the tile brush, remembered folders,
// id counters) are left out unless asked for. Image paths are compared in the form relative to each
// project's file, so two checkouts in different folders compare equal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli/object_path.h"

namespace zorva {
class Project;
struct Map;
struct Layer;
}  // namespace zorva

namespace zorva::cli {

enum class ChangeKind { Added, Removed, Renamed, Moved, Changed, Cells };

std::string_view change_kind_name(ChangeKind kind);  // "added", "removed", ... "cells"

using FieldValue = std::variant<bool, std::int64_t, float, std::string>;

struct FieldChange {
    std::string field;  // custom variables as "custom_variables[N]", N from 1 as the editor lists them
    FieldValue before;
    FieldValue after;
};

// Cells in columns [x, x + width) and rows [y, y + height).
struct CellBox {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
};

struct Change {
    ChangeKind kind = ChangeKind::Changed;
    ObjectPath object;       // as in B; an object removed from B as it was in A (its parents as in B)
    std::string old_name;    // Renamed: the name in A (the path has the name in B)
    std::int64_t from = -1;  // Moved: position in A's list
    std::int64_t to = -1;    // ... and in B's
    std::vector<FieldChange> fields;  // Changed
    std::size_t cells_changed = 0;    // Cells
    CellBox box;                      // Cells: around every changed cell
};

struct DiffOptions {
    bool editor_state = false;  // also compare the fields that only keep the editor's state
};

struct DiffSummary {
    std::size_t added = 0;
    std::size_t removed = 0;
    std::size_t renamed = 0;
    std::size_t moved = 0;
    std::size_t changed = 0;
    std::size_t cells_changed = 0;  // over all layers and mosaics
    std::size_t grids_changed = 0;  // layers and mosaics with changed cells
};

struct DiffReport {
    std::vector<Change> changes;  // project, tile sets, parent entities, maps; each object's parts follow it
    DiffSummary summary;
    bool identical() const { return changes.empty(); }
};

DiffReport diff_projects(const Project& a, const Project& b, const DiffOptions& options = {});

// The lines of text for one change: "PATH: added", "PATH: renamed from NAME", "PATH: moved from position
// N to M", one "PATH: FIELD: BEFORE -> AFTER" per field, "PATH: N cells changed in (X1, Y1)-(X2, Y2)".
std::vector<std::string> change_lines(const Change& change);
// "N added, N removed, N renamed, N moved, N changed; N cells changed on N layers or mosaics".
std::string summary_line(const DiffSummary& summary);
// A field's value as the text lines show it.
std::string field_value_text(const FieldValue& value);

// Which cells of a layer differ between two versions, over the union of both grids (null: no such layer).
// Holds only the changed cells, so that its size follows the change, not the grids' shapes.
struct CellMask {
    struct Cell {
        std::int64_t x = 0;
        std::int64_t y = 0;
    };
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::vector<Cell> cells;  // row by row, left to right
    bool at(std::int64_t x, std::int64_t y) const;
};
CellMask changed_cells(const Layer* a, const Layer* b);

// The maps a report touches, as (A's map, B's map) by id, in B's order followed by maps only A has; one of
// the two is null for a map added or removed.
struct MapPair {
    const Map* a = nullptr;
    const Map* b = nullptr;
};
std::vector<MapPair> changed_maps(const Project& a, const Project& b, const DiffReport& report);

}  // namespace zorva::cli
