// Reading a binary project file (".zvp") of version 118 or older into a new Project.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "base/platform.h"
#include "projectfile/load_result.h"

namespace zorva {

// Reads the file at `path` into a new Project. The result holds the project, or none when the file cannot
// be opened, is of a newer version, is truncated or malformed, or an object cannot be added; the message
// is always empty (the open command shows its general load failure). The version flags are set as the
// header says. Images are loaded quietly; `platform` only receives the model's out-of-memory warnings.
LoadResult read_zvp_project(std::string_view path, Platform* platform = nullptr);

// The same from bytes in memory; `path` is the file name the bytes stand for: the base of relative paths
// and the new project's path and file name.
LoadResult read_zvp_project_from_memory(std::span<const unsigned char> bytes, std::string_view path,
                                        Platform* platform = nullptr);

}  // namespace zorva
