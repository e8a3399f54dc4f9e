// What a project reader gives back.
#pragma once

#include <memory>
#include <string>

#include "model/project.h"

namespace zorva {

struct LoadResult {
    std::unique_ptr<Project> project;  // null when the read failed
    std::string message;               // the failure text, nesting the inner failure; may be empty
    bool version_differs = false;      // the file was written by another version
    bool newer_version = false;        // ... by a newer one: the read fails

    explicit operator bool() const { return project != nullptr; }
};

}  // namespace zorva
