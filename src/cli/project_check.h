// zorva-cli check: the problems a game build would trip over in a loaded project, each with the path of
// the object and a stable code that scripts and CI rules can match on.
//
//   code                       severity  what
//   image-not-loaded           error     a tile set's, parent entity's or used layer background's image is
//                                        named but did not load
//   map-without-tile-set       error     the map uses no tile set, or one the project does not have
//   tile-index-out-of-range    error     a cell's tile is beyond the tile count of the map's tile set
//   instance-without-parent    error     an instance entity's parent entity is not in the project
//   instance-outside-layer     error     an instance entity's position lies outside its layer
//   path-without-end           error     a path runs into the next path or the end of the list unmarked
//   path-too-short             error     a path of fewer than two points
//   point-outside-path         error     a path point that belongs to no path (before a path's start mark)
//   duplicate-name             error     a map, layer (within its map) or parent entity has the name of an
//                                        earlier one, letter case ignored: exporters that write a file per
//                                        object by name would overwrite one with the other
//   object-locked              warning   a tile set, parent entity, map or layer is left locked
//
// Cells are only checked against a tile set whose image loaded (without it the count is unknown: the
// image's own problem is reported instead), and instance positions only on maps that have a tile set.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "cli/object_path.h"
#include "projectfile/load_result.h"

namespace zorva::cli {

enum class Severity { Warning, Error };

std::string_view severity_name(Severity severity);  // "warning", "error"

struct Problem {
    Severity severity = Severity::Error;
    std::string code;
    ObjectPath object;
    std::string message;
    // Above 0: the line stands for this many further problems of its code on the layer (the object), not
    // listed one by one (CheckOptions::max_per_layer).
    std::size_t more = 0;
};

struct CheckOptions {
    // At most this many problems of one code are listed per layer; the rest are counted in one more line
    // ("... and N more"). 0 lists them all.
    std::size_t max_per_layer = 20;
};

struct CheckReport {
    std::vector<Problem> problems;  // in project order: tile sets, parent entities, maps
    std::size_t errors = 0;         // counted with the problems left out of the list
    std::size_t warnings = 0;
    std::size_t omitted = 0;  // problems counted but not listed
};

// Checks a project as it was read. `skipped` lists the instance entities the reader left out because
// their parent entity is missing (LoadResult::skipped_instances).
CheckReport check_project(const Project& project, const std::vector<SkippedInstance>& skipped = {},
                          const CheckOptions& options = {});

// One line of text for a problem: "error: PATH: MESSAGE [CODE]".
std::string problem_line(const Problem& problem);

}  // namespace zorva::cli
