// Reading the project a command works on, with the editor's texts for what went wrong, collected rather
// than printed, so that projects read side by side keep their messages apart.
#pragma once

#include <string>

#include "projectfile/load_result.h"

namespace zorva::cli {

// Reads the project at `path` (made absolute first). The readers' messages and, for a failed read, the
// open command's text are appended to `messages`, each ending in a line break.
LoadResult load_project(const std::string& path, std::string& messages);

}  // namespace zorva::cli
