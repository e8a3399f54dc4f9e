// Built projects written to disk through the project file writer (for tests that link projectfile).
#pragma once

#include <string>
#include <string_view>

#include "projectfile/project_io.h"
#include "support/project_builder.h"

namespace zorva::test {

// Writes the built project as the editor saves it: ".zvp" as a binary project file, any other name as XML.
// The writer's message lands in `error` when it fails.
inline bool write_project_file(TestProject& t, std::string_view path, std::string* error = nullptr) {
    return write_project(path, t.project, false, error);
}

// The small project the editor tests open: one map named `map_name`, selected, holding the 8 × 6 layer
// "Ground", written to `path`.
inline bool write_small_project(const std::string& path, const std::string& map_name = "Level") {
    TestProject t;
    Map& map = t.add_map(map_name);
    t.add_layer(map, "Ground", 8, 6);
    t.select(map);
    return write_project_file(t, path);
}

}  // namespace zorva::test
