// The picture of zorva-cli diff --picture: the maps a diff touches, each as a row with the old version on
// the left and the new one on the right, the changed cells outlined. Built with the Qt parts.
#pragma once

#include <cstdint>
#include <string>

#include "cli/project_diff.h"

namespace zorva {
class Project;
}

namespace zorva::cli {

struct DiffPicture {
    bool written = false;
    bool failed = false;  // nothing is written either when no map changed: that is no failure
    std::string message;  // why nothing was written
};

// Draws the maps `report` touches and writes the picture to `path` as PNG.
DiffPicture write_diff_picture(Project& a, Project& b, const DiffReport& report, std::uint32_t zoom_percent,
                               const std::string& path);

}  // namespace zorva::cli
