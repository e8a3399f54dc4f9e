// Paths stored relative to the project file, so a project folder can be moved as a whole.
#pragma once

#include <string>
#include <string_view>

namespace zorva {

enum class PathKind { File, Folder };

// The relative form of `target` as seen from the folder of `project_file`:
// "./name", "./img/sub/name", "../assets/name", "../../name" for files and "./", "../assets/" for
// folders. An empty or non-absolute target gives "". Both paths are normalised lexically first.
std::string make_relative_path(std::string_view project_file, std::string_view target, PathKind kind);

// Resolves a stored relative value against the folder of `project_file`. Accepts "/" and "\" as
// separators. Returns the absolute result when it exists as a file (File) or as a folder (Folder),
// else "". An empty value resolves to the project's own folder for folders and to nothing for files.
std::string resolve_relative_path(std::string_view project_file, std::string_view relative, PathKind kind);

// `path` made absolute against the current folder and normalised lexically, with "/" separators.
std::string absolute_path(std::string_view path);

}  // namespace zorva
