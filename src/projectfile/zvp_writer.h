// Writing a Project as a binary project file (".zvp", version 118).
#pragma once

#include <string>
#include <string_view>

#include "model/project.h"

namespace zorva {

// Writes `project` to `path`: the header record, then the tagged records of every tile set (with its
// mosaics and their grids), parent entity and map (with its layers, their grids, instance entities and
// path points). Instance entities whose parent entity no longer exists are not written, and their layer's
// record counts only the ones that are. Relative forms of the paths are made against `path`.
//
// The file is written to a temporary file beside `path` and renamed over it only when every write and
// the close succeeded, so a failure leaves any previous file untouched. On success, unless `keep_name`
// is set, the project's path and file name become `path`. On failure returns false and, when `error` is
// given, a short reason.
bool write_zvp_project(std::string_view path, Project& project, bool keep_name = false,
                       std::string* error = nullptr);

}  // namespace zorva
