// What a project reader gives back.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/project.h"

namespace zorva {

// An instance entity the file holds whose parent entity the project lacks. The readers leave such
// instances out of the project, as the editor always has; this is the record of what was left out, for
// tools that check a project.
struct SkippedInstance {
    ObjectId map_id = kInvalidId;
    ObjectId layer_id = kInvalidId;
    ObjectId uid = kInvalidId;
    ObjectId pid = kInvalidId;  // the parent entity that is not there
};

struct LoadResult {
    std::unique_ptr<Project> project;  // null when the read failed
    std::string message;               // the failure text, nesting the inner failure; may be empty
    bool version_differs = false;      // the file was written by another version
    bool newer_version = false;        // ... by a newer one: the read fails
    std::vector<SkippedInstance> skipped_instances;  // in file order

    explicit operator bool() const { return project != nullptr; }
};

}  // namespace zorva
