// The commands of zorva-cli. Each lives in its own file and returns the process exit status.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "projectfile/load_result.h"

namespace zorva::cli {

// The arguments after the command name.
using Arguments = std::span<char* const>;

struct Command {
    std::string_view name;
    std::string_view synopsis;  // one line for --help
    int (*run)(Arguments arguments);
};

// Every command, in the order --help lists them.
std::span<const Command> commands();

int run_convert(Arguments arguments);         // convert_command.cpp
int run_info(Arguments arguments);            // info_command.cpp
int run_export_command(Arguments arguments);  // export_command.cpp
int run_render(Arguments arguments);          // render_command.cpp (built with the Qt parts)

// Reads the project at `path` (absolute). Messages of the readers go to standard error, and so does
// the open command's text for a failed read; the result is then empty.
LoadResult load_project_reporting(const std::string& path);

}  // namespace zorva::cli
