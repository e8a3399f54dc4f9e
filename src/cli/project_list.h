// The projects a batch command works on: project files named one by one, and folders searched for
// project files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zorva::cli {

// True when `relative` (a path below a searched folder, "/" between its parts) matches one of the
// `globs`. A pattern without "/" is matched against the file name alone, so "*.xml" finds XML files at
// any depth; a pattern with "/" is matched against the whole relative path, and its "*" and "?" do not
// cross a "/". Without patterns every project file (".xml" or ".zvp", any letter case) matches.
bool matches_globs(std::string_view relative, const std::vector<std::string>& globs);

// The project files of `inputs`: a folder gives the files below it that match (folders whose names start
// with "." are passed over), sorted by path; anything else is taken as it is given, so that a missing
// file is reported by the command that reads it. False with `error` set when a folder holds no match or
// cannot be read.
bool expand_project_inputs(const std::vector<std::string>& inputs, const std::vector<std::string>& globs,
                           std::vector<std::string>& projects, std::string& error);

// An output name for `project`: each "{name}" of `pattern` becomes the project's file name without its
// extension.
std::string output_for(std::string_view pattern, std::string_view project);

// Output names for several projects. False with `error` set when there are several projects and the
// pattern has no "{name}", or when two projects would write the same file.
bool outputs_for(std::string_view pattern, const std::vector<std::string>& projects,
                 std::vector<std::string>& outputs, std::string& error);

}  // namespace zorva::cli
